#include "notify/delivery_queue.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace orvanta {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;
using Kind = DeliveryNotice::Kind;

// A peer the test switches between answers; it records what it was sent
// and what the queue told, and lets the test wait for either.
class FakePeer {
 public:
  SendResult Send(const std::string& item, const std::atomic<bool>& cancel) {
    std::unique_lock<std::mutex> lock(mutex_);
    attempts_.push_back(item);
    changed_.notify_all();
    // The cancel flag has no signal of its own, as a real transfer's does
    // not: it is looked at now and then, as a transfer's progress check does.
    while (hang_ && !cancel.load()) {
      changed_.wait_for(lock, std::chrono::milliseconds(5));
    }
    SendResult result = answer_(item);
    if (result.kind == SendResult::Kind::kDelivered) received_.push_back(item);
    changed_.notify_all();
    return result;
  }
  void Tell(const DeliveryNotice& notice) {
    std::lock_guard<std::mutex> lock(mutex_);
    notices_.push_back(notice);
    changed_.notify_all();
  }
  void Answer(std::function<SendResult(const std::string&)> answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    answer_ = std::move(answer);
  }
  // The queue asks for its back-off after each failed attempt, just before
  // it waits: a RetryNow after this is sure to start the next attempt.
  void RecordBackoff(int failures) {
    std::lock_guard<std::mutex> lock(mutex_);
    backoff_asked_.push_back(failures);
    changed_.notify_all();
  }
  bool WaitForFailures(size_t n) {
    return WaitUntil([&] { return backoff_asked_.size() >= n; });
  }
  std::vector<int> backoff_asked() {
    std::lock_guard<std::mutex> lock(mutex_);
    return backoff_asked_;
  }
  void Hang() {
    std::lock_guard<std::mutex> lock(mutex_);
    hang_ = true;
  }
  // Waits (on the peer's own signal, never a fixed sleep) until `done`;
  // false after a generous limit, so a fault fails instead of hanging.
  bool WaitUntil(const std::function<bool()>& done) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, seconds(30), done);
  }
  bool WaitForAttempts(size_t n) {
    return WaitUntil([&] { return attempts_.size() >= n; });
  }
  bool WaitForReceived(size_t n) {
    return WaitUntil([&] { return received_.size() >= n; });
  }
  std::vector<std::string> received() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }
  std::vector<std::string> attempts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return attempts_;
  }
  std::vector<DeliveryNotice> notices() {
    std::lock_guard<std::mutex> lock(mutex_);
    return notices_;
  }
  std::vector<DeliveryNotice> notices(Kind kind) {
    std::vector<DeliveryNotice> out;
    for (const auto& n : notices()) {
      if (n.kind == kind) out.push_back(n);
    }
    return out;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<SendResult(const std::string&)> answer_ =
      [](const std::string&) { return SendResult::Delivered(); };
  bool hang_ = false;
  std::vector<int> backoff_asked_;
  std::vector<std::string> attempts_;
  std::vector<std::string> received_;
  std::vector<DeliveryNotice> notices_;
};

SendResult Down(const std::string&) {
  return SendResult::RetryLater(u"bağlantı kurulamadı");
}

// The test's clock and back-off: time moves only when the test says, and a
// retry comes only when the test asks for it (RetryNow).
struct Driven {
  explicit Driven(FakePeer& peer) : peer(peer) {}
  FakePeer& peer;
  std::atomic<long long> elapsed_ms{0};
  DeliveryTiming Timing(size_t capacity = 1000) {
    DeliveryTiming timing;
    timing.capacity = capacity;
    const auto start = DeliveryTiming::Clock::now();
    timing.now = [this, start] {
      return start + std::chrono::milliseconds(elapsed_ms.load());
    };
    timing.backoff = [this](int failures) {
      peer.RecordBackoff(failures);
      return std::chrono::milliseconds(std::chrono::hours(1));
    };
    return timing;
  }
  void Advance(std::chrono::milliseconds by) { elapsed_ms += by.count(); }
};

struct QueueFixture : testing::Test {
  FakePeer peer;
  Driven clock{peer};
  std::unique_ptr<DeliveryQueue> MakeQueue(size_t capacity = 1000) {
    return std::make_unique<DeliveryQueue>(
        u"Webhook 1 (https://ornek.test)",
        [this](const std::string& item, const std::atomic<bool>& cancel) {
          return peer.Send(item, cancel);
        },
        [this](const DeliveryNotice& n) { peer.Tell(n); },
        clock.Timing(capacity));
  }
};

TEST_F(QueueFixture, DeliversEveryItemOnceInOrderAndSaysNothing) {
  auto queue = MakeQueue();
  for (int i = 0; i < 50; ++i) queue->Push("call " + std::to_string(i));
  ASSERT_TRUE(peer.WaitForReceived(50));
  queue.reset();
  std::vector<std::string> expected;
  expected.reserve(50);
  for (int i = 0; i < 50; ++i) expected.push_back("call " + std::to_string(i));
  EXPECT_EQ(peer.received(), expected);
  EXPECT_EQ(peer.attempts().size(), 50u);
  EXPECT_TRUE(peer.notices().empty());
}

TEST_F(QueueFixture, OutageIsToldOnceWithItsReasonAndItsEndOnce) {
  peer.Answer(Down);
  auto queue = MakeQueue();
  queue->Push("a");
  ASSERT_TRUE(peer.WaitForFailures(1));
  queue->Push("b");
  queue->Push("c");
  for (size_t n = 2; n <= 4; ++n) {
    queue->RetryNow();
    ASSERT_TRUE(peer.WaitForFailures(n));
  }
  // The back-off was asked after each failure in a row, growing.
  EXPECT_EQ(peer.backoff_asked(), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(peer.received().empty());

  peer.Answer([](const std::string&) { return SendResult::Delivered(); });
  queue->RetryNow();
  ASSERT_TRUE(peer.WaitForReceived(3));
  queue.reset();
  EXPECT_EQ(peer.received(), (std::vector<std::string>{"a", "b", "c"}));

  const auto notices = peer.notices();
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].kind, Kind::kOutage);
  EXPECT_TRUE(notices[0].balloon);
  EXPECT_EQ(notices[0].log_line,
            u"Webhook 1 (https://ornek.test): gönderilemiyor, aramalar sırada "
            u"bekletiliyor: bağlantı kurulamadı");
  EXPECT_EQ(notices[1].kind, Kind::kResumed);
  EXPECT_FALSE(notices[1].balloon);
  EXPECT_EQ(notices[1].count, 2u);
  EXPECT_EQ(notices[1].log_line,
            u"Webhook 1 (https://ornek.test): gönderim yeniden başladı. Sırada "
            u"bekleyen 2 arama gönderiliyor.");
}

TEST_F(QueueFixture, SecondOutageIsToldAgain) {
  auto queue = MakeQueue();
  for (int round = 0; round < 2; ++round) {
    peer.Answer(Down);
    queue->Push("x");
    ASSERT_TRUE(peer.WaitForFailures(round + 1));
    peer.Answer([](const std::string&) { return SendResult::Delivered(); });
    queue->RetryNow();
    ASSERT_TRUE(peer.WaitForReceived(round + 1));
  }
  queue.reset();
  EXPECT_EQ(peer.notices(Kind::kOutage).size(), 2u);
  EXPECT_EQ(peer.notices(Kind::kResumed).size(), 2u);
}

TEST_F(QueueFixture, FullQueueDropsTheOldestAndCountsThemInOneLine) {
  peer.Answer(Down);
  auto queue = MakeQueue(1000);
  queue->Push("0");
  ASSERT_TRUE(peer.WaitForFailures(1));
  for (int i = 1; i < 1005; ++i) queue->Push(std::to_string(i));
  EXPECT_EQ(queue->Pending(), 1000u);

  peer.Answer([](const std::string&) { return SendResult::Delivered(); });
  queue->RetryNow();
  ASSERT_TRUE(peer.WaitForReceived(1000));
  queue.reset();
  const auto received = peer.received();
  ASSERT_EQ(received.size(), 1000u);
  for (size_t i = 0; i < received.size(); ++i) {
    ASSERT_EQ(received[i], std::to_string(i + 5)) << "at " << i;
  }
  const auto dropped = peer.notices(Kind::kDropped);
  ASSERT_EQ(dropped.size(), 1u);
  EXPECT_EQ(dropped[0].count, 5u);
  EXPECT_EQ(dropped[0].expired, 0u);
  EXPECT_EQ(dropped[0].log_line,
            u"Webhook 1 (https://ornek.test): 5 arama gönderilemeden atıldı (5 "
            u"tanesi sıra dolduğu için çıkarıldı).");
}

TEST_F(QueueFixture, ItemBeingSentIsNotPushedOut) {
  peer.Hang();
  auto queue = MakeQueue(2);
  queue->Push("first");
  ASSERT_TRUE(peer.WaitForAttempts(1));
  queue->Push("second");
  queue->Push("third");  // pushes out "second", not the one on the wire
  EXPECT_EQ(queue->Pending(), 2u);
  queue.reset();  // cancels the hanging send
  EXPECT_EQ(peer.attempts(), (std::vector<std::string>{"first"}));
}

TEST_F(QueueFixture, ItemsOlderThanTenMinutesAreDroppedAndCounted) {
  peer.Answer(Down);
  auto queue = MakeQueue();
  queue->Push("old");
  ASSERT_TRUE(peer.WaitForFailures(1));
  clock.Advance(minutes(9));
  queue->Push("newer");
  clock.Advance(minutes(1) + seconds(1));  // "old" is past ten minutes
  peer.Answer([](const std::string&) { return SendResult::Delivered(); });
  queue->RetryNow();
  ASSERT_TRUE(peer.WaitForReceived(1));
  queue.reset();
  EXPECT_EQ(peer.received(), std::vector<std::string>{"newer"});
  const auto dropped = peer.notices(Kind::kDropped);
  ASSERT_EQ(dropped.size(), 1u);
  EXPECT_EQ(dropped[0].count, 1u);
  EXPECT_EQ(dropped[0].expired, 1u);
  EXPECT_EQ(dropped[0].log_line,
            u"Webhook 1 (https://ornek.test): 1 arama gönderilemeden atıldı (1 "
            u"tanesi 10 dakika içinde gönderilemedi).");
}

TEST_F(QueueFixture, RejectedItemIsToldAndNotTriedAgain) {
  peer.Answer([](const std::string& item) {
    return item == "bad" ? SendResult::Rejected(u"HTTP 400: eksik alan")
                         : SendResult::Delivered();
  });
  auto queue = MakeQueue();
  queue->Push("bad");
  queue->Push("good");
  ASSERT_TRUE(peer.WaitForReceived(1));
  queue.reset();
  EXPECT_EQ(peer.attempts(), (std::vector<std::string>{"bad", "good"}));
  const auto notices = peer.notices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].kind, Kind::kRejected);
  EXPECT_EQ(notices[0].reason, u"HTTP 400: eksik alan");
  EXPECT_EQ(notices[0].log_line,
            u"Webhook 1 (https://ornek.test): arama kabul edilmedi: HTTP 400: "
            u"eksik alan");
}

TEST_F(QueueFixture, StoppingDuringABackOffOrAHangingSendReturns) {
  peer.Answer(Down);
  auto waiting = MakeQueue();
  waiting->Push("a");
  ASSERT_TRUE(peer.WaitForFailures(1));
  waiting.reset();  // in an hour-long back-off

  FakePeer hanging;
  hanging.Hang();
  auto queue = std::make_unique<DeliveryQueue>(
      u"w",
      [&](const std::string& item, const std::atomic<bool>& cancel) {
        return hanging.Send(item, cancel);
      },
      nullptr, clock.Timing());
  queue->Push("b");
  ASSERT_TRUE(hanging.WaitForAttempts(1));
  queue.reset();
  EXPECT_TRUE(hanging.received().size() <= 1u);
}

// A queue being replaced gives back what its peer has not acknowledged,
// the item out for sending included; the queue that takes over sends them
// first, keeps their age and its own bound.
TEST_F(QueueFixture, StopGivesBackTheUndeliveredForAnotherQueueToAdopt) {
  peer.Answer(Down);
  auto old_queue = MakeQueue();
  for (const char* item : {"a", "b", "c", "d"}) old_queue->Push(item);
  ASSERT_TRUE(peer.WaitForFailures(1));  // "a" was out and failed
  clock.Advance(minutes(9));
  old_queue->Push("e");
  std::vector<DeliveryQueue::Item> left = old_queue->Stop();
  old_queue->Push("after stop");
  ASSERT_EQ(left.size(), 5u);
  EXPECT_EQ(left.front().payload, "a");
  EXPECT_EQ(left.back().payload, "e");
  EXPECT_EQ(old_queue->Pending(), 0u);
  old_queue.reset();

  FakePeer next;
  // Four places: "a" goes for room; two minutes on, "b" .. "d" are over
  // ten minutes old, and "e" is left to send, before what comes here.
  auto queue = std::make_unique<DeliveryQueue>(
      u"w",
      [&](const std::string& item, const std::atomic<bool>& cancel) {
        return next.Send(item, cancel);
      },
      [&](const DeliveryNotice& n) { next.Tell(n); }, clock.Timing(4));
  clock.Advance(minutes(2));
  queue->Adopt(std::move(left));
  ASSERT_TRUE(next.WaitForReceived(1));
  queue->Push("f");
  ASSERT_TRUE(next.WaitForReceived(2));
  queue.reset();
  EXPECT_EQ(next.received(), (std::vector<std::string>{"e", "f"}));
  const auto dropped = next.notices(Kind::kDropped);
  ASSERT_EQ(dropped.size(), 1u);
  EXPECT_EQ(dropped[0].count, 4u);
  EXPECT_EQ(dropped[0].expired, 3u);
}

TEST(GrowingBackoff, DoublesFromOneSecondToAMinute) {
  const std::vector<std::pair<int, long long>> cases = {
      {1, 1}, {2, 2}, {3, 4}, {4, 8}, {5, 16}, {6, 32}, {7, 60}, {100, 60}};
  for (const auto& [failures, secs] : cases) {
    EXPECT_EQ(GrowingBackoff(failures), seconds(secs)) << failures;
  }
}

}  // namespace
}  // namespace orvanta
