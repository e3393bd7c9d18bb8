#include "desktop/win/tray_icon.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvanta::win {
namespace {

// The shell as the tray icon sees it: every call recorded, answers scripted.
struct FakeShell {
  struct Call {
    DWORD message;
    NOTIFYICONDATAW data;
  };
  std::vector<Call> calls;
  // Answers for NIM_ADD / NIM_MODIFY in order; missing answers succeed.
  std::vector<std::pair<BOOL, DWORD>> add_answers;
  std::vector<std::pair<BOOL, DWORD>> modify_answers;
  size_t adds = 0, modifies = 0;
  std::vector<DWORD> sleeps;

  TrayIcon::NotifyFunction Notify() {
    return [this](DWORD message, NOTIFYICONDATAW* data) -> BOOL {
      calls.push_back({message, *data});
      std::pair<BOOL, DWORD> answer = {TRUE, 0};
      if (message == NIM_ADD && adds < add_answers.size()) {
        answer = add_answers[adds];
      }
      if (message == NIM_MODIFY && modifies < modify_answers.size()) {
        answer = modify_answers[modifies];
      }
      if (message == NIM_ADD) ++adds;
      if (message == NIM_MODIFY) ++modifies;
      SetLastError(answer.second);
      return answer.first;
    };
  }
  TrayIcon::SleepFunction Sleeper() {
    return [this](DWORD ms) { sleeps.push_back(ms); };
  }
  std::vector<DWORD> Messages() const {
    std::vector<DWORD> result;
    for (const Call& call : calls) result.push_back(call.message);
    return result;
  }
};

constexpr std::pair<BOOL, DWORD> kTimeOut = {FALSE, ERROR_TIMEOUT};
constexpr std::pair<BOOL, DWORD> kSilentFailure = {FALSE, ERROR_SUCCESS};

TEST(TrayIconTest, AddsWithTipCallbackAndVersionFour) {
  FakeShell shell;
  TrayIcon tray(LoadIconW(nullptr, IDI_APPLICATION), u"VELMORIS Orvanta",
                shell.Notify(), shell.Sleeper());
  ASSERT_TRUE(tray.Add());
  EXPECT_TRUE(tray.Shown());
  ASSERT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION}));
  const NOTIFYICONDATAW& add = shell.calls[0].data;
  EXPECT_EQ(add.hWnd, tray.hwnd());
  EXPECT_EQ(add.uCallbackMessage, TrayIcon::kCallbackMessage);
  EXPECT_TRUE(add.uFlags & NIF_TIP);
  EXPECT_STREQ(add.szTip, L"VELMORIS Orvanta");
  EXPECT_EQ(shell.calls[1].data.uVersion, UINT{NOTIFYICON_VERSION_4});
  EXPECT_TRUE(shell.sleeps.empty());
}

TEST(TrayIconTest, RetriesATimedOutAddOnceASecondUpdatingFirst) {
  struct Case {
    const char* name;
    std::vector<std::pair<BOOL, DWORD>> adds;
    std::vector<std::pair<BOOL, DWORD>> modifies;
    bool shown;
    std::vector<DWORD> messages;  // without the final NIM_SETVERSION
    size_t sleeps;
  };
  const std::vector<Case> cases = {
      {"added on the second try",
       {kTimeOut, {TRUE, 0}},
       {kTimeOut},
       true,
       {NIM_ADD, NIM_MODIFY, NIM_ADD},
       1},
      {"the shell had added it despite the time-out",
       {kTimeOut},
       {{TRUE, 0}},
       true,
       {NIM_ADD, NIM_MODIFY},
       1},
      {"a failure without an error code counts as a time-out",
       {kSilentFailure, {TRUE, 0}},
       {kTimeOut},
       true,
       {NIM_ADD, NIM_MODIFY, NIM_ADD},
       1},
      {"any other error is final",
       {{FALSE, ERROR_ACCESS_DENIED}},
       {},
       false,
       {NIM_ADD},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeShell shell;
    shell.add_answers = c.adds;
    shell.modify_answers = c.modifies;
    TrayIcon tray(nullptr, u"tip", shell.Notify(), shell.Sleeper());
    EXPECT_EQ(tray.Add(), c.shown);
    std::vector<DWORD> messages = shell.Messages();
    if (c.shown) {
      ASSERT_EQ(messages.back(), DWORD{NIM_SETVERSION});
      messages.pop_back();
    }
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(shell.sleeps, std::vector<DWORD>(c.sleeps, 1000));
  }
}

TEST(TrayIconTest, GivesUpAfterThirtyOneRetries) {
  FakeShell shell;
  shell.add_answers.assign(100, kTimeOut);
  shell.modify_answers.assign(100, kTimeOut);
  TrayIcon tray(nullptr, u"tip", shell.Notify(), shell.Sleeper());
  EXPECT_FALSE(tray.Add());
  EXPECT_EQ(shell.adds, 32u);
  EXPECT_EQ(shell.modifies, 31u);
  EXPECT_EQ(shell.sleeps.size(), 31u);
  // Not shown: nothing to remove, no balloon.
  tray.ShowBalloon(u"t", u"x", 5000);
  tray.Remove();
  EXPECT_EQ(shell.adds + shell.modifies, shell.calls.size());
}

TEST(TrayIconTest, TipIsCutTo127Characters) {
  FakeShell shell;
  TrayIcon tray(nullptr, std::u16string(200, u'x'), shell.Notify(),
                shell.Sleeper());
  EXPECT_EQ(tray.tip().size(), 127u);
  tray.Add();
  EXPECT_EQ(wcslen(shell.calls[0].data.szTip), 127u);
  tray.SetTip(u"VELMORIS Orvanta s1.02.05f");
  EXPECT_EQ(shell.calls.back().message, DWORD{NIM_MODIFY});
  EXPECT_STREQ(shell.calls.back().data.szTip, L"VELMORIS Orvanta s1.02.05f");
}

TEST(TrayIconTest, BalloonIsTakenDownByItsOwnTimer) {
  FakeShell shell;
  TrayIcon tray(nullptr, u"tip", shell.Notify(), shell.Sleeper());
  tray.Add();
  tray.ShowBalloon(u"VELMORIS ", u"VELMORIS Orvanta çalışıyor...", 5000);
  const NOTIFYICONDATAW& shown = shell.calls.back().data;
  EXPECT_EQ(shell.calls.back().message, DWORD{NIM_MODIFY});
  EXPECT_EQ(shown.uFlags, UINT{NIF_INFO});
  EXPECT_STREQ(shown.szInfoTitle, L"VELMORIS ");
  EXPECT_STREQ(shown.szInfo, L"VELMORIS Orvanta çalışıyor...");
  EXPECT_EQ(shown.dwInfoFlags, DWORD{NIIF_NONE});
  EXPECT_TRUE(tray.BalloonPending());

  // The timer's expiry takes the balloon down with an empty text.
  SendMessageW(tray.hwnd(), WM_TIMER, TrayIcon::kBalloonTimer, 0);
  EXPECT_FALSE(tray.BalloonPending());
  EXPECT_EQ(shell.calls.back().message, DWORD{NIM_MODIFY});
  EXPECT_EQ(shell.calls.back().data.uFlags, UINT{NIF_INFO});
  EXPECT_STREQ(shell.calls.back().data.szInfo, L"");
  // The timer was stopped with it.
  EXPECT_FALSE(KillTimer(tray.hwnd(), TrayIcon::kBalloonTimer));
}

TEST(TrayIconTest, BalloonStartsATimerOfItsDisplayTime) {
  FakeShell shell;
  TrayIcon tray(nullptr, u"tip", shell.Notify(), shell.Sleeper());
  tray.Add();
  tray.ShowBalloon(u"a", u"b", 5000);
  EXPECT_TRUE(KillTimer(tray.hwnd(), TrayIcon::kBalloonTimer));
}

TEST(TrayIconTest, AddedAgainWhenTheTaskbarIsRecreated) {
  FakeShell shell;
  TrayIcon tray(nullptr, u"tip", shell.Notify(), shell.Sleeper());
  tray.Add();
  shell.calls.clear();
  SendMessageW(tray.hwnd(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_ADD, NIM_SETVERSION}));
  EXPECT_TRUE(tray.Shown());
}

TEST(TrayIconTest, RemovedAtSessionEndAndWhenDestroyed) {
  FakeShell shell;
  {
    TrayIcon tray(nullptr, u"tip", shell.Notify(), shell.Sleeper());
    tray.Add();
    SendMessageW(tray.hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(tray.Shown());
    EXPECT_EQ(shell.calls.back().message, DWORD{NIM_DELETE});
    tray.Add();
  }
  EXPECT_EQ(shell.calls.back().message, DWORD{NIM_DELETE});
}

TEST(TrayIconTest, MouseAndKeyboardEvents) {
  FakeShell shell;
  TrayIcon tray(nullptr, u"tip", shell.Notify(), shell.Sleeper());
  int double_clicks = 0, menus = 0, guarded = 0;
  tray.on_double_click = [&] { ++double_clicks; };
  tray.on_menu = [&] { ++menus; };
  tray.guard = [&](const std::function<void()>& action) {
    ++guarded;
    action();
  };
  struct Case {
    UINT event;
    int double_clicks, menus;
  };
  const Case cases[] = {
      {WM_LBUTTONDBLCLK, 1, 0}, {WM_RBUTTONDBLCLK, 1, 0},
      {WM_MBUTTONDBLCLK, 1, 0}, {WM_CONTEXTMENU, 0, 1},
      {NIN_KEYSELECT, 0, 1},    {NIN_SELECT, 0, 0},
      {WM_LBUTTONUP, 0, 0},     {WM_MOUSEMOVE, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.event);
    double_clicks = menus = guarded = 0;
    SendMessageW(tray.hwnd(), TrayIcon::kCallbackMessage, MAKEWPARAM(10, 20),
                 MAKELPARAM(c.event, TrayIcon::kIconId));
    EXPECT_EQ(double_clicks, c.double_clicks);
    EXPECT_EQ(menus, c.menus);
    EXPECT_EQ(guarded, c.double_clicks + c.menus);
  }
}

}  // namespace
}  // namespace orvanta::win
