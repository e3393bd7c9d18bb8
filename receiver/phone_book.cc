#include "receiver/phone_book.h"

#include <optional>

#include "base/text.h"
#include "receiver/call_datagram.h"
#include "receiver/csv_line.h"
#include "settings/settings_file.h"

namespace orvanta {
namespace {

std::u16string DecodeField(std::string_view bytes) {
  std::optional<std::u16string> text = DecodeUtf8Strict(bytes);
  return CleanDisplayText(text ? *text : FromAnsi(bytes));
}

}  // namespace

std::string NormalisePhoneNumber(std::u16string_view number) {
  std::string digits;
  bool plus = false;
  for (char16_t c : number) {
    if (c >= u'0' && c <= u'9') {
      digits += static_cast<char>(c);
    } else if (c == u'+' && digits.empty()) {
      plus = true;
    }
  }
  if (plus && digits.rfind("90", 0) == 0) {
    digits.erase(0, 2);
  } else if (digits.rfind("0090", 0) == 0) {
    digits.erase(0, 4);
  } else if (digits.rfind("0", 0) == 0) {
    digits.erase(0, 1);
  }
  return digits;
}

void PhoneBook::Load(const std::u16string& path) {
  names_.clear();
  if (std::optional<std::string> bytes = ReadWholeFile(path)) Merge(*bytes);
}

int PhoneBook::Merge(std::string_view text) {
  int added = 0;
  for (std::string_view line : SplitLines(text)) {
    const char separator = line.find(';') == std::string_view::npos ? ',' : ';';
    std::vector<std::string> fields = SplitCsvLine(line, separator);
    if (fields.size() < 2) continue;
    Entry entry{DecodeField(fields[0]), DecodeField(fields[1])};
    const std::string key = NormalisePhoneNumber(entry.number);
    if (key.empty() || entry.name.empty()) continue;
    names_[key] = std::move(entry);
    ++added;
  }
  return added;
}

void PhoneBook::Save(const std::u16string& path) const {
  std::string text;
  for (const auto& [key, entry] : names_) {
    text +=
        JoinCsvLine({EncodeUtf8(entry.number), EncodeUtf8(entry.name)}, ';');
    text += "\r\n";
  }
  ReplaceFile(path, text);
}

std::u16string PhoneBook::NameOf(std::u16string_view number) const {
  const std::string key = NormalisePhoneNumber(number);
  if (key.empty()) return {};
  auto it = names_.find(key);
  return it == names_.end() ? std::u16string() : it->second.name;
}

}  // namespace orvanta
