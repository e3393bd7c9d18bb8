// The connection against Debian's mosquitto, started by the test on
// loopback with a password file and a TLS listener of its own.

#include "notify/mqtt_connection.h"

#include <stdlib.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/text.h"
#include "notify/test/mqtt_broker.h"

namespace orvanta {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

class RecordingListener : public MqttConnectionListener {
 public:
  void OnConnected() override {
    std::lock_guard lock(mutex_);
    ++connections_;
    changed_.notify_all();
  }
  void OnConnectionFailed(const std::u16string& reason) override {
    std::lock_guard lock(mutex_);
    failures_.push_back(reason);
    changed_.notify_all();
  }

  bool WaitConnections(int count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, seconds(20),
                             [&] { return connections_ >= count; });
  }
  // The first failure reported.
  std::optional<std::u16string> WaitFailure() {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, seconds(20),
                           [&] { return !failures_.empty(); })) {
      return std::nullopt;
    }
    return failures_.front();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int connections_ = 0;
  std::vector<std::u16string> failures_;
};

// Retries come quickly, so a test does not wait for the real pauses.
MqttTiming Quick() {
  MqttTiming timing;
  timing.first_retry = milliseconds(50);
  timing.longest_retry = milliseconds(200);
  return timing;
}

MqttEndpoint Plain() {
  MqttEndpoint endpoint;
  endpoint.host = "127.0.0.1";
  endpoint.port = kBrokerPort;
  endpoint.user = kBrokerUser;
  endpoint.password = kBrokerPassword;
  endpoint.client_id = "connection-test";
  return endpoint;
}

MqttEndpoint WithTls(const TestBroker& broker) {
  MqttEndpoint endpoint = Plain();
  endpoint.host = "localhost";  // the name on the server's certificate
  endpoint.port = kBrokerTlsPort;
  endpoint.tls = true;
  endpoint.ca_file = broker.ca_file();
  return endpoint;
}

class MqttConnectionTest : public testing::Test {
 protected:
  void SetUp() override { broker_.Start(); }
  TestBroker broker_;
};

TEST_F(MqttConnectionTest, MessagesAreAcknowledgedAndTheStatusIsRetained) {
  struct Case {
    const char* name;
    MqttEndpoint endpoint;
    // Where OpenSSL finds the system's store (SSL_CERT_DIR); empty: as it is.
    std::string system_store;
  };
  MqttEndpoint system_store = WithTls(broker_);
  system_store.ca_file.clear();
  for (const Case& test : {
           Case{"plain", Plain(), ""},
           Case{"tls", WithTls(broker_), ""},
           Case{"system", system_store, broker_.trusting_folder()},
       }) {
    SCOPED_TRACE(test.name);
    const std::string base = std::string("t/") + test.name;
    TestSubscriber subscriber(std::string("observer-") + test.name,
                              {base + "/#"});
    ASSERT_TRUE(subscriber.WaitSubscribed());
    {
      MqttEndpoint endpoint = test.endpoint;
      endpoint.status_topic = base + "/status";
      RecordingListener listener;
      // The store is looked up as the connection is made.
      if (!test.system_store.empty()) {
        setenv("SSL_CERT_DIR", test.system_store.c_str(), 1);
      }
      MqttConnection connection(endpoint, {}, listener, Quick());
      unsetenv("SSL_CERT_DIR");
      ASSERT_TRUE(listener.WaitConnections(1));
      const MqttConnection::Outcome outcome = connection.Send(
          {{base + "/call", "{\"n\":1}"}, {base + "/last", "{\"n\":1}", true}},
          seconds(5));
      EXPECT_TRUE(outcome.acknowledged) << Utf16ToUtf8(outcome.failure);
      EXPECT_TRUE(subscriber.WaitFor([&](const auto& messages) {
        return OnTopic(messages, base + "/last").size() == 1;
      }));
    }
    // An orderly end says so, although the last will is not sent then.
    ASSERT_TRUE(subscriber.WaitFor([&](const auto& messages) {
      return Payloads(OnTopic(messages, base + "/status")) ==
             std::vector<std::string>{"online", "offline"};
    })) << broker_.Log();
    EXPECT_EQ(Payloads(subscriber.On(base + "/call")),
              std::vector<std::string>{"{\"n\":1}"});

    // What is retained: a later subscriber finds the status and the last one.
    TestSubscriber later(std::string("later-") + test.name, {base + "/#"});
    ASSERT_TRUE(later.WaitFor(
        [&](const auto& messages) { return messages.size() == 2; }));
    for (const ReceivedMqttMessage& message : later.Messages()) {
      EXPECT_TRUE(message.retained) << message.topic;
      EXPECT_NE(message.topic, base + "/call");
    }
  }
}

TEST_F(MqttConnectionTest, RefusalsAreReportedWithTheirReason) {
  struct Case {
    const char* name;
    MqttEndpoint endpoint;
    std::u16string reason;
  };
  MqttEndpoint wrong_password = Plain();
  wrong_password.password = "yanlış";
  MqttEndpoint system_store = WithTls(broker_);
  system_store.ca_file.clear();  // the test CA is not among the trusted ones
  MqttEndpoint other_name = WithTls(broker_);
  other_name.host = "127.0.0.2";  // loopback too, but not on the certificate
  MqttEndpoint no_ca_file = WithTls(broker_);
  no_ca_file.ca_file = broker_.folder() + "/yok.pem";
  MqttEndpoint tls_to_plain = WithTls(broker_);
  tls_to_plain.port = kBrokerPort;
  MqttEndpoint nobody_there = Plain();
  nobody_there.port = 1884;
  MqttEndpoint unknown_host = Plain();
  unknown_host.host = "yok.invalid";
  for (const Case& test : {
           Case{"wrong password", wrong_password,
                u"MQTT sunucusu (127.0.0.1:1883) kullanıcı adını ya da "
                u"parolayı kabul etmedi"},
           Case{"untrusted", system_store,
                u"MQTT sunucusuna (localhost:8883) bağlanılamadı: sertifika "
                u"doğrulanamadı"},
           Case{"name not on the certificate", other_name,
                u"MQTT sunucusuna (127.0.0.2:8883) bağlanılamadı: sertifika "
                u"doğrulanamadı"},
           Case{"no CA file", no_ca_file,
                u"MQTT için CA dosyası okunamadı: " +
                    Utf8ToUtf16(no_ca_file.ca_file)},
           Case{"TLS to a plain listener", tls_to_plain,
                u"MQTT sunucusuna (localhost:1883) bağlanılamadı: TLS "
                u"bağlantısı kurulamadı"},
           Case{"nothing listening", nobody_there,
                u"MQTT sunucusuna (127.0.0.1:1884) bağlanılamadı: Connection "
                u"refused"},
           Case{"unknown host", unknown_host,
                u"MQTT sunucusunun adı bulunamadı (yok.invalid)"},
       }) {
    SCOPED_TRACE(test.name);
    RecordingListener listener;
    MqttConnection connection(test.endpoint, {}, listener, Quick());
    const std::optional<std::u16string> failure = listener.WaitFailure();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->substr(0, test.reason.size()), test.reason)
        << Utf16ToUtf8(*failure);
    const MqttConnection::Outcome outcome =
        connection.Send({{"t/refused", "x"}}, seconds(1));
    EXPECT_FALSE(outcome.acknowledged);
    EXPECT_FALSE(outcome.failure.empty());
    EXPECT_FALSE(connection.Connected());
  }
}

TEST(MqttConnectionWithoutBroker, WaitsForABrokerThatIsAwayAtStart) {
  TestBroker broker;
  RecordingListener listener;
  MqttConnection connection(Plain(), {}, listener, Quick());
  const std::optional<std::u16string> failure = listener.WaitFailure();
  ASSERT_TRUE(failure.has_value());
  const MqttConnection::Outcome early =
      connection.Send({{"t/early", "x"}}, seconds(1));
  EXPECT_FALSE(early.acknowledged);
  EXPECT_EQ(early.failure, *failure);

  broker.Start();
  ASSERT_TRUE(listener.WaitConnections(1));
  EXPECT_TRUE(connection.Send({{"t/later", "x"}}, seconds(5)).acknowledged);
}

TEST_F(MqttConnectionTest, AMessageNotYetAcknowledgedIsNotSentTwice) {
  TestSubscriber subscriber("observer", {"t/#"});
  ASSERT_TRUE(subscriber.WaitSubscribed());
  RecordingListener listener;
  MqttConnection connection(Plain(), {}, listener, Quick());
  ASSERT_TRUE(listener.WaitConnections(1));

  // A broker that takes the message but does not answer: each try times
  // out, and each one waits for the copy the first one handed over.
  broker_.Pause();
  for (int attempt = 0; attempt < 3; ++attempt) {
    EXPECT_FALSE(
        connection.Send({{"t/call", "bir"}}, milliseconds(200)).acknowledged);
  }
  // Once the broker goes on, the acknowledgement comes with no one waiting;
  // the next try collects it.
  broker_.Resume();
  ASSERT_TRUE(subscriber.WaitFor(
      [&](const auto& messages) { return !messages.empty(); }));
  EXPECT_TRUE(connection.Send({{"t/call", "bir"}}, seconds(5)).acknowledged);
  ASSERT_TRUE(connection.Send({{"t/call", "iki"}}, seconds(5)).acknowledged);
  ASSERT_TRUE(subscriber.WaitFor([&](const auto& messages) {
    return OnTopic(messages, "t/call").size() >= 2;
  }));
  EXPECT_EQ(Payloads(subscriber.On("t/call")),
            (std::vector<std::string>{"bir", "iki"}));
}

TEST_F(MqttConnectionTest, AMessageCutOffByARestartGoesOutWhenTheBrokerIsBack) {
  TestSubscriber subscriber("observer", {"t/#"});
  ASSERT_TRUE(subscriber.WaitSubscribed());
  RecordingListener listener;
  MqttConnection connection(Plain(), {}, listener, Quick());
  ASSERT_TRUE(listener.WaitConnections(1));

  broker_.Pause();
  EXPECT_FALSE(
      connection.Send({{"t/call", "kesik"}}, milliseconds(200)).acknowledged);
  // The broker may or may not take it, and acknowledge it, before it ends.
  broker_.Stop();
  const MqttConnection::Outcome away =
      connection.Send({{"t/call", "kesik"}}, seconds(1));
  if (!away.acknowledged) {
    EXPECT_FALSE(away.failure.empty());
  }

  broker_.Start();
  ASSERT_TRUE(listener.WaitConnections(2));
  EXPECT_TRUE(connection.Send({{"t/call", "kesik"}}, seconds(5)).acknowledged);
  ASSERT_TRUE(connection.Send({{"t/call", "sonra"}}, seconds(5)).acknowledged);
  ASSERT_TRUE(subscriber.WaitFor([&](const auto& messages) {
    const auto calls = Payloads(OnTopic(messages, "t/call"));
    return !calls.empty() && calls.back() == "sonra";
  }));
  // At least once, in order; copies, as QoS 1 allows on either hop (to the
  // broker and from it), only of the message that was cut off.
  const std::vector<std::string> calls = Payloads(subscriber.On("t/call"));
  ASSERT_GE(calls.size(), 2u);
  for (size_t i = 0; i + 1 < calls.size(); ++i) EXPECT_EQ(calls[i], "kesik");
}

}  // namespace
}  // namespace orvanta
