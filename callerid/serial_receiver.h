#ifndef ORVANTA_CALLERID_SERIAL_RECEIVER_H_
#define ORVANTA_CALLERID_SERIAL_RECEIVER_H_

// The serial source's receive handler: bytes from the port become calls.

#include <functional>
#include <string>

#include "callerid/packet_framing.h"

namespace orvanta {

class SerialPort;
class SettingsStore;

// Where received chunks go while the port test window exists.
class ChunkSink {
 public:
  virtual ~ChunkSink() = default;
  virtual void ShowChunk(const std::string& chunk) = 0;
};

// The receive handler `ComPortCallerIDRxChar` with the framing state it
// keeps for the whole program. UI thread only.
class SerialReceiver {
 public:
  // AnnounceCall(number, line).
  using Announce = std::function<void(const std::u16string& number,
                                      const std::u16string& line)>;

  SerialReceiver(SettingsStore& store, Announce announce);

  PacketFraming& Framing() { return framing_; }
  const PacketFraming& Framing() const { return framing_; }

  // The port test window registers itself while it exists.
  void SetTestSink(ChunkSink* sink) { test_sink_ = sink; }
  bool HasTestSink() const { return test_sink_ != nullptr; }

  // Reads `count` bytes from `sender`. While a test sink is registered they
  // go there and nothing else happens. Otherwise they go to the framing, and
  // each packet it completes is announced with the line "0", the number cut
  // with the position and length stored at that moment. A failure (a stored
  // value that cannot be read, a datagram that cannot be sent) holds back no
  // other packet of the chunk: the first one is raised after all of them
  // have been handled.
  void ComPortCallerIDRxChar(SerialPort& sender, int count);

 private:
  SettingsStore& store_;
  Announce announce_;
  PacketFraming framing_;
  ChunkSink* test_sink_ = nullptr;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_SERIAL_RECEIVER_H_
