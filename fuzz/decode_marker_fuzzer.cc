// Marker texts with "#N" escapes. Besides running the decoder under the
// sanitizers, compares it with the decoding written out plainly: 256 passes,
// largest code first, each on the previous one's output.

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/text.h"
#include "fuzz/fuzz_support.h"
#include "callerid/packet_framing.h"

namespace {

std::string PlainDecoding(std::u16string_view text) {
  std::string bytes = orvanta::ToAnsi(text);
  for (int code = 255; code >= 0; --code) {
    const std::u16string pattern = u"#" + orvanta::IntToText(code);
    const std::u16string wide = orvanta::FromAnsi(bytes);
    std::u16string out;
    size_t at = 0;
    for (size_t found; (found = wide.find(pattern, at)) != std::u16string::npos;
         at = found + pattern.size()) {
      out.append(wide, at, found - at);
      out.push_back(static_cast<char16_t>(code));
    }
    out.append(wide, at);
    bytes = orvanta::ToAnsi(out);
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Markers are short; long inputs only slow the 256 passes down.
  if (size > 512) return 0;
  const std::u16string text = orvanta::fuzz::CodeUnits(data, size);
  if (orvanta::DecodeMarker(text) != PlainDecoding(text))
    orvanta::fuzz::Broken("decoding differs from the plain one", text);
  // The same text typed as 8-bit characters (the usual case: digits, "#").
  std::u16string narrow(data, data + size);
  if (orvanta::DecodeMarker(narrow) != PlainDecoding(narrow))
    orvanta::fuzz::Broken("decoding differs from the plain one", narrow);
  return 0;
}
