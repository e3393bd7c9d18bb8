#include "receiver/call_history.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

HistoryEntry Entry(int i) {
  const std::u16string n = Utf8ToUtf16(std::to_string(i));
  return {u"2026-12-10 10:00:" + n, u"0", u"555" + n, u""};
}

size_t LineCount(const std::string& text) {
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

TEST(CallHistoryTest, SurvivesARestartWithFieldsThatNeedQuoting) {
  TempFolder folder;
  const std::u16string path = folder.File("AliciGecmis.csv");
  const HistoryEntry tricky{u"2026-12-10 13:45:02", u"1",
                            u"1; rm -rf /tmp/x \"q\"",
                            u"\u00c7a\u011fr\u0131; Ltd."};
  {
    CallHistory history(path);
    history.Load();
    history.Add(Entry(1));
    history.Add(tricky);
  }
  CallHistory again(path);
  again.Load();
  ASSERT_EQ(again.entries().size(), 2u);
  EXPECT_EQ(again.entries()[0], Entry(1));
  EXPECT_EQ(again.entries()[1], tricky);
}

TEST(CallHistoryTest, KeepsOnlyTheNewestCallsInMemoryAndOnDisk) {
  TempFolder folder;
  const std::u16string path = folder.File("AliciGecmis.csv");
  constexpr size_t kLimit = 8;
  CallHistory history(path, kLimit);
  history.Load();
  for (int i = 0; i < 30; ++i) {
    history.Add(Entry(i));
    ASSERT_LE(history.entries().size(), kLimit);
    // The file may run ahead of the bound by a quarter, never more.
    ASSERT_LE(LineCount(*folder.Read("AliciGecmis.csv")), kLimit + kLimit / 4);
  }
  EXPECT_EQ(history.entries().front(), Entry(22));
  EXPECT_EQ(history.entries().back(), Entry(29));

  CallHistory again(path, kLimit);
  again.Load();
  EXPECT_EQ(again.entries(), history.entries());
}

TEST(CallHistoryTest, ALineCutShortByACrashCostsOnlyItself) {
  TempFolder folder;
  folder.Write("AliciGecmis.csv",
               "2026-12-10 10:00:00;0;111;A\r\n2026-12-10 10:00:01;0;22");
  CallHistory history(folder.File("AliciGecmis.csv"));
  history.Load();
  ASSERT_EQ(history.entries().size(), 1u);
  history.Add(Entry(3));

  CallHistory again(folder.File("AliciGecmis.csv"));
  again.Load();
  ASSERT_EQ(again.entries().size(), 2u);
  EXPECT_EQ(again.entries()[0].number, u"111");
  EXPECT_EQ(again.entries()[1], Entry(3));
}

TEST(CallHistoryTest, AnUnwritableFileKeepsTheCallInMemoryAndSaysSo) {
  TempFolder folder;
  // A folder where the file should be: it can be neither read nor appended.
  std::filesystem::create_directory(folder.Path("AliciGecmis.csv"));
  CallHistory history(folder.File("AliciGecmis.csv"));
  EXPECT_ANY_THROW(history.Load());
  EXPECT_ANY_THROW(history.Add(Entry(1)));
  EXPECT_EQ(history.entries().size(), 1u);
}

}  // namespace
}  // namespace orvanta
