#ifndef ORVANTA_SERIAL_SERIAL_ERROR_H_
#define ORVANTA_SERIAL_SERIAL_ERROR_H_

// The failures of the serial port, with their message texts. The texts are
// English and name the Windows calls behind them, on both platforms: users
// and support know them in that form.

#include <cstdint>
#include <string>

#include "base/failure.h"

namespace orvanta {

// What went wrong.
enum class SerialFailure {
  kOpen,           // the device cannot be opened
  kWrite,          // bytes cannot be sent
  kRead,           // a read cannot be completed
  kAbortIo,        // pending I/O cannot be ended when closing
  kLineSettings,   // the device refuses the line settings
  kTimeouts,       // the device refuses its read and write timeouts
  kQueueSizes,     // the device refuses its queue sizes
  kInputCount,     // the waiting bytes cannot be counted
  kWaitForInput,   // waiting for bytes failed: the device went away
  kStoreSettings,  // the settings file cannot be written
  kLoadSettings,   // the settings file's line cannot be taken on
  kPortRegistry,   // Windows: the port list's registry key cannot be read
  kPortFolder,     // Linux: the folder of terminals cannot be read
};

// The failure's own words, e.g. "Unable to open com port".
std::u16string SerialFailureText(SerialFailure failure);

// A failure of the port without a system error code:
// "<port> Error: <text>", e.g. "COM1 Error: Failed to store settings".
class SerialPortError : public Failure {
 public:
  SerialPortError(std::u16string message, SerialFailure failure);
  static SerialPortError ForPort(const std::u16string& port,
                                 SerialFailure failure);
  SerialFailure Kind() const { return kind_; }

 private:
  SerialFailure kind_;
};

// A failed system call: "COM Port Error: <text> on <name>", `name` being
// the port (or what was being listed), and the system's error code
// (GetLastError on Windows, errno on Linux).
class SerialPortSystemError : public SerialPortError {
 public:
  SerialPortSystemError(std::u16string message, SerialFailure failure,
                        uint32_t system_error_code);
  static SerialPortSystemError ForCall(const std::u16string& name,
                                       SerialFailure failure,
                                       uint32_t system_error_code);
  // A device another program holds: the open failure's message followed by
  // kPortInUseText.
  static SerialPortSystemError PortInUse(const std::u16string& port,
                                         uint32_t system_error_code);
  uint32_t SystemErrorCode() const { return system_error_code_; }

 private:
  uint32_t system_error_code_;
};

// Added to the open failure's message when another program holds the port;
// the error report ends it with its full stop.
inline constexpr char16_t kPortInUseText[] =
    u". The port is in use by another program";

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_SERIAL_ERROR_H_
