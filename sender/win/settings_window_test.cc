#include "sender/win/settings_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "sender/win/test/find_control.h"
#include "desktop/win/win_text.h"

namespace orvanta::win {
namespace {

// What the user did, as the presenter would hear it.
class RecordingListener : public SettingsViewListener {
 public:
  std::map<std::string, int> calls;
  int Count(const std::string& name) const {
    auto found = calls.find(name);
    return found == calls.end() ? 0 : found->second;
  }

  void OnCallerIdClick() override { ++calls["CheckBox"]; }
  void OnSourceClick() override { ++calls["RadioGroup"]; }
  void OnArgDeviceKindChange() override { ++calls["ComboCihaz"]; }
  void OnLogPaneDoubleClick() override { ++calls["LogPaneDoubleClicked"]; }
  void OnPortEditEscape() override { ++calls["PortEditEscaped"]; }
  void OnPortEditExit() override { ++calls["PortEditLeft"]; }
  void OnSave() override { ++calls["Kaydet"]; }
  void OnApply() override { ++calls["Uygula"]; }
  void OnHide() override { ++calls["Gizle"]; }
  void OnClose() override { ++calls["Kapat"]; }
  void OnTestPort() override { ++calls["PortuTestEt"]; }
  void OnOpenPortTest() override { ++calls["TestEkrani"]; }
  void OnPortSettings() override { ++calls["ComportAyarlari"]; }
  void OnDestinations() override { ++calls["Hedefler"]; }
  void OnCloseRequest() override { ++calls["CloseRequest"]; }
};

// A control's rectangle inside its parent's client area.
RECT PlaceInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect),
                  2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// One window for the suite: under Wine without a window manager every
// unmapping waits for the window manager, so windows are not made per test.
class SettingsWindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    window_ = new SettingsWindow(nullptr, nullptr);
  }
  static void TearDownTestSuite() {
    delete window_;
    window_ = nullptr;
  }
  void SetUp() override {
    window().SetListener(&listener_);
    // Everything visible, as far as the presenter would show it.
    for (SettingsShown shown :
         {SettingsShown::kCallerIdPanel, SettingsShown::kArgPanel,
          SettingsShown::kArgChoiceLabel, SettingsShown::kMainMachineIp}) {
      window().SetControlVisible(shown, true);
    }
    for (SettingsShown shown :
         {SettingsShown::kSerialPanel, SettingsShown::kModemPanel,
          SettingsShown::kArgComPort}) {
      window().SetControlVisible(shown, false);
    }
    window().ShowWindow();
  }
  void TearDown() override { window().SetListener(nullptr); }
  static SettingsWindow& window() { return *window_; }
  HWND Control(int id) { return FindControl(window().hwnd(), id); }

  RecordingListener listener_;
  static SettingsWindow* window_;
};
SettingsWindow* SettingsWindowTest::window_ = nullptr;

// A control at its rectangle `expected`, as far as its kind of sizing lets
// the designed size hold on a real screen.
void ExpectPlaced(HWND control, LayoutSizing sizing,
                  const LayoutRect& expected) {
  RECT place = PlaceInParent(control);
  EXPECT_EQ(place.left, expected.left);
  EXPECT_EQ(place.top, expected.top);
  switch (sizing) {
    case LayoutSizing::kFixed:
      EXPECT_EQ(place.right, expected.width);
      EXPECT_EQ(place.bottom, expected.height);
      break;
    case LayoutSizing::kAtLeastWide:
      EXPECT_GE(place.right, expected.width);
      EXPECT_EQ(place.bottom, expected.height);
      break;
    case LayoutSizing::kSpin: {
      // The edit with its up-down arrows inside the designed width.
      HWND arrows_hwnd = GetWindow(control, GW_HWNDNEXT);
      EXPECT_EQ(
          reinterpret_cast<HWND>(SendMessageW(arrows_hwnd, UDM_GETBUDDY, 0, 0)),
          control);
      RECT arrows = PlaceInParent(arrows_hwnd);
      EXPECT_EQ(place.left + place.right, arrows.left);
      EXPECT_EQ(arrows.left + arrows.right, expected.left + expected.width);
      EXPECT_EQ(arrows.bottom, expected.height);
      break;
    }
    case LayoutSizing::kFitsText:
    case LayoutSizing::kFontHeight:
      break;
  }
}

TEST_F(SettingsWindowTest, ControlsSitAtTheirDesignedPlaces) {
  RECT client;
  GetClientRect(window().hwnd(), &client);
  EXPECT_EQ(client.right, kSettingsClientSize.width);
  EXPECT_EQ(client.bottom, kSettingsClientSize.height);
  for (const SettingsPlacement& placed : kSettingsLayout) {
    SCOPED_TRACE(static_cast<int>(placed.part));
    HWND control = window().ControlOf(placed.part);
    ASSERT_TRUE(control);
    EXPECT_EQ(GetParent(control), placed.parent == placed.part
                                      ? window().hwnd()
                                      : window().ControlOf(placed.parent));
    ExpectPlaced(control, placed.sizing, placed.rect);
  }
  // The radio items fill two columns of two, all inside the group.
  const LayoutRect group = Placement(SettingsPart::kSourceChoice).rect;
  RECT items[4];
  for (int i = 0; i < 4; ++i)
    items[i] = PlaceInParent(Control(kIdSourceItem0 + i));
  EXPECT_EQ(items[0].left, items[1].left);
  EXPECT_GT(items[1].top, items[0].top);
  EXPECT_EQ(items[2].top, items[0].top);
  EXPECT_GT(items[2].left, items[0].left + items[0].right - 1);
  EXPECT_EQ(items[3].left, items[2].left);
  EXPECT_EQ(items[3].top, items[1].top);
  for (const RECT& item : items) {
    EXPECT_GT(item.right, 0);
    EXPECT_GT(item.bottom, 0);
    EXPECT_LE(item.left + item.right, group.width);
    EXPECT_LE(item.top + item.bottom, group.height);
  }
  // Labels lie under the controls: the buttons they overlap stay on top.
  HWND open_port_test_button = Control(kIdOpenPortTestButton);
  for (HWND above = GetWindow(open_port_test_button, GW_HWNDPREV); above;
       above = GetWindow(above, GW_HWNDPREV)) {
    wchar_t name[16];
    GetClassNameW(above, name, 16);
    EXPECT_STRNE(name, L"Static");
  }
}

TEST_F(SettingsWindowTest, MaximisingStretchesOnlyTheAnchoredControls) {
  ::ShowWindow(window().hwnd(), SW_MAXIMIZE);
  RECT client;
  GetClientRect(window().hwnd(), &client);
  ASSERT_GT(client.right, kSettingsClientSize.width);
  ASSERT_GT(client.bottom, kSettingsClientSize.height);
  const LayoutSize now = {client.right, client.bottom};
  for (const SettingsPlacement& placed : kSettingsLayout) {
    SCOPED_TRACE(static_cast<int>(placed.part));
    ExpectPlaced(window().ControlOf(placed.part), placed.sizing,
                 SettingsRectAt(placed.part, now));
  }
  // The stretching itself, spelled out for the panels.
  EXPECT_GT(PlaceInParent(Control(kIdCallerIdPanel)).right,
            Placement(SettingsPart::kCallerIdPanel).rect.width);
  EXPECT_GT(PlaceInParent(Control(kIdButtonPanel)).top,
            Placement(SettingsPart::kButtonPanel).rect.top);
  ::ShowWindow(window().hwnd(), SW_RESTORE);
  EXPECT_EQ(PlaceInParent(Control(kIdCallerIdPanel)).right,
            Placement(SettingsPart::kCallerIdPanel).rect.width);
}

TEST_F(SettingsWindowTest, FixedBorderWithMinimiseAndMaximise) {
  LONG_PTR style = GetWindowLongPtrW(window().hwnd(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(GetWindowLongPtrW(window().hwnd(), GWL_EXSTYLE) &
              WS_EX_APPWINDOW);
  EXPECT_FALSE(GetWindow(window().hwnd(), GW_OWNER));
}

TEST_F(SettingsWindowTest, TahomaBoldAndDarkSlateLabels) {
  LOGFONTW font = {};
  GetObjectW(reinterpret_cast<HFONT>(
                 SendMessageW(Control(kIdPortEdit), WM_GETFONT, 0, 0)),
             sizeof(font), &font);
  EXPECT_STREQ(font.lfFaceName, L"Tahoma");
  EXPECT_EQ(font.lfHeight, -11);  // 8 points at 96 dpi
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(
                 Control(kIdPortSettingsButton), WM_GETFONT, 0, 0)),
             sizeof(font), &font);
  EXPECT_STREQ(font.lfFaceName, L"Arial");
  EXPECT_EQ(font.lfWeight, FW_BOLD);

  HDC dc = CreateCompatibleDC(nullptr);
  HWND caller_panel = Control(kIdCallerIdPanel);
  HWND label =
      FindWindowExW(caller_panel, nullptr, L"Static", L"Bildirim Portu");
  ASSERT_TRUE(label);
  SendMessageW(caller_panel, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(label));
  EXPECT_EQ(GetTextColor(dc),
            RGB(kLabelColour.red, kLabelColour.green, kLabelColour.blue));
  // The read-only log pane is black on white.
  HWND memo = Control(kIdLogPane);
  LRESULT brush = SendMessageW(GetParent(memo), WM_CTLCOLORSTATIC,
                               reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(memo));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH)));
  DeleteDC(dc);
}

TEST_F(SettingsWindowTest, HandCursorOnEveryButtonButBaglan) {
  HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  for (int id : {kIdSaveButton, kIdApplyButton, kIdHideButton, kIdCloseButton,
                 kIdTestPortButton, kIdOpenPortTestButton,
                 kIdPortSettingsButton, kIdModemPortTestButton,
                 kIdModemPortSettingsButton, kIdDestinationsButton}) {
    SCOPED_TRACE(id);
    SetCursor(nullptr);
    HWND button = Control(id);
    SendMessageW(button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), hand);
  }
  SetCursor(nullptr);
  HWND connect_button = Control(kIdConnectButton);
  SendMessageW(connect_button, WM_SETCURSOR,
               reinterpret_cast<WPARAM>(connect_button),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), hand);
}

TEST_F(SettingsWindowTest, HintsOnTheLogPaneAndTheComPortButton) {
  HWND tips = nullptr;
  while ((tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr))) {
    if (GetWindow(tips, GW_OWNER) == window().hwnd()) break;
  }
  ASSERT_TRUE(tips);
  for (auto [id, hint] :
       {std::pair{kIdLogPane, L"İçeriği temizlemek için çift tıklayınız"},
        std::pair{kIdModemLogPane, L"İçeriği temizlemek için çift tıklayınız"},
        std::pair{kIdPortSettingsButton, L"Kapat"},
        std::pair{kIdModemPortSettingsButton, L"Kapat"}}) {
    wchar_t text[128] = {};
    TTTOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.hwnd = window().hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(Control(id));
    info.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, hint);
  }
}

TEST_F(SettingsWindowTest, UserActionsReachTheListener) {
  struct Case {
    int id;
    const char* call;
  };
  const Case buttons[] = {
      {kIdSaveButton, "Kaydet"},
      {kIdApplyButton, "Uygula"},
      {kIdHideButton, "Gizle"},
      {kIdCloseButton, "Kapat"},
      {kIdTestPortButton, "PortuTestEt"},
      {kIdOpenPortTestButton, "TestEkrani"},
      {kIdPortSettingsButton, "ComportAyarlari"},
      {kIdDestinationsButton, "Hedefler"},
  };
  window().SetControlVisible(SettingsShown::kSerialPanel, true);
  for (const Case& c : buttons) {
    SCOPED_TRACE(c.call);
    SendMessageW(Control(c.id), BM_CLICK, 0, 0);
    EXPECT_EQ(listener_.Count(c.call), 1);
  }
  SendMessageW(Control(kIdConnectButton), BM_CLICK, 0, 0);
  EXPECT_EQ(listener_.calls.size(), std::size(buttons));
  // The modem panel's two buttons ask for the same dialogs.
  window().SetControlVisible(SettingsShown::kModemPanel, true);
  SendMessageW(Control(kIdModemPortTestButton), BM_CLICK, 0, 0);
  SendMessageW(Control(kIdModemPortSettingsButton), BM_CLICK, 0, 0);
  EXPECT_EQ(listener_.Count("TestEkrani"), 2);
  EXPECT_EQ(listener_.Count("ComportAyarlari"), 2);
  window().SetControlVisible(SettingsShown::kModemPanel, false);

  window().SetCallerIdEnabled(false);
  SendMessageW(Control(kIdCallerIdEnabled), BM_CLICK, 0, 0);
  EXPECT_EQ(listener_.Count("CheckBox"), 1);
  EXPECT_TRUE(window().CallerIdEnabled());

  window().SetSourceIndex(0);
  SendMessageW(Control(kIdSourceItem0 + 2), BM_CLICK, 0, 0);
  EXPECT_EQ(listener_.Count("RadioGroup"), 1);
  EXPECT_EQ(window().SourceIndex(), 2);
  // Choosing the item already chosen is no change.
  SendMessageW(Control(kIdSourceItem0 + 2), BM_CLICK, 0, 0);
  EXPECT_EQ(listener_.Count("RadioGroup"), 1);
  SendMessageW(Control(kIdSourceItem0 + 3), BM_CLICK, 0, 0);
  EXPECT_EQ(listener_.Count("RadioGroup"), 2);
  EXPECT_EQ(window().SourceIndex(), 3);

  HWND combo = Control(kIdArgDeviceKind);
  SendMessageW(combo, CB_SETCURSEL, 3, 0);
  SendMessageW(GetParent(combo), WM_COMMAND,
               MAKEWPARAM(kIdArgDeviceKind, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  EXPECT_EQ(listener_.Count("ComboCihaz"), 1);
  EXPECT_EQ(window().ComboIndex(SettingsCombo::kArgDeviceKind), 3);

  SendMessageW(Control(kIdLogPane), WM_LBUTTONDBLCLK, MK_LBUTTON,
               MAKELPARAM(5, 5));
  EXPECT_EQ(listener_.Count("LogPaneDoubleClicked"), 1);
  SendMessageW(Control(kIdModemLogPane), WM_LBUTTONDBLCLK, MK_LBUTTON,
               MAKELPARAM(5, 5));
  EXPECT_EQ(listener_.Count("LogPaneDoubleClicked"), 2);

  // The close box asks the presenter and leaves the window as it is.
  SendMessageW(window().hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(listener_.Count("CloseRequest"), 1);
  EXPECT_TRUE(IsWindowVisible(window().hwnd()));
}

TEST_F(SettingsWindowTest, SettersRaiseNothing) {
  window().SetCallerIdEnabled(true);
  window().SetSourceIndex(1);
  window().SetComboIndex(SettingsCombo::kArgDeviceKind, 4);
  window().SetComboIndex(SettingsCombo::kArgComPort, 1);
  window().SetEditText(SettingsEdit::kPortNumber, u"18900");
  window().SetSpinValue(SettingsSpin::kNumberStart, 3);
  window().SetSpinValue(SettingsSpin::kLineStart, 1);
  window().SetSpinValue(SettingsSpin::kLineLength, 2);
  window().SetEditText(SettingsEdit::kModemCommands, u"AT#CID=1;ATS0=0");
  window().SetEditText(SettingsEdit::kModemLine, u"3");
  window().ClearLogPane();
  EXPECT_TRUE(listener_.calls.empty());
  EXPECT_TRUE(window().CallerIdEnabled());
  EXPECT_EQ(window().SourceIndex(), 1);
  EXPECT_EQ(SendMessageW(Control(kIdSourceItem0 + 1), BM_GETCHECK, 0, 0),
            BST_CHECKED);
  EXPECT_EQ(window().ComboIndex(SettingsCombo::kArgDeviceKind), 4);
  EXPECT_EQ(WindowText(Control(kIdArgComPort)), u"COM 2");
  EXPECT_EQ(window().EditText(SettingsEdit::kPortNumber), u"18900");
  EXPECT_EQ(window().SpinValue(SettingsSpin::kNumberStart), 3);
  EXPECT_EQ(WindowText(Control(kIdLineStart)), u"1");
  EXPECT_EQ(window().SpinValue(SettingsSpin::kLineLength), 2);
  EXPECT_EQ(WindowText(Control(kIdModemCommands)), u"AT#CID=1;ATS0=0");
  EXPECT_EQ(window().EditText(SettingsEdit::kModemLine), u"3");

  window().SetSourceIndex(-1);
  EXPECT_EQ(window().SourceIndex(), -1);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(SendMessageW(Control(kIdSourceItem0 + i), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
  }
  window().SetComboIndex(SettingsCombo::kArgDeviceKind, -1);
  EXPECT_EQ(window().ComboIndex(SettingsCombo::kArgDeviceKind), -1);
}

TEST_F(SettingsWindowTest, EditPortOffersEveryKeystrokeToTheRule) {
  HWND edit = Control(kIdPortEdit);
  SetFocus(edit);
  window().SetEditText(SettingsEdit::kPortNumber, u"189");
  SendMessageW(edit, EM_SETSEL, 3, 3);
  for (wchar_t typed : {L'0', L'x', L'.', L'0', L'-'}) {
    SendMessageW(edit, WM_CHAR, typed, 0);
  }
  EXPECT_EQ(window().EditText(SettingsEdit::kPortNumber), u"18900");
  // A minus sign is a number's start.
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_CHAR, L'-', 0);
  EXPECT_EQ(window().EditText(SettingsEdit::kPortNumber), u"-");
  // Backspace is not filtered.
  SendMessageW(edit, WM_CHAR, VK_BACK, 0);
  EXPECT_EQ(window().EditText(SettingsEdit::kPortNumber), u"");

  // Esc reaches the presenter, also through the keyboard navigation.
  MSG escape = {};
  escape.hwnd = edit;
  escape.message = WM_KEYDOWN;
  escape.wParam = VK_ESCAPE;
  EXPECT_TRUE(SendMessageW(edit, WM_GETDLGCODE, VK_ESCAPE,
                           reinterpret_cast<LPARAM>(&escape)) &
              DLGC_WANTMESSAGE);
  SendMessageW(edit, WM_CHAR, VK_ESCAPE, 0);
  EXPECT_EQ(listener_.Count("PortEditEscaped"), 1);
  SetFocus(Control(kIdTestPortButton));
  EXPECT_EQ(listener_.Count("PortEditLeft"), 1);
}

TEST_F(SettingsWindowTest, SpinEditsStayWithinTheirRangeAndCannotBeTyped) {
  window().SetControlVisible(SettingsShown::kSerialPanel, true);
  HWND spin = Control(kIdNumberLength);
  EXPECT_TRUE(GetWindowLongPtrW(spin, GWL_STYLE) & ES_READONLY);
  window().SetSpinValue(SettingsSpin::kNumberLength, 900);
  EXPECT_EQ(window().SpinValue(SettingsSpin::kNumberLength), 500);
  EXPECT_EQ(WindowText(spin), u"500");
  window().SetSpinValue(SettingsSpin::kNumberLength, -4);
  EXPECT_EQ(window().SpinValue(SettingsSpin::kNumberLength), 0);

  // The arrow keys step by one inside the range.
  SetFocus(spin);
  SendMessageW(spin, WM_KEYDOWN, VK_UP, 0);
  SendMessageW(spin, WM_KEYUP, VK_UP, 0);
  EXPECT_EQ(window().SpinValue(SettingsSpin::kNumberLength), 1);
  SendMessageW(spin, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageW(spin, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(window().SpinValue(SettingsSpin::kNumberLength), 0);
}

TEST_F(SettingsWindowTest, VisibilityFlagsAreTheControlsOwn) {
  window().SetControlVisible(SettingsShown::kCallerIdPanel, false);
  window().SetControlVisible(SettingsShown::kArgComPort, true);
  HWND combo = Control(kIdArgComPort);
  EXPECT_TRUE(GetWindowLongPtrW(combo, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(IsWindowVisible(combo));
  window().SetControlVisible(SettingsShown::kCallerIdPanel, true);
  EXPECT_TRUE(IsWindowVisible(combo));
  window().SetControlVisible(SettingsShown::kArgComPort, false);
  EXPECT_FALSE(IsWindowVisible(combo));
}

TEST_F(SettingsWindowTest, LogLinesAndCaption) {
  window().AddLogLines({u"Kanal No : 0   Caller ID : 555"});
  window().AddLogLines({u" Bağlantı Başarısız..."});
  EXPECT_EQ(WindowText(Control(kIdLogPane)),
            u"Kanal No : 0   Caller ID : 555\r\n Bağlantı Başarısız...\r\n");
  EXPECT_EQ(WindowText(Control(kIdModemLogPane)),
            WindowText(Control(kIdLogPane)));
  // Whole lines go, also one long enough to wrap in the pane.
  const std::u16string long_line(300, u'7');
  window().AddLogLines({long_line, u"c"});
  window().RemoveFirstLogLines(3);
  window().AddLogLines({u"d"});
  EXPECT_EQ(WindowText(Control(kIdLogPane)), u"c\r\nd\r\n");
  window().ClearLogPane();
  EXPECT_EQ(WindowText(Control(kIdLogPane)), u"");
  window().AddLogLines({u"e", u"f"});
  window().RemoveFirstLogLines(1);
  EXPECT_EQ(WindowText(Control(kIdLogPane)), u"f\r\n");
  EXPECT_EQ(WindowText(Control(kIdModemLogPane)), u"f\r\n");
  window().SetArgChoiceLabel(u"AnaMakina IP");
  EXPECT_EQ(WindowText(Control(kIdArgChoiceLabel)), u"AnaMakina IP");
  window().SetCaption(u"VELMORIS Orvanta s1.02.05f");
  EXPECT_EQ(WindowText(window().hwnd()), u"VELMORIS Orvanta s1.02.05f");
}

TEST_F(SettingsWindowTest, HidingRemovesTheTaskbarButtonWindow) {
  window().HideWindow();
  EXPECT_FALSE(IsWindowVisible(window().hwnd()));
  EXPECT_FALSE(window().WindowVisible());
  window().ShowWindow();
  EXPECT_TRUE(IsWindowVisible(window().hwnd()));
  EXPECT_TRUE(window().WindowVisible());
  ::ShowWindow(window().hwnd(), SW_MINIMIZE);
  window().ShowWindow();
  EXPECT_FALSE(IsIconic(window().hwnd()));
}

}  // namespace
}  // namespace orvanta::win
