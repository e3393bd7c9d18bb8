#ifndef ORVANTA_SERIAL_PROFILE_H_
#define ORVANTA_SERIAL_PROFILE_H_

// Key-by-key access to an INI file in the platform's private-profile
// format: "[section]" lines, then "key=value" lines; section and key names
// match without regard to case; a write touches only its own key, creating
// the file and the section when they are missing.

#include <string>
#include <string_view>

namespace orvanta {

// The longest value read back (the read buffer holds 2048 characters).
inline constexpr size_t kProfileValueMax = 2047;

// The value of `key`, blanks around it and one pair of enclosing quotes
// removed; `default_value` when the file, section or key is missing.
std::u16string ReadIniValue(const std::u16string& path,
                            std::u16string_view section,
                            std::u16string_view key,
                            const std::u16string& default_value);

// False when the file cannot be written.
bool WriteIniValue(const std::u16string& path, std::u16string_view section,
                   std::u16string_view key, std::u16string_view value);

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_PROFILE_H_
