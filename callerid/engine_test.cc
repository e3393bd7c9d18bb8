#include "callerid/engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "base/failure.h"
#include "base/text.h"
#include "callerid/device_control_sources.h"
#include "callerid/framed_serial_source.h"
#include "callerid/serial_connection.h"
#include "callerid/test/engine_fakes.h"
#include "callerid/test/fake_device_controls.h"
#include "settings/storage.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::IsSupersetOf;
using ::testing::UnorderedElementsAre;
using ::testing::UnorderedElementsAreArray;

const std::string kUdpMessage =
    "info: UDP iletişim kanalı açılamadı.\r\nPort No : 18900";
const std::string kCid2Message =
    "info: CID2(Sistemler) tipi baglanti acilamadi. Cihazin suruculerinin "
    "yuklendiginden emin olunuz.\r\n";
const std::string kArgMessage =
    "info: ARG tipi baglanti acilamadi. Cihazin suruculerinin yuklendiginden "
    "emin olunuz.\r\n";
const std::string kNotStarted = "info: Caller ID sistemi baslatilamadi.";

// Whether `first` was recorded before `second` (both recorded).
bool Before(const Journal& journal, const std::string& first,
            const std::string& second) {
  const auto a = std::find(journal.begin(), journal.end(), first);
  const auto b = std::find(journal.begin(), journal.end(), second);
  return a != journal.end() && b != journal.end() && a < b;
}

class EngineTest : public ::testing::Test {
 protected:
  EngineTest() {
    AddSettingsCatalogue(store_);
    Store(kCallerIdKullan, u"True");
    Store(kCallerIdType, u"0");
    Store(kUdpPort, u"18900");
    Store(kCallerIdBaslamaString, u"#2NMBR=");
    Store(kCallerIdBitisString, u"#3");
    engine_.AddSource(kSourceCid2, cid2_);
    engine_.AddSource(kSourceArg, arg_);
    engine_.AddSource(kSourceFramedSerial, serial_);
  }

  void Store(const char16_t* key, const std::u16string& value) {
    store_.WriteValue(key, value);
  }

  // Saves the chosen source the way the settings window does: radio group
  // and stored type agree.
  void Choose(int type) {
    window_.source = type;
    Store(kCallerIdType, IntToText(type));
  }

  // What was recorded since the last call.
  Journal Take() {
    Journal taken;
    taken.swap(journal_);
    return taken;
  }

  // Running with the given source, journal emptied.
  void RunWith(int type) {
    Choose(type);
    engine_.ApplySettings(window_);
    ASSERT_TRUE(engine_.CallerIdRunning());
    Take();
  }

  Journal journal_;
  SettingsStore store_;
  FakeBroadcastChannel channel_{journal_};
  FakeSerialLine line_{journal_};
  FakeDeviceControlFactory devices_{journal_};
  FakeNotice notice_{journal_};
  FakeProgramLog log_{journal_};
  FakeCallSink calls_{journal_};
  FakeRetryTimer retry_{journal_};
  // The window as it stands: the first source, no ARG device kind.
  WindowSettings window_ = [] {
    WindowSettings window;
    window.source = 0;
    window.arg_device_kind = 0;
    window.udp_port_text = u"18900";
    return window;
  }();
  SerialConnection connection_{line_, retry_, notice_, log_};
  Cid2Source cid2_{devices_, calls_, notice_};
  ArgSource arg_{devices_, calls_, notice_, log_};
  FramedSerialSource serial_{connection_, store_, calls_, u"C:\\Orvanta\\"};
  CallerIdEngine engine_{EngineParts{store_, channel_, notice_, log_}};
};

// --- ApplySettings: which branch runs -------------------------------------

// The tests below check what was opened, set and started, in any order.
// These orders are the ones a user would notice: a channel opened before
// its port is set would listen on the old one, a control started before its
// handler is attached could drop the first call, and a log cleared after the
// ARG device wrote to it would lose its lines.
TEST_F(EngineTest, StepsAUserWouldNoticeComeInTheirOrder) {
  window_.arg_device_kind = 1;
  Choose(0);
  engine_.ApplySettings(window_);
  Journal journal = Take();
  EXPECT_TRUE(Before(journal, "udp port=18900", "udp open"));
  EXPECT_TRUE(Before(journal, "CID2 handler", "CID2 Start"));

  Choose(1);
  engine_.ApplySettings(window_);
  journal = Take();
  EXPECT_EQ(journal.front(), "log clear");
  EXPECT_TRUE(Before(journal, "udp port=18900", "udp open"));
  EXPECT_TRUE(Before(journal, "ARG handler", "ARG Connect"));
}

TEST_F(EngineTest, NoDeviceChosenDoesNothing) {
  window_.source = -1;
  Store(kCallerIdKullan, u"xyz");  // not even read
  engine_.ApplySettings(window_);
  EXPECT_THAT(Take(), IsEmpty());
  EXPECT_FALSE(engine_.CallerIdRunning());
}

TEST_F(EngineTest, ApplyStartsTheChosenSource) {
  struct Case {
    int type;
    Journal expected;
  };
  const Case cases[] = {
      {0,
       {"udp port=18900", "udp open", "CID2 create", "CID2 handler",
        "CID2 hide", "CID2 Start"}},
      // Only the ARG choice clears the log, and before anything else.
      {1,
       {"log clear", "udp port=18900", "udp open", "ARG create", "ARG handler",
        "ARG hide", "ARG CihazTip=1", "ARG Connect"}},
      {2,
       {"udp port=18900", "udp open",
        "serial load C:\\Orvanta\\calleridcomport.ini", "serial open"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    window_.arg_device_kind = 1;
    Choose(c.type);
    engine_.ApplySettings(window_);
    EXPECT_THAT(Take(), UnorderedElementsAreArray(c.expected));
    EXPECT_TRUE(engine_.CallerIdRunning());
    EXPECT_TRUE(channel_.active);
    engine_.SwitchCallerId(false);
    Take();
  }
}

// The running control goes before a new one is made: two controls of one
// device would both announce every call.
TEST_F(EngineTest, ApplyWhileRunningStopsFirst) {
  RunWith(0);
  engine_.ApplySettings(window_);
  const Journal journal = Take();
  const auto released =
      std::find(journal.begin(), journal.end(), "CID2 release");
  const auto created = std::find(journal.begin(), journal.end(), "CID2 create");
  ASSERT_NE(released, journal.end());
  EXPECT_LT(released, created);
  EXPECT_EQ(devices_.LiveCid2Count(), 1);
  EXPECT_TRUE(channel_.active);
  EXPECT_TRUE(engine_.CallerIdRunning());
}

TEST_F(EngineTest, TurningCallerIdOffStopsWhateverDeviceIsChosen) {
  for (int choice : {0, 1, 2}) {
    SCOPED_TRACE(choice);
    RunWith(0);
    Store(kCallerIdKullan, u"False");
    window_.source = choice;
    engine_.ApplySettings(window_);
    EXPECT_THAT(Take(), UnorderedElementsAre("udp close", "CID2 release"));
    EXPECT_FALSE(engine_.CallerIdRunning());
    EXPECT_EQ(cid2_.Held(), nullptr);
    Store(kCallerIdKullan, u"True");
  }
}

TEST_F(EngineTest, TurningCallerIdOffWhenStoppedDoesNothing) {
  Store(kCallerIdKullan, u"False");
  for (int choice : {0, 1, 2}) {
    window_.source = choice;
    engine_.ApplySettings(window_);
  }
  EXPECT_THAT(Take(), IsEmpty());
}

// --- start ----------------------------------------------------------------

TEST_F(EngineTest, ChannelThatCannotOpenShowsTwoMessagesAndTouchesNoSource) {
  struct Case {
    const char* name;
    const char16_t* port;
    bool socket_fails;
    Journal expected;
  };
  const Case cases[] = {
      {"socket", u"18900", true, {"udp port=18900", kUdpMessage, kNotStarted}},
      {"unreadable port", u"abc", false, {kUdpMessage, kNotStarted}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Store(kUdpPort, c.port);
    if (c.socket_fails) channel_.open_failure = u"Socket Error # 10048";
    engine_.ApplySettings(window_);
    EXPECT_THAT(Take(), UnorderedElementsAreArray(c.expected));
    EXPECT_FALSE(engine_.CallerIdRunning());
    EXPECT_EQ(cid2_.Held(), nullptr);
    channel_.open_failure.reset();
  }
}

TEST_F(EngineTest, UdpMessageShowsThePortAsTypedInTheWindow) {
  window_.udp_port_text = u"18 900x";
  channel_.open_failure = u"Could not bind socket.";
  engine_.ApplySettings(window_);
  EXPECT_THAT(Take(), UnorderedElementsAre(
                          "udp port=18900",
                          "info: UDP iletişim kanalı açılamadı.\r\nPort No : "
                          "18 900x",
                          kNotStarted));
}

TEST_F(EngineTest, ChannelFailureLeavesTheRunningFlagAlone) {
  RunWith(0);
  channel_.open_failure = u"Socket Error # 10055";
  EXPECT_FALSE(engine_.SwitchCallerId(true, window_));
  EXPECT_THAT(Take(), UnorderedElementsAre("udp port=18900", kUdpMessage));
  EXPECT_TRUE(engine_.CallerIdRunning());
  EXPECT_NE(cid2_.Held(), nullptr);
}

TEST_F(EngineTest, ArgIsConfiguredByDeviceKindInTheControlsOrder) {
  struct Case {
    int kind;
    int com_port;
    Journal configuration;
  };
  const Case cases[] = {
      {0, -1, {}},
      {-1, -1, {}},
      {1, -1, {"ARG CihazTip=1", "ARG Connect"}},
      {2, 5, {"ARG CihazTip=2", "ARG Connect"}},
      {3,
       -1,
       {"ARG CihazTip=3", "ARG AnaBilgisayar= 192.168.1.20 şube",
        "ARG Connect"}},
      {4, 2, {"ARG Comport=3", "ARG CihazTip=4", "ARG Connect"}},
      {4, -1, {"ARG Comport=0", "ARG CihazTip=4", "ARG Connect"}},
  };
  window_.main_machine_ip = u" 192.168.1.20 şube";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    window_.arg_device_kind = c.kind;
    window_.arg_com_port = c.com_port;
    Choose(1);
    engine_.ApplySettings(window_);
    Journal expected = {"log clear",  "udp port=18900", "udp open",
                        "ARG create", "ARG handler",    "ARG hide"};
    expected.insert(expected.end(), c.configuration.begin(),
                    c.configuration.end());
    EXPECT_THAT(Take(), UnorderedElementsAreArray(expected));
    EXPECT_TRUE(engine_.CallerIdRunning());
    EXPECT_NE(arg_.Held(), nullptr);
    engine_.SwitchCallerId(false);
    Take();
  }
}

TEST_F(EngineTest, ArgThatCannotConnectStillCountsAsStarted) {
  struct Case {
    int kind;
    std::string failing;
    Journal before_failure;
  };
  const Case cases[] = {
      {1, "ARG Connect", {"ARG CihazTip=1"}},
      {2, "ARG CihazTip", {}},
      {3, "ARG AnaBilgisayar", {"ARG CihazTip=3"}},
      {4, "ARG Comport", {}},
  };
  window_.main_machine_ip = u"10.0.0.9";
  window_.arg_com_port = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    window_.arg_device_kind = c.kind;
    devices_.Fail(c.failing, u"Cihaz bulunamadı.");
    Choose(1);
    engine_.ApplySettings(window_);
    Journal expected = {"log clear",  "udp port=18900", "udp open",
                        "ARG create", "ARG handler",    "ARG hide"};
    expected.insert(expected.end(), c.before_failure.begin(),
                    c.before_failure.end());
    expected.insert(expected.end(),
                    {"ARG Disconnect", "log:  Bağlantı Başarısız...",
                     kArgMessage + "Cihaz bulunamadı."});
    EXPECT_THAT(Take(), UnorderedElementsAreArray(expected));
    EXPECT_TRUE(engine_.CallerIdRunning());
    EXPECT_NE(arg_.Held(), nullptr);
    devices_.Heal(c.failing);
    engine_.SwitchCallerId(false);
    Take();
  }
}

TEST_F(EngineTest, ArgWhoseDisconnectFailsStaysHeldAndBlocksLaterStarts) {
  window_.arg_device_kind = 1;
  devices_.Fail("ARG Connect", u"bağlantı yok");
  devices_.Fail("ARG Disconnect", u"zaten kapalı");
  Choose(1);
  engine_.ApplySettings(window_);
  EXPECT_THAT(Take(),
              UnorderedElementsAre("log clear", "udp port=18900", "udp open",
                                   "ARG create", "ARG handler", "ARG hide",
                                   "ARG CihazTip=1",
                                   kArgMessage + "zaten kapalı", kNotStarted));
  EXPECT_FALSE(engine_.CallerIdRunning());
  EXPECT_NE(arg_.Held(), nullptr);

  // Not running, so no stop comes first, and the held control is in the way.
  engine_.ApplySettings(window_);
  EXPECT_THAT(Take(), UnorderedElementsAre("log clear", "udp port=18900",
                                           "udp open", kNotStarted));
  EXPECT_TRUE(channel_.active);
}

TEST_F(EngineTest, StartWithTheControlAlreadyHeldLeavesOnlyTheChannel) {
  RunWith(0);
  EXPECT_FALSE(engine_.SwitchCallerId(true, window_));
  EXPECT_THAT(Take(), UnorderedElementsAre("udp port=18900", "udp open"));
  EXPECT_FALSE(engine_.CallerIdRunning());
  EXPECT_NE(cid2_.Held(), nullptr);
  EXPECT_EQ(devices_.LiveCid2Count(), 1);
}

TEST_F(EngineTest, ControlThatCannotBeCreatedIsReportedWithItsText) {
  struct Case {
    int type;
    std::string member;
    Journal expected;
  };
  const Case cases[] = {
      {0,
       "CID2 create",
       {"udp port=18900", "udp open", kCid2Message + "Class not registered",
        kNotStarted}},
      {1,
       "ARG create",
       {"log clear", "udp port=18900", "udp open",
        kArgMessage + "Class not registered", kNotStarted}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.member);
    devices_.Fail(c.member, u"Class not registered");
    Choose(c.type);
    engine_.ApplySettings(window_);
    EXPECT_THAT(Take(), UnorderedElementsAreArray(c.expected));
    EXPECT_FALSE(engine_.CallerIdRunning());
    EXPECT_EQ(cid2_.Held(), nullptr);
    EXPECT_EQ(arg_.Held(), nullptr);
    EXPECT_TRUE(channel_.active);
  }
}

TEST_F(EngineTest, Cid2ThatFailsToStartIsReleasedAndTriedAgainNextTime) {
  devices_.Fail("CID2 Start", u"Aygıt yanıt vermiyor");
  engine_.ApplySettings(window_);
  EXPECT_THAT(Take(), UnorderedElementsAre(
                          "udp port=18900", "udp open", "CID2 create",
                          "CID2 handler", "CID2 hide", "CID2 release",
                          kCid2Message + "Aygıt yanıt vermiyor", kNotStarted));
  EXPECT_FALSE(engine_.CallerIdRunning());
  EXPECT_EQ(cid2_.Held(), nullptr);

  devices_.Heal("CID2 Start");
  engine_.ApplySettings(window_);
  EXPECT_THAT(Take(),
              UnorderedElementsAre("udp port=18900", "udp open", "CID2 create",
                                   "CID2 handler", "CID2 hide", "CID2 Start"));
  EXPECT_TRUE(engine_.CallerIdRunning());
}

TEST_F(EngineTest, UnknownStoredTypeOpensOnlyTheChannel) {
  for (const char16_t* type : {u"3", u"7", u"-1"}) {
    SCOPED_TRACE(Utf16ToUtf8(type));
    window_.source = 2;
    Store(kCallerIdType, type);
    engine_.ApplySettings(window_);
    EXPECT_THAT(Take(), UnorderedElementsAre("udp port=18900", "udp open",
                                             kNotStarted));
    EXPECT_FALSE(engine_.CallerIdRunning());
    EXPECT_TRUE(channel_.active);
  }
}

TEST_F(EngineTest, SerialPortThatCannotOpenReachesTheCallerAndIsTriedAgain) {
  line_.open_failure = u"COM Port Error: Unable to open com port on COM4";
  Choose(2);
  try {
    engine_.ApplySettings(window_);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.message(),
              u"COM Port Error: Unable to open com port on COM4");
  }
  // No message of the engine's own; the channel stays open.
  EXPECT_THAT(Take(), UnorderedElementsAre(
                          "udp port=18900", "udp open",
                          "serial load C:\\Orvanta\\calleridcomport.ini",
                          "serial open failed", "retry every 2000 ms"));
  EXPECT_TRUE(channel_.active);
  // The source waits for its device, and counts as running so that the
  // next apply or stop ends the waiting.
  EXPECT_TRUE(engine_.CallerIdRunning());
  EXPECT_TRUE(connection_.WaitingForDevice());
}

// A device missing at the start and one that goes away while the source
// runs are waited for alike: quiet tries, then one word when it is back.
TEST_F(EngineTest, SerialDeviceThatIsAwayIsTriedQuietlyUntilItOpens) {
  struct Case {
    const char* name;
    std::function<void()> go_away;
    Journal expected;
  };
  const Case cases[] = {
      {"missing at start",
       [this] {
         line_.open_failure =
             u"COM Port Error: Unable to open com port on COM4";
         Choose(2);
         EXPECT_THROW(engine_.ApplySettings(window_), Failure);
       },
       {"udp port=18900", "udp open",
        "serial load C:\\Orvanta\\calleridcomport.ini", "serial open failed",
        "retry every 2000 ms"}},
      {"lost while running",
       [this] {
         RunWith(2);
         line_.open_failure =
             u"COM Port Error: Unable to open com port on COM4";
         line_.LoseDevice();
       },
       // Closed at once, waited for, and then reported.
       {"serial device lost", "serial close", "retry every 2000 ms",
        "error: COM Port Error: lost"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.go_away();
    EXPECT_THAT(Take(), UnorderedElementsAreArray(c.expected));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(retry_.Tick());
    EXPECT_THAT(Take(),
                UnorderedElementsAre("serial open failed", "serial open failed",
                                     "serial open failed"));

    line_.open_failure.reset();
    ASSERT_TRUE(retry_.Tick());
    EXPECT_THAT(Take(), UnorderedElementsAre(
                            "serial open", "retry stop",
                            "log: Seri port cihazı bağlandı: COM4",
                            "balloon: Seri port cihazı bağlandı: COM4"));
    EXPECT_FALSE(retry_.Tick());
    EXPECT_TRUE(engine_.CallerIdRunning());
    EXPECT_TRUE(channel_.active);
    engine_.SwitchCallerId(false);
    Take();
  }
}

TEST_F(EngineTest, LossWhileTheLastOneIsStillOnScreenIsNotReportedAgain) {
  RunWith(2);
  notice_.while_error_shown = [this] {
    notice_.while_error_shown = nullptr;
    // Back and gone again before anyone closed the box.
    ASSERT_TRUE(retry_.Tick());
    line_.LoseDevice(u"second");
  };
  line_.LoseDevice(u"first");
  EXPECT_THAT(Take(),
              UnorderedElementsAre(
                  "serial device lost", "serial close", "retry every 2000 ms",
                  "error: first", "serial open", "retry stop",
                  "log: Seri port cihazı bağlandı: COM4",
                  "balloon: Seri port cihazı bağlandı: COM4",
                  "serial device lost", "serial close", "retry every 2000 ms"));
  EXPECT_TRUE(connection_.WaitingForDevice());

  // With the box closed, the next loss is reported again.
  ASSERT_TRUE(retry_.Tick());
  Take();
  line_.LoseDevice(u"third");
  EXPECT_THAT(Take(),
              UnorderedElementsAre("serial device lost", "serial close",
                                   "retry every 2000 ms", "error: third"));
}

TEST_F(EngineTest, RestartOrStopEndsTheWaiting) {
  struct Case {
    const char* name;
    std::function<void()> act;
    Journal expected;
    bool waiting_after = false;
  };
  const Case cases[] = {
      {"caller-ID switched off",
       [this] {
         Store(kCallerIdKullan, u"False");
         engine_.ApplySettings(window_);
         Store(kCallerIdKullan, u"True");
       },
       {"udp close", "retry stop"}},
      {"another source",
       [this] {
         Choose(0);
         engine_.ApplySettings(window_);
       },
       {"udp close", "retry stop", "udp port=18900", "udp open", "CID2 create",
        "CID2 handler", "CID2 hide", "CID2 Start"}},
      {"program end",
       [this] { engine_.ClosingStep(); },
       {"udp close", "retry stop"}},
      // The serial source again: a new start that tries the port once more
      // and, since it is still away, reports that and waits again.
      {"apply again",
       [this] { EXPECT_THROW(engine_.ApplySettings(window_), Failure); },
       {"udp close", "retry stop", "udp port=18900", "udp open",
        "serial load C:\\Orvanta\\calleridcomport.ini", "serial open failed",
        "retry every 2000 ms"},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunWith(2);
    line_.open_failure = u"COM Port Error";
    line_.LoseDevice();
    Take();
    c.act();
    EXPECT_THAT(Take(), UnorderedElementsAreArray(c.expected));
    EXPECT_EQ(connection_.WaitingForDevice(), c.waiting_after);
    line_.open_failure.reset();
    engine_.SwitchCallerId(false);
    Take();
  }
}

TEST(SerialConnectionLifetime,
     AConnectionThatGoesStopsWaitingAndLetsGoOfTheLine) {
  Journal journal;
  FakeSerialLine line{journal};
  FakeNotice notice{journal};
  FakeProgramLog log{journal};
  FakeRetryTimer retry{journal};
  {
    SerialConnection connection{line, retry, notice, log};
    EXPECT_TRUE(line.LossHandled());
    line.LoseDevice();
    EXPECT_TRUE(retry.Running());
  }
  EXPECT_FALSE(retry.Running());
  EXPECT_FALSE(line.LossHandled());
}

// --- stop -----------------------------------------------------------------

TEST_F(EngineTest, StopStopsEverythingThatRunsWhateverTheStoredType) {
  // Three starts without a stop between them leave all three sources going.
  window_.arg_device_kind = 1;
  for (const char16_t* type : {u"0", u"1", u"2"}) {
    Store(kCallerIdType, type);
    ASSERT_TRUE(engine_.SwitchCallerId(true, window_));
  }
  Take();
  Store(kCallerIdType, u"3");
  EXPECT_TRUE(engine_.SwitchCallerId(false));
  EXPECT_THAT(Take(), UnorderedElementsAre("udp close", "CID2 release",
                                           "ARG release", "serial close"));
  EXPECT_FALSE(engine_.CallerIdRunning());
  EXPECT_EQ(cid2_.Held(), nullptr);
  EXPECT_EQ(arg_.Held(), nullptr);
  EXPECT_FALSE(line_.connected);
  EXPECT_FALSE(channel_.active);
}

TEST_F(EngineTest, SavingAnotherSourceReplacesTheRunningOne) {
  RunWith(0);
  window_.arg_device_kind = 2;
  Choose(1);
  engine_.ApplySettings(window_);
  EXPECT_THAT(Take(),
              IsSupersetOf({"log clear", "ARG CihazTip=2", "ARG Connect"}));
  EXPECT_EQ(devices_.LiveCid2Count(), 0);
  EXPECT_EQ(devices_.LiveArgCount(), 1);
  EXPECT_EQ(devices_.FireCid2(u"1", u"111", u""), 0);
}

TEST_F(EngineTest, StopWithNothingToReleaseStillSucceeds) {
  EXPECT_TRUE(engine_.SwitchCallerId(false));
  EXPECT_THAT(Take(), ElementsAre("udp close"));
  EXPECT_FALSE(engine_.CallerIdRunning());
}

TEST_F(EngineTest, FailureWhileStoppingReachesTheCaller) {
  RunWith(2);
  line_.close_failure = u"COM Port Error: Unable to close";
  Store(kCallerIdKullan, u"False");
  EXPECT_THROW(engine_.ApplySettings(window_), Failure);
  EXPECT_THAT(Take(), ElementsAre("udp close"));
}

// --- closing --------------------------------------------------------------

TEST_F(EngineTest, ClosingDisconnectsTheArgControlBeforeStopping) {
  window_.arg_device_kind = 1;
  RunWith(1);
  Store(kCallerIdType, u"0");  // whatever is stored
  engine_.ClosingStep();
  const Journal journal = Take();
  EXPECT_THAT(journal, UnorderedElementsAre("ARG Disconnect", "udp close",
                                            "ARG release"));
  // Released while connected, the device could stay busy for the next
  // program.
  EXPECT_TRUE(Before(journal, "ARG Disconnect", "ARG release"));
  EXPECT_FALSE(engine_.CallerIdRunning());
}

TEST_F(EngineTest, ClosingWithoutArgControlOnlyStops) {
  RunWith(0);
  engine_.ClosingStep();
  EXPECT_THAT(Take(), UnorderedElementsAre("udp close", "CID2 release"));
}

TEST_F(EngineTest, FailingDisconnectAtClosingLeavesBeforeTheStop) {
  window_.arg_device_kind = 1;
  RunWith(1);
  devices_.Fail("ARG Disconnect", u"Bağlantı kesilemedi");
  EXPECT_THROW(engine_.ClosingStep(), Failure);
  EXPECT_THAT(Take(), IsEmpty());
  EXPECT_TRUE(channel_.active);
  EXPECT_NE(arg_.Held(), nullptr);
}

// --- events ---------------------------------------------------------------

TEST_F(EngineTest, CallerIdEventsAreAnnouncedWithNumberAndLine) {
  RunWith(0);
  EXPECT_EQ(devices_.FireCid2(u"1", u"0532 123 45 67", u"01.02 10:15"), 1);
  EXPECT_THAT(Take(), ElementsAre("announce number=0532 123 45 67 line=1"));

  window_.arg_device_kind = 1;
  RunWith(1);
  EXPECT_EQ(devices_.FireArg(u"05321234567", u"2"), 1);
  EXPECT_THAT(Take(), ElementsAre("announce number=05321234567 line=2"));
}

}  // namespace
}  // namespace orvanta
