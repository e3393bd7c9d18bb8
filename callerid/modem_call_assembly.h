#ifndef ORVANTA_CALLERID_MODEM_CALL_ASSEMBLY_H_
#define ORVANTA_CALLERID_MODEM_CALL_ASSEMBLY_H_

// From what a modem reports (RING and its caller-ID lines) to calls. Pure
// and clocked from outside: its owner passes the time of each read and
// calls Advance when NextDeadline comes; there are no threads or timers
// here.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "callerid/call.h"
#include "callerid/modem_report.h"

namespace orvanta {

// One thing the owner has to do, in the order they come.
struct ModemAssemblyStep {
  enum class Kind {
    kAnnounce,      // hand `call` to the announcer
    kLog,           // add `text` to the log
    kReinitialise,  // send the modem's initialisation again
  };
  Kind kind = Kind::kLog;
  Call call;  // kAnnounce: origin kModem, the line label; the time is unset
              // (the owner stamps it)
  std::u16string text;  // kLog
};

// A call begins with its first RING, or with a report line when the report
// comes before the ringing (DTMF caller ID), and ends when no RING has come
// for the call-end gap.
//
// A call is announced as soon as a read completes its NMBR line, with the
// NAME that came before it in the call or later in the same read. "P" gives
// a call without a number, kPrivate; "O" or an empty value, kUnavailable. A
// call that reaches its second RING, or ends, without any NMBR is announced
// without a number, kUnavailable. A repeated NMBR in the same call is not
// announced again; a different one is a call of its own.
//
// A modem can lose its caller-ID setting and go on sending RING alone:
// when kUninformedCalls calls in a row have rung without a single report
// line, the end of the last asks for one reinitialisation, with a log line.
// No more is asked until a call brings caller ID again.
class ModemCallAssembly {
 public:
  using Clock = std::chrono::steady_clock;
  // Longer than the pause between two rings everywhere (about 4 to 6 s).
  static constexpr std::chrono::milliseconds kCallEndGap{8000};
  static constexpr int kUninformedCalls = 3;

  explicit ModemCallAssembly(
      std::u16string line = u"0",
      std::chrono::milliseconds call_end_gap = kCallEndGap);

  // The line label every call carries.
  void SetLine(std::u16string line) { line_ = std::move(line); }
  const std::u16string& Line() const { return line_; }

  // The events of one read from the port, which came at `now`. A call whose
  // gap ran out before `now` is ended first.
  std::vector<ModemAssemblyStep> Take(const std::vector<ModemEvent>& events,
                                      Clock::time_point now);

  // Ends the call in progress when no RING has come for the gap.
  std::vector<ModemAssemblyStep> Advance(Clock::time_point now);

  // When Advance has something to do; nothing while no call is on.
  std::optional<Clock::time_point> NextDeadline() const;
  bool CallInProgress() const { return in_call_; }

  // The modem was opened and initialised afresh: the call in progress and
  // the count of calls without caller ID are forgotten.
  void Reset();

 private:
  void StartCall(Clock::time_point now);
  void EndCall(std::vector<ModemAssemblyStep>& steps);
  void Announce(std::vector<ModemAssemblyStep>& steps, std::u16string number,
                MissingNumber missing);
  void TakeNumber(const std::string& value, Clock::time_point now,
                  std::vector<ModemAssemblyStep>& steps);

  std::u16string line_;
  std::chrono::milliseconds call_end_gap_;

  bool in_call_ = false;
  Clock::time_point last_activity_{};  // the last RING, or the call's start
  int rings_ = 0;
  bool informed_ = false;  // a report line came in this call
  std::u16string name_;
  // What the call was announced with: a number, or why none.
  bool announced_ = false;
  bool number_reported_ = false;  // from an NMBR line, not from the ringing
  std::u16string announced_number_;
  MissingNumber announced_missing_ = MissingNumber::kNone;
  // The step of this read's announcement, which a NAME later in the read
  // still joins.
  std::optional<size_t> open_step_;

  int uninformed_calls_ = 0;
  bool reinitialise_asked_ = false;
};

inline constexpr char16_t kModemReinitialiseLogLine[] =
    u"Son üç arama arayan numara bilgisi olmadan çaldı; modem yeniden "
    u"hazırlanıyor.";
// Followed by the MESG value and ")".
inline constexpr char16_t kModemUndecodedLogLine[] =
    u"Modem arayan bilgisini çözemedi (MESG = ";

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_MODEM_CALL_ASSEMBLY_H_
