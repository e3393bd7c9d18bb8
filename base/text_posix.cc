#include "base/text.h"

#include <algorithm>
#include <array>

#include <wctype.h>

// Linux has no system ANSI code page; the program's Turkish users run
// Windows-1254, so that table stands in for it.

namespace orvanta {
namespace {

// Windows-1254, bytes 0x80..0xFF; 0 marks the five unassigned bytes, which
// map to the C1 control of the same value (as Windows' own table does).
constexpr std::array<char16_t, 128> kHighHalf = {
    0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
    0x2030, 0x0160, 0x2039, 0x0152, 0x0000, 0x0000, 0x0000, 0x0000, 0x2018,
    0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161,
    0x203A, 0x0153, 0x0000, 0x0000, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3,
    0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC,
    0x00AD, 0x00AE, 0x00AF, 0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5,
    0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE,
    0x00BF, 0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF, 0x011E,
    0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9,
    0x00DA, 0x00DB, 0x00DC, 0x0130, 0x015E, 0x00DF, 0x00E0, 0x00E1, 0x00E2,
    0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB,
    0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x011F, 0x00F1, 0x00F2, 0x00F3, 0x00F4,
    0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x0131,
    0x015F, 0x00FF};

char16_t ByteToWide(unsigned char b) {
  if (b < 0x80) return b;
  const char16_t c = kHighHalf[b - 0x80];
  return c ? c : static_cast<char16_t>(b);
}

}  // namespace

std::string ToAnsi(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    char mapped = '?';
    for (int b = 0x80; b <= 0xFF; ++b) {
      if (ByteToWide(static_cast<unsigned char>(b)) == c) {
        mapped = static_cast<char>(b);
        break;
      }
    }
    // A surrogate pair is one character: one default character for it.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;
    }
    out.push_back(mapped);
  }
  return out;
}

std::u16string FromAnsi(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char ch : bytes)
    out.push_back(ByteToWide(static_cast<unsigned char>(ch)));
  return out;
}

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

namespace {

char32_t AsciiUpper(char32_t c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

}  // namespace

// The same answer as comparing the two UpperCase results, without building
// them, in one pass: the store looks names up this way at every serial
// packet, and most names it compares share a long prefix ("CALLERID") and
// then differ in an ASCII letter. Upper-casing maps one code point to one,
// so the texts are the same when they have as many code points and each pair
// is equal or upper-cases alike. Two ASCII characters that differ other than
// in ASCII letter case upper-case differently in every locale (the Turkish
// one maps "i" to U+0130, which no other ASCII letter maps to), so such a pair
// settles it without asking the locale.
bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b) {
  // A letter and its other case take as many code units (no simple case
  // mapping crosses between the basic plane and the others), so texts of
  // different lengths never match. Most look-ups of a stored setting by
  // name end here, and a caller's call makes several.
  if (a.size() != b.size()) return false;
  if (a == b) return true;
  // The common prefix of equal code units holds equal code points; it ends
  // on a code point's boundary once a high surrogate before it is given back.
  const size_t shorter = std::min(a.size(), b.size());
  size_t same = 0;
  while (same < shorter && a[same] == b[same]) ++same;
  if (same > 0 && a[same - 1] >= 0xD800 && a[same - 1] <= 0xDBFF) --same;
  size_t i = same;
  size_t j = same;
  while (i < a.size() && j < b.size()) {
    const char32_t x = NextCodePoint(a, i);
    const char32_t y = NextCodePoint(b, j);
    if (x == y) continue;
    if (x < 0x80 && y < 0x80) {
      if (AsciiUpper(x) != AsciiUpper(y)) return false;
    }
    if (UpperCodePoint(x) != UpperCodePoint(y)) return false;
  }
  return i == a.size() && j == b.size();
}

}  // namespace orvanta
