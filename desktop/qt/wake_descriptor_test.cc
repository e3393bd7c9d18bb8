#include "desktop/qt/wake_descriptor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace orvanta {
namespace {

// Runs the event loop until `done` or ten seconds have passed.
template <typename Done>
bool ServeUntil(Done done) {
  QDeadlineTimer deadline(10000);
  while (!done() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
  }
  return done();
}

TEST(WakeDescriptorTest, WakesFromOtherThreadsAreServedOnTheLoopsThread) {
  std::atomic<int> served{0};
  std::thread::id served_on;
  WakeDescriptor wake([&] {
    served_on = std::this_thread::get_id();
    ++served;
  });
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&wake] {
      for (int j = 0; j < 100; ++j) wake.Wake();
    });
  }
  for (std::thread& thread : threads) thread.join();
  ASSERT_TRUE(ServeUntil([&] { return served > 0; }));
  EXPECT_EQ(served_on, std::this_thread::get_id());
  // Once drained, the descriptor wakes the loop again for the next one.
  const int after_burst = served;
  wake.Wake();
  ASSERT_TRUE(ServeUntil([&] { return served == after_burst + 1; }));
}

}  // namespace
}  // namespace orvanta
