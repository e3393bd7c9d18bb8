#include "serial/port_setup_model.h"

#include "base/text.h"
#include "serial/serial_port.h"
#include "serial/enum_ports.h"

namespace orvanta {
namespace {

const std::vector<std::u16string_view>* ValueTexts(TComProperty property) {
  switch (property) {
    case TComProperty::cpBaudRate:
      return &BaudRateTexts();
    case TComProperty::cpDataBits:
      return &DataBitsTexts();
    case TComProperty::cpStopBits:
      return &StopBitsTexts();
    case TComProperty::cpParity:
      return &ParityTexts();
    case TComProperty::cpFlowControl:
      return &FlowControlTexts();
    case TComProperty::cpNone:
    case TComProperty::cpPort:
      break;
  }
  return nullptr;
}

// The port's current value as the list shows it.
std::u16string CurrentText(const SerialPort& port, TComProperty property) {
  switch (property) {
    case TComProperty::cpPort:
      return port.Port();
    case TComProperty::cpBaudRate:
      return std::u16string(ValueText(port.BaudRate()));
    case TComProperty::cpDataBits:
      return std::u16string(ValueText(port.DataBits()));
    case TComProperty::cpStopBits:
      return std::u16string(ValueText(port.StopBits()));
    case TComProperty::cpParity:
      return std::u16string(ValueText(port.Parity().Bits()));
    case TComProperty::cpFlowControl:
      return std::u16string(ValueText(port.FlowControl().FlowControl()));
    case TComProperty::cpNone:
      break;
  }
  return {};
}

}  // namespace

TComComboBox::TComComboBox(PortLister lister) : lister_(std::move(lister)) {
  if (!lister_) lister_ = EnumComPorts;
}

void TComComboBox::SetComProperty(TComProperty value) {
  property_ = value;
  items_.clear();
  if (value == TComProperty::cpPort) {
    lister_(items_);
  } else if (const auto* texts = ValueTexts(value)) {
    items_.assign(texts->begin(), texts->end());
  }
  if (port_) {
    SelectPortValue();
  } else {
    item_index_ = items_.empty() ? -1 : 0;
    Record();
  }
}

void TComComboBox::SetComPort(SerialPort* port) {
  port_ = port;
  if (port_) SelectPortValue();
}

void TComComboBox::SelectPortValue() {
  const std::u16string current = CurrentText(*port_, property_);
  item_index_ = -1;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (SameTextAscii(items_[i], current)) {
      item_index_ = static_cast<int>(i);
      break;
    }
  }
  Record();
}

void TComComboBox::SetItemIndex(int index) {
  item_index_ =
      (index >= 0 && index < static_cast<int>(items_.size())) ? index : -1;
  Record();
  if (auto_apply_) ApplySettings();
}

std::u16string TComComboBox::Text() const {
  return item_index_ < 0 ? std::u16string()
                         : items_[static_cast<size_t>(item_index_)];
}

void TComComboBox::Record() {
  if (property_ == TComProperty::cpPort) {
    recorded_port_ = Text();
  } else if (item_index_ >= 0) {
    recorded_value_ = item_index_;
  }
}

void TComComboBox::ApplySettings() {
  if (!port_) return;
  switch (property_) {
    case TComProperty::cpPort:
      port_->SetPort(recorded_port_);
      break;
    case TComProperty::cpBaudRate:
      port_->SetBaudRate(static_cast<TBaudRate>(recorded_value_));
      break;
    case TComProperty::cpDataBits:
      port_->SetDataBits(static_cast<TDataBits>(recorded_value_));
      break;
    case TComProperty::cpStopBits:
      port_->SetStopBits(static_cast<TStopBits>(recorded_value_));
      break;
    case TComProperty::cpParity:
      port_->Parity().SetBits(static_cast<TParityBits>(recorded_value_));
      break;
    case TComProperty::cpFlowControl:
      port_->FlowControl().SetFlowControl(
          static_cast<TFlowControl>(recorded_value_));
      break;
    case TComProperty::cpNone:
      break;
  }
}

PortSetupModel::PortSetupModel(const PortLister& lister)
    : Combo1(lister),
      Combo2(lister),
      Combo3(lister),
      Combo4(lister),
      Combo5(lister),
      Combo6(lister) {
  Combo1.SetComProperty(TComProperty::cpPort);
  Combo2.SetComProperty(TComProperty::cpBaudRate);
  Combo3.SetComProperty(TComProperty::cpDataBits);
  Combo4.SetComProperty(TComProperty::cpStopBits);
  Combo5.SetComProperty(TComProperty::cpParity);
  Combo6.SetComProperty(TComProperty::cpFlowControl);
}

void PortSetupModel::Attach(SerialPort& port) {
  for (TComComboBox* combo : Combos()) combo->SetComPort(&port);
}

void PortSetupModel::ApplyToPort(SerialPort& port) {
  port.BeginUpdate();
  try {
    for (TComComboBox* combo : Combos()) combo->ApplySettings();
  } catch (...) {
    try {
      port.EndUpdate();
    } catch (...) {
      // The first failure is the one to report.
    }
    throw;
  }
  port.EndUpdate();
}

void ShowSetupDialog(SerialPort& port, const SetupDialogShower& show_modal,
                     const PortLister& lister) {
  PortSetupModel model(lister);
  model.Attach(port);
  if (show_modal(model) == SetupResult::kOk) model.ApplyToPort(port);
}

}  // namespace orvanta
