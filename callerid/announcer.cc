#include "callerid/announcer.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "base/local_time.h"
#include "base/program_log.h"
#include "callerid/call_destination.h"

namespace orvanta {
namespace {

std::u16string NumberForLog(const Call& call) {
  switch (call.missing) {
    case MissingNumber::kPrivate:
      return kPrivateNumberText;
    case MissingNumber::kUnavailable:
      return kNoNumberText;
    case MissingNumber::kNone:
      break;
  }
  return call.number;
}

}  // namespace

std::u16string WithoutControlCharacters(std::u16string text) {
  // Line noise must not become extra lines (or a cut-short text) in the
  // datagram a receiver parses.
  std::erase_if(text, [](char16_t c) { return c < 32; });
  return text;
}

Announcer::Announcer(ProgramLog& log, std::function<bool()> active,
                     std::function<std::string()> new_id)
    : log_(log), active_(std::move(active)), new_id_(std::move(new_id)) {}

void Announcer::AddDestination(CallDestination& destination) {
  destinations_.push_back(&destination);
}

void Announcer::Announce(Call call) {
  // Announcements switched off: silently nothing.
  if (active_ && !active_()) return;
  call.number = WithoutControlCharacters(std::move(call.number));
  call.line = WithoutControlCharacters(std::move(call.line));
  call.name = WithoutControlCharacters(std::move(call.name));
  if (call.time == std::chrono::system_clock::time_point{}) {
    call.time = std::chrono::system_clock::now();
    call.utc_offset_minutes = LocalUtcOffsetMinutes(call.time);
  }
  if (new_id_) call.id = new_id_();
  // Logged first, so a call whose delivery fails still shows in the log.
  log_.AddLogLine(u"Kanal No : " + call.line + u"   Caller ID : " +
                  NumberForLog(call));
  std::exception_ptr first_failure;
  for (CallDestination* destination : destinations_) {
    try {
      destination->Deliver(call);
    } catch (...) {
      if (!first_failure) first_failure = std::current_exception();
    }
  }
  if (first_failure) std::rethrow_exception(first_failure);
}

}  // namespace orvanta
