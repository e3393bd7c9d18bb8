#ifndef ORVANTA_RECEIVER_CALL_DATAGRAM_H_
#define ORVANTA_RECEIVER_CALL_DATAGRAM_H_

#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace orvanta {

// One call as heard on the LAN, cleaned for display.
struct IncomingCall {
  std::u16string line;
  std::u16string number;
  bool operator==(const IncomingCall&) const = default;
};

// A real announcement is a few dozen bytes; anything longer is not one.
inline constexpr size_t kMaxCallDatagramSize = 512;

enum class DatagramVerdict { kCall, kMalformed, kOversized };

struct ParsedDatagram {
  DatagramVerdict verdict = DatagramVerdict::kMalformed;
  IncomingCall call;  // only for kCall
};

// "HAT=<line>" and "NUMARA=<number>" as the first two lines, each ended by
// CR LF or LF alone (the last one may also end the datagram); further lines
// are ignored. Values are decoded as UTF-8 when they are valid UTF-8,
// otherwise as the Turkish code page, with control characters removed and
// surrounding spaces trimmed. Pure: bytes in, verdict out.
ParsedDatagram ParseCallDatagram(std::string_view bytes);

// The text without control characters (C0, DEL, C1) and without the
// surrounding spaces.
std::u16string CleanDisplayText(std::u16string_view text);

// The fixed datagram of the sender's "Portu Test Et" button.
bool IsTestCall(const IncomingCall& call);

// Drops a call that repeats the same line and number within two seconds of
// the last time that pair was kept, because some devices and relays send
// every call twice. It remembers the pairs of the last two seconds only,
// and at most kMaxRemembered of them: a flood of distinct calls, which no
// telephone line makes, costs neither memory nor time beyond that.
class RepeatFilter {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kWindow{2000};
  static constexpr size_t kMaxRemembered = 4096;

  // True for a call to keep. `now` does not go back.
  bool Accept(const IncomingCall& call, Clock::time_point now);

 private:
  using Seen =
      std::map<std::pair<std::u16string, std::u16string>, Clock::time_point>;
  Seen seen_;
  std::deque<Seen::iterator> oldest_first_;
};

// At most one notification on screen per second; the rest go to the history
// only, so a flood of datagrams cannot flood the desktop.
class NotificationGate {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kInterval{1000};

  bool Allow(Clock::time_point now);

 private:
  std::optional<Clock::time_point> last_;
};

// A few starts in a burst, then one per interval: each call may start the
// user's hook program, but a flood of datagrams must not start hundreds.
class BurstLimiter {
 public:
  using Clock = std::chrono::steady_clock;
  BurstLimiter(int burst, Clock::duration interval)
      : burst_(burst), interval_(interval) {}

  bool Allow(Clock::time_point now);

 private:
  int burst_;
  Clock::duration interval_;
  double tokens_ = -1;  // full at the first call
  Clock::time_point last_{};
};

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_CALL_DATAGRAM_H_
