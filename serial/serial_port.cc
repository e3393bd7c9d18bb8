#include "serial/serial_port.h"

#include <utility>

#include "base/ui_handover.h"
#include "serial/port_settings_file.h"

namespace orvanta {

// Where failure reports go. Shared with posted reports, which may still be
// queued after the port is gone; only touched on the UI thread.
struct SerialPort::ReportTarget {
  FailureReport report;
  DeviceLostHandler lost;
  // Counts the closes: a device loss posted by the event thread of an
  // earlier session is stale.
  uint64_t session = 0;
};

SerialPort::SerialPort(UiHandover& ui)
    : SerialPort(ui, MakePlatformSerialDevice()) {}

SerialPort::SerialPort(UiHandover& ui, std::unique_ptr<SerialDevice> device)
    : ui_(ui),
      device_(std::move(device)),
      report_target_(std::make_shared<ReportTarget>()) {}

SerialPort::~SerialPort() {
  try {
    Close();
  } catch (...) {
    // Nobody is left to tell; the device is closed all the same.
  }
}

void SerialPort::SetOnReceive(ReceiveHandler handler) {
  on_receive_ = std::move(handler);
}

void SerialPort::SetOnFailure(FailureReport report) {
  report_target_->report = std::move(report);
}

void SerialPort::SetOnDeviceLost(DeviceLostHandler lost) {
  report_target_->lost = std::move(lost);
}

void SerialPort::Raise(const DeviceResult& failed) const {
  if (failed.in_use)
    throw SerialPortSystemError::PortInUse(line_.port, failed.code);
  throw SerialPortSystemError::ForCall(line_.port, failed.failure, failed.code);
}

void SerialPort::Open() {
  if (connected_) return;
  const DeviceResult opened = device_->Open(line_);
  if (!opened) Raise(opened);
  connected_ = true;
  StartEventThread();
}

void SerialPort::Close() {
  if (!connected_) return;
  // First: a device loss served while the thread is stopped below is stale.
  ++report_target_->session;
  StopEventThread();
  // A device that refuses to end its I/O (typically one that has gone
  // away) is closed all the same, so that a later Open can start afresh.
  const DeviceResult closed = device_->Close();
  connected_ = false;
  if (!closed) Raise(closed);
}

void SerialPort::Write(std::string_view bytes) {
  if (bytes.empty()) return;
  const DeviceResult written =
      connected_ ? device_->Write(bytes)
                 : DeviceResult::Fail(SerialFailure::kWrite, 0);
  if (!written) Raise(written);
}

void SerialPort::SetLine(const LineSettings& line) {
  if (line == line_) return;
  const bool new_device = line.port != line_.port;
  line_ = line;
  if (!connected_) return;
  if (new_device) {
    Close();
    Open();
    return;
  }
  const DeviceResult applied = device_->Apply(line_);
  if (!applied) Raise(applied);
}

void SerialPort::SetModemControl(bool on) {
  LineSettings line = line_;
  line.modem_control = on;
  SetLine(line);
}

void SerialPort::LoadSettings(const std::u16string& path) {
  try {
    SetLine(ReadPortSettingsFile(path, line_));
  } catch (...) {
    throw SerialPortError::ForPort(line_.port, SerialFailure::kLoadSettings);
  }
}

void SerialPort::StoreSettings(const std::u16string& path) const {
  WritePortSettingsFile(path, line_);
}

// ---------------------------------------------------------------------------
// The event thread

bool SerialPort::EventThreadRunning() const {
  return event_thread_.joinable() && !event_thread_ended_.load();
}

void SerialPort::StartEventThread() {
  event_thread_ended_ = false;
  event_thread_ = std::thread(&SerialPort::EventThreadMain, this, line_.port,
                              report_target_->session);
}

void SerialPort::StopEventThread() {
  if (!event_thread_.joinable()) return;
  device_->StopWaiting();
  ui_.ServeUntil([this] { return event_thread_ended_.load(); });
  event_thread_.join();
}

void SerialPort::EventThreadMain(const std::u16string& port, uint64_t session) {
  for (;;) {
    const DeviceWait wait = device_->WaitForInput();
    if (wait.outcome == DeviceWait::kStopped) break;
    if (wait.outcome == DeviceWait::kFailed) {
      // The device went away (unplugged adapter, far end of a pty closed):
      // say so once and stop waiting, instead of failing the same wait
      // over and over.
      PostDeviceLost(std::make_exception_ptr(SerialPortSystemError::ForCall(
                         port, SerialFailure::kWaitForInput, wait.code)),
                     session);
      break;
    }
    std::string bytes;
    const DeviceResult read = device_->Read(bytes);
    if (!read) {
      PostDeviceLost(std::make_exception_ptr(SerialPortSystemError::ForCall(
                         port, read.failure, read.code)),
                     session);
      break;
    }
    if (bytes.empty()) continue;
    ui_.RunAndWait([&] { Deliver(bytes); });
  }
  event_thread_ended_ = true;
  ui_.Notify();
}

void SerialPort::Deliver(std::string_view bytes) {
  if (!on_receive_) return;
  try {
    on_receive_(bytes);
  } catch (...) {
    // A failing handler (a datagram that cannot be sent, say) is reported,
    // and the port keeps delivering: the next call must still get through
    // once the cause is gone.
    PostReport(std::current_exception());
  }
}

void SerialPort::PostReport(const std::exception_ptr& failure) {
  // Posted rather than shown here: the report is a modal box, and the
  // event thread must not wait for the user to close it. Only the text
  // crosses to the UI thread: the failure object stays with the thread
  // that raised it, whose last reference may be dropped at any moment.
  ui_.Post([target = report_target_, text = FailureText(failure)] {
    if (target->report) {
      target->report(text);
    } else {
      throw Failure(text);
    }
  });
}

void SerialPort::PostDeviceLost(const std::exception_ptr& failure,
                                uint64_t session) {
  // Only the text crosses, as with a report above.
  ui_.Post([target = report_target_, text = FailureText(failure), session] {
    if (target->lost && target->session == session) {
      target->lost(text);
    } else if (target->report) {
      target->report(text);
    } else {
      throw Failure(text);
    }
  });
}

}  // namespace orvanta
