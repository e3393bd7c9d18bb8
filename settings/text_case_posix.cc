#include "settings/text_case.h"

#include <wctype.h>

namespace orvanta {

namespace {

// The code point at `i` (a surrogate pair read as one), advancing `i`.
char32_t NextCodePoint(std::u16string_view text, size_t& i) {
  char32_t c = text[i++];
  if (c >= 0xD800 && c <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 &&
      text[i] <= 0xDFFF) {
    c = 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
  }
  return c;
}

char32_t UpperCodePoint(char32_t c) {
  // A lone surrogate is no character: it stays as it is.
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  return static_cast<char32_t>(towupper(static_cast<wint_t>(c)));
}

}  // namespace

std::u16string UpperCase(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t upper = UpperCodePoint(NextCodePoint(text, i));
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

// The same answer as comparing the two UpperCase results, without building
// them: the store looks names up this way at every serial packet.
bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a == b) return true;
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (UpperCodePoint(NextCodePoint(a, i)) != UpperCodePoint(NextCodePoint(b, j)))
      return false;
  }
  return i == a.size() && j == b.size();
}

}  // namespace orvanta
