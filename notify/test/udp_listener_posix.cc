#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "notify/test/private_network.h"
#include "notify/test/udp_listener.h"

namespace orvanta {
namespace {

[[noreturn]] void Fail(const char* what) {
  throw std::runtime_error(std::string("UdpListener: ") + what + ": " +
                           std::strerror(errno));
}

}  // namespace

UdpListener::UdpListener(uint16_t port) {
  RequirePrivateTestNetwork();
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  if (fd < 0) Fail("socket");
  // Room for a whole burst of calls, so that a test reading on a loaded
  // machine does not lose datagrams in its own socket. FORCE passes the
  // system limit (the tests run as root in their own namespace).
  const int buffer = 32 << 20;
  if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer) != 0) {
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
  }
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(port);
  socklen_t size = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    const int saved = errno;
    close(fd);
    errno = saved;
    Fail("bind");
  }
  handle_ = static_cast<uintptr_t>(fd);
  port_ = ntohs(address.sin_port);
}

UdpListener::~UdpListener() { close(static_cast<int>(handle_)); }

std::optional<ReceivedDatagram> UdpListener::Receive(
    std::chrono::milliseconds timeout) {
  const int fd = static_cast<int>(handle_);
  pollfd wait = {fd, POLLIN, 0};
  int ready;
  do {
    ready = poll(&wait, 1, static_cast<int>(timeout.count()));
  } while (ready < 0 && errno == EINTR);
  if (ready < 0) Fail("poll");
  if (ready == 0) return std::nullopt;
  std::string buffer(65536, '\0');
  sockaddr_in from;
  socklen_t from_size = sizeof from;
  const ssize_t n = recvfrom(fd, buffer.data(), buffer.size(), 0,
                             reinterpret_cast<sockaddr*>(&from), &from_size);
  if (n < 0) Fail("recvfrom");
  buffer.resize(static_cast<size_t>(n));
  return ReceivedDatagram{std::move(buffer), ntohs(from.sin_port)};
}

}  // namespace orvanta
