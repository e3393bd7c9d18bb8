#ifndef ORVANTA_RECEIVER_CALL_LISTENER_H_
#define ORVANTA_RECEIVER_CALL_LISTENER_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "base/ui_handover.h"

namespace orvanta {

class DatagramReceiver;

// Listens on the UDP port in a thread of its own and hands each datagram to
// the user-interface thread. At most a few hundred datagrams wait there at a
// time; a flood beyond that is dropped here and counted.
class CallListener {
 public:
  using Handler = std::function<void(const std::string& bytes)>;

  // Binds the port (Failure when it cannot) and starts listening.
  CallListener(uint16_t port, UiHandover& handover, Handler handler);
  ~CallListener();  // stops and joins the thread
  CallListener(const CallListener&) = delete;
  CallListener& operator=(const CallListener&) = delete;

  uint16_t LocalPort() const;
  uint64_t dropped() const { return dropped_; }

  static constexpr int kMaxWaiting = 256;

 private:
  void Run();

  std::unique_ptr<DatagramReceiver> socket_;
  UiHandover& handover_;
  Handler handler_;
  std::shared_ptr<std::atomic<int>> waiting_;
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> dropped_{0};
  std::thread thread_;
};

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_CALL_LISTENER_H_
