#include "base/host_name.h"

#include <windows.h>

namespace orvanta {

std::u16string HostName() {
  // The DNS host name keeps the letter case the owner gave; the NetBIOS
  // name is in capitals and cut to 15 characters.
  wchar_t name[256] = {};
  DWORD size = static_cast<DWORD>(sizeof name / sizeof name[0]);
  if (!GetComputerNameExW(ComputerNameDnsHostname, name, &size) || size == 0) {
    return u"localhost";
  }
  return std::u16string(reinterpret_cast<const char16_t*>(name), size);
}

}  // namespace orvanta
