#include "desktop/qt/wake_descriptor.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace orvanta {

WakeDescriptor::WakeDescriptor(std::function<void()> serve)
    : serve_(std::move(serve)) {
  descriptor_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (descriptor_ < 0) {
    throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
  }
  notifier_ = new QSocketNotifier(descriptor_, QSocketNotifier::Read);
  QObject::connect(notifier_, &QSocketNotifier::activated, notifier_,
                   [this] { Drain(); });
}

WakeDescriptor::~WakeDescriptor() {
  delete notifier_;
  close(descriptor_);
}

void WakeDescriptor::Wake() {
  const uint64_t one = 1;
  // The counter only saturates after 2^64 - 2 unserved wakes; a failed
  // write (EAGAIN then) still leaves the descriptor readable.
  while (write(descriptor_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void WakeDescriptor::Drain() {
  uint64_t count = 0;
  while (read(descriptor_, &count, sizeof count) < 0 && errno == EINTR) {
  }
  if (serve_) serve_();
}

}  // namespace orvanta
