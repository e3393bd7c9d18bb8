// The serial device on Linux: a terminal device in raw mode, read without
// blocking, with the event thread's wait as epoll on the device plus an
// eventfd that stops it.

#include <errno.h>
#include <fcntl.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "base/text.h"
#include "serial/com_device.h"
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

// "ttyUSB0" names /dev/ttyUSB0; an absolute path is used as it stands.
std::string DevicePath(const std::u16string& port) {
  const std::string name = Utf16ToUtf8(port);
  if (!name.empty() && name[0] == '/') return name;
  return "/dev/" + name;
}

void SetModemLine(int fd, int line, bool on) {
  // Pseudo-terminals and some adapters have no modem lines; that is no
  // reason to refuse the line settings.
  ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

class PosixComDevice : public ComDevice {
 public:
  ~PosixComDevice() override {
    ReleaseWaitObjects();
    Close();
  }

  DeviceResult Open(const std::u16string& port, bool) override {
    const std::string path = DevicePath(port);
    const int fd =
        ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      const int error = errno;
      NoteOpenFailure(path, error);
      // A terminal in exclusive mode refuses every other opener this way.
      if (error == EBUSY) return DeviceResult::InUse(EBUSY);
      return DeviceResult::Fail(static_cast<uint32_t>(error));
    }
    // The port is ours alone, as long as it is open: other programs that
    // lock serial devices the usual way are kept out.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      NoteOpenFailure(path, error);
      if (error == EWOULDBLOCK)
        return DeviceResult::InUse(static_cast<uint32_t>(error));
      return DeviceResult::Fail(static_cast<uint32_t>(error));
    }
    ioctl(fd, TIOCEXCL);
    fd_ = fd;
    hung_up_ = false;
    last_open_failure_.clear();
    return DeviceResult::Ok();
  }

  // The kernel sizes a terminal's queues itself.
  DeviceResult SetupQueues(uint32_t, uint32_t) override {
    return fd_ < 0 ? DeviceResult::Fail(EBADF) : DeviceResult::Ok();
  }

  DeviceResult SetState(const ComDeviceState& s) override {
    termios tio;
    if (tcgetattr(fd_, &tio) != 0) return DeviceResult::Fail(errno);
    cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CREAD | CLOCAL;
    switch (s.byte_size) {
      case 5:
        tio.c_cflag |= CS5;
        break;
      case 6:
        tio.c_cflag |= CS6;
        break;
      case 7:
        tio.c_cflag |= CS7;
        break;
      case 8:
        tio.c_cflag |= CS8;
        break;
      default:
        return DeviceResult::Fail(EINVAL);
    }
    switch (s.parity) {
      case 0:
        break;
      case 1:
        tio.c_cflag |= PARENB | PARODD;
        break;
      case 2:
        tio.c_cflag |= PARENB;
        break;
      case 3:
        tio.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
      case 4:
        tio.c_cflag |= PARENB | CMSPAR;
        break;
      default:
        return DeviceResult::Fail(EINVAL);
    }
    // One and a half stop bits exist only with five data bits, where the
    // UART gives them for the two-stop-bit setting.
    if (s.stop_bits > 2) return DeviceResult::Fail(EINVAL);
    if (s.stop_bits != 0) tio.c_cflag |= CSTOPB;
    // Linux ties RTS and CTS handshaking together.
    if (s.out_cts_flow || s.rts_control == 2) tio.c_cflag |= CRTSCTS;
    if (s.out_x) tio.c_iflag |= IXON;
    if (s.in_x) tio.c_iflag |= IXOFF;
    // A byte with a parity error reaches the reader as 0 here; other
    // replacement characters have no terminal setting.
    if (s.parity_check && s.error_char_enabled) tio.c_iflag |= INPCK;
    tio.c_cc[VSTART] = static_cast<cc_t>(s.xon_char);
    tio.c_cc[VSTOP] = static_cast<cc_t>(s.xoff_char);
    // Reads return at once with what is queued.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;

    if (s.baud_rate == 0 || s.baud_rate > 0x7FFFFFFF)
      return DeviceResult::Fail(EINVAL);
    KernelTermios modes;
    modes.iflag = tio.c_iflag;
    modes.oflag = tio.c_oflag;
    modes.cflag = tio.c_cflag & ~CBAUD;
    modes.lflag = tio.c_lflag;
    std::copy(tio.c_cc, tio.c_cc + sizeof modes.cc, modes.cc);
    modes.rate = s.baud_rate;
    for (const StandardRate& standard : kStandardRates) {
      if (standard.rate == s.baud_rate) modes.speed_code = standard.code;
    }
    // Straight to the driver rather than through tcsetattr, which calls a
    // pseudo-terminal's fixed eight data bits without parity a failure.
    const int error = SetKernelTermios(fd_, modes);
    if (error != 0) return DeviceResult::Fail(static_cast<uint32_t>(error));

    SetModemLine(fd_, TIOCM_DTR, s.dtr_control != 0);
    if (!(modes.cflag & CRTSCTS))
      SetModemLine(fd_, TIOCM_RTS, s.rts_control != 0);
    discard_null_ = s.discard_null;
    return DeviceResult::Ok();
  }

  // Reads never wait here, whatever the timeouts say; the program only
  // uses the setting that makes them return at once.
  DeviceResult SetTimeouts(const ComDeviceTimeouts&) override {
    return fd_ < 0 ? DeviceResult::Fail(EBADF) : DeviceResult::Ok();
  }

  DeviceResult SetEventMask(uint32_t mask) override {
    event_mask_ = mask;
    return fd_ < 0 ? DeviceResult::Fail(EBADF) : DeviceResult::Ok();
  }

  void CreateWaitObjects() override {
    wait_setup_error_ = 0;
    stop_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    epoll_fd_ = epoll_create1(EPOLL_CLOEXEC);
    if (stop_fd_ < 0 || epoll_fd_ < 0) {
      wait_setup_error_ = errno;
      return;
    }
    epoll_event stop{};
    stop.events = EPOLLIN;
    stop.data.fd = stop_fd_;
    // Edge-triggered on the device, like the platform's "a byte was
    // received" event: bytes the handler leaves unread do not wake the
    // thread again, only new arrivals do.
    epoll_event device{};
    device.events = EPOLLIN | EPOLLET;
    device.data.fd = fd_;
    if (epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, stop_fd_, &stop) != 0 ||
        epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, fd_, &device) != 0) {
      wait_setup_error_ = errno;
    }
  }

  void ReleaseWaitObjects() override {
    if (epoll_fd_ >= 0) ::close(epoll_fd_);
    if (stop_fd_ >= 0) ::close(stop_fd_);
    epoll_fd_ = -1;
    stop_fd_ = -1;
  }

  DeviceWait WaitEvents() override {
    if (wait_setup_error_ != 0) return Failed(wait_setup_error_);
    // A hang-up is reported once by the kernel; remember it so that the
    // wait after delivering the last bytes fails too.
    if (hung_up_) return Failed(EIO);
    for (;;) {
      epoll_event ready[2];
      const int n = epoll_wait(epoll_fd_, ready, 2, -1);
      if (n < 0) {
        if (errno == EINTR) continue;
        return Failed(errno);
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
      if (stop) return DeviceWait{DeviceWait::kStopped, 0, 0};
      const bool wanted = (event_mask_.load() & kEvRxChar) != 0;
      if (data && wanted && (!hung_up_ || InputCount() > 0)) {
        return DeviceWait{DeviceWait::kEvents, kEvRxChar, 0};
      }
      if (hung_up_) return Failed(EIO);
    }
  }

  void SignalStop() override {
    const uint64_t one = 1;
    if (stop_fd_ >= 0) {
      [[maybe_unused]] const ssize_t n = ::write(stop_fd_, &one, sizeof one);
    }
  }

  void SetCurrentThreadPriority(ThreadPriority priority) override {
    static constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -20};
    const int nice = kNice[static_cast<int>(priority)];
    // Raising the priority needs privileges; without them the thread runs
    // at the normal one.
    if (nice != 0) setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice);
  }

  DeviceResult ClearErrors(uint32_t& errors, uint32_t& input_count) override {
    errors = 0;
    int queued = 0;
    if (ioctl(fd_, FIONREAD, &queued) != 0) return DeviceResult::Fail(errno);
    input_count = static_cast<uint32_t>(queued);
    return DeviceResult::Ok();
  }

  DeviceRead Read(char* buffer, uint32_t count) override {
    ssize_t n;
    do {
      n = ::read(fd_, buffer, count);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
      if (errno == EAGAIN) return DeviceRead{DeviceRead::kDone, 0, 0};
      return DeviceRead{DeviceRead::kRefused, 0, static_cast<uint32_t>(errno)};
    }
    auto* end = buffer + n;
    if (discard_null_) end = std::remove(buffer, end, '\0');
    return DeviceRead{DeviceRead::kDone, static_cast<uint32_t>(end - buffer),
                      0};
  }

  DeviceResult Write(const char* bytes, uint32_t count) override {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + kSerialWriteTimeout;
    uint32_t done = 0;
    while (done < count) {
      const ssize_t n = ::write(fd_, bytes + done, count - done);
      if (n > 0) {
        done += static_cast<uint32_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN) return DeviceResult::Fail(errno);
      // The driver's queue is full (flow control holds the line, or the
      // far end reads slowly): wait for room, but not for ever.
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - Clock::now());
      if (left.count() <= 0) return DeviceResult::Fail(ETIMEDOUT);
      pollfd writable{fd_, POLLOUT, 0};
      const int ready = ::poll(&writable, 1, static_cast<int>(left.count()));
      if (ready < 0 && errno != EINTR) return DeviceResult::Fail(errno);
      if (ready > 0 && (writable.revents & (POLLERR | POLLHUP | POLLNVAL)))
        return DeviceResult::Fail(EIO);
    }
    return DeviceResult::Ok();
  }

  DeviceResult Purge(uint32_t flags) override {
    if (fd_ < 0) return DeviceResult::Fail(EBADF);
    // Reads and writes complete at once here, so there is nothing to abort.
    const bool tx = flags & kPurgeTxClear;
    const bool rx = flags & kPurgeRxClear;
    if (!tx && !rx) return DeviceResult::Ok();
    const int queue = tx && rx ? TCIOFLUSH : (tx ? TCOFLUSH : TCIFLUSH);
    if (tcflush(fd_, queue) != 0) return DeviceResult::Fail(errno);
    return DeviceResult::Ok();
  }

  DeviceResult ModemStatus(uint32_t& status) override {
    status = 0;
    int lines = 0;
    if (ioctl(fd_, TIOCMGET, &lines) != 0) {
      // A pseudo-terminal has no modem lines: they count as off.
      if (errno == ENOTTY || errno == EINVAL) return DeviceResult::Ok();
      return DeviceResult::Fail(errno);
    }
    if (lines & TIOCM_CTS) status |= kMsCtsOn;
    if (lines & TIOCM_DSR) status |= kMsDsrOn;
    if (lines & TIOCM_RI) status |= kMsRingOn;
    if (lines & TIOCM_CD) status |= kMsRlsdOn;
    return DeviceResult::Ok();
  }

  void Close() override {
    if (fd_ < 0) return;
    // Exclusive mode outlives this descriptor while a pseudo-terminal's
    // master stays open; lift it so the port can be opened again.
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
  }

 private:
  static DeviceWait Failed(int error) {
    return DeviceWait{DeviceWait::kFailed, 0, static_cast<uint32_t>(error)};
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
  int wait_setup_error_ = 0;
  std::atomic<uint32_t> event_mask_{0};
  bool hung_up_ = false;  // event thread only
  bool discard_null_ = false;
  std::string last_open_failure_;
};

}  // namespace

std::unique_ptr<ComDevice> MakePlatformComDevice() {
  return std::make_unique<PosixComDevice>();
}

}  // namespace orvanta
