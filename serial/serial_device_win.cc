// The serial device on Windows: the communications API with overlapped I/O.

#include "serial/serial_device_win.h"

#include <string>

namespace orvanta {
namespace {

static_assert(sizeof(DCB) == 28, "the device control block is 28 bytes");

DeviceResult Failed(SerialFailure failure, DWORD error) {
  return DeviceResult::Fail(failure, error);
}

class WinSerialDevice : public SerialDevice {
 public:
  ~WinSerialDevice() override { Close(); }

  DeviceResult Open(const LineSettings& line) override {
    if (handle_ != INVALID_HANDLE_VALUE)
      return Failed(SerialFailure::kOpen, ERROR_BUSY);
    const std::wstring path =
        L"\\\\.\\" + std::wstring(line.port.begin(), line.port.end());
    const HANDLE handle = CommApi().create_file(
        path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      CommApi().output_debug_string((L"CreateFile " + path).c_str());
      // The system refuses a second opener of a port this way.
      if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
        return DeviceResult::InUse(error);
      return Failed(SerialFailure::kOpen, error);
    }
    handle_ = handle;
    DeviceResult result = Setup(line);
    if (!result) {
      Close();
      return result;
    }
    return DeviceResult::Ok();
  }

  DeviceResult Apply(const LineSettings& line) override {
    DCB dcb = MakeDcb(line);
    if (!CommApi().set_comm_state(handle_, &dcb))
      return Failed(SerialFailure::kLineSettings, GetLastError());
    return DeviceResult::Ok();
  }

  DeviceResult Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return DeviceResult::Ok();
    // A new mask completes a wait still pending; then pending reads and
    // writes end and the queues are dropped.
    CommApi().set_comm_mask(handle_, 0);
    DeviceResult result = DeviceResult::Ok();
    if (!CommApi().purge_comm(handle_, PURGE_TXABORT | PURGE_RXABORT |
                                           PURGE_TXCLEAR | PURGE_RXCLEAR)) {
      result = Failed(SerialFailure::kAbortIo, GetLastError());
    }
    if (wait_pending_) {
      // The system still owns the overlapped block: end the wait and let
      // it finish before the block and its event go away.
      CommApi().cancel_io_ex(handle_, &wait_overlapped_);
      DWORD ignored = 0;
      CommApi().get_overlapped_result(handle_, &wait_overlapped_, &ignored,
                                      TRUE);
      wait_pending_ = false;
    }
    CommApi().close_handle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    if (stop_event_) CloseHandle(stop_event_);
    if (wait_event_) CloseHandle(wait_event_);
    stop_event_ = nullptr;
    wait_event_ = nullptr;
    return result;
  }

  DeviceWait WaitForInput() override {
    ZeroMemory(&wait_overlapped_, sizeof wait_overlapped_);
    wait_overlapped_.hEvent = wait_event_;
    wait_mask_ = 0;
    if (!CommApi().wait_comm_event(handle_, &wait_mask_, &wait_overlapped_)) {
      const DWORD error = GetLastError();
      // A device that is gone refuses the wait at once, again and again:
      // that ends the thread instead of spinning.
      if (error != ERROR_IO_PENDING) return WaitFailed(error);
    }
    wait_pending_ = true;
    const HANDLE objects[2] = {stop_event_, wait_event_};
    const DWORD woken = WaitForMultipleObjects(2, objects, FALSE, INFINITE);
    if (woken == WAIT_OBJECT_0) return DeviceWait{DeviceWait::kStopped, 0};
    if (woken != WAIT_OBJECT_0 + 1) return WaitFailed(GetLastError());
    DWORD ignored = 0;
    if (!CommApi().get_overlapped_result(handle_, &wait_overlapped_, &ignored,
                                         FALSE)) {
      const DWORD error = GetLastError();
      wait_pending_ = error == ERROR_IO_INCOMPLETE;
      return WaitFailed(error);
    }
    wait_pending_ = false;
    // The mask watches received bytes only; a completion without them (the
    // mask being changed) is a wait like any other, and Read finds nothing.
    return DeviceWait{DeviceWait::kInput, 0};
  }

  void StopWaiting() override {
    if (stop_event_) SetEvent(stop_event_);
  }

  DeviceResult Read(std::string& bytes) override {
    DWORD errors = 0;
    COMSTAT status{};
    if (!CommApi().clear_comm_error(handle_, &errors, &status))
      return Failed(SerialFailure::kInputCount, GetLastError());
    const DWORD count = status.cbInQue;
    if (count == 0) return DeviceResult::Ok();
    const size_t start = bytes.size();
    bytes.resize(start + count);
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!CommApi().read_file(handle_, bytes.data() + start, count, nullptr,
                             &overlapped)) {
      const DWORD error = GetLastError();
      if (error != ERROR_IO_PENDING) {
        // A read the driver will not start yields nothing; a device that
        // has gone away says so at the next wait.
        CloseHandle(overlapped.hEvent);
        bytes.resize(start);
        return DeviceResult::Ok();
      }
    }
    // With the timeouts set, the read completes at once.
    WaitForSingleObject(overlapped.hEvent, INFINITE);
    DWORD read = 0;
    const BOOL done =
        CommApi().get_overlapped_result(handle_, &overlapped, &read, FALSE);
    const DWORD error = done ? 0 : GetLastError();
    CloseHandle(overlapped.hEvent);
    bytes.resize(start + (done ? read : 0));
    if (!done) return Failed(SerialFailure::kRead, error);
    return DeviceResult::Ok();
  }

  DeviceResult Write(std::string_view bytes) override {
    const DWORD count = static_cast<DWORD>(bytes.size());
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!overlapped.hEvent)
      return Failed(SerialFailure::kWrite, GetLastError());
    if (!CommApi().write_file(handle_, bytes.data(), count, nullptr,
                              &overlapped)) {
      const DWORD error = GetLastError();
      if (error != ERROR_IO_PENDING) {
        CloseHandle(overlapped.hEvent);
        return Failed(SerialFailure::kWrite, error);
      }
    }
    DWORD written = 0;
    const DWORD waited = WaitForSingleObject(
        overlapped.hEvent, static_cast<DWORD>(kSerialWriteTimeout.count()));
    if (waited != WAIT_OBJECT_0) {
      // Held up (flow control, a stalled adapter): the write is called off,
      // and collected before its block and event go away.
      CommApi().cancel_io_ex(handle_, &overlapped);
      CommApi().get_overlapped_result(handle_, &overlapped, &written, TRUE);
      CloseHandle(overlapped.hEvent);
      return Failed(SerialFailure::kWrite, ERROR_TIMEOUT);
    }
    const BOOL done =
        CommApi().get_overlapped_result(handle_, &overlapped, &written, FALSE);
    const DWORD error = done ? 0 : GetLastError();
    CloseHandle(overlapped.hEvent);
    if (!done) return Failed(SerialFailure::kWrite, error);
    // The driver's own write timeout ended it early.
    if (written < count) return Failed(SerialFailure::kWrite, ERROR_TIMEOUT);
    return DeviceResult::Ok();
  }

 private:
  static DeviceWait WaitFailed(DWORD error) {
    return DeviceWait{DeviceWait::kFailed, error};
  }

  // Queue sizes, the line, the timeouts, then what the event thread waits
  // with.
  DeviceResult Setup(const LineSettings& line) {
    if (!CommApi().setup_comm(handle_, kQueueSize, kQueueSize))
      return Failed(SerialFailure::kQueueSizes, GetLastError());
    if (DeviceResult applied = Apply(line); !applied) return applied;
    COMMTIMEOUTS timeouts = kCommTimeouts;
    if (!CommApi().set_comm_timeouts(handle_, &timeouts))
      return Failed(SerialFailure::kTimeouts, GetLastError());
    stop_event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wait_event_ = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    if (!stop_event_ || !wait_event_)
      return Failed(SerialFailure::kOpen, GetLastError());
    wait_pending_ = false;
    // A mask the device refuses shows up as a failing wait, which is
    // reported.
    CommApi().set_comm_mask(handle_, EV_RXCHAR);
    return DeviceResult::Ok();
  }

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  HANDLE stop_event_ = nullptr;
  HANDLE wait_event_ = nullptr;
  OVERLAPPED wait_overlapped_{};
  DWORD wait_mask_ = 0;
  bool wait_pending_ = false;
};

}  // namespace

WinCommApi SystemCommApi() {
  return WinCommApi{CreateFileW,   CloseHandle,         SetupComm,
                    SetCommState,  SetCommTimeouts,     SetCommMask,
                    WaitCommEvent, GetOverlappedResult, ReadFile,
                    WriteFile,     CancelIoEx,          ClearCommError,
                    PurgeComm,     OutputDebugStringW};
}

WinCommApi& CommApi() {
  static WinCommApi api = SystemCommApi();
  return api;
}

DCB MakeDcb(const LineSettings& line) {
  DCB dcb;
  ZeroMemory(&dcb, sizeof dcb);
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = line.BitsPerSecond();
  dcb.fBinary = TRUE;
  const bool hardware = line.flow_control == FlowControl::kHardware;
  const bool software = line.flow_control == FlowControl::kSoftware;
  dcb.fOutxCtsFlow = hardware;
  dcb.fDtrControl =
      line.modem_control ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
  dcb.fRtsControl = hardware             ? RTS_CONTROL_HANDSHAKE
                    : line.modem_control ? RTS_CONTROL_ENABLE
                                         : RTS_CONTROL_DISABLE;
  dcb.fOutX = software;
  dcb.fInX = software;
  // XON is sent when the input queue is down to a quarter, XOFF when a
  // quarter is left.
  dcb.XonLim = kQueueSize / 4;
  dcb.XoffLim = kQueueSize / 4;
  dcb.ByteSize = static_cast<BYTE>(5 + static_cast<int>(line.data_bits));
  static constexpr BYTE kParity[] = {NOPARITY, ODDPARITY, EVENPARITY,
                                     MARKPARITY, SPACEPARITY};
  dcb.Parity = kParity[static_cast<size_t>(line.parity)];
  static constexpr BYTE kStopBits[] = {ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS};
  dcb.StopBits = kStopBits[static_cast<size_t>(line.stop_bits)];
  dcb.XonChar = 17;
  dcb.XoffChar = 19;
  return dcb;
}

std::unique_ptr<SerialDevice> MakePlatformSerialDevice() {
  return std::make_unique<WinSerialDevice>();
}

}  // namespace orvanta
