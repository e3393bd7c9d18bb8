#ifndef ORVANTA_DESKTOP_WIN_COMMAND_LINE_WIN_H_
#define ORVANTA_DESKTOP_WIN_COMMAND_LINE_WIN_H_

#include <string>
#include <vector>

namespace orvanta::win {

// The arguments after the program's name, and in `program` the name of the
// executable file ("Orvanta.exe"), as the answers name it.
std::vector<std::u16string> CommandLineArguments(std::u16string* program);

// A command-line answer goes where the user can read it: to the output the
// program was given (a file, a pipe), else to the console it was started
// from, else, started from Explorer or a shortcut, into a message box with
// the caption `caption`. `error` picks the error output and the error icon.
void AnswerCommandLine(const std::u16string& text, bool error,
                       const std::u16string& caption);

// The full path of the running executable.
std::wstring ExecutablePath();
// Its folder, ending in "\\".
std::u16string ExecutableFolder();

// The absolute folder for a --settings-dir given on the command line, or the
// executable's folder when none was given; it ends in "\\".
std::u16string SettingsFolderFor(const std::u16string& settings_dir);

}  // namespace orvanta::win

#endif  // ORVANTA_DESKTOP_WIN_COMMAND_LINE_WIN_H_
