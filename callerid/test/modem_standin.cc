#include "callerid/test/modem_standin.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <stdexcept>
#include <utility>

#include "base/text.h"

namespace orvanta {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = AsciiUpper(c);
  return text;
}

std::string Line(const ModemReportStyle& style, const char* tag,
                 const std::string& value) {
  return std::string(tag) + (style.blanks ? " = " : "=") + value +
         style.line_end;
}

ModemReportStyle Style(bool blanks, bool name_first, bool before_ring,
                       std::string line_end) {
  ModemReportStyle style;
  style.blanks = blanks;
  style.name_first = name_first;
  style.before_ring = before_ring;
  style.line_end = std::move(line_end);
  return style;
}

}  // namespace

const std::vector<ModemChipset>& ModemChipsets() {
  static const std::vector<ModemChipset> chipsets = {
      {"IS-101 (Conexant, Rockwell): AT+VCID, echo, spaced report",
       "AT+VCID=1",
       {"AT+GCI=AE"},
       true,
       false,
       false,
       Style(true, false, false, "\r\n")},
      {"USR and TI: AT#CID, no echo, report without blanks",
       "AT#CID=1",
       {},
       false,
       false,
       false,
       Style(false, false, false, "\r\n")},
      {"AT%CCID, echo, numeric results, NAME first",
       "AT%CCID=1",
       {},
       true,
       true,
       false,
       Style(true, true, false, "\r\n")},
      {"AT+CID, silent on unknown commands, DTMF report before the ring, CR "
       "line ends",
       "AT+CID=1",
       {},
       false,
       true,
       true,
       Style(false, false, true, "\r")},
  };
  return chipsets;
}

std::string ModemReportText(const ModemReportStyle& style,
                            const CallerReport& report) {
  std::string text = style.line_end;
  if (!report.date.empty()) text += Line(style, "DATE", report.date);
  if (!report.time.empty()) text += Line(style, "TIME", report.time);
  const std::string number =
      report.number.empty() ? "" : Line(style, "NMBR", report.number);
  const std::string name =
      report.name.empty() ? "" : Line(style, "NAME", report.name);
  text += style.name_first ? name + number : number + name;
  if (!report.message.empty()) text += Line(style, "MESG", report.message);
  return text + style.line_end;
}

ModemStandIn::ModemStandIn(ModemChipset chipset)
    : chipset_(std::move(chipset)) {
  wake_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_fd_ < 0) throw std::runtime_error("eventfd failed");
  PowerUp();
  OpenFarEnd();
  thread_ = std::thread([this] { Main(); });
}

ModemStandIn::~ModemStandIn() {
  Do([this] { stop_ = true; });
  thread_.join();
  CloseFarEnd();
  close(wake_fd_);
}

void ModemStandIn::Main() {
  while (!stop_) {
    pollfd fds[2] = {{wake_fd_, POLLIN, 0}, {far_fd_, POLLIN, 0}};
    const nfds_t count = far_fd_ >= 0 ? 2 : 1;
    if (poll(fds, count, -1) < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("poll failed");
    }
    if (count == 2 && fds[1].revents != 0) {
      char bytes[256];
      const ssize_t got = read(far_fd_, bytes, sizeof bytes);
      if (got > 0) {
        Take(bytes, static_cast<size_t>(got));
      } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
        CloseFarEnd();  // the pair went away under us
      }
    }
    if (fds[0].revents != 0) {
      uint64_t ignored;
      (void)!read(wake_fd_, &ignored, sizeof ignored);
      std::deque<std::packaged_task<void()>> tasks;
      {
        std::lock_guard lock(mutex_);
        tasks.swap(tasks_);
      }
      for (auto& task : tasks) task();
    }
  }
}

void ModemStandIn::Do(std::function<void()> task) {
  std::packaged_task<void()> packaged(std::move(task));
  std::future<void> done = packaged.get_future();
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(packaged));
  }
  const uint64_t one = 1;
  (void)!write(wake_fd_, &one, sizeof one);
  done.get();
}

void ModemStandIn::OpenFarEnd() {
  far_fd_ =
      open(pty_.far_end().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (far_fd_ < 0) throw std::runtime_error("cannot open the far end");
}

void ModemStandIn::CloseFarEnd() {
  if (far_fd_ >= 0) close(far_fd_);
  far_fd_ = -1;
}

void ModemStandIn::Take(const char* bytes, size_t size) {
  if (Snapshot().echo) Write(std::string(bytes, size));
  for (size_t i = 0; i < size; ++i) {
    if (bytes[i] == '\r') {
      const std::string command = std::move(command_);
      command_.clear();
      Update([&](State& state) { state.commands.push_back(command); });
      Answer(command);
    } else if (bytes[i] != '\n') {
      command_.push_back(bytes[i]);
    }
  }
}

void ModemStandIn::Answer(const std::string& received) {
  const std::string command = Upper(std::string(TrimSpacesAndTabs(received)));
  if (command.rfind("AT", 0) != 0) return;  // not for the modem
  const std::string enable = Upper(chipset_.enable_command);
  const std::string disable = enable.substr(0, enable.size() - 1) + "0";
  if (command == "ATZ" || command == "AT&F") {
    PowerUp();
  } else if (command == "ATE0" || command == "ATE1") {
    Update([&](State& state) { state.echo = command.back() == '1'; });
  } else if (command == "ATV0" || command == "ATV1") {
    Update([&](State& state) { state.numeric = command.back() == '0'; });
  } else if (command == enable || command == disable) {
    Update([&](State& state) { state.caller_id = command == enable; });
  } else if (command != "AT") {
    bool known = false;
    for (const std::string& other : chipset_.also_accepts) {
      known = known || command == Upper(other);
    }
    if (!known) {
      if (!chipset_.silent_on_unknown) Result(false);
      return;
    }
  }
  Result(true);
}

void ModemStandIn::Result(bool ok) {
  if (Snapshot().numeric) {
    Write(ok ? "0\r" : "4\r");
  } else {
    Write(ok ? "\r\nOK\r\n" : "\r\nERROR\r\n");
  }
}

void ModemStandIn::Write(const std::string& bytes) {
  size_t written = 0;
  while (far_fd_ >= 0 && written < bytes.size()) {
    const ssize_t n =
        write(far_fd_, bytes.data() + written, bytes.size() - written);
    if (n > 0) {
      written += static_cast<size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      pollfd out = {far_fd_, POLLOUT, 0};
      poll(&out, 1, 1000);
    } else if (n < 0 && errno != EINTR) {
      throw std::runtime_error("cannot write to the far end");
    }
  }
}

void ModemStandIn::PowerUp() {
  Update([&](State& state) {
    state.caller_id = false;
    state.echo = chipset_.echo;
    state.numeric = chipset_.numeric;
  });
}

void ModemStandIn::Update(const std::function<void(State&)>& change) {
  {
    std::lock_guard lock(mutex_);
    change(state_);
  }
  changed_.notify_all();
}

void ModemStandIn::Ring() {
  Do([this] { Write(Snapshot().numeric ? "2\r" : "\r\nRING\r\n"); });
}

void ModemStandIn::Report(const CallerReport& report) {
  Do([this, report] {
    if (Snapshot().caller_id) Write(ModemReportText(chipset_.report, report));
  });
}

void ModemStandIn::Call(const CallerReport& report, int rings) {
  if (chipset_.report.before_ring) Report(report);
  for (int ring = 0; ring < rings; ++ring) {
    Ring();
    if (ring == 0 && !chipset_.report.before_ring) Report(report);
  }
}

void ModemStandIn::Send(const std::string& bytes) {
  Do([this, bytes] { Write(bytes); });
}

void ModemStandIn::ForgetCallerId() {
  Update([](State& state) { state.caller_id = false; });
}

void ModemStandIn::Unplug() {
  Do([this] {
    CloseFarEnd();
    pty_.Hangup();
    command_.clear();
    Update([](State& state) { state.plugged_in = false; });
  });
}

void ModemStandIn::PlugIn() {
  Do([this] {
    if (far_fd_ >= 0) return;
    pty_.PlugIn();
    OpenFarEnd();
    PowerUp();
    Update([](State& state) { state.plugged_in = true; });
  });
}

void ModemStandIn::Replug() {
  Unplug();
  PlugIn();
}

ModemStandIn::State ModemStandIn::Snapshot() const {
  std::lock_guard lock(mutex_);
  return state_;
}

bool ModemStandIn::WaitUntil(const std::function<bool(const State&)>& done,
                             std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return done(state_); });
}

bool ModemStandIn::WaitForCommands(size_t count) {
  return WaitUntil(
      [count](const State& state) { return state.commands.size() >= count; });
}

}  // namespace orvanta
