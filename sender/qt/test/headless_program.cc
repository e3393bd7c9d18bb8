#include "sender/qt/test/headless_program.h"

namespace orvanta {

namespace fs = std::filesystem;

HeadlessProgram::HeadlessProgram(const fs::path& folder)
    : output_((folder / "output.txt").string()),
      process_(StartWithoutDisplay(ORVANTA_PROGRAM, folder)) {}

std::string HeadlessProgram::Output() const { return ReadWholeFile(output_); }

int HeadlessProgram::Count(const std::string& text) const {
  const std::string output = Output();
  int count = 0;
  for (size_t at = output.find(text); at != std::string::npos;
       at = output.find(text, at + 1)) {
    ++count;
  }
  return count;
}

bool HeadlessProgram::WaitForCount(const std::string& text, int count,
                                   std::chrono::milliseconds timeout) {
  return PollUntil([&] { return Count(text) >= count; }, timeout);
}

}  // namespace orvanta
