#ifndef ORVANTA_NOTIFY_UDP_CHANNEL_H_
#define ORVANTA_NOTIFY_UDP_CHANNEL_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/failure.h"

namespace orvanta {

class DatagramSocket;  // per-platform socket (Winsock / BSD sockets)

// A refusal by the socket layer; the message is SocketErrorMessage(code).
class SocketFailure : public Failure {
 public:
  explicit SocketFailure(int winsock_code);
  int code() const { return code_; }

 private:
  int code_;
};

// The UDP channel: an IPv4 datagram socket bound to
// 0.0.0.0:0 that broadcasts to 255.255.255.255.
class UdpChannel {
 public:
  UdpChannel();
  ~UdpChannel();  // closes an open socket
  UdpChannel(const UdpChannel&) = delete;
  UdpChannel& operator=(const UdpChannel&) = delete;

  uint16_t Port() const { return port_; }
  void SetPort(int32_t port);  // keeps the low 16 bits
  bool BroadcastEnabled() const { return broadcast_enabled_; }
  void SetBroadcastEnabled(bool enabled) { broadcast_enabled_ = enabled; }
  bool Active() const;
  // true: create, bind, allow broadcast (Failure on error; the channel then
  // stays inactive). false: shutdown + close, errors ignored.
  void SetActive(bool active);

  // One datagram, one byte per UTF-16 code unit ("?" above 0x7F), to
  // 255.255.255.255:port. Broadcast permission is on for the send and
  // BroadcastEnabled() after it (the socket is only told of a change); an
  // empty text sends nothing. Raises Failure ("Package Size Too Big.", "Not all
  // bytes sent.") or SocketFailure ("Socket Error # %d\r\n%s"); on a closed
  // channel "Socket Error # 10038" (callers check Active() first).
  void Broadcast(std::u16string_view text, uint16_t port);

  // The local port the socket is bound to (0 while inactive).
  uint16_t LocalPort() const;

 private:
  uint16_t port_ = 0;
  void AllowBroadcast(bool allow);

  bool broadcast_enabled_ = true;
  std::unique_ptr<DatagramSocket> socket_;
  // What the open socket was last told; empty when a change failed.
  std::optional<bool> socket_allows_broadcast_;
};

// The datagram bytes for a text: one byte per UTF-16 code unit, "?" above 0x7F.
std::string EncodeDatagram(std::u16string_view text);

// "Socket Error # %d\r\n%s" with the Winsock code and its short description.
std::u16string SocketErrorMessage(int winsock_code);

// The channel's own failure texts, for callers that need to recognise them.
inline constexpr char16_t kBindFailedMessage[] =
    u"Could not bind socket. Address and port are already in use.";
inline constexpr char16_t kPackageTooBigMessage[] = u"Package Size Too Big.";
inline constexpr char16_t kNotAllBytesSentMessage[] = u"Not all bytes sent.";

}  // namespace orvanta

#endif  // ORVANTA_NOTIFY_UDP_CHANNEL_H_
