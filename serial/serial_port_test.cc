#include "serial/serial_port.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "base/failure.h"
#include "base/text.h"
#include "base/ui_handover.h"
#include "serial/test/fake_com_device.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The test thread plays the user-interface thread.
class ComPortTest : public ::testing::Test {
 protected:
  ComPortTest()
      : line(std::make_shared<FakeComLine>()),
        port(ui, std::make_unique<FakeComDevice>(line)) {}

  // Serves hand-overs until `done` holds.
  void ServeUntil(const std::function<bool()>& done) { ui.ServeUntil(done); }

  // Lets the port deliver `bytes` and serves until the handler has seen them.
  void Deliver(const std::string& bytes) {
    const size_t before = received.size();
    line->Receive(bytes);
    // Also stops when the event thread ended, so a port that stopped
    // delivering fails the test instead of hanging it.
    ServeUntil(
        [&] { return received.size() > before || !port.EventThreadRunning(); });
  }

  void RecordReceives() {
    port.SetOnReceive(
        [this](std::string_view chunk) { received.emplace_back(chunk); });
  }

  UiHandover ui;
  std::shared_ptr<FakeComLine> line;
  SerialPort port;
  std::vector<std::string> received;
};

TEST_F(ComPortTest, OpenAndCloseTalkToTheDeviceInOrder) {
  port.Open();
  EXPECT_TRUE(port.Connected());
  EXPECT_TRUE(port.EventThreadRunning());
  EXPECT_THAT(
      line->Calls(),
      ElementsAre("Open COM1", "SetupQueues 1024 1024", "SetState",
                  "SetTimeouts", "CreateWaitObjects", "SetEventMask 0x5ff",
                  "ModemStatus", "ModemStatus", "ModemStatus"));
  ComDeviceState expected;  // 9600 8N1, only fBinary, limits 256, 17/19
  expected.xon_lim = 256;
  expected.xoff_lim = 256;
  EXPECT_EQ(line->last_state, expected);
  EXPECT_EQ(line->last_timeouts, ComDeviceTimeouts{});
  EXPECT_EQ(line->last_timeouts.read_interval, 0xFFFFFFFFu);

  line->ClearCalls();
  port.Close();
  EXPECT_FALSE(port.Connected());
  EXPECT_FALSE(port.EventThreadRunning());
  EXPECT_THAT(line->Calls(),
              ElementsAre("Purge 0x3", "SignalStop", "SetEventMask 0x0",
                          "Purge 0xc", "ReleaseWaitObjects", "Close"));
}

TEST_F(ComPortTest, OpenWhenOpenAndCloseWhenClosedDoNothing) {
  port.Close();
  EXPECT_THAT(line->Calls(), IsEmpty());
  port.Open();
  line->ClearCalls();
  port.Open();
  EXPECT_THAT(line->Calls(), IsEmpty());
  port.Close();
  line->ClearCalls();
  port.Close();
  EXPECT_THAT(line->Calls(), IsEmpty());
}

TEST_F(ComPortTest, NoEventsNoThread) {
  port.SetEvents({});
  port.Open();
  EXPECT_FALSE(port.EventThreadRunning());
  EXPECT_EQ(line->CountOf("CreateWaitObjects"), 0);
  EXPECT_EQ(line->CountOf("SetEventMask"), 0);
  port.Close();
  EXPECT_EQ(line->CountOf("SignalStop"), 0);
}

TEST_F(ComPortTest, FailureKindTexts) {
  EXPECT_EQ(ComFailureText(1), u"Unable to open com port");
  EXPECT_EQ(ComFailureText(8), u"SetCommTimeouts failed");
  EXPECT_EQ(ComFailureText(19),
            u"Cannot change led state if ComPort is selected");
  EXPECT_EQ(ComFailureText(22), u"A component is linked to OnRxBuf event");
  EXPECT_EQ(ComFailureText(23), u"Registry error");
  EXPECT_EQ(ComFailureText(0), u"Unknown Error #0");
  EXPECT_EQ(ComFailureText(24), u"Unknown Error #24");
  EXPECT_EQ(ComFailureText(-3), u"Unknown Error #-3");
  EXPECT_EQ(SerialPortError::ForPort(u"COM1", 16).message(),
            u"COM1 Error: Failed to store settings");
  const SerialPortSystemError ext =
      SerialPortSystemError::ForCall(u"EnumComPorts", 23, 2);
  EXPECT_EQ(ext.message(), u"COM Port Error: Registry error on EnumComPorts");
  EXPECT_EQ(ext.WinCode(), 2u);
  EXPECT_EQ(ext.Kind(), 23);
}

struct OpenFailure {
  const char* call;
  int kind;
  const char16_t* message;
  bool stays_connected;
};

class ComPortOpenFailureTest
    : public ComPortTest,
      public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(ComPortOpenFailureTest, RaisesTheKindAndLeavesThePortAsDocumented) {
  const OpenFailure& f = GetParam();
  line->FailCall(f.call, 31);
  try {
    port.Open();
    FAIL() << "Open succeeded";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), f.kind);
    EXPECT_EQ(e.message(), f.message);
    EXPECT_EQ(e.WinCode(), 31u);
  }
  EXPECT_EQ(port.Connected(), f.stays_connected);
  if (!f.stays_connected && std::string(f.call) != "Open") {
    EXPECT_EQ(line->Calls().back(), "Close");  // the handle did not leak
  }
  // A later Open tries again.
  line->FailCall(f.call, 0);
  port.Open();
  EXPECT_TRUE(port.Connected());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ComPortOpenFailureTest,
    ::testing::Values(
        OpenFailure{"Open", 1,
                    u"COM Port Error: Unable to open com port on COM1", false},
        OpenFailure{"SetupQueues", 9,
                    u"COM Port Error: SetupComm function failed on COM1",
                    false},
        OpenFailure{"SetState", 7,
                    u"COM Port Error: SetCommState function failed on COM1",
                    false},
        OpenFailure{"SetTimeouts", 8,
                    u"COM Port Error: SetCommTimeouts failed on COM1", false},
        OpenFailure{
            "ModemStatus", 11,
            u"COM Port Error: GetCommModemStatus function failed on COM1",
            true}));

TEST_F(ComPortTest, FailedPurgeOnCloseStillClosesThePort) {
  port.Open();
  line->FailCall("Purge", 6);
  try {
    port.Close();
    FAIL() << "Close succeeded";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), 5);
    EXPECT_EQ(e.message(),
              u"COM Port Error: PurgeComm function failed on COM1");
  }
  EXPECT_FALSE(port.Connected());
  EXPECT_FALSE(port.EventThreadRunning());
  EXPECT_EQ(line->Calls().back(), "Close");
  line->FailCall("Purge", 0);
  port.Open();
  EXPECT_TRUE(port.Connected());
}

TEST_F(ComPortTest, ReadFailuresAndRefusals) {
  port.Open();
  line->RefuseReads(995);
  std::string text = "old";
  EXPECT_EQ(port.ReadBytes(text, 4), 0);
  EXPECT_EQ(text, "");
  EXPECT_EQ(port.ReadAsyncErrorCount(), 1);
  EXPECT_EQ(port.ReadAsyncLastError(), 995u);
  line->RefuseReads(0);
  line->FailCall("Read", 5);
  try {
    port.ReadBytes(text, 4);
    FAIL() << "ReadBytes succeeded";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), 3);
    EXPECT_EQ(e.message(), u"COM Port Error: ReadFile function failed on COM1");
  }
}

TEST_F(ComPortTest, PropertiesThatCannotChangeWhileConnected) {
  port.Open();
  try {
    port.SetSyncMethod(TSyncMethod::smNone);
    FAIL() << "changed while connected";
  } catch (const SerialPortError& e) {
    EXPECT_EQ(e.Kind(), 14);
    EXPECT_EQ(e.message(), u"COM1 Error: Cannot set property while connected");
  }
  EXPECT_THROW(port.SetEventThreadPriority(ThreadPriority::tpHigher),
               SerialPortError);
  port.SetSyncMethod(TSyncMethod::smThreadSync);  // unchanged: fine
  port.Close();
  port.SetEventThreadPriority(ThreadPriority::tpHigher);
  EXPECT_EQ(port.EventThreadPriority(), ThreadPriority::tpHigher);
}

TEST_F(ComPortTest, SettersApplyAtOnceOnAnOpenPortOnly) {
  port.SetBaudRate(TBaudRate::br19200);  // closed: stored only
  EXPECT_THAT(line->Calls(), IsEmpty());
  port.Open();
  EXPECT_EQ(line->last_state.baud_rate, 19200u);
  line->ClearCalls();

  port.SetBaudRate(TBaudRate::br19200);  // the value already held
  port.Parity().SetBits(TParityBits::prNone);
  EXPECT_THAT(line->Calls(), IsEmpty());

  port.SetDataBits(TDataBits::dbSeven);
  port.Parity().SetBits(TParityBits::prEven);
  port.FlowControl().SetXonChar(0x11 + 1);
  port.SetDiscardNull(true);
  port.Timeouts().SetReadTotalConstant(5);
  port.Buffer().SetInputSize(2048);
  EXPECT_THAT(line->Calls(),
              ElementsAre("SetState", "SetState", "SetState", "SetState",
                          "SetTimeouts", "SetupQueues 2048 1024"));
  EXPECT_EQ(line->last_state.byte_size, 7);
  EXPECT_EQ(line->last_state.parity, 2);
  EXPECT_EQ(line->last_state.xon_char, 0x12);
  EXPECT_TRUE(line->last_state.discard_null);
  EXPECT_EQ(line->last_timeouts.read_total_constant, 5u);
}

TEST_F(ComPortTest, UpdateBracketAppliesOnceAtTheOutermostEnd) {
  port.Open();
  line->ClearCalls();
  port.BeginUpdate();
  port.BeginUpdate();
  port.SetBaudRate(TBaudRate::br38400);
  port.SetStopBits(TStopBits::sbTwoStopBits);
  port.Timeouts().SetReadInterval(10);
  port.EndUpdate();
  EXPECT_THAT(line->Calls(), IsEmpty());
  port.EndUpdate();
  EXPECT_THAT(line->Calls(),
              ElementsAre("SetupQueues 1024 1024", "SetState", "SetTimeouts"));
  EXPECT_EQ(line->last_state.baud_rate, 38400u);
  EXPECT_EQ(line->last_state.stop_bits, 2);

  line->ClearCalls();
  port.EndUpdate();  // no bracket open: nothing
  EXPECT_EQ(port.UpdateCount(), 0);
  EXPECT_THAT(line->Calls(), IsEmpty());
}

TEST_F(ComPortTest, PortChangeReopensAtOnceEvenInsideABracket) {
  port.Open();
  line->ClearCalls();
  port.BeginUpdate();
  port.SetPort(u"COM2");
  const auto calls = line->Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front(), "Purge 0x3");
  EXPECT_NE(std::find(calls.begin(), calls.end(), "Close"), calls.end());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "Open COM2"), calls.end());
  EXPECT_TRUE(port.Connected());
  port.EndUpdate();

  // A new name that cannot be opened leaves the port closed.
  line->FailCall("Open", 2);
  try {
    port.SetPort(u"COM9");
    FAIL() << "reopened";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.message(), u"COM Port Error: Unable to open com port on COM9");
  }
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.Port(), u"COM9");
}

TEST_F(ComPortTest, DeviceStateBlockFromTheParameters) {
  port.SetCustomBaudRate(12345);
  EXPECT_EQ(port.DeviceState().baud_rate, 9600u);  // not brCustom
  port.SetBaudRate(TBaudRate::brCustom);
  EXPECT_EQ(port.DeviceState().baud_rate, 12345u);

  port.Buffer().SetInputSize(1023);
  EXPECT_EQ(port.DeviceState().xon_lim, 255);
  EXPECT_EQ(port.DeviceState().xoff_lim, 255);

  // The replacement character only counts with parity checking on.
  port.Parity().SetReplace(true);
  port.Parity().SetReplaceChar('?');
  EXPECT_FALSE(port.DeviceState().error_char_enabled);
  EXPECT_EQ(port.DeviceState().error_char, 0);
  port.Parity().SetCheck(true);
  EXPECT_TRUE(port.DeviceState().parity_check);
  EXPECT_TRUE(port.DeviceState().error_char_enabled);
  EXPECT_EQ(port.DeviceState().error_char, '?');

  port.FlowControl().SetControlDTR(TDTRFlowControl::dtrHandshake);
  port.FlowControl().SetControlRTS(TRTSFlowControl::rtsToggle);
  port.Parity().SetBits(TParityBits::prSpace);
  port.SetStopBits(TStopBits::sbOne5StopBits);
  port.SetDataBits(TDataBits::dbFive);
  port.SetEventChar(13);
  const ComDeviceState s = port.DeviceState();
  EXPECT_EQ(s.dtr_control, 2);
  EXPECT_EQ(s.rts_control, 3);
  EXPECT_EQ(s.parity, 4);
  EXPECT_EQ(s.stop_bits, 1);
  EXPECT_EQ(s.byte_size, 5);
  EXPECT_EQ(s.evt_char, 13);
  EXPECT_TRUE(s.binary);
}

TEST(ComPortFlowControl, SummaryReading) {
  UiHandover ui;
  SerialPort port(
      ui, std::make_unique<FakeComDevice>(std::make_shared<FakeComLine>()));
  SerialFlowControl& fc = port.FlowControl();
  EXPECT_EQ(fc.FlowControl(), TFlowControl::fcNone);
  fc.SetControlDTR(TDTRFlowControl::dtrEnable);  // DTR and DSR play no part
  fc.SetOutDSRFlow(true);
  EXPECT_EQ(fc.FlowControl(), TFlowControl::fcNone);
  fc.SetControlRTS(TRTSFlowControl::rtsHandshake);
  EXPECT_EQ(fc.FlowControl(), TFlowControl::fcCustom);
  fc.SetOutCTSFlow(true);
  EXPECT_EQ(fc.FlowControl(), TFlowControl::fcHardware);
  fc.SetXonXoffIn(true);
  EXPECT_EQ(fc.FlowControl(), TFlowControl::fcCustom);
  fc.SetControlRTS(TRTSFlowControl::rtsDisable);
  fc.SetOutCTSFlow(false);
  EXPECT_EQ(fc.FlowControl(),
            TFlowControl::fcCustom);  // only one XON/XOFF flag
  fc.SetXonXoffOut(true);
  EXPECT_EQ(fc.FlowControl(), TFlowControl::fcSoftware);
  fc.SetControlRTS(TRTSFlowControl::rtsEnable);
  EXPECT_EQ(fc.FlowControl(), TFlowControl::fcCustom);
}

TEST_F(ComPortTest, SettingTheSummary) {
  SerialFlowControl& fc = port.FlowControl();
  fc.SetFlowControl(TFlowControl::fcHardware);
  EXPECT_EQ(fc.ControlRTS(), TRTSFlowControl::rtsHandshake);
  EXPECT_TRUE(fc.OutCTSFlow());
  fc.SetXonXoffIn(true);
  fc.SetControlDTR(TDTRFlowControl::dtrEnable);
  fc.SetFlowControl(TFlowControl::fcSoftware);
  EXPECT_EQ(fc.ControlRTS(), TRTSFlowControl::rtsDisable);
  EXPECT_FALSE(fc.OutCTSFlow());
  EXPECT_TRUE(fc.XonXoffIn());
  EXPECT_TRUE(fc.XonXoffOut());
  EXPECT_EQ(fc.ControlDTR(), TDTRFlowControl::dtrEnable);  // untouched
  fc.SetFlowControl(TFlowControl::fcCustom);               // changes nothing
  EXPECT_EQ(fc.FlowControl(), TFlowControl::fcSoftware);
  fc.SetFlowControl(TFlowControl::fcNone);
  EXPECT_FALSE(fc.XonXoffIn() || fc.XonXoffOut() || fc.OutCTSFlow());
  EXPECT_EQ(fc.FlowControl(), TFlowControl::fcNone);

  // On an open port every setting of the summary applies the state once,
  // also when it changes nothing.
  port.Open();
  line->ClearCalls();
  fc.SetFlowControl(TFlowControl::fcNone);
  fc.SetFlowControl(TFlowControl::fcCustom);
  EXPECT_THAT(line->Calls(), ElementsAre("SetState", "SetState"));
  port.BeginUpdate();
  fc.SetFlowControl(TFlowControl::fcHardware);
  EXPECT_THAT(line->Calls(), ElementsAre("SetState", "SetState"));
  port.EndUpdate();
  EXPECT_EQ(line->last_state.rts_control, 2);
  EXPECT_TRUE(line->last_state.out_cts_flow);
}

TEST(ComEvents, PlatformMask) {
  EXPECT_EQ(EventsToMask(kAllComEvents), 0x05FFu);
  EXPECT_EQ(MaskToEvents(0x05FF), kAllComEvents);
  EXPECT_EQ(EventsToMask({SerialEvent::evRxChar, SerialEvent::evError}),
            0x0081u);
  EXPECT_EQ(MaskToEvents(0x0001 | 0x0400),
            SerialEvents({SerialEvent::evRxChar, SerialEvent::evRx80Full}));
}

TEST_F(ComPortTest, BytesReceivedReachTheHandlerOnTheUserInterfaceThread) {
  const auto ui_thread = std::this_thread::get_id();
  std::thread::id ran_on;
  port.SetOnReceive([&](std::string_view chunk) {
    ran_on = std::this_thread::get_id();
    received.emplace_back(chunk);
  });
  port.Open();
  Deliver("S12");
  Deliver("345E");
  EXPECT_EQ(ran_on, ui_thread);
  EXPECT_THAT(received, ElementsAre("S12", "345E"));

  // Line events without waiting bytes raise no notification.
  line->Signal(kEvRxChar | kEvCts);
  Deliver("x");
  EXPECT_THAT(received, ElementsAre("S12", "345E", "x"));
}

TEST_F(ComPortTest, CloseServesAHandOverAlreadyOnItsWay) {
  std::mutex mutex;
  std::condition_variable woken_cv;
  bool woken = false;
  ui.SetWake([&] {
    std::lock_guard<std::mutex> lock(mutex);
    woken = true;
    woken_cv.notify_all();
  });
  RecordReceives();
  port.Open();
  line->Receive("12345");
  {
    // The event thread now waits for the UI thread to run the dispatch.
    std::unique_lock<std::mutex> lock(mutex);
    woken_cv.wait(lock, [&] { return woken; });
  }
  port.Close();
  EXPECT_FALSE(port.Connected());
  EXPECT_THAT(received, ElementsAre("12345"));
  EXPECT_EQ(line->Calls().back(), "Close");
}

TEST_F(ComPortTest, FailingHandlerIsReportedAndTheNextCallStillArrives) {
  std::vector<std::u16string> reports;
  bool fail = true;
  port.SetOnReceive([&](std::string_view chunk) {
    received.emplace_back(chunk);
    if (fail) throw Failure(u"Socket Error # 10051\r\nNetwork is unreachable.");
  });
  port.SetOnFailure([&](const std::u16string& message) {
    reports.push_back(message);
    // The report is a modal box with its own message loop, during which
    // the port keeps delivering: the event thread is not waiting for it.
    fail = false;
    Deliver("second");
  });
  port.Open();
  Deliver("first");
  EXPECT_THAT(reports,
              ElementsAre(u"Socket Error # 10051\r\nNetwork is unreachable."));
  EXPECT_THAT(received, ElementsAre("first", "second"));
  EXPECT_TRUE(port.EventThreadRunning());
  Deliver("third");
  EXPECT_EQ(reports.size(), 1u);
}

TEST_F(ComPortTest, WithoutAReportHandlerFailuresGoToTheHandOversSink) {
  std::vector<std::u16string> sink;
  ui.SetFailureSink([&](const std::u16string& m) { sink.push_back(m); });
  port.SetOnReceive([](std::string_view) { throw Failure(u"boom"); });
  port.Open();
  line->Receive("x");
  ServeUntil([&] { return !sink.empty(); });
  EXPECT_THAT(sink, ElementsAre(u"boom"));
}

TEST_F(ComPortTest, DeviceThatGoesAwayIsReportedOnceAndTheThreadEnds) {
  std::vector<std::string> events;
  port.SetOnFailure([&](const std::u16string& m) {
    events.push_back("report " + Utf16ToUtf8(m));
  });
  port.SetOnDeviceLost([&](const std::u16string& m) {
    events.push_back("lost " + Utf16ToUtf8(m));
    EXPECT_TRUE(port.Connected());  // until whoever waits for it closes it
    port.Close();
  });
  RecordReceives();
  port.Open();
  Deliver("ab");
  line->FailWait(1167);  // ERROR_DEVICE_NOT_CONNECTED
  ServeUntil([&] { return !port.EventThreadRunning(); });
  ui.ServePending();
  // Whoever takes the loss reports it; the port does not.
  EXPECT_THAT(
      events,
      ElementsAre("lost COM Port Error: WaitForEvent method failed on COM1"));
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(line->CountOf("ReleaseWaitObjects"), 1);

  // Opening again starts afresh.
  port.Open();
  Deliver("cd");
  EXPECT_THAT(received, ElementsAre("ab", "cd"));
  EXPECT_EQ(events.size(), 1u);
}

TEST_F(ComPortTest, FailingInputCountEndsTheThreadWithOneReport) {
  std::vector<std::u16string> reports;
  port.SetOnFailure([&](const std::u16string& m) { reports.push_back(m); });
  RecordReceives();
  port.Open();
  line->FailCall("ClearErrors", 22);
  line->Receive("lost");
  ServeUntil([&] { return !port.EventThreadRunning(); });
  ui.ServePending();
  EXPECT_THAT(
      reports,
      ElementsAre(u"COM Port Error: ClearCommError function failed on COM1"));
  EXPECT_THAT(received, IsEmpty());
  // The thread ended where the dispatch failed: no tidying of the device.
  EXPECT_EQ(line->CountOf("SetEventMask"), 1);
  port.Close();
}

TEST_F(ComPortTest, LossOfADeviceClosedMeanwhileIsOnlyReported) {
  std::vector<std::u16string> reports;
  int losses = 0;
  port.SetOnFailure([&](const std::u16string& m) { reports.push_back(m); });
  port.SetOnDeviceLost([&](const std::u16string&) { ++losses; });
  port.Open();
  line->FailWait(1167);
  // The thread has ended and its news is queued, not yet served.
  while (port.EventThreadRunning()) std::this_thread::yield();
  port.Close();  // serves the queue while it stops the thread
  ui.ServePending();
  EXPECT_EQ(losses, 0);
  EXPECT_EQ(reports.size(), 1u);

  // Neither does a loss reach a port opened again since.
  port.Open();
  line->FailWait(1167);
  while (port.EventThreadRunning()) std::this_thread::yield();
  port.Close();
  port.Open();
  ui.ServePending();
  EXPECT_EQ(losses, 0);
  EXPECT_EQ(reports.size(), 2u);
  EXPECT_TRUE(port.Connected());
}

TEST_F(ComPortTest, PortHeldByAnotherProgramSaysSo) {
  line->HoldElsewhere(16);  // EBUSY
  port.SetPort(u"ttyUSB0");
  try {
    port.Open();
    FAIL() << "opened";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), 1);
    EXPECT_EQ(e.WinCode(), 16u);
    EXPECT_EQ(
        ErrorReportText(e.message()),
        u"COM Port Error: Unable to open com port on ttyUSB0. The port is in "
        u"use by another program.");
  }
  EXPECT_FALSE(port.Connected());
  line->HoldElsewhere(0);
  port.Open();
  EXPECT_TRUE(port.Connected());
}

TEST(ComPortLifetime, DestroyingAnOpenPortClosesIt) {
  UiHandover ui;
  auto line = std::make_shared<FakeComLine>();
  {
    SerialPort port(ui, std::make_unique<FakeComDevice>(line));
    port.Open();
  }
  EXPECT_EQ(line->Calls().back(), "Close");
}

}  // namespace
}  // namespace orvanta
