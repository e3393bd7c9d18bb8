#ifndef ORVANTA_DESKTOP_COMMAND_LINE_H_
#define ORVANTA_DESKTOP_COMMAND_LINE_H_

#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// What the program was asked to do on its command line.
struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  // --settings-dir: the folder of the two settings files; empty for the
  // usual one.
  std::u16string settings_dir;
  // --show: the settings window opens at start.
  bool show_window = false;
  // kUsageError: what was wrong, for the user.
  std::u16string error;

  bool operator==(const CommandLine&) const = default;
};

// Parses the arguments after the program's name. Any error wins over
// --help and --version, wherever it stands; --help wins over --version.
CommandLine ParseCommandLine(const std::vector<std::u16string>& arguments);

// Exit codes.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // another copy could not be reached
inline constexpr int kExitUsage = 2;    // a command-line error

// The --help text for `program` (the name it was started by), with "\n"
// line breaks.
std::u16string HelpText(std::u16string_view program);
// The --version text: the caption's words and a line break.
std::u16string VersionText(std::u16string_view caption);
// A usage error: the error and where to look for help.
std::u16string UsageErrorText(std::u16string_view program,
                              std::u16string_view error);

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_COMMAND_LINE_H_
