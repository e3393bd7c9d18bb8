#ifndef ORVANTA_CALLERID_DATAGRAM_DESTINATION_H_
#define ORVANTA_CALLERID_DATAGRAM_DESTINATION_H_

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "callerid/call_destination.h"

namespace orvanta {

class PeriodicCall;
class ProgramLog;
class UdpChannel;
class UiHandover;
class UserNotice;

// How calls that the network refused are kept and sent again.
struct DeliveryRetry {
  using Clock = std::chrono::steady_clock;
  // Where the background retries run; without it a kept call is tried
  // again only when the next call comes (or RetryWaiting is called).
  UiHandover* ui = nullptr;
  std::chrono::milliseconds period = std::chrono::seconds(1);
  // After this the phone has stopped ringing: the call is dropped.
  std::chrono::seconds keep_for = std::chrono::seconds(30);
  std::function<Clock::time_point()> now = [] { return Clock::now(); };
};

// The LAN broadcast: "HAT=" + line + CR LF + "NUMARA=" + number to the
// channel's port, one datagram per call, while the channel is open. A call
// without a number sends nothing: the receivers key on the number.
//
// A datagram the system refuses because the network is down or unreachable
// is kept, with the calls after it, and sent again once the network takes
// datagrams, unless it is older than DeliveryRetry::keep_for by then. Such
// an outage is reported once, by the failure of the call that met it; the
// calls during it are kept silently, and a log line says when it ends.
class DatagramDestination : public CallDestination {
 public:
  DatagramDestination(UdpChannel& channel, ProgramLog& log,
                      DeliveryRetry retry = {});
  ~DatagramDestination() override;
  DatagramDestination(const DatagramDestination&) = delete;
  DatagramDestination& operator=(const DatagramDestination&) = delete;

  // Raises the failure of the send, except for a refusal during an outage
  // already reported.
  void Deliver(const Call& call) override;

  // "Portu Test Et": while the channel is open, broadcast the fixed test
  // datagram and confirm with ShowInfo; nothing while it is closed.
  void SendTestDatagram(UserNotice& notice);

  // The background retry: sends the kept calls that are still fresh, in
  // order. Raises a failure that is not an outage.
  void RetryWaiting();
  size_t WaitingCalls() const { return waiting_.size(); }
  bool RetryScheduled() const;

 private:
  struct Waiting {
    std::u16string datagram;
    DeliveryRetry::Clock::time_point since;
  };
  // Sends what waits, oldest first; the last `fresh` calls were just added.
  void Send(size_t fresh);
  void DropExpired();
  void ScheduleRetry();
  void StopRetry();

  UdpChannel& channel_;
  ProgramLog& log_;
  DeliveryRetry retry_;
  std::unique_ptr<PeriodicCall> retry_call_;
  std::deque<Waiting> waiting_;
  bool outage_ = false;   // a refusal was reported, no send has worked since
  size_t late_sent_ = 0;  // kept calls that got out during this outage
};

// The datagram of a call: "HAT=" + line + CR LF + "NUMARA=" + number.
std::u16string CallDatagram(const Call& call);

inline constexpr char16_t kTestDatagram[] = u"HAT=01\r\nNUMARA=555 55 55";
inline constexpr char16_t kTestSentMessage[] =
    u"Ağda bulunan Caller Id destekli VELMORIS programlarına mesaj gönderildi.";
// Log lines about an outage of the network.
inline constexpr char16_t kDeliveryResumedLogLine[] =
    u"Ağa gönderim yeniden başladı.";
inline constexpr char16_t kLateCallsLogLine[] = u" bekleyen arama gönderildi.";
inline constexpr char16_t kDroppedCallsLogLine[] =
    u" arama ağa ulaşılamadığı için gönderilemedi.";

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_DATAGRAM_DESTINATION_H_
