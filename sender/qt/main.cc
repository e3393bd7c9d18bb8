// The Linux program: the portable main window over the Qt views and shell.

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "desktop/command_line.h"
#include "sender/program_help.h"
#include "sender/program.h"
#include "sender/settings_presenter.h"
#include "sender/qt/qt_shell.h"
#include "desktop/qt/platform_choice.h"
#include "desktop/qt/qt_text.h"
#include "desktop/qt/settings_folder.h"
#include "sender/qt/settings_window.h"
#include "desktop/qt/termination_signals.h"
#include "desktop/single_instance.h"
#include "base/text.h"

namespace {

void Print(FILE* stream, const std::u16string& text) {
  std::fputs(orvanta::Utf16ToUtf8(text).c_str(), stream);
  std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
  orvanta::DropQtStartUpNoise();

  orvanta::ChooseQtPlatform();

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("orvanta"));
  QApplication::setApplicationDisplayName(QStringLiteral("Orvanta"));
  QApplication::setDesktopFileName(QStringLiteral("orvanta"));
  // Hiding the window or closing a dialog never ends the program.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(orvanta::ProgramIcon());

  // Qt has taken its own options (-platform ...) out already.
  std::vector<std::u16string> arguments;
  const QStringList given = QCoreApplication::arguments();
  for (qsizetype i = 1; i < given.size(); ++i)
    arguments.push_back(given[i].toStdU16String());
  const orvanta::CommandLine command = orvanta::ParseCommandLine(arguments);
  const std::u16string program =
      QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdU16String();
  if (const auto answer =
          orvanta::AnswerFor(command, program, orvanta::kSenderHelp,
                             orvanta::ComposeCaption({}))) {
    Print(answer->error ? stderr : stdout, answer->text);
    return answer->exit_code;
  }

  const std::string settings_folder =
      orvanta::SettingsFolderFor(command.settings_dir);
  orvanta::SingleInstance::Outcome outcome;
  std::unique_ptr<orvanta::SingleInstance> instance =
      orvanta::SingleInstance::Claim(
          orvanta::InstanceKey(orvanta::Utf8ToUtf16(settings_folder),
                               orvanta::PathStyle::kPosix),
          outcome);
  if (!instance) {
    const bool shown =
        outcome == orvanta::SingleInstance::Outcome::kShownInRunning;
    std::fprintf(stderr,
                 "orvanta: already running for the settings folder %s; %s\n",
                 settings_folder.c_str(),
                 shown ? "its settings window is shown"
                       : "it did not answer (it may belong to another user)");
    return shown ? orvanta::kExitSuccess : orvanta::kExitFailure;
  }

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
    main_window.FormCreate();
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
