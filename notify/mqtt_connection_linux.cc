#include "notify/mqtt_connection.h"

#include <mosquitto.h>
#include <netdb.h>
#include <openssl/x509.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "base/system_error.h"
#include "base/text.h"

namespace orvanta {
namespace {

using Clock = std::chrono::steady_clock;

// How long an orderly stop waits for `offline` to be acknowledged and for
// the broker to take the disconnect.
constexpr auto kGoodbyeTimeout = std::chrono::seconds(2);
// How often the network loop looks up from the socket to see whether it
// should stop or give up on a connection attempt.
constexpr int kLoopTimeoutMs = 200;

// Not one of the library's codes: a connection attempt given up unanswered.
constexpr int kNoAnswer = -1000;

constexpr char16_t kClosingText[] = u"MQTT bağlantısı kapatılıyor";
constexpr char kOnline[] = "online";
constexpr char kOffline[] = "offline";

void InitialiseLibraryOnce() {
  static std::once_flag once;
  std::call_once(once, [] { mosquitto_lib_init(); });
}

// Where OpenSSL looks for the trusted CAs when told to use its defaults
// (SSL_CERT_DIR, or the folder it was built with: /usr/lib/ssl/certs on
// Debian, a link to /etc/ssl/certs).
std::string DefaultCertificateFolder() {
  const char* from_environment = std::getenv(X509_get_default_cert_dir_env());
  return from_environment && *from_environment ? from_environment
                                               : X509_get_default_cert_dir();
}

std::u16string Seconds(std::chrono::milliseconds time) {
  return IntToText((time.count() + 999) / 1000);
}

}  // namespace

class MqttConnection::Session {
 public:
  Session(MqttEndpoint endpoint, std::vector<std::string> subscriptions,
          MqttConnectionListener& listener, MqttTiming timing)
      : endpoint_(std::move(endpoint)),
        subscriptions_(std::move(subscriptions)),
        listener_(listener),
        timing_(timing),
        address_(Utf8ToUtf16(endpoint_.host + ":" +
                             std::to_string(endpoint_.port))) {
    InitialiseLibraryOnce();
    client_ = mosquitto_new(
        endpoint_.client_id.empty() ? nullptr : endpoint_.client_id.c_str(),
        /*clean_session=*/true, this);
    if (client_) {
      Prepare();
    } else {
      setup_failure_ = u"MQTT istemcisi oluşturulamadı";
    }
  }

  // Apart from the constructor: the thread's first callbacks may reach the
  // owner, which must hold the session by then.
  void Start() {
    worker_ = std::thread([this] { Run(); });
  }

  ~Session() {
    Close();
    if (client_) mosquitto_destroy(client_);
  }

  void Close() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
  }

  Outcome Send(const std::vector<MqttMessage>& messages,
               std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    std::unique_lock lock(mutex_);
    // Before the first attempt has come to anything there is nothing to
    // tell yet: wait for it.
    changed_.wait_until(lock, deadline, [&] {
      return connected_ || !failure_.empty() || stopping_;
    });
    if (stopping_) return {false, kClosingText, false};
    if (!connected_) return {false, NotConnectedText(), false};
    const uint64_t connection = connection_number_;
    std::vector<int> ids;
    for (const MqttMessage& message : messages) {
      int id = 0;
      const int rc = HandOver(message, /*awaited=*/true, &id);
      if (rc != MOSQ_ERR_SUCCESS) {
        return {false,
                u"MQTT iletisi gönderilemedi: " +
                    Utf8ToUtf16(mosquitto_strerror(rc)),
                IsLastingRefusal(rc)};
      }
      ids.push_back(id);
    }
    const auto acknowledged = [&] {
      return std::all_of(ids.begin(), ids.end(),
                         [&](int id) { return Acknowledged(id); });
    };
    changed_.wait_until(lock, deadline, [&] {
      return acknowledged() || stopping_ || connection != connection_number_;
    });
    if (acknowledged()) {
      std::erase_if(held_, [&](const HeldMessage& held) {
        return std::find(ids.begin(), ids.end(), held.id) != ids.end();
      });
      return {true, {}, false};
    }
    if (stopping_) return {false, kClosingText, false};
    if (connection != connection_number_) {
      return {false, u"MQTT sunucusuyla (" + address_ + u") bağlantı koptu",
              false};
    }
    return {false,
            u"MQTT sunucusu (" + address_ + u") " + Seconds(timeout) +
                u" saniye içinde onay vermedi",
            false};
  }

  void Post(const MqttMessage& message) {
    std::lock_guard lock(mutex_);
    if (!connected_ || stopping_) return;
    int id = 0;
    HandOver(message, /*awaited=*/false, &id);
  }

  bool Connected() const {
    std::lock_guard lock(mutex_);
    return connected_;
  }

  std::u16string LastFailure() const {
    std::lock_guard lock(mutex_);
    return connected_ ? std::u16string() : failure_;
  }

 private:
  // A message handed to the client library, which keeps it until the broker
  // acknowledges it. One that a Send waits for stays after that until a
  // Send collects the acknowledgement: the one that handed it over, or a
  // later one for the same message, after the first gave up too early.
  struct HeldMessage {
    MqttMessage message;
    int id;
    bool awaited = false;
    bool acknowledged = false;
  };
  // Acknowledgements nobody collected (their calls given up meanwhile) are
  // forgotten beyond this many.
  static constexpr size_t kUncollectedKept = 16;

  static Session& Of(void* user_data) {
    return *static_cast<Session*>(user_data);
  }

  // Refusals that the same message would meet again, whatever the broker.
  static bool IsLastingRefusal(int rc) {
    return rc == MOSQ_ERR_INVAL || rc == MOSQ_ERR_PAYLOAD_SIZE ||
           rc == MOSQ_ERR_MALFORMED_UTF8 || rc == MOSQ_ERR_OVERSIZE_PACKET;
  }

  // Returns the library's refusal, or hands `message` over, or finds it
  // already handed over. Caller holds mutex_.
  int HandOver(const MqttMessage& message, bool awaited, int* id) {
    for (HeldMessage& held : held_) {
      if (held.message == message) {
        held.awaited = held.awaited || awaited;
        *id = held.id;
        return MOSQ_ERR_SUCCESS;
      }
    }
    // The acknowledgement cannot be missed: its callback waits for mutex_.
    const int rc = mosquitto_publish(client_, id, message.topic.c_str(),
                                     static_cast<int>(message.payload.size()),
                                     message.payload.data(),
                                     /*qos=*/1, message.retain);
    if (rc == MOSQ_ERR_SUCCESS) held_.push_back({message, *id, awaited});
    return rc;
  }

  // Caller holds mutex_.
  bool Acknowledged(int id) const {
    return std::none_of(held_.begin(), held_.end(), [&](const HeldMessage& m) {
      return m.id == id && !m.acknowledged;
    });
  }

  std::u16string NotConnectedText() const {
    if (!failure_.empty()) return failure_;
    return u"MQTT sunucusuna (" + address_ + u") henüz bağlanılamadı";
  }

  // Sets the library's options and callbacks up.
  void Prepare() {
    mosquitto_int_option(client_, MOSQ_OPT_PROTOCOL_VERSION,
                         MQTT_PROTOCOL_V311);
    // Other threads hand messages over while this one runs the loop.
    mosquitto_threaded_set(client_, true);
    mosquitto_connect_callback_set(client_, &Session::OnConnect);
    mosquitto_disconnect_callback_set(client_, &Session::OnDisconnect);
    mosquitto_publish_callback_set(client_, &Session::OnPublish);
    mosquitto_message_callback_set(client_, &Session::OnMessage);
    mosquitto_log_callback_set(client_, &Session::OnLog);
    setup_failure_ = Configure();
  }

  // Applies the settings; returns why they cannot be used, or nothing.
  std::u16string Configure() {
    if (!endpoint_.status_topic.empty()) {
      mosquitto_will_set(client_, endpoint_.status_topic.c_str(),
                         sizeof(kOffline) - 1, kOffline, /*qos=*/1,
                         /*retain=*/true);
    }
    if (!endpoint_.user.empty()) {
      mosquitto_username_pw_set(client_, endpoint_.user.c_str(),
                                endpoint_.password.c_str());
    }
    if (!endpoint_.tls) return {};
    if (!endpoint_.ca_file.empty()) {
      if (mosquitto_tls_set(client_, endpoint_.ca_file.c_str(), nullptr,
                            nullptr, nullptr, nullptr) != MOSQ_ERR_SUCCESS) {
        return u"MQTT için CA dosyası okunamadı: " +
               Utf8ToUtf16(endpoint_.ca_file);
      }
    } else {
      // The system's store as OpenSSL finds it. Not MOSQ_OPT_TLS_USE_OS_CERTS:
      // with that alone, libmosquitto 2.0.11 refuses every attempt after the
      // first (MOSQ_ERR_INVAL), as it sees no CA file or folder then.
      const std::string folder = DefaultCertificateFolder();
      if (mosquitto_tls_set(client_, nullptr, folder.c_str(), nullptr, nullptr,
                            nullptr) != MOSQ_ERR_SUCCESS) {
        return u"MQTT için sistemin sertifika klasörü okunamadı: " +
               Utf8ToUtf16(folder);
      }
    }
    return {};
  }

  void Run() {
    if (!setup_failure_.empty()) {
      Fail(setup_failure_);
      return;
    }
    auto pause = timing_.first_retry;
    bool address_known = false;
    while (!Stopping()) {
      {
        std::lock_guard lock(log_mutex_);
        library_error_.clear();
      }
      refusal_ = -1;
      int rc = address_known
                   ? mosquitto_reconnect_async(client_)
                   : mosquitto_connect_async(
                         client_, endpoint_.host.c_str(), endpoint_.port,
                         static_cast<int>(timing_.keep_alive.count()));
      int error = errno;
      if (!address_known && rc == MOSQ_ERR_INVAL) {
        Fail(u"MQTT sunucusunun adresi kullanılamıyor: " + address_);
        return;
      }
      address_known = true;
      bool was_connected = false;
      const auto began = Clock::now();
      while (rc == MOSQ_ERR_SUCCESS) {
        rc = mosquitto_loop(client_, kLoopTimeoutMs, 1);
        error = errno;
        if (rc != MOSQ_ERR_SUCCESS || Stopping()) break;
        if (Connected()) {
          was_connected = true;
        } else if (Clock::now() - began > timing_.connect_timeout) {
          rc = kNoAnswer;
          break;
        }
      }
      if (Stopping()) break;
      {
        std::lock_guard lock(mutex_);
        if (connected_) {
          connected_ = false;
          ++connection_number_;
        }
      }
      changed_.notify_all();
      Fail(FailureText(rc, error, was_connected));
      if (was_connected) pause = timing_.first_retry;
      std::unique_lock lock(mutex_);
      changed_.wait_for(lock, pause, [&] { return stopping_; });
      pause = std::min(pause * 2, timing_.longest_retry);
    }
    SayGoodbye();
  }

  // Publishes `offline` and disconnects, so that the status is right
  // although a disconnect asked for drops the last will.
  void SayGoodbye() {
    if (!Connected()) return;
    int id = 0;
    if (!endpoint_.status_topic.empty()) {
      std::lock_guard lock(mutex_);
      HandOver({endpoint_.status_topic, kOffline, true}, /*awaited=*/false,
               &id);
    }
    const auto until = Clock::now() + kGoodbyeTimeout;
    const auto acknowledged = [&] {
      std::lock_guard lock(mutex_);
      return Acknowledged(id);
    };
    while (!acknowledged() && Clock::now() < until &&
           mosquitto_loop(client_, kLoopTimeoutMs, 1) == MOSQ_ERR_SUCCESS) {
    }
    mosquitto_disconnect(client_);
    while (Connected() && Clock::now() < until &&
           mosquitto_loop(client_, kLoopTimeoutMs, 1) == MOSQ_ERR_SUCCESS) {
    }
  }

  bool Stopping() const {
    std::lock_guard lock(mutex_);
    return stopping_;
  }

  void Fail(const std::u16string& reason) {
    {
      std::lock_guard lock(mutex_);
      failure_ = reason;
    }
    changed_.notify_all();
    listener_.OnConnectionFailed(reason);
  }

  std::u16string FailureText(int rc, int error, bool was_connected) {
    if (refusal_ > 0) return RefusalText(refusal_);
    if (was_connected) {
      return u"MQTT sunucusuyla (" + address_ + u") bağlantı koptu";
    }
    const std::u16string cannot =
        u"MQTT sunucusuna (" + address_ + u") bağlanılamadı: ";
    switch (rc) {
      case kNoAnswer:
        return u"MQTT sunucusu (" + address_ + u") " +
               Seconds(timing_.connect_timeout) +
               u" saniye içinde yanıt vermedi";
      case MOSQ_ERR_ERRNO:
        return cannot + SystemErrorText(static_cast<uint32_t>(error));
      case MOSQ_ERR_EAI:
        return u"MQTT sunucusunun adı bulunamadı (" +
               Utf8ToUtf16(endpoint_.host) + u"): " +
               Utf8ToUtf16(gai_strerror(error));
      case MOSQ_ERR_TLS: {
        std::string detail;
        {
          std::lock_guard lock(log_mutex_);
          detail = library_error_;
        }
        if (detail.find("certificate verify failed") != std::string::npos) {
          return cannot +
                 u"sertifika doğrulanamadı: sunucunun sertifikası güvenilen "
                 u"bir CA'dan değil ya da bu sunucu adına verilmemiş (özel "
                 u"bir CA için CAFILE ayarı)";
        }
        return cannot + u"TLS bağlantısı kurulamadı" +
               (detail.empty() ? u"" : u": " + Utf8ToUtf16(detail));
      }
      default:
        return cannot + Utf8ToUtf16(mosquitto_strerror(rc));
    }
  }

  std::u16string RefusalText(int code) const {
    const std::u16string broker = u"MQTT sunucusu (" + address_ + u") ";
    switch (code) {
      case 1:
        return broker + u"MQTT 3.1.1 sürümünü kabul etmedi";
      case 2:
        return broker + u"istemci kimliğini (CLIENTID) kabul etmedi";
      case 3:
        return broker + u"şu an hizmet vermiyor";
      case 4:
      case 5:
        return broker + u"kullanıcı adını ya da parolayı kabul etmedi";
      default:
        return broker + u"bağlantıyı reddetti (kod " + IntToText(code) + u")";
    }
  }

  // The library's callbacks, all on this session's thread except OnLog,
  // which any thread that calls into the library may run.

  static void OnConnect(mosquitto* client, void* user_data, int code) {
    Session& self = Of(user_data);
    if (code != 0) {
      self.refusal_ = code;
      return;
    }
    {
      std::lock_guard lock(self.mutex_);
      self.connected_ = true;
      self.failure_.clear();
      ++self.connection_number_;
      if (!self.endpoint_.status_topic.empty()) {
        int id = 0;
        self.HandOver({self.endpoint_.status_topic, kOnline, true},
                      /*awaited=*/false, &id);
      }
    }
    for (const std::string& topic : self.subscriptions_) {
      mosquitto_subscribe(client, nullptr, topic.c_str(), /*qos=*/1);
    }
    // A last will can come late: the broker sends it only when it notices
    // that an earlier connection of ours is gone, which may be after this
    // one said `online`. Watching the status topic puts that right.
    if (!self.endpoint_.status_topic.empty()) {
      mosquitto_subscribe(client, nullptr, self.endpoint_.status_topic.c_str(),
                          /*qos=*/1);
    }
    self.changed_.notify_all();
    self.listener_.OnConnected();
  }

  static void OnDisconnect(mosquitto*, void* user_data, int) {
    Session& self = Of(user_data);
    {
      std::lock_guard lock(self.mutex_);
      if (!self.connected_) return;
      self.connected_ = false;
      ++self.connection_number_;
    }
    self.changed_.notify_all();
  }

  static void OnPublish(mosquitto*, void* user_data, int id) {
    Session& self = Of(user_data);
    {
      std::lock_guard lock(self.mutex_);
      auto& held = self.held_;
      const auto found =
          std::find_if(held.begin(), held.end(),
                       [&](const HeldMessage& m) { return m.id == id; });
      if (found != held.end()) {
        if (found->awaited) {
          found->acknowledged = true;
        } else {
          held.erase(found);
        }
      }
      // The oldest acknowledgements first, when too many wait uncollected.
      size_t uncollected =
          std::count_if(held.begin(), held.end(),
                        [](const HeldMessage& m) { return m.acknowledged; });
      std::erase_if(held, [&](const HeldMessage& m) {
        if (!m.acknowledged || uncollected <= kUncollectedKept) return false;
        --uncollected;
        return true;
      });
    }
    self.changed_.notify_all();
  }

  static void OnMessage(mosquitto*, void* user_data,
                        const mosquitto_message* message) {
    Session& self = Of(user_data);
    const char* bytes = static_cast<const char*>(message->payload);
    const std::string payload(
        bytes, bytes ? static_cast<size_t>(message->payloadlen) : 0);
    if (message->topic == self.endpoint_.status_topic) {
      std::lock_guard lock(self.mutex_);
      if (payload == kOffline && self.connected_ && !self.stopping_) {
        int id = 0;
        self.HandOver({self.endpoint_.status_topic, kOnline, true},
                      /*awaited=*/false, &id);
      }
      return;
    }
    self.listener_.OnMessage(message->topic, payload);
  }

  static void OnLog(mosquitto*, void* user_data, int level, const char* text) {
    if (level != MOSQ_LOG_ERR || !text) return;
    Session& self = Of(user_data);
    std::lock_guard lock(self.log_mutex_);
    // "OpenSSL Error[0]: error:0A000086:SSL routines::certificate verify
    // failed": the part after the last colon is the reason.
    std::string line = text;
    const size_t colon = line.rfind(':');
    self.library_error_ =
        colon == std::string::npos ? line : line.substr(colon + 1);
  }

  const MqttEndpoint endpoint_;
  const std::vector<std::string> subscriptions_;
  MqttConnectionListener& listener_;
  const MqttTiming timing_;
  const std::u16string address_;  // host:port, for the texts
  mosquitto* client_ = nullptr;
  std::u16string setup_failure_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  bool connected_ = false;
  // Counts connections made and lost, so a waiter sees a loss even when a
  // new connection followed at once.
  uint64_t connection_number_ = 0;
  std::vector<HeldMessage> held_;
  std::u16string failure_;

  // Only the session's thread touches these.
  int refusal_ = -1;  // the broker's refusal code of the current attempt

  // The library may log from any thread that calls it, while mutex_ is held.
  std::mutex log_mutex_;
  std::string library_error_;

  std::thread worker_;
};

MqttConnection::MqttConnection(MqttEndpoint endpoint,
                               std::vector<std::string> subscriptions,
                               MqttConnectionListener& listener,
                               MqttTiming timing)
    : session_(std::make_unique<Session>(
          std::move(endpoint), std::move(subscriptions), listener, timing)) {
  session_->Start();
}

MqttConnection::~MqttConnection() = default;

MqttConnection::Outcome MqttConnection::Send(
    const std::vector<MqttMessage>& messages,
    std::chrono::milliseconds timeout) {
  return session_->Send(messages, timeout);
}

void MqttConnection::Close() { session_->Close(); }

void MqttConnection::Post(const MqttMessage& message) {
  session_->Post(message);
}

bool MqttConnection::Connected() const { return session_->Connected(); }

std::u16string MqttConnection::LastFailure() const {
  return session_->LastFailure();
}

}  // namespace orvanta
