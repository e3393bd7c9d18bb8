#ifndef ORVANTA_RECEIVER_WIN_WIN_RECEIVER_SHELL_H_
#define ORVANTA_RECEIVER_WIN_WIN_RECEIVER_SHELL_H_

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "desktop/win/tray_icon.h"
#include "base/ui_handover.h"
#include "receiver/call_bridge.h"
#include "receiver/call_hook.h"
#include "receiver/call_listener.h"
#include "receiver/history_presenter.h"
#include "receiver/receiver_app.h"
#include "receiver/win/history_window.h"
#include "callerid/destinations_editor.h"

namespace orvanta::win {

// The tray icon of the receiver: also reports a click on its balloon, and
// carries the listener's wake-up message to the user-interface thread.
class ReceiverTray : public TrayIcon {
 public:
  static constexpr UINT kWakeMessage = WM_APP + 2;
  using TrayIcon::TrayIcon;

  std::function<void()> on_balloon_click;
  std::function<void()> on_wake;
  std::function<void()> on_end_session;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
};

// The Win32 shell of the receiver: tray icon and menu, balloon, the history
// window and its presenter.
class WinReceiverShell : public ReceiverShell {
 public:
  static constexpr UINT kMenuHistory = 1;
  static constexpr UINT kMenuQuit = 2;
  static constexpr UINT kMenuDestinations = 3;

  // `notify` stands in for the shell's tray call in tests (empty: the real
  // one).
  explicit WinReceiverShell(TrayIcon::NotifyFunction notify = {});
  ~WinReceiverShell() override;

  void Attach(ReceiverApp& app);

  void ShowNotification(const std::u16string& title,
                        const std::u16string& text) override;
  void ShowHistoryWindow() override;
  void HistoryChanged() override;
  void ReportProblem(const std::u16string& text) override;

  // Logging off, shutting down, or an installer replacing the program: the
  // icon goes at once, the message loop ends next. The history is written
  // call by call, so nothing else is owed.
  void EndSession();

  // Tray menu "Hedefler".
  std::function<void()> on_destinations;

  ReceiverTray& tray() { return *tray_; }
  HistoryWindow* window() { return window_.get(); }
  HistoryPresenter& presenter() { return *presenter_; }
  // The last notification as "title\ntext" (tests look at it).
  const std::u16string& last_notification() const { return last_notification_; }

 private:
  void ShowMenu();

  ReceiverApp* app_ = nullptr;
  HICON icon_;
  std::unique_ptr<ReceiverTray> tray_;
  std::unique_ptr<HistoryWindow> window_;
  std::unique_ptr<HistoryPresenter> presenter_;
  std::u16string last_notification_;
};

// The whole receiver, as OrvantaAlici.exe runs it.
class WinReceiverProgram {
 public:
  WinReceiverProgram(std::u16string folder,
                     TrayIcon::NotifyFunction notify = {});
  ~WinReceiverProgram();

  // Binds the port of the settings file and starts listening (Failure when
  // the port cannot be had).
  void Start();
  uint16_t Port() const;

  // "Hedefler" from the tray menu: the dialog over Hedefler.ini in the
  // settings folder, whose calls the receiver forwards as a bridge.
  void OpenDestinations() { destinations_.Open(); }
  // What follows once the dialog wrote Hedefler.ini: the receiver takes the
  // destinations on. Empty: nothing to take them into.
  std::function<void()> destinations_saved;

  ReceiverApp& app() { return app_; }
  WinReceiverShell& shell() { return shell_; }
  CallBridge& bridge() { return bridge_; }

 private:
  WinReceiverShell shell_;
  SystemHookLauncher launcher_;
  ReceiverApp app_;
  UiHandover handover_;
  // After the hand-over its workers report through.
  CallBridge bridge_{shell_, handover_};
  std::atomic<bool> wake_posted_{false};
  std::unique_ptr<CallListener> listener_;
  DestinationsEditor destinations_;
};

}  // namespace orvanta::win

#endif  // ORVANTA_RECEIVER_WIN_WIN_RECEIVER_SHELL_H_
