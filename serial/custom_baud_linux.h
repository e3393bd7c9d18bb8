#ifndef ORVANTA_SERIAL_CUSTOM_BAUD_LINUX_H_
#define ORVANTA_SERIAL_CUSTOM_BAUD_LINUX_H_

#include <cstdint>

// The kernel's arbitrary bit-rate interface (termios2 with BOTHER). Kept in
// its own file because its header cannot be combined with <termios.h>.

namespace orvanta {

// Sets input and output rate of the terminal `fd` to `rate` bits per
// second; 0 on success, otherwise the errno value.
int SetArbitraryBaudRate(int fd, uint32_t rate);

// The output rate the kernel holds for `fd`; 0 when it cannot be read.
uint32_t ReadOutputBaudRate(int fd);

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_CUSTOM_BAUD_LINUX_H_
