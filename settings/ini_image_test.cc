#include "settings/ini_image.h"

#include <gtest/gtest.h>

#include <iterator>

namespace orvanta {
namespace {

using Lines = std::vector<std::u16string>;

TEST(IniImage, SplitsTrimsAndSortsLines) {
  // CR LF, lone CR and lone LF all end lines; the NUL ends the text.
  constexpr char16_t kText[] =
      u"before=1\r\n"
      u"[ One ]\r"
      u"key = value = x\n"
      u";comment\r\n"
      u"\t plain line \x01\r\n"
      u"\r\n"
      u"  [two]\n"
      u"A=\n"
      u"=b\n"
      u"[\n"
      u"]\n"
      u"X\t=\t1\0[three]\r\nY=2";
  const IniImage image(std::u16string_view(kText, std::size(kText) - 1));
  ASSERT_EQ(image.sections.size(), 2u);
  EXPECT_EQ(image.sections[0].name, u"One");
  EXPECT_EQ(image.sections[0].lines, (Lines{u"key=value = x", u"plain line"}));
  EXPECT_EQ(image.sections[1].name, u"two");
  EXPECT_EQ(image.sections[1].lines, (Lines{u"A=", u"=b", u"[", u"]", u"X=1"}));
}

TEST(IniImage, WritesHeadersLinesAndAnEmptyLineEach) {
  IniImage image;
  image.AddSection(u"a").lines = {u"x=1", u"plain"};
  image.AddSection(u"B");
  EXPECT_EQ(image.ToText(), u"[a]\r\nx=1\r\nplain\r\n\r\n[B]\r\n\r\n");
}

TEST(IniImage, LastSectionAndLastEntryOfAName) {
  IniImage image(
      u"[VmStored]\nA=1\nA=2\nB\n"
      u"[vmstored]\nudpport=3\nudpport=4\nplain\n");
  IniImage::Section* found = image.FindSection(u"VMSTORED");
  ASSERT_EQ(found, &image.sections[1]);
  EXPECT_EQ(IniImage::FindEntry(*found, u"UDPPORT"), 1);
  EXPECT_EQ(IniImage::FindEntry(*found, u"plain"), -1);
  EXPECT_EQ(IniImage::FindEntry(image.sections[0], u"a"), 1);
  EXPECT_EQ(IniImage::FindEntry(image.sections[0], u"B"), -1);
  EXPECT_EQ(image.FindSection(u"other"), nullptr);
  EXPECT_EQ(IniImage::EntryValue(u"A=b=c"), u"b=c");
  EXPECT_EQ(IniImage::EntryValue(u"A="), u"");
}

}  // namespace
}  // namespace orvanta
