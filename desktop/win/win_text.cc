#include "desktop/win/win_text.h"

namespace orvanta::win {

std::u16string WindowText(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  std::wstring text(length + 1, L'\0');
  int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(got > 0 ? got : 0);
  return U16(text);
}

void SetWindowTextU16(HWND hwnd, std::u16string_view text) {
  SetWindowTextW(hwnd, Wide(text).c_str());
}

}  // namespace orvanta::win
