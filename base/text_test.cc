#include "base/text.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

TEST(Utf8, StrictDecodingRejectsMalformedInput) {
  struct Case {
    std::string bytes;
    bool valid;
  } cases[] = {
      {"", true},
      {"abc", true},
      {"\xC4\xB1\xC5\x9F", true},   // ış
      {"\xF0\x9F\x93\x9E", true},   // U+1F4DE, a surrogate pair
      {"\xC0\xAF", false},          // overlong
      {"\xE0\x80\xAF", false},      // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xC4", false},              // truncated
      {"ab\xE7", false},            // Windows-1254 ç
      {"\x80", false},              // lone continuation
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeUtf8Strict(c.bytes).has_value(), c.valid) << c.bytes;
  }
  EXPECT_EQ(*DecodeUtf8Strict("\xF0\x9F\x93\x9E"),
            (std::u16string{0xD83D, 0xDCDE}));
}

TEST(Utf8, RoundTripsEveryPlane) {
  const std::u16string text = u"Ağda çalışıyor \u20AC \U0001F4DE";
  EXPECT_EQ(*DecodeUtf8Strict(EncodeUtf8(text)), text);
  EXPECT_EQ(EncodeUtf8(std::u16string(1, 0xD800)), "\xEF\xBF\xBD");
}

TEST(Ansi, TurkishLettersAndControlBytesRoundTrip) {
  const std::u16string text = u"\r\n\x01 ĞÜŞİÖÇğüşıöç €";
  const std::string bytes = ToAnsi(text);
  EXPECT_EQ(bytes.size(), text.size());
  EXPECT_EQ(FromAnsi(bytes), text);
  EXPECT_EQ(ToAnsi(u"ş"), "\xFE");
  EXPECT_EQ(ToAnsi(u"\u4E2D"), "?");
  for (int b = 0; b < 0x80; ++b) {
    EXPECT_EQ(FromAnsi(std::string(1, static_cast<char>(b))),
              std::u16string(1, b));
  }
}

TEST(Text, IntToTextIsPlainDecimal) {
  EXPECT_EQ(IntToText(18900), u"18900");
  EXPECT_EQ(IntToText(0), u"0");
  EXPECT_EQ(IntToText(-1), u"-1");
  EXPECT_EQ(IntToText(-2147483648LL), u"-2147483648");
}

TEST(LetterCase, AsciiFoldingLeavesOtherLettersAsTheyAre) {
  struct Case {
    std::u16string a, b;
    bool same;
  } cases[] = {
      {u"com1", u"COM1", true}, {u"Hardware", u"hARDWARE", true},
      {u"ı", u"I", false},  // dotless i is no ASCII letter
      {u"é", u"É", false},      {u"COM1", u"COM10", false},
      {u"", u"", true},
  };
  for (const auto& c : cases) {
    const std::string a8 = Utf16ToUtf8(c.a), b8 = Utf16ToUtf8(c.b);
    EXPECT_EQ(SameTextAscii(c.a, c.b), c.same) << a8 << " / " << b8;
    EXPECT_EQ(SameTextAscii(std::string_view(a8), std::string_view(b8)), c.same)
        << a8 << " / " << b8;
  }
  EXPECT_TRUE(LessIgnoringAsciiCase(u"com10", u"COM2"));
  EXPECT_FALSE(LessIgnoringAsciiCase(u"COM2", u"com10"));
  EXPECT_FALSE(LessIgnoringAsciiCase(u"com1", u"COM1"));
}

TEST(LetterCase, FixedTableCoversLatin1AndTurkish) {
  struct Case {
    char16_t letter, upper, lower;
  } cases[] = {
      {u'a', u'A', u'a'}, {u'Z', u'Z', u'z'}, {u'é', u'É', u'é'},
      {u'Ö', u'Ö', u'ö'}, {u'ğ', u'Ğ', u'ğ'}, {u'Ş', u'Ş', u'ş'},
      {u'İ', u'İ', u'i'}, {u'ı', u'ı', u'ı'}, {u'ÿ', u'ÿ', u'ÿ'},
      {u'÷', u'÷', u'÷'}, {u'×', u'×', u'×'}, {u'1', u'1', u'1'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UpperLatinTurkish(c.letter), c.upper) << int(c.letter);
    EXPECT_EQ(LowerLatinTurkish(c.letter), c.lower) << int(c.letter);
  }
}

TEST(Trimming, SpacesAndTabsOrEveryControl) {
  struct Case {
    std::u16string text, spaces_and_tabs, controls;
  } cases[] = {
      {u" \tab c\t ", u"ab c", u"ab c"},
      {u"\r\nx\x01", u"\r\nx\x01", u"x"},
      {u"\t \t", u"", u""},
      {u"", u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrimSpacesAndTabs(c.text), c.spaces_and_tabs)
        << Utf16ToUtf8(c.text);
    EXPECT_EQ(TrimControls(c.text), c.controls) << Utf16ToUtf8(c.text);
    EXPECT_EQ(TrimSpacesAndTabs(std::string_view(Utf16ToUtf8(c.text))),
              Utf16ToUtf8(c.spaces_and_tabs));
  }
}

}  // namespace
}  // namespace orvanta
