#include "app/win/settings_window.h"

#include <exception>
#include <vector>

#include "app/shell.h"
#include "app/win/win_text.h"
#include "base/failure.h"

namespace orvanta::win {

namespace {

namespace text = settings_text;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                         WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
constexpr SIZE kClient = {448, 532};

const wchar_t* W(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

template <size_t N>
std::vector<std::u16string> Items(const char16_t* const (&items)[N]) {
  return std::vector<std::u16string>(items, items + N);
}

void SetId(HWND hwnd, int id) { SetWindowLongPtrW(hwnd, GWLP_ID, id); }

}  // namespace

SettingsWindow::SettingsWindow(HICON icon, HICON small_icon) {
  CreateForm(kClassName, L"", kStyle, WS_EX_APPWINDOW, kClient, icon,
             small_icon);
  BuildControls();
  FinishLayout();
}

SettingsWindow::~SettingsWindow() { DestroyNow(); }

void SettingsWindow::BuildControls() {
  check_caller_id_.Create(*this, W(text::kCheckBoxCallerIDKullan),
                          {8, 5, 259, 19});
  check_caller_id_.on_click = [this] {
    Notify(&SettingsViewListener::OnCheckBoxClick);
  };

  panel_caller_id_.Create(*this, {8, 24, 432, 453}, kAnchorAll,
                          Panel::kRaisedInLoweredOut, false);
  Panel& caller = panel_caller_id_;
  s_label1_.Create(caller, W(text::kSLabel1), {24, 16, 0, 0}, false);
  edit_port_.Create(caller, L"", {114, 13, 121, 21});
  edit_port_.accepts = [](const std::u16string& proposed) {
    return EditPortAccepts(proposed);
  };
  edit_port_.on_escape = [this] {
    Notify(&SettingsViewListener::OnEditPortEscape);
  };
  edit_port_.on_exit = [this] {
    Notify(&SettingsViewListener::OnEditPortExit);
  };
  s_button4_.Create(caller, W(text::kSButton4), {262, 12, 143, 25});
  s_button4_.on_click = [this] { Notify(&SettingsViewListener::OnPortuTestEt); };
  s_label2_.Create(caller, W(text::kSLabel2), {24, 51, 383, 68}, true);
  radio_group_cihaz_.Create(caller, W(text::kRadioGroupCihazTitle),
                            Items(text::kRadioGroupCihazItems), 2,
                            {23, 140, 383, 59},
                            kAnchorLeft | kAnchorTop | kAnchorRight);
  radio_group_cihaz_.on_click = [this] {
    Notify(&SettingsViewListener::OnRadioGroupClick);
  };

  pan_arg_.Create(caller, {23, 205, 383, 219}, kAnchorTopLeft, Panel::kRaised,
                  false);
  s_label3_.Create(pan_arg_, W(text::kSLabel3), {8, 13, 0, 0}, false);
  combo_cihaz_.Create(pan_arg_, {8, 31, 217, 21}, Items(text::kComboCihazItems));
  combo_cihaz_.on_change = [this] {
    Notify(&SettingsViewListener::OnComboCihazChange);
  };
  label_sec_.Create(pan_arg_, W(text::kLabelSecComPort), {231, 13, 0, 0}, false,
                    false);
  edit_ip_.Create(pan_arg_, L"", {231, 32, 146, 21}, false);
  combo_port_.Create(pan_arg_, {231, 31, 82, 21}, Items(text::kComboPortItems),
                     false);
  // "Bağlan" has no action and lies under the log pane.
  button_baglan_.Create(pan_arg_, W(text::kButtonBaglan), {9, 119, 115, 25},
                        kAnchorTopLeft, false);
  memo_log_.Create(pan_arg_, {1, 64, 381, 154}, ES_READONLY);
  SetWindowPos(memo_log_.hwnd(), HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  memo_log_.on_double_click = [this] {
    Notify(&SettingsViewListener::OnMemoLogDblClick);
  };

  panel_diger_.Create(caller, {24, 205, 383, 219}, kAnchorAll,
                      Panel::kRaisedInLoweredOut, false);
  Panel& diger = panel_diger_;
  vm_win_button_com_port_.Create(diger, W(text::kVmWinButtonComPort),
                                 {4, 8, 372, 31},
                                 kAnchorLeft | kAnchorTop | kAnchorRight);
  SetPropW(vm_win_button_com_port_.hwnd(), L"OrvantaOwnFont",
           reinterpret_cast<HANDLE>(1));
  vm_win_button_com_port_.on_click = [this] {
    Notify(&SettingsViewListener::OnComportAyarlari);
  };
  label23_.Create(diger, W(text::kLabel23), {16, 56, 0, 0}, false);
  edit_baslama_.Create(diger, L"", {144, 50, 201, 21});
  label24_.Create(diger, W(text::kLabel24), {16, 80, 0, 0}, false);
  edit_bitis_.Create(diger, L"", {144, 74, 201, 21});
  label26_.Create(diger, W(text::kLabel26), {16, 104, 0, 0}, false);
  spin_no_baslama_.Create(diger, {296, 96, 49, 21}, kSpinMinimum, kSpinMaximum);
  label27_.Create(diger, W(text::kLabel27), {16, 128, 0, 0}, false);
  spin_no_uzunluk_.Create(diger, {296, 120, 49, 21}, kSpinMinimum, kSpinMaximum);
  label25_.Create(diger, W(text::kLabel25), {8, 181, 329, 13}, true);
  s_button5_.Create(diger, W(text::kSButton5), {296, 176, 75, 25});
  s_button5_.on_click = [this] { Notify(&SettingsViewListener::OnTestEkrani); };

  s_panel1_.Create(*this, {8, 483, 432, 41},
                   kAnchorLeft | kAnchorRight | kAnchorBottom, Panel::kRaised,
                   true);
  s_button1_.Create(s_panel1_, W(text::kSButton1), {9, 5, 99, 30});
  s_button1_.on_click = [this] { Notify(&SettingsViewListener::OnKaydet); };
  s_button2_.Create(s_panel1_, W(text::kSButton2), {112, 5, 99, 30});
  s_button2_.on_click = [this] { Notify(&SettingsViewListener::OnUygula); };
  s_button3_.Create(s_panel1_, W(text::kSButton3), {216, 5, 99, 30});
  s_button3_.on_click = [this] { Notify(&SettingsViewListener::OnGizle); };
  button_kapat_.Create(s_panel1_, W(text::kButtonKapat), {321, 5, 99, 30});
  button_kapat_.on_click = [this] { Notify(&SettingsViewListener::OnKapat); };

  tooltips_.Add(hwnd(), memo_log_.hwnd(), W(text::kMemoLogHint));
  tooltips_.Add(hwnd(), vm_win_button_com_port_.hwnd(),
                W(text::kVmWinButtonComPortHint));

  const std::pair<HWND, int> ids[] = {
      {check_caller_id_.hwnd(), kIdCheckBoxCallerIDKullan},
      {panel_caller_id_.hwnd(), kIdPanelCallerID},
      {edit_port_.hwnd(), kIdEditPort},
      {s_button4_.hwnd(), kIdSButton4},
      {radio_group_cihaz_.hwnd(), kIdRadioGroupCihaz},
      {pan_arg_.hwnd(), kIdPanARG},
      {combo_cihaz_.hwnd(), kIdComboCIHAZ},
      {label_sec_.hwnd(), kIdLabelSec},
      {edit_ip_.hwnd(), kIdEditIP},
      {combo_port_.hwnd(), kIdComboPORT},
      {button_baglan_.hwnd(), kIdButtonBaglan},
      {memo_log_.hwnd(), kIdMemoLog},
      {panel_diger_.hwnd(), kIdPanelDiger},
      {vm_win_button_com_port_.hwnd(), kIdVmWinButtonComPort},
      {edit_baslama_.hwnd(), kIdEditBaslama},
      {edit_bitis_.hwnd(), kIdEditBitis},
      {spin_no_baslama_.hwnd(), kIdRxSpinEditNoBaslama},
      {spin_no_uzunluk_.hwnd(), kIdRxSpinEditNoUzunluk},
      {s_button5_.hwnd(), kIdSButton5},
      {s_panel1_.hwnd(), kIdSPanel1},
      {s_button1_.hwnd(), kIdSButton1},
      {s_button2_.hwnd(), kIdSButton2},
      {s_button3_.hwnd(), kIdSButton3},
      {button_kapat_.hwnd(), kIdButtonKapat},
  };
  for (const auto& [hwnd, id] : ids) SetId(hwnd, id);
  for (int i = 0; i < 3; ++i) {
    SetId(radio_group_cihaz_.button(i), kIdRadioItem0 + i);
  }
}

void SettingsWindow::ApplyFonts(UINT dpi) {
  font_.Create(L"Tahoma", 8, true, dpi);
  arial_font_.Create(L"Arial", 8, true, dpi);
  SetFontDeep(hwnd(), font_.get());
  SendMessageW(vm_win_button_com_port_.hwnd(), WM_SETFONT,
               reinterpret_cast<WPARAM>(arial_font_.get()), FALSE);
  // Labels take the size of their text in the window font.
  const std::pair<Label*, Container*> fitted[] = {
      {&s_label1_, &panel_caller_id_}, {&s_label3_, &pan_arg_},
      {&label_sec_, &pan_arg_},        {&label23_, &panel_diger_},
      {&label24_, &panel_diger_},      {&label26_, &panel_diger_},
      {&label27_, &panel_diger_},
  };
  for (const auto& [label, parent] : fitted) {
    label->FitToText(*parent, font_.get(), dpi);
  }
  check_caller_id_.FitText(*this, font_.get(), dpi);
  radio_group_cihaz_.ArrangeButtons(font_.get(), dpi);
  // Containers whose size does not change still place their children anew.
  for (HWND container : {panel_caller_id_.hwnd(), pan_arg_.hwnd(),
                         panel_diger_.hwnd(), radio_group_cihaz_.hwnd()}) {
    RECT client;
    GetClientRect(container, &client);
    SendMessageW(container, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(client.right, client.bottom));
  }
}

void SettingsWindow::Guard(const std::function<void()>& action) {
  try {
    action();
  } catch (...) {
    if (report_stray_failure) {
      report_stray_failure(FailureText(std::current_exception()));
    }
  }
}

void SettingsWindow::Notify(void (SettingsViewListener::*call)()) {
  if (!listener_) return;
  Guard([this, call] { (listener_->*call)(); });
}

// --- SettingsView ----------------------------------------------------------

bool SettingsWindow::CheckBoxCallerIDKullanChecked() const {
  return check_caller_id_.Checked();
}

void SettingsWindow::SetCheckBoxCallerIDKullanChecked(bool checked) {
  check_caller_id_.SetChecked(checked);
}

int SettingsWindow::RadioGroupCihazIndex() const {
  return radio_group_cihaz_.Index();
}

void SettingsWindow::SetRadioGroupCihazIndex(int index) {
  radio_group_cihaz_.SetIndex(index);
}

Edit& SettingsWindow::EditFor(SettingsEdit edit) {
  switch (edit) {
    case SettingsEdit::kEditPort:
      return edit_port_;
    case SettingsEdit::kEditBaslama:
      return edit_baslama_;
    case SettingsEdit::kEditBitis:
      return edit_bitis_;
    case SettingsEdit::kEditIP:
      break;
  }
  return edit_ip_;
}

const Edit& SettingsWindow::EditFor(SettingsEdit edit) const {
  return const_cast<SettingsWindow*>(this)->EditFor(edit);
}

std::u16string SettingsWindow::EditText(SettingsEdit edit) const {
  return EditFor(edit).Text();
}

void SettingsWindow::SetEditText(SettingsEdit edit, const std::u16string& text) {
  EditFor(edit).SetText(text);
}

int SettingsWindow::SpinValue(SettingsSpin spin) const {
  return spin == SettingsSpin::kRxSpinEditNoBaslama ? spin_no_baslama_.Value()
                                                    : spin_no_uzunluk_.Value();
}

void SettingsWindow::SetSpinValue(SettingsSpin spin, int value) {
  (spin == SettingsSpin::kRxSpinEditNoBaslama ? spin_no_baslama_
                                              : spin_no_uzunluk_)
      .SetValue(value);
}

int SettingsWindow::ComboIndex(SettingsCombo combo) const {
  return combo == SettingsCombo::kComboCIHAZ ? combo_cihaz_.Index()
                                             : combo_port_.Index();
}

void SettingsWindow::SetComboIndex(SettingsCombo combo, int index) {
  (combo == SettingsCombo::kComboCIHAZ ? combo_cihaz_ : combo_port_)
      .SetIndex(index);
}

void SettingsWindow::SetControlVisible(SettingsShown control, bool visible) {
  switch (control) {
    case SettingsShown::kPanelCallerID:
      panel_caller_id_.SetVisible(visible);
      break;
    case SettingsShown::kPanARG:
      pan_arg_.SetVisible(visible);
      break;
    case SettingsShown::kPanelDiger:
      panel_diger_.SetVisible(visible);
      break;
    case SettingsShown::kLabelSec:
      label_sec_.SetVisible(visible);
      break;
    case SettingsShown::kEditIP:
      edit_ip_.SetVisible(visible);
      break;
    case SettingsShown::kComboPORT:
      combo_port_.SetVisible(visible);
      break;
  }
}

void SettingsWindow::SetLabelSecText(const std::u16string& text) {
  label_sec_.SetText(text);
  label_sec_.FitToText(pan_arg_, font_.get(), dpi());
  RECT client;
  GetClientRect(pan_arg_.hwnd(), &client);
  pan_arg_.layout().Arrange(client.right, client.bottom, dpi());
}

void SettingsWindow::AddMemoLogLines(const std::vector<std::u16string>& lines) {
  memo_log_.AddLines(lines);
}

void SettingsWindow::RemoveFirstMemoLogLines(size_t count) {
  memo_log_.RemoveFirstLines(count);
}

void SettingsWindow::ClearMemoLog() { memo_log_.Clear(); }

void SettingsWindow::SetCaption(const std::u16string& caption) {
  SetWindowTextU16(hwnd(), caption);
}

void SettingsWindow::ShowWindow() {
  if (!shown_before_) {
    shown_before_ = true;
    RECT frame;
    GetWindowRect(hwnd(), &frame);
    POINT at = CentredOnScreen(
        {frame.right - frame.left, frame.bottom - frame.top});
    SetWindowPos(hwnd(), nullptr, at.x, at.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd());
  BringWindowToTop(hwnd());
}

void SettingsWindow::HideWindow() { ::ShowWindow(hwnd(), SW_HIDE); }

bool SettingsWindow::WindowVisible() const { return IsWindowVisible(hwnd()); }

void SettingsWindow::SetListener(SettingsViewListener* listener) {
  listener_ = listener;
}

// --- Messages --------------------------------------------------------------

LRESULT SettingsWindow::HandleMessage(UINT message, WPARAM wparam,
                                      LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      // The presenter decides: hide, or end the program.
      Notify(&SettingsViewListener::OnCloseRequest);
      return 0;
    case kWmAutoStart:
      if (shell_listener_) Guard([this] { shell_listener_->OnAutoStart(); });
      return 0;
    case kWmHandoverWake:
      if (shell_listener_) Guard([this] { shell_listener_->OnHandoverWake(); });
      return 0;
    case WM_ENDSESSION:
      // Logging off or shutting down: the process may be ended as soon as
      // this returns, so the program's closing step runs now.
      if (wparam && shell_listener_) {
        Guard([this] { shell_listener_->OnEndSession(); });
      }
      return 0;
  }
  return FormWindow::HandleMessage(message, wparam, lparam);
}

}  // namespace orvanta::win
