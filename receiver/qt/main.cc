// The Linux receiver: shows each call Orvanta announces on the LAN.

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QSystemTrayIcon>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "desktop/qt/qt_text.h"
#include "desktop/qt/settings_folder.h"
#include "base/failure.h"
#include "base/text.h"
#include "receiver/qt/receiver_program.h"

namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0];
}

// A polite end (systemd, a session ending, a test) leaves through the event
// loop, so the listening thread is joined: the signal handler only writes a
// byte, which the loop reads.
int signal_pipe[2] = {-1, -1};

void OnEndSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signal_pipe[1], &byte, 1);
}

}  // namespace

int main(int argc, char** argv) {
  // Without a display the receiver still keeps the history (and runs the
  // hook); notifications then go to the terminal.
  if (!Set("QT_QPA_PLATFORM")) {
    if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY")) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
    } else if (!Set("WAYLAND_DISPLAY")) {
      setenv("QT_QPA_PLATFORM", "xcb;offscreen", 1);
    }
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("orvanta-alici"));
  QApplication::setApplicationDisplayName(
      QStringLiteral("Orvanta Al\u0131c\u0131"));
  QApplication::setDesktopFileName(QStringLiteral("orvanta-alici"));
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(orvanta::ReceiverIcon());
  std::unique_ptr<QSocketNotifier> end_notifier;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_pipe) == 0) {
    end_notifier = std::make_unique<QSocketNotifier>(signal_pipe[0],
                                                     QSocketNotifier::Read);
    QObject::connect(end_notifier.get(), &QSocketNotifier::activated,
                     &QCoreApplication::quit);
    for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
      std::signal(signal_number, OnEndSignal);
    }
  }

  const QString platform = QGuiApplication::platformName();
  const bool headless = platform == QLatin1String("offscreen") ||
                        platform == QLatin1String("minimal");
  std::string exe_directory =
      QCoreApplication::applicationDirPath().toStdString();
  if (exe_directory.empty() || exe_directory.back() != '/')
    exe_directory += '/';
  const std::string folder = orvanta::ChooseSettingsFolder(exe_directory);
  orvanta::CreateSettingsFolder(folder);

  try {
    orvanta::ReceiverProgram program(orvanta::Utf8ToUtf16(folder), headless);
    program.Start();
    if (headless) {
      std::fprintf(stderr,
                   "orvanta-alici: no display, listening on UDP port %u; "
                   "history in %s\n",
                   program.Port(),
                   orvanta::Utf16ToUtf8(program.App().HistoryPath()).c_str());
    } else if (!QSystemTrayIcon::isSystemTrayAvailable()) {
      program.Shell().ShowHistoryWindow();
    }
    return QApplication::exec();
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
    return 1;
  }
}
