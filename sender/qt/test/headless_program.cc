#include "sender/qt/test/headless_program.h"

#include <map>
#include <vector>

namespace orvanta {

namespace fs = std::filesystem;

HeadlessProgram::HeadlessProgram(const fs::path& folder)
    : output_((folder / "output.txt").string()) {
  fs::create_directories(folder / "home");
  fs::copy_file(ORVANTA_PROGRAM, folder / "orvanta");
  process_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{(folder / "orvanta").string()},
      std::map<std::string, std::string>{{"DISPLAY", ""},
                                         {"WAYLAND_DISPLAY", ""},
                                         {"QT_QPA_PLATFORM", ""},
                                         {"XDG_CONFIG_HOME", ""},
                                         {"XDG_RUNTIME_DIR", ""},
                                         {"HOME", (folder / "home").string()}},
      output_);
}

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
