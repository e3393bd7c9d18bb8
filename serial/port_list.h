#ifndef ORVANTA_SERIAL_PORT_LIST_H_
#define ORVANTA_SERIAL_PORT_LIST_H_

#include <string>
#include <vector>

namespace orvanta {

// The names of this machine's serial ports, as the port opens them ("COM3"
// on Windows, "ttyUSB0" or a stable full path on Linux), sorted without
// regard to case. SerialPortSystemError when they cannot be listed.
std::vector<std::u16string> ListSerialPorts();

// Sorts names without regard to (ASCII) case, so COM10 comes before COM2.
void SortPortNames(std::vector<std::u16string>& names);

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_PORT_LIST_H_
