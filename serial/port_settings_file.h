#ifndef ORVANTA_SERIAL_PORT_SETTINGS_FILE_H_
#define ORVANTA_SERIAL_PORT_SETTINGS_FILE_H_

// calleridcomport.ini: the serial line's settings, in the section
// "ComPortCallerID", keys "Port", "BaudRate", "CustomBaudRate" (only
// written for a custom speed), "StopBits", "DataBits", "Parity" and
// "FlowControl", values as line_settings.h names them.
//
// Files written by earlier versions read the same: by the Windows profile
// functions (in the ANSI code page, or UTF-16 when the file already was),
// or as UTF-8. Section and key names and the values are matched without
// regard to letter case; of two equal names the first counts; one pair of
// quotes around a value is dropped. The file is written as UTF-8 without
// a byte-order mark, which the earlier versions read as they wrote it as
// long as the text is ASCII, as the program's own always is.

#include <string>
#include <string_view>

#include "serial/line_settings.h"

namespace orvanta {

inline constexpr char16_t kPortSettingsSection[] = u"ComPortCallerID";
// The longest value read (the earlier versions read into 2048 characters).
inline constexpr size_t kPortSettingsValueMax = 2047;

// The settings the file's bytes give, starting from `current`: a missing
// key leaves its value (a missing CustomBaudRate with BaudRate=Custom
// gives 9600); a value that matches none gives the default (9600, 8 data
// bits, no parity, 1 stop bit); for the flow control it, like "Custom",
// leaves the value. The modem control stays as it is.
LineSettings ReadPortSettings(std::string_view file_bytes,
                              const LineSettings& current);

// The file's bytes with `line` written into them: each key set in place,
// where it is, or added at the end of the section (made when missing);
// other keys and sections are kept, comments and blank lines are not.
std::string WritePortSettings(std::string_view file_bytes,
                              const LineSettings& line);

// The same on the file at `path`. A file that is missing or cannot be read
// leaves `current` as it is. Writing replaces the file safely (a temporary
// file renamed over it) and raises "<port> Error: Failed to store
// settings" when it cannot.
LineSettings ReadPortSettingsFile(const std::u16string& path,
                                  const LineSettings& current);
void WritePortSettingsFile(const std::u16string& path,
                           const LineSettings& line);

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_PORT_SETTINGS_FILE_H_
