#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "notify/test/private_network.h"
#include "notify/test/udp_listener.h"

namespace orvanta {
namespace {

[[noreturn]] void Fail(const char* what) {
  throw std::runtime_error(std::string("UdpListener: ") + what +
                           ": Winsock error " +
                           std::to_string(WSAGetLastError()));
}

void StartWinsockOnce() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}

}  // namespace

UdpListener::UdpListener(uint16_t port) {
  RequirePrivateTestNetwork();
  StartWinsockOnce();
  const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) Fail("socket");
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(port);
  int size = sizeof address;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    const int saved = WSAGetLastError();
    closesocket(s);
    WSASetLastError(saved);
    Fail("bind");
  }
  handle_ = static_cast<uintptr_t>(s);
  port_ = ntohs(address.sin_port);
}

UdpListener::~UdpListener() { closesocket(static_cast<SOCKET>(handle_)); }

std::optional<ReceivedDatagram> UdpListener::Receive(
    std::chrono::milliseconds timeout) {
  const SOCKET s = static_cast<SOCKET>(handle_);
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(s, &readable);
  timeval wait;
  wait.tv_sec = static_cast<long>(timeout.count() / 1000);
  wait.tv_usec = static_cast<long>(timeout.count() % 1000 * 1000);
  const int ready = select(0, &readable, nullptr, nullptr, &wait);
  if (ready == SOCKET_ERROR) Fail("select");
  if (ready == 0) return std::nullopt;
  std::string buffer(65536, '\0');
  sockaddr_in from;
  int from_size = sizeof from;
  const int n = recvfrom(s, buffer.data(), static_cast<int>(buffer.size()), 0,
                         reinterpret_cast<sockaddr*>(&from), &from_size);
  if (n == SOCKET_ERROR) Fail("recvfrom");
  buffer.resize(static_cast<size_t>(n));
  return ReceivedDatagram{std::move(buffer), ntohs(from.sin_port)};
}

}  // namespace orvanta
