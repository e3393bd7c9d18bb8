#include "settings/ini_image.h"

#include "base/text.h"

namespace orvanta {
namespace {

std::optional<std::u16string_view> EntryName(std::u16string_view line) {
  const size_t equals = line.find(u'=');
  if (equals == std::u16string_view::npos) return std::nullopt;
  return line.substr(0, equals);
}

}  // namespace

IniImage::IniImage(std::u16string_view text) {
  text = text.substr(0, text.find(u'\0'));
  Section* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    // A line ends at CR LF, at a lone CR or at a lone LF.
    size_t end = text.find_first_of(u"\r\n", pos);
    size_t next;
    if (end == std::u16string_view::npos) {
      end = next = text.size();
    } else if (text[end] == u'\r' && end + 1 < text.size() &&
               text[end + 1] == u'\n') {
      next = end + 2;
    } else {
      next = end + 1;
    }
    const std::u16string_view line = TrimControls(text.substr(pos, end - pos));
    pos = next;

    if (line.empty() || line.front() == u';') continue;
    if (line.size() >= 2 && line.front() == u'[' && line.back() == u']') {
      current = &AddSection(
          std::u16string(TrimControls(line.substr(1, line.size() - 2))));
      continue;
    }
    if (current == nullptr) continue;
    const size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) {
      current->lines.emplace_back(line);
    } else {
      std::u16string entry(TrimControls(line.substr(0, equals)));
      entry += u'=';
      entry += TrimControls(line.substr(equals + 1));
      current->lines.push_back(std::move(entry));
    }
  }
}

std::u16string IniImage::ToText() const {
  std::u16string text;
  for (const Section& section : sections) {
    text += u'[';
    text += section.name;
    text += u"]\r\n";
    for (const std::u16string& line : section.lines) {
      text += line;
      text += u"\r\n";
    }
    text += u"\r\n";
  }
  return text;
}

IniImage::Section* IniImage::FindSection(std::u16string_view name) {
  const std::u16string wanted = UpperCase(name);
  for (auto it = sections.rbegin(); it != sections.rend(); ++it) {
    if (UpperCase(it->name) == wanted) return &*it;
  }
  return nullptr;
}

IniImage::Section& IniImage::AddSection(std::u16string name) {
  sections.push_back(Section{std::move(name), {}});
  return sections.back();
}

int IniImage::FindEntry(const Section& section, std::u16string_view name) {
  const std::u16string wanted = UpperCase(name);
  for (int i = static_cast<int>(section.lines.size()) - 1; i >= 0; --i) {
    const auto entry_name = EntryName(section.lines[i]);
    if (entry_name && UpperCase(*entry_name) == wanted) return i;
  }
  return -1;
}

std::u16string_view IniImage::EntryValue(std::u16string_view line) {
  const size_t equals = line.find(u'=');
  return equals == std::u16string_view::npos ? std::u16string_view()
                                             : line.substr(equals + 1);
}

}  // namespace orvanta
