#ifndef ORVANTA_SENDER_PORT_TEST_VIEW_H_
#define ORVANTA_SENDER_PORT_TEST_VIEW_H_

#include <string>

namespace orvanta {

class PortTestViewListener;

// The port test window "Comport Test" as a passive view:
// two editable text panes (the running text, and one line per byte) and
// a "Kapat" button. Created by Shell::CreatePortTestView, shown modally by
// the presenter, destroyed after the presenter has detached it from the
// serial receive path. Both panes start empty.
class PortTestView {
 public:
  virtual ~PortTestView() = default;

  // The text pane: append at the end of the pane's current text (including what
  // the user typed there), no separator. The text may contain CR, LF and other
  // control characters exactly as the device sent them.
  virtual void AppendText(const std::u16string& text) = 0;
  // The byte pane: add one line at the end.
  virtual void AddByteLine(const std::u16string& line) = 0;

  // Show modally (the settings window is disabled meanwhile) and return
  // when the window is closed, by Close() or by its close box. Serial
  // notifications are still dispatched while it runs.
  virtual void ShowModal() = 0;
  // End the modal showing.
  virtual void Close() = 0;
};

class PortTestViewListener {
 public:
  virtual ~PortTestViewListener() = default;
  // close_button "Kapat" clicked. (The close box just ends the showing.)
  virtual void OnClose() = 0;
};

namespace port_test_text {
inline constexpr char16_t kCaption[] = u"Comport Test";
inline constexpr char16_t kCloseButton[] = u"Kapat";
}  // namespace port_test_text

}  // namespace orvanta

#endif  // ORVANTA_SENDER_PORT_TEST_VIEW_H_
