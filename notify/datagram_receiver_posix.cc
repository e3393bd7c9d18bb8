#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "base/failure.h"
#include "notify/datagram_receiver.h"
#include "notify/socket_system_calls_posix.h"
#include "notify/udp_channel.h"

namespace orvanta {
namespace {

[[noreturn]] void RaiseLastError() {
  throw Failure(SocketErrorMessage(WinsockCodeFromErrno(errno)));
}

int Fd(uintptr_t handle) { return static_cast<int>(handle); }

}  // namespace

DatagramReceiver::DatagramReceiver(uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  if (fd < 0) RaiseLastError();
  handle_ = static_cast<uintptr_t>(fd);
  const int on = 1;
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(port);
  if (::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
      ::setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on) != 0 ||
      ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) !=
          0) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    RaiseLastError();
  }
}

DatagramReceiver::~DatagramReceiver() { ::close(Fd(handle_)); }

uint16_t DatagramReceiver::LocalPort() const {
  sockaddr_in address;
  socklen_t size = sizeof address;
  if (::getsockname(Fd(handle_), reinterpret_cast<sockaddr*>(&address),
                    &size) != 0) {
    return 0;
  }
  return ntohs(address.sin_port);
}

std::optional<std::string> DatagramReceiver::Receive(
    std::chrono::milliseconds timeout) {
  pollfd waiting = {Fd(handle_), POLLIN, 0};
  const int ready = ::poll(&waiting, 1, static_cast<int>(timeout.count()));
  if (ready < 0) {
    if (errno == EINTR) return std::nullopt;
    RaiseLastError();
  }
  if (ready == 0) return std::nullopt;
  std::vector<char> buffer(65536);
  const ssize_t size =
      ::recv(Fd(handle_), buffer.data(), buffer.size(), MSG_DONTWAIT);
  if (size < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
      return std::nullopt;
    RaiseLastError();
  }
  return std::string(buffer.data(), static_cast<size_t>(size));
}

}  // namespace orvanta
