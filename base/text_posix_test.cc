// Name comparison ignoring case against its definition: the two texts'
// upper-cased forms are equal. The comparison takes shortcuts, so pairs
// where ASCII and other characters meet must still come out the same.

#include <clocale>
#include <string>

#include <gtest/gtest.h>

#include "base/text.h"

namespace orvanta {
namespace {

TEST(LetterCase, ComparingIgnoringCaseAgreesWithUpperCasing) {
  const std::string old_locale = std::setlocale(LC_CTYPE, nullptr);
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  const std::u16string texts[] = {
      u"UDPPORT", u"udpport", u"UdpPort", u"UDPPOR", u"CALLERIDKULLAN",
      u"CallerIdNoUzunluk", u"CALLERIDNOUZUNLUK",
      // A long common prefix, then a difference in letter case, in an ASCII
      // letter, or in a letter that upper-cases to an ASCII one.
      u"CALLERIDNOBASLAMA", u"CALLERIDNOBASLAMa", u"CALLERIDNOUZUNLUKX",
      u"CALLER\u0131DNOUZUNLUK",
      // Dotless i and long s upper-case to ASCII letters; the Kelvin sign
      // stays itself.
      u"\u0131d", u"ID", u"id", u"\u017ftop", u"STOP", u"stop", u"\u212a", u"k",
      u"K", u"\u00e7ALI\u015f", u"\u00c7ALI\u015e", u"CALIS",
      // A surrogate pair, and a lone half of one.
      u"\U00010428x", u"\U00010400X", u"\xd801x", u"\xd801\U00010428x",
      u"\xd801\U00010400X", u"", u"a", u"A\u0131"};
  for (const auto& a : texts) {
    for (const auto& b : texts) {
      EXPECT_EQ(SameTextIgnoringCase(a, b), UpperCase(a) == UpperCase(b))
          << Utf16ToUtf8(a) << " / " << Utf16ToUtf8(b);
    }
  }
  std::setlocale(LC_CTYPE, old_locale.c_str());
}

}  // namespace
}  // namespace orvanta
