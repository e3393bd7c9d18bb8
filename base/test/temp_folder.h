#ifndef ORVANTA_BASE_TEST_TEMP_FOLDER_H_
#define ORVANTA_BASE_TEST_TEMP_FOLDER_H_

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <string_view>

namespace orvanta {

// A fresh folder under the system's temporary folder, removed with all it
// holds. Its name has a Turkish letter, so path conversions are exercised,
// where the system can name files so: Wine cannot when the host has no UTF-8
// locale for its file names, and then the name is plain ASCII.
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    const std::u16string unique = Hex(random()) + Hex(random());
    const auto base = std::filesystem::temp_directory_path();
    path_ = base / std::filesystem::path(u"orvanta-ayarlar-\u015f-" + unique);
    std::error_code error;
    if (!std::filesystem::create_directory(path_, error)) {
      path_ = base / std::filesystem::path(u"orvanta-ayarlar-" + unique);
      std::filesystem::create_directory(path_);
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path Path(const std::filesystem::path& name) const {
    return path_ / name;
  }
  std::u16string File(const std::filesystem::path& name) const {
    return Path(name).u16string();
  }
  void Write(const std::filesystem::path& name, std::string_view bytes) const {
    std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  // The file's bytes; nothing when there is no such file.
  std::optional<std::string> Read(const std::filesystem::path& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Names of everything in the folder.
  std::set<std::u16string> Entries() const {
    std::set<std::u16string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.insert(entry.path().filename().u16string());
    }
    return names;
  }

 private:
  static std::u16string Hex(unsigned value) {
    std::u16string text;
    for (int i = 0; i < 8; ++i, value >>= 4)
      text += u"0123456789abcdef"[value & 15];
    return text;
  }
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::u16string& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::u16string& path, std::string_view bytes) {
  std::ofstream out(std::filesystem::path(path),
                    std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace orvanta

#endif  // ORVANTA_BASE_TEST_TEMP_FOLDER_H_
