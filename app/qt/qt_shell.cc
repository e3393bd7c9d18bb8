#include "app/qt/qt_shell.h"

#include <time.h>

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>

#include <cstdio>

#include "app/main_window.h"
#include "app/qt/port_test_window.h"
#include "app/qt/qt_text.h"
#include "app/qt/setup_dialog.h"

namespace orvanta {
namespace {

constexpr int kTipLimit = 127;

// Message texts break lines with CR LF, as on Windows.
QString BoxText(const std::u16string& text) {
  return ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void Tell(const QString& title, const QString& text) {
  const QString line = title.trimmed() + QStringLiteral(": ") +
                       QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
  std::fprintf(stderr, "orvanta: %s\n", line.toUtf8().constData());
  std::fflush(stderr);
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/orvanta/icons/%1x%1/orvanta.png").arg(size), QSize(size, size));
  }
  return icon;
}

QtShell::QtShell(Options options)
    : options_(std::move(options)), menu_(std::make_unique<QMenu>()),
      tray_(new QSystemTrayIcon(ProgramIcon(), this)) {
  QAction* ayarlar = menu_->addAction(ToQString(tray_text::kAyarlar));
  QAction* kapat = menu_->addAction(ToQString(tray_text::kProgramiKapat));
  connect(ayarlar, &QAction::triggered, this, [this] {
    if (listener_) listener_->OnAyarlarClick();
  });
  connect(kapat, &QAction::triggered, this, [this] {
    if (listener_) listener_->OnProgramiKapatClick();
  });
  // A single click does nothing; the menu opens by itself on a right click.
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why == QSystemTrayIcon::DoubleClick && listener_) listener_->OnTrayDblClick();
  });
  tray_->setContextMenu(menu_.get());
  tray_->setToolTip(QStringLiteral("VELMORIS Orvanta"));
  // Where no tray is running yet, Qt docks the icon as soon as one appears.
  tray_->show();
}

QtShell::~QtShell() { tray_->hide(); }

MessageAnswer QtShell::ShowMessage(const std::u16string& text, const std::u16string& title,
                                   MessageIcon icon, MessageButtons buttons) {
  if (options_.headless) {
    Tell(ToQString(title), BoxText(text));
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
  }
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(ToQString(title));
  box.setTextFormat(Qt::PlainText);
  box.setText(BoxText(text));
  switch (icon) {
    case MessageIcon::kInformation:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::kQuestion:
      box.setIcon(QMessageBox::Question);
      break;
    case MessageIcon::kError:
      box.setIcon(QMessageBox::Critical);
      break;
  }
  if (buttons == MessageButtons::kYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
  }
  const int answer = box.exec();
  if (buttons == MessageButtons::kOk) return MessageAnswer::kOk;
  return answer == QMessageBox::No ? MessageAnswer::kNo : MessageAnswer::kYes;
}

void QtShell::SetTrayTip(const std::u16string& tip) {
  tray_->setToolTip(ToQString(tip).left(kTipLimit));
}

void QtShell::ShowBalloon(const std::u16string& title, const std::u16string& text,
                          uint32_t timeout_ms) {
  if (tray_->isSystemTrayAvailable() && tray_->isVisible() && tray_->supportsMessages()) {
    tray_->showMessage(ToQString(title), ToQString(text), QSystemTrayIcon::NoIcon,
                       static_cast<int>(timeout_ms));
  } else if (options_.headless) {
    Tell(ToQString(title), ToQString(text));
  }
}

void QtShell::PostAutoStart() {
  QMetaObject::invokeMethod(
      this, [this] { if (listener_) listener_->OnAutoStart(); }, Qt::QueuedConnection);
}

void QtShell::Quit() { QCoreApplication::quit(); }

void QtShell::WakeUiThread() {
  QMetaObject::invokeMethod(
      this, [this] { if (listener_) listener_->OnHandoverWake(); }, Qt::QueuedConnection);
}

uint32_t QtShell::TickCount() const {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

std::unique_ptr<SetupDialogView> QtShell::CreateSetupDialogView() {
  return std::make_unique<SetupDialog>();
}

std::unique_ptr<PortTestView> QtShell::CreatePortTestView(PortTestViewListener& listener) {
  return std::make_unique<PortTestWindow>(listener, QApplication::activeWindow());
}

}  // namespace orvanta
