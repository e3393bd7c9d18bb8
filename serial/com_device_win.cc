// The serial device on Windows: the communications API with overlapped I/O.

#include "serial/com_device_win.h"

#include <string>

namespace orvanta {
namespace {

static_assert(sizeof(DCB) == 28, "the device control block is 28 bytes");

DeviceWait Failed(DWORD error) {
  return DeviceWait{DeviceWait::kFailed, 0, error};
}

class WinComDevice : public ComDevice {
 public:
  ~WinComDevice() override {
    ReleaseWaitObjects();
    Close();
  }

  DeviceResult Open(const std::u16string& port, bool overlapped) override {
    const std::wstring path =
        L"\\\\.\\" + std::wstring(port.begin(), port.end());
    const HANDLE handle = CommApi().create_file(
        path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        overlapped ? FILE_FLAG_OVERLAPPED : 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      CommApi().output_debug_string((L"CreateFile " + path).c_str());
      // The system refuses a second opener of a port this way.
      if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        return DeviceResult::InUse(error);
      }
      return DeviceResult::Fail(error);
    }
    handle_ = handle;
    overlapped_ = overlapped;
    return DeviceResult::Ok();
  }

  DeviceResult SetupQueues(uint32_t input_size, uint32_t output_size) override {
    return Result(CommApi().setup_comm(handle_, input_size, output_size));
  }

  DeviceResult SetState(const ComDeviceState& state) override {
    DCB dcb = MakeDcb(state);
    return Result(CommApi().set_comm_state(handle_, &dcb));
  }

  DeviceResult SetTimeouts(const ComDeviceTimeouts& t) override {
    COMMTIMEOUTS timeouts = {t.read_interval, t.read_total_multiplier,
                             t.read_total_constant, t.write_total_multiplier,
                             t.write_total_constant};
    return Result(CommApi().set_comm_timeouts(handle_, &timeouts));
  }

  DeviceResult SetEventMask(uint32_t mask) override {
    return Result(CommApi().set_comm_mask(handle_, mask));
  }

  void CreateWaitObjects() override {
    stop_event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wait_event_ = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    wait_pending_ = false;
  }

  void ReleaseWaitObjects() override {
    if (wait_pending_) {
      // The system still owns the overlapped block: end the wait and let
      // it finish before the block and its event go away.
      CommApi().cancel_io_ex(handle_, &wait_overlapped_);
      DWORD ignored = 0;
      CommApi().get_overlapped_result(handle_, &wait_overlapped_, &ignored,
                                      TRUE);
      wait_pending_ = false;
    }
    if (stop_event_) CloseHandle(stop_event_);
    if (wait_event_) CloseHandle(wait_event_);
    stop_event_ = nullptr;
    wait_event_ = nullptr;
  }

  DeviceWait WaitEvents() override {
    ZeroMemory(&wait_overlapped_, sizeof wait_overlapped_);
    wait_overlapped_.hEvent = wait_event_;
    wait_mask_ = 0;
    if (!CommApi().wait_comm_event(handle_, &wait_mask_, &wait_overlapped_)) {
      const DWORD error = GetLastError();
      // A device that is gone refuses the wait at once, again and again:
      // that ends the thread instead of spinning.
      if (error != ERROR_IO_PENDING) return Failed(error);
    }
    wait_pending_ = true;
    const HANDLE objects[2] = {stop_event_, wait_event_};
    const DWORD woken = WaitForMultipleObjects(2, objects, FALSE, INFINITE);
    if (woken == WAIT_OBJECT_0) return DeviceWait{DeviceWait::kStopped, 0, 0};
    if (woken != WAIT_OBJECT_0 + 1) return Failed(GetLastError());
    DWORD ignored = 0;
    if (!CommApi().get_overlapped_result(handle_, &wait_overlapped_, &ignored,
                                         FALSE)) {
      const DWORD error = GetLastError();
      wait_pending_ = error == ERROR_IO_INCOMPLETE;
      return Failed(error);
    }
    wait_pending_ = false;
    return DeviceWait{DeviceWait::kEvents, wait_mask_, 0};
  }

  void SignalStop() override {
    if (stop_event_) SetEvent(stop_event_);
  }

  void SetCurrentThreadPriority(ThreadPriority priority) override {
    static constexpr int kPriority[] = {
        THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
        THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
        THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
        THREAD_PRIORITY_TIME_CRITICAL};
    SetThreadPriority(GetCurrentThread(),
                      kPriority[static_cast<int>(priority)]);
  }

  DeviceResult ClearErrors(uint32_t& errors, uint32_t& input_count) override {
    DWORD flags = 0;
    COMSTAT status{};
    if (!CommApi().clear_comm_error(handle_, &flags, &status)) {
      return DeviceResult::Fail(GetLastError());
    }
    errors = flags;
    input_count = status.cbInQue;
    return DeviceResult::Ok();
  }

  DeviceRead Read(char* buffer, uint32_t count) override {
    if (!overlapped_) {
      DWORD read = 0;
      if (!CommApi().read_file(handle_, buffer, count, &read, nullptr)) {
        return DeviceRead{DeviceRead::kRefused, 0, GetLastError()};
      }
      return DeviceRead{DeviceRead::kDone, read, 0};
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!CommApi().read_file(handle_, buffer, count, nullptr, &overlapped)) {
      const DWORD error = GetLastError();
      if (error != ERROR_IO_PENDING) {
        CloseHandle(overlapped.hEvent);
        return DeviceRead{DeviceRead::kRefused, 0, error};
      }
    }
    WaitForSingleObject(overlapped.hEvent, INFINITE);
    DWORD read = 0;
    const BOOL done =
        CommApi().get_overlapped_result(handle_, &overlapped, &read, FALSE);
    const DWORD error = done ? 0 : GetLastError();
    CloseHandle(overlapped.hEvent);
    if (!done) return DeviceRead{DeviceRead::kFailed, 0, error};
    return DeviceRead{DeviceRead::kDone, read, 0};
  }

  DeviceResult Write(const char* bytes, uint32_t count) override {
    if (!overlapped_) {
      // The driver's own write timeouts bound this one.
      DWORD written = 0;
      if (!CommApi().write_file(handle_, bytes, count, &written, nullptr))
        return DeviceResult::Fail(GetLastError());
      if (written < count) return DeviceResult::Fail(ERROR_TIMEOUT);
      return DeviceResult::Ok();
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!overlapped.hEvent) return DeviceResult::Fail(GetLastError());
    DWORD error = 0;
    if (!CommApi().write_file(handle_, bytes, count, nullptr, &overlapped)) {
      error = GetLastError();
      if (error != ERROR_IO_PENDING) {
        CloseHandle(overlapped.hEvent);
        return DeviceResult::Fail(error);
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
      return DeviceResult::Fail(ERROR_TIMEOUT);
    }
    const BOOL done =
        CommApi().get_overlapped_result(handle_, &overlapped, &written, FALSE);
    error = done ? 0 : GetLastError();
    CloseHandle(overlapped.hEvent);
    if (!done) return DeviceResult::Fail(error);
    // The driver's own write timeout ended it early.
    if (written < count) return DeviceResult::Fail(ERROR_TIMEOUT);
    return DeviceResult::Ok();
  }

  DeviceResult Purge(uint32_t flags) override {
    return Result(CommApi().purge_comm(handle_, flags));
  }

  DeviceResult ModemStatus(uint32_t& status) override {
    DWORD lines = 0;
    if (!CommApi().get_comm_modem_status(handle_, &lines)) {
      return DeviceResult::Fail(GetLastError());
    }
    status = lines;
    return DeviceResult::Ok();
  }

  void Close() override {
    if (handle_ != INVALID_HANDLE_VALUE) CommApi().close_handle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  static DeviceResult Result(BOOL ok) {
    return ok ? DeviceResult::Ok() : DeviceResult::Fail(GetLastError());
  }

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  bool overlapped_ = true;
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
                    PurgeComm,     GetCommModemStatus,  OutputDebugStringW};
}

WinCommApi& CommApi() {
  static WinCommApi api = SystemCommApi();
  return api;
}

DCB MakeDcb(const ComDeviceState& s) {
  DCB dcb;
  ZeroMemory(&dcb, sizeof dcb);
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = s.baud_rate;
  dcb.fBinary = s.binary;
  dcb.fParity = s.parity_check;
  dcb.fOutxCtsFlow = s.out_cts_flow;
  dcb.fOutxDsrFlow = s.out_dsr_flow;
  dcb.fDtrControl = s.dtr_control;
  dcb.fDsrSensitivity = s.dsr_sensitivity;
  dcb.fTXContinueOnXoff = s.tx_continue_on_xoff;
  dcb.fOutX = s.out_x;
  dcb.fInX = s.in_x;
  dcb.fErrorChar = s.error_char_enabled;
  dcb.fNull = s.discard_null;
  dcb.fRtsControl = s.rts_control;
  dcb.XonLim = s.xon_lim;
  dcb.XoffLim = s.xoff_lim;
  dcb.ByteSize = s.byte_size;
  dcb.Parity = s.parity;
  dcb.StopBits = s.stop_bits;
  dcb.XonChar = static_cast<char>(s.xon_char);
  dcb.XoffChar = static_cast<char>(s.xoff_char);
  dcb.ErrorChar = static_cast<char>(s.error_char);
  dcb.EvtChar = static_cast<char>(s.evt_char);
  return dcb;
}

std::unique_ptr<ComDevice> MakePlatformComDevice() {
  return std::make_unique<WinComDevice>();
}

}  // namespace orvanta
