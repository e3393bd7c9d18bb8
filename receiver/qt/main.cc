// The Linux receiver: shows each call Orvanta announces on the LAN.

#include <QApplication>
#include <QMessageBox>
#include <QSystemTrayIcon>

#include <cstdio>
#include <memory>
#include <string>

#include "base/failure.h"
#include "base/text.h"
#include "desktop/qt/platform_choice.h"
#include "desktop/qt/program_start.h"
#include "desktop/qt/qt_text.h"
#include "desktop/qt/settings_folder.h"
#include "desktop/qt/termination_signals.h"
#include "receiver/qt/receiver_program.h"
#include "receiver/receiver_help.h"

int main(int argc, char** argv) {
  // Without a display the receiver still keeps the history (and runs the
  // hook); notifications then go to the terminal.
  orvanta::DropQtStartUpNoise();
  orvanta::ChooseQtPlatform();

  QApplication app(argc, argv);
  orvanta::QtProgramStart start(
      {"orvanta-alici", QStringLiteral("Orvanta Al\u0131c\u0131"),
       orvanta::ReceiverIcon(), &orvanta::kReceiverHelp,
       orvanta::ReceiverCaption(), "history window"});
  if (!start.ReadCommandLine(argv[0]) || !start.ClaimSettingsFolder())
    return start.exit_code();
  const orvanta::CommandLine& command = start.command();
  const std::string& folder = start.settings_folder();
  orvanta::SingleInstance* instance = &start.instance();
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
