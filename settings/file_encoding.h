#ifndef ORVANTA_SETTINGS_FILE_ENCODING_H_
#define ORVANTA_SETTINGS_FILE_ENCODING_H_

#include <cstddef>
#include <optional>
#include <string_view>

namespace orvanta {

// Why the bytes of a settings file do not read as the UTF-8 text the store
// expects. The store still reads them by its own rules (undecodable bytes
// read as an empty file, a NUL byte ends the text); this only says why, so
// the user can be told instead of finding the settings silently at their
// defaults.
struct EncodingProblem {
  enum class Kind {
    // Saved as UTF-16 ("Unicode" in Notepad): a UTF-16 byte-order mark, or
    // a NUL byte in the first two bytes (UTF-16 text without a mark).
    kUtf16,
    // Not valid UTF-8, such as text saved in a single-byte code page.
    kNotUtf8,
    // A NUL byte further in: everything after it is ignored.
    kNulByte,
  };
  Kind kind;
  // Where the first offending byte is, counted from the start of the file;
  // 0 for kUtf16.
  size_t offset = 0;

  bool operator==(const EncodingProblem&) const = default;
};

// Nothing when the bytes are fine (an empty file is).
std::optional<EncodingProblem> FindEncodingProblem(std::string_view file_bytes);

}  // namespace orvanta

#endif  // ORVANTA_SETTINGS_FILE_ENCODING_H_
