// The Windows back end against a stand-in for the communications driver,
// swapped in at the table of platform calls.

#include "serial/com_device_win.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "base/ui_handover.h"
#include "serial/serial_port.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

const HANDLE kDevice = reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x4242));

// The driver stand-in. Calls are recorded apart for the thread that opened
// the port (the user-interface thread) and for the event thread.
struct Driver {
  std::mutex mutex;
  std::condition_variable changed;
  std::thread::id ui_thread;
  std::vector<std::string> ui_calls;
  std::vector<std::string> thread_calls;
  std::map<std::string, DWORD> failing;
  std::wstring path;
  DWORD access = 0, share = 0, disposition = 0, flags = 0;
  DCB dcb{};
  COMMTIMEOUTS timeouts{};
  std::vector<std::wstring> debug_lines;
  std::string input;
  LPOVERLAPPED pending_wait = nullptr;
  LPDWORD wait_mask = nullptr;
  int waits = 0;

  // Records the call; true (with the last error set) when it is to fail.
  bool Call(const std::string& call) {
    std::lock_guard<std::mutex> lock(mutex);
    (std::this_thread::get_id() == ui_thread ? ui_calls : thread_calls)
        .push_back(call);
    const auto it = failing.find(call.substr(0, call.find(' ')));
    if (it == failing.end()) return false;
    SetLastError(it->second);
    return true;
  }
};

Driver* driver = nullptr;

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(value));
  return text;
}

HANDLE WINAPI FakeCreateFile(LPCWSTR path, DWORD access, DWORD share,
                             LPSECURITY_ATTRIBUTES, DWORD disposition,
                             DWORD flags, HANDLE) {
  {
    std::lock_guard<std::mutex> lock(driver->mutex);
    driver->path = path;
    driver->access = access;
    driver->share = share;
    driver->disposition = disposition;
    driver->flags = flags;
  }
  if (driver->Call("CreateFileW")) return INVALID_HANDLE_VALUE;
  return kDevice;
}

BOOL WINAPI FakeCloseHandle(HANDLE) { return !driver->Call("CloseHandle"); }

BOOL WINAPI FakeSetupComm(HANDLE, DWORD in, DWORD out) {
  return !driver->Call("SetupComm " + std::to_string(in) + " " +
                       std::to_string(out));
}

BOOL WINAPI FakeSetCommState(HANDLE, LPDCB dcb) {
  {
    std::lock_guard<std::mutex> lock(driver->mutex);
    driver->dcb = *dcb;
  }
  return !driver->Call("SetCommState");
}

BOOL WINAPI FakeSetCommTimeouts(HANDLE, LPCOMMTIMEOUTS timeouts) {
  {
    std::lock_guard<std::mutex> lock(driver->mutex);
    driver->timeouts = *timeouts;
  }
  return !driver->Call("SetCommTimeouts");
}

BOOL WINAPI FakeSetCommMask(HANDLE, DWORD mask) {
  if (driver->Call("SetCommMask " + Hex(mask))) return FALSE;
  std::lock_guard<std::mutex> lock(driver->mutex);
  if (mask == 0 && driver->pending_wait) {
    // As the driver does: a new mask completes the pending wait.
    *driver->wait_mask = 0;
    SetEvent(driver->pending_wait->hEvent);
    driver->pending_wait = nullptr;
  }
  return TRUE;
}

BOOL WINAPI FakeWaitCommEvent(HANDLE, LPDWORD mask, LPOVERLAPPED overlapped) {
  if (driver->Call("WaitCommEvent")) return FALSE;
  ResetEvent(overlapped->hEvent);
  {
    std::lock_guard<std::mutex> lock(driver->mutex);
    driver->pending_wait = overlapped;
    driver->wait_mask = mask;
    ++driver->waits;
  }
  driver->changed.notify_all();
  SetLastError(ERROR_IO_PENDING);
  return FALSE;
}

BOOL WINAPI FakeGetOverlappedResult(HANDLE, LPOVERLAPPED overlapped, LPDWORD n,
                                    BOOL) {
  if (driver->Call("GetOverlappedResult")) return FALSE;
  *n = static_cast<DWORD>(overlapped->InternalHigh);
  return TRUE;
}

BOOL WINAPI FakeReadFile(HANDLE, LPVOID buffer, DWORD count, LPDWORD read,
                         LPOVERLAPPED overlapped) {
  if (driver->Call("ReadFile " + std::to_string(count))) return FALSE;
  std::lock_guard<std::mutex> lock(driver->mutex);
  const DWORD n =
      std::min<DWORD>(count, static_cast<DWORD>(driver->input.size()));
  std::memcpy(buffer, driver->input.data(), n);
  driver->input.erase(0, n);
  if (overlapped) {
    overlapped->InternalHigh = n;
    SetEvent(overlapped->hEvent);
  } else {
    *read = n;
  }
  return TRUE;
}

BOOL WINAPI FakeClearCommError(HANDLE, LPDWORD errors, LPCOMSTAT status) {
  if (driver->Call("ClearCommError")) return FALSE;
  std::lock_guard<std::mutex> lock(driver->mutex);
  *errors = 0;
  std::memset(status, 0, sizeof *status);
  status->cbInQue = static_cast<DWORD>(driver->input.size());
  return TRUE;
}

BOOL WINAPI FakePurgeComm(HANDLE, DWORD flags) {
  return !driver->Call("PurgeComm " + Hex(flags));
}

BOOL WINAPI FakeGetCommModemStatus(HANDLE, LPDWORD status) {
  *status = MS_CTS_ON;
  return !driver->Call("GetCommModemStatus");
}

void WINAPI FakeOutputDebugString(LPCWSTR text) {
  std::lock_guard<std::mutex> lock(driver->mutex);
  driver->debug_lines.push_back(text);
}

class WinComDeviceTest : public ::testing::Test {
 protected:
  WinComDeviceTest() {
    driver_.ui_thread = std::this_thread::get_id();
    driver = &driver_;
    CommApi() = WinCommApi{
        FakeCreateFile,       FakeCloseHandle,         FakeSetupComm,
        FakeSetCommState,     FakeSetCommTimeouts,     FakeSetCommMask,
        FakeWaitCommEvent,    FakeGetOverlappedResult, FakeReadFile,
        FakeClearCommError,   FakePurgeComm,           FakeGetCommModemStatus,
        FakeOutputDebugString};
    port = std::make_unique<SerialPort>(ui);
    port->SetOnReceive(
        [this](std::string_view chunk) { received.emplace_back(chunk); });
    port->SetOnFailure(
        [this](const std::u16string& m) { reports.push_back(m); });
  }

  ~WinComDeviceTest() override {
    port.reset();
    CommApi() = SystemCommApi();
    driver = nullptr;
  }

  // Waits until the event thread has started its next wait for line events.
  void AwaitWait(int count) {
    std::unique_lock<std::mutex> lock(driver_.mutex);
    driver_.changed.wait(lock, [&] { return driver_.waits >= count; });
  }

  // The pending wait completes with `mask`.
  void Fire(DWORD mask) {
    std::lock_guard<std::mutex> lock(driver_.mutex);
    *driver_.wait_mask = mask;
    SetEvent(driver_.pending_wait->hEvent);
    driver_.pending_wait = nullptr;
  }

  std::vector<std::string> UiCalls() {
    std::lock_guard<std::mutex> lock(driver_.mutex);
    return driver_.ui_calls;
  }
  std::vector<std::string> ThreadCalls() {
    std::lock_guard<std::mutex> lock(driver_.mutex);
    return driver_.thread_calls;
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

TEST_F(WinComDeviceTest, OpenCallsTheDriverInOrderWithTheDeviceStateBlock) {
  port->Open();
  AwaitWait(1);
  EXPECT_THAT(
      UiCalls(),
      ElementsAre("CreateFileW", "SetupComm 1024 1024", "SetCommState",
                  "SetCommTimeouts", "SetCommMask 0x5ff", "GetCommModemStatus",
                  "GetCommModemStatus", "GetCommModemStatus"));
  EXPECT_THAT(ThreadCalls(), ElementsAre("WaitCommEvent"));
  EXPECT_EQ(driver_.path, L"\\\\.\\COM1");
  EXPECT_EQ(driver_.access, static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE));
  EXPECT_EQ(driver_.share, 0u);
  EXPECT_EQ(driver_.disposition, static_cast<DWORD>(OPEN_EXISTING));
  EXPECT_EQ(driver_.flags, static_cast<DWORD>(FILE_FLAG_OVERLAPPED));

  // 9600 8N1, only fBinary, XonLim/XoffLim 256, XON 17, XOFF 19.
  const uint8_t expected[28] = {0x1C, 0,  0,  0, 0x80, 0x25, 0, 0, 0x01, 0,
                                0,    0,  0,  0, 0x00, 1,    0, 1, 8,    0,
                                0,    17, 19, 0, 0,    0,    0, 0};
  EXPECT_THAT(Bytes(driver_.dcb), ElementsAreArray(expected));
  EXPECT_EQ(driver_.timeouts.ReadIntervalTimeout, MAXDWORD);
  EXPECT_EQ(driver_.timeouts.ReadTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(driver_.timeouts.ReadTotalTimeoutConstant, 0u);
  EXPECT_EQ(driver_.timeouts.WriteTotalTimeoutMultiplier, 100u);
  EXPECT_EQ(driver_.timeouts.WriteTotalTimeoutConstant, 1000u);

  port->Close();
  EXPECT_THAT(
      UiCalls(),
      ElementsAre("CreateFileW", "SetupComm 1024 1024", "SetCommState",
                  "SetCommTimeouts", "SetCommMask 0x5ff", "GetCommModemStatus",
                  "GetCommModemStatus", "GetCommModemStatus", "PurgeComm 0x3",
                  "GetOverlappedResult", "CloseHandle"));
  // The thread leaves its loop through the stop event and tidies up; the
  // wait it left pending is collected before its event goes.
  EXPECT_THAT(ThreadCalls(),
              ElementsAre("WaitCommEvent", "SetCommMask 0x0", "PurgeComm 0xc"));
}

TEST_F(WinComDeviceTest, EveryParameterInTheDeviceStateBlock) {
  port->SetCustomBaudRate(12345);
  port->SetBaudRate(TBaudRate::brCustom);
  port->SetDataBits(TDataBits::dbSeven);
  port->Parity().SetBits(TParityBits::prEven);
  port->Parity().SetCheck(true);
  port->Parity().SetReplace(true);
  port->Parity().SetReplaceChar('?');
  port->SetStopBits(TStopBits::sbTwoStopBits);
  port->SetDiscardNull(true);
  SerialFlowControl& fc = port->FlowControl();
  fc.SetFlowControl(TFlowControl::fcHardware);
  fc.SetControlDTR(TDTRFlowControl::dtrEnable);
  fc.SetOutDSRFlow(true);
  fc.SetXonXoffIn(true);
  fc.SetXonXoffOut(true);
  fc.SetDSRSensitivity(true);
  fc.SetTxContinueOnXoff(true);
  port->SetEventChar(13);
  port->Buffer().SetInputSize(4096);
  port->SetEvents({});
  port->Open();
  // Flags: binary, parity, CTS, DSR, DTR enable, DSR sensitivity, continue
  // on XOFF, XON/XOFF out and in, error char, discard null, RTS handshake.
  const uint8_t expected[28] = {0x1C, 0,  0,  0,   0x39, 0x30, 0, 0, 0xDF, 0x2F,
                                0,    0,  0,  0,   0x00, 4,    0, 4, 7,    2,
                                2,    17, 19, '?', 0,    13,   0, 0};
  EXPECT_THAT(Bytes(driver_.dcb), ElementsAreArray(expected));
  EXPECT_THAT(UiCalls(),
              ElementsAre("CreateFileW", "SetupComm 4096 1024", "SetCommState",
                          "SetCommTimeouts", "GetCommModemStatus",
                          "GetCommModemStatus", "GetCommModemStatus"));
}

TEST_F(WinComDeviceTest, DeviceThatCannotBeOpened) {
  driver_.failing["CreateFileW"] = ERROR_FILE_NOT_FOUND;
  port->SetPort(u"COM7");
  try {
    port->Open();
    FAIL() << "opened";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), 1);
    EXPECT_EQ(e.WinCode(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(e.message(), u"COM Port Error: Unable to open com port on COM7");
  }
  EXPECT_FALSE(port->Connected());
  EXPECT_THAT(driver_.debug_lines, ElementsAre(L"CreateFile \\\\.\\COM7"));
}

TEST_F(WinComDeviceTest, FailingStepsGiveTheirKinds) {
  const std::pair<const char*, int> cases[] = {
      {"SetupComm", 9}, {"SetCommState", 7}, {"SetCommTimeouts", 8}};
  for (const auto& [call, kind] : cases) {
    driver_.failing = {{call, ERROR_INVALID_PARAMETER}};
    try {
      port->Open();
      ADD_FAILURE() << call << ": opened";
    } catch (const SerialPortSystemError& e) {
      EXPECT_EQ(e.Kind(), kind) << call;
      EXPECT_EQ(e.WinCode(), static_cast<uint32_t>(ERROR_INVALID_PARAMETER));
    }
    EXPECT_FALSE(port->Connected()) << call;
    EXPECT_EQ(UiCalls().back(), "CloseHandle") << call;
  }
}

TEST_F(WinComDeviceTest, ReceivedBytesAreReadWithAnOverlappedRead) {
  port->Open();
  AwaitWait(1);
  driver_.input = "S12345E";
  Fire(EV_RXCHAR);
  ui.ServeUntil([&] { return !received.empty(); });
  EXPECT_THAT(received, ElementsAre("S12345E"));
  AwaitWait(2);
  const auto calls = UiCalls();
  EXPECT_THAT(
      std::vector<std::string>(calls.end() - 3, calls.end()),
      ElementsAre("ClearCommError", "ReadFile 7", "GetOverlappedResult"));

  // A read the driver will not start yields nothing and is only counted.
  driver_.failing["ReadFile"] = ERROR_INVALID_HANDLE;
  std::string text;
  EXPECT_EQ(port->ReadBytes(text, 3), 0);
  EXPECT_EQ(port->ReadAsyncErrorCount(), 1);
  EXPECT_EQ(port->ReadAsyncLastError(),
            static_cast<uint32_t>(ERROR_INVALID_HANDLE));
  // A completion that cannot be fetched is kind 3.
  driver_.failing = {{"GetOverlappedResult", ERROR_OPERATION_ABORTED}};
  try {
    port->ReadBytes(text, 3);
    FAIL() << "read";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), 3);
  }
  driver_.failing.clear();
  port->Close();
}

TEST_F(WinComDeviceTest,
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
  AwaitWait(1);
  driver_.input = "1";
  Fire(EV_RXCHAR);
  ui.ServeUntil([&] { return !received.empty(); });
  AwaitWait(2);
  // The adapter is unplugged while the thread waits: the wait completes
  // with an error.
  driver_.failing["GetOverlappedResult"] = ERROR_OPERATION_ABORTED;
  driver_.failing["PurgeComm"] = ERROR_BAD_COMMAND;
  Fire(0);
  ui.ServeUntil([&] { return !port->EventThreadRunning(); });
  ui.ServePending();
  EXPECT_THAT(
      losses,
      ElementsAre(u"COM Port Error: WaitForEvent method failed on COM1"));
  EXPECT_FALSE(port->Connected());
  EXPECT_EQ(UiCalls().back(), "CloseHandle");

  // While it is away the name does not open; once back it does, and bytes
  // flow again.
  driver_.failing = {{"CreateFileW", ERROR_FILE_NOT_FOUND}};
  EXPECT_THROW(port->Open(), SerialPortSystemError);
  driver_.failing.clear();
  port->Open();
  AwaitWait(3);
  driver_.input = "2";
  Fire(EV_RXCHAR);
  ui.ServeUntil([&] { return received.size() == 2; });
  EXPECT_THAT(received, ElementsAre("1", "2"));
  port->Close();
  EXPECT_EQ(losses.size(), 1u);
  EXPECT_THAT(reports, ElementsAre());
}

TEST_F(WinComDeviceTest, PortInUseByAnotherProgramSaysSo) {
  const DWORD codes[] = {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION};
  for (DWORD code : codes) {
    driver_.failing["CreateFileW"] = code;
    try {
      port->Open();
      ADD_FAILURE() << code << ": opened";
    } catch (const SerialPortSystemError& e) {
      EXPECT_EQ(e.Kind(), 1);
      EXPECT_EQ(e.WinCode(), static_cast<uint32_t>(code));
      EXPECT_EQ(e.message(),
                u"COM Port Error: Unable to open com port on COM1. The port is "
                u"in use "
                u"by another program");
    }
  }
}

TEST_F(WinComDeviceTest, WaitRefusedAtOnceDoesNotSpin) {
  driver_.failing["WaitCommEvent"] = ERROR_BAD_COMMAND;
  port->Open();
  ui.ServeUntil([&] { return !port->EventThreadRunning(); });
  ui.ServePending();
  EXPECT_THAT(ThreadCalls(),
              ElementsAre("WaitCommEvent", "SetCommMask 0x0", "PurgeComm 0xc"));
  EXPECT_THAT(
      reports,
      ElementsAre(u"COM Port Error: WaitForEvent method failed on COM1"));
  driver_.failing.clear();
  port->Close();
}

TEST_F(WinComDeviceTest, WithoutOverlappedIoNoThreadAndPlainReads) {
  port->SetOverlapped(false);
  port->Open();
  EXPECT_EQ(driver_.flags, 0u);
  EXPECT_FALSE(port->EventThreadRunning());
  driver_.input = "abc";
  std::string text;
  EXPECT_EQ(port->ReadBytes(text, 10), 3);
  EXPECT_EQ(text, "abc");
  port->Close();
  EXPECT_THAT(ThreadCalls(), ElementsAre());
}

}  // namespace
}  // namespace orvanta
