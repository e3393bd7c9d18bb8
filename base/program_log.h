#ifndef ORVANTA_BASE_PROGRAM_LOG_H_
#define ORVANTA_BASE_PROGRAM_LOG_H_

#include <string>

namespace orvanta {

// The program's log as the parts below the window see it: every call, and
// what kept one from going out, one line each. The settings window's log
// pane shows it; tests record it.
class ProgramLog {
 public:
  virtual ~ProgramLog() = default;
  virtual void AddLogLine(const std::u16string& line) = 0;
  virtual void ClearLog() = 0;
};

}  // namespace orvanta

#endif  // ORVANTA_BASE_PROGRAM_LOG_H_
