#include <utility>

#include "callerid/destination_tester.h"
#include "callerid/mqtt_destination.h"
#include "callerid/webhook_destination.h"

namespace orvanta {
namespace {

class LinuxDestinationTester : public DestinationTester {
 public:
  LinuxDestinationTester(UiHandover& ui, CallSender sender)
      : sender_(std::move(sender)), webhook_(ui), mqtt_(ui) {}

  void TestWebhook(const WebhookSettings& settings,
                   DestinationTestDone done) override {
    webhook_.Start(settings, sender_,
                   [done = std::move(done)](const WebhookTestResult& result) {
                     done({result.delivered, result.text});
                   });
  }

  void TestMqtt(const MqttSettings& settings,
                DestinationTestDone done) override {
    mqtt_.Start(settings, sender_,
                [done = std::move(done)](const MqttTestResult& result) {
                  done({result.delivered, result.text});
                });
  }

 private:
  const CallSender sender_;
  WebhookTest webhook_;
  MqttTest mqtt_;
};

}  // namespace

std::unique_ptr<DestinationTester> MakeDestinationTester(UiHandover& ui,
                                                         CallSender sender) {
  return std::make_unique<LinuxDestinationTester>(ui, std::move(sender));
}

bool MqttDestinationsAvailable() { return true; }

}  // namespace orvanta
