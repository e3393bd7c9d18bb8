#include "base/system_error.h"

namespace orvanta {

std::u16string TrimMessageEnd(std::u16string text) {
  while (!text.empty() && (text.back() <= u' ' || text.back() == u'.')) {
    text.pop_back();
  }
  return text;
}

}  // namespace orvanta
