// calleridcomport.ini bytes into the line's settings. Whatever the file
// held, writing what was read and reading it again gives the same line,
// and writing that again leaves the file as the first write made it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "serial/port_settings_file.h"

namespace {

using orvanta::BaudRate;
using orvanta::LineSettings;
using orvanta::fuzz::Broken;

// Port names the file carries unchanged: a value is read without the
// blanks and control characters around it and without one pair of
// enclosing quotes, cut at kPortSettingsValueMax code units; a line break
// or a NUL ends it, and a lone surrogate is written as U+FFFD.
bool FileCanHold(std::u16string_view name) {
  if (name.size() > orvanta::kPortSettingsValueMax) return false;
  if (!name.empty()) {
    const char16_t first = name.front(), last = name.back();
    if (first <= u' ' || last <= u' ') return false;
    if (name.size() >= 2 && (first == u'"' || first == u'\'') && last == first)
      return false;
  }
  for (size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    if (c == u'\r' || c == u'\n' || c == u'\0') return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 == name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF)
        return false;
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

void ExpectSame(const LineSettings& read, const LineSettings& reread) {
  if (FileCanHold(read.port) && reread.port != read.port)
    Broken("port name", read.port);
  if (reread.baud_rate != read.baud_rate) Broken("baud rate");
  if (read.baud_rate == BaudRate::kCustom &&
      reread.custom_baud_rate != read.custom_baud_rate) {
    Broken("custom baud rate");
  }
  if (reread.data_bits != read.data_bits) Broken("data bits");
  if (reread.stop_bits != read.stop_bits) Broken("stop bits");
  if (reread.parity != read.parity) Broken("parity");
  if (reread.flow_control != read.flow_control) Broken("flow control");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const LineSettings read = orvanta::ReadPortSettings(bytes, LineSettings{});
  const std::string written = orvanta::WritePortSettings(bytes, read);

  const LineSettings reread =
      orvanta::ReadPortSettings(written, LineSettings{});
  ExpectSame(read, reread);
  if (FileCanHold(read.port) &&
      orvanta::WritePortSettings(written, reread) != written) {
    Broken("writing what was read changes the file");
  }
  return 0;
}
