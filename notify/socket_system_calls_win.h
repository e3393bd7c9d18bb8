#ifndef ORVANTA_NOTIFY_SOCKET_SYSTEM_CALLS_WIN_H_
#define ORVANTA_NOTIFY_SOCKET_SYSTEM_CALLS_WIN_H_

#include <winsock2.h>

namespace orvanta {

// The Winsock calls the Windows datagram socket makes, reached through this
// table so that tests can watch them and make single calls fail. Errors are
// reported the system's way: INVALID_SOCKET / SOCKET_ERROR and
// WSAGetLastError().
struct SocketSystemCalls {
  SOCKET(WSAAPI* open_socket)(int family, int type, int protocol);
  int(WSAAPI* set_option)(SOCKET s, int level, int name, const char* value,
                          int size);
  int(WSAAPI* bind_address)(SOCKET s, const sockaddr* address, int size);
  int(WSAAPI* send_to)(SOCKET s, const char* data, int size, int flags,
                       const sockaddr* to, int to_size);
  int(WSAAPI* shut_down)(SOCKET s, int how);
  int(WSAAPI* close_socket)(SOCKET s);
};

// The table in use (the real calls unless a test replaced entries).
SocketSystemCalls& CurrentSocketSystemCalls();

// WSAStartup, once per process; later calls do nothing.
void StartWinsock();

}  // namespace orvanta

#endif  // ORVANTA_NOTIFY_SOCKET_SYSTEM_CALLS_WIN_H_
