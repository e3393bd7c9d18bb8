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

TEST(CommandLineTest, AnswersNameTheProgramAndItsOptions) {
  const std::u16string help = HelpText(u"orvanta");
  EXPECT_TRUE(help.starts_with(u"Usage: orvanta [OPTION]...\n"));
  for (const char16_t* option :
       {u"--settings-dir DIR", u"--show", u"--help", u"--version"}) {
    EXPECT_NE(help.find(option), std::u16string::npos) << Utf16ToUtf8(option);
  }
  EXPECT_EQ(VersionText(u"VELMORIS Orvanta s1.02.05f"),
            u"VELMORIS Orvanta s1.02.05f\n");
  EXPECT_EQ(UsageErrorText(u"Orvanta.exe", u"unknown option '-x'"),
            u"Orvanta.exe: unknown option '-x'\n"
            u"Try 'Orvanta.exe --help' for more information.\n");
}

}  // namespace
}  // namespace orvanta
