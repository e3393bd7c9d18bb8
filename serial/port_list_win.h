#ifndef ORVANTA_SERIAL_PORT_LIST_WIN_H_
#define ORVANTA_SERIAL_PORT_LIST_WIN_H_

#include <windows.h>

#include <string>
#include <vector>

namespace orvanta {

// The port names held as the values' data of the registry key `subkey`
// under `root`, sorted like ListSerialPorts; "COM Port Error: Registry
// error on EnumComPorts" when the key cannot be read.
std::vector<std::u16string> ListPortsInRegistryKey(HKEY root,
                                                   const wchar_t* subkey);

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_PORT_LIST_WIN_H_
