#include "base/system_error.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

TEST(SystemError, TextIsTrimmedOfTrailingBlanksAndFullStops) {
  EXPECT_EQ(TrimMessageEnd(u"Access is denied. \r\n"), u"Access is denied");
  EXPECT_EQ(TrimMessageEnd(u"..."), u"");
  EXPECT_EQ(TrimMessageEnd(u"a.b"), u"a.b");
  // Code 2 is "file not found" on both platforms.
  const std::u16string text = SystemErrorText(2);
  EXPECT_FALSE(text.empty());
  EXPECT_NE(text.back(), u'.');
  EXPECT_NE(text.back(), u'\n');
  EXPECT_LE(text.size(), 256u);
}

}  // namespace
}  // namespace orvanta
