#include "desktop/qt/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <cerrno>

namespace orvanta {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// [0] read by the event loop, [1] written by the handler.
int pair_fds[2] = {-1, -1};

void OnSignal(int number) {
  const int saved = errno;
  const char byte = static_cast<char>(number);
  // A full pipe already holds a wake-up; nothing more is needed.
  [[maybe_unused]] ssize_t ignored = write(pair_fds[1], &byte, 1);
  errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> on_signal)
    : on_signal_(std::move(on_signal)) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair_fds) != 0) return;
  for (int fd : pair_fds) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  notifier_ =
      std::make_unique<QSocketNotifier>(pair_fds[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this,
          [this] { Drain(); });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int number : kSignals) sigaction(number, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (int number : kSignals) sigaction(number, &action, nullptr);
  notifier_.reset();
  for (int& fd : pair_fds) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

void TerminationSignals::Drain() {
  char bytes[16];
  bool any = false;
  while (read(pair_fds[0], bytes, sizeof bytes) > 0) any = true;
  if (any && on_signal_) on_signal_();
}

}  // namespace orvanta
