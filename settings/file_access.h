#ifndef ORVANTA_SETTINGS_FILE_ACCESS_H_
#define ORVANTA_SETTINGS_FILE_ACCESS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "settings/settings_file.h"

// The operating system's file calls behind the settings file. Errors are
// system error codes (GetLastError / errno), turned into messages by the
// caller, which knows which file the user should hear about.
namespace orvanta::file_access {

enum class ReadStatus { kRead, kMissing, kFailed };

struct ReadResult {
  ReadStatus status = ReadStatus::kMissing;
  std::string bytes;
  uint32_t error = 0;
};

// Opens for reading while denying other writers and reads everything.
ReadResult ReadDenyingWriters(const std::u16string& path);

// A file created anew (truncated) for writing.
class NewFile final : public OutputFile {
 public:
  // Nothing, with `*error` set, when it cannot be created. Where a file
  // exists at `like`, the new one gets its permissions; `owner_only` makes
  // it readable by its owner alone whatever the old one allowed.
  static std::unique_ptr<NewFile> Create(const std::u16string& path,
                                         const std::u16string& like,
                                         bool owner_only, uint32_t* error);
  ~NewFile() override;
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  size_t Write(std::string_view bytes) override;
  // Flushes the file to the disk and closes it.
  bool FlushAndClose(uint32_t* error);

 private:
  explicit NewFile(intptr_t handle) : handle_(handle) {}
  intptr_t handle_;
  bool open_ = true;
};

enum class MoveResult { kMoved, kTargetExists, kFailed };

// Renames `from` to `to` in the same folder, durably; `replace` says whether
// a file at `to` may be replaced.
MoveResult Move(const std::u16string& from, const std::u16string& to,
                bool replace, uint32_t* error);

void Remove(const std::u16string& path);

// The absolute form of `path`, as messages show it.
std::u16string FullPath(const std::u16string& path);

}  // namespace orvanta::file_access

#endif  // ORVANTA_SETTINGS_FILE_ACCESS_H_
