#include "serial/test/fake_com_device.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/text.h"

namespace orvanta {
namespace {

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

std::string FirstWord(const std::string& call) {
  return call.substr(0, call.find(' '));
}

}  // namespace

std::vector<std::string> FakeComLine::Calls() {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

void FakeComLine::ClearCalls() {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.clear();
}

int FakeComLine::CountOf(const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(std::count_if(
      calls_.begin(), calls_.end(),
      [&](const std::string& c) { return FirstWord(c) == name; }));
}

void FakeComLine::FailCall(const std::string& name, uint32_t code) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (code == 0) {
    failing_.erase(name);
  } else {
    failing_[name] = code;
  }
}

void FakeComLine::HoldElsewhere(uint32_t code) {
  std::lock_guard<std::mutex> lock(mutex_);
  held_elsewhere_ = code;
}

void FakeComLine::RefuseReads(uint32_t code) {
  std::lock_guard<std::mutex> lock(mutex_);
  read_refusal_ = code;
}

void FakeComLine::Receive(const std::string& bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    input_ += bytes;
    DeviceWait wait;
    wait.outcome = DeviceWait::kEvents;
    wait.events = kEvRxChar;
    waits_.push_back(wait);
  }
  changed_.notify_all();
}

void FakeComLine::Queue(const std::string& bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  input_ += bytes;
}

void FakeComLine::Signal(uint32_t events) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    DeviceWait wait;
    wait.outcome = DeviceWait::kEvents;
    wait.events = events;
    waits_.push_back(wait);
  }
  changed_.notify_all();
}

void FakeComLine::FailWait(uint32_t code) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    wait_failure_ = code;
  }
  changed_.notify_all();
}

std::string FakeComLine::Written() {
  std::lock_guard<std::mutex> lock(mutex_);
  return written_;
}

void FakeComLine::Record(const std::string& call) {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.push_back(call);
}

bool FakeComLine::Failing(const std::string& name, uint32_t& code) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = failing_.find(name);
  if (it == failing_.end()) return false;
  code = it->second;
  return true;
}

DeviceResult FakeComDevice::Simple(const std::string& call) {
  line_->Record(call);
  uint32_t code = 0;
  if (line_->Failing(FirstWord(call), code)) return DeviceResult::Fail(code);
  return DeviceResult::Ok();
}

DeviceResult FakeComDevice::Open(const std::u16string& port, bool overlapped) {
  const DeviceResult r =
      Simple("Open " + Utf16ToUtf8(port) + (overlapped ? "" : " sync"));
  std::lock_guard<std::mutex> lock(line_->mutex_);
  if (r && line_->held_elsewhere_ != 0) {
    return DeviceResult::InUse(line_->held_elsewhere_);
  }
  if (r) line_->open_ = true;
  return r;
}

DeviceResult FakeComDevice::SetupQueues(uint32_t input_size,
                                        uint32_t output_size) {
  return Simple("SetupQueues " + std::to_string(input_size) + " " +
                std::to_string(output_size));
}

DeviceResult FakeComDevice::SetState(const ComDeviceState& state) {
  {
    std::lock_guard<std::mutex> lock(line_->mutex_);
    line_->last_state = state;
  }
  return Simple("SetState");
}

DeviceResult FakeComDevice::SetTimeouts(const ComDeviceTimeouts& timeouts) {
  {
    std::lock_guard<std::mutex> lock(line_->mutex_);
    line_->last_timeouts = timeouts;
  }
  return Simple("SetTimeouts");
}

DeviceResult FakeComDevice::SetEventMask(uint32_t mask) {
  return Simple("SetEventMask " + Hex(mask));
}

void FakeComDevice::CreateWaitObjects() {
  line_->Record("CreateWaitObjects");
  std::lock_guard<std::mutex> lock(line_->mutex_);
  line_->stop_ = false;
  line_->wait_failure_ = 0;
}

void FakeComDevice::ReleaseWaitObjects() {
  line_->Record("ReleaseWaitObjects");
}

DeviceWait FakeComDevice::WaitEvents() {
  std::unique_lock<std::mutex> lock(line_->mutex_);
  line_->changed_.wait(lock, [&] {
    return line_->stop_ || line_->wait_failure_ != 0 || !line_->waits_.empty();
  });
  if (line_->stop_) return DeviceWait{DeviceWait::kStopped, 0, 0};
  if (line_->wait_failure_ != 0) {
    return DeviceWait{DeviceWait::kFailed, 0, line_->wait_failure_};
  }
  const DeviceWait wait = line_->waits_.front();
  line_->waits_.pop_front();
  return wait;
}

void FakeComDevice::SignalStop() {
  line_->Record("SignalStop");
  {
    std::lock_guard<std::mutex> lock(line_->mutex_);
    line_->stop_ = true;
  }
  line_->changed_.notify_all();
}

void FakeComDevice::SetCurrentThreadPriority(ThreadPriority) {}

DeviceResult FakeComDevice::ClearErrors(uint32_t& errors,
                                        uint32_t& input_count) {
  const DeviceResult r = Simple("ClearErrors");
  std::lock_guard<std::mutex> lock(line_->mutex_);
  errors = 0;
  input_count = static_cast<uint32_t>(line_->input_.size());
  return r;
}

DeviceRead FakeComDevice::Read(char* buffer, uint32_t count) {
  line_->Record("Read " + std::to_string(count));
  uint32_t code = 0;
  if (line_->Failing("Read", code))
    return DeviceRead{DeviceRead::kFailed, 0, code};
  std::lock_guard<std::mutex> lock(line_->mutex_);
  if (line_->read_refusal_ != 0) {
    return DeviceRead{DeviceRead::kRefused, 0, line_->read_refusal_};
  }
  const auto n = std::min<size_t>(count, line_->input_.size());
  std::memcpy(buffer, line_->input_.data(), n);
  line_->input_.erase(0, n);
  return DeviceRead{DeviceRead::kDone, static_cast<uint32_t>(n), 0};
}

DeviceResult FakeComDevice::Write(const char* bytes, uint32_t count) {
  const DeviceResult r = Simple("Write " + std::to_string(count));
  std::lock_guard<std::mutex> lock(line_->mutex_);
  if (r && !line_->open_) return DeviceResult::Fail(6);  // no handle
  if (r) line_->written_.append(bytes, count);
  return r;
}

DeviceResult FakeComDevice::Purge(uint32_t flags) {
  return Simple("Purge " + Hex(flags));
}

DeviceResult FakeComDevice::ModemStatus(uint32_t& status) {
  status = 0;
  return Simple("ModemStatus");
}

void FakeComDevice::Close() {
  line_->Record("Close");
  std::lock_guard<std::mutex> lock(line_->mutex_);
  line_->open_ = false;
}

}  // namespace orvanta
