#ifndef ORVANTA_CALLERID_ENGINE_H_
#define ORVANTA_CALLERID_ENGINE_H_

#include <memory>
#include <string>

namespace orvanta {

class Announcer;
class ArgControl;
class CallLog;
class Cid2Control;
class DeviceControlFactory;
class SerialFraming;
class TComPort;
class TVmStorage;
class UdpChannel;
class UserNotice;

// What the engine reads from the settings window, as it stands at the call.
class SettingsControls {
 public:
  virtual ~SettingsControls() = default;
  virtual int RadioGroupCihazIndex() const = 0;  // -1..2
  virtual int ComboCihazIndex() const = 0;       // -1..4
  virtual std::u16string EditIpText() const = 0;
  virtual int ComboPortIndex() const = 0;        // -1..8
  virtual std::u16string EditPortText() const = 0;
};

struct EngineParts {
  TVmStorage& store;
  UdpChannel& channel;
  Announcer& announcer;
  TComPort& port;
  SerialFraming& framing;
  DeviceControlFactory& devices;
  UserNotice& notice;
  SettingsControls& controls;
  CallLog& log;              // MemoLog
  std::u16string exe_directory;  // ends in a path separator
};

// Turns the stored settings into a running caller-ID system and back.
class CallerIdEngine {
 public:
  explicit CallerIdEngine(EngineParts parts);
  ~CallerIdEngine();

  void ApplySettings();
  bool SwitchCallerId(bool start);
  // FormClose with Closing set: Disconnect a held ARG control, then stop.
  void ClosingStep();

  bool CallerIdRunning() const { return running_; }
  Cid2Control* HeldCid2() const { return cid2_.get(); }
  ArgControl* HeldArg() const { return arg_.get(); }
  void ForgetArgControl();  // FormCreate: "ArgControl := none"

 private:
  EngineParts parts_;
  bool running_ = false;
  std::unique_ptr<Cid2Control> cid2_;
  std::unique_ptr<ArgControl> arg_;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_ENGINE_H_
