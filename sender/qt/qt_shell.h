#ifndef ORVANTA_SENDER_QT_QT_SHELL_H_
#define ORVANTA_SENDER_QT_QT_SHELL_H_

#include <QObject>
#include <QString>

#include <memory>
#include <string>

#include "desktop/qt/wake_descriptor.h"
#include "sender/shell.h"

class QIcon;
class QMenu;
class QSystemTrayIcon;

namespace orvanta {

// The Qt 6 shell: tray icon and menu, message boxes, the start-up message,
// the hand-over's wake-up (a descriptor the event loop watches), the two
// modal dialogs and the program's place on disk.
class QtShell : public QObject, public Shell {
  Q_OBJECT
 public:
  struct Options {
    // The running executable.
    std::u16string exe_path;
    // No screen (Qt's offscreen platform): message boxes and balloons are
    // written to the terminal, boxes answered with their default button.
    bool headless = false;
    // Where the settings files live (see settings_folder.h), ending in "/";
    // empty: the executable's folder.
    std::u16string settings_folder;
  };
  explicit QtShell(Options options);
  ~QtShell() override;

  // Shell.
  MessageAnswer ShowMessage(const std::u16string& text,
                            const std::u16string& title, MessageIcon icon,
                            MessageButtons buttons) override;
  void SetTrayTip(const std::u16string& tip) override;
  void ShowBalloon(const std::u16string& title, const std::u16string& text,
                   uint32_t timeout_ms) override;
  bool HasScreen() const override { return !options_.headless; }
  bool HasTray() const override;
  void PostAutoStart() override;
  void Quit() override;
  void WakeUiThread() override;
  void SetWakeHandler(std::function<void()> serve) override;
  std::u16string ExePath() const override { return options_.exe_path; }
  char16_t PathSeparator() const override { return u'/'; }
  std::u16string SettingsFolder() const override;
  void CreateSettingsFolder() override;
  uint32_t TickCount() const override;
  std::unique_ptr<SetupDialogView> CreateSetupDialogView() override;
  std::unique_ptr<DestinationsView> CreateDestinationsView() override;
  std::unique_ptr<PortTestView> CreatePortTestView(
      PortTestViewListener& listener) override;
  void SetListener(ShellListener* listener) override { listener_ = listener; }

  // None when headless.
  QSystemTrayIcon* TrayIcon() const { return tray_; }
  QMenu* TrayMenu() const { return menu_.get(); }

 private:
  struct Balloon {
    QString title;
    QString text;
    int timeout_ms = 0;
    int waited_ms = 0;
  };
  void ShowBalloonWhenDocked();

  Options options_;
  ShellListener* listener_ = nullptr;
  WakeDescriptor wake_;
  std::unique_ptr<QMenu> menu_;
  QSystemTrayIcon* tray_ = nullptr;
  Balloon balloon_;
  int balloon_round_ = 0;
};

// The program's icon at every size it is drawn in.
QIcon ProgramIcon();

}  // namespace orvanta

#endif  // ORVANTA_SENDER_QT_QT_SHELL_H_
