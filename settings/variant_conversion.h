#ifndef ORVANTA_SETTINGS_VARIANT_CONVERSION_H_
#define ORVANTA_SETTINGS_VARIANT_CONVERSION_H_

#include <cstdint>
#include <optional>
#include <string_view>

#include "settings/typed_reading.h"

namespace orvanta {

// The automation conversions of text to numbers and booleans (as
// VarI4FromStr / VarBoolFromStr do them with no flags), for the separators
// of `locale`. Accepted: blanks around the number and after its sign, one
// leading sign, grouping separators after the first digit, one decimal
// separator, an exponent ("e" or "E", optional sign, digits) and the
// unsigned forms "&H" hexadecimal and "&O" octal. A NUL ends the text.
// Fractions round half to even.

enum class NumberConversion { kOk, kNotANumber, kOverflow };

struct IntegerResult {
  NumberConversion status;
  int32_t value;  // when kOk
};

// Hexadecimal and octal forms give the 32-bit pattern (so "&HFFFFFFFF" is -1).
IntegerResult VariantTextToInt32(std::u16string_view text,
                                 const NumberLocale& locale);

// "True" or "False" in any letter case, or a number (zero false, any other
// number true); nothing when the text is neither.
std::optional<bool> VariantTextToBool(std::u16string_view text,
                                      const NumberLocale& locale);

}  // namespace orvanta

#endif  // ORVANTA_SETTINGS_VARIANT_CONVERSION_H_
