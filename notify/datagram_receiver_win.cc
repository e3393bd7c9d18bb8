#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#include <vector>

#include "base/failure.h"
#include "notify/datagram_receiver.h"
#include "notify/socket_system_calls_win.h"
#include "notify/udp_channel.h"

namespace orvanta {
namespace {

[[noreturn]] void RaiseLastError() {
  throw Failure(SocketErrorMessage(WSAGetLastError()));
}

SOCKET Socket(uintptr_t handle) { return static_cast<SOCKET>(handle); }

}  // namespace

DatagramReceiver::DatagramReceiver(uint16_t port) {
  StartWinsock();
  const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) RaiseLastError();
  handle_ = static_cast<uintptr_t>(s);
  const BOOL on = TRUE;
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(port);
  if (::setsockopt(s, SOL_SOCKET, SO_REUSEADDR,
                   reinterpret_cast<const char*>(&on), sizeof on) != 0 ||
      ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) !=
          0) {
    const int saved = WSAGetLastError();
    ::closesocket(s);
    WSASetLastError(saved);
    RaiseLastError();
  }
}

DatagramReceiver::~DatagramReceiver() { ::closesocket(Socket(handle_)); }

uint16_t DatagramReceiver::LocalPort() const {
  sockaddr_in address;
  int size = sizeof address;
  if (::getsockname(Socket(handle_), reinterpret_cast<sockaddr*>(&address),
                    &size) != 0) {
    return 0;
  }
  return ntohs(address.sin_port);
}

std::optional<std::string> DatagramReceiver::Receive(
    std::chrono::milliseconds timeout) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(Socket(handle_), &readable);
  timeval wait;
  wait.tv_sec = static_cast<long>(timeout.count() / 1000);
  wait.tv_usec = static_cast<long>((timeout.count() % 1000) * 1000);
  const int ready = ::select(0, &readable, nullptr, nullptr, &wait);
  if (ready == SOCKET_ERROR) RaiseLastError();
  if (ready == 0) return std::nullopt;
  std::vector<char> buffer(65536);
  const int size = ::recv(Socket(handle_), buffer.data(),
                          static_cast<int>(buffer.size()), 0);
  if (size == SOCKET_ERROR) {
    // A datagram larger than the buffer, or an ICMP report from an earlier
    // send: neither ends listening.
    const int error = WSAGetLastError();
    if (error == WSAEMSGSIZE || error == WSAECONNRESET) return std::string();
    RaiseLastError();
  }
  return std::string(buffer.data(), static_cast<size_t>(size));
}

}  // namespace orvanta
