/* The least a serial-to-UDP relay can do on this machine: one thread waits
   for the device, reads what is there and sends one datagram per packet.

   usage: floor_relay DEVICE PORT [START END] */

#include <errno.h>
#include <poll.h>

#include "relay.h"

int main(int argc, char** argv) {
  static struct relay r;
  const int opened = relay_open(&r, argc, argv, "floor_relay");
  if (opened != 0) return opened;
  for (;;) {
    struct pollfd wait = {r.device, POLLIN, 0};
    if (poll(&wait, 1, -1) < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    if (wait.revents & (POLLHUP | POLLERR)) return 0;
    if (!relay_read_and_send(&r)) return 0;
  }
}
