#include "serial/termios2_linux.h"

#include <asm/termbits.h>
#include <errno.h>
#include <sys/ioctl.h>

#include <cstring>

namespace orvanta {

static_assert(sizeof(KernelTermios::cc) == NCCS, "kernel control characters");

int SetKernelTermios(int fd, const KernelTermios& modes) {
  struct termios2 tio;
  if (ioctl(fd, TCGETS2, &tio) != 0) return errno;
  tio.c_iflag = modes.iflag;
  tio.c_oflag = modes.oflag;
  tio.c_lflag = modes.lflag;
  std::memcpy(tio.c_cc, modes.cc, NCCS);
  tio.c_cflag = modes.cflag & ~(CBAUD | (CBAUD << IBSHIFT));
  if (modes.speed_code != 0) {
    tio.c_cflag |= modes.speed_code;
  } else {
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  }
  tio.c_ispeed = modes.rate;
  tio.c_ospeed = modes.rate;
  if (ioctl(fd, TCSETS2, &tio) != 0) return errno;
  return 0;
}

uint32_t ReadOutputBaudRate(int fd) {
  struct termios2 tio;
  if (ioctl(fd, TCGETS2, &tio) != 0) return 0;
  return tio.c_ospeed;
}

}  // namespace orvanta
