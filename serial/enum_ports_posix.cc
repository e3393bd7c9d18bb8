#include "serial/enum_ports_posix.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>

#include "base/text.h"
#include "serial/com_port.h"
#include "serial/enum_ports.h"

namespace orvanta {

void EnumTtyPorts(const std::string& class_dir, std::vector<std::u16string>& ports) {
  DIR* dir = opendir(class_dir.c_str());
  if (!dir) {
    throw EComPortExt::ForCall(u"EnumComPorts", com_failure::kRegistry,
                               static_cast<uint32_t>(errno));
  }
  std::vector<std::u16string> names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info;
    if (stat((class_dir + "/" + name + "/device").c_str(), &info) == 0) {
      names.push_back(Utf8ToUtf16(name));
    }
  }
  closedir(dir);
  SortPortNames(names);
  ports = std::move(names);
}

void EnumComPorts(std::vector<std::u16string>& ports) {
  EnumTtyPorts("/sys/class/tty", ports);
}

}  // namespace orvanta
