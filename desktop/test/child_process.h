#ifndef ORVANTA_DESKTOP_TEST_CHILD_PROCESS_H_
#define ORVANTA_DESKTOP_TEST_CHILD_PROCESS_H_

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orvanta {

// A program the test starts, with this process's environment changed by
// `environment` (an empty value removes the variable) and its output and
// errors written to `output_file`. Ended by its PID when the object goes.
class ChildProcess {
 public:
  ChildProcess(const std::vector<std::string>& argv,
               const std::map<std::string, std::string>& environment,
               const std::string& output_file);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  bool Running();
  // Sends SIGTERM and reaps the process.
  void Stop();
  // Sends `signal_number`, without waiting.
  void Signal(int signal_number);
  // Waits until the process ends, `timeout` at most: its exit code, or -1
  // when a signal killed it or it still runs.
  int WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20));

 private:
  pid_t pid_ = -1;
  int exit_code_ = -1;
};

// A copy of `program` in `folder`, started there with no display and a home
// of its own (`folder`/home), so that only `folder` holds its settings; its
// output and errors go to `folder`/output.txt.
std::unique_ptr<ChildProcess> StartWithoutDisplay(
    const std::filesystem::path& program, const std::filesystem::path& folder);

// The file's content.
std::string ReadWholeFile(const std::string& path);

// Polls `done` until it is true or `timeout` passed; the result of the last
// poll.
bool PollUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(20));

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_TEST_CHILD_PROCESS_H_
