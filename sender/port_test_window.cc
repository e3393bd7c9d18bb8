#include "sender/port_test_window.h"

#include "sender/shell.h"
#include "base/text.h"

namespace orvanta {
namespace {

// A zero byte would cut the text short in the platform's text controls;
// it is shown as the symbol for NUL instead.
std::u16string Displayable(std::u16string text) {
  for (char16_t& c : text) {
    if (c == u'\0') c = u'\u2400';
  }
  return text;
}

}  // namespace

std::u16string ByteLine(unsigned char byte) {
  const std::string one(1, static_cast<char>(byte));
  return IntToText(byte) + u" (" + Displayable(FromAnsi(one)) + u")";
}

PortTestWindow::PortTestWindow(Shell& shell)
    : view_(shell.CreatePortTestView(*this)) {}

PortTestWindow::~PortTestWindow() = default;

void PortTestWindow::ShowChunk(std::string_view chunk) {
  view_->AppendText(Displayable(FromAnsi(chunk)));
  for (char byte : chunk) {
    view_->AddByteLine(ByteLine(static_cast<unsigned char>(byte)));
  }
}

void PortTestWindow::OnClose() { view_->Close(); }

void ShowPortTestWindow(Shell& shell, SerialConnection& connection) {
  PortTestWindow window(shell);
  connection.SetTestSink(&window);
  // Runs before `window` is destroyed, also when the showing fails, so a
  // chunk can never reach a window that is going away.
  struct Detach {
    SerialConnection& connection;
    ~Detach() { connection.SetTestSink(nullptr); }
  } detach{connection};
  window.View().ShowModal();
}

}  // namespace orvanta
