#include "desktop/qt/settings_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QString>

#include <cerrno>
#include <cstdlib>

namespace orvanta {
namespace {

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string ChooseSettingsFolder(const SettingsFolderInputs& inputs) {
  const std::string& exe = inputs.exe_directory;
  if (!EndsWith(exe, "/bin/") && inputs.writable(exe)) return exe;
  const char* config = inputs.environment("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return WithSlash(config) + "orvanta/";
  const char* home = inputs.environment("HOME");
  return WithSlash(home && home[0] ? home : "/tmp") + ".config/orvanta/";
}

std::string ChooseSettingsFolder(const std::string& exe_directory) {
  return ChooseSettingsFolder(
      {exe_directory,
       [](const std::string& folder) {
         return access(folder.c_str(), W_OK) == 0;
       },
       [](const char* name) -> const char* { return std::getenv(name); }});
}

void CreateSettingsFolder(const std::string& folder) {
  for (size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return;
  }
  if (!folder.empty() && folder.back() != '/') mkdir(folder.c_str(), 0700);
}

std::string SettingsFolderFor(const std::u16string& settings_dir) {
  if (!settings_dir.empty()) {
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(
        QString::fromStdU16String(settings_dir)));
    return WithSlash(absolute.toStdString());
  }
  return ChooseSettingsFolder(
      WithSlash(QCoreApplication::applicationDirPath().toStdString()));
}

}  // namespace orvanta
