#include "settings/file_encoding.h"

#include "base/text.h"

namespace orvanta {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

std::optional<EncodingProblem> FindEncodingProblem(
    std::string_view file_bytes) {
  using Kind = EncodingProblem::Kind;
  if (file_bytes.starts_with("\xFF\xFE") ||
      file_bytes.starts_with("\xFE\xFF") ||
      file_bytes.substr(0, 2).find('\0') != std::string_view::npos) {
    return EncodingProblem{Kind::kUtf16, 0};
  }
  size_t skipped = 0;
  std::string_view text = file_bytes;
  if (text.starts_with(kUtf8Mark)) {
    text.remove_prefix(kUtf8Mark.size());
    skipped = kUtf8Mark.size();
  }
  // The same rules the store decodes by.
  const size_t valid = ValidUtf8Length(text);
  if (valid < text.size()) {
    return EncodingProblem{Kind::kNotUtf8, skipped + valid};
  }
  const size_t nul = text.find('\0');
  if (nul == std::string_view::npos) return std::nullopt;
  return EncodingProblem{Kind::kNulByte, skipped + nul};
}

}  // namespace orvanta
