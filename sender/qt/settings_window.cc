#include "sender/qt/settings_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>

#include "desktop/qt/anchors.h"
#include "desktop/qt/fonts.h"
#include "desktop/qt/qt_text.h"
#include "sender/qt/widgets.h"

namespace orvanta {
namespace {

namespace text = settings_text;
using Bevel = BevelPanel::Bevel;

const QColor kLabelTextColour(kLabelColour.red, kLabelColour.green,
                              kLabelColour.blue);

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
  resize(ToQSize(kSettingsClientSize));
  Build();
  Connect();
}

template <typename Widget>
Widget* QtSettingsWindow::Place(Widget* widget, SettingsPart part) {
  const QRect rect = ToQRect(Placement(part).rect);
  if (rect.width() > 0) {
    widget->setGeometry(rect);
  } else {
    widget->move(rect.topLeft());
  }
  controls_.by_part[static_cast<size_t>(part)] = widget;
  return widget;
}

// Labels size themselves to their text unless the layout gives them a size.
QLabel* QtSettingsWindow::MakeLabel(QWidget* parent, const char16_t* caption,
                                    SettingsPart part) {
  auto* label = new QLabel(ToQString(caption), parent);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, kLabelTextColour);
  label->setPalette(palette);
  label->adjustSize();
  return Place(label, part);
}

QPushButton* QtSettingsWindow::MakeButton(QWidget* parent,
                                          const char16_t* caption,
                                          SettingsPart part) {
  auto* button = Place(new QPushButton(ToQString(caption), parent), part);
  button->setCursor(Qt::PointingHandCursor);
  button->setAutoDefault(false);
  return button;
}

template <size_t N>
QComboBox* QtSettingsWindow::MakeList(QWidget* parent,
                                      const char16_t* const (&items)[N],
                                      SettingsPart part) {
  auto* combo = Place(new QComboBox(parent), part);
  combo->setFont(SettingsListFont());
  for (const char16_t* item : items) combo->addItem(ToQString(item));
  combo->setCurrentIndex(0);
  return combo;
}

void QtSettingsWindow::Build() {
  using P = SettingsPart;
  SettingsControls& c = controls_;
  c.caller_id_enabled =
      Place(new QCheckBox(ToQString(text::kCallerIdEnabled), this),
            P::kCallerIdEnabled);

  c.caller_id_panel = Place(
      new BevelPanel(this, Bevel::kLowered, Bevel::kRaised), P::kCallerIdPanel);
  c.port_label = MakeLabel(c.caller_id_panel, text::kPortLabel, P::kPortLabel);
  c.port_edit = Place(new PortNumberEdit(c.caller_id_panel), P::kPortEdit);
  c.test_port_button =
      MakeButton(c.caller_id_panel, text::kTestPort, P::kTestPortButton);
  c.port_explanation =
      MakeLabel(c.caller_id_panel, text::kPortExplanation, P::kPortExplanation);
  c.port_explanation->setWordWrap(true);
  c.port_explanation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QStringList kinds;
  for (const char16_t* item : text::kSourceItems) kinds << ToQString(item);
  c.source_choice =
      Place(new ColumnRadioGroup(c.caller_id_panel,
                                 ToQString(text::kSourceTitle), kinds, 2),
            P::kSourceChoice);

  c.arg_panel =
      Place(new BevelPanel(c.caller_id_panel, Bevel::kRaised, Bevel::kNone),
            P::kArgPanel);
  c.arg_device_kind_label =
      MakeLabel(c.arg_panel, text::kArgDeviceKindLabel, P::kArgDeviceKindLabel);
  c.arg_device_kind =
      MakeList(c.arg_panel, text::kArgDeviceKindItems, P::kArgDeviceKind);
  c.arg_choice_label =
      MakeLabel(c.arg_panel, text::kArgChoiceComPort, P::kArgChoiceLabel);
  c.main_machine_ip = Place(new QLineEdit(c.arg_panel), P::kMainMachineIp);
  c.arg_com_port =
      MakeList(c.arg_panel, text::kArgComPortItems, P::kArgComPort);
  // Created before the log, which lies over it.
  c.connect_button =
      Place(new QPushButton(ToQString(text::kConnect), c.arg_panel),
            P::kConnectButton);
  c.connect_button->setAutoDefault(false);
  c.log_pane = Place(new LogPane(c.arg_panel), P::kLogPane);
  c.log_pane->setToolTip(ToQString(text::kLogPaneHint));

  c.serial_panel =
      Place(new BevelPanel(c.caller_id_panel, Bevel::kLowered, Bevel::kRaised),
            P::kSerialPanel);
  c.port_settings_button =
      MakeButton(c.serial_panel, text::kPortSettings, P::kPortSettingsButton);
  c.port_settings_button->setFont(ArialBoldFont());
  c.port_settings_button->setToolTip(ToQString(text::kPortSettingsHint));
  c.start_text_label =
      MakeLabel(c.serial_panel, text::kStartTextLabel, P::kStartTextLabel);
  c.start_text = Place(new QLineEdit(c.serial_panel), P::kStartText);
  c.end_text_label =
      MakeLabel(c.serial_panel, text::kEndTextLabel, P::kEndTextLabel);
  c.end_text = Place(new QLineEdit(c.serial_panel), P::kEndText);
  c.number_start_label =
      MakeLabel(c.serial_panel, text::kNumberStartLabel, P::kNumberStartLabel);
  c.number_start =
      Place(new StepOnlySpinBox(c.serial_panel, kSpinMinimum, kSpinMaximum),
            P::kNumberStart);
  c.number_length_label = MakeLabel(c.serial_panel, text::kNumberLengthLabel,
                                    P::kNumberLengthLabel);
  c.number_length =
      Place(new StepOnlySpinBox(c.serial_panel, kSpinMinimum, kSpinMaximum),
            P::kNumberLength);
  c.line_label = MakeLabel(c.serial_panel, text::kLineLabel, P::kLineLabel);
  c.line_start =
      Place(new StepOnlySpinBox(c.serial_panel, kSpinMinimum, kSpinMaximum),
            P::kLineStart);
  c.line_length =
      Place(new StepOnlySpinBox(c.serial_panel, kSpinMinimum, kSpinMaximum),
            P::kLineLength);
  c.ascii_codes_hint =
      MakeLabel(c.serial_panel, text::kAsciiCodesHint, P::kAsciiCodesHint);
  c.open_port_test_button =
      MakeButton(c.serial_panel, text::kOpenPortTest, P::kOpenPortTestButton);

  c.modem_panel =
      Place(new BevelPanel(c.caller_id_panel, Bevel::kLowered, Bevel::kRaised),
            P::kModemPanel);
  c.modem_port_settings_button = MakeButton(c.modem_panel, text::kPortSettings,
                                            P::kModemPortSettingsButton);
  c.modem_port_settings_button->setFont(ArialBoldFont());
  c.modem_port_settings_button->setToolTip(ToQString(text::kPortSettingsHint));
  c.modem_commands_label = MakeLabel(c.modem_panel, text::kModemCommandsLabel,
                                     P::kModemCommandsLabel);
  c.modem_commands = Place(new QLineEdit(c.modem_panel), P::kModemCommands);
  c.modem_line_label =
      MakeLabel(c.modem_panel, text::kModemLineLabel, P::kModemLineLabel);
  c.modem_line = Place(new QLineEdit(c.modem_panel), P::kModemLine);
  c.modem_port_test_button =
      MakeButton(c.modem_panel, text::kOpenPortTest, P::kModemPortTestButton);
  c.modem_hint = MakeLabel(c.modem_panel, text::kModemHint, P::kModemHint);
  c.modem_hint->setWordWrap(true);
  c.modem_hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  c.modem_log_pane = Place(new LogPane(c.modem_panel), P::kModemLogPane);
  c.modem_log_pane->setToolTip(ToQString(text::kLogPaneHint));

  c.button_panel = Place(new BevelPanel(this, Bevel::kRaised, Bevel::kNone),
                         P::kButtonPanel);
  c.save_button = MakeButton(c.button_panel, text::kSave, P::kSaveButton);
  c.apply_button = MakeButton(c.button_panel, text::kApply, P::kApplyButton);
  c.hide_button = MakeButton(c.button_panel, text::kHide, P::kHideButton);
  c.close_button = MakeButton(c.button_panel, text::kClose, P::kCloseButton);
  c.destinations_button =
      MakeButton(this, text::kDestinations, P::kDestinationsButton);

  PaintFieldsBlackOnWhite(this);

  // A maximised window stretches or moves the anchored controls; everything
  // else keeps its place.
  QHash<QWidget*, AnchorLayout*> anchors;
  for (const SettingsPlacement& placed : kSettingsLayout) {
    if (placed.anchors == kLayoutTopLeft) continue;
    QWidget* parent = placed.parent == placed.part ? this : c.Of(placed.parent);
    AnchorLayout*& layout = anchors[parent];
    if (!layout) layout = new AnchorLayout(parent);
    layout->Add(c.Of(placed.part), placed.anchors);
  }
}

void QtSettingsWindow::Connect() {
  using L = SettingsViewListener;
  connect(controls_.caller_id_enabled, &QCheckBox::clicked, this,
          [this] { Report(&L::OnCallerIdClick); });
  connect(controls_.source_choice, &ColumnRadioGroup::ItemClicked, this,
          [this] { Report(&L::OnSourceClick); });
  connect(controls_.arg_device_kind, &QComboBox::activated, this,
          [this] { Report(&L::OnArgDeviceKindChange); });
  for (LogPane* pane : LogPanes()) {
    connect(pane, &LogPane::DoubleClicked, this,
            [this] { Report(&L::OnLogPaneDoubleClick); });
  }
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
  connect(controls_.destinations_button, &QPushButton::clicked, this,
          [this] { Report(&L::OnDestinations); });
  for (QPushButton* button :
       {controls_.open_port_test_button, controls_.modem_port_test_button}) {
    connect(button, &QPushButton::clicked, this,
            [this] { Report(&L::OnOpenPortTest); });
  }
  for (QPushButton* button :
       {controls_.port_settings_button, controls_.modem_port_settings_button}) {
    connect(button, &QPushButton::clicked, this,
            [this] { Report(&L::OnPortSettings); });
  }
}

void QtSettingsWindow::Report(void (SettingsViewListener::*action)()) {
  if (listener_) (listener_->*action)();
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
    case SettingsEdit::kModemCommands:
      return controls_.modem_commands;
    case SettingsEdit::kModemLine:
      return controls_.modem_line;
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
  switch (spin) {
    case SettingsSpin::kNumberStart:
      return controls_.number_start;
    case SettingsSpin::kNumberLength:
      return controls_.number_length;
    case SettingsSpin::kLineStart:
      return controls_.line_start;
    case SettingsSpin::kLineLength:
      return controls_.line_length;
  }
  return controls_.number_start;
}

int QtSettingsWindow::SpinValue(SettingsSpin spin) const {
  return Spin(spin)->value();
}

void QtSettingsWindow::SetSpinValue(SettingsSpin spin, int value) {
  Spin(spin)->setValue(value);
}

QComboBox* QtSettingsWindow::Combo(SettingsCombo combo) const {
  return combo == SettingsCombo::kArgDeviceKind ? controls_.arg_device_kind
                                                : controls_.arg_com_port;
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
    case SettingsShown::kModemPanel:
      widget = controls_.modem_panel;
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
  const QString joined = text.join(QLatin1Char('\n'));
  for (LogPane* pane : LogPanes()) pane->appendPlainText(joined);
}

void QtSettingsWindow::RemoveFirstLogLines(size_t count) {
  for (LogPane* pane : LogPanes()) {
    QTextCursor cursor(pane->document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor,
                        static_cast<int>(count));
    cursor.removeSelectedText();
  }
}

void QtSettingsWindow::ClearLogPane() {
  for (LogPane* pane : LogPanes()) pane->clear();
}

std::array<LogPane*, 2> QtSettingsWindow::LogPanes() const {
  return {controls_.log_pane, controls_.modem_log_pane};
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
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void QtSettingsWindow::HideWindow() { hide(); }

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
  setMinimumSize(kSettingsClientSize.width, kSettingsClientSize.height);
  if (fixed) {
    setMaximumSize(kSettingsClientSize.width, kSettingsClientSize.height);
  } else {
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
}

}  // namespace orvanta
