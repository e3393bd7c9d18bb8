#ifndef ORVANTA_SERIAL_COM_TYPES_H_
#define ORVANTA_SERIAL_COM_TYPES_H_

// The port's parameter types and their value texts (the texts of the
// settings file and of the setup dialog's lists).

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

namespace orvanta {

enum class TBaudRate {
  brCustom,
  br110,
  br300,
  br600,
  br1200,
  br2400,
  br4800,
  br9600,
  br14400,
  br19200,
  br38400,
  br56000,
  br57600,
  br115200,
  br128000,
  br256000
};
enum class TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum class TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum class TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum class TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum class TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum class TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
enum class SerialEvent {
  evRxChar,
  evTxEmpty,
  evRxFlag,
  evRing,
  evBreak,
  evCTS,
  evDSR,
  evError,
  evRLSD,
  evRx80Full
};
enum class TSyncMethod { smThreadSync, smWindowSync, smNone, smDisableEvents };
enum class StoredPortProperty {
  spBasic,
  spFlowControl,
  spBuffer,
  spTimeouts,
  spParity,
  spOthers
};

// A set of enumeration values (Pascal-style `set of`).
template <typename E>
class EnumSet {
 public:
  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<E> values) {
    for (E v : values) bits_ |= Bit(v);
  }
  constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
  constexpr void Include(E v) { bits_ |= Bit(v); }
  constexpr void Exclude(E v) { bits_ &= ~Bit(v); }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr bool operator==(const EnumSet&) const = default;

 private:
  static constexpr uint32_t Bit(E v) { return 1u << static_cast<int>(v); }
  uint32_t bits_ = 0;
};

using SerialEvents = EnumSet<SerialEvent>;
using StoredPortProperties = EnumSet<StoredPortProperty>;

inline constexpr SerialEvents kAllComEvents = {
    SerialEvent::evRxChar,  SerialEvent::evTxEmpty, SerialEvent::evRxFlag,
    SerialEvent::evRing,    SerialEvent::evBreak,   SerialEvent::evCTS,
    SerialEvent::evDSR,     SerialEvent::evError,   SerialEvent::evRLSD,
    SerialEvent::evRx80Full};

// The platform event mask of a set and back (all ten: 0x05FF).
uint32_t EventsToMask(SerialEvents events);
SerialEvents MaskToEvents(uint32_t mask);

// Bits per second of a baud-rate value (0 for brCustom).
uint32_t BaudRateValue(TBaudRate rate);

// Value texts, in enumeration order.
const std::vector<std::u16string_view>& BaudRateTexts();
const std::vector<std::u16string_view>& DataBitsTexts();
const std::vector<std::u16string_view>& StopBitsTexts();
const std::vector<std::u16string_view>& ParityTexts();
const std::vector<std::u16string_view>& FlowControlTexts();

std::u16string_view ValueText(TBaudRate value);
std::u16string_view ValueText(TDataBits value);
std::u16string_view ValueText(TStopBits value);
std::u16string_view ValueText(TParityBits value);
std::u16string_view ValueText(TFlowControl value);

// The value whose text equals `text` without regard to case.
std::optional<TBaudRate> BaudRateFromText(std::u16string_view text);
std::optional<TDataBits> DataBitsFromText(std::u16string_view text);
std::optional<TStopBits> StopBitsFromText(std::u16string_view text);
std::optional<TParityBits> ParityFromText(std::u16string_view text);
std::optional<TFlowControl> FlowControlFromText(std::u16string_view text);

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_COM_TYPES_H_
