// The Linux program: the portable main window over the Qt views and shell.

#include <QApplication>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "sender/program_help.h"
#include "sender/program.h"
#include "sender/settings_presenter.h"
#include "sender/qt/qt_shell.h"
#include "desktop/qt/platform_choice.h"
#include "desktop/qt/program_start.h"
#include "desktop/qt/qt_text.h"
#include "desktop/qt/settings_folder.h"
#include "sender/qt/settings_window.h"
#include "desktop/qt/termination_signals.h"
#include "base/text.h"

int main(int argc, char** argv) {
  orvanta::DropQtStartUpNoise();

  orvanta::ChooseQtPlatform();

  QApplication app(argc, argv);
  orvanta::QtProgramStart start(
      {"orvanta", QStringLiteral("Orvanta"), orvanta::ProgramIcon(),
       &orvanta::kSenderHelp, orvanta::ComposeCaption({}), "settings window"});
  if (!start.ReadCommandLine(argv[0]) || !start.ClaimSettingsFolder())
    return start.exit_code();
  const orvanta::CommandLine& command = start.command();
  const std::string& settings_folder = start.settings_folder();
  orvanta::SingleInstance* instance = &start.instance();

  const bool headless = orvanta::RunsWithoutDisplay();
  if (headless) {
    const QString platform = QGuiApplication::platformName();
    std::fprintf(
        stderr,
        "orvanta: no display available, running without windows (Qt platform "
        "%s); messages appear here\n",
        platform.toUtf8().constData());
  }

  orvanta::QtShell shell(
      {QCoreApplication::applicationFilePath().toStdU16String(), headless,
       orvanta::Utf8ToUtf16(settings_folder)});
  orvanta::QtSettingsWindow view;

  int result = 0;
  {
    orvanta::Program program(shell);
    if (headless) {
      // The log pane is never seen: its lines come out with the messages
      // (for the service, into the journal).
      program.Log().SetEcho([](const std::vector<std::u16string>& lines) {
        std::string text;
        for (const std::u16string& line : lines)
          text += "orvanta: " + orvanta::Utf16ToUtf8(line) + "\n";
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
      });
    }
    orvanta::SettingsPresenterOptions options;
    options.show_window_at_start = command.show_window;
    orvanta::SettingsPresenter main_window(view, shell, program,
                                           std::move(options));
    main_window.StartUp();
    instance->OnShowRequest([&main_window, &view] {
      main_window.OnSettingsMenu();
      return view.isVisible();
    });
    orvanta::TerminationSignals termination(
        [&main_window] { main_window.OnEndSession(); });
    main_window.ShowAtStartIfDue();
    result = QApplication::exec();
    instance->OnShowRequest(nullptr);
  }
  return result;
}
