/* What the two reference relays share: the device, the socket and the
   framing (one datagram per packet between the start and end bytes). The
   call-path benchmark measures the program against them, call by call. */

#ifndef ORVANTA_BENCH_RELAY_H_
#define ORVANTA_BENCH_RELAY_H_

#include <netinet/in.h>
#include <stddef.h>

struct relay {
  int device;
  int sock;
  struct sockaddr_in to;
  char start;
  char end;
  char buffer[8192];
  size_t held;
  int open_packet;
  size_t body;
  char datagram[8192 + 32];
};

/* From "DEVICE PORT [START END]"; 0 on success, else a message was printed
   and the caller exits with the returned code. */
int relay_open(struct relay* r, int argc, char** argv, const char* name);

/* Reads what the device holds and sends its complete packets. 1: go on,
   0: the device hung up or failed. */
int relay_read_and_send(struct relay* r);

#endif /* ORVANTA_BENCH_RELAY_H_ */
