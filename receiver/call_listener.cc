#include "receiver/call_listener.h"

#include <chrono>

#include "base/failure.h"
#include "notify/datagram_receiver.h"

namespace orvanta {

CallListener::CallListener(uint16_t port, UiHandover& handover, Handler handler)
    : socket_(std::make_unique<DatagramReceiver>(port)),
      handover_(handover),
      handler_(std::move(handler)),
      waiting_(std::make_shared<std::atomic<int>>(0)) {
  thread_ = std::thread([this] { Run(); });
}

CallListener::~CallListener() {
  stop_ = true;
  thread_.join();
}

uint16_t CallListener::LocalPort() const { return socket_->LocalPort(); }

void CallListener::Run() {
  while (!stop_) {
    std::optional<std::string> bytes;
    try {
      // The wait is bounded only so that a stop is noticed.
      bytes = socket_->Receive(std::chrono::milliseconds(200));
    } catch (const Failure&) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      continue;
    }
    if (!bytes) continue;
    if (*waiting_ >= kMaxWaiting) {
      ++dropped_;
      continue;
    }
    ++*waiting_;
    // Work still queued when the listener is gone must not touch it.
    std::shared_ptr<std::atomic<int>> waiting = waiting_;
    Handler handler = handler_;
    handover_.Post([waiting, handler, data = std::move(*bytes)] {
      --*waiting;
      handler(data);
    });
  }
}

}  // namespace orvanta
