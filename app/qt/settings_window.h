#ifndef ORVANTA_APP_QT_SETTINGS_WINDOW_H_
#define ORVANTA_APP_QT_SETTINGS_WINDOW_H_

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "app/settings_view.h"

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

// The settings window: every control at its place, nothing decided here.
// The program sets the controls through SettingsView; the user's actions go
// to the listener.
class QtSettingsWindow : public QWidget, public SettingsView {
  Q_OBJECT
 public:
  explicit QtSettingsWindow(QWidget* parent = nullptr);

  static constexpr int kClientWidth = 448;
  static constexpr int kClientHeight = 532;

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

  // The controls, by their names in the program.
  QCheckBox* CheckBoxCallerIDKullan;
  BevelPanel* PanelCallerID;
  QLabel* sLabel1;
  PortNumberEdit* EditPort;
  QPushButton* sButton4;
  QLabel* sLabel2;
  ColumnRadioGroup* RadioGroupCihaz;
  BevelPanel* PanARG;
  QLabel* sLabel3;
  QComboBox* ComboCIHAZ;
  QLabel* LabelSec;
  QLineEdit* EditIP;
  QComboBox* ComboPORT;
  QPushButton* ButtonBaglan;
  LogPane* MemoLog;
  BevelPanel* PanelDiger;
  QPushButton* VmWinButtonComPort;
  QLabel* Label23;
  QLineEdit* EditBaslama;
  QLabel* Label24;
  QLineEdit* EditBitis;
  QLabel* Label26;
  StepOnlySpinBox* RxSpinEditNoBaslama;
  QLabel* Label27;
  StepOnlySpinBox* RxSpinEditNoUzunluk;
  QLabel* Label25;
  QPushButton* sButton5;
  BevelPanel* sPanel1;
  QPushButton* sButton1;
  QPushButton* sButton2;
  QPushButton* sButton3;
  QPushButton* ButtonKapat;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Build();
  void Connect();
  // Passes a user action on, if anyone listens.
  void Report(void (SettingsViewListener::*action)());
  QLineEdit* Edit(SettingsEdit edit) const;
  StepOnlySpinBox* Spin(SettingsSpin spin) const;
  QComboBox* Combo(SettingsCombo combo) const;
  void FixSize(bool fixed);

  SettingsViewListener* listener_ = nullptr;
  bool shown_before_ = false;
};

}  // namespace orvanta

#endif  // ORVANTA_APP_QT_SETTINGS_WINDOW_H_
