#include "desktop/single_instance.h"

#include <cstdint>
#include <vector>

#include "base/text.h"

namespace orvanta {

std::u16string NormalisedFolder(std::u16string_view folder, PathStyle style) {
  const bool windows = style == PathStyle::kWindows;
  std::u16string path(folder);
  if (windows) {
    for (char16_t& c : path) {
      if (c == u'/') c = u'\\';
      c = UpperLatinTurkish(c);
    }
  }
  const char16_t separator = windows ? u'\\' : u'/';

  // The root stays as it is written ("/", "C:\\", "\\\\server\\share").
  std::u16string root;
  size_t at = 0;
  if (windows && path.starts_with(u"\\\\")) {
    root = u"\\\\";
    at = 2;
  } else if (windows && path.size() >= 2 && path[1] == u':') {
    root = path.substr(0, 2) + u"\\";
    at = 2;
  } else if (!path.empty() && path[0] == separator) {
    root = std::u16string(1, separator);
    at = 1;
  }

  std::vector<std::u16string> steps;
  while (at <= path.size()) {
    size_t end = path.find(separator, at);
    if (end == std::u16string::npos) end = path.size();
    std::u16string step = path.substr(at, end - at);
    if (step == u"..") {
      if (!steps.empty()) steps.pop_back();
    } else if (!step.empty() && step != u".") {
      steps.push_back(std::move(step));
    }
    at = end + 1;
  }

  std::u16string result = root;
  for (size_t i = 0; i < steps.size(); ++i) {
    if (i > 0) result += separator;
    result += steps[i];
  }
  return result;
}

std::string InstanceKey(std::u16string_view folder, PathStyle style,
                        std::string_view program) {
  uint64_t hash = 0xCBF29CE484222325ull;
  for (unsigned char byte : EncodeUtf8(NormalisedFolder(folder, style))) {
    hash ^= byte;
    hash *= 0x100000001B3ull;
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string key = std::string(program) + "-";
  for (int shift = 60; shift >= 0; shift -= 4)
    key += kDigits[(hash >> shift) & 0xF];
  return key;
}

}  // namespace orvanta
