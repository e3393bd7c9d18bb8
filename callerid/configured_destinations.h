#ifndef ORVANTA_CALLERID_CONFIGURED_DESTINATIONS_H_
#define ORVANTA_CALLERID_CONFIGURED_DESTINATIONS_H_

// The destinations Hedefler.ini names, beyond the LAN broadcast: built from
// the file, replaced when it is read again, and each call handed to every
// one of them. The announcer holds this as one destination, after the
// broadcast.

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "callerid/call_destination.h"
#include "callerid/call_json.h"
#include "callerid/destination_settings.h"
#include "notify/delivery_queue.h"

namespace orvanta {

class ProgramLog;
class UiHandover;
class UserNotice;

// What a destination built from the file needs from the program around it.
// All of it must outlive the destinations.
struct DestinationEnvironment {
  UiHandover* ui = nullptr;  // where the workers' log lines are handed over
  ProgramLog* log = nullptr;
  UserNotice* notice = nullptr;  // balloons; null: none (headless)
  // What the JSON says about the program; its name also makes the MQTT
  // client id ("<program>-<host>").
  CallSender sender = {};
  // The MQTT topic prefix without PREFIX: "<root>/<host>", so that the
  // sender and the bridge on one computer do not share topics.
  std::u16string mqtt_prefix_root = kSenderMqttPrefixRoot;
};

// A destination made from the settings file, which can give up the calls
// it still holds to the one that replaces it.
class ConfiguredDestination : public CallDestination {
 public:
  // "Webhook 1 (https://example.com)": how the log names it.
  virtual const std::u16string& Name() const = 0;
  // Calls taken but not yet acknowledged by the peer.
  virtual size_t Pending() const = 0;
  // Stops sending and returns, oldest first, every call the peer has not
  // acknowledged. Nothing is sent after this.
  virtual std::vector<DeliveryQueue::Item> Stop() = 0;
  // Calls a stopped destination gave up, to send before any new one.
  virtual void Adopt(std::vector<DeliveryQueue::Item> calls) = 0;
};

// One destination the file asks for, not yet made.
struct PlannedDestination {
  std::u16string name;  // as ConfiguredDestination::Name will say
  // Everything that makes it what it is: a running destination with the
  // same key is kept as it is, with its queue and its connection.
  std::u16string key;
  // Where its calls go, in the form they are queued in: a new destination
  // with the same succession as a replaced one sends the calls that one
  // still held. Empty: none.
  std::u16string succession;
  std::function<std::unique_ptr<ConfiguredDestination>()> make;
};

// A kind of destination: adds to `plan` one entry per destination of its
// kind that the loaded file makes usable, and to `notes` what the log
// should say about the file beyond its problems (a section this system
// cannot serve).
using DestinationKind = std::function<void(
    const LoadedDestinations& loaded, const DestinationEnvironment& environment,
    std::vector<PlannedDestination>& plan, std::vector<std::u16string>& notes)>;

// The destinations of the settings file, UI thread only.
class ConfiguredDestinations : public CallDestination {
 public:
  explicit ConfiguredDestinations(DestinationEnvironment environment);
  // Stops every destination; calls still waiting are dropped.
  ~ConfiguredDestinations() override;
  ConfiguredDestinations(const ConfiguredDestinations&) = delete;
  ConfiguredDestinations& operator=(const ConfiguredDestinations&) = delete;

  // Once, before the first Reload; kinds are planned in the order added.
  void AddKind(DestinationKind kind);

  // Reads Hedefler.ini at `path` and makes the running destinations what
  // it says. Into the log: each problem with the file and each kind's note
  // (an unknown key once by name, for as long as this lives; anything else
  // when it was not said at the last reading), each destination started or
  // stopped, and
  // the calls a stopped one still held when none takes them over. A file
  // that cannot be read leaves the destinations running as they are, and
  // says so.
  //
  // A destination whose settings did not change goes on untouched. One that
  // changed, or is gone, is stopped (a request in progress is cut short,
  // within its timeout), and what it still held goes to its successor: the
  // new destination that sends to the same place in the same form (a
  // webhook with the same URL and method, a broker with the same URL and
  // prefix).
  void Reload(const std::u16string& path);
  // The same from settings already loaded (tests, a dialog's values).
  void Apply(const LoadedDestinations& loaded);

  // Each running destination in turn; a failure of one does not keep the
  // call from the next, and the first is raised after all had it.
  void Deliver(const Call& call) override;

  // The running destinations, in the order of the file.
  size_t Count() const { return running_.size(); }
  ConfiguredDestination& At(size_t i) { return *running_[i].destination; }

 private:
  struct Running {
    std::u16string key;
    std::u16string succession;
    std::unique_ptr<ConfiguredDestination> destination;
  };
  void Log(const std::u16string& line);

  DestinationEnvironment environment_;
  std::vector<DestinationKind> kinds_;
  std::vector<Running> running_;
  std::set<std::u16string> reported_keys_;
  std::set<std::u16string> last_problems_;
};

// The log's words.
inline constexpr char16_t kDestinationStartedText[] = u"Hedef etkin: ";
inline constexpr char16_t kDestinationStoppedText[] = u"Hedef kapatıldı: ";
inline constexpr char16_t kDestinationRenewedText[] =
    u"Hedef yeni ayarlarıyla yeniden başlatıldı: ";

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_CONFIGURED_DESTINATIONS_H_
