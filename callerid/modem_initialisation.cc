#include "callerid/modem_initialisation.h"

#include <iterator>
#include <utility>

#include "base/text.h"

namespace orvanta {

std::vector<std::string> SplitModemCommands(std::u16string_view text) {
  const std::string bytes = ToAnsi(text);
  std::vector<std::string> commands;
  size_t at = 0;
  while (at <= bytes.size()) {
    size_t end = bytes.find(';', at);
    if (end == std::string::npos) end = bytes.size();
    const std::string_view command =
        TrimSpacesAndTabs(std::string_view(bytes).substr(at, end - at));
    if (!command.empty()) {
      const bool has_prefix =
          command.size() >= 2 && SameTextAscii(command.substr(0, 2), "AT");
      commands.push_back((has_prefix ? "" : "AT") + std::string(command));
    }
    at = end + 1;
  }
  return commands;
}

ModemInitialisation::ModemInitialisation(std::u16string_view user_commands)
    : commands_(SplitModemCommands(user_commands)),
      user_commands_(!commands_.empty()) {
  if (!user_commands_) {
    commands_.assign(std::begin(kCallerIdEnableCommands),
                     std::end(kCallerIdEnableCommands));
  }
}

ModemInitStep ModemInitialisation::Start() {
  phase_ = Phase::kReset;
  next_ = 0;
  any_answer_ = false;
  first_refused_.clear();
  first_refused_answer_ = Answer::kOk;
  enabled_.clear();
  return Send(kModemResetCommand, kResetWait);
}

ModemInitStep ModemInitialisation::Take(const ModemEvent& event) {
  if (event.kind == ModemEventKind::kOk) return Answered(Answer::kOk);
  if (event.kind == ModemEventKind::kError) return Answered(Answer::kError);
  return {};
}

ModemInitStep ModemInitialisation::Timeout() { return Answered(Answer::kNone); }

ModemInitStep ModemInitialisation::Answered(Answer answer) {
  if (phase_ == Phase::kIdle) return {};
  if (answer != Answer::kNone) any_answer_ = true;
  if (phase_ == Phase::kCommand) {
    const std::string& command = commands_[next_ - 1];
    if (!user_commands_ && answer == Answer::kOk) {
      enabled_ = command;
      return Finish(kModemReadyLogLine + FromAnsi(command) + u")");
    }
    if (user_commands_ && answer != Answer::kOk && first_refused_.empty()) {
      first_refused_ = command;
      first_refused_answer_ = answer;
    }
  }
  // A reset that fails or stays unanswered is no reason not to try.
  phase_ = Phase::kCommand;
  if (next_ < commands_.size()) {
    return Send(commands_[next_++], kCommandWait);
  }
  if (!any_answer_) return Finish(kModemNoAnswerMessage);
  if (!user_commands_) return Finish(kModemCallerIdRefusedMessage);
  if (!first_refused_.empty()) {
    return Finish(kModemUserCommandRefusedMessage + FromAnsi(first_refused_) +
                  (first_refused_answer_ == Answer::kError
                       ? kModemRefusedByError
                       : kModemRefusedBySilence));
  }
  for (const std::string& command : commands_) {
    if (!enabled_.empty()) enabled_ += ';';
    enabled_ += command;
  }
  return Finish(kModemReadyLogLine + FromAnsi(enabled_) + u")");
}

ModemInitStep ModemInitialisation::Send(const std::string& command,
                                        std::chrono::milliseconds wait) {
  ModemInitStep step;
  step.send = command + "\r";
  step.wait = wait;
  return step;
}

ModemInitStep ModemInitialisation::Finish(std::u16string log) {
  phase_ = Phase::kIdle;
  ModemInitStep step;
  step.finished = true;
  step.log = std::move(log);
  return step;
}

}  // namespace orvanta
