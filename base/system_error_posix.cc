#include "base/system_error.h"

#include <errno.h>
#include <string.h>

#include "base/text.h"

namespace orvanta {

std::u16string SystemErrorText(uint32_t code) {
  char buffer[256];
  // GNU strerror_r may return a static string instead of filling buffer.
  const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
  std::u16string wide = Utf8ToUtf16(text ? text : "");
  if (wide.size() > 256) wide.resize(256);
  return TrimMessageEnd(wide);
}

uint32_t LastSystemError() { return static_cast<uint32_t>(errno); }

}  // namespace orvanta
