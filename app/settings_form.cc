#include "app/settings_form.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "base/text.h"
#include "callerid/device_control.h"
#include "settings/storage.h"
#include "settings/typed_reading.h"

namespace orvanta {
namespace {

constexpr int kRadioLast = 2;

int ComboCount(SettingsCombo combo) {
  return combo == SettingsCombo::kComboCIHAZ
             ? static_cast<int>(std::size(settings_text::kComboCihazItems))
             : static_cast<int>(std::size(settings_text::kComboPortItems));
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

bool EditPortAccepts(std::u16string_view text) {
  if (!text.empty() && text.front() == u'-') text.remove_prefix(1);
  return std::all_of(text.begin(), text.end(), IsDigit);
}

std::u16string FormatEditPort(int32_t value) {
  if (value == 0) return {};
  return IntToText(value);
}

int32_t ReadEditPort(std::u16string_view text) {
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

SettingsForm::SettingsForm(SettingsView& view, LogModel::Poster post_refresh)
    : view_(view), log_(view, std::move(post_refresh)) {
  // The window resource, as the form is created.
  view_.SetCheckBoxCallerIDKullanChecked(false);
  view_.SetRadioGroupCihazIndex(0);
  view_.SetEditText(SettingsEdit::kEditPort, FormatEditPort(0));
  view_.SetEditText(SettingsEdit::kEditBaslama, u"");
  view_.SetEditText(SettingsEdit::kEditBitis, u"");
  view_.SetEditText(SettingsEdit::kEditIP, kResourceEditIp);
  view_.SetSpinValue(SettingsSpin::kRxSpinEditNoBaslama, 0);
  view_.SetSpinValue(SettingsSpin::kRxSpinEditNoUzunluk, 0);
  view_.SetComboIndex(SettingsCombo::kComboCIHAZ, 0);
  view_.SetComboIndex(SettingsCombo::kComboPORT, 0);
  view_.SetLabelSecText(settings_text::kLabelSecComPort);
  for (SettingsShown control :
       {SettingsShown::kPanelCallerID, SettingsShown::kPanARG,
        SettingsShown::kPanelDiger, SettingsShown::kLabelSec,
        SettingsShown::kEditIP, SettingsShown::kComboPORT}) {
    view_.SetControlVisible(control, false);
  }
  log_.ClearLog();
}

bool SettingsForm::CheckBoxCallerIDKullan() const {
  return view_.CheckBoxCallerIDKullanChecked();
}

void SettingsForm::SetCheckBoxCallerIDKullan(bool checked) {
  if (view_.CheckBoxCallerIDKullanChecked() == checked) return;
  view_.SetCheckBoxCallerIDKullanChecked(checked);
  CheckBoxCallerIDKullanClick();
}

void SettingsForm::SetRadioGroupCihaz(int index) {
  index = std::clamp(index, -1, kRadioLast);
  if (view_.RadioGroupCihazIndex() == index) return;
  view_.SetRadioGroupCihazIndex(index);
  if (index >= 0) RadioGroupCihazClick();
}

int32_t SettingsForm::EditPortValue() const {
  return ReadEditPort(view_.EditText(SettingsEdit::kEditPort));
}

void SettingsForm::SetEditPortValue(int32_t value) {
  edit_port_last_value_ = value;
  view_.SetEditText(SettingsEdit::kEditPort, FormatEditPort(value));
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

void SettingsForm::CheckBoxCallerIDKullanClick() {
  view_.SetControlVisible(SettingsShown::kPanelCallerID,
                          view_.CheckBoxCallerIDKullanChecked());
}

void SettingsForm::RadioGroupCihazClick() {
  const int index = view_.RadioGroupCihazIndex();
  view_.SetControlVisible(SettingsShown::kPanelDiger, index == 2);
  view_.SetControlVisible(SettingsShown::kPanARG, index == 1);
}

void SettingsForm::ComboCIHAZChange() {
  log_.ClearLog();
  const int k = view_.ComboIndex(SettingsCombo::kComboCIHAZ);
  if (k == kArgRecorder) {
    view_.SetLabelSecText(settings_text::kLabelSecIp);
    view_.SetControlVisible(SettingsShown::kLabelSec, true);
  } else if (k == kArgHidComPort) {
    view_.SetLabelSecText(settings_text::kLabelSecComPort);
    view_.SetControlVisible(SettingsShown::kLabelSec, true);
  } else {
    view_.SetControlVisible(SettingsShown::kLabelSec, false);
  }
  view_.SetControlVisible(SettingsShown::kEditIP, k == kArgRecorder);
  view_.SetControlVisible(SettingsShown::kComboPORT, k == kArgHidComPort);
}

void SettingsForm::MemoLogDblClick() { log_.ClearLog(); }

void SettingsForm::EditPortEscape() {
  view_.SetEditText(SettingsEdit::kEditPort,
                    FormatEditPort(edit_port_last_value_));
}

void SettingsForm::EditPortExit() { SetEditPortValue(EditPortValue()); }

void SettingsForm::LoadSettingsToForm(const SettingsStore& store) {
  SetCheckBoxCallerIDKullan(ReadBoolean(store, kCallerIdKullan));
  SetRadioGroupCihaz(ReadInteger(store, kCallerIdType));
  SetEditText(SettingsEdit::kEditBaslama, store.ReadValue(kCallerIdBaslamaString));
  SetEditText(SettingsEdit::kEditBitis, store.ReadValue(kCallerIdBitisString));
  SetSpinValue(SettingsSpin::kRxSpinEditNoBaslama,
               ReadInteger(store, kCallerIdNoBaslama));
  SetSpinValue(SettingsSpin::kRxSpinEditNoUzunluk,
               ReadInteger(store, kCallerIdNoUzunluk));
  SetEditPortValue(ReadInteger(store, kUdpPort));
  SetComboIndex(SettingsCombo::kComboCIHAZ, ReadInteger(store, kCihazSec));
  SetEditText(SettingsEdit::kEditIP, store.ReadValue(kIpNo));
  SetComboIndex(SettingsCombo::kComboPORT, ReadInteger(store, kComPort));
}

void SettingsForm::StoreControls(SettingsStore& store) const {
  store.WriteValue(kCallerIdKullan, CheckBoxCallerIDKullan());
  store.WriteValue(kCallerIdType, static_cast<int32_t>(RadioGroupCihazIndex()));
  store.WriteValue(kCallerIdBaslamaString, EditText(SettingsEdit::kEditBaslama));
  store.WriteValue(kCallerIdBitisString, EditText(SettingsEdit::kEditBitis));
  store.WriteValue(kCallerIdNoBaslama, static_cast<int32_t>(SpinValue(
                                           SettingsSpin::kRxSpinEditNoBaslama)));
  store.WriteValue(kCallerIdNoUzunluk, static_cast<int32_t>(SpinValue(
                                           SettingsSpin::kRxSpinEditNoUzunluk)));
  store.WriteValue(kUdpPort, EditPortValue());
  store.WriteValue(kCihazSec, static_cast<int32_t>(ComboCihazIndex()));
  store.WriteValue(kIpNo, EditIpText());
  store.WriteValue(kComPort, static_cast<int32_t>(ComboPortIndex()));
}

int SettingsForm::RadioGroupCihazIndex() const {
  return view_.RadioGroupCihazIndex();
}

int SettingsForm::ComboCihazIndex() const {
  return view_.ComboIndex(SettingsCombo::kComboCIHAZ);
}

std::u16string SettingsForm::EditIpText() const {
  return view_.EditText(SettingsEdit::kEditIP);
}

int SettingsForm::ComboPortIndex() const {
  return view_.ComboIndex(SettingsCombo::kComboPORT);
}

std::u16string SettingsForm::EditPortText() const {
  return view_.EditText(SettingsEdit::kEditPort);
}

void SettingsForm::AddLogLine(const std::u16string& line) {
  log_.AddLogLine(line);
}

void SettingsForm::ClearLog() { log_.ClearLog(); }

}  // namespace orvanta
