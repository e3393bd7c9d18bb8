#include "desktop/qt/destinations_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "desktop/test/modal.h"
#include "desktop/test/recording_destinations_listener.h"

namespace orvanta {
namespace {

using Field = DestinationsView::Field;
using Check = DestinationsView::Check;
using Panel = DestinationsView::Panel;
using Button = DestinationsView::Button;
using P = DestinationsPart;

using RecordingListener = RecordingDestinationsListener;

class QtDestinationsDialogTest : public testing::Test {
 protected:
  QtDestinationsDialogTest() { dialog.SetListener(&listener); }

  template <typename Widget>
  Widget* Of(P part) {
    auto* widget = qobject_cast<Widget*>(dialog.Of(part));
    EXPECT_TRUE(widget) << static_cast<int>(part);
    return widget;
  }

  QtDestinationsDialog dialog;
  RecordingListener listener{dialog};
};

TEST_F(QtDestinationsDialogTest, ControlsSitAtTheirPlacesInTheTable) {
  EXPECT_EQ(dialog.windowTitle(), "Hedefler");
  EXPECT_EQ(dialog.size(), QSize(kDestinationsClientSize.width,
                                 kDestinationsClientSize.height));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  for (const DestinationsPlacement& placed : kDestinationsLayout) {
    SCOPED_TRACE(static_cast<int>(placed.part));
    QWidget* control = dialog.Of(placed.part);
    ASSERT_TRUE(control);
    EXPECT_EQ(control->parentWidget(),
              OnDialog(placed) ? &dialog : dialog.Of(placed.parent));
    EXPECT_EQ(control->pos(), QPoint(placed.rect.left, placed.rect.top));
    if (FitsText(placed)) {
      // Its whole text, left of the field it names.
      EXPECT_GE(control->width(), control->sizeHint().width());
      EXPECT_LT(control->x() + control->width(), 96);
    } else {
      EXPECT_EQ(control->size(), QSize(placed.rect.width, placed.rect.height));
    }
  }
  EXPECT_EQ(Of<QLineEdit>(P::kMqttPassword)->echoMode(), QLineEdit::Password);
  EXPECT_EQ(Of<QPushButton>(P::kCancelButton)->text(),
            QString::fromUtf8("İptal"));
  // Texts that name fields fit beside them.
  for (P button : {P::kAddButton, P::kRemoveButton, P::kTestButton,
                   P::kSaveButton, P::kApplyButton, P::kCancelButton}) {
    auto* made = Of<QPushButton>(button);
    EXPECT_LE(made->fontMetrics().horizontalAdvance(made->text()) + 8,
              made->width())
        << made->text().toStdString();
  }
}

TEST_F(QtDestinationsDialogTest, SettersShowTheValuesAndStayQuiet) {
  dialog.SetRows({u"Webhook 1: POST https://bir.example/", u"MQTT: (yok)"}, 1);
  dialog.SetText(Field::kWebhookHeaders, u"A: 1\nB: 2");
  dialog.SetText(Field::kMqttPassword, u"gizli");
  dialog.SetChecked(Check::kMqttEnabled, true);
  dialog.SetMethodIndex(1);
  dialog.SetTestAnswer(u"Ula\u015fmad\u0131: HTTP 404: <html>yok</html>");
  dialog.SetButtonEnabled(Button::kRemove, false);
  dialog.ShowPanel(Panel::kMqtt);
  EXPECT_TRUE(listener.heard.empty());

  EXPECT_EQ(Of<QListWidget>(P::kList)->count(), 2);
  EXPECT_EQ(Of<QListWidget>(P::kList)->currentRow(), 1);
  EXPECT_EQ(Of<QPlainTextEdit>(P::kWebhookHeaders)->toPlainText(),
            "A: 1\nB: 2");
  EXPECT_EQ(dialog.Text(Field::kWebhookHeaders), u"A: 1\nB: 2");
  EXPECT_EQ(dialog.Text(Field::kMqttPassword), u"gizli");
  EXPECT_TRUE(dialog.Checked(Check::kMqttEnabled));
  EXPECT_EQ(dialog.MethodIndex(), 1);
  EXPECT_EQ(Of<QComboBox>(P::kWebhookMethod)->currentText(), "GET");
  // A server's markup is shown as it came, never drawn.
  EXPECT_EQ(Of<QLabel>(P::kTestAnswer)->textFormat(), Qt::PlainText);
  EXPECT_FALSE(Of<QPushButton>(P::kRemoveButton)->isEnabled());
  EXPECT_TRUE(dialog.Of(P::kMqttPanel)->isVisibleTo(&dialog));
  EXPECT_FALSE(dialog.Of(P::kWebhookPanel)->isVisibleTo(&dialog));

  dialog.SetRows({u"Webhook 1: GET https://bir.example/"}, 0);
  EXPECT_EQ(Of<QListWidget>(P::kList)->count(), 1);
  EXPECT_EQ(Of<QListWidget>(P::kList)->item(0)->text(),
            "Webhook 1: GET https://bir.example/");
  EXPECT_TRUE(listener.heard.empty());
}

TEST_F(QtDestinationsDialogTest, TheUsersActionsReachTheListener) {
  dialog.SetRows({u"bir", u"iki"}, 0);
  dialog.ShowPanel(Panel::kWebhook);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  for (P button : {P::kAddButton, P::kRemoveButton, P::kTestButton,
                   P::kApplyButton, P::kSaveButton}) {
    Of<QPushButton>(button)->click();
  }
  QTest::keyClicks(Of<QLineEdit>(P::kWebhookUrl), "h");
  QTest::keyClicks(Of<QPlainTextEdit>(P::kWebhookHeaders), "A");
  Of<QCheckBox>(P::kWebhookEnabled)->click();
  QTest::keyClick(Of<QListWidget>(P::kList), Qt::Key_Down);
  EXPECT_EQ(listener.heard,
            (std::vector<std::string>{"add", "remove", "test", "apply", "save",
                                      "edited", "edited", "edited", "row 1"}));
  EXPECT_EQ(dialog.Text(Field::kWebhookUrl), u"h");
  dialog.hide();
}

// Runs until the presenter closes it; Esc and the close box only ask.
TEST_F(QtDestinationsDialogTest, ShowsModallyUntilClosed) {
  WhenModalAppears([&](QWidget*) { QTest::keyClick(&dialog, Qt::Key_Escape); });
  dialog.ShowModal();
  WhenModalAppears([&](QWidget*) {
    // Enter in a field presses nothing: it must not save by accident.
    QTest::keyClick(Of<QLineEdit>(P::kMqttUrl), Qt::Key_Return);
    Of<QPushButton>(P::kCancelButton)->click();
  });
  dialog.ShowModal();
  EXPECT_EQ(listener.heard, (std::vector<std::string>{"cancel", "cancel"}));
  EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace orvanta
