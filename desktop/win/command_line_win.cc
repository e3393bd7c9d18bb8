#include "desktop/win/command_line_win.h"

#include <windows.h>
#include <shellapi.h>

#include "base/text.h"
#include "desktop/win/win_text.h"

namespace orvanta::win {
namespace {

std::wstring WithCrLf(const std::u16string& text) {
  std::wstring result;
  for (char16_t c : text) {
    if (c == u'\n') result += L'\r';
    result += static_cast<wchar_t>(c);
  }
  return result;
}

bool WriteTo(HANDLE out, const std::u16string& text) {
  if (!out || out == INVALID_HANDLE_VALUE) return false;
  const std::wstring wide = WithCrLf(text);
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(out, &mode)) {
    return WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()),
                         &written, nullptr);
  }
  const std::string bytes = EncodeUtf8(U16(wide));
  return WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()),
                   &written, nullptr);
}

// The absolute form of a folder given on the command line.
std::u16string AbsoluteFolder(const std::u16string& folder) {
  const std::wstring given = Wide(folder);
  const DWORD size = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (size == 0) return folder;
  std::wstring full(size, L'\0');
  const DWORD length =
      GetFullPathNameW(given.c_str(), size, full.data(), nullptr);
  full.resize(length);
  return U16(full);
}

}  // namespace

std::vector<std::u16string> CommandLineArguments(std::u16string* program) {
  std::vector<std::u16string> arguments;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!list) return arguments;
  for (int i = 1; i < count; ++i) {
    arguments.push_back(U16(list[i]));
  }
  LocalFree(list);
  const std::wstring full = ExecutablePath();
  *program = U16(full.substr(full.find_last_of(L"\\/") + 1));
  return arguments;
}

void AnswerCommandLine(const std::u16string& text, bool error,
                       const std::u16string& caption) {
  if (WriteTo(GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE),
              text)) {
    return;
  }
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    const bool written = WriteTo(console, text);
    if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
    FreeConsole();
    if (written) return;
  }
  MessageBoxW(nullptr, WithCrLf(text).c_str(), Wide(caption).c_str(),
              MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(),
                                            static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // long paths
  }
}

std::u16string ExecutableFolder() {
  const std::wstring path = ExecutablePath();
  return U16(path.substr(0, path.find_last_of(L"\\/") + 1));
}

std::u16string SettingsFolderFor(const std::u16string& settings_dir) {
  if (settings_dir.empty()) return ExecutableFolder();
  std::u16string folder = AbsoluteFolder(settings_dir);
  if (folder.back() != u'\\' && folder.back() != u'/') folder += u'\\';
  return folder;
}

}  // namespace orvanta::win
