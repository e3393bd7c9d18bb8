#include "serial/profile.h"

#include <windows.h>

#include <vector>

namespace orvanta {
namespace {

std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

}  // namespace

std::u16string ReadIniValue(const std::u16string& path,
                            std::u16string_view section,
                            std::u16string_view key,
                            const std::u16string& default_value) {
  std::vector<wchar_t> buffer(kProfileValueMax + 1);
  const DWORD n = GetPrivateProfileStringW(
      Wide(section).c_str(), Wide(key).c_str(), Wide(default_value).c_str(),
      buffer.data(), static_cast<DWORD>(buffer.size()), Wide(path).c_str());
  return std::u16string(buffer.begin(), buffer.begin() + n);
}

bool WriteIniValue(const std::u16string& path, std::u16string_view section,
                   std::u16string_view key, std::u16string_view value) {
  return WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(),
                                    Wide(value).c_str(),
                                    Wide(path).c_str()) != FALSE;
}

}  // namespace orvanta
