#ifndef ORVANTA_SERIAL_TEST_FAKE_COM_DEVICE_H_
#define ORVANTA_SERIAL_TEST_FAKE_COM_DEVICE_H_

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "serial/com_device.h"

namespace orvanta {

// What the fake device has seen and what it will do; the test keeps it
// while the port owns the device.
class FakeComLine {
 public:
  // Calls in order, e.g. "Open COM1", "SetupQueues 1024 1024", "SetState",
  // "SetTimeouts", "SetEventMask 0x5ff", "ModemStatus", "Purge 0x3",
  // "ClearErrors", "Read 5", "Close".
  std::vector<std::string> Calls();
  void ClearCalls();
  // Calls named `name` (the first word) made so far.
  int CountOf(const std::string& name);

  // Every later call named `name` fails with `code` (0 stops failing).
  void FailCall(const std::string& name, uint32_t code);
  // Every later Open fails with `code` as for a device another program
  // holds (0: opens work).
  void HoldElsewhere(uint32_t code);
  // Read: refused / completion fails with `code` (0: reads work).
  void RefuseReads(uint32_t code);

  // Bytes arriving at the device: queued and reported as EV_RXCHAR.
  void Receive(const std::string& bytes);
  // Bytes waiting in the input queue, without a line event.
  void Queue(const std::string& bytes);
  // Line events without data.
  void Signal(uint32_t events);
  // The device goes away: every wait fails with `code` from now on, until
  // the port makes new wait objects (Close and Open).
  void FailWait(uint32_t code);

  // Everything written to the device so far.
  std::string Written();

  ComDeviceState last_state;
  ComDeviceTimeouts last_timeouts;

 private:
  friend class FakeComDevice;
  void Record(const std::string& call);
  bool Failing(const std::string& name, uint32_t& code);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> calls_;
  std::map<std::string, uint32_t> failing_;
  uint32_t read_refusal_ = 0;
  uint32_t held_elsewhere_ = 0;
  std::deque<DeviceWait> waits_;
  uint32_t wait_failure_ = 0;
  std::string input_;
  std::string written_;
  bool stop_ = false;
  bool open_ = false;
};

class FakeComDevice : public ComDevice {
 public:
  explicit FakeComDevice(std::shared_ptr<FakeComLine> line)
      : line_(std::move(line)) {}

  DeviceResult Open(const std::u16string& port, bool overlapped) override;
  DeviceResult SetupQueues(uint32_t input_size, uint32_t output_size) override;
  DeviceResult SetState(const ComDeviceState& state) override;
  DeviceResult SetTimeouts(const ComDeviceTimeouts& timeouts) override;
  DeviceResult SetEventMask(uint32_t mask) override;
  void CreateWaitObjects() override;
  void ReleaseWaitObjects() override;
  DeviceWait WaitEvents() override;
  void SignalStop() override;
  void SetCurrentThreadPriority(ThreadPriority priority) override;
  DeviceResult ClearErrors(uint32_t& errors, uint32_t& input_count) override;
  DeviceRead Read(char* buffer, uint32_t count) override;
  DeviceResult Write(const char* bytes, uint32_t count) override;
  DeviceResult Purge(uint32_t flags) override;
  DeviceResult ModemStatus(uint32_t& status) override;
  void Close() override;

 private:
  DeviceResult Simple(const std::string& call);
  std::shared_ptr<FakeComLine> line_;
};

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_TEST_FAKE_COM_DEVICE_H_
