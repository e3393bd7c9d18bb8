// The Windows back end on a real serial device under Wine: a socat
// pseudo-terminal that test/run_with_wine_pty.sh maps to a COM name.
//
// Wine serves a pseudo-terminal only in part: it cannot wait for comm
// events on one (WaitCommEvent fails with ERROR_NOT_SUPPORTED), its
// overlapped reads wait for data whatever the timeouts say, and it has no
// modem lines (GetCommModemStatus fails). So this test runs the port
// without the event thread and with plain reads; the event thread and the
// overlapped path are covered against the driver stand-in.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "base/text.h"
#include "base/ui_handover.h"
#include "serial/serial_port.h"

namespace orvanta {
namespace {

TEST(WinePty, OpenApplyAndReadOnARealPort) {
  const char* port_name = std::getenv("ORVANTA_PTY_PORT");
  const char* far_end = std::getenv("ORVANTA_PTY_FAR_END");
  ASSERT_TRUE(port_name && far_end) << "run through test/run_with_wine_pty.sh";

  UiHandover ui;
  SerialPort port(ui);
  port.SetPort(Utf8ToUtf16(port_name));
  port.SetEvents({});
  port.SetOverlapped(false);
  port.SetBaudRate(TBaudRate::br19200);
  port.SetStopBits(TStopBits::sbTwoStopBits);
  try {
    port.Open();
    FAIL() << "Wine reported modem lines on a pseudo-terminal";
  } catch (const SerialPortSystemError& e) {
    // The last step of opening: the port stays open and connected.
    EXPECT_EQ(e.Kind(), 11);
    EXPECT_EQ(e.WinCode(), static_cast<uint32_t>(ERROR_NOT_SUPPORTED));
  }
  ASSERT_TRUE(port.Connected());

  const std::wstring far_path =
      std::wstring(far_end, far_end + std::strlen(far_end));
  const HANDLE writer =
      CreateFileW(far_path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writer, "S12345E", 7, &written, nullptr));

  // A read interval of 0 makes the read wait for all seven bytes.
  port.Timeouts().SetReadInterval(0);
  std::string text;
  EXPECT_EQ(port.ReadBytes(text, 7), 7);
  EXPECT_EQ(text, "S12345E");
  // With the port's own timeouts a read returns at once with what is there.
  port.Timeouts().SetReadInterval(-1);
  EXPECT_EQ(port.ReadBytes(text, 7), 0);
  EXPECT_EQ(port.ReadAsyncErrorCount(), 0);

  // Written bytes come out at the far end.
  port.Write("AT+VCID=1\r");
  char answer[10] = {};
  DWORD got = 0;
  ASSERT_TRUE(ReadFile(writer, answer, sizeof answer, &got, nullptr));
  EXPECT_EQ(std::string(answer, got), "AT+VCID=1\r");
  port.Close();
  CloseHandle(writer);

  // The line settings stay with the device: read them back.
  const std::wstring device =
      L"\\\\.\\" + std::wstring(port_name, port_name + std::strlen(port_name));
  const HANDLE handle =
      CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  ASSERT_TRUE(GetCommState(handle, &dcb));
  EXPECT_EQ(dcb.BaudRate, 19200u);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
  CloseHandle(handle);
}

}  // namespace
}  // namespace orvanta
