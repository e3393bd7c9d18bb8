#include "sender/qt/test/program_settings.h"

#include <functional>

#include "base/text.h"
#include "serial/port_settings_file.h"
#include "callerid/engine.h"
#include "settings/storage.h"

namespace orvanta {
namespace {

void WriteSettings(const std::filesystem::path& folder,
                   const std::string& device, uint16_t udp_port,
                   const std::function<void(SettingsStore&)>& source) {
  SettingsStore store;
  AddSettingsCatalogue(store);
  store.SetFileName((folder / "Setting.ini").u16string());
  store.WriteValue(kCallerIdKullan, true);
  store.WriteValue(kUdpPort, static_cast<int32_t>(udp_port));
  source(store);
  store.SaveValues();
  WritePortSettingsFile((folder / "calleridcomport.ini").u16string(),
                        LineSettings{.port = Utf8ToUtf16(device)});
}

}  // namespace

void WriteSerialSettings(const std::filesystem::path& folder,
                         const std::string& device, uint16_t udp_port) {
  WriteSettings(folder, device, udp_port, [](SettingsStore& store) {
    store.WriteValue(kCallerIdType, kSourceFramedSerial);
    store.WriteValue(kCallerIdNoBaslama, 1);
    store.WriteValue(kCallerIdNoUzunluk, 0);
  });
}

void WriteModemSettings(const std::filesystem::path& folder,
                        const std::string& device, uint16_t udp_port,
                        const std::u16string& line_label,
                        const std::u16string& commands) {
  WriteSettings(folder, device, udp_port, [&](SettingsStore& store) {
    store.WriteValue(kCallerIdType, kSourceModem);
    store.WriteValue(kModemHat, line_label);
    store.WriteValue(kModemKomut, commands);
  });
}

}  // namespace orvanta
