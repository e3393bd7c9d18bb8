// The MQTT destination against Debian's mosquitto, started by the test on
// loopback with a password file and a TLS listener of its own, and watched
// by a subscriber of the test's own.

#include "callerid/mqtt_destination.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/text.h"
#include "base/ui_handover.h"
#include "notify/test/mqtt_broker.h"
#include "base/test/recorders.h"

extern char** environ;

namespace orvanta {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

const CallSender kSender{u"TEST-PC", u"Orvanta", u"1.2.5"};
constexpr char kPrefix[] = "orvanta/test-pc";  // DefaultMqttPrefix(TEST-PC)

class RecordingNotice : public RecordingUserNotice {
 public:
  void ShowTrayBalloon(const std::u16string& text) override {
    balloons.push_back(text);
  }
  std::vector<std::u16string> balloons;
};

// Serves the user-interface thread's hand-overs (the log lines) until
// `done` holds or `timeout` has passed; returns `done()`.
bool ServeUntil(UiHandover& ui, const std::function<bool()>& done,
                seconds timeout = seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::mutex mutex;
  std::condition_variable stop;
  bool finished = false;
  std::thread alarm([&] {
    std::unique_lock lock(mutex);
    if (!stop.wait_until(lock, deadline, [&] { return finished; })) {
      ui.Notify();
    }
  });
  ui.ServeUntil(
      [&] { return done() || std::chrono::steady_clock::now() >= deadline; });
  {
    std::lock_guard lock(mutex);
    finished = true;
  }
  stop.notify_all();
  alarm.join();
  return done();
}

size_t LinesWith(const std::vector<std::u16string>& lines,
                 const std::u16string& text) {
  size_t count = 0;
  for (const std::u16string& line : lines) {
    if (line.find(text) != std::u16string::npos) ++count;
  }
  return count;
}

MqttSettings Settings(const std::string& url = "mqtt://127.0.0.1:1883") {
  MqttSettings settings;
  settings.url = Utf8ToUtf16(url);
  settings.user = Utf8ToUtf16(kBrokerUser);
  settings.password = Utf8ToUtf16(kBrokerPassword);
  return settings;
}

// The connection tries again quickly, so no test waits out real pauses.
MqttDestinationTiming Quick() {
  MqttDestinationTiming timing;
  timing.connection.first_retry = milliseconds(50);
  timing.connection.longest_retry = milliseconds(200);
  return timing;
}

Call NumberedCall(int n) {
  Call call;
  call.line = u"1";
  call.number = u"0532" + IntToText(1000000 + n);
  call.time = std::chrono::system_clock::now();
  call.utc_offset_minutes = 180;
  call.id = NewCallId();
  return call;
}

// The value of a JSON text field, for the ids the calls carry.
std::string IdOf(const std::string& json) {
  const std::string key = "\"id\":\"";
  const size_t from = json.find(key);
  if (from == std::string::npos) return {};
  const size_t begin = from + key.size();
  return json.substr(begin, json.find('"', begin) - begin);
}

class MqttDestinationTest : public testing::Test {
 protected:
  void SetUp() override { broker_.Start(); }
  // What the destinations posted as they went: the hand-over keeps what is
  // never served.
  void TearDown() override { ui_.ServePending(); }
  MqttEnvironment Environment() {
    return {&ui_, &log_, &notice_, kSender, Quick()};
  }

  TestBroker broker_;
  UiHandover ui_;
  RecordingProgramLog log_;
  RecordingNotice notice_;
};

TEST(MqttDestinationSettings, EndpointAndTopicsComeFromTheSettings) {
  struct Case {
    const char* url;
    const char* host;
    int port;
    bool tls;
  };
  for (const Case& test : {
           Case{"mqtt://broker.lan", "broker.lan", 1883, false},
           Case{"mqtt://10.0.0.5:1884", "10.0.0.5", 1884, false},
           Case{"mqtts://ev.example.com", "ev.example.com", 8883, true},
           Case{"MQTTS://[fd00::1]:9000/", "fd00::1", 9000, true},
       }) {
    SCOPED_TRACE(test.url);
    MqttSettings settings = Settings(test.url);
    settings.ca_file = u"/etc/orvanta/ca.pem";
    std::u16string error;
    const auto endpoint = MqttEndpointFor(settings, kSender, &error);
    ASSERT_TRUE(endpoint.has_value()) << Utf16ToUtf8(error);
    EXPECT_EQ(endpoint->host, test.host);
    EXPECT_EQ(endpoint->port, test.port);
    EXPECT_EQ(endpoint->tls, test.tls);
    // A CA file only means something to TLS.
    EXPECT_EQ(endpoint->ca_file, test.tls ? "/etc/orvanta/ca.pem" : "");
    EXPECT_EQ(endpoint->user, kBrokerUser);
    EXPECT_EQ(endpoint->password, kBrokerPassword);
    EXPECT_EQ(endpoint->status_topic, "orvanta/test-pc/status");
  }
  std::u16string error;
  EXPECT_FALSE(MqttEndpointFor(Settings("https://broker"), kSender, &error));
  EXPECT_FALSE(error.empty());

  // Without CLIENTID the sender and the bridge on one computer differ.
  MqttSettings settings = Settings();
  EXPECT_EQ(MqttEndpointFor(settings, kSender, &error)->client_id,
            "Orvanta-TEST-PC");
  EXPECT_EQ(
      MqttEndpointFor(settings, {u"Büro 2/PC", u"OrvantaAlici", u"1"}, &error)
          ->client_id,
      "OrvantaAlici-B_ro_2_PC");
  settings.client_id = u"santral";
  EXPECT_EQ(MqttEndpointFor(settings, kSender, &error)->client_id, "santral");

  settings.prefix = u"ev/telefon";
  const MqttTopics topics = MqttTopicsFor(settings, kSender);
  EXPECT_EQ(topics.call, "ev/telefon/call");
  EXPECT_EQ(topics.last, "ev/telefon/last");
  EXPECT_EQ(topics.status, "ev/telefon/status");
}

TEST_F(MqttDestinationTest, CallsArriveAsTheirJsonAndTheLastOneIsRetained) {
  TestSubscriber observer("observer", {std::string(kPrefix) + "/#"});
  ASSERT_TRUE(observer.WaitSubscribed());
  std::vector<Call> calls = {NumberedCall(1), NumberedCall(2), NumberedCall(3)};
  calls[1].name = u"Çağrı Öztürk \"Şube\"";
  calls[2].number.clear();
  calls[2].missing = MissingNumber::kPrivate;
  {
    MqttDestination destination(Settings(), Environment());
    for (const Call& call : calls) destination.Deliver(call);
    ASSERT_TRUE(observer.WaitFor([&](const auto& messages) {
      return OnTopic(messages, std::string(kPrefix) + "/call").size() == 3;
    }));
    const auto received = observer.On(std::string(kPrefix) + "/call");
    for (size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(received[i].payload, CallJson(calls[i], kSender));
      EXPECT_FALSE(received[i].retained);
    }

    // A client that comes later finds the last call and the status only.
    TestSubscriber later("later", {std::string(kPrefix) + "/#"});
    ASSERT_TRUE(later.WaitFor([&](const auto& messages) {
      return OnTopic(messages, std::string(kPrefix) + "/last").size() == 1 &&
             OnTopic(messages, std::string(kPrefix) + "/status").size() == 1;
    }));
    const auto last = later.On(std::string(kPrefix) + "/last");
    EXPECT_EQ(last[0].payload, CallJson(calls[2], kSender));
    EXPECT_TRUE(last[0].retained);
    EXPECT_EQ(later.On(std::string(kPrefix) + "/status")[0].payload, "online");
    EXPECT_TRUE(later.On(std::string(kPrefix) + "/call").empty());
  }
  ui_.ServePending();
  EXPECT_TRUE(log_.lines.empty()) << Utf16ToUtf8(log_.lines.front());
  EXPECT_TRUE(notice_.balloons.empty());
}

TEST_F(MqttDestinationTest,
       DiscoveryIsRetainedAndSentAgainWhenHomeAssistantIsBack) {
  TestSubscriber observer("observer", {std::string(kPrefix) + "/status"});
  MqttDestination destination(Settings(), Environment());
  ASSERT_TRUE(observer.WaitFor([&](const auto& messages) {
    return !messages.empty() && messages.back().payload == "online";
  }));

  const std::string event_topic =
      "homeassistant/event/orvanta_test-pc_call/config";
  const std::string sensor_topic =
      "homeassistant/sensor/orvanta_test-pc_last_caller/config";
  TestSubscriber home_assistant("home-assistant", {"homeassistant/#"});
  ASSERT_TRUE(home_assistant.WaitFor([&](const auto& messages) {
    return OnTopic(messages, event_topic).size() == 1 &&
           OnTopic(messages, sensor_topic).size() == 1;
  }));
  struct Expected {
    std::string topic;
    std::vector<std::string> fields;
  };
  for (const Expected& expected : {
           Expected{event_topic,
                    {"\"unique_id\":\"orvanta_test-pc_call\"",
                     "\"state_topic\":\"orvanta/test-pc/call\"",
                     "\"event_types\":[\"call\",\"test\"]",
                     "\"value_template\":\"{{ dict(value_json, "
                     "event_type=value_json.event) | to_json }}\""}},
           Expected{sensor_topic,
                    {"\"unique_id\":\"orvanta_test-pc_last_caller\"",
                     "\"state_topic\":\"orvanta/test-pc/last\"",
                     "\"json_attributes_topic\":\"orvanta/test-pc/last\""}},
       }) {
    SCOPED_TRACE(expected.topic);
    const ReceivedMqttMessage config = home_assistant.On(expected.topic)[0];
    EXPECT_TRUE(config.retained);
    std::vector<std::string> fields = expected.fields;
    fields.push_back("\"availability_topic\":\"orvanta/test-pc/status\"");
    fields.push_back(
        "\"device\":{\"identifiers\":[\"orvanta_test-pc\"],\"name\":\"Orvanta "
        "(TEST-PC)\",\"manufacturer\":\"Orvanta\",\"model\":\"Orvanta\","
        "\"sw_version\":\"1.2.5\"}");
    for (const std::string& field : fields) {
      EXPECT_NE(config.payload.find(field), std::string::npos)
          << field << "\nin " << config.payload;
    }
  }

  // Home Assistant's birth message: it has forgotten, so it is told again.
  home_assistant.Publish("homeassistant/status", "online");
  EXPECT_TRUE(home_assistant.WaitFor([&](const auto& messages) {
    return OnTopic(messages, event_topic).size() == 2 &&
           OnTopic(messages, sensor_topic).size() == 2;
  }));
}

TEST_F(MqttDestinationTest, EveryCallArrivesInOrderAcrossABrokerRestart) {
  const std::string call_topic = std::string(kPrefix) + "/call";
  TestSubscriber observer("observer", {call_topic});
  ASSERT_TRUE(observer.WaitSubscribed());
  MqttDestination destination(Settings(), Environment());
  std::vector<std::string> ids;
  const auto deliver = [&](int count) {
    for (int i = 0; i < count; ++i) {
      const Call call = NumberedCall(static_cast<int>(ids.size()));
      ids.push_back(call.id);
      destination.Deliver(call);
    }
  };

  // The broker goes while calls are still on their way, more calls come
  // while it is away, and it comes back.
  deliver(200);
  ASSERT_TRUE(observer.WaitFor(
      [&](const auto& messages) { return messages.size() >= 20; }));
  broker_.Stop();
  deliver(50);
  ASSERT_TRUE(ServeUntil(
      ui_, [&] { return LinesWith(log_.lines, u"gönderilemiyor") == 1; }));
  EXPECT_EQ(notice_.balloons.size(), 1u);
  broker_.Start();

  ASSERT_TRUE(observer.WaitFor(
      [&](const auto& messages) {
        std::set<std::string> seen;
        for (const auto& message : messages) seen.insert(IdOf(message.payload));
        return seen.size() == ids.size();
      },
      seconds(60)))
      << observer.Messages().size() << " of " << ids.size();
  // In order, each call first seen after the one before it; a call seen
  // twice (QoS 1 allows that much) is the same call with the same id.
  std::vector<std::string> first_seen;
  std::map<std::string, std::string> payloads;
  for (const ReceivedMqttMessage& message : observer.Messages()) {
    const std::string id = IdOf(message.payload);
    const auto [at, fresh] = payloads.emplace(id, message.payload);
    if (fresh) {
      first_seen.push_back(id);
    } else {
      EXPECT_EQ(at->second, message.payload);
    }
  }
  EXPECT_EQ(first_seen, ids);
  EXPECT_TRUE(ServeUntil(ui_, [&] {
    return LinesWith(log_.lines, u"gönderim yeniden başladı") == 1;
  }));
  EXPECT_EQ(destination.Pending(), 0u);
}

TEST_F(MqttDestinationTest, TheLastWillSaysOfflineWhenTheProgramIsKilled) {
  const std::string status_topic = "child/status";
  TestSubscriber observer("observer", {"child/#"});
  ASSERT_TRUE(observer.WaitSubscribed());
  const std::string program = ORVANTA_MQTT_CHILD;
  const char* argv[] = {program.c_str(), "mqtt://127.0.0.1:1883", "child",
                        nullptr};
  pid_t child = -1;
  ASSERT_EQ(posix_spawn(&child, program.c_str(), nullptr, nullptr,
                        const_cast<char**>(argv), environ),
            0);
  const bool delivered = observer.WaitFor([&](const auto& messages) {
    return !OnTopic(messages, "child/call").empty();
  });
  EXPECT_EQ(Payloads(observer.On(status_topic)),
            std::vector<std::string>{"online"});

  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(delivered);
  EXPECT_TRUE(observer.WaitFor([&](const auto& messages) {
    return Payloads(OnTopic(messages, status_topic)) ==
           std::vector<std::string>{"online", "offline"};
  })) << broker_.Log();
  // And it stays so for whoever asks later.
  TestSubscriber later("later", {status_topic});
  EXPECT_TRUE(later.WaitFor([&](const auto& messages) {
    return !messages.empty() && messages[0].payload == "offline" &&
           messages[0].retained;
  }));
}

TEST_F(MqttDestinationTest, ARefusalIsLoggedOnceWithItsReason) {
  struct Case {
    const char* name;
    MqttSettings settings;
    std::u16string reason;
    std::string broker_says;  // in the broker's log at each attempt
  };
  MqttSettings wrong_password = Settings();
  wrong_password.password = u"yanlış";
  // The test CA is not among the system's trusted ones.
  MqttSettings untrusted = Settings("mqtts://localhost:8883");
  for (const Case& test : {
           Case{"wrong password", wrong_password,
                u"kullanıcı adını ya da parolayı kabul etmedi",
                "not authorised"},
           Case{"untrusted certificate", untrusted, u"sertifika doğrulanamadı",
                "unknown ca"},
       }) {
    SCOPED_TRACE(test.name);
    log_.lines.clear();
    notice_.balloons.clear();
    const size_t attempts_before = Occurrences(broker_.Log(), test.broker_says);
    MqttDestination destination(test.settings, Environment());
    destination.Deliver(NumberedCall(1));
    destination.Deliver(NumberedCall(2));
    // The attempts go on...
    ASSERT_TRUE(broker_.WaitForLog([&](const std::string& log) {
      return Occurrences(log, test.broker_says) >= attempts_before + 3;
    })) << broker_.Log();
    // ...and are told once: the connection's failure, and the calls held.
    ASSERT_TRUE(ServeUntil(
        ui_, [&] { return LinesWith(log_.lines, u"gönderilemiyor") == 1; }));
    ui_.ServePending();
    EXPECT_EQ(LinesWith(log_.lines, test.reason), 2u);
    EXPECT_EQ(log_.lines.size(), 2u);
    EXPECT_EQ(log_.lines[0].rfind(u"MQTT (mqtt", 0), 0u)
        << Utf16ToUtf8(log_.lines[0]);
    EXPECT_EQ(notice_.balloons.size(), 1u);
    EXPECT_EQ(destination.Pending(), 2u);
  }
}

TEST_F(MqttDestinationTest, CallsMadeWhileTheBrokerIsAwayAtStartGoOutInOrder) {
  const std::string call_topic = std::string(kPrefix) + "/call";
  {
    // A session the broker keeps for the observer, so that it misses
    // nothing of what comes before it is back itself.
    TestSubscriber observer("observer", {call_topic});
    ASSERT_TRUE(observer.WaitSubscribed());
  }
  broker_.Stop();

  MqttDestination destination(Settings(), Environment());
  std::vector<Call> calls = {NumberedCall(1), NumberedCall(2), NumberedCall(3)};
  for (const Call& call : calls) destination.Deliver(call);
  ASSERT_TRUE(ServeUntil(ui_, [&] {
    return LinesWith(log_.lines, u"bağlanılamadı") >= 1 &&
           LinesWith(log_.lines, u"gönderilemiyor") == 1;
  }));
  EXPECT_EQ(destination.Pending(), 3u);

  broker_.Start();
  TestSubscriber observer("observer", {call_topic});
  ASSERT_TRUE(observer.WaitFor(
      [&](const auto& messages) { return messages.size() >= calls.size(); }));
  EXPECT_EQ(Payloads(observer.Messages()),
            (std::vector<std::string>{CallJson(calls[0], kSender),
                                      CallJson(calls[1], kSender),
                                      CallJson(calls[2], kSender)}));
  EXPECT_TRUE(ServeUntil(ui_, [&] {
    return LinesWith(log_.lines, u"sunucuya yeniden bağlanıldı") == 1 &&
           LinesWith(log_.lines, u"gönderim yeniden başladı") == 1;
  }));
}

TEST_F(MqttDestinationTest, TheTestButtonLeavesARunningDestinationAlone) {
  const std::string base = kPrefix;
  TestSubscriber observer("observer", {base + "/#"});
  ASSERT_TRUE(observer.WaitSubscribed());
  MqttDestination destination(Settings(), Environment());
  ASSERT_TRUE(observer.WaitFor([&](const auto& messages) {
    return !OnTopic(messages, base + "/status").empty();
  }));

  MqttSettings wrong_password = Settings();
  wrong_password.password = u"yanlış";
  struct Case {
    const char* name;
    MqttSettings settings;
    bool delivered;
    std::u16string text;
  };
  MqttTest button(ui_, Quick().connection);
  for (const Case& test : {
           Case{"saved settings", Settings(), true,
                u"MQTT sunucusu test aramasını aldı (orvanta/test-pc/call)."},
           Case{"a wrong password typed", wrong_password, false,
                u"MQTT sunucusu (127.0.0.1:1883) kullanıcı adını ya da "
                u"parolayı kabul etmedi"},
       }) {
    SCOPED_TRACE(test.name);
    std::optional<MqttTestResult> result;
    button.Start(test.settings, kSender,
                 [&](const MqttTestResult& done) { result = done; });
    ASSERT_TRUE(ServeUntil(ui_, [&] { return result.has_value(); }));
    EXPECT_EQ(result->delivered, test.delivered);
    EXPECT_EQ(result->text, test.text);
  }
  const auto calls = observer.On(base + "/call");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_NE(calls[0].payload.find("\"event\":\"test\""), std::string::npos);

  // The running destination kept its connection and its status.
  const Call after = NumberedCall(1);
  destination.Deliver(after);
  ASSERT_TRUE(observer.WaitFor([&](const auto& messages) {
    return OnTopic(messages, base + "/last").size() == 1;
  }));
  EXPECT_EQ(observer.On(base + "/call")[1].payload, CallJson(after, kSender));
  EXPECT_EQ(Payloads(observer.On(base + "/status")),
            std::vector<std::string>{"online"});
}

}  // namespace
}  // namespace orvanta
