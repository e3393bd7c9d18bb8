#include "settings/file_access.h"

#include <windows.h>

#include <algorithm>

namespace orvanta::file_access {
namespace {

const wchar_t* Wide(const std::u16string& path) {
  return reinterpret_cast<const wchar_t*>(path.c_str());
}

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

ReadResult ReadDenyingWriters(const std::u16string& path) {
  ReadResult result;
  const HANDLE file =
      CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      result.status = ReadStatus::kMissing;
    } else {
      result.status = ReadStatus::kFailed;
      result.error = error;
    }
    return result;
  }
  result.status = ReadStatus::kRead;
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
      result.status = ReadStatus::kFailed;
      result.error = GetLastError();
      result.bytes.clear();
      break;
    }
    if (n == 0) break;
    result.bytes.append(buffer, n);
  }
  CloseHandle(file);
  return result;
}

std::unique_ptr<NewFile> NewFile::Create(const std::u16string& path,
                                         const std::u16string& /*like*/,
                                         bool /*owner_only*/, uint32_t* error) {
  // The folder's inherited permissions are what a file created in place
  // would have had too. Secrets are kept encrypted for the user here
  // (secret_text_win.cc), so `owner_only` needs no permissions of its own.
  const HANDLE file =
      CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return nullptr;
  }
  return std::unique_ptr<NewFile>(
      new NewFile(reinterpret_cast<intptr_t>(file)));
}

NewFile::~NewFile() {
  if (open_) CloseHandle(AsHandle(handle_));
}

size_t NewFile::Write(std::string_view bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const DWORD chunk =
        static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 30));
    DWORD n = 0;
    if (!WriteFile(AsHandle(handle_), bytes.data() + written, chunk, &n,
                   nullptr) ||
        n == 0) {
      break;
    }
    written += n;
  }
  return written;
}

bool NewFile::FlushAndClose(uint32_t* error) {
  open_ = false;
  bool ok = FlushFileBuffers(AsHandle(handle_)) != 0;
  if (!ok) *error = GetLastError();
  if (!CloseHandle(AsHandle(handle_)) && ok) {
    ok = false;
    *error = GetLastError();
  }
  return ok;
}

MoveResult Move(const std::u16string& from, const std::u16string& to,
                bool replace, uint32_t* error) {
  DWORD flags = MOVEFILE_WRITE_THROUGH;
  if (replace) flags |= MOVEFILE_REPLACE_EXISTING;
  if (MoveFileExW(Wide(from), Wide(to), flags)) return MoveResult::kMoved;
  const DWORD code = GetLastError();
  if (!replace && (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)) {
    return MoveResult::kTargetExists;
  }
  *error = code;
  return MoveResult::kFailed;
}

void Remove(const std::u16string& path) { DeleteFileW(Wide(path)); }

std::u16string FullPath(const std::u16string& path) {
  const DWORD size = GetFullPathNameW(Wide(path), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::u16string full(size, u'\0');
  const DWORD n = GetFullPathNameW(
      Wide(path), size, reinterpret_cast<wchar_t*>(full.data()), nullptr);
  if (n == 0 || n >= size) return path;
  full.resize(n);
  return full;
}

}  // namespace orvanta::file_access
