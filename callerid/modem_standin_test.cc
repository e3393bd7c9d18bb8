// The modem stand-in, checked through the parts the modem source is made
// of: the initialisation dialogue and the report parser on the other end
// of the pseudo-terminal, for every chipset of its table.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/text.h"
#include "callerid/modem_call_assembly.h"
#include "callerid/modem_initialisation.h"
#include "callerid/modem_report.h"
#include "callerid/test/modem_standin.h"

namespace orvanta {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using Clock = std::chrono::steady_clock;

// The end of the cable the program opens.
class DeviceEnd {
 public:
  explicit DeviceEnd(const std::string& path) : path_(path) { Open(); }
  ~DeviceEnd() { close(fd_); }

  // After a replug the old descriptor only reports the hang-up.
  void Open() {
    if (fd_ >= 0) close(fd_);
    fd_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("cannot open the device end");
  }

  void Write(const std::string& bytes) {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()),
              static_cast<ssize_t>(bytes.size()));
  }

  // What has come by `deadline`, as soon as anything has; empty after it.
  std::string Read(Clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd in = {fd_, POLLIN, 0};
    if (left.count() <= 0 || poll(&in, 1, static_cast<int>(left.count())) <= 0)
      return {};
    char bytes[512];
    const ssize_t got = read(fd_, bytes, sizeof bytes);
    return got > 0 ? std::string(bytes, static_cast<size_t>(got)) : "";
  }

 private:
  std::string path_;
  int fd_ = -1;
};

// The stand-in answers in moments; silence is what a timeout is for, and
// a quarter of the real wait is plenty to tell the two apart.
constexpr int kWaitDivisor = 4;

// Runs the dialogue against the modem; returns its closing log line. Every
// event the parser read on the way goes to `seen`.
std::u16string Initialise(DeviceEnd& device, ModemReportParser& parser,
                          std::vector<ModemEvent>& seen,
                          std::u16string_view user_commands = {}) {
  ModemInitialisation init(user_commands);
  std::deque<ModemEvent> pending;
  Clock::time_point deadline{};
  ModemInitStep step = init.Start();
  for (;;) {
    if (!step.send.empty()) device.Write(step.send);
    if (step.finished) return step.log;
    if (step.wait.count() > 0)
      deadline = Clock::now() + step.wait / kWaitDivisor;
    step = {};
    while (step == ModemInitStep{}) {
      if (pending.empty()) {
        const std::string bytes = device.Read(deadline);
        if (bytes.empty()) {
          step = init.Timeout();
        } else {
          for (ModemEvent& event : parser.Feed(bytes)) {
            seen.push_back(event);
            pending.push_back(std::move(event));
          }
        }
      } else {
        step = init.Take(pending.front());
        pending.pop_front();
      }
    }
  }
}

// The events of a call, read until its `rings` RINGs have come.
std::vector<ModemEvent> ReadCall(DeviceEnd& device, ModemReportParser& parser,
                                 int rings = 2) {
  std::vector<ModemEvent> events;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
  while (rings > 0) {
    const std::string bytes = device.Read(deadline);
    if (bytes.empty()) {
      ADD_FAILURE() << "the call did not come";
      break;
    }
    for (ModemEvent& event : parser.Feed(bytes)) {
      if (event.kind == ModemEventKind::kRing) --rings;
      events.push_back(std::move(event));
    }
  }
  return events;
}

std::vector<Call> Calls(const std::vector<ModemEvent>& events) {
  ModemCallAssembly assembly;
  std::vector<Call> calls;
  for (const auto& step : assembly.Take(events, Clock::now())) {
    if (step.kind == ModemAssemblyStep::Kind::kAnnounce)
      calls.push_back(step.call);
  }
  return calls;
}

bool HasReportLines(const std::vector<ModemEvent>& events) {
  for (const ModemEvent& event : events) {
    if (event.kind == ModemEventKind::kField) return true;
  }
  return false;
}

CallerReport Caller(std::string number, std::string name = {}) {
  CallerReport report;
  report.number = std::move(number);
  report.name = std::move(name);
  return report;
}

// A report without date and time.
CallerReport Undated(CallerReport report) {
  report.date.clear();
  report.time.clear();
  return report;
}

const ModemEvent kEchoOfTheReset{ModemEventKind::kOther, ModemField::kDate,
                                 "ATZ"};

TEST(ModemStandIn, EachChipsetIsInitialisedAndReportsItsCalls) {
  for (const ModemChipset& chipset : ModemChipsets()) {
    SCOPED_TRACE(chipset.name);
    ModemStandIn modem(chipset);
    DeviceEnd device(modem.device());
    ModemReportParser parser;
    std::vector<ModemEvent> seen;
    EXPECT_EQ(Utf16ToUtf8(Initialise(device, parser, seen)),
              "Modem hazır (" + chipset.enable_command + ")");
    EXPECT_TRUE(modem.Snapshot().caller_id);
    if (chipset.echo) {
      EXPECT_THAT(seen, Contains(kEchoOfTheReset));
    } else {
      EXPECT_THAT(seen, Not(Contains(kEchoOfTheReset)));
    }

    modem.Call(Caller("05321234567", "AYSE YILMAZ"));
    const std::vector<Call> calls = Calls(ReadCall(device, parser));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].number, u"05321234567");
    EXPECT_EQ(calls[0].name, u"AYSE YILMAZ");
  }
}

TEST(ModemStandIn, AReplugForgetsCallerIdUntilTheModemIsInitialisedAgain) {
  ModemStandIn modem(ModemChipsets()[0]);
  DeviceEnd device(modem.device());
  ModemReportParser parser;
  std::vector<ModemEvent> seen;
  Initialise(device, parser, seen);

  modem.Replug();
  EXPECT_FALSE(modem.Snapshot().caller_id);
  device.Open();
  parser.Reset();
  modem.Call(Caller("05321234567"));
  EXPECT_FALSE(HasReportLines(ReadCall(device, parser)));

  EXPECT_EQ(Utf16ToUtf8(Initialise(device, parser, seen)),
            "Modem hazır (AT+VCID=1)");
  modem.Call(Caller("05321234567"));
  EXPECT_TRUE(HasReportLines(ReadCall(device, parser)));

  // Some modems lose the setting by themselves and go on ringing.
  modem.ForgetCallerId();
  modem.Call(Caller("05321234567"));
  EXPECT_FALSE(HasReportLines(ReadCall(device, parser)));
}

TEST(ModemStandIn, TheReportFormatsReachTheParser) {
  ModemStandIn modem(ModemChipsets()[1]);  // no blanks around "="
  DeviceEnd device(modem.device());
  ModemReportParser parser;
  std::vector<ModemEvent> seen;
  Initialise(device, parser, seen);
  modem.Call(Caller("P"), 1);
  CallerReport undecoded = Undated({});
  undecoded.message = "030132";
  modem.Call(undecoded, 1);
  modem.Send(std::string(300, '#') + "\r\n");
  modem.Call(Undated(Caller("O")), 1);
  modem.Ring();  // after the last report, which follows its RING
  std::vector<std::string> fields;
  for (const ModemEvent& event : ReadCall(device, parser, 4)) {
    if (event.kind == ModemEventKind::kField) {
      fields.push_back(std::string(ModemFieldTag(event.field)) + "=" +
                       event.text);
    } else {
      EXPECT_EQ(event.kind, ModemEventKind::kRing) << event.text;
    }
  }
  EXPECT_THAT(fields, ElementsAre("DATE=1211", "TIME=0130", "NMBR=P",
                                  "MESG=030132", "NMBR=O"));
}

TEST(ModemStandIn, AUserStringIsSentAsItIs) {
  for (const auto& [chipset, outcome] :
       {std::pair{0, "Modem hazır (AT+GCI=AE;AT+VCID=1)"},
        std::pair{1,
                  "Modem başlatma komutunu kabul etmedi: AT+GCI=AE (ERROR). "
                  "Port dinlenmeye devam ediyor."}}) {
    ModemStandIn modem(ModemChipsets()[chipset]);
    DeviceEnd device(modem.device());
    ModemReportParser parser;
    std::vector<ModemEvent> seen;
    EXPECT_EQ(
        Utf16ToUtf8(Initialise(device, parser, seen, u"AT+GCI=AE;AT+VCID=1")),
        outcome);
    EXPECT_THAT(modem.Snapshot().commands,
                ElementsAre("ATZ", "AT+GCI=AE", "AT+VCID=1"));
  }
}

}  // namespace
}  // namespace orvanta
