#include "notify/delivery_queue.h"

#include <algorithm>
#include <utility>

#include "base/text.h"

namespace orvanta {
namespace {

std::u16string Count(size_t n) { return IntToText(static_cast<long long>(n)); }

}  // namespace

std::chrono::milliseconds GrowingBackoff(int failures) {
  const int doublings = std::clamp(failures - 1, 0, 6);
  return std::min<std::chrono::milliseconds>(
      std::chrono::seconds(1) * (1 << doublings), std::chrono::seconds(60));
}

DeliveryQueue::DeliveryQueue(std::u16string name, Send send, NoticeSink notices,
                             DeliveryTiming timing)
    : name_(std::move(name)),
      send_(std::move(send)),
      notices_(std::move(notices)),
      timing_(std::move(timing)) {
  if (!timing_.backoff) timing_.backoff = GrowingBackoff;
  if (!timing_.now) timing_.now = [] { return DeliveryTiming::Clock::now(); };
  timing_.capacity = std::max<size_t>(timing_.capacity, 1);
  worker_ = std::thread([this] { Run(); });
}

DeliveryQueue::~DeliveryQueue() { Stop(); }

std::vector<DeliveryQueue::Item> DeliveryQueue::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Item> left(std::make_move_iterator(items_.begin()),
                         std::make_move_iterator(items_.end()));
  items_.clear();
  return left;
}

void DeliveryQueue::Adopt(std::vector<Item> items) {
  if (items.empty()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return;
    // Ahead of what came here, and behind the item being sent: that one may
    // already be with the peer.
    const auto at = items_.begin() + (sending_ ? 1 : 0);
    items_.insert(at, std::make_move_iterator(items.begin()),
                  std::make_move_iterator(items.end()));
    while (items_.size() > timing_.capacity) {
      items_.erase(items_.begin() + (sending_ ? 1 : 0));
      ++dropped_full_;
    }
  }
  wake_.notify_all();
}

void DeliveryQueue::Push(std::string item) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return;
    if (items_.size() >= timing_.capacity) {
      // The oldest waiting item makes room; the one being sent stays, as
      // the peer may already have it.
      if (!sending_) {
        items_.pop_front();
      } else if (items_.size() >= 2) {
        items_.erase(items_.begin() + 1);
      } else {
        ++dropped_full_;  // a queue of one that is busy: the new item goes
        return;
      }
      ++dropped_full_;
    }
    items_.push_back(Item{std::move(item), timing_.now()});
  }
  wake_.notify_all();
}

void DeliveryQueue::RetryNow() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    retry_now_ = true;
  }
  wake_.notify_all();
}

size_t DeliveryQueue::Pending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return items_.size();
}

void DeliveryQueue::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !items_.empty(); });
    if (stopping_) return;
    DropExpired();
    ReportDrops(lock);
    if (stopping_) return;
    if (items_.empty()) continue;

    sending_ = true;
    retry_now_ = false;  // this attempt is the one asked for
    const std::string payload = items_.front().payload;
    lock.unlock();
    SendResult result = send_(payload, stopping_);
    lock.lock();
    sending_ = false;

    switch (result.kind) {
      case SendResult::Kind::kDelivered: {
        items_.pop_front();
        failures_ = 0;
        if (outage_) {
          outage_ = false;
          DeliveryNotice notice;
          notice.kind = DeliveryNotice::Kind::kResumed;
          notice.count = items_.size();
          notice.log_line = name_ + u": " + kResumedText;
          if (notice.count > 0) {
            notice.log_line +=
                u" Sırada bekleyen " + Count(notice.count) + kLateItemsText;
          }
          Tell(notice, lock);
        }
        break;
      }
      case SendResult::Kind::kRejected: {
        items_.pop_front();
        failures_ = 0;
        DeliveryNotice notice;
        notice.kind = DeliveryNotice::Kind::kRejected;
        notice.log_line = name_ + u": " + kRejectedText + result.reason;
        notice.reason = std::move(result.reason);
        Tell(notice, lock);
        break;
      }
      case SendResult::Kind::kRetryLater: {
        ++failures_;
        if (!outage_) {
          outage_ = true;
          DeliveryNotice notice;
          notice.kind = DeliveryNotice::Kind::kOutage;
          notice.log_line = name_ + u": " + kOutageText + result.reason;
          notice.reason = std::move(result.reason);
          notice.balloon = true;
          Tell(notice, lock);
        }
        const auto until =
            std::chrono::steady_clock::now() + timing_.backoff(failures_);
        wake_.wait_until(lock, until,
                         [this] { return stopping_ || retry_now_; });
        retry_now_ = false;
        break;
      }
    }
  }
}

void DeliveryQueue::DropExpired() {
  const auto now = timing_.now();
  while (!items_.empty() && now - items_.front().since > timing_.max_age) {
    items_.pop_front();
    ++dropped_old_;
  }
}

void DeliveryQueue::ReportDrops(std::unique_lock<std::mutex>& lock) {
  if (dropped_full_ == 0 && dropped_old_ == 0) return;
  DeliveryNotice notice;
  notice.kind = DeliveryNotice::Kind::kDropped;
  notice.count = dropped_full_ + dropped_old_;
  notice.expired = dropped_old_;
  std::u16string why;
  if (dropped_old_ > 0) {
    const auto minutes =
        std::chrono::duration_cast<std::chrono::minutes>(timing_.max_age);
    why = Count(dropped_old_) + u" tanesi " +
          IntToText(static_cast<long long>(minutes.count())) +
          u" dakika içinde gönderilemedi";
  }
  if (dropped_full_ > 0) {
    if (!why.empty()) why += u", ";
    why += Count(dropped_full_) + u" tanesi sıra dolduğu için çıkarıldı";
  }
  notice.log_line =
      name_ + u": " + Count(notice.count) + kDroppedText + u" (" + why + u").";
  dropped_full_ = 0;
  dropped_old_ = 0;
  Tell(notice, lock);
}

void DeliveryQueue::Tell(const DeliveryNotice& notice,
                         std::unique_lock<std::mutex>& lock) {
  if (!notices_) return;
  lock.unlock();
  notices_(notice);
  lock.lock();
}

}  // namespace orvanta
