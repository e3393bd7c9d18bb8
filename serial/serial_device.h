#ifndef ORVANTA_SERIAL_SERIAL_DEVICE_H_
#define ORVANTA_SERIAL_SERIAL_DEVICE_H_

// The operating system's serial device, as the port uses it: open one with
// its line settings, wait for bytes, read them, write, close. One back end
// per platform (Windows: the communications API; Linux: termios and
// epoll), and the fake the port's tests use.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "serial/line_settings.h"
#include "serial/serial_error.h"

namespace orvanta {

// Outcome of one device step. A failure says which step failed and carries
// the system error code; `in_use`: the device could not be opened because
// another program holds it.
struct DeviceResult {
  bool ok = true;
  SerialFailure failure = SerialFailure::kOpen;
  uint32_t code = 0;
  bool in_use = false;

  static DeviceResult Ok() { return {}; }
  static DeviceResult Fail(SerialFailure failure, uint32_t code) {
    return {false, failure, code, false};
  }
  static DeviceResult InUse(uint32_t code) {
    return {false, SerialFailure::kOpen, code, true};
  }
  explicit operator bool() const { return ok; }
};

// What ended one wait for bytes.
struct DeviceWait {
  enum Outcome { kInput, kStopped, kFailed };
  Outcome outcome = kStopped;
  uint32_t code = 0;  // kFailed: the system error code
};

// How long a write may wait for the driver to take its bytes. A few dozen
// bytes of modem commands go out in well under that at any usual speed.
inline constexpr std::chrono::milliseconds kSerialWriteTimeout{1000};

class SerialDevice {
 public:
  virtual ~SerialDevice() = default;

  // Opens the device `line.port` and sets it to `line`; ready for waits.
  // On failure nothing stays open, and the back end has written its
  // debug-output line.
  virtual DeviceResult Open(const LineSettings& line) = 0;
  // New settings for the open device (its name stays).
  virtual DeviceResult Apply(const LineSettings& line) = 0;
  // Ends pending I/O, drops what is queued and closes. The device is
  // closed also when ending the I/O failed, which is then returned.
  virtual DeviceResult Close() = 0;

  // The port's event thread: blocks until bytes are waiting, StopWaiting()
  // was called or the device failed (went away).
  virtual DeviceWait WaitForInput() = 0;
  // Any thread: ends the current wait and every later one until the device
  // is opened again.
  virtual void StopWaiting() = 0;
  // The event thread: appends the bytes waiting to `bytes`, at once,
  // without waiting for more.
  virtual DeviceResult Read(std::string& bytes) = 0;

  // The user-interface thread: sends `bytes`, failing when the driver has
  // not taken them within kSerialWriteTimeout (a line held up by flow
  // control must not hold up the program).
  virtual DeviceResult Write(std::string_view bytes) = 0;
};

// The back end of the platform this program was built for.
std::unique_ptr<SerialDevice> MakePlatformSerialDevice();

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_SERIAL_DEVICE_H_
