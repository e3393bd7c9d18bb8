#include "receiver/call_hook.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

using Args = std::vector<std::u16string>;

const IncomingCall kNasty{u"0", u"1; rm -rf /tmp/x $(touch /tmp/pwned) `id`"};

TEST(HookActionTest, TemplateIsSplitBeforeTheCallIsPutIn) {
  const struct {
    const char* what;
    std::u16string hook;
    IncomingCall call;
    std::u16string name;
    Args arguments;
  } cases[] = {
      {"plain",
       u"notify-send {name} {number}",
       {u"0", u"555"},
       u"Ali Veli",
       {u"notify-send", u"Ali Veli", u"555"}},
      {"metacharacters stay in one argument",
       u"logger -t alici {number}",
       kNasty,
       u"",
       {u"logger", u"-t", u"alici", kNasty.number}},
      {"quoted template parts",
       u"  'my tool'  \"--line={line}\" x{number}y ",
       {u"2", u"1 2"},
       u"",
       {u"my tool", u"--line=2", u"x1 2y"}},
      {"a quote in the number does not end a quoted part",
       u"tool \"{number}\" last",
       {u"0", u"\" ; id ; \""},
       u"",
       {u"tool", u"\" ; id ; \"", u"last"}},
      {"empty value keeps its argument",
       u"tool {name} end",
       {u"0", u"1"},
       u"",
       {u"tool", u"", u"end"}},
      {"placeholders inside a value are not expanded again",
       u"tool {number} {name}",
       {u"0", u"{name}"},
       u"X",
       {u"tool", u"{name}", u"X"}},
      {"unknown braces left alone",
       u"tool {numara} {",
       {u"0", u"1"},
       u"",
       {u"tool", u"{numara}", u"{"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const HookAction action = MakeHookAction(c.hook, c.call, c.name);
    EXPECT_EQ(action.kind, HookAction::Kind::kCommand);
    EXPECT_EQ(action.arguments, c.arguments);
  }
}

TEST(HookActionTest, UrlTemplateGetsPercentEncodedValues) {
  const HookAction action = MakeHookAction(
      u" https://crm.example/ara?tel={number}&ad={name}&hat={line} ",
      {u"1", u"+90 212 555&x=1#"}, u"\u00c7a\u011fr\u0131");
  EXPECT_EQ(action.kind, HookAction::Kind::kUrl);
  EXPECT_EQ(action.url,
            u"https://crm.example/ara?tel=%2B90%20212%20555%26x%3D1%23"
            u"&ad=%C3%87a%C4%9Fr%C4%B1&hat=1");
  EXPECT_EQ(MakeHookAction(u"http://x/{number}", kNasty, u"").url,
            u"http://x/1%3B%20rm%20-rf%20%2Ftmp%2Fx%20%24%28touch%20%2Ftmp%2F"
            u"pwned%29%20%60id%60");
}

TEST(HookActionTest, EmptyTemplateDoesNothing) {
  EXPECT_EQ(MakeHookAction(u"", kNasty, u"").kind, HookAction::Kind::kNone);
  EXPECT_EQ(MakeHookAction(u"  \t ", kNasty, u"").kind,
            HookAction::Kind::kNone);
}

// The arguments a Windows program's C runtime splits the line into, by the
// documented rules (2n backslashes + quote: n backslashes and a quote mark
// toggling quoting; 2n+1: n backslashes and a literal quote).
Args ParseLikeWindows(const std::u16string& line) {
  Args out;
  size_t i = 0;
  // Program name: up to the next blank, quotes only group.
  {
    std::u16string arg;
    bool quoted = false;
    for (; i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t'));
         ++i) {
      if (line[i] == u'"') {
        quoted = !quoted;
      } else {
        arg += line[i];
      }
    }
    out.push_back(arg);
  }
  while (true) {
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
    if (i >= line.size()) break;
    std::u16string arg;
    bool quoted = false;
    while (i < line.size() &&
           (quoted || (line[i] != u' ' && line[i] != u'\t'))) {
      size_t backslashes = 0;
      while (i < line.size() && line[i] == u'\\') {
        ++backslashes;
        ++i;
      }
      if (i < line.size() && line[i] == u'"') {
        arg.append(backslashes / 2, u'\\');
        if (backslashes % 2 == 1) {
          arg += u'"';
        } else if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
          arg += u'"';
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(backslashes, u'\\');
        if (i < line.size() &&
            (quoted || (line[i] != u' ' && line[i] != u'\t'))) {
          arg += line[i++];
        }
      }
    }
    out.push_back(arg);
  }
  return out;
}

TEST(WindowsCommandLineTest, RoundTripsEveryArgument) {
  const Args cases[] = {
      {u"C:\\Program Files\\CRM\\crm.exe", u"555 55 55"},
      {u"tool.exe", u""},
      {u"tool.exe", u"a\"b", u"\"", u"\\\""},
      {u"tool.exe", u"C:\\path with space\\", u"trail\\\\"},
      {u"tool.exe", u"\\\\server\\share", u"x\\y"},
      {u"tool.exe", kNasty.number, u"& calc.exe", u"| del /q *", u"%PATH%"},
      {u"tool.exe", u"\" & calc.exe & \""},
      {u"tool.exe", u"\u00c7a\u011fr\u0131\tY\u0131lmaz"},
  };
  for (const Args& arguments : cases) {
    const std::u16string line = WindowsCommandLine(arguments);
    SCOPED_TRACE(Utf16ToUtf8(line));
    EXPECT_EQ(ParseLikeWindows(line), arguments);
  }
}

TEST(WindowsCommandLineTest, ExactForm) {
  EXPECT_EQ(WindowsCommandLine({u"a b.exe", u"x", u"y z", u"q\"", u"e\\"}),
            u"\"a b.exe\" x \"y z\" \"q\\\"\" e\\");
}

// The hook's program is this test binary again, which writes the arguments
// it was given into a file: they must arrive exactly as the template and
// the call made them, quotes, backslashes and shell characters included.
constexpr char kChildOutFlag[] = "--hook-child-out=";

TEST(HookChild, DISABLED_WritesItsArguments) {
  const std::vector<std::string> argv = testing::internal::GetArgvs();
  std::string out_path;
  std::string text;
  for (const std::string& argument : argv) {
    if (argument.rfind(kChildOutFlag, 0) == 0) {
      out_path = argument.substr(sizeof kChildOutFlag - 1);
    } else if (!out_path.empty()) {
      text += argument + "\x1f";
    }
  }
  ASSERT_FALSE(out_path.empty());
  std::ofstream(std::filesystem::path(out_path), std::ios::binary) << text;
}

TEST(HookProgramTest, ArgumentsArriveUnchanged) {
  TempFolder folder;
  // Paths in the system's own narrow encoding, both ways.
  const std::u16string self =
      std::filesystem::path(testing::internal::GetArgvs()[0]).u16string();
  const std::u16string out = folder.File("args.txt");
  const IncomingCall call{
      u"2", u"1\" & calc.exe & \"; rm -rf / $(id) `id` %PATH% \\\""};
  const HookAction action = MakeHookAction(
      u"\"" + self +
          u"\" --gtest_also_run_disabled_tests "
          u"--gtest_filter=HookChild.DISABLED_WritesItsArguments "
          u"\"" +
          Utf8ToUtf16(kChildOutFlag) + out +
          u"\" {number} 'a b' x{line}\\ \"\"",
      call, u"");
  ASSERT_EQ(action.kind, HookAction::Kind::kCommand);
  EXPECT_EQ(RunAndWait(action.arguments), 0);
  EXPECT_EQ(folder.Read("args.txt"), Utf16ToUtf8(call.number) + "\x1f" +
                                         "a b\x1f" + "x2\\\x1f" + "\x1f");
}

}  // namespace
}  // namespace orvanta
