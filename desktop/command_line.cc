#include "desktop/command_line.h"

namespace orvanta {
namespace {

constexpr std::u16string_view kSettingsDir = u"--settings-dir";

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::u16string>& arguments) {
  CommandLine result;
  bool help = false;
  bool version = false;
  std::u16string error;
  for (size_t i = 0; i < arguments.size() && error.empty(); ++i) {
    const std::u16string& argument = arguments[i];
    if (argument == u"--help" || argument == u"-h") {
      help = true;
    } else if (argument == u"--version") {
      version = true;
    } else if (argument == u"--show") {
      result.show_window = true;
    } else if (argument == kSettingsDir ||
               argument.starts_with(std::u16string(kSettingsDir) + u"=")) {
      std::u16string folder;
      if (argument == kSettingsDir) {
        if (i + 1 == arguments.size()) {
          error = u"option '--settings-dir' needs a folder";
          break;
        }
        folder = arguments[++i];
      } else {
        folder = argument.substr(kSettingsDir.size() + 1);
      }
      if (folder.empty()) {
        error = u"option '--settings-dir' needs a folder";
      } else {
        result.settings_dir = folder;  // the last one counts
      }
    } else if (argument.starts_with(u"-")) {
      error = u"unknown option '" + argument + u"'";
    } else {
      error = u"unexpected argument '" + argument + u"'";
    }
  }
  if (!error.empty()) {
    return {CommandLine::Action::kUsageError, {}, false, error};
  }
  if (help)
    result.action = CommandLine::Action::kHelp;
  else if (version)
    result.action = CommandLine::Action::kVersion;
  return result;
}

std::u16string HelpText(std::u16string_view program, const ProgramHelp& help) {
  const std::u16string name(program);
  return u"Usage: " + name + u" [OPTION]...\n" + std::u16string(help.summary) +
         u"\n"
         u"  --settings-dir DIR  keep " +
         std::u16string(help.settings_files) +
         u" in DIR\n"
         u"                      " +
         std::u16string(help.settings_dir_note) +
         u"  --show              open the " + std::u16string(help.window) +
         u" at start\n"
         u"  --help              show this help and exit\n"
         u"  --version           show the version and exit\n"
         u"\n" +
         std::u16string(help.one_copy) +
         u"\n"
         u"Exit status: 0 on success, 1 when the running copy could not be "
         u"reached,\n"
         u"2 on a command-line error.\n";
}

std::u16string VersionText(std::u16string_view caption) {
  return std::u16string(caption) + u"\n";
}

std::u16string UsageErrorText(std::u16string_view program,
                              std::u16string_view error) {
  const std::u16string name(program);
  return name + u": " + std::u16string(error) + u"\nTry '" + name +
         u" --help' for more information.\n";
}

std::optional<CommandLineAnswer> AnswerFor(const CommandLine& command,
                                           std::u16string_view program,
                                           const ProgramHelp& help,
                                           std::u16string_view caption) {
  switch (command.action) {
    case CommandLine::Action::kHelp:
      return CommandLineAnswer{HelpText(program, help), false, kExitSuccess};
    case CommandLine::Action::kVersion:
      return CommandLineAnswer{VersionText(caption), false, kExitSuccess};
    case CommandLine::Action::kUsageError:
      return CommandLineAnswer{UsageErrorText(program, command.error), true,
                               kExitUsage};
    case CommandLine::Action::kRun:
      break;
  }
  return std::nullopt;
}

}  // namespace orvanta
