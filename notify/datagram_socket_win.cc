#include <winsock2.h>
#include <ws2tcpip.h>

#include <climits>
#include <cstring>

#include "notify/datagram_socket.h"
#include "notify/socket_system_calls_win.h"

namespace orvanta {
namespace {

SOCKET Socket(uintptr_t handle) { return static_cast<SOCKET>(handle); }

int SetFlag(uintptr_t handle, int name, bool on) {
  const BOOL value = on ? TRUE : FALSE;
  if (CurrentSocketSystemCalls().set_option(
          Socket(handle), SOL_SOCKET, name,
          reinterpret_cast<const char*>(&value),
          sizeof value) == SOCKET_ERROR) {
    return WSAGetLastError();
  }
  return 0;
}

sockaddr_in Ipv4Address(u_long host, uint16_t port) {
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(host);
  address.sin_port = htons(port);
  return address;
}

}  // namespace

SocketSystemCalls& CurrentSocketSystemCalls() {
  static SocketSystemCalls calls = {
      ::socket, ::setsockopt, ::bind, ::sendto, ::shutdown, ::closesocket,
  };
  return calls;
}

void StartWinsock() {
  // Winsock counts its users; this process is one user for its whole life.
  // A failed start shows later as WSANOTINITIALISED from socket().
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}

std::unique_ptr<DatagramSocket> DatagramSocket::Create(int* error) {
  StartWinsock();
  const SOCKET s =
      CurrentSocketSystemCalls().open_socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) {
    *error = WSAGetLastError();
    return nullptr;
  }
  *error = 0;
  return std::unique_ptr<DatagramSocket>(
      new DatagramSocket(static_cast<uintptr_t>(s)));
}

DatagramSocket::~DatagramSocket() { Close(); }

int DatagramSocket::SetReuseAddress(bool on) {
  return SetFlag(handle_, SO_REUSEADDR, on);
}

int DatagramSocket::SetBroadcast(bool on) {
  return SetFlag(handle_, SO_BROADCAST, on);
}

int DatagramSocket::BindAnyAddress(uint16_t port) {
  const sockaddr_in address = Ipv4Address(INADDR_ANY, port);
  if (CurrentSocketSystemCalls().bind_address(
          Socket(handle_), reinterpret_cast<const sockaddr*>(&address),
          sizeof address) == SOCKET_ERROR) {
    return WSAGetLastError();
  }
  return 0;
}

DatagramSocket::SendResult DatagramSocket::SendBroadcast(std::string_view bytes,
                                                         uint16_t port) {
  // Winsock takes the length as an int; anything longer is no datagram.
  if (bytes.size() > static_cast<size_t>(INT_MAX)) {
    return {0, winsock_error::kMessageSize};
  }
  const sockaddr_in to = Ipv4Address(INADDR_BROADCAST, port);
  const int sent = CurrentSocketSystemCalls().send_to(
      Socket(handle_), bytes.data(), static_cast<int>(bytes.size()), 0,
      reinterpret_cast<const sockaddr*>(&to), sizeof to);
  if (sent == SOCKET_ERROR) return {0, WSAGetLastError()};
  return {sent, 0};
}

uint16_t DatagramSocket::LocalPort() const {
  sockaddr_in address;
  int size = sizeof address;
  if (getsockname(Socket(handle_), reinterpret_cast<sockaddr*>(&address),
                  &size) == SOCKET_ERROR ||
      address.sin_family != AF_INET) {
    return 0;
  }
  return ntohs(address.sin_port);
}

void DatagramSocket::Close() {
  if (!open_) return;
  open_ = false;
  CurrentSocketSystemCalls().shut_down(Socket(handle_), SD_SEND);
  CurrentSocketSystemCalls().close_socket(Socket(handle_));
}

}  // namespace orvanta
