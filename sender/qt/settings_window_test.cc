#include "sender/qt/settings_window.h"

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

#include "desktop/qt/anchors.h"
#include "sender/qt/widgets.h"

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

  void OnCallerIdClick() override {
    checked_at_click = window_.CallerIdEnabled();
    calls.push_back("CheckBox");
  }
  void OnSourceClick() override {
    radio_at_click = window_.SourceIndex();
    calls.push_back("ColumnRadioGroup");
  }
  void OnArgDeviceKindChange() override {
    combo_at_change = window_.ComboIndex(SettingsCombo::kArgDeviceKind);
    calls.push_back("ComboCihaz");
  }
  void OnLogPaneDoubleClick() override {
    calls.push_back("LogPaneDoubleClicked");
  }
  void OnPortEditEscape() override { calls.push_back("PortEditEscaped"); }
  void OnPortEditExit() override { calls.push_back("PortEditLeft"); }
  void OnSave() override { calls.push_back("Kaydet"); }
  void OnApply() override { calls.push_back("Uygula"); }
  void OnHide() override { calls.push_back("Gizle"); }
  void OnClose() override { calls.push_back("Kapat"); }
  void OnTestPort() override { calls.push_back("PortuTestEt"); }
  void OnOpenPortTest() override { calls.push_back("TestEkrani"); }
  void OnPortSettings() override { calls.push_back("ComportAyarlari"); }
  void OnDestinations() override { calls.push_back("Hedefler"); }
  void OnCloseRequest() override { calls.push_back("CloseRequest"); }

 private:
  QtSettingsWindow& window_;
};

class QtSettingsWindowTest : public testing::Test {
 protected:
  QtSettingsWindowTest() : listener(window) {
    window.SetListener(&listener);
    for (auto shown :
         {SettingsShown::kCallerIdPanel, SettingsShown::kArgPanel,
          SettingsShown::kSerialPanel, SettingsShown::kModemPanel}) {
      window.SetControlVisible(shown, true);
    }
    window.ShowWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  QtSettingsWindow window;
  RecordingListener listener;
};

TEST_F(QtSettingsWindowTest, ControlsSitAtTheirPixelPositions) {
  EXPECT_EQ(window.size(), ToQSize(kSettingsClientSize));
  EXPECT_EQ(window.minimumSize(), window.maximumSize())
      << "not resizable by dragging";
  EXPECT_TRUE(window.windowFlags() & Qt::WindowMaximizeButtonHint);

  for (const SettingsPlacement& placed : kSettingsLayout) {
    SCOPED_TRACE(static_cast<int>(placed.part));
    QWidget* control = window.Controls().Of(placed.part);
    ASSERT_TRUE(control);
    QWidget* parent = placed.parent == placed.part
                          ? &window
                          : window.Controls().Of(placed.parent);
    EXPECT_EQ(control->parentWidget(), parent);
    if (placed.sizing == LayoutSizing::kFitsText) {
      EXPECT_EQ(control->pos(), QPoint(placed.rect.left, placed.rect.top));
    } else {
      EXPECT_EQ(control->geometry(), ToQRect(placed.rect));
    }
  }
  // The log lies over "Bağlan".
  EXPECT_EQ(window.Controls().arg_panel->childAt(20, 130),
            window.Controls().log_pane->viewport());
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
  EXPECT_EQ(window.Controls().port_label->palette().color(QPalette::WindowText),
            QColor(kLabelColour.red, kLabelColour.green, kLabelColour.blue));

  auto right_of = [](QWidget* label) {
    return label->x() + label->sizeHint().width();
  };
  EXPECT_LT(right_of(window.Controls().port_label),
            window.Controls().port_edit->x());
  EXPECT_LT(right_of(window.Controls().start_text_label),
            window.Controls().start_text->x());
  EXPECT_LT(right_of(window.Controls().end_text_label),
            window.Controls().end_text->x());
  EXPECT_LT(right_of(window.Controls().number_start_label),
            window.Controls().number_start->x());
  EXPECT_LT(right_of(window.Controls().number_length_label),
            window.Controls().number_length->x());
  EXPECT_LT(right_of(window.Controls().line_label),
            window.Controls().line_start->x());
  EXPECT_LT(right_of(window.Controls().ascii_codes_hint),
            window.Controls().open_port_test_button->x());
  EXPECT_LT(right_of(window.Controls().modem_commands_label),
            window.Controls().modem_commands->x());
  EXPECT_LT(right_of(window.Controls().modem_line_label),
            window.Controls().modem_line->x());
  EXPECT_LE(window.Controls().modem_hint->heightForWidth(
                window.Controls().modem_hint->width()),
            window.Controls().modem_hint->height());
  window.SetArgChoiceLabel(u"ComPort Seçimi");
  EXPECT_LE(right_of(window.Controls().arg_choice_label),
            window.Controls().arg_panel->width());
  EXPECT_LE(window.Controls().port_explanation->heightForWidth(383), 68);
  EXPECT_LE(window.Controls().caller_id_enabled->sizeHint().width(), 259);
  for (int i = 0; i < 4; ++i) {
    QRadioButton* item = window.Controls().source_choice->Button(i);
    EXPECT_LE(item->sizeHint().width(), item->width())
        << item->text().toStdString();
  }
  // "Modem" under "Seri Port Bağlantı", the group no taller than before.
  EXPECT_EQ(window.Controls().source_choice->Button(3)->x(),
            window.Controls().source_choice->Button(2)->x());
  EXPECT_GT(window.Controls().source_choice->Button(3)->y(),
            window.Controls().source_choice->Button(2)->y());
  EXPECT_LE(window.Controls().source_choice->Button(3)->geometry().bottom(),
            window.Controls().source_choice->height());
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    const int text = button->fontMetrics().horizontalAdvance(button->text());
    EXPECT_LE(text + 8, button->width()) << button->text().toStdString();
  }
  QStyleOptionComboBox list;
  list.initFrom(window.Controls().arg_device_kind);
  const QRect field =
      window.Controls().arg_device_kind->style()->subControlRect(
          QStyle::CC_ComboBox, &list, QStyle::SC_ComboBoxEditField,
          window.Controls().arg_device_kind);
  for (int i = 0; i < window.Controls().arg_device_kind->count(); ++i) {
    const QString item = window.Controls().arg_device_kind->itemText(i);
    EXPECT_LE(
        window.Controls().arg_device_kind->fontMetrics().horizontalAdvance(
            item),
        field.width())
        << item.toStdString();
  }
}

TEST_F(QtSettingsWindowTest, ButtonsShowTheHandButBaglanAndHintsShowOnHover) {
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    const Qt::CursorShape expected = button == window.Controls().connect_button
                                         ? Qt::ArrowCursor
                                         : Qt::PointingHandCursor;
    EXPECT_EQ(button->cursor().shape(), expected)
        << button->text().toStdString();
  }
  for (LogPane* pane :
       {window.Controls().log_pane, window.Controls().modem_log_pane}) {
    EXPECT_EQ(pane->toolTip(),
              QString::fromUtf8("İçeriği temizlemek için çift tıklayınız"));
  }
  for (QPushButton* button : {window.Controls().port_settings_button,
                              window.Controls().modem_port_settings_button}) {
    EXPECT_EQ(button->toolTip(), "Kapat");
    EXPECT_TRUE(QFontInfo(button->font()).bold());
  }
}

TEST_F(QtSettingsWindowTest, MaximisedWindowStretchesTheAnchoredControls) {
  window.showMaximized();
  QTRY_VERIFY(window.isMaximized() &&
              window.width() > kSettingsClientSize.width);
  ASSERT_GT(window.height(), kSettingsClientSize.height);
  const LayoutSize now = {window.width(), window.height()};
  for (const SettingsPlacement& placed : kSettingsLayout) {
    if (placed.sizing == LayoutSizing::kFitsText) continue;
    SCOPED_TRACE(static_cast<int>(placed.part));
    EXPECT_EQ(window.Controls().Of(placed.part)->geometry(),
              ToQRect(SettingsRectAt(placed.part, now)));
  }
  // The stretching itself, spelled out for the panels.
  EXPECT_GT(window.Controls().caller_id_panel->width(),
            Placement(SettingsPart::kCallerIdPanel).rect.width);
  EXPECT_GT(window.Controls().button_panel->y(),
            Placement(SettingsPart::kButtonPanel).rect.top);

  window.showNormal();
  QTRY_COMPARE(window.size(), ToQSize(kSettingsClientSize));
  EXPECT_EQ(window.Controls().serial_panel->geometry(),
            ToQRect(Placement(SettingsPart::kSerialPanel).rect));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

// The panes do exactly what the log model asks: whole lines in, the oldest
// out, one paragraph per line; the ARG panel's and the modem panel's alike.
TEST_F(QtSettingsWindowTest, LogPaneAddsAndDropsWholeLines) {
  window.AddLogLines({u"Kanal No : 0   Caller ID : 1", u"İ 2"});
  window.AddLogLines({u"3"});
  for (LogPane* pane :
       {window.Controls().log_pane, window.Controls().modem_log_pane}) {
    EXPECT_EQ(pane->toPlainText(),
              QString::fromUtf8("Kanal No : 0   Caller ID : 1\nİ 2\n3"));
  }
  window.RemoveFirstLogLines(2);
  window.AddLogLines({u"4", u"5"});
  for (LogPane* pane :
       {window.Controls().log_pane, window.Controls().modem_log_pane}) {
    EXPECT_EQ(pane->toPlainText(), QStringLiteral("3\n4\n5"));
    EXPECT_EQ(pane->blockCount(), 3);
  }
  window.ClearLogPane();
  EXPECT_EQ(window.Controls().log_pane->toPlainText(), QString());
  EXPECT_EQ(window.Controls().modem_log_pane->toPlainText(), QString());

  EXPECT_TRUE(window.WindowVisible());
  window.HideWindow();
  EXPECT_FALSE(window.WindowVisible());
  window.ShowWindow();
  EXPECT_TRUE(window.WindowVisible());
}

TEST_F(QtSettingsWindowTest, ProgramSettersReportNothing) {
  window.SetCallerIdEnabled(true);
  window.SetSourceIndex(3);
  window.SetComboIndex(SettingsCombo::kArgDeviceKind, 3);
  window.SetComboIndex(SettingsCombo::kArgComPort, 8);
  window.SetEditText(SettingsEdit::kPortNumber, u"18900");
  window.SetEditText(SettingsEdit::kModemCommands, u"AT+GCI=AE;AT+VCID=1");
  window.SetEditText(SettingsEdit::kModemLine, u"2");
  window.SetSpinValue(SettingsSpin::kNumberLength, 500);
  window.SetSpinValue(SettingsSpin::kLineStart, 1);
  window.SetSpinValue(SettingsSpin::kLineLength, 2);
  window.SetControlVisible(SettingsShown::kArgChoiceLabel, false);
  window.AddLogLines({u"Kanal No : 0   Caller ID : 5551234"});
  window.RemoveFirstLogLines(0);
  window.ClearLogPane();
  window.HideWindow();
  EXPECT_TRUE(listener.calls.empty());

  EXPECT_TRUE(window.CallerIdEnabled());
  EXPECT_EQ(window.SourceIndex(), 3);
  EXPECT_TRUE(window.Controls().source_choice->Button(3)->isChecked());
  EXPECT_EQ(window.ComboIndex(SettingsCombo::kArgComPort), 8);
  EXPECT_EQ(window.EditText(SettingsEdit::kPortNumber), u"18900");
  EXPECT_EQ(window.Controls().modem_commands->text(), "AT+GCI=AE;AT+VCID=1");
  EXPECT_EQ(window.EditText(SettingsEdit::kModemLine), u"2");
  EXPECT_EQ(window.SpinValue(SettingsSpin::kNumberLength), 500);
  EXPECT_EQ(window.Controls().line_start->value(), 1);
  EXPECT_EQ(window.SpinValue(SettingsSpin::kLineLength), 2);
  window.SetSourceIndex(-1);
  window.SetComboIndex(SettingsCombo::kArgDeviceKind, -1);
  EXPECT_EQ(window.SourceIndex(), -1);
  for (int i = 0; i < 4; ++i)
    EXPECT_FALSE(window.Controls().source_choice->Button(i)->isChecked());
  EXPECT_EQ(window.ComboIndex(SettingsCombo::kArgDeviceKind), -1);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(QtSettingsWindowTest, UserChoicesAreReportedAfterTheControlChanged) {
  QTest::mouseClick(window.Controls().caller_id_enabled, Qt::LeftButton);
  EXPECT_TRUE(listener.checked_at_click);

  window.SetSourceIndex(0);
  QTest::mouseClick(window.Controls().source_choice->Button(1), Qt::LeftButton);
  EXPECT_EQ(listener.radio_at_click, 1);
  // The item already chosen: no change, no report.
  QTest::mouseClick(window.Controls().source_choice->Button(1), Qt::LeftButton);

  window.SetComboIndex(SettingsCombo::kArgDeviceKind, 0);
  window.Controls().arg_device_kind->setFocus();
  QTest::keyClick(window.Controls().arg_device_kind, Qt::Key_Down);
  EXPECT_EQ(listener.combo_at_change, 1);
  // ComboPORT needs no report.
  QTest::keyClick(window.Controls().arg_com_port, Qt::Key_Down);

  QTest::mouseDClick(window.Controls().log_pane->viewport(), Qt::LeftButton);
  QTest::mouseClick(window.Controls().source_choice->Button(3), Qt::LeftButton);
  EXPECT_EQ(listener.radio_at_click, 3);
  QTest::mouseDClick(window.Controls().modem_log_pane->viewport(),
                     Qt::LeftButton);
  EXPECT_EQ(listener.calls, (std::vector<std::string>{
                                "CheckBox", "ColumnRadioGroup", "ComboCihaz",
                                "LogPaneDoubleClicked", "ColumnRadioGroup",
                                "LogPaneDoubleClicked"}));
}

TEST_F(QtSettingsWindowTest,
       PortFieldTakesWholeNumbersAndReportsEscAndLeaving) {
  window.SetEditText(SettingsEdit::kPortNumber, u"");
  window.Controls().port_edit->setFocus();
  QTest::keyClicks(window.Controls().port_edit, "-1x8.9,00");
  EXPECT_EQ(window.EditText(SettingsEdit::kPortNumber), u"-18900");
  QTest::keyClick(window.Controls().port_edit, Qt::Key_Escape);
  window.Controls().start_text->setFocus();
  QTRY_COMPARE(listener.calls.size(), size_t{2});
  EXPECT_EQ(listener.calls,
            (std::vector<std::string>{"PortEditEscaped", "PortEditLeft"}));
}

TEST_F(QtSettingsWindowTest, SpinEditsStepWithinTheirRangeAndTakeNoTyping) {
  StepOnlySpinBox* spin = window.Controls().number_start;
  window.SetSpinValue(SettingsSpin::kNumberStart, 499);
  spin->setFocus();
  QTest::keyClicks(spin, "7");
  EXPECT_EQ(window.SpinValue(SettingsSpin::kNumberStart), 499);
  QTest::keyClick(spin, Qt::Key_Up);
  QTest::keyClick(spin, Qt::Key_Up);
  EXPECT_EQ(window.SpinValue(SettingsSpin::kNumberStart), 500);
  window.SetSpinValue(SettingsSpin::kNumberStart, 0);
  QTest::keyClick(spin, Qt::Key_Down);
  EXPECT_EQ(window.SpinValue(SettingsSpin::kNumberStart), 0);
}

TEST_F(QtSettingsWindowTest, ButtonsAndCloseBoxReportTheirAction) {
  const std::vector<std::pair<QPushButton*, std::vector<std::string>>> cases = {
      {window.Controls().save_button, {"Kaydet"}},
      {window.Controls().apply_button, {"Uygula"}},
      {window.Controls().hide_button, {"Gizle"}},
      {window.Controls().close_button, {"Kapat"}},
      {window.Controls().test_port_button, {"PortuTestEt"}},
      {window.Controls().open_port_test_button, {"TestEkrani"}},
      {window.Controls().port_settings_button, {"ComportAyarlari"}},
      {window.Controls().modem_port_test_button, {"TestEkrani"}},
      {window.Controls().modem_port_settings_button, {"ComportAyarlari"}},
      {window.Controls().destinations_button, {"Hedefler"}},
      {window.Controls().connect_button, {}},
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
