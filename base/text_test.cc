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
      {"\xC4\xB1\xC5\x9F", true},            // ış
      {"\xF0\x9F\x93\x9E", true},            // U+1F4DE, a surrogate pair
      {"\xC0\xAF", false},                   // overlong
      {"\xE0\x80\xAF", false},               // overlong
      {"\xED\xA0\x80", false},               // surrogate
      {"\xF4\x90\x80\x80", false},           // above U+10FFFF
      {"\xC4", false},                       // truncated
      {"ab\xE7", false},                     // Windows-1254 ç
      {"\x80", false},                       // lone continuation
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeUtf8Strict(c.bytes).has_value(), c.valid) << c.bytes;
  }
  EXPECT_EQ(*DecodeUtf8Strict("\xF0\x9F\x93\x9E"), (std::u16string{0xD83D, 0xDCDE}));
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
    EXPECT_EQ(FromAnsi(std::string(1, static_cast<char>(b))), std::u16string(1, b));
  }
}

TEST(Text, IntToTextIsPlainDecimal) {
  EXPECT_EQ(IntToText(18900), u"18900");
  EXPECT_EQ(IntToText(0), u"0");
  EXPECT_EQ(IntToText(-1), u"-1");
  EXPECT_EQ(IntToText(-2147483648LL), u"-2147483648");
}

}  // namespace
}  // namespace orvanta
