#ifndef ORVANTA_NOTIFY_DATAGRAM_RECEIVER_H_
#define ORVANTA_NOTIFY_DATAGRAM_RECEIVER_H_

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace orvanta {

// An IPv4 UDP socket bound to 0.0.0.0:port for listening to the LAN's call
// announcements. Address reuse is on (and port reuse on Linux), so several
// receivers and other programs on one PC can listen on the same port and
// each gets every broadcast.
class DatagramReceiver {
 public:
  // Raises Failure "Socket Error # %d\r\n%s" when the socket cannot be made
  // or bound. Port 0 lets the system choose (tests).
  explicit DatagramReceiver(uint16_t port);
  ~DatagramReceiver();
  DatagramReceiver(const DatagramReceiver&) = delete;
  DatagramReceiver& operator=(const DatagramReceiver&) = delete;

  uint16_t LocalPort() const;

  // The next datagram's bytes, whole (up to the 64 KiB a UDP datagram can
  // carry), or nothing when none came within `timeout`. Raises Failure when
  // the socket fails.
  std::optional<std::string> Receive(std::chrono::milliseconds timeout);

 private:
  uintptr_t handle_ = 0;
};

}  // namespace orvanta

#endif  // ORVANTA_NOTIFY_DATAGRAM_RECEIVER_H_
