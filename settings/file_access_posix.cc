#include "settings/file_access.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/text.h"

namespace orvanta::file_access {
namespace {

std::string NativePath(const std::u16string& path) { return Utf16ToUtf8(path); }

void SyncFolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos
                                 ? "."
                                 : (slash == 0 ? "/" : path.substr(0, slash));
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);  // makes the rename itself durable; best effort
  close(fd);
}

}  // namespace

ReadResult ReadDenyingWriters(const std::u16string& path) {
  ReadResult result;
  const int fd = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      result.status = ReadStatus::kMissing;
    } else {
      result.status = ReadStatus::kFailed;
      result.error = static_cast<uint32_t>(errno);
    }
    return result;
  }
  struct stat info;
  const bool known = fstat(fd, &info) == 0;
  if (!known || S_ISDIR(info.st_mode)) {
    result.status = ReadStatus::kFailed;
    result.error = known ? EISDIR : static_cast<uint32_t>(errno);
    close(fd);
    return result;
  }
  result.status = ReadStatus::kRead;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      result.bytes.append(buffer, static_cast<size_t>(n));
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      result.status = ReadStatus::kFailed;
      result.error = static_cast<uint32_t>(errno);
      result.bytes.clear();
      break;
    }
  }
  close(fd);
  return result;
}

std::unique_ptr<NewFile> NewFile::Create(const std::u16string& path,
                                         const std::u16string& like,
                                         bool owner_only, uint32_t* error) {
  const mode_t mode = owner_only ? 0600 : 0666;
  // A temporary file left by a crash may have looser permissions: it goes
  // first, so that the secrets never sit in a file others can read.
  if (owner_only) unlink(NativePath(path).c_str());
  const int fd = open(NativePath(path).c_str(),
                      O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) {
    *error = static_cast<uint32_t>(errno);
    return nullptr;
  }
  // The replacement keeps the old file's owner and mode where it can.
  struct stat old;
  if (stat(NativePath(like).c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Not the owner's to give away: the file stays ours.
    }
    if (!owner_only) fchmod(fd, old.st_mode & 07777);
  }
  if (owner_only) fchmod(fd, 0600);
  return std::unique_ptr<NewFile>(new NewFile(fd));
}

NewFile::~NewFile() {
  if (open_) close(static_cast<int>(handle_));
}

size_t NewFile::Write(std::string_view bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(static_cast<int>(handle_), bytes.data() + written,
                            bytes.size() - written);
    if (n > 0) {
      written += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  return written;
}

bool NewFile::FlushAndClose(uint32_t* error) {
  const int fd = static_cast<int>(handle_);
  open_ = false;
  bool ok = fsync(fd) == 0;
  if (!ok) *error = static_cast<uint32_t>(errno);
  if (close(fd) != 0 && ok) {
    ok = false;
    *error = static_cast<uint32_t>(errno);
  }
  return ok;
}

MoveResult Move(const std::u16string& from, const std::u16string& to,
                bool replace, uint32_t* error) {
  const std::string source = NativePath(from);
  const std::string target = NativePath(to);
  if (replace) {
    if (rename(source.c_str(), target.c_str()) != 0) {
      *error = static_cast<uint32_t>(errno);
      return MoveResult::kFailed;
    }
  } else {
    // A hard link never replaces what is there; the temporary name then
    // goes. File systems without links get a check and a plain rename.
    if (link(source.c_str(), target.c_str()) == 0) {
      unlink(source.c_str());
    } else if (errno == EEXIST) {
      return MoveResult::kTargetExists;
    } else if (errno != EPERM && errno != EOPNOTSUPP) {
      *error = static_cast<uint32_t>(errno);
      return MoveResult::kFailed;
    } else if (access(target.c_str(), F_OK) == 0) {
      return MoveResult::kTargetExists;
    } else if (rename(source.c_str(), target.c_str()) != 0) {
      *error = static_cast<uint32_t>(errno);
      return MoveResult::kFailed;
    }
  }
  SyncFolderOf(target);
  return MoveResult::kMoved;
}

void Remove(const std::u16string& path) { unlink(NativePath(path).c_str()); }

std::u16string FullPath(const std::u16string& path) {
  if (!path.empty() && path.front() == u'/') return path;
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer) == nullptr) return path;
  std::string folder(buffer);
  if (folder.back() != '/') folder += '/';
  return Utf8ToUtf16(folder) + path;
}

}  // namespace orvanta::file_access
