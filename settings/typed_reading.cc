#include "settings/typed_reading.h"

#include <optional>

#include "base/failure.h"
#include "settings/storage.h"
#include "settings/variant_conversion.h"

namespace orvanta {
namespace {

constexpr char16_t kIntegerOverflow[] =
    u"Overflow while converting variant of type (UnicodeString) into type "
    u"(Integer)";
constexpr char16_t kNotABoolean[] =
    u"Could not convert variant of type (UnicodeString) into type (Boolean)";

// A plain integer literal: leading spaces, a sign, then decimal digits or
// hexadecimal digits after "$", "x" or "0x", and nothing after them.
// Hexadecimal gives the 32-bit pattern; decimal has to fit.
std::optional<int32_t> IntegerLiteral(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  int base = 10;
  if (i < text.size() &&
      (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
    base = 16;
    i += 1;
  } else if (i + 1 < text.size() && text[i] == u'0' &&
             (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;
  const uint64_t limit =
      base == 16 ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    int digit;
    if (c >= u'0' && c <= u'9')
      digit = c - u'0';
    else if (base == 16 && c >= u'a' && c <= u'f')
      digit = c - u'a' + 10;
    else if (base == 16 && c >= u'A' && c <= u'F')
      digit = c - u'A' + 10;
    else
      return std::nullopt;
    value = value * base + digit;
    if (value > limit) return std::nullopt;
  }
  const uint32_t bits = static_cast<uint32_t>(value);
  return static_cast<int32_t>(negative ? 0u - bits : bits);
}

// One to nine ASCII digits and nothing else: always within range.
std::optional<int32_t> PlainDecimal(std::u16string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int32_t value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return value;
}

}  // namespace

int32_t TextToInteger(std::u16string_view text, const NumberLocale& locale) {
  const IntegerResult number = VariantTextToInt32(text, locale);
  if (number.status == NumberConversion::kOk) return number.value;
  if (number.status == NumberConversion::kOverflow)
    throw Failure(kIntegerOverflow);
  if (const auto literal = IntegerLiteral(text)) return *literal;
  return TextToBoolean(text, locale) ? 1 : 0;
}

bool TextToBoolean(std::u16string_view text, const NumberLocale& locale) {
  if (const auto value = VariantTextToBool(text, locale)) return *value;
  // The conversion has already taken "True" and "False" in any letter case;
  // what it leaves for the fallback are the literal's hexadecimal forms.
  if (const auto literal = IntegerLiteral(text)) return *literal != 0;
  throw Failure(kNotABoolean);
}

int32_t TextToInteger(std::u16string_view text) {
  // The number's position and length are read at every serial packet and
  // are plain digits, which read the same in every locale: the locale is
  // only asked for anything else.
  if (const auto plain = PlainDecimal(text)) return *plain;
  return TextToInteger(text, CurrentNumberLocale());
}

bool TextToBoolean(std::u16string_view text) {
  return TextToBoolean(text, CurrentNumberLocale());
}

int32_t ReadInteger(const SettingsStore& store, std::u16string_view name) {
  return TextToInteger(store.ReadValue(name));
}

bool ReadBoolean(const SettingsStore& store, std::u16string_view name) {
  return TextToBoolean(store.ReadValue(name));
}

}  // namespace orvanta
