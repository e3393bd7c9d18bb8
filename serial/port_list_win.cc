#include "serial/port_list_win.h"

#include "serial/port_list.h"
#include "serial/serial_error.h"

namespace orvanta {
namespace {

[[noreturn]] void RegistryFailure(LONG code) {
  // The name the message has always given the port list.
  throw SerialPortSystemError::ForCall(u"EnumComPorts",
                                       SerialFailure::kPortRegistry,
                                       static_cast<uint32_t>(code));
}

}  // namespace

std::vector<std::u16string> ListPortsInRegistryKey(HKEY root,
                                                   const wchar_t* subkey) {
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
  return names;
}

std::vector<std::u16string> ListSerialPorts() {
  return ListPortsInRegistryKey(HKEY_LOCAL_MACHINE,
                                L"HARDWARE\\DEVICEMAP\\SERIALCOMM");
}

}  // namespace orvanta
