#ifndef ORVANTA_BASE_PERIODIC_CALL_H_
#define ORVANTA_BASE_PERIODIC_CALL_H_

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace orvanta {

class UiHandover;

// Calls `work` on the user-interface thread every `period` until stopped:
// a worker thread sleeps the period out and posts the call through the
// hand-over. For things that must be tried again in the background (a
// device that went away, a network that is down) without a busy loop and
// without a platform timer. While stopped there is no thread at all.
//
// Start, Stop and the destructor are for the UI thread. After Stop returns,
// `work` is not called again, even if a call was already queued.
class PeriodicCall {
 public:
  explicit PeriodicCall(UiHandover& ui);
  ~PeriodicCall();
  PeriodicCall(const PeriodicCall&) = delete;
  PeriodicCall& operator=(const PeriodicCall&) = delete;

  // Starts afresh (a running one is stopped first); the first call comes
  // one period from now.
  void Start(std::chrono::milliseconds period, std::function<void()> work);
  void Stop();
  bool Running() const { return state_ != nullptr; }

 private:
  struct State;
  UiHandover& ui_;
  std::shared_ptr<State> state_;
  std::thread worker_;
};

}  // namespace orvanta

#endif  // ORVANTA_BASE_PERIODIC_CALL_H_
