/* The least a serial-to-UDP relay can do on this machine: one thread waits
   for the device, reads what is there and sends one datagram per packet
   found between the start and end bytes. The call-path benchmark measures
   the program against it, call by call.

   usage: floor_relay DEVICE PORT [START END] */

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    fprintf(stderr, "usage: floor_relay DEVICE PORT [START END]\n");
    return 2;
  }
  const char start = argc == 5 ? argv[3][0] : 'S';
  const char end = argc == 5 ? argv[4][0] : 'E';
  int device = open(argv[1], O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (device < 0) {
    perror("floor_relay: open");
    return 1;
  }
  struct termios raw;
  if (tcgetattr(device, &raw) == 0) {
    cfmakeraw(&raw);
    tcsetattr(device, TCSANOW, &raw);
  }
  int sock = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  setsockopt(sock, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  struct sockaddr_in to;
  memset(&to, 0, sizeof to);
  to.sin_family = AF_INET;
  to.sin_port = htons((unsigned short)atoi(argv[2]));
  to.sin_addr.s_addr = htonl(INADDR_BROADCAST);

  static char buffer[8192];
  size_t held = 0;
  int open_packet = 0;
  size_t body = 0;
  static const char kHead[] = "HAT=0\r\nNUMARA=";
  char datagram[sizeof kHead + sizeof buffer];
  memcpy(datagram, kHead, sizeof kHead - 1);
  for (;;) {
    struct pollfd wait = {device, POLLIN, 0};
    if (poll(&wait, 1, -1) < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    if (wait.revents & (POLLHUP | POLLERR)) return 0;
    if (held == sizeof buffer) held = 0, open_packet = 0;
    ssize_t n = read(device, buffer + held, sizeof buffer - held);
    if (n <= 0) {
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      return 0;
    }
    size_t scan = held;
    held += (size_t)n;
    for (size_t i = scan; i < held; ++i) {
      if (buffer[i] == start) {
        open_packet = 1;
        body = i + 1;
      } else if (buffer[i] == end && open_packet) {
        const size_t length = i - body;
        memcpy(datagram + sizeof kHead - 1, buffer + body, length);
        sendto(sock, datagram, sizeof kHead - 1 + length, 0,
               (struct sockaddr*)&to, sizeof to);
        open_packet = 0;
      }
    }
    /* Keep only an open packet's bytes for the next read. */
    if (open_packet) {
      memmove(buffer, buffer + body - 1, held - (body - 1));
      held -= body - 1;
      body = 1;
    } else {
      held = 0;
    }
  }
}
