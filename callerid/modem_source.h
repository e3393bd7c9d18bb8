#ifndef ORVANTA_CALLERID_MODEM_SOURCE_H_
#define ORVANTA_CALLERID_MODEM_SOURCE_H_

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "callerid/call_source.h"
#include "callerid/modem_call_assembly.h"
#include "callerid/modem_initialisation.h"
#include "callerid/modem_report.h"

namespace orvanta {

class CallSink;
class ProgramLog;
class SerialConnection;
class SettingsStore;
class UiHandover;
class UserNotice;

// The modem source's clock and its one alarm, on the user-interface thread.
class ModemTimer {
 public:
  using Clock = std::chrono::steady_clock;
  virtual ~ModemTimer() = default;
  virtual Clock::time_point Now() const = 0;
  // Calls `work` once, at `when` or as soon after as the thread is free;
  // replaces the alarm set before.
  virtual void CallAt(Clock::time_point when, std::function<void()> work) = 0;
  // No call comes after this, also from inside `work`.
  virtual void Cancel() = 0;
};

// The real one, on the hand-over's periodic call.
std::unique_ptr<ModemTimer> MakeModemTimer(UiHandover& ui);

// A voice/data modem on the serial port of the framed source (the same
// calleridcomport.ini): it is set up to report caller ID at every open, the
// reopen after an unplug included, and its reports become calls on the line
// label the user gave it.
//
// The modem is told to report caller ID with the stored initialisation
// string, or with the enable commands in turn; how that went is one log
// line, and a modem that took none of them is also told in a tray balloon.
// The port stays open and listened to either way. When three calls in a
// row rang without caller ID the modem is set up once more.
class ModemSource : public CallSource {
 public:
  // `settings_folder` ends in a path separator; the line parameters are
  // read from its port settings file at every start.
  ModemSource(SerialConnection& connection, const SettingsStore& store,
              CallSink& calls, ProgramLog& log, UserNotice& notice,
              ModemTimer& timer, std::u16string settings_folder);
  ~ModemSource() override;
  ModemSource(const ModemSource&) = delete;
  ModemSource& operator=(const ModemSource&) = delete;

  // The stored initialisation string and line label, the line parameters,
  // then the device, with DTR and RTS raised. See SerialConnection::Open
  // for failures.
  bool Start(const WindowSettings& window) override;
  void Stop() override;
  bool Running() const override;

  // What the modem sent. A call is announced as soon as its NMBR line is
  // complete. A failing announcement holds back nothing else of the bytes;
  // the first failure is raised after all of it has been handled.
  void Receive(std::string_view bytes);

  // Whether the modem is being set up at the moment.
  bool Initialising() const { return initialisation_.Running(); }

 private:
  using Clock = ModemTimer::Clock;

  void Opened();
  void Initialise();
  void Perform(const ModemInitStep& step);
  void Perform(std::vector<ModemAssemblyStep> steps,
               std::exception_ptr& first_failure);
  void Alarm();
  void SetAlarm();
  void AbandonInitialisation();

  SerialConnection& connection_;
  const SettingsStore& store_;
  CallSink& calls_;
  ProgramLog& log_;
  UserNotice& notice_;
  ModemTimer& timer_;
  std::u16string settings_folder_;

  std::u16string commands_;  // the stored initialisation string
  ModemReportParser parser_;
  ModemCallAssembly assembly_;
  ModemInitialisation initialisation_;
  // When the command sent last counts as unanswered.
  std::optional<Clock::time_point> answer_deadline_;
  // When the alarm is set for; nothing while none is.
  std::optional<Clock::time_point> alarm_at_;
  bool started_ = false;
};

// The line a modem's calls go out on: the stored label without blanks at
// its ends; "0" when that leaves nothing, since receivers show the line.
std::u16string ModemLineLabel(std::u16string_view stored);

// Log line when a command could not be written to the modem; the failure's
// text follows.
inline constexpr char16_t kModemWriteFailedLogLine[] =
    u"Modem'e komut gönderilemedi: ";

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_MODEM_SOURCE_H_
