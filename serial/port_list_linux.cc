#include "serial/port_list_linux.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>

#include "base/text.h"
#include "serial/port_list.h"
#include "serial/serial_error.h"

namespace orvanta {
namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;  // follows links
}

}  // namespace

std::vector<std::u16string> ListTtyPorts(const PortFolders& folders) {
  DIR* dir = opendir(folders.tty_class.c_str());
  if (!dir) {
    throw SerialPortSystemError::ForCall(Utf8ToUtf16(folders.tty_class),
                                         SerialFailure::kPortFolder,
                                         static_cast<uint32_t>(errno));
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
      // The port takes an absolute path as it stands.
      const std::string path = folders.by_id + "/" + name;
      if (Exists(path)) names.push_back(Utf8ToUtf16(path));
    }
    closedir(by_id);
  }
  SortPortNames(names);
  return names;
}

std::vector<std::u16string> ListSerialPorts() {
  return ListTtyPorts(PortFolders{});
}

}  // namespace orvanta
