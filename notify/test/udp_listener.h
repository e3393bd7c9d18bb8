#ifndef ORVANTA_NOTIFY_TEST_UDP_LISTENER_H_
#define ORVANTA_NOTIFY_TEST_UDP_LISTENER_H_

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace orvanta {

struct ReceivedDatagram {
  std::string bytes;
  uint16_t source_port = 0;
};

// A UDP socket bound to 0.0.0.0:port inside the private test network, where
// it receives the 255.255.255.255 broadcasts sent on the same machine. The
// constructor ends the process unless it runs inside that network (see
// private_network.h), and throws std::runtime_error when it cannot bind.
class UdpListener {
 public:
  explicit UdpListener(uint16_t port = 0);  // 0: the system picks one
  ~UdpListener();
  UdpListener(const UdpListener&) = delete;
  UdpListener& operator=(const UdpListener&) = delete;

  uint16_t port() const { return port_; }

  // The next datagram, or nothing if none came within `timeout` (which only
  // keeps a broken test from hanging).
  std::optional<ReceivedDatagram> Receive(
      std::chrono::milliseconds timeout = std::chrono::seconds(10));

 private:
  uintptr_t handle_ = 0;
  uint16_t port_ = 0;
};

}  // namespace orvanta

#endif  // ORVANTA_NOTIFY_TEST_UDP_LISTENER_H_
