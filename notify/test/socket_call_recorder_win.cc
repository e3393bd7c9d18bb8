#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>

#include "notify/socket_system_calls_win.h"
#include "notify/test/socket_call_recorder.h"

namespace orvanta {
namespace {

using socket_call_recorder_internal::Record;

SocketSystemCalls g_real;

int WinsockErrorFor(SocketFault fault) {
  switch (fault) {
    case SocketFault::kAccessDenied:
      return WSAEACCES;
    case SocketFault::kNotPermitted:
      return WSAEACCES;
    case SocketFault::kAddressInUse:
      return WSAEADDRINUSE;
    case SocketFault::kAddressFamilyNotSupported:
      return WSAEAFNOSUPPORT;
    case SocketFault::kNoBufferSpace:
      return WSAENOBUFS;
    case SocketFault::kMessageTooLong:
      return WSAEMSGSIZE;
    case SocketFault::kNetworkDown:
      return WSAENETDOWN;
    case SocketFault::kNetworkUnreachable:
      return WSAENETUNREACH;
    case SocketFault::kHostUnreachable:
      return WSAEHOSTUNREACH;
    case SocketFault::kPartialSend:
      break;
  }
  return WSAEFAULT;
}

std::string AddressText(const sockaddr* address) {
  const auto* in = reinterpret_cast<const sockaddr_in*>(address);
  const unsigned long host = ntohl(in->sin_addr.s_addr);
  return std::to_string(host >> 24) + "." + std::to_string((host >> 16) & 255) +
         "." + std::to_string((host >> 8) & 255) + "." +
         std::to_string(host & 255) + ":" + std::to_string(ntohs(in->sin_port));
}

SOCKET WSAAPI OpenSocket(int family, int type, int protocol) {
  if (auto fault = Record(SocketCall::kOpen, "socket")) {
    WSASetLastError(WinsockErrorFor(*fault));
    return INVALID_SOCKET;
  }
  return g_real.open_socket(family, type, protocol);
}

int WSAAPI SetOption(SOCKET s, int level, int name, const char* value,
                     int size) {
  const int flag = *reinterpret_cast<const BOOL*>(value) ? 1 : 0;
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
    WSASetLastError(WinsockErrorFor(*fault));
    return SOCKET_ERROR;
  }
  return g_real.set_option(s, level, name, value, size);
}

int WSAAPI BindAddress(SOCKET s, const sockaddr* address, int size) {
  if (auto fault = Record(SocketCall::kBind, "bind " + AddressText(address))) {
    WSASetLastError(WinsockErrorFor(*fault));
    return SOCKET_ERROR;
  }
  return g_real.bind_address(s, address, size);
}

int WSAAPI SendTo(SOCKET s, const char* data, int size, int flags,
                  const sockaddr* to, int to_size) {
  if (auto fault = Record(SocketCall::kSend, "sendto " + AddressText(to) + " " +
                                                 std::to_string(size))) {
    if (*fault == SocketFault::kPartialSend && size > 0) {
      return g_real.send_to(s, data, size - 1, flags, to, to_size);
    }
    WSASetLastError(WinsockErrorFor(*fault));
    return SOCKET_ERROR;
  }
  return g_real.send_to(s, data, size, flags, to, to_size);
}

int WSAAPI ShutDown(SOCKET s, int how) {
  Record(std::nullopt,
         how == SD_SEND ? "shutdown send" : "shutdown " + std::to_string(how));
  return g_real.shut_down(s, how);
}

int WSAAPI CloseSocket(SOCKET s) {
  Record(std::nullopt, "close");
  return g_real.close_socket(s);
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
