#include "desktop/qt/destinations_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "desktop/qt/fonts.h"
#include "desktop/qt/qt_text.h"

namespace orvanta {

namespace {

namespace text = destinations_text;
using P = DestinationsPart;

QRect ToQRect(const LayoutRect& rect) {
  return QRect(rect.left, rect.top, rect.width, rect.height);
}

}  // namespace

QtDestinationsDialog::QtDestinationsDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DestinationsDialog"));
  setWindowTitle(ToQString(text::kCaption));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(DestinationsDialogFont());
  setFixedSize(kDestinationsClientSize.width, kDestinationsClientSize.height);
  Build();
}

void QtDestinationsDialog::Build() {
  // Made in the table's order, which is the Tab key's.
  for (const DestinationsPlacement& placed : kDestinationsLayout) {
    QWidget* in = OnDialog(placed) ? this : Of(placed.parent);
    auto label = [&](const char16_t* caption) {
      auto* made = new QLabel(ToQString(caption), in);
      // The answers quote servers, which may send markup.
      made->setTextFormat(Qt::PlainText);
      if (!FitsText(placed)) {
        made->setWordWrap(true);
        made->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      }
      return made;
    };
    auto button = [&](const char16_t* caption,
                      void (DestinationsViewListener::*action)()) {
      auto* made = new QPushButton(ToQString(caption), in);
      // Enter never presses a button by accident (it would save).
      made->setAutoDefault(false);
      connect(made, &QPushButton::clicked, this,
              [this, action] { Report(action); });
      return made;
    };
    auto line = [&](bool password = false) {
      auto* made = new QLineEdit(in);
      if (password) made->setEchoMode(QLineEdit::Password);
      connect(made, &QLineEdit::textEdited, this,
              [this] { Report(&DestinationsViewListener::OnEdited); });
      return made;
    };
    auto check = [&]() {
      auto* made = new QCheckBox(ToQString(text::kEnabled), in);
      connect(made, &QCheckBox::clicked, this,
              [this] { Report(&DestinationsViewListener::OnEdited); });
      return made;
    };
    QWidget* made = nullptr;
    switch (placed.part) {
      case P::kList:
        made = list_ = new QListWidget(in);
        list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
          if (listener_) listener_->OnRowChosen(row);
        });
        break;
      case P::kAddButton:
        made =
            button(text::kAddWebhook, &DestinationsViewListener::OnAddWebhook);
        break;
      case P::kRemoveButton:
        made = button(text::kRemove, &DestinationsViewListener::OnRemove);
        break;
      case P::kNote:
        made = note_ = label(u"");
        break;
      case P::kWebhookPanel:
      case P::kMqttPanel:
        made = new QWidget(in);
        made->hide();
        break;
      case P::kWebhookUrlLabel:
        made = label(text::kUrl);
        break;
      case P::kWebhookMethodLabel:
        made = label(text::kMethod);
        break;
      case P::kWebhookMethod:
        made = method_ = new QComboBox(in);
        for (const char16_t* method : text::kMethods)
          method_->addItem(ToQString(method));
        connect(method_, &QComboBox::activated, this,
                [this] { Report(&DestinationsViewListener::OnEdited); });
        break;
      case P::kWebhookHeadersLabel:
        made = label(text::kHeaders);
        break;
      case P::kWebhookHeaders:
        made = headers_ = new QPlainTextEdit(in);
        headers_->setLineWrapMode(QPlainTextEdit::NoWrap);
        headers_->setTabChangesFocus(true);
        connect(headers_, &QPlainTextEdit::textChanged, this,
                [this] { Report(&DestinationsViewListener::OnEdited); });
        break;
      case P::kWebhookHeadersHint:
        made = label(text::kHeadersHint);
        break;
      case P::kWebhookPinLabel:
        made = label(text::kPin);
        break;
      case P::kWebhookEnabled:
        made = webhook_enabled_ = check();
        break;
      case P::kMqttUrlLabel:
        made = label(text::kBroker);
        break;
      case P::kMqttUserLabel:
        made = label(text::kUser);
        break;
      case P::kMqttPasswordLabel:
        made = label(text::kPassword);
        break;
      case P::kMqttPassword:
        made = line(true);
        break;
      case P::kMqttClientIdLabel:
        made = label(text::kClientId);
        break;
      case P::kMqttPrefixLabel:
        made = label(text::kPrefix);
        break;
      case P::kMqttCaFileLabel:
        made = label(text::kCaFile);
        break;
      case P::kWebhookUrl:
      case P::kWebhookPin:
      case P::kMqttUrl:
      case P::kMqttUser:
      case P::kMqttClientId:
      case P::kMqttPrefix:
      case P::kMqttCaFile:
        made = line();
        break;
      case P::kMqttEnabled:
        made = mqtt_enabled_ = check();
        break;
      case P::kTestButton:
        made = button(text::kTest, &DestinationsViewListener::OnTest);
        break;
      case P::kTestAnswer:
        made = answer_ = label(u"");
        break;
      case P::kProblems:
        made = problems_ = label(u"");
        break;
      case P::kStatus:
        made = status_ = label(u"");
        break;
      case P::kSaveButton:
        made = button(text::kSave, &DestinationsViewListener::OnSave);
        break;
      case P::kApplyButton:
        made = button(text::kApply, &DestinationsViewListener::OnApply);
        break;
      case P::kCancelButton:
        made = button(text::kCancel, &DestinationsViewListener::OnCancel);
        break;
    }
    if (FitsText(placed)) {
      made->adjustSize();
      made->move(placed.rect.left, placed.rect.top);
    } else {
      made->setGeometry(ToQRect(placed.rect));
    }
    by_part_[static_cast<size_t>(placed.part)] = made;
  }
}

void QtDestinationsDialog::Report(void (DestinationsViewListener::*action)()) {
  if (listener_) (listener_->*action)();
}

void QtDestinationsDialog::SetRows(const std::vector<std::u16string>& rows,
                                   int chosen) {
  const QSignalBlocker quiet(list_);
  // Rows are rewritten in place, so that the list keeps its scroll position
  // while the user types.
  while (list_->count() > static_cast<int>(rows.size()))
    delete list_->takeItem(list_->count() - 1);
  for (size_t i = 0; i < rows.size(); ++i) {
    const QString row = ToQString(rows[i]);
    if (static_cast<int>(i) < list_->count()) {
      if (list_->item(static_cast<int>(i))->text() != row)
        list_->item(static_cast<int>(i))->setText(row);
    } else {
      list_->addItem(row);
    }
  }
  list_->setCurrentRow(chosen);
}

void QtDestinationsDialog::ShowPanel(Panel panel) {
  Of(P::kWebhookPanel)->setVisible(panel == Panel::kWebhook);
  Of(P::kMqttPanel)->setVisible(panel == Panel::kMqtt);
}

QWidget* QtDestinationsDialog::EditOf(Field field) const {
  switch (field) {
    case Field::kWebhookUrl:
      return Of(P::kWebhookUrl);
    case Field::kWebhookHeaders:
      return Of(P::kWebhookHeaders);
    case Field::kWebhookPin:
      return Of(P::kWebhookPin);
    case Field::kMqttUrl:
      return Of(P::kMqttUrl);
    case Field::kMqttUser:
      return Of(P::kMqttUser);
    case Field::kMqttPassword:
      return Of(P::kMqttPassword);
    case Field::kMqttClientId:
      return Of(P::kMqttClientId);
    case Field::kMqttPrefix:
      return Of(P::kMqttPrefix);
    case Field::kMqttCaFile:
      break;
  }
  return Of(P::kMqttCaFile);
}

std::u16string QtDestinationsDialog::Text(Field field) const {
  if (field == Field::kWebhookHeaders)
    return FromQString(headers_->toPlainText());
  return FromQString(static_cast<QLineEdit*>(EditOf(field))->text());
}

void QtDestinationsDialog::SetText(Field field, const std::u16string& text) {
  if (field == Field::kWebhookHeaders) {
    const QSignalBlocker quiet(headers_);
    headers_->setPlainText(ToQString(text));
    return;
  }
  static_cast<QLineEdit*>(EditOf(field))->setText(ToQString(text));
}

bool QtDestinationsDialog::Checked(Check check) const {
  return (check == Check::kWebhookEnabled ? webhook_enabled_ : mqtt_enabled_)
      ->isChecked();
}

void QtDestinationsDialog::SetChecked(Check check, bool checked) {
  (check == Check::kWebhookEnabled ? webhook_enabled_ : mqtt_enabled_)
      ->setChecked(checked);
}

int QtDestinationsDialog::MethodIndex() const {
  return method_->currentIndex();
}

void QtDestinationsDialog::SetMethodIndex(int index) {
  method_->setCurrentIndex(index);
}

void QtDestinationsDialog::SetButtonEnabled(Button button, bool enabled) {
  Of(button == Button::kTest ? P::kTestButton : P::kRemoveButton)
      ->setEnabled(enabled);
}

void QtDestinationsDialog::SetTestAnswer(const std::u16string& text) {
  answer_->setText(ToQString(text));
}

void QtDestinationsDialog::SetProblems(const std::u16string& text) {
  problems_->setText(ToQString(text));
}

void QtDestinationsDialog::SetNote(const std::u16string& text) {
  note_->setText(ToQString(text));
}

void QtDestinationsDialog::SetStatus(const std::u16string& text) {
  status_->setText(ToQString(text));
}

void QtDestinationsDialog::ShowModal() {
  list_->setFocus();
  exec();
}

void QtDestinationsDialog::Close() { done(QDialog::Rejected); }

void QtDestinationsDialog::BringToFront() {
  raise();
  activateWindow();
}

void QtDestinationsDialog::reject() {
  Report(&DestinationsViewListener::OnCancel);
}

}  // namespace orvanta
