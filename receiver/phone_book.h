#ifndef ORVANTA_RECEIVER_PHONE_BOOK_H_
#define ORVANTA_RECEIVER_PHONE_BOOK_H_

#include <map>
#include <string>
#include <string_view>

namespace orvanta {

// The number as the phone book compares it: digits only, without the
// country code +90 / 0090 or the trunk 0, so "0 (212) 555-01-02",
// "+90 212 555 01 02" and "2125550102" are one number.
std::string NormalisePhoneNumber(std::u16string_view number);

// The user's phone book, a text file of "number;name" lines (UTF-8, or the
// Turkish code page when not UTF-8). Lines without a number are skipped; a
// later line for the same number wins.
class PhoneBook {
 public:
  // Reads the file; a missing file is an empty book. Raises Failure when
  // the file is there but cannot be read.
  void Load(const std::u16string& path);
  // Adds the entries of a "number;name" text (';' or ',' between them);
  // returns how many lines gave an entry.
  int Merge(std::string_view text);
  // Writes the whole book to `path`, replacing the file in one step.
  void Save(const std::u16string& path) const;

  // The name for a number, empty when unknown.
  std::u16string NameOf(std::u16string_view number) const;
  size_t size() const { return names_.size(); }

 private:
  struct Entry {
    std::u16string number;  // as the user wrote it
    std::u16string name;
  };
  std::map<std::string, Entry> names_;  // by normalised number
};

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_PHONE_BOOK_H_
