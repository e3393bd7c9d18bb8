#ifndef ORVANTA_SENDER_LOG_MODEL_H_
#define ORVANTA_SENDER_LOG_MODEL_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "base/program_log.h"

namespace orvanta {

// The window's log pane, as the log model draws into it.
class LogView {
 public:
  virtual ~LogView() = default;
  // New last lines, in order; the first `count` lines removed (fewer than
  // it holds); the whole text cleared. The pane holds only lines added here.
  virtual void AddLogLines(const std::vector<std::u16string>& lines) = 0;
  virtual void RemoveFirstLogLines(size_t count) = 0;
  virtual void ClearLogPane() = 0;
  // Whether the pane's window is on screen.
  virtual bool WindowVisible() const = 0;
};

// The log pane's lines as the program keeps them: the most recent lines, in
// order, and how far the window's pane has drawn them.
//
// A call's line goes into the model before its datagram is sent; the pane
// is drawn later, by a refresh posted to the user-interface thread, and only
// while the window is visible, so laying out text never delays a call. Many
// lines arriving together are drawn in one refresh. Showing the window
// catches the pane up.
class LogModel : public ProgramLog {
 public:
  // An office runs the program for months: older lines are dropped.
  static constexpr size_t kMaxLines = 2000;

  // Runs a piece of work later on the user-interface thread, after the
  // current handler. Empty: Refresh() runs at once.
  using Poster = std::function<void(std::function<void()>)>;

  explicit LogModel(Poster post = {});

  // The pane the lines are drawn into, once the window exists; null
  // detaches. The lines kept so far are drawn when the window is shown.
  void AttachPane(LogView* pane);

  // Where a program without a screen writes its lines instead: every new
  // line, in order, handed over by the same later work as the pane's (so
  // never ahead of a call's datagram), several at once when they came
  // together. Empty: none.
  using Echo = std::function<void(const std::vector<std::u16string>& lines)>;
  void SetEcho(Echo echo) { echo_ = std::move(echo); }

  // ProgramLog: a new last line; the whole text cleared (the pane at once).
  void AddLogLine(const std::u16string& line) override;
  void ClearLog() override;

  const std::deque<std::u16string>& Lines() const { return lines_; }

  // Brings the pane up to date with the model, whether it is visible or not.
  void Refresh();
  // The window has just been shown.
  void WindowShown() { Refresh(); }

 private:
  void EchoLater(const std::u16string& line);
  void ServeEcho();

  LogView* pane_ = nullptr;
  Poster post_;
  Echo echo_;
  std::deque<std::u16string> unechoed_;
  bool echo_posted_ = false;
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
