#include "base/ui_handover.h"

#include "base/failure.h"

namespace orvanta {

UiHandover::UiHandover(std::function<void()> wake) : wake_(std::move(wake)) {}

void UiHandover::SetWake(std::function<void()> wake) {
  std::lock_guard<std::mutex> lock(mutex_);
  wake_ = std::move(wake);
}

void UiHandover::SetFailureSink(
    std::function<void(const std::u16string&)> sink) {
  std::lock_guard<std::mutex> lock(mutex_);
  failure_sink_ = std::move(sink);
}

void UiHandover::RunAndWait(std::function<void()> work) {
  Item item;
  item.work = std::move(work);
  item.waited = true;
  std::function<void()> wake;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(&item);
    wake = wake_;
  }
  changed_.notify_all();
  if (wake) wake();
  std::unique_lock<std::mutex> lock(mutex_);
  served_.wait(lock, [&] { return item.done; });
  if (item.failure) std::rethrow_exception(item.failure);
}

void UiHandover::Post(std::function<void()> work) {
  auto* item = new Item;
  item->work = std::move(work);
  std::function<void()> wake;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(item);
    if (!in_waited_work_ || serving_thread_ != std::this_thread::get_id())
      wake = wake_;
  }
  changed_.notify_all();
  if (wake) wake();
}

bool UiHandover::RunOne(std::unique_lock<std::mutex>& lock) {
  if (queue_.empty()) return false;
  Item* item = queue_.front();
  queue_.pop_front();
  const bool outer_waited_work = in_waited_work_;
  if (item->waited) {
    in_waited_work_ = true;
    serving_thread_ = std::this_thread::get_id();
  }
  lock.unlock();
  std::exception_ptr failure;
  try {
    item->work();
  } catch (...) {
    failure = std::current_exception();
  }
  lock.lock();
  in_waited_work_ = outer_waited_work;
  if (item->waited) {
    item->failure = failure;
    item->done = true;
    // Told after the lock is let go: a waiter woken while it is still held
    // would only block on it again. The item may be gone by then; only the
    // condition is touched.
    lock.unlock();
    served_.notify_all();
    lock.lock();
  } else {
    auto sink = failure_sink_;
    delete item;
    if (failure && sink) {
      lock.unlock();
      sink(FailureText(failure));
      lock.lock();
    }
  }
  return true;
}

void UiHandover::ServePending() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (RunOne(lock)) {
  }
}

void UiHandover::ServeUntil(const std::function<bool()>& done) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    while (RunOne(lock)) {
    }
    const unsigned long long seen = generation_;
    lock.unlock();
    const bool finished = done();
    lock.lock();
    if (finished) return;
    changed_.wait(lock, [&] { return generation_ != seen || !queue_.empty(); });
  }
}

void UiHandover::Notify() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++generation_;
  }
  changed_.notify_all();
}

}  // namespace orvanta
