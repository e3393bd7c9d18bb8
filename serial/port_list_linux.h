#ifndef ORVANTA_SERIAL_PORT_LIST_LINUX_H_
#define ORVANTA_SERIAL_PORT_LIST_LINUX_H_

#include <string>
#include <vector>

namespace orvanta {

// Where the Linux port list looks.
struct PortFolders {
  // The sysfs class directory of terminals.
  std::string tty_class = "/sys/class/tty";
  // The stable names udev gives serial adapters, by maker, model and serial
  // number: they stay the same when the adapter is plugged in again, where
  // ttyUSB0 may come back as ttyUSB1.
  std::string by_id = "/dev/serial/by-id";
};

// The terminals listed in `folders.tty_class` that have a device behind them
// (`<name>/device` exists): serial ports, not virtual consoles or
// pseudo-terminals; plus the full path of every name in `folders.by_id`
// whose device exists. Sorted like ListSerialPorts, which puts the stable
// paths first. "COM Port Error: Unable to list serial ports on <class
// directory>" when the class directory cannot be read; a missing by-id
// folder (no adapter plugged in) adds nothing.
std::vector<std::u16string> ListTtyPorts(const PortFolders& folders);

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_PORT_LIST_LINUX_H_
