// The Linux receiver: shows each call Orvanta announces on the LAN.

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QSystemTrayIcon>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/text.h"
#include "desktop/command_line.h"
#include "desktop/qt/platform_choice.h"
#include "desktop/qt/qt_text.h"
#include "desktop/qt/settings_folder.h"
#include "desktop/qt/termination_signals.h"
#include "desktop/single_instance.h"
#include "receiver/qt/receiver_program.h"
#include "receiver/receiver_help.h"

namespace {

void Print(FILE* stream, const std::u16string& text) {
  std::fputs(orvanta::Utf16ToUtf8(text).c_str(), stream);
  std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
  // Without a display the receiver still keeps the history (and runs the
  // hook); notifications then go to the terminal.
  orvanta::DropQtStartUpNoise();
  orvanta::ChooseQtPlatform();

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("orvanta-alici"));
  QApplication::setApplicationDisplayName(
      QStringLiteral("Orvanta Al\u0131c\u0131"));
  QApplication::setDesktopFileName(QStringLiteral("orvanta-alici"));
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(orvanta::ReceiverIcon());

  // Qt has taken its own options (-platform ...) out already.
  std::vector<std::u16string> arguments;
  const QStringList given = QCoreApplication::arguments();
  for (qsizetype i = 1; i < given.size(); ++i)
    arguments.push_back(given[i].toStdU16String());
  const orvanta::CommandLine command = orvanta::ParseCommandLine(arguments);
  const std::u16string program =
      QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdU16String();
  if (const auto answer =
          orvanta::AnswerFor(command, program, orvanta::kReceiverHelp,
                             orvanta::ReceiverCaption())) {
    Print(answer->error ? stderr : stdout, answer->text);
    return answer->exit_code;
  }

  const std::string folder = orvanta::SettingsFolderFor(command.settings_dir);
  orvanta::SingleInstance::Outcome outcome;
  std::unique_ptr<orvanta::SingleInstance> instance =
      orvanta::SingleInstance::Claim(
          orvanta::InstanceKey(orvanta::Utf8ToUtf16(folder),
                               orvanta::PathStyle::kPosix, "orvanta-alici"),
          outcome);
  if (!instance) {
    const bool shown =
        outcome == orvanta::SingleInstance::Outcome::kShownInRunning;
    std::fprintf(stderr,
                 "orvanta-alici: already running for the settings folder %s; "
                 "%s\n",
                 folder.c_str(),
                 shown ? "its history window is shown"
                       : "it did not answer (it may belong to another user)");
    return shown ? orvanta::kExitSuccess : orvanta::kExitFailure;
  }
  orvanta::CreateSettingsFolder(folder);

  const bool headless = orvanta::RunsWithoutDisplay();
  int result = orvanta::kExitSuccess;
  try {
    orvanta::ReceiverProgram receiver(orvanta::Utf8ToUtf16(folder), headless);
    receiver.Start();
    // A polite end (systemd, a session ending, a test) leaves through the
    // event loop, so the listening thread is joined.
    orvanta::TerminationSignals termination(&QCoreApplication::quit);
    instance->OnShowRequest([&receiver] {
      receiver.Shell().ShowHistoryWindow();
      return receiver.Shell().Presenter().IsShown();
    });
    if (headless) {
      std::fprintf(stderr,
                   "orvanta-alici: no display, listening on UDP port %u; "
                   "history in %s\n",
                   receiver.Port(),
                   orvanta::Utf16ToUtf8(receiver.App().HistoryPath()).c_str());
    } else if (command.show_window || !receiver.Shell().HasTray()) {
      // Without a tray nothing else would open the history window.
      receiver.Shell().ShowHistoryWindow();
    }
    result = QApplication::exec();
    instance->OnShowRequest(nullptr);
  } catch (const orvanta::Failure& failure) {
    const std::u16string text =
        u"Orvanta Al\u0131c\u0131 ba\u015flat\u0131lamad\u0131.\r\n" +
        failure.message();
    std::fprintf(stderr, "orvanta-alici: %s\n",
                 orvanta::Utf16ToUtf8(text).c_str());
    if (!headless) {
      QMessageBox::critical(nullptr, QStringLiteral("Orvanta Al\u0131c\u0131"),
                            orvanta::ToQString(text));
    }
    return orvanta::kExitFailure;
  }
  return result;
}
