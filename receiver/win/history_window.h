#ifndef ORVANTA_RECEIVER_WIN_HISTORY_WINDOW_H_
#define ORVANTA_RECEIVER_WIN_HISTORY_WINDOW_H_

#include <windows.h>

#include <functional>
#include <string>

#include "desktop/win/window.h"
#include "receiver/history_view.h"

namespace orvanta::win {

// The history window on Windows, built from the layout table: a virtual
// list whose rows are read through the presenter while it draws.
class HistoryWindow : public Window, public HistoryView {
 public:
  // Its window class; the installer finds a running receiver by it.
  static constexpr wchar_t kClassName[] = L"OrvantaAliciHistory";
  static constexpr int kListId = 100;
  static constexpr int kCopyId = 101;
  static constexpr int kReloadId = 102;
  static constexpr int kImportId = 103;

  explicit HistoryWindow(HICON icon);
  ~HistoryWindow() override;

  // Set once, before the window is shown.
  void SetListener(HistoryViewListener* listener) { listener_ = listener; }
  // The session ends (or the installer asks the receiver to end).
  std::function<void()> on_end_session;

  void ShowRows(const HistoryRows& rows) override;
  std::optional<size_t> SelectedRow() const override;
  void SelectRow(std::optional<size_t> row) override;
  void SetStatus(const std::u16string& text) override;
  void ShowAndActivate() override;
  bool IsShown() const override;
  std::optional<std::u16string> AskForPhoneBookFile() override;
  void CopyToClipboard(const std::u16string& text) override;

  HWND list() const { return list_; }
  HWND copy_button() const { return copy_; }
  HWND import_button() const { return import_; }
  HWND reload_button() const { return reload_; }
  HWND status() const { return status_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Arrange();

  Layout layout_;
  HistoryViewListener* listener_ = nullptr;
  const HistoryRows* rows_ = nullptr;
  HWND list_ = nullptr;
  HWND copy_ = nullptr;
  HWND import_ = nullptr;
  HWND reload_ = nullptr;
  HWND status_ = nullptr;
  std::wstring cell_;  // the text handed to the list while it draws
};

}  // namespace orvanta::win

#endif  // ORVANTA_RECEIVER_WIN_HISTORY_WINDOW_H_
