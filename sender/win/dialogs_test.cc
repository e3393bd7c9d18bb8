#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "desktop/test/win_modal.h"
#include "sender/setup_dialog_layout.h"
#include "sender/win/port_test_window.h"
#include "sender/win/setup_dialog.h"
#include "desktop/win/win_text.h"

namespace orvanta::win {
namespace {

RECT PlaceInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect),
                  2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

SIZE ClientSize(HWND hwnd) {
  RECT client;
  GetClientRect(hwnd, &client);
  return {client.right, client.bottom};
}

TEST(SetupDialogTest, LayoutOfTheSetupDialog) {
  SetupDialog dialog;
  EXPECT_EQ(WindowText(dialog.hwnd()), u"Setup");
  SIZE client = ClientSize(dialog.hwnd());
  EXPECT_EQ(client.cx, kSetupDialogClientSize.width);
  EXPECT_EQ(client.cy, kSetupDialogClientSize.height);
  EXPECT_FALSE(GetWindowLongPtrW(dialog.hwnd(), GWL_STYLE) & WS_THICKFRAME);
  EXPECT_FALSE(GetWindow(dialog.hwnd(), GW_OWNER));

  HWND group = FindWindowExW(dialog.hwnd(), nullptr, L"Button", L" Settings ");
  ASSERT_TRUE(group);
  RECT place = PlaceInParent(group);
  EXPECT_EQ(place.left, kSetupDialogGroupBox.left);
  EXPECT_EQ(place.top, kSetupDialogGroupBox.top);
  EXPECT_EQ(place.right, kSetupDialogGroupBox.width);
  EXPECT_EQ(place.bottom, kSetupDialogGroupBox.height);
  const wchar_t* labels[] = {L"Port",      L"Baud rate", L"Data bits",
                             L"Stop bits", L"Parity",    L"Flow control"};
  for (int i = 0; i < SetupDialogView::kListCount; ++i) {
    SCOPED_TRACE(i);
    HWND combo = GetDlgItem(dialog.hwnd(), SetupDialog::kIdFirstList + i);
    ASSERT_TRUE(combo);
    EXPECT_TRUE(GetWindowLongPtrW(combo, GWL_STYLE) & CBS_DROPDOWNLIST);
    place = PlaceInParent(combo);
    // Its place inside the group box.
    const LayoutRect list = InSetupDialogGroup(SetupDialogList(i));
    EXPECT_EQ(place.left, list.left);
    EXPECT_EQ(place.top, list.top);
    EXPECT_EQ(place.right, list.width);
    HWND label = FindWindowExW(dialog.hwnd(), nullptr, L"Static", labels[i]);
    ASSERT_TRUE(label);
    place = PlaceInParent(label);
    const LayoutRect label_place = InSetupDialogGroup(SetupDialogLabel(i));
    EXPECT_EQ(place.left, label_place.left);
    EXPECT_EQ(place.top, label_place.top);
  }
  for (auto [id, text, design] :
       {std::tuple{IDOK, u"OK", kSetupDialogOkButton},
        std::tuple{IDCANCEL, u"Cancel", kSetupDialogCancelButton}}) {
    HWND button = GetDlgItem(dialog.hwnd(), id);
    ASSERT_TRUE(button);
    EXPECT_EQ(WindowText(button), text);
    place = PlaceInParent(button);
    EXPECT_EQ(place.left, design.left);
    EXPECT_EQ(place.top, design.top);
    EXPECT_EQ(place.right, design.width);
    EXPECT_EQ(place.bottom, design.height);
  }
  EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(dialog.hwnd(), IDOK), GWL_STYLE) &
              BS_DEFPUSHBUTTON);

  // Tab order: the six lists, OK, Cancel.
  HWND focus = GetDlgItem(dialog.hwnd(), SetupDialog::kIdFirstList);
  std::vector<int> order;
  for (int i = 0; i < 8; ++i) {
    order.push_back(GetDlgCtrlID(focus));
    focus = GetNextDlgTabItem(dialog.hwnd(), focus, FALSE);
  }
  EXPECT_EQ(order,
            (std::vector<int>{201, 202, 203, 204, 205, 206, IDOK, IDCANCEL}));
}

// The frame leaves its inside to the dialog; a dialog that clipped its
// children there would leave it unpainted (black).
TEST(SetupDialogTest, InsideOfTheGroupFrameIsPainted) {
  SetupDialog dialog;
  ShowWindow(dialog.hwnd(), SW_SHOW);
  UpdateWindow(dialog.hwnd());
  // Between the labels' column and the lists, inside the frame.
  POINT inside = {84, 120};
  ClientToScreen(dialog.hwnd(), &inside);
  auto colour = [&] {
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, inside.x, inside.y);
    ReleaseDC(nullptr, screen);
    return pixel;
  };
  // The screen shows the painting a moment after it is done: messages are
  // served until the colour is the face's, or for a generous while.
  const DWORD give_up = GetTickCount() + 5000;
  MSG message;
  while (colour() != GetSysColor(COLOR_BTNFACE) &&
         static_cast<int>(give_up - GetTickCount()) > 0) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  EXPECT_EQ(colour(), GetSysColor(COLOR_BTNFACE));
}

TEST(SetupDialogTest, ListsShowTheEntriesAndRememberTheChoice) {
  SetupDialog dialog;
  dialog.SetList(SetupDialogView::kBaudRate, {u"Custom", u"110", u"9600"}, 2);
  dialog.SetList(SetupDialogView::kPort, {u"COM1", u"COM2"}, -1);
  EXPECT_EQ(dialog.ChosenIndex(SetupDialogView::kBaudRate), 2);
  EXPECT_EQ(dialog.ChosenIndex(SetupDialogView::kPort), -1);
  HWND baud = GetDlgItem(dialog.hwnd(), SetupDialog::kIdFirstList + 1);
  EXPECT_EQ(WindowText(baud), u"9600");
  EXPECT_EQ(SendMessageW(baud, CB_GETCOUNT, 0, 0), 3);
}

TEST(SetupDialogTest, EndsWithOkOrCancelAndDisablesTheOtherWindows) {
  SetupDialog other;  // stands in for the settings window
  ShowWindow(other.hwnd(), SW_SHOW);
  struct Case {
    const char* name;
    std::function<void(HWND)> end;
    bool ok;
  };
  const Case cases[] = {
      {"OK", [](HWND d) { PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); },
       true},
      {"Enter",
       [](HWND d) {
         HWND combo = GetDlgItem(d, SetupDialog::kIdFirstList);
         SetFocus(combo);
         PostMessageW(combo, WM_KEYDOWN, VK_RETURN, 0);
       },
       true},
      {"Cancel",
       [](HWND d) { PostMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); },
       false},
      {"Esc",
       [](HWND d) {
         HWND combo = GetDlgItem(d, SetupDialog::kIdFirstList);
         SetFocus(combo);
         PostMessageW(combo, WM_KEYDOWN, VK_ESCAPE, 0);
       },
       false},
      {"close box", [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetupDialog dialog;
    dialog.SetList(SetupDialogView::kParity, {u"None", u"Odd", u"Even"}, 0);
    bool other_enabled = true, dialog_visible = false;
    RunInsideModalLoop([&] {
      other_enabled = IsWindowEnabled(other.hwnd());
      dialog_visible = IsWindowVisible(dialog.hwnd());
      HWND parity = GetDlgItem(dialog.hwnd(), SetupDialog::kIdFirstList + 4);
      SendMessageW(parity, CB_SETCURSEL, 2, 0);
      c.end(dialog.hwnd());
    });
    EXPECT_EQ(dialog.ShowModal(), c.ok);
    EXPECT_FALSE(other_enabled);
    EXPECT_TRUE(dialog_visible);
    EXPECT_TRUE(IsWindowEnabled(other.hwnd()));
    EXPECT_FALSE(IsWindowVisible(dialog.hwnd()));
    EXPECT_EQ(dialog.ChosenIndex(SetupDialogView::kParity), 2);
  }
}

class CountingListener : public PortTestViewListener {
 public:
  void OnClose() override { ++kapat; }
  int kapat = 0;
};

TEST(PortTestWindowTest, Layout) {
  CountingListener listener;
  PortTestWindow window(listener, nullptr, nullptr);
  EXPECT_EQ(WindowText(window.hwnd()), u"Comport Test");
  SIZE client = ClientSize(window.hwnd());
  EXPECT_EQ(client.cx, 837);
  EXPECT_EQ(client.cy, 519);
  LONG_PTR style = GetWindowLongPtrW(window.hwnd(), GWL_STYLE);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);

  HWND text_pane = FindWindowExW(window.hwnd(), nullptr, L"Edit", nullptr);
  HWND byte_pane = FindWindowExW(window.hwnd(), text_pane, L"Edit", nullptr);
  ASSERT_TRUE(text_pane && byte_pane);
  RECT place = PlaceInParent(text_pane);
  EXPECT_EQ(place.left, 0);
  EXPECT_EQ(place.top, 0);
  EXPECT_EQ(place.right, 652);
  EXPECT_EQ(place.bottom, 478);
  place = PlaceInParent(byte_pane);
  EXPECT_EQ(place.left, 652);
  EXPECT_EQ(place.right, 185);
  EXPECT_EQ(place.bottom, 478);
  for (HWND pane : {text_pane, byte_pane}) {
    LONG_PTR pane_style = GetWindowLongPtrW(pane, GWL_STYLE);
    EXPECT_TRUE(pane_style & WS_HSCROLL);
    EXPECT_TRUE(pane_style & WS_VSCROLL);
    EXPECT_FALSE(pane_style & ES_READONLY);
  }
  HWND kapat = nullptr;
  EnumChildWindows(
      window.hwnd(),
      [](HWND child, LPARAM found) CALLBACK -> BOOL {
        if (WindowText(child) == u"Kapat") {
          *reinterpret_cast<HWND*>(found) = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&kapat));
  ASSERT_TRUE(kapat);
  place = PlaceInParent(kapat);
  EXPECT_EQ(place.left, 728);
  EXPECT_EQ(place.top, 6);
  EXPECT_EQ(place.right, 75);
  EXPECT_EQ(place.bottom, 25);
  place = PlaceInParent(GetParent(kapat));
  EXPECT_EQ(place.top, 478);
  EXPECT_EQ(place.right, 837);
  EXPECT_EQ(place.bottom, 41);
}

TEST(PortTestWindowTest, PanesAppendAfterWhatIsThere) {
  CountingListener listener;
  PortTestWindow window(listener, nullptr, nullptr);
  HWND text_pane = FindWindowExW(window.hwnd(), nullptr, L"Edit", nullptr);
  HWND byte_pane = FindWindowExW(window.hwnd(), text_pane, L"Edit", nullptr);
  SetWindowTextW(text_pane, L"typed ");  // the user's own text stays
  window.AppendText(u"S12");
  window.AppendText(u"3E");
  EXPECT_EQ(WindowText(text_pane), u"typed S123E");
  window.AddByteLine(u"83 (S)");
  window.AddByteLine(u"49 (1)");
  EXPECT_EQ(WindowText(byte_pane), u"83 (S)\r\n49 (1)\r\n");
}

TEST(PortTestWindowTest, KapatAndTheCloseBoxEndTheShowing) {
  CountingListener listener;
  PortTestWindow window(listener, nullptr, nullptr);
  // "Kapat" reports to the listener, which closes the window.
  RunInsideModalLoop([&] {
    HWND kapat = nullptr;
    EnumChildWindows(
        window.hwnd(),
        [](HWND child, LPARAM found) CALLBACK -> BOOL {
          if (WindowText(child) == u"Kapat") {
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&kapat));
    SendMessageW(kapat, BM_CLICK, 0, 0);
    window.Close();
  });
  window.ShowModal();
  EXPECT_EQ(listener.kapat, 1);
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));

  RunInsideModalLoop([&] { PostMessageW(window.hwnd(), WM_CLOSE, 0, 0); });
  window.ShowModal();
  EXPECT_EQ(listener.kapat, 1);
  EXPECT_TRUE(IsWindow(window.hwnd()));
}

}  // namespace
}  // namespace orvanta::win
