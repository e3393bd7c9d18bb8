#ifndef ORVANTA_SENDER_WIN_SETTINGS_WINDOW_H_
#define ORVANTA_SENDER_WIN_SETTINGS_WINDOW_H_

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "sender/settings_layout.h"
#include "sender/settings_view.h"
#include "desktop/win/controls.h"
#include "desktop/win/form_window.h"

namespace orvanta {
class ShellListener;
}

namespace orvanta::win {

// Private messages of the main window.
inline constexpr UINT kWmHandoverWake = WM_APP + 2;

// Control ids of the settings window (for keyboard access and for tools
// that drive the window from outside, such as the GUI tests).
enum SettingsControlId : int {
  kIdCallerIdEnabled = 101,
  kIdCallerIdPanel,
  kIdPortEdit,
  kIdTestPortButton,
  kIdSourceChoice,
  kIdArgPanel,
  kIdArgDeviceKind,
  kIdArgChoiceLabel,
  kIdMainMachineIp,
  kIdArgComPort,
  kIdConnectButton,
  kIdLogPane,
  kIdSerialPanel,
  kIdPortSettingsButton,
  kIdStartText,
  kIdEndText,
  kIdNumberStart,
  kIdNumberLength,
  kIdOpenPortTestButton,
  kIdButtonPanel,
  kIdSaveButton,
  kIdApplyButton,
  kIdHideButton,
  kIdCloseButton,
  kIdLineStart,
  kIdLineLength,
  kIdModemPanel,
  kIdModemPortSettingsButton,
  kIdModemCommands,
  kIdModemLine,
  kIdModemPortTestButton,
  kIdModemLogPane,
  kIdDestinationsButton,
  // The radio group's items: kIdSourceItem0 + index.
  kIdSourceItem0 = 150,
};

// The main window: the settings window's controls at their designed places,
// drawing only and reporting the user's actions to the listener. It also
// receives the start-up message and the hand-over wake for the shell.
class SettingsWindow : public FormWindow, public SettingsView {
 public:
  static constexpr wchar_t kClassName[] = L"OrvantaMainWindow";

  SettingsWindow(HICON icon, HICON small_icon);
  ~SettingsWindow() override;

  // SettingsView.
  bool CallerIdEnabled() const override;
  void SetCallerIdEnabled(bool checked) override;
  int SourceIndex() const override;
  void SetSourceIndex(int index) override;
  std::u16string EditText(SettingsEdit edit) const override;
  void SetEditText(SettingsEdit edit, const std::u16string& text) override;
  int SpinValue(SettingsSpin spin) const override;
  void SetSpinValue(SettingsSpin spin, int value) override;
  int ComboIndex(SettingsCombo combo) const override;
  void SetComboIndex(SettingsCombo combo, int index) override;
  void SetControlVisible(SettingsShown control, bool visible) override;
  void SetArgChoiceLabel(const std::u16string& text) override;
  void AddLogLines(const std::vector<std::u16string>& lines) override;
  void RemoveFirstLogLines(size_t count) override;
  void ClearLogPane() override;
  void SetCaption(const std::u16string& caption) override;
  void ShowWindow() override;
  void HideWindow() override;
  bool WindowVisible() const override;
  void SetListener(SettingsViewListener* listener) override;

  // The start-up message and the hand-over wake go here.
  void SetShellListener(ShellListener* listener) { shell_listener_ = listener; }
  // Run when a hand-over wakes the window (kWmHandoverWake).
  void SetWakeHandler(std::function<void()> serve) {
    wake_handler_ = std::move(serve);
  }
  // A control by its place in the layout table (for the tests).
  HWND ControlOf(SettingsPart part) const {
    return by_part_[static_cast<size_t>(part)];
  }
  // A failure that escaped a platform entry point (none should).
  std::function<void(const std::u16string&)> report_stray_failure;

 protected:
  void ApplyFonts(UINT dpi) override;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void BuildControls();
  // Runs a listener call; nothing may escape into the window procedure.
  void Notify(void (SettingsViewListener::*call)());
  void Guard(const std::function<void()>& action);
  Edit& EditFor(SettingsEdit edit);
  const Edit& EditFor(SettingsEdit edit) const;
  SpinEdit& SpinFor(SettingsSpin spin);
  const SpinEdit& SpinFor(SettingsSpin spin) const;
  // Both log panes show the same lines: the ARG panel's and the modem's.
  std::array<TextPane*, 2> LogPanes();

  SettingsViewListener* listener_ = nullptr;
  ShellListener* shell_listener_ = nullptr;
  std::function<void()> wake_handler_;
  bool shown_before_ = false;
  std::array<HWND, kSettingsPartCount> by_part_{};

  Font font_;        // Tahoma 8 bold
  Font arial_font_;  // Arial 8 bold, "Comport Ayarlari"
  Tooltips tooltips_;

  CheckBox caller_id_enabled_;
  Panel caller_id_panel_;
  Label port_label_;
  NumericEdit port_edit_;
  Button test_port_button_;
  Label port_explanation_;
  RadioGroup source_choice_;
  Panel arg_panel_;
  Label arg_device_kind_label_;
  ComboList arg_device_kind_;
  Label arg_choice_label_;
  Edit main_machine_ip_;
  ComboList arg_com_port_;
  Button connect_button_;
  TextPane log_pane_;
  Panel serial_panel_;
  Button port_settings_button_;
  Label start_text_label_;
  Edit start_text_;
  Label end_text_label_;
  Edit end_text_;
  Label number_start_label_;
  SpinEdit number_start_;
  Label number_length_label_;
  SpinEdit number_length_;
  Label line_label_;
  SpinEdit line_start_;
  SpinEdit line_length_;
  Label ascii_codes_hint_;
  Button open_port_test_button_;
  Panel modem_panel_;
  Button modem_port_settings_button_;
  Label modem_commands_label_;
  Edit modem_commands_;
  Label modem_line_label_;
  Edit modem_line_;
  Button modem_port_test_button_;
  Label modem_hint_;
  TextPane modem_log_pane_;
  Panel button_panel_;
  Button save_button_;
  Button apply_button_;
  Button hide_button_;
  Button close_button_;
  Button destinations_button_;
};

}  // namespace orvanta::win

#endif  // ORVANTA_SENDER_WIN_SETTINGS_WINDOW_H_
