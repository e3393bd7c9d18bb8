#include "base/system_error.h"

#include <windows.h>

namespace orvanta {

std::u16string SystemErrorText(uint32_t code) {
  wchar_t buffer[256];
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS |
                                     FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                 nullptr, code, 0, buffer, 256, nullptr);
  return TrimMessageEnd(
      std::u16string(reinterpret_cast<const char16_t*>(buffer), n));
}

uint32_t LastSystemError() { return GetLastError(); }

}  // namespace orvanta
