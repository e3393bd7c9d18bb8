#include "sender/qt/test/program_settings.h"

#include "base/text.h"
#include "base/ui_handover.h"
#include "serial/serial_port.h"
#include "settings/storage.h"

namespace orvanta {

void WriteSerialSettings(const std::filesystem::path& folder,
                         const std::string& device, uint16_t udp_port) {
  SettingsStore store;
  AddSettingsCatalogue(store);
  store.SetFileName((folder / "Setting.ini").u16string());
  store.WriteValue(kCallerIdKullan, true);
  store.WriteValue(kCallerIdType, 2);
  store.WriteValue(kCallerIdNoBaslama, 1);
  store.WriteValue(kCallerIdNoUzunluk, 0);
  store.WriteValue(kUdpPort, static_cast<int32_t>(udp_port));
  store.SaveValues();
  UiHandover unused;
  SerialPort port(unused);
  port.SetPort(Utf8ToUtf16(device));
  port.StoreSettings(PortStoreKind::stIniFile,
                     (folder / "calleridcomport.ini").u16string());
}

}  // namespace orvanta
