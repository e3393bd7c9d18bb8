#ifndef ORVANTA_SERIAL_LINE_SETTINGS_H_
#define ORVANTA_SERIAL_LINE_SETTINGS_H_

// What a serial line is: the device it runs on and how the bytes go over
// it. The value texts are those of the settings file and of the setup
// dialog's lists.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvanta {

// The speeds offered, in bits per second; kCustom takes the line's
// custom_baud_rate instead.
enum class BaudRate {
  kCustom,
  k110,
  k300,
  k600,
  k1200,
  k2400,
  k4800,
  k9600,
  k14400,
  k19200,
  k38400,
  k56000,
  k57600,
  k115200,
  k128000,
  k256000
};
enum class DataBits { kFive, kSix, kSeven, kEight };
enum class StopBits { kOne, kOneAndHalf, kTwo };
enum class Parity { kNone, kOdd, kEven, kMark, kSpace };
// kHardware: RTS/CTS handshaking; kSoftware: XON/XOFF both ways.
enum class FlowControl { kHardware, kSoftware, kNone };

struct LineSettings {
  // The device, as the user chose it: "COM3" on Windows; on Linux a name
  // under /dev ("ttyUSB0") or a full path.
  std::u16string port = u"COM1";
  BaudRate baud_rate = BaudRate::k9600;
  // Bits per second when baud_rate is kCustom; kept while it is not.
  int32_t custom_baud_rate = 9600;
  DataBits data_bits = DataBits::kEight;
  StopBits stop_bits = StopBits::kOne;
  Parity parity = Parity::kNone;
  FlowControl flow_control = FlowControl::kNone;
  // DTR and RTS raised while the line is open, for a device that listens
  // only then (a modem); off, both are held low. Hardware flow control
  // keeps RTS for its handshake either way. Not in the settings file: the
  // source that needs it sets it.
  bool modem_control = false;

  // The speed the device is set to.
  uint32_t BitsPerSecond() const;

  bool operator==(const LineSettings&) const = default;
};

// Value texts, in the enumerations' order. The flow-control list has a
// fourth text, "Custom", which stands for no change: a file or a choice
// that says it leaves the line's flow control as it is.
std::span<const std::u16string_view> BaudRateTexts();
std::span<const std::u16string_view> DataBitsTexts();
std::span<const std::u16string_view> StopBitsTexts();
std::span<const std::u16string_view> ParityTexts();
std::span<const std::u16string_view> FlowControlTexts();

std::u16string_view ValueText(BaudRate value);
std::u16string_view ValueText(DataBits value);
std::u16string_view ValueText(StopBits value);
std::u16string_view ValueText(Parity value);
std::u16string_view ValueText(FlowControl value);

// The value whose text equals `text` without regard to (ASCII) letter
// case; nothing when none does ("Custom" included for the flow control).
std::optional<BaudRate> BaudRateFromText(std::u16string_view text);
std::optional<DataBits> DataBitsFromText(std::u16string_view text);
std::optional<StopBits> StopBitsFromText(std::u16string_view text);
std::optional<Parity> ParityFromText(std::u16string_view text);
std::optional<FlowControl> FlowControlFromText(std::u16string_view text);

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_LINE_SETTINGS_H_
