// OrvantaAlici's Win32 shell over a real broadcast, inside the private test
// network: the balloon, a click on it, the history list and the clipboard.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <chrono>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "desktop/win/destinations_dialog.h"
#include "desktop/win/win_text.h"
#include "receiver/history_layout.h"
#include "notify/udp_channel.h"
#include "receiver/win/win_receiver_shell.h"
#include "base/test/temp_folder.h"

namespace orvanta::win {
namespace {

constexpr uint16_t kPort = 18979;

// Pumps this thread's messages until `done`, giving up after a while so a
// broken test ends (no timing is asserted).
template <typename Done>
bool PumpUntil(Done done) {
  const auto give_up =
      std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

std::u16string ItemText(HWND list, int row, int column) {
  wchar_t text[256] = {};
  ListView_GetItemText(list, row, column, text, 256);
  return U16(text);
}

std::u16string ClipboardText() {
  std::u16string text;
  if (!OpenClipboard(nullptr)) return u"(clipboard busy)";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = U16(static_cast<const wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

struct ShellCall {
  DWORD message;
  UINT flags;
  std::u16string title;
  std::u16string text;
};

TEST(WinReceiverShellTest, ABroadcastCallShowsABalloonAndFillsTheHistory) {
  TempFolder folder;
  folder.Write("Alici.ini",
               "[VmStored]\r\nUDPPORT=" + std::to_string(kPort) + "\r\n");
  folder.Write("Rehber.csv",
               "0212 555 01 02;Ay\xC5\x9F"
               "e Demir\n");
  std::vector<ShellCall> calls;
  WinReceiverProgram program(
      folder.path().u16string() + u"\\",
      [&calls](DWORD message, NOTIFYICONDATAW* data) {
        calls.push_back(
            {message, data->uFlags, U16(data->szInfoTitle), U16(data->szInfo)});
        return TRUE;
      });
  program.Start();
  EXPECT_EQ(program.Port(), kPort);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_ADD));

  UdpChannel sender;
  sender.SetPort(kPort);
  sender.SetActive(true);
  sender.Broadcast(u"HAT=1\r\nNUMARA=+90 212 555 01 02", kPort);
  ASSERT_TRUE(PumpUntil([&] { return program.app().HistorySize() == 1; }));
  const ShellCall& balloon = calls.back();
  EXPECT_EQ(balloon.message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(balloon.flags, static_cast<UINT>(NIF_INFO));
  EXPECT_EQ(balloon.title, u"Ay\u015fe Demir");
  EXPECT_EQ(balloon.text, u"+90 212 555 01 02\nHat: 1");

  // A click on the balloon opens the history window.
  HistoryWindow* window = program.shell().window();
  ASSERT_FALSE(IsWindowVisible(window->hwnd()));
  SendMessageW(program.shell().tray().hwnd(), TrayIcon::kCallbackMessage, 0,
               MAKELPARAM(NIN_BALLOONUSERCLICK, TrayIcon::kIconId));
  EXPECT_TRUE(IsWindowVisible(window->hwnd()));

  sender.Broadcast(u"HAT=01\r\nNUMARA=555 55 55", kPort);
  ASSERT_TRUE(PumpUntil([&] { return program.app().HistorySize() == 2; }));
  HWND list = window->list();
  ASSERT_EQ(ListView_GetItemCount(list), 2);
  EXPECT_EQ(ItemText(list, 0, 2), u"555 55 55");
  EXPECT_EQ(ItemText(list, 0, 3), u"Test mesaj\u0131");
  EXPECT_EQ(ItemText(list, 1, 1), u"1");
  EXPECT_EQ(ItemText(list, 1, 2), u"+90 212 555 01 02");
  EXPECT_EQ(ItemText(list, 1, 3), u"Ay\u015fe Demir");

  // The copy button takes the selected row's number.
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  // ...also when a call came in meanwhile and pushed that row down.
  sender.Broadcast(u"HAT=5\r\nNUMARA=444 0 444", kPort);
  ASSERT_TRUE(PumpUntil([&] { return ListView_GetItemCount(list) == 3; }));
  SendMessageW(window->copy_button(), BM_CLICK, 0, 0);
  EXPECT_EQ(ClipboardText(), u"+90 212 555 01 02");
}

// Every button of the window reaches the presenter, the import included.
TEST(WinHistoryWindowTest, TheButtonsReachTheListener) {
  struct Recorder : HistoryViewListener {
    void OnCopyButton() override { heard.push_back("copy"); }
    void OnRowActivated(size_t) override { heard.push_back("row"); }
    void OnImportPhoneBook() override { heard.push_back("import"); }
    void OnReloadPhoneBook() override { heard.push_back("reload"); }
    std::vector<std::string> heard;
  } recorder;
  HistoryWindow window(nullptr);
  window.SetListener(&recorder);
  window.ShowAndActivate();
  for (HWND button :
       {window.copy_button(), window.import_button(), window.reload_button()}) {
    SendMessageW(button, BM_CLICK, 0, 0);
  }
  EXPECT_EQ(recorder.heard,
            (std::vector<std::string>{"copy", "import", "reload"}));
  wchar_t text[64] = {};
  GetWindowTextW(window.import_button(), text, 64);
  EXPECT_EQ(U16(text), u"Rehber \u0130\u00e7e Aktar...");
}

// The controls sit where the layout table puts them, and keep to their
// anchors when the window grows: the list stretches, the buttons and the
// status line stay at the bottom.
TEST(WinHistoryWindowTest, ControlsFollowTheTableAsTheWindowGrows) {
  HistoryWindow window(nullptr);
  const UINT dpi = DpiOf(window.hwnd());
  auto placed_in_client = [&](HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window.hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    return LayoutRect{rect.left, rect.top, rect.right - rect.left,
                      rect.bottom - rect.top};
  };
  const std::pair<HWND, HistoryControlLayout> controls[] = {
      {window.list(), kHistoryList},
      {window.copy_button(), kHistoryCopyButton},
      {window.import_button(), kHistoryImportButton},
      {window.reload_button(), kHistoryReloadButton},
      {window.status(), kHistoryStatus}};
  for (const LayoutSize grow : {LayoutSize{0, 0}, LayoutSize{150, 90}}) {
    RECT outer;
    GetWindowRect(window.hwnd(), &outer);
    RECT client;
    GetClientRect(window.hwnd(), &client);
    const LayoutSize designed = Scale(kHistoryClientSize, dpi);
    SetWindowPos(
        window.hwnd(), nullptr, 0, 0,
        outer.right - outer.left + designed.width - client.right + grow.width,
        outer.bottom - outer.top + designed.height - client.bottom +
            grow.height,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(window.hwnd(), &client);
    ASSERT_EQ(client.right, designed.width + grow.width);
    ASSERT_EQ(client.bottom, designed.height + grow.height);
    for (const auto& [control, layout] : controls) {
      const LayoutRect expected =
          Anchored(Scale(layout.rect, dpi), designed,
                   {client.right, client.bottom}, layout.anchors);
      const LayoutRect actual = placed_in_client(control);
      EXPECT_EQ(std::tie(actual.left, actual.top, actual.width, actual.height),
                std::tie(expected.left, expected.top, expected.width,
                         expected.height))
          << "grown by " << grow.width << " x " << grow.height;
    }
  }
  // The growing itself, spelled out: the list wider, the reload button
  // further right and down.
  EXPECT_GT(placed_in_client(window.list()).width, kHistoryList.rect.width);
  EXPECT_GT(placed_in_client(window.reload_button()).top,
            Scale(kHistoryReloadButton.rect, dpi).top);
}

// Logging off reaches both of its windows, an installer only the history
// window (the one it can tell from the sender's): either ends the receiver
// and takes its icon away. A WM_ENDSESSION that says the session goes on
// changes nothing.
TEST(WinReceiverShellTest, TheEndOfTheSessionEndsTheReceiver) {
  enum Target { kHistoryWindow, kTrayWindow };
  const struct {
    Target target;
    WPARAM ending;
    bool ends;
  } cases[] = {
      {kHistoryWindow, TRUE, true},
      {kTrayWindow, TRUE, true},
      {kHistoryWindow, FALSE, false},
      {kTrayWindow, FALSE, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "target " << c.target << ", ending " << c.ending);
    TempFolder folder;
    folder.Write("Alici.ini",
                 "[VmStored]\r\nUDPPORT=" + std::to_string(kPort) + "\r\n");
    std::vector<DWORD> messages;
    WinReceiverProgram program(folder.path().u16string() + u"\\",
                               [&messages](DWORD message, NOTIFYICONDATAW*) {
                                 messages.push_back(message);
                                 return TRUE;
                               });
    program.Start();
    EXPECT_EQ(FindWindowW(HistoryWindow::kClassName, nullptr),
              program.shell().window()->hwnd());
    messages.clear();

    SendMessageW(c.target == kHistoryWindow ? program.shell().window()->hwnd()
                                            : program.shell().tray().hwnd(),
                 WM_ENDSESSION, c.ending, ENDSESSION_LOGOFF);

    MSG quit;
    EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0,
              c.ends);
    EXPECT_EQ(program.shell().tray().Shown(), !c.ends);
    EXPECT_EQ(messages == std::vector<DWORD>{NIM_DELETE}, c.ends);
  }
}

// Runs `step` from the message loops to come (a menu's, a modal dialog's)
// until it says it is done.
std::function<bool()> repeated_step;
void RepeatUntilDone(std::function<bool()> step) {
  repeated_step = std::move(step);
  SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) CALLBACK {
    if (repeated_step && repeated_step()) {
      KillTimer(nullptr, id);
      repeated_step = nullptr;
    }
  });
}

// A visible top-level window of this process with the class `name`.
HWND FindOwn(const wchar_t* name) {
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, name, nullptr))) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window)) {
      return window;
    }
  }
  return nullptr;
}

// "Hedefler", the tray menu's second item, opens the dialog over
// Hedefler.ini in the receiver's folder; the receiver takes on what it
// saved.
TEST(WinReceiverShellTest, TheTrayMenuOpensTheDestinationsDialog) {
  TempFolder folder;
  folder.Write("Alici.ini",
               "[VmStored]\r\nUDPPORT=" + std::to_string(kPort) + "\r\n");
  folder.Write("Hedefler.ini", "[Webhook1]\r\nURL=https://bir.example/\r\n");
  WinReceiverProgram program(folder.path().u16string() + u"\\",
                             [](DWORD, NOTIFYICONDATAW*) { return TRUE; });
  int taken_on = 0;
  program.destinations_saved = [&] { ++taken_on; };

  using P = DestinationsPart;
  bool menu_chosen = false;
  LRESULT listed = -1;
  RepeatUntilDone([&] {
    if (!menu_chosen) {
      HWND menu = FindOwn(L"#32768");
      if (!menu) return false;
      for (int i = 0; i < 2; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
      menu_chosen = true;
      return false;
    }
    HWND dialog = FindOwn(DestinationsDialog::kClassName);
    if (!dialog) return false;
    auto control = [dialog](P part) {
      return GetDlgItem(dialog, DestinationsDialog::IdOf(part));
    };
    listed = SendMessageW(control(P::kList), LB_GETCOUNT, 0, 0);
    SendMessageW(control(P::kRemoveButton), BM_CLICK, 0, 0);
    SendMessageW(control(P::kSaveButton), BM_CLICK, 0, 0);
    return true;
  });
  // Returns once the menu and the dialog are done.
  SendMessageW(program.shell().tray().hwnd(), TrayIcon::kCallbackMessage, 0,
               MAKELPARAM(WM_CONTEXTMENU, TrayIcon::kIconId));
  EXPECT_EQ(listed, 1);
  EXPECT_EQ(taken_on, 1);
  EXPECT_EQ(folder.Read("Hedefler.ini")->find("bir.example"),
            std::string::npos);
  EXPECT_FALSE(FindOwn(DestinationsDialog::kClassName));
}

}  // namespace
}  // namespace orvanta::win
