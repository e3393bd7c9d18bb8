#ifndef ORVANTA_CALLERID_ANNOUNCER_H_
#define ORVANTA_CALLERID_ANNOUNCER_H_

#include <functional>
#include <string>
#include <vector>

#include "callerid/call.h"

namespace orvanta {

class CallDestination;
class ProgramLog;

// Where every source hands its calls.
class CallSink {
 public:
  virtual ~CallSink() = default;
  virtual void Announce(Call call) = 0;
};

// Announces calls: one log line, then the call to each destination in the
// order they were added (the LAN broadcast first), while announcements are
// on. UI thread only.
class Announcer : public CallSink {
 public:
  // `active`: whether announcements are on now (caller-ID switched on and
  // the broadcast channel open); while they are off a call leaves no trace.
  // `new_id` gives each call its id; empty leaves the id as it came.
  Announcer(ProgramLog& log, std::function<bool()> active,
            std::function<std::string()> new_id = {});
  Announcer(const Announcer&) = delete;
  Announcer& operator=(const Announcer&) = delete;

  void AddDestination(CallDestination& destination);

  // "Kanal No : " + line + "   Caller ID : " + number (or why there is no
  // number), then every destination. Codes below 32 are taken out of the
  // number, line and name first, so line noise never becomes extra lines in
  // what a destination sends. The call gets its id and, when the source gave
  // none, its time here. A destination's failure does not keep the call
  // from the destinations after it; the first failure is raised after all
  // of them had it.
  void Announce(Call call) override;

 private:
  ProgramLog& log_;
  std::function<bool()> active_;
  std::function<std::string()> new_id_;
  std::vector<CallDestination*> destinations_;
};

// A text as it is logged and sent: without codes below 32.
std::u16string WithoutControlCharacters(std::u16string text);

// The log line's words for a call without a number.
inline constexpr char16_t kPrivateNumberText[] = u"Gizli numara";
inline constexpr char16_t kNoNumberText[] = u"Numara yok";

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_ANNOUNCER_H_
