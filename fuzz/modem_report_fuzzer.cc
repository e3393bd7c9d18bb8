// A modem's serial byte stream, cut into chunks of any size, through the
// report parser, the call assembly and the initialisation dialogue. Two
// kinds of run, chosen by the first byte:
//  - any bytes: the chunking changes no event; no event carries a control
//    character or more than a line's limit; the partial line stays within
//    the limit; every call is the modem's, with a number exactly when it
//    says none is missing; each reinitialisation follows three calls that
//    rang without a number; the dialogue ends within its commands;
//  - one report line made of a tag in any letter case, any blanks around
//    "=", a value and any line end, between noise: it comes out as that
//    field with that value.

#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "callerid/modem_call_assembly.h"
#include "callerid/modem_initialisation.h"
#include "callerid/modem_report.h"
#include "fuzz/fuzz_support.h"

namespace {

using orvanta::ModemEvent;
using orvanta::ModemEventKind;
using orvanta::ModemReportParser;
using orvanta::fuzz::Broken;

bool IsControl(unsigned char c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

bool HasControl(std::u16string_view text) {
  for (char16_t c : text) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// The events of `stream` fed in chunks whose sizes the provider picks,
// checking the partial line after each.
std::vector<std::vector<ModemEvent>> FeedInChunks(const std::string& stream,
                                                  FuzzedDataProvider& input) {
  ModemReportParser parser;
  std::vector<std::vector<ModemEvent>> reads;
  size_t at = 0;
  while (at < stream.size()) {
    const size_t size = input.ConsumeIntegralInRange<size_t>(1, 300);
    reads.push_back(parser.Feed(std::string_view(stream).substr(at, size)));
    at += size;
    if (parser.PartialLine().size() > ModemReportParser::kLineLimit)
      Broken("the partial line holds more than a line's limit");
  }
  return reads;
}

void CheckAssembly(const std::vector<std::vector<ModemEvent>>& reads,
                   FuzzedDataProvider& input) {
  using Clock = orvanta::ModemCallAssembly::Clock;
  orvanta::ModemCallAssembly assembly;
  Clock::time_point now{};
  int uninformed_announcements = 0;
  int reinitialisations = 0;
  auto check = [&](const std::vector<orvanta::ModemAssemblyStep>& steps) {
    for (const auto& step : steps) {
      switch (step.kind) {
        case orvanta::ModemAssemblyStep::Kind::kAnnounce:
          if (step.call.origin != orvanta::CallOrigin::kModem ||
              step.call.line != u"0")
            Broken("a call that is not the modem's");
          if (step.call.number.empty() !=
              (step.call.missing != orvanta::MissingNumber::kNone))
            Broken("a number, and a reason why it is missing, disagree");
          if (HasControl(step.call.number) || HasControl(step.call.name))
            Broken("a control character in a call");
          if (step.call.missing == orvanta::MissingNumber::kUnavailable)
            ++uninformed_announcements;
          break;
        case orvanta::ModemAssemblyStep::Kind::kReinitialise:
          ++reinitialisations;
          if (reinitialisations * orvanta::ModemCallAssembly::kUninformedCalls >
              uninformed_announcements)
            Broken("a reinitialisation without three calls before it");
          break;
        case orvanta::ModemAssemblyStep::Kind::kLog:
          if (step.text.empty()) Broken("an empty log line");
          break;
      }
    }
  };
  for (const auto& events : reads) {
    now += std::chrono::milliseconds(input.ConsumeIntegralInRange(0, 12000));
    check(assembly.Take(events, now));
    if (const auto deadline = assembly.NextDeadline()) {
      if (*deadline <= now) Broken("a deadline that has passed");
    }
  }
  now += orvanta::ModemCallAssembly::kCallEndGap;
  check(assembly.Advance(now));
  if (assembly.CallInProgress()) Broken("a call that outlives its gap");
}

void CheckInitialisation(const std::vector<std::vector<ModemEvent>>& reads,
                         FuzzedDataProvider& input) {
  orvanta::ModemInitialisation init;  // the built-in dialogue
  auto check = [](const orvanta::ModemInitStep& step) {
    if (!step.send.empty() && step.send.back() != '\r')
      Broken("a command without its CR");
    if (step.finished && step.log.empty()) Broken("an end without a word");
    return step.finished;
  };
  check(init.Start());
  // The reset and four commands: five answers at most.
  int answers = 0;
  for (const auto& events : reads) {
    for (const ModemEvent& event : events) {
      if (!init.Running()) return;
      if (event.kind == ModemEventKind::kOk ||
          event.kind == ModemEventKind::kError)
        ++answers;
      check(init.Take(event));
    }
    if (init.Running() && input.ConsumeBool()) {
      ++answers;
      check(init.Timeout());
    }
    if (init.Running() && answers >= 5) Broken("a dialogue that never ends");
  }
}

void AnyBytes(FuzzedDataProvider& input) {
  const std::string stream = input.ConsumeRandomLengthString(4096);
  const std::vector<ModemEvent> whole = ModemReportParser().Feed(stream);
  for (const ModemEvent& event : whole) {
    if (event.text.size() > ModemReportParser::kLineLimit)
      Broken("an event longer than a line");
    for (char c : event.text) {
      if (IsControl(static_cast<unsigned char>(c)))
        Broken("a control character in an event");
    }
  }
  const auto reads = FeedInChunks(stream, input);
  std::vector<ModemEvent> chunked;
  for (const auto& events : reads) {
    chunked.insert(chunked.end(), events.begin(), events.end());
  }
  if (chunked != whole) Broken("the chunking changed the events");
  CheckAssembly(reads, input);
  CheckInitialisation(reads, input);
}

std::string Blanks(FuzzedDataProvider& input) {
  std::string blanks;
  for (int n = input.ConsumeIntegralInRange(0, 3); n > 0; --n) {
    blanks.push_back(input.ConsumeBool() ? ' ' : '\t');
  }
  return blanks;
}

void OneReportLine(FuzzedDataProvider& input) {
  static constexpr struct {
    const char* tag;
    orvanta::ModemField field;
  } kTags[] = {
      {"DATE", orvanta::ModemField::kDate},
      {"TIME", orvanta::ModemField::kTime},
      {"NMBR", orvanta::ModemField::kNumber},
      {"DDN_NMBR", orvanta::ModemField::kNumber},
      {"NAME", orvanta::ModemField::kName},
      {"MESG", orvanta::ModemField::kMessage},
  };
  const auto& tag = kTags[input.ConsumeIntegralInRange<size_t>(0, 5)];
  std::string line = Blanks(input);
  for (const char* c = tag.tag; *c; ++c) {
    const bool letter = *c >= 'A' && *c <= 'Z';
    line.push_back(letter && input.ConsumeBool() ? static_cast<char>(*c | 0x20)
                                                 : *c);
  }
  line += Blanks(input) + "=" + Blanks(input);
  // A value of printable ASCII with no blank at either end.
  std::string value;
  for (char c : input.ConsumeRandomLengthString(60)) {
    if (c > ' ' && c < 0x7F) value.push_back(c);
  }
  line += value + Blanks(input);
  static const char* const kEnds[] = {"\r", "\n", "\r\n"};
  const char* end = kEnds[input.ConsumeIntegralInRange<size_t>(0, 2)];
  const std::string noise = input.ConsumeRandomLengthString(400);
  const std::string stream =
      noise + end + line + end + input.ConsumeRandomLengthString(400);
  const ModemEvent expected{ModemEventKind::kField, tag.field, value};
  for (const auto& events : FeedInChunks(stream, input)) {
    for (const ModemEvent& event : events) {
      if (event == expected) return;
    }
  }
  Broken("a report line did not come out as its field");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  if (input.ConsumeBool()) {
    OneReportLine(input);
  } else {
    AnyBytes(input);
  }
  return 0;
}
