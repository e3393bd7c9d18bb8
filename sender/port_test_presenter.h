#ifndef ORVANTA_SENDER_PORT_TEST_PRESENTER_H_
#define ORVANTA_SENDER_PORT_TEST_PRESENTER_H_

#include <memory>
#include <string>
#include <string_view>

#include "callerid/serial_connection.h"
#include "sender/port_test_view.h"

namespace orvanta {

class Shell;

// The presenter of the port test window "Comport Test": shows every
// received chunk twice, as running text and as one line per byte.
class PortTestPresenter : public ChunkSink, public PortTestViewListener {
 public:
  // Creates the (not yet shown) view through the shell.
  explicit PortTestPresenter(Shell& shell);
  ~PortTestPresenter() override;

  PortTestView& View() { return *view_; }

  // ChunkSink: the text pane gets the chunk as ANSI text, the byte pane "65
  // (A)" per byte.
  void ShowChunk(std::string_view chunk) override;

  // PortTestViewListener: "Kapat" ends the modal showing.
  void OnClose() override;

 private:
  std::unique_ptr<PortTestView> view_;
};

// "Test Ekranı": create the window, make it the serial connection's
// destination for received chunks, show it modally; when it closes, first
// take it away from the connection, then destroy it.
void ShowPortTestWindow(Shell& shell, SerialConnection& connection);

// The byte pane line for one byte: "65 (A)".
std::u16string ByteLine(unsigned char byte);

}  // namespace orvanta

#endif  // ORVANTA_SENDER_PORT_TEST_PRESENTER_H_
