#include "settings/typed_reading.h"

#include <windows.h>

namespace orvanta {
namespace {

// The first character of a locale text; 0 when the locale gives an empty
// text, `fallback` when it gives none.
char16_t LocaleChar(LCTYPE what, char16_t fallback) {
  wchar_t buffer[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, what, buffer, 8) == 0)
    return fallback;
  return static_cast<char16_t>(buffer[0]);
}

}  // namespace

NumberLocale CurrentNumberLocale() {
  NumberLocale locale;
  locale.decimal = LocaleChar(LOCALE_SDECIMAL, locale.decimal);
  locale.grouping = LocaleChar(LOCALE_STHOUSAND, locale.grouping);
  return locale;
}

}  // namespace orvanta
