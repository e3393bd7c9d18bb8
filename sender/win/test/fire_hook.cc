// Test-only hook module, never shipped: loaded into a running Orvanta.exe by
// a WH_GETMESSAGE hook, it lets the stand-in caller-ID control inside that
// process fire its caller-ID event on the program's own user-interface
// thread, as the vendor's control would when the telephone rings.

#include <windows.h>
#include <oaidl.h>

#include "sender/win/test/fire_hook.h"
#include "callerid/test/standin/standin_api.h"

extern "C" __declspec(dllexport) LRESULT CALLBACK
    FireHookProc(int code, WPARAM wparam, LPARAM lparam) {
  static const UINT fire = RegisterWindowMessageW(kFireCallerIdMessage);
  auto* message = reinterpret_cast<MSG*>(lparam);
  if (code == HC_ACTION && wparam == PM_REMOVE && message->message == fire) {
    HMODULE standin = GetModuleHandleW(L"callerid_standin.dll");
    auto fire_event = reinterpret_cast<StandinFireFn>(reinterpret_cast<void*>(
        standin ? GetProcAddress(standin, "StandinFire") : nullptr));
    if (fire_event) {
      // OnCallerID(ReceivedFromLine, PhoneNumber, DateTime), by value.
      const wchar_t* arguments[] = {kFiredLine, kFiredNumber,
                                    L"10.12.2026 09:30"};
      fire_event(L"CID2", 202, 3, arguments, 0);
    }
    message->message = WM_NULL;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}
