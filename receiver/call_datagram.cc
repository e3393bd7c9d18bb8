#include "receiver/call_datagram.h"

#include <algorithm>

#include "base/text.h"

namespace orvanta {
namespace {

// The next line of `rest` without its LF and an optional CR before it; false
// when `rest` holds no more text at all.
bool TakeLine(std::string_view& rest, std::string_view& line) {
  if (rest.empty()) return false;
  const size_t end = rest.find('\n');
  line = rest.substr(0, end);
  rest =
      end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

bool TakeValue(std::string_view line, std::string_view key,
               std::u16string& value) {
  if (line.substr(0, key.size()) != key) return false;
  const std::string_view bytes = line.substr(key.size());
  std::optional<std::u16string> decoded = DecodeUtf8Strict(bytes);
  value = CleanDisplayText(decoded ? *decoded : FromAnsi(bytes));
  return true;
}

bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

}  // namespace

ParsedDatagram ParseCallDatagram(std::string_view bytes) {
  ParsedDatagram result;
  if (bytes.size() > kMaxCallDatagramSize) {
    result.verdict = DatagramVerdict::kOversized;
    return result;
  }
  std::string_view rest = bytes;
  std::string_view first;
  std::string_view second;
  if (!TakeLine(rest, first) || !TakeLine(rest, second) ||
      !TakeValue(first, "HAT=", result.call.line) ||
      !TakeValue(second, "NUMARA=", result.call.number)) {
    result.call = {};
    return result;
  }
  result.verdict = DatagramVerdict::kCall;
  return result;
}

std::u16string CleanDisplayText(std::u16string_view text) {
  std::u16string clean;
  clean.reserve(text.size());
  for (char16_t c : text) {
    // U+2028/2029 break lines too; the bidirectional controls could make a
    // number read backwards.
    if (IsControl(c) || c == 0x2028 || c == 0x2029 ||
        (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069)) {
      continue;
    }
    clean.push_back(c);
  }
  const size_t first = clean.find_first_not_of(u' ');
  if (first == std::u16string::npos) return {};
  const size_t last = clean.find_last_not_of(u' ');
  return clean.substr(first, last - first + 1);
}

bool IsTestCall(const IncomingCall& call) {
  return call.line == u"01" && call.number == u"555 55 55";
}

bool RepeatFilter::Accept(const IncomingCall& call, Clock::time_point now) {
  while (!oldest_first_.empty() &&
         (now - oldest_first_.front()->second >= kWindow ||
          oldest_first_.size() >= kMaxRemembered)) {
    seen_.erase(oldest_first_.front());
    oldest_first_.pop_front();
  }
  // The window runs from the call that was kept: a repeat does not stretch
  // it, so a real second call a few seconds later is never lost.
  const auto [it, kept] = seen_.try_emplace({call.line, call.number}, now);
  if (kept) oldest_first_.push_back(it);
  return kept;
}

bool NotificationGate::Allow(Clock::time_point now) {
  if (last_ && now - *last_ < kInterval) return false;
  last_ = now;
  return true;
}

bool BurstLimiter::Allow(Clock::time_point now) {
  if (tokens_ < 0) {
    tokens_ = burst_;
  } else {
    const double earned = std::chrono::duration<double>(now - last_) /
                          std::chrono::duration<double>(interval_);
    tokens_ = std::min<double>(burst_, tokens_ + earned);
  }
  last_ = now;
  if (tokens_ < 1) return false;
  tokens_ -= 1;
  return true;
}

}  // namespace orvanta
