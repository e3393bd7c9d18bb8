#include "receiver/call_bridge.h"

#include <chrono>
#include <exception>
#include <utility>

#include "base/local_time.h"
#include "base/failure.h"
#include "base/host_name.h"
#include "callerid/destination_settings.h"
#include "callerid/destination_tester.h"
#include "callerid/mqtt_destination.h"
#include "callerid/webhook_destination.h"
#include "desktop/version.h"
#include "receiver/call_datagram.h"

namespace orvanta {

CallSender BridgeSender() {
  return {HostName(), kBridgeProgramName, u"" ORVANTA_VERSION};
}

CallBridge::CallBridge(ReceiverShell& shell, UiHandover& ui, CallSender sender)
    : shell_(shell),
      destinations_(
          DestinationEnvironment{.ui = &ui,
                                 .log = this,
                                 .notice = this,
                                 .sender = std::move(sender),
                                 .mqtt_prefix_root = kBridgeMqttPrefixRoot}) {
  destinations_.AddKind(PlanWebhooks);
  destinations_.AddKind(PlanMqtt);
}

CallBridge::~CallBridge() = default;

void CallBridge::Load(const std::u16string& folder) {
  destinations_.Reload(folder + kDestinationsFileName);
}

void CallBridge::Forward(const IncomingCall& heard,
                         const std::u16string& name) {
  if (destinations_.Count() == 0) return;
  Call call;
  call.line = heard.line;
  call.number = heard.number;
  // The announcement carries no reason; the receiver shows a call without
  // a number as "Gizli numara".
  if (call.number.empty()) call.missing = MissingNumber::kPrivate;
  call.name = name;
  call.origin = IsTestCall(heard) ? CallOrigin::kTest : CallOrigin::kNetwork;
  call.time = std::chrono::system_clock::now();
  call.utc_offset_minutes = LocalUtcOffsetMinutes(call.time);
  call.id = NewCallId();
  try {
    destinations_.Deliver(call);
  } catch (...) {
    shell_.ReportProblem(FailureText(std::current_exception()));
  }
}

void CallBridge::AddLogLine(const std::u16string& line) {
  shell_.ReportProblem(line);
}

void CallBridge::ShowInfo(const std::u16string& text) {
  shell_.ReportProblem(text);
}

void CallBridge::ReportError(const std::u16string& message) {
  shell_.ReportProblem(message);
}

void CallBridge::ShowTrayBalloon(const std::u16string& text) {
  shell_.ShowNotification(u"Orvanta Al\u0131c\u0131", text);
}

DestinationsEditorOptions BridgeDestinationsOptions(
    const std::u16string& folder, UiHandover& ui,
    std::function<std::unique_ptr<DestinationsView>()> make_view,
    std::function<void()> saved) {
  return DestinationsEditorOptions{
      .path = folder + kDestinationsFileName,
      .mqtt = MqttDestinationsAvailable(),
      .make_view = std::move(make_view),
      .make_tester =
          [&ui] { return MakeDestinationTester(ui, BridgeSender()); },
      .create_folder = {},
      .saved = std::move(saved),
  };
}

}  // namespace orvanta
