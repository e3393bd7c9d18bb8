#ifndef ORVANTA_NOTIFY_TEST_MQTT_BROKER_H_
#define ORVANTA_NOTIFY_TEST_MQTT_BROKER_H_

// A real broker and a real subscriber for the MQTT tests (Linux).

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace orvanta {

// Test programs that talk to a broker call this first thing in main(), while
// there is one thread: after the private-network guard, the process moves
// to a network namespace of its own with nothing but loopback, so the fixed
// ports below clash with no other test. Ends the process when it cannot.
void EnterOwnLoopbackNetwork();

inline constexpr int kBrokerPort = 1883;
inline constexpr int kBrokerTlsPort = 8883;
inline constexpr char kBrokerUser[] = "orvanta";
inline constexpr char kBrokerPassword[] = "gizli-parola";

// Debian's mosquitto on 127.0.0.1: a plain listener and a TLS listener, both
// asking for kBrokerUser and kBrokerPassword, and the TLS listener again on
// 127.0.0.2, an address its certificate does not name. Its folder in the build
// tree holds a CA and a server certificate for "localhost" and 127.0.0.1 made
// with openssl, the password file, the configuration, its log and its
// saved state, so sessions and queued messages live through Stop/Start.
class TestBroker {
 public:
  TestBroker();   // prepares the folder; the broker is not running yet
  ~TestBroker();  // stops it and removes the folder
  TestBroker(const TestBroker&) = delete;
  TestBroker& operator=(const TestBroker&) = delete;

  // Starts it and returns once it listens.
  void Start();
  // An orderly end (SIGTERM): it saves its state and closes every connection.
  void Stop();
  // Freezes it (SIGSTOP) with its connections open, and lets it go on.
  void Pause();
  void Resume();
  bool Running() const { return pid_ > 0; }

  const std::string& ca_file() const { return ca_file_; }
  // A certificate folder as OpenSSL wants it (hashed names) that trusts the
  // test CA: a stand-in for the system's store.
  std::string trusting_folder() const { return folder_ + "/trusted"; }
  const std::string& folder() const { return folder_; }
  // What it has written to its log so far.
  std::string Log() const;
  // Waits until `done(log so far)` holds; false after `timeout`.
  bool WaitForLog(const std::function<bool(const std::string&)>& done,
                  std::chrono::milliseconds timeout = std::chrono::seconds(20));

 private:
  void ReadOutput(int fd);

  std::string folder_;
  std::string ca_file_;
  pid_t pid_ = -1;
  std::thread reader_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::string log_;
  bool output_ended_ = false;
};

struct ReceivedMqttMessage {
  std::string topic;
  std::string payload;
  bool retained = false;  // sent from the broker's store, not live
};

// The messages on `topic`, in the order they came.
std::vector<ReceivedMqttMessage> OnTopic(
    const std::vector<ReceivedMqttMessage>& messages, const std::string& topic);
// Their payloads.
std::vector<std::string> Payloads(
    const std::vector<ReceivedMqttMessage>& messages);

// How often `text` occurs in `log`.
size_t Occurrences(const std::string& log, const std::string& text);

// A subscriber with a session the broker keeps (QoS 1, not clean), so that
// it misses nothing across a broker restart. Connects to the plain listener
// as kBrokerUser and comes back by itself when the broker does.
class TestSubscriber {
 public:
  TestSubscriber(const std::string& client_id, std::vector<std::string> topics);
  ~TestSubscriber();
  TestSubscriber(const TestSubscriber&) = delete;
  TestSubscriber& operator=(const TestSubscriber&) = delete;

  // Waits until `done(messages so far)` holds; false after `timeout`. `done`
  // runs with the subscriber locked: it looks only at what it is given.
  bool WaitFor(
      const std::function<bool(const std::vector<ReceivedMqttMessage>&)>& done,
      std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // Waits until the broker has confirmed the subscriptions.
  bool WaitSubscribed(
      std::chrono::milliseconds timeout = std::chrono::seconds(20));
  std::vector<ReceivedMqttMessage> Messages() const;
  // Publishes with QoS 1, not retained (Home Assistant's "online", say).
  void Publish(const std::string& topic, const std::string& payload);
  // The messages on `topic`, in the order they came.
  std::vector<ReceivedMqttMessage> On(const std::string& topic) const;

 private:
  static void OnConnect(mosquitto*, void*, int);
  static void OnSubscribe(mosquitto*, void*, int, int, const int*);
  static void OnMessage(mosquitto*, void*, const mosquitto_message*);

  std::vector<std::string> topics_;
  mosquitto* client_ = nullptr;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<ReceivedMqttMessage> messages_;
  bool subscribed_ = false;
};

}  // namespace orvanta

#endif  // ORVANTA_NOTIFY_TEST_MQTT_BROKER_H_
