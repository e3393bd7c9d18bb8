#ifndef ORVANTA_SETTINGS_TYPED_READING_H_
#define ORVANTA_SETTINGS_TYPED_READING_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace orvanta {

class SettingsStore;

// The separators of the locale whose number formats the conversions follow;
// a separator of 0 is none.
struct NumberLocale {
  char16_t decimal = u'.';
  char16_t grouping = u',';
};

// Windows: the user's default locale; Linux: the C library's current locale.
NumberLocale CurrentNumberLocale();

// Typed readings of a stored text. Failures are raised as Failure with
//   "Overflow while converting variant of type (UnicodeString) into type
//   (Integer)" "Could not convert variant of type (UnicodeString) into type
//   (Boolean)"
int32_t TextToInteger(std::u16string_view text, const NumberLocale& locale);
bool TextToBoolean(std::u16string_view text, const NumberLocale& locale);
int32_t TextToInteger(std::u16string_view text);  // current locale
bool TextToBoolean(std::u16string_view text);     // current locale

// ReadValue of `name`, read as an integer / a boolean.
int32_t ReadInteger(const SettingsStore& store, std::u16string_view name);
bool ReadBoolean(const SettingsStore& store, std::u16string_view name);

}  // namespace orvanta

#endif  // ORVANTA_SETTINGS_TYPED_READING_H_
