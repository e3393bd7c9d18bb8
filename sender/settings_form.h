#ifndef ORVANTA_SENDER_SETTINGS_FORM_H_
#define ORVANTA_SENDER_SETTINGS_FORM_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "callerid/call_source.h"
#include "sender/log_model.h"
#include "sender/settings_view.h"

namespace orvanta {

class SettingsStore;

// The port edit's display format "#####": plain digits, a "-" when negative,
// and 0 as an empty field.
std::u16string FormatPortNumber(int32_t value);
// The port edit's value: the number in the text truncated to a whole number;
// empty or unreadable text reads as 0; beyond 32 bits saturates.
int32_t ReadPortNumber(std::u16string_view text);

// The settings window's controls with their behaviour: programmatic changes
// that raise click events, clamping, number formats, the visibility rules,
// and the transfer between the controls and the store. Knows nothing of
// buttons, the engine or the platform; SettingsPresenter adds those. The
// program's log is drawn into the window's log pane while the form exists.
class SettingsForm {
 public:
  // Puts the window resource's starting state into the view.
  SettingsForm(SettingsView& view, LogModel& log);
  ~SettingsForm();
  SettingsForm(const SettingsForm&) = delete;
  SettingsForm& operator=(const SettingsForm&) = delete;

  // The caller-ID check box: a change raises its click, like a user's click.
  bool CallerIdEnabled() const;
  void SetCallerIdEnabled(bool checked);
  // The source radio group: -1..3; below -1 is -1, and beyond the last item
  // is "Seri Port Bağlantı", the last item of the versions before the modem
  // (so a stored file keeps its meaning). A change to an item raises its
  // click; -1 chooses nothing and raises nothing.
  void SetSource(int index);
  // The port edit's value, formatted "#####"; also the value Esc restores.
  int32_t PortNumber() const;
  void SetPortNumber(int32_t value);
  // Spin edits: taken into 0..500.
  int SpinValue(SettingsSpin spin) const;
  void SetSpinValue(SettingsSpin spin, int value);
  // Combo boxes: an index outside the list chooses nothing (-1); no event.
  int ComboIndex(SettingsCombo combo) const;
  void SetComboIndex(SettingsCombo combo, int index);
  std::u16string EditText(SettingsEdit edit) const;
  void SetEditText(SettingsEdit edit, const std::u16string& text);

  // Event handlers.
  void CallerIdClicked();
  void SourceClicked();
  void ArgDeviceKindChanged();
  void LogPaneDoubleClicked();
  void PortEditEscaped();  // back to the last value
  void PortEditLeft();     // the typed value becomes the last value

  // The stored values into the controls, in order: the ten of the first
  // version, then the framed line's place and the modem's two. A value that
  // cannot be read stops the transfer with its failure (later controls
  // untouched).
  void LoadSettingsToForm(const SettingsStore& store);
  // The controls into the stored values (the file is not written).
  void StoreControls(SettingsStore& store) const;

  // The settings as the window holds them now, for the engine.
  WindowSettings CurrentWindowSettings() const;
  // The chosen source (-1 for none), ARG device kind and COM port (-1..),
  // as the lists show them.
  int SourceIndex() const;
  int ArgDeviceKind() const;
  int ArgComPort() const;
  std::u16string MainMachineIp() const;

  LogModel& Log() { return log_; }

 private:
  SettingsView& view_;
  LogModel& log_;
  int32_t edit_port_last_value_ = 0;
};

// The resource's starting values that are not obvious defaults.
inline constexpr char16_t kDefaultMainMachineIp[] = u"192.168.0.255";

}  // namespace orvanta

#endif  // ORVANTA_SENDER_SETTINGS_FORM_H_
