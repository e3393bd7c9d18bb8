// Private-profile INI files where the platform has no functions for them:
// the same key-by-key semantics, lines other than the one written kept
// byte for byte, new lines ending in CR LF. Text is UTF-8 (the program's
// own keys and values are 7-bit).

#include "serial/profile.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "base/text.h"

namespace orvanta {
namespace {

struct Line {
  std::string text;        // without its line break
  std::string terminator;  // "\r\n", "\n" or "" (last line without one)
};

std::string Trim(std::string_view text) {
  return std::string(TrimSpacesAndTabs(text));
}

std::optional<std::vector<Line>> Load(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  std::string content;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
    content.append(chunk, n);
  std::fclose(file);

  std::vector<Line> lines;
  size_t at = 0;
  while (at < content.size()) {
    const size_t lf = content.find('\n', at);
    Line line;
    if (lf == std::string::npos) {
      line.text = content.substr(at);
      at = content.size();
    } else {
      line.text = content.substr(at, lf - at);
      line.terminator = "\n";
      at = lf + 1;
    }
    if (!line.text.empty() && line.text.back() == '\r') {
      line.text.pop_back();
      line.terminator = line.terminator.empty() ? "\r" : "\r\n";
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

bool Save(const std::string& path, const std::vector<Line>& lines) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = true;
  for (const Line& line : lines) {
    ok = ok && std::fwrite(line.text.data(), 1, line.text.size(), file) ==
                   line.text.size();
    ok = ok && std::fwrite(line.terminator.data(), 1, line.terminator.size(),
                           file) == line.terminator.size();
  }
  return std::fclose(file) == 0 && ok;
}

// A lone CR ends a line only at the end of the file (it is not a line
// break for the reader elsewhere); text appended after such a line needs a
// full break first, or it joins that line when the file is read again.
void EndWithLineBreak(Line& line) {
  if (line.terminator.empty() || line.terminator == "\r")
    line.terminator = "\r\n";
}

// The section name of a "[name]" line.
std::optional<std::string> SectionName(const std::string& text) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty() || trimmed[0] != '[') return std::nullopt;
  const size_t close = trimmed.find(']');
  return Trim(std::string_view(trimmed).substr(
      1, close == std::string::npos ? std::string::npos : close - 1));
}

// The key of a "key=value" line (comment lines have none).
std::optional<std::string> KeyName(const std::string& text) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty() || trimmed[0] == ';') return std::nullopt;
  const size_t equals = trimmed.find('=');
  if (equals == std::string::npos) return std::nullopt;
  return Trim(std::string_view(trimmed).substr(0, equals));
}

// Lines [first, end) of the first section called `section`; first is the
// line after its header. nullopt when there is no such section.
std::optional<std::pair<size_t, size_t>> FindSection(
    const std::vector<Line>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i].text);
    if (!name || !SameTextAscii(*name, section)) continue;
    size_t end = i + 1;
    while (end < lines.size() && !SectionName(lines[end].text)) ++end;
    return std::make_pair(i + 1, end);
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<Line>& lines,
                              std::pair<size_t, size_t> range,
                              std::string_view key) {
  for (size_t i = range.first; i < range.second; ++i) {
    const auto name = KeyName(lines[i].text);
    if (name && SameTextAscii(*name, key)) return i;
  }
  return std::nullopt;
}

std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::u16string ReadIniValue(const std::u16string& path,
                            std::u16string_view section,
                            std::u16string_view key,
                            const std::u16string& default_value) {
  const auto lines = Load(Utf16ToUtf8(path));
  if (!lines) return default_value;
  const auto range = FindSection(*lines, Utf16ToUtf8(section));
  if (!range) return default_value;
  const auto at = FindKey(*lines, *range, Utf16ToUtf8(key));
  if (!at) return default_value;
  const std::string& text = (*lines)[*at].text;
  std::u16string value = Utf8ToUtf16(
      Unquote(Trim(std::string_view(text).substr(text.find('=') + 1))));
  if (value.size() > kProfileValueMax) value.resize(kProfileValueMax);
  return value;
}

bool WriteIniValue(const std::u16string& path, std::u16string_view section,
                   std::u16string_view key, std::u16string_view value) {
  const std::string file_path = Utf16ToUtf8(path);
  const std::string section_name = Utf16ToUtf8(section);
  const std::string key_name = Utf16ToUtf8(key);
  const std::string value_text = Utf16ToUtf8(value);

  std::vector<Line> lines = Load(file_path).value_or(std::vector<Line>{});
  const auto range = FindSection(lines, section_name);
  if (!range) {
    if (!lines.empty()) EndWithLineBreak(lines.back());
    lines.push_back({"[" + section_name + "]", "\r\n"});
    lines.push_back({key_name + "=" + value_text, "\r\n"});
    return Save(file_path, lines);
  }
  if (const auto at = FindKey(lines, *range, key_name)) {
    Line& line = lines[*at];
    line.text = *KeyName(line.text) + "=" + value_text;
    return Save(file_path, lines);
  }
  // A new key goes after the section's last non-blank line, so the blank
  // lines that separate it from the next section stay where they are.
  size_t insert = range->first;
  for (size_t i = range->first; i < range->second; ++i) {
    if (!Trim(lines[i].text).empty()) insert = i + 1;
  }
  if (insert > 0) EndWithLineBreak(lines[insert - 1]);
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert),
               Line{key_name + "=" + value_text, "\r\n"});
  return Save(file_path, lines);
}

}  // namespace orvanta
