#include "callerid/webhook_destination.h"

#include <chrono>
#include <utility>

#include "base/local_time.h"
#include "base/text.h"
#include "base/ui_handover.h"
#include "base/user_notice.h"
#include "base/program_log.h"

namespace orvanta {
namespace {

constexpr size_t kLoggedBodyBytes = 200;
constexpr char kJsonType[] = "Content-Type: application/json; charset=utf-8";

// The first bytes of a body as one line of text: a character cut in two
// at the end becomes U+FFFD, and line breaks and other controls become
// blanks, so that the log keeps one line per event.
std::u16string BodyExcerpt(const std::string& body) {
  std::u16string text =
      Utf8ToUtf16(std::string_view(body).substr(0, kLoggedBodyBytes));
  for (char16_t& c : text) {
    if (c < 0x20 || c == 0x7F) c = u' ';
  }
  return std::u16string(TrimSpacesAndTabs(text));
}

std::u16string StatusText(const HttpsResponse& response) {
  std::u16string text = u"HTTP " + IntToText(response.status);
  const std::u16string body = BodyExcerpt(response.body_start);
  if (!body.empty()) text += u": " + body;
  return text;
}

bool Retried(int status) {
  return status == 408 || status == 429 || (status >= 500 && status <= 599);
}

HttpsPerform OrDefault(HttpsPerform perform) {
  if (perform) return perform;
  return [](const HttpsRequest& request, const std::atomic<bool>* cancelled) {
    return PerformHttpsRequest(request, cancelled);
  };
}

HttpsRequest BaseRequest(const PreparedWebhook& hook) {
  HttpsRequest request;
  request.method = hook.method == WebhookMethod::kGet ? "GET" : "POST";
  request.headers = hook.headers;
  if (hook.method == WebhookMethod::kPost) request.headers.push_back(kJsonType);
  request.pin_sha256 = hook.pin_sha256;
  return request;
}

}  // namespace

PreparedWebhook PrepareWebhook(const WebhookSettings& settings) {
  PreparedWebhook hook;
  hook.url = settings.url;
  hook.method = settings.method;
  for (const std::u16string& header : settings.headers) {
    const size_t colon = header.find(u':');
    if (colon == std::u16string::npos) continue;  // refused by the checks
    hook.headers.push_back(EncodeUtf8(TrimSpacesAndTabs(
                               std::u16string_view(header).substr(0, colon))) +
                           ": " +
                           EncodeUtf8(TrimSpacesAndTabs(
                               std::u16string_view(header).substr(colon + 1))));
  }
  hook.pin_sha256 = NormalizePin(settings.pin).value_or("");
  return hook;
}

HttpsRequest WebhookRequest(const PreparedWebhook& hook, const Call& call,
                            const CallSender& sender) {
  HttpsRequest request = BaseRequest(hook);
  if (hook.method == WebhookMethod::kGet) {
    request.url = ExpandUrlTemplate(hook.url, call);
  } else {
    request.url = EncodeUtf8(hook.url);
    request.body = CallJson(call, sender);
  }
  return request;
}

SendResult ClassifyAnswer(const HttpsResponse& response) {
  if (response.error != HttpsResponse::Error::kNone) {
    return SendResult::RetryLater(response.reason);
  }
  if (response.status >= 200 && response.status <= 299) {
    return SendResult::Delivered();
  }
  if (Retried(response.status)) {
    return SendResult::RetryLater(StatusText(response));
  }
  return SendResult::Rejected(StatusText(response));
}

std::u16string AnswerText(const HttpsResponse& response) {
  if (response.error != HttpsResponse::Error::kNone) return response.reason;
  return StatusText(response);
}

std::u16string WebhookName(const WebhookSettings& settings, int number) {
  return u"Webhook " + IntToText(number) + u" (" + UrlForLog(settings.url) +
         u")";
}

void PlanWebhooks(const LoadedDestinations& loaded,
                  const DestinationEnvironment& environment,
                  std::vector<PlannedDestination>& plan,
                  std::vector<std::u16string>& /*notes*/) {
  const std::vector<WebhookSettings>& hooks = loaded.settings.webhooks;
  for (size_t i = 0; i < hooks.size(); ++i) {
    if (!WebhookUsable(loaded, i)) continue;
    const WebhookSettings& hook = hooks[i];
    const int number = static_cast<int>(i) + 1;
    const std::u16string method =
        hook.method == WebhookMethod::kGet ? u"GET " : u"POST ";
    PlannedDestination planned;
    planned.name = WebhookName(hook, number);
    planned.key = IntToText(number) + u"\n" +
                  DestinationsText(DestinationSettings{{hook}, std::nullopt});
    // What waits is the JSON body, or the URL made from the template: good
    // for the same method and address whatever else changed.
    planned.succession = u"webhook " + method + hook.url;
    planned.make = [hook, number, environment] {
      WebhookEnvironment own;
      own.ui = environment.ui;
      own.log = environment.log;
      own.notice = environment.notice;
      own.sender = environment.sender;
      return std::make_unique<WebhookDestination>(hook, number, std::move(own));
    };
    plan.push_back(std::move(planned));
  }
}

WebhookDestination::WebhookDestination(const WebhookSettings& settings,
                                       int number,
                                       WebhookEnvironment environment)
    : hook_(PrepareWebhook(settings)),
      name_(WebhookName(settings, number)),
      environment_(std::move(environment)) {
  environment_.perform = OrDefault(std::move(environment_.perform));
  UiHandover* ui = environment_.ui;
  ProgramLog* log = environment_.log;
  UserNotice* notice = environment_.notice;
  auto tell = [ui, log, notice](const DeliveryNotice& told) {
    if (ui == nullptr || log == nullptr) return;
    ui->Post([log, notice, line = told.log_line, balloon = told.balloon] {
      log->AddLogLine(line);
      if (balloon && notice != nullptr) notice->ShowTrayBalloon(line);
    });
  };
  queue_ = std::make_unique<DeliveryQueue>(
      name_,
      [this](const std::string& item, const std::atomic<bool>& cancel) {
        return Send(item, cancel);
      },
      std::move(tell), environment_.timing);
}

WebhookDestination::~WebhookDestination() { queue_.reset(); }

void WebhookDestination::Deliver(const Call& call) {
  Call stamped = call;
  if (stamped.id.empty()) stamped.id = NewCallId();
  // What the worker needs to send the call again on every retry, made now:
  // the JSON body, or the URL with the call's values.
  queue_->Push(hook_.method == WebhookMethod::kGet
                   ? ExpandUrlTemplate(hook_.url, stamped)
                   : CallJson(stamped, environment_.sender));
}

SendResult WebhookDestination::Send(const std::string& item,
                                    const std::atomic<bool>& cancel) {
  HttpsRequest request = BaseRequest(hook_);
  if (hook_.method == WebhookMethod::kGet) {
    request.url = item;
  } else {
    request.url = EncodeUtf8(hook_.url);
    request.body = item;
  }
  return ClassifyAnswer(environment_.perform(request, &cancel));
}

WebhookTest::WebhookTest(UiHandover& ui, HttpsPerform perform)
    : ui_(ui),
      perform_(OrDefault(std::move(perform))),
      alive_(std::make_shared<bool>(true)) {}

WebhookTest::~WebhookTest() {
  *alive_ = false;
  if (worker_.joinable()) worker_.join();
}

void WebhookTest::Start(const WebhookSettings& settings,
                        const CallSender& sender,
                        std::function<void(const WebhookTestResult&)> done) {
  if (worker_.joinable()) worker_.join();
  HttpsRequest request =
      WebhookRequest(PrepareWebhook(settings), WebhookTestCall(), sender);
  worker_ = std::thread([this, request = std::move(request),
                         done = std::move(done), alive = alive_] {
    const HttpsResponse response = perform_(request, nullptr);
    WebhookTestResult result;
    result.delivered = response.error == HttpsResponse::Error::kNone &&
                       response.status >= 200 && response.status <= 299;
    result.text = AnswerText(response);
    ui_.Post([alive, done, result] {
      if (*alive && done) done(result);
    });
  });
}

Call WebhookTestCall() {
  Call call;
  call.line = u"01";
  call.number = u"555 55 55";
  call.origin = CallOrigin::kTest;
  call.time = std::chrono::system_clock::now();
  call.utc_offset_minutes = LocalUtcOffsetMinutes(call.time);
  call.id = NewCallId();
  return call;
}

}  // namespace orvanta
