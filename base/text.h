#ifndef ORVANTA_BASE_TEXT_H_
#define ORVANTA_BASE_TEXT_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvanta {

// Wide text is UTF-16 (the settings, the window texts, the announced numbers);
// serial data and the decoded packet markers are single-byte text.

// Strict UTF-8 decoding: overlong forms, surrogates, code points above
// U+10FFFF and truncated sequences make the whole text invalid.
std::optional<std::u16string> DecodeUtf8Strict(std::string_view bytes);
// How many bytes from the start are well-formed UTF-8 by the same rules;
// bytes.size() when all of them are.
size_t ValidUtf8Length(std::string_view bytes);

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

// Letter case comes in three kinds, each kept for the callers that need it:
// the system's (locale-aware, as the platform compares the stored names),
// ASCII only (the port settings file, port names, fixed English words), and
// a fixed Latin-1 and Turkish table that is the same on every machine.

// The system's upper-casing of a text (Windows: CharUpperBuffW; Linux: the C
// library's towupper under the current LC_CTYPE).
std::u16string UpperCase(std::u16string_view text);

// The system's locale-aware comparison ignoring letter case (Windows:
// CompareStringW for the user's default locale with NORM_IGNORECASE; Linux:
// equality after UpperCase).
bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b);

// "a".."z" to "A".."Z"; everything else stays.
char16_t AsciiUpper(char16_t c);
char AsciiUpper(char c);

// Equal after AsciiUpper, code unit by code unit.
bool SameTextAscii(std::u16string_view a, std::u16string_view b);
bool SameTextAscii(std::string_view a, std::string_view b);

// Code-unit order after AsciiUpper ("com10" before "COM2").
bool LessIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

// The fixed table: ASCII and Latin-1 letters, plus the Turkish ğ/Ğ and ş/Ş
// (UpperLatinTurkish), and İ to i (LowerLatinTurkish); ı, ÿ and the
// multiplication and division signs stay as they are.
char16_t UpperLatinTurkish(char16_t c);
char16_t LowerLatinTurkish(char16_t c);

// Without leading and trailing spaces and tabs.
std::u16string_view TrimSpacesAndTabs(std::u16string_view text);
std::string_view TrimSpacesAndTabs(std::string_view text);

// Without leading and trailing blanks and control characters (every code
// unit up to the space).
std::u16string_view TrimControls(std::u16string_view text);
std::string_view TrimControls(std::string_view text);

}  // namespace orvanta

#endif  // ORVANTA_BASE_TEXT_H_
