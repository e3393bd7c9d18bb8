#include "callerid/packet_framing.h"

#include "base/text.h"

namespace orvanta {
namespace {

void ReplaceAll(std::u16string& text, std::u16string_view pattern,
                char16_t with) {
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

size_t Find(const std::string& buffer, const std::string& marker) {
  return marker.empty() ? std::string::npos : buffer.find(marker);
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

void PacketFraming::SetMarkers(std::string start, std::string end) {
  start_ = std::move(start);
  end_ = std::move(end);
}

std::vector<std::string> PacketFraming::Feed(std::string_view chunk) {
  buffer_.append(chunk);
  // Every complete packet now, not one per chunk: a device that sends two
  // calls in one burst must not have the second held back until some later
  // byte happens to arrive.
  std::vector<std::string> bodies;
  bool carried_open = open_;
  std::string body;
  while (TakePacket(carried_open, body)) {
    bodies.push_back(std::move(body));
    carried_open = false;
  }
  if (buffer_.size() > kBufferLimit) {
    buffer_.clear();
    open_ = false;  // its body went with the buffer
  }
  return bodies;
}

bool PacketFraming::TakePacket(bool carried_open, std::string& body) {
  if (carried_open) {
    // The end text of a packet opened earlier often arrives together with
    // the start of the next one; it must close its own packet first.
    const size_t end_at = Find(buffer_, end_);
    const size_t start_at = Find(buffer_, start_);
    if (end_at != std::string::npos &&
        (start_at == std::string::npos || end_at <= start_at)) {
      body = buffer_.substr(0, end_at);
      buffer_.erase(0, end_at + end_.size());
      open_ = false;
      return true;
    }
  }
  // Everything up to and including the first start text goes, an end text
  // before it included: the packet starts after it.
  const size_t start_at = Find(buffer_, start_);
  if (start_at != std::string::npos) {
    buffer_.erase(0, start_at + start_.size());
    open_ = true;
  }
  const size_t end_at = Find(buffer_, end_);
  if (end_at == std::string::npos) return false;
  body = buffer_.substr(0, end_at);
  buffer_.erase(0, end_at + end_.size());
  open_ = false;
  return true;
}

std::string CutNumber(std::string_view body, int32_t start, int32_t length) {
  if (start < 1) start = 1;
  if (length < 0 || static_cast<size_t>(start) > body.size()) return {};
  std::string_view number = body.substr(static_cast<size_t>(start) - 1);
  if (length > 0) number = number.substr(0, static_cast<size_t>(length));
  return std::string(TrimControls(number));
}

std::string CutLine(std::string_view body, int32_t start, int32_t length) {
  if (start < 1) return "0";
  std::string line = CutNumber(body, start, length);
  return line.empty() ? "0" : line;
}

}  // namespace orvanta
