#ifndef ORVANTA_SERIAL_COM_DEVICE_H_
#define ORVANTA_SERIAL_COM_DEVICE_H_

// The narrow interface between the portable port driver (SerialPort) and the
// operating system's serial device. One implementation per platform, plus
// the scripted fake the driver's tests use. Values and flags follow the
// Windows communications API, so the Windows back end passes them through
// and the Linux back end translates them.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace orvanta {

// Outcome of one device call; `code` is the system error code (GetLastError
// on Windows, errno on Linux) when the call failed. `in_use`: the device
// could not be opened because another program holds it.
struct DeviceResult {
  bool ok = true;
  uint32_t code = 0;
  bool in_use = false;

  static DeviceResult Ok() { return {}; }
  static DeviceResult Fail(uint32_t error) { return {false, error, false}; }
  static DeviceResult InUse(uint32_t error) { return {false, error, true}; }
  explicit operator bool() const { return ok; }
};

// Line events (the Windows EV_* values).
inline constexpr uint32_t kEvRxChar = 0x0001;
inline constexpr uint32_t kEvRxFlag = 0x0002;
inline constexpr uint32_t kEvTxEmpty = 0x0004;
inline constexpr uint32_t kEvCts = 0x0008;
inline constexpr uint32_t kEvDsr = 0x0010;
inline constexpr uint32_t kEvRlsd = 0x0020;
inline constexpr uint32_t kEvBreak = 0x0040;
inline constexpr uint32_t kEvErr = 0x0080;
inline constexpr uint32_t kEvRing = 0x0100;
inline constexpr uint32_t kEvRx80Full = 0x0400;

// Purge flags (PURGE_*).
inline constexpr uint32_t kPurgeTxAbort = 0x0001;
inline constexpr uint32_t kPurgeRxAbort = 0x0002;
inline constexpr uint32_t kPurgeTxClear = 0x0004;
inline constexpr uint32_t kPurgeRxClear = 0x0008;

// Modem line bits (MS_*_ON).
inline constexpr uint32_t kMsCtsOn = 0x0010;
inline constexpr uint32_t kMsDsrOn = 0x0020;
inline constexpr uint32_t kMsRingOn = 0x0040;
inline constexpr uint32_t kMsRlsdOn = 0x0080;

// The device state block, field by field as the Windows DCB holds it.
struct ComDeviceState {
  uint32_t baud_rate = 9600;
  bool binary = true;
  bool parity_check = false;
  bool out_cts_flow = false;
  bool out_dsr_flow = false;
  uint8_t dtr_control = 0;  // DTR_CONTROL_DISABLE / ENABLE / HANDSHAKE
  bool dsr_sensitivity = false;
  bool tx_continue_on_xoff = false;
  bool out_x = false;
  bool in_x = false;
  bool error_char_enabled = false;
  bool discard_null = false;
  uint8_t rts_control = 0;  // RTS_CONTROL_DISABLE / ENABLE / HANDSHAKE / TOGGLE
  uint16_t xon_lim = 0;
  uint16_t xoff_lim = 0;
  uint8_t byte_size = 8;
  uint8_t parity =
      0;  // NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY
  uint8_t stop_bits = 0;  // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS
  uint8_t xon_char = 17;
  uint8_t xoff_char = 19;
  uint8_t error_char = 0;
  uint8_t evt_char = 0;

  bool operator==(const ComDeviceState&) const = default;
};

// In the platform's order: read interval, read multiplier, read constant,
// write multiplier, write constant.
struct ComDeviceTimeouts {
  uint32_t read_interval = 0xFFFFFFFF;
  uint32_t read_total_multiplier = 0;
  uint32_t read_total_constant = 0;
  uint32_t write_total_multiplier = 100;
  uint32_t write_total_constant = 1000;

  bool operator==(const ComDeviceTimeouts&) const = default;
};

// One wait of the event thread.
struct DeviceWait {
  enum Outcome { kEvents, kStopped, kFailed };
  Outcome outcome = kStopped;
  uint32_t events = 0;  // kEvents: the reported EV_* mask
  uint32_t code = 0;    // kFailed: the system error code
};

// One read. kRefused: the system would not start it (counted, not raised);
// kFailed: its completion could not be obtained.
struct DeviceRead {
  enum Outcome { kDone, kRefused, kFailed };
  Outcome outcome = kDone;
  uint32_t transferred = 0;
  uint32_t code = 0;
};

// Thread priorities of the event thread, "normal" in the middle.
enum class ThreadPriority {
  tpIdle,
  tpLowest,
  tpLower,
  tpNormal,
  tpHigher,
  tpHighest,
  tpTimeCritical
};

class ComDevice {
 public:
  virtual ~ComDevice() = default;

  // Opens the device named `port`. On failure the back end has already
  // written its debug-output line.
  virtual DeviceResult Open(const std::u16string& port, bool overlapped) = 0;
  virtual DeviceResult SetupQueues(uint32_t input_size,
                                   uint32_t output_size) = 0;
  virtual DeviceResult SetState(const ComDeviceState& state) = 0;
  virtual DeviceResult SetTimeouts(const ComDeviceTimeouts& timeouts) = 0;
  virtual DeviceResult SetEventMask(uint32_t mask) = 0;

  // The event thread's wait objects: made before the thread starts (stop
  // signal not set), released after it has ended.
  virtual void CreateWaitObjects() = 0;
  virtual void ReleaseWaitObjects() = 0;
  // Event thread: blocks until line events arrive, the stop signal is set
  // or the wait fails. Once set, the stop signal stays set.
  virtual DeviceWait WaitEvents() = 0;
  // Any thread: sets the stop signal.
  virtual void SignalStop() = 0;
  // Event thread, first thing it does.
  virtual void SetCurrentThreadPriority(ThreadPriority priority) = 0;

  // Reads and clears the device's error state; `input_count` receives the
  // number of bytes in the input queue.
  virtual DeviceResult ClearErrors(uint32_t& errors, uint32_t& input_count) = 0;
  // Up to `count` bytes into `buffer`, returning at once with what is queued.
  virtual DeviceRead Read(char* buffer, uint32_t count) = 0;
  // Sends `count` bytes. Returns once they are with the driver, or fails
  // when they are not after kSerialWriteTimeout: a line held up by flow
  // control must not hold up the user-interface thread.
  virtual DeviceResult Write(const char* bytes, uint32_t count) = 0;
  virtual DeviceResult Purge(uint32_t flags) = 0;
  virtual DeviceResult ModemStatus(uint32_t& status) = 0;
  virtual void Close() = 0;
};

// How long a write may wait for the driver to take its bytes. A few dozen
// bytes of modem commands go out in well under that at any usual speed.
inline constexpr std::chrono::milliseconds kSerialWriteTimeout{1000};

// The back end of the platform this program was built for.
std::unique_ptr<ComDevice> MakePlatformComDevice();

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_COM_DEVICE_H_
