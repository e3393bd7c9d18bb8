#ifndef ORVANTA_SENDER_WIN_WIN_SHELL_H_
#define ORVANTA_SENDER_WIN_WIN_SHELL_H_

#include <windows.h>

#include <memory>

#include "sender/shell.h"
#include "desktop/win/tray_icon.h"

namespace orvanta::win {

class SettingsWindow;

// The platform services of the Windows program: message boxes, the tray
// icon and its menu, the private messages to the main window, the message
// loop's end, the executable's path, the tick count and the two dialogs.
class WinShell : public Shell {
 public:
  // Tray menu command ids.
  static constexpr UINT kSettingsMenuItem = 1;
  static constexpr UINT kEndProgramMenuItem = 2;
  static constexpr UINT kDestinationsMenuItem = 3;

  WinShell(SettingsWindow& main_window, HICON program_icon, HICON tray_icon,
           TrayIcon::NotifyFunction notify = {});
  ~WinShell() override;

  MessageAnswer ShowMessage(const std::u16string& text,
                            const std::u16string& title, MessageIcon icon,
                            MessageButtons buttons) override;
  void SetTrayTip(const std::u16string& tip) override;
  void ShowBalloon(const std::u16string& title, const std::u16string& text,
                   uint32_t timeout_ms) override;
  bool HasScreen() const override { return true; }
  bool HasTray() const override { return true; }
  void PostAutoStart() override;
  void Quit() override;
  void WakeUiThread() override;
  void SetWakeHandler(std::function<void()> serve) override;
  std::u16string ExePath() const override;
  std::u16string SettingsFolder() const override;
  void CreateSettingsFolder() override;
  char16_t PathSeparator() const override { return u'\\'; }
  uint32_t TickCount() const override;
  std::unique_ptr<SetupDialogView> CreateSetupDialogView() override;
  std::unique_ptr<DestinationsView> CreateDestinationsView() override;
  std::unique_ptr<PortTestView> CreatePortTestView(
      PortTestViewListener& listener) override;
  void SetListener(ShellListener* listener) override;

  // Another folder for the settings files, absolute (the command line's
  // choice); empty: the executable's folder.
  void SetSettingsFolder(std::u16string folder);
  TrayIcon& tray() { return tray_; }

 private:
  void OpenTrayMenu();

  SettingsWindow& main_window_;
  HICON program_icon_;
  HICON tray_icon_;
  TrayIcon tray_;
  ShellListener* listener_ = nullptr;
  std::u16string settings_folder_;
};

}  // namespace orvanta::win

#endif  // ORVANTA_SENDER_WIN_WIN_SHELL_H_
