#ifndef ORVANTA_CALLERID_ENGINE_H_
#define ORVANTA_CALLERID_ENGINE_H_

#include <cstdint>
#include <map>

#include "callerid/call_source.h"

namespace orvanta {

class BroadcastChannel;
class ProgramLog;
class SettingsStore;
class UserNotice;

// What the engine works with besides its sources.
struct EngineParts {
  const SettingsStore& store;
  BroadcastChannel& channel;
  UserNotice& notice;
  ProgramLog& log;
};

// Turns the stored settings into a running caller-ID system and back: the
// broadcast channel first, then the source `CALLERIDTYPE` names.
//
// Failures that the engine and its sources do not turn into their own
// messages (a serial port that cannot be loaded or opened, a stored value
// that cannot be read, a failing Disconnect at the closing step) leave the
// call as Failure for the caller's default error report.
class CallerIdEngine {
 public:
  explicit CallerIdEngine(EngineParts parts);
  CallerIdEngine(const CallerIdEngine&) = delete;
  CallerIdEngine& operator=(const CallerIdEngine&) = delete;

  // The source started when CALLERIDTYPE is `type` (the settings window's
  // source choice of the same number).
  void AddSource(int32_t type, CallSource& source);

  // "Kaydet", "Uygula" and the start-up message: start, restart or stop as
  // the stored settings and the window's source choice say.
  void ApplySettings(const WindowSettings& window);
  // true starts the UDP channel and the stored type's source; false stops
  // the channel and every source. The result says whether the step reached
  // its goal.
  bool SwitchCallerId(bool start, const WindowSettings& window = {});
  // The program ends: what the sources must do first, then stop.
  void ClosingStep();

  bool CallerIdRunning() const { return running_; }

 private:
  bool Start(const WindowSettings& window);
  bool Stop();

  EngineParts parts_;
  std::map<int32_t, CallSource*> sources_;
  bool running_ = false;
};

// Stored CALLERIDTYPE values.
inline constexpr int32_t kSourceCid2 = 0;
inline constexpr int32_t kSourceArg = 1;
inline constexpr int32_t kSourceFramedSerial = 2;
inline constexpr int32_t kSourceModem = 3;

// Messages the engine shows.
inline constexpr char16_t kUdpOpenFailedMessage[] =
    u"UDP iletişim kanalı açılamadı.\r\nPort No : ";
inline constexpr char16_t kStartFailedMessage[] =
    u"Caller ID sistemi baslatilamadi.";
inline constexpr char16_t kStopFailedMessage[] =
    u"Caller ID sistemi kapatilamadi.";

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_ENGINE_H_
