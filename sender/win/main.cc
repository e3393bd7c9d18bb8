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
#include "sender/program_help.h"
#include "sender/program.h"
#include "sender/settings_presenter.h"
#include "desktop/single_instance.h"
#include "desktop/win/command_line_win.h"
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

// Command-line answers carry the program's name in a message box.
void Answer(const std::u16string& text, bool error) {
  orvanta::win::AnswerCommandLine(text, error, u"Orvanta");
}

int RunProgram(HINSTANCE instance, const orvanta::CommandLine& command,
               const std::u16string& program) {
  // Before any window or tray icon: a second copy shows nothing of its own.
  const std::u16string settings_folder =
      orvanta::win::SettingsFolderFor(command.settings_dir);
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
    main_window.StartUp();
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
      orvanta::ParseCommandLine(orvanta::win::CommandLineArguments(&program));
  if (const auto answer =
          orvanta::AnswerFor(command, program, orvanta::kSenderHelp,
                             orvanta::ComposeCaption({}))) {
    Answer(answer->text, answer->error);
    return answer->exit_code;
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
