#include "receiver/phone_book.h"

#include <gtest/gtest.h>

#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

TEST(NormalisePhoneNumberTest, OneFormForEveryWayOfWritingANumber) {
  const struct {
    std::u16string written;
    std::string normal;
  } cases[] = {
      {u"2125550102", "2125550102"},
      {u"0212 555 01 02", "2125550102"},
      {u"0 (212) 555-01-02", "2125550102"},
      {u"+90 212 555 01 02", "2125550102"},
      {u"+90(212)5550102", "2125550102"},
      {u"0090 212 555 0102", "2125550102"},
      {u"0532.555.01.02", "5325550102"},
      {u"+1 555 0100", "15550100"},           // another country keeps its code
      {u"90 212 555 01 02", "902125550102"},  // no "+": 90 is part of it
      {u"444 0 444", "4440444"},
      {u"0", ""},
      {u"", ""},
      {u"Gizli", ""},
      {u"\u0661\u0662", ""},  // non-ASCII digits are not digits here
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.written.begin(), c.written.end()));
    EXPECT_EQ(NormalisePhoneNumber(c.written), c.normal);
  }
}

TEST(PhoneBookTest, MatchesAfterNormalisingAndReadsBothEncodings) {
  TempFolder folder;
  folder.Write("Rehber.csv",
               "\xEF\xBB\xBFNumara;Ad\r\n"
               "0212 555 01 02;\xC3\x87"
               "a\xC4\x9Fr\xC4\xB1 Y\xC4\xB1lmaz\r\n"
               "+90 532 555 00 00;\"Depo; Ankara\"\n"
               ";no number\n"
               "444 0 444\n"
               "0532 555 00 00;Depo (yeni)\n");
  PhoneBook book;
  book.Load(folder.File("Rehber.csv"));
  EXPECT_EQ(book.size(), 2u);
  EXPECT_EQ(book.NameOf(u"+902125550102"), u"\u00c7a\u011fr\u0131 Y\u0131lmaz");
  EXPECT_EQ(book.NameOf(u"00902125550102"),
            u"\u00c7a\u011fr\u0131 Y\u0131lmaz");
  EXPECT_EQ(book.NameOf(u"5325550000"), u"Depo (yeni)");  // later line wins
  EXPECT_EQ(book.NameOf(u"4440444"), u"");
  EXPECT_EQ(book.NameOf(u""), u"");

  // An export from an older program: commas and the Turkish code page.
  EXPECT_EQ(book.Merge("0312 444 44 44,\xDE"
                       "ahin\n"),
            1);
  EXPECT_EQ(book.NameOf(u"3124444444"), u"\u015eahin");

  book.Save(folder.File("Rehber.csv"));
  PhoneBook again;
  again.Load(folder.File("Rehber.csv"));
  EXPECT_EQ(again.size(), 3u);
  EXPECT_EQ(again.NameOf(u"3124444444"), u"\u015eahin");
  EXPECT_EQ(again.NameOf(u"02125550102"), u"\u00c7a\u011fr\u0131 Y\u0131lmaz");
}

TEST(PhoneBookTest, MissingFileIsAnEmptyBook) {
  TempFolder folder;
  PhoneBook book;
  book.Load(folder.File("Rehber.csv"));
  EXPECT_EQ(book.size(), 0u);
}

}  // namespace
}  // namespace orvanta
