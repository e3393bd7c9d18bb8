#ifndef ORVANTA_DESKTOP_QT_PROGRAM_START_H_
#define ORVANTA_DESKTOP_QT_PROGRAM_START_H_

#include <QIcon>
#include <QString>

#include <memory>
#include <string>

#include "desktop/command_line.h"
#include "desktop/single_instance.h"

namespace orvanta {

// Who a Linux program is, for what both do before their own parts start.
struct QtProgramIdentity {
  // "orvanta", "orvanta-alici": the application and desktop file name, the
  // instance key and the prefix of what the program prints.
  std::string name;
  QString display_name;
  QIcon icon;
  const ProgramHelp* help = nullptr;
  // The program's name and version, as --version prints it.
  std::u16string caption;
  // What a second start for the same folder shows ("settings window").
  std::string window;
};

// The start both Linux programs share, after the QApplication exists: the
// application's names, the command line, and one running copy per settings
// folder. When a step says the program ends here, exit_code() is what it
// ends with; what the user needs to know has been printed.
class QtProgramStart {
 public:
  // Names the application and sets its icon. Hiding a window or closing a
  // dialog never ends a program that lives in the tray.
  explicit QtProgramStart(QtProgramIdentity identity);

  // Reads the arguments Qt left (its own, such as -platform, are out);
  // false when the program ends: --help, --version or a usage error was
  // answered.
  bool ReadCommandLine(const char* argv0);
  const CommandLine& command() const { return command_; }

  // Claims the settings folder (--settings-dir or the default); false when
  // another copy holds it, which has been asked to show its window.
  bool ClaimSettingsFolder();
  const std::string& settings_folder() const { return settings_folder_; }
  SingleInstance& instance() { return *instance_; }

  int exit_code() const { return exit_code_; }

 private:
  QtProgramIdentity identity_;
  CommandLine command_;
  std::string settings_folder_;
  std::unique_ptr<SingleInstance> instance_;
  int exit_code_ = kExitSuccess;
};

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_QT_PROGRAM_START_H_
