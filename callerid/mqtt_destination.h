#ifndef ORVANTA_CALLERID_MQTT_DESTINATION_H_
#define ORVANTA_CALLERID_MQTT_DESTINATION_H_

// Calls to an MQTT broker, and to Home Assistant through it (Linux).
//
//   <prefix>/call    each call as its JSON, QoS 1, not retained
//   <prefix>/last    the last call, retained
//   <prefix>/status  online/offline, retained; offline is the last will
//   homeassistant/event/<node>_call/config, homeassistant/sensor/
//   <node>_last_caller/config: discovery of an event entity for the calls
//   and a sensor for the last caller, retained, sent on every connection
//   and again when Home Assistant says on homeassistant/status that it is
//   back online.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "callerid/call_json.h"
#include "callerid/configured_destinations.h"
#include "callerid/destination_settings.h"
#include "notify/delivery_queue.h"
#include "notify/mqtt_connection.h"

namespace orvanta {

class ProgramLog;
class UiHandover;
class UserNotice;

// Where Home Assistant listens for discovery and says it is back.
inline constexpr char kDiscoveryPrefix[] = "homeassistant";
inline constexpr char kHomeAssistantStatusTopic[] = "homeassistant/status";

struct MqttTopics {
  std::string call;
  std::string last;
  std::string status;
};

// The topics under the settings' prefix, or DefaultMqttPrefix(host).
MqttTopics MqttTopicsFor(const MqttSettings& settings,
                         const CallSender& sender);

// The broker, the login and the status topic the settings name; nothing,
// with `*error` set, when the URL is not mqtt:// or mqtts://. Without a
// CLIENTID the client is "<program>-<host>", so that the sender and the
// bridge on one computer do not push each other off the broker.
std::optional<MqttEndpoint> MqttEndpointFor(const MqttSettings& settings,
                                            const CallSender& sender,
                                            std::u16string* error);

// Home Assistant's discovery messages for these topics: retained configs of
// the event entity and the last-caller sensor, one device per prefix.
std::vector<MqttMessage> HomeAssistantDiscovery(const MqttTopics& topics,
                                                const CallSender& sender);

// How long the destination waits, for tests that cannot wait for minutes.
struct MqttDestinationTiming {
  MqttTiming connection;
  DeliveryTiming delivery;
  // For the broker's acknowledgement of one call.
  std::chrono::milliseconds send_timeout = std::chrono::seconds(5);
};

// What the destination needs from the program around it.
struct MqttEnvironment {
  UiHandover* ui = nullptr;  // where the log lines and balloons go
  ProgramLog* log = nullptr;
  UserNotice* notice = nullptr;  // balloons; may be null (headless)
  CallSender sender;
  MqttDestinationTiming timing;
};

// Each call goes into a queue of its own (1,000 calls, ten minutes) and
// from there to the broker, one at a time, in order: a call leaves the
// queue only once the broker has acknowledged it. A broker that is away,
// at start or later, holds nothing up: the calls wait and go out in order
// when it is back.
//
// Into the log, through the user-interface thread: the first failure to
// reach the broker and the return after it; the queue's notices (an outage
// of deliveries, once, also in the balloon; its end; dropped calls).
class MqttDestination : public ConfiguredDestination {
 public:
  // `settings` must be usable (UsableMqtt); a URL it cannot take leaves the
  // destination inert, with the reason in the log. The environment's ui,
  // log and notice must outlive it.
  MqttDestination(const MqttSettings& settings, MqttEnvironment environment);
  // Publishes `offline` and disconnects; calls still waiting are dropped.
  ~MqttDestination() override;
  MqttDestination(const MqttDestination&) = delete;
  MqttDestination& operator=(const MqttDestination&) = delete;

  void Deliver(const Call& call) override;

  // "MQTT (mqtts://host:8883)".
  const std::u16string& Name() const override { return name_; }
  // Calls not yet acknowledged by the broker.
  size_t Pending() const override;
  // Says `offline` and disconnects first, so that a destination taking
  // over never has its `online` overwritten.
  std::vector<DeliveryQueue::Item> Stop() override;
  void Adopt(std::vector<DeliveryQueue::Item> calls) override;

 private:
  class Link;
  // Any thread: a line for the log, through the user-interface thread.
  void Log(const std::u16string& line);

  const MqttEnvironment environment_;
  const MqttTopics topics_;
  const std::u16string name_;  // "MQTT (mqtts://host:8883)", for the log
  // Torn down in this order: the queue (its sends return at once once the
  // link is closed), then the link.
  std::unique_ptr<Link> link_;
  std::unique_ptr<DeliveryQueue> queue_;
};

// The destination kind of the broker: the [MQTT] section when it is usable,
// its PREFIX defaulting to "<root>/<host>" with the environment's root. On
// Windows, where there is no MQTT client, a note that the section is not
// served.
void PlanMqtt(const LoadedDestinations& loaded,
              const DestinationEnvironment& environment,
              std::vector<PlannedDestination>& plan,
              std::vector<std::u16string>& notes);

struct MqttTestResult {
  bool delivered = false;  // the broker acknowledged the test call
  std::u16string text;     // what happened, for the user
};

// The "Test" button: the test call (WebhookTestCall) to <prefix>/call of
// the broker the settings name (saved or not), on a thread of its own, with
// the outcome handed back on the UI thread. It connects apart from a
// running destination, as "<client id>-test" and without a status or a
// last will, so that the running one is neither pushed off nor shown as
// offline.
class MqttTest {
 public:
  explicit MqttTest(UiHandover& ui, MqttTiming timing = {});
  // Waits for a test still running (it gives up within the connection's
  // timeouts); its outcome is then not handed back.
  ~MqttTest();
  MqttTest(const MqttTest&) = delete;
  MqttTest& operator=(const MqttTest&) = delete;

  // UI thread. A test still running is waited for first.
  void Start(const MqttSettings& settings, const CallSender& sender,
             std::function<void(const MqttTestResult&)> done);

 private:
  UiHandover& ui_;
  const MqttTiming timing_;
  std::shared_ptr<bool> alive_;
  std::thread worker_;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_MQTT_DESTINATION_H_
