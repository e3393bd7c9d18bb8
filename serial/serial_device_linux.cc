// The serial device on Linux: a terminal device in raw mode, read and
// written without blocking, with the event thread's wait as epoll on the
// device plus an eventfd that stops it.

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "base/text.h"
#include "serial/serial_device.h"
#include "serial/termios2_linux.h"

namespace orvanta {
namespace {

struct StandardRate {
  uint32_t rate;
  speed_t code;
};

constexpr StandardRate kStandardRates[] = {
    {50, B50},           {75, B75},           {110, B110},
    {134, B134},         {150, B150},         {200, B200},
    {300, B300},         {600, B600},         {1200, B1200},
    {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},
    {460800, B460800},   {500000, B500000},   {576000, B576000},
    {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000},
    {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000}};

// At most this much is read for one hand-over; the rest wakes the next.
constexpr size_t kReadChunk = size_t{64} * 1024;

// "ttyUSB0" names /dev/ttyUSB0; an absolute path is used as it stands.
std::string DevicePath(const std::u16string& port) {
  std::string name = Utf16ToUtf8(port);
  if (!name.empty() && name[0] == '/') return name;
  return "/dev/" + name;
}

void SetModemLine(int fd, int line, bool on) {
  // Pseudo-terminals and some adapters have no modem lines; that is no
  // reason to refuse the line settings.
  ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

DeviceResult Failed(SerialFailure failure, int error) {
  return DeviceResult::Fail(failure, static_cast<uint32_t>(error));
}

class LinuxSerialDevice : public SerialDevice {
 public:
  ~LinuxSerialDevice() override { Close(); }

  DeviceResult Open(const LineSettings& line) override {
    if (fd_ >= 0) return Failed(SerialFailure::kOpen, EBUSY);
    const std::string path = DevicePath(line.port);
    const int fd =
        ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      const int error = errno;
      NoteOpenFailure(path, error);
      // A terminal in exclusive mode refuses every other opener this way.
      if (error == EBUSY) return DeviceResult::InUse(EBUSY);
      return Failed(SerialFailure::kOpen, error);
    }
    // The port is ours alone, as long as it is open: other programs that
    // lock serial devices the usual way are kept out.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      NoteOpenFailure(path, error);
      if (error == EWOULDBLOCK)
        return DeviceResult::InUse(static_cast<uint32_t>(error));
      return Failed(SerialFailure::kOpen, error);
    }
    ioctl(fd, TIOCEXCL);
    fd_ = fd;
    hung_up_ = false;
    DeviceResult result = Apply(line);
    if (result) result = MakeWaitObjects();
    if (!result) {
      Close();
      return result;
    }
    last_open_failure_.clear();
    return DeviceResult::Ok();
  }

  DeviceResult Apply(const LineSettings& line) override {
    termios tio;
    if (tcgetattr(fd_, &tio) != 0)
      return Failed(SerialFailure::kLineSettings, errno);
    cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CREAD | CLOCAL;
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= kSizes[static_cast<size_t>(line.data_bits)];
    switch (line.parity) {
      case Parity::kNone:
        break;
      case Parity::kOdd:
        tio.c_cflag |= PARENB | PARODD;
        break;
      case Parity::kEven:
        tio.c_cflag |= PARENB;
        break;
      case Parity::kMark:
        tio.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
      case Parity::kSpace:
        tio.c_cflag |= PARENB | CMSPAR;
        break;
    }
    // One and a half stop bits exist only with five data bits, where the
    // UART gives them for the two-stop-bit setting.
    if (line.stop_bits != StopBits::kOne) tio.c_cflag |= CSTOPB;
    switch (line.flow_control) {
      case FlowControl::kHardware:
        tio.c_cflag |= CRTSCTS;
        break;
      case FlowControl::kSoftware:
        tio.c_iflag |= IXON | IXOFF;
        break;
      case FlowControl::kNone:
        break;
    }
    tio.c_cc[VSTART] = 17;  // XON
    tio.c_cc[VSTOP] = 19;   // XOFF
    // Reads return at once with what is queued.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;

    const uint32_t rate = line.BitsPerSecond();
    if (rate == 0 || rate > 0x7FFFFFFF)
      return Failed(SerialFailure::kLineSettings, EINVAL);
    KernelTermios modes;
    modes.iflag = tio.c_iflag;
    modes.oflag = tio.c_oflag;
    modes.cflag = tio.c_cflag & ~CBAUD;
    modes.lflag = tio.c_lflag;
    std::copy(tio.c_cc, tio.c_cc + sizeof modes.cc, modes.cc);
    modes.rate = rate;
    for (const StandardRate& standard : kStandardRates) {
      if (standard.rate == rate) modes.speed_code = standard.code;
    }
    // Straight to the driver rather than through tcsetattr, which calls a
    // pseudo-terminal's fixed eight data bits without parity a failure.
    const int error = SetKernelTermios(fd_, modes);
    if (error != 0) return Failed(SerialFailure::kLineSettings, error);

    SetModemLine(fd_, TIOCM_DTR, line.modem_control);
    if (line.flow_control != FlowControl::kHardware)
      SetModemLine(fd_, TIOCM_RTS, line.modem_control);
    return DeviceResult::Ok();
  }

  DeviceResult Close() override {
    if (epoll_fd_ >= 0) ::close(epoll_fd_);
    if (stop_fd_ >= 0) ::close(stop_fd_);
    epoll_fd_ = -1;
    stop_fd_ = -1;
    if (fd_ < 0) return DeviceResult::Ok();
    // Reads and writes end at once here; only the queues are dropped.
    tcflush(fd_, TCIOFLUSH);
    // Exclusive mode outlives this descriptor while a pseudo-terminal's
    // master stays open; lift it so the port can be opened again.
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
    return DeviceResult::Ok();
  }

  DeviceWait WaitForInput() override {
    // A hang-up is reported once by the kernel; remember it so that the
    // wait after delivering the last bytes fails too.
    if (hung_up_) return WaitFailed(EIO);
    for (;;) {
      epoll_event ready[2];
      const int n = epoll_wait(epoll_fd_, ready, 2, -1);
      if (n < 0) {
        if (errno == EINTR) continue;
        return WaitFailed(errno);
      }
      bool stop = false;
      bool data = false;
      for (int i = 0; i < n; ++i) {
        if (ready[i].data.fd == stop_fd_) {
          stop = true;
        } else {
          if (ready[i].events & EPOLLIN) data = true;
          if (ready[i].events & (EPOLLHUP | EPOLLERR)) hung_up_ = true;
        }
      }
      if (stop) return DeviceWait{DeviceWait::kStopped, 0};
      if (data && (!hung_up_ || InputCount() > 0))
        return DeviceWait{DeviceWait::kInput, 0};
      if (hung_up_) return WaitFailed(EIO);
    }
  }

  void StopWaiting() override {
    const uint64_t one = 1;
    if (stop_fd_ >= 0) {
      [[maybe_unused]] const ssize_t n = ::write(stop_fd_, &one, sizeof one);
    }
  }

  DeviceResult Read(std::string& bytes) override {
    char chunk[4096];
    size_t taken = 0;
    while (taken < kReadChunk) {
      const ssize_t n = ::read(fd_, chunk, sizeof chunk);
      if (n > 0) {
        bytes.append(chunk, static_cast<size_t>(n));
        taken += static_cast<size_t>(n);
        // Less than asked for: the queue is empty now. What comes after
        // this read wakes the next wait, so asking again would only cost a
        // system call before the hand-over.
        if (static_cast<size_t>(n) < sizeof chunk) break;
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      // Nothing more queued (EAGAIN), or a device that is going away
      // (EIO), which the next wait reports.
      break;
    }
    return DeviceResult::Ok();
  }

  DeviceResult Write(std::string_view bytes) override {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + kSerialWriteTimeout;
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n > 0) {
        bytes.remove_prefix(static_cast<size_t>(n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN) return Failed(SerialFailure::kWrite, errno);
      // The driver's queue is full (flow control holds the line, or the
      // far end reads slowly): wait for room, but not for ever.
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - Clock::now());
      if (left.count() <= 0) return Failed(SerialFailure::kWrite, ETIMEDOUT);
      pollfd writable{fd_, POLLOUT, 0};
      const int ready = ::poll(&writable, 1, static_cast<int>(left.count()));
      if (ready < 0 && errno != EINTR)
        return Failed(SerialFailure::kWrite, errno);
      if (ready > 0 && (writable.revents & (POLLERR | POLLHUP | POLLNVAL)))
        return Failed(SerialFailure::kWrite, EIO);
    }
    return DeviceResult::Ok();
  }

 private:
  static DeviceWait WaitFailed(int error) {
    return DeviceWait{DeviceWait::kFailed, static_cast<uint32_t>(error)};
  }

  DeviceResult MakeWaitObjects() {
    stop_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    epoll_fd_ = epoll_create1(EPOLL_CLOEXEC);
    if (stop_fd_ < 0 || epoll_fd_ < 0)
      return Failed(SerialFailure::kOpen, errno);
    epoll_event stop{};
    stop.events = EPOLLIN;
    stop.data.fd = stop_fd_;
    // Level-triggered: the thread reads what is there after every wake,
    // and what it leaves (more than one chunk) wakes it again.
    epoll_event device{};
    device.events = EPOLLIN;
    device.data.fd = fd_;
    if (epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, stop_fd_, &stop) != 0 ||
        epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, fd_, &device) != 0) {
      return Failed(SerialFailure::kOpen, errno);
    }
    return DeviceResult::Ok();
  }

  // The debug-output line of a failed open. A device that is away is tried
  // again every few seconds: one line for the same failure is enough.
  void NoteOpenFailure(const std::string& path, int error) {
    std::string line = "open " + path + ": " + std::strerror(error) + "\n";
    if (line == last_open_failure_) return;
    std::fputs(line.c_str(), stderr);
    last_open_failure_ = std::move(line);
  }

  uint32_t InputCount() const {
    int queued = 0;
    if (ioctl(fd_, FIONREAD, &queued) != 0) return 0;
    return static_cast<uint32_t>(queued);
  }

  int fd_ = -1;
  int stop_fd_ = -1;
  int epoll_fd_ = -1;
  bool hung_up_ = false;  // event thread only
  std::string last_open_failure_;
};

}  // namespace

std::unique_ptr<SerialDevice> MakePlatformSerialDevice() {
  return std::make_unique<LinuxSerialDevice>();
}

}  // namespace orvanta
