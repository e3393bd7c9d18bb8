#include <utility>

#include "callerid/destination_tester.h"
#include "callerid/webhook_destination.h"

namespace orvanta {
namespace {

// No MQTT client library is built for Windows: a Linux receiver takes the
// calls to the broker as a bridge, and the dialog offers no broker here.
class WindowsDestinationTester : public DestinationTester {
 public:
  WindowsDestinationTester(UiHandover& ui, CallSender sender)
      : sender_(std::move(sender)), webhook_(ui) {}

  void TestWebhook(const WebhookSettings& settings,
                   DestinationTestDone done) override {
    webhook_.Start(settings, sender_,
                   [done = std::move(done)](const WebhookTestResult& result) {
                     done({result.delivered, result.text});
                   });
  }

  void TestMqtt(const MqttSettings&, DestinationTestDone done) override {
    done({false, u"Windows'ta MQTT'ye do\u011frudan g\u00f6nderilmez."});
  }

 private:
  const CallSender sender_;
  WebhookTest webhook_;
};

}  // namespace

std::unique_ptr<DestinationTester> MakeDestinationTester(UiHandover& ui,
                                                         CallSender sender) {
  return std::make_unique<WindowsDestinationTester>(ui, std::move(sender));
}

bool MqttDestinationsAvailable() { return false; }

}  // namespace orvanta
