#include "notify/announcer.h"

#include <algorithm>

#include "base/failure.h"
#include "base/periodic_call.h"
#include "base/text.h"
#include "base/user_notice.h"
#include "notify/datagram_socket.h"
#include "notify/udp_channel.h"

namespace orvanta {
namespace {

// Refusals that say the network cannot take datagrams now but may soon: a
// cable pulled, an interface still coming up, a route not there yet, queues
// full. An access refusal (a firewall) is a decision, not an outage.
bool IsNetworkOutage(int code) {
  switch (code) {
    case winsock_error::kNetworkDown:
    case winsock_error::kNetworkUnreachable:
    case winsock_error::kHostDown:
    case winsock_error::kHostUnreachable:
    case winsock_error::kNoBufferSpace:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::u16string WithoutControlCharacters(std::u16string text) {
  // Line noise must not become extra lines (or a cut-short text) in the
  // datagram a receiver parses.
  std::erase_if(text, [](char16_t c) { return c < 32; });
  return text;
}

Announcer::Announcer(UdpChannel& channel, CallLog& log, DeliveryRetry retry)
    : channel_(channel), log_(log), retry_(std::move(retry)) {
  if (retry_.ui) retry_call_ = std::make_unique<PeriodicCall>(*retry_.ui);
}

Announcer::~Announcer() = default;

void Announcer::AnnounceCall(const std::u16string& number,
                             const std::u16string& line) {
  // A closed channel is the system's "announcements off": silently nothing.
  if (!channel_.Active()) return;
  const std::u16string clean_number = WithoutControlCharacters(number);
  const std::u16string clean_line = WithoutControlCharacters(line);
  // Logged first, so a call whose datagram fails still shows in the log.
  log_.AddLogLine(u"Kanal No : " + clean_line + u"   Caller ID : " +
                  clean_number);
  // Behind any calls still waiting for the network, so the order holds.
  waiting_.push_back(
      {u"HAT=" + clean_line + u"\r\nNUMARA=" + clean_number, retry_.now()});
  Deliver(1);
}

void Announcer::SendTestDatagram(UserNotice& notice) {
  if (!channel_.Active()) return;
  channel_.Broadcast(kTestDatagram, channel_.Port());
  notice.ShowInfo(kTestSentMessage);
}

void Announcer::RetryWaiting() {
  if (!channel_.Active()) {
    // Announcements were switched off meanwhile: what waits goes with them.
    waiting_.clear();
    outage_ = false;
    late_sent_ = 0;
  } else if (!waiting_.empty()) {
    Deliver(0);
  }
  if (waiting_.empty()) StopRetry();
}

bool Announcer::RetryScheduled() const {
  return retry_call_ && retry_call_->Running();
}

void Announcer::Deliver(size_t fresh) {
  DropExpired();
  size_t kept = waiting_.size() - fresh;  // the fresh ones are at the back
  bool delivered = false;
  while (!waiting_.empty()) {
    try {
      channel_.Broadcast(waiting_.front().datagram, channel_.Port());
    } catch (const SocketFailure& failure) {
      if (!IsNetworkOutage(failure.code())) {
        waiting_.pop_front();
        throw;
      }
      ScheduleRetry();
      if (outage_) return;  // already reported
      outage_ = true;
      late_sent_ = 0;
      throw;
    } catch (...) {
      waiting_.pop_front();  // sending it again would fail the same way
      throw;
    }
    waiting_.pop_front();
    delivered = true;
    if (kept > 0) {
      --kept;
      ++late_sent_;
    }
  }
  StopRetry();
  // Calls that only expired say nothing about the network.
  if (outage_ && delivered) {
    outage_ = false;
    std::u16string text = kDeliveryResumedLogLine;
    if (late_sent_ > 0) {
      text += u" " + IntToText(static_cast<long long>(late_sent_)) +
              kLateCallsLogLine;
    }
    late_sent_ = 0;
    log_.AddLogLine(text);
  }
}

void Announcer::DropExpired() {
  const auto now = retry_.now();
  size_t dropped = 0;
  while (!waiting_.empty() && now - waiting_.front().since > retry_.keep_for) {
    waiting_.pop_front();
    ++dropped;
  }
  if (dropped > 0) {
    log_.AddLogLine(IntToText(static_cast<long long>(dropped)) +
                    kDroppedCallsLogLine);
  }
}

void Announcer::ScheduleRetry() {
  if (retry_call_ && !retry_call_->Running()) {
    retry_call_->Start(retry_.period, [this] { RetryWaiting(); });
  }
}

void Announcer::StopRetry() {
  if (retry_call_) retry_call_->Stop();
}

}  // namespace orvanta
