#include "callerid/engine.h"

#include <utility>

#include "base/program_log.h"
#include "base/user_notice.h"
#include "callerid/broadcast_channel.h"
#include "settings/storage.h"
#include "settings/typed_reading.h"

namespace orvanta {

CallerIdEngine::CallerIdEngine(EngineParts parts) : parts_(parts) {}

void CallerIdEngine::AddSource(int32_t type, CallSource& source) {
  sources_[type] = &source;
}

void CallerIdEngine::ApplySettings(const WindowSettings& window) {
  if (!sources_.contains(window.source)) return;
  if (ReadBoolean(parts_.store, kCallerIdKullan)) {
    // The ARG control's events start a fresh log.
    if (window.source == kSourceArg) parts_.log.ClearLog();
    if (running_) SwitchCallerId(false);
    if (!SwitchCallerId(true, window)) {
      parts_.notice.ShowInfo(kStartFailedMessage);
    }
  } else if (running_) {
    // Every choice, ARG included: turning caller-ID off must turn it off.
    if (!SwitchCallerId(false)) parts_.notice.ShowInfo(kStopFailedMessage);
  }
}

bool CallerIdEngine::SwitchCallerId(bool start, const WindowSettings& window) {
  return start ? Start(window) : Stop();
}

void CallerIdEngine::ClosingStep() {
  for (auto& [type, source] : sources_) source->PrepareToClose();
  SwitchCallerId(false);
}

bool CallerIdEngine::Start(const WindowSettings& window) {
  try {
    parts_.channel.SetPort(ReadInteger(parts_.store, kUdpPort));
    parts_.channel.SetActive(true);
  } catch (...) {
    parts_.notice.ShowInfo(kUdpOpenFailedMessage + window.udp_port_text);
    return false;
  }
  const auto found = sources_.find(ReadInteger(parts_.store, kCallerIdType));
  if (found == sources_.end()) {
    running_ = false;
    return false;
  }
  CallSource& source = *found->second;
  try {
    running_ = source.Start(window);
  } catch (...) {
    // The failure is the user's to see in the default error report. A
    // source that goes on trying in the background still counts as
    // running, so that the next apply or stop ends the trying.
    running_ = source.Running();
    throw;
  }
  return running_;
}

bool CallerIdEngine::Stop() {
  parts_.channel.SetActive(false);
  // Whatever type is stored now, everything started earlier goes: a source
  // left behind would keep announcing once the channel opens again.
  for (auto& [type, source] : sources_) source->Stop();
  running_ = false;
  return true;
}

}  // namespace orvanta
