#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "notify/datagram_socket.h"
#include "notify/socket_system_calls_posix.h"

namespace orvanta {
namespace {

int LastError() { return WinsockCodeFromErrno(errno); }

int Fd(uintptr_t handle) { return static_cast<int>(handle); }

int SetFlag(uintptr_t handle, int name, bool on) {
  const int value = on ? 1 : 0;
  if (CurrentSocketSystemCalls().set_option(Fd(handle), SOL_SOCKET, name,
                                            &value, sizeof value) != 0) {
    return LastError();
  }
  return 0;
}

sockaddr_in Ipv4Address(in_addr_t host, uint16_t port) {
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
      ::socket, ::setsockopt, ::bind, ::sendto, ::shutdown, ::close,
  };
  return calls;
}

// The one place where errno becomes a Winsock code, so that a failure reads
// "Socket Error # 10013" on Linux as it does on Windows.
int WinsockCodeFromErrno(int errno_value) {
  switch (errno_value) {
    case EINTR:
      return winsock_error::kInterrupted;
    case EBADF:
      return winsock_error::kBadHandle;
    case EACCES:
    case EPERM:  // the kernel's word for "broadcast not allowed" by a firewall
      return winsock_error::kAccessDenied;
    case EFAULT:
      return winsock_error::kBadAddress;
    case EINVAL:
      return winsock_error::kInvalidArgument;
    case EMFILE:
    case ENFILE:
      return winsock_error::kTooManyOpenFiles;
    case EWOULDBLOCK:
      return winsock_error::kWouldBlock;
    case EINPROGRESS:
      return winsock_error::kInProgress;
    case EALREADY:
      return winsock_error::kAlready;
    case ENOTSOCK:
      return winsock_error::kNotSocket;
    case EDESTADDRREQ:
      return winsock_error::kDestinationAddressRequired;
    case EMSGSIZE:
      return winsock_error::kMessageSize;
    case EPROTOTYPE:
      return winsock_error::kProtocolType;
    case ENOPROTOOPT:
      return winsock_error::kNoProtocolOption;
    case EPROTONOSUPPORT:
      return winsock_error::kProtocolNotSupported;
    case ESOCKTNOSUPPORT:
      return winsock_error::kSocketTypeNotSupported;
    case EOPNOTSUPP:
      return winsock_error::kOperationNotSupported;
    case EPFNOSUPPORT:
      return winsock_error::kProtocolFamilyNotSupported;
    case EAFNOSUPPORT:
      return winsock_error::kAddressFamilyNotSupported;
    case EADDRINUSE:
      return winsock_error::kAddressInUse;
    case EADDRNOTAVAIL:
      return winsock_error::kAddressNotAvailable;
    case ENETDOWN:
      return winsock_error::kNetworkDown;
    case ENETUNREACH:
      return winsock_error::kNetworkUnreachable;
    case ENETRESET:
      return winsock_error::kNetworkReset;
    case ECONNABORTED:
      return winsock_error::kConnectionAborted;
    case ECONNRESET:
      return winsock_error::kConnectionReset;
    case ENOBUFS:
    case ENOMEM:  // Winsock reports a lack of memory as a lack of buffers
      return winsock_error::kNoBufferSpace;
    case EISCONN:
      return winsock_error::kAlreadyConnected;
    case ENOTCONN:
      return winsock_error::kNotConnected;
    case ESHUTDOWN:
      return winsock_error::kShutDown;
    case ETIMEDOUT:
      return winsock_error::kTimedOut;
    case ECONNREFUSED:
      return winsock_error::kConnectionRefused;
    case EHOSTDOWN:
      return winsock_error::kHostDown;
    case EHOSTUNREACH:
      return winsock_error::kHostUnreachable;
    default:
      return errno_value;
  }
}

std::unique_ptr<DatagramSocket> DatagramSocket::Create(int* error) {
  const int fd = CurrentSocketSystemCalls().open_socket(
      AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  if (fd < 0) {
    *error = LastError();
    return nullptr;
  }
  *error = 0;
  return std::unique_ptr<DatagramSocket>(
      new DatagramSocket(static_cast<uintptr_t>(fd)));
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
          Fd(handle_), reinterpret_cast<const sockaddr*>(&address),
          sizeof address) != 0) {
    return LastError();
  }
  return 0;
}

DatagramSocket::SendResult DatagramSocket::SendBroadcast(std::string_view bytes,
                                                         uint16_t port) {
  const sockaddr_in to = Ipv4Address(INADDR_BROADCAST, port);
  const ssize_t sent = CurrentSocketSystemCalls().send_to(
      Fd(handle_), bytes.data(), bytes.size(), 0,
      reinterpret_cast<const sockaddr*>(&to), sizeof to);
  if (sent < 0) return {0, LastError()};
  return {static_cast<int64_t>(sent), 0};
}

uint16_t DatagramSocket::LocalPort() const {
  sockaddr_in address;
  socklen_t size = sizeof address;
  if (getsockname(Fd(handle_), reinterpret_cast<sockaddr*>(&address), &size) !=
          0 ||
      address.sin_family != AF_INET) {
    return 0;
  }
  return ntohs(address.sin_port);
}

void DatagramSocket::Close() {
  if (!open_) return;
  open_ = false;
  CurrentSocketSystemCalls().shut_down(Fd(handle_), SHUT_WR);
  CurrentSocketSystemCalls().close_socket(Fd(handle_));
}

}  // namespace orvanta
