// Measures the serial-to-datagram path of the Linux program from outside,
// against the two reference relays in this folder, and prints one table:
// latency (calls taken in turn by the three), a burst, the idle cost with the
// port open, the cost of waiting for a device that was pulled, and the
// footprint; then two more copies of the program, one with the modem source
// and one with the framed source, on one processor and each on a
// pseudo-terminal of its own, taking calls in turn; and the framed copy
// against one more with a webhook in Hedefler.ini whose server takes the
// connection and never answers. The floor relay is the
// least one thread can do; the hand-over relay adds only the program's design,
// an event thread handing each event to a second thread. Their difference is
// the hand-over's price on this machine, the rest is the program's own. Run it
// through tools/bench, which builds what it needs and gives it a private
// network namespace: both relays send to the limited broadcast address.
//
// With --receiver it also floods the receiver with distinct calls and prints
// its memory before and after.
//
// It prints figures only; nothing here passes or fails on time.

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "sender/qt/test/program_settings.h"

extern char** environ;

namespace orvanta {
namespace {

namespace fs = std::filesystem;

int64_t NowNs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

void SleepUs(int64_t us) {
  if (us > 0) std::this_thread::sleep_for(std::chrono::microseconds(us));
}

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what);
}

pid_t Spawn(const std::vector<std::string>& args,
            const std::map<std::string, std::string>& env_changes,
            const std::string& output_path, int* stderr_pipe = nullptr) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    if (!env_changes.count(name)) env.push_back(entry);
  }
  for (const auto& [name, value] : env_changes) {
    if (!value.empty()) env.push_back(name + "=" + value);
  }
  std::vector<char*> argv, envp;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  int pipe_fds[2] = {-1, -1};
  if (stderr_pipe) {
    if (pipe(pipe_fds) != 0) Fail("pipe failed");
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, output_path.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  pid_t pid = 0;
  const int spawned =
      posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (stderr_pipe) {
    close(pipe_fds[1]);
    *stderr_pipe = pipe_fds[0];
  }
  if (spawned != 0) Fail("cannot start " + args[0]);
  return pid;
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    SleepUs(20000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// A pseudo-terminal pair: the relay opens `device`, the bench writes `far`.
class PtyPair {
 public:
  explicit PtyPair(const fs::path& folder, const std::string& name)
      : device_((folder / (name + "-device")).string()),
        far_path_((folder / (name + "-far")).string()) {
    int log = -1;
    pid_ = Spawn({"socat", "-d", "-d", "pty,raw,echo=0,link=" + device_,
                  "pty,raw,echo=0,link=" + far_path_},
                 {}, "", &log);
    log_ = fdopen(log, "r");
    char line[512];
    bool ready = false;
    while (!ready && fgets(line, sizeof line, log_)) {
      ready = std::string(line).find("starting data transfer loop") !=
              std::string::npos;
    }
    if (!ready) Fail("socat did not start");
    far_ = open(far_path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (far_ < 0) Fail("cannot open " + far_path_);
  }
  ~PtyPair() {
    Hangup();
    if (log_) fclose(log_);
  }
  // The cable is pulled: socat ends, both ends go, and the device's path
  // with them.
  void Hangup() {
    if (far_ >= 0) close(far_);
    far_ = -1;
    Stop(pid_);
    pid_ = 0;
  }
  const std::string& device() const { return device_; }
  // What the device end sent, as soon as anything has; empty after
  // `timeout_ms`.
  std::string Read(int timeout_ms) {
    pollfd wait{far_, POLLIN, 0};
    if (poll(&wait, 1, timeout_ms) <= 0) return {};
    char buffer[512];
    const ssize_t n = read(far_, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : "";
  }
  void Write(const std::string& bytes) {
    if (write(far_, bytes.data(), bytes.size()) !=
        static_cast<ssize_t>(bytes.size())) {
      Fail("short write to " + far_path_);
    }
  }

 private:
  std::string device_;
  std::string far_path_;
  pid_t pid_ = 0;
  FILE* log_ = nullptr;
  int far_ = -1;
};

// A UDP socket on a free port of the namespace, with room for a whole burst.
class Listener {
 public:
  Listener() {
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int size = 32 << 20;
    if (setsockopt(fd_, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0) {
      setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0)
      Fail("cannot bind the listener");
    socklen_t length = sizeof any;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&any), &length);
    port_ = ntohs(any.sin_port);
  }
  ~Listener() { close(fd_); }
  int port() const { return port_; }

  // One datagram, or nothing within `timeout_ms`.
  std::optional<std::string> Receive(int timeout_ms) {
    pollfd wait{fd_, POLLIN, 0};
    if (poll(&wait, 1, timeout_ms) <= 0) return std::nullopt;
    char buffer[2048];
    const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
    if (n < 0) return std::nullopt;
    return std::string(buffer, static_cast<size_t>(n));
  }
  void Drain() {
    while (Receive(0)) {
    }
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};

std::string Datagram(const std::string& number) {
  return "HAT=0\r\nNUMARA=" + number;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A relay under test: its device and its listener.
struct Relay {
  std::string name;
  PtyPair* line;
  Listener* listener;
  pid_t pid = 0;
  std::vector<int64_t> latencies_ns;
  int lost = 0;
  bool modem = false;  // a modem's report instead of a framed packet
};

// The bytes of the call with `number`. A modem's is its ring and its report
// up to the NMBR line, as a modem writes them out together once it has
// decoded the caller-ID burst: the time runs from the end of that line, and
// the program reads the lines before it on the way.
std::string CallBytes(const Relay& relay, const std::string& number) {
  if (!relay.modem) return "S" + number + "E";
  return "\r\nRING\r\n\r\nDATE = 1211\r\nTIME = 0130\r\nNMBR = " + number +
         "\r\n";
}

// Sends calls until one comes through (the relay has opened its device).
void WarmUp(Relay& relay, int& sequence) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string number = std::to_string(++sequence);
    relay.line->Write(CallBytes(relay, number));
    if (auto got = relay.listener->Receive(200)) {
      relay.listener->Drain();
      return;
    }
  }
  Fail(relay.name + " announced nothing");
}

// The call's latency in ns, or -1 when its datagram never came.
int64_t MeasureCall(Relay& relay, int& sequence) {
  const std::string number = std::to_string(++sequence);
  const std::string expected = Datagram(number);
  const std::string packet = CallBytes(relay, number);
  const int64_t start = NowNs();
  relay.line->Write(packet);
  for (;;) {
    auto got = relay.listener->Receive(2000);
    if (!got) {
      ++relay.lost;
      return -1;
    }
    if (*got == expected) break;  // an older call's late datagram otherwise
  }
  const int64_t latency = NowNs() - start;
  relay.latencies_ns.push_back(latency);
  return latency;
}

double Percentile(std::vector<int64_t> values, double fraction) {
  if (values.empty()) return NAN;
  std::sort(values.begin(), values.end());
  size_t rank = static_cast<size_t>(std::ceil(fraction * values.size()));
  rank = std::clamp<size_t>(rank, 1, values.size());
  return values[rank - 1] / 1000.0;
}

struct Burst {
  int sent = 0;
  int received = 0;
  int out_of_order = 0;
  int duplicates = 0;
  double seconds = 0;
};

// `count` packets written one by one as fast as the line takes them; the
// datagrams are gathered until the relay has been quiet for two seconds.
Burst RunBurst(Relay& relay, int count, int first_number) {
  relay.listener->Drain();
  Burst burst;
  burst.sent = count;
  std::atomic<int64_t> last_arrival{0};
  std::vector<int> numbers;
  std::atomic<bool> writing{true};
  const int64_t start = NowNs();
  std::thread receiver([&] {
    int64_t quiet_since = NowNs();
    for (;;) {
      auto got = relay.listener->Receive(100);
      const int64_t now = NowNs();
      if (got) {
        last_arrival = now;
        quiet_since = now;
        const std::string head = Datagram("");
        if (got->rfind(head, 0) == 0) {
          numbers.push_back(std::atoi(got->c_str() + head.size()));
        }
      } else if (!writing && now - quiet_since > 2000000000) {
        return;
      }
    }
  });
  for (int i = 0; i < count; ++i) {
    relay.line->Write("S" + std::to_string(first_number + i) + "E");
  }
  writing = false;
  receiver.join();
  burst.received = static_cast<int>(numbers.size());
  std::vector<bool> seen(count, false);
  int previous = first_number - 1;
  for (int n : numbers) {
    if (n <= previous) ++burst.out_of_order;
    previous = std::max(previous, n);
    const int index = n - first_number;
    if (index >= 0 && index < count) {
      if (seen[index]) ++burst.duplicates;
      seen[index] = true;
    }
  }
  burst.seconds = (last_arrival.load() - start) / 1e9;
  return burst;
}

struct TaskSwitches {
  std::string name;
  uint64_t switches = 0;
};

// Voluntary plus involuntary context switches of every thread of `pid`.
std::map<int, TaskSwitches> Switches(pid_t pid) {
  std::map<int, TaskSwitches> tasks;
  const std::string folder = "/proc/" + std::to_string(pid) + "/task";
  DIR* dir = opendir(folder.c_str());
  if (!dir) return tasks;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    std::istringstream status(
        ReadFile(folder + "/" + entry->d_name + "/status"));
    TaskSwitches task;
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("Name:", 0) == 0) {
        task.name = line.substr(line.find_first_not_of(" \t", 5));
      } else if (line.find("ctxt_switches:") != std::string::npos) {
        task.switches += std::stoull(line.substr(line.find(':') + 1));
      }
    }
    tasks[std::atoi(entry->d_name)] = task;
  }
  closedir(dir);
  return tasks;
}

// User plus system time `pid` has used so far, in ms.
double CpuMs(pid_t pid) {
  const std::string text = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  // Fields after the name in parentheses: the state is the third field,
  // user and system time the 14th and 15th, in clock ticks.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14 || i == 15) ticks += std::stod(field);
  }
  return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// "VmRSS" or "VmHWM" of `pid`, in MB.
double MemoryMb(pid_t pid, const std::string& field) {
  std::istringstream status(
      ReadFile("/proc/" + std::to_string(pid) + "/status"));
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) {
      return std::stod(line.substr(field.size() + 1)) / 1024.0;
    }
  }
  return NAN;
}

struct Options {
  std::string program;
  std::string floor;
  std::string handover;
  int calls = 1000;
  int burst = 10000;
  int idle_seconds = 30;
  int away_seconds = 10;
  int gap_us = 2000;
  std::vector<std::pair<std::string, std::string>> sizes;
  // The receiver's memory over a long run of distinct calls.
  std::string receiver;
  int receiver_calls = 500000;
  // Leaves out the modem source and the hanging webhook against the framed
  // source, for a build that has neither (an earlier one, measured against
  // this one).
  bool without_modem = false;
  // Where each round's three latencies go, one line a round (program,
  // floor, hand-over, in microseconds; -1 for a lost call), to study how
  // they are spread beyond the table's percentiles.
  std::string latencies_file;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Fail("missing value after " + arg);
      return argv[++i];
    };
    if (arg == "--program")
      options.program = value();
    else if (arg == "--floor")
      options.floor = value();
    else if (arg == "--handover")
      options.handover = value();
    else if (arg == "--calls")
      options.calls = std::stoi(value());
    else if (arg == "--burst")
      options.burst = std::stoi(value());
    else if (arg == "--idle-seconds")
      options.idle_seconds = std::stoi(value());
    else if (arg == "--away-seconds")
      options.away_seconds = std::stoi(value());
    else if (arg == "--gap-us")
      options.gap_us = std::stoi(value());
    else if (arg == "--receiver")
      options.receiver = value();
    else if (arg == "--receiver-calls")
      options.receiver_calls = std::stoi(value());
    else if (arg == "--without-modem")
      options.without_modem = true;
    else if (arg == "--latencies")
      options.latencies_file = value();
    else if (arg == "--size") {
      const std::string spec = value();
      const size_t eq = spec.find('=');
      if (eq == std::string::npos) Fail("--size wants LABEL=PATH");
      options.sizes.emplace_back(spec.substr(0, eq), spec.substr(eq + 1));
    } else {
      Fail("unknown argument " + arg);
    }
  }
  // The receiver alone, or the call path with or without it.
  const bool call_path = !options.program.empty() || options.receiver.empty();
  if (call_path && (options.program.empty() || options.floor.empty() ||
                    options.handover.empty()))
    Fail(
        "usage: call_path_bench --program PATH --floor PATH --handover PATH "
        "[--calls N] [--burst N] [--idle-seconds S] [--away-seconds S] "
        "[--gap-us US] [--without-modem] [--latencies FILE] "
        "[--size LABEL=PATH]... "
        "[--receiver PATH [--receiver-calls N]]");
  return options;
}

// The program in a folder of its own, set up for a serial device (or a
// modem) on `line` announcing to `port`, with no display and a home of its
// own; every thread of it on processor `cpu` when that is not -1; with
// `destinations` as its Hedefler.ini when that is not empty.
pid_t StartProgram(const Options& options, const fs::path& folder,
                   const PtyPair& line, int port, bool modem = false,
                   int cpu = -1, const std::string& destinations = "") {
  fs::create_directories(folder / "home");
  const fs::path program = folder / "orvanta";
  fs::copy_file(options.program, program);
  if (!destinations.empty()) {
    std::ofstream(folder / "Hedefler.ini", std::ios::binary) << destinations;
  }
  if (modem) {
    WriteModemSettings(folder, line.device(), static_cast<uint16_t>(port));
  } else {
    WriteSerialSettings(folder, line.device(), static_cast<uint16_t>(port));
  }
  const std::string output = (folder / "output.txt").string();
  std::vector<std::string> command = {program.string()};
  if (cpu >= 0) {
    command.insert(command.begin(), {"taskset", "-c", std::to_string(cpu)});
  }
  const pid_t pid = Spawn(command,
                          {{"QT_QPA_PLATFORM", "offscreen"},
                           {"DISPLAY", ""},
                           {"WAYLAND_DISPLAY", ""},
                           {"XDG_CONFIG_HOME", ""},
                           {"HOME", (folder / "home").string()}},
                          output);
  // The start-up apply is done once the running notice is out.
  for (int i = 0; i < 600; ++i) {
    if (ReadFile(output).find("çalışıyor") != std::string::npos) return pid;
    if (waitpid(pid, nullptr, WNOHANG) == pid)
      Fail("the program ended at start:\n" + ReadFile(output));
    SleepUs(50000);
  }
  Stop(pid);
  Fail("the program did not start:\n" + ReadFile(output));
}

// An HTTP server on loopback that takes every connection and never answers
// nor reads: a webhook hanging as long as the program lets it.
class HangingServer {
 public:
  HangingServer() {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd_, 64) != 0) {
      Fail("cannot listen for the hanging webhook");
    }
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] {
      while (!stopping_) {
        pollfd wait{fd_, POLLIN, 0};
        if (poll(&wait, 1, 100) <= 0) continue;
        const int connection = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        std::lock_guard<std::mutex> lock(mutex_);
        connections_.push_back(connection);
      }
    });
  }
  ~HangingServer() {
    stopping_ = true;
    thread_.join();
    for (int connection : connections_) close(connection);
    close(fd_);
  }
  int port() const { return port_; }
  size_t Connections() {
    std::lock_guard<std::mutex> lock(mutex_);
    return connections_.size();
  }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<int> connections_;
};

// Answers the program's modem set-up as a modem does: OK to every command,
// until it has sent the enable command.
void AnswerModem(PtyPair& line) {
  std::string received;
  const int64_t deadline = NowNs() + 20000000000;
  while (received.find("AT+VCID=1\r") == std::string::npos) {
    if (NowNs() > deadline) Fail("the modem program sent no enable command");
    const std::string bytes = line.Read(200);
    for (char c : bytes) {
      if (c == '\r') line.Write("\r\nOK\r\n");
    }
    received += bytes;
  }
}

std::string Fixed(double value, int decimals) {
  if (std::isnan(value)) return "-";
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

void Row(const std::string& what, const std::string& program,
         const std::string& floor = "", const std::string& handover = "",
         const std::string& floor_ratio = "",
         const std::string& handover_ratio = "") {
  std::printf("| %-52s | %12s | %11s | %11s | %13s | %17s |\n", what.c_str(),
              program.c_str(), floor.c_str(), handover.c_str(),
              floor_ratio.c_str(), handover_ratio.c_str());
}

struct ReceiverMemory {
  double rss_before_mb = NAN;
  double rss_after_mb = NAN;
  int sent = 0;
  bool kept_the_last = false;
  double seconds = 0;
};

// The receiver in a folder of its own, flooded with distinct valid calls on
// the namespace's loopback: the sender keeps up to a few hundred calls ahead
// of what the history file shows, so the receiver is busy the whole time,
// as under a flood, while its queue drops few of them.
ReceiverMemory MeasureReceiver(const Options& options, const fs::path& root) {
  constexpr int kPort = 28900;
  constexpr int kAhead = 300;
  const fs::path folder = root / "receiver";
  fs::create_directories(folder / "home");
  const fs::path program = folder / "orvanta-alici";
  fs::copy_file(options.receiver, program);
  std::ofstream(folder / "Alici.ini")
      << "[VmStored]\r\nUDPPORT=" << kPort << "\r\nCALLCOMMAND=\r\n";
  const std::string output = (folder / "output.txt").string();
  const pid_t pid = Spawn({program.string(), "--settings-dir", folder.string()},
                          {{"QT_QPA_PLATFORM", "offscreen"},
                           {"DISPLAY", ""},
                           {"WAYLAND_DISPLAY", ""},
                           {"DBUS_SESSION_BUS_ADDRESS", ""},
                           {"HOME", (folder / "home").string()}},
                          output);
  struct Stopper {
    pid_t pid;
    ~Stopper() { Stop(pid); }
  } stopper{pid};
  bool listening = false;
  for (int i = 0; i < 600 && !listening; ++i) {
    listening =
        ReadFile(output).find("listening on UDP port") != std::string::npos;
    if (!listening) SleepUs(50000);
  }
  if (!listening) Fail("the receiver did not start:\n" + ReadFile(output));
  SleepUs(1000000);  // settled

  const int sender = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(kPort);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  // The call number of the newest line in the history file, -1 for none.
  const fs::path history = folder / "AliciGecmis.csv";
  auto newest_kept = [&]() -> int {
    std::ifstream file(history, std::ios::binary | std::ios::ate);
    if (!file) return -1;
    const std::streamoff size = file.tellg();
    const std::streamoff from = std::max<std::streamoff>(0, size - 256);
    file.seekg(from);
    std::string tail(static_cast<size_t>(size - from), '\0');
    file.read(tail.data(), static_cast<std::streamsize>(tail.size()));
    const size_t at = tail.rfind(";0532");
    if (at == std::string::npos || at + 12 > tail.size()) return -1;
    return std::atoi(tail.substr(at + 5, 7).c_str());
  };
  auto wait_for_kept = [&](int number) {
    for (int wait = 0; wait < 5000; ++wait) {
      if (newest_kept() >= number) return true;
      SleepUs(1000);
    }
    return false;
  };

  ReceiverMemory result;
  result.rss_before_mb = MemoryMb(pid, "VmRSS");
  const int64_t start = NowNs();
  int kept = -1;
  for (int i = 0; i < options.receiver_calls; ++i) {
    if (i - kept > kAhead) {
      kept = newest_kept();
      // A call the queue dropped never shows: wait for a later one.
      if (i - kept > kAhead && wait_for_kept(i - kAhead)) kept = newest_kept();
    }
    char number[16];
    std::snprintf(number, sizeof number, "0532%07d", i);
    const std::string datagram =
        "HAT=" + std::to_string(i % 4) + "\r\nNUMARA=" + number;
    sendto(sender, datagram.data(), datagram.size(), 0,
           reinterpret_cast<const sockaddr*>(&to), sizeof to);
    ++result.sent;
  }
  result.kept_the_last = wait_for_kept(options.receiver_calls - 1);
  result.seconds = static_cast<double>(NowNs() - start) / 1e9;
  close(sender);
  SleepUs(1000000);
  result.rss_after_mb = MemoryMb(pid, "VmRSS");
  return result;
}

void PrintReceiverRows(const ReceiverMemory& receiver) {
  Row("receiver: RSS before / after " + std::to_string(receiver.sent) +
          " distinct calls (MB)",
      Fixed(receiver.rss_before_mb, 1) + " / " +
          Fixed(receiver.rss_after_mb, 1));
  Row("receiver: seconds for the calls" +
          std::string(receiver.kept_the_last ? "" : " (the last not kept)"),
      Fixed(receiver.seconds, 1));
}

void PrintHeader() {
  std::printf("\n");
  Row("measure", "program", "floor", "hand-over", "program/floor",
      "program/hand-over");
  std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(54, '-').c_str(),
              std::string(14, '-').c_str(), std::string(13, '-').c_str(),
              std::string(13, '-').c_str(), std::string(15, '-').c_str(),
              std::string(19, '-').c_str());
}

int Run(const Options& options) {
  char folder_template[] = "/tmp/orvanta-bench-XXXXXX";
  if (!mkdtemp(folder_template)) Fail("mkdtemp failed");
  const fs::path folder = folder_template;
  struct Cleanup {
    fs::path folder;
    ~Cleanup() {
      std::error_code ignored;
      fs::remove_all(folder, ignored);
    }
  } cleanup{folder};

  std::optional<ReceiverMemory> receiver;
  if (!options.receiver.empty()) {
    std::fprintf(stderr, "bench: the receiver, %d distinct calls\n",
                 options.receiver_calls);
    receiver = MeasureReceiver(options, folder);
  }
  if (options.program.empty()) {
    PrintHeader();
    PrintReceiverRows(*receiver);
    return 0;
  }

  PtyPair program_line(folder, "program");
  PtyPair floor_line(folder, "floor");
  PtyPair handover_line(folder, "handover");
  PtyPair modem_line(folder, "modem");
  PtyPair framed_line(folder, "framed");
  PtyPair hooked_line(folder, "hooked");
  Listener program_listener;
  Listener floor_listener;
  Listener handover_listener;
  Listener modem_listener;
  Listener framed_listener;
  Listener hooked_listener;
  HangingServer hanging_webhook;

  Relay program{"program", &program_line, &program_listener, 0, {}, 0};
  Relay floor{"floor", &floor_line, &floor_listener, 0, {}, 0};
  Relay handover{
      "hand-over relay", &handover_line, &handover_listener, 0, {}, 0};
  // Two more copies of the program, the modem source's and the framed
  // source's, both on the last processor: which processor a copy runs on,
  // and what else runs there, would otherwise weigh more than the source.
  Relay modem{"modem program", &modem_line, &modem_listener, 0, {}, 0, true};
  Relay framed{"framed program", &framed_line, &framed_listener, 0, {}, 0};
  Relay hooked{
      "program with a webhook", &hooked_line, &hooked_listener, 0, {}, 0};
  const int last_cpu = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)) - 1;
  struct Stopper {
    Relay& relay;
    ~Stopper() { Stop(relay.pid); }
  } stop_program{program}, stop_floor{floor}, stop_handover{handover},
      stop_modem{modem}, stop_framed{framed}, stop_hooked{hooked};

  std::fprintf(stderr, "bench: starting the program and the relays\n");
  program.pid = StartProgram(options, folder / "program", program_line,
                             program_listener.port());
  floor.pid = Spawn({options.floor, floor_line.device(),
                     std::to_string(floor_listener.port())},
                    {}, (folder / "floor-output.txt").string());
  handover.pid = Spawn({options.handover, handover_line.device(),
                        std::to_string(handover_listener.port())},
                       {}, (folder / "handover-output.txt").string());
  // An earlier build has neither the modem source nor webhooks: the copies
  // set up for them, and their tables, are left out.
  const bool sources_table = !options.without_modem;
  if (sources_table) {
    modem.pid = StartProgram(options, folder / "modem", modem_line,
                             modem_listener.port(), true, last_cpu);
    AnswerModem(modem_line);
    framed.pid = StartProgram(options, folder / "framed", framed_line,
                              framed_listener.port(), false, last_cpu);
    hooked.pid =
        StartProgram(options, folder / "hooked", hooked_line,
                     hooked_listener.port(), false, last_cpu,
                     "[Webhook1]\r\nURL=http://127.0.0.1:" +
                         std::to_string(hanging_webhook.port()) + "/calls\r\n");
  }
  int sequence = 0;
  Relay* const relays[] = {&program, &floor, &handover};
  for (Relay* relay : relays) WarmUp(*relay, sequence);
  if (sources_table) {
    WarmUp(modem, sequence);
    WarmUp(framed, sequence);
    WarmUp(hooked, sequence);
  }

  std::fprintf(stderr, "bench: latency, %d calls each, taken in turn\n",
               options.calls);
  // Each round gives every relay one call, starting with a different one
  // each time; the program's call is compared with the others of its round,
  // so their ratio sees the same load on a busy machine.
  std::vector<int64_t> floor_ratios_permille;
  std::vector<int64_t> handover_ratios_permille;
  std::ofstream latencies;
  if (!options.latencies_file.empty()) {
    latencies.open(options.latencies_file);
    if (!latencies) Fail("cannot write " + options.latencies_file);
    latencies << "program_us floor_us handover_us\n";
  }
  for (int i = 0; i < options.calls; ++i) {
    int64_t round_ns[3];
    for (int k = 0; k < 3; ++k) {
      const int which = (i + k) % 3;
      round_ns[which] = MeasureCall(*relays[which], sequence);
      SleepUs(options.gap_us);
    }
    if (latencies.is_open()) {
      for (int k = 0; k < 3; ++k) {
        latencies << (round_ns[k] < 0 ? -1.0 : round_ns[k] / 1000.0)
                  << (k < 2 ? ' ' : '\n');
      }
    }
    if (round_ns[0] > 0 && round_ns[1] > 0)
      floor_ratios_permille.push_back(round_ns[0] * 1000 / round_ns[1]);
    if (round_ns[0] > 0 && round_ns[2] > 0)
      handover_ratios_permille.push_back(round_ns[0] * 1000 / round_ns[2]);
  }
  const double rss_after_calls = MemoryMb(program.pid, "VmRSS");

  std::vector<int64_t> modem_ratios_permille;
  Relay* const sources[] = {&framed, &modem};
  if (sources_table) {
    std::fprintf(stderr,
                 "bench: modem source against framed source, %d calls each\n",
                 options.calls);
  }
  for (int i = 0; sources_table && i < options.calls; ++i) {
    int64_t round_ns[2];
    for (int k = 0; k < 2; ++k) {
      const int which = (i + k) % 2;
      round_ns[which] = MeasureCall(*sources[which], sequence);
      SleepUs(options.gap_us);
    }
    if (round_ns[0] > 0 && round_ns[1] > 0)
      modem_ratios_permille.push_back(round_ns[1] * 1000 / round_ns[0]);
  }

  if (sources_table) {
    std::fprintf(
        stderr,
        "bench: with a hanging webhook against without, %d calls each\n",
        options.calls);
  }
  // The framed copy's figures so far are the modem's match; these rounds
  // start its list anew.
  std::vector<int64_t> framed_latencies_with_modem;
  framed_latencies_with_modem.swap(framed.latencies_ns);
  const int framed_lost_with_modem = std::exchange(framed.lost, 0);
  std::vector<int64_t> hooked_ratios_permille;
  Relay* const webhook_pair[] = {&framed, &hooked};
  for (int i = 0; sources_table && i < options.calls; ++i) {
    int64_t round_ns[2];
    for (int k = 0; k < 2; ++k) {
      const int which = (i + k) % 2;
      round_ns[which] = MeasureCall(*webhook_pair[which], sequence);
      SleepUs(options.gap_us);
    }
    if (round_ns[0] > 0 && round_ns[1] > 0)
      hooked_ratios_permille.push_back(round_ns[1] * 1000 / round_ns[0]);
  }
  const size_t hanging_connections = hanging_webhook.Connections();
  for (Relay* source : {&framed, &modem, &hooked}) {
    Stop(source->pid);
    source->pid = 0;
  }

  std::fprintf(stderr, "bench: burst of %d packets\n", options.burst);
  const Burst program_burst = RunBurst(program, options.burst, 1000000);
  const Burst floor_burst = RunBurst(floor, options.burst, 1000000);
  const Burst handover_burst = RunBurst(handover, options.burst, 1000000);

  std::fprintf(stderr, "bench: idle for %d s with the port open\n",
               options.idle_seconds);
  SleepUs(1000000);
  const auto before = Switches(program.pid);
  const int64_t idle_start = NowNs();
  SleepUs(int64_t{options.idle_seconds} * 1000000);
  const auto after = Switches(program.pid);
  const double idle_seconds = (NowNs() - idle_start) / 1e9;
  uint64_t whole = 0;
  uint64_t serial_thread = 0;
  int serial_threads = 0;
  for (const auto& [tid, task] : after) {
    auto it = before.find(tid);
    const uint64_t earlier = it == before.end() ? 0 : it->second.switches;
    whole += task.switches - earlier;
    // The serial event thread is the one thread of the program's own that
    // Qt did not name.
    if (tid != program.pid && task.name == "orvanta") {
      serial_thread += task.switches - earlier;
      ++serial_threads;
    }
  }
  const double rss = MemoryMb(program.pid, "VmRSS");
  const double peak = MemoryMb(program.pid, "VmHWM");

  // The device pulled: the program closes it, says so once and tries it
  // again every few seconds, quietly. What that waiting costs.
  std::fprintf(stderr, "bench: the program's device away for %d s\n",
               options.away_seconds);
  program_line.Hangup();
  SleepUs(1000000);  // the loss noticed and reported
  uint64_t away_switches = 0;
  const auto away_before = Switches(program.pid);
  const double away_cpu_before = CpuMs(program.pid);
  const int64_t away_start = NowNs();
  SleepUs(int64_t{options.away_seconds} * 1000000);
  const double away_cpu = CpuMs(program.pid) - away_cpu_before;
  for (const auto& [tid, task] : Switches(program.pid)) {
    auto it = away_before.find(tid);
    away_switches +=
        task.switches - (it == away_before.end() ? 0 : it->second.switches);
  }
  const double away_seconds = (NowNs() - away_start) / 1e9;

  auto ratio = [](double a, double b) {
    return std::isnan(a) || std::isnan(b) || b == 0 ? std::string("-")
                                                    : Fixed(a / b, 2);
  };
  auto burst_text = [](const Burst& b) {
    return std::to_string(b.received) + "/" + std::to_string(b.sent);
  };
  auto latency_row = [&](const std::string& what, double fraction) {
    const double p = Percentile(program.latencies_ns, fraction);
    const double p_floor = Percentile(floor.latencies_ns, fraction);
    const double p_handover = Percentile(handover.latencies_ns, fraction);
    Row(what, Fixed(p, 1), Fixed(p_floor, 1), Fixed(p_handover, 1),
        ratio(p, p_floor), ratio(p, p_handover));
  };

  PrintHeader();
  latency_row("latency p50, serial -> datagram (us)", 0.50);
  latency_row("latency p90, serial -> datagram (us)", 0.90);
  latency_row("latency p99, serial -> datagram (us)", 0.99);
  // Percentile() divides by 1000: thousandths come out as the ratio.
  Row("latency p50 of call-by-call ratios", "", "", "",
      Fixed(Percentile(floor_ratios_permille, 0.50), 2),
      Fixed(Percentile(handover_ratios_permille, 0.50), 2));
  auto calls_text = [](const Relay& r) {
    return std::to_string(r.latencies_ns.size()) + " / " +
           std::to_string(r.lost);
  };
  Row("latency calls measured / lost", calls_text(program), calls_text(floor),
      calls_text(handover));
  Row("burst: datagrams received / packets sent", burst_text(program_burst),
      burst_text(floor_burst), burst_text(handover_burst));
  auto order_text = [](const Burst& b) {
    return std::to_string(b.out_of_order) + " / " +
           std::to_string(b.duplicates);
  };
  Row("burst: out of order / duplicates", order_text(program_burst),
      order_text(floor_burst), order_text(handover_burst));
  Row("burst: first write to last datagram (ms)",
      Fixed(program_burst.seconds * 1000, 0),
      Fixed(floor_burst.seconds * 1000, 0),
      Fixed(handover_burst.seconds * 1000, 0),
      ratio(program_burst.seconds, floor_burst.seconds),
      ratio(program_burst.seconds, handover_burst.seconds));
  Row("idle " + std::to_string(options.idle_seconds) +
          " s: wake-ups/s, whole process",
      Fixed(whole / idle_seconds, 2));
  Row("idle: wake-ups/s, serial event thread",
      serial_threads == 1
          ? Fixed(serial_thread / idle_seconds, 2)
          : std::string("? (") + std::to_string(serial_threads) + " threads)");
  Row("device away " + std::to_string(options.away_seconds) +
          " s: CPU ms/s, whole process",
      Fixed(away_cpu / away_seconds, 2));
  Row("device away: wake-ups/s, whole process",
      Fixed(away_switches / away_seconds, 2));
  Row("RSS after the calls / at the end (MB)",
      Fixed(rss_after_calls, 1) + " / " + Fixed(rss, 1));
  Row("RSS peak (MB)", Fixed(peak, 1));
  for (const auto& [label, path] : options.sizes) {
    struct stat info;
    Row("size: " + label + " (KB)",
        stat(path.c_str(), &info) == 0 ? Fixed(info.st_size / 1024.0, 0) : "-");
  }

  if (!sources_table) {
    if (receiver) PrintReceiverRows(*receiver);
    return 0;
  }
  // The modem source: from the end of its report's NMBR line to the
  // datagram, against a framed packet's end on the other copy, in turn.
  std::printf("\n");
  Row("source", "modem", "framed", "", "modem/framed");
  std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(54, '-').c_str(),
              std::string(14, '-').c_str(), std::string(13, '-').c_str(),
              std::string(13, '-').c_str(), std::string(15, '-').c_str(),
              std::string(19, '-').c_str());
  for (const auto& [what, fraction] :
       {std::pair{"latency p50, last line -> datagram (us)", 0.50},
        std::pair{"latency p90, last line -> datagram (us)", 0.90},
        std::pair{"latency p99, last line -> datagram (us)", 0.99}}) {
    const double p_modem = Percentile(modem.latencies_ns, fraction);
    const double p_framed = Percentile(framed_latencies_with_modem, fraction);
    Row(what, Fixed(p_modem, 1), Fixed(p_framed, 1), "",
        ratio(p_modem, p_framed));
  }
  Row("latency p50 of call-by-call ratios", "", "", "",
      Fixed(Percentile(modem_ratios_permille, 0.50), 2));
  Row("latency calls measured / lost", calls_text(modem),
      std::to_string(framed_latencies_with_modem.size()) + " / " +
          std::to_string(framed_lost_with_modem));

  // The datagram goes first: a webhook whose server holds every request
  // must leave the serial-to-datagram time as it is without one.
  std::printf("\n");
  Row("destinations", "hung webhook", "none", "", "webhook/none");
  std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(54, '-').c_str(),
              std::string(14, '-').c_str(), std::string(13, '-').c_str(),
              std::string(13, '-').c_str(), std::string(15, '-').c_str(),
              std::string(19, '-').c_str());
  for (const auto& [what, fraction] :
       {std::pair{"latency p50, serial -> datagram (us)", 0.50},
        std::pair{"latency p90, serial -> datagram (us)", 0.90},
        std::pair{"latency p99, serial -> datagram (us)", 0.99}}) {
    const double p_hooked = Percentile(hooked.latencies_ns, fraction);
    const double p_framed = Percentile(framed.latencies_ns, fraction);
    Row(what, Fixed(p_hooked, 1), Fixed(p_framed, 1), "",
        ratio(p_hooked, p_framed));
  }
  Row("latency p50 of call-by-call ratios", "", "", "",
      Fixed(Percentile(hooked_ratios_permille, 0.50), 2));
  Row("latency calls measured / lost", calls_text(hooked), calls_text(framed));
  Row("webhook connections held unanswered",
      std::to_string(hanging_connections));
  if (receiver) PrintReceiverRows(*receiver);
  return 0;
}

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  try {
    return orvanta::Run(orvanta::ParseOptions(argc, argv));
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "call_path_bench: %s\n", failure.what());
    return 1;
  }
}
