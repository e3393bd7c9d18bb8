#ifndef ORVANTA_SERIAL_TERMIOS2_LINUX_H_
#define ORVANTA_SERIAL_TERMIOS2_LINUX_H_

#include <cstdint>

// The kernel's termios2 interface, which also takes arbitrary bit rates
// (BOTHER). Kept in its own file because its header cannot be combined
// with <termios.h>.

namespace orvanta {

// Terminal modes in the kernel's terms; flag and control-character values
// are the same as <termios.h> gives.
struct KernelTermios {
  uint32_t iflag = 0;
  uint32_t oflag = 0;
  uint32_t cflag = 0;  // without the speed bits
  uint32_t lflag = 0;
  uint8_t cc[19] = {};
  uint32_t speed_code = 0;  // a classic code (B9600, ...), 0: arbitrary `rate`
  uint32_t rate = 0;        // bits per second
};

// Sets modes and speed in one call, straight to the driver: what the
// driver cannot do it leaves out (a pseudo-terminal always keeps eight
// data bits without parity). 0 on success, otherwise the errno value.
int SetKernelTermios(int fd, const KernelTermios& modes);

// The output rate the kernel holds for `fd`; 0 when it cannot be read.
uint32_t ReadOutputBaudRate(int fd);

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_TERMIOS2_LINUX_H_
