#include "callerid/modem_report.h"

#include "base/text.h"

namespace orvanta {
namespace {

bool IsLineEnd(unsigned char c) { return c == '\r' || c == '\n'; }

bool IsControl(unsigned char c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsAsciiAlnum(char c) {
  const char upper = AsciiUpper(c);
  return (upper >= 'A' && upper <= 'Z') || (c >= '0' && c <= '9');
}

constexpr struct {
  const char* tag;
  ModemField field;
} kTags[] = {
    {"DATE", ModemField::kDate},   {"TIME", ModemField::kTime},
    {"NMBR", ModemField::kNumber}, {"DDN_NMBR", ModemField::kNumber},
    {"NAME", ModemField::kName},   {"MESG", ModemField::kMessage},
};

// "RING", and the distinctive-ring forms some modems use ("RING1", "RINGA",
// "RING 2"); not "RINGING" or "RINGBACK", which answer a dialled call.
bool IsRing(std::string_view line) {
  if (line.size() < 4 || !SameTextAscii(line.substr(0, 4), "RING"))
    return false;
  const std::string_view rest = line.substr(4);
  return rest.empty() || IsBlank(rest.front()) ||
         (rest.size() == 1 && IsAsciiAlnum(rest.front()));
}

}  // namespace

ModemEvent ReadModemLine(std::string_view line) {
  line = TrimSpacesAndTabs(line);
  if (SameTextAscii(line, "OK") || line == "0") {
    return {ModemEventKind::kOk, ModemField::kDate, {}};
  }
  if (SameTextAscii(line, "ERROR") || line == "4") {
    return {ModemEventKind::kError, ModemField::kDate, {}};
  }
  if (IsRing(line) || line == "2") {
    return {ModemEventKind::kRing, ModemField::kDate, {}};
  }
  const size_t equals = line.find('=');
  if (equals != std::string_view::npos) {
    const std::string_view tag = TrimSpacesAndTabs(line.substr(0, equals));
    for (const auto& known : kTags) {
      if (SameTextAscii(tag, known.tag)) {
        return {ModemEventKind::kField, known.field,
                std::string(TrimSpacesAndTabs(line.substr(equals + 1)))};
      }
    }
  }
  return {ModemEventKind::kOther, ModemField::kDate, std::string(line)};
}

const char* ModemFieldTag(ModemField field) {
  switch (field) {
    case ModemField::kDate:
      return "DATE";
    case ModemField::kTime:
      return "TIME";
    case ModemField::kNumber:
      return "NMBR";
    case ModemField::kName:
      return "NAME";
    case ModemField::kMessage:
      return "MESG";
  }
  return "?";
}

std::vector<ModemEvent> ModemReportParser::Feed(std::string_view chunk) {
  std::vector<ModemEvent> events;
  for (const char byte : chunk) {
    const auto c = static_cast<unsigned char>(byte);
    if (IsLineEnd(c)) {
      if (!overlong_) {
        ModemEvent event = ReadModemLine(line_);
        if (event.kind != ModemEventKind::kOther || !event.text.empty())
          events.push_back(std::move(event));
      }
      Reset();
      continue;
    }
    if (overlong_) continue;
    if (++line_bytes_ > kLineLimit) {
      overlong_ = true;
      line_.clear();
      continue;
    }
    if (!IsControl(c)) line_.push_back(byte);
  }
  return events;
}

void ModemReportParser::Reset() {
  line_.clear();
  line_bytes_ = 0;
  overlong_ = false;
}

}  // namespace orvanta
