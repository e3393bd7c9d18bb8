#ifndef ORVANTA_SETTINGS_STORAGE_H_
#define ORVANTA_SETTINGS_STORAGE_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/file_encoding.h"
#include "settings/settings_file.h"

namespace orvanta {

// One named text value of the store.
class StoredValue {
 public:
  std::u16string Name;
  std::u16string Value;  // stored form: encoded when Encode is set
  bool Encode = false;

  // Every UTF-16 code unit c becomes 0xFFFF - c; applying it twice restores.
  static std::u16string EnDeCrypt(std::u16string_view value);
  // Name, or "Item %d" with the item's index when Name is empty.
  std::u16string GetDisplayName(int index) const;
};

// Ordered collection; names need not be unique, look-ups take the first.
class StoredValueList {
 public:
  StoredValue& Add();
  StoredValue& Insert(int index);
  void Clear();
  int IndexOf(std::u16string_view name) const;  // case-insensitive; -1
  StoredValue* FindValue(std::u16string_view name);
  const StoredValue* FindValue(std::u16string_view name) const;
  StoredValue& Items(int index);
  const StoredValue& Items(int index) const;
  int Count() const;

 private:
  std::vector<std::unique_ptr<StoredValue>> items_;
};

class IniImage;  // the in-memory image of the settings file

// The stored-values store: named text values copied from and to an
// INI-style UTF-8 file, section "VmStored".
class SettingsStore {
 public:
  SettingsStore();
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  bool Active() const { return active_; }
  void SetActive(bool active);  // a change reloads (RestoreValues)
  const std::u16string& FileName() const { return file_name_; }
  void SetFileName(const std::u16string& path);  // a different path reloads

  StoredValueList& StoredValues() { return values_; }
  const StoredValueList& StoredValues() const { return values_; }

  // Reload the file image, then copy the file's values into the store.
  void RestoreValues();
  // Reload the file image, copy the store into it and write the file. The
  // file is replaced whole through a temporary file beside it; a file whose
  // bytes were not UTF-8 is first kept as FileName + ".bak" (unless one is
  // there already).
  void SaveValues();
  // The (decoded) value; empty when no stored value has that name.
  std::u16string ReadValue(std::u16string_view name) const;
  void WriteValue(std::u16string_view name, const std::u16string& value);
  void WriteValue(std::u16string_view name, const char16_t* value);
  void WriteValue(std::u16string_view name, int32_t value);
  void WriteValue(std::u16string_view name, bool value);
  // After the owner's stored description has been applied.
  void Loaded();

  // What was wrong with the bytes of the file at the last reload; nothing
  // when they read as text (or there was no file).
  const std::optional<EncodingProblem>& FileEncodingProblem() const {
    return encoding_problem_;
  }

  // Replaces the step that writes the settings file's bytes (tests make it
  // fall short).
  void SetWriteStepForTesting(WriteStep step) { write_step_ = std::move(step); }

 private:
  void ReloadFile();

  bool active_ = true;
  std::u16string file_name_;
  StoredValueList values_;
  std::unique_ptr<IniImage> image_;
  std::optional<EncodingProblem> encoding_problem_;
  WriteStep write_step_ = WriteAll;
};

// The section of the settings file.
inline constexpr char16_t kStoredSection[] = u"VmStored";

// Keys of the settings, in catalogue order.
inline constexpr char16_t kCallerIdKullan[] = u"CALLERIDKULLAN";
inline constexpr char16_t kCallerIdType[] = u"CALLERIDTYPE";
inline constexpr char16_t kCallerIdBaslamaString[] = u"CALLERIDBASLAMASTRING";
inline constexpr char16_t kCallerIdBitisString[] = u"CALLERIDBITISSTRING";
inline constexpr char16_t kCallerIdNoBaslama[] = u"CALLERIDNOBASLAMA";
inline constexpr char16_t kCallerIdNoUzunluk[] = u"CALLERIDNOUZUNLUK";
inline constexpr char16_t kUdpPort[] = u"UDPPORT";
inline constexpr char16_t kCihazSec[] = u"CIHAZSEC";
inline constexpr char16_t kIpNo[] = u"IPNO";
inline constexpr char16_t kComPort[] = u"COMPORT";
// The line's place in a framed packet, as the number's; 0: the line is "0".
inline constexpr char16_t kCallerIdHatBaslama[] = u"CALLERIDHATBASLAMA";
inline constexpr char16_t kCallerIdHatUzunluk[] = u"CALLERIDHATUZUNLUK";
// The modem source: the user's initialisation commands, ";" between them
// (empty: the enable commands are tried in turn), and the line its calls
// are announced on.
inline constexpr char16_t kModemKomut[] = u"MODEMKOMUT";
inline constexpr char16_t kModemHat[] = u"MODEMHAT";

// Adds the catalogue values with their defaults, in order.
void AddSettingsCatalogue(SettingsStore& store);

}  // namespace orvanta

#endif  // ORVANTA_SETTINGS_STORAGE_H_
