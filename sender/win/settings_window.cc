#include "sender/win/settings_window.h"

#include <exception>
#include <vector>

#include "sender/shell.h"
#include "desktop/win/win_text.h"
#include "base/failure.h"

namespace orvanta::win {

namespace {

namespace text = settings_text;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                         WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
const LayoutRect& Design(SettingsPart part) { return Placement(part).rect; }

unsigned Anchors(SettingsPart part) { return Placement(part).anchors; }

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
  CreateForm(kClassName, L"", kStyle, WS_EX_APPWINDOW, kSettingsClientSize,
             icon, small_icon);
  BuildControls();
  FinishLayout();
}

SettingsWindow::~SettingsWindow() { DestroyNow(); }

void SettingsWindow::BuildControls() {
  using P = SettingsPart;
  caller_id_enabled_.Create(*this, W(text::kCallerIdEnabled),
                            Design(P::kCallerIdEnabled));
  caller_id_enabled_.on_click = [this] {
    Notify(&SettingsViewListener::OnCallerIdClick);
  };

  caller_id_panel_.Create(*this, Design(P::kCallerIdPanel),
                          Anchors(P::kCallerIdPanel),
                          Panel::kRaisedInLoweredOut, false);
  Panel& caller = caller_id_panel_;
  port_label_.Create(caller, W(text::kPortLabel), Design(P::kPortLabel), false);
  port_edit_.Create(caller, L"", Design(P::kPortEdit));
  port_edit_.accepts = [](const std::u16string& proposed) {
    return PortTextAccepts(proposed);
  };
  port_edit_.on_escape = [this] {
    Notify(&SettingsViewListener::OnPortEditEscape);
  };
  port_edit_.on_exit = [this] {
    Notify(&SettingsViewListener::OnPortEditExit);
  };
  test_port_button_.Create(caller, W(text::kTestPort),
                           Design(P::kTestPortButton));
  test_port_button_.on_click = [this] {
    Notify(&SettingsViewListener::OnTestPort);
  };
  port_explanation_.Create(caller, W(text::kPortExplanation),
                           Design(P::kPortExplanation), true);
  source_choice_.Create(caller, W(text::kSourceTitle),
                        Items(text::kSourceItems), 2, Design(P::kSourceChoice),
                        Anchors(P::kSourceChoice));
  source_choice_.on_click = [this] {
    Notify(&SettingsViewListener::OnSourceClick);
  };

  arg_panel_.Create(caller, Design(P::kArgPanel), Anchors(P::kArgPanel),
                    Panel::kRaised, false);
  arg_device_kind_label_.Create(arg_panel_, W(text::kArgDeviceKindLabel),
                                Design(P::kArgDeviceKindLabel), false);
  arg_device_kind_.Create(arg_panel_, Design(P::kArgDeviceKind),
                          Items(text::kArgDeviceKindItems));
  arg_device_kind_.on_change = [this] {
    Notify(&SettingsViewListener::OnArgDeviceKindChange);
  };
  arg_choice_label_.Create(arg_panel_, W(text::kArgChoiceComPort),
                           Design(P::kArgChoiceLabel), false, false);
  main_machine_ip_.Create(arg_panel_, L"", Design(P::kMainMachineIp), false);
  arg_com_port_.Create(arg_panel_, Design(P::kArgComPort),
                       Items(text::kArgComPortItems), false);
  // "Bağlan" has no action and lies under the log pane.
  connect_button_.Create(arg_panel_, W(text::kConnect),
                         Design(P::kConnectButton), Anchors(P::kConnectButton),
                         false);
  log_pane_.Create(arg_panel_, Design(P::kLogPane), ES_READONLY);
  SetWindowPos(log_pane_.hwnd(), HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  log_pane_.on_double_click = [this] {
    Notify(&SettingsViewListener::OnLogPaneDoubleClick);
  };

  serial_panel_.Create(caller, Design(P::kSerialPanel),
                       Anchors(P::kSerialPanel), Panel::kRaisedInLoweredOut,
                       false);
  Panel& serial = serial_panel_;
  port_settings_button_.Create(serial, W(text::kPortSettings),
                               Design(P::kPortSettingsButton),
                               Anchors(P::kPortSettingsButton));
  SetPropW(port_settings_button_.hwnd(), L"OrvantaOwnFont",
           reinterpret_cast<HANDLE>(1));
  port_settings_button_.on_click = [this] {
    Notify(&SettingsViewListener::OnPortSettings);
  };
  start_text_label_.Create(serial, W(text::kStartTextLabel),
                           Design(P::kStartTextLabel), false);
  start_text_.Create(serial, L"", Design(P::kStartText));
  end_text_label_.Create(serial, W(text::kEndTextLabel),
                         Design(P::kEndTextLabel), false);
  end_text_.Create(serial, L"", Design(P::kEndText));
  number_start_label_.Create(serial, W(text::kNumberStartLabel),
                             Design(P::kNumberStartLabel), false);
  number_start_.Create(serial, Design(P::kNumberStart), kSpinMinimum,
                       kSpinMaximum);
  number_length_label_.Create(serial, W(text::kNumberLengthLabel),
                              Design(P::kNumberLengthLabel), false);
  number_length_.Create(serial, Design(P::kNumberLength), kSpinMinimum,
                        kSpinMaximum);
  line_label_.Create(serial, W(text::kLineLabel), Design(P::kLineLabel), false);
  line_start_.Create(serial, Design(P::kLineStart), kSpinMinimum, kSpinMaximum);
  line_length_.Create(serial, Design(P::kLineLength), kSpinMinimum,
                      kSpinMaximum);
  ascii_codes_hint_.Create(serial, W(text::kAsciiCodesHint),
                           Design(P::kAsciiCodesHint), true);
  open_port_test_button_.Create(serial, W(text::kOpenPortTest),
                                Design(P::kOpenPortTestButton));
  open_port_test_button_.on_click = [this] {
    Notify(&SettingsViewListener::OnOpenPortTest);
  };

  modem_panel_.Create(caller, Design(P::kModemPanel), Anchors(P::kModemPanel),
                      Panel::kRaisedInLoweredOut, false);
  Panel& modem = modem_panel_;
  modem_port_settings_button_.Create(modem, W(text::kPortSettings),
                                     Design(P::kModemPortSettingsButton),
                                     Anchors(P::kModemPortSettingsButton));
  SetPropW(modem_port_settings_button_.hwnd(), L"OrvantaOwnFont",
           reinterpret_cast<HANDLE>(1));
  modem_port_settings_button_.on_click = [this] {
    Notify(&SettingsViewListener::OnPortSettings);
  };
  modem_commands_label_.Create(modem, W(text::kModemCommandsLabel),
                               Design(P::kModemCommandsLabel), false);
  modem_commands_.Create(modem, L"", Design(P::kModemCommands));
  modem_line_label_.Create(modem, W(text::kModemLineLabel),
                           Design(P::kModemLineLabel), false);
  modem_line_.Create(modem, L"", Design(P::kModemLine));
  modem_port_test_button_.Create(modem, W(text::kOpenPortTest),
                                 Design(P::kModemPortTestButton));
  modem_port_test_button_.on_click = [this] {
    Notify(&SettingsViewListener::OnOpenPortTest);
  };
  modem_hint_.Create(modem, W(text::kModemHint), Design(P::kModemHint), true);
  modem_log_pane_.Create(modem, Design(P::kModemLogPane), ES_READONLY);
  modem_log_pane_.on_double_click = [this] {
    Notify(&SettingsViewListener::OnLogPaneDoubleClick);
  };

  button_panel_.Create(*this, Design(P::kButtonPanel), Anchors(P::kButtonPanel),
                       Panel::kRaised, true);
  save_button_.Create(button_panel_, W(text::kSave), Design(P::kSaveButton));
  save_button_.on_click = [this] { Notify(&SettingsViewListener::OnSave); };
  apply_button_.Create(button_panel_, W(text::kApply), Design(P::kApplyButton));
  apply_button_.on_click = [this] { Notify(&SettingsViewListener::OnApply); };
  hide_button_.Create(button_panel_, W(text::kHide), Design(P::kHideButton));
  hide_button_.on_click = [this] { Notify(&SettingsViewListener::OnHide); };
  close_button_.Create(button_panel_, W(text::kClose), Design(P::kCloseButton));
  close_button_.on_click = [this] { Notify(&SettingsViewListener::OnClose); };
  destinations_button_.Create(*this, W(text::kDestinations),
                              Design(P::kDestinationsButton),
                              Anchors(P::kDestinationsButton));
  destinations_button_.on_click = [this] {
    Notify(&SettingsViewListener::OnDestinations);
  };

  tooltips_.Add(hwnd(), log_pane_.hwnd(), W(text::kLogPaneHint));
  tooltips_.Add(hwnd(), port_settings_button_.hwnd(),
                W(text::kPortSettingsHint));
  tooltips_.Add(hwnd(), modem_log_pane_.hwnd(), W(text::kLogPaneHint));
  tooltips_.Add(hwnd(), modem_port_settings_button_.hwnd(),
                W(text::kPortSettingsHint));

  const std::pair<HWND, int> ids[] = {
      {caller_id_enabled_.hwnd(), kIdCallerIdEnabled},
      {caller_id_panel_.hwnd(), kIdCallerIdPanel},
      {port_edit_.hwnd(), kIdPortEdit},
      {test_port_button_.hwnd(), kIdTestPortButton},
      {source_choice_.hwnd(), kIdSourceChoice},
      {arg_panel_.hwnd(), kIdArgPanel},
      {arg_device_kind_.hwnd(), kIdArgDeviceKind},
      {arg_choice_label_.hwnd(), kIdArgChoiceLabel},
      {main_machine_ip_.hwnd(), kIdMainMachineIp},
      {arg_com_port_.hwnd(), kIdArgComPort},
      {connect_button_.hwnd(), kIdConnectButton},
      {log_pane_.hwnd(), kIdLogPane},
      {serial_panel_.hwnd(), kIdSerialPanel},
      {port_settings_button_.hwnd(), kIdPortSettingsButton},
      {start_text_.hwnd(), kIdStartText},
      {end_text_.hwnd(), kIdEndText},
      {number_start_.hwnd(), kIdNumberStart},
      {number_length_.hwnd(), kIdNumberLength},
      {open_port_test_button_.hwnd(), kIdOpenPortTestButton},
      {button_panel_.hwnd(), kIdButtonPanel},
      {save_button_.hwnd(), kIdSaveButton},
      {apply_button_.hwnd(), kIdApplyButton},
      {hide_button_.hwnd(), kIdHideButton},
      {close_button_.hwnd(), kIdCloseButton},
      {line_start_.hwnd(), kIdLineStart},
      {line_length_.hwnd(), kIdLineLength},
      {modem_panel_.hwnd(), kIdModemPanel},
      {modem_port_settings_button_.hwnd(), kIdModemPortSettingsButton},
      {modem_commands_.hwnd(), kIdModemCommands},
      {modem_line_.hwnd(), kIdModemLine},
      {modem_port_test_button_.hwnd(), kIdModemPortTestButton},
      {modem_log_pane_.hwnd(), kIdModemLogPane},
      {destinations_button_.hwnd(), kIdDestinationsButton},
  };
  for (const auto& [hwnd, id] : ids) SetId(hwnd, id);

  const std::pair<SettingsPart, HWND> placed[] = {
      {P::kCallerIdEnabled, caller_id_enabled_.hwnd()},
      {P::kCallerIdPanel, caller_id_panel_.hwnd()},
      {P::kPortLabel, port_label_.hwnd()},
      {P::kPortEdit, port_edit_.hwnd()},
      {P::kTestPortButton, test_port_button_.hwnd()},
      {P::kPortExplanation, port_explanation_.hwnd()},
      {P::kSourceChoice, source_choice_.hwnd()},
      {P::kArgPanel, arg_panel_.hwnd()},
      {P::kArgDeviceKindLabel, arg_device_kind_label_.hwnd()},
      {P::kArgDeviceKind, arg_device_kind_.hwnd()},
      {P::kArgChoiceLabel, arg_choice_label_.hwnd()},
      {P::kMainMachineIp, main_machine_ip_.hwnd()},
      {P::kArgComPort, arg_com_port_.hwnd()},
      {P::kConnectButton, connect_button_.hwnd()},
      {P::kLogPane, log_pane_.hwnd()},
      {P::kSerialPanel, serial_panel_.hwnd()},
      {P::kPortSettingsButton, port_settings_button_.hwnd()},
      {P::kStartTextLabel, start_text_label_.hwnd()},
      {P::kStartText, start_text_.hwnd()},
      {P::kEndTextLabel, end_text_label_.hwnd()},
      {P::kEndText, end_text_.hwnd()},
      {P::kNumberStartLabel, number_start_label_.hwnd()},
      {P::kNumberStart, number_start_.hwnd()},
      {P::kNumberLengthLabel, number_length_label_.hwnd()},
      {P::kNumberLength, number_length_.hwnd()},
      {P::kLineLabel, line_label_.hwnd()},
      {P::kLineStart, line_start_.hwnd()},
      {P::kLineLength, line_length_.hwnd()},
      {P::kAsciiCodesHint, ascii_codes_hint_.hwnd()},
      {P::kOpenPortTestButton, open_port_test_button_.hwnd()},
      {P::kModemPanel, modem_panel_.hwnd()},
      {P::kModemPortSettingsButton, modem_port_settings_button_.hwnd()},
      {P::kModemCommandsLabel, modem_commands_label_.hwnd()},
      {P::kModemCommands, modem_commands_.hwnd()},
      {P::kModemLineLabel, modem_line_label_.hwnd()},
      {P::kModemLine, modem_line_.hwnd()},
      {P::kModemPortTestButton, modem_port_test_button_.hwnd()},
      {P::kModemHint, modem_hint_.hwnd()},
      {P::kModemLogPane, modem_log_pane_.hwnd()},
      {P::kButtonPanel, button_panel_.hwnd()},
      {P::kSaveButton, save_button_.hwnd()},
      {P::kApplyButton, apply_button_.hwnd()},
      {P::kHideButton, hide_button_.hwnd()},
      {P::kCloseButton, close_button_.hwnd()},
      {P::kDestinationsButton, destinations_button_.hwnd()},
  };
  for (const auto& [part, hwnd] : placed) {
    by_part_[static_cast<size_t>(part)] = hwnd;
  }
  for (int i = 0; i < static_cast<int>(std::size(text::kSourceItems)); ++i) {
    SetId(source_choice_.button(i), kIdSourceItem0 + i);
  }
}

void SettingsWindow::ApplyFonts(UINT dpi) {
  font_.Create(L"Tahoma", 8, true, dpi);
  arial_font_.Create(L"Arial", 8, true, dpi);
  SetFontDeep(hwnd(), font_.get());
  for (HWND button :
       {port_settings_button_.hwnd(), modem_port_settings_button_.hwnd()}) {
    SendMessageW(button, WM_SETFONT,
                 reinterpret_cast<WPARAM>(arial_font_.get()), FALSE);
  }
  // Labels take the size of their text in the window font.
  const std::pair<Label*, Container*> fitted[] = {
      {&port_label_, &caller_id_panel_},
      {&arg_device_kind_label_, &arg_panel_},
      {&arg_choice_label_, &arg_panel_},
      {&start_text_label_, &serial_panel_},
      {&end_text_label_, &serial_panel_},
      {&number_start_label_, &serial_panel_},
      {&number_length_label_, &serial_panel_},
      {&line_label_, &serial_panel_},
      {&modem_commands_label_, &modem_panel_},
      {&modem_line_label_, &modem_panel_},
  };
  for (const auto& [label, parent] : fitted) {
    label->FitToText(*parent, font_.get(), dpi);
  }
  caller_id_enabled_.FitText(*this, font_.get(), dpi);
  source_choice_.ArrangeButtons(font_.get(), dpi);
  // Containers whose size does not change still place their children anew.
  for (HWND container :
       {caller_id_panel_.hwnd(), arg_panel_.hwnd(), serial_panel_.hwnd(),
        modem_panel_.hwnd(), source_choice_.hwnd()}) {
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

bool SettingsWindow::CallerIdEnabled() const {
  return caller_id_enabled_.Checked();
}

void SettingsWindow::SetCallerIdEnabled(bool checked) {
  caller_id_enabled_.SetChecked(checked);
}

int SettingsWindow::SourceIndex() const { return source_choice_.Index(); }

void SettingsWindow::SetSourceIndex(int index) {
  source_choice_.SetIndex(index);
}

Edit& SettingsWindow::EditFor(SettingsEdit edit) {
  switch (edit) {
    case SettingsEdit::kPortNumber:
      return port_edit_;
    case SettingsEdit::kStartText:
      return start_text_;
    case SettingsEdit::kEndText:
      return end_text_;
    case SettingsEdit::kModemCommands:
      return modem_commands_;
    case SettingsEdit::kModemLine:
      return modem_line_;
    case SettingsEdit::kMainMachineIp:
      break;
  }
  return main_machine_ip_;
}

const Edit& SettingsWindow::EditFor(SettingsEdit edit) const {
  return const_cast<SettingsWindow*>(this)->EditFor(edit);
}

std::u16string SettingsWindow::EditText(SettingsEdit edit) const {
  return EditFor(edit).Text();
}

void SettingsWindow::SetEditText(SettingsEdit edit,
                                 const std::u16string& text) {
  EditFor(edit).SetText(text);
}

SpinEdit& SettingsWindow::SpinFor(SettingsSpin spin) {
  switch (spin) {
    case SettingsSpin::kNumberLength:
      return number_length_;
    case SettingsSpin::kLineStart:
      return line_start_;
    case SettingsSpin::kLineLength:
      return line_length_;
    case SettingsSpin::kNumberStart:
      break;
  }
  return number_start_;
}

const SpinEdit& SettingsWindow::SpinFor(SettingsSpin spin) const {
  return const_cast<SettingsWindow*>(this)->SpinFor(spin);
}

int SettingsWindow::SpinValue(SettingsSpin spin) const {
  return SpinFor(spin).Value();
}

void SettingsWindow::SetSpinValue(SettingsSpin spin, int value) {
  SpinFor(spin).SetValue(value);
}

int SettingsWindow::ComboIndex(SettingsCombo combo) const {
  return combo == SettingsCombo::kArgDeviceKind ? arg_device_kind_.Index()
                                                : arg_com_port_.Index();
}

void SettingsWindow::SetComboIndex(SettingsCombo combo, int index) {
  (combo == SettingsCombo::kArgDeviceKind ? arg_device_kind_ : arg_com_port_)
      .SetIndex(index);
}

void SettingsWindow::SetControlVisible(SettingsShown control, bool visible) {
  switch (control) {
    case SettingsShown::kCallerIdPanel:
      caller_id_panel_.SetVisible(visible);
      break;
    case SettingsShown::kArgPanel:
      arg_panel_.SetVisible(visible);
      break;
    case SettingsShown::kSerialPanel:
      serial_panel_.SetVisible(visible);
      break;
    case SettingsShown::kModemPanel:
      modem_panel_.SetVisible(visible);
      break;
    case SettingsShown::kArgChoiceLabel:
      arg_choice_label_.SetVisible(visible);
      break;
    case SettingsShown::kMainMachineIp:
      main_machine_ip_.SetVisible(visible);
      break;
    case SettingsShown::kArgComPort:
      arg_com_port_.SetVisible(visible);
      break;
  }
}

void SettingsWindow::SetArgChoiceLabel(const std::u16string& text) {
  arg_choice_label_.SetText(text);
  arg_choice_label_.FitToText(arg_panel_, font_.get(), dpi());
  RECT client;
  GetClientRect(arg_panel_.hwnd(), &client);
  arg_panel_.layout().Arrange(client.right, client.bottom, dpi());
}

void SettingsWindow::AddLogLines(const std::vector<std::u16string>& lines) {
  for (TextPane* pane : LogPanes()) pane->AddLines(lines);
}

void SettingsWindow::RemoveFirstLogLines(size_t count) {
  for (TextPane* pane : LogPanes()) pane->RemoveFirstLines(count);
}

void SettingsWindow::ClearLogPane() {
  for (TextPane* pane : LogPanes()) pane->Clear();
}

std::array<TextPane*, 2> SettingsWindow::LogPanes() {
  return {&log_pane_, &modem_log_pane_};
}

void SettingsWindow::SetCaption(const std::u16string& caption) {
  SetWindowTextU16(hwnd(), caption);
}

void SettingsWindow::ShowWindow() {
  if (!shown_before_) {
    shown_before_ = true;
    CentreOnScreen(hwnd());
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
      if (wake_handler_) Guard(wake_handler_);
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
