// The hook's programs run for real: received text must never reach a shell.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/failure.h"
#include "base/text.h"
#include "receiver/call_hook.h"
#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

TEST(HookProcessTest, ShellMetacharactersInTheNumberRunNothing) {
  TempFolder folder;
  const std::u16string dir = folder.path().u16string();
  const std::u16string numbers[] = {
      u"1; touch " + dir + u"/pwned",
      u"$(touch " + dir + u"/pwned)",
      u"`touch " + dir + u"/pwned`",
      u"1 && touch " + dir + u"/pwned",
      u"1' ; touch " + dir + u"/pwned ; '",
      u"1\" ; touch " + dir + u"/pwned ; \"",
  };
  for (const std::u16string& number : numbers) {
    // A hook that does use a shell, the safe way: the number arrives as $1.
    const HookAction action = MakeHookAction(
        u"/bin/sh -c 'printf %s \"$1\" > \"$2\"' hook {number} " + dir +
            u"/out",
        {u"0", number}, u"");
    ASSERT_EQ(action.kind, HookAction::Kind::kCommand);
    EXPECT_EQ(RunAndWait(action.arguments), 0);
    EXPECT_EQ(folder.Read("out"), EncodeUtf8(number));
    EXPECT_FALSE(std::filesystem::exists(folder.Path("pwned")));
  }

  // A program started directly gets the number as one literal argument.
  const HookAction direct =
      MakeHookAction(u"/usr/bin/touch " + dir + u"/direct-{number}",
                     {u"0", u"$(touch pwned);x"}, u"");
  EXPECT_EQ(RunAndWait(direct.arguments), 0);
  EXPECT_TRUE(std::filesystem::exists(folder.Path("direct-$(touch pwned);x")));
  EXPECT_FALSE(std::filesystem::exists(folder.Path("pwned")));
}

TEST(HookProcessTest, AMissingProgramIsAFailure) {
  EXPECT_THROW(RunAndWait({u"/nonexistent/orvanta-hook"}), Failure);
  EXPECT_THROW(RunAndWait({}), Failure);
}

}  // namespace
}  // namespace orvanta
