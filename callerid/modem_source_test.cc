#include "callerid/modem_source.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "base/text.h"
#include "callerid/announcer.h"
#include "callerid/serial_connection.h"
#include "callerid/test/engine_fakes.h"
#include "settings/storage.h"

namespace orvanta {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Time moves only when the test moves it; an alarm that falls due on the
// way goes off then, as it would on the user-interface thread.
class FakeModemTimer : public ModemTimer {
 public:
  Clock::time_point Now() const override { return now_; }
  void CallAt(Clock::time_point when, std::function<void()> work) override {
    when_ = when;
    work_ = std::move(work);
  }
  void Cancel() override { work_ = nullptr; }

  void Pass(milliseconds time) {
    const Clock::time_point end = now_ + time;
    while (work_ && when_ <= end) {
      now_ = std::max(now_, when_);
      std::function<void()> work = std::exchange(work_, nullptr);
      work();
    }
    now_ = end;
  }
  bool AlarmSet() const { return static_cast<bool>(work_); }

 private:
  Clock::time_point now_{};
  Clock::time_point when_{};
  std::function<void()> work_;
};

class ModemSourceTest : public ::testing::Test {
 protected:
  ModemSourceTest() { AddSettingsCatalogue(store); }

  // The commands written to the modem since the last look, without CR.
  std::vector<std::string> Sent() {
    std::vector<std::string> commands;
    size_t at = 0;
    for (size_t end; (end = line.written.find('\r', at)) != std::string::npos;
         at = end + 1) {
      commands.push_back(line.written.substr(at, end - at));
    }
    line.written.erase(0, at);
    return commands;
  }

  std::vector<std::string> Logged() const {
    std::vector<std::string> lines;
    for (const std::string& entry : journal) {
      if (entry.rfind("log: ", 0) == 0) lines.push_back(entry.substr(5));
    }
    return lines;
  }
  int Count(const std::string& entry) const {
    return static_cast<int>(std::count(journal.begin(), journal.end(), entry));
  }

  // Started, with the modem taking the first enable command.
  void StartReady() {
    source.Start({});
    line.Receive("ATZ\r\r\nOK\r\n");
    line.Receive("AT+VCID=1\r\r\nOK\r\n");
    ASSERT_FALSE(source.Initialising());
    Sent();
    journal.clear();
  }

  // Two rings without caller ID, then the line goes quiet.
  void UninformedCall() {
    line.Receive("\r\nRING\r\n");
    timer.Pass(seconds(5));
    line.Receive("\r\nRING\r\n");
    timer.Pass(seconds(9));
  }

  Journal journal;
  SettingsStore store;
  FakeSerialLine line{journal};
  FakeRetryTimer retry{journal};
  FakeNotice notice{journal};
  FakeProgramLog log{journal};
  FakeCallSink sink{journal};
  FakeModemTimer timer;
  SerialConnection connection{line, retry, notice, log};
  ModemSource source{connection, store,           sink, log, notice,
                     timer,      u"C:\\Orvanta\\"};
};

TEST(ModemLineLabelTest, BlanksAtTheEndsGoAndNothingLeftIsLineZero) {
  EXPECT_EQ(ModemLineLabel(u"0"), u"0");
  EXPECT_EQ(ModemLineLabel(u" 02\t"), u"02");
  EXPECT_EQ(ModemLineLabel(u"Hat 2"), u"Hat 2");
  EXPECT_EQ(ModemLineLabel(u""), u"0");
  EXPECT_EQ(ModemLineLabel(u" \r\n"), u"0");
}

TEST_F(ModemSourceTest, OpensWithDtrRaisedAndEnablesCallerIdWhatTheModemSays) {
  EXPECT_TRUE(source.Start({}));
  EXPECT_TRUE(line.modem_control);
  EXPECT_THAT(journal,
              ElementsAre("serial load C:\\Orvanta\\calleridcomport.ini",
                          "serial open"));
  EXPECT_THAT(Sent(), ElementsAre("ATZ"));
  // Echo on, numeric results: the modem's words, not the bytes, count.
  line.Receive("ATZ\r0\r");
  EXPECT_THAT(Sent(), ElementsAre("AT+VCID=1"));
  line.Receive("AT+VCID=1\r4\r");
  EXPECT_THAT(Sent(), ElementsAre("AT#CID=1"));
  line.Receive("AT#CID=1\r");
  line.Receive("0\r");
  EXPECT_THAT(Sent(), IsEmpty());
  EXPECT_THAT(Logged(), ElementsAre("Modem hazır (AT#CID=1)"));
  EXPECT_FALSE(source.Initialising());
  EXPECT_FALSE(timer.AlarmSet());
  EXPECT_EQ(Count("balloon: Modem hazır (AT#CID=1)"), 0);
}

// Every command waits its time for an answer; a modem that gives none to
// any of them is named once, and the port stays open and listened to.
TEST_F(ModemSourceTest, ASilentModemIsGivenItsTimeAndThePortStaysOpen) {
  source.Start({});
  EXPECT_THAT(Sent(), ElementsAre("ATZ"));
  timer.Pass(milliseconds(2999));
  EXPECT_THAT(Sent(), IsEmpty());
  timer.Pass(milliseconds(1));
  EXPECT_THAT(Sent(), ElementsAre("AT+VCID=1"));
  timer.Pass(seconds(2));
  EXPECT_THAT(Sent(), ElementsAre("AT#CID=1"));
  timer.Pass(seconds(4));
  EXPECT_THAT(Sent(), ElementsAre("AT%CCID=1", "AT+CID=1"));
  EXPECT_THAT(Logged(), IsEmpty());
  timer.Pass(seconds(2));
  EXPECT_THAT(Logged(), ElementsAre(Utf16ToUtf8(kModemNoAnswerMessage)));
  EXPECT_EQ(Count("balloon: " + Utf16ToUtf8(kModemNoAnswerMessage)), 1);
  EXPECT_FALSE(timer.AlarmSet());
  EXPECT_TRUE(line.connected);
  EXPECT_TRUE(source.Running());

  // A modem that reports caller ID all the same is heard.
  line.Receive("\r\nRING\r\n\r\nNMBR = 05321234567\r\n");
  EXPECT_EQ(journal.back(), "announce number=05321234567 line=0");
}

TEST_F(ModemSourceTest, TheUsersStringIsSentInsteadOfTheEnableCommands) {
  store.WriteValue(kModemKomut, u"AT+GCI=AE; +VCID=1");
  source.Start({});
  line.Receive("\r\nOK\r\n");
  line.Receive("\r\nOK\r\n");
  line.Receive("\r\nOK\r\n");
  EXPECT_THAT(Sent(), ElementsAre("ATZ", "AT+GCI=AE", "AT+VCID=1"));
  EXPECT_THAT(Logged(), ElementsAre("Modem hazır (AT+GCI=AE;AT+VCID=1)"));
}

// The number goes out as soon as its line is complete, with the name that
// came before it and the stored line label.
TEST_F(ModemSourceTest, ACallIsAnnouncedAtItsNumberLineOnTheLineLabel) {
  store.WriteValue(kModemHat, u" 2 ");
  StartReady();
  line.Receive("\r\nRING\r\n\r\nDATE = 1211\r\nTIME = 0130\r\nNAME = AYSE");
  line.Receive(" YILMAZ\r\nNMBR = 0532123");
  EXPECT_TRUE(sink.calls.empty());
  line.Receive("4567\r");
  ASSERT_EQ(sink.calls.size(), 1u);
  EXPECT_EQ(sink.calls[0].number, u"05321234567");
  EXPECT_EQ(sink.calls[0].name, u"AYSE YILMAZ");
  EXPECT_EQ(sink.calls[0].line, u"2");
  EXPECT_EQ(sink.calls[0].origin, CallOrigin::kModem);

  // A withheld number is a call without a number, and why.
  timer.Pass(seconds(9));
  line.Receive("RING\r\nNMBR=P\r\n");
  ASSERT_EQ(sink.calls.size(), 2u);
  EXPECT_EQ(sink.calls[1].number, u"");
  EXPECT_EQ(sink.calls[1].missing, MissingNumber::kPrivate);
}

// A modem that lost its setting rings on without caller ID: after three
// such calls it is set up again, once, and says so in the log.
TEST_F(ModemSourceTest, ThreeCallsWithoutCallerIdSetTheModemUpOnceMore) {
  StartReady();
  UninformedCall();
  UninformedCall();
  EXPECT_THAT(Sent(), IsEmpty());
  UninformedCall();
  EXPECT_THAT(Sent(), ElementsAre("ATZ"));
  EXPECT_EQ(Count("log: " + Utf16ToUtf8(kModemReinitialiseLogLine)), 1);
  EXPECT_EQ(Count("announce number= line=0"), 3);
  line.Receive("\r\nOK\r\n\r\nOK\r\n");
  EXPECT_THAT(Sent(), ElementsAre("AT+VCID=1"));
  EXPECT_EQ(Count("log: Modem hazır (AT+VCID=1)"), 1);

  // Still nothing: no second round until caller ID has come again.
  UninformedCall();
  UninformedCall();
  UninformedCall();
  EXPECT_THAT(Sent(), IsEmpty());
  EXPECT_EQ(Count("log: " + Utf16ToUtf8(kModemReinitialiseLogLine)), 1);
}

// The modem is set up at every open: also when it comes back after an
// unplug, and again from the start when it went away half-way.
TEST_F(ModemSourceTest, AReopenedPortIsSetUpAgain) {
  StartReady();
  line.Receive("\r\nRING\r\n");  // a call cut off by the unplug
  line.LoseDevice();
  timer.Pass(seconds(9));
  EXPECT_THAT(Sent(), IsEmpty());
  ASSERT_TRUE(retry.Tick());
  EXPECT_THAT(Sent(), ElementsAre("ATZ"));

  line.LoseDevice();
  timer.Pass(seconds(3));  // the reset's answer time runs out while away
  EXPECT_THAT(Sent(), IsEmpty());
  ASSERT_TRUE(retry.Tick());
  EXPECT_THAT(Sent(), ElementsAre("ATZ"));
  line.Receive("OK\r\nOK\r\n");
  EXPECT_THAT(Sent(), ElementsAre("AT+VCID=1"));
  EXPECT_EQ(Count("log: Modem hazır (AT+VCID=1)"), 1);
}

TEST_F(ModemSourceTest, ACommandTheLineRefusesIsLoggedAndEndsTheSetup) {
  source.Start({});
  line.write_failure = u"Write timed out";
  line.Receive("OK\r\n");
  EXPECT_THAT(Logged(),
              ElementsAre("Modem'e komut gönderilemedi: Write timed out"));
  EXPECT_FALSE(source.Initialising());
  EXPECT_FALSE(timer.AlarmSet());
  EXPECT_TRUE(source.Running());
}

TEST_F(ModemSourceTest, StopClosesThePortAndCancelsWhatWasDue) {
  source.Start({});
  line.Receive("RING\r\n");
  source.Stop();
  EXPECT_FALSE(line.connected);
  EXPECT_FALSE(timer.AlarmSet());
  EXPECT_FALSE(source.Running());
  EXPECT_FALSE(source.Initialising());
  timer.Pass(seconds(20));
  EXPECT_TRUE(sink.calls.empty());
}

}  // namespace
}  // namespace orvanta
