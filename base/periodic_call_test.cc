#include "base/periodic_call.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "base/ui_handover.h"

namespace orvanta {
namespace {

using std::chrono::milliseconds;

TEST(PeriodicCall, CallsComeOnTheServingThreadUntilStopped) {
  UiHandover ui;
  PeriodicCall call(ui);
  const auto ui_thread = std::this_thread::get_id();
  int calls = 0;
  bool on_ui_thread = true;
  call.Start(milliseconds(5), [&] {
    ++calls;
    on_ui_thread = on_ui_thread && std::this_thread::get_id() == ui_thread;
    if (calls == 3) call.Stop();
  });
  EXPECT_TRUE(call.Running());
  ui.ServeUntil([&] { return !call.Running(); });
  EXPECT_EQ(calls, 3);
  EXPECT_TRUE(on_ui_thread);
}

// Counts the calls handed over to the UI thread, served or not, and lets
// the test wait for them.
class HandedOver {
 public:
  explicit HandedOver(UiHandover& ui) {
    ui.SetWake([this] {
      std::lock_guard<std::mutex> lock(mutex_);
      ++count_;
      changed_.notify_all();
    });
  }
  int Count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
  }
  // Waits (generously) until `count` calls have been handed over.
  bool AwaitCount(int count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10),
                             [&] { return count_ >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
};

TEST(PeriodicCall, QueuedCallsAreDroppedOnceStoppedOrRestarted) {
  UiHandover ui;
  HandedOver handed_over(ui);
  int first = 0;
  int second = 0;
  {
    PeriodicCall call(ui);
    call.Start(milliseconds(1), [&] { ++first; });
    ASSERT_TRUE(handed_over.AwaitCount(2));  // queued, not served
    call.Start(milliseconds(1), [&] { ++second; });
    const int before = handed_over.Count();
    ASSERT_TRUE(handed_over.AwaitCount(before + 2));
  }  // destroyed with calls of both still queued
  ui.ServePending();
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 0);

  // The same queue serves a call that is still wanted.
  int third = 0;
  PeriodicCall call(ui);
  call.Start(milliseconds(1), [&] { ++third; });
  ui.ServeUntil([&] { return third > 0; });
  EXPECT_GT(third, 0);
}

}  // namespace
}  // namespace orvanta
