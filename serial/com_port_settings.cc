// The port's settings file: the basic parameters in the section named
// after the port component.

#include <cstdint>
#include <optional>

#include "base/text.h"
#include "serial/serial_port.h"
#include "serial/profile.h"

namespace orvanta {
namespace {

constexpr char16_t kSection[] = u"ComPortCallerID";
constexpr int32_t kDefaultCustomBaudRate = 9600;

// Decimal, or hexadecimal after "0x"/"0X" (three characters or more);
// nullopt when the text is no 32-bit number.
std::optional<int32_t> ParseInteger(std::u16string_view text) {
  if (text.size() >= 3 && text[0] == u'0' &&
      (text[1] == u'x' || text[1] == u'X')) {
    uint64_t value = 0;
    for (char16_t c : text.substr(2)) {
      int digit;
      if (c >= u'0' && c <= u'9') {
        digit = c - u'0';
      } else if (c >= u'a' && c <= u'f') {
        digit = c - u'a' + 10;
      } else if (c >= u'A' && c <= u'F') {
        digit = c - u'A' + 10;
      } else {
        return std::nullopt;
      }
      value = value * 16 + static_cast<uint64_t>(digit);
      if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(value));
  }
  size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) {
    negative = text[at] == u'-';
    ++at;
  }
  if (at == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; at < text.size(); ++at) {
    if (text[at] < u'0' || text[at] > u'9') return std::nullopt;
    value = value * 10 + (text[at] - u'0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace

void SerialPort::StoreSettings(PortStoreKind type, const std::u16string& path) {
  bool ok = type == PortStoreKind::stIniFile;
  auto write = [&](std::u16string_view key, std::u16string_view value) {
    if (ok) ok = WriteIniValue(path, kSection, key, value);
  };
  if (stored_props_.Contains(StoredPortProperty::spBasic)) {
    write(u"Port", port_);
    write(u"BaudRate", ValueText(baud_rate_));
    if (baud_rate_ == TBaudRate::brCustom) {
      write(u"CustomBaudRate", IntToText(custom_baud_rate_));
    }
    write(u"StopBits", ValueText(stop_bits_));
    write(u"DataBits", ValueText(data_bits_));
    write(u"Parity", ValueText(parity_.Bits()));
    write(u"FlowControl", ValueText(flow_control_.FlowControl()));
  }
  if (!ok) throw SerialPortError::ForPort(port_, com_failure::kStoreSettings);
}

void SerialPort::LoadSettings(PortStoreKind type, const std::u16string& path) {
  auto read = [&](std::u16string_view key, std::u16string_view current) {
    return ReadIniValue(path, kSection, key, std::u16string(current));
  };
  bool failed = type != PortStoreKind::stIniFile;
  BeginUpdate();
  try {
    if (!failed && stored_props_.Contains(StoredPortProperty::spBasic)) {
      SetPort(read(u"Port", port_));
      SetBaudRate(BaudRateFromText(read(u"BaudRate", ValueText(baud_rate_)))
                      .value_or(TBaudRate::br9600));
      if (baud_rate_ == TBaudRate::brCustom) {
        SetCustomBaudRate(ParseInteger(read(u"CustomBaudRate", u""))
                              .value_or(kDefaultCustomBaudRate));
      }
      SetStopBits(StopBitsFromText(read(u"StopBits", ValueText(stop_bits_)))
                      .value_or(TStopBits::sbOneStopBit));
      SetDataBits(DataBitsFromText(read(u"DataBits", ValueText(data_bits_)))
                      .value_or(TDataBits::dbEight));
      parity_.SetBits(ParityFromText(read(u"Parity", ValueText(parity_.Bits())))
                          .value_or(TParityBits::prNone));
      flow_control_.SetFlowControl(
          FlowControlFromText(
              read(u"FlowControl", ValueText(flow_control_.FlowControl())))
              .value_or(TFlowControl::fcCustom));
    }
  } catch (...) {
    failed = true;
  }
  try {
    EndUpdate();
  } catch (...) {
    failed = true;
  }
  if (failed) throw SerialPortError::ForPort(port_, com_failure::kLoadSettings);
}

}  // namespace orvanta
