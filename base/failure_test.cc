#include "base/failure.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace orvanta {
namespace {

TEST(ErrorReportText, AddsFullStopOnlyAfterCharactersAboveIt) {
  EXPECT_EQ(ErrorReportText(u"Failed"), u"Failed.");
  EXPECT_EQ(ErrorReportText(u"Done."), u"Done.");
  EXPECT_EQ(ErrorReportText(u"Really?"), u"Really?.");  // '?' is above '.'
  EXPECT_EQ(ErrorReportText(u"a-"), u"a-");             // '-' is below '.'
  EXPECT_EQ(ErrorReportText(u"x\r\n"), u"x\r\n");
  EXPECT_EQ(ErrorReportText(u""), u".");
}

TEST(FailureText, TakesTheMessageOfAnyException) {
  try {
    throw Failure(u"Çağrı");
  } catch (...) {
    EXPECT_EQ(FailureText(std::current_exception()), u"Çağrı");
  }
  try {
    throw std::runtime_error("plain");
  } catch (...) {
    EXPECT_EQ(FailureText(std::current_exception()), u"plain");
  }
  EXPECT_STREQ(Failure(u"ş").what(), "\xC5\x9F");
}

}  // namespace
}  // namespace orvanta
