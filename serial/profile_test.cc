// The same file cases for the platform's profile functions (Windows, run
// under Wine) and the program's own implementation (Linux).

#include "serial/profile.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

constexpr char16_t kSection[] = u"ComPortCallerID";

struct Write {
  std::u16string section, key, value;
};

struct FileCase {
  const char* name;
  std::optional<std::string> before;  // nothing: no file
  std::vector<Write> writes;
  std::string after;
};

TEST(Profile, WritesTouchOnlyTheirKey) {
  const FileCase cases[] = {
      {"new file",
       std::nullopt,
       {{kSection, u"Port", u"COM1"}, {kSection, u"BaudRate", u"9600"}},
       "[ComPortCallerID]\r\nPort=COM1\r\nBaudRate=9600\r\n"},
      {"new section after the others",
       "[Other]\r\na=1\r\n",
       {{kSection, u"Port", u"COM1"}},
       "[Other]\r\na=1\r\n[ComPortCallerID]\r\nPort=COM1\r\n"},
      {"last line without a line break",
       "[Other]\r\na=1",
       {{kSection, u"Port", u"COM1"}},
       "[Other]\r\na=1\r\n[ComPortCallerID]\r\nPort=COM1\r\n"},
      {"section and key in other letter case",
       "[comportcallerid]\r\nport=COM7\r\nX=1\r\n[Other]\r\nPort=COM9\r\n",
       {{kSection, u"Port", u"COM2"}},
       "[comportcallerid]\r\nport=COM2\r\nX=1\r\n[Other]\r\nPort=COM9\r\n"},
      {"new key at the end of its section",
       "[ComPortCallerID]\r\nPort=COM7\r\n[Other]\r\na=1\r\n",
       {{kSection, u"Parity", u"None"}},
       "[ComPortCallerID]\r\nPort=COM7\r\nParity=None\r\n[Other]\r\na=1\r\n"},
      {"empty value",
       "[ComPortCallerID]\r\nPort=COM7\r\n",
       {{kSection, u"Port", u""}},
       "[ComPortCallerID]\r\nPort=\r\n"},
      {"only the first of two equal keys",
       "[ComPortCallerID]\r\nPort=COM7\r\nPort=COM8\r\n",
       {{kSection, u"Port", u"COM3"}},
       "[ComPortCallerID]\r\nPort=COM3\r\nPort=COM8\r\n"},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    if (c.before) dir.Write("a.ini", *c.before);
    for (const Write& w : c.writes) {
      EXPECT_TRUE(WriteIniValue(dir.File("a.ini"), w.section, w.key, w.value));
    }
    EXPECT_EQ(dir.Read("a.ini"), c.after);
  }
}

struct ReadCase {
  std::u16string section, key;
  std::u16string value;
};

TEST(Profile, ReadsMatchWithoutRegardToCase) {
  TempFolder dir;
  dir.Write("a.ini",
            "; comment\r\n"
            "[Other]\r\nPort=COM9\r\n"
            "[ComPortCallerID]\r\n"
            "Port=COM7\r\nPort=COM8\r\n"
            "  BaudRate  =  19200  \r\n"
            "Quoted=\"Even\"\r\nSingle='Odd'\r\nHalf=\"x\r\n"
            "Empty=\r\n"
            "[Last]\r\nk=v\r\n");
  const ReadCase cases[] = {
      {u"COMPORTCALLERID", u"port", u"COM7"},
      {kSection, u"BaudRate", u"19200"},
      {kSection, u"Quoted", u"Even"},
      {kSection, u"Single", u"Odd"},
      {kSection, u"Half", u"\"x"},
      {kSection, u"Empty", u""},
      {kSection, u"Missing", u"default"},
      {kSection, u"k", u"default"},
      {u"Nowhere", u"Port", u"default"},
      {u"last", u"K", u"v"},
  };
  for (const ReadCase& c : cases) {
    EXPECT_EQ(ReadIniValue(dir.File("a.ini"), c.section, c.key, u"default"),
              c.value)
        << std::string(c.key.begin(), c.key.end());
  }
  EXPECT_EQ(ReadIniValue(dir.File("none.ini"), kSection, u"Port", u"COM1"),
            u"COM1");
}

// Files that end in a lone CR: a value written after that line reads back,
// and writing it again finds it instead of adding a second copy.
TEST(Profile, WrittenValuesReadBackAfterALoneCarriageReturn) {
  const char* const befores[] = {
      "\r",
      "[Other]\r\na=1\r",
      "[ComPortCallerID]\r",
      "[ComPortCallerID]\r\nPort=COM7\r",
  };
  for (const char* before : befores) {
    SCOPED_TRACE(before);
    TempFolder dir;
    dir.Write("a.ini", before);
    const std::u16string path = dir.File("a.ini");
    ASSERT_TRUE(WriteIniValue(path, kSection, u"Parity", u"Odd"));
    EXPECT_EQ(ReadIniValue(path, kSection, u"Parity", u""), u"Odd");
    const auto written = dir.Read("a.ini");
    ASSERT_TRUE(WriteIniValue(path, kSection, u"Parity", u"Odd"));
    EXPECT_EQ(dir.Read("a.ini"), written);
  }
}

TEST(Profile, LongValuesAreCutToTheBuffer) {
  TempFolder dir;
  dir.Write("a.ini",
            "[ComPortCallerID]\r\nPort=" + std::string(3000, 'p') + "\r\n");
  EXPECT_EQ(ReadIniValue(dir.File("a.ini"), kSection, u"Port", u""),
            std::u16string(kProfileValueMax, u'p'));
}

TEST(Profile, UnwritableFileFails) {
  TempFolder dir;
  EXPECT_FALSE(
      WriteIniValue(dir.File("missing/a.ini"), kSection, u"Port", u"COM1"));
}

}  // namespace
}  // namespace orvanta
