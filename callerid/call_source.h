#ifndef ORVANTA_CALLERID_CALL_SOURCE_H_
#define ORVANTA_CALLERID_CALL_SOURCE_H_

#include <string>

namespace orvanta {

// The settings as the settings window holds them at the moment caller-ID is
// applied: what the stored values do not say, or say differently until they
// are saved.
struct WindowSettings {
  int source = -1;           // the chosen source, as CALLERIDTYPE numbers it
  int arg_device_kind = -1;  // -1..4, the ARG device list's choice
  std::u16string main_machine_ip;
  int arg_com_port = -1;  // -1..8 for none, COM1..COM9
  std::u16string udp_port_text;
};

// A kind of caller-ID device. The engine starts the one the settings
// choose and stops it again; while it runs it hands each call to the
// announcer it was made with.
class CallSource {
 public:
  virtual ~CallSource() = default;
  // Starts taking calls. False when the source could not start and has
  // told the user why; a failure it raises goes to the default error report.
  virtual bool Start(const WindowSettings& window) = 0;
  // Stops taking calls; also when it was never started.
  virtual void Stop() = 0;
  // Whether the source counts as started: after a Start that raised a
  // failure, this says whether it still needs a Stop (a serial device that
  // is tried again in the background does).
  virtual bool Running() const = 0;
  // The program ends: anything the device must hear before it is let go.
  virtual void PrepareToClose() {}
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_CALL_SOURCE_H_
