#include "settings/typed_reading.h"

#include <gtest/gtest.h>

#include "base/failure.h"
#include "base/text.h"

namespace orvanta {
namespace {

constexpr char16_t kOverflow[] =
    u"Overflow while converting variant of type (UnicodeString) into type "
    u"(Integer)";
constexpr char16_t kNotBoolean[] =
    u"Could not convert variant of type (UnicodeString) into type (Boolean)";

constexpr NumberLocale kTurkish{u',', u'.'};
constexpr NumberLocale kEnglish{u'.', u','};
constexpr NumberLocale kNoGrouping{u'.', 0};

// The reading's value as text, or its failure message.
std::u16string IntegerOutcome(std::u16string_view text,
                              const NumberLocale& locale) {
  try {
    return IntToText(TextToInteger(text, locale));
  } catch (const Failure& failure) {
    return failure.message();
  }
}

std::u16string BooleanOutcome(std::u16string_view text,
                              const NumberLocale& locale) {
  try {
    return TextToBoolean(text, locale) ? u"True" : u"False";
  } catch (const Failure& failure) {
    return failure.message();
  }
}

struct Case {
  std::u16string text;
  std::u16string outcome;
};

TEST(TypedReading, IntegersUnderTurkishSeparators) {
  const Case cases[] = {
      {u"18900", u"18900"},
      {u" 12 ", u"12"},
      {u"\t12\r\n", u"12"},
      {u"-1", u"-1"},
      {u"+7", u"7"},
      {u"- 5", u"-5"},
      {u"1.5", u"15"},  // "." groups digits here
      {u"1.000.000", u"1000000"},
      {u"1,5", u"2"},
      {u"2,5", u"2"},  // halves go to the even neighbour
      {u"3,5", u"4"},
      {u"-2,5", u"-2"},
      {u"0,5", u"0"},
      {u"0,51", u"1"},
      {u"2,5000000000000000000001", u"3"},
      {u"1.000,5", u"1000"},
      {u",5", u"0"},
      {u"192.168.0.1", u"19216801"},
      {u"1e3", u"1000"},
      {u"25e-1", u"2"},
      {u"&H4AD4", u"19156"},
      {u"&HFFFFFFFF", u"-1"},
      {u"2147483647", u"2147483647"},
      {u"-2147483648", u"-2147483648"},
      {u"-2147483648,5", u"-2147483648"},
      {u"2147483648", kOverflow},
      {u"-2147483649", kOverflow},
      {u"2147483647,5", kOverflow},
      {u"99999999999", kOverflow},
      {u"3e9", kOverflow},
      {u"&H100000000", kOverflow},
      // The literal rule after the conversion.
      {u"0x4AD4", u"19156"},
      {u"0X4ad4", u"19156"},
      {u"$4ad4", u"19156"},
      {u"x4AD4", u"19156"},
      {u" -0x10", u"-16"},
      {u"0xFFFFFFFF", u"-1"},
      {u"0x10 ", kNotBoolean},
      {u"0x1FFFFFFFF", kNotBoolean},
      {u"0x", kNotBoolean},
      // Then the boolean rule.
      {u"True", u"1"},
      {u"fALSE", u"0"},
      {u"yes", kNotBoolean},
      {u"", kNotBoolean},
      {u" ", kNotBoolean},
      {u"abc", kNotBoolean},
      {u"12abc", kNotBoolean},
      {u"1 2", kNotBoolean},
      {u".5", kNotBoolean},
      {u"1,2,3", kNotBoolean},
      {u"--5", kNotBoolean},
      {u"1e", kNotBoolean},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IntegerOutcome(c.text, kTurkish), c.outcome)
        << Utf16ToUtf8(c.text);
  }
}

TEST(TypedReading, SeparatorsFollowTheLocale) {
  EXPECT_EQ(IntegerOutcome(u"1.5", kEnglish), u"2");
  EXPECT_EQ(IntegerOutcome(u"1,000", kEnglish), u"1000");
  EXPECT_EQ(IntegerOutcome(u",5", kEnglish), kNotBoolean);
  EXPECT_EQ(IntegerOutcome(u"1,000", kNoGrouping), kNotBoolean);
  EXPECT_EQ(IntegerOutcome(u"2.5", kNoGrouping), u"2");
}

// Plain digits are read without asking the locale; the answer must be the
// locale's all the same, and anything else still goes to it.
TEST(TypedReading, PlainDigitsReadAsUnderTheCurrentLocale) {
  for (const std::u16string text :
       {u"0", u"007", u"1", u"18900", u"999999999", u"2147483647",
        u"2147483648", u"00000000001", u"1.5", u" 12", u"12 ", u"-3", u""}) {
    std::u16string plain;
    try {
      plain = IntToText(TextToInteger(text));
    } catch (const Failure& failure) {
      plain = failure.message();
    }
    EXPECT_EQ(plain, IntegerOutcome(text, CurrentNumberLocale()))
        << Utf16ToUtf8(text);
  }
}

TEST(TypedReading, Booleans) {
  const Case cases[] = {
      {u"True", u"True"},    {u"tRUE", u"True"},
      {u"False", u"False"},  {u"false", u"False"},
      {u"1", u"True"},       {u"0", u"False"},
      {u"-1", u"True"},      {u"0,0", u"False"},
      {u"0,4", u"True"},     {u"99999999999", u"True"},
      {u"0x10", u"True"},    {u"$0", u"False"},
      {u"yes", kNotBoolean}, {u" True", kNotBoolean},
      {u"", kNotBoolean},    {u"Do\u011fru", kNotBoolean},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BooleanOutcome(c.text, kTurkish), c.outcome)
        << Utf16ToUtf8(c.text);
  }
}

}  // namespace
}  // namespace orvanta
