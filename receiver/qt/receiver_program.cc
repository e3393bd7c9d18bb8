#include "receiver/qt/receiver_program.h"

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

#include <cstdio>

#include "desktop/qt/destinations_dialog.h"
#include "desktop/qt/qt_text.h"
#include "desktop/version.h"
#include "base/failure.h"
#include "base/text.h"

namespace orvanta {

QIcon ReceiverIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    icon.addFile(
        QStringLiteral(":/orvanta_alici/icons/%1x%1/orvanta.png").arg(size),
        QSize(size, size));
  }
  return icon;
}

QtReceiverShell::QtReceiverShell(bool headless)
    : headless_(headless), menu_(std::make_unique<QMenu>()) {}

QtReceiverShell::~QtReceiverShell() = default;

void QtReceiverShell::Attach(ReceiverApp& app) {
  app_ = &app;
  window_ = std::make_unique<HistoryWindow>();
  window_->setWindowIcon(ReceiverIcon());
  presenter_ = std::make_unique<HistoryPresenter>(*window_, app);
  window_->SetListener(presenter_.get());

  QAction* history = menu_->addAction(ToQString(u"Arama Ge\u00e7mi\u015fi"));
  QAction* destinations = menu_->addAction(ToQString(u"Hedefler"));
  QAction* quit = menu_->addAction(ToQString(u"Program\u0131 Kapat"));
  connect(history, &QAction::triggered, this, [this] { ShowHistoryWindow(); });
  connect(destinations, &QAction::triggered, this, [this] {
    if (on_destinations) on_destinations();
  });
  connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit);
  if (headless_) return;
  notifications_ = std::make_unique<DesktopNotifications>(
      [this] { app_->NotificationClicked(); });
  tray_ = new QSystemTrayIcon(ReceiverIcon(), this);
  tray_->setToolTip(ToQString(u"Orvanta Al\u0131c\u0131"));
  tray_->setContextMenu(menu_.get());
  connect(tray_, &QSystemTrayIcon::messageClicked, this,
          [this] { app_->NotificationClicked(); });
  connect(tray_, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger ||
                reason == QSystemTrayIcon::DoubleClick) {
              ShowHistoryWindow();
            }
          });
  tray_->show();
}

void QtReceiverShell::ShowNotification(const std::u16string& title,
                                       const std::u16string& text) {
  last_notification_ = ToQString(title) + QLatin1Char('\n') + ToQString(text);
  // The desktop's notification service first: it shows also where there is
  // no tray. The tray's balloon where there is no such service, or it
  // refuses.
  if (notifications_ && notifications_->Available()) {
    notifications_->Show(ToQString(title), ToQString(text),
                         [this, title, text] { ShowInTray(title, text); });
    return;
  }
  ShowInTray(title, text);
}

void QtReceiverShell::ShowInTray(const std::u16string& title,
                                 const std::u16string& text) {
  if (tray_ != nullptr && QSystemTrayIcon::isSystemTrayAvailable()) {
    tray_->showMessage(ToQString(title), ToQString(text),
                       QSystemTrayIcon::Information, 10000);
  } else {
    std::fprintf(stderr, "orvanta-alici: %s: %s\n", Utf16ToUtf8(title).c_str(),
                 QString(ToQString(text))
                     .replace(QLatin1Char('\n'), QLatin1String(" / "))
                     .toUtf8()
                     .constData());
  }
}

bool QtReceiverShell::HasTray() const {
  return tray_ != nullptr && QSystemTrayIcon::isSystemTrayAvailable();
}

void QtReceiverShell::ShowHistoryWindow() { presenter_->Show(); }

void QtReceiverShell::HistoryChanged() { presenter_->CallAdded(); }

void QtReceiverShell::ReportProblem(const std::u16string& text) {
  std::fprintf(stderr, "orvanta-alici: %s\n", Utf16ToUtf8(text).c_str());
  if (presenter_) presenter_->ReportProblem(text);
}

ReceiverProgram::ReceiverProgram(std::u16string folder, bool headless,
                                 uint16_t port_override)
    : shell_(headless),
      app_(shell_, launcher_, folder),
      port_override_(port_override),
      destinations_(BridgeDestinationsOptions(
          folder, handover_,
          [] { return std::make_unique<QtDestinationsDialog>(); },
          [this] {
            if (destinations_saved) destinations_saved();
          })) {
  shell_.on_destinations = [this] { OpenDestinations(); };
  wake_.SetServe([this] { handover_.ServePending(); });
  handover_.SetWake([this] { wake_.Wake(); });
  handover_.SetFailureSink(
      [this](const std::u16string& text) { shell_.ReportProblem(text); });
  app_.Load();
  shell_.Attach(app_);
  bridge_.Load(app_.Folder());
  app_.SetForwarder(&bridge_);
  destinations_saved = [this] { bridge_.Load(app_.Folder()); };
}

ReceiverProgram::~ReceiverProgram() {
  listener_.reset();  // joins the listening thread before the rest goes
}

void ReceiverProgram::Start() {
  const uint16_t port =
      port_override_ != 0 ? port_override_ : app_.settings().port;
  listener_ = std::make_unique<CallListener>(
      port, handover_,
      [this](const std::string& bytes) { app_.OnDatagram(bytes); });
}

uint16_t ReceiverProgram::Port() const {
  return listener_ ? listener_->LocalPort() : 0;
}

}  // namespace orvanta
