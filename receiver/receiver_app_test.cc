#include "receiver/receiver_app.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "base/failure.h"
#include "base/text.h"
#include "receiver/test/fake_shell.h"
#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

using std::chrono::milliseconds;

class ReceiverAppTest : public testing::Test {
 protected:
  ReceiverAppTest() {
    folder_.Write("Rehber.csv",
                  "0212 555 01 02;Ay\xC5\x9F"
                  "e Demir\n");
  }

  // The app over the folder, loaded, on a clock the test moves.
  ReceiverApp& App() {
    if (!app_) {
      app_ = std::make_unique<ReceiverApp>(
          shell_, launcher_, folder_.path().u16string() + u"/",
          ReceiverApp::Clocks{
              [this] { return now_; },
              [] { return std::u16string(u"2026-12-10 13:45:02"); }});
      app_->Load();
    }
    return *app_;
  }
  void Hear(const std::string& bytes, int after_ms = 0) {
    now_ += milliseconds(after_ms);
    App().OnDatagram(bytes);
  }

  TempFolder folder_;
  FakeReceiverShell shell_;
  FakeHookLauncher launcher_;
  std::chrono::steady_clock::time_point now_{};
  std::unique_ptr<ReceiverApp> app_;
};

TEST_F(ReceiverAppTest, ACallIsShownWithItsPhoneBookNameAndKept) {
  Hear("HAT=2\r\nNUMARA=+90 212 555 01 02");
  ASSERT_EQ(shell_.notifications.size(), 1u);
  EXPECT_EQ(shell_.notifications[0].title, u"Ay\u015fe Demir");
  EXPECT_EQ(shell_.notifications[0].text, u"+90 212 555 01 02\nHat: 2");
  ASSERT_EQ(App().HistorySize(), 1u);
  EXPECT_EQ(App().HistoryRow(0),
            (HistoryEntry{u"2026-12-10 13:45:02", u"2", u"+90 212 555 01 02",
                          u"Ay\u015fe Demir"}));
  EXPECT_EQ(shell_.history_changes, 1);

  // Unknown numbers show the number itself as the title.
  Hear("HAT=0\nNUMARA=0532 000 00 00\n", 1000);
  EXPECT_EQ(shell_.notifications.back().title, u"0532 000 00 00");
  EXPECT_EQ(shell_.notifications.back().text, u"Hat: 0");
  EXPECT_EQ(App().HistoryRow(0).number, u"0532 000 00 00");  // newest first
  EXPECT_EQ(App().HistoryRow(1).number, u"+90 212 555 01 02");
}

TEST_F(ReceiverAppTest, TheSendersTestDatagramShowsAsATest) {
  Hear("HAT=01\r\nNUMARA=555 55 55");
  ASSERT_EQ(shell_.notifications.size(), 1u);
  EXPECT_EQ(shell_.notifications[0].title, u"Test mesaj\u0131");
  EXPECT_NE(shell_.notifications[0].text.find(u"Portu Test Et"),
            std::u16string::npos);
  EXPECT_EQ(App().HistoryRow(0).name, u"Test mesaj\u0131");
}

TEST_F(ReceiverAppTest, JunkRepeatsAndFloodsAreCountedNotShown) {
  Hear("HAT=0\r\nNUMARA=1");                         // shown
  Hear("HAT=0\r\nNUMARA=1", 100);                    // repeat: dropped
  Hear("GET / HTTP/1.1\r\n\r\n");                    // malformed
  Hear("HAT=0\r\nNUMARA=" + std::string(600, '9'));  // oversized
  for (int i = 2; i < 12; ++i) {  // a flood of distinct calls
    Hear("HAT=0\r\nNUMARA=" + std::to_string(i), 10);
  }
  Hear("HAT=0\r\nNUMARA=99", 1000);  // a second later: shown
  const ReceiverCounters& counters = App().counters();
  EXPECT_EQ(counters.repeats, 1u);
  EXPECT_EQ(counters.malformed, 1u);
  EXPECT_EQ(counters.oversized, 1u);
  EXPECT_EQ(counters.calls, 12u);
  EXPECT_EQ(counters.quiet_calls, 10u);
  EXPECT_EQ(shell_.notifications.size(), 2u);
  EXPECT_EQ(App().HistorySize(), 12u);  // every call is in the history

  // All of it survived in the file.
  app_.reset();
  EXPECT_EQ(App().HistorySize(), 12u);
  EXPECT_EQ(App().HistoryRow(0).number, u"99");
}

TEST_F(ReceiverAppTest, ClickingTheNotificationOpensTheHistory) {
  Hear("HAT=0\r\nNUMARA=111");
  App().NotificationClicked();
  EXPECT_EQ(shell_.history_shown, 1);
}

TEST_F(ReceiverAppTest, SettingsFileIsCreatedWithDefaultsAndThenObeyed) {
  App();
  const std::optional<std::string> written = folder_.Read("Alici.ini");
  ASSERT_TRUE(written.has_value());
  EXPECT_NE(written->find("UDPPORT=18900"), std::string::npos);
  EXPECT_EQ(App().settings().port, 18900);

  const struct {
    const char* port;
    uint16_t expected;
  } ports[] = {{"19000", 19000},
               {"0", 18900},
               {"70000", 18900},
               {"abc", 18900},
               {"65535", 65535}};
  for (const auto& p : ports) {
    SCOPED_TRACE(p.port);
    folder_.Write("Alici.ini", std::string("[VmStored]\r\nUDPPORT=") + p.port +
                                   "\r\nCALLCOMMAND=notify-send {name}\r\n");
    EXPECT_EQ(LoadReceiverSettings(folder_.File("Alici.ini")).port, p.expected);
  }
}

TEST_F(ReceiverAppTest, TheHookGetsTheCallAndItsFailureIsOnlyReported) {
  folder_.Write("Alici.ini",
                "[VmStored]\r\nUDPPORT=18900\r\n"
                "CALLCOMMAND=notify-send \"{name}\" {number}\r\n");
  Hear("HAT=0\r\nNUMARA=0212 555 01 02; rm -rf ~");
  ASSERT_EQ(launcher_.commands.size(), 1u);
  EXPECT_EQ(launcher_.commands[0],
            (std::vector<std::u16string>{u"notify-send", u"Ay\u015fe Demir",
                                         u"0212 555 01 02; rm -rf ~"}));

  // A flood of distinct calls starts only a burst of hooks.
  for (int i = 0; i < 20; ++i) Hear("HAT=0\r\nNUMARA=" + std::to_string(i));
  EXPECT_EQ(launcher_.commands.size(),
            static_cast<size_t>(ReceiverApp::kHookBurst));
  EXPECT_EQ(App().counters().hooks_skipped,
            static_cast<uint64_t>(21 - ReceiverApp::kHookBurst));

  class FailingLauncher : public FakeHookLauncher {
    void Start(const std::vector<std::u16string>&) override {
      throw Failure(u"cannot start");
    }
  } failing;
  ReceiverApp app(shell_, failing, folder_.path().u16string() + u"/");
  app.Load();
  app.OnDatagram("HAT=0\r\nNUMARA=5");
  EXPECT_EQ(shell_.problems, std::vector<std::u16string>{u"cannot start"});
  EXPECT_EQ(app.HistorySize(), 22u);
}

TEST_F(ReceiverAppTest, ImportMergesIntoThePhoneBookFile) {
  folder_.Write("import.csv", "0 532 111 22 33,Yeni Ki\xC5\x9Fi\n");
  EXPECT_EQ(App().ImportPhoneBook(folder_.File("import.csv")), 1);
  Hear("HAT=0\r\nNUMARA=5321112233");
  EXPECT_EQ(shell_.notifications.back().title, u"Yeni Ki\u015fi");
  PhoneBook book;
  book.Load(folder_.File("Rehber.csv"));
  EXPECT_EQ(book.size(), 2u);
  EXPECT_THROW(App().ImportPhoneBook(folder_.File("none.csv")), Failure);
}

}  // namespace
}  // namespace orvanta
