#include "receiver/call_history.h"

#include <filesystem>
#include <fstream>
#include <optional>

#include "base/failure.h"
#include "base/text.h"
#include "receiver/csv_line.h"
#include "settings/settings_file.h"

namespace orvanta {
namespace {

std::string EntryLine(const HistoryEntry& entry) {
  return JoinCsvLine({EncodeUtf8(entry.time), EncodeUtf8(entry.line),
                      EncodeUtf8(entry.number), EncodeUtf8(entry.name)},
                     ';') +
         "\r\n";
}

}  // namespace

CallHistory::CallHistory(std::u16string path, size_t limit)
    : path_(std::move(path)), limit_(limit) {}

void CallHistory::Load() {
  entries_.clear();
  lines_in_file_ = 0;
  std::optional<std::string> bytes = ReadWholeFile(path_);
  if (!bytes) return;
  // A line cut short by a crash must not swallow the next call's line.
  needs_line_break_ = !bytes->empty() && bytes->back() != '\n';
  for (std::string_view line : SplitLines(*bytes)) {
    ++lines_in_file_;
    std::vector<std::string> fields = SplitCsvLine(line, ';');
    if (fields.size() != 4) continue;
    entries_.push_back({Utf8ToUtf16(fields[0]), Utf8ToUtf16(fields[1]),
                        Utf8ToUtf16(fields[2]), Utf8ToUtf16(fields[3])});
    if (entries_.size() > limit_) entries_.pop_front();
  }
}

void CallHistory::Add(const HistoryEntry& entry) {
  entries_.push_back(entry);
  if (entries_.size() > limit_) entries_.pop_front();
  if (lines_in_file_ + 1 > limit_ + limit_ / 4) {
    Compact();
    return;
  }
  std::ofstream file(std::filesystem::path(path_),
                     std::ios::binary | std::ios::app);
  const std::string line =
      (needs_line_break_ ? std::string("\r\n") : std::string()) +
      EntryLine(entry);
  if (file) file.write(line.data(), static_cast<std::streamsize>(line.size()));
  if (file) file.flush();
  if (!file) {
    throw Failure(u"Cannot write file " + path_);
  }
  needs_line_break_ = false;
  ++lines_in_file_;
}

void CallHistory::Compact() {
  std::string text;
  for (const HistoryEntry& entry : entries_) text += EntryLine(entry);
  ReplaceFile(path_, text);
  lines_in_file_ = entries_.size();
  needs_line_break_ = false;
}

}  // namespace orvanta
