#ifndef ORVANTA_SENDER_WIN_SETUP_DIALOG_H_
#define ORVANTA_SENDER_WIN_SETUP_DIALOG_H_

#include <windows.h>

#include <array>

#include "sender/setup_dialog_view.h"
#include "desktop/win/controls.h"
#include "desktop/win/form_window.h"

namespace orvanta::win {

// "Setup": six drop-down lists for the serial line parameters, OK / Cancel.
class SetupDialog : public FormWindow, public SetupDialogView {
 public:
  static constexpr wchar_t kClassName[] = L"OrvantaSetupDialog";
  // The lists, top to bottom, have the ids kIdFirstList + list.
  static constexpr int kIdFirstList = 201;

  SetupDialog();
  ~SetupDialog() override;

  // SetupDialogView.
  void SetList(int list, const std::vector<std::u16string>& entries,
               int chosen) override;
  int ChosenIndex(int list) const override;
  bool ShowModal() override;

 protected:
  void ApplyFonts(UINT dpi) override;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void End(bool ok);

  bool ended_ = false;
  bool ok_ = false;
  Font font_;
  std::array<Label, kListCount> labels_;
  std::array<ComboList, kListCount> lists_;
  Button ok_button_;
  Button cancel_button_;
};

}  // namespace orvanta::win

#endif  // ORVANTA_SENDER_WIN_SETUP_DIALOG_H_
