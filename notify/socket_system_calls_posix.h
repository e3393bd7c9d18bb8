#ifndef ORVANTA_NOTIFY_SOCKET_SYSTEM_CALLS_POSIX_H_
#define ORVANTA_NOTIFY_SOCKET_SYSTEM_CALLS_POSIX_H_

#include <sys/socket.h>
#include <sys/types.h>

namespace orvanta {

// The system calls the POSIX datagram socket makes, reached through this
// table so that tests can watch them and make single calls fail. Errors are
// reported the system's way: -1 and errno.
struct SocketSystemCalls {
  int (*open_socket)(int domain, int type, int protocol);
  int (*set_option)(int fd, int level, int name, const void* value,
                    socklen_t size);
  int (*bind_address)(int fd, const sockaddr* address, socklen_t size);
  ssize_t (*send_to)(int fd, const void* data, size_t size, int flags,
                     const sockaddr* to, socklen_t to_size);
  int (*shut_down)(int fd, int how);
  int (*close_socket)(int fd);
};

// The table in use (the real calls unless a test replaced entries).
SocketSystemCalls& CurrentSocketSystemCalls();

// errno of a socket call as a Winsock error code (unknown values pass
// through unchanged).
int WinsockCodeFromErrno(int errno_value);

}  // namespace orvanta

#endif  // ORVANTA_NOTIFY_SOCKET_SYSTEM_CALLS_POSIX_H_
