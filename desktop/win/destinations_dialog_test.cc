#include "desktop/win/destinations_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "desktop/test/recording_destinations_listener.h"
#include "desktop/test/win_modal.h"
#include "desktop/win/win_text.h"

namespace orvanta::win {
namespace {

using Field = DestinationsView::Field;
using Check = DestinationsView::Check;
using Panel = DestinationsView::Panel;
using Button = DestinationsView::Button;
using P = DestinationsPart;

using RecordingListener = RecordingDestinationsListener;

RECT PlaceInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect),
                  2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    DispatchWithNavigation(message);
  }
}

// One dialog for the suite: under Wine without a window manager every
// unmapping waits for one, so windows are not made per test.
class DestinationsDialogTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { dialog_ = new DestinationsDialog; }
  static void TearDownTestSuite() {
    delete dialog_;
    dialog_ = nullptr;
  }
  void SetUp() override { dialog().SetListener(&listener); }
  void TearDown() override { dialog().SetListener(nullptr); }

  static DestinationsDialog& dialog() { return *dialog_; }
  static HWND Control(P part) { return dialog().ControlOf(part); }

  RecordingListener listener{dialog()};

 private:
  static DestinationsDialog* dialog_;
};
DestinationsDialog* DestinationsDialogTest::dialog_ = nullptr;

TEST_F(DestinationsDialogTest, ControlsSitAtTheirPlacesInTheTable) {
  EXPECT_EQ(WindowText(dialog().hwnd()), u"Hedefler");
  RECT client;
  GetClientRect(dialog().hwnd(), &client);
  EXPECT_EQ(client.right, kDestinationsClientSize.width);
  EXPECT_EQ(client.bottom, kDestinationsClientSize.height);
  EXPECT_FALSE(GetWindowLongPtrW(dialog().hwnd(), GWL_STYLE) & WS_THICKFRAME);

  for (const DestinationsPlacement& placed : kDestinationsLayout) {
    SCOPED_TRACE(static_cast<int>(placed.part));
    HWND control = Control(placed.part);
    ASSERT_TRUE(control);
    EXPECT_EQ(GetDlgCtrlID(control), DestinationsDialog::IdOf(placed.part));
    EXPECT_EQ(GetParent(control),
              OnDialog(placed) ? dialog().hwnd() : Control(placed.parent));
    const RECT place = PlaceInParent(control);
    EXPECT_EQ(place.left, placed.rect.left);
    EXPECT_EQ(place.top, placed.rect.top);
    if (FitsText(placed)) {
      // A label as wide as its text, left of the field it names.
      EXPECT_GT(place.right, 10);
      EXPECT_LT(place.left + place.right, 96);
    } else {
      EXPECT_EQ(place.right, placed.rect.width);
      // A drop-down list takes its closed height from the font.
      if (placed.part != P::kWebhookMethod) {
        EXPECT_EQ(place.bottom, placed.rect.height);
      }
    }
  }
  const LONG_PTR password =
      GetWindowLongPtrW(Control(P::kMqttPassword), GWL_STYLE);
  EXPECT_TRUE(password & ES_PASSWORD);
  EXPECT_TRUE(GetWindowLongPtrW(Control(P::kWebhookHeaders), GWL_STYLE) &
              ES_MULTILINE);
  EXPECT_EQ(WindowText(Control(P::kCancelButton)), u"\u0130ptal");
}

// The presenter's values come back as they went in and raise nothing.
TEST_F(DestinationsDialogTest, SettersShowTheValuesAndStayQuiet) {
  dialog().SetRows({u"Webhook 1: POST https://bir.example/", u"MQTT: (yok)"},
                   1);
  dialog().SetText(Field::kWebhookHeaders, u"A: 1\nB: 2");
  dialog().SetText(Field::kMqttPassword, u"gizli");
  dialog().SetText(Field::kMqttCaFile, u"/etc/ca.pem");
  dialog().SetChecked(Check::kMqttEnabled, true);
  dialog().SetChecked(Check::kWebhookEnabled, false);
  dialog().SetMethodIndex(1);
  dialog().SetStatus(u"Kaydedilmedi: bir\niki");
  dialog().SetButtonEnabled(Button::kTest, false);
  EXPECT_TRUE(listener.heard.empty());

  HWND list = Control(P::kList);
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(WindowText(Control(P::kWebhookHeaders)), u"A: 1\r\nB: 2");
  EXPECT_EQ(dialog().Text(Field::kWebhookHeaders), u"A: 1\nB: 2");
  EXPECT_EQ(dialog().Text(Field::kMqttPassword), u"gizli");
  EXPECT_EQ(dialog().Text(Field::kMqttCaFile), u"/etc/ca.pem");
  EXPECT_TRUE(dialog().Checked(Check::kMqttEnabled));
  EXPECT_FALSE(dialog().Checked(Check::kWebhookEnabled));
  EXPECT_EQ(dialog().MethodIndex(), 1);
  EXPECT_EQ(WindowText(Control(P::kWebhookMethod)), u"GET");
  EXPECT_EQ(WindowText(Control(P::kStatus)), u"Kaydedilmedi: bir\r\niki");
  EXPECT_FALSE(IsWindowEnabled(Control(P::kTestButton)));
  dialog().SetButtonEnabled(Button::kTest, true);
  EXPECT_TRUE(IsWindowEnabled(Control(P::kTestButton)));

  for (auto [panel, webhook, mqtt] : {std::tuple{Panel::kWebhook, true, false},
                                      std::tuple{Panel::kMqtt, false, true},
                                      std::tuple{Panel::kNone, false, false}}) {
    dialog().ShowPanel(panel);
    EXPECT_EQ((GetWindowLongPtrW(Control(P::kWebhookPanel), GWL_STYLE) &
               WS_VISIBLE) != 0,
              webhook);
    EXPECT_EQ((GetWindowLongPtrW(Control(P::kMqttPanel), GWL_STYLE) &
               WS_VISIBLE) != 0,
              mqtt);
  }
}

TEST_F(DestinationsDialogTest, TheUsersActionsReachTheListener) {
  dialog().SetRows({u"bir", u"iki"}, 0);
  dialog().SetButtonEnabled(Button::kRemove, true);
  dialog().SetButtonEnabled(Button::kTest, true);
  for (P button : {P::kAddButton, P::kRemoveButton, P::kTestButton,
                   P::kApplyButton, P::kSaveButton}) {
    SendMessageW(Control(button), BM_CLICK, 0, 0);
  }
  // Typed text: the edit control reports it as the user's.
  SetWindowTextW(Control(P::kWebhookUrl), L"https://yeni.example/");
  SendMessageW(Control(P::kWebhookEnabled), BM_CLICK, 0, 0);
  HWND method = Control(P::kWebhookMethod);
  SendMessageW(method, CB_SETCURSEL, 0, 0);
  SendMessageW(GetParent(method), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(method), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(method));
  HWND list = Control(P::kList);
  SetFocus(list);
  SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
  Pump();
  EXPECT_EQ(listener.heard,
            (std::vector<std::string>{"add", "remove", "test", "apply", "save",
                                      "edited", "edited", "edited", "row 1"}));
  EXPECT_EQ(dialog().Text(Field::kWebhookUrl), u"https://yeni.example/");
}

// The dialog runs until the presenter closes it: here by "İptal", then by
// Esc; the other windows of the program wait meanwhile.
TEST_F(DestinationsDialogTest, ShowsModallyUntilClosed) {
  DestinationsDialog other;  // stands in for the settings window
  ShowWindow(other.hwnd(), SW_SHOW);
  bool other_enabled = true;
  RunInsideModalLoop([&] {
    other_enabled = IsWindowEnabled(other.hwnd()) != FALSE;
    PostMessageW(Control(P::kCancelButton), BM_CLICK, 0, 0);
  });
  dialog().ShowModal();
  EXPECT_FALSE(other_enabled);
  EXPECT_TRUE(IsWindowEnabled(other.hwnd()));
  EXPECT_FALSE(IsWindowVisible(dialog().hwnd()));

  RunInsideModalLoop([&] {
    HWND url = Control(P::kWebhookUrl);
    dialog().ShowPanel(Panel::kWebhook);
    SetFocus(url);
    PostMessageW(url, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  dialog().ShowModal();
  EXPECT_EQ(listener.heard, (std::vector<std::string>{"cancel", "cancel"}));
}

}  // namespace
}  // namespace orvanta::win
