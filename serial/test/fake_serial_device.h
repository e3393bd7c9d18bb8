#ifndef ORVANTA_SERIAL_TEST_FAKE_SERIAL_DEVICE_H_
#define ORVANTA_SERIAL_TEST_FAKE_SERIAL_DEVICE_H_

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "serial/serial_device.h"

namespace orvanta {

// The hardware behind a fake serial device: what it was set to and sent,
// and what it does. The test keeps it while the port owns the device.
class FakeSerialHardware {
 public:
  // Whether the device is open, and the line it was opened or last set to.
  bool IsOpen();
  std::optional<LineSettings> Line();
  // How many times it was opened so far.
  int Opens();
  // Everything written to it so far.
  std::string Written();

  // Bytes arrive on the line.
  void Arrive(const std::string& bytes);
  // From now on, every step that fails with `failure` does, with `code`
  // (0: no longer). kOpen, kLineSettings, kAbortIo, kWrite, kRead,
  // kInputCount.
  void Fail(SerialFailure failure, uint32_t code);
  // Opens fail as for a device another program holds (0: no longer).
  void HoldElsewhere(uint32_t code);
  // The device goes away: the wait fails with `code`, until it is opened
  // again.
  void Unplug(uint32_t code);

 private:
  friend class FakeSerialDevice;
  // The failure planned for `failure`, if any.
  std::optional<DeviceResult> Planned(SerialFailure failure);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<SerialFailure, uint32_t> failing_;
  uint32_t held_elsewhere_ = 0;
  bool open_ = false;
  int opens_ = 0;
  std::optional<LineSettings> line_;
  std::string input_;
  std::string written_;
  bool stop_ = false;
  uint32_t unplugged_ = 0;
};

class FakeSerialDevice : public SerialDevice {
 public:
  explicit FakeSerialDevice(std::shared_ptr<FakeSerialHardware> hardware)
      : hardware_(std::move(hardware)) {}

  DeviceResult Open(const LineSettings& line) override;
  DeviceResult Apply(const LineSettings& line) override;
  DeviceResult Close() override;
  DeviceWait WaitForInput() override;
  void StopWaiting() override;
  DeviceResult Read(std::string& bytes) override;
  DeviceResult Write(std::string_view bytes) override;

 private:
  std::shared_ptr<FakeSerialHardware> hardware_;
};

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_TEST_FAKE_SERIAL_DEVICE_H_
