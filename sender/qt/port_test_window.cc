#include "sender/qt/port_test_window.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

#include "desktop/qt/anchors.h"
#include "desktop/qt/fonts.h"
#include "desktop/qt/qt_text.h"
#include "sender/port_test_layout.h"
#include "desktop/qt/widgets.h"

namespace orvanta {
namespace {

QPlainTextEdit* MakePane(QWidget* parent, const LayoutRect& rect) {
  auto* pane = new QPlainTextEdit(parent);
  pane->setGeometry(ToQRect(rect));
  pane->setLineWrapMode(QPlainTextEdit::NoWrap);
  pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette palette = pane->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  pane->setPalette(palette);
  return pane;
}

}  // namespace

std::u16string PaneText(std::u16string_view text, bool line_breaks,
                        bool& after_cr) {
  std::u16string shown;
  shown.reserve(text.size());
  for (char16_t c : text) {
    const bool lf_after_cr = after_cr && c == u'\n';
    after_cr = false;
    if (line_breaks && (c == u'\r' || c == u'\n')) {
      if (lf_after_cr) continue;
      shown += u'\n';
      after_cr = c == u'\r';
    } else if (line_breaks && c == u'\t') {
      shown += c;
    } else if (c < 0x20) {
      shown += static_cast<char16_t>(0x2400 + c);
    } else if (c == 0x7F) {
      shown += u'\u2421';
    } else {
      shown += c;
    }
  }
  return shown;
}

QtPortTestWindow::QtPortTestWindow(PortTestViewListener& listener,
                                   QWidget* parent)
    : QDialog(parent), listener_(listener) {
  setObjectName(QStringLiteral("PortTestWindow"));
  setWindowTitle(ToQString(port_test_text::kCaption));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFont(TestWindowFont());
  setFixedSize(ToQSize(kPortTestClientSize));

  text_pane = MakePane(this, kPortTestTextPane);
  byte_pane = MakePane(this, kPortTestBytePane);
  button_panel = new BevelPanel(this, BevelPanel::Bevel::kRaised,
                                BevelPanel::Bevel::kNone);
  button_panel->setGeometry(ToQRect(kPortTestButtonPanel));
  close_button =
      new QPushButton(ToQString(port_test_text::kCloseButton), button_panel);
  close_button->setGeometry(ToQRect(kPortTestCloseButton));
  close_button->setAutoDefault(false);
  connect(close_button, &QPushButton::clicked, this,
          [this] { listener_.OnClose(); });
  setTabOrder(text_pane, byte_pane);
  setTabOrder(byte_pane, close_button);
}

void QtPortTestWindow::AppendText(const std::u16string& text) {
  QTextCursor end(text_pane->document());
  end.movePosition(QTextCursor::End);
  end.insertText(ToQString(PaneText(text, true, after_cr_)));
  text_pane->verticalScrollBar()->setValue(
      text_pane->verticalScrollBar()->maximum());
}

void QtPortTestWindow::AddByteLine(const std::u16string& line) {
  bool no_cr = false;
  byte_pane->appendPlainText(ToQString(PaneText(line, false, no_cr)));
}

void QtPortTestWindow::ShowModal() { exec(); }

void QtPortTestWindow::Close() { reject(); }

// The window has no Cancel button: Esc does not close it.
void QtPortTestWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(event);
}

}  // namespace orvanta
