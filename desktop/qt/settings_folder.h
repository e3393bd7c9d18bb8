#ifndef ORVANTA_DESKTOP_QT_SETTINGS_FOLDER_H_
#define ORVANTA_DESKTOP_QT_SETTINGS_FOLDER_H_

#include <functional>
#include <string>

namespace orvanta {

// Where the two settings files live on Linux, always ending in "/".
//
// Beside the executable, as on Windows, when the user may write there (a
// build tree, a copy unpacked somewhere); but never in a system "bin" folder
// (an installed program, perhaps run as root, must not litter /usr/bin).
// Otherwise in $XDG_CONFIG_HOME/orvanta/ (an absolute $XDG_CONFIG_HOME only),
// else $HOME/.config/orvanta/.
struct SettingsFolderInputs {
  std::string exe_directory;  // ends in "/"
  std::function<bool(const std::string& folder)> writable;
  std::function<const char*(const char* name)> environment;
};
std::string ChooseSettingsFolder(const SettingsFolderInputs& inputs);

// The same, for this process.
std::string ChooseSettingsFolder(const std::string& exe_directory);

// The folder for a --settings-dir given on the command line, made absolute
// against the working folder, or the usual one for this process when none
// was given; it ends in "/".
std::string SettingsFolderFor(const std::u16string& settings_dir);

// Creates `folder` and any missing parent; a failure is left for the write
// that follows to report.
void CreateSettingsFolder(const std::string& folder);

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_QT_SETTINGS_FOLDER_H_
