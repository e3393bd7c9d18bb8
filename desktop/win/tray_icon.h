#ifndef ORVANTA_DESKTOP_WIN_TRAY_ICON_H_
#define ORVANTA_DESKTOP_WIN_TRAY_ICON_H_

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "desktop/win/window.h"

namespace orvanta::win {

// The notification-area icon with its own hidden message window. It adds
// itself again when the taskbar is re-created and removes itself when
// destroyed and when the session ends.
class TrayIcon : public Window {
 public:
  // The shell call and the wait between retries; tests replace both.
  using NotifyFunction = std::function<BOOL(DWORD message, NOTIFYICONDATAW*)>;
  using SleepFunction = std::function<void(DWORD milliseconds)>;

  static constexpr UINT kCallbackMessage = WM_APP + 1;
  static constexpr UINT kIconId = 1;
  static constexpr UINT kBalloonTimer = 1;
  // A time-out of the shell is retried this many times, a second apart.
  static constexpr int kAddRetries = 31;

  TrayIcon(HICON icon, std::u16string tip, NotifyFunction notify = {},
           SleepFunction sleep = {});
  ~TrayIcon() override;

  // Adds the icon to the notification area. False when the shell refused.
  bool Add();
  void Remove();
  bool Shown() const { return shown_; }

  void SetTip(std::u16string_view tip);  // cut to 127 characters
  const std::u16string& tip() const { return tip_; }

  // A balloon with no icon, taken down by our own timer after `timeout_ms`
  // (the shell ignores the time-out it is given). Only while shown.
  void ShowBalloon(std::u16string_view title, std::u16string_view text,
                   UINT timeout_ms);
  void HideBalloon();
  bool BalloonPending() const { return balloon_up_; }

  // Opens `menu` at the cursor and returns the chosen command (0: none).
  UINT TrackMenu(HMENU menu);

  // Every call-back from the shell runs through `guard` (the default error
  // report wraps it).
  std::function<void(const std::function<void()>&)> guard;
  std::function<void()> on_double_click;
  std::function<void()> on_menu;  // right click or keyboard selection

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  NOTIFYICONDATAW BaseData() const;
  void Run(const std::function<void()>& action);

  HICON icon_;
  std::u16string tip_;
  NotifyFunction notify_;
  SleepFunction sleep_;
  UINT taskbar_created_;
  bool shown_ = false;
  bool balloon_up_ = false;
};

}  // namespace orvanta::win

#endif  // ORVANTA_DESKTOP_WIN_TRAY_ICON_H_
