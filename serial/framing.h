#ifndef ORVANTA_SERIAL_FRAMING_H_
#define ORVANTA_SERIAL_FRAMING_H_

// CONTRACT SKETCH (to be completed by the serial work): keep these names.

#include <string>
#include <string_view>

namespace orvanta {

class Announcer;
class TComPort;
class TVmStorage;

// "#N" escapes (N = 255 down to 0) become the character N, through the ANSI
// code page.
std::string DecodeMarker(std::u16string_view text);

// Where received chunks go while the port test window exists.
class ChunkSink {
 public:
  virtual ~ChunkSink() = default;
  virtual void ShowChunk(const std::string& chunk) = 0;
};

// The serial framing state (`StartMarker`, `EndMarker`, `RxBuffer`) and the
// receive handler `ComPortCallerIDRxChar`.
class SerialFraming {
 public:
  SerialFraming(TVmStorage& store, Announcer& announcer);

  std::string StartMarker;
  std::string EndMarker;
  std::string RxBuffer;

  // The port test window registers itself while it exists.
  void SetTestSink(ChunkSink* sink) { test_sink_ = sink; }
  bool HasTestSink() const { return test_sink_ != nullptr; }

  void ComPortCallerIDRxChar(TComPort& sender, int count);

 private:
  TVmStorage& store_;
  Announcer& announcer_;
  ChunkSink* test_sink_ = nullptr;
};

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_FRAMING_H_
