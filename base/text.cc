#include "base/text.h"

#include <algorithm>

namespace orvanta {

namespace {

// The code point of the well-formed UTF-8 sequence at `i`, which is moved
// past it; false (and `i` unchanged) when none starts there: overlong
// forms, surrogates, code points above U+10FFFF and truncated sequences.
bool DecodeUtf8Sequence(std::string_view bytes, size_t& i, char32_t& cp) {
  const unsigned char b0 = static_cast<unsigned char>(bytes[i]);
  if (b0 < 0x80) {
    cp = b0;
    ++i;
    return true;
  }
  int extra;
  char32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    extra = 1;
    cp = b0 & 0x1F;
    min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    extra = 2;
    cp = b0 & 0x0F;
    min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    extra = 3;
    cp = b0 & 0x07;
    min = 0x10000;
  } else {
    return false;
  }
  if (bytes.size() - i <= static_cast<size_t>(extra)) return false;
  for (int k = 1; k <= extra; ++k) {
    const unsigned char b = static_cast<unsigned char>(bytes[i + k]);
    if ((b & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    return false;
  }
  i += extra + 1;
  return true;
}

}  // namespace

std::optional<std::u16string> DecodeUtf8Strict(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  size_t i = 0;
  char32_t cp;
  while (i < bytes.size()) {
    if (!DecodeUtf8Sequence(bytes, i, cp)) return std::nullopt;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

size_t ValidUtf8Length(std::string_view bytes) {
  size_t i = 0;
  char32_t cp;
  while (i < bytes.size() && DecodeUtf8Sequence(bytes, i, cp)) {
  }
  return i;
}

std::string EncodeUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() &&
        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
  if (auto strict = DecodeUtf8Strict(bytes)) return *strict;
  // Lenient fallback: decode what is valid, U+FFFD for each bad byte.
  std::u16string out;
  size_t i = 0;
  while (i < bytes.size()) {
    size_t len = 1;
    const unsigned char b0 = static_cast<unsigned char>(bytes[i]);
    if (b0 >= 0xC2 && b0 <= 0xDF)
      len = 2;
    else if (b0 >= 0xE0 && b0 <= 0xEF)
      len = 3;
    else if (b0 >= 0xF0 && b0 <= 0xF4)
      len = 4;
    if (b0 < 0x80) {
      out.push_back(b0);
      ++i;
      continue;
    }
    if (i + len <= bytes.size()) {
      if (auto piece = DecodeUtf8Strict(bytes.substr(i, len))) {
        out += *piece;
        i += len;
        continue;
      }
    }
    out.push_back(0xFFFD);
    ++i;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) { return EncodeUtf8(text); }

std::u16string IntToText(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

char16_t AsciiUpper(char16_t c) {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

namespace {

template <typename View>
bool SameTextAsciiIn(View a, View b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

template <typename View>
View TrimSpacesAndTabsIn(View text) {
  const auto blank = [](auto c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

bool SameTextAscii(std::u16string_view a, std::u16string_view b) {
  return SameTextAsciiIn(a, b);
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  return SameTextAsciiIn(a, b);
}

bool LessIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(),
      [](char16_t x, char16_t y) { return AsciiUpper(x) < AsciiUpper(y); });
}

char16_t UpperLatinTurkish(char16_t c) {
  if (c >= u'a' && c <= u'z') return c - (u'a' - u'A');
  // Latin-1 small letters (not the division sign or ÿ, whose capital lies
  // elsewhere), and the Turkish letters outside Latin-1.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  switch (c) {
    case u'ğ':
      return u'Ğ';
    case u'ş':
      return u'Ş';
    default:
      return c;
  }
}

char16_t LowerLatinTurkish(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + (u'a' - u'A');
  // Latin-1 capitals (but not the multiplication sign).
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  switch (c) {
    case u'Ğ':
      return u'ğ';
    case u'Ş':
      return u'ş';
    case u'İ':
      return u'i';
    default:
      return c;
  }
}

std::u16string_view TrimSpacesAndTabs(std::u16string_view text) {
  return TrimSpacesAndTabsIn(text);
}

std::string_view TrimSpacesAndTabs(std::string_view text) {
  return TrimSpacesAndTabsIn(text);
}

std::u16string_view TrimControls(std::u16string_view text) {
  while (!text.empty() && text.front() <= u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() <= u' ') text.remove_suffix(1);
  return text;
}

std::string_view TrimControls(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace orvanta
