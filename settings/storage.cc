#include "settings/storage.h"

#include <string>
#include <utility>

#include "base/failure.h"
#include "base/text.h"
#include "settings/ini_image.h"

namespace orvanta {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

[[noreturn]] void RaiseIndexError(int index) {
  throw Failure(u"List index out of bounds (" + IntToText(index) + u")");
}

// The image of the file at `path`: empty when there is no file or its bytes
// are not UTF-8 (which are then kept aside). `problem` says what was wrong
// with the bytes.
std::unique_ptr<IniImage> ReadImage(const std::u16string& path,
                                    std::optional<EncodingProblem>& problem) {
  std::optional<std::string> bytes = ReadWholeFile(path);
  auto image = std::make_unique<IniImage>();
  problem.reset();
  if (bytes) {
    problem = FindEncodingProblem(*bytes);
    std::string_view content(*bytes);
    if (content.starts_with(kByteOrderMark)) content.remove_prefix(3);
    if (const auto text = DecodeUtf8Strict(content)) {
      *image = IniImage(*text);
    } else {
      image->undecodable_bytes = std::move(*bytes);
    }
  }
  image->path = path;
  return image;
}

}  // namespace

std::u16string StoredValue::EnDeCrypt(std::u16string_view value) {
  std::u16string out(value);
  for (char16_t& c : out) c = static_cast<char16_t>(0xFFFF - c);
  return out;
}

std::u16string StoredValue::GetDisplayName(int index) const {
  return Name.empty() ? u"Item " + IntToText(index) : Name;
}

StoredValue& StoredValueList::Add() {
  items_.push_back(std::make_unique<StoredValue>());
  return *items_.back();
}

StoredValue& StoredValueList::Insert(int index) {
  if (index < 0 || index > Count()) RaiseIndexError(index);
  auto item = std::make_unique<StoredValue>();
  StoredValue& result = *item;
  items_.insert(items_.begin() + index, std::move(item));
  return result;
}

void StoredValueList::Clear() { items_.clear(); }

int StoredValueList::IndexOf(std::u16string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    if (SameTextIgnoringCase(items_[i]->Name, name)) return i;
  }
  return -1;
}

StoredValue* StoredValueList::FindValue(std::u16string_view name) {
  const int index = IndexOf(name);
  return index < 0 ? nullptr : items_[index].get();
}

const StoredValue* StoredValueList::FindValue(std::u16string_view name) const {
  const int index = IndexOf(name);
  return index < 0 ? nullptr : items_[index].get();
}

StoredValue& StoredValueList::Items(int index) {
  if (index < 0 || index >= Count()) RaiseIndexError(index);
  return *items_[index];
}

const StoredValue& StoredValueList::Items(int index) const {
  if (index < 0 || index >= Count()) RaiseIndexError(index);
  return *items_[index];
}

int StoredValueList::Count() const { return static_cast<int>(items_.size()); }

SettingsStore::SettingsStore() = default;
SettingsStore::~SettingsStore() = default;

void SettingsStore::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  RestoreValues();
}

void SettingsStore::SetFileName(const std::u16string& path) {
  if (path == file_name_) return;
  file_name_ = path;
  RestoreValues();
}

void SettingsStore::ReloadFile() {
  if (!active_ || file_name_.empty()) return;
  // A failed read leaves the store without an image.
  image_.reset();
  encoding_problem_.reset();
  image_ = ReadImage(file_name_, encoding_problem_);
}

void SettingsStore::RestoreValues() {
  ReloadFile();
  if (!image_) return;
  const IniImage::Section* section = image_->FindSection(kStoredSection);
  if (section == nullptr) return;
  for (int i = 0; i < values_.Count(); ++i) {
    StoredValue& item = values_.Items(i);
    const int entry = IniImage::FindEntry(*section, item.Name);
    if (entry >= 0) {
      item.Value = std::u16string(IniImage::EntryValue(section->lines[entry]));
    }
  }
}

void SettingsStore::SaveValues() {
  ReloadFile();
  if (!image_) return;
  for (int i = 0; i < values_.Count(); ++i) {
    const StoredValue& item = values_.Items(i);
    IniImage::Section* section = image_->FindSection(kStoredSection);
    if (section == nullptr) section = &image_->AddSection(kStoredSection);
    std::u16string line = item.Name + u"=" + item.Value;
    const int entry = IniImage::FindEntry(*section, item.Name);
    if (entry >= 0) {
      section->lines[entry] = std::move(line);
    } else {
      section->lines.push_back(std::move(line));
    }
  }

  // A file that was not UTF-8 reads as empty; before it is replaced by the
  // store's own section, its bytes go beside it once, never over an earlier
  // copy.
  if (image_->undecodable_bytes) {
    CreateFileIfAbsent(image_->path + u".bak", *image_->undecodable_bytes,
                       write_step_);
  }
  ReplaceFile(image_->path, kByteOrderMark + EncodeUtf8(image_->ToText()),
              write_step_);
  image_->undecodable_bytes.reset();
}

std::u16string SettingsStore::ReadValue(std::u16string_view name) const {
  const StoredValue* item = values_.FindValue(name);
  if (item == nullptr) return {};
  return item->Encode ? StoredValue::EnDeCrypt(item->Value) : item->Value;
}

void SettingsStore::WriteValue(std::u16string_view name,
                               const std::u16string& value) {
  if (StoredValue* item = values_.FindValue(name)) {
    item->Value = item->Encode ? StoredValue::EnDeCrypt(value) : value;
    return;
  }
  StoredValue& item = values_.Add();
  item.Name = std::u16string(name);
  item.Value = value;
}

void SettingsStore::WriteValue(std::u16string_view name,
                               const char16_t* value) {
  WriteValue(name, std::u16string(value));
}

void SettingsStore::WriteValue(std::u16string_view name, int32_t value) {
  WriteValue(name, IntToText(value));
}

void SettingsStore::WriteValue(std::u16string_view name, bool value) {
  WriteValue(name, std::u16string(value ? u"True" : u"False"));
}

void SettingsStore::Loaded() { RestoreValues(); }

void AddSettingsCatalogue(SettingsStore& store) {
  static constexpr struct {
    const char16_t* name;
    const char16_t* value;
  } kCatalogue[] = {
      {kCallerIdKullan, u"False"},
      {kCallerIdType, u"0"},
      {kCallerIdBaslamaString, u"S"},
      {kCallerIdBitisString, u"E"},
      {kCallerIdNoBaslama, u"3"},
      {kCallerIdNoUzunluk, u"15"},
      {kUdpPort, u"18900"},
      {kCihazSec, u"1"},
      {kIpNo, u"192.168.0.1"},
      {kComPort, u"1"},
      {kCallerIdHatBaslama, u"0"},
      {kCallerIdHatUzunluk, u"0"},
      {kModemKomut, u""},
      {kModemHat, u"0"},
  };
  for (const auto& setting : kCatalogue) {
    StoredValue& item = store.StoredValues().Add();
    item.Name = setting.name;
    item.Value = setting.value;
  }
}

}  // namespace orvanta
