#include "receiver/qt/desktop_notifications.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace orvanta {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// A notification stays as long as the tray's balloon does.
constexpr int kShownMs = 10000;
// A service that does not answer this soon is taken as gone; the receiver's
// event loop must not wait on it.
constexpr int kCapabilitiesTimeoutMs = 1000;

QDBusMessage Call(const QString& method) {
  return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

}  // namespace

DesktopNotifications::DesktopNotifications(std::function<void()> clicked)
    : clicked_(std::move(clicked)), bus_(QDBusConnection::sessionBus()) {
  if (bus_.isConnected()) {
    bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"),
                 this, SLOT(OnActionInvoked(uint, QString)));
  }
}

bool DesktopNotifications::Available() {
  if (!bus_.isConnected() || !bus_.interface()) return false;
  if (!bus_.interface()->isServiceRegistered(kService).value()) {
    knows_capabilities_ = false;
    return false;
  }
  if (!knows_capabilities_) {
    const QDBusMessage reply =
        bus_.call(Call(QStringLiteral("GetCapabilities")), QDBus::Block,
                  kCapabilitiesTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage ||
        reply.arguments().isEmpty()) {
      return false;
    }
    capabilities_ = reply.arguments().front().toStringList();
    knows_capabilities_ = true;
  }
  return true;
}

void DesktopNotifications::Show(const QString& title, const QString& text,
                                std::function<void()> refused) {
  // Received text is shown as text, never as markup a service may read.
  const QString body = capabilities_.contains(QStringLiteral("body-markup"))
                           ? text.toHtmlEscaped()
                           : text;
  QStringList actions;
  if (capabilities_.contains(QStringLiteral("actions"))) {
    actions << QStringLiteral("default")
            << QString::fromUtf16(u"Arama Ge\u00e7mi\u015fi");
  }
  QVariantMap hints;
  hints.insert(QStringLiteral("desktop-entry"),
               QStringLiteral("orvanta-alici"));
  QDBusMessage message = Call(QStringLiteral("Notify"));
  message << QString::fromUtf16(u"Orvanta Al\u0131c\u0131") << last_id_
          << QStringLiteral("orvanta-alici") << title << body << actions
          << hints << kShownMs;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, refused = std::move(refused)](QDBusPendingCallWatcher* call) {
            const QDBusPendingReply<uint> reply = *call;
            call->deleteLater();
            if (reply.isError()) {
              knows_capabilities_ = false;
              if (refused) refused();
              return;
            }
            last_id_ = reply.value();
          });
}

void DesktopNotifications::OnActionInvoked(uint id, const QString& action) {
  if (id == last_id_ && action == QStringLiteral("default") && clicked_) {
    clicked_();
  }
}

}  // namespace orvanta
