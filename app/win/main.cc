// Orvanta.exe: starts hidden in the notification area; the settings window
// is shown from the tray icon.

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/main_window.h"
#include "app/win/form_window.h"
#include "app/win/resource.h"
#include "app/win/settings_window.h"
#include "app/win/win_shell.h"

namespace {

HICON LoadIconSized(HINSTANCE instance, int id, int size_metric) {
  const int size = GetSystemMetrics(size_metric);
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id),
                                       IMAGE_ICON, size, size,
                                       LR_DEFAULTCOLOR));
}

int RunProgram(HINSTANCE instance) {
  HICON program_icon = LoadIconSized(instance, IDI_PROGRAM, SM_CXICON);
  HICON tray_icon = LoadIconSized(instance, IDI_TRAY, SM_CXSMICON);

  orvanta::win::SettingsWindow view(program_icon, tray_icon);
  orvanta::win::WinShell shell(view, program_icon, tray_icon);
  int exit_code = 0;
  {
    orvanta::MainWindow main_window(view, shell);
    view.report_stray_failure = [&main_window](const std::u16string& text) {
      main_window.ReportError(text);
    };
    main_window.FormCreate();
    if (shell.ShowMainWindowOnStart()) view.ShowWindow();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      orvanta::win::DispatchWithNavigation(message);
    }
    exit_code = static_cast<int>(message.wParam);
    view.report_stray_failure = nullptr;
  }
  DestroyIcon(program_icon);
  DestroyIcon(tray_icon);
  return exit_code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/,
                    PWSTR /*command_line*/, int /*show*/) {
  // The device controls need a single-threaded apartment with OLE on this
  // thread before anything is created.
  if (FAILED(OleInitialize(nullptr))) return 1;
  INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                   ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  int exit_code = RunProgram(instance);
  OleUninitialize();
  return exit_code;
}
