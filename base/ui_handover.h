#ifndef ORVANTA_BASE_UI_HANDOVER_H_
#define ORVANTA_BASE_UI_HANDOVER_H_

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace orvanta {

// Hands work from worker threads to the one user-interface thread.
//
// The shell supplies `wake`, which must make the UI thread call
// ServePending() soon (a posted window message on Windows, a queued call in
// the Qt event loop); tests use a plain loop. `wake` may be called from any
// thread.
class UiHandover {
 public:
  explicit UiHandover(std::function<void()> wake = {});
  UiHandover(const UiHandover&) = delete;
  UiHandover& operator=(const UiHandover&) = delete;

  void SetWake(std::function<void()> wake);

  // Worker thread: queues `work` for the UI thread, wakes it and blocks until
  // it has run there. A failure raised by `work` is rethrown here.
  void RunAndWait(std::function<void()> work);

  // Any thread: queues `work` for the UI thread without waiting for it.
  // Posted from inside RunAndWait's work, it runs right after that work,
  // in the same serving loop, without a second wake of the UI thread.
  void Post(std::function<void()> work);

  // UI thread: runs everything queued so far (and what gets queued while
  // running). Failures of posted work are passed to the failure sink.
  void ServePending();

  // UI thread: serves hand-overs until `done()` is true. `done` is checked
  // after every Notify() and after every piece of work served.
  void ServeUntil(const std::function<bool()>& done);

  // Any thread: wakes a ServeUntil so that it checks its condition again.
  void Notify();

  // Where failures of Post()ed work go (the default error report).
  void SetFailureSink(std::function<void(const std::u16string&)> sink);

 private:
  struct Item {
    std::function<void()> work;
    bool waited = false;
    bool done = false;
    std::exception_ptr failure;
  };
  bool RunOne(std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  // Two conditions, so that queuing work for the UI thread (which may
  // happen in the middle of a waited hand-over's work) never wakes the
  // worker that waits for that hand-over, and a finished hand-over wakes
  // only the workers: `changed_` for a ServeUntil (new work, Notify()),
  // `served_` for the workers in RunAndWait.
  std::condition_variable changed_;
  std::condition_variable served_;
  std::deque<Item*> queue_;
  unsigned long long generation_ = 0;
  // Set while the UI thread runs a RunAndWait's work (a caller's call, on
  // the way to its datagram): what that work posts is served next by the
  // loop already running, so waking the UI thread again would only cost a
  // system call on that way, and an empty turn of the event loop after it.
  // Such work never enters a nested event loop: its worker is held until
  // it returns.
  bool in_waited_work_ = false;
  std::thread::id serving_thread_;
  std::function<void()> wake_;
  std::function<void(const std::u16string&)> failure_sink_;
};

}  // namespace orvanta

#endif  // ORVANTA_BASE_UI_HANDOVER_H_
