#ifndef ORVANTA_SENDER_SETTINGS_PRESENTER_H_
#define ORVANTA_SENDER_SETTINGS_PRESENTER_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sender/settings_view.h"
#include "sender/shell.h"
#include "desktop/version.h"
#include "base/user_notice.h"

namespace orvanta {

class Announcer;
struct EncodingProblem;
class CallerIdEngine;
class ComDevice;
class DeviceControlFactory;
class SerialReceiver;
class SettingsForm;
class SerialPort;
class SettingsStore;
class UdpChannel;
class UiHandover;

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
// The executable's file name up to its first ".", the first character in
// upper case and every later one in lower case ("C:\\x\\ORVANTA.EXE" and
// "/usr/bin/orvanta" -> "Orvanta").
std::u16string ApplicationTitle(std::u16string_view exe_path,
                                char16_t separator);
// Everything up to and including the last separator.
std::u16string DirectoryOf(std::u16string_view path, char16_t separator);

// The start-up report of a settings file at `path` whose bytes do not read
// as UTF-8 text: the file, the reason and what follows from it.
std::u16string SettingsFileProblemText(const std::u16string& path,
                                       const EncodingProblem& problem);

// The "Comport Ayarlari" button's guard: a click less than 500 ms (tick
// difference modulo 2^32) after the last accepted one is dropped.
class ClickGuard {
 public:
  bool Accept(uint32_t tick_count);
  uint32_t LatestClickTime() const { return latest_click_time_; }

 private:
  uint32_t latest_click_time_ = 0;
};

// Test seams; each left empty means the platform's own part.
struct SettingsPresenterOptions {
  ProgramConstants constants;
  std::function<std::unique_ptr<DeviceControlFactory>(UserNotice& errors)>
      devices;
  std::function<std::unique_ptr<ComDevice>()> com_device;
  // The serial setup dialog's port list (fills the vector it is given).
  std::function<void(std::vector<std::u16string>&)> port_lister;
  // The command line asked for the settings window at start.
  bool show_window_at_start = false;
};

// The settings window's presenter and the program's owner: owns the settings
// store, the UDP channel, the announcer, the serial port with its receive
// handler, the device controls' factory, the caller-ID engine and the
// settings form, and handles everything the platform reports.
//
// A shell creates its Shell and SettingsView, then the SettingsPresenter over
// them (which attaches itself as both listeners), calls FormCreate() and
// ShowAtStartIfDue() and runs the message loop until Shell::Quit(); it
// destroys the SettingsPresenter after the loop, before the view and the shell.
//
// Every entry point (the listener calls, FormCreate) catches all failures
// and shows them in the default error report; none of them throws.
class SettingsPresenter : public SettingsViewListener,
                          public ShellListener,
                          public UserNotice {
 public:
  SettingsPresenter(SettingsView& view, Shell& shell,
                    SettingsPresenterOptions options = {});
  ~SettingsPresenter() override;
  SettingsPresenter(const SettingsPresenter&) = delete;
  SettingsPresenter& operator=(const SettingsPresenter&) = delete;

  // The window's creation handler: caption, tray tip, hidden start, settings
  // file, controls, the start-up message.
  void FormCreate();
  // Right before the message loop starts: shows the window when the
  // start-visibility switch is on, when the command line asked for it, or
  // when a screen has no tray to reach the program through.
  void ShowAtStartIfDue();

  enum class Sender { kTrayMenu, kCloseButton };
  // Tray "Programı Kapat" (no question) or "Kapat" (asks first).
  void EndProgram(Sender sender);
  // Show the window from the tray.
  void ShowSettingsWindow();
  // "VELMORIS Orvanta s1.02.05f": sets the window caption.
  void BuildCaption();
  std::u16string Caption() const { return caption_; }

  // The executable's directory, ending in the path separator.
  std::u16string SettingsFolder() const;

  // UserNotice: "Bilgi" information box; the default error report; the
  // tray balloon under the program's balloon title.
  void ShowInfo(const std::u16string& text) override;
  void ReportError(const std::u16string& message) override;
  void ShowTrayBalloon(const std::u16string& text) override;

  bool Closing() const { return closing_; }
  // The application's start-visibility switch: whether the main window is
  // shown when the message loop starts (on until FormCreate).
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
  void OnCloseRequest() override;

  // ShellListener.
  void OnTrayDblClick() override;
  void OnSettingsMenu() override;
  void OnEndProgramMenu() override;
  void OnAutoStart() override;
  void OnHandoverWake() override;
  void OnEndSession() override;

  // The parts, for tests and for the shell's own wiring.
  SettingsStore& Store() { return *store_; }
  UdpChannel& Channel() { return *channel_; }
  SerialPort& Port() { return *port_; }
  SerialReceiver& Receiver() { return *receiver_; }
  CallerIdEngine& Engine() { return *engine_; }
  SettingsForm& Form() { return *form_; }
  UiHandover& Handover() { return *handover_; }

 private:
  // The one default error report around every entry point.
  void Guarded(const std::function<void()>& handler);

  void DoFormCreate();
  void FormClose();
  void ReadSettingsFile();
  void WmAutoStart();
  void SaveSettingsFromForm();
  void SaveAndHide();
  void TestPort();
  void OpenPortTest();
  void OpenPortSettings();

  SettingsView& view_;
  Shell& shell_;
  ProgramConstants constants_;
  std::u16string caption_;
  std::u16string application_title_;
  bool closing_ = false;
  bool show_on_start_ = true;
  bool auto_start_pending_ = true;
  ClickGuard com_port_button_guard_;
  std::function<void(std::vector<std::u16string>&)> port_lister_;
  bool show_window_at_start_ = false;

  std::unique_ptr<UiHandover> handover_;
  std::unique_ptr<SettingsStore> store_;
  std::unique_ptr<UdpChannel> channel_;
  std::unique_ptr<SettingsForm> form_;
  std::unique_ptr<Announcer> announcer_;
  std::unique_ptr<SerialPort> port_;
  std::unique_ptr<SerialReceiver> receiver_;
  std::unique_ptr<DeviceControlFactory> devices_;
  std::unique_ptr<CallerIdEngine> engine_;
};

// Texts of the main window's own messages.
inline constexpr char16_t kInfoTitle[] = u"Bilgi";
inline constexpr char16_t kCloseQuestion[] = u"Program kapatılsın mı ?";
inline constexpr char16_t kQuestionTitle[] = u"Soru";
inline constexpr char16_t kBalloonTitle[] = u"VELMORIS ";
inline constexpr char16_t kBalloonText[] = u"VELMORIS Orvanta çalışıyor...";
inline constexpr uint32_t kBalloonTimeoutMs = 5000;

}  // namespace orvanta

#endif  // ORVANTA_SENDER_SETTINGS_PRESENTER_H_
