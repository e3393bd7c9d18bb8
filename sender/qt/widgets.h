#ifndef ORVANTA_SENDER_QT_WIDGETS_H_
#define ORVANTA_SENDER_QT_WIDGETS_H_

#include <QLineEdit>
#include <QPlainTextEdit>

#include "desktop/qt/widgets.h"

// The settings window's own controls, besides the toolkit's. As there, every
// signal is raised by the user only.

namespace orvanta {

// The numeric port edit: keystrokes and pastes that would leave something
// other than a whole number as far as typed are dropped; Esc and the focus
// leaving are reported (the program restores and reformats the value).
class PortNumberEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit PortNumberEdit(QWidget* parent);

 signals:
  void EscapePressed();
  void FocusLeft();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

// A read-only log pane that reports double-clicks.
class LogPane : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit LogPane(QWidget* parent);

 signals:
  void DoubleClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace orvanta

#endif  // ORVANTA_SENDER_QT_WIDGETS_H_
