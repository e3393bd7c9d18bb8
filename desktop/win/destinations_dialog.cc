#include "desktop/win/destinations_dialog.h"

#include <iterator>
#include <string>
#include <vector>

#include "desktop/win/win_text.h"

namespace orvanta::win {

namespace {

namespace text = destinations_text;
using P = DestinationsPart;

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

const wchar_t* W(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

// The edit control breaks lines with CR LF; the view's texts with LF.
std::u16string WithCrLf(const std::u16string& text) {
  std::u16string out;
  for (char16_t c : text) {
    if (c == u'\r') continue;
    if (c == u'\n') out += u'\r';
    out += c;
  }
  return out;
}

std::u16string WithoutCr(const std::u16string& text) {
  std::u16string out;
  for (char16_t c : text) {
    if (c != u'\r') out += c;
  }
  return out;
}

}  // namespace

DestinationsDialog::DestinationsDialog() {
  CreateForm(kClassName, W(text::kCaption), kStyle, kExStyle,
             kDestinationsClientSize, nullptr, nullptr);
  Build();
  FinishLayout();
}

DestinationsDialog::~DestinationsDialog() { DestroyNow(); }

void DestinationsDialog::Build() {
  // Made in the table's order, which is the Tab key's.
  for (const DestinationsPlacement& placed : kDestinationsLayout) {
    Container& in = OnDialog(placed) ? static_cast<Container&>(*this)
                    : placed.parent == P::kWebhookPanel
                        ? static_cast<Container&>(webhook_panel_)
                        : static_cast<Container&>(mqtt_panel_);
    const LayoutRect& design = placed.rect;
    auto label = [&](Label& made, const char16_t* caption) {
      made.Create(in, W(caption), design, !FitsText(placed));
      return made.hwnd();
    };
    auto button = [&](win::Button& made, const char16_t* caption,
                      void (DestinationsViewListener::*action)()) {
      made.Create(in, W(caption), design, kLayoutTopLeft, false);
      made.on_click = [this, action] { Report(action); };
      return made.hwnd();
    };
    auto edit = [&](Edit& made, DWORD style = 0) {
      made.Create(in, L"", design, true, style);
      made.on_change = [this] { Report(&DestinationsViewListener::OnEdited); };
      return made.hwnd();
    };
    auto check = [&](CheckBox& made) {
      made.Create(in, W(text::kEnabled), design);
      made.on_click = [this] { Report(&DestinationsViewListener::OnEdited); };
      return made.hwnd();
    };
    auto panel = [&](win::Panel& made) {
      made.Create(in, design, kLayoutTopLeft, win::Panel::kFlat, false);
      return made.hwnd();
    };
    HWND made = nullptr;
    switch (placed.part) {
      case P::kList:
        list_.Create(in, design);
        list_.on_change = [this] {
          if (listener_) listener_->OnRowChosen(list_.Index());
        };
        made = list_.hwnd();
        break;
      case P::kAddButton:
        made = button(add_button_, text::kAddWebhook,
                      &DestinationsViewListener::OnAddWebhook);
        break;
      case P::kRemoveButton:
        made = button(remove_button_, text::kRemove,
                      &DestinationsViewListener::OnRemove);
        break;
      case P::kNote:
        made = label(note_, u"");
        break;
      case P::kWebhookPanel:
        made = panel(webhook_panel_);
        break;
      case P::kWebhookUrlLabel:
        made = label(webhook_url_label_, text::kUrl);
        break;
      case P::kWebhookUrl:
        made = edit(webhook_url_);
        break;
      case P::kWebhookMethodLabel:
        made = label(webhook_method_label_, text::kMethod);
        break;
      case P::kWebhookMethod:
        webhook_method_.Create(
            in, design,
            std::vector<std::u16string>(std::begin(text::kMethods),
                                        std::end(text::kMethods)));
        webhook_method_.on_change = [this] {
          Report(&DestinationsViewListener::OnEdited);
        };
        made = webhook_method_.hwnd();
        break;
      case P::kWebhookHeadersLabel:
        made = label(webhook_headers_label_, text::kHeaders);
        break;
      case P::kWebhookHeaders:
        made = edit(webhook_headers_,
                    ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL);
        break;
      case P::kWebhookHeadersHint:
        made = label(webhook_headers_hint_, text::kHeadersHint);
        break;
      case P::kWebhookPinLabel:
        made = label(webhook_pin_label_, text::kPin);
        break;
      case P::kWebhookPin:
        made = edit(webhook_pin_);
        break;
      case P::kWebhookEnabled:
        made = check(webhook_enabled_);
        break;
      case P::kMqttPanel:
        made = panel(mqtt_panel_);
        break;
      case P::kMqttUrlLabel:
        made = label(mqtt_url_label_, text::kBroker);
        break;
      case P::kMqttUrl:
        made = edit(mqtt_url_);
        break;
      case P::kMqttUserLabel:
        made = label(mqtt_user_label_, text::kUser);
        break;
      case P::kMqttUser:
        made = edit(mqtt_user_);
        break;
      case P::kMqttPasswordLabel:
        made = label(mqtt_password_label_, text::kPassword);
        break;
      case P::kMqttPassword:
        made = edit(mqtt_password_, ES_PASSWORD);
        break;
      case P::kMqttClientIdLabel:
        made = label(mqtt_client_id_label_, text::kClientId);
        break;
      case P::kMqttClientId:
        made = edit(mqtt_client_id_);
        break;
      case P::kMqttPrefixLabel:
        made = label(mqtt_prefix_label_, text::kPrefix);
        break;
      case P::kMqttPrefix:
        made = edit(mqtt_prefix_);
        break;
      case P::kMqttCaFileLabel:
        made = label(mqtt_ca_file_label_, text::kCaFile);
        break;
      case P::kMqttCaFile:
        made = edit(mqtt_ca_file_);
        break;
      case P::kMqttEnabled:
        made = check(mqtt_enabled_);
        break;
      case P::kTestButton:
        made = button(test_button_, text::kTest,
                      &DestinationsViewListener::OnTest);
        break;
      case P::kTestAnswer:
        made = label(test_answer_, u"");
        break;
      case P::kProblems:
        made = label(problems_, u"");
        break;
      case P::kStatus:
        made = label(status_, u"");
        break;
      case P::kSaveButton:
        made = button(save_button_, text::kSave,
                      &DestinationsViewListener::OnSave);
        break;
      case P::kApplyButton:
        made = button(apply_button_, text::kApply,
                      &DestinationsViewListener::OnApply);
        break;
      case P::kCancelButton:
        made = button(cancel_button_, text::kCancel,
                      &DestinationsViewListener::OnCancel);
        break;
    }
    SetWindowLongPtrW(made, GWLP_ID, IdOf(placed.part));
    by_part_[static_cast<size_t>(placed.part)] = made;
  }
}

void DestinationsDialog::ApplyFonts(UINT dpi) {
  font_.Create(L"Tahoma", 8, false, dpi);
  SetFontDeep(hwnd(), font_.get());
  for (const DestinationsPlacement& placed : kDestinationsLayout) {
    if (!FitsText(placed)) continue;
    Container& in = placed.parent == P::kWebhookPanel
                        ? static_cast<Container&>(webhook_panel_)
                        : static_cast<Container&>(mqtt_panel_);
    auto* label =
        static_cast<Label*>(Control::FromHwnd(ControlOf(placed.part)));
    label->FitToText(in, font_.get(), dpi);
  }
  for (win::Panel* panel : {&webhook_panel_, &mqtt_panel_}) {
    RECT client;
    GetClientRect(panel->hwnd(), &client);
    SendMessageW(panel->hwnd(), WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(client.right, client.bottom));
  }
}

void DestinationsDialog::Report(void (DestinationsViewListener::*action)()) {
  if (!filling_ && listener_) (listener_->*action)();
}

void DestinationsDialog::SetRows(const std::vector<std::u16string>& rows,
                                 int chosen) {
  list_.SetItems(rows, chosen, font_.get());
}

void DestinationsDialog::ShowPanel(Panel panel) {
  webhook_panel_.SetVisible(panel == Panel::kWebhook);
  mqtt_panel_.SetVisible(panel == Panel::kMqtt);
}

Edit& DestinationsDialog::EditOf(Field field) {
  return const_cast<Edit&>(
      static_cast<const DestinationsDialog&>(*this).EditOf(field));
}

const Edit& DestinationsDialog::EditOf(Field field) const {
  switch (field) {
    case Field::kWebhookUrl:
      return webhook_url_;
    case Field::kWebhookHeaders:
      return webhook_headers_;
    case Field::kWebhookPin:
      return webhook_pin_;
    case Field::kMqttUrl:
      return mqtt_url_;
    case Field::kMqttUser:
      return mqtt_user_;
    case Field::kMqttPassword:
      return mqtt_password_;
    case Field::kMqttClientId:
      return mqtt_client_id_;
    case Field::kMqttPrefix:
      return mqtt_prefix_;
    case Field::kMqttCaFile:
      break;
  }
  return mqtt_ca_file_;
}

std::u16string DestinationsDialog::Text(Field field) const {
  return WithoutCr(EditOf(field).Text());
}

void DestinationsDialog::SetText(Field field, const std::u16string& text) {
  filling_ = true;
  EditOf(field).SetText(WithCrLf(text));
  filling_ = false;
}

bool DestinationsDialog::Checked(Check check) const {
  return (check == Check::kWebhookEnabled ? webhook_enabled_ : mqtt_enabled_)
      .Checked();
}

void DestinationsDialog::SetChecked(Check check, bool checked) {
  (check == Check::kWebhookEnabled ? webhook_enabled_ : mqtt_enabled_)
      .SetChecked(checked);
}

int DestinationsDialog::MethodIndex() const { return webhook_method_.Index(); }

void DestinationsDialog::SetMethodIndex(int index) {
  webhook_method_.SetIndex(index);
}

void DestinationsDialog::SetButtonEnabled(Button button, bool enabled) {
  const HWND control =
      button == Button::kTest ? test_button_.hwnd() : remove_button_.hwnd();
  // A button that goes off while it holds the focus would leave the
  // keyboard nowhere.
  if (!enabled && GetFocus() == control) {
    SendMessageW(hwnd(), WM_NEXTDLGCTL, 0, FALSE);
  }
  EnableWindow(control, enabled);
}

void DestinationsDialog::SetTestAnswer(const std::u16string& text) {
  test_answer_.SetText(text);
}

void DestinationsDialog::SetProblems(const std::u16string& text) {
  problems_.SetText(WithCrLf(text));
}

void DestinationsDialog::SetNote(const std::u16string& text) {
  note_.SetText(text);
}

void DestinationsDialog::SetStatus(const std::u16string& text) {
  status_.SetText(WithCrLf(text));
}

void DestinationsDialog::ShowModal() {
  closed_ = false;
  CentreOnScreen(hwnd());
  SetFocus(list_.hwnd());
  RunModal(hwnd(), [this] { return closed_; });
}

void DestinationsDialog::BringToFront() {
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

LRESULT DestinationsDialog::HandleMessage(UINT message, WPARAM wparam,
                                          LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      // Esc arrives from the keyboard navigation as IDCANCEL; Enter as IDOK,
      // which nothing here answers: it must not save by accident.
      if (lparam == 0 && HIWORD(wparam) == BN_CLICKED) {
        if (LOWORD(wparam) == IDCANCEL) {
          Report(&DestinationsViewListener::OnCancel);
        }
        return 0;
      }
      break;
    case WM_CLOSE:
      Report(&DestinationsViewListener::OnCancel);
      return 0;
  }
  return FormWindow::HandleMessage(message, wparam, lparam);
}

}  // namespace orvanta::win
