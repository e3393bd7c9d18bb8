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
  setObjectName(QStringLiteral("AnaF"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setFont(SettingsWindowFont());
  FixSize(true);
  resize(kClientWidth, kClientHeight);
  Build();
  Connect();
}

void QtSettingsWindow::Build() {
  CheckBoxCallerIDKullan =
      Place(new QCheckBox(ToQString(text::kCheckBoxCallerIDKullan), this), 8, 5,
            259, 19);

  PanelCallerID = Place(new BevelPanel(this, Bevel::kLowered, Bevel::kRaised),
                        8, 24, 432, 453);
  sLabel1 = MakeLabel(PanelCallerID, text::kSLabel1, 24, 16);
  EditPort = Place(new PortNumberEdit(PanelCallerID), 114, 13, 121, 21);
  sButton4 = MakeButton(PanelCallerID, text::kSButton4, 262, 12, 143, 25);
  sLabel2 = MakeLabel(PanelCallerID, text::kSLabel2, 24, 51);
  sLabel2->setWordWrap(true);
  sLabel2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  sLabel2->setGeometry(24, 51, 383, 68);
  QStringList kinds;
  for (const char16_t* item : text::kRadioGroupCihazItems)
    kinds << ToQString(item);
  RadioGroupCihaz = Place(
      new ColumnRadioGroup(PanelCallerID,
                           ToQString(text::kRadioGroupCihazTitle), kinds, 2),
      23, 140, 383, 59);

  PanARG = Place(new BevelPanel(PanelCallerID, Bevel::kRaised, Bevel::kNone),
                 23, 205, 383, 219);
  sLabel3 = MakeLabel(PanARG, text::kSLabel3, 8, 13);
  ComboCIHAZ = MakeList(PanARG, text::kComboCihazItems, 8, 31, 217, 21);
  LabelSec = MakeLabel(PanARG, text::kLabelSecComPort, 231, 13);
  EditIP = Place(new QLineEdit(PanARG), 231, 32, 146, 21);
  ComboPORT = MakeList(PanARG, text::kComboPortItems, 231, 31, 82, 21);
  // Created before the log, which lies over it.
  ButtonBaglan = Place(new QPushButton(ToQString(text::kButtonBaglan), PanARG),
                       9, 119, 115, 25);
  ButtonBaglan->setAutoDefault(false);
  MemoLog = Place(new LogPane(PanARG), 1, 64, 381, 154);
  MemoLog->setToolTip(ToQString(text::kMemoLogHint));

  PanelDiger =
      Place(new BevelPanel(PanelCallerID, Bevel::kLowered, Bevel::kRaised), 24,
            205, 383, 219);
  VmWinButtonComPort =
      MakeButton(PanelDiger, text::kVmWinButtonComPort, 4, 8, 372, 31);
  VmWinButtonComPort->setFont(ArialBoldFont());
  VmWinButtonComPort->setToolTip(ToQString(text::kVmWinButtonComPortHint));
  Label23 = MakeLabel(PanelDiger, text::kLabel23, 16, 56);
  EditBaslama = Place(new QLineEdit(PanelDiger), 144, 50, 201, 21);
  Label24 = MakeLabel(PanelDiger, text::kLabel24, 16, 80);
  EditBitis = Place(new QLineEdit(PanelDiger), 144, 74, 201, 21);
  Label26 = MakeLabel(PanelDiger, text::kLabel26, 16, 104);
  RxSpinEditNoBaslama =
      Place(new StepOnlySpinBox(PanelDiger, kSpinMinimum, kSpinMaximum), 296,
            96, 49, 21);
  Label27 = MakeLabel(PanelDiger, text::kLabel27, 16, 128);
  RxSpinEditNoUzunluk =
      Place(new StepOnlySpinBox(PanelDiger, kSpinMinimum, kSpinMaximum), 296,
            120, 49, 21);
  Label25 = MakeLabel(PanelDiger, text::kLabel25, 8, 181);
  Label25->setGeometry(8, 181, 329, 13);
  sButton5 = MakeButton(PanelDiger, text::kSButton5, 296, 176, 75, 25);

  sPanel1 = Place(new BevelPanel(this, Bevel::kRaised, Bevel::kNone), 8, 483,
                  432, 41);
  sButton1 = MakeButton(sPanel1, text::kSButton1, 9, 5, 99, 30);
  sButton2 = MakeButton(sPanel1, text::kSButton2, 112, 5, 99, 30);
  sButton3 = MakeButton(sPanel1, text::kSButton3, 216, 5, 99, 30);
  ButtonKapat = MakeButton(sPanel1, text::kButtonKapat, 321, 5, 99, 30);

  PaintFieldsBlackOnWhite(this);

  // A maximised window stretches these; everything else keeps its place.
  auto* window_anchors = new AnchorLayout(this);
  window_anchors->Add(PanelCallerID, kAnchorAll);
  window_anchors->Add(sPanel1, kAnchorLeft | kAnchorRight | kAnchorBottom);
  auto* panel_anchors = new AnchorLayout(PanelCallerID);
  panel_anchors->Add(RadioGroupCihaz, kAnchorLeft | kAnchorTop | kAnchorRight);
  panel_anchors->Add(PanelDiger, kAnchorAll);
  auto* serial_anchors = new AnchorLayout(PanelDiger);
  serial_anchors->Add(VmWinButtonComPort,
                      kAnchorLeft | kAnchorTop | kAnchorRight);
}

void QtSettingsWindow::Connect() {
  using L = SettingsViewListener;
  connect(CheckBoxCallerIDKullan, &QCheckBox::clicked, this,
          [this] { Report(&L::OnCheckBoxClick); });
  connect(RadioGroupCihaz, &ColumnRadioGroup::ItemClicked, this,
          [this] { Report(&L::OnRadioGroupClick); });
  connect(ComboCIHAZ, &QComboBox::activated, this,
          [this] { Report(&L::OnComboCihazChange); });
  connect(MemoLog, &LogPane::DoubleClicked, this,
          [this] { Report(&L::OnMemoLogDblClick); });
  connect(EditPort, &PortNumberEdit::EscapePressed, this,
          [this] { Report(&L::OnEditPortEscape); });
  connect(EditPort, &PortNumberEdit::FocusLeft, this,
          [this] { Report(&L::OnEditPortExit); });
  connect(sButton1, &QPushButton::clicked, this,
          [this] { Report(&L::OnKaydet); });
  connect(sButton2, &QPushButton::clicked, this,
          [this] { Report(&L::OnUygula); });
  connect(sButton3, &QPushButton::clicked, this,
          [this] { Report(&L::OnGizle); });
  connect(ButtonKapat, &QPushButton::clicked, this,
          [this] { Report(&L::OnKapat); });
  connect(sButton4, &QPushButton::clicked, this,
          [this] { Report(&L::OnPortuTestEt); });
  connect(sButton5, &QPushButton::clicked, this,
          [this] { Report(&L::OnTestEkrani); });
  connect(VmWinButtonComPort, &QPushButton::clicked, this,
          [this] { Report(&L::OnComportAyarlari); });
}

void QtSettingsWindow::Report(void (SettingsViewListener::*action)()) {
  if (listener_)
    (listener_->*action)();
}

bool QtSettingsWindow::CheckBoxCallerIDKullanChecked() const {
  return CheckBoxCallerIDKullan->isChecked();
}

void QtSettingsWindow::SetCheckBoxCallerIDKullanChecked(bool checked) {
  CheckBoxCallerIDKullan->setChecked(checked);
}

int QtSettingsWindow::RadioGroupCihazIndex() const {
  return RadioGroupCihaz->ItemIndex();
}

void QtSettingsWindow::SetRadioGroupCihazIndex(int index) {
  RadioGroupCihaz->SetItemIndex(index);
}

QLineEdit* QtSettingsWindow::Edit(SettingsEdit edit) const {
  switch (edit) {
    case SettingsEdit::kEditPort:
      return EditPort;
    case SettingsEdit::kEditBaslama:
      return EditBaslama;
    case SettingsEdit::kEditBitis:
      return EditBitis;
    case SettingsEdit::kEditIP:
      return EditIP;
  }
  return EditPort;
}

std::u16string QtSettingsWindow::EditText(SettingsEdit edit) const {
  return FromQString(Edit(edit)->text());
}

void QtSettingsWindow::SetEditText(SettingsEdit edit,
                                   const std::u16string& text) {
  Edit(edit)->setText(ToQString(text));
}

StepOnlySpinBox* QtSettingsWindow::Spin(SettingsSpin spin) const {
  return spin == SettingsSpin::kRxSpinEditNoBaslama ? RxSpinEditNoBaslama
                                                    : RxSpinEditNoUzunluk;
}

int QtSettingsWindow::SpinValue(SettingsSpin spin) const {
  return Spin(spin)->value();
}

void QtSettingsWindow::SetSpinValue(SettingsSpin spin, int value) {
  Spin(spin)->setValue(value);
}

QComboBox* QtSettingsWindow::Combo(SettingsCombo combo) const {
  return combo == SettingsCombo::kComboCIHAZ ? ComboCIHAZ : ComboPORT;
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
    case SettingsShown::kPanelCallerID:
      widget = PanelCallerID;
      break;
    case SettingsShown::kPanARG:
      widget = PanARG;
      break;
    case SettingsShown::kPanelDiger:
      widget = PanelDiger;
      break;
    case SettingsShown::kLabelSec:
      widget = LabelSec;
      break;
    case SettingsShown::kEditIP:
      widget = EditIP;
      break;
    case SettingsShown::kComboPORT:
      widget = ComboPORT;
      break;
  }
  widget->setVisible(visible);
}

void QtSettingsWindow::SetLabelSecText(const std::u16string& text) {
  LabelSec->setText(ToQString(text));
  LabelSec->adjustSize();
}

void QtSettingsWindow::AddMemoLogLines(const std::vector<std::u16string>& lines) {
  // One paragraph per line, laid out in one go.
  QStringList text;
  text.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::u16string& line : lines) text.append(ToQString(line));
  MemoLog->appendPlainText(text.join(QLatin1Char('\n')));
}

void QtSettingsWindow::RemoveFirstMemoLogLines(size_t count) {
  QTextCursor cursor(MemoLog->document());
  cursor.movePosition(QTextCursor::Start);
  cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor,
                      static_cast<int>(count));
  cursor.removeSelectedText();
}

void QtSettingsWindow::ClearMemoLog() {
  MemoLog->clear();
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
