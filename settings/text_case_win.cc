#include "settings/text_case.h"

#include <windows.h>

namespace orvanta {

std::u16string UpperCase(std::u16string_view text) {
  std::u16string out(text);
  if (!out.empty()) {
    CharUpperBuffW(reinterpret_cast<wchar_t*>(out.data()),
                   static_cast<DWORD>(out.size()));
  }
  return out;
}

bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.empty() || b.empty())
    return a.empty() && b.empty();
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                        reinterpret_cast<const wchar_t*>(a.data()),
                        static_cast<int>(a.size()),
                        reinterpret_cast<const wchar_t*>(b.data()),
                        static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace orvanta
