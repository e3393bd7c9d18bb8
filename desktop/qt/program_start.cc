#include "desktop/qt/program_start.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <utility>
#include <vector>

#include "base/text.h"
#include "desktop/qt/settings_folder.h"

namespace orvanta {

QtProgramStart::QtProgramStart(QtProgramIdentity identity)
    : identity_(std::move(identity)) {
  const QString name = QString::fromStdString(identity_.name);
  QApplication::setApplicationName(name);
  QApplication::setApplicationDisplayName(identity_.display_name);
  QApplication::setDesktopFileName(name);
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(identity_.icon);
}

bool QtProgramStart::ReadCommandLine(const char* argv0) {
  std::vector<std::u16string> arguments;
  const QStringList given = QCoreApplication::arguments();
  for (qsizetype i = 1; i < given.size(); ++i)
    arguments.push_back(given[i].toStdU16String());
  command_ = ParseCommandLine(arguments);
  const std::u16string program =
      QFileInfo(QString::fromLocal8Bit(argv0)).fileName().toStdU16String();
  const auto answer =
      AnswerFor(command_, program, *identity_.help, identity_.caption);
  if (!answer) return true;
  FILE* stream = answer->error ? stderr : stdout;
  std::fputs(Utf16ToUtf8(answer->text).c_str(), stream);
  std::fflush(stream);
  exit_code_ = answer->exit_code;
  return false;
}

bool QtProgramStart::ClaimSettingsFolder() {
  settings_folder_ = SettingsFolderFor(command_.settings_dir);
  SingleInstance::Outcome outcome;
  instance_ =
      SingleInstance::Claim(InstanceKey(Utf8ToUtf16(settings_folder_),
                                        PathStyle::kPosix, identity_.name),
                            outcome);
  if (instance_) return true;
  const bool shown = outcome == SingleInstance::Outcome::kShownInRunning;
  const std::string what =
      shown ? "its " + identity_.window + " is shown"
            : "it did not answer (it may belong to another user)";
  std::fprintf(stderr, "%s: already running for the settings folder %s; %s\n",
               identity_.name.c_str(), settings_folder_.c_str(), what.c_str());
  exit_code_ = shown ? kExitSuccess : kExitFailure;
  return false;
}

}  // namespace orvanta
