#ifndef ORVANTA_SENDER_PROGRAM_H_
#define ORVANTA_SENDER_PROGRAM_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/ui_handover.h"
#include "base/user_notice.h"
#include "callerid/announcer.h"
#include "callerid/broadcast_channel.h"
#include "callerid/call_json.h"
#include "callerid/configured_destinations.h"
#include "callerid/datagram_destination.h"
#include "callerid/device_control_sources.h"
#include "callerid/engine.h"
#include "callerid/framed_serial_source.h"
#include "callerid/modem_source.h"
#include "callerid/serial_connection.h"
#include "callerid/serial_line.h"
#include "notify/udp_channel.h"
#include "sender/log_model.h"
#include "serial/serial_port.h"
#include "settings/storage.h"

namespace orvanta {

class DeviceControlFactory;
class SerialDevice;
class Shell;
struct EncodingProblem;

// Test seams; each left empty means the platform's own part.
struct ProgramOptions {
  std::function<std::unique_ptr<DeviceControlFactory>(UserNotice& errors)>
      devices;
  std::function<std::unique_ptr<SerialDevice>()> serial_device;
};

// The program Orvanta: owns its parts and wires them, once, here. A call
// goes one way: the device's port (its event thread hands the bytes over
// to the user-interface thread) -> the source -> the announcer -> each
// destination: the LAN broadcast first, then those Hedefler.ini names
// (webhooks; an MQTT broker on Linux), each sending from a thread and a
// bounded queue of its own.
//
// Each platform's main builds its shell and views, then the Program, then
// the presenters over both; it destroys them in the opposite order.
class Program : public UserNotice {
 public:
  Program(Shell& shell, ProgramOptions options = {});
  ~Program() override;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Setting.ini in the settings folder into the store. A file that cannot
  // be read raises a Failure that says which file it is about; one that
  // reads as no text at all (the wrong encoding) leaves every setting at
  // its default and is reported here.
  void ReadSettingsFile();
  // The store into Setting.ini, the settings folder made first.
  void SaveSettingsFile();
  // The serial line parameters into calleridcomport.ini, after the setup
  // dialog changed them.
  void SavePortSettings();

  // Start, restart or stop caller-ID as the stored settings and the
  // window's choices say; Hedefler.ini is read again first.
  void ApplySettings(const WindowSettings& window);
  // Hedefler.ini in the settings folder, read again: the destinations after
  // the LAN broadcast become what it says, and its problems go to the log.
  // A destination whose settings did not change goes on untouched, queue
  // and connection; one that changed hands the calls it still holds to its
  // successor where they fit (see ConfiguredDestinations::Reload). At start
  // and at "Uygula"/"Kaydet" (ApplySettings), and after the "Hedefler"
  // dialog saved the file.
  void ReloadDestinations();
  // The path of Hedefler.ini.
  std::u16string DestinationsFile() const;
  // What the calls' JSON says about this program (host, name, version),
  // for the destinations and for test calls.
  const CallSender& SenderInfo() const { return sender_info_; }
  // The program ends: the sources' last words, then everything stops.
  void ClosingStep();
  // "Portu Test Et": the fixed test datagram, confirmed in a box.
  void SendTestDatagram();

  // UserNotice: "Bilgi" information box; the default error report, titled
  // with the application title; the tray balloon under the program's title.
  void ShowInfo(const std::u16string& text) override;
  void ReportError(const std::u16string& message) override;
  void ShowTrayBalloon(const std::u16string& text) override;

  // The folder of the settings files, ending in the path separator.
  std::u16string SettingsFolder() const;

  // What follows once the "Hedefler" dialog wrote Hedefler.ini: the
  // program takes the destinations on. Empty: nothing to take them into.
  std::function<void()> destinations_saved;

  // The parts, for the presenters and for tests.
  SettingsStore& Store() { return store_; }
  LogModel& Log() { return log_; }
  UdpChannel& Channel() { return channel_; }
  SerialPort& Port() { return port_; }
  SerialConnection& Serial() { return serial_; }
  FramedSerialSource& FramedSource() { return framed_; }
  ModemSource& Modem() { return modem_; }
  Cid2Source& Cid2() { return cid2_; }
  ArgSource& Arg() { return arg_; }
  CallerIdEngine& Engine() { return engine_; }
  Announcer& Calls() { return announcer_; }
  ConfiguredDestinations& Destinations() { return destinations_; }
  UiHandover& Handover() { return handover_; }

 private:
  Shell& shell_;
  std::u16string application_title_;
  // Declared first, so that it outlives everything that hands work over.
  UiHandover handover_;
  SettingsStore store_;
  LogModel log_;

  UdpChannel channel_;
  UdpBroadcastChannel broadcast_{channel_};
  DatagramDestination datagram_;
  CallSender sender_info_;
  ConfiguredDestinations destinations_;
  Announcer announcer_;

  SerialPort port_;
  PortSerialLine line_{port_};
  std::unique_ptr<RetryTimer> retry_;
  SerialConnection serial_;
  std::unique_ptr<ModemTimer> modem_timer_;
  std::unique_ptr<DeviceControlFactory> devices_;

  Cid2Source cid2_;
  ArgSource arg_;
  FramedSerialSource framed_;
  ModemSource modem_;
  CallerIdEngine engine_;
};

// The executable's file name up to its first ".", the first character in
// upper case and every later one in lower case ("C:\\x\\ORVANTA.EXE" and
// "/usr/bin/orvanta" -> "Orvanta").
std::u16string ApplicationTitle(std::u16string_view exe_path,
                                char16_t separator);
// Everything up to and including the last separator.
std::u16string DirectoryOf(std::u16string_view path, char16_t separator);

// The start-up report of a settings file at `path` whose bytes do not read
// as UTF-8 text: the file, the reason and what follows from it.
std::u16string SettingsFileProblemText(const std::u16string& path,
                                       const EncodingProblem& problem);

// Texts of the program's own messages.
inline constexpr char16_t kInfoTitle[] = u"Bilgi";
inline constexpr char16_t kBalloonTitle[] = u"VELMORIS ";
inline constexpr uint32_t kBalloonTimeoutMs = 5000;

}  // namespace orvanta

#endif  // ORVANTA_SENDER_PROGRAM_H_
