#ifndef ORVANTA_BASE_SYSTEM_ERROR_H_
#define ORVANTA_BASE_SYSTEM_ERROR_H_

#include <cstdint>
#include <string>

namespace orvanta {

// The system's text for an error code (Windows: FormatMessage for a Win32
// error or HRESULT; elsewhere: strerror for an errno value), at most 256
// characters, with trailing blanks, control characters and full stops
// removed. Empty when the system has no text for the code.
std::u16string SystemErrorText(uint32_t code);

// The calling thread's last error code (GetLastError / errno).
uint32_t LastSystemError();

// Trailing characters with codes 0..32 and "." removed.
std::u16string TrimMessageEnd(std::u16string text);

}  // namespace orvanta

#endif  // ORVANTA_BASE_SYSTEM_ERROR_H_
