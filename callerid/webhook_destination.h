#ifndef ORVANTA_CALLERID_WEBHOOK_DESTINATION_H_
#define ORVANTA_CALLERID_WEBHOOK_DESTINATION_H_

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "callerid/call_json.h"
#include "callerid/configured_destinations.h"
#include "callerid/destination_settings.h"
#include "notify/delivery_queue.h"
#include "notify/https_request.h"

namespace orvanta {

class ProgramLog;
class UiHandover;
class UserNotice;

// The HTTP client, replaceable in tests.
using HttpsPerform = std::function<HttpsResponse(
    const HttpsRequest& request, const std::atomic<bool>* cancelled)>;

// What a webhook needs from the program around it.
struct WebhookEnvironment {
  UiHandover* ui = nullptr;  // where the log lines and balloons go
  ProgramLog* log = nullptr;
  UserNotice* notice = nullptr;  // balloons; may be null (headless)
  CallSender sender;
  DeliveryTiming timing;  // tests drive the clock and the back-off
  HttpsPerform perform;   // empty: PerformHttpsRequest
};

// A webhook's settings made ready for requests: UTF-8, pin normalised.
struct PreparedWebhook {
  std::u16string url;  // the template for GET
  WebhookMethod method = WebhookMethod::kPost;
  std::vector<std::string> headers;
  std::string pin_sha256;
};
PreparedWebhook PrepareWebhook(const WebhookSettings& settings);

// The request for one call: POST with the JSON body, or GET with the
// call's values put into the URL.
HttpsRequest WebhookRequest(const PreparedWebhook& hook, const Call& call,
                            const CallSender& sender);

// How an answer counts: 2xx delivered; 408, 429, 5xx and every failure to
// get an answer tried again later; any other status (4xx, a redirect)
// refused for good, with its status and the first 200 bytes of its body.
SendResult ClassifyAnswer(const HttpsResponse& response);

// The answer as the Test button shows it: "HTTP 200: …" with the start of
// the body, or why there was none.
std::u16string AnswerText(const HttpsResponse& response);

// One configured webhook: every call goes, in order, through a delivery
// queue of its own; its outages, drops and refusals reach the log (and the
// balloon, for an outage) on the UI thread.
class WebhookDestination : public ConfiguredDestination {
 public:
  // `number` counts from 1 and names the webhook in the log.
  WebhookDestination(const WebhookSettings& settings, int number,
                     WebhookEnvironment environment);
  ~WebhookDestination() override;

  void Deliver(const Call& call) override;

  // "Webhook 1 (https://example.com)": no path or query, where tokens hide.
  const std::u16string& Name() const override { return name_; }
  size_t Pending() const override { return queue_->Pending(); }
  std::vector<DeliveryQueue::Item> Stop() override { return queue_->Stop(); }
  void Adopt(std::vector<DeliveryQueue::Item> calls) override {
    queue_->Adopt(std::move(calls));
  }
  void RetryNow() { queue_->RetryNow(); }

 private:
  SendResult Send(const std::string& item, const std::atomic<bool>& cancel);

  const PreparedWebhook hook_;
  const std::u16string name_;
  WebhookEnvironment environment_;
  std::unique_ptr<DeliveryQueue> queue_;
};

// "Webhook 1 (https://example.com)".
std::u16string WebhookName(const WebhookSettings& settings, int number);

// The destination kind of the webhooks: one per usable [WebhookN] section,
// numbered as the section is.
void PlanWebhooks(const LoadedDestinations& loaded,
                  const DestinationEnvironment& environment,
                  std::vector<PlannedDestination>& plan,
                  std::vector<std::u16string>& notes);

struct WebhookTestResult {
  bool delivered = false;  // a 2xx answer
  std::u16string text;     // AnswerText
};

// The "Test" button: a test call to one webhook's settings (saved or not),
// on a thread of its own, with the answer handed back on the UI thread.
class WebhookTest {
 public:
  explicit WebhookTest(UiHandover& ui, HttpsPerform perform = {});
  // Waits for a test still running (its request has its own timeout); its
  // answer is then not handed back.
  ~WebhookTest();
  WebhookTest(const WebhookTest&) = delete;
  WebhookTest& operator=(const WebhookTest&) = delete;

  // UI thread. A test still running is waited for first.
  void Start(const WebhookSettings& settings, const CallSender& sender,
             std::function<void(const WebhookTestResult&)> done);

 private:
  UiHandover& ui_;
  HttpsPerform perform_;
  std::shared_ptr<bool> alive_;
  std::thread worker_;
};

// The test call: line "01", number "555 55 55", event "test".
Call WebhookTestCall();

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_WEBHOOK_DESTINATION_H_
