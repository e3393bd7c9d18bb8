#ifndef ORVANTA_CALLERID_MODEM_REPORT_H_
#define ORVANTA_CALLERID_MODEM_REPORT_H_

// What a voice/data modem says on its serial line, line by line: result
// codes, RING, and the tagged lines of its caller-ID report
// ("NMBR = 05321234567"). Pure: bytes in, events out.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

enum class ModemEventKind {
  kRing,   // "RING", or 2 with numeric result codes
  kField,  // one line of a caller-ID report
  kOk,     // "OK", or 0
  kError,  // "ERROR", or 4
  kOther,  // anything else: an echoed command, another result code
};

// The tags of a caller-ID report.
enum class ModemField {
  kDate,     // DATE, month and day: "1211"
  kTime,     // TIME, hours and minutes: "0130"
  kNumber,   // NMBR (DDN_NMBR on some modems); "P" private, "O" unavailable
  kName,     // NAME
  kMessage,  // MESG: caller-ID data the modem could not decode
};

struct ModemEvent {
  ModemEventKind kind = ModemEventKind::kOther;
  ModemField field = ModemField::kDate;  // kField only
  // kField: the value; kOther: the whole line; empty otherwise. Single-byte
  // text without control characters, blanks taken off both ends.
  std::string text;

  bool operator==(const ModemEvent&) const = default;
};

// Splits the byte stream into lines and reads each.
//
// A line ends at CR or LF, so "\r", "\r\n" and "\n" all work and the empty
// lines between them say nothing. Control characters (C0, DEL and the C1
// range 0x80-0x9F, which no modem sends as text) are removed; bytes from
// 0xA0 up are kept, as the ANSI code page reads them. Tags, result codes
// and RING are matched regardless of letter case; blanks around "=" are
// optional. A line longer than kLineLimit bytes is line noise: it is
// dropped whole, and is never held in memory beyond the limit.
class ModemReportParser {
 public:
  static constexpr size_t kLineLimit = 256;

  // Takes the next bytes as they came from the port; returns what the lines
  // they complete say, in order. How the stream is cut into chunks makes no
  // difference.
  std::vector<ModemEvent> Feed(std::string_view chunk);

  // Forgets a partial line (the port was closed and opened again).
  void Reset();

  // The bytes of the line not complete yet, without control characters.
  const std::string& PartialLine() const { return line_; }

 private:
  std::string line_;
  size_t line_bytes_ = 0;  // as received, control characters included
  bool overlong_ = false;
};

// What one line (without its line end, control characters removed) says;
// kOther with an empty text for a blank line.
ModemEvent ReadModemLine(std::string_view line);

// The word a modem uses for a tag ("NMBR").
const char* ModemFieldTag(ModemField field);

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_MODEM_REPORT_H_
