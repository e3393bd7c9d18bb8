#include "serial/com_types.h"

#include <array>

#include "base/text.h"

#include "serial/com_device.h"

namespace orvanta {
namespace {

// SerialEvent order -> EV_* bit.
constexpr std::array<uint32_t, 10> kEventBits = {
    kEvRxChar, kEvTxEmpty, kEvRxFlag, kEvRing, kEvBreak,
    kEvCts,    kEvDsr,     kEvErr,    kEvRlsd, kEvRx80Full};

constexpr std::array<uint32_t, 16> kBaudValues = {
    0,     110,   300,   600,   1200,  2400,   4800,   9600,
    14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};

template <typename E>
std::optional<E> FromText(const std::vector<std::u16string_view>& texts,
                          std::u16string_view text) {
  for (size_t i = 0; i < texts.size(); ++i) {
    if (SameTextAscii(texts[i], text)) return static_cast<E>(i);
  }
  return std::nullopt;
}

}  // namespace

uint32_t EventsToMask(SerialEvents events) {
  uint32_t mask = 0;
  for (size_t i = 0; i < kEventBits.size(); ++i) {
    if (events.Contains(static_cast<SerialEvent>(i))) mask |= kEventBits[i];
  }
  return mask;
}

SerialEvents MaskToEvents(uint32_t mask) {
  SerialEvents events;
  for (size_t i = 0; i < kEventBits.size(); ++i) {
    if (mask & kEventBits[i]) events.Include(static_cast<SerialEvent>(i));
  }
  return events;
}

uint32_t BaudRateValue(TBaudRate rate) {
  return kBaudValues[static_cast<size_t>(rate)];
}

const std::vector<std::u16string_view>& BaudRateTexts() {
  static const std::vector<std::u16string_view> texts = {
      u"Custom", u"110",    u"300",    u"600",   u"1200",  u"2400",
      u"4800",   u"9600",   u"14400",  u"19200", u"38400", u"56000",
      u"57600",  u"115200", u"128000", u"256000"};
  return texts;
}

const std::vector<std::u16string_view>& DataBitsTexts() {
  static const std::vector<std::u16string_view> texts = {u"5", u"6", u"7",
                                                         u"8"};
  return texts;
}

const std::vector<std::u16string_view>& StopBitsTexts() {
  static const std::vector<std::u16string_view> texts = {u"1", u"1.5", u"2"};
  return texts;
}

const std::vector<std::u16string_view>& ParityTexts() {
  static const std::vector<std::u16string_view> texts = {
      u"None", u"Odd", u"Even", u"Mark", u"Space"};
  return texts;
}

const std::vector<std::u16string_view>& FlowControlTexts() {
  static const std::vector<std::u16string_view> texts = {
      u"Hardware", u"Software", u"None", u"Custom"};
  return texts;
}

std::u16string_view ValueText(TBaudRate value) {
  return BaudRateTexts()[static_cast<size_t>(value)];
}
std::u16string_view ValueText(TDataBits value) {
  return DataBitsTexts()[static_cast<size_t>(value)];
}
std::u16string_view ValueText(TStopBits value) {
  return StopBitsTexts()[static_cast<size_t>(value)];
}
std::u16string_view ValueText(TParityBits value) {
  return ParityTexts()[static_cast<size_t>(value)];
}
std::u16string_view ValueText(TFlowControl value) {
  return FlowControlTexts()[static_cast<size_t>(value)];
}

std::optional<TBaudRate> BaudRateFromText(std::u16string_view text) {
  return FromText<TBaudRate>(BaudRateTexts(), text);
}
std::optional<TDataBits> DataBitsFromText(std::u16string_view text) {
  return FromText<TDataBits>(DataBitsTexts(), text);
}
std::optional<TStopBits> StopBitsFromText(std::u16string_view text) {
  return FromText<TStopBits>(StopBitsTexts(), text);
}
std::optional<TParityBits> ParityFromText(std::u16string_view text) {
  return FromText<TParityBits>(ParityTexts(), text);
}
std::optional<TFlowControl> FlowControlFromText(std::u16string_view text) {
  return FromText<TFlowControl>(FlowControlTexts(), text);
}

}  // namespace orvanta
