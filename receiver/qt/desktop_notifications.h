#ifndef ORVANTA_RECEIVER_QT_DESKTOP_NOTIFICATIONS_H_
#define ORVANTA_RECEIVER_QT_DESKTOP_NOTIFICATIONS_H_

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace orvanta {

// The desktop's notification service (org.freedesktop.Notifications on the
// session bus), which shows notifications also where there is no tray
// (GNOME). A click on a notification, where the service offers that (its
// "default" action), calls `clicked`.
class DesktopNotifications : public QObject {
  Q_OBJECT
 public:
  explicit DesktopNotifications(std::function<void()> clicked);

  // True when a notification service answers on the session bus now.
  bool Available();
  // Shows a notification in place of the last one; `refused` runs when the
  // service does not take it after all.
  void Show(const QString& title, const QString& text,
            std::function<void()> refused);

 private slots:
  void OnActionInvoked(uint id, const QString& action);

 private:
  std::function<void()> clicked_;
  QDBusConnection bus_;
  bool knows_capabilities_ = false;
  QStringList capabilities_;
  uint last_id_ = 0;
};

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_QT_DESKTOP_NOTIFICATIONS_H_
