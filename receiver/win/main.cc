// OrvantaAlici.exe: shows each call Orvanta announces on the LAN.
#include <windows.h>

#include <string>

#include "desktop/win/win_text.h"
#include "base/failure.h"
#include "receiver/win/win_receiver_shell.h"

namespace {

// The folder of the running executable, ending in "\": the receiver keeps
// its files beside itself, as the sender does.
std::u16string ExeFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = GetModuleFileNameW(nullptr, path.data(),
                                          static_cast<DWORD>(path.size()));
    if (size < path.size()) {
      path.resize(size);
      break;
    }
    path.resize(path.size() * 2);
  }
  return orvanta::win::U16(path.substr(0, path.find_last_of(L"\\/") + 1));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    orvanta::win::WinReceiverProgram program(ExeFolder());
    program.Start();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return 0;
  } catch (const orvanta::Failure& failure) {
    const std::u16string text =
        u"Orvanta Al\u0131c\u0131 ba\u015flat\u0131lamad\u0131.\r\n" +
        failure.message();
    MessageBoxW(nullptr, orvanta::win::Wide(text).c_str(), L"OrvantaAlici",
                MB_ICONERROR | MB_OK);
    return 1;
  }
}
