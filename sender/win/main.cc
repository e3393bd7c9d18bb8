// Orvanta.exe: starts hidden in the notification area; the settings window
// is shown from the tray icon.

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "desktop/command_line.h"
#include "sender/program.h"
#include "sender/settings_presenter.h"
#include "desktop/single_instance.h"
#include "desktop/win/form_window.h"
#include "sender/win/resource.h"
#include "sender/win/settings_window.h"
#include "sender/win/win_shell.h"
#include "desktop/win/win_text.h"
#include "base/text.h"

namespace {

HICON LoadIconSized(HINSTANCE instance, int id, int size_metric) {
  const int size = GetSystemMetrics(size_metric);
  return static_cast<HICON>(LoadImageW(
      instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

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
  const std::string bytes = orvanta::EncodeUtf8(orvanta::win::U16(wide));
  return WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()),
                   &written, nullptr);
}

// A command-line answer goes where the user can read it: to the output
// the program was given (a file, a pipe), else to the console it was started
// from, else, started from Explorer or a shortcut, into a message box.
void Answer(const std::u16string& text, bool error) {
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
  MessageBoxW(nullptr, WithCrLf(text).c_str(), L"Orvanta",
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

std::vector<std::u16string> Arguments(std::u16string* program) {
  std::vector<std::u16string> arguments;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!list) return arguments;
  for (int i = 1; i < count; ++i) {
    arguments.push_back(orvanta::win::U16(list[i]));
  }
  LocalFree(list);
  const std::wstring full = ExecutablePath();
  *program = orvanta::win::U16(full.substr(full.find_last_of(L"\\/") + 1));
  return arguments;
}

// The absolute form of a folder given on the command line.
std::u16string AbsoluteFolder(const std::u16string& folder) {
  const std::wstring given = orvanta::win::Wide(folder);
  const DWORD size = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (size == 0) return folder;
  std::wstring full(size, L'\0');
  const DWORD length =
      GetFullPathNameW(given.c_str(), size, full.data(), nullptr);
  full.resize(length);
  return orvanta::win::U16(full);
}

// The folder of the settings files, ending in "\\".
std::u16string SettingsFolder(const orvanta::CommandLine& command) {
  if (!command.settings_dir.empty()) {
    std::u16string folder = AbsoluteFolder(command.settings_dir);
    if (folder.back() != u'\\' && folder.back() != u'/') folder += u'\\';
    return folder;
  }
  return orvanta::DirectoryOf(orvanta::win::U16(ExecutablePath()), u'\\');
}

int RunProgram(HINSTANCE instance, const orvanta::CommandLine& command,
               const std::u16string& program) {
  // Before any window or tray icon: a second copy shows nothing of its own.
  const std::u16string settings_folder = SettingsFolder(command);
  orvanta::SingleInstance::Outcome outcome;
  std::unique_ptr<orvanta::SingleInstance> claim =
      orvanta::SingleInstance::Claim(
          orvanta::InstanceKey(settings_folder, orvanta::PathStyle::kWindows),
          outcome);
  if (!claim) {
    if (outcome == orvanta::SingleInstance::Outcome::kShownInRunning) {
      return orvanta::kExitSuccess;
    }
    Answer(program + u": already running for the settings folder " +
               settings_folder + u", but it does not answer\n",
           true);
    return orvanta::kExitFailure;
  }

  HICON program_icon = LoadIconSized(instance, IDI_PROGRAM, SM_CXICON);
  HICON tray_icon = LoadIconSized(instance, IDI_TRAY, SM_CXSMICON);
  int exit_code = orvanta::kExitSuccess;
  {
    orvanta::win::SettingsWindow view(program_icon, tray_icon);
    orvanta::win::WinShell shell(view, program_icon, tray_icon);
    shell.SetSettingsFolder(settings_folder);
    orvanta::Program program(shell);
    orvanta::SettingsPresenterOptions options;
    options.show_window_at_start = command.show_window;
    orvanta::SettingsPresenter main_window(view, shell, program,
                                           std::move(options));
    view.report_stray_failure = [&program](const std::u16string& text) {
      program.ReportError(text);
    };
    main_window.FormCreate();
    claim->OnShowRequest([&main_window, &view] {
      main_window.OnSettingsMenu();
      return IsWindowVisible(view.hwnd()) != FALSE;
    });
    main_window.ShowAtStartIfDue();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      orvanta::win::DispatchWithNavigation(message);
    }
    exit_code = static_cast<int>(message.wParam);
    claim->OnShowRequest(nullptr);
    view.report_stray_failure = nullptr;
  }
  DestroyIcon(program_icon);
  DestroyIcon(tray_icon);
  return exit_code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/,
                    PWSTR /*command_line*/, int /*show*/) {
  std::u16string program;
  const orvanta::CommandLine command =
      orvanta::ParseCommandLine(Arguments(&program));
  switch (command.action) {
    case orvanta::CommandLine::Action::kHelp:
      Answer(orvanta::HelpText(program), false);
      return orvanta::kExitSuccess;
    case orvanta::CommandLine::Action::kVersion:
      Answer(orvanta::VersionText(orvanta::ComposeCaption({})), false);
      return orvanta::kExitSuccess;
    case orvanta::CommandLine::Action::kUsageError:
      Answer(orvanta::UsageErrorText(program, command.error), true);
      return orvanta::kExitUsage;
    case orvanta::CommandLine::Action::kRun:
      break;
  }

  // The device controls need a single-threaded apartment with OLE on this
  // thread before anything is created.
  if (FAILED(OleInitialize(nullptr))) return 1;
  INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                   ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  int exit_code = RunProgram(instance, command, program);
  OleUninitialize();
  return exit_code;
}
