#ifndef ORVANTA_CALLERID_SERIAL_CONNECTION_H_
#define ORVANTA_CALLERID_SERIAL_CONNECTION_H_

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "callerid/serial_line.h"

namespace orvanta {

class ProgramLog;
class UiHandover;
class UserNotice;

// Calls `work` every `period` on the user-interface thread until stopped;
// a serial device that went away is tried again with it.
class RetryTimer {
 public:
  virtual ~RetryTimer() = default;
  // Starts afresh; the first call comes one period from now.
  virtual void Start(std::chrono::milliseconds period,
                     std::function<void()> work) = 0;
  // No call comes after this, also from inside `work`.
  virtual void Stop() = 0;
  virtual bool Running() const = 0;
};

// The real timer, on the hand-over's periodic call.
std::unique_ptr<RetryTimer> MakeRetryTimer(UiHandover& ui);

// Where received chunks go while the port test window exists.
class ChunkSink {
 public:
  virtual ~ChunkSink() = default;
  virtual void ShowChunk(std::string_view chunk) = 0;
};

// Keeps the serial device of a serial source open while the source runs,
// and hands what it receives to the source.
//
// A device that cannot be opened at the start, or goes away while it runs,
// is reported once and then tried again every kSerialRetryPeriod, quietly,
// until it opens (which is said once, in the log and the tray balloon) or
// the source is stopped. Meanwhile the connection counts as active. A loss
// while the report of the last one is still on screen is not reported
// again.
class SerialConnection {
 public:
  SerialConnection(SerialLine& line, RetryTimer& retry, UserNotice& notice,
                   ProgramLog& log);
  ~SerialConnection();
  SerialConnection(const SerialConnection&) = delete;
  SerialConnection& operator=(const SerialConnection&) = delete;

  // Reads the line parameters from `ini_path` and opens the device; from
  // then on the bytes that come go to `receive`, and `opened` is called
  // after every open, the ones after a loss included (a device that forgets
  // its setup at a replug is set up again). A failure passes through for
  // the default error report; when the device could not be opened it is
  // tried again in the background.
  void Open(const std::u16string& ini_path, SerialLine::ReceiveHandler receive,
            std::function<void()> opened = {});
  // Stops the trying and closes the device.
  void Close();

  // Open, or waiting for its device to come back.
  bool Active() const;
  bool WaitingForDevice() const { return retry_.Running(); }
  SerialLine& Line() { return line_; }

  // The port test window registers itself while it exists; the bytes go to
  // it instead of the source meanwhile.
  void SetTestSink(ChunkSink* sink) { test_sink_ = sink; }
  bool HasTestSink() const { return test_sink_ != nullptr; }

 private:
  void Received(std::string_view bytes);
  void DeviceLost(const std::u16string& message);
  void Retry();
  void CloseQuietly();

  SerialLine& line_;
  RetryTimer& retry_;
  UserNotice& notice_;
  ProgramLog& log_;
  SerialLine::ReceiveHandler receive_;
  std::function<void()> opened_;
  ChunkSink* test_sink_ = nullptr;
  bool reporting_loss_ = false;
};

// Log line and tray balloon when the serial device opens after being away;
// the port's name follows.
inline constexpr char16_t kSerialDeviceBackText[] =
    u"Seri port cihazı bağlandı: ";

// Gentle enough to cost nothing while a device is away, quick enough that
// the next call after a replug gets through.
inline constexpr std::chrono::milliseconds kSerialRetryPeriod{2000};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_SERIAL_CONNECTION_H_
