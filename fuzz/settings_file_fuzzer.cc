// Setting.ini bytes into the store. A value the store saved reads back the
// same, and a file the store wrote is written again byte for byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/failure.h"
#include "base/text.h"
#include "fuzz/fuzz_support.h"
#include "settings/storage.h"

namespace {

using orvanta::fuzz::Broken;

constexpr char16_t kExtraName[] = u"ORVANTAFUZZ";

// The input as a value the file can hold: one line, no blanks or control
// characters at its ends (those the reader trims).
std::u16string AsValue(std::string_view bytes) {
  std::u16string value;
  for (char16_t c : orvanta::Utf8ToUtf16(bytes)) {
    if (c != u'\r' && c != u'\n' && c != u'\0') value.push_back(c);
  }
  while (!value.empty() && value.front() <= u' ') value.erase(0, 1);
  while (!value.empty() && value.back() <= u' ') value.pop_back();
  return value;
}

void Check(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  orvanta::fuzz::RemoveScratchFile("Setting.ini.bak");
  const std::u16string path =
      orvanta::fuzz::PutScratchFile("Setting.ini", bytes);

  orvanta::SettingsStore first;
  orvanta::AddSettingsCatalogue(first);
  first.SetFileName(path);
  const std::u16string extra = AsValue(bytes);
  first.WriteValue(kExtraName, extra);
  first.SaveValues();
  const std::string saved = orvanta::fuzz::ReadScratchFile("Setting.ini");
  if (!saved.starts_with("\xEF\xBB\xBF") ||
      !orvanta::DecodeUtf8Strict(std::string_view(saved).substr(3))) {
    Broken("the saved file is not UTF-8 with a byte-order mark");
  }

  orvanta::SettingsStore second;
  orvanta::AddSettingsCatalogue(second);
  second.WriteValue(kExtraName, u"not read");
  second.SetFileName(path);
  const orvanta::StoredValueList& values = first.StoredValues();
  for (int i = 0; i < values.Count(); ++i) {
    const std::u16string& name = values.Items(i).Name;
    if (second.ReadValue(name) != first.ReadValue(name)) {
      Broken("a saved value reads back changed", name);
    }
  }
  if (second.ReadValue(kExtraName) != extra) {
    Broken("a written value reads back changed", extra);
  }

  second.SaveValues();
  if (orvanta::fuzz::ReadScratchFile("Setting.ini") != saved) {
    Broken("saving what was read changes the file");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    Check(data, size);
  } catch (const orvanta::Failure& failure) {
    Broken("the store failed on a file it can read", failure.message());
  }
  return 0;
}
