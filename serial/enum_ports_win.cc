#include "serial/enum_ports_win.h"

#include "serial/serial_port.h"
#include "serial/enum_ports.h"

namespace orvanta {
namespace {

[[noreturn]] void RegistryFailure(LONG code) {
  throw SerialPortSystemError::ForCall(u"EnumComPorts", com_failure::kRegistry,
                                       static_cast<uint32_t>(code));
}

}  // namespace

void EnumComPortsInKey(HKEY root, const wchar_t* subkey,
                       std::vector<std::u16string>& ports) {
  HKEY key;
  const LONG opened = RegOpenKeyExW(root, subkey, 0, KEY_READ, &key);
  if (opened != ERROR_SUCCESS) RegistryFailure(opened);
  std::vector<std::u16string> names;
  LONG result = ERROR_SUCCESS;
  for (DWORD index = 0;; ++index) {
    wchar_t value_name[256];
    DWORD name_size = 256;
    BYTE data[256];
    DWORD data_size = sizeof data;
    DWORD type = 0;
    result = RegEnumValueW(key, index, value_name, &name_size, nullptr, &type,
                           data, &data_size);
    if (result != ERROR_SUCCESS) break;
    const auto* text = reinterpret_cast<const char16_t*>(data);
    size_t length = data_size / sizeof(char16_t);
    for (size_t i = 0; i < length; ++i) {
      if (text[i] == 0) {
        length = i;
        break;
      }
    }
    names.emplace_back(text, length);
  }
  RegCloseKey(key);
  if (result != ERROR_NO_MORE_ITEMS) RegistryFailure(result);
  SortPortNames(names);
  ports = std::move(names);
}

void EnumComPorts(std::vector<std::u16string>& ports) {
  EnumComPortsInKey(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM",
                    ports);
}

}  // namespace orvanta
