#ifndef ORVANTA_RECEIVER_CSV_LINE_H_
#define ORVANTA_RECEIVER_CSV_LINE_H_

#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// Lines of "a;b;c" with double quotes around a field that holds ';' or '"'
// (a quote inside doubled), as spreadsheet programs write them. One record
// per line: the program never writes a line break into a field.
std::vector<std::string> SplitCsvLine(std::string_view line, char separator);
std::string JoinCsvLine(const std::vector<std::string>& fields, char separator);

// The file's text split into lines (LF or CR LF), a UTF-8 byte-order mark
// at its start dropped.
std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_CSV_LINE_H_
