#ifndef ORVANTA_SENDER_QT_SETTINGS_WINDOW_H_
#define ORVANTA_SENDER_QT_SETTINGS_WINDOW_H_

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include <array>

#include "sender/settings_layout.h"
#include "sender/settings_view.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvanta {

class BevelPanel;
class LogPane;
class PortNumberEdit;
class ColumnRadioGroup;
class StepOnlySpinBox;

// The settings window's controls, by what they are.
struct SettingsControls {
  QCheckBox* caller_id_enabled = nullptr;
  BevelPanel* caller_id_panel = nullptr;
  QLabel* port_label = nullptr;
  PortNumberEdit* port_edit = nullptr;
  QPushButton* test_port_button = nullptr;
  QLabel* port_explanation = nullptr;
  ColumnRadioGroup* source_choice = nullptr;
  BevelPanel* arg_panel = nullptr;
  QLabel* arg_device_kind_label = nullptr;
  QComboBox* arg_device_kind = nullptr;
  QLabel* arg_choice_label = nullptr;
  QLineEdit* main_machine_ip = nullptr;
  QComboBox* arg_com_port = nullptr;
  QPushButton* connect_button = nullptr;
  LogPane* log_pane = nullptr;
  BevelPanel* serial_panel = nullptr;
  QPushButton* port_settings_button = nullptr;
  QLabel* start_text_label = nullptr;
  QLineEdit* start_text = nullptr;
  QLabel* end_text_label = nullptr;
  QLineEdit* end_text = nullptr;
  QLabel* number_start_label = nullptr;
  StepOnlySpinBox* number_start = nullptr;
  QLabel* number_length_label = nullptr;
  StepOnlySpinBox* number_length = nullptr;
  QLabel* line_label = nullptr;
  StepOnlySpinBox* line_start = nullptr;
  StepOnlySpinBox* line_length = nullptr;
  QLabel* ascii_codes_hint = nullptr;
  QPushButton* open_port_test_button = nullptr;
  BevelPanel* modem_panel = nullptr;
  QPushButton* modem_port_settings_button = nullptr;
  QLabel* modem_commands_label = nullptr;
  QLineEdit* modem_commands = nullptr;
  QLabel* modem_line_label = nullptr;
  QLineEdit* modem_line = nullptr;
  QPushButton* modem_port_test_button = nullptr;
  QLabel* modem_hint = nullptr;
  LogPane* modem_log_pane = nullptr;
  BevelPanel* button_panel = nullptr;
  QPushButton* save_button = nullptr;
  QPushButton* apply_button = nullptr;
  QPushButton* hide_button = nullptr;
  QPushButton* close_button = nullptr;
  QPushButton* destinations_button = nullptr;

  // Every control above, by its place in the layout table.
  std::array<QWidget*, kSettingsPartCount> by_part{};
  QWidget* Of(SettingsPart part) const {
    return by_part[static_cast<size_t>(part)];
  }
};

// The settings window: every control at its place, nothing decided here.
// The program sets the controls through SettingsView; the user's actions go
// to the listener.
class QtSettingsWindow : public QWidget, public SettingsView {
  Q_OBJECT
 public:
  explicit QtSettingsWindow(QWidget* parent = nullptr);

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

  // The controls, for the tests that drive the window.
  const SettingsControls& Controls() const { return controls_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Build();
  // Puts a control at its place in the layout table and files it there.
  template <typename Widget>
  Widget* Place(Widget* widget, SettingsPart part);
  QLabel* MakeLabel(QWidget* parent, const char16_t* caption,
                    SettingsPart part);
  QPushButton* MakeButton(QWidget* parent, const char16_t* caption,
                          SettingsPart part);
  template <size_t N>
  QComboBox* MakeList(QWidget* parent, const char16_t* const (&items)[N],
                      SettingsPart part);
  void Connect();
  // Passes a user action on, if anyone listens.
  void Report(void (SettingsViewListener::*action)());
  QLineEdit* Edit(SettingsEdit edit) const;
  StepOnlySpinBox* Spin(SettingsSpin spin) const;
  QComboBox* Combo(SettingsCombo combo) const;
  void FixSize(bool fixed);
  // Both log panes show the same lines: the ARG panel's and the modem's.
  std::array<LogPane*, 2> LogPanes() const;

  SettingsControls controls_;
  SettingsViewListener* listener_ = nullptr;
  bool shown_before_ = false;
};

}  // namespace orvanta

#endif  // ORVANTA_SENDER_QT_SETTINGS_WINDOW_H_
