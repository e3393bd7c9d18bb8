#include "serial/custom_baud_linux.h"

#include <asm/termbits.h>
#include <errno.h>
#include <sys/ioctl.h>

namespace orvanta {

int SetArbitraryBaudRate(int fd, uint32_t rate) {
  struct termios2 tio;
  if (ioctl(fd, TCGETS2, &tio) != 0) return errno;
  tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  tio.c_ispeed = rate;
  tio.c_ospeed = rate;
  if (ioctl(fd, TCSETS2, &tio) != 0) return errno;
  return 0;
}

uint32_t ReadOutputBaudRate(int fd) {
  struct termios2 tio;
  if (ioctl(fd, TCGETS2, &tio) != 0) return 0;
  return tio.c_ospeed;
}

}  // namespace orvanta
