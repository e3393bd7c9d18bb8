#ifndef ORVANTA_SERIAL_FRAMING_H_
#define ORVANTA_SERIAL_FRAMING_H_

// Turns the serial byte stream into calls: packets between the start text
// and the end text, the number cut out of each by position and length.

#include <string>
#include <string_view>

namespace orvanta {

class Announcer;
class TComPort;
class TVmStorage;

// "#N" escapes (N = 255 down to 0, one pass each, largest first, each pass
// working on the previous one's output) become the character N, through
// the ANSI code page.
std::string DecodeMarker(std::u16string_view text);

// Where received chunks go while the port test window exists.
class ChunkSink {
 public:
  virtual ~ChunkSink() = default;
  virtual void ShowChunk(const std::string& chunk) = 0;
};

// The serial framing state (`StartMarker`, `EndMarker`, `RxBuffer`) and the
// receive handler `ComPortCallerIDRxChar`. UI thread only.
class SerialFraming {
 public:
  // Receive buffer limit: more than this after a notification empties it.
  static constexpr size_t kRxBufferLimit = 1024;

  SerialFraming(TVmStorage& store, Announcer& announcer);

  std::string StartMarker;
  std::string EndMarker;
  std::string RxBuffer;

  // The port test window registers itself while it exists.
  void SetTestSink(ChunkSink* sink) { test_sink_ = sink; }
  bool HasTestSink() const { return test_sink_ != nullptr; }

  // Reads `count` bytes from `sender`; while a test sink is registered they
  // go there and nothing else happens. Otherwise they are appended to
  // RxBuffer and every complete packet in it is announced, in order, with
  // the line "0".
  void ComPortCallerIDRxChar(TComPort& sender, int count);

 private:
  // Takes one packet from RxBuffer; false when it holds no end text.
  bool TakePacket(std::string& number);
  std::string CutNumber(const std::string& body) const;

  TVmStorage& store_;
  Announcer& announcer_;
  ChunkSink* test_sink_ = nullptr;
};

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_FRAMING_H_
