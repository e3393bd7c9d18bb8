#ifndef ORVANTA_RECEIVER_TEST_FAKE_HISTORY_VIEW_H_
#define ORVANTA_RECEIVER_TEST_FAKE_HISTORY_VIEW_H_

#include <optional>
#include <string>
#include <vector>

#include "receiver/history_view.h"

namespace orvanta {

// Holds what the history window shows, as a screen would: the rows as last
// drawn, the selection, the status line, the clipboard.
class FakeHistoryView : public HistoryView {
 public:
  void ShowRows(const HistoryRows& rows) override {
    numbers.clear();
    for (size_t i = 0; i < rows.RowCount(); ++i)
      numbers.push_back(rows.Row(i).number);
  }
  std::optional<size_t> SelectedRow() const override { return selected; }
  void SelectRow(std::optional<size_t> row) override { selected = row; }
  void SetStatus(const std::u16string& text) override { status = text; }
  void ShowAndActivate() override { shown = true; }
  bool IsShown() const override { return shown; }
  std::optional<std::u16string> AskForPhoneBookFile() override {
    ++file_questions;
    return file_answer;
  }
  void CopyToClipboard(const std::u16string& text) override {
    clipboard = text;
  }

  // The number column, newest first.
  std::vector<std::u16string> numbers;
  std::optional<size_t> selected;
  std::u16string status;
  bool shown = false;
  std::u16string clipboard;
  // What the file dialog answers (nothing: cancelled), and how often it
  // was shown.
  std::optional<std::u16string> file_answer;
  int file_questions = 0;
};

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_TEST_FAKE_HISTORY_VIEW_H_
