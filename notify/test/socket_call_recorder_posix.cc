#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <string>

#include "notify/socket_system_calls_posix.h"
#include "notify/test/socket_call_recorder.h"

namespace orvanta {
namespace {

using socket_call_recorder_internal::Record;

SocketSystemCalls g_real;

int ErrnoFor(SocketFault fault) {
  switch (fault) {
    case SocketFault::kAccessDenied:
      return EACCES;
    case SocketFault::kNotPermitted:
      return EPERM;
    case SocketFault::kAddressInUse:
      return EADDRINUSE;
    case SocketFault::kAddressFamilyNotSupported:
      return EAFNOSUPPORT;
    case SocketFault::kNoBufferSpace:
      return ENOBUFS;
    case SocketFault::kMessageTooLong:
      return EMSGSIZE;
    case SocketFault::kNetworkDown:
      return ENETDOWN;
    case SocketFault::kNetworkUnreachable:
      return ENETUNREACH;
    case SocketFault::kHostUnreachable:
      return EHOSTUNREACH;
    case SocketFault::kPartialSend:
      break;
  }
  return EIO;
}

std::string AddressText(const sockaddr* address) {
  const auto* in = reinterpret_cast<const sockaddr_in*>(address);
  char host[INET_ADDRSTRLEN] = "?";
  inet_ntop(AF_INET, &in->sin_addr, host, sizeof host);
  return std::string(host) + ":" + std::to_string(ntohs(in->sin_port));
}

int OpenSocket(int domain, int type, int protocol) {
  if (auto fault = Record(SocketCall::kOpen, "socket")) {
    errno = ErrnoFor(*fault);
    return -1;
  }
  return g_real.open_socket(domain, type, protocol);
}

int SetOption(int fd, int level, int name, const void* value, socklen_t size) {
  const int flag = *static_cast<const int*>(value);
  std::optional<SocketFault> fault;
  if (level == SOL_SOCKET && name == SO_REUSEADDR) {
    fault =
        Record(SocketCall::kReuseAddress, "reuseaddr " + std::to_string(flag));
  } else if (level == SOL_SOCKET && name == SO_BROADCAST) {
    fault = Record(SocketCall::kBroadcast, "broadcast " + std::to_string(flag));
  } else {
    fault = Record(std::nullopt, "setsockopt " + std::to_string(level) + " " +
                                     std::to_string(name));
  }
  if (fault) {
    errno = ErrnoFor(*fault);
    return -1;
  }
  return g_real.set_option(fd, level, name, value, size);
}

int BindAddress(int fd, const sockaddr* address, socklen_t size) {
  if (auto fault = Record(SocketCall::kBind, "bind " + AddressText(address))) {
    errno = ErrnoFor(*fault);
    return -1;
  }
  return g_real.bind_address(fd, address, size);
}

ssize_t SendTo(int fd, const void* data, size_t size, int flags,
               const sockaddr* to, socklen_t to_size) {
  if (auto fault = Record(SocketCall::kSend, "sendto " + AddressText(to) + " " +
                                                 std::to_string(size))) {
    if (*fault == SocketFault::kPartialSend && size > 0) {
      return g_real.send_to(fd, data, size - 1, flags, to, to_size);
    }
    errno = ErrnoFor(*fault);
    return -1;
  }
  return g_real.send_to(fd, data, size, flags, to, to_size);
}

int ShutDown(int fd, int how) {
  Record(std::nullopt,
         how == SHUT_WR ? "shutdown send" : "shutdown " + std::to_string(how));
  return g_real.shut_down(fd, how);
}

int CloseSocket(int fd) {
  Record(std::nullopt, "close");
  return g_real.close_socket(fd);
}

}  // namespace

namespace socket_call_recorder_internal {

void Install() {
  SocketSystemCalls& calls = CurrentSocketSystemCalls();
  g_real = calls;
  calls = {OpenSocket, SetOption, BindAddress, SendTo, ShutDown, CloseSocket};
}

void Uninstall() { CurrentSocketSystemCalls() = g_real; }

}  // namespace socket_call_recorder_internal

}  // namespace orvanta
