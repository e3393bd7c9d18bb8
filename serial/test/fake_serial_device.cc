#include "serial/test/fake_serial_device.h"

namespace orvanta {

bool FakeSerialHardware::IsOpen() {
  std::lock_guard<std::mutex> lock(mutex_);
  return open_;
}

std::optional<LineSettings> FakeSerialHardware::Line() {
  std::lock_guard<std::mutex> lock(mutex_);
  return line_;
}

int FakeSerialHardware::Opens() {
  std::lock_guard<std::mutex> lock(mutex_);
  return opens_;
}

std::string FakeSerialHardware::Written() {
  std::lock_guard<std::mutex> lock(mutex_);
  return written_;
}

void FakeSerialHardware::Arrive(const std::string& bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    input_ += bytes;
  }
  changed_.notify_all();
}

void FakeSerialHardware::Fail(SerialFailure failure, uint32_t code) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (code == 0) {
    failing_.erase(failure);
  } else {
    failing_[failure] = code;
  }
}

void FakeSerialHardware::HoldElsewhere(uint32_t code) {
  std::lock_guard<std::mutex> lock(mutex_);
  held_elsewhere_ = code;
}

void FakeSerialHardware::Unplug(uint32_t code) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    unplugged_ = code;
  }
  changed_.notify_all();
}

std::optional<DeviceResult> FakeSerialHardware::Planned(SerialFailure failure) {
  const auto it = failing_.find(failure);
  if (it == failing_.end()) return std::nullopt;
  return DeviceResult::Fail(failure, it->second);
}

DeviceResult FakeSerialDevice::Open(const LineSettings& line) {
  std::lock_guard<std::mutex> lock(hardware_->mutex_);
  if (hardware_->open_) return DeviceResult::Fail(SerialFailure::kOpen, 5);
  if (hardware_->held_elsewhere_ != 0)
    return DeviceResult::InUse(hardware_->held_elsewhere_);
  if (auto failed = hardware_->Planned(SerialFailure::kOpen)) return *failed;
  if (auto failed = hardware_->Planned(SerialFailure::kLineSettings))
    return *failed;
  hardware_->open_ = true;
  ++hardware_->opens_;
  hardware_->line_ = line;
  hardware_->stop_ = false;
  hardware_->unplugged_ = 0;
  return DeviceResult::Ok();
}

DeviceResult FakeSerialDevice::Apply(const LineSettings& line) {
  std::lock_guard<std::mutex> lock(hardware_->mutex_);
  if (auto failed = hardware_->Planned(SerialFailure::kLineSettings))
    return *failed;
  hardware_->line_ = line;
  return DeviceResult::Ok();
}

DeviceResult FakeSerialDevice::Close() {
  std::lock_guard<std::mutex> lock(hardware_->mutex_);
  hardware_->open_ = false;
  hardware_->input_.clear();
  if (auto failed = hardware_->Planned(SerialFailure::kAbortIo)) return *failed;
  return DeviceResult::Ok();
}

DeviceWait FakeSerialDevice::WaitForInput() {
  std::unique_lock<std::mutex> lock(hardware_->mutex_);
  hardware_->changed_.wait(lock, [&] {
    return hardware_->stop_ || hardware_->unplugged_ != 0 ||
           !hardware_->input_.empty();
  });
  if (hardware_->stop_) return DeviceWait{DeviceWait::kStopped, 0};
  if (hardware_->unplugged_ != 0)
    return DeviceWait{DeviceWait::kFailed, hardware_->unplugged_};
  return DeviceWait{DeviceWait::kInput, 0};
}

void FakeSerialDevice::StopWaiting() {
  {
    std::lock_guard<std::mutex> lock(hardware_->mutex_);
    hardware_->stop_ = true;
  }
  hardware_->changed_.notify_all();
}

DeviceResult FakeSerialDevice::Read(std::string& bytes) {
  std::lock_guard<std::mutex> lock(hardware_->mutex_);
  if (auto failed = hardware_->Planned(SerialFailure::kInputCount))
    return *failed;
  if (auto failed = hardware_->Planned(SerialFailure::kRead)) return *failed;
  bytes += hardware_->input_;
  hardware_->input_.clear();
  return DeviceResult::Ok();
}

DeviceResult FakeSerialDevice::Write(std::string_view bytes) {
  std::lock_guard<std::mutex> lock(hardware_->mutex_);
  if (auto failed = hardware_->Planned(SerialFailure::kWrite)) return *failed;
  hardware_->written_.append(bytes);
  return DeviceResult::Ok();
}

}  // namespace orvanta
