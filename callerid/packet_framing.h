#ifndef ORVANTA_CALLERID_PACKET_FRAMING_H_
#define ORVANTA_CALLERID_PACKET_FRAMING_H_

// Packets in the serial byte stream: a start text, the body, an end text.
// Pure: bytes in, packet bodies out; no port, store or announcer here.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// "#N" escapes (N = 255 down to 0, one pass each, largest first, each pass
// working on the previous one's output) become the character N, through
// the ANSI code page.
std::string DecodeMarker(std::u16string_view text);

// The receive buffer and the framing state that outlives one chunk.
//
// A packet is "open" once its start text has been taken out of the buffer
// and its end text has not come yet. In the chunk that removes the start
// text, the first end text after it closes the packet, start texts before
// it included ("S12S45E" gives "12S45"). In a later chunk, whichever comes
// first decides: an end text closes the open packet ("S12" then "3ES45E"
// gives "123", then "45"), while a start text means the device began
// anew and the open body is dropped ("S12" then "3S45E" gives "45").
class PacketFraming {
 public:
  // More than this in the buffer after a chunk empties it, so noise or a
  // device that never sends the end text cannot make it grow without bound.
  static constexpr size_t kBufferLimit = 1024;

  // The decoded texts; the buffer and the open packet are kept, so bytes
  // received before a restart of the source still count after it.
  void SetMarkers(std::string start, std::string end);
  const std::string& StartMarker() const { return start_; }
  const std::string& EndMarker() const { return end_; }

  // Appends `chunk` and returns the body of every packet it completes, in
  // order; then applies the buffer limit.
  std::vector<std::string> Feed(std::string_view chunk);

  const std::string& Buffer() const { return buffer_; }
  bool PacketOpen() const { return open_; }

 private:
  // Takes one packet from the buffer; false when none is complete.
  // `carried_open`: the open packet was opened by an earlier chunk.
  bool TakePacket(bool carried_open, std::string& body);

  std::string start_;
  std::string end_;
  std::string buffer_;
  bool open_ = false;
};

// The number inside a packet body: from 1-based `start` (below 1 counts as
// 1), `length` characters (0: to the end of the body; below 0: none), then
// every code of 32 or less taken off both ends.
std::string CutNumber(std::string_view body, int32_t start, int32_t length);

// The line a multi-line device puts in the packet body, cut as the number
// is. A `start` below 1 means the device sends none: "0", as for every
// single-line device. So does a cut that comes out empty, since receivers
// show the line and need one.
std::string CutLine(std::string_view body, int32_t start, int32_t length);

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_PACKET_FRAMING_H_
