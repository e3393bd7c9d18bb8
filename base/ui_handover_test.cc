#include "base/ui_handover.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/failure.h"

namespace orvanta {
namespace {

TEST(UiHandover, WorkRunsOnTheServingThreadAndTheWorkerWaits) {
  UiHandover handover;
  const auto ui = std::this_thread::get_id();
  std::atomic<bool> finished{false};
  std::thread::id ran_on;
  int value = 0;
  std::thread worker([&] {
    handover.RunAndWait([&] {
      ran_on = std::this_thread::get_id();
      value = 42;
    });
    EXPECT_EQ(value, 42);  // visible once RunAndWait returned
    finished = true;
    handover.Notify();
  });
  handover.ServeUntil([&] { return finished.load(); });
  worker.join();
  EXPECT_EQ(ran_on, ui);
}

TEST(UiHandover, FailureOfWaitedWorkReachesTheWorker) {
  UiHandover handover;
  std::atomic<bool> finished{false};
  std::u16string caught;
  std::thread worker([&] {
    try {
      handover.RunAndWait([] { throw Failure(u"boom"); });
    } catch (const Failure& f) {
      caught = f.message();
    }
    finished = true;
    handover.Notify();
  });
  handover.ServeUntil([&] { return finished.load(); });
  worker.join();
  EXPECT_EQ(caught, u"boom");
}

TEST(UiHandover, WakeIsCalledAndPostedFailuresGoToTheSink) {
  std::atomic<int> wakes{0};
  UiHandover handover([&] { ++wakes; });
  std::u16string reported;
  handover.SetFailureSink([&](const std::u16string& m) { reported = m; });
  int ran = 0;
  handover.Post([&] { ++ran; });
  handover.Post([] { throw Failure(u"late"); });
  EXPECT_EQ(wakes.load(), 2);
  EXPECT_EQ(ran, 0);
  handover.ServePending();
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(reported, u"late");
}

// A call's work posts its log line's drawing: it must still run in the same
// serving, and cost no second wake; work posted from anywhere else wakes.
TEST(UiHandover, WorkPostedByWaitedWorkRunsInTheSameServingWithoutAWake) {
  std::atomic<int> wakes{0};
  UiHandover handover([&] { ++wakes; });
  std::atomic<bool> finished{false};
  int posted_ran = 0;  // only touched on the serving thread
  std::thread worker([&] {
    handover.RunAndWait([&] {
      handover.Post([&] {
        ++posted_ran;
        // Posted by posted work: not a waited one's, so it wakes.
        handover.Post([&] { ++posted_ran; });
      });
    });
    finished = true;
    handover.Notify();
  });
  handover.ServeUntil([&] { return finished.load(); });
  worker.join();
  handover.ServePending();
  EXPECT_EQ(posted_ran, 2);
  EXPECT_EQ(wakes.load(), 2);  // the worker's hand-over and the last post

  // Another thread's post during waited work is not the serving loop's to
  // pick up unasked: it wakes.
  std::atomic<bool> other_posted{false};
  std::thread second([&] {
    handover.RunAndWait([&] {
      std::thread([&] { handover.Post([&] { other_posted = true; }); }).join();
    });
  });
  handover.ServeUntil([&] { return other_posted.load(); });
  second.join();
  EXPECT_EQ(wakes.load(), 4);
}

TEST(UiHandover, ManyWorkersNeverLoseAHandOver) {
  UiHandover handover;
  std::atomic<int> done{0};
  int counter = 0;  // only touched on the serving thread
  std::vector<std::thread> workers;
  for (int w = 0; w < 4; ++w) {
    workers.emplace_back([&] {
      for (int i = 0; i < 500; ++i) handover.RunAndWait([&] { ++counter; });
      ++done;
      handover.Notify();
    });
  }
  handover.ServeUntil([&] { return done.load() == 4; });
  for (auto& t : workers) t.join();
  EXPECT_EQ(counter, 2000);
}

}  // namespace
}  // namespace orvanta
