#include "callerid/modem_source.h"

#include <algorithm>
#include <utility>

#include "base/failure.h"
#include "base/periodic_call.h"
#include "base/program_log.h"
#include "base/user_notice.h"
#include "callerid/announcer.h"
#include "callerid/serial_connection.h"
#include "callerid/settings_files.h"
#include "settings/storage.h"

namespace orvanta {
namespace {

// A periodic call stopped by its first call is an alarm: no platform timer,
// and no thread at all while none is set.
class PeriodicModemTimer : public ModemTimer {
 public:
  explicit PeriodicModemTimer(UiHandover& ui) : call_(ui) {}

  Clock::time_point Now() const override { return Clock::now(); }

  void CallAt(Clock::time_point when, std::function<void()> work) override {
    const auto delay =
        std::max(std::chrono::ceil<std::chrono::milliseconds>(when - Now()),
                 std::chrono::milliseconds(1));
    call_.Start(delay, [this, work = std::move(work)] {
      call_.Stop();
      work();
    });
  }

  void Cancel() override { call_.Stop(); }

 private:
  PeriodicCall call_;
};

bool Blank(char16_t c) { return c <= u' '; }

}  // namespace

std::unique_ptr<ModemTimer> MakeModemTimer(UiHandover& ui) {
  return std::make_unique<PeriodicModemTimer>(ui);
}

std::u16string ModemLineLabel(std::u16string_view stored) {
  while (!stored.empty() && Blank(stored.front())) stored.remove_prefix(1);
  while (!stored.empty() && Blank(stored.back())) stored.remove_suffix(1);
  return stored.empty() ? u"0" : std::u16string(stored);
}

ModemSource::ModemSource(SerialConnection& connection,
                         const SettingsStore& store, CallSink& calls,
                         ProgramLog& log, UserNotice& notice, ModemTimer& timer,
                         std::u16string settings_folder)
    : connection_(connection),
      store_(store),
      calls_(calls),
      log_(log),
      notice_(notice),
      timer_(timer),
      settings_folder_(std::move(settings_folder)) {}

ModemSource::~ModemSource() { timer_.Cancel(); }

bool ModemSource::Start(const WindowSettings&) {
  commands_ = store_.ReadValue(kModemKomut);
  initialisation_ = ModemInitialisation(commands_);
  assembly_.SetLine(ModemLineLabel(store_.ReadValue(kModemHat)));
  // Many modems take no command while DTR is low, and hang up when it drops.
  connection_.Line().SetModemControl(true);
  started_ = true;
  connection_.Open(
      settings_folder_ + kPortSettingsFileName,
      [this](std::string_view bytes) { Receive(bytes); }, [this] { Opened(); });
  return true;
}

void ModemSource::Stop() {
  started_ = false;
  connection_.Close();
  timer_.Cancel();
  alarm_at_.reset();
  AbandonInitialisation();
  assembly_.Reset();
  parser_.Reset();
}

bool ModemSource::Running() const { return started_ && connection_.Active(); }

void ModemSource::Opened() {
  // A modem opened afresh may have been reset or replugged: what it said
  // before is gone, and so is its caller-ID setting.
  parser_.Reset();
  assembly_.Reset();
  Initialise();
  SetAlarm();
}

void ModemSource::Initialise() { Perform(initialisation_.Start()); }

void ModemSource::Receive(std::string_view bytes) {
  const std::vector<ModemEvent> events = parser_.Feed(bytes);
  if (events.empty()) return;
  // The answers first: a setup the calls ask for starts after them.
  for (const ModemEvent& event : events) {
    if (!initialisation_.Running()) break;
    Perform(initialisation_.Take(event));
  }
  std::exception_ptr first_failure;
  Perform(assembly_.Take(events, timer_.Now()), first_failure);
  SetAlarm();
  if (first_failure) std::rethrow_exception(first_failure);
}

void ModemSource::Perform(const ModemInitStep& step) {
  if (!step.send.empty()) {
    // A line that went away is set up again when it comes back.
    if (!connection_.Line().Connected()) {
      AbandonInitialisation();
      return;
    }
    try {
      connection_.Line().Write(step.send);
    } catch (...) {
      AbandonInitialisation();
      log_.AddLogLine(kModemWriteFailedLogLine +
                      FailureText(std::current_exception()));
      return;
    }
  }
  if (step.wait.count() > 0) answer_deadline_ = timer_.Now() + step.wait;
  if (step.finished) answer_deadline_.reset();
  if (!step.log.empty()) {
    log_.AddLogLine(step.log);
    // Without caller ID the modem only rings: worth a word beyond the log.
    if (initialisation_.Enabled().empty()) notice_.ShowTrayBalloon(step.log);
  }
}

void ModemSource::Perform(std::vector<ModemAssemblyStep> steps,
                          std::exception_ptr& first_failure) {
  for (ModemAssemblyStep& step : steps) {
    switch (step.kind) {
      case ModemAssemblyStep::Kind::kAnnounce:
        try {
          calls_.Announce(std::move(step.call));
        } catch (...) {
          if (!first_failure) first_failure = std::current_exception();
        }
        break;
      case ModemAssemblyStep::Kind::kLog:
        log_.AddLogLine(step.text);
        break;
      case ModemAssemblyStep::Kind::kReinitialise:
        Initialise();
        break;
    }
  }
}

void ModemSource::Alarm() {
  alarm_at_.reset();
  const Clock::time_point now = timer_.Now();
  if (answer_deadline_ && *answer_deadline_ <= now) {
    answer_deadline_.reset();
    Perform(initialisation_.Timeout());
  }
  std::exception_ptr first_failure;
  Perform(assembly_.Advance(now), first_failure);
  SetAlarm();
  if (first_failure) std::rethrow_exception(first_failure);
}

void ModemSource::SetAlarm() {
  std::optional<Clock::time_point> next = assembly_.NextDeadline();
  if (answer_deadline_ && (!next || *answer_deadline_ < *next)) {
    next = answer_deadline_;
  }
  if (!next) {
    if (alarm_at_) timer_.Cancel();
    alarm_at_.reset();
    return;
  }
  // An alarm that comes first sets the next one when it comes; a ring
  // every few seconds moves the call's end without a new alarm each time.
  if (alarm_at_ && *alarm_at_ <= *next) return;
  alarm_at_ = next;
  timer_.CallAt(*next, [this] { Alarm(); });
}

void ModemSource::AbandonInitialisation() {
  initialisation_ = ModemInitialisation(commands_);
  answer_deadline_.reset();
}

}  // namespace orvanta
