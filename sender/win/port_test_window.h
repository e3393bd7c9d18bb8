#ifndef ORVANTA_SENDER_WIN_PORT_TEST_WINDOW_H_
#define ORVANTA_SENDER_WIN_PORT_TEST_WINDOW_H_

#include <windows.h>

#include "sender/port_test_view.h"
#include "desktop/win/controls.h"
#include "desktop/win/form_window.h"

namespace orvanta::win {

// "Comport Test": the bytes the serial port delivers, as running text (left)
// and one line per byte (right).
class PortTestWindow : public FormWindow, public PortTestView {
 public:
  static constexpr wchar_t kClassName[] = L"OrvantaPortTestWindow";

  PortTestWindow(PortTestViewListener& listener, HICON icon, HICON small_icon);
  ~PortTestWindow() override;

  // PortTestView.
  void AppendText(const std::u16string& text) override;
  void AddByteLine(const std::u16string& line) override;
  void ShowModal() override;
  void Close() override;

 protected:
  void ApplyFonts(UINT dpi) override;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  PortTestViewListener& listener_;
  bool closed_ = false;
  Font font_;
  TextPane text_pane_;
  TextPane byte_pane_;
  Panel button_panel_;
  Button close_button_;
};

}  // namespace orvanta::win

#endif  // ORVANTA_SENDER_WIN_PORT_TEST_WINDOW_H_
