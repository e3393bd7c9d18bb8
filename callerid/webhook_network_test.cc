// Webhooks against real HTTP and HTTPS servers (callerid/test/
// webhook_server.py) inside the private test network: the same cases on
// Linux (libcurl) and under Wine (WinHTTP).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "base/ui_handover.h"
#include "callerid/test/test_authority.h"
#include "callerid/test/webhook_server_client.h"
#include "callerid/webhook_destination.h"
#include "base/test/recorders.h"

namespace orvanta {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

Call NumberedCall(int n) {
  Call call;
  call.line = u"1";
  call.number = u"0532" + IntToText(n);
  call.name = u"Arayan " + IntToText(n);
  call.time = std::chrono::system_clock::time_point(seconds(1714561387));
  call.utc_offset_minutes = 180;
  call.id = "id-" + std::to_string(n);
  return call;
}

const CallSender kSender{u"KASA-1", u"Orvanta", u"1.2.5"};

class WebhookNetwork : public testing::Test {
 protected:
  static void SetUpTestSuite() { authority_ = new TrustedTestAuthority(); }
  static void TearDownTestSuite() {
    delete authority_;
    authority_ = nullptr;
  }

  WebhookEnvironment Environment() {
    WebhookEnvironment environment;
    environment.ui = &ui_;
    environment.log = &log_;
    environment.notice = &notice_;
    environment.sender = kSender;
    // Retries come at once: the tests drive time, they do not wait it out.
    environment.timing.backoff = [](int) { return milliseconds(5); };
    return environment;
  }

  // Serves the UI thread's hand-overs until `done`, looking again every few
  // milliseconds (the servers have no way to wake this thread).
  bool ServeUntil(const std::function<bool()>& done,
                  seconds limit = seconds(60)) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
      ui_.ServePending();
      if (done()) return true;
      std::this_thread::sleep_for(milliseconds(20));
    }
    ui_.ServePending();
    return done();
  }

  bool LogHas(const std::u16string& piece) {
    for (const auto& line : log_.lines) {
      if (line.find(piece) != std::u16string::npos) return true;
    }
    return false;
  }

  static TrustedTestAuthority* authority_;
  UiHandover ui_;
  RecordingProgramLog log_;
  RecordingUserNotice notice_;
};

TrustedTestAuthority* WebhookNetwork::authority_ = nullptr;

TEST_F(WebhookNetwork, TheServerReceivesTheCallAsJson) {
  WebhookSettings settings;
  settings.url =
      Utf8ToUtf16(Server("ORVANTA_WEBHOOK_HTTPS", true) + "/ok/json");
  settings.headers = {u"Authorization: Bearer jeton-123", u"X-Kasa: 1"};
  WebhookDestination destination(settings, 1, Environment());
  Call call = NumberedCall(7);
  call.name = u"Ayşe \"Kasa\"\n\u0001Yılmaz \U0001F600";
  call.origin = CallOrigin::kModem;
  destination.Deliver(call);

  std::vector<Received> got;
  ASSERT_TRUE(ServeUntil([&] {
    got = ReceivedUnder("/ok/json");
    return !got.empty();
  }));
  ASSERT_EQ(got.size(), 1u);
  const Received& r = got[0];
  EXPECT_EQ(r.method, "POST");
  EXPECT_FALSE(r.json_invalid) << r.body;
  EXPECT_EQ(r.headers.at("content-type"), "application/json; charset=utf-8");
  EXPECT_EQ(r.headers.at("authorization"), "Bearer jeton-123");
  EXPECT_EQ(r.headers.at("x-kasa"), "1");
  const std::map<std::string, std::string> expected = {
      {"event", "\"call\""},
      {"id", "\"id-7\""},
      {"line", "\"1\""},
      {"number", "\"05327\""},
      {"missing", "null"},
      {"name",
       "\"Ay\xC5\x9F"
       "e \\\"Kasa\\\"\\n\\u0001Y\xC4\xB1lmaz "
       "\xF0\x9F\x98\x80\""},
      {"time", "\"2024-05-01T14:03:07+03:00\""},
      {"source", "\"modem\""},
      {"host", "\"KASA-1\""},
      {"program", "\"Orvanta\""},
      {"version", "\"1.2.5\""},
  };
  EXPECT_EQ(r.fields, expected);
  EXPECT_TRUE(ServeUntil([&] { return destination.Pending() == 0; }));
  EXPECT_TRUE(log_.lines.empty());
}

TEST_F(WebhookNetwork, GetTemplateCarriesTheValuesInTheUrl) {
  WebhookSettings settings;
  settings.method = WebhookMethod::kGet;
  settings.url = Utf8ToUtf16(Server("ORVANTA_WEBHOOK_HTTP", false)) +
                 u"/ok/get?no={number}&ad={name}&hat={line}&zaman={time}";
  WebhookDestination destination(settings, 1, Environment());
  Call call = NumberedCall(1);
  call.number = u"+90 532 & 1";
  call.name = u"Şükrü/Öz";
  destination.Deliver(call);
  std::vector<Received> got;
  ASSERT_TRUE(ServeUntil([&] {
    got = ReceivedUnder("/ok/get");
    return !got.empty();
  }));
  EXPECT_EQ(got[0].method, "GET");
  EXPECT_EQ(got[0].path,
            "/ok/get?no=%2B90%20532%20%26%201&ad=%C5%9E%C3%BCkr%C3%BC%2F"
            "%C3%96z&hat=1&zaman=2024-05-01T14%3A03%3A07%2B03%3A00");
  EXPECT_TRUE(got[0].body.empty());
}

TEST_F(WebhookNetwork, UntrustedCertificateIsRefusedAndAcceptedByItsPin) {
  HttpsRequest request;
  request.url = Server("ORVANTA_WEBHOOK_SELF", true) + "/ok/self/";
  request.body = "{}";

  HttpsResponse response = PerformHttpsRequest(request);
  EXPECT_EQ(response.error, HttpsResponse::Error::kCertificate);
  EXPECT_TRUE(response.reason.starts_with(kCertificateFailure))
      << Utf16ToUtf8(response.reason);

  // A wrong pin is refused even where the system's store would agree.
  request.pin_sha256 = std::string(64, '0');
  response = PerformHttpsRequest(request);
  EXPECT_EQ(response.error, HttpsResponse::Error::kCertificate);
  EXPECT_NE(response.reason.find(u"PIN ile eşleşmiyor (sunucununki: " +
                                 Utf8ToUtf16(Env("ORVANTA_WEBHOOK_SELF_PIN"))),
            std::u16string::npos)
      << Utf16ToUtf8(response.reason);
  HttpsRequest trusted = request;
  trusted.url = Server("ORVANTA_WEBHOOK_HTTPS", true) + "/ok/wrong-pin/";
  response = PerformHttpsRequest(trusted);
  EXPECT_EQ(response.error, HttpsResponse::Error::kCertificate);
  // Nothing reached either server while the certificate was refused.
  EXPECT_TRUE(ReceivedUnder("/ok/self/").empty());
  EXPECT_TRUE(ReceivedUnder("/ok/wrong-pin/").empty());

  request.pin_sha256 = Env("ORVANTA_WEBHOOK_SELF_PIN");
  response = PerformHttpsRequest(request);
  EXPECT_EQ(response.error, HttpsResponse::Error::kNone)
      << Utf16ToUtf8(response.reason);
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(ReceivedUnder("/ok/self/").size(), 1u);
  // The pinned connection is not kept for a request the store must judge.
  request.pin_sha256.clear();
  EXPECT_EQ(PerformHttpsRequest(request).error,
            HttpsResponse::Error::kCertificate);
  EXPECT_EQ(ReceivedUnder("/ok/self/").size(), 1u);

  // The test authority's server is trusted through the system's store.
  trusted.pin_sha256.clear();
  response = PerformHttpsRequest(trusted);
  EXPECT_EQ(response.status, 200) << Utf16ToUtf8(response.reason);
}

TEST_F(WebhookNetwork, TestButtonShowsTheStatusOrTheError) {
  WebhookTest test(ui_);
  std::optional<WebhookTestResult> result;
  WebhookSettings settings;
  settings.url =
      Utf8ToUtf16(Server("ORVANTA_WEBHOOK_HTTPS", true) + "/status/418/x");
  test.Start(settings, kSender,
             [&](const WebhookTestResult& r) { result = r; });
  ASSERT_TRUE(ServeUntil([&] { return result.has_value(); }));
  EXPECT_FALSE(result->delivered);
  EXPECT_TRUE(result->text.starts_with(u"HTTP 418: hata: xxx"));

  result.reset();
  settings.url = Utf8ToUtf16(Server("ORVANTA_WEBHOOK_SELF", true) + "/ok/t");
  test.Start(settings, kSender,
             [&](const WebhookTestResult& r) { result = r; });
  ASSERT_TRUE(ServeUntil([&] { return result.has_value(); }));
  EXPECT_FALSE(result->delivered);
  EXPECT_TRUE(result->text.starts_with(kCertificateFailure))
      << Utf16ToUtf8(result->text);
}

TEST_F(WebhookNetwork, ThreeFailuresThenTheCallArrivesOnce) {
  WebhookSettings settings;
  settings.url =
      Utf8ToUtf16(Server("ORVANTA_WEBHOOK_HTTPS", true) + "/fail/3/bes-yuz");
  WebhookDestination destination(settings, 1, Environment());
  destination.Deliver(NumberedCall(1));
  ASSERT_TRUE(ServeUntil(
      [&] { return destination.Pending() == 0 && log_.lines.size() >= 2; }));
  const auto got = ReceivedUnder("/fail/3/bes-yuz");
  ASSERT_EQ(got.size(), 4u);  // three answered 500, the fourth 200
  for (const auto& r : got) EXPECT_EQ(r.fields.at("id"), "\"id-1\"");
  ASSERT_EQ(log_.lines.size(), 2u);
  EXPECT_TRUE(log_.lines[0].ends_with(u"bekletiliyor: HTTP 500: dusuk"))
      << Utf16ToUtf8(log_.lines[0]);
  EXPECT_TRUE(log_.lines[1].ends_with(u"gönderim yeniden başladı."));
}

TEST_F(WebhookNetwork, HangingServerTimesOutAndTheNextCallStillGoes) {
  WebhookSettings settings;
  settings.url =
      Utf8ToUtf16(Server("ORVANTA_WEBHOOK_HTTPS", true) + "/hang/1/asili");
  WebhookDestination destination(settings, 1, Environment());
  destination.Deliver(NumberedCall(1));
  destination.Deliver(NumberedCall(2));
  ASSERT_TRUE(ServeUntil([&] { return destination.Pending() == 0; }));
  EXPECT_TRUE(LogHas(u"5 saniye içinde yanıt gelmedi"))
      << (log_.lines.empty() ? "" : Utf16ToUtf8(log_.lines[0]));
  const auto got = ReceivedUnder("/hang/1/asili");
  ASSERT_EQ(got.size(), 3u);  // the one that hung, then both calls
  EXPECT_EQ(got[1].fields.at("id"), "\"id-1\"");
  EXPECT_EQ(got[2].fields.at("id"), "\"id-2\"");
}

TEST_F(WebhookNetwork, ThousandCallsWhileTheServerIsDownArriveInOrder) {
  const std::string port = Control("free-port");
  WebhookSettings settings;
  settings.url = Utf8ToUtf16("https://localhost:" + port + "/ok/geri-geldi");
  WebhookDestination destination(settings, 1, Environment());
  for (int i = 0; i < 1000; ++i) destination.Deliver(NumberedCall(i));
  ASSERT_TRUE(ServeUntil([&] { return LogHas(u"gönderilemiyor"); }));
  EXPECT_EQ(notice_.errors.size(), 0u);

  Control("listen?port=" + port);
  ASSERT_TRUE(
      ServeUntil([&] { return destination.Pending() == 0; }, seconds(240)))
      << destination.Pending() << " still waiting";
  std::vector<std::string> expected;
  expected.reserve(1000);
  for (int i = 0; i < 1000; ++i) expected.push_back("id-" + std::to_string(i));
  EXPECT_EQ(IdsUnder("/ok/geri-geldi"), expected);
  EXPECT_TRUE(LogHas(u"gönderim yeniden başladı."));
  EXPECT_FALSE(LogHas(u"atıldı"));
}

TEST_F(WebhookNetwork, RefusedCallIsLoggedWithItsStatusAndNotRetried) {
  WebhookSettings settings;
  settings.url =
      Utf8ToUtf16(Server("ORVANTA_WEBHOOK_HTTPS", true) + "/status/404/yok");
  WebhookDestination destination(settings, 3, Environment());
  destination.Deliver(NumberedCall(1));
  destination.Deliver(NumberedCall(2));
  ASSERT_TRUE(ServeUntil([&] { return log_.lines.size() >= 2; }));
  EXPECT_EQ(ReceivedUnder("/status/404/yok").size(), 2u);
  const std::u16string expected = u"Webhook 3 (https://localhost:" +
                                  Utf8ToUtf16(Env("ORVANTA_WEBHOOK_HTTPS")) +
                                  u"): arama kabul edilmedi: HTTP 404: hata: " +
                                  std::u16string(140, u'x') +
                                  u" ikinci satır " + std::u16string(39, u'y');
  EXPECT_EQ(log_.lines[0], expected);
  EXPECT_TRUE(notice_.errors.empty());
}

}  // namespace
}  // namespace orvanta
