#ifndef ORVANTA_DESKTOP_COMMAND_LINE_H_
#define ORVANTA_DESKTOP_COMMAND_LINE_H_

#include <optional>
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

// What a program's --help says of itself; the options' own lines, the
// exit status and the layout are the same for every program. Each text
// ends in "\n" where it ends a line.
struct ProgramHelp {
  // What the program is, below the usage line.
  std::u16string_view summary;
  // Which files --settings-dir moves, and the line under it.
  std::u16string_view settings_files;
  std::u16string_view settings_dir_note;
  // The window --show opens at start.
  std::u16string_view window;
  // What a second start for the same folder does.
  std::u16string_view one_copy;
};

// The --help text for `program` (the name it was started by), with "\n"
// line breaks.
std::u16string HelpText(std::u16string_view program, const ProgramHelp& help);
// The --version text: the caption's words and a line break.
std::u16string VersionText(std::u16string_view caption);
// A usage error: the error and where to look for help.
std::u16string UsageErrorText(std::u16string_view program,
                              std::u16string_view error);

// What a command line that does not start the program gets: the text, the
// output it goes to and the exit code.
struct CommandLineAnswer {
  std::u16string text;
  bool error = false;  // the error output (on Windows also the error icon)
  int exit_code = kExitSuccess;
};
// The answer to --help, --version or a usage error; nothing when the
// program is to run. `caption` is the program's name and version.
std::optional<CommandLineAnswer> AnswerFor(const CommandLine& command,
                                           std::u16string_view program,
                                           const ProgramHelp& help,
                                           std::u16string_view caption);

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_COMMAND_LINE_H_
