#ifndef ORVANTA_SERIAL_SERIAL_PORT_H_
#define ORVANTA_SERIAL_SERIAL_PORT_H_

// The serial port `SerialPort`: one line's settings, the device open or
// closed, the event thread that hands what the device receives to the
// user-interface thread, writing, and the line's settings file.

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "serial/line_settings.h"
#include "serial/serial_device.h"
#include "serial/serial_error.h"

namespace orvanta {

class UiHandover;

// All members are for the user-interface thread. While the port is open
// its event thread waits for the device, reads what arrives and hands it
// over through `ui` (RunAndWait), so the receive handler runs on the UI
// thread and one chunk at a time. Close() keeps serving hand-overs while
// it waits for that thread, so a chunk already on its way is still
// delivered and Close() cannot deadlock. Do not close the port from inside
// its own receive handler.
class SerialPort {
 public:
  using ReceiveHandler = std::function<void(std::string_view bytes)>;
  using FailureReport = std::function<void(const std::u16string& message)>;
  using DeviceLostHandler = std::function<void(const std::u16string& message)>;

  explicit SerialPort(UiHandover& ui);
  SerialPort(UiHandover& ui, std::unique_ptr<SerialDevice> device);
  ~SerialPort();  // closes
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens the device with the line settings and starts the event thread;
  // does nothing when open. SerialPortSystemError on failure, the port
  // then closed; a later Open tries again.
  void Open();
  // Stops the event thread and closes the device; does nothing when
  // closed. A failure to end pending I/O is raised after the port has been
  // closed, so that a later Open starts afresh.
  void Close();
  bool Connected() const { return connected_; }

  // Sends `bytes` on the open port; SerialPortSystemError (WriteFile
  // function failed) when the device refuses them or does not take them
  // within kSerialWriteTimeout.
  void Write(std::string_view bytes);

  const LineSettings& Line() const { return line_; }
  // New line settings. On an open port a new device name closes it and
  // opens the new one at once; other changes reach the device at once.
  // A failure leaves the new settings held (and, for a new name, the port
  // closed).
  void SetLine(const LineSettings& line);
  // The line's DTR/RTS setting (LineSettings::modem_control) alone.
  void SetModemControl(bool on);

  // calleridcomport.ini: the file's line settings, the modem control kept
  // as it is, taken on as SetLine does; a missing file or key leaves the
  // value. "<port> Error: Failed to load settings" when taking them on
  // fails.
  void LoadSettings(const std::u16string& path);
  // Writes the line settings into the file ("<port> Error: Failed to store
  // settings" on failure).
  void StoreSettings(const std::u16string& path) const;

  // Called on the UI thread with the bytes that came in (never empty).
  void SetOnReceive(ReceiveHandler handler);
  // Where a failing receive handler, and a device that went away while no
  // device-lost handler is set, are reported (the default error report).
  // Called on the UI thread from posted work, so the event thread is not
  // held up by a modal box. Without a report the failure goes to the
  // UiHandover's failure sink.
  void SetOnFailure(FailureReport report);
  // Called once on the UI thread, with the failure's text, when the open
  // port's device stopped answering and the event thread has ended; the
  // handler then reports the failure instead of the port. When the port
  // has been closed meanwhile, the failure is only reported. The port
  // stays connected until it is closed. Must not throw.
  void SetOnDeviceLost(DeviceLostHandler lost);

  // True while the event thread runs (it ends by Close or when the device
  // fails).
  bool EventThreadRunning() const;

 private:
  struct ReportTarget;

  [[noreturn]] void Raise(const DeviceResult& failed) const;
  void StartEventThread();
  void StopEventThread();
  void EventThreadMain(const std::u16string& port, uint64_t session);
  // UI thread: hands one chunk to the receive handler.
  void Deliver(std::string_view bytes);
  void PostReport(const std::exception_ptr& failure);
  // The event thread of open session `session` ends because of `failure`.
  void PostDeviceLost(const std::exception_ptr& failure, uint64_t session);

  UiHandover& ui_;
  std::unique_ptr<SerialDevice> device_;
  LineSettings line_;

  ReceiveHandler on_receive_;
  std::shared_ptr<ReportTarget> report_target_;

  bool connected_ = false;
  std::thread event_thread_;
  std::atomic<bool> event_thread_ended_{true};
};

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_SERIAL_PORT_H_
