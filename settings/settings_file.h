#ifndef ORVANTA_SETTINGS_SETTINGS_FILE_H_
#define ORVANTA_SETTINGS_SETTINGS_FILE_H_

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orvanta {

// A file being written.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Writes as much of `bytes` as the system takes; returns how many it took.
  virtual size_t Write(std::string_view bytes) = 0;
};

// The step that puts a new file's bytes into it and returns how many were
// stored. Tests replace it to make a write fall short for real.
using WriteStep =
    std::function<size_t(OutputFile& file, std::string_view bytes)>;

// Who may read a file that is written: whoever could read the file it
// replaces (a new file: as the system's defaults say), or only its owner
// (a file that holds secrets; POSIX mode 0600, nothing on Windows).
enum class FileReaders { kAsBefore, kOwnerOnly };

// The ordinary step: the whole text in one go.
size_t WriteAll(OutputFile& file, std::string_view bytes);

// All bytes of the file at `path`, read while other writers are denied;
// nothing when no file exists there. Raises "Cannot open file ..." when a
// file (or folder) is there but cannot be read.
std::optional<std::string> ReadWholeFile(const std::u16string& path);

// Replaces the file at `path` (or creates it) with `bytes`. The bytes go to a
// temporary file in the same folder, which is flushed to disk and then
// renamed over the old file, so a crash or a full disk never leaves a
// truncated file behind: the old one stays whole until the new one is. The
// temporary file is removed on failure. Raises "Cannot create file ..." or
// "Stream write error".
void ReplaceFile(const std::u16string& path, std::string_view bytes,
                 const WriteStep& write = WriteAll,
                 FileReaders readers = FileReaders::kAsBefore);

// Like ReplaceFile, but leaves a file already at `path` alone. Returns
// whether it wrote the file.
bool CreateFileIfAbsent(const std::u16string& path, std::string_view bytes,
                        const WriteStep& write = WriteAll);

}  // namespace orvanta

#endif  // ORVANTA_SETTINGS_SETTINGS_FILE_H_
