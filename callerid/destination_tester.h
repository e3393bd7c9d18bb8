#ifndef ORVANTA_CALLERID_DESTINATION_TESTER_H_
#define ORVANTA_CALLERID_DESTINATION_TESTER_H_

#include <functional>
#include <memory>
#include <string>

#include "callerid/call_json.h"
#include "callerid/destination_settings.h"

namespace orvanta {

class UiHandover;

struct DestinationTestAnswer {
  bool delivered = false;  // the destination took the test call
  std::u16string text;     // the answer, or why there was none
};
using DestinationTestDone = std::function<void(const DestinationTestAnswer&)>;

// The "Hedefler" dialog's "Test" button: the test call to one destination's
// settings, saved or not. The answer comes back on the user-interface
// thread, never after the tester is gone; destroying it waits for a test
// still running (each gives up within its own timeout).
class DestinationTester {
 public:
  virtual ~DestinationTester() = default;
  // One test at a time: the caller waits for the answer before the next.
  virtual void TestWebhook(const WebhookSettings& settings,
                           DestinationTestDone done) = 0;
  virtual void TestMqtt(const MqttSettings& settings,
                        DestinationTestDone done) = 0;
};

// This platform's tester: webhooks everywhere, MQTT where there is a client
// library (Linux). The test calls say they come from `sender`.
std::unique_ptr<DestinationTester> MakeDestinationTester(UiHandover& ui,
                                                         CallSender sender);

// Whether the programs on this platform send calls to an MQTT broker
// themselves (Linux); elsewhere a Linux receiver does it as a bridge.
bool MqttDestinationsAvailable();

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_DESTINATION_TESTER_H_
