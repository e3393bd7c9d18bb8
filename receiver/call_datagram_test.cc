#include "receiver/call_datagram.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"

namespace orvanta {
namespace {

struct DatagramCase {
  const char* what;
  std::string bytes;
  DatagramVerdict verdict;
  std::u16string line;
  std::u16string number;
};

TEST(ParseCallDatagramTest, TableOfDatagrams) {
  const DatagramCase cases[] = {
      {"sender's own form", "HAT=0\r\nNUMARA=555 55 55", DatagramVerdict::kCall,
       u"0", u"555 55 55"},
      {"test datagram", "HAT=01\r\nNUMARA=555 55 55", DatagramVerdict::kCall,
       u"01", u"555 55 55"},
      {"LF only", "HAT=2\nNUMARA=02125550102\n", DatagramVerdict::kCall, u"2",
       u"02125550102"},
      {"extra trailing lines", "HAT=1\r\nNUMARA=123\r\nEXTRA=x\r\n\r\n",
       DatagramVerdict::kCall, u"1", u"123"},
      {"empty line and number", "HAT=\r\nNUMARA=", DatagramVerdict::kCall, u"",
       u""},
      {"control characters stripped",
       std::string("HAT=0\r\nNUMARA=5\x1b[31m5\x07") + '\0' + "5",
       DatagramVerdict::kCall, u"0", u"5[31m55"},
      {"lone CR inside a value", "HAT=0\rX\r\nNUMARA=1\r2",
       DatagramVerdict::kCall, u"0X", u"12"},
      {"sender's ? for a Turkish letter", "HAT=?\r\nNUMARA=1",
       DatagramVerdict::kCall, u"?", u"1"},
      {"UTF-8 value",
       "HAT=0\r\nNUMARA=\xC3\x87"
       "a\xC4\x9F"
       "r\xC4\xB1",
       DatagramVerdict::kCall, u"0", u"\u00c7a\u011fr\u0131"},
      {"Turkish code page value", "HAT=0\r\nNUMARA=\xDE\xFD",
       DatagramVerdict::kCall, u"0", u"\u015e\u0131"},
      {"right-to-left override stripped",
       "HAT=0\r\nNUMARA=12\xE2\x80\xAE"
       "34",
       DatagramVerdict::kCall, u"0", u"1234"},
      {"empty", "", DatagramVerdict::kMalformed, u"", u""},
      {"number only", "NUMARA=123", DatagramVerdict::kMalformed, u"", u""},
      {"line only", "HAT=1\r\n", DatagramVerdict::kMalformed, u"", u""},
      {"keys swapped", "NUMARA=1\r\nHAT=2", DatagramVerdict::kMalformed, u"",
       u""},
      {"lower-case key", "hat=1\r\nNUMARA=2", DatagramVerdict::kMalformed, u"",
       u""},
      {"blank line between", "HAT=1\r\n\r\nNUMARA=2",
       DatagramVerdict::kMalformed, u"", u""},
      {"leading space", " HAT=1\r\nNUMARA=2", DatagramVerdict::kMalformed, u"",
       u""},
      {"other program's text", "hello world", DatagramVerdict::kMalformed, u"",
       u""},
      {"512 bytes is still a call",
       "HAT=0\r\nNUMARA=" + std::string(512 - 14, '5'), DatagramVerdict::kCall,
       u"0", std::u16string(512 - 14, u'5')},
      {"513 bytes", "HAT=0\r\nNUMARA=" + std::string(513 - 14, '5'),
       DatagramVerdict::kOversized, u"", u""},
      {"64 KiB of garbage", std::string(65507, 'x'),
       DatagramVerdict::kOversized, u"", u""},
  };
  for (const DatagramCase& c : cases) {
    SCOPED_TRACE(c.what);
    const ParsedDatagram parsed = ParseCallDatagram(c.bytes);
    EXPECT_EQ(parsed.verdict, c.verdict);
    EXPECT_EQ(parsed.call.line, c.line);
    EXPECT_EQ(parsed.call.number, c.number);
  }
}

TEST(CleanDisplayTextTest, RemovesControlsAndTrims) {
  EXPECT_EQ(CleanDisplayText(u"  a\tb\u0085c\u2028d\u2067 "), u"abcd");
  EXPECT_EQ(CleanDisplayText(u" \x01 "), u"");
  EXPECT_EQ(CleanDisplayText(u"\u00c7a\u011fr\u0131 Y\u0131lmaz"),
            u"\u00c7a\u011fr\u0131 Y\u0131lmaz");
}

TEST(IsTestCallTest, OnlyTheSendersFixedDatagram) {
  EXPECT_TRUE(IsTestCall({u"01", u"555 55 55"}));
  EXPECT_FALSE(IsTestCall({u"0", u"555 55 55"}));
  EXPECT_FALSE(IsTestCall({u"01", u"5555555"}));
}

TEST(RepeatFilterTest, DropsTheSameCallWithinTwoSeconds) {
  using std::chrono::milliseconds;
  const RepeatFilter::Clock::time_point t0{};
  const IncomingCall a{u"0", u"123"};
  const IncomingCall a_other_line{u"1", u"123"};
  const IncomingCall b{u"0", u"456"};
  struct Step {
    int at_ms;
    IncomingCall call;
    bool kept;
  };
  const Step steps[] = {
      {0, a, true},
      {10, a, false},            // relay sends twice
      {10, a_other_line, true},  // another line is another call
      {20, b, true},             // another number
      {1999, a, false},          // still within the window of the first
      {2000, a, true},           // the window runs from the kept call...
      {3999, a, false},          // ...and a repeat does not stretch it
      {4000, a, true},
  };
  RepeatFilter filter;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.at_ms);
    EXPECT_EQ(filter.Accept(step.call, t0 + milliseconds(step.at_ms)),
              step.kept);
  }
}

TEST(RepeatFilterTest, AFloodOfDistinctCallsIsRememberedOnlyUpToItsBound) {
  using std::chrono::milliseconds;
  const RepeatFilter::Clock::time_point t0{};
  RepeatFilter filter;
  const IncomingCall first{u"0", u"100"};
  ASSERT_TRUE(filter.Accept(first, t0));
  // Within the window, but too many others: the first is forgotten...
  for (size_t i = 1; i < RepeatFilter::kMaxRemembered; ++i) {
    ASSERT_TRUE(filter.Accept({u"0", Utf8ToUtf16(std::to_string(1000 + i))},
                              t0 + milliseconds(1)));
  }
  const IncomingCall last{u"0", u"1999999"};
  EXPECT_TRUE(filter.Accept(last, t0 + milliseconds(2)));
  EXPECT_TRUE(filter.Accept(first, t0 + milliseconds(3)));
  // ...while the newest are still told apart as repeats.
  EXPECT_FALSE(filter.Accept(last, t0 + milliseconds(4)));
}

TEST(NotificationGateTest, AtMostOnePerSecond) {
  using std::chrono::milliseconds;
  const NotificationGate::Clock::time_point t0{};
  NotificationGate gate;
  EXPECT_TRUE(gate.Allow(t0));
  EXPECT_FALSE(gate.Allow(t0 + milliseconds(1)));
  EXPECT_FALSE(gate.Allow(t0 + milliseconds(999)));
  EXPECT_TRUE(gate.Allow(t0 + milliseconds(1000)));
  EXPECT_FALSE(gate.Allow(t0 + milliseconds(1500)));
  EXPECT_TRUE(gate.Allow(t0 + milliseconds(2000)));
}

TEST(BurstLimiterTest, ABurstThenOnePerInterval) {
  using std::chrono::milliseconds;
  const BurstLimiter::Clock::time_point t0{};
  BurstLimiter limiter(3, milliseconds(1000));
  const struct {
    int at_ms;
    bool allowed;
  } steps[] = {
      {0, true},    {0, true},    {1, true},     {2, false},  // burst of 3
      {999, false}, {1001, true}, {1500, false}, {2002, true}, {9000, true},
      {9000, true}, {9000, true}, {9000, false},  // refilled to 3, no more
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.at_ms);
    EXPECT_EQ(limiter.Allow(t0 + milliseconds(step.at_ms)), step.allowed);
  }
}

}  // namespace
}  // namespace orvanta
