// The Windows back end against a stand-in for the communications driver,
// swapped in at the table of platform calls. The stand-in holds what the
// driver was set to and what it holds, as a driver does.

#include "serial/serial_device_win.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>

#include "base/ui_handover.h"
#include "serial/serial_port.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

const HANDLE kDevice = reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x4242));

struct Driver {
  std::mutex mutex;
  std::condition_variable changed;
  // Calls named here fail with the code.
  std::map<std::string, DWORD> failing;

  // What CreateFileW was asked for.
  std::wstring path;
  DWORD access = 0, share = 0, disposition = 0, flags = 0;
  std::vector<std::wstring> debug_lines;

  // The device.
  bool open = false;
  DWORD in_queue = 0, out_queue = 0;
  DCB dcb{};
  COMMTIMEOUTS timeouts{};
  DWORD mask = 0;
  DWORD purged = 0;  // the flags of the last purge
  std::string input;
  std::string written;
  // WriteFile: how many of the bytes the driver takes; -1 takes all, -2
  // leaves the write pending until it is cancelled.
  int write_takes = -1;
  LPOVERLAPPED pending_write = nullptr;
  bool write_cancelled = false;
  LPOVERLAPPED pending_wait = nullptr;
  // Bytes came while no wait was pending: the next one ends at once.
  bool arrived = false;
  int waits = 0;

  // True (with the last error set) when `call` is to fail.
  bool Fails(const std::string& call) {
    const auto it = failing.find(call);
    if (it == failing.end()) return false;
    SetLastError(it->second);
    return true;
  }

  // The pending wait completes (what the driver does when bytes come, the
  // mask changes or the device goes).
  void CompleteWait() {
    if (!pending_wait) return;
    SetEvent(pending_wait->hEvent);
    pending_wait = nullptr;
  }
};

Driver* driver = nullptr;

HANDLE WINAPI FakeCreateFile(LPCWSTR path, DWORD access, DWORD share,
                             LPSECURITY_ATTRIBUTES, DWORD disposition,
                             DWORD flags, HANDLE) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  driver->path = path;
  driver->access = access;
  driver->share = share;
  driver->disposition = disposition;
  driver->flags = flags;
  if (driver->Fails("CreateFileW")) return INVALID_HANDLE_VALUE;
  driver->open = true;
  return kDevice;
}

BOOL WINAPI FakeCloseHandle(HANDLE) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  driver->open = false;
  return TRUE;
}

BOOL WINAPI FakeSetupComm(HANDLE, DWORD in, DWORD out) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  if (driver->Fails("SetupComm")) return FALSE;
  driver->in_queue = in;
  driver->out_queue = out;
  return TRUE;
}

BOOL WINAPI FakeSetCommState(HANDLE, LPDCB dcb) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  if (driver->Fails("SetCommState")) return FALSE;
  driver->dcb = *dcb;
  return TRUE;
}

BOOL WINAPI FakeSetCommTimeouts(HANDLE, LPCOMMTIMEOUTS timeouts) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  if (driver->Fails("SetCommTimeouts")) return FALSE;
  driver->timeouts = *timeouts;
  return TRUE;
}

BOOL WINAPI FakeSetCommMask(HANDLE, DWORD mask) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  if (driver->Fails("SetCommMask")) return FALSE;
  driver->mask = mask;
  driver->CompleteWait();  // as the driver does: a new mask ends a wait
  return TRUE;
}

BOOL WINAPI FakeWaitCommEvent(HANDLE, LPDWORD mask, LPOVERLAPPED overlapped) {
  {
    std::lock_guard<std::mutex> lock(driver->mutex);
    ++driver->waits;
    if (driver->Fails("WaitCommEvent")) {
      driver->changed.notify_all();
      return FALSE;
    }
    *mask = EV_RXCHAR;
    ResetEvent(overlapped->hEvent);
    driver->pending_wait = overlapped;
    if (driver->arrived) {
      driver->arrived = false;
      driver->CompleteWait();
    }
  }
  driver->changed.notify_all();
  SetLastError(ERROR_IO_PENDING);
  return FALSE;
}

// Marks a read whose completion is to fail.
constexpr ULONG_PTR kFailingRead = 0xDEAD;

BOOL WINAPI FakeGetOverlappedResult(HANDLE, LPOVERLAPPED overlapped, LPDWORD n,
                                    BOOL) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  if (overlapped->Internal == kFailingRead &&
      driver->Fails("ReadFile completion")) {
    return FALSE;
  }
  if (driver->Fails("GetOverlappedResult")) return FALSE;
  *n = static_cast<DWORD>(overlapped->InternalHigh);
  return TRUE;
}

BOOL WINAPI FakeReadFile(HANDLE, LPVOID buffer, DWORD count, LPDWORD,
                         LPOVERLAPPED overlapped) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  if (driver->Fails("ReadFile")) return FALSE;
  const DWORD n =
      std::min<DWORD>(count, static_cast<DWORD>(driver->input.size()));
  std::memcpy(buffer, driver->input.data(), n);
  driver->input.erase(0, n);
  if (driver->failing.count("ReadFile completion"))
    overlapped->Internal = kFailingRead;
  overlapped->InternalHigh = n;
  SetEvent(overlapped->hEvent);
  return TRUE;
}

BOOL WINAPI FakeWriteFile(HANDLE, LPCVOID bytes, DWORD count, LPDWORD,
                          LPOVERLAPPED overlapped) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  if (driver->Fails("WriteFile")) return FALSE;
  if (driver->write_takes == -2) {
    driver->pending_write = overlapped;
    SetLastError(ERROR_IO_PENDING);
    return FALSE;
  }
  const DWORD n = driver->write_takes < 0
                      ? count
                      : std::min<DWORD>(count, driver->write_takes);
  driver->written.append(static_cast<const char*>(bytes), n);
  overlapped->InternalHigh = n;
  SetEvent(overlapped->hEvent);
  return TRUE;
}

BOOL WINAPI FakeCancelIoEx(HANDLE, LPOVERLAPPED overlapped) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  if (overlapped && overlapped == driver->pending_write) {
    driver->write_cancelled = true;
    driver->pending_write = nullptr;
    overlapped->InternalHigh = 0;
    SetEvent(overlapped->hEvent);
  }
  if (overlapped && overlapped == driver->pending_wait) driver->CompleteWait();
  return TRUE;
}

BOOL WINAPI FakeClearCommError(HANDLE, LPDWORD errors, LPCOMSTAT status) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  if (driver->Fails("ClearCommError")) return FALSE;
  *errors = 0;
  std::memset(status, 0, sizeof *status);
  status->cbInQue = static_cast<DWORD>(driver->input.size());
  return TRUE;
}

BOOL WINAPI FakePurgeComm(HANDLE, DWORD flags) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  if (driver->Fails("PurgeComm")) return FALSE;
  driver->purged = flags;
  if (flags & PURGE_RXCLEAR) driver->input.clear();
  return TRUE;
}

void WINAPI FakeOutputDebugString(LPCWSTR text) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  driver->debug_lines.push_back(text);
}

class WinSerialDeviceTest : public ::testing::Test {
 protected:
  WinSerialDeviceTest() {
    driver = &driver_;
    CommApi() = WinCommApi{
        FakeCreateFile,    FakeCloseHandle,         FakeSetupComm,
        FakeSetCommState,  FakeSetCommTimeouts,     FakeSetCommMask,
        FakeWaitCommEvent, FakeGetOverlappedResult, FakeReadFile,
        FakeWriteFile,     FakeCancelIoEx,          FakeClearCommError,
        FakePurgeComm,     FakeOutputDebugString};
    port = std::make_unique<SerialPort>(ui);
    port->SetOnReceive(
        [this](std::string_view chunk) { received.emplace_back(chunk); });
    port->SetOnFailure(
        [this](const std::u16string& m) { reports.push_back(m); });
  }

  ~WinSerialDeviceTest() override {
    port.reset();
    CommApi() = SystemCommApi();
    driver = nullptr;
  }

  // Waits until the event thread has started wait number `count`.
  void AwaitWait(int count) {
    std::unique_lock<std::mutex> lock(driver_.mutex);
    driver_.changed.wait(lock, [&] { return driver_.waits >= count; });
  }

  // Bytes arrive at the driver.
  void Arrive(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(driver_.mutex);
    driver_.input += bytes;
    if (driver_.pending_wait) {
      driver_.CompleteWait();
    } else {
      driver_.arrived = true;
    }
  }

  Driver driver_;
  UiHandover ui;
  std::unique_ptr<SerialPort> port;
  std::vector<std::string> received;
  std::vector<std::u16string> reports;
};

std::vector<uint8_t> Bytes(const DCB& dcb) {
  const auto* p = reinterpret_cast<const uint8_t*>(&dcb);
  return std::vector<uint8_t>(p, p + sizeof dcb);
}

TEST_F(WinSerialDeviceTest, OpenSetsTheDriverUpAndCloseTidiesIt) {
  port->Open();
  EXPECT_EQ(driver_.path, L"\\\\.\\COM1");
  EXPECT_EQ(driver_.access, static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE));
  EXPECT_EQ(driver_.share, 0u);
  EXPECT_EQ(driver_.disposition, static_cast<DWORD>(OPEN_EXISTING));
  EXPECT_EQ(driver_.flags, static_cast<DWORD>(FILE_FLAG_OVERLAPPED));
  EXPECT_EQ(driver_.in_queue, 1024u);
  EXPECT_EQ(driver_.out_queue, 1024u);
  // 9600 8N1, only fBinary (DTR and RTS held off), XonLim/XoffLim 256,
  // XON 17, XOFF 19.
  const uint8_t expected[28] = {0x1C, 0,  0,  0, 0x80, 0x25, 0, 0, 0x01, 0,
                                0,    0,  0,  0, 0x00, 1,    0, 1, 8,    0,
                                0,    17, 19, 0, 0,    0,    0, 0};
  EXPECT_THAT(Bytes(driver_.dcb), ElementsAreArray(expected));
  // Reads return at once with what is queued.
  EXPECT_EQ(driver_.timeouts.ReadIntervalTimeout, MAXDWORD);
  EXPECT_EQ(driver_.timeouts.ReadTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(driver_.timeouts.ReadTotalTimeoutConstant, 0u);
  EXPECT_EQ(driver_.timeouts.WriteTotalTimeoutMultiplier, 100u);
  EXPECT_EQ(driver_.timeouts.WriteTotalTimeoutConstant, 1000u);
  EXPECT_EQ(driver_.mask, static_cast<DWORD>(EV_RXCHAR));
  AwaitWait(1);

  Arrive("left over");
  port->Close();
  EXPECT_FALSE(driver_.open);
  EXPECT_EQ(driver_.mask, 0u);
  EXPECT_EQ(driver_.purged, static_cast<DWORD>(PURGE_TXABORT | PURGE_RXABORT |
                                               PURGE_TXCLEAR | PURGE_RXCLEAR));
  EXPECT_EQ(driver_.pending_wait, nullptr);  // collected, not left behind
}

TEST_F(WinSerialDeviceTest, LineSettingsInTheDeviceStateBlock) {
  port->SetLine({.baud_rate = BaudRate::kCustom,
                 .custom_baud_rate = 12345,
                 .data_bits = DataBits::kSeven,
                 .stop_bits = StopBits::kTwo,
                 .parity = Parity::kEven,
                 .flow_control = FlowControl::kHardware,
                 .modem_control = true});
  port->Open();
  // Flags: binary, CTS output flow, DTR enabled, RTS handshake.
  const uint8_t expected[28] = {0x1C, 0,  0,  0, 0x39, 0x30, 0, 0, 0x15, 0x20,
                                0,    0,  0,  0, 0x00, 1,    0, 1, 7,    2,
                                2,    17, 19, 0, 0,    0,    0, 0};
  EXPECT_THAT(Bytes(driver_.dcb), ElementsAreArray(expected));

  // Software flow control on an open port; DTR and RTS raised by the
  // modem control.
  LineSettings line = port->Line();
  line.flow_control = FlowControl::kSoftware;
  line.stop_bits = StopBits::kOneAndHalf;
  line.parity = Parity::kSpace;
  port->SetLine(line);
  EXPECT_TRUE(driver_.dcb.fOutX);
  EXPECT_TRUE(driver_.dcb.fInX);
  EXPECT_FALSE(driver_.dcb.fOutxCtsFlow);
  EXPECT_EQ(driver_.dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
  EXPECT_EQ(driver_.dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_ENABLE));
  EXPECT_EQ(driver_.dcb.StopBits, ONE5STOPBITS);
  EXPECT_EQ(driver_.dcb.Parity, SPACEPARITY);
  port->SetModemControl(false);
  EXPECT_EQ(driver_.dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_DISABLE));
  EXPECT_EQ(driver_.dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_DISABLE));
}

TEST_F(WinSerialDeviceTest, DeviceThatCannotBeOpened) {
  driver_.failing["CreateFileW"] = ERROR_FILE_NOT_FOUND;
  port->SetLine({.port = u"COM7"});
  try {
    port->Open();
    FAIL() << "opened";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), SerialFailure::kOpen);
    EXPECT_EQ(e.SystemErrorCode(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(e.message(), u"COM Port Error: Unable to open com port on COM7");
  }
  EXPECT_FALSE(port->Connected());
  EXPECT_THAT(driver_.debug_lines, ElementsAre(L"CreateFile \\\\.\\COM7"));
}

TEST_F(WinSerialDeviceTest, FailingStepsOfOpeningSayWhichAndCloseTheDevice) {
  const std::pair<const char*, const char16_t*> cases[] = {
      {"SetupComm", u"COM Port Error: SetupComm function failed on COM1"},
      {"SetCommState", u"COM Port Error: SetCommState function failed on COM1"},
      {"SetCommTimeouts", u"COM Port Error: SetCommTimeouts failed on COM1"}};
  for (const auto& [call, message] : cases) {
    driver_.failing = {{call, ERROR_INVALID_PARAMETER}};
    try {
      port->Open();
      ADD_FAILURE() << call << ": opened";
    } catch (const SerialPortSystemError& e) {
      EXPECT_EQ(e.message(), message);
      EXPECT_EQ(e.SystemErrorCode(),
                static_cast<uint32_t>(ERROR_INVALID_PARAMETER));
    }
    EXPECT_FALSE(port->Connected()) << call;
    EXPECT_FALSE(driver_.open) << call;
  }
}

TEST_F(WinSerialDeviceTest, PortInUseByAnotherProgramSaysSo) {
  for (DWORD code : {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}) {
    driver_.failing["CreateFileW"] = code;
    try {
      port->Open();
      ADD_FAILURE() << code << ": opened";
    } catch (const SerialPortSystemError& e) {
      EXPECT_EQ(e.Kind(), SerialFailure::kOpen);
      EXPECT_EQ(e.SystemErrorCode(), static_cast<uint32_t>(code));
      EXPECT_EQ(e.message(),
                u"COM Port Error: Unable to open com port on COM1. The port is "
                u"in use by another program");
    }
  }
}

TEST_F(WinSerialDeviceTest, ReceivedBytesAreReadAndHandedOver) {
  port->Open();
  Arrive("S12345E");
  ui.ServeUntil([&] { return !received.empty(); });
  Arrive("x");
  ui.ServeUntil([&] { return received.size() == 2; });
  EXPECT_THAT(received, ElementsAre("S12345E", "x"));
  EXPECT_THAT(reports, IsEmpty());
  port->Close();
}

TEST_F(WinSerialDeviceTest, FailingReadsEndTheThreadWithOneReport) {
  const std::pair<const char*, const char16_t*> cases[] = {
      {"ClearCommError",
       u"COM Port Error: ClearCommError function failed on COM1"},
      {"ReadFile completion",
       u"COM Port Error: ReadFile function failed on COM1"}};
  for (const auto& [call, message] : cases) {
    reports.clear();
    port->Open();
    {
      std::lock_guard<std::mutex> lock(driver_.mutex);
      driver_.failing = {{call, ERROR_OPERATION_ABORTED}};
    }
    Arrive("lost");
    ui.ServeUntil([&] { return !port->EventThreadRunning(); });
    ui.ServePending();
    EXPECT_THAT(reports, ElementsAre(message)) << call;
    EXPECT_THAT(received, IsEmpty());
    {
      std::lock_guard<std::mutex> lock(driver_.mutex);
      driver_.failing.clear();
    }
    port->Close();
  }
}

TEST_F(WinSerialDeviceTest,
       FailedWaitEndsTheThreadWithOneReportAndALaterOpenWorks) {
  std::vector<std::u16string> losses;
  port->SetOnDeviceLost([&](const std::u16string& m) {
    losses.push_back(m);
    EXPECT_TRUE(port->Connected());
    // The handle goes at once, so that the system can give the name to
    // the adapter when it comes back. The gone device refuses the purge.
    EXPECT_THROW(port->Close(), SerialPortSystemError);
  });
  port->Open();
  Arrive("1");
  ui.ServeUntil([&] { return !received.empty(); });
  AwaitWait(2);
  {
    // The adapter is unplugged while the thread waits: the wait completes
    // with an error.
    std::lock_guard<std::mutex> lock(driver_.mutex);
    driver_.failing = {{"GetOverlappedResult", ERROR_OPERATION_ABORTED},
                       {"PurgeComm", ERROR_BAD_COMMAND}};
    driver_.CompleteWait();
  }
  ui.ServeUntil([&] { return !port->EventThreadRunning(); });
  ui.ServePending();
  EXPECT_THAT(
      losses,
      ElementsAre(u"COM Port Error: WaitForEvent method failed on COM1"));
  EXPECT_FALSE(port->Connected());
  EXPECT_FALSE(driver_.open);

  // While it is away the name does not open; once back it does, and bytes
  // flow again.
  driver_.failing = {{"CreateFileW", ERROR_FILE_NOT_FOUND}};
  EXPECT_THROW(port->Open(), SerialPortSystemError);
  driver_.failing.clear();
  port->Open();
  Arrive("2");
  ui.ServeUntil([&] { return received.size() == 2; });
  EXPECT_THAT(received, ElementsAre("1", "2"));
  port->Close();
  EXPECT_EQ(losses.size(), 1u);
  EXPECT_THAT(reports, IsEmpty());
}

TEST_F(WinSerialDeviceTest, WaitRefusedAtOnceDoesNotSpin) {
  driver_.failing["WaitCommEvent"] = ERROR_BAD_COMMAND;
  port->Open();
  ui.ServeUntil([&] { return !port->EventThreadRunning(); });
  ui.ServePending();
  EXPECT_EQ(driver_.waits, 1);
  EXPECT_THAT(
      reports,
      ElementsAre(u"COM Port Error: WaitForEvent method failed on COM1"));
  driver_.failing.clear();
  port->Close();
  EXPECT_FALSE(driver_.open);
}

TEST_F(WinSerialDeviceTest, WriteIsOverlappedAndItsWaitIsBounded) {
  port->Open();
  port->Write("AT+VCID=1\r");
  EXPECT_EQ(driver_.written, "AT+VCID=1\r");

  auto write_failure = [&](const char* bytes) {
    try {
      port->Write(bytes);
    } catch (const SerialPortSystemError& e) {
      EXPECT_EQ(e.message(),
                u"COM Port Error: WriteFile function failed on COM1");
      return e.SystemErrorCode();
    }
    return 0u;
  };
  // The driver's own write timeout ends the write with bytes left over.
  driver_.write_takes = 2;
  EXPECT_EQ(write_failure("ATZ\r"), static_cast<uint32_t>(ERROR_TIMEOUT));
  // A write the driver never finishes is called off after the bound.
  driver_.write_takes = -2;
  EXPECT_EQ(write_failure("AT\r"), static_cast<uint32_t>(ERROR_TIMEOUT));
  EXPECT_TRUE(driver_.write_cancelled);
  // A refused write carries the driver's code.
  driver_.write_takes = -1;
  driver_.failing["WriteFile"] = ERROR_BAD_COMMAND;
  EXPECT_EQ(write_failure("AT\r"), static_cast<uint32_t>(ERROR_BAD_COMMAND));
  driver_.failing.clear();
  EXPECT_TRUE(port->Connected());
  port->Close();
}

}  // namespace
}  // namespace orvanta
