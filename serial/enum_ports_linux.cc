#include "serial/enum_ports_linux.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>

#include "base/text.h"
#include "serial/serial_port.h"
#include "serial/enum_ports.h"

namespace orvanta {
namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;  // follows links
}

}  // namespace

void EnumTtyPorts(const PortFolders& folders,
                  std::vector<std::u16string>& ports) {
  DIR* dir = opendir(folders.tty_class.c_str());
  if (!dir) {
    throw SerialPortSystemError::ForCall(
        u"EnumComPorts", com_failure::kRegistry, static_cast<uint32_t>(errno));
  }
  std::vector<std::u16string> names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (Exists(folders.tty_class + "/" + name + "/device")) {
      names.push_back(Utf8ToUtf16(name));
    }
  }
  closedir(dir);
  if (DIR* by_id = opendir(folders.by_id.c_str())) {
    while (const dirent* entry = readdir(by_id)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      // Open takes an absolute path as it stands.
      const std::string path = folders.by_id + "/" + name;
      if (Exists(path)) names.push_back(Utf8ToUtf16(path));
    }
    closedir(by_id);
  }
  SortPortNames(names);
  ports = std::move(names);
}

void EnumComPorts(std::vector<std::u16string>& ports) {
  EnumTtyPorts(PortFolders{}, ports);
}

}  // namespace orvanta
