// The Windows back end on a real serial device under Wine: a socat
// pseudo-terminal that test/run_with_wine_pty.sh maps to a COM name.
//
// Wine serves a pseudo-terminal only in part: it cannot wait for comm
// events on one (WaitCommEvent fails with ERROR_NOT_SUPPORTED), so this
// test drives the device without the port's event thread; the thread is
// covered against the driver stand-in.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "base/text.h"
#include "serial/serial_device.h"

namespace orvanta {
namespace {

TEST(WinePty, OpenReadAndWriteOnARealPort) {
  const char* port_name = std::getenv("ORVANTA_PTY_PORT");
  const char* far_end = std::getenv("ORVANTA_PTY_FAR_END");
  ASSERT_TRUE(port_name && far_end) << "run through test/run_with_wine_pty.sh";

  const LineSettings line{.port = Utf8ToUtf16(port_name),
                          .baud_rate = BaudRate::k19200,
                          .stop_bits = StopBits::kTwo};
  std::unique_ptr<SerialDevice> device = MakePlatformSerialDevice();
  const DeviceResult opened = device->Open(line);
  ASSERT_TRUE(opened) << opened.code;

  const std::wstring far_path =
      std::wstring(far_end, far_end + std::strlen(far_end));
  const HANDLE other_end =
      CreateFileW(far_path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other_end, INVALID_HANDLE_VALUE);

  // Nothing there: a read returns at once with nothing.
  std::string bytes;
  ASSERT_TRUE(device->Read(bytes));
  EXPECT_EQ(bytes, "");

  DWORD written = 0;
  ASSERT_TRUE(WriteFile(other_end, "S12345E", 7, &written, nullptr));
  // Without the event thread, read until the bytes are there.
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (bytes.size() < 7 && std::chrono::steady_clock::now() < deadline) {
    ASSERT_TRUE(device->Read(bytes));
    std::this_thread::yield();
  }
  EXPECT_EQ(bytes, "S12345E");

  // Written bytes come out at the other_end end.
  ASSERT_TRUE(device->Write("AT+VCID=1\r"));
  char answer[10] = {};
  DWORD got = 0;
  ASSERT_TRUE(ReadFile(other_end, answer, sizeof answer, &got, nullptr));
  EXPECT_EQ(std::string(answer, got), "AT+VCID=1\r");
  device->Close();
  CloseHandle(other_end);

  // The line settings stay with the device: read them back.
  const std::wstring path =
      L"\\\\.\\" + std::wstring(port_name, port_name + std::strlen(port_name));
  const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    0, nullptr, OPEN_EXISTING, 0, nullptr);
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
