#include "callerid/modem_call_assembly.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "callerid/announcer.h"
#include "callerid/modem_report.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Clock = ModemCallAssembly::Clock;

// "call 0532 / AYSE", "call (Gizli numara)", "log ...", "reinit".
std::string Describe(const ModemAssemblyStep& step) {
  switch (step.kind) {
    case ModemAssemblyStep::Kind::kAnnounce: {
      std::string text = "call";
      if (!step.call.number.empty())
        text += " " + Utf16ToUtf8(step.call.number);
      if (!step.call.name.empty()) text += " / " + Utf16ToUtf8(step.call.name);
      if (step.call.missing != MissingNumber::kNone)
        text += " (" +
                Utf16ToUtf8(step.call.missing == MissingNumber::kPrivate
                                ? kPrivateNumberText
                                : kNoNumberText) +
                ")";
      return text;
    }
    case ModemAssemblyStep::Kind::kLog:
      return "log " + Utf16ToUtf8(step.text);
    case ModemAssemblyStep::Kind::kReinitialise:
      return "reinit";
  }
  return "?";
}

// One read from the port at `at` ms; without bytes, only time passes.
struct Read {
  int at;
  std::string bytes;
};

// The modem's text through the parser and the assembly, one read at a time;
// every step prefixed with the index of the read that gave it ("@2 call").
std::vector<std::string> Replay(ModemCallAssembly& assembly,
                                const std::vector<Read>& reads) {
  const Clock::time_point start{};
  ModemReportParser parser;
  std::vector<std::string> described;
  for (size_t i = 0; i < reads.size(); ++i) {
    const Clock::time_point now =
        start + std::chrono::milliseconds(reads[i].at);
    const std::vector<ModemAssemblyStep> steps =
        reads[i].bytes.empty()
            ? assembly.Advance(now)
            : assembly.Take(parser.Feed(reads[i].bytes), now);
    for (const ModemAssemblyStep& step : steps) {
      described.push_back("@" + std::to_string(i) + " " + Describe(step));
    }
  }
  return described;
}

std::vector<std::string> Replay(const std::vector<Read>& reads) {
  ModemCallAssembly assembly;
  return Replay(assembly, reads);
}

struct AssemblyCase {
  const char* name;
  std::vector<Read> reads;
  std::vector<std::string> steps;
};

const std::string kNoNumber = "call (Numara yok)";

TEST(ModemCallAssembly, Calls) {
  const AssemblyCase cases[] = {
      {"the NMBR line's end announces, with the NAME of the same read",
       {{0, "RING\r\n"},
        {500,
         "\r\nDATE = 1211\r\nTIME = 0130\r\nNMBR = 05321234567\r\n"
         "NAME = AYSE YILMAZ\r\n\r\n"},
        {4000, "RING\r\n"},
        {30000, ""}},
       {"@1 call 05321234567 / AYSE YILMAZ"}},
      {"a NAME that came first",
       {{0, "RING\r\n"}, {500, "NAME = AYSE\r\n"}, {600, "NMBR=0532\r\n"}},
       {"@2 call 0532 / AYSE"}},
      {"a NAME in a later read is not waited for",
       {{0, "RING\r\nNMBR=0532\r\n"}, {100, "NAME=AYSE\r\n"}},
       {"@0 call 0532"}},
      {"an NMBR line over two reads",
       {{0, "RING\r\nNMBR = 05"}, {10, "32\r\n"}},
       {"@1 call 0532"}},
      {"data before the first RING, then its rings",
       {{0, "NMBR = 0532\r\n"}, {1000, "RING\r\n"}, {5000, "RING\r\n"}},
       {"@0 call 0532"}},
      {"P is private",
       {{0, "RING\r\n"}, {500, "NMBR = P\r\n"}},
       {"@1 call (Gizli numara)"}},
      {"O is unavailable",
       {{0, "RING\r\n"}, {500, "NMBR = O\r\n"}, {4000, "RING\r\n"}},
       {"@1 " + kNoNumber}},
      {"a NAME of P or O is no name",
       {{0, "NAME = P\r\nNMBR = 0532\r\n"}},
       {"@0 call 0532"}},
      {"no NMBR before the second RING",
       {{0, "RING\r\n"}, {4000, "RING\r\n"}, {8000, "RING\r\n"}},
       {"@1 " + kNoNumber}},
      {"no NMBR, but a NAME",
       {{0, "RING\r\nNAME = AYSE\r\n"}, {4000, "RING\r\n"}},
       {"@1 call / AYSE (Numara yok)"}},
      {"one RING, and the caller hung up",
       {{0, "RING\r\n"}, {7999, ""}, {8000, ""}},
       {"@2 " + kNoNumber}},
      {"MESG is logged",
       {{0, "RING\r\n"}, {500, "MESG = 030132\r\n"}, {4000, "RING\r\n"}},
       {"@1 log Modem arayan bilgisini çözemedi (MESG = 030132)",
        "@2 " + kNoNumber}},
      {"a number late for the second RING still goes out",
       {{0, "RING\r\n"}, {4000, "RING\r\n"}, {4500, "NMBR = 0532\r\n"}},
       {"@1 " + kNoNumber, "@2 call 0532"}},
      {"a repeated report is not announced again",
       {{0, "RING\r\n"},
        {500, "NMBR = 0532\r\n"},
        {4000, "RING\r\n"},
        {4500, "NMBR = 0532\r\n"}},
       {"@1 call 0532"}},
      {"another number within the gap is another call",
       {{0, "NMBR = 1\r\nNAME = A\r\n"}, {1000, "NMBR = 2\r\n"}},
       {"@0 call 1 / A", "@1 call 2"}},
      {"the same number after the gap is another call",
       {{0, "RING\r\nNMBR = 1\r\n"},
        {4000, "RING\r\n"},
        {12000, "RING\r\nNMBR = 1\r\n"}},
       {"@0 call 1", "@2 call 1"}},
      {"two reports in one read",
       {{0, "NMBR = 1\r\nNAME = A\r\nNAME = B\r\nNMBR = 2\r\nNAME = C\r\n"}},
       {"@0 call 1 / A", "@0 call 2 / C"}},
      {"the modem's answers are no call",
       {{0, "ATZ\r\r\nOK\r\nAT+VCID=1\r\r\nOK\r\n"}, {20000, ""}},
       {}},
  };
  for (const AssemblyCase& c : cases) {
    EXPECT_EQ(Replay(c.reads), c.steps) << c.name;
  }
}

TEST(ModemCallAssembly, CallsCarryTheLineLabelAndTheirOrigin) {
  ModemCallAssembly assembly(u"2");
  const auto steps =
      assembly.Take(ModemReportParser().Feed("NMBR = 0532\r\n"), Clock::now());
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].call.line, u"2");
  EXPECT_EQ(steps[0].call.number, u"0532");
  EXPECT_EQ(steps[0].call.missing, MissingNumber::kNone);
  EXPECT_EQ(steps[0].call.origin, CallOrigin::kModem);
}

TEST(ModemCallAssembly, TheNumberAndNameAreReadThroughTheCodePage) {
  ModemCallAssembly assembly;
  const auto steps =
      assembly.Take(ModemReportParser().Feed("NMBR = 0532\r\nNAME = \xDE"
                                             "EN\r\n"),
                    Clock::now());
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].call.name, FromAnsi("\xDE") + u"EN");
}

// `count` calls 20 s apart, each ringing twice with `report` after the first
// RING.
std::vector<Read> Calls(int first, int count, const std::string& report) {
  std::vector<Read> reads;
  for (int n = 0; n < count; ++n) {
    const int at = first + n * 20000;
    reads.push_back({at, "RING\r\n" + report});
    reads.push_back({at + 4000, "RING\r\n"});
  }
  return reads;
}

std::vector<std::string> Only(const std::vector<std::string>& steps,
                              const std::string& word) {
  std::vector<std::string> kept;
  for (const std::string& step : steps) {
    if (step.find(word) != std::string::npos) kept.push_back(step);
  }
  return kept;
}

TEST(ModemCallAssembly, ThreeCallsWithoutCallerIdAskForOneReinitialisation) {
  std::vector<Read> reads = Calls(0, 3, "");
  reads.push_back({59999, ""});
  EXPECT_THAT(
      Replay(reads),
      ElementsAre("@1 " + kNoNumber, "@3 " + kNoNumber, "@5 " + kNoNumber,
                  "@6 log Son üç arama arayan numara bilgisi olmadan çaldı; "
                  "modem yeniden hazırlanıyor.",
                  "@6 reinit"));
}

TEST(ModemCallAssembly, AReinitialisationIsAskedOnceUntilCallerIdComesBack) {
  std::vector<Read> reads = Calls(0, 6, "");
  for (const Read& read : Calls(120000, 1, "NMBR = 0532\r\n"))
    reads.push_back(read);
  for (const Read& read : Calls(140000, 3, "")) reads.push_back(read);
  reads.push_back({300000, ""});
  // The end of the third call, and of the third after the one with a number.
  EXPECT_THAT(Only(Replay(reads), "reinit"),
              ElementsAre("@6 reinit", "@20 reinit"));
}

TEST(ModemCallAssembly, CallsWithAnyReportLineCountAsInformed) {
  for (const char* report :
       {"NMBR = P\r\n", "NMBR = O\r\n", "MESG = 01\r\n", "DATE = 1211\r\n"}) {
    std::vector<Read> reads = Calls(0, 4, report);
    reads.push_back({200000, ""});
    EXPECT_THAT(Only(Replay(reads), "reinit"), IsEmpty()) << report;
  }
}

TEST(ModemCallAssembly, ResetForgetsTheCallAndTheCount) {
  ModemCallAssembly assembly;
  Replay(assembly, Calls(0, 2, ""));
  assembly.Reset();
  EXPECT_FALSE(assembly.CallInProgress());
  std::vector<Read> reads = Calls(100000, 2, "");
  reads.push_back({200000, ""});
  EXPECT_THAT(Only(Replay(assembly, reads), "reinit"), IsEmpty());
}

TEST(ModemCallAssembly, TheDeadlineIsTheGapAfterTheLastRing) {
  ModemCallAssembly assembly(u"0", std::chrono::milliseconds(1000));
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(assembly.NextDeadline(), std::nullopt);
  const auto ring = ModemReportParser().Feed("RING\r\n");
  assembly.Take(ring, start);
  assembly.Take(ring, start + std::chrono::milliseconds(700));
  EXPECT_EQ(assembly.NextDeadline(), start + std::chrono::milliseconds(1700));
  EXPECT_THAT(assembly.Advance(start + std::chrono::milliseconds(1699)),
              IsEmpty());
  EXPECT_TRUE(assembly.CallInProgress());
  assembly.Advance(start + std::chrono::milliseconds(1700));
  EXPECT_FALSE(assembly.CallInProgress());
  EXPECT_EQ(assembly.NextDeadline(), std::nullopt);
}

}  // namespace
}  // namespace orvanta
