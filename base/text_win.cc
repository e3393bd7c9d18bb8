#include "base/text.h"

#include <windows.h>

namespace orvanta {

std::string ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int n = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(CP_ACP, 0, wide, n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, n, out.data(), size, nullptr, nullptr);
  return out;
}

std::u16string FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int n = static_cast<int>(bytes.size());
  const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), n, nullptr, 0);
  std::u16string out(static_cast<size_t>(size), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), n,
                      reinterpret_cast<wchar_t*>(out.data()), size);
  return out;
}

std::u16string UpperCase(std::u16string_view text) {
  std::u16string out(text);
  if (!out.empty()) {
    CharUpperBuffW(reinterpret_cast<wchar_t*>(out.data()),
                   static_cast<DWORD>(out.size()));
  }
  return out;
}

bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                        reinterpret_cast<const wchar_t*>(a.data()),
                        static_cast<int>(a.size()),
                        reinterpret_cast<const wchar_t*>(b.data()),
                        static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace orvanta
