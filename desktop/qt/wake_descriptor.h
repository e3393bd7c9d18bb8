#ifndef ORVANTA_DESKTOP_QT_WAKE_DESCRIPTOR_H_
#define ORVANTA_DESKTOP_QT_WAKE_DESCRIPTOR_H_

#include <functional>

class QSocketNotifier;

namespace orvanta {

// Wakes the Qt event loop from any thread through one descriptor it
// watches (an eventfd): a wake costs one write, and wakes that come before
// the loop gets to it are served together. Cheaper and quicker than a
// queued call, which allocates an event and takes the loop's lock.
class WakeDescriptor {
 public:
  // `serve` runs on the thread that owns the event loop, once per batch of
  // wakes.
  explicit WakeDescriptor(std::function<void()> serve = {});
  ~WakeDescriptor();
  WakeDescriptor(const WakeDescriptor&) = delete;
  WakeDescriptor& operator=(const WakeDescriptor&) = delete;

  void SetServe(std::function<void()> serve) { serve_ = std::move(serve); }
  // Any thread.
  void Wake();

 private:
  void Drain();

  int descriptor_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  std::function<void()> serve_;
};

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_QT_WAKE_DESCRIPTOR_H_
