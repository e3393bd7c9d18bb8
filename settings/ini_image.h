#ifndef ORVANTA_SETTINGS_INI_IMAGE_H_
#define ORVANTA_SETTINGS_INI_IMAGE_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// The in-memory image of an INI-style file: its sections in file order, each
// with its entry lines. Section and entry names are found with letter case
// ignored (both sides upper-cased); the last of equal names wins.
class IniImage {
 public:
  struct Section {
    std::u16string name;
    // "name=value" with the blanks around "=" removed, or a whole line that
    // has no "=".
    std::vector<std::u16string> lines;
  };

  IniImage() = default;
  // Builds the image from the decoded file text. Comments, blank lines and
  // lines before the first section header are dropped.
  explicit IniImage(std::u16string_view text);

  // The whole image as file text: each section's header, its lines and one
  // empty line, every line ended by CR LF.
  std::u16string ToText() const;

  Section* FindSection(std::u16string_view name);
  Section& AddSection(std::u16string name);
  // Index of the last entry line named `name`; -1 when there is none. Lines
  // without "=" have no name.
  static int FindEntry(const Section& section, std::u16string_view name);
  // The text after the first "=" of an entry line.
  static std::u16string_view EntryValue(std::u16string_view line);

  std::vector<Section> sections;
  // The file the image was read from and is written back to.
  std::u16string path;
  // The file's bytes when they were not valid UTF-8 (the image is then
  // empty); kept so that a save can preserve them before replacing the file.
  std::optional<std::string> undecodable_bytes;
};

}  // namespace orvanta

#endif  // ORVANTA_SETTINGS_INI_IMAGE_H_
