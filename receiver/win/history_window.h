#ifndef ORVANTA_RECEIVER_WIN_HISTORY_WINDOW_H_
#define ORVANTA_RECEIVER_WIN_HISTORY_WINDOW_H_

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

#include "desktop/win/window.h"
#include "receiver/call_history.h"

namespace orvanta::win {

// The call history: a list of time, line, number and name, newest first,
// with a copy button. A passive view: rows are read through `Source` when
// the list draws them, actions go out through `Actions`.
class HistoryWindow : public Window {
 public:
  struct Source {
    std::function<size_t()> count;
    std::function<const HistoryEntry&(size_t newest_first)> row;
  };
  struct Actions {
    std::function<void(size_t newest_first)> copy_number;
    std::function<void()> reload_phone_book;
    // The session ends (or the installer asks the receiver to end).
    std::function<void()> end_session;
  };
  // Its window class; the installer finds a running receiver by it.
  static constexpr wchar_t kClassName[] = L"OrvantaAliciHistory";
  static constexpr int kListId = 100;
  static constexpr int kCopyId = 101;
  static constexpr int kReloadId = 102;

  HistoryWindow(Source source, Actions actions, HICON icon);
  ~HistoryWindow() override;

  void ShowAndActivate();
  void Refresh();  // the rows changed
  void SetStatus(std::u16string_view text);

  HWND list() const { return list_; }
  HWND copy_button() const { return copy_; }
  HWND status() const { return status_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Arrange();
  void CopySelected();

  Source source_;
  Actions actions_;
  HWND list_ = nullptr;
  HWND copy_ = nullptr;
  HWND reload_ = nullptr;
  HWND status_ = nullptr;
  std::wstring cell_;  // the text handed to the list while it draws
};

}  // namespace orvanta::win

#endif  // ORVANTA_RECEIVER_WIN_HISTORY_WINDOW_H_
