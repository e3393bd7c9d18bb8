#include "serial/port_settings_file.h"

#include <cstdint>
#include <optional>

#include "base/failure.h"
#include "base/text.h"
#include "serial/serial_error.h"
#include "settings/ini_image.h"
#include "settings/settings_file.h"

namespace orvanta {
namespace {

constexpr int32_t kDefaultCustomBaudRate = 9600;

// The file's text. The profile functions wrote the ANSI code page, or
// UTF-16 into a file that started with its byte-order mark.
std::u16string DecodeFileText(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) {
    std::u16string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(
          static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return text;
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (auto text = DecodeUtf8Strict(bytes)) return std::move(*text);
  return FromAnsi(bytes);
}

const IniImage::Section* FindSection(const IniImage& image) {
  for (const IniImage::Section& section : image.sections) {
    if (SameTextAscii(section.name, kPortSettingsSection)) return &section;
  }
  return nullptr;
}

// The first entry line named `key`; -1 when there is none.
int FindKey(const IniImage::Section& section, std::u16string_view key) {
  for (size_t i = 0; i < section.lines.size(); ++i) {
    const std::u16string_view line = section.lines[i];
    const size_t equals = line.find(u'=');
    if (equals != std::u16string_view::npos &&
        SameTextAscii(line.substr(0, equals), key)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::optional<std::u16string> ReadValue(const IniImage::Section* section,
                                        std::u16string_view key) {
  if (section == nullptr) return std::nullopt;
  const int at = FindKey(*section, key);
  if (at < 0) return std::nullopt;
  std::u16string_view value =
      IniImage::EntryValue(section->lines[static_cast<size_t>(at)]);
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::u16string(value.substr(0, kPortSettingsValueMax));
}

void WriteValue(IniImage::Section& section, std::u16string_view key,
                std::u16string_view value) {
  const int at = FindKey(section, key);
  if (at < 0) {
    section.lines.push_back(std::u16string(key) + u'=' + std::u16string(value));
    return;
  }
  // The key keeps the spelling the file has.
  std::u16string& line = section.lines[static_cast<size_t>(at)];
  line = line.substr(0, line.find(u'=') + 1) + std::u16string(value);
}

// Decimal, or hexadecimal after "0x"/"0X" (three characters or more);
// nothing when the text is no 32-bit number.
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

// A key that is there and names no value gives `fallback`.
template <typename E>
E ReadChoice(const IniImage::Section* section, std::u16string_view key,
             E current, std::optional<E> (*from_text)(std::u16string_view),
             E fallback) {
  const auto text = ReadValue(section, key);
  if (!text) return current;
  return from_text(*text).value_or(fallback);
}

}  // namespace

LineSettings ReadPortSettings(std::string_view file_bytes,
                              const LineSettings& current) {
  const IniImage image(DecodeFileText(file_bytes));
  const IniImage::Section* section = FindSection(image);
  LineSettings line = current;
  if (auto port = ReadValue(section, u"Port")) line.port = std::move(*port);
  line.baud_rate = ReadChoice(section, u"BaudRate", line.baud_rate,
                              BaudRateFromText, BaudRate::k9600);
  if (line.baud_rate == BaudRate::kCustom) {
    const auto text = ReadValue(section, u"CustomBaudRate");
    line.custom_baud_rate = (text ? ParseInteger(*text) : std::nullopt)
                                .value_or(kDefaultCustomBaudRate);
  }
  line.stop_bits = ReadChoice(section, u"StopBits", line.stop_bits,
                              StopBitsFromText, StopBits::kOne);
  line.data_bits = ReadChoice(section, u"DataBits", line.data_bits,
                              DataBitsFromText, DataBits::kEight);
  line.parity = ReadChoice(section, u"Parity", line.parity, ParityFromText,
                           Parity::kNone);
  line.flow_control = ReadChoice(section, u"FlowControl", line.flow_control,
                                 FlowControlFromText, line.flow_control);
  return line;
}

std::string WritePortSettings(std::string_view file_bytes,
                              const LineSettings& line) {
  IniImage image(DecodeFileText(file_bytes));
  IniImage::Section* section = nullptr;
  for (IniImage::Section& candidate : image.sections) {
    if (SameTextAscii(candidate.name, kPortSettingsSection)) {
      section = &candidate;
      break;
    }
  }
  if (section == nullptr) section = &image.AddSection(kPortSettingsSection);
  WriteValue(*section, u"Port", line.port);
  WriteValue(*section, u"BaudRate", ValueText(line.baud_rate));
  if (line.baud_rate == BaudRate::kCustom)
    WriteValue(*section, u"CustomBaudRate", IntToText(line.custom_baud_rate));
  WriteValue(*section, u"StopBits", ValueText(line.stop_bits));
  WriteValue(*section, u"DataBits", ValueText(line.data_bits));
  WriteValue(*section, u"Parity", ValueText(line.parity));
  WriteValue(*section, u"FlowControl", ValueText(line.flow_control));

  // Sections are set apart by an empty line; the file ends with its last
  // line, as the port's file always has.
  std::u16string text = image.ToText();
  if (text.ends_with(u"\r\n\r\n")) text.resize(text.size() - 2);
  return EncodeUtf8(text);
}

LineSettings ReadPortSettingsFile(const std::u16string& path,
                                  const LineSettings& current) {
  std::optional<std::string> bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const Failure&) {
    // As with a missing file: the line stays as it is.
  }
  if (!bytes) return current;
  return ReadPortSettings(*bytes, current);
}

void WritePortSettingsFile(const std::u16string& path,
                           const LineSettings& line) {
  try {
    const std::optional<std::string> bytes = ReadWholeFile(path);
    ReplaceFile(path, WritePortSettings(bytes.value_or(std::string()), line));
  } catch (const Failure&) {
    throw SerialPortError::ForPort(line.port, SerialFailure::kStoreSettings);
  }
}

}  // namespace orvanta
