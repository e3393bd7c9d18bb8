#ifndef ORVANTA_CALLERID_TEST_MODEM_STANDIN_H_
#define ORVANTA_CALLERID_TEST_MODEM_STANDIN_H_

// A voice/data modem for tests, on the far end of a pseudo-terminal pair:
// it answers AT commands as one chipset of a table does and rings with or
// without its caller-ID report, in that chipset's format.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serial/test/socat_pty.h"

namespace orvanta {

// How a chipset writes its caller-ID report.
struct ModemReportStyle {
  bool blanks = true;        // "NMBR = 0532" or "NMBR=0532"
  bool name_first = false;   // NAME before NMBR
  bool before_ring = false;  // before the first RING (DTMF); else after it
  std::string line_end = "\r\n";
};

// What one chipset does.
struct ModemChipset {
  std::string name;
  // The caller-ID command it knows; its "=0" form turns the report off.
  std::string enable_command;
  // Further commands it takes with OK (besides AT, ATZ, AT&F, ATE, ATV).
  std::vector<std::string> also_accepts;
  bool echo = true;      // after a reset
  bool numeric = false;  // numeric result codes (V0) after a reset
  // A command it does not know gets no answer at all, instead of ERROR.
  bool silent_on_unknown = false;
  ModemReportStyle report;
};

// One chipset for each enable command, with echo on and off, numeric and
// verbose results and every report format between them.
const std::vector<ModemChipset>& ModemChipsets();

// One caller's report; empty members are lines the modem does not send.
struct CallerReport {
  std::string date = "1211";
  std::string time = "0130";
  std::string number;  // "P" withheld, "O" unavailable
  std::string name;
  std::string message;  // MESG: what the modem could not decode
};

// The report's bytes as `style` writes them, a blank line before and after.
std::string ModemReportText(const ModemReportStyle& style,
                            const CallerReport& report);

class ModemStandIn {
 public:
  // What the modem was sent and how it is set; commands as received,
  // without their CR.
  struct State {
    std::vector<std::string> commands;
    bool caller_id = false;
    bool echo = true;
    bool numeric = false;
    bool plugged_in = true;
  };

  // Plugged in, as after a reset: caller ID off.
  explicit ModemStandIn(ModemChipset chipset);
  ~ModemStandIn();
  ModemStandIn(const ModemStandIn&) = delete;
  ModemStandIn& operator=(const ModemStandIn&) = delete;

  const ModemChipset& chipset() const { return chipset_; }
  // The path a port opens; the same after a replug.
  const std::string& device() const { return pty_.device(); }

  // RING.
  void Ring();
  // The report, if caller ID is on; nothing otherwise.
  void Report(const CallerReport& report);
  // A call: `rings` RINGs with the report where the chipset puts it.
  void Call(const CallerReport& report, int rings = 2);
  // Any bytes, as they are.
  void Send(const std::string& bytes);
  // The modem stops reporting caller ID, as some do until initialised
  // again, and goes on ringing.
  void ForgetCallerId();
  // The cable out: the pseudo-terminal pair goes away, the device end is
  // hung up.
  void Unplug();
  // The cable in: a new pair at the same paths, and the modem as after a
  // power-up, its caller-ID setting forgotten.
  void PlugIn();
  void Replug();

  State Snapshot() const;
  // Waits until `done` holds for the state; false after `timeout`.
  bool WaitUntil(const std::function<bool(const State&)>& done,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Until the modem has received `count` commands in all.
  bool WaitForCommands(size_t count);

 private:
  void Main();
  // Runs `task` on the stand-in's thread, which alone touches the far end;
  // returns when it is done.
  void Do(std::function<void()> task);
  void OpenFarEnd();
  void CloseFarEnd();
  void Take(const char* bytes, size_t size);
  void Answer(const std::string& command);
  void Result(bool ok);
  void Write(const std::string& bytes);
  void PowerUp();
  void Update(const std::function<void(State&)>& change);

  const ModemChipset chipset_;
  SocatPty pty_;
  int far_fd_ = -1;      // the stand-in's thread only
  int wake_fd_ = -1;     // an eventfd: tasks are waiting
  std::string command_;  // received, not yet ended by CR

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  State state_;
  std::deque<std::packaged_task<void()>> tasks_;
  bool stop_ = false;  // the stand-in's thread only
  std::thread thread_;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_TEST_MODEM_STANDIN_H_
