#ifndef ORVANTA_SENDER_QT_TEST_HEADLESS_PROGRAM_H_
#define ORVANTA_SENDER_QT_TEST_HEADLESS_PROGRAM_H_

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "desktop/test/child_process.h"

namespace orvanta {

// A copy of the real program in `folder` (its settings written beforehand),
// started with no display and a home of its own: its messages, balloons and
// log lines come out as lines of `folder`/output.txt. Ends with the object.
class HeadlessProgram {
 public:
  explicit HeadlessProgram(const std::filesystem::path& folder);

  std::string Output() const;
  // How often `text` stands in the output so far.
  int Count(const std::string& text) const;
  // Until `text` stands there `count` times.
  bool WaitForCount(
      const std::string& text, int count = 1,
      std::chrono::milliseconds timeout = std::chrono::seconds(30));
  bool Running() { return process_->Running(); }

 private:
  std::string output_;
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace orvanta

#endif  // ORVANTA_SENDER_QT_TEST_HEADLESS_PROGRAM_H_
