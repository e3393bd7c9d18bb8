#ifndef ORVANTA_NOTIFY_MQTT_CONNECTION_H_
#define ORVANTA_NOTIFY_MQTT_CONNECTION_H_

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace orvanta {

// Where a broker is and how to be let in.
struct MqttEndpoint {
  std::string host;
  int port = 1883;
  bool tls = false;
  // A PEM file with the CA that signed the broker's certificate; empty with
  // `tls`: the system's certificate store.
  std::string ca_file;
  std::string user;  // empty: no user name and no password are sent
  std::string password;
  std::string client_id;
  // Retained here: `online` once connected, `offline` when the connection
  // ends, by an orderly stop or as the connection's last will.
  std::string status_topic;
};

struct MqttMessage {
  std::string topic;
  std::string payload;
  bool retain = false;

  bool operator==(const MqttMessage&) const = default;
};

// How patiently the connection waits and tries again.
struct MqttTiming {
  std::chrono::milliseconds first_retry = std::chrono::seconds(1);
  std::chrono::milliseconds longest_retry = std::chrono::seconds(60);
  // A connection attempt that has no answer by then is abandoned.
  std::chrono::milliseconds connect_timeout = std::chrono::seconds(10);
  // Silence after which the broker is asked whether it is still there; a
  // broker that does not answer within half as long again is gone.
  std::chrono::seconds keep_alive = std::chrono::seconds(30);
};

// What the connection tells its owner. Called on the connection's own
// thread, one at a time; they may call Post but must not wait on Send.
class MqttConnectionListener {
 public:
  virtual ~MqttConnectionListener() = default;
  // Just connected (the first time or again), with `online` on its way.
  virtual void OnConnected() {}
  // A connection attempt failed or a connection ended; `reason` is for the
  // user.
  virtual void OnConnectionFailed(const std::u16string& /*reason*/) {}
  // A message on one of the subscribed topics.
  virtual void OnMessage(const std::string& /*topic*/,
                         const std::string& /*payload*/) {}
};

// One MQTT 3.1.1 session with a broker, kept up by a thread of its own:
// a broker that is away (at start or later) is tried again with a growing
// pause, without end, until the connection is destroyed.
//
// Everything goes out with QoS 1. A message handed over is kept by the
// client library until the broker acknowledges it, across reconnections:
// a message cut off by a lost connection goes out again by itself once the
// broker is back, so handing the same message over again does not send it a
// second time.
class MqttConnection {
 public:
  // Starts connecting at once. `subscriptions` are renewed on every
  // connection. `listener` must outlive the connection.
  MqttConnection(MqttEndpoint endpoint, std::vector<std::string> subscriptions,
                 MqttConnectionListener& listener, MqttTiming timing = {});
  // Close().
  ~MqttConnection();
  MqttConnection(const MqttConnection&) = delete;
  MqttConnection& operator=(const MqttConnection&) = delete;

  struct Outcome {
    bool acknowledged = false;
    std::u16string failure;  // why not, for the user
    // The broker was not even asked: the client library refused the
    // messages, and would refuse them again.
    bool permanent = false;
  };
  // Hands `messages` over in order and waits up to `timeout` until the
  // broker has acknowledged all of them. Nothing is handed over while there
  // is no connection; before the first connection attempt has succeeded or
  // failed, that is waited for (within `timeout`). Messages still kept from an
  // earlier call that did not see them acknowledged are waited for, not sent
  // again. Any thread but the connection's own.
  Outcome Send(const std::vector<MqttMessage>& messages,
               std::chrono::milliseconds timeout);

  // Hands `message` over without waiting for it; nothing while there is no
  // connection. Any thread, the listener's calls included.
  void Post(const MqttMessage& message);

  // Publishes `offline` (when connected) and ends the session; no listener
  // call comes after it returns, and Send and Post give up at once. Any
  // thread but the connection's own.
  void Close();

  bool Connected() const;
  // Why the last connection attempt failed; empty while connected.
  std::u16string LastFailure() const;

 private:
  class Session;
  std::unique_ptr<Session> session_;
};

}  // namespace orvanta

#endif  // ORVANTA_NOTIFY_MQTT_CONNECTION_H_
