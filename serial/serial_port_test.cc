// The port over a fake device: what it opens with which line settings,
// what it reads and hands over, what it reports.

#include "serial/serial_port.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "base/failure.h"
#include "base/text.h"
#include "base/ui_handover.h"
#include "serial/test/fake_serial_device.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The message of the SerialPortSystemError `step` raises, and its code.
template <typename Step>
std::pair<std::u16string, uint32_t> SystemFailureOf(Step step) {
  try {
    step();
  } catch (const SerialPortSystemError& e) {
    return {e.message(), e.SystemErrorCode()};
  }
  return {u"<no failure>", 0};
}

// The test thread plays the user-interface thread.
class SerialPortTest : public ::testing::Test {
 protected:
  SerialPortTest()
      : hardware(std::make_shared<FakeSerialHardware>()),
        port(ui, std::make_unique<FakeSerialDevice>(hardware)) {
    port.SetOnReceive(
        [this](std::string_view chunk) { received.emplace_back(chunk); });
  }

  // Lets `bytes` arrive and serves until the handler has seen them (or the
  // event thread ended, so a port that stopped delivering fails the test
  // instead of hanging it).
  void Deliver(const std::string& bytes) {
    const size_t before = received.size();
    hardware->Arrive(bytes);
    ui.ServeUntil(
        [&] { return received.size() > before || !port.EventThreadRunning(); });
  }

  UiHandover ui;
  std::shared_ptr<FakeSerialHardware> hardware;
  SerialPort port;
  std::vector<std::string> received;
};

TEST_F(SerialPortTest, OpensTheDeviceWithItsLineAndClosesIt) {
  port.Open();
  EXPECT_TRUE(port.Connected());
  EXPECT_TRUE(port.EventThreadRunning());
  EXPECT_TRUE(hardware->IsOpen());
  // 9600 8N1 without flow control, DTR and RTS low, on COM1.
  EXPECT_EQ(hardware->Line(), LineSettings{});
  EXPECT_EQ(hardware->Line()->port, u"COM1");
  EXPECT_EQ(hardware->Line()->BitsPerSecond(), 9600u);

  // Open when open, and Close when closed, do nothing.
  port.Open();
  EXPECT_EQ(hardware->Opens(), 1);
  port.Close();
  EXPECT_FALSE(port.Connected());
  EXPECT_FALSE(port.EventThreadRunning());
  EXPECT_FALSE(hardware->IsOpen());
  port.Close();
  EXPECT_FALSE(hardware->IsOpen());
}

TEST_F(SerialPortTest, FailuresToOpenLeaveThePortClosedForALaterTry) {
  struct Case {
    SerialFailure step;
    const char16_t* message;
  };
  const Case cases[] = {
      {SerialFailure::kOpen,
       u"COM Port Error: Unable to open com port on COM1"},
      {SerialFailure::kLineSettings,
       u"COM Port Error: SetCommState function failed on COM1"},
  };
  for (const Case& c : cases) {
    hardware->Fail(c.step, 31);
    EXPECT_EQ(SystemFailureOf([&] { port.Open(); }),
              std::make_pair(std::u16string(c.message), 31u));
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(hardware->IsOpen());
    hardware->Fail(c.step, 0);
    port.Open();
    EXPECT_TRUE(port.Connected());
    port.Close();
  }
}

TEST_F(SerialPortTest, PortHeldByAnotherProgramSaysSo) {
  hardware->HoldElsewhere(16);  // EBUSY
  port.SetLine({.port = u"ttyUSB0"});
  try {
    port.Open();
    FAIL() << "opened";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), SerialFailure::kOpen);
    EXPECT_EQ(e.SystemErrorCode(), 16u);
    EXPECT_EQ(
        ErrorReportText(e.message()),
        u"COM Port Error: Unable to open com port on ttyUSB0. The port is in "
        u"use by another program.");
  }
  EXPECT_FALSE(port.Connected());
  hardware->HoldElsewhere(0);
  port.Open();
  EXPECT_TRUE(port.Connected());
}

TEST_F(SerialPortTest, FailingToEndIoStillClosesThePort) {
  port.Open();
  hardware->Fail(SerialFailure::kAbortIo, 6);
  EXPECT_EQ(SystemFailureOf([&] { port.Close(); }).first,
            u"COM Port Error: PurgeComm function failed on COM1");
  EXPECT_FALSE(port.Connected());
  EXPECT_FALSE(port.EventThreadRunning());
  EXPECT_FALSE(hardware->IsOpen());
  port.Open();
  EXPECT_TRUE(port.Connected());
}

TEST_F(SerialPortTest, NewLineSettingsReachAnOpenDeviceAtOnce) {
  port.SetLine({.baud_rate = BaudRate::k19200});  // closed: held only
  EXPECT_FALSE(hardware->Line());
  port.Open();
  EXPECT_EQ(hardware->Line()->BitsPerSecond(), 19200u);

  LineSettings line = port.Line();
  line.data_bits = DataBits::kSeven;
  line.parity = Parity::kEven;
  line.flow_control = FlowControl::kHardware;
  port.SetLine(line);
  EXPECT_EQ(hardware->Line(), line);
  EXPECT_EQ(hardware->Opens(), 1);

  // Refused: the port stays open with the settings held.
  line.baud_rate = BaudRate::kCustom;
  line.custom_baud_rate = -1;
  hardware->Fail(SerialFailure::kLineSettings, 87);
  EXPECT_EQ(SystemFailureOf([&] { port.SetLine(line); }).first,
            u"COM Port Error: SetCommState function failed on COM1");
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(port.Line(), line);
}

TEST_F(SerialPortTest, ANewDeviceNameReopensAtOnce) {
  port.Open();
  Deliver("a");
  port.SetLine({.port = u"COM2", .baud_rate = BaudRate::k2400});
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(hardware->Opens(), 2);
  EXPECT_EQ(hardware->Line()->port, u"COM2");
  EXPECT_EQ(hardware->Line()->BitsPerSecond(), 2400u);
  Deliver("b");
  EXPECT_THAT(received, ElementsAre("a", "b"));

  // A new name that cannot be opened leaves the port closed under it.
  hardware->Fail(SerialFailure::kOpen, 2);
  EXPECT_EQ(SystemFailureOf([&] { port.SetLine({.port = u"COM9"}); }).first,
            u"COM Port Error: Unable to open com port on COM9");
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.Line().port, u"COM9");
}

TEST_F(SerialPortTest, WriteSendsTheBytesOrRaisesTheWriteFailure) {
  port.Open();
  port.Write("AT+VCID=1\r");
  port.Write("");
  port.Write("ATZ\r");
  EXPECT_EQ(hardware->Written(), "AT+VCID=1\rATZ\r");

  hardware->Fail(SerialFailure::kWrite, 1460);  // ERROR_TIMEOUT
  try {
    port.Write("AT\r");
    FAIL() << "written";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), SerialFailure::kWrite);
    EXPECT_EQ(e.SystemErrorCode(), 1460u);
    EXPECT_EQ(e.message(),
              u"COM Port Error: WriteFile function failed on COM1");
  }
  EXPECT_TRUE(port.Connected());

  // A closed port has no device to write to.
  hardware->Fail(SerialFailure::kWrite, 0);
  port.Close();
  EXPECT_THROW(port.Write("AT\r"), SerialPortSystemError);
  EXPECT_EQ(hardware->Written(), "AT+VCID=1\rATZ\r");
}

TEST_F(SerialPortTest, ModemControlIsALineSettingOfItsOwn) {
  port.SetModemControl(true);
  port.Open();
  EXPECT_TRUE(hardware->Line()->modem_control);
  // Taking on other settings keeps it, as the settings file does.
  LineSettings line = port.Line();
  line.flow_control = FlowControl::kHardware;
  port.SetLine(line);
  EXPECT_TRUE(hardware->Line()->modem_control);
  port.SetModemControl(false);
  EXPECT_FALSE(hardware->Line()->modem_control);
  EXPECT_EQ(hardware->Line()->flow_control, FlowControl::kHardware);
}

TEST_F(SerialPortTest, BytesReachTheHandlerOnTheUserInterfaceThread) {
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
}

TEST_F(SerialPortTest, CloseServesAHandOverAlreadyOnItsWay) {
  std::mutex mutex;
  std::condition_variable woken_cv;
  bool woken = false;
  ui.SetWake([&] {
    std::lock_guard<std::mutex> lock(mutex);
    woken = true;
    woken_cv.notify_all();
  });
  port.Open();
  hardware->Arrive("12345");
  {
    // The event thread now waits for the UI thread to take the chunk.
    std::unique_lock<std::mutex> lock(mutex);
    woken_cv.wait(lock, [&] { return woken; });
  }
  port.Close();
  EXPECT_FALSE(port.Connected());
  EXPECT_THAT(received, ElementsAre("12345"));
}

TEST_F(SerialPortTest, FailingHandlerIsReportedAndTheNextCallStillArrives) {
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

TEST_F(SerialPortTest, WithoutAReportHandlerFailuresGoToTheHandOversSink) {
  std::vector<std::u16string> sink;
  ui.SetFailureSink([&](const std::u16string& m) { sink.push_back(m); });
  port.SetOnReceive([](std::string_view) { throw Failure(u"boom"); });
  port.Open();
  hardware->Arrive("x");
  ui.ServeUntil([&] { return !sink.empty(); });
  EXPECT_THAT(sink, ElementsAre(u"boom"));
}

TEST_F(SerialPortTest, DeviceThatGoesAwayIsReportedOnceAndTheThreadEnds) {
  std::vector<std::string> events;
  port.SetOnFailure([&](const std::u16string& m) {
    events.push_back("report " + Utf16ToUtf8(m));
  });
  port.SetOnDeviceLost([&](const std::u16string& m) {
    events.push_back("lost " + Utf16ToUtf8(m));
    EXPECT_TRUE(port.Connected());  // until whoever waits for it closes it
    port.Close();
  });
  port.Open();
  Deliver("ab");
  hardware->Unplug(1167);  // ERROR_DEVICE_NOT_CONNECTED
  ui.ServeUntil([&] { return !port.EventThreadRunning(); });
  ui.ServePending();
  // Whoever takes the loss reports it; the port does not.
  EXPECT_THAT(
      events,
      ElementsAre("lost COM Port Error: WaitForEvent method failed on COM1"));
  EXPECT_FALSE(port.Connected());
  EXPECT_FALSE(hardware->IsOpen());

  // Opening again starts afresh.
  port.Open();
  Deliver("cd");
  EXPECT_THAT(received, ElementsAre("ab", "cd"));
  EXPECT_EQ(events.size(), 1u);
}

TEST_F(SerialPortTest, FailingReadsEndTheThreadWithOneReport) {
  struct Case {
    SerialFailure step;
    const char16_t* message;
  };
  const Case cases[] = {
      {SerialFailure::kInputCount,
       u"COM Port Error: ClearCommError function failed on COM1"},
      {SerialFailure::kRead,
       u"COM Port Error: ReadFile function failed on COM1"},
  };
  for (const Case& c : cases) {
    std::vector<std::u16string> reports;
    port.SetOnFailure([&](const std::u16string& m) { reports.push_back(m); });
    port.Open();
    hardware->Fail(c.step, 22);
    hardware->Arrive("lost");
    ui.ServeUntil([&] { return !port.EventThreadRunning(); });
    ui.ServePending();
    EXPECT_THAT(reports, ElementsAre(c.message));
    EXPECT_THAT(received, IsEmpty());
    port.Close();
    hardware->Fail(c.step, 0);
  }
}

TEST_F(SerialPortTest, LossOfADeviceClosedMeanwhileIsOnlyReported) {
  std::vector<std::u16string> reports;
  int losses = 0;
  port.SetOnFailure([&](const std::u16string& m) { reports.push_back(m); });
  port.SetOnDeviceLost([&](const std::u16string&) { ++losses; });
  port.Open();
  hardware->Unplug(1167);
  // The thread has ended and its news is queued, not yet served.
  while (port.EventThreadRunning()) std::this_thread::yield();
  port.Close();  // serves the queue while it stops the thread
  ui.ServePending();
  EXPECT_EQ(losses, 0);
  EXPECT_EQ(reports.size(), 1u);

  // Neither does a loss reach a port opened again since.
  port.Open();
  hardware->Unplug(1167);
  while (port.EventThreadRunning()) std::this_thread::yield();
  port.Close();
  port.Open();
  ui.ServePending();
  EXPECT_EQ(losses, 0);
  EXPECT_EQ(reports.size(), 2u);
  EXPECT_TRUE(port.Connected());
}

TEST(SerialPortLifetime, DestroyingAnOpenPortClosesIt) {
  UiHandover ui;
  auto hardware = std::make_shared<FakeSerialHardware>();
  {
    SerialPort port(ui, std::make_unique<FakeSerialDevice>(hardware));
    port.Open();
  }
  EXPECT_FALSE(hardware->IsOpen());
}

TEST(LineSettings, SpeedsAndValueTexts) {
  LineSettings line;
  line.custom_baud_rate = 31250;
  EXPECT_EQ(line.BitsPerSecond(), 9600u);  // not custom
  line.baud_rate = BaudRate::kCustom;
  EXPECT_EQ(line.BitsPerSecond(), 31250u);
  line.baud_rate = BaudRate::k256000;
  EXPECT_EQ(line.BitsPerSecond(), 256000u);

  EXPECT_EQ(BaudRateFromText(u"custom"), BaudRate::kCustom);
  EXPECT_EQ(ParityFromText(u"EVEN"), Parity::kEven);
  EXPECT_EQ(StopBitsFromText(u"1.5"), StopBits::kOneAndHalf);
  EXPECT_EQ(ParityFromText(u"none2"), std::nullopt);
  // "Custom" is in the flow-control list, but no value.
  EXPECT_EQ(FlowControlTexts().back(), u"Custom");
  EXPECT_EQ(FlowControlFromText(u"Custom"), std::nullopt);
  EXPECT_EQ(FlowControlFromText(u"hardware"), FlowControl::kHardware);
}

}  // namespace
}  // namespace orvanta
