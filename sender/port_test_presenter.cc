#include "sender/port_test_presenter.h"

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

PortTestPresenter::PortTestPresenter(Shell& shell)
    : view_(shell.CreatePortTestView(*this)) {}

PortTestPresenter::~PortTestPresenter() = default;

void PortTestPresenter::ShowChunk(std::string_view chunk) {
  view_->AppendText(Displayable(FromAnsi(chunk)));
  for (char byte : chunk) {
    view_->AddByteLine(ByteLine(static_cast<unsigned char>(byte)));
  }
}

void PortTestPresenter::OnClose() { view_->Close(); }

void ShowPortTestWindow(Shell& shell, SerialConnection& connection) {
  PortTestPresenter presenter(shell);
  connection.SetTestSink(&presenter);
  // Runs before `presenter` is destroyed, also when the showing fails, so a
  // chunk can never reach a window that is going away.
  struct Detach {
    SerialConnection& connection;
    ~Detach() { connection.SetTestSink(nullptr); }
  } detach{connection};
  presenter.View().ShowModal();
}

}  // namespace orvanta
