// Windows: Debian packages no MQTT client library for mingw-w64, so the
// program has none; a Linux receiver forwards calls to a broker instead.

#include "callerid/mqtt_destination.h"

namespace orvanta {

void PlanMqtt(const LoadedDestinations& loaded,
              const DestinationEnvironment& /*environment*/,
              std::vector<PlannedDestination>& /*plan*/,
              std::vector<std::u16string>& notes) {
  const std::optional<MqttSettings>& mqtt = loaded.settings.mqtt;
  if (!mqtt || !mqtt->enabled) return;
  notes.push_back(
      u"MQTT: bu programın Windows sürümünde MQTT yok; [MQTT] bölümü "
      u"kullanılmıyor. Aramalar, aynı ağdaki bir Linux bilgisayarda çalışan "
      u"orvanta-alici üzerinden MQTT'ye aktarılabilir.");
}

}  // namespace orvanta
