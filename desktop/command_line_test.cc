#include "desktop/command_line.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace orvanta {
namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, ReadsTheOptionsAndRefusesEverythingElse) {
  struct Case {
    std::vector<std::u16string> arguments;
    CommandLine expected;
  };
  const Case cases[] = {
      {{}, {Action::kRun, u"", false, u""}},
      {{u"--show"}, {Action::kRun, u"", true, u""}},
      {{u"--settings-dir", u"/var/lib/orvanta"},
       {Action::kRun, u"/var/lib/orvanta", false, u""}},
      {{u"--settings-dir=C:\\Ayarlar Ş", u"--show"},
       {Action::kRun, u"C:\\Ayarlar Ş", true, u""}},
      // A folder whose name looks like an option is still a folder.
      {{u"--settings-dir", u"--show"}, {Action::kRun, u"--show", false, u""}},
      {{u"--settings-dir", u"/a", u"--settings-dir", u"/b"},
       {Action::kRun, u"/b", false, u""}},
      {{u"--help"}, {Action::kHelp, u"", false, u""}},
      {{u"-h", u"--show"}, {Action::kHelp, u"", true, u""}},
      {{u"--version"}, {Action::kVersion, u"", false, u""}},
      {{u"--version", u"--help"}, {Action::kHelp, u"", false, u""}},
      {{u"--settings-dir"},
       {Action::kUsageError, u"", false,
        u"option '--settings-dir' needs a folder"}},
      {{u"--settings-dir="},
       {Action::kUsageError, u"", false,
        u"option '--settings-dir' needs a folder"}},
      {{u"--settings-dir", u""},
       {Action::kUsageError, u"", false,
        u"option '--settings-dir' needs a folder"}},
      // An error wins over --help, before or after it.
      {{u"--help", u"--sho"},
       {Action::kUsageError, u"", false, u"unknown option '--sho'"}},
      {{u"-x", u"--help"},
       {Action::kUsageError, u"", false, u"unknown option '-x'"}},
      {{u"--show=yes"},
       {Action::kUsageError, u"", false, u"unknown option '--show=yes'"}},
      {{u"/etc"},
       {Action::kUsageError, u"", false, u"unexpected argument '/etc'"}},
  };
  for (const Case& c : cases) {
    std::string trace;
    for (const auto& argument : c.arguments)
      trace += Utf16ToUtf8(argument) + " ";
    SCOPED_TRACE(trace);
    const CommandLine parsed = ParseCommandLine(c.arguments);
    EXPECT_EQ(parsed.action, c.expected.action);
    EXPECT_EQ(parsed.settings_dir, c.expected.settings_dir);
    EXPECT_EQ(parsed.show_window, c.expected.show_window);
    EXPECT_EQ(Utf16ToUtf8(parsed.error), Utf16ToUtf8(c.expected.error));
  }
}

TEST(CommandLineTest, TheHelpIsTheProgramsOwnTextAroundTheSharedOptions) {
  const ProgramHelp help = {u"Does one thing.\n", u"A.ini",
                            u"(made at start)\n", u"main window",
                            u"One copy runs.\n"};
  EXPECT_EQ(Utf16ToUtf8(HelpText(u"prog", help)),
            "Usage: prog [OPTION]...\n"
            "Does one thing.\n"
            "\n"
            "  --settings-dir DIR  keep A.ini in DIR\n"
            "                      (made at start)\n"
            "  --show              open the main window at start\n"
            "  --help              show this help and exit\n"
            "  --version           show the version and exit\n"
            "\n"
            "One copy runs.\n"
            "\n"
            "Exit status: 0 on success, 1 when the running copy could not be "
            "reached,\n"
            "2 on a command-line error.\n");
  EXPECT_EQ(VersionText(u"VELMORIS Orvanta s1.02.05f"),
            u"VELMORIS Orvanta s1.02.05f\n");
  EXPECT_EQ(UsageErrorText(u"Orvanta.exe", u"unknown option '-x'"),
            u"Orvanta.exe: unknown option '-x'\n"
            u"Try 'Orvanta.exe --help' for more information.\n");
}

TEST(CommandLineTest, OnlyARunStartsTheProgram) {
  const ProgramHelp help = {u"S\n", u"F", u"N\n", u"W", u"O\n"};
  const auto answer = [&](std::vector<std::u16string> arguments) {
    return AnswerFor(ParseCommandLine(arguments), u"prog", help, u"Prog 1.0");
  };
  EXPECT_FALSE(answer({u"--show"}).has_value());
  const auto help_answer = answer({u"-h"});
  ASSERT_TRUE(help_answer.has_value());
  EXPECT_EQ(help_answer->text, HelpText(u"prog", help));
  EXPECT_FALSE(help_answer->error);
  EXPECT_EQ(help_answer->exit_code, kExitSuccess);
  const auto version = answer({u"--version"});
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->text, u"Prog 1.0\n");
  EXPECT_EQ(version->exit_code, kExitSuccess);
  const auto wrong = answer({u"--bogus"});
  ASSERT_TRUE(wrong.has_value());
  EXPECT_TRUE(wrong->error);
  EXPECT_EQ(wrong->exit_code, kExitUsage);
  EXPECT_EQ(wrong->text, UsageErrorText(u"prog", u"unknown option '--bogus'"));
}

}  // namespace
}  // namespace orvanta
