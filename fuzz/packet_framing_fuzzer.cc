// The serial byte stream, cut into chunks of any size. Two kinds of run,
// chosen by the first byte:
//  - any bytes, any markers: the buffer never holds more than its limit
//    after a chunk, and every body and every number cut from it is a piece
//    of what was fed;
//  - known packets between noise that holds no byte of either marker (and
//    markers that share no byte): exactly those bodies come out, in order,
//    however the stream is chunked.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "callerid/packet_framing.h"
#include "fuzz/fuzz_support.h"

namespace {

using orvanta::PacketFraming;

// Feeds `stream` in chunks whose sizes the provider picks; returns every
// body in order and checks the buffer limit after each chunk.
std::vector<std::string> FeedInChunks(PacketFraming& framing,
                                      const std::string& stream,
                                      FuzzedDataProvider& input) {
  std::vector<std::string> bodies;
  size_t at = 0;
  while (at < stream.size()) {
    const size_t size = input.ConsumeIntegralInRange<size_t>(1, 64);
    for (std::string& body : framing.Feed(stream.substr(at, size))) {
      bodies.push_back(std::move(body));
    }
    at += size;
    if (framing.Buffer().size() > PacketFraming::kBufferLimit)
      orvanta::fuzz::Broken("the buffer holds more than its limit");
  }
  return bodies;
}

void AnyBytes(FuzzedDataProvider& input) {
  PacketFraming framing;
  std::string start = input.ConsumeRandomLengthString(4);
  std::string end = input.ConsumeRandomLengthString(4);
  framing.SetMarkers(start, end);
  const int32_t position = input.ConsumeIntegralInRange<int32_t>(-2, 40);
  const int32_t length = input.ConsumeIntegralInRange<int32_t>(-2, 40);
  const std::string stream = input.ConsumeRandomLengthString(4096);
  for (const std::string& body : FeedInChunks(framing, stream, input)) {
    if (stream.find(body) == std::string::npos)
      orvanta::fuzz::Broken("a body that was never fed");
    const std::string number = orvanta::CutNumber(body, position, length);
    if (body.find(number) == std::string::npos)
      orvanta::fuzz::Broken("a number that is not part of its body");
    if (!number.empty() && (static_cast<unsigned char>(number.front()) <= 32 ||
                            static_cast<unsigned char>(number.back()) <= 32))
      orvanta::fuzz::Broken("a number that is not trimmed");
  }
}

// Bytes of `text` that occur in neither marker.
std::string Without(const std::string& text, const std::string& start,
                    const std::string& end) {
  std::string kept;
  for (char c : text) {
    if (start.find(c) == std::string::npos && end.find(c) == std::string::npos)
      kept.push_back(c);
  }
  return kept;
}

void KnownPackets(FuzzedDataProvider& input) {
  const std::string start = input.ConsumeRandomLengthString(3);
  const std::string end =
      Without(input.ConsumeRandomLengthString(3), start, "");
  if (start.empty() || end.empty()) return;
  PacketFraming framing;
  framing.SetMarkers(start, end);
  std::string stream;
  std::vector<std::string> sent;
  const size_t packets = input.ConsumeIntegralInRange<size_t>(0, 20);
  for (size_t n = 0; n < packets; ++n) {
    // Kept well under the buffer limit, which is there for noise, not for
    // packets a device really sends.
    stream += Without(input.ConsumeRandomLengthString(100), start, end);
    sent.push_back(Without(input.ConsumeRandomLengthString(100), start, end));
    stream += start + sent.back() + end;
  }
  if (FeedInChunks(framing, stream, input) != sent)
    orvanta::fuzz::Broken("the packets sent did not come out as sent");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  if (input.ConsumeBool()) {
    KnownPackets(input);
  } else {
    AnyBytes(input);
  }
  return 0;
}
