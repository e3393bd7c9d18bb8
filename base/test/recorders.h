#ifndef ORVANTA_BASE_TEST_RECORDERS_H_
#define ORVANTA_BASE_TEST_RECORDERS_H_

#include <functional>
#include <string>
#include <vector>

#include "base/program_log.h"
#include "base/user_notice.h"

namespace orvanta {

// The log as a test sees it: the lines it holds now.
class RecordingProgramLog : public ProgramLog {
 public:
  void AddLogLine(const std::u16string& line) override {
    if (on_add) on_add(line);
    lines.push_back(line);
  }
  void ClearLog() override {
    lines.clear();
    ++clear_count;
  }

  std::vector<std::u16string> lines;
  int clear_count = 0;
  // Runs as a line is added, before it is stored: lets a test look at what
  // else has happened by then.
  std::function<void(const std::u16string&)> on_add;
};

// Message boxes and balloons as a test sees them: every text shown, in
// order.
class RecordingUserNotice : public UserNotice {
 public:
  void ShowInfo(const std::u16string& text) override { infos.push_back(text); }
  void ReportError(const std::u16string& message) override {
    errors.push_back(message);
  }
  void ShowTrayBalloon(const std::u16string& text) override {
    balloons.push_back(text);
  }

  std::vector<std::u16string> infos;
  std::vector<std::u16string> errors;
  std::vector<std::u16string> balloons;
};

}  // namespace orvanta

#endif  // ORVANTA_BASE_TEST_RECORDERS_H_
