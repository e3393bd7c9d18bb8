#include "settings/settings_file.h"

#include "base/failure.h"
#include "base/system_error.h"
#include "settings/file_access.h"

namespace orvanta {
namespace {

[[noreturn]] void RaiseFileError(const char16_t* what,
                                 const std::u16string& path, uint32_t error) {
  throw Failure(std::u16string(what) + u" \"" + file_access::FullPath(path) +
                u"\". " + SystemErrorText(error));
}

// Writes `bytes` beside `path` and moves them into place; false when
// `replace` is off and a file is already there.
bool WriteThroughTemporary(const std::u16string& path, std::string_view bytes,
                           bool replace, const WriteStep& write,
                           FileReaders readers) {
  const std::u16string temporary = path + u".tmp";
  uint32_t error = 0;
  auto file = file_access::NewFile::Create(
      temporary, path, readers == FileReaders::kOwnerOnly, &error);
  if (!file) RaiseFileError(u"Cannot create file", path, error);

  file_access::MoveResult moved;
  try {
    if (write(*file, bytes) != bytes.size() || !file->FlushAndClose(&error)) {
      throw Failure(u"Stream write error");
    }
    moved = file_access::Move(temporary, path, replace, &error);
    if (moved == file_access::MoveResult::kFailed) {
      RaiseFileError(u"Cannot create file", path, error);
    }
  } catch (...) {
    file.reset();
    file_access::Remove(temporary);
    throw;
  }
  if (moved == file_access::MoveResult::kTargetExists) {
    file_access::Remove(temporary);
    return false;
  }
  return true;
}

}  // namespace

size_t WriteAll(OutputFile& file, std::string_view bytes) {
  return file.Write(bytes);
}

std::optional<std::string> ReadWholeFile(const std::u16string& path) {
  file_access::ReadResult result = file_access::ReadDenyingWriters(path);
  switch (result.status) {
    case file_access::ReadStatus::kMissing:
      return std::nullopt;
    case file_access::ReadStatus::kFailed:
      RaiseFileError(u"Cannot open file", path, result.error);
    case file_access::ReadStatus::kRead:
      break;
  }
  return std::move(result.bytes);
}

void ReplaceFile(const std::u16string& path, std::string_view bytes,
                 const WriteStep& write, FileReaders readers) {
  WriteThroughTemporary(path, bytes, /*replace=*/true, write, readers);
}

bool CreateFileIfAbsent(const std::u16string& path, std::string_view bytes,
                        const WriteStep& write) {
  return WriteThroughTemporary(path, bytes, /*replace=*/false, write,
                               FileReaders::kAsBefore);
}

}  // namespace orvanta
