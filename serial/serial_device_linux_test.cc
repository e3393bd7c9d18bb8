// The Linux back end for real, on a socat pseudo-terminal pair.

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "base/text.h"
#include "base/ui_handover.h"
#include "serial/serial_port.h"
#include "serial/termios2_linux.h"
#include "serial/test/socat_pty.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// What `stty -F <device> -a` reports.
std::string Stty(const std::string& device) {
  const std::string command = "stty -F " + device + " -a";
  FILE* out = popen(command.c_str(), "r");
  std::string text;
  char chunk[1024];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, out)) > 0) text.append(chunk, n);
  pclose(out);
  // Flags are separated by blanks or line breaks; one blank each, and one
  // in front, so that " cs8" matches any flag exactly.
  for (char& c : text) {
    if (c == '\n') c = ' ';
  }
  return " " + text;
}

class LinuxSerialDeviceTest : public ::testing::Test {
 protected:
  LinuxSerialDeviceTest() : port(ui) {
    SetLine({});
    port.SetOnReceive([this](std::string_view chunk) {
      counts.push_back(static_cast<int>(chunk.size()));
      received += chunk;
    });
    port.SetOnFailure(
        [this](const std::u16string& m) { reports.push_back(m); });
  }

  // `line` on the pseudo-terminal.
  void SetLine(LineSettings line) {
    line.port = Utf8ToUtf16(pty.device());
    port.SetLine(line);
  }

  // Serves notifications until `bytes` more have come in (or the event
  // thread ended, so a broken port fails instead of hanging the test).
  void Expect(size_t bytes) {
    const size_t want = received.size() + bytes;
    ui.ServeUntil(
        [&] { return received.size() >= want || !port.EventThreadRunning(); });
  }

  SocatPty pty;
  UiHandover ui;
  SerialPort port;
  std::vector<int> counts;
  std::string received;
  std::vector<std::u16string> reports;
};

TEST_F(LinuxSerialDeviceTest, LineSettingsReachTheDevice) {
  port.Open();
  std::string stty = Stty(pty.device());
  EXPECT_THAT(stty, HasSubstr("speed 9600 baud"));
  for (const char* flag :
       {" cs8", " -parenb", " -cstopb", " -crtscts", " -ixon", " -ixoff",
        " -icanon", " -echo", " -opost", " clocal"}) {
    EXPECT_THAT(stty, HasSubstr(flag)) << flag;
  }

  // Changed while open, all at once.
  SetLine({.baud_rate = BaudRate::k19200,
           .data_bits = DataBits::kSeven,  // (a pty stays at eight)
           .stop_bits = StopBits::kTwo,
           .parity = Parity::kOdd,
           .flow_control = FlowControl::kHardware});
  stty = Stty(pty.device());
  EXPECT_THAT(stty, HasSubstr("speed 19200 baud"));
  // A pseudo-terminal keeps eight data bits without a parity bit whatever
  // it is told; the other flags stay as set.
  for (const char* flag : {" parodd", " cstopb", " crtscts"}) {
    EXPECT_THAT(stty, HasSubstr(flag)) << flag;
  }

  SetLine({.parity = Parity::kSpace, .flow_control = FlowControl::kSoftware});
  stty = Stty(pty.device());
  for (const char* flag :
       {" ixon", " ixoff", " -crtscts", " cmspar", " -parodd"}) {
    EXPECT_THAT(stty, HasSubstr(flag)) << flag;
  }

  // A rate without a classic speed code goes through the arbitrary-rate
  // interface.
  SetLine({.baud_rate = BaudRate::kCustom, .custom_baud_rate = 12345});
  const int fd = open(pty.device().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(ReadOutputBaudRate(fd), 12345u);
  SetLine({.baud_rate = BaudRate::k56000});
  EXPECT_EQ(ReadOutputBaudRate(fd), 56000u);
  close(fd);

  // A speed the driver refuses.
  try {
    SetLine({.baud_rate = BaudRate::kCustom, .custom_baud_rate = -1});
    FAIL() << "accepted";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), SerialFailure::kLineSettings);
    EXPECT_EQ(e.SystemErrorCode(), static_cast<uint32_t>(EINVAL));
  }
}

TEST_F(LinuxSerialDeviceTest, BytesArriveAsChunks) {
  port.Open();
  pty.Write("S12345E");
  Expect(7);
  EXPECT_EQ(received, "S12345E");
  EXPECT_THAT(counts, ElementsAre(7));

  // Closed and opened again, the port goes on receiving.
  port.Close();
  EXPECT_FALSE(port.EventThreadRunning());
  port.Open();
  pty.Write("xy");
  Expect(2);
  EXPECT_EQ(received, "S12345Exy");
  EXPECT_TRUE(reports.empty());
}

TEST_F(LinuxSerialDeviceTest, EachArrivalIsHandedOverOnceWithItsBytes) {
  // No byte is handed over twice, and no chunk comes empty.
  std::vector<std::string> chunks;
  port.SetOnReceive(
      [&](std::string_view chunk) { chunks.emplace_back(chunk); });
  port.Open();
  pty.Write("abc");
  ui.ServeUntil([&] { return chunks.size() == 1; });
  pty.Write("de");
  ui.ServeUntil([&] { return chunks.size() == 2; });
  EXPECT_THAT(chunks, testing::ElementsAre("abc", "de"));
}

TEST_F(LinuxSerialDeviceTest, WrittenBytesReachTheFarEnd) {
  SetLine({.modem_control = true});  // (a pseudo-terminal has no lines)
  port.Open();
  port.Write("AT+VCID=1\r");
  port.Write("ATZ\r");
  EXPECT_EQ(pty.ReadFarEnd(14), "AT+VCID=1\rATZ\r");
  // And the answer comes back as usual.
  pty.Write("OK\r\n");
  Expect(4);
  EXPECT_EQ(received, "OK\r\n");
}

TEST_F(LinuxSerialDeviceTest, WriteToALineThatTakesNothingFailsInBoundedTime) {
  port.Open();
  // Nobody reads the far end: the queues fill up and stay full.
  const std::string flood(8 << 20, 'x');
  try {
    port.Write(flood);
    FAIL() << "all written";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), SerialFailure::kWrite);
    EXPECT_EQ(e.SystemErrorCode(), static_cast<uint32_t>(ETIMEDOUT));
  }
  EXPECT_TRUE(port.Connected());
}

TEST_F(LinuxSerialDeviceTest, DeviceThatCannotBeOpened) {
  port.SetLine({.port = u"ttyOrvantaMissing0"});
  try {
    port.Open();
    FAIL() << "opened";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), SerialFailure::kOpen);
    EXPECT_EQ(e.SystemErrorCode(), static_cast<uint32_t>(ENOENT));
    EXPECT_EQ(e.message(),
              u"COM Port Error: Unable to open com port on ttyOrvantaMissing0");
  }
  EXPECT_FALSE(port.Connected());
  port.SetLine({.port = u""});
  EXPECT_THROW(port.Open(), SerialPortSystemError);
  EXPECT_FALSE(port.Connected());
}

// A device that is away is tried again and again: its debug line comes out
// once for the same failure, and again only when the failure changes or the
// device has opened in between.
TEST_F(LinuxSerialDeviceTest, ARepeatedOpenFailureIsWrittenOutOnce) {
  const std::string missing = "/dev/ttyOrvantaMissing0";
  const std::string line = "open " + missing + ": No such file or directory\n";
  auto tries = [&](const std::u16string& name, int count) {
    port.SetLine({.port = name});
    for (int i = 0; i < count; ++i) {
      EXPECT_THROW(port.Open(), SerialPortSystemError);
    }
  };
  testing::internal::CaptureStderr();
  tries(u"ttyOrvantaMissing0", 3);
  tries(u"ttyOrvantaMissing1", 1);
  tries(u"ttyOrvantaMissing0", 2);
  SetLine({});
  port.Open();
  port.Close();
  tries(u"ttyOrvantaMissing0", 2);
  const std::string other =
      "open /dev/ttyOrvantaMissing1: No such file or directory\n";
  EXPECT_EQ(testing::internal::GetCapturedStderr(), line + other + line + line);
}

TEST_F(LinuxSerialDeviceTest, APortIsOpenedByOneOwnerOnly) {
  port.Open();
  SerialPort second(ui);
  second.SetLine(port.Line());
  try {
    second.Open();
    FAIL() << "opened twice";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), SerialFailure::kOpen);
    EXPECT_EQ(e.SystemErrorCode(), static_cast<uint32_t>(EWOULDBLOCK));
    EXPECT_EQ(e.message(), u"COM Port Error: Unable to open com port on " +
                               Utf8ToUtf16(pty.device()) + kPortInUseText);
  }
  // Exclusive while open, and not after: a pseudo-terminal keeps the mode
  // as long as its master is open.
  const int fd = open(pty.device().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  int exclusive = 0;
  ASSERT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);
  port.Close();
  ASSERT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0);
  close(fd);
  second.Open();
  EXPECT_TRUE(second.Connected());
}

TEST_F(LinuxSerialDeviceTest, FarEndClosedIsReportedOnceAndAReplugOpensAgain) {
  std::vector<std::u16string> losses;
  port.SetOnDeviceLost([&](const std::u16string& m) {
    losses.push_back(m);
    EXPECT_TRUE(port.Connected());
    port.Close();
  });
  port.Open();
  pty.Write("S1");
  Expect(2);
  pty.Hangup();
  ui.ServeUntil([&] { return !port.EventThreadRunning(); });
  ui.ServePending();
  EXPECT_THAT(losses,
              ElementsAre(u"COM Port Error: WaitForEvent method failed on " +
                          Utf8ToUtf16(pty.device())));
  EXPECT_FALSE(port.Connected());

  // Unplugged, the name does not open; plugged in again, at the same path,
  // it does and bytes flow.
  EXPECT_THROW(port.Open(), SerialPortSystemError);
  pty.PlugIn();
  port.Open();
  pty.Write("E2");
  Expect(2);
  EXPECT_EQ(received, "S1E2");
  port.Close();
  EXPECT_EQ(losses.size(), 1u);
  EXPECT_TRUE(reports.empty());
}

}  // namespace
}  // namespace orvanta
