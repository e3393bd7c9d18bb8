#ifndef ORVANTA_BASE_TEXT_H_
#define ORVANTA_BASE_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

namespace orvanta {

// Wide text is UTF-16 (the settings, the window texts, the announced numbers);
// serial data and the decoded packet markers are single-byte text.

// Strict UTF-8 decoding: overlong forms, surrogates, code points above
// U+10FFFF and truncated sequences make the whole text invalid.
std::optional<std::u16string> DecodeUtf8Strict(std::string_view bytes);

// UTF-8 encoding; a lone surrogate is written as U+FFFD.
std::string EncodeUtf8(std::u16string_view text);

// Convenience for literals and file names.
std::u16string Utf8ToUtf16(std::string_view bytes);  // invalid input -> U+FFFD
std::string Utf16ToUtf8(std::u16string_view text);

// The system's ANSI code page: CP_ACP on Windows, a fixed Windows-1254 table
// elsewhere. Characters the code page cannot hold become its default
// character ("?").
std::string ToAnsi(std::u16string_view text);
std::u16string FromAnsi(std::string_view bytes);

// Decimal text of a 32-bit integer, plain ("-1", "0", "18900").
std::u16string IntToText(long long value);

}  // namespace orvanta

#endif  // ORVANTA_BASE_TEXT_H_
