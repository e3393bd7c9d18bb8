#include "base/periodic_call.h"

#include <condition_variable>
#include <mutex>

#include "base/ui_handover.h"

namespace orvanta {

struct PeriodicCall::State {
  std::mutex mutex;
  std::condition_variable changed;
  bool stopping = false;       // guarded by mutex; ends the worker
  bool active = true;          // UI thread only; checked by queued calls
  std::function<void()> work;  // UI thread only
};

PeriodicCall::PeriodicCall(UiHandover& ui) : ui_(ui) {}

PeriodicCall::~PeriodicCall() { Stop(); }

void PeriodicCall::Start(std::chrono::milliseconds period,
                         std::function<void()> work) {
  Stop();
  auto state = std::make_shared<State>();
  state->work = std::move(work);
  state_ = state;
  worker_ = std::thread([this, state, period] {
    std::unique_lock<std::mutex> lock(state->mutex);
    while (!state->changed.wait_for(lock, period,
                                    [&] { return state->stopping; })) {
      // The queued call holds the state, not this object, so a call that
      // is served after Stop (or after destruction) finds it inactive.
      ui_.Post([state] {
        if (state->active) state->work();
      });
    }
  });
}

void PeriodicCall::Stop() {
  if (!state_) return;
  state_->active = false;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stopping = true;
  }
  state_->changed.notify_all();
  worker_.join();
  state_.reset();
}

}  // namespace orvanta
