#ifndef ORVANTA_APP_WIN_SETTINGS_WINDOW_H_
#define ORVANTA_APP_WIN_SETTINGS_WINDOW_H_

#include <windows.h>

#include <functional>
#include <string>

#include "app/settings_view.h"
#include "app/win/controls.h"
#include "app/win/form_window.h"

namespace orvanta {
class ShellListener;
}

namespace orvanta::win {

// Private messages of the main window.
inline constexpr UINT kWmHandoverWake = WM_APP + 2;

// Control ids of the settings window (for keyboard access and for tools
// that drive the window from outside, such as the GUI tests).
enum SettingsControlId : int {
  kIdCheckBoxCallerIDKullan = 101,
  kIdPanelCallerID,
  kIdEditPort,
  kIdSButton4,
  kIdRadioGroupCihaz,
  kIdPanARG,
  kIdComboCIHAZ,
  kIdLabelSec,
  kIdEditIP,
  kIdComboPORT,
  kIdButtonBaglan,
  kIdMemoLog,
  kIdPanelDiger,
  kIdVmWinButtonComPort,
  kIdEditBaslama,
  kIdEditBitis,
  kIdRxSpinEditNoBaslama,
  kIdRxSpinEditNoUzunluk,
  kIdSButton5,
  kIdSPanel1,
  kIdSButton1,
  kIdSButton2,
  kIdSButton3,
  kIdButtonKapat,
  // The radio group's items: kIdRadioItem0 + index.
  kIdRadioItem0 = 150,
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
  bool CheckBoxCallerIDKullanChecked() const override;
  void SetCheckBoxCallerIDKullanChecked(bool checked) override;
  int RadioGroupCihazIndex() const override;
  void SetRadioGroupCihazIndex(int index) override;
  std::u16string EditText(SettingsEdit edit) const override;
  void SetEditText(SettingsEdit edit, const std::u16string& text) override;
  int SpinValue(SettingsSpin spin) const override;
  void SetSpinValue(SettingsSpin spin, int value) override;
  int ComboIndex(SettingsCombo combo) const override;
  void SetComboIndex(SettingsCombo combo, int index) override;
  void SetControlVisible(SettingsShown control, bool visible) override;
  void SetLabelSecText(const std::u16string& text) override;
  void AddMemoLogLines(const std::vector<std::u16string>& lines) override;
  void RemoveFirstMemoLogLines(size_t count) override;
  void ClearMemoLog() override;
  void SetCaption(const std::u16string& caption) override;
  void ShowWindow() override;
  void HideWindow() override;
  bool WindowVisible() const override;
  void SetListener(SettingsViewListener* listener) override;

  // The start-up message and the hand-over wake go here.
  void SetShellListener(ShellListener* listener) { shell_listener_ = listener; }
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

  SettingsViewListener* listener_ = nullptr;
  ShellListener* shell_listener_ = nullptr;
  bool shown_before_ = false;

  Font font_;        // Tahoma 8 bold
  Font arial_font_;  // Arial 8 bold, "Comport Ayarlari"
  Tooltips tooltips_;

  CheckBox check_caller_id_;
  Panel panel_caller_id_;
  Label s_label1_;
  NumericEdit edit_port_;
  Button s_button4_;
  Label s_label2_;
  RadioGroup radio_group_cihaz_;
  Panel pan_arg_;
  Label s_label3_;
  ComboList combo_cihaz_;
  Label label_sec_;
  Edit edit_ip_;
  ComboList combo_port_;
  Button button_baglan_;
  Memo memo_log_;
  Panel panel_diger_;
  Button vm_win_button_com_port_;
  Label label23_;
  Edit edit_baslama_;
  Label label24_;
  Edit edit_bitis_;
  Label label26_;
  SpinEdit spin_no_baslama_;
  Label label27_;
  SpinEdit spin_no_uzunluk_;
  Label label25_;
  Button s_button5_;
  Panel s_panel1_;
  Button s_button1_;
  Button s_button2_;
  Button s_button3_;
  Button button_kapat_;
};

}  // namespace orvanta::win

#endif  // ORVANTA_APP_WIN_SETTINGS_WINDOW_H_
