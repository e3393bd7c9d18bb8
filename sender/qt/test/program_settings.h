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

}  // namespace orvanta

#endif  // ORVANTA_SENDER_QT_TEST_PROGRAM_SETTINGS_H_
