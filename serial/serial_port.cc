#include "serial/serial_port.h"

#include <array>
#include <utility>

#include "base/text.h"
#include "base/ui_handover.h"

namespace orvanta {
namespace {

constexpr std::array<const char16_t*, 23> kFailureTexts = {
    u"Unable to open com port",
    u"WriteFile function failed",
    u"ReadFile function failed",
    u"Invalid Async parameter",
    u"PurgeComm function failed",
    u"Unable to get async status",
    u"SetCommState function failed",
    u"SetCommTimeouts failed",
    u"SetupComm function failed",
    u"ClearCommError function failed",
    u"GetCommModemStatus function failed",
    u"EscapeCommFunction function failed",
    u"TransmitCommChar function failed",
    u"Cannot set property while connected",
    u"EnumPorts function failed",
    u"Failed to store settings",
    u"Failed to load settings",
    u"Link (un)registration failed",
    u"Cannot change led state if ComPort is selected",
    u"Cannot wait for event if event thread is created",
    u"WaitForEvent method failed",
    u"A component is linked to OnRxBuf event",
    u"Registry error",
};

}  // namespace

std::u16string ComFailureText(int kind) {
  if (kind >= 1 && kind <= static_cast<int>(kFailureTexts.size())) {
    return kFailureTexts[kind - 1];
  }
  return u"Unknown Error #" + IntToText(kind);
}

SerialPortError::SerialPortError(std::u16string message, int kind)
    : Failure(std::move(message)), kind_(kind) {}

SerialPortError SerialPortError::ForPort(const std::u16string& port, int kind) {
  return SerialPortError(port + u" Error: " + ComFailureText(kind), kind);
}

SerialPortSystemError::SerialPortSystemError(std::u16string message, int kind,
                                             uint32_t win_code)
    : SerialPortError(std::move(message), kind), win_code_(win_code) {}

SerialPortSystemError SerialPortSystemError::ForCall(const std::u16string& name,
                                                     int kind,
                                                     uint32_t win_code) {
  return SerialPortSystemError(
      u"COM Port Error: " + ComFailureText(kind) + u" on " + name, kind,
      win_code);
}

SerialPortSystemError SerialPortSystemError::PortInUse(
    const std::u16string& name, uint32_t win_code) {
  SerialPortSystemError failure = ForCall(name, com_failure::kOpen, win_code);
  return SerialPortSystemError(failure.message() + kPortInUseText,
                               com_failure::kOpen, win_code);
}

// ---------------------------------------------------------------------------
// Parameter groups

void SerialParity::SetBits(TParityBits value) {
  if (value == bits_) return;
  bits_ = value;
  port_.Changed(SerialPort::Apply::kState);
}

void SerialParity::SetCheck(bool value) {
  if (value == check_) return;
  check_ = value;
  port_.Changed(SerialPort::Apply::kState);
}

void SerialParity::SetReplace(bool value) {
  if (value == replace_) return;
  replace_ = value;
  port_.Changed(SerialPort::Apply::kState);
}

void SerialParity::SetReplaceChar(uint8_t value) {
  if (value == replace_char_) return;
  replace_char_ = value;
  port_.Changed(SerialPort::Apply::kState);
}

template <typename T>
void SerialFlowControl::Set(T& member, T value) {
  if (value == member) return;
  member = value;
  port_.Changed(SerialPort::Apply::kState);
}

void SerialFlowControl::SetOutCTSFlow(bool value) { Set(out_cts_flow_, value); }
void SerialFlowControl::SetOutDSRFlow(bool value) { Set(out_dsr_flow_, value); }
void SerialFlowControl::SetControlDTR(TDTRFlowControl value) {
  Set(control_dtr_, value);
}
void SerialFlowControl::SetControlRTS(TRTSFlowControl value) {
  Set(control_rts_, value);
}
void SerialFlowControl::SetXonXoffOut(bool value) { Set(xon_xoff_out_, value); }
void SerialFlowControl::SetXonXoffIn(bool value) { Set(xon_xoff_in_, value); }
void SerialFlowControl::SetDSRSensitivity(bool value) {
  Set(dsr_sensitivity_, value);
}
void SerialFlowControl::SetTxContinueOnXoff(bool value) {
  Set(tx_continue_on_xoff_, value);
}
void SerialFlowControl::SetXonChar(uint8_t value) { Set(xon_char_, value); }
void SerialFlowControl::SetXoffChar(uint8_t value) { Set(xoff_char_, value); }

TFlowControl SerialFlowControl::FlowControl() const {
  const bool xon_xoff_off = !xon_xoff_in_ && !xon_xoff_out_;
  const bool xon_xoff_on = xon_xoff_in_ && xon_xoff_out_;
  if (control_rts_ == TRTSFlowControl::rtsHandshake && out_cts_flow_ &&
      xon_xoff_off) {
    return TFlowControl::fcHardware;
  }
  if (control_rts_ == TRTSFlowControl::rtsDisable && !out_cts_flow_ &&
      xon_xoff_on) {
    return TFlowControl::fcSoftware;
  }
  if (control_rts_ == TRTSFlowControl::rtsDisable && !out_cts_flow_ &&
      xon_xoff_off) {
    return TFlowControl::fcNone;
  }
  return TFlowControl::fcCustom;
}

void SerialFlowControl::SetFlowControl(TFlowControl value) {
  if (value != TFlowControl::fcCustom) {
    control_rts_ = TRTSFlowControl::rtsDisable;
    out_cts_flow_ = false;
    xon_xoff_in_ = false;
    xon_xoff_out_ = false;
    if (value == TFlowControl::fcHardware) {
      control_rts_ = TRTSFlowControl::rtsHandshake;
      out_cts_flow_ = true;
    } else if (value == TFlowControl::fcSoftware) {
      xon_xoff_in_ = true;
      xon_xoff_out_ = true;
    }
  }
  port_.Changed(SerialPort::Apply::kState);
}

void SerialBuffer::SetInputSize(int32_t value) {
  if (value == input_size_) return;
  input_size_ = value;
  port_.Changed(SerialPort::Apply::kQueues);
}

void SerialBuffer::SetOutputSize(int32_t value) {
  if (value == output_size_) return;
  output_size_ = value;
  port_.Changed(SerialPort::Apply::kQueues);
}

void SerialTimeouts::Set(int32_t& member, int32_t value) {
  if (value == member) return;
  member = value;
  port_.Changed(SerialPort::Apply::kTimeouts);
}

void SerialTimeouts::SetReadInterval(int32_t value) {
  Set(read_interval_, value);
}
void SerialTimeouts::SetReadTotalMultiplier(int32_t value) {
  Set(read_total_multiplier_, value);
}
void SerialTimeouts::SetReadTotalConstant(int32_t value) {
  Set(read_total_constant_, value);
}
void SerialTimeouts::SetWriteTotalMultiplier(int32_t value) {
  Set(write_total_multiplier_, value);
}
void SerialTimeouts::SetWriteTotalConstant(int32_t value) {
  Set(write_total_constant_, value);
}

// ---------------------------------------------------------------------------
// The port

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
    : SerialPort(ui, MakePlatformComDevice()) {}

SerialPort::SerialPort(UiHandover& ui, std::unique_ptr<ComDevice> device)
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

void SerialPort::Open() {
  if (connected_) return;
  const DeviceResult opened = device_->Open(port_, overlapped_);
  if (!opened) {
    if (opened.in_use)
      throw SerialPortSystemError::PortInUse(port_, opened.code);
    throw SerialPortSystemError::ForCall(port_, com_failure::kOpen,
                                         opened.code);
  }
  connected_ = true;
  try {
    ApplyAll();
  } catch (...) {
    device_->Close();
    connected_ = false;
    throw;
  }
  if (!events_.Empty() && overlapped_) StartEventThread();
  // One reading for each of CTS, DSR and RLSD: the starting point of the
  // line-signal change notifications.
  for (int i = 0; i < 3; ++i) {
    uint32_t status = 0;
    const DeviceResult read = device_->ModemStatus(status);
    if (!read) {
      throw SerialPortSystemError::ForCall(port_, com_failure::kModemStatus,
                                           read.code);
    }
  }
}

void SerialPort::Close() {
  if (!connected_) return;
  // First: a device loss served while the thread is stopped below is stale.
  ++report_target_->session;
  const DeviceResult purged = device_->Purge(kPurgeTxAbort | kPurgeRxAbort);
  // A device that refuses the purge (typically one that has gone away) is
  // still closed, so that a later Open can start afresh.
  StopEventThread();
  device_->Close();
  connected_ = false;
  if (!purged)
    throw SerialPortSystemError::ForCall(port_, com_failure::kPurge,
                                         purged.code);
}

int SerialPort::ReadBytes(std::string& str, int count) {
  str.clear();
  if (count <= 0) return 0;
  std::string buffer(static_cast<size_t>(count), '\0');
  const DeviceRead read =
      device_->Read(buffer.data(), static_cast<uint32_t>(count));
  switch (read.outcome) {
    case DeviceRead::kRefused:
      ++read_async_error_count_;
      read_async_last_error_ = read.code;
      return 0;
    case DeviceRead::kFailed:
      throw SerialPortSystemError::ForCall(port_, com_failure::kRead,
                                           read.code);
    case DeviceRead::kDone:
      break;
  }
  buffer.resize(read.transferred);
  str = std::move(buffer);
  return static_cast<int>(str.size());
}

void SerialPort::BeginUpdate() { ++update_count_; }

void SerialPort::EndUpdate() {
  if (update_count_ < 1) return;
  --update_count_;
  if (update_count_ == 0 && connected_) ApplyAll();
}

void SerialPort::SetPort(const std::u16string& port) {
  if (port == port_) return;
  const bool reopen = connected_;
  if (reopen) Close();
  port_ = port;
  if (reopen) Open();
}

void SerialPort::SetBaudRate(TBaudRate value) {
  if (value == baud_rate_) return;
  baud_rate_ = value;
  Changed(Apply::kState);
}

void SerialPort::SetCustomBaudRate(int32_t value) {
  if (value == custom_baud_rate_) return;
  custom_baud_rate_ = value;
  Changed(Apply::kState);
}

void SerialPort::SetDataBits(TDataBits value) {
  if (value == data_bits_) return;
  data_bits_ = value;
  Changed(Apply::kState);
}

void SerialPort::SetStopBits(TStopBits value) {
  if (value == stop_bits_) return;
  stop_bits_ = value;
  Changed(Apply::kState);
}

void SerialPort::SetEventChar(uint8_t value) {
  if (value == event_char_) return;
  event_char_ = value;
  Changed(Apply::kState);
}

void SerialPort::SetDiscardNull(bool value) {
  if (value == discard_null_) return;
  discard_null_ = value;
  Changed(Apply::kState);
}

void SerialPort::RefuseWhileConnected() {
  if (connected_) {
    throw SerialPortError::ForPort(port_, com_failure::kSetWhileConnected);
  }
}

void SerialPort::SetSyncMethod(TSyncMethod value) {
  if (value == sync_method_) return;
  RefuseWhileConnected();
  sync_method_ = value;
}

void SerialPort::SetEventThreadPriority(ThreadPriority value) {
  if (value == event_thread_priority_) return;
  RefuseWhileConnected();
  event_thread_priority_ = value;
}

void SerialPort::SetOverlapped(bool value) {
  if (value == overlapped_) return;
  RefuseWhileConnected();
  overlapped_ = value;
}

ComDeviceState SerialPort::DeviceState() const {
  ComDeviceState s;
  s.baud_rate = baud_rate_ == TBaudRate::brCustom
                    ? static_cast<uint32_t>(custom_baud_rate_)
                    : BaudRateValue(baud_rate_);
  s.binary = true;
  s.discard_null = discard_null_;
  s.out_cts_flow = flow_control_.OutCTSFlow();
  s.out_dsr_flow = flow_control_.OutDSRFlow();
  s.dtr_control = static_cast<uint8_t>(flow_control_.ControlDTR());
  s.rts_control = static_cast<uint8_t>(flow_control_.ControlRTS());
  s.out_x = flow_control_.XonXoffOut();
  s.in_x = flow_control_.XonXoffIn();
  s.dsr_sensitivity = flow_control_.DSRSensitivity();
  s.tx_continue_on_xoff = flow_control_.TxContinueOnXoff();
  s.parity_check = parity_.Check();
  if (parity_.Check() && parity_.Replace()) {
    s.error_char_enabled = true;
    s.error_char = parity_.ReplaceChar();
  }
  const auto limit = static_cast<uint16_t>(buffer_.InputSize() / 4);
  s.xon_lim = limit;
  s.xoff_lim = limit;
  s.byte_size = static_cast<uint8_t>(5 + static_cast<int>(data_bits_));
  s.parity = static_cast<uint8_t>(parity_.Bits());
  s.stop_bits = static_cast<uint8_t>(stop_bits_);
  s.xon_char = flow_control_.XonChar();
  s.xoff_char = flow_control_.XoffChar();
  s.evt_char = event_char_;
  return s;
}

ComDeviceTimeouts SerialPort::DeviceTimeouts() const {
  ComDeviceTimeouts t;
  t.read_interval = static_cast<uint32_t>(timeouts_.ReadInterval());
  t.read_total_multiplier =
      static_cast<uint32_t>(timeouts_.ReadTotalMultiplier());
  t.read_total_constant = static_cast<uint32_t>(timeouts_.ReadTotalConstant());
  t.write_total_multiplier =
      static_cast<uint32_t>(timeouts_.WriteTotalMultiplier());
  t.write_total_constant =
      static_cast<uint32_t>(timeouts_.WriteTotalConstant());
  return t;
}

void SerialPort::Changed(Apply what) {
  if (!connected_ || update_count_ > 0) return;
  switch (what) {
    case Apply::kState:
      ApplyState();
      break;
    case Apply::kTimeouts:
      ApplyTimeouts();
      break;
    case Apply::kQueues:
      ApplyQueues();
      break;
  }
}

void SerialPort::ApplyQueues() {
  const DeviceResult r =
      device_->SetupQueues(static_cast<uint32_t>(buffer_.InputSize()),
                           static_cast<uint32_t>(buffer_.OutputSize()));
  if (!r)
    throw SerialPortSystemError::ForCall(port_, com_failure::kSetupComm,
                                         r.code);
}

void SerialPort::ApplyState() {
  const DeviceResult r = device_->SetState(DeviceState());
  if (!r)
    throw SerialPortSystemError::ForCall(port_, com_failure::kSetState, r.code);
}

void SerialPort::ApplyTimeouts() {
  const DeviceResult r = device_->SetTimeouts(DeviceTimeouts());
  if (!r)
    throw SerialPortSystemError::ForCall(port_, com_failure::kSetTimeouts,
                                         r.code);
}

void SerialPort::ApplyAll() {
  ApplyQueues();
  ApplyState();
  ApplyTimeouts();
}

// ---------------------------------------------------------------------------
// The event thread

bool SerialPort::EventThreadRunning() const {
  return event_thread_.joinable() && !event_thread_ended_.load();
}

void SerialPort::StartEventThread() {
  device_->CreateWaitObjects();
  // A mask the device refuses shows up as a failing wait, which is reported.
  device_->SetEventMask(EventsToMask(events_));
  event_thread_ended_ = false;
  event_thread_ =
      std::thread(&SerialPort::EventThreadMain, this, event_thread_priority_,
                  port_, report_target_->session);
}

void SerialPort::StopEventThread() {
  if (!event_thread_.joinable()) return;
  device_->SignalStop();
  std::this_thread::yield();
  ui_.ServeUntil([this] { return event_thread_ended_.load(); });
  event_thread_.join();
  device_->ReleaseWaitObjects();
}

void SerialPort::EventThreadMain(ThreadPriority priority, std::u16string name,
                                 uint64_t session) {
  device_->SetCurrentThreadPriority(priority);
  bool tidy_up = true;
  for (;;) {
    const DeviceWait wait = device_->WaitEvents();
    if (wait.outcome == DeviceWait::kStopped) break;
    if (wait.outcome == DeviceWait::kFailed) {
      // The device went away (unplugged adapter, far end of a pty closed):
      // say so once and stop waiting, instead of failing the same wait
      // over and over.
      PostDeviceLost(std::make_exception_ptr(SerialPortSystemError::ForCall(
                         name, com_failure::kWaitForEvent, wait.code)),
                     session);
      break;
    }
    const SerialEvents events = MaskToEvents(wait.events);
    if (events.Empty()) continue;
    bool go_on = true;
    std::exception_ptr failure;
    ui_.RunAndWait([&] { go_on = Dispatch(events, failure); });
    if (!go_on) {
      PostDeviceLost(failure, session);
      tidy_up = false;
      break;
    }
  }
  if (tidy_up) {
    device_->SetEventMask(0);
    device_->Purge(kPurgeTxClear | kPurgeRxClear);
  }
  // The wait objects are released by StopEventThread once this thread is
  // joined: a Close racing with a thread that ends by itself must not
  // signal a stop object that is already gone.
  event_thread_ended_ = true;
  ui_.Notify();
}

bool SerialPort::Dispatch(SerialEvents events, std::exception_ptr& failure) {
  try {
    uint32_t errors = 0;
    uint32_t count = 0;
    if (events.Contains(SerialEvent::evError)) {
      const DeviceResult r = device_->ClearErrors(errors, count);
      if (!r)
        throw SerialPortSystemError::ForCall(
            port_, com_failure::kClearCommError, r.code);
    }
    if (events.Contains(SerialEvent::evRxChar)) {
      const DeviceResult r = device_->ClearErrors(errors, count);
      if (!r)
        throw SerialPortSystemError::ForCall(
            port_, com_failure::kClearCommError, r.code);
      if (count > 0 && on_receive_) {
        try {
          std::string bytes;
          ReadBytes(bytes, static_cast<int>(count));
          if (!bytes.empty()) on_receive_(bytes);
        } catch (...) {
          // A failing handler (a datagram that cannot be sent, say) is
          // reported, and the port keeps delivering: the next call must
          // still get through once the cause is gone.
          PostReport(std::current_exception());
        }
      }
    }
    const SerialEvent signal_events[] = {SerialEvent::evCTS, SerialEvent::evDSR,
                                         SerialEvent::evRLSD};
    for (SerialEvent e : signal_events) {
      if (!events.Contains(e)) continue;
      uint32_t status = 0;
      const DeviceResult r = device_->ModemStatus(status);
      if (!r)
        throw SerialPortSystemError::ForCall(port_, com_failure::kModemStatus,
                                             r.code);
    }
  } catch (...) {
    failure = std::current_exception();
    return false;
  }
  return true;
}

void SerialPort::PostReport(std::exception_ptr failure) {
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

void SerialPort::PostDeviceLost(std::exception_ptr failure, uint64_t session) {
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
