#include "desktop/single_instance.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace orvanta {
namespace {

TEST(InstanceKeyTest, EverySpellingOfAFolderGivesOneKey) {
  using enum PathStyle;
  struct Case {
    PathStyle style;
    std::u16string folder;
    std::u16string normalised;
  };
  const Case cases[] = {
      {kPosix, u"/var/lib/orvanta", u"/var/lib/orvanta"},
      {kPosix, u"/var/lib/orvanta/", u"/var/lib/orvanta"},
      {kPosix, u"//var///lib/./orvanta//", u"/var/lib/orvanta"},
      {kPosix, u"/var/lib/x/../orvanta", u"/var/lib/orvanta"},
      {kPosix, u"/../var/lib/orvanta", u"/var/lib/orvanta"},
      {kPosix, u"/", u"/"},
      // Letter case counts on Linux.
      {kPosix, u"/Var/Lib/Orvanta", u"/Var/Lib/Orvanta"},
      {kWindows, u"C:\\Program Files\\Orvanta\\",
       u"C:\\PROGRAM FILES\\ORVANTA"},
      {kWindows, u"c:/program files//orvanta", u"C:\\PROGRAM FILES\\ORVANTA"},
      {kWindows, u"C:\\Program Files\\x\\..\\.\\Orvanta",
       u"C:\\PROGRAM FILES\\ORVANTA"},
      {kWindows, u"C:\\", u"C:\\"},
      {kWindows, u"C:\\Çiğdem\\şube", u"C:\\ÇIĞDEM\\ŞUBE"},
      {kWindows, u"\\\\server\\share\\orvanta\\",
       u"\\\\SERVER\\SHARE\\ORVANTA"},
      {kWindows, u"//server/share/orvanta", u"\\\\SERVER\\SHARE\\ORVANTA"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.folder));
    EXPECT_EQ(Utf16ToUtf8(NormalisedFolder(c.folder, c.style)),
              Utf16ToUtf8(c.normalised));
    EXPECT_EQ(InstanceKey(c.folder, c.style),
              InstanceKey(c.normalised, c.style));
  }

  const std::string key = InstanceKey(u"/var/lib/orvanta", kPosix);
  EXPECT_EQ(key.size(), 8u + 16u);
  EXPECT_TRUE(key.starts_with("orvanta-"));
  EXPECT_EQ(key.find_first_not_of("0123456789abcdef", 8), std::string::npos);
  // Different folders, and on Linux different letter case, differ.
  EXPECT_NE(key, InstanceKey(u"/var/lib/orvanta2", kPosix));
  EXPECT_NE(key, InstanceKey(u"/var/lib/Orvanta", kPosix));
  EXPECT_NE(InstanceKey(u"C:\\A", kWindows), InstanceKey(u"D:\\A", kWindows));
  // The receiver in the sender's folder is a program of its own there.
  const std::string receiver =
      InstanceKey(u"/var/lib/orvanta", kPosix, "orvanta-alici");
  EXPECT_EQ(receiver, "orvanta-alici-" + key.substr(8));
}

}  // namespace
}  // namespace orvanta
