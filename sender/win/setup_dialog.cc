#include "sender/win/setup_dialog.h"

#include "sender/setup_dialog_layout.h"

namespace orvanta::win {

namespace {

namespace text = setup_dialog_text;

// No WS_CLIPCHILDREN: the dialog paints the inside of its group frame,
// which the frame leaves to its parent.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
const wchar_t* W(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

}  // namespace

SetupDialog::SetupDialog() {
  CreateForm(kClassName, W(text::kCaption), kStyle, kExStyle,
             kSetupDialogClientSize, nullptr, nullptr);
  // The lists follow in tab order, then the buttons.
  HWND group =
      CreateWindowExW(0, L"BUTTON", W(text::kGroupBox),
                      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX,
                      kSetupDialogGroupBox.left, kSetupDialogGroupBox.top,
                      kSetupDialogGroupBox.width, kSetupDialogGroupBox.height,
                      hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  layout().Add(group, kSetupDialogGroupBox);
  for (int i = 0; i < kListCount; ++i) {
    labels_[i].Create(*this, W(text::kLabels[i]),
                      InSetupDialogGroup(SetupDialogLabel(i)), false);
  }
  for (int i = 0; i < kListCount; ++i) {
    // Children of the dialog, placed over the group box.
    lists_[i].Create(*this, InSetupDialogGroup(SetupDialogList(i)), {});
    SetWindowLongPtrW(lists_[i].hwnd(), GWLP_ID, kIdFirstList + i);
  }
  ok_button_.Create(*this, W(text::kOk), kSetupDialogOkButton, kLayoutTopLeft,
                    false, BS_DEFPUSHBUTTON);
  SetWindowLongPtrW(ok_button_.hwnd(), GWLP_ID, IDOK);
  ok_button_.on_click = [this] { End(true); };
  cancel_button_.Create(*this, W(text::kCancel), kSetupDialogCancelButton,
                        kLayoutTopLeft, false);
  SetWindowLongPtrW(cancel_button_.hwnd(), GWLP_ID, IDCANCEL);
  cancel_button_.on_click = [this] { End(false); };
  FinishLayout();
}

SetupDialog::~SetupDialog() { DestroyNow(); }

void SetupDialog::ApplyFonts(UINT dpi) {
  font_.Create(L"MS Sans Serif", 8, false, dpi);
  SetFontDeep(hwnd(), font_.get());
  for (Label& label : labels_) label.FitToText(*this, font_.get(), dpi);
}

void SetupDialog::SetList(int list, const std::vector<std::u16string>& entries,
                          int chosen) {
  if (list < 0 || list >= kListCount) return;
  lists_[list].SetItems(entries);
  lists_[list].SetIndex(chosen);
}

int SetupDialog::ChosenIndex(int list) const {
  if (list < 0 || list >= kListCount) return -1;
  return lists_[list].Index();
}

bool SetupDialog::ShowModal() {
  ended_ = false;
  ok_ = false;
  CentreOnScreen(hwnd());
  SetFocus(lists_[0].hwnd());
  RunModal(hwnd(), [this] { return ended_; });
  return ok_;
}

void SetupDialog::End(bool ok) {
  ok_ = ok;
  ended_ = true;
}

LRESULT SetupDialog::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      // Enter and Esc arrive from the keyboard navigation with these ids.
      if (LOWORD(wparam) == IDOK && HIWORD(wparam) == BN_CLICKED) {
        End(true);
        return 0;
      }
      if (LOWORD(wparam) == IDCANCEL && HIWORD(wparam) == BN_CLICKED) {
        End(false);
        return 0;
      }
      break;
    case WM_CLOSE:
      End(false);
      return 0;
  }
  return FormWindow::HandleMessage(message, wparam, lparam);
}

}  // namespace orvanta::win
