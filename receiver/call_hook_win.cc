#include <windows.h>
#include <shellapi.h>

#include <string>
#include <thread>
#include <vector>

#include "base/failure.h"
#include "base/system_error.h"
#include "receiver/call_hook.h"

namespace orvanta {
namespace {

// CreateProcessW with a command line quoted by the C runtime's rules: no
// shell (cmd.exe) ever reads it.
HANDLE Spawn(const std::vector<std::u16string>& arguments) {
  if (arguments.empty()) throw Failure(u"Komut boş.");
  std::u16string line = WindowsCommandLine(arguments);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(line.data()), nullptr,
                      nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &process)) {
    const DWORD error = GetLastError();
    throw Failure(u"Komut başlatılamadı: " + arguments[0] + u"\r\n" +
                  SystemErrorText(error));
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

}  // namespace

void SystemHookLauncher::Start(const std::vector<std::u16string>& arguments) {
  CloseHandle(Spawn(arguments));
}

void SystemHookLauncher::OpenUrl(const std::u16string& url) {
  ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(url.c_str()),
                nullptr, nullptr, SW_SHOWNORMAL);
}

int RunAndWait(const std::vector<std::u16string>& arguments) {
  const HANDLE process = Spawn(arguments);
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return static_cast<int>(code);
}

}  // namespace orvanta
