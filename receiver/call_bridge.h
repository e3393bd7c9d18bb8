#ifndef ORVANTA_RECEIVER_CALL_BRIDGE_H_
#define ORVANTA_RECEIVER_CALL_BRIDGE_H_

#include <functional>
#include <memory>
#include <string>

#include "base/program_log.h"
#include "base/user_notice.h"
#include "callerid/call_json.h"
#include "callerid/configured_destinations.h"
#include "callerid/destinations_editor.h"
#include "receiver/receiver_app.h"

namespace orvanta {

class UiHandover;

// This computer's name, "OrvantaAlici" and the version.
CallSender BridgeSender();

// The receiver as a bridge: every call it keeps (a repeat within two
// seconds is not kept, so it goes once) goes on to the destinations of
// Hedefler.ini in its settings folder: webhooks, and an MQTT broker on
// Linux. An office whose sender runs on Windows reaches Home Assistant
// through one Linux receiver this way.
//
// Its own name in the JSON ("OrvantaAlici"), MQTT prefix
// ("orvanta-alici/<host>") and client id ("OrvantaAlici-<host>"), so that a
// sender and a bridge on one computer neither share topics nor push each
// other off the broker. What the destinations report (outages, drops, the
// file's problems) goes where the receiver reports its problems; an outage
// also as a notification. UI thread only.
class CallBridge : public CallForwarder,
                   private ProgramLog,
                   private UserNotice {
 public:
  // `ui` and `shell` must outlive the bridge.
  CallBridge(ReceiverShell& shell, UiHandover& ui,
             CallSender sender = BridgeSender());
  ~CallBridge() override;

  // Reads Hedefler.ini in `folder` (ending in a path separator).
  void Load(const std::u16string& folder);

  // The call as the destinations carry it: heard on the network (the
  // sender's "Portu Test Et" datagram as a test), with the phone book's
  // name, the time now and an id of its own.
  void Forward(const IncomingCall& call, const std::u16string& name) override;

  ConfiguredDestinations& Destinations() { return destinations_; }

 private:
  // ProgramLog, UserNotice: into the shell.
  void AddLogLine(const std::u16string& line) override;
  void ClearLog() override {}
  void ShowInfo(const std::u16string& text) override;
  void ReportError(const std::u16string& message) override;
  void ShowTrayBalloon(const std::u16string& text) override;

  ReceiverShell& shell_;
  ConfiguredDestinations destinations_;
};

// The receiver's "Hedefler" dialog: over Hedefler.ini in `folder` (ending in
// a path separator, made at start), its test calls from the bridge;
// `saved` runs after each save.
DestinationsEditorOptions BridgeDestinationsOptions(
    const std::u16string& folder, UiHandover& ui,
    std::function<std::unique_ptr<DestinationsView>()> make_view,
    std::function<void()> saved);

// The bridge's words about itself: the JSON's "program".
inline constexpr char16_t kBridgeProgramName[] = u"OrvantaAlici";

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_CALL_BRIDGE_H_
