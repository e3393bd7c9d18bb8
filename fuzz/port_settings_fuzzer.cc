// calleridcomport.ini bytes into the port's parameters. Whatever the file
// held, the port stores what it read, reads the same parameters back, and a
// second store leaves the file as the first one wrote it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/failure.h"
#include "base/text.h"
#include "base/ui_handover.h"
#include "fuzz/fuzz_support.h"
#include "serial/serial_port.h"

namespace {

using orvanta::PortStoreKind;
using orvanta::SerialPort;
using orvanta::fuzz::Broken;

constexpr char kFileName[] = "calleridcomport.ini";

void Load(SerialPort& port, const std::u16string& path) {
  try {
    port.LoadSettings(PortStoreKind::stIniFile, path);
  } catch (const orvanta::Failure&) {
    // Kind 17: the parameters read before the failure stay; go on with them.
  }
}

// Port names the file format carries unchanged: the reader drops blanks
// and tabs around a value and one pair of enclosing quotes, and cuts it at
// 2047 code units, which may split a surrogate pair; a CR is line-break
// material (at the end of the file it ends the line).
bool FileCanHold(std::u16string_view name) {
  if (name.find(u'\r') != std::u16string_view::npos) return false;
  if (!name.empty()) {
    const char16_t first = name.front(), last = name.back();
    if (first == u' ' || first == u'\t' || last == u' ' || last == u'\t')
      return false;
    if (name.size() >= 2 && (first == u'"' || first == u'\'') && last == first)
      return false;
  }
  for (size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
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

void ExpectSame(const SerialPort& read, const SerialPort& reread) {
  if (FileCanHold(read.Port()) && reread.Port() != read.Port())
    Broken("port name", read.Port());
  if (reread.BaudRate() != read.BaudRate()) Broken("baud rate");
  if (read.BaudRate() == orvanta::TBaudRate::brCustom &&
      reread.CustomBaudRate() != read.CustomBaudRate()) {
    Broken("custom baud rate");
  }
  if (reread.DataBits() != read.DataBits()) Broken("data bits");
  if (reread.StopBits() != read.StopBits()) Broken("stop bits");
  if (reread.Parity().Bits() != read.Parity().Bits()) Broken("parity");
  if (reread.FlowControl().FlowControl() != read.FlowControl().FlowControl())
    Broken("flow control");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string path = orvanta::fuzz::PutScratchFile(kFileName, bytes);
  orvanta::UiHandover ui;

  SerialPort read(ui);
  Load(read, path);
  read.StoreSettings(PortStoreKind::stIniFile, path);
  const std::string stored = orvanta::fuzz::ReadScratchFile(kFileName);

  SerialPort reread(ui);
  Load(reread, path);
  ExpectSame(read, reread);

  reread.StoreSettings(PortStoreKind::stIniFile, path);
  if (FileCanHold(read.Port()) &&
      orvanta::fuzz::ReadScratchFile(kFileName) != stored) {
    Broken("storing what was read changes the file");
  }
  return 0;
}
