#include "callerid/mqtt_destination.h"

#include "base/text.h"
#include "base/ui_handover.h"
#include "base/user_notice.h"
#include "callerid/webhook_destination.h"
#include "base/program_log.h"

namespace orvanta {
namespace {

// Letters, digits, "-" and "_" stay; anything else becomes "_": what Home
// Assistant takes in a discovery topic and every broker in a client id.
std::string PlainName(std::u16string_view text) {
  std::string name;
  name.reserve(text.size());
  for (const char16_t c : text) {
    const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                       (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
    name += plain ? static_cast<char>(c) : '_';
  }
  return name;
}

std::string Field(const char* key, const std::string& json_value) {
  return std::string("\"") + key + "\":" + json_value;
}

std::string Text(const char* key, std::string_view utf8) {
  return Field(key, JsonString(Utf8ToUtf16(utf8)));
}

}  // namespace

MqttTopics MqttTopicsFor(const MqttSettings& settings,
                         const CallSender& sender) {
  const std::string prefix =
      Utf16ToUtf8(settings.prefix.empty() ? DefaultMqttPrefix(sender.host)
                                          : settings.prefix);
  return {prefix + "/call", prefix + "/last", prefix + "/status"};
}

std::optional<MqttEndpoint> MqttEndpointFor(const MqttSettings& settings,
                                            const CallSender& sender,
                                            std::u16string* error) {
  const std::optional<ParsedUrl> url = ParseUrl(settings.url, error);
  if (!url) return std::nullopt;
  if (url->scheme != u"mqtt" && url->scheme != u"mqtts") {
    *error = u"adres mqtt:// ya da mqtts:// ile başlamalı";
    return std::nullopt;
  }
  MqttEndpoint endpoint;
  endpoint.host = Utf16ToUtf8(url->host);
  endpoint.port = url->port;
  endpoint.tls = url->scheme == u"mqtts";
  if (endpoint.tls) endpoint.ca_file = Utf16ToUtf8(settings.ca_file);
  endpoint.user = Utf16ToUtf8(settings.user);
  endpoint.password = Utf16ToUtf8(settings.password);
  endpoint.client_id = settings.client_id.empty()
                           ? PlainName(sender.program + u"-" + sender.host)
                           : Utf16ToUtf8(settings.client_id);
  endpoint.status_topic = MqttTopicsFor(settings, sender).status;
  return endpoint;
}

std::vector<MqttMessage> HomeAssistantDiscovery(const MqttTopics& topics,
                                                const CallSender& sender) {
  // One device per prefix, named by what stands before "/call".
  const std::string prefix =
      topics.call.substr(0, topics.call.size() - std::string("/call").size());
  const std::string node = PlainName(Utf8ToUtf16(prefix));
  const std::string device = Field(
      "device",
      "{" + Field("identifiers", "[" + JsonString(Utf8ToUtf16(node)) + "]") +
          "," +
          Field("name",
                JsonString(sender.program + u" (" + sender.host + u")")) +
          "," + Text("manufacturer", "Orvanta") + "," +
          Field("model", JsonString(sender.program)) + "," +
          Field("sw_version", JsonString(sender.version)) + "}");
  const std::string common = Text("availability_topic", topics.status) + "," +
                             Field("qos", "1") + "," + device;

  // The event entity wants an `event_type`; the call says `event`.
  const std::string event =
      "{" + Text("name", "Arama") + "," + Text("unique_id", node + "_call") +
      "," + Text("state_topic", topics.call) + "," +
      Field("event_types", "[\"call\",\"test\"]") + "," +
      Text("value_template",
           "{{ dict(value_json, event_type=value_json.event) | to_json }}") +
      "," + Text("icon", "mdi:phone-incoming") + "," + common + "}";
  // The number, or why there is none; the rest of the call as attributes.
  const std::string sensor =
      "{" + Text("name", "Son arayan") + "," +
      Text("unique_id", node + "_last_caller") + "," +
      Text("state_topic", topics.last) + "," +
      Text("value_template", "{{ value_json.number or value_json.missing }}") +
      "," + Text("json_attributes_topic", topics.last) + "," +
      Text("icon", "mdi:phone") + "," + common + "}";

  const std::string base = std::string(kDiscoveryPrefix);
  return {
      {base + "/event/" + node + "_call/config", event, true},
      {base + "/sensor/" + node + "_last_caller/config", sensor, true},
  };
}

// The connection and what it tells: kept apart from the destination so
// that its thread has stopped before the queue it prods goes away.
class MqttDestination::Link : public MqttConnectionListener {
 public:
  Link(MqttDestination& owner, MqttEndpoint endpoint, MqttTiming timing)
      : owner_(owner),
        discovery_(
            HomeAssistantDiscovery(owner.topics_, owner.environment_.sender)),
        connection_(std::move(endpoint), {kHomeAssistantStatusTopic}, *this,
                    timing) {}

  MqttConnection& connection() { return connection_; }
  void Close() { connection_.Close(); }

  void OnConnected() override {
    PublishDiscovery();
    if (failing_) {
      failing_ = false;
      owner_.Log(owner_.name_ + u": sunucuya yeniden bağlanıldı.");
    }
    // Calls waiting out a pause go now that the broker is back.
    owner_.queue_->RetryNow();
  }

  void OnConnectionFailed(const std::u16string& reason) override {
    // Once per outage: the attempts go on without end.
    if (failing_) return;
    failing_ = true;
    owner_.Log(owner_.name_ + u": " + reason);
  }

  void OnMessage(const std::string& topic,
                 const std::string& payload) override {
    if (topic == kHomeAssistantStatusTopic && payload == "online") {
      PublishDiscovery();
    }
  }

 private:
  void PublishDiscovery() {
    for (const MqttMessage& message : discovery_) connection_.Post(message);
  }

  MqttDestination& owner_;
  const std::vector<MqttMessage> discovery_;
  bool failing_ = false;  // the connection's thread only
  // Last: its thread calls the members above.
  MqttConnection connection_;
};

MqttDestination::MqttDestination(const MqttSettings& settings,
                                 MqttEnvironment environment)
    : environment_(std::move(environment)),
      topics_(MqttTopicsFor(settings, environment_.sender)),
      name_(u"MQTT (" + UrlForLog(settings.url) + u")") {
  std::u16string error;
  std::optional<MqttEndpoint> endpoint =
      MqttEndpointFor(settings, environment_.sender, &error);
  if (!endpoint) {
    Log(name_ + u": " + error);
    return;
  }
  const MqttDestinationTiming& timing = environment_.timing;
  queue_ = std::make_unique<DeliveryQueue>(
      name_,
      [this](const std::string& json, const std::atomic<bool>&) {
        const MqttConnection::Outcome outcome = link_->connection().Send(
            {{topics_.call, json, false}, {topics_.last, json, true}},
            environment_.timing.send_timeout);
        if (outcome.acknowledged) return SendResult::Delivered();
        if (outcome.permanent) return SendResult::Rejected(outcome.failure);
        return SendResult::RetryLater(outcome.failure);
      },
      [ui = environment_.ui, log = environment_.log,
       notice = environment_.notice](const DeliveryNotice& told) {
        ui->Post([log, notice, line = told.log_line, balloon = told.balloon] {
          log->AddLogLine(line);
          if (balloon && notice != nullptr) notice->ShowTrayBalloon(line);
        });
      },
      timing.delivery);
  // After the queue: the link's first news may already prod it.
  link_ =
      std::make_unique<Link>(*this, std::move(*endpoint), timing.connection);
}

MqttDestination::~MqttDestination() {
  if (link_) link_->Close();
  queue_.reset();
  link_.reset();
}

void MqttDestination::Deliver(const Call& call) {
  if (queue_) queue_->Push(CallJson(call, environment_.sender));
}

size_t MqttDestination::Pending() const {
  return queue_ ? queue_->Pending() : 0;
}

std::vector<DeliveryQueue::Item> MqttDestination::Stop() {
  if (link_) link_->Close();
  return queue_ ? queue_->Stop() : std::vector<DeliveryQueue::Item>{};
}

void MqttDestination::Adopt(std::vector<DeliveryQueue::Item> calls) {
  if (queue_) queue_->Adopt(std::move(calls));
}

void PlanMqtt(const LoadedDestinations& loaded,
              const DestinationEnvironment& environment,
              std::vector<PlannedDestination>& plan,
              std::vector<std::u16string>& /*notes*/) {
  std::optional<MqttSettings> usable = UsableMqtt(loaded);
  if (!usable) return;
  MqttSettings settings = std::move(*usable);
  if (settings.prefix.empty()) {
    settings.prefix = DefaultMqttPrefix(environment.sender.host,
                                        environment.mqtt_prefix_root);
  }
  PlannedDestination planned;
  planned.name = u"MQTT (" + UrlForLog(settings.url) + u")";
  planned.key = DestinationsText(DestinationSettings{{}, settings});
  // The queue holds each call's JSON, good for any broker; the same broker
  // and topics are the same place.
  planned.succession = u"mqtt " + settings.url + u" " + settings.prefix;
  planned.make = [settings, environment] {
    return std::make_unique<MqttDestination>(settings,
                                             MqttEnvironment{environment.ui,
                                                             environment.log,
                                                             environment.notice,
                                                             environment.sender,
                                                             {}});
  };
  plan.push_back(std::move(planned));
}

void MqttDestination::Log(const std::u16string& line) {
  environment_.ui->Post(
      [log = environment_.log, line] { log->AddLogLine(line); });
}

MqttTest::MqttTest(UiHandover& ui, MqttTiming timing)
    : ui_(ui), timing_(timing), alive_(std::make_shared<bool>(true)) {}

MqttTest::~MqttTest() {
  *alive_ = false;
  if (worker_.joinable()) worker_.join();
}

void MqttTest::Start(const MqttSettings& settings, const CallSender& sender,
                     std::function<void(const MqttTestResult&)> done) {
  if (worker_.joinable()) worker_.join();
  std::u16string error;
  std::optional<MqttEndpoint> endpoint =
      MqttEndpointFor(settings, sender, &error);
  const MqttTopics topics = MqttTopicsFor(settings, sender);
  const std::string json = CallJson(WebhookTestCall(), sender);
  worker_ = std::thread([this, endpoint = std::move(endpoint), error, topics,
                         json, done = std::move(done), alive = alive_] {
    MqttTestResult result;
    if (!endpoint) {
      result.text = error;
    } else {
      MqttEndpoint apart = *endpoint;
      apart.client_id += "-test";
      apart.status_topic.clear();
      MqttConnectionListener quiet;
      MqttConnection connection(apart, {}, quiet, timing_);
      // Long enough for the first attempt to come to something.
      const MqttConnection::Outcome outcome =
          connection.Send({{topics.call, json, false}},
                          timing_.connect_timeout + std::chrono::seconds(5));
      result.delivered = outcome.acknowledged;
      result.text = outcome.acknowledged
                        ? u"MQTT sunucusu test aramasını aldı (" +
                              Utf8ToUtf16(topics.call) + u")."
                        : outcome.failure;
    }
    ui_.Post([alive, done, result] {
      if (*alive && done) done(result);
    });
  });
}

}  // namespace orvanta
