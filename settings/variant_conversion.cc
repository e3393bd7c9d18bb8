#include "settings/variant_conversion.h"

#include <string>

#include "base/text.h"

namespace orvanta {
namespace {

// The blanks the conversions skip: the Unicode space separators and the
// ASCII/Latin-1 line and tab controls.
bool IsBlank(char16_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 ||
         c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

int DigitValue(char16_t c, int base) {
  int value = 99;
  if (c >= u'0' && c <= u'9')
    value = c - u'0';
  else if (c >= u'a' && c <= u'f')
    value = c - u'a' + 10;
  else if (c >= u'A' && c <= u'F')
    value = c - u'A' + 10;
  return value < base ? value : -1;
}

// A number as the text writes it: (negative) 0.digits × 10^point, or a
// 32-bit pattern from "&H"/"&O".
struct ParsedNumber {
  bool pattern = false;
  bool too_large = false;  // a pattern beyond 32 bits
  uint32_t bits = 0;       // the pattern
  bool negative = false;
  std::string digits;   // significant digits, no leading zeros
  long long point = 0;  // digits before the decimal point
};

constexpr long long kExponentLimit = 1'000'000'000;

std::optional<ParsedNumber> ParseNumber(std::u16string_view text,
                                        const NumberLocale& locale) {
  text = text.substr(0, text.find(u'\0'));
  ParsedNumber number;
  size_t i = 0;
  const size_t n = text.size();
  auto skip_blanks = [&] {
    while (i < n && IsBlank(text[i])) ++i;
  };
  skip_blanks();

  if (i + 1 < n && text[i] == u'&' &&
      (text[i + 1] == u'H' || text[i + 1] == u'h' || text[i + 1] == u'O' ||
       text[i + 1] == u'o')) {
    const int base = (text[i + 1] == u'H' || text[i + 1] == u'h') ? 16 : 8;
    i += 2;
    const size_t first = i;
    uint64_t value = 0;
    for (int d; i < n && (d = DigitValue(text[i], base)) >= 0; ++i) {
      value = value * base + d;
      if (value > 0xFFFFFFFFu) {
        number.too_large = true;
        value = 0;
      }
    }
    if (i == first) return std::nullopt;
    skip_blanks();
    if (i != n) return std::nullopt;
    number.pattern = true;
    number.bits = static_cast<uint32_t>(value);
    return number;
  }

  if (i < n && (text[i] == u'+' || text[i] == u'-')) {
    number.negative = text[i] == u'-';
    ++i;
    skip_blanks();
  }
  bool seen_digit = false;
  bool in_fraction = false;
  long long integer_digits = 0;
  for (; i < n; ++i) {
    const char16_t c = text[i];
    if (c >= u'0' && c <= u'9') {
      seen_digit = true;
      if (!number.digits.empty() || c != u'0') {
        number.digits.push_back(static_cast<char>(c));
        if (!in_fraction) ++integer_digits;
      } else if (in_fraction) {
        --integer_digits;  // a zero between the point and the first digit
      }
    } else if (c == locale.decimal && !in_fraction) {
      in_fraction = true;
    } else if (c == locale.grouping && c != u'\0' && seen_digit) {
      // Grouping is not checked for place; it only has to follow a digit.
    } else {
      break;
    }
  }
  if (!seen_digit) return std::nullopt;

  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    bool negative_exponent = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
      negative_exponent = text[i] == u'-';
      ++i;
    }
    const size_t first = i;
    long long exponent = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
      if (exponent < kExponentLimit)
        exponent = exponent * 10 + (text[i] - u'0');
    }
    if (i == first) return std::nullopt;
    integer_digits += negative_exponent ? -exponent : exponent;
  }
  skip_blanks();
  if (i != n) return std::nullopt;
  number.point = integer_digits;
  return number;
}

}  // namespace

IntegerResult VariantTextToInt32(std::u16string_view text,
                                 const NumberLocale& locale) {
  const std::optional<ParsedNumber> number = ParseNumber(text, locale);
  if (!number) return {NumberConversion::kNotANumber, 0};
  if (number->pattern) {
    if (number->too_large) return {NumberConversion::kOverflow, 0};
    return {NumberConversion::kOk, static_cast<int32_t>(number->bits)};
  }
  const std::string& digits = number->digits;
  const long long point = number->point;
  if (digits.empty()) return {NumberConversion::kOk, 0};
  // The first digit is not zero, so more than ten integer digits cannot fit.
  if (point > 10) return {NumberConversion::kOverflow, 0};

  uint64_t magnitude = 0;
  for (long long k = 0; k < point; ++k) {
    magnitude =
        magnitude * 10 +
        (k < static_cast<long long>(digits.size()) ? digits[k] - '0' : 0);
  }
  // Round half to even on the exact digits. With point < 0 the first
  // fraction digit is a zero: the value rounds down.
  if (point >= 0 && point < static_cast<long long>(digits.size())) {
    const char first = digits[point];
    const bool more =
        digits.find_first_not_of('0', point + 1) != std::string::npos;
    if (first > '5' || (first == '5' && (more || magnitude % 2 == 1))) {
      ++magnitude;
    }
  }
  if (number->negative) {
    if (magnitude > 0x80000000u) return {NumberConversion::kOverflow, 0};
    return {NumberConversion::kOk,
            static_cast<int32_t>(-static_cast<int64_t>(magnitude))};
  }
  if (magnitude > 0x7FFFFFFFu) return {NumberConversion::kOverflow, 0};
  return {NumberConversion::kOk, static_cast<int32_t>(magnitude)};
}

std::optional<bool> VariantTextToBool(std::u16string_view text,
                                      const NumberLocale& locale) {
  const std::u16string_view whole = text.substr(0, text.find(u'\0'));
  if (SameTextAscii(whole, u"TRUE")) return true;
  if (SameTextAscii(whole, u"FALSE")) return false;
  const std::optional<ParsedNumber> number = ParseNumber(text, locale);
  if (!number || number->too_large) return std::nullopt;
  return number->pattern ? number->bits != 0 : !number->digits.empty();
}

}  // namespace orvanta
