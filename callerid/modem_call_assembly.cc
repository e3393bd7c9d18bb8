#include "callerid/modem_call_assembly.h"

#include <utility>

#include "base/text.h"

namespace orvanta {
namespace {

// "P" and "O" are the report's words for "withheld" and "not available";
// some modems use them for the name too.
bool IsPrivate(std::string_view value) { return SameTextAscii(value, "P"); }
bool IsUnavailable(std::string_view value) {
  return value.empty() || SameTextAscii(value, "O");
}

}  // namespace

ModemCallAssembly::ModemCallAssembly(std::u16string line,
                                     std::chrono::milliseconds call_end_gap)
    : line_(std::move(line)), call_end_gap_(call_end_gap) {}

std::vector<ModemAssemblyStep> ModemCallAssembly::Take(
    const std::vector<ModemEvent>& events, Clock::time_point now) {
  std::vector<ModemAssemblyStep> steps = Advance(now);
  open_step_.reset();
  for (const ModemEvent& event : events) {
    switch (event.kind) {
      case ModemEventKind::kRing:
        if (!in_call_) StartCall(now);
        last_activity_ = now;
        ++rings_;
        // Caller ID comes before the second ring or not at all.
        if (rings_ == 2 && !announced_) {
          Announce(steps, {}, MissingNumber::kUnavailable);
        }
        break;
      case ModemEventKind::kField:
        if (!in_call_) StartCall(now);
        informed_ = true;
        switch (event.field) {
          case ModemField::kNumber:
            TakeNumber(event.text, now, steps);
            break;
          case ModemField::kName:
            if (IsPrivate(event.text) || IsUnavailable(event.text)) break;
            name_ = FromAnsi(event.text);
            if (open_step_ && steps[*open_step_].call.name.empty())
              steps[*open_step_].call.name = name_;
            break;
          case ModemField::kMessage: {
            ModemAssemblyStep log;
            log.text = kModemUndecodedLogLine + FromAnsi(event.text) + u")";
            steps.push_back(std::move(log));
            break;
          }
          case ModemField::kDate:
          case ModemField::kTime:
            break;
        }
        break;
      case ModemEventKind::kOk:
      case ModemEventKind::kError:
      case ModemEventKind::kOther:
        break;
    }
  }
  open_step_.reset();
  return steps;
}

void ModemCallAssembly::TakeNumber(const std::string& value,
                                   Clock::time_point now,
                                   std::vector<ModemAssemblyStep>& steps) {
  std::u16string number;
  MissingNumber missing = MissingNumber::kNone;
  if (IsPrivate(value)) {
    missing = MissingNumber::kPrivate;
  } else if (IsUnavailable(value)) {
    missing = MissingNumber::kUnavailable;
  } else {
    number = FromAnsi(value);
  }
  if (number_reported_) {
    // Some modems repeat the report; a different one is another caller
    // (a waiting call, or the next call's DTMF report within the gap).
    if (number == announced_number_ && missing == announced_missing_) return;
    EndCall(steps);
    StartCall(now);
    informed_ = true;
  }
  // A number late for the second ring still goes out: it is what the
  // receivers key on.
  number_reported_ = true;
  Announce(steps, std::move(number), missing);
}

void ModemCallAssembly::Announce(std::vector<ModemAssemblyStep>& steps,
                                 std::u16string number, MissingNumber missing) {
  announced_ = true;
  announced_number_ = number;
  announced_missing_ = missing;
  ModemAssemblyStep step;
  step.kind = ModemAssemblyStep::Kind::kAnnounce;
  step.call.line = line_;
  step.call.number = std::move(number);
  step.call.name = name_;
  step.call.missing = missing;
  step.call.origin = CallOrigin::kModem;
  open_step_ = steps.size();
  steps.push_back(std::move(step));
}

std::vector<ModemAssemblyStep> ModemCallAssembly::Advance(
    Clock::time_point now) {
  std::vector<ModemAssemblyStep> steps;
  if (in_call_ && now - last_activity_ >= call_end_gap_) EndCall(steps);
  return steps;
}

std::optional<ModemCallAssembly::Clock::time_point>
ModemCallAssembly::NextDeadline() const {
  if (!in_call_) return std::nullopt;
  return last_activity_ + call_end_gap_;
}

void ModemCallAssembly::StartCall(Clock::time_point now) {
  in_call_ = true;
  last_activity_ = now;
  rings_ = 0;
  informed_ = false;
  name_.clear();
  announced_ = false;
  number_reported_ = false;
  announced_number_.clear();
  announced_missing_ = MissingNumber::kNone;
  open_step_.reset();
}

void ModemCallAssembly::EndCall(std::vector<ModemAssemblyStep>& steps) {
  // A caller who hung up during the first ring still rang.
  if (rings_ > 0 && !announced_) {
    Announce(steps, {}, MissingNumber::kUnavailable);
  }
  if (informed_) {
    uninformed_calls_ = 0;
    reinitialise_asked_ = false;
  } else if (rings_ > 0 && ++uninformed_calls_ >= kUninformedCalls &&
             !reinitialise_asked_) {
    reinitialise_asked_ = true;
    ModemAssemblyStep log;
    log.text = kModemReinitialiseLogLine;
    steps.push_back(std::move(log));
    ModemAssemblyStep again;
    again.kind = ModemAssemblyStep::Kind::kReinitialise;
    steps.push_back(std::move(again));
  }
  in_call_ = false;
  open_step_.reset();
}

void ModemCallAssembly::Reset() {
  in_call_ = false;
  open_step_.reset();
  uninformed_calls_ = 0;
  reinitialise_asked_ = false;
}

}  // namespace orvanta
