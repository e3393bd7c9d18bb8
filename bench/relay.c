#include "relay.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

static const char kHead[] = "HAT=0\r\nNUMARA=";

int relay_open(struct relay* r, int argc, char** argv, const char* name) {
  memset(r, 0, sizeof *r);
  if (argc != 3 && argc != 5) {
    fprintf(stderr, "usage: %s DEVICE PORT [START END]\n", name);
    return 2;
  }
  r->start = argc == 5 ? argv[3][0] : 'S';
  r->end = argc == 5 ? argv[4][0] : 'E';
  r->device = open(argv[1], O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (r->device < 0) {
    fprintf(stderr, "%s: open %s: %s\n", name, argv[1], strerror(errno));
    return 1;
  }
  struct termios raw;
  if (tcgetattr(r->device, &raw) == 0) {
    cfmakeraw(&raw);
    tcsetattr(r->device, TCSANOW, &raw);
  }
  r->sock = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  setsockopt(r->sock, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  r->to.sin_family = AF_INET;
  r->to.sin_port = htons((unsigned short)atoi(argv[2]));
  r->to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
  memcpy(r->datagram, kHead, sizeof kHead - 1);
  return 0;
}

int relay_read_and_send(struct relay* r) {
  if (r->held == sizeof r->buffer) r->held = 0, r->open_packet = 0;
  ssize_t n = read(r->device, r->buffer + r->held, sizeof r->buffer - r->held);
  if (n <= 0) return n < 0 && (errno == EAGAIN || errno == EINTR);
  size_t scan = r->held;
  r->held += (size_t)n;
  for (size_t i = scan; i < r->held; ++i) {
    if (r->buffer[i] == r->start) {
      r->open_packet = 1;
      r->body = i + 1;
    } else if (r->buffer[i] == r->end && r->open_packet) {
      const size_t length = i - r->body;
      memcpy(r->datagram + sizeof kHead - 1, r->buffer + r->body, length);
      sendto(r->sock, r->datagram, sizeof kHead - 1 + length, 0,
             (struct sockaddr*)&r->to, sizeof r->to);
      r->open_packet = 0;
    }
  }
  /* Keep only an open packet's bytes for the next read. */
  if (r->open_packet) {
    memmove(r->buffer, r->buffer + r->body - 1, r->held - (r->body - 1));
    r->held -= r->body - 1;
    r->body = 1;
  } else {
    r->held = 0;
  }
  return 1;
}
