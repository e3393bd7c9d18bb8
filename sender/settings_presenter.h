#ifndef ORVANTA_SENDER_SETTINGS_PRESENTER_H_
#define ORVANTA_SENDER_SETTINGS_PRESENTER_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "callerid/destinations_editor.h"
#include "desktop/version.h"
#include "sender/port_setup_presenter.h"
#include "sender/program.h"
#include "sender/settings_view.h"
#include "sender/shell.h"

namespace orvanta {

class Program;
class SettingsForm;

// The caption's parts; fixed for the program, replaceable in tests.
struct ProgramConstants {
  std::u16string CompanyName = u"VELMORIS";
  std::u16string ProductName = u"Orvanta";
  std::u16string VersionText = u"" ORVANTA_VERSION_TEXT;
  std::u16string BuildLetter = u"" ORVANTA_BUILD_LETTER;
};

// " (Beta-" + last two characters + ")" for an 11-character version text,
// empty otherwise.
std::u16string BetaSuffix(const std::u16string& version_text);
// CompanyName, " ", ProductName, " ", VersionText's first 8 characters,
// BuildLetter, BetaSuffix: "VELMORIS Orvanta s1.02.05f".
std::u16string ComposeCaption(const ProgramConstants& constants);

// The "Comport Ayarlari" button's guard: a click less than 500 ms (tick
// difference modulo 2^32) after the last accepted one is dropped.
class ClickGuard {
 public:
  bool Accept(uint32_t tick_count);
  uint32_t LatestClickTime() const { return latest_click_time_; }

 private:
  uint32_t latest_click_time_ = 0;
};

struct SettingsPresenterOptions {
  ProgramConstants constants;
  // The serial setup dialog's port list; empty for the machine's.
  PortLister port_lister;
  // The command line asked for the settings window at start.
  bool show_window_at_start = false;
};

// The settings window's presenter: the caption, the tray, showing and
// hiding, the controls' rules (through the SettingsForm), and what the
// buttons and the tray menu ask of the program.
//
// A platform's main creates its Shell and SettingsView, then the Program,
// then the SettingsPresenter over them (which attaches itself as both
// listeners), calls StartUp() and ShowAtStartIfDue() and runs the message
// loop until Shell::Quit(); it destroys them in the opposite order.
//
// Every entry point (the listener calls, StartUp) catches all failures
// and shows them in the default error report; none of them throws.
class SettingsPresenter : public SettingsViewListener, public ShellListener {
 public:
  SettingsPresenter(SettingsView& view, Shell& shell, Program& program,
                    SettingsPresenterOptions options = {});
  ~SettingsPresenter() override;
  SettingsPresenter(const SettingsPresenter&) = delete;
  SettingsPresenter& operator=(const SettingsPresenter&) = delete;

  // Once the window exists: caption, tray tip, hidden start, settings file,
  // controls, the start-up message.
  void StartUp();
  // Right before the message loop starts: shows the window when the
  // start-visibility switch is on, when the command line asked for it, or
  // when a screen has no tray to reach the program through.
  void ShowAtStartIfDue();

  // Where the user asked the program to end.
  enum class EndRequest { kTrayMenu, kCloseButton };
  // Tray "Programı Kapat" (no question) or "Kapat" (asks first).
  void EndProgram(EndRequest request);
  // Show the window from the tray.
  void ShowSettingsWindow();
  // "VELMORIS Orvanta s1.02.05f": sets the window caption.
  void BuildCaption();
  std::u16string Caption() const { return caption_; }

  bool Closing() const { return closing_; }
  // The application's start-visibility switch: whether the main window is
  // shown when the message loop starts (on until StartUp).
  bool ShowOnStart() const { return show_on_start_; }
  bool AutoStartPending() const { return auto_start_pending_; }

  // SettingsViewListener.
  void OnCallerIdClick() override;
  void OnSourceClick() override;
  void OnArgDeviceKindChange() override;
  void OnLogPaneDoubleClick() override;
  void OnPortEditEscape() override;
  void OnPortEditExit() override;
  void OnSave() override;
  void OnApply() override;
  void OnHide() override;
  void OnClose() override;
  void OnTestPort() override;
  void OnOpenPortTest() override;
  void OnPortSettings() override;
  void OnDestinations() override;
  void OnCloseRequest() override;

  // ShellListener.
  void OnTrayDoubleClick() override;
  void OnSettingsMenu() override;
  void OnDestinationsMenu() override;
  void OnEndProgramMenu() override;
  void OnAutoStart() override;
  void OnEndSession() override;

  SettingsForm& Form() { return *form_; }

 private:
  // The one default error report around every entry point.
  void Guarded(const std::function<void()>& handler);

  void DoStartUp();
  void HideOrQuit();
  void RunAutoStart();
  void SaveSettingsFromForm();
  void SaveAndHide();
  void OpenPortSettings();
  // "Hedefler", from the window or the tray; one dialog at a time.
  void OpenDestinations();

  SettingsView& view_;
  Shell& shell_;
  Program& program_;
  ProgramConstants constants_;
  std::u16string caption_;
  bool closing_ = false;
  bool show_on_start_ = true;
  bool auto_start_pending_ = true;
  ClickGuard com_port_button_guard_;
  PortLister port_lister_;
  bool show_window_at_start_ = false;
  std::unique_ptr<SettingsForm> form_;
  // Made at its first opening; it keeps the tester of a test still running.
  std::unique_ptr<DestinationsEditor> destinations_;
};

// Texts of the main window's own messages.
inline constexpr char16_t kCloseQuestion[] = u"Program kapatılsın mı ?";
inline constexpr char16_t kQuestionTitle[] = u"Soru";
inline constexpr char16_t kBalloonText[] = u"VELMORIS Orvanta çalışıyor...";

}  // namespace orvanta

#endif  // ORVANTA_SENDER_SETTINGS_PRESENTER_H_
