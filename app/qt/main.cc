// The Linux program: the portable main window over the Qt views and shell.

#include <unistd.h>

#include <QApplication>
#include <QSystemTrayIcon>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/qt/qt_shell.h"
#include "app/qt/qt_text.h"
#include "app/qt/settings_folder.h"
#include "app/qt/settings_window.h"
#include "base/text.h"

namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0];
}

}  // namespace

int main(int argc, char** argv) {
  // Without a display the program still does its work: Qt draws into memory.
  // An X display that cannot be reached (no access as another user, a stale
  // DISPLAY) is no display either.
  if (!Set("QT_QPA_PLATFORM")) {
    if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY")) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
    } else if (!Set("WAYLAND_DISPLAY")) {
      setenv("QT_QPA_PLATFORM", "xcb;offscreen", 1);
    }
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("orvanta"));
  QApplication::setApplicationDisplayName(QStringLiteral("Orvanta"));
  QApplication::setDesktopFileName(QStringLiteral("orvanta"));
  // Hiding the window or closing a dialog never ends the program.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(orvanta::ProgramIcon());

  const QString platform = QGuiApplication::platformName();
  const bool headless = platform == QLatin1String("offscreen") ||
                        platform == QLatin1String("minimal");
  if (headless) {
    std::fprintf(
        stderr,
        "orvanta: no display available, running without windows (Qt platform "
        "%s); messages appear here\n",
        platform.toUtf8().constData());
  }

  std::string exe_directory =
      QCoreApplication::applicationDirPath().toStdString();
  if (exe_directory.empty() || exe_directory.back() != '/')
    exe_directory += '/';
  const std::string settings_folder =
      orvanta::ChooseSettingsFolder(exe_directory);

  orvanta::QtShell shell(
      {QCoreApplication::applicationFilePath().toStdU16String(), headless,
       orvanta::Utf8ToUtf16(settings_folder)});
  orvanta::QtSettingsWindow view;
  view.SetBeforeSave(
      [settings_folder] { orvanta::CreateSettingsFolder(settings_folder); });

  int result = 0;
  {
    orvanta::MainWindow main_window(view, shell);
    main_window.FormCreate();
    // With no tray anywhere the icon would never appear and the program
    // could not be reached: then the window shows at once.
    if (shell.ShowMainWindowOnStart() ||
        (!headless && !QSystemTrayIcon::isSystemTrayAvailable())) {
      view.ShowWindow();
    }
    result = QApplication::exec();
  }
  return result;
}
