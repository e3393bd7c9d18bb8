#ifndef ORVANTA_DESKTOP_WIN_DESTINATIONS_DIALOG_H_
#define ORVANTA_DESKTOP_WIN_DESTINATIONS_DIALOG_H_

#include <windows.h>

#include <array>

#include "base/destinations_view.h"
#include "desktop/destinations_layout.h"
#include "desktop/win/controls.h"
#include "desktop/win/form_window.h"

namespace orvanta::win {

// "Hedefler" on Windows: every control at its place in the layout table,
// drawing what the presenter gives it and reporting what the user does.
class DestinationsDialog : public FormWindow, public DestinationsView {
 public:
  static constexpr wchar_t kClassName[] = L"OrvantaDestinationsDialog";
  // Each control's id is kIdFirstPart plus its place in the layout table,
  // for keyboard access and for tests that drive the dialog from outside.
  static constexpr int kIdFirstPart = 300;
  static constexpr int IdOf(DestinationsPart part) {
    return kIdFirstPart + static_cast<int>(part);
  }

  DestinationsDialog();
  ~DestinationsDialog() override;

  // DestinationsView.
  void SetListener(DestinationsViewListener* listener) override {
    listener_ = listener;
  }
  void SetRows(const std::vector<std::u16string>& rows, int chosen) override;
  void ShowPanel(Panel panel) override;
  std::u16string Text(Field field) const override;
  void SetText(Field field, const std::u16string& text) override;
  bool Checked(Check check) const override;
  void SetChecked(Check check, bool checked) override;
  int MethodIndex() const override;
  void SetMethodIndex(int index) override;
  void SetButtonEnabled(Button button, bool enabled) override;
  void SetTestAnswer(const std::u16string& text) override;
  void SetProblems(const std::u16string& text) override;
  void SetNote(const std::u16string& text) override;
  void SetStatus(const std::u16string& text) override;
  void ShowModal() override;
  void Close() override { closed_ = true; }
  void BringToFront() override;

  // A control by its place in the layout table (for the tests).
  HWND ControlOf(DestinationsPart part) const {
    return by_part_[static_cast<size_t>(part)];
  }

 protected:
  void ApplyFonts(UINT dpi) override;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Build();
  Edit& EditOf(Field field);
  const Edit& EditOf(Field field) const;
  // A user's action, passed on unless the view is filling itself in.
  void Report(void (DestinationsViewListener::*action)());

  DestinationsViewListener* listener_ = nullptr;
  bool closed_ = true;
  // Set while a setter changes a text: the edit control reports that as a
  // change too.
  bool filling_ = false;
  std::array<HWND, kDestinationsPartCount> by_part_{};
  Font font_;

  ListBox list_;
  win::Button add_button_;
  win::Button remove_button_;
  Label note_;
  win::Panel webhook_panel_;
  Label webhook_url_label_;
  Edit webhook_url_;
  Label webhook_method_label_;
  ComboList webhook_method_;
  Label webhook_headers_label_;
  Edit webhook_headers_;
  Label webhook_headers_hint_;
  Label webhook_pin_label_;
  Edit webhook_pin_;
  CheckBox webhook_enabled_;
  win::Panel mqtt_panel_;
  Label mqtt_url_label_;
  Edit mqtt_url_;
  Label mqtt_user_label_;
  Edit mqtt_user_;
  Label mqtt_password_label_;
  Edit mqtt_password_;
  Label mqtt_client_id_label_;
  Edit mqtt_client_id_;
  Label mqtt_prefix_label_;
  Edit mqtt_prefix_;
  Label mqtt_ca_file_label_;
  Edit mqtt_ca_file_;
  CheckBox mqtt_enabled_;
  win::Button test_button_;
  Label test_answer_;
  Label problems_;
  Label status_;
  win::Button save_button_;
  win::Button apply_button_;
  win::Button cancel_button_;
};

}  // namespace orvanta::win

#endif  // ORVANTA_DESKTOP_WIN_DESTINATIONS_DIALOG_H_
