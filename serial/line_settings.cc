#include "serial/line_settings.h"

#include <array>

#include "base/text.h"

namespace orvanta {
namespace {

constexpr std::array<uint32_t, 16> kBitsPerSecond = {
    0,     110,   300,   600,   1200,  2400,   4800,   9600,
    14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};

constexpr std::array<std::u16string_view, 16> kBaudRateTexts = {
    u"Custom", u"110",    u"300",    u"600",   u"1200",  u"2400",
    u"4800",   u"9600",   u"14400",  u"19200", u"38400", u"56000",
    u"57600",  u"115200", u"128000", u"256000"};
constexpr std::array<std::u16string_view, 4> kDataBitsTexts = {u"5", u"6", u"7",
                                                               u"8"};
constexpr std::array<std::u16string_view, 3> kStopBitsTexts = {u"1", u"1.5",
                                                               u"2"};
constexpr std::array<std::u16string_view, 5> kParityTexts = {
    u"None", u"Odd", u"Even", u"Mark", u"Space"};
constexpr std::array<std::u16string_view, 4> kFlowControlTexts = {
    u"Hardware", u"Software", u"None", u"Custom"};

template <typename E>
std::optional<E> FromText(std::span<const std::u16string_view> texts,
                          size_t values, std::u16string_view text) {
  for (size_t i = 0; i < values; ++i) {
    if (SameTextAscii(texts[i], text)) return static_cast<E>(i);
  }
  return std::nullopt;
}

}  // namespace

uint32_t LineSettings::BitsPerSecond() const {
  if (baud_rate == BaudRate::kCustom)
    return static_cast<uint32_t>(custom_baud_rate);
  return kBitsPerSecond[static_cast<size_t>(baud_rate)];
}

std::span<const std::u16string_view> BaudRateTexts() { return kBaudRateTexts; }
std::span<const std::u16string_view> DataBitsTexts() { return kDataBitsTexts; }
std::span<const std::u16string_view> StopBitsTexts() { return kStopBitsTexts; }
std::span<const std::u16string_view> ParityTexts() { return kParityTexts; }
std::span<const std::u16string_view> FlowControlTexts() {
  return kFlowControlTexts;
}

std::u16string_view ValueText(BaudRate value) {
  return kBaudRateTexts[static_cast<size_t>(value)];
}
std::u16string_view ValueText(DataBits value) {
  return kDataBitsTexts[static_cast<size_t>(value)];
}
std::u16string_view ValueText(StopBits value) {
  return kStopBitsTexts[static_cast<size_t>(value)];
}
std::u16string_view ValueText(Parity value) {
  return kParityTexts[static_cast<size_t>(value)];
}
std::u16string_view ValueText(FlowControl value) {
  return kFlowControlTexts[static_cast<size_t>(value)];
}

std::optional<BaudRate> BaudRateFromText(std::u16string_view text) {
  return FromText<BaudRate>(kBaudRateTexts, kBaudRateTexts.size(), text);
}
std::optional<DataBits> DataBitsFromText(std::u16string_view text) {
  return FromText<DataBits>(kDataBitsTexts, kDataBitsTexts.size(), text);
}
std::optional<StopBits> StopBitsFromText(std::u16string_view text) {
  return FromText<StopBits>(kStopBitsTexts, kStopBitsTexts.size(), text);
}
std::optional<Parity> ParityFromText(std::u16string_view text) {
  return FromText<Parity>(kParityTexts, kParityTexts.size(), text);
}
std::optional<FlowControl> FlowControlFromText(std::u16string_view text) {
  // "Custom", the last text, is no value of its own.
  return FromText<FlowControl>(kFlowControlTexts, kFlowControlTexts.size() - 1,
                               text);
}

}  // namespace orvanta
