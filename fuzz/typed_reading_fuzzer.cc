// The typed readings of stored text: text to integer and text to boolean.
// Beyond running them under the sanitizers: a failure is one of the two
// reading messages, and plain forms whose value is obvious read as that
// value.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/failure.h"
#include "base/text.h"
#include "fuzz/fuzz_support.h"
#include "settings/typed_reading.h"

namespace {

using orvanta::NumberLocale;
using orvanta::fuzz::Broken;

constexpr char16_t kIntegerOverflow[] =
    u"Overflow while converting variant of type (UnicodeString) into type "
    u"(Integer)";
constexpr char16_t kNotABoolean[] =
    u"Could not convert variant of type (UnicodeString) into type (Boolean)";

// Separators of locales that exist: "." or "," as decimal, with ",", ".",
// a space, a no-break space, an apostrophe or none as grouping.
NumberLocale LocaleFrom(uint8_t selector) {
  static constexpr char16_t kGrouping[] = {u',',      u'.',  u' ',
                                           u'\u00A0', u'\'', 0};
  NumberLocale locale;
  locale.decimal = (selector & 1) ? u',' : u'.';
  locale.grouping = kGrouping[(selector >> 1) % 6];
  if (locale.grouping == locale.decimal) locale.grouping = 0;
  return locale;
}

template <typename T, typename Reading>
std::optional<T> Read(Reading reading, std::u16string* message) {
  try {
    return reading();
  } catch (const orvanta::Failure& failure) {
    if (failure.message() != kIntegerOverflow &&
        failure.message() != kNotABoolean) {
      Broken("unexpected failure message", failure.message());
    }
    *message = failure.message();
    return std::nullopt;
  }
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Leading spaces, an optional "-", then decimal digits only: the value, as
// long as it has at most 18 digits.
std::optional<int64_t> PlainDecimal(std::u16string_view text) {
  size_t i = text.find_first_not_of(u' ');
  if (i == std::u16string_view::npos) return std::nullopt;
  const bool negative = text[i] == u'-';
  if (negative) ++i;
  const std::u16string_view digits = text.substr(i);
  if (digits.empty() || digits.size() > 18) return std::nullopt;
  int64_t value = 0;
  for (char16_t c : digits) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return negative ? -value : value;
}

std::optional<bool> PlainBoolean(std::u16string_view text) {
  std::u16string lower(text);
  for (char16_t& c : lower) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  if (lower == u"true") return true;
  if (lower == u"false") return false;
  return std::nullopt;
}

void CheckText(std::u16string_view text, const NumberLocale& locale) {
  std::u16string integer_message, boolean_message;
  const auto integer = Read<int32_t>(
      [&] { return orvanta::TextToInteger(text, locale); }, &integer_message);
  const auto boolean = Read<bool>(
      [&] { return orvanta::TextToBoolean(text, locale); }, &boolean_message);

  if (const auto plain = PlainDecimal(text)) {
    if (*plain >= INT32_MIN && *plain <= INT32_MAX) {
      if (integer != static_cast<int32_t>(*plain))
        Broken("a plain decimal reads as another integer", text);
    } else if (integer_message != kIntegerOverflow) {
      Broken("a decimal out of range does not overflow", text);
    }
    if (boolean != (*plain != 0))
      Broken("a plain decimal reads as the wrong boolean", text);
  }
  if (const auto plain = PlainBoolean(text)) {
    if (boolean != *plain) Broken("True/False reads wrong", text);
    if (integer != (*plain ? 1 : 0)) Broken("True/False as integer", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const NumberLocale locale = LocaleFrom(data[0]);
  ++data;
  --size;

  // The text as 8-bit characters (digits, signs, separators and letters are
  // where the rules are), and as UTF-16 code units.
  CheckText(std::u16string(data, data + size), locale);
  CheckText(orvanta::fuzz::CodeUnits(data, size), locale);

  // An integer the store wrote reads back as itself; so does a boolean.
  if (size >= 4) {
    const int32_t value =
        static_cast<int32_t>(data[0] | (data[1] << 8) | (data[2] << 16) |
                             (static_cast<uint32_t>(data[3]) << 24));
    if (orvanta::TextToInteger(orvanta::IntToText(value), locale) != value)
      Broken("a written integer reads back changed", orvanta::IntToText(value));
    // Hexadecimal literals give the 32-bit pattern.
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string hex = u"0x";
    for (int shift = 28; shift >= 0; shift -= 4)
      hex.push_back(kHex[(static_cast<uint32_t>(value) >> shift) & 0xF]);
    if (orvanta::TextToInteger(hex, locale) != value)
      Broken("a hexadecimal literal reads as another integer", hex);
  }
  if (!orvanta::TextToBoolean(u"True", locale) ||
      orvanta::TextToBoolean(u"False", locale)) {
    Broken("a written boolean reads back changed");
  }
  return 0;
}
