#include "sender/qt/widgets.h"

#include <QEvent>
#include <QKeyEvent>
#include <QValidator>

#include "sender/settings_view.h"

namespace orvanta {
namespace {

// Asks the program's rule whether a keystroke or paste may stand.
class PortTextValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return PortTextAccepts(input.toStdU16String()) ? Acceptable : Invalid;
  }
};

}  // namespace

PortNumberEdit::PortNumberEdit(QWidget* parent) : QLineEdit(parent) {
  setValidator(new PortTextValidator(this));
}

void PortNumberEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    emit EscapePressed();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void PortNumberEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  emit FocusLeft();
}

LogPane::LogPane(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  viewport()->installEventFilter(this);
}

bool LogPane::eventFilter(QObject* watched, QEvent* event) {
  if (watched == viewport() && event->type() == QEvent::MouseButtonDblClick) {
    emit DoubleClicked();
    return true;
  }
  return QPlainTextEdit::eventFilter(watched, event);
}

}  // namespace orvanta
