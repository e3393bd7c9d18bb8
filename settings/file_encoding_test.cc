#include "settings/file_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace orvanta {
namespace {

using Kind = EncodingProblem::Kind;

TEST(FileEncodingTest, SaysWhyBytesDoNotReadAsUtf8Text) {
  using namespace std::string_literals;
  struct Case {
    std::string bytes;
    std::optional<EncodingProblem> expected;
  };
  const Case cases[] = {
      {"", std::nullopt},
      {"\xEF\xBB\xBF", std::nullopt},
      {"[VmStored]\r\nIPNO=\xC3\xA7\r\n", std::nullopt},
      {"\xEF\xBB\xBF[VmStored]\r\nUDPPORT=1\r\n", std::nullopt},
      // Notepad's "Unicode" and "Unicode big endian", and UTF-16 without a
      // mark.
      {"\xFF\xFE[\0V\0"s, EncodingProblem{Kind::kUtf16, 0}},
      {"\xFE\xFF\0[\0V"s, EncodingProblem{Kind::kUtf16, 0}},
      {"[\0V\0m\0"s, EncodingProblem{Kind::kUtf16, 0}},
      {"\0[\0V"s, EncodingProblem{Kind::kUtf16, 0}},
      // UTF-16 whose pairs are not even valid UTF-8 is still UTF-16.
      {"[\0\xFE\x01"s, EncodingProblem{Kind::kUtf16, 0}},
      // Windows-1254 "ş", counted from the file's start with the mark.
      {"[VmStored]\r\nIPNO=\xFE", EncodingProblem{Kind::kNotUtf8, 17}},
      {"\xEF\xBB\xBFIPNO=\xFE", EncodingProblem{Kind::kNotUtf8, 8}},
      // Overlong "/", a surrogate, a truncated sequence.
      {"ab\xC0\xAF", EncodingProblem{Kind::kNotUtf8, 2}},
      {"ab\xED\xA0\x80", EncodingProblem{Kind::kNotUtf8, 2}},
      {"abc\xE2\x82", EncodingProblem{Kind::kNotUtf8, 3}},
      {"[VmStored]\r\nA=1\0B=2"s, EncodingProblem{Kind::kNulByte, 15}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    const auto problem = FindEncodingProblem(c.bytes);
    ASSERT_EQ(problem.has_value(), c.expected.has_value());
    if (problem) {
      EXPECT_EQ(*problem, *c.expected);
    }
  }
}

}  // namespace
}  // namespace orvanta
