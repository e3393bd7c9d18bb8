#ifndef ORVANTA_CALLERID_MODEM_INITIALISATION_H_
#define ORVANTA_CALLERID_MODEM_INITIALISATION_H_

// The dialogue that turns a modem's caller-ID report on. Pure: its owner
// writes what a step says to send, hands it the modem's answers, and tells
// it when the answer timer a step asked for has run out.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "callerid/modem_report.h"

namespace orvanta {

// What the owner does after one input. A step with nothing set (an input
// that changes nothing) leaves the answer timer running.
struct ModemInitStep {
  std::string send;                   // bytes to write, CR included
  std::chrono::milliseconds wait{0};  // > 0: start the answer timer anew
  bool finished = false;              // the dialogue is over: stop the timer
  std::u16string log;                 // a log line; empty: none

  bool operator==(const ModemInitStep&) const = default;
};

// Resets the modem (ATZ), then asks for the caller-ID report with each
// enable command in turn until one answers OK: chipsets differ in which
// they know, and many forget the setting at a reset or a replug, so this
// runs at every open. Each command waits for OK or ERROR, or for the owner
// to report a timeout.
//
// With a user initialisation string ("AT+GCI=AE;AT+VCID=1") its commands
// are sent after the reset instead, each in turn whatever the one before
// answered.
//
// It ends with one log line: "Modem hazır (<command>)", or one message
// saying that the modem did not answer or refused; the port is listened to
// either way.
class ModemInitialisation {
 public:
  // Long enough for a reset, which some modems take a second over.
  static constexpr std::chrono::milliseconds kResetWait{3000};
  static constexpr std::chrono::milliseconds kCommandWait{2000};

  // `user_commands`: the stored initialisation string; empty for the
  // built-in dialogue.
  explicit ModemInitialisation(std::u16string_view user_commands = {});

  // Starts (or starts again) with the reset.
  ModemInitStep Start();
  // An answer from the modem: OK and ERROR answer the command sent last;
  // everything else changes nothing.
  ModemInitStep Take(const ModemEvent& event);
  // The answer timer ran out.
  ModemInitStep Timeout();

  bool Running() const { return phase_ != Phase::kIdle; }
  // The command that turned caller ID on (all of the user's, joined by ";"),
  // once it has; empty otherwise.
  const std::string& Enabled() const { return enabled_; }

 private:
  enum class Phase { kIdle, kReset, kCommand };
  enum class Answer { kOk, kError, kNone };

  ModemInitStep Answered(Answer answer);
  ModemInitStep Send(const std::string& command,
                     std::chrono::milliseconds wait);
  ModemInitStep Finish(std::u16string log);

  std::vector<std::string> commands_;
  bool user_commands_ = false;
  Phase phase_ = Phase::kIdle;
  size_t next_ = 0;  // the command after the one waited on
  bool any_answer_ = false;
  std::string first_refused_;  // user commands: the first that failed
  Answer first_refused_answer_ = Answer::kOk;
  std::string enabled_;
};

// The commands of a user initialisation string: split at ";", blanks taken
// off, empty ones left out, and "AT" put in front of those without it, so
// the modem's own chaining ("AT+GCI=AE;+VCID=1") works as well.
std::vector<std::string> SplitModemCommands(std::u16string_view text);

// The enable commands, in the order they are tried.
inline constexpr const char* kCallerIdEnableCommands[] = {
    "AT+VCID=1",  // IS-101: Conexant, Rockwell
    "AT#CID=1",   // USR, TI, Rockwell
    "AT%CCID=1",
    "AT+CID=1",
};

inline constexpr char kModemResetCommand[] = "ATZ";

// Followed by the command and ")".
inline constexpr char16_t kModemReadyLogLine[] = u"Modem hazır (";
inline constexpr char16_t kModemNoAnswerMessage[] =
    u"Modem yanıt vermiyor: komutlara OK ya da ERROR gelmedi. Port "
    u"ayarlarını ve modemin bağlı olduğunu kontrol edin. Port dinlenmeye "
    u"devam ediyor.";
inline constexpr char16_t kModemCallerIdRefusedMessage[] =
    u"Modem arayan numara bildirimini açan komutların hiçbirini kabul etmedi "
    u"(AT+VCID=1, AT#CID=1, AT%CCID=1, AT+CID=1). Ayarlar penceresinden "
    u"modeminize uygun bir başlatma komutu girebilirsiniz. Port dinlenmeye "
    u"devam ediyor.";
// Followed by the command, then kModemRefusedByError or
// kModemRefusedBySilence.
inline constexpr char16_t kModemUserCommandRefusedMessage[] =
    u"Modem başlatma komutunu kabul etmedi: ";
inline constexpr char16_t kModemRefusedByError[] =
    u" (ERROR). Port dinlenmeye devam ediyor.";
inline constexpr char16_t kModemRefusedBySilence[] =
    u" (yanıt yok). Port dinlenmeye devam ediyor.";

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_MODEM_INITIALISATION_H_
