#include "callerid/configured_destinations.h"

#include <exception>
#include <utility>

#include "base/failure.h"
#include "base/program_log.h"
#include "base/text.h"

namespace orvanta {
namespace {

std::u16string ProblemLine(const SettingsProblem& problem) {
  const std::u16string file = kDestinationsFileName;
  // Texts about the file as a whole name it already.
  if (problem.text.starts_with(file)) return problem.text;
  return file + u": " + problem.text;
}

std::u16string CallsText(size_t count) {
  return IntToText(static_cast<long long>(count)) + u" arama";
}

}  // namespace

ConfiguredDestinations::ConfiguredDestinations(
    DestinationEnvironment environment)
    : environment_(std::move(environment)) {}

ConfiguredDestinations::~ConfiguredDestinations() {
  // Later destinations first, as members go.
  while (!running_.empty()) running_.pop_back();
}

void ConfiguredDestinations::AddKind(DestinationKind kind) {
  kinds_.push_back(std::move(kind));
}

void ConfiguredDestinations::Log(const std::u16string& line) {
  if (environment_.log != nullptr) environment_.log->AddLogLine(line);
}

void ConfiguredDestinations::Reload(const std::u16string& path) {
  LoadedDestinations loaded;
  try {
    loaded = LoadDestinations(path, reported_keys_);
  } catch (...) {
    Log(std::u16string(kDestinationsFileName) +
        u" okunamadı; hedefler olduğu gibi çalışmaya devam ediyor: " +
        FailureText(std::current_exception()));
    return;
  }
  Apply(loaded);
}

void ConfiguredDestinations::Apply(const LoadedDestinations& loaded) {
  std::vector<PlannedDestination> plan;
  std::vector<std::u16string> lines;
  for (const SettingsProblem& problem : loaded.problems) {
    lines.push_back(ProblemLine(problem));
  }
  for (const DestinationKind& kind : kinds_) {
    kind(loaded, environment_, plan, lines);
  }
  // A problem is told when it appears, not again at every "Uygula".
  std::set<std::u16string> told;
  for (const std::u16string& line : lines) {
    if (!last_problems_.contains(line) && !told.contains(line)) Log(line);
    told.insert(line);
  }
  last_problems_ = std::move(told);

  // Unchanged destinations go on as they are.
  std::vector<std::unique_ptr<ConfiguredDestination>> kept(plan.size());
  std::vector<bool> still_wanted(running_.size(), false);
  for (size_t p = 0; p < plan.size(); ++p) {
    for (size_t r = 0; r < running_.size(); ++r) {
      if (!still_wanted[r] && running_[r].key == plan[p].key) {
        still_wanted[r] = true;
        kept[p] = std::move(running_[r].destination);
        break;
      }
    }
  }

  // The others stop before anything new starts: a broker must see the old
  // connection's goodbye before the new one says it is online.
  struct Stopped {
    std::u16string name;
    std::u16string succession;
    std::vector<DeliveryQueue::Item> calls;
    bool taken = false;
  };
  std::vector<Stopped> stopped;
  for (size_t r = 0; r < running_.size(); ++r) {
    if (still_wanted[r]) continue;
    Running& old = running_[r];
    stopped.push_back(
        {old.destination->Name(), old.succession, old.destination->Stop()});
    old.destination.reset();
  }

  std::vector<Running> next;
  next.reserve(plan.size());
  for (size_t p = 0; p < plan.size(); ++p) {
    PlannedDestination& planned = plan[p];
    std::unique_ptr<ConfiguredDestination> destination = std::move(kept[p]);
    if (!destination) {
      destination = planned.make();
      Stopped* predecessor = nullptr;
      if (!planned.succession.empty()) {
        for (Stopped& s : stopped) {
          if (!s.taken && s.succession == planned.succession) {
            predecessor = &s;
            break;
          }
        }
      }
      if (predecessor != nullptr) {
        predecessor->taken = true;
        const size_t count = predecessor->calls.size();
        destination->Adopt(std::move(predecessor->calls));
        std::u16string line = kDestinationRenewedText + destination->Name();
        if (count > 0) line += u" (bekleyen " + CallsText(count) + u" ile)";
        Log(line);
      } else {
        Log(kDestinationStartedText + destination->Name());
      }
    }
    next.push_back({std::move(planned.key), std::move(planned.succession),
                    std::move(destination)});
  }
  for (const Stopped& s : stopped) {
    if (s.taken) continue;
    std::u16string line = kDestinationStoppedText + s.name;
    if (!s.calls.empty()) {
      line +=
          u"; bekleyen " + CallsText(s.calls.size()) + u" gönderilmeden atıldı";
    }
    Log(line);
  }
  running_ = std::move(next);
}

void ConfiguredDestinations::Deliver(const Call& call) {
  std::exception_ptr first_failure;
  for (Running& running : running_) {
    try {
      running.destination->Deliver(call);
    } catch (...) {
      if (!first_failure) first_failure = std::current_exception();
    }
  }
  if (first_failure) std::rethrow_exception(first_failure);
}

}  // namespace orvanta
