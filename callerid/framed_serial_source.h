#ifndef ORVANTA_CALLERID_FRAMED_SERIAL_SOURCE_H_
#define ORVANTA_CALLERID_FRAMED_SERIAL_SOURCE_H_

#include <string>
#include <string_view>

#include "callerid/call_source.h"
#include "callerid/packet_framing.h"

namespace orvanta {

class CallSink;
class SerialConnection;
class SettingsStore;

// A serial device that sends each number framed between a start text and
// an end text. The framing state lives as long as the program, so bytes
// received before a restart of the source still count after it.
class FramedSerialSource : public CallSource {
 public:
  // `settings_folder` ends in a path separator; the line parameters are
  // read from its port settings file at every start.
  FramedSerialSource(SerialConnection& connection, const SettingsStore& store,
                     CallSink& calls, std::u16string settings_folder);

  // The stored start and end texts (their "#N" escapes decoded), the line
  // parameters, then the device. See SerialConnection::Open for failures.
  bool Start(const WindowSettings& window) override;
  void Stop() override;
  bool Running() const override;

  // Each packet the bytes complete is announced, the number and the line
  // cut with the positions and lengths stored at that moment (line "0"
  // while the line's position is 0). A failure (a stored
  // value that cannot be read, a datagram that cannot be sent) holds back
  // no other packet of the chunk: the first one is raised after all of them
  // have been handled.
  void Receive(std::string_view bytes);

  const PacketFraming& Framing() const { return framing_; }

 private:
  SerialConnection& connection_;
  const SettingsStore& store_;
  CallSink& calls_;
  std::u16string settings_folder_;
  PacketFraming framing_;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_FRAMED_SERIAL_SOURCE_H_
