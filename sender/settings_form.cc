#include "sender/settings_form.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "base/text.h"
#include "callerid/device_control.h"
#include "settings/storage.h"
#include "settings/typed_reading.h"

namespace orvanta {
namespace {

constexpr int kRadioLast = 3;
// What older versions showed for a stored type beyond their last item, and
// still show for one beyond today's.
constexpr int kBeyondTheLastItem = 2;

int ComboCount(SettingsCombo combo) {
  return combo == SettingsCombo::kArgDeviceKind
             ? static_cast<int>(std::size(settings_text::kArgDeviceKindItems))
             : static_cast<int>(std::size(settings_text::kArgComPortItems));
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

bool PortTextAccepts(std::u16string_view text) {
  if (!text.empty() && text.front() == u'-') text.remove_prefix(1);
  return std::all_of(text.begin(), text.end(), IsDigit);
}

std::u16string FormatPortNumber(int32_t value) {
  if (value == 0) return {};
  return IntToText(value);
}

int32_t ReadPortNumber(std::u16string_view text) {
  auto blank = [](char16_t c) { return c <= u' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  size_t digits = 0;
  long long value = 0;
  constexpr long long kLimit = 1LL << 32;
  while (digits < text.size() && IsDigit(text[digits])) {
    value = std::min(kLimit, value * 10 + (text[digits] - u'0'));
    ++digits;
  }
  std::u16string_view rest = text.substr(digits);
  // A fraction is cut off, whichever separator the user's locale has.
  if (!rest.empty() && (rest.front() == u'.' || rest.front() == u',')) {
    rest.remove_prefix(1);
    if (!std::all_of(rest.begin(), rest.end(), IsDigit)) return 0;
    if (digits == 0 && rest.empty()) return 0;
  } else if (!rest.empty() || digits == 0) {
    return 0;
  }
  if (negative) value = -value;
  return static_cast<int32_t>(
      std::clamp<long long>(value, std::numeric_limits<int32_t>::min(),
                            std::numeric_limits<int32_t>::max()));
}

SettingsForm::SettingsForm(SettingsView& view, LogModel& log)
    : view_(view), log_(log) {
  log_.AttachPane(&view_);
  // The window resource, as the form is created.
  view_.SetCallerIdEnabled(false);
  view_.SetSourceIndex(0);
  view_.SetEditText(SettingsEdit::kPortNumber, FormatPortNumber(0));
  view_.SetEditText(SettingsEdit::kStartText, u"");
  view_.SetEditText(SettingsEdit::kEndText, u"");
  view_.SetEditText(SettingsEdit::kMainMachineIp, kDefaultMainMachineIp);
  view_.SetEditText(SettingsEdit::kModemCommands, u"");
  view_.SetEditText(SettingsEdit::kModemLine, u"");
  for (SettingsSpin spin :
       {SettingsSpin::kNumberStart, SettingsSpin::kNumberLength,
        SettingsSpin::kLineStart, SettingsSpin::kLineLength}) {
    view_.SetSpinValue(spin, 0);
  }
  view_.SetComboIndex(SettingsCombo::kArgDeviceKind, 0);
  view_.SetComboIndex(SettingsCombo::kArgComPort, 0);
  view_.SetArgChoiceLabel(settings_text::kArgChoiceComPort);
  for (SettingsShown control :
       {SettingsShown::kCallerIdPanel, SettingsShown::kArgPanel,
        SettingsShown::kSerialPanel, SettingsShown::kModemPanel,
        SettingsShown::kArgChoiceLabel, SettingsShown::kMainMachineIp,
        SettingsShown::kArgComPort}) {
    view_.SetControlVisible(control, false);
  }
  log_.ClearLog();
}

SettingsForm::~SettingsForm() { log_.AttachPane(nullptr); }

bool SettingsForm::CallerIdEnabled() const { return view_.CallerIdEnabled(); }

void SettingsForm::SetCallerIdEnabled(bool checked) {
  if (view_.CallerIdEnabled() == checked) return;
  view_.SetCallerIdEnabled(checked);
  CallerIdClicked();
}

void SettingsForm::SetSource(int index) {
  index = index > kRadioLast ? kBeyondTheLastItem : std::max(index, -1);
  if (view_.SourceIndex() == index) return;
  view_.SetSourceIndex(index);
  if (index >= 0) SourceClicked();
}

int32_t SettingsForm::PortNumber() const {
  return ReadPortNumber(view_.EditText(SettingsEdit::kPortNumber));
}

void SettingsForm::SetPortNumber(int32_t value) {
  edit_port_last_value_ = value;
  view_.SetEditText(SettingsEdit::kPortNumber, FormatPortNumber(value));
}

int SettingsForm::SpinValue(SettingsSpin spin) const {
  return view_.SpinValue(spin);
}

void SettingsForm::SetSpinValue(SettingsSpin spin, int value) {
  view_.SetSpinValue(spin, std::clamp(value, kSpinMinimum, kSpinMaximum));
}

int SettingsForm::ComboIndex(SettingsCombo combo) const {
  return view_.ComboIndex(combo);
}

void SettingsForm::SetComboIndex(SettingsCombo combo, int index) {
  if (index < 0 || index >= ComboCount(combo)) index = -1;
  view_.SetComboIndex(combo, index);
}

std::u16string SettingsForm::EditText(SettingsEdit edit) const {
  return view_.EditText(edit);
}

void SettingsForm::SetEditText(SettingsEdit edit, const std::u16string& text) {
  view_.SetEditText(edit, text);
}

void SettingsForm::CallerIdClicked() {
  view_.SetControlVisible(SettingsShown::kCallerIdPanel,
                          view_.CallerIdEnabled());
}

void SettingsForm::SourceClicked() {
  const int index = view_.SourceIndex();
  view_.SetControlVisible(SettingsShown::kSerialPanel, index == 2);
  view_.SetControlVisible(SettingsShown::kArgPanel, index == 1);
  view_.SetControlVisible(SettingsShown::kModemPanel, index == 3);
}

void SettingsForm::ArgDeviceKindChanged() {
  log_.ClearLog();
  const int k = view_.ComboIndex(SettingsCombo::kArgDeviceKind);
  if (k == kArgRecorder) {
    view_.SetArgChoiceLabel(settings_text::kArgChoiceIp);
    view_.SetControlVisible(SettingsShown::kArgChoiceLabel, true);
  } else if (k == kArgHidComPort) {
    view_.SetArgChoiceLabel(settings_text::kArgChoiceComPort);
    view_.SetControlVisible(SettingsShown::kArgChoiceLabel, true);
  } else {
    view_.SetControlVisible(SettingsShown::kArgChoiceLabel, false);
  }
  view_.SetControlVisible(SettingsShown::kMainMachineIp, k == kArgRecorder);
  view_.SetControlVisible(SettingsShown::kArgComPort, k == kArgHidComPort);
}

void SettingsForm::LogPaneDoubleClicked() { log_.ClearLog(); }

void SettingsForm::PortEditEscaped() {
  view_.SetEditText(SettingsEdit::kPortNumber,
                    FormatPortNumber(edit_port_last_value_));
}

void SettingsForm::PortEditLeft() { SetPortNumber(PortNumber()); }

void SettingsForm::LoadSettingsToForm(const SettingsStore& store) {
  SetCallerIdEnabled(ReadBoolean(store, kCallerIdKullan));
  SetSource(ReadInteger(store, kCallerIdType));
  SetEditText(SettingsEdit::kStartText,
              store.ReadValue(kCallerIdBaslamaString));
  SetEditText(SettingsEdit::kEndText, store.ReadValue(kCallerIdBitisString));
  SetSpinValue(SettingsSpin::kNumberStart,
               ReadInteger(store, kCallerIdNoBaslama));
  SetSpinValue(SettingsSpin::kNumberLength,
               ReadInteger(store, kCallerIdNoUzunluk));
  SetPortNumber(ReadInteger(store, kUdpPort));
  SetComboIndex(SettingsCombo::kArgDeviceKind, ReadInteger(store, kCihazSec));
  SetEditText(SettingsEdit::kMainMachineIp, store.ReadValue(kIpNo));
  SetComboIndex(SettingsCombo::kArgComPort, ReadInteger(store, kComPort));
  SetSpinValue(SettingsSpin::kLineStart,
               ReadInteger(store, kCallerIdHatBaslama));
  SetSpinValue(SettingsSpin::kLineLength,
               ReadInteger(store, kCallerIdHatUzunluk));
  SetEditText(SettingsEdit::kModemCommands, store.ReadValue(kModemKomut));
  SetEditText(SettingsEdit::kModemLine, store.ReadValue(kModemHat));
}

void SettingsForm::StoreControls(SettingsStore& store) const {
  store.WriteValue(kCallerIdKullan, CallerIdEnabled());
  store.WriteValue(kCallerIdType, static_cast<int32_t>(SourceIndex()));
  store.WriteValue(kCallerIdBaslamaString, EditText(SettingsEdit::kStartText));
  store.WriteValue(kCallerIdBitisString, EditText(SettingsEdit::kEndText));
  store.WriteValue(kCallerIdNoBaslama,
                   static_cast<int32_t>(SpinValue(SettingsSpin::kNumberStart)));
  store.WriteValue(
      kCallerIdNoUzunluk,
      static_cast<int32_t>(SpinValue(SettingsSpin::kNumberLength)));
  store.WriteValue(kUdpPort, PortNumber());
  store.WriteValue(kCihazSec, static_cast<int32_t>(ArgDeviceKind()));
  store.WriteValue(kIpNo, MainMachineIp());
  store.WriteValue(kComPort, static_cast<int32_t>(ArgComPort()));
  store.WriteValue(kCallerIdHatBaslama,
                   static_cast<int32_t>(SpinValue(SettingsSpin::kLineStart)));
  store.WriteValue(kCallerIdHatUzunluk,
                   static_cast<int32_t>(SpinValue(SettingsSpin::kLineLength)));
  store.WriteValue(kModemKomut, EditText(SettingsEdit::kModemCommands));
  store.WriteValue(kModemHat, EditText(SettingsEdit::kModemLine));
}

WindowSettings SettingsForm::CurrentWindowSettings() const {
  WindowSettings window;
  window.source = SourceIndex();
  window.arg_device_kind = ArgDeviceKind();
  window.main_machine_ip = MainMachineIp();
  window.arg_com_port = ArgComPort();
  window.udp_port_text = view_.EditText(SettingsEdit::kPortNumber);
  return window;
}

int SettingsForm::SourceIndex() const { return view_.SourceIndex(); }

int SettingsForm::ArgDeviceKind() const {
  return view_.ComboIndex(SettingsCombo::kArgDeviceKind);
}

std::u16string SettingsForm::MainMachineIp() const {
  return view_.EditText(SettingsEdit::kMainMachineIp);
}

int SettingsForm::ArgComPort() const {
  return view_.ComboIndex(SettingsCombo::kArgComPort);
}

}  // namespace orvanta
