#include "settings/text_case.h"

#include <wctype.h>

namespace orvanta {

std::u16string UpperCase(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    char32_t upper = c;
    // A lone surrogate is no character: it stays as it is.
    if (c < 0xD800 || c > 0xDFFF) {
      upper = static_cast<char32_t>(towupper(static_cast<wint_t>(c)));
    }
    if (upper >= 0x10000) {
      upper -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (upper >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (upper & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(upper));
    }
  }
  return out;
}

bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return UpperCase(a) == UpperCase(b);
}

}  // namespace orvanta
