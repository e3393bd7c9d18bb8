#include "serial/framing.h"

#include <climits>

#include "base/text.h"
#include "notify/announcer.h"
#include "serial/com_port.h"
#include "settings/storage.h"
#include "settings/typed_reading.h"

namespace orvanta {
namespace {

// Everything with a code of 32 or less goes from both ends.
std::string TrimControls(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return text.substr(first, last - first);
}

// Characters from 1-based `start`, at most `length` of them.
std::string CopyText(const std::string& text, int32_t start, int32_t length) {
  if (start < 1) start = 1;
  if (length < 0 || static_cast<size_t>(start) > text.size()) return {};
  return text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(length));
}

void ReplaceAll(std::u16string& text, std::u16string_view pattern, char16_t with) {
  std::u16string out;
  out.reserve(text.size());
  size_t at = 0;
  for (;;) {
    const size_t found = text.find(pattern, at);
    if (found == std::u16string::npos) break;
    out.append(text, at, found - at);
    out.push_back(with);
    at = found + pattern.size();
  }
  out.append(text, at, std::u16string::npos);
  text = std::move(out);
}

}  // namespace

std::string DecodeMarker(std::u16string_view text) {
  std::string bytes = ToAnsi(text);
  for (int code = 255; code >= 0; --code) {
    std::u16string wide = FromAnsi(bytes);
    ReplaceAll(wide, u"#" + IntToText(code), static_cast<char16_t>(code));
    bytes = ToAnsi(wide);
  }
  return bytes;
}

SerialFraming::SerialFraming(TVmStorage& store, Announcer& announcer)
    : store_(store), announcer_(announcer) {}

void SerialFraming::ComPortCallerIDRxChar(TComPort& sender, int count) {
  std::string chunk;
  sender.ReadStr(chunk, count);
  if (test_sink_) {
    test_sink_->ShowChunk(chunk);
    return;
  }
  RxBuffer += chunk;
  // Every complete packet now, not one per notification: a device that
  // sends two calls in one burst must not have the second held back until
  // some later byte happens to arrive.
  std::string number;
  while (TakePacket(number)) {
    announcer_.AnnounceCall(FromAnsi(number), u"0");
  }
  if (RxBuffer.size() > kRxBufferLimit) RxBuffer.clear();
}

bool SerialFraming::TakePacket(std::string& number) {
  if (!StartMarker.empty()) {
    const size_t start = RxBuffer.find(StartMarker);
    if (start != std::string::npos) RxBuffer.erase(0, start + StartMarker.size());
  }
  if (EndMarker.empty()) return false;
  const size_t end = RxBuffer.find(EndMarker);
  if (end == std::string::npos) return false;
  number = TrimControls(CutNumber(RxBuffer.substr(0, end)));
  RxBuffer.erase(0, end + EndMarker.size());
  return true;
}

std::string SerialFraming::CutNumber(const std::string& body) const {
  // Read at every packet, so a changed setting applies without a restart.
  const int32_t start = ReadInteger(store_, kCallerIdNoBaslama);
  int32_t length = ReadInteger(store_, kCallerIdNoUzunluk);
  if (length == 0) length = INT32_MAX;
  return CopyText(body, start, length);
}

}  // namespace orvanta
