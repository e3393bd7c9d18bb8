#ifndef ORVANTA_SENDER_QT_PORT_TEST_WINDOW_H_
#define ORVANTA_SENDER_QT_PORT_TEST_WINDOW_H_

#include <QDialog>

#include <string>

#include "sender/port_test_view.h"

class QPlainTextEdit;
class QPushButton;

namespace orvanta {

class BevelPanel;

// The port test window "Comport Test": what the serial device sends, as
// running text and one line per byte.
class QtPortTestWindow : public QDialog, public PortTestView {
  Q_OBJECT
 public:
  explicit QtPortTestWindow(PortTestViewListener& listener,
                            QWidget* parent = nullptr);

  // PortTestView.
  void AppendText(const std::u16string& text) override;
  void AddByteLine(const std::u16string& line) override;
  void ShowModal() override;
  void Close() override;

  QPlainTextEdit* text_pane;
  QPlainTextEdit* byte_pane;
  BevelPanel* button_panel;
  QPushButton* close_button;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  PortTestViewListener& listener_;
  // A CR that ended the last chunk: an LF opening the next one belongs to it.
  bool after_cr_ = false;
};

// How a received text is drawn in a pane: CR LF, a lone CR or a lone LF
// breaks the line (when `line_breaks`), a tab stays, and every other control
// character shows as its visible symbol (U+2400 + code, U+2421 for DEL).
// `after_cr` carries a CR that ended the previous piece across the call.
std::u16string PaneText(std::u16string_view text, bool line_breaks,
                        bool& after_cr);

}  // namespace orvanta

#endif  // ORVANTA_SENDER_QT_PORT_TEST_WINDOW_H_
