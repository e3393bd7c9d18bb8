#ifndef ORVANTA_SENDER_SHELL_H_
#define ORVANTA_SENDER_SHELL_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace orvanta {

class DestinationsView;
class PortTestView;
class PortTestViewListener;
class SetupDialogView;
class ShellListener;

enum class MessageIcon { kInformation, kQuestion, kError };
// kYesNo: Yes is the default button (Enter answers Yes).
enum class MessageButtons { kOk, kYesNo };
enum class MessageAnswer { kOk, kYes, kNo };

// What the program needs from the platform besides the settings window:
// message boxes, the tray icon, the message loop, the executable's path,
// the tick count and the two modal dialogs. Implemented by the Win32 and
// Qt shells; every call comes from the user-interface thread except
// WakeUiThread().
class Shell {
 public:
  virtual ~Shell() = default;

  // Modal message box owned by the application's active window. Runs its
  // own message loop: tray, serial and device events go on meanwhile.
  virtual MessageAnswer ShowMessage(const std::u16string& text,
                                    const std::u16string& title,
                                    MessageIcon icon,
                                    MessageButtons buttons) = 0;

  // Tray icon (shown from the shell's start to its end): tip text (the
  // shell cuts it to 127 characters) and a balloon with no icon, taken down
  // after `timeout_ms`; a balloon still on screen is replaced, not
  // cancelled first. No balloon where the tray cannot show one.
  virtual void SetTrayTip(const std::u16string& tip) = 0;
  virtual void ShowBalloon(const std::u16string& title,
                           const std::u16string& text, uint32_t timeout_ms) = 0;

  // Whether there is a screen to show windows on, and a notification area
  // on it that holds the tray icon. Without a tray the window is the only
  // way in; without a screen there is nobody to show it to.
  virtual bool HasScreen() const = 0;
  virtual bool HasTray() const = 0;

  // Post the private start-up message (Windows: WM_AUTOSTART, 5124, both
  // parameters 0) to the main window; when the loop reaches it the shell
  // calls ShellListener::OnAutoStart().
  virtual void PostAutoStart() = 0;

  // End the message loop after the current message (the shell then
  // destroys the SettingsPresenter and the program ends).
  virtual void Quit() = 0;

  // Any thread: make the user-interface thread call the wake handler soon
  // (a posted message on Windows, a descriptor the event loop watches on
  // Linux).
  virtual void WakeUiThread() = 0;
  // What the user-interface thread runs when woken: the program serves its
  // hand-overs. Empty detaches.
  virtual void SetWakeHandler(std::function<void()> serve) = 0;

  // Full path of the running executable and the platform's path separator
  // ("\\" on Windows, "/" on Linux).
  virtual std::u16string ExePath() const = 0;
  virtual char16_t PathSeparator() const = 0;

  // The folder that holds the two settings files, ending in the path
  // separator: the folder named on the command line (--settings-dir); else
  // the executable's own folder on Windows, and on Linux that folder when
  // it is writable, otherwise the user's configuration folder.
  virtual std::u16string SettingsFolder() const = 0;
  // Creates the settings folder, and any missing parent, when it does not
  // exist (a folder given on the command line). A failure is left for the
  // write that follows to report.
  virtual void CreateSettingsFolder() = 0;

  // The system's millisecond tick count, wrapping at 2^32.
  virtual uint32_t TickCount() const = 0;

  // New, not yet shown modal dialogs (shown by the presenter with their
  // ShowModal()). Creating the port test window must not show it.
  virtual std::unique_ptr<SetupDialogView> CreateSetupDialogView() = 0;
  virtual std::unique_ptr<PortTestView> CreatePortTestView(
      PortTestViewListener& listener) = 0;
  // The "Hedefler" dialog, owned by the settings window where one is shown.
  virtual std::unique_ptr<DestinationsView> CreateDestinationsView() = 0;

  // Where the platform events below go; null detaches. Set by
  // SettingsPresenter.
  virtual void SetListener(ShellListener* listener) = 0;
};

// Platform events for the main window. None of them throws.
class ShellListener {
 public:
  virtual ~ShellListener() = default;
  // A double-click on the tray icon with any mouse button.
  virtual void OnTrayDoubleClick() = 0;
  // Tray menu "Ayarlar".
  virtual void OnSettingsMenu() = 0;
  // Tray menu "Hedefler".
  virtual void OnDestinationsMenu() = 0;
  // Tray menu "Programı Kapat".
  virtual void OnEndProgramMenu() = 0;
  // The posted start-up message reached the window.
  virtual void OnAutoStart() = 0;
  // The session ends or the system asks the program to end (Windows:
  // WM_ENDSESSION; Linux: SIGTERM, SIGINT, SIGHUP): end as "Programı
  // Kapat" does, without asking.
  virtual void OnEndSession() = 0;
};

// The tray menu's items.
namespace tray_text {
inline constexpr char16_t kSettingsItem[] = u"Ayarlar";
inline constexpr char16_t kDestinationsItem[] = u"Hedefler";
inline constexpr char16_t kEndProgramItem[] = u"Programı Kapat";
}  // namespace tray_text

// The private start-up message number on Windows (WM_USER + 4100).
inline constexpr unsigned kWmAutoStart = 5124;

}  // namespace orvanta

#endif  // ORVANTA_SENDER_SHELL_H_
