#ifndef ORVANTA_SERIAL_SERIAL_PORT_H_
#define ORVANTA_SERIAL_SERIAL_PORT_H_

// The serial port component `SerialPort`: parameters, open/close, the event
// thread that hands each bytes-received event to the user-interface thread,
// reading, and the port's settings file.

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "base/failure.h"
#include "serial/com_device.h"
#include "serial/com_types.h"

namespace orvanta {

class UiHandover;

// Failure kinds of the driver.
namespace com_failure {
inline constexpr int kOpen = 1;
inline constexpr int kWrite = 2;
inline constexpr int kRead = 3;
inline constexpr int kInvalidAsync = 4;
inline constexpr int kPurge = 5;
inline constexpr int kAsyncStatus = 6;
inline constexpr int kSetState = 7;
inline constexpr int kSetTimeouts = 8;
inline constexpr int kSetupComm = 9;
inline constexpr int kClearCommError = 10;
inline constexpr int kModemStatus = 11;
inline constexpr int kEscapeComm = 12;
inline constexpr int kTransmitChar = 13;
inline constexpr int kSetWhileConnected = 14;
inline constexpr int kEnumPorts = 15;
inline constexpr int kStoreSettings = 16;
inline constexpr int kLoadSettings = 17;
inline constexpr int kLinkRegistration = 18;
inline constexpr int kLedState = 19;
inline constexpr int kWaitWithThread = 20;
inline constexpr int kWaitForEvent = 21;
inline constexpr int kRxBufLinked = 22;
inline constexpr int kRegistry = 23;
}  // namespace com_failure

// The text of a failure kind; "Unknown Error #<kind>" outside 1..23.
std::u16string ComFailureText(int kind);

// A failure of the driver without a platform error code:
// "<port> Error: <kind text>".
class SerialPortError : public Failure {
 public:
  SerialPortError(std::u16string message, int kind);
  static SerialPortError ForPort(const std::u16string& port, int kind);
  int Kind() const { return kind_; }

 private:
  int kind_;
};

// A failed platform call: "COM Port Error: <kind text> on <port>".
// `WinCode` is the system's error code (GetLastError; errno on Linux).
class SerialPortSystemError : public SerialPortError {
 public:
  SerialPortSystemError(std::u16string message, int kind, uint32_t win_code);
  static SerialPortSystemError ForCall(const std::u16string& name, int kind,
                                       uint32_t win_code);
  // Kind 1 for a device another program holds: the open failure's message
  // followed by kPortInUseText.
  static SerialPortSystemError PortInUse(const std::u16string& name,
                                         uint32_t win_code);
  uint32_t WinCode() const { return win_code_; }

 private:
  uint32_t win_code_;
};

// Added to the open failure's message when another program holds the port;
// the error report ends it with its full stop.
inline constexpr char16_t kPortInUseText[] =
    u". The port is in use by another program";

enum class PortStoreKind { stRegistry, stIniFile };

class SerialPort;

// Parameter groups owned by the port. A member set to a new value on an
// open port reaches the device at once unless an update bracket is open.
class SerialParity {
 public:
  TParityBits Bits() const { return bits_; }
  void SetBits(TParityBits value);
  bool Check() const { return check_; }
  void SetCheck(bool value);
  bool Replace() const { return replace_; }
  void SetReplace(bool value);
  uint8_t ReplaceChar() const { return replace_char_; }
  void SetReplaceChar(uint8_t value);

 private:
  friend class SerialPort;
  explicit SerialParity(SerialPort& port) : port_(port) {}
  SerialPort& port_;
  TParityBits bits_ = TParityBits::prNone;
  bool check_ = false;
  bool replace_ = false;
  uint8_t replace_char_ = 0;
};

class SerialFlowControl {
 public:
  bool OutCTSFlow() const { return out_cts_flow_; }
  void SetOutCTSFlow(bool value);
  bool OutDSRFlow() const { return out_dsr_flow_; }
  void SetOutDSRFlow(bool value);
  TDTRFlowControl ControlDTR() const { return control_dtr_; }
  void SetControlDTR(TDTRFlowControl value);
  TRTSFlowControl ControlRTS() const { return control_rts_; }
  void SetControlRTS(TRTSFlowControl value);
  bool XonXoffOut() const { return xon_xoff_out_; }
  void SetXonXoffOut(bool value);
  bool XonXoffIn() const { return xon_xoff_in_; }
  void SetXonXoffIn(bool value);
  bool DSRSensitivity() const { return dsr_sensitivity_; }
  void SetDSRSensitivity(bool value);
  bool TxContinueOnXoff() const { return tx_continue_on_xoff_; }
  void SetTxContinueOnXoff(bool value);
  uint8_t XonChar() const { return xon_char_; }
  void SetXonChar(uint8_t value);
  uint8_t XoffChar() const { return xoff_char_; }
  void SetXoffChar(uint8_t value);

  // The summary of RTS, CTS and XON/XOFF handling. Setting it (any value,
  // fcCustom included) applies the device state once.
  TFlowControl FlowControl() const;
  void SetFlowControl(TFlowControl value);

 private:
  friend class SerialPort;
  explicit SerialFlowControl(SerialPort& port) : port_(port) {}
  template <typename T>
  void Set(T& member, T value);

  SerialPort& port_;
  bool out_cts_flow_ = false;
  bool out_dsr_flow_ = false;
  TDTRFlowControl control_dtr_ = TDTRFlowControl::dtrDisable;
  TRTSFlowControl control_rts_ = TRTSFlowControl::rtsDisable;
  bool xon_xoff_out_ = false;
  bool xon_xoff_in_ = false;
  bool dsr_sensitivity_ = false;
  bool tx_continue_on_xoff_ = false;
  uint8_t xon_char_ = 17;
  uint8_t xoff_char_ = 19;
};

class SerialBuffer {
 public:
  int32_t InputSize() const { return input_size_; }
  void SetInputSize(int32_t value);
  int32_t OutputSize() const { return output_size_; }
  void SetOutputSize(int32_t value);

 private:
  friend class SerialPort;
  explicit SerialBuffer(SerialPort& port) : port_(port) {}
  SerialPort& port_;
  int32_t input_size_ = 1024;
  int32_t output_size_ = 1024;
};

class SerialTimeouts {
 public:
  int32_t ReadInterval() const { return read_interval_; }
  void SetReadInterval(int32_t value);
  int32_t ReadTotalMultiplier() const { return read_total_multiplier_; }
  void SetReadTotalMultiplier(int32_t value);
  int32_t ReadTotalConstant() const { return read_total_constant_; }
  void SetReadTotalConstant(int32_t value);
  int32_t WriteTotalMultiplier() const { return write_total_multiplier_; }
  void SetWriteTotalMultiplier(int32_t value);
  int32_t WriteTotalConstant() const { return write_total_constant_; }
  void SetWriteTotalConstant(int32_t value);

 private:
  friend class SerialPort;
  explicit SerialTimeouts(SerialPort& port) : port_(port) {}
  void Set(int32_t& member, int32_t value);
  SerialPort& port_;
  int32_t read_interval_ = -1;  // all bits set: reads return at once
  int32_t read_total_multiplier_ = 0;
  int32_t read_total_constant_ = 0;
  int32_t write_total_multiplier_ = 100;
  int32_t write_total_constant_ = 1000;
};

// One serial port. All members are for the user-interface thread; the
// event thread only waits for line events and hands them over through
// `ui` (RunAndWait), and Close() keeps serving hand-overs while it waits
// for that thread, so a receive notification already on its way is still
// delivered and Close() cannot deadlock. Do not close the port from inside
// its own receive handler.
class SerialPort {
 public:
  using ReceiveHandler = std::function<void(std::string_view bytes)>;
  using FailureReport = std::function<void(const std::u16string& message)>;
  using DeviceLostHandler = std::function<void(const std::u16string& message)>;

  // `ui` carries the event thread's receive notifications to the UI thread.
  explicit SerialPort(UiHandover& ui);
  SerialPort(UiHandover& ui, std::unique_ptr<ComDevice> device);
  ~SerialPort();  // closes
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens the device, applies every parameter, starts the event thread.
  // SerialPortSystemError on failure; the port is then closed, except when only
  // the final reading of the line signals (kind 11) failed.
  void Open();
  // Stops the event thread and closes the device. A failure to abort
  // pending I/O (kind 5) is raised after the port has been closed.
  void Close();
  bool Connected() const { return connected_; }

  // Up to `count` waiting bytes; returns how many were read. A read the
  // system refuses to start yields nothing and is only counted.
  int ReadBytes(std::string& str, int count);
  int ReadAsyncErrorCount() const { return read_async_error_count_; }
  uint32_t ReadAsyncLastError() const { return read_async_last_error_; }

  // The update bracket: parameter changes inside it reach an open device
  // together when the outermost EndUpdate closes it (Port excepted).
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return update_count_; }

  // Called on the UI thread with the bytes that came in (never empty),
  // read by the port itself as the device reported them.
  void SetOnReceive(ReceiveHandler handler);
  // Where failures inside a receive dispatch, and a device that went away
  // while no device-lost handler is set, are reported (the default error
  // report). Called on the UI thread, from
  // posted work, so the event thread is not held up by a modal box. Without
  // a report the failure goes to the UiHandover's failure sink.
  void SetOnFailure(FailureReport report);
  // Called on the UI thread, with the failure's text, when the open port's
  // device stopped answering and the event thread has ended; the handler
  // then reports the failure instead of the port. When the port has been
  // closed meanwhile, the failure is only reported. The port stays
  // connected until it is closed. Must not throw.
  void SetOnDeviceLost(DeviceLostHandler lost);

  const std::u16string& Port() const { return port_; }
  // On an open port: closes and reopens at once, also inside a bracket.
  void SetPort(const std::u16string& port);
  TBaudRate BaudRate() const { return baud_rate_; }
  void SetBaudRate(TBaudRate value);
  // Used only when BaudRate is brCustom.
  int32_t CustomBaudRate() const { return custom_baud_rate_; }
  void SetCustomBaudRate(int32_t value);
  TDataBits DataBits() const { return data_bits_; }
  void SetDataBits(TDataBits value);
  TStopBits StopBits() const { return stop_bits_; }
  void SetStopBits(TStopBits value);
  SerialParity& Parity() { return parity_; }
  const SerialParity& Parity() const { return parity_; }
  SerialFlowControl& FlowControl() { return flow_control_; }
  const SerialFlowControl& FlowControl() const { return flow_control_; }
  uint8_t EventChar() const { return event_char_; }
  void SetEventChar(uint8_t value);
  bool DiscardNull() const { return discard_null_; }
  void SetDiscardNull(bool value);
  SerialBuffer& Buffer() { return buffer_; }
  const SerialBuffer& Buffer() const { return buffer_; }
  SerialTimeouts& Timeouts() { return timeouts_; }
  const SerialTimeouts& Timeouts() const { return timeouts_; }
  // Events watched by the event thread; takes effect at the next Open.
  SerialEvents Events() const { return events_; }
  void SetEvents(SerialEvents events) { events_ = events; }
  // Notifications are always delivered thread-synchronised; the value is
  // kept for the settings. Kind 14 while connected, like the two below.
  TSyncMethod SyncMethod() const { return sync_method_; }
  void SetSyncMethod(TSyncMethod value);
  ThreadPriority EventThreadPriority() const { return event_thread_priority_; }
  void SetEventThreadPriority(ThreadPriority value);
  bool Overlapped() const { return overlapped_; }
  void SetOverlapped(bool value);
  // Only spBasic has keys in the settings file.
  StoredPortProperties StoredProps() const { return stored_props_; }
  void SetStoredProps(StoredPortProperties value) { stored_props_ = value; }

  // The settings file: section "ComPortCallerID", the basic parameters.
  // Kind 16 / 17 on failure. Only stIniFile is supported.
  void StoreSettings(PortStoreKind type, const std::u16string& path);
  void LoadSettings(PortStoreKind type, const std::u16string& path);

  // What the parameters give the device.
  ComDeviceState DeviceState() const;
  ComDeviceTimeouts DeviceTimeouts() const;

  // True while the event thread runs (it ends by Close or when the device
  // fails).
  bool EventThreadRunning() const;

 private:
  friend class SerialParity;
  friend class SerialFlowControl;
  friend class SerialBuffer;
  friend class SerialTimeouts;

  enum class Apply { kState, kTimeouts, kQueues };
  struct ReportTarget;

  // A parameter changed: reaches the open device unless a bracket is open.
  void Changed(Apply what);
  void ApplyQueues();
  void ApplyState();
  void ApplyTimeouts();
  void ApplyAll();
  void RefuseWhileConnected();

  void StartEventThread();
  void StopEventThread();
  void EventThreadMain(ThreadPriority priority, std::u16string name,
                       uint64_t session);
  // UI thread: one event set; false (with the failure) when the device
  // failed and the event thread has to end.
  bool Dispatch(SerialEvents events, std::exception_ptr& failure);
  void PostReport(std::exception_ptr failure);
  // The event thread of open session `session` ends because of `failure`.
  void PostDeviceLost(std::exception_ptr failure, uint64_t session);

  UiHandover& ui_;
  std::unique_ptr<ComDevice> device_;

  std::u16string port_ = u"COM1";
  TBaudRate baud_rate_ = TBaudRate::br9600;
  int32_t custom_baud_rate_ = 9600;
  TDataBits data_bits_ = TDataBits::dbEight;
  TStopBits stop_bits_ = TStopBits::sbOneStopBit;
  SerialParity parity_{*this};
  SerialFlowControl flow_control_{*this};
  uint8_t event_char_ = 0;
  bool discard_null_ = false;
  SerialBuffer buffer_{*this};
  SerialTimeouts timeouts_{*this};
  SerialEvents events_ = kAllComEvents;
  TSyncMethod sync_method_ = TSyncMethod::smThreadSync;
  ThreadPriority event_thread_priority_ = ThreadPriority::tpNormal;
  StoredPortProperties stored_props_ = {StoredPortProperty::spBasic};
  bool overlapped_ = true;

  ReceiveHandler on_receive_;
  std::shared_ptr<ReportTarget> report_target_;

  bool connected_ = false;
  int update_count_ = 0;
  int read_async_error_count_ = 0;
  uint32_t read_async_last_error_ = 0;

  std::thread event_thread_;
  std::atomic<bool> event_thread_ended_{true};
};

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_SERIAL_PORT_H_
