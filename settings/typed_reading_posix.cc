#include "settings/typed_reading.h"

#include <locale.h>
#include <wchar.h>

#include <cstring>

namespace orvanta {
namespace {

// A separator from localeconv, in the locale's own multibyte encoding; 0 when
// it is empty or not a single UTF-16 code unit.
char16_t SeparatorChar(const char* text) {
  if (text == nullptr || *text == '\0') return 0;
  mbstate_t state{};
  wchar_t wide = 0;
  const size_t length = std::strlen(text);
  const size_t used = mbrtowc(&wide, text, length, &state);
  if (used != length || wide <= 0 || wide > 0xFFFF) return 0;
  return static_cast<char16_t>(wide);
}

}  // namespace

NumberLocale CurrentNumberLocale() {
  const lconv* conventions = localeconv();
  NumberLocale locale;
  const char16_t decimal = SeparatorChar(conventions->decimal_point);
  if (decimal != 0) locale.decimal = decimal;
  // The C locale has no grouping at all.
  locale.grouping = SeparatorChar(conventions->thousands_sep);
  return locale;
}

}  // namespace orvanta
