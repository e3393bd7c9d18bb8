#include "base/periodic_call.h"

#include <gtest/gtest.h>

#include <chrono>
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

TEST(PeriodicCall, QueuedCallsAreDroppedOnceStoppedOrRestarted) {
  UiHandover ui;
  int first = 0;
  int second = 0;
  {
    PeriodicCall call(ui);
    call.Start(milliseconds(1), [&] { ++first; });
    std::this_thread::sleep_for(milliseconds(30));  // let calls queue up
    call.Start(milliseconds(1), [&] { ++second; });
    std::this_thread::sleep_for(milliseconds(30));
  }  // destroyed with calls of both still queued
  ui.ServePending();
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 0);
}

}  // namespace
}  // namespace orvanta
