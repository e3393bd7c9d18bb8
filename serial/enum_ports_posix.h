#ifndef ORVANTA_SERIAL_ENUM_PORTS_POSIX_H_
#define ORVANTA_SERIAL_ENUM_PORTS_POSIX_H_

#include <string>
#include <vector>

namespace orvanta {

// The terminals listed in the sysfs class directory `class_dir` (normally
// /sys/class/tty) that have a device behind them (`<name>/device` exists):
// serial ports, not virtual consoles or pseudo-terminals. Sorted like
// EnumComPorts; kind 23 when the directory cannot be read.
void EnumTtyPorts(const std::string& class_dir, std::vector<std::u16string>& ports);

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_ENUM_PORTS_POSIX_H_
