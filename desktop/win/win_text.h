#ifndef ORVANTA_DESKTOP_WIN_WIN_TEXT_H_
#define ORVANTA_DESKTOP_WIN_WIN_TEXT_H_

#include <windows.h>

#include <string>
#include <string_view>

namespace orvanta::win {

// wchar_t is UTF-16 on Windows: the core's u16string and the W APIs share
// one representation.
inline std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}
inline std::u16string U16(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

// The whole text of a window.
std::u16string WindowText(HWND hwnd);
void SetWindowTextU16(HWND hwnd, std::u16string_view text);

}  // namespace orvanta::win

#endif  // ORVANTA_DESKTOP_WIN_WIN_TEXT_H_
