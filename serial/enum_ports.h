#ifndef ORVANTA_SERIAL_ENUM_PORTS_H_
#define ORVANTA_SERIAL_ENUM_PORTS_H_

#include <string>
#include <vector>

namespace orvanta {

// Replaces `ports` with the names of this machine's serial ports, as Open
// accepts them ("COM3" on Windows, "ttyUSB0" on Linux), sorted without
// regard to case. SerialPortSystemError kind 23 named "EnumComPorts" when the
// ports cannot be listed.
void EnumComPorts(std::vector<std::u16string>& ports);

// Sorts names without regard to (7-bit) case, so COM10 comes before COM2.
void SortPortNames(std::vector<std::u16string>& names);

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_ENUM_PORTS_H_
