#ifndef ORVANTA_SERIAL_TEST_TEMP_DIR_H_
#define ORVANTA_SERIAL_TEST_TEMP_DIR_H_

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>

namespace orvanta {

// A directory of its own for one test, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("orvanta-serial-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::filesystem::path Path(const std::string& name) const { return path_ / name; }
  std::u16string File(const std::string& name) const { return Path(name).u16string(); }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(Path(name), std::ios::binary);
    out << bytes;
  }
  std::optional<std::string> Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path path_;
};

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_TEST_TEMP_DIR_H_
