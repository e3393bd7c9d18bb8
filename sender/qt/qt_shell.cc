#include "sender/qt/qt_shell.h"

#include <time.h>

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdio>

#include "sender/settings_presenter.h"
#include "sender/qt/port_test_window.h"
#include "desktop/qt/destinations_dialog.h"
#include "desktop/qt/qt_text.h"
#include "desktop/qt/settings_folder.h"
#include "sender/qt/setup_dialog.h"
#include "base/text.h"

namespace orvanta {
namespace {

constexpr int kTipLimit = 127;

// Message texts break lines with CR LF, as on Windows.
QString BoxText(const std::u16string& text) {
  return ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void Tell(const QString& title, const QString& text) {
  const QString line =
      title.trimmed() + QStringLiteral(": ") +
      QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
  std::fprintf(stderr, "orvanta: %s\n", line.toUtf8().constData());
  std::fflush(stderr);
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/orvanta/icons/%1x%1/orvanta.png").arg(size),
                 QSize(size, size));
  }
  return icon;
}

QtShell::QtShell(Options options)
    : options_(std::move(options)), menu_(std::make_unique<QMenu>()) {
  QAction* settings_item =
      menu_->addAction(ToQString(tray_text::kSettingsItem));
  QAction* destinations_item =
      menu_->addAction(ToQString(tray_text::kDestinationsItem));
  QAction* end_program_item =
      menu_->addAction(ToQString(tray_text::kEndProgramItem));
  connect(settings_item, &QAction::triggered, this, [this] {
    if (listener_) listener_->OnSettingsMenu();
  });
  connect(destinations_item, &QAction::triggered, this, [this] {
    if (listener_) listener_->OnDestinationsMenu();
  });
  connect(end_program_item, &QAction::triggered, this, [this] {
    if (listener_) listener_->OnEndProgramMenu();
  });
  // Without a screen there is no tray to dock in.
  if (options_.headless) return;
  tray_ = new QSystemTrayIcon(ProgramIcon(), this);
  // A single click does nothing; the menu opens by itself on a right click.
  connect(tray_, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason why) {
            if (why == QSystemTrayIcon::DoubleClick && listener_)
              listener_->OnTrayDoubleClick();
          });
  tray_->setContextMenu(menu_.get());
  tray_->setToolTip(QStringLiteral("VELMORIS Orvanta"));
  // Where no tray is running yet, Qt docks the icon as soon as one appears.
  tray_->show();
}

QtShell::~QtShell() {
  if (tray_) tray_->hide();
}

MessageAnswer QtShell::ShowMessage(const std::u16string& text,
                                   const std::u16string& title,
                                   MessageIcon icon, MessageButtons buttons) {
  if (options_.headless) {
    Tell(ToQString(title), BoxText(text));
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes
                                             : MessageAnswer::kOk;
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
  if (tray_) tray_->setToolTip(ToQString(tip).left(kTipLimit));
}

void QtShell::ShowBalloon(const std::u16string& title,
                          const std::u16string& text, uint32_t timeout_ms) {
  if (tray_ && QSystemTrayIcon::isSystemTrayAvailable() && tray_->isVisible() &&
      QSystemTrayIcon::supportsMessages()) {
    balloon_ = {ToQString(title), ToQString(text), static_cast<int>(timeout_ms),
                0};
    ShowBalloonWhenDocked();
  } else if (options_.headless) {
    Tell(ToQString(title), ToQString(text));
  }
}

// The tray docks the icon a moment after it is shown; until then Qt does not
// know where the icon is and would point the balloon at the screen's corner.
// Waits for it, a little while at most.
void QtShell::ShowBalloonWhenDocked() {
  constexpr int kPollMs = 25;
  constexpr int kPatienceMs = 2000;
  if (tray_->geometry().topLeft().isNull() &&
      balloon_.waited_ms < kPatienceMs) {
    const int round = ++balloon_round_;
    QTimer::singleShot(kPollMs, this, [this, round] {
      if (round != balloon_round_) return;  // a newer balloon took over
      balloon_.waited_ms += kPollMs;
      ShowBalloonWhenDocked();
    });
    return;
  }
  ++balloon_round_;
  tray_->showMessage(balloon_.title, balloon_.text, QSystemTrayIcon::NoIcon,
                     balloon_.timeout_ms);
}

void QtShell::PostAutoStart() {
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (listener_) listener_->OnAutoStart();
      },
      Qt::QueuedConnection);
}

void QtShell::Quit() { QCoreApplication::quit(); }

void QtShell::WakeUiThread() { wake_.Wake(); }

void QtShell::SetWakeHandler(std::function<void()> serve) {
  wake_.SetServe(std::move(serve));
}

std::u16string QtShell::SettingsFolder() const {
  if (!options_.settings_folder.empty()) return options_.settings_folder;
  return DirectoryOf(options_.exe_path, PathSeparator());
}

void QtShell::CreateSettingsFolder() {
  orvanta::CreateSettingsFolder(Utf16ToUtf8(SettingsFolder()));
}

bool QtShell::HasTray() const {
  return tray_ && QSystemTrayIcon::isSystemTrayAvailable();
}

uint32_t QtShell::TickCount() const {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

std::unique_ptr<SetupDialogView> QtShell::CreateSetupDialogView() {
  return std::make_unique<QtSetupDialog>();
}

std::unique_ptr<DestinationsView> QtShell::CreateDestinationsView() {
  return std::make_unique<QtDestinationsDialog>();
}

std::unique_ptr<PortTestView> QtShell::CreatePortTestView(
    PortTestViewListener& listener) {
  // Without an owner it opens in the middle of the screen.
  return std::make_unique<QtPortTestWindow>(listener);
}

}  // namespace orvanta
