#include "app/qt/settings_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/qt/widgets.h"

namespace orvanta {
namespace {

// Remembers each user action with what the window showed at that moment.
class RecordingListener : public SettingsViewListener {
 public:
  explicit RecordingListener(QtSettingsWindow& window) : window_(window) {}

  std::vector<std::string> calls;
  bool checked_at_click = false;
  int radio_at_click = -2;
  int combo_at_change = -2;

  void OnCheckBoxClick() override {
    checked_at_click = window_.CheckBoxCallerIDKullanChecked();
    calls.push_back("CheckBox");
  }
  void OnRadioGroupClick() override {
    radio_at_click = window_.RadioGroupCihazIndex();
    calls.push_back("ColumnRadioGroup");
  }
  void OnComboCihazChange() override {
    combo_at_change = window_.ComboIndex(SettingsCombo::kComboCIHAZ);
    calls.push_back("ComboCihaz");
  }
  void OnMemoLogDblClick() override { calls.push_back("MemoLogDblClick"); }
  void OnEditPortEscape() override { calls.push_back("EditPortEscape"); }
  void OnEditPortExit() override { calls.push_back("EditPortExit"); }
  void OnKaydet() override { calls.push_back("Kaydet"); }
  void OnUygula() override { calls.push_back("Uygula"); }
  void OnGizle() override { calls.push_back("Gizle"); }
  void OnKapat() override { calls.push_back("Kapat"); }
  void OnPortuTestEt() override { calls.push_back("PortuTestEt"); }
  void OnTestEkrani() override { calls.push_back("TestEkrani"); }
  void OnComportAyarlari() override { calls.push_back("ComportAyarlari"); }
  void OnCloseRequest() override { calls.push_back("CloseRequest"); }

 private:
  QtSettingsWindow& window_;
};

class QtSettingsWindowTest : public testing::Test {
 protected:
  QtSettingsWindowTest() : listener(window) {
    window.SetListener(&listener);
    for (auto shown : {SettingsShown::kPanelCallerID, SettingsShown::kPanARG,
                       SettingsShown::kPanelDiger}) {
      window.SetControlVisible(shown, true);
    }
    window.ShowWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  QtSettingsWindow window;
  RecordingListener listener;
};

TEST_F(QtSettingsWindowTest, ControlsSitAtTheirPixelPositions) {
  EXPECT_EQ(window.size(), QSize(448, 532));
  EXPECT_EQ(window.minimumSize(), window.maximumSize())
      << "not resizable by dragging";
  EXPECT_TRUE(window.windowFlags() & Qt::WindowMaximizeButtonHint);

  const std::vector<std::pair<QWidget*, QRect>> sized = {
      {window.CheckBoxCallerIDKullan, {8, 5, 259, 19}},
      {window.PanelCallerID, {8, 24, 432, 453}},
      {window.EditPort, {114, 13, 121, 21}},
      {window.sButton4, {262, 12, 143, 25}},
      {window.sLabel2, {24, 51, 383, 68}},
      {window.RadioGroupCihaz, {23, 140, 383, 59}},
      {window.PanARG, {23, 205, 383, 219}},
      {window.ComboCIHAZ, {8, 31, 217, 21}},
      {window.EditIP, {231, 32, 146, 21}},
      {window.ComboPORT, {231, 31, 82, 21}},
      {window.ButtonBaglan, {9, 119, 115, 25}},
      {window.MemoLog, {1, 64, 381, 154}},
      {window.PanelDiger, {24, 205, 383, 219}},
      {window.VmWinButtonComPort, {4, 8, 372, 31}},
      {window.EditBaslama, {144, 50, 201, 21}},
      {window.EditBitis, {144, 74, 201, 21}},
      {window.RxSpinEditNoBaslama, {296, 96, 49, 21}},
      {window.RxSpinEditNoUzunluk, {296, 120, 49, 21}},
      {window.Label25, {8, 181, 329, 13}},
      {window.sButton5, {296, 176, 75, 25}},
      {window.sPanel1, {8, 483, 432, 41}},
      {window.sButton1, {9, 5, 99, 30}},
      {window.sButton2, {112, 5, 99, 30}},
      {window.sButton3, {216, 5, 99, 30}},
      {window.ButtonKapat, {321, 5, 99, 30}},
  };
  for (const auto& [control, rect] : sized) {
    EXPECT_EQ(control->geometry(), rect) << control->metaObject()->className();
  }
  const std::vector<std::pair<QLabel*, QPoint>> labels = {
      {window.sLabel1, {24, 16}},   {window.sLabel3, {8, 13}},
      {window.LabelSec, {231, 13}}, {window.Label23, {16, 56}},
      {window.Label24, {16, 80}},   {window.Label26, {16, 104}},
      {window.Label27, {16, 128}},
  };
  for (const auto& [label, position] : labels) {
    EXPECT_EQ(label->pos(), position) << label->text().toStdString();
  }
  // The log lies over "Bağlan".
  EXPECT_EQ(window.PanARG->childAt(20, 130), window.MemoLog->viewport());
}

// Tahoma where installed, else the condensed stand-in; either way the texts
// must fit the fixed places they were laid out for.
TEST_F(QtSettingsWindowTest, TextsFitTheirPlaces) {
  const QFontInfo font(window.font());
  EXPECT_TRUE(font.family() == "Tahoma" ||
              font.family() == "DejaVu Sans Condensed")
      << font.family().toStdString();
  EXPECT_TRUE(font.bold());
  EXPECT_EQ(font.pixelSize(), 11);
  EXPECT_EQ(window.sLabel1->palette().color(QPalette::WindowText),
            QColor(36, 44, 53));

  auto right_of = [](QWidget* label) {
    return label->x() + label->sizeHint().width();
  };
  EXPECT_LT(right_of(window.sLabel1), window.EditPort->x());
  EXPECT_LT(right_of(window.Label23), window.EditBaslama->x());
  EXPECT_LT(right_of(window.Label24), window.EditBitis->x());
  EXPECT_LT(right_of(window.Label26), window.RxSpinEditNoBaslama->x());
  EXPECT_LT(right_of(window.Label27), window.RxSpinEditNoUzunluk->x());
  EXPECT_LT(right_of(window.Label25), window.sButton5->x());
  window.SetLabelSecText(u"ComPort Seçimi");
  EXPECT_LE(right_of(window.LabelSec), window.PanARG->width());
  EXPECT_LE(window.sLabel2->heightForWidth(383), 68);
  EXPECT_LE(window.CheckBoxCallerIDKullan->sizeHint().width(), 259);
  for (int i = 0; i < 3; ++i) {
    QRadioButton* item = window.RadioGroupCihaz->Button(i);
    EXPECT_LE(item->sizeHint().width(), item->width())
        << item->text().toStdString();
  }
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    const int text = button->fontMetrics().horizontalAdvance(button->text());
    EXPECT_LE(text + 8, button->width()) << button->text().toStdString();
  }
  QStyleOptionComboBox list;
  list.initFrom(window.ComboCIHAZ);
  const QRect field = window.ComboCIHAZ->style()->subControlRect(
      QStyle::CC_ComboBox, &list, QStyle::SC_ComboBoxEditField,
      window.ComboCIHAZ);
  for (int i = 0; i < window.ComboCIHAZ->count(); ++i) {
    const QString item = window.ComboCIHAZ->itemText(i);
    EXPECT_LE(window.ComboCIHAZ->fontMetrics().horizontalAdvance(item),
              field.width())
        << item.toStdString();
  }
}

TEST_F(QtSettingsWindowTest, ButtonsShowTheHandButBaglanAndHintsShowOnHover) {
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    const Qt::CursorShape expected = button == window.ButtonBaglan
                                         ? Qt::ArrowCursor
                                         : Qt::PointingHandCursor;
    EXPECT_EQ(button->cursor().shape(), expected)
        << button->text().toStdString();
  }
  EXPECT_EQ(window.MemoLog->toolTip(),
            QString::fromUtf8("İçeriği temizlemek için çift tıklayınız"));
  EXPECT_EQ(window.VmWinButtonComPort->toolTip(), "Kapat");
  EXPECT_TRUE(QFontInfo(window.VmWinButtonComPort->font()).bold());
}

TEST_F(QtSettingsWindowTest, MaximisedWindowStretchesTheAnchoredControls) {
  window.showMaximized();
  QTRY_VERIFY(window.isMaximized() && window.width() > 448);
  const int dx = window.width() - 448;
  const int dy = window.height() - 532;
  ASSERT_GT(dy, 0);
  EXPECT_EQ(window.PanelCallerID->geometry(), QRect(8, 24, 432 + dx, 453 + dy));
  EXPECT_EQ(window.sPanel1->geometry(), QRect(8, 483 + dy, 432 + dx, 41));
  EXPECT_EQ(window.RadioGroupCihaz->geometry(), QRect(23, 140, 383 + dx, 59));
  EXPECT_EQ(window.PanelDiger->geometry(), QRect(24, 205, 383 + dx, 219 + dy));
  EXPECT_EQ(window.VmWinButtonComPort->geometry(), QRect(4, 8, 372 + dx, 31));
  EXPECT_EQ(window.PanARG->geometry(), QRect(23, 205, 383, 219));
  EXPECT_EQ(window.sButton4->geometry(), QRect(262, 12, 143, 25));

  window.showNormal();
  QTRY_COMPARE(window.size(), QSize(448, 532));
  EXPECT_EQ(window.PanelDiger->geometry(), QRect(24, 205, 383, 219));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

// The pane does exactly what the log model asks: whole lines in, the oldest
// out, one paragraph per line.
TEST_F(QtSettingsWindowTest, LogPaneAddsAndDropsWholeLines) {
  window.AddMemoLogLines({u"Kanal No : 0   Caller ID : 1", u"İ 2"});
  window.AddMemoLogLines({u"3"});
  EXPECT_EQ(window.MemoLog->toPlainText(),
            QString::fromUtf8("Kanal No : 0   Caller ID : 1\nİ 2\n3"));
  window.RemoveFirstMemoLogLines(2);
  window.AddMemoLogLines({u"4", u"5"});
  EXPECT_EQ(window.MemoLog->toPlainText(), QStringLiteral("3\n4\n5"));
  EXPECT_EQ(window.MemoLog->blockCount(), 3);
  window.ClearMemoLog();
  EXPECT_EQ(window.MemoLog->toPlainText(), QString());

  EXPECT_TRUE(window.WindowVisible());
  window.HideWindow();
  EXPECT_FALSE(window.WindowVisible());
  window.ShowWindow();
  EXPECT_TRUE(window.WindowVisible());
}

TEST_F(QtSettingsWindowTest, ProgramSettersReportNothing) {
  window.SetCheckBoxCallerIDKullanChecked(true);
  window.SetRadioGroupCihazIndex(2);
  window.SetComboIndex(SettingsCombo::kComboCIHAZ, 3);
  window.SetComboIndex(SettingsCombo::kComboPORT, 8);
  window.SetEditText(SettingsEdit::kEditPort, u"18900");
  window.SetSpinValue(SettingsSpin::kRxSpinEditNoUzunluk, 500);
  window.SetControlVisible(SettingsShown::kLabelSec, false);
  window.AddMemoLogLines({u"Kanal No : 0   Caller ID : 5551234"});
  window.RemoveFirstMemoLogLines(0);
  window.ClearMemoLog();
  window.HideWindow();
  EXPECT_TRUE(listener.calls.empty());

  EXPECT_TRUE(window.CheckBoxCallerIDKullanChecked());
  EXPECT_EQ(window.RadioGroupCihazIndex(), 2);
  EXPECT_EQ(window.ComboIndex(SettingsCombo::kComboPORT), 8);
  EXPECT_EQ(window.EditText(SettingsEdit::kEditPort), u"18900");
  EXPECT_EQ(window.SpinValue(SettingsSpin::kRxSpinEditNoUzunluk), 500);
  window.SetRadioGroupCihazIndex(-1);
  window.SetComboIndex(SettingsCombo::kComboCIHAZ, -1);
  EXPECT_EQ(window.RadioGroupCihazIndex(), -1);
  for (int i = 0; i < 3; ++i)
    EXPECT_FALSE(window.RadioGroupCihaz->Button(i)->isChecked());
  EXPECT_EQ(window.ComboIndex(SettingsCombo::kComboCIHAZ), -1);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(QtSettingsWindowTest, UserChoicesAreReportedAfterTheControlChanged) {
  QTest::mouseClick(window.CheckBoxCallerIDKullan, Qt::LeftButton);
  EXPECT_TRUE(listener.checked_at_click);

  window.SetRadioGroupCihazIndex(0);
  QTest::mouseClick(window.RadioGroupCihaz->Button(1), Qt::LeftButton);
  EXPECT_EQ(listener.radio_at_click, 1);
  // The item already chosen: no change, no report.
  QTest::mouseClick(window.RadioGroupCihaz->Button(1), Qt::LeftButton);

  window.SetComboIndex(SettingsCombo::kComboCIHAZ, 0);
  window.ComboCIHAZ->setFocus();
  QTest::keyClick(window.ComboCIHAZ, Qt::Key_Down);
  EXPECT_EQ(listener.combo_at_change, 1);
  // ComboPORT needs no report.
  QTest::keyClick(window.ComboPORT, Qt::Key_Down);

  QTest::mouseDClick(window.MemoLog->viewport(), Qt::LeftButton);
  EXPECT_EQ(listener.calls,
            (std::vector<std::string>{"CheckBox", "ColumnRadioGroup",
                                      "ComboCihaz", "MemoLogDblClick"}));
}

TEST_F(QtSettingsWindowTest,
       PortFieldTakesWholeNumbersAndReportsEscAndLeaving) {
  window.SetEditText(SettingsEdit::kEditPort, u"");
  window.EditPort->setFocus();
  QTest::keyClicks(window.EditPort, "-1x8.9,00");
  EXPECT_EQ(window.EditText(SettingsEdit::kEditPort), u"-18900");
  QTest::keyClick(window.EditPort, Qt::Key_Escape);
  window.EditBaslama->setFocus();
  QTRY_COMPARE(listener.calls.size(), size_t{2});
  EXPECT_EQ(listener.calls,
            (std::vector<std::string>{"EditPortEscape", "EditPortExit"}));
}

TEST_F(QtSettingsWindowTest, SpinEditsStepWithinTheirRangeAndTakeNoTyping) {
  StepOnlySpinBox* spin = window.RxSpinEditNoBaslama;
  window.SetSpinValue(SettingsSpin::kRxSpinEditNoBaslama, 499);
  spin->setFocus();
  QTest::keyClicks(spin, "7");
  EXPECT_EQ(window.SpinValue(SettingsSpin::kRxSpinEditNoBaslama), 499);
  QTest::keyClick(spin, Qt::Key_Up);
  QTest::keyClick(spin, Qt::Key_Up);
  EXPECT_EQ(window.SpinValue(SettingsSpin::kRxSpinEditNoBaslama), 500);
  window.SetSpinValue(SettingsSpin::kRxSpinEditNoBaslama, 0);
  QTest::keyClick(spin, Qt::Key_Down);
  EXPECT_EQ(window.SpinValue(SettingsSpin::kRxSpinEditNoBaslama), 0);
}

TEST_F(QtSettingsWindowTest, ButtonsAndCloseBoxReportTheirAction) {
  const std::vector<std::pair<QPushButton*, std::vector<std::string>>> cases = {
      {window.sButton1, {"Kaydet"}},
      {window.sButton2, {"Uygula"}},
      {window.sButton3, {"Gizle"}},
      {window.ButtonKapat, {"Kapat"}},
      {window.sButton4, {"PortuTestEt"}},
      {window.sButton5, {"TestEkrani"}},
      {window.VmWinButtonComPort, {"ComportAyarlari"}},
      {window.ButtonBaglan, {}},
  };
  for (const auto& [button, expected] : cases) {
    listener.calls.clear();
    button->click();
    EXPECT_EQ(listener.calls, expected) << button->text().toStdString();
  }
  listener.calls.clear();
  window.close();
  EXPECT_EQ(listener.calls, std::vector<std::string>{"CloseRequest"});
  EXPECT_TRUE(window.isVisible()) << "the program decides, not the window";
}

}  // namespace
}  // namespace orvanta
