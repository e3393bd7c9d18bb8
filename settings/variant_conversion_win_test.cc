#include "settings/variant_conversion.h"

#include <windows.h>
// After windows.h, which it needs.
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"

// Our conversions against the platform's own (VarI4FromStr / VarBoolFromStr
// for the user's default locale, no flags), on texts a settings file can
// plausibly hold. Left out, because Windows versions and Wine may differ and
// no settings file holds them: trailing signs and parentheses ("5-", "(5)"),
// stacked signs ("+-5"), currency symbols, a sign before "&H", "#TRUE#",
// exotic blanks, grouping after the decimal separator, booleans of
// "&HFFFFFFFF" and of numbers below the double range.

namespace orvanta {
namespace {

std::u16string PlatformInteger(const std::u16string& text) {
  BSTR value = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                 static_cast<UINT>(text.size()));
  LONG result = 0;
  const HRESULT status = VarI4FromStr(value, LOCALE_USER_DEFAULT, 0, &result);
  SysFreeString(value);
  if (status == DISP_E_OVERFLOW) return u"overflow";
  if (FAILED(status)) return u"not a number";
  return IntToText(result);
}

std::u16string OurInteger(const std::u16string& text) {
  const IntegerResult result = VariantTextToInt32(text, CurrentNumberLocale());
  switch (result.status) {
    case NumberConversion::kOverflow:
      return u"overflow";
    case NumberConversion::kNotANumber:
      return u"not a number";
    case NumberConversion::kOk:
      break;
  }
  return IntToText(result.value);
}

std::u16string PlatformBoolean(const std::u16string& text) {
  BSTR value = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                 static_cast<UINT>(text.size()));
  VARIANT_BOOL result = VARIANT_FALSE;
  const HRESULT status = VarBoolFromStr(value, LOCALE_USER_DEFAULT, 0, &result);
  SysFreeString(value);
  if (FAILED(status)) return u"rejected";
  return result ? u"True" : u"False";
}

std::u16string OurBoolean(const std::u16string& text) {
  const auto result = VariantTextToBool(text, CurrentNumberLocale());
  if (!result) return u"rejected";
  return *result ? u"True" : u"False";
}

const char16_t* const kTexts[] = {
    u"0",
    u"1",
    u"-1",
    u"+1",
    u"00",
    u"18900",
    u"20000",
    u"65535",
    u" 12",
    u"12 ",
    u"\t12\t",
    u"12\r\n",
    u"- 5",
    u"+ 5",
    u"--5",
    u"-",
    u"1.5",
    u"1,5",
    u"2,5",
    u"3,5",
    u"-2,5",
    u"-3,5",
    u"0,5",
    u"0,51",
    u"1,4999",
    u"2,50001",
    u"2.5",
    u"3.5",
    u"0.5",
    u"1.000",
    u"1.000.000",
    u"1.000,5",
    u"1,000",
    u"1,000.5",
    u"1..5",
    u",5",
    u".5",
    u"1,",
    u"1.",
    u"-,5",
    u"1,2,3",
    u"1.2.3",
    u"192.168.0.1",
    u"0,0",
    u"0.0",
    u"2147483647",
    u"2147483648",
    u"-2147483648",
    u"-2147483649",
    u"2147483647,4",
    u"2147483647,5",
    u"-2147483648,5",
    u"-2147483648,6",
    u"99999999999",
    u"4294967296",
    u"1e3",
    u"1E3",
    u"1e+3",
    u"1e-1",
    u"25e-1",
    u"1e10",
    u"3e9",
    u"1e",
    u"&H4AD4",
    u"&h4ad4",
    u"&O17",
    u"&H80000000",
    u"&H100000000",
    u"&H",
    u"0x4AD4",
    u"$4AD4",
    u"x4AD4",
    u"True",
    u"true",
    u"TRUE",
    u"False",
    u"false",
    u"FALSE",
    u"yes",
    u"no",
    u" True",
    u"True ",
    u"Do\u011fru",
    u"Yanl\u0131\u015f",
    u"",
    u" ",
    u"abc",
    u"12abc",
    u"1 2",
    u"1 000",
    u"S",
    u"E",
    u"#13",
    u"COM 2",
};

TEST(VariantConversionAgainstPlatform, Integers) {
  for (const char16_t* text : kTexts) {
    EXPECT_EQ(OurInteger(text), PlatformInteger(text)) << Utf16ToUtf8(text);
  }
}

TEST(VariantConversionAgainstPlatform, Booleans) {
  for (const char16_t* text : kTexts) {
    EXPECT_EQ(OurBoolean(text), PlatformBoolean(text)) << Utf16ToUtf8(text);
  }
}

TEST(VariantConversionAgainstPlatform, LocaleSeparators) {
  wchar_t decimal[8] = {};
  wchar_t grouping[8] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, grouping, 8);
  const NumberLocale locale = CurrentNumberLocale();
  EXPECT_EQ(locale.decimal, static_cast<char16_t>(decimal[0]));
  EXPECT_EQ(locale.grouping, static_cast<char16_t>(grouping[0]));
}

}  // namespace
}  // namespace orvanta
