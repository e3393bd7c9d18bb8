#ifndef ORVANTA_NOTIFY_DELIVERY_QUEUE_H_
#define ORVANTA_NOTIFY_DELIVERY_QUEUE_H_

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvanta {

// What one attempt to hand an item to a peer came to.
struct SendResult {
  enum class Kind {
    kDelivered,   // the peer has it
    kRetryLater,  // the peer could not be reached or asked to wait
    kRejected,    // the peer refused it for good: sending it again is useless
  };
  Kind kind = Kind::kDelivered;
  // Why, for kRetryLater and kRejected, as the user reads it (Turkish). It
  // never carries a secret.
  std::u16string reason;

  static SendResult Delivered() { return {}; }
  static SendResult RetryLater(std::u16string why) {
    return {Kind::kRetryLater, std::move(why)};
  }
  static SendResult Rejected(std::u16string why) {
    return {Kind::kRejected, std::move(why)};
  }
};

// What the queue tells its owner, from the worker thread. The owner passes
// it on to the user-interface thread (the log and the balloon).
struct DeliveryNotice {
  enum class Kind {
    kOutage,    // the first failed attempt after a working one: once
    kResumed,   // the first delivery after an outage
    kDropped,   // items given up: too old, or pushed out of a full queue
    kRejected,  // the peer refused an item for good
  };
  Kind kind = Kind::kOutage;
  // kResumed: items still waiting behind the one that got through;
  // kDropped: all items given up since the last such notice.
  size_t count = 0;
  size_t expired = 0;       // kDropped: of `count`, those too old
  std::u16string reason;    // kOutage, kRejected: SendResult::reason
  std::u16string log_line;  // the whole line, named after the destination
  bool balloon = false;     // worth a balloon as well as the log line
};

// How long items are kept and how often they are tried; tests replace the
// clock and the back-off so that nothing sleeps.
struct DeliveryTiming {
  using Clock = std::chrono::steady_clock;
  size_t capacity = 1000;
  // An item this old is dropped instead of being sent.
  std::chrono::milliseconds max_age = std::chrono::minutes(10);
  // The wait before attempt `failures` + 1, after that many failures in a
  // row (1, 2, ...). The default doubles from one second up to a minute.
  std::function<std::chrono::milliseconds(int failures)> backoff;
  std::function<Clock::time_point()> now;
};

// The default back-off: 1 s, 2 s, 4 s, ... up to 60 s.
std::chrono::milliseconds GrowingBackoff(int failures);

// An ordered queue of items for one peer with a worker thread of its own
// that sends them one at a time, oldest first, and keeps an item until the
// peer has it, refuses it, or it grows too old.
//
// Push is for any one thread (the user-interface thread) and returns at
// once. When the queue is full the oldest waiting item makes room. An
// outage is told once, when the first attempt fails, and its end once,
// when an attempt works again. Items given up are counted and told in one
// notice before the next attempt, so a flood during an outage makes one
// line, not one per item.
class DeliveryQueue {
 public:
  // Runs on the worker thread. Returns within its own timeout; `cancelled`
  // turns true when the queue is being stopped, and a send that can look
  // at it returns sooner.
  using Send = std::function<SendResult(const std::string& item,
                                        const std::atomic<bool>& cancelled)>;
  using NoticeSink = std::function<void(const DeliveryNotice&)>;

  // `name` starts every log line ("Webhook 1 (https://example.com)").
  DeliveryQueue(std::u16string name, Send send, NoticeSink notices,
                DeliveryTiming timing = {});
  // Stops: the send in progress, if any, is waited for; the items still
  // waiting are dropped without a notice.
  ~DeliveryQueue();
  DeliveryQueue(const DeliveryQueue&) = delete;
  DeliveryQueue& operator=(const DeliveryQueue&) = delete;

  // An item and when it came, as a queue that takes over another's keeps
  // its age.
  struct Item {
    std::string payload;
    DeliveryTiming::Clock::time_point since;
  };

  void Push(std::string item);
  // Cuts the current back-off short: the next attempt is made now (a peer
  // known to be back, a test that drives the clock).
  void RetryNow();
  // Items not yet delivered, the one being sent included.
  size_t Pending() const;

  // Stops the worker (a send in progress is told to give up and waited for)
  // and returns, oldest first, every item the peer has not acknowledged, for
  // a queue that takes over. Nothing is sent after this; Push drops.
  std::vector<Item> Stop();
  // Items a stopped queue gave back, ahead of anything pushed here and with
  // their age kept. Beyond the capacity the oldest are dropped and counted.
  void Adopt(std::vector<Item> items);

 private:
  void Run();
  // With the lock held: drops what is too old from the front.
  void DropExpired();
  // Tells about dropped items, if any; the lock is released meanwhile.
  void ReportDrops(std::unique_lock<std::mutex>& lock);
  void Tell(const DeliveryNotice& notice, std::unique_lock<std::mutex>& lock);

  const std::u16string name_;
  const Send send_;
  const NoticeSink notices_;
  DeliveryTiming timing_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Item> items_;
  bool sending_ = false;  // items_.front() is out with the send function
  bool retry_now_ = false;
  std::atomic<bool> stopping_{false};
  size_t dropped_full_ = 0;
  size_t dropped_old_ = 0;
  bool outage_ = false;
  int failures_ = 0;
  std::thread worker_;
};

// Texts of the notices, after the destination's name and ": ".
inline constexpr char16_t kOutageText[] =
    u"gönderilemiyor, aramalar sırada bekletiliyor: ";
inline constexpr char16_t kResumedText[] = u"gönderim yeniden başladı.";
inline constexpr char16_t kLateItemsText[] = u" arama gönderiliyor.";
inline constexpr char16_t kDroppedText[] = u" arama gönderilemeden atıldı";
inline constexpr char16_t kRejectedText[] = u"arama kabul edilmedi: ";

}  // namespace orvanta

#endif  // ORVANTA_NOTIFY_DELIVERY_QUEUE_H_
