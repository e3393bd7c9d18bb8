// The modal windows: the serial setup dialog, the port test window and the
// message boxes.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "desktop/qt/anchors.h"
#include "sender/qt/port_test_window.h"
#include "sender/qt/qt_shell.h"
#include "sender/qt/setup_dialog.h"
#include "desktop/test/modal.h"
#include "sender/qt/widgets.h"

namespace orvanta {
namespace {

TEST(QtSetupDialogTest, ListsSitInTheGroupWithTheirLabels) {
  QtSetupDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Setup");
  EXPECT_EQ(dialog.size(),
            QSize(kSetupDialogClientSize.width, kSetupDialogClientSize.height));
  EXPECT_EQ(dialog.group_box->title(), " Settings ");
  EXPECT_EQ(dialog.group_box->geometry(), ToQRect(kSetupDialogGroupBox));
  const char* labels[] = {"Port",      "Baud rate", "Data bits",
                          "Stop bits", "Parity",    "Flow control"};
  for (int i = 0; i < SetupDialogView::kListCount; ++i) {
    EXPECT_EQ(dialog.labels[i]->text(), labels[i]);
    EXPECT_EQ(dialog.labels[i]->pos(), ToQRect(SetupDialogLabel(i)).topLeft());
    EXPECT_LT(dialog.labels[i]->x() + dialog.labels[i]->sizeHint().width(),
              SetupDialogList(i).left);
    EXPECT_EQ(dialog.lists[i]->geometry(), ToQRect(SetupDialogList(i)));
    EXPECT_FALSE(dialog.lists[i]->isEditable());
  }
  EXPECT_EQ(dialog.ok_button->geometry(), ToQRect(kSetupDialogOkButton));
  EXPECT_EQ(dialog.ok_button->text(), "OK");
  EXPECT_TRUE(dialog.ok_button->isDefault());
  EXPECT_EQ(dialog.cancel_button->geometry(),
            ToQRect(kSetupDialogCancelButton));
  EXPECT_EQ(dialog.cancel_button->text(), "Cancel");
}

TEST(QtSetupDialogTest, EnterConfirmsTheUsersChoiceAndEscCancels) {
  QtSetupDialog dialog;
  dialog.SetList(SetupDialogView::kPort, {u"ttyS0", u"ttyUSB0"}, -1);
  dialog.SetList(SetupDialogView::kBaudRate, {u"Custom", u"110", u"9600"}, 2);
  EXPECT_EQ(dialog.ChosenIndex(SetupDialogView::kPort), -1);
  EXPECT_EQ(dialog.ChosenIndex(SetupDialogView::kBaudRate), 2);

  WhenModalAppears([&](QWidget*) {
    QTest::keyClick(dialog.lists[SetupDialogView::kPort], Qt::Key_Down);
    QTest::keyClick(&dialog, Qt::Key_Return);
  });
  EXPECT_TRUE(dialog.ShowModal());
  EXPECT_EQ(dialog.ChosenIndex(SetupDialogView::kPort), 0);

  WhenModalAppears([&](QWidget*) { QTest::keyClick(&dialog, Qt::Key_Escape); });
  EXPECT_FALSE(dialog.ShowModal());
  WhenModalAppears([&](QWidget*) { dialog.cancel_button->click(); });
  EXPECT_FALSE(dialog.ShowModal());
}

TEST(PaneTextTest, LineBreaksStayAndOtherControlsShowAsSymbols) {
  struct Case {
    std::u16string in;
    bool line_breaks;
    std::u16string shown;
  };
  const std::vector<Case> cases = {
      {u"S123E", true, u"S123E"},
      {u"a\r\nb\rc\nd\te", true, u"a\nb\nc\nd\te"},
      {u"\r\n\r\n", true, u"\n\n"},
      {std::u16string(u"\0\x01\x1b\x7f", 4), true, u"\u2400\u2401\u241b\u2421"},
      {u"\r", false, u"\u240d"},
      {u"\u015e\u00e7", true, u"\u015e\u00e7"},
  };
  for (const Case& c : cases) {
    bool after_cr = false;
    EXPECT_EQ(PaneText(c.in, c.line_breaks, after_cr), c.shown);
  }
  // A CR LF split over two chunks is still one break.
  bool after_cr = false;
  EXPECT_EQ(PaneText(u"12\r", true, after_cr), u"12\n");
  EXPECT_EQ(PaneText(u"\n34", true, after_cr), u"34");
}

class KapatListener : public PortTestViewListener {
 public:
  void OnClose() override { ++clicks; }
  int clicks = 0;
};

TEST(QtPortTestWindowTest, PanesFillTheWindowAboveTheButtonBar) {
  KapatListener listener;
  QtPortTestWindow window(listener);
  EXPECT_EQ(window.windowTitle(), "Comport Test");
  EXPECT_EQ(window.size(), QSize(837, 519));
  EXPECT_EQ(window.text_pane->geometry(), QRect(0, 0, 652, 478));
  EXPECT_EQ(window.byte_pane->geometry(), QRect(652, 0, 185, 478));
  EXPECT_EQ(window.button_panel->geometry(), QRect(0, 478, 837, 41));
  EXPECT_EQ(window.close_button->geometry(), QRect(728, 6, 75, 25));
  EXPECT_EQ(window.close_button->text(), "Kapat");
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(window.text_pane->isReadOnly());
  EXPECT_TRUE(window.text_pane->toPlainText().isEmpty());
  EXPECT_TRUE(window.byte_pane->toPlainText().isEmpty());
}

TEST(QtPortTestWindowTest, ChunksRunOnAfterTheUsersTextAndKapatIsReported) {
  KapatListener listener;
  QtPortTestWindow window(listener);
  window.text_pane->setPlainText("typed ");
  window.AppendText(u"S12");
  window.AppendText(u"3E");
  for (const char16_t* line : {u"83 (S)", u"49 (1)", u"13 (\r)"})
    window.AddByteLine(line);
  EXPECT_EQ(window.text_pane->toPlainText(), "typed S123E");
  EXPECT_EQ(window.byte_pane->toPlainText(),
            QString::fromUtf16(u"83 (S)\n49 (1)\n13 (\u240d)"));

  WhenModalAppears([&](QWidget*) {
    QTest::keyClick(&window, Qt::Key_Escape);  // no Cancel button: stays open
    window.close_button->click();
    EXPECT_TRUE(window.isVisible());
    window.Close();
  });
  window.ShowModal();
  EXPECT_EQ(listener.clicks, 1);
  EXPECT_FALSE(window.isVisible());

  WhenModalAppears([&](QWidget*) { window.close(); });  // the close box
  window.ShowModal();
  EXPECT_FALSE(window.isVisible());
}

struct BoxSeen {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton default_button = QMessageBox::NoButton;
};

// Reads the box on screen, then answers it with a key.
void AnswerBox(BoxSeen& seen, Qt::Key key) {
  WhenModalAppears([&seen, key](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    seen = {box->windowTitle(), box->text(), box->icon(),
            box->standardButtons(), box->standardButton(box->defaultButton())};
    QTest::keyClick(box, key);
  });
}

TEST(QtShellTest, MessageBoxesCarryTheirTitleIconAndButtons) {
  QtShell shell({u"/tmp/Orvanta", false, {}});
  BoxSeen seen;

  AnswerBox(seen, Qt::Key_Return);
  EXPECT_EQ(shell.ShowMessage(u"Program kapatılsın mı ?", u"Soru",
                              MessageIcon::kQuestion, MessageButtons::kYesNo),
            MessageAnswer::kYes);
  EXPECT_EQ(seen.title, "Soru");
  EXPECT_EQ(seen.text, QString::fromUtf8("Program kapatılsın mı ?"));
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(seen.default_button, QMessageBox::Yes);

  AnswerBox(seen, Qt::Key_N);
  EXPECT_EQ(shell.ShowMessage(u"?", u"Soru", MessageIcon::kQuestion,
                              MessageButtons::kYesNo),
            MessageAnswer::kNo);

  AnswerBox(seen, Qt::Key_Return);
  EXPECT_EQ(shell.ShowMessage(u"UDP iletişim kanalı açılamadı.\r\nPort No : 1",
                              u"Bilgi", MessageIcon::kInformation,
                              MessageButtons::kOk),
            MessageAnswer::kOk);
  EXPECT_EQ(seen.text,
            QString::fromUtf8("UDP iletişim kanalı açılamadı.\nPort No : 1"));
  EXPECT_EQ(seen.icon, QMessageBox::Information);
  EXPECT_EQ(seen.buttons, QMessageBox::Ok);

  AnswerBox(seen, Qt::Key_Return);
  shell.ShowMessage(u"x.", u"Orvanta", MessageIcon::kError,
                    MessageButtons::kOk);
  EXPECT_EQ(seen.title, "Orvanta");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
}

TEST(QtShellTest, HeadlessAnswersWithTheDefaultButtonAtOnce) {
  QtShell shell({u"/tmp/Orvanta", true, {}});
  EXPECT_EQ(shell.ShowMessage(u"Program kapatılsın mı ?", u"Soru",
                              MessageIcon::kQuestion, MessageButtons::kYesNo),
            MessageAnswer::kYes);
  EXPECT_EQ(shell.ShowMessage(u"x", u"Bilgi", MessageIcon::kInformation,
                              MessageButtons::kOk),
            MessageAnswer::kOk);
}

TEST(QtShellTest, TrayCarriesTheMenuAndTheCutTip) {
  QtShell shell({u"/tmp/Orvanta", false, {}});
  const QList<QAction*> items = shell.TrayMenu()->actions();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(items[0]->text(), "Ayarlar");
  EXPECT_EQ(items[1]->text(), "Hedefler");
  EXPECT_EQ(items[2]->text(), QString::fromUtf8("Programı Kapat"));
  EXPECT_EQ(shell.TrayIcon()->toolTip(), "VELMORIS Orvanta");
  shell.SetTrayTip(std::u16string(200, u'x'));
  EXPECT_EQ(shell.TrayIcon()->toolTip().size(), 127);
  EXPECT_FALSE(shell.TrayIcon()->icon().isNull());
  EXPECT_EQ(shell.ExePath(), u"/tmp/Orvanta");
  EXPECT_EQ(shell.SettingsFolder(), u"/tmp/");
  QtShell placed(
      {u"/opt/orvanta/bin/orvanta", false, u"/root/.config/orvanta/"});
  EXPECT_EQ(placed.SettingsFolder(), u"/root/.config/orvanta/");
}

}  // namespace
}  // namespace orvanta
