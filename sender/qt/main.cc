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
#include "sender/program.h"
#include "sender/settings_presenter.h"
#include "sender/qt/qt_shell.h"
#include "desktop/qt/qt_text.h"
#include "desktop/qt/settings_folder.h"
#include "sender/qt/settings_window.h"
#include "desktop/qt/termination_signals.h"
#include "desktop/single_instance.h"
#include "base/text.h"

namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0];
}

void Print(FILE* stream, const std::u16string& text) {
  std::fputs(orvanta::Utf16ToUtf8(text).c_str(), stream);
  std::fflush(stream);
}

QtMessageHandler qt_default_handler = nullptr;

// Qt's remarks about the platform it starts on ("QStandardPaths:
// XDG_RUNTIME_DIR not set", the display plugins' warnings) say nothing the
// user can act on; they are dropped. Qt's errors, and everything the
// program says itself (which does not go through Qt's log), still appear.
void DropStartUpNoise(QtMsgType type, const QMessageLogContext& context,
                      const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) {
    if (message.startsWith(QLatin1String("QStandardPaths: ")) ||
        message.startsWith(QLatin1String("This plugin does not support")) ||
        (context.category &&
         std::strncmp(context.category, "qt.qpa.", 7) == 0)) {
      return;
    }
  }
  if (qt_default_handler) {
    qt_default_handler(type, context, message);
  } else {
    std::fprintf(
        stderr, "%s\n",
        qFormatLogMessage(type, context, message).toLocal8Bit().constData());
  }
}

// The settings folder, absolute and ending in "/".
std::string SettingsFolder(const orvanta::CommandLine& command) {
  if (!command.settings_dir.empty()) {
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(
        orvanta::ToQString(command.settings_dir)));
    std::string folder = absolute.toStdString();
    if (folder.back() != '/') folder += '/';
    return folder;
  }
  std::string exe_directory =
      QCoreApplication::applicationDirPath().toStdString();
  if (exe_directory.empty() || exe_directory.back() != '/')
    exe_directory += '/';
  return orvanta::ChooseSettingsFolder(exe_directory);
}

}  // namespace

int main(int argc, char** argv) {
  qt_default_handler = qInstallMessageHandler(DropStartUpNoise);

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

  // Qt has taken its own options (-platform ...) out already.
  std::vector<std::u16string> arguments;
  const QStringList given = QCoreApplication::arguments();
  for (qsizetype i = 1; i < given.size(); ++i)
    arguments.push_back(given[i].toStdU16String());
  const orvanta::CommandLine command = orvanta::ParseCommandLine(arguments);
  const std::u16string program =
      QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdU16String();
  switch (command.action) {
    case orvanta::CommandLine::Action::kHelp:
      Print(stdout, orvanta::HelpText(program));
      return orvanta::kExitSuccess;
    case orvanta::CommandLine::Action::kVersion:
      Print(stdout, orvanta::VersionText(orvanta::ComposeCaption({})));
      return orvanta::kExitSuccess;
    case orvanta::CommandLine::Action::kUsageError:
      Print(stderr, orvanta::UsageErrorText(program, command.error));
      return orvanta::kExitUsage;
    case orvanta::CommandLine::Action::kRun:
      break;
  }

  const std::string settings_folder = SettingsFolder(command);
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

  orvanta::QtShell shell(
      {QCoreApplication::applicationFilePath().toStdU16String(), headless,
       orvanta::Utf8ToUtf16(settings_folder)});
  orvanta::QtSettingsWindow view;

  int result = 0;
  {
    orvanta::Program program(shell);
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
