#ifndef ORVANTA_SETTINGS_TEXT_CASE_H_
#define ORVANTA_SETTINGS_TEXT_CASE_H_

#include <string>
#include <string_view>

namespace orvanta {

// The system's upper-casing of a text (Windows: CharUpperBuffW; Linux: the C
// library's towupper under the current LC_CTYPE).
std::u16string UpperCase(std::u16string_view text);

// The system's locale-aware comparison ignoring letter case (Windows:
// CompareStringW for the user's default locale with NORM_IGNORECASE; Linux:
// equality after UpperCase).
bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace orvanta

#endif  // ORVANTA_SETTINGS_TEXT_CASE_H_
