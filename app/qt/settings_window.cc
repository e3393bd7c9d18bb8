#include "app/qt/settings_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>

#include "app/qt/anchors.h"
#include "app/qt/fonts.h"
#include "app/qt/qt_text.h"
#include "app/qt/widgets.h"

namespace orvanta {
namespace {

namespace text = settings_text;
using Bevel = BevelPanel::Bevel;

const QColor kLabelColour(36, 44, 53);

template <typename Widget>
Widget* Place(Widget* widget, int left, int top, int width, int height) {
  widget->setGeometry(left, top, width, height);
  return widget;
}

// Labels size themselves to their text.
QLabel* MakeLabel(QWidget* parent, const char16_t* caption, int left, int top) {
  auto* label = new QLabel(ToQString(caption), parent);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, kLabelColour);
  label->setPalette(palette);
  label->move(left, top);
  label->adjustSize();
  return label;
}

QPushButton* MakeButton(QWidget* parent,
                        const char16_t* caption,
                        int left,
                        int top,
                        int width,
                        int height) {
  auto* button = Place(new QPushButton(ToQString(caption), parent), left, top,
                       width, height);
  button->setCursor(Qt::PointingHandCursor);
  button->setAutoDefault(false);
  return button;
}

template <size_t N>
QComboBox* MakeList(QWidget* parent,
                    const char16_t* const (&items)[N],
                    int left,
                    int top,
                    int width,
                    int height) {
  auto* combo = Place(new QComboBox(parent), left, top, width, height);
  combo->setFont(SettingsListFont());
  for (const char16_t* item : items)
    combo->addItem(ToQString(item));
  combo->setCurrentIndex(0);
  return combo;
}

// Edits, lists and the log show black text on white, whatever the theme.
void PaintFieldsBlackOnWhite(QWidget* window) {
  for (QWidget* field : window->findChildren<QWidget*>()) {
    if (!qobject_cast<QLineEdit*>(field) && !qobject_cast<QComboBox*>(field) &&
        !qobject_cast<QAbstractScrollArea*>(field) &&
        !qobject_cast<QSpinBox*>(field)) {
      continue;
    }
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    field->setPalette(palette);
  }
}

}  // namespace

QtSettingsWindow::QtSettingsWindow(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("SettingsWindow"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setFont(SettingsWindowFont());
  FixSize(true);
  resize(kClientWidth, kClientHeight);
  Build();
  Connect();
}

void QtSettingsWindow::Build() {
  controls_.caller_id_enabled =
      Place(new QCheckBox(ToQString(text::kCallerIdEnabled), this), 8, 5,
            259, 19);

  controls_.caller_id_panel = Place(new BevelPanel(this, Bevel::kLowered, Bevel::kRaised),
                        8, 24, 432, 453);
  controls_.port_label = MakeLabel(controls_.caller_id_panel, text::kPortLabel, 24, 16);
  controls_.port_edit = Place(new PortNumberEdit(controls_.caller_id_panel), 114, 13, 121, 21);
  controls_.test_port_button = MakeButton(controls_.caller_id_panel, text::kTestPort, 262, 12, 143, 25);
  controls_.port_explanation = MakeLabel(controls_.caller_id_panel, text::kPortExplanation, 24, 51);
  controls_.port_explanation->setWordWrap(true);
  controls_.port_explanation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  controls_.port_explanation->setGeometry(24, 51, 383, 68);
  QStringList kinds;
  for (const char16_t* item : text::kSourceItems)
    kinds << ToQString(item);
  controls_.source_choice = Place(
      new ColumnRadioGroup(controls_.caller_id_panel,
                           ToQString(text::kSourceTitle), kinds, 2),
      23, 140, 383, 59);

  controls_.arg_panel = Place(new BevelPanel(controls_.caller_id_panel, Bevel::kRaised, Bevel::kNone),
                 23, 205, 383, 219);
  controls_.arg_device_kind_label = MakeLabel(controls_.arg_panel, text::kArgDeviceKindLabel, 8, 13);
  controls_.arg_device_kind = MakeList(controls_.arg_panel, text::kArgDeviceKindItems, 8, 31, 217, 21);
  controls_.arg_choice_label = MakeLabel(controls_.arg_panel, text::kArgChoiceComPort, 231, 13);
  controls_.main_machine_ip = Place(new QLineEdit(controls_.arg_panel), 231, 32, 146, 21);
  controls_.arg_com_port = MakeList(controls_.arg_panel, text::kArgComPortItems, 231, 31, 82, 21);
  // Created before the log, which lies over it.
  controls_.connect_button = Place(new QPushButton(ToQString(text::kConnect), controls_.arg_panel),
                       9, 119, 115, 25);
  controls_.connect_button->setAutoDefault(false);
  controls_.log_pane = Place(new LogPane(controls_.arg_panel), 1, 64, 381, 154);
  controls_.log_pane->setToolTip(ToQString(text::kLogPaneHint));

  controls_.serial_panel =
      Place(new BevelPanel(controls_.caller_id_panel, Bevel::kLowered, Bevel::kRaised), 24,
            205, 383, 219);
  controls_.port_settings_button =
      MakeButton(controls_.serial_panel, text::kPortSettings, 4, 8, 372, 31);
  controls_.port_settings_button->setFont(ArialBoldFont());
  controls_.port_settings_button->setToolTip(ToQString(text::kPortSettingsHint));
  controls_.start_text_label = MakeLabel(controls_.serial_panel, text::kStartTextLabel, 16, 56);
  controls_.start_text = Place(new QLineEdit(controls_.serial_panel), 144, 50, 201, 21);
  controls_.end_text_label = MakeLabel(controls_.serial_panel, text::kEndTextLabel, 16, 80);
  controls_.end_text = Place(new QLineEdit(controls_.serial_panel), 144, 74, 201, 21);
  controls_.number_start_label = MakeLabel(controls_.serial_panel, text::kNumberStartLabel, 16, 104);
  controls_.number_start =
      Place(new StepOnlySpinBox(controls_.serial_panel, kSpinMinimum, kSpinMaximum), 296,
            96, 49, 21);
  controls_.number_length_label = MakeLabel(controls_.serial_panel, text::kNumberLengthLabel, 16, 128);
  controls_.number_length =
      Place(new StepOnlySpinBox(controls_.serial_panel, kSpinMinimum, kSpinMaximum), 296,
            120, 49, 21);
  controls_.ascii_codes_hint = MakeLabel(controls_.serial_panel, text::kAsciiCodesHint, 8, 181);
  controls_.ascii_codes_hint->setGeometry(8, 181, 329, 13);
  controls_.open_port_test_button = MakeButton(controls_.serial_panel, text::kOpenPortTest, 296, 176, 75, 25);

  controls_.button_panel = Place(new BevelPanel(this, Bevel::kRaised, Bevel::kNone), 8, 483,
                  432, 41);
  controls_.save_button = MakeButton(controls_.button_panel, text::kSave, 9, 5, 99, 30);
  controls_.apply_button = MakeButton(controls_.button_panel, text::kApply, 112, 5, 99, 30);
  controls_.hide_button = MakeButton(controls_.button_panel, text::kHide, 216, 5, 99, 30);
  controls_.close_button = MakeButton(controls_.button_panel, text::kClose, 321, 5, 99, 30);

  PaintFieldsBlackOnWhite(this);

  // A maximised window stretches these; everything else keeps its place.
  auto* window_anchors = new AnchorLayout(this);
  window_anchors->Add(controls_.caller_id_panel, kAnchorAll);
  window_anchors->Add(controls_.button_panel, kAnchorLeft | kAnchorRight | kAnchorBottom);
  auto* panel_anchors = new AnchorLayout(controls_.caller_id_panel);
  panel_anchors->Add(controls_.source_choice, kAnchorLeft | kAnchorTop | kAnchorRight);
  panel_anchors->Add(controls_.serial_panel, kAnchorAll);
  auto* serial_anchors = new AnchorLayout(controls_.serial_panel);
  serial_anchors->Add(controls_.port_settings_button,
                      kAnchorLeft | kAnchorTop | kAnchorRight);
}

void QtSettingsWindow::Connect() {
  using L = SettingsViewListener;
  connect(controls_.caller_id_enabled, &QCheckBox::clicked, this,
          [this] { Report(&L::OnCallerIdClick); });
  connect(controls_.source_choice, &ColumnRadioGroup::ItemClicked, this,
          [this] { Report(&L::OnSourceClick); });
  connect(controls_.arg_device_kind, &QComboBox::activated, this,
          [this] { Report(&L::OnArgDeviceKindChange); });
  connect(controls_.log_pane, &LogPane::DoubleClicked, this,
          [this] { Report(&L::OnLogPaneDoubleClick); });
  connect(controls_.port_edit, &PortNumberEdit::EscapePressed, this,
          [this] { Report(&L::OnPortEditEscape); });
  connect(controls_.port_edit, &PortNumberEdit::FocusLeft, this,
          [this] { Report(&L::OnPortEditExit); });
  connect(controls_.save_button, &QPushButton::clicked, this,
          [this] { Report(&L::OnSave); });
  connect(controls_.apply_button, &QPushButton::clicked, this,
          [this] { Report(&L::OnApply); });
  connect(controls_.hide_button, &QPushButton::clicked, this,
          [this] { Report(&L::OnHide); });
  connect(controls_.close_button, &QPushButton::clicked, this,
          [this] { Report(&L::OnClose); });
  connect(controls_.test_port_button, &QPushButton::clicked, this,
          [this] { Report(&L::OnTestPort); });
  connect(controls_.open_port_test_button, &QPushButton::clicked, this,
          [this] { Report(&L::OnOpenPortTest); });
  connect(controls_.port_settings_button, &QPushButton::clicked, this,
          [this] { Report(&L::OnPortSettings); });
}

void QtSettingsWindow::Report(void (SettingsViewListener::*action)()) {
  if (listener_)
    (listener_->*action)();
}

bool QtSettingsWindow::CallerIdEnabled() const {
  return controls_.caller_id_enabled->isChecked();
}

void QtSettingsWindow::SetCallerIdEnabled(bool checked) {
  controls_.caller_id_enabled->setChecked(checked);
}

int QtSettingsWindow::SourceIndex() const {
  return controls_.source_choice->ItemIndex();
}

void QtSettingsWindow::SetSourceIndex(int index) {
  controls_.source_choice->SetItemIndex(index);
}

QLineEdit* QtSettingsWindow::Edit(SettingsEdit edit) const {
  switch (edit) {
    case SettingsEdit::kPortNumber:
      return controls_.port_edit;
    case SettingsEdit::kStartText:
      return controls_.start_text;
    case SettingsEdit::kEndText:
      return controls_.end_text;
    case SettingsEdit::kMainMachineIp:
      return controls_.main_machine_ip;
  }
  return controls_.port_edit;
}

std::u16string QtSettingsWindow::EditText(SettingsEdit edit) const {
  return FromQString(Edit(edit)->text());
}

void QtSettingsWindow::SetEditText(SettingsEdit edit,
                                   const std::u16string& text) {
  Edit(edit)->setText(ToQString(text));
}

StepOnlySpinBox* QtSettingsWindow::Spin(SettingsSpin spin) const {
  return spin == SettingsSpin::kNumberStart ? controls_.number_start
                                                    : controls_.number_length;
}

int QtSettingsWindow::SpinValue(SettingsSpin spin) const {
  return Spin(spin)->value();
}

void QtSettingsWindow::SetSpinValue(SettingsSpin spin, int value) {
  Spin(spin)->setValue(value);
}

QComboBox* QtSettingsWindow::Combo(SettingsCombo combo) const {
  return combo == SettingsCombo::kArgDeviceKind ? controls_.arg_device_kind : controls_.arg_com_port;
}

int QtSettingsWindow::ComboIndex(SettingsCombo combo) const {
  return Combo(combo)->currentIndex();
}

void QtSettingsWindow::SetComboIndex(SettingsCombo combo, int index) {
  Combo(combo)->setCurrentIndex(index);
}

void QtSettingsWindow::SetControlVisible(SettingsShown control, bool visible) {
  QWidget* widget = nullptr;
  switch (control) {
    case SettingsShown::kCallerIdPanel:
      widget = controls_.caller_id_panel;
      break;
    case SettingsShown::kArgPanel:
      widget = controls_.arg_panel;
      break;
    case SettingsShown::kSerialPanel:
      widget = controls_.serial_panel;
      break;
    case SettingsShown::kArgChoiceLabel:
      widget = controls_.arg_choice_label;
      break;
    case SettingsShown::kMainMachineIp:
      widget = controls_.main_machine_ip;
      break;
    case SettingsShown::kArgComPort:
      widget = controls_.arg_com_port;
      break;
  }
  widget->setVisible(visible);
}

void QtSettingsWindow::SetArgChoiceLabel(const std::u16string& text) {
  controls_.arg_choice_label->setText(ToQString(text));
  controls_.arg_choice_label->adjustSize();
}

void QtSettingsWindow::AddLogLines(const std::vector<std::u16string>& lines) {
  // One paragraph per line, laid out in one go.
  QStringList text;
  text.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::u16string& line : lines) text.append(ToQString(line));
  controls_.log_pane->appendPlainText(text.join(QLatin1Char('\n')));
}

void QtSettingsWindow::RemoveFirstLogLines(size_t count) {
  QTextCursor cursor(controls_.log_pane->document());
  cursor.movePosition(QTextCursor::Start);
  cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor,
                      static_cast<int>(count));
  cursor.removeSelectedText();
}

void QtSettingsWindow::ClearLogPane() {
  controls_.log_pane->clear();
}

void QtSettingsWindow::SetCaption(const std::u16string& caption) {
  setWindowTitle(ToQString(caption));
}

void QtSettingsWindow::ShowWindow() {
  if (!shown_before_) {
    shown_before_ = true;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect frame(QPoint(), size());
      frame.moveCenter(screen->availableGeometry().center());
      move(frame.topLeft());
    }
  }
  if (isMinimized())
    setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void QtSettingsWindow::HideWindow() {
  hide();
}

bool QtSettingsWindow::WindowVisible() const { return isVisible(); }

void QtSettingsWindow::SetListener(SettingsViewListener* listener) {
  listener_ = listener;
}

void QtSettingsWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  Report(&SettingsViewListener::OnCloseRequest);
}

// Not resizable by dragging, yet it may be maximised; then the anchors apply.
void QtSettingsWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    FixSize(!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)));
  }
  QWidget::changeEvent(event);
}

void QtSettingsWindow::FixSize(bool fixed) {
  setMinimumSize(kClientWidth, kClientHeight);
  if (fixed) {
    setMaximumSize(kClientWidth, kClientHeight);
  } else {
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
}

}  // namespace orvanta
