#ifndef ORVANTA_SENDER_QT_TEST_PROGRAM_SETTINGS_H_
#define ORVANTA_SENDER_QT_TEST_PROGRAM_SETTINGS_H_

#include <cstdint>
#include <filesystem>
#include <string>

namespace orvanta {

// Writes Setting.ini and calleridcomport.ini into `folder` for a copy of the
// real program: caller-ID on, the serial source on `device` with the whole
// packet body as the number, calls announced to `udp_port`. The program tests
// and the call-path benchmark set their copies up with it.
void WriteSerialSettings(const std::filesystem::path& folder,
                         const std::string& device, uint16_t udp_port);

// The same with the modem source on `device`: its calls go out on
// `line_label`, and it is set up with `commands` (empty: the enable commands
// in turn).
void WriteModemSettings(const std::filesystem::path& folder,
                        const std::string& device, uint16_t udp_port,
                        const std::u16string& line_label = u"0",
                        const std::u16string& commands = u"");

}  // namespace orvanta

#endif  // ORVANTA_SENDER_QT_TEST_PROGRAM_SETTINGS_H_
