#ifndef ORVANTA_SERIAL_ENUM_PORTS_WIN_H_
#define ORVANTA_SERIAL_ENUM_PORTS_WIN_H_

#include <windows.h>

#include <string>
#include <vector>

namespace orvanta {

// The port names held as the values' data of the registry key `subkey`
// under `root`, sorted like EnumComPorts; kind 23 on registry errors.
void EnumComPortsInKey(HKEY root, const wchar_t* subkey,
                       std::vector<std::u16string>& ports);

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_ENUM_PORTS_WIN_H_
