#include "sender/log_model.h"

#include <utility>
#include <vector>

#include "sender/settings_view.h"

namespace orvanta {

LogModel::LogModel(SettingsView& view, Poster post)
    : view_(view), post_(std::move(post)) {}

void LogModel::AddLogLine(const std::u16string& line) {
  lines_.push_back(line);
  if (lines_.size() > kMaxLines) {
    lines_.pop_front();
    ++first_;
  }
  // A hidden pane is caught up when the window is shown.
  if (refresh_posted_ || !view_.WindowVisible()) return;
  if (!post_) {
    Refresh();
    return;
  }
  refresh_posted_ = true;
  post_([this] { Refresh(); });
}

void LogModel::ClearLog() {
  first_ += lines_.size();
  lines_.clear();
  view_.ClearLogPane();
  drawn_first_ = drawn_end_ = first_;
}

void LogModel::Refresh() {
  refresh_posted_ = false;
  // Old lines go before new ones come, so the pane never holds more than
  // the model.
  if (drawn_end_ <= first_) {
    // Nothing the pane shows is still kept.
    if (drawn_first_ != drawn_end_) view_.ClearLogPane();
    drawn_first_ = drawn_end_ = first_;
  } else if (drawn_first_ < first_) {
    view_.RemoveFirstLogLines(static_cast<size_t>(first_ - drawn_first_));
    drawn_first_ = first_;
  }
  const uint64_t end = first_ + lines_.size();
  if (drawn_end_ < end) {
    std::vector<std::u16string> added(
        lines_.begin() + static_cast<ptrdiff_t>(drawn_end_ - first_),
        lines_.end());
    view_.AddLogLines(added);
    drawn_end_ = end;
  }
}

}  // namespace orvanta
