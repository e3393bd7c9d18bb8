#include "settings/file_encoding.h"

#include <cstdint>

#include "base/text.h"

namespace orvanta {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Offset of the first byte that does not start a well-formed UTF-8
// sequence (no overlong forms, surrogates or code points above U+10FFFF).
size_t FirstInvalidUtf8Byte(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const uint8_t lead = static_cast<uint8_t>(bytes[i]);
    size_t length = 0;
    uint32_t low = 0;  // smallest code point allowed for the length
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      low = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      low = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      low = 0x10000;
    } else {
      return i;
    }
    if (i + length > bytes.size()) return i;
    uint32_t code = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const uint8_t next = static_cast<uint8_t>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return i;
      code = (code << 6) | (next & 0x3F);
    }
    if (code < low || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      return i;
    i += length;
  }
  return bytes.size();
}

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
  // The store's own decoder decides; the scan only finds the place.
  if (!DecodeUtf8Strict(text)) {
    const size_t at = FirstInvalidUtf8Byte(text);
    return EncodingProblem{Kind::kNotUtf8,
                           skipped + (at < text.size() ? at : 0)};
  }
  const size_t nul = text.find('\0');
  if (nul == std::string_view::npos) return std::nullopt;
  return EncodingProblem{Kind::kNulByte, skipped + nul};
}

}  // namespace orvanta
