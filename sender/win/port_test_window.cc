#include "sender/win/port_test_window.h"

#include "desktop/win/win_text.h"
#include "sender/port_test_layout.h"

namespace orvanta::win {

namespace {

constexpr DWORD kStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

void AppendToEdit(HWND edit, const std::u16string& text) {
  const int length = GetWindowTextLengthW(edit);
  SendMessageW(edit, EM_SETSEL, length, length);
  std::wstring wide = Wide(text);
  SendMessageW(edit, EM_REPLACESEL, FALSE,
               reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace

PortTestWindow::PortTestWindow(PortTestViewListener& listener, HICON icon,
                               HICON small_icon)
    : listener_(listener) {
  CreateForm(kClassName,
             reinterpret_cast<const wchar_t*>(port_test_text::kCaption), kStyle,
             0, kPortTestClientSize, icon, small_icon);
  // Editable panes with both scroll bars: lines are not wrapped.
  text_pane_.Create(*this, kPortTestTextPane, WS_HSCROLL | ES_AUTOHSCROLL);
  byte_pane_.Create(*this, kPortTestBytePane, WS_HSCROLL | ES_AUTOHSCROLL);
  button_panel_.Create(*this, kPortTestButtonPanel, kLayoutTopLeft,
                       Panel::kRaised, true);
  close_button_.Create(
      button_panel_,
      reinterpret_cast<const wchar_t*>(port_test_text::kCloseButton),
      kPortTestCloseButton, kLayoutTopLeft, false);
  close_button_.on_click = [this] { listener_.OnClose(); };
  FinishLayout();
}

PortTestWindow::~PortTestWindow() { DestroyNow(); }

void PortTestWindow::ApplyFonts(UINT dpi) {
  font_.Create(L"Tahoma", 8, false, dpi);
  SetFontDeep(hwnd(), font_.get());
}

void PortTestWindow::AppendText(const std::u16string& text) {
  // An edit control shows a line break only for CR LF; the device's bytes
  // stay as they came, so a lone CR or LF shows as a glyph.
  AppendToEdit(text_pane_.hwnd(), text);
}

void PortTestWindow::AddByteLine(const std::u16string& line) {
  byte_pane_.AddLine(line);
}

void PortTestWindow::ShowModal() {
  closed_ = false;
  CentreOnScreen(hwnd());
  RunModal(hwnd(), [this] { return closed_; });
}

void PortTestWindow::Close() {
  closed_ = true;
  // Wakes the modal loop should this come from outside a message.
  PostMessageW(hwnd(), WM_NULL, 0, 0);
}

LRESULT PortTestWindow::HandleMessage(UINT message, WPARAM wparam,
                                      LPARAM lparam) {
  if (message == WM_CLOSE) {
    closed_ = true;
    return 0;
  }
  return FormWindow::HandleMessage(message, wparam, lparam);
}

}  // namespace orvanta::win
