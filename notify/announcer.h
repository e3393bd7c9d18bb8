#ifndef ORVANTA_NOTIFY_ANNOUNCER_H_
#define ORVANTA_NOTIFY_ANNOUNCER_H_

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace orvanta {

class PeriodicCall;
class UdpChannel;
class UiHandover;
class UserNotice;

// The settings window's log memo `MemoLog`, as the core sees it.
class CallLog {
 public:
  virtual ~CallLog() = default;
  virtual void AddLogLine(const std::u16string& line) = 0;
  virtual void ClearLog() = 0;
};

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

// Announces calls: one log line, then one datagram, while the channel is open.
//
// A datagram the system refuses because the network is down or unreachable
// is kept, with the calls after it, and sent again once the network takes
// datagrams, unless it is older than DeliveryRetry::keep_for by then. Such
// an outage is reported once, by the failure of the call that met it; the
// calls during it are kept silently, and a log line says when it ends.
class Announcer {
 public:
  Announcer(UdpChannel& channel, CallLog& log, DeliveryRetry retry = {});
  ~Announcer();
  Announcer(const Announcer&) = delete;
  Announcer& operator=(const Announcer&) = delete;

  // "Kanal No : " + line + "   Caller ID : " + number, then
  // "HAT=" + line + CR LF + "NUMARA=" + number to the channel's port; codes
  // below 32 are taken out of both texts first, so the datagram always has
  // its two lines. Nothing at all while the channel is inactive. Raises the
  // failure of the send, except for a refusal during an outage already
  // reported.
  void AnnounceCall(const std::u16string& number, const std::u16string& line);

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
  void Deliver(size_t fresh);
  void DropExpired();
  void ScheduleRetry();
  void StopRetry();

  UdpChannel& channel_;
  CallLog& log_;
  DeliveryRetry retry_;
  std::unique_ptr<PeriodicCall> retry_call_;
  std::deque<Waiting> waiting_;
  bool outage_ = false;   // a refusal was reported, no send has worked since
  size_t late_sent_ = 0;  // kept calls that got out during this outage
};

// The number and line texts as they are logged and sent.
std::u16string WithoutControlCharacters(std::u16string text);

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

#endif  // ORVANTA_NOTIFY_ANNOUNCER_H_
