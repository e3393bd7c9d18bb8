#ifndef ORVANTA_SENDER_LOG_MODEL_H_
#define ORVANTA_SENDER_LOG_MODEL_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "notify/announcer.h"

namespace orvanta {

class SettingsView;

// The log pane's lines as the program keeps them: the most recent lines, in
// order, and how far the window's pane has drawn them.
//
// A call's line goes into the model before its datagram is sent; the pane
// is drawn later, by a refresh posted to the user-interface thread, and only
// while the window is visible, so laying out text never delays a call. Many
// lines arriving together are drawn in one refresh. Showing the window
// catches the pane up.
class LogModel : public CallLog {
 public:
  // An office runs the program for months: older lines are dropped.
  static constexpr size_t kMaxLines = 2000;

  // Runs a piece of work later on the user-interface thread, after the
  // current handler. Empty: Refresh() runs at once.
  using Poster = std::function<void(std::function<void()>)>;

  explicit LogModel(SettingsView& view, Poster post = {});

  // CallLog: a new last line; the whole text cleared (the pane at once).
  void AddLogLine(const std::u16string& line) override;
  void ClearLog() override;

  const std::deque<std::u16string>& Lines() const { return lines_; }

  // Brings the pane up to date with the model, whether it is visible or not.
  void Refresh();
  // The window has just been shown.
  void WindowShown() { Refresh(); }

 private:
  SettingsView& view_;
  Poster post_;
  std::deque<std::u16string> lines_;
  // Lines are numbered from the start of the program: lines_[0] has number
  // first_, and the pane holds the lines drawn_first_ .. drawn_end_ - 1.
  uint64_t first_ = 0;
  uint64_t drawn_first_ = 0;
  uint64_t drawn_end_ = 0;
  bool refresh_posted_ = false;
};

}  // namespace orvanta

#endif  // ORVANTA_SENDER_LOG_MODEL_H_
