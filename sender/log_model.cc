#include "sender/log_model.h"

#include <utility>
#include <vector>

namespace orvanta {

LogModel::LogModel(Poster post) : post_(std::move(post)) {}

void LogModel::AttachPane(LogView* pane) {
  pane_ = pane;
  drawn_first_ = drawn_end_ = first_;
}

void LogModel::AddLogLine(const std::u16string& line) {
  lines_.push_back(line);
  if (lines_.size() > kMaxLines) {
    lines_.pop_front();
    ++first_;
  }
  if (echo_) EchoLater(line);
  // A hidden pane is caught up when the window is shown.
  if (refresh_posted_ || !pane_ || !pane_->WindowVisible()) return;
  if (!post_) {
    Refresh();
    return;
  }
  refresh_posted_ = true;
  post_([this] { Refresh(); });
}

void LogModel::EchoLater(const std::u16string& line) {
  unechoed_.push_back(line);
  // A flood that outruns the user-interface thread keeps the latest, as the
  // pane does.
  if (unechoed_.size() > kMaxLines) unechoed_.pop_front();
  if (echo_posted_) return;
  if (!post_) {
    ServeEcho();
    return;
  }
  echo_posted_ = true;
  post_([this] { ServeEcho(); });
}

void LogModel::ServeEcho() {
  echo_posted_ = false;
  const std::deque<std::u16string> lines = std::exchange(unechoed_, {});
  if (echo_ && !lines.empty()) echo_({lines.begin(), lines.end()});
}

void LogModel::ClearLog() {
  first_ += lines_.size();
  lines_.clear();
  if (pane_) pane_->ClearLogPane();
  drawn_first_ = drawn_end_ = first_;
}

void LogModel::Refresh() {
  refresh_posted_ = false;
  if (!pane_) return;
  // Old lines go before new ones come, so the pane never holds more than
  // the model.
  if (drawn_end_ <= first_) {
    // Nothing the pane shows is still kept.
    if (drawn_first_ != drawn_end_) pane_->ClearLogPane();
    drawn_first_ = drawn_end_ = first_;
  } else if (drawn_first_ < first_) {
    pane_->RemoveFirstLogLines(static_cast<size_t>(first_ - drawn_first_));
    drawn_first_ = first_;
  }
  const uint64_t end = first_ + lines_.size();
  if (drawn_end_ < end) {
    std::vector<std::u16string> added(
        lines_.begin() + static_cast<ptrdiff_t>(drawn_end_ - first_),
        lines_.end());
    pane_->AddLogLines(added);
    drawn_end_ = end;
  }
}

}  // namespace orvanta
