#include "serial/port_list.h"

#include <algorithm>

#include "base/text.h"

namespace orvanta {

void SortPortNames(std::vector<std::u16string>& names) {
  std::stable_sort(names.begin(), names.end(),
                   [](const std::u16string& a, const std::u16string& b) {
                     return LessIgnoringAsciiCase(a, b);
                   });
}

}  // namespace orvanta
