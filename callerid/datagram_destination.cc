#include "callerid/datagram_destination.h"

#include <utility>

#include "base/failure.h"
#include "base/periodic_call.h"
#include "base/program_log.h"
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

std::u16string CallDatagram(const Call& call) {
  return u"HAT=" + call.line + u"\r\nNUMARA=" + call.number;
}

DatagramDestination::DatagramDestination(UdpChannel& channel, ProgramLog& log,
                                         DeliveryRetry retry)
    : channel_(channel), log_(log), retry_(std::move(retry)) {
  if (retry_.ui) retry_call_ = std::make_unique<PeriodicCall>(*retry_.ui);
}

DatagramDestination::~DatagramDestination() = default;

void DatagramDestination::Deliver(const Call& call) {
  // A closed channel is the system's "announcements off": silently nothing.
  if (!channel_.Active()) return;
  if (call.missing != MissingNumber::kNone) return;
  // Behind any calls still waiting for the network, so the order holds.
  waiting_.push_back({CallDatagram(call), retry_.now()});
  Send(1);
}

void DatagramDestination::SendTestDatagram(UserNotice& notice) {
  if (!channel_.Active()) return;
  channel_.Broadcast(kTestDatagram, channel_.Port());
  notice.ShowInfo(kTestSentMessage);
}

void DatagramDestination::RetryWaiting() {
  if (!channel_.Active()) {
    // Announcements were switched off meanwhile: what waits goes with them.
    waiting_.clear();
    outage_ = false;
    late_sent_ = 0;
  } else if (!waiting_.empty()) {
    Send(0);
  }
  if (waiting_.empty()) StopRetry();
}

bool DatagramDestination::RetryScheduled() const {
  return retry_call_ && retry_call_->Running();
}

void DatagramDestination::Send(size_t fresh) {
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

void DatagramDestination::DropExpired() {
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

void DatagramDestination::ScheduleRetry() {
  if (retry_call_ && !retry_call_->Running()) {
    retry_call_->Start(retry_.period, [this] { RetryWaiting(); });
  }
}

void DatagramDestination::StopRetry() {
  if (retry_call_) retry_call_->Stop();
}

}  // namespace orvanta
