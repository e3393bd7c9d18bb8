#include "sender/win/win_shell.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "sender/port_test_view.h"
#include "sender/setup_dialog_view.h"
#include "sender/win/settings_window.h"
#include "desktop/win/win_text.h"

namespace orvanta::win {
namespace {

class RecordingShellListener : public ShellListener {
 public:
  void OnTrayDoubleClick() override { ++tray_double_clicks; }
  void OnSettingsMenu() override { ++settings_menus; }
  void OnDestinationsMenu() override { ++destinations_menus; }
  void OnEndProgramMenu() override { ++end_program_menus; }
  void OnAutoStart() override { ++auto_starts; }
  void OnEndSession() override { ++end_sessions; }
  int tray_double_clicks = 0, settings_menus = 0, destinations_menus = 0,
      end_program_menus = 0, auto_starts = 0, end_sessions = 0;
};

// Serves this thread's messages until `done`, or for a generous while; whether
// it holds.
template <typename Done>
bool PumpUntil(Done done) {
  const DWORD give_up = GetTickCount() + 10000;
  MSG message;
  while (!done()) {
    if (static_cast<int>(give_up - GetTickCount()) <= 0) return false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// Finds a visible top-level window of this process with the class `name`
// and, optionally, the caption `title`.
HWND FindOwn(const wchar_t* name, const wchar_t* title = nullptr) {
  HWND found = nullptr;
  for (HWND hwnd = FindWindowExW(nullptr, nullptr, name, title); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, name, title)) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(hwnd)) found = hwnd;
  }
  return found;
}

// Runs `step` on another thread once `ready()` holds.
class Driver {
 public:
  Driver(std::function<HWND()> find, std::function<void(HWND)> step)
      : thread_([find, step] {
          for (int i = 0; i < 400; ++i) {
            if (HWND hwnd = find()) {
              step(hwnd);
              return;
            }
            Sleep(25);
          }
        }) {}
  ~Driver() { thread_.join(); }

 private:
  std::thread thread_;
};

class WinShellTest : public testing::Test {
 protected:
  WinShellTest() : shell_(window_, nullptr, nullptr, Notify()) {
    shell_.SetListener(&listener_);
  }
  ~WinShellTest() override { shell_.SetListener(nullptr); }

  TrayIcon::NotifyFunction Notify() {
    return [this](DWORD message, NOTIFYICONDATAW* data) {
      calls_.push_back({message, *data});
      return TRUE;
    };
  }

  struct Call {
    DWORD message;
    NOTIFYICONDATAW data;
  };
  std::vector<Call> calls_;
  SettingsWindow window_{nullptr, nullptr};
  RecordingShellListener listener_;
  WinShell shell_;
};

TEST_F(WinShellTest, TrayIconFromTheStartTipAndBalloon) {
  ASSERT_FALSE(calls_.empty());
  EXPECT_EQ(calls_[0].message, DWORD{NIM_ADD});
  EXPECT_STREQ(calls_[0].data.szTip, L"VELMORIS Orvanta");
  shell_.SetTrayTip(u"VELMORIS Orvanta s1.02.05f");
  EXPECT_STREQ(calls_.back().data.szTip, L"VELMORIS Orvanta s1.02.05f");
  shell_.ShowBalloon(u"VELMORIS ", u"VELMORIS Orvanta çalışıyor...", 5000);
  EXPECT_STREQ(calls_.back().data.szInfoTitle, L"VELMORIS ");
  EXPECT_STREQ(calls_.back().data.szInfo, L"VELMORIS Orvanta çalışıyor...");
}

TEST_F(WinShellTest, StartUpMessageIsPostedAndReachesTheListener) {
  shell_.PostAutoStart();
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, window_.hwnd(), 0, 0, PM_NOREMOVE));
  EXPECT_EQ(message.message, 5124u);
  EXPECT_EQ(message.wParam, 0u);
  EXPECT_EQ(message.lParam, 0);
  EXPECT_EQ(listener_.auto_starts, 0);  // only when the loop reaches it
  ASSERT_TRUE(PumpUntil([&] { return listener_.auto_starts > 0; }));
  EXPECT_EQ(listener_.auto_starts, 1);
}

TEST_F(WinShellTest, WakeFromAnotherThreadIsServedOnThisOne) {
  int wakes = 0;
  DWORD wake_thread = 0;
  shell_.SetWakeHandler([&] {
    ++wakes;
    wake_thread = GetCurrentThreadId();
  });
  std::thread([this] { shell_.WakeUiThread(); }).join();
  // Served by the message loop, as the program's loop serves it.
  const DWORD give_up = GetTickCount() + 10000;
  MSG message;
  while (wakes == 0 && static_cast<int>(give_up - GetTickCount()) > 0) {
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) break;
    DispatchMessageW(&message);
  }
  EXPECT_EQ(wakes, 1);
  EXPECT_EQ(wake_thread, GetCurrentThreadId());
  shell_.SetWakeHandler(nullptr);
}

TEST_F(WinShellTest, TrayEventsAndMenu) {
  HWND tray = shell_.tray().hwnd();
  SendMessageW(tray, TrayIcon::kCallbackMessage, 0,
               MAKELPARAM(WM_RBUTTONDBLCLK, TrayIcon::kIconId));
  EXPECT_EQ(listener_.tray_double_clicks, 1);

  // The menu: "Ayarlar", "Hedefler", "Programı Kapat".
  for (int item : {0, 1, 2}) {
    Driver driver([] { return FindOwn(L"#32768"); },
                  [item](HWND menu) {
                    for (int i = 0; i <= item; ++i) {
                      PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
                    }
                    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
                  });
    SendMessageW(tray, TrayIcon::kCallbackMessage, 0,
                 MAKELPARAM(WM_CONTEXTMENU, TrayIcon::kIconId));
  }
  EXPECT_EQ(listener_.settings_menus, 1);
  EXPECT_EQ(listener_.destinations_menus, 1);
  EXPECT_EQ(listener_.end_program_menus, 1);
  // The tray's window was made the foreground window for the menu.
  EXPECT_EQ(GetForegroundWindow(), tray);
}

TEST_F(WinShellTest, MessageBoxesWithTitleAndButtons) {
  struct Case {
    MessageButtons buttons;
    int press;
    MessageAnswer answer;
  };
  const Case cases[] = {
      {MessageButtons::kYesNo, IDNO, MessageAnswer::kNo},
      {MessageButtons::kYesNo, IDYES, MessageAnswer::kYes},
      {MessageButtons::kOk, IDOK, MessageAnswer::kOk},
  };
  for (const Case& c : cases) {
    std::wstring text;
    LONG_PTR yes_style = 0;
    {
      Driver driver([] { return FindOwn(L"#32770", L"Soru"); },
                    [&](HWND box) {
                      HWND yes = GetDlgItem(box, IDYES);
                      if (yes) yes_style = GetWindowLongPtrW(yes, GWL_STYLE);
                      PostMessageW(GetDlgItem(box, c.press), BM_CLICK, 0, 0);
                    });
      EXPECT_EQ(shell_.ShowMessage(u"Program kapatılsın mı ?", u"Soru",
                                   MessageIcon::kQuestion, c.buttons),
                c.answer);
    }
    if (c.buttons == MessageButtons::kYesNo) {
      // Enter answers Yes.
      EXPECT_EQ(yes_style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    }
  }
}

TEST_F(WinShellTest, PlatformFacts) {
  std::u16string path = shell_.ExePath();
  EXPECT_TRUE(path.ends_with(u"\\sender_win_views_test.exe"))
      << Wide(path).size();
  EXPECT_EQ(shell_.PathSeparator(), u'\\');
  // The system's own tick count, read on both sides: no timing involved.
  const uint32_t before = GetTickCount();
  const uint32_t tick = shell_.TickCount();
  const uint32_t after = GetTickCount();
  EXPECT_LE(tick - before, after - before);
  EXPECT_TRUE(shell_.HasScreen());
  EXPECT_TRUE(shell_.HasTray());
}

// The settings folder the command line names is made, parents and all,
// when the settings are first written.
TEST_F(WinShellTest, SettingsFolderFromTheExecutableOrTheCommandLine) {
  EXPECT_EQ(shell_.SettingsFolder(),
            shell_.ExePath().substr(0, shell_.ExePath().rfind(u'\\') + 1));
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::u16string base = U16(temp) + u"orvanta-shell-" +
                              U16(std::to_wstring(GetCurrentProcessId()));
  const std::u16string folder = base + u"\\a\\b";
  shell_.SetSettingsFolder(folder);
  EXPECT_EQ(shell_.SettingsFolder(), folder + u"\\");
  shell_.CreateSettingsFolder();
  EXPECT_NE(GetFileAttributesW(Wide(folder).c_str()), INVALID_FILE_ATTRIBUTES);
  shell_.CreateSettingsFolder();  // already there: nothing happens
  RemoveDirectoryW(Wide(folder).c_str());
  RemoveDirectoryW(Wide(base + u"\\a").c_str());
  RemoveDirectoryW(Wide(base).c_str());
}

// Logging off or shutting down reaches the program; a WM_ENDSESSION that
// says the session goes on does not.
TEST_F(WinShellTest, TheSessionsEndReachesTheListener) {
  SendMessageW(window_.hwnd(), WM_ENDSESSION, FALSE, 0);
  EXPECT_EQ(listener_.end_sessions, 0);
  SendMessageW(window_.hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(listener_.end_sessions, 1);
}

TEST_F(WinShellTest, DialogsAreCreatedHidden) {
  std::unique_ptr<SetupDialogView> setup = shell_.CreateSetupDialogView();
  ASSERT_TRUE(setup);
  EXPECT_TRUE(FindWindowW(L"OrvantaSetupDialog", L"Setup"));
  EXPECT_FALSE(FindOwn(L"OrvantaSetupDialog"));
  class NoListener : public PortTestViewListener {
    void OnClose() override {}
  } listener;
  std::unique_ptr<PortTestView> test = shell_.CreatePortTestView(listener);
  ASSERT_TRUE(test);
  EXPECT_FALSE(FindOwn(L"OrvantaPortTestWindow"));
}

TEST_F(WinShellTest, QuitEndsTheMessageLoop) {
  shell_.Quit();
  MSG message;
  EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace orvanta::win
