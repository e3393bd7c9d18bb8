#ifndef ORVANTA_RECEIVER_QT_RECEIVER_PROGRAM_H_
#define ORVANTA_RECEIVER_QT_RECEIVER_PROGRAM_H_

#include <QObject>
#include <QString>

#include <memory>
#include <string>

#include "base/ui_handover.h"
#include "desktop/qt/wake_descriptor.h"
#include "receiver/call_bridge.h"
#include "receiver/call_hook.h"
#include "receiver/call_listener.h"
#include "receiver/history_presenter.h"
#include "receiver/qt/desktop_notifications.h"
#include "receiver/qt/history_window.h"
#include "receiver/receiver_app.h"
#include "callerid/destinations_editor.h"

class QMenu;
class QSystemTrayIcon;

namespace orvanta {

// The Qt shell of the receiver: tray icon and menu, the notification (the
// desktop's notification service, else Qt's tray message), the history
// window and its presenter. Without a screen
// (Qt's offscreen platform) notifications and problems go to the terminal.
class QtReceiverShell : public QObject, public ReceiverShell {
  Q_OBJECT
 public:
  explicit QtReceiverShell(bool headless);
  ~QtReceiverShell() override;

  // The receiver whose history the window shows; set once, before any call.
  void Attach(ReceiverApp& app);

  void ShowNotification(const std::u16string& title,
                        const std::u16string& text) override;
  void ShowHistoryWindow() override;
  void HistoryChanged() override;
  void ReportProblem(const std::u16string& text) override;

  // Tray menu "Hedefler".
  std::function<void()> on_destinations;

  // A tray icon is there to open the history from.
  bool HasTray() const;
  HistoryWindow* Window() const { return window_.get(); }
  HistoryPresenter& Presenter() { return *presenter_; }
  QSystemTrayIcon* TrayIcon() const { return tray_; }
  QMenu* TrayMenu() const { return menu_.get(); }
  // The last notification as "title\ntext" (tests look at it).
  const QString& LastNotification() const { return last_notification_; }

 private:
  void ShowInTray(const std::u16string& title, const std::u16string& text);

  bool headless_;
  ReceiverApp* app_ = nullptr;
  std::unique_ptr<QMenu> menu_;
  QSystemTrayIcon* tray_ = nullptr;
  std::unique_ptr<HistoryWindow> window_;
  std::unique_ptr<HistoryPresenter> presenter_;
  std::unique_ptr<DesktopNotifications> notifications_;
  QString last_notification_;
};

// The whole receiver: its files in `folder`, listening on the port of its
// settings file (or `port_override` when not 0, for tests).
class ReceiverProgram {
 public:
  ReceiverProgram(std::u16string folder, bool headless,
                  uint16_t port_override = 0);
  ~ReceiverProgram();

  // Binds the port and starts listening; Failure when the port cannot be
  // had.
  void Start();

  // "Hedefler" from the tray menu: the dialog over Hedefler.ini in the
  // settings folder, whose calls the receiver forwards as a bridge.
  void OpenDestinations() { destinations_.Open(); }
  bool DestinationsOpen() const { return destinations_.IsOpen(); }
  // What follows once the dialog wrote Hedefler.ini: the receiver takes the
  // destinations on. Empty: nothing to take them into.
  std::function<void()> destinations_saved;

  ReceiverApp& App() { return app_; }
  QtReceiverShell& Shell() { return shell_; }
  CallBridge& Bridge() { return bridge_; }
  uint16_t Port() const;

 private:
  QtReceiverShell shell_;
  SystemHookLauncher launcher_;
  ReceiverApp app_;
  // Wakes that come while the user-interface thread is busy are served in
  // one go: a flood of datagrams must not pile up one event per datagram.
  WakeDescriptor wake_;
  UiHandover handover_;
  // After the hand-over its workers report through.
  CallBridge bridge_{shell_, handover_};
  uint16_t port_override_;
  std::unique_ptr<CallListener> listener_;
  DestinationsEditor destinations_;
};

// The receiver's icon (the program's telephone).
QIcon ReceiverIcon();

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_QT_RECEIVER_PROGRAM_H_
