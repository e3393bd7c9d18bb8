#include "receiver/history_presenter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/test/temp_folder.h"
#include "receiver/test/fake_history_view.h"
#include "receiver/test/fake_shell.h"

namespace orvanta {
namespace {

class HistoryPresenterTest : public testing::Test {
 protected:
  static constexpr size_t kLimit = 4;

  HistoryPresenterTest()
      : app_(shell_, launcher_, folder_.path().u16string() + u"/",
             ReceiverApp::Clocks{[this] { return now_; },
                                 [] { return std::u16string(u"t"); }},
             kLimit) {
    folder_.Write("Rehber.csv",
                  "0212 555 01 02;Ay\xC5\x9F"
                  "e\n");
    app_.Load();
  }

  // A call heard while the window is up: the shell hands it on.
  void Hear(const std::string& number) {
    now_ += std::chrono::seconds(3);
    app_.OnDatagram("HAT=1\r\nNUMARA=" + number);
    presenter().CallAdded();
  }
  HistoryPresenter& presenter() {
    if (!presenter_)
      presenter_ = std::make_unique<HistoryPresenter>(view_, app_);
    return *presenter_;
  }
  std::vector<std::u16string> Numbers(std::vector<const char16_t*> numbers) {
    return {numbers.begin(), numbers.end()};
  }

  TempFolder folder_;
  FakeReceiverShell shell_;
  FakeHookLauncher launcher_;
  std::chrono::steady_clock::time_point now_{};
  ReceiverApp app_;
  FakeHistoryView view_;
  std::unique_ptr<HistoryPresenter> presenter_;
};

TEST_F(HistoryPresenterTest, TheSelectionStaysOnTheCallAsNewOnesComeOnTop) {
  presenter();
  EXPECT_TRUE(view_.numbers.empty());
  EXPECT_EQ(view_.selected, std::nullopt);

  Hear("111");
  Hear("222");
  EXPECT_EQ(view_.numbers, Numbers({u"222", u"111"}));
  EXPECT_EQ(view_.selected, 1u);  // the first call, selected when it came

  view_.selected = 0;  // the user picks "222"
  Hear("333");
  EXPECT_EQ(view_.numbers, Numbers({u"333", u"222", u"111"}));
  EXPECT_EQ(view_.selected, 1u);
  presenter().OnCopyButton();
  EXPECT_EQ(view_.clipboard, u"222");
  EXPECT_EQ(view_.status, u"Kopyaland\u0131: 222");

  // The history keeps kLimit calls: the oldest leave at the bottom, and a
  // selection on one that leaves goes with it.
  view_.selected = 2;  // the user picks "111", the last row
  Hear("444");         // four rows: "111" is now row 3
  EXPECT_EQ(view_.selected, 3u);
  Hear("555");  // "111" leaves
  EXPECT_EQ(view_.numbers, Numbers({u"555", u"444", u"333", u"222"}));
  EXPECT_EQ(view_.selected, std::nullopt);
  view_.clipboard.clear();
  presenter().OnCopyButton();  // nothing selected: nothing copied
  EXPECT_EQ(view_.clipboard, u"");
}

TEST_F(HistoryPresenterTest, AWindowOpenedOnAFullHistorySelectsTheNewest) {
  Hear("111");
  Hear("222");
  presenter_.reset();
  HistoryPresenter fresh(view_, app_);
  EXPECT_EQ(view_.numbers, Numbers({u"222", u"111"}));
  EXPECT_EQ(view_.selected, 0u);
  fresh.OnRowActivated(1);  // a double click on "111"
  EXPECT_EQ(view_.clipboard, u"111");
  fresh.OnRowActivated(7);  // no such row: nothing happens
  EXPECT_EQ(view_.clipboard, u"111");
  EXPECT_FALSE(view_.shown);
  fresh.Show();
  EXPECT_TRUE(fresh.IsShown());
}

TEST_F(HistoryPresenterTest, ImportAsksForAFileAndSaysWhatItTook) {
  folder_.Write("import.csv", "0 532 111 22 33,Yeni Ki\xC5\x9Fi\n;x\n");

  presenter().OnImportPhoneBook();  // cancelled
  EXPECT_EQ(view_.file_questions, 1);
  EXPECT_EQ(view_.status, u"");

  view_.file_answer = folder_.File("import.csv");
  presenter().OnImportPhoneBook();
  EXPECT_EQ(view_.status, u"1 ki\u015fi rehbere eklendi.");
  Hear("05321112233");
  EXPECT_EQ(shell_.notifications.back().title, u"Yeni Ki\u015fi");
  EXPECT_NE(folder_.Read("Rehber.csv")->find("Yeni"), std::string::npos);

  view_.file_answer = folder_.File("none.csv");
  presenter().OnImportPhoneBook();
  EXPECT_NE(view_.status.find(u"none.csv"), std::u16string::npos);
}

TEST_F(HistoryPresenterTest, ReloadReadsTheFileAgainOrSaysWhyNot) {
  presenter();
  folder_.Write("Rehber.csv", "0533 000 00 00;Yeni\n");
  presenter().OnReloadPhoneBook();
  EXPECT_EQ(view_.status, u"Rehber yeniden y\u00fcklendi.");
  Hear("0533 000 00 00");
  EXPECT_EQ(shell_.notifications.back().title, u"Yeni");

  // A folder where the file should be: it cannot be read.
  std::filesystem::remove(folder_.Path("Rehber.csv"));
  std::filesystem::create_directory(folder_.Path("Rehber.csv"));
  view_.status.clear();
  presenter().OnReloadPhoneBook();
  EXPECT_EQ(view_.status, u"");  // the shell reports the problem itself
  EXPECT_EQ(shell_.problems.size(), 1u);
}

}  // namespace
}  // namespace orvanta
