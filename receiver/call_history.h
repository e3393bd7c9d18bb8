#ifndef ORVANTA_RECEIVER_CALL_HISTORY_H_
#define ORVANTA_RECEIVER_CALL_HISTORY_H_

#include <cstddef>
#include <deque>
#include <string>

namespace orvanta {

struct HistoryEntry {
  std::u16string time;  // local time, "2026-12-10 13:45:02"
  std::u16string line;
  std::u16string number;
  std::u16string name;  // from the phone book at the time of the call
  bool operator==(const HistoryEntry&) const = default;
};

// The calls heard, oldest first, kept in a "time;line;number;name" UTF-8
// file. Each call is appended as one line, so a crash loses at most the
// call being written; once the file holds a quarter more lines than the
// bound, it is rewritten whole (in one atomic step) with the newest calls.
class CallHistory {
 public:
  static constexpr size_t kDefaultLimit = 10000;

  explicit CallHistory(std::u16string path, size_t limit = kDefaultLimit);

  // Reads the file (a missing one is an empty history). Unreadable lines
  // are skipped. Raises Failure when the file is there but cannot be read.
  void Load();
  // Keeps the call and appends it to the file. The call stays in memory
  // even when the file cannot be written; the failure is raised after.
  void Add(const HistoryEntry& entry);

  const std::deque<HistoryEntry>& entries() const { return entries_; }
  const std::u16string& path() const { return path_; }

 private:
  void Compact();

  std::u16string path_;
  size_t limit_;
  size_t lines_in_file_ = 0;
  bool needs_line_break_ = false;
  std::deque<HistoryEntry> entries_;
};

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_CALL_HISTORY_H_
