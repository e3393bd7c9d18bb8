#include "serial/enum_ports.h"

#include <algorithm>

namespace orvanta {
namespace {

char16_t Fold(char16_t c) {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

}  // namespace

void SortPortNames(std::vector<std::u16string>& names) {
  std::stable_sort(names.begin(), names.end(),
                   [](const std::u16string& a, const std::u16string& b) {
                     return std::lexicographical_compare(
                         a.begin(), a.end(), b.begin(), b.end(),
                         [](char16_t x, char16_t y) { return Fold(x) < Fold(y); });
                   });
}

}  // namespace orvanta
