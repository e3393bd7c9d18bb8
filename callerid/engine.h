#ifndef ORVANTA_CALLERID_ENGINE_H_
#define ORVANTA_CALLERID_ENGINE_H_

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace orvanta {

class Announcer;
class ArgControl;
class BroadcastChannel;
class CallLog;
class Cid2Control;
class DeviceControlFactory;
class PacketFraming;
class SerialSource;
class SerialPort;
class SettingsStore;
class UdpChannel;
class UiHandover;
class UserNotice;

// What the engine reads from the settings window, as it stands at the call.
class SettingsControls {
 public:
  virtual ~SettingsControls() = default;
  virtual int RadioGroupCihazIndex() const = 0;  // -1..2
  virtual int ComboCihazIndex() const = 0;       // -1..4
  virtual std::u16string EditIpText() const = 0;
  virtual int ComboPortIndex() const = 0;  // -1..8
  virtual std::u16string EditPortText() const = 0;
};

// The main window's components the engine works with.
struct EngineParts {
  SettingsStore& store;
  UdpChannel& channel;
  Announcer& announcer;
  SerialPort& port;
  PacketFraming& framing;  // the serial receive handler's
  DeviceControlFactory& devices;
  UserNotice& notice;
  SettingsControls& controls;
  CallLog& log;                  // MemoLog
  std::u16string exe_directory;  // ends in a path separator
  UiHandover& ui;                // carries the serial port's retries
};

// Calls `work` every `period` on the user-interface thread until stopped;
// the engine tries a serial device that went away again with it.
class RetryTimer {
 public:
  virtual ~RetryTimer() = default;
  // Starts afresh; the first call comes one period from now.
  virtual void Start(std::chrono::milliseconds period,
                     std::function<void()> work) = 0;
  // No call comes after this, also from inside `work`.
  virtual void Stop() = 0;
  virtual bool Running() const = 0;
};

// The same, seen through the narrow interfaces the engine needs; EngineParts
// is turned into this with adapters over the real channel, port and
// announcer.
struct EngineLinks {
  using Announce = std::function<void(const std::u16string& number,
                                      const std::u16string& line)>;
  SettingsStore& store;
  BroadcastChannel& channel;
  SerialSource& serial;
  DeviceControlFactory& devices;
  UserNotice& notice;
  SettingsControls& controls;
  CallLog& log;
  Announce announce;  // AnnounceCall(number, line)
  std::u16string exe_directory;
  RetryTimer& retry;
};

// Turns the stored settings into a running caller-ID system and back.
//
// Failures that the engine does not turn into its own messages (a serial
// port that cannot be loaded or opened, a stored value that cannot be read,
// a failing Disconnect at the closing step) leave the call as Failure for the
// caller's default error report.
//
// The serial source waits for its device: a port that cannot be opened at
// a start, or whose device goes away while it runs, is reported once and
// then tried again every kSerialRetryPeriod, quietly, until it opens (which
// is said once, in the log and the tray balloon) or caller-ID is stopped.
// Meanwhile the source counts as running. A loss while the report of the
// last one is still on screen is not reported again.
class CallerIdEngine {
 public:
  explicit CallerIdEngine(EngineParts parts);
  explicit CallerIdEngine(EngineLinks links);
  ~CallerIdEngine();
  CallerIdEngine(const CallerIdEngine&) = delete;
  CallerIdEngine& operator=(const CallerIdEngine&) = delete;

  // "Kaydet", "Uygula" and the start-up message: start, restart or stop as
  // the stored settings and the device radio group say.
  void ApplySettings();
  // true starts the UDP channel and the stored type's source; false stops
  // the channel and every source that runs. The result says whether the step
  // reached its goal.
  bool SwitchCallerId(bool start);
  // FormClose with Closing set: Disconnect a held ARG control, then stop.
  void ClosingStep();

  bool CallerIdRunning() const { return running_; }
  // True while a serial device that is away is being tried again.
  bool WaitingForSerialDevice() const { return links_.retry.Running(); }
  Cid2Control* HeldCid2() const { return cid2_.get(); }
  ArgControl* HeldArg() const { return arg_.get(); }
  void ForgetArgControl();  // FormCreate: "ArgControl := none"

 private:
  bool Start();
  bool Stop();
  bool StartCid2();
  bool StartArg();
  void ConfigureAndConnectArg();
  void StartSerial();
  void AttachToSerial();
  void SerialDeviceLost(const std::u16string& message);
  void RetrySerial();
  void CloseSerialQuietly();

  // Adapters made from EngineParts (empty when built from EngineLinks).
  std::unique_ptr<BroadcastChannel> own_channel_;
  std::unique_ptr<SerialSource> own_serial_;
  std::unique_ptr<RetryTimer> own_retry_;
  EngineLinks links_;
  bool running_ = false;
  bool reporting_serial_loss_ = false;
  std::unique_ptr<Cid2Control> cid2_;
  std::unique_ptr<ArgControl> arg_;
};

// Messages the engine shows.
inline constexpr char16_t kUdpOpenFailedMessage[] =
    u"UDP iletişim kanalı açılamadı.\r\nPort No : ";
inline constexpr char16_t kCid2FailedMessage[] =
    u"CID2(Sistemler) tipi baglanti acilamadi. Cihazin suruculerinin "
    u"yuklendiginden emin olunuz.\r\n";
inline constexpr char16_t kArgFailedMessage[] =
    u"ARG tipi baglanti acilamadi. Cihazin suruculerinin yuklendiginden emin "
    u"olunuz.\r\n";
inline constexpr char16_t kArgConnectFailedLogLine[] =
    u" Bağlantı Başarısız...";
inline constexpr char16_t kStartFailedMessage[] =
    u"Caller ID sistemi baslatilamadi.";
inline constexpr char16_t kStopFailedMessage[] =
    u"Caller ID sistemi kapatilamadi.";
// Log line and tray balloon when the serial device opens after being away;
// the port's name follows.
inline constexpr char16_t kSerialDeviceBackText[] =
    u"Seri port cihazı bağlandı: ";

// Gentle enough to cost nothing while a device is away, quick enough that
// the next call after a replug gets through.
inline constexpr std::chrono::milliseconds kSerialRetryPeriod{2000};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_ENGINE_H_
