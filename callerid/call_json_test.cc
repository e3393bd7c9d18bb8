#include "callerid/call_json.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace orvanta {
namespace {

using std::chrono::seconds;
using std::chrono::system_clock;

// 2024-05-01 11:03:07 UTC.
constexpr long long kMay1st = 1714561387;

Call SampleCall() {
  Call call;
  call.line = u"2";
  call.number = u"05321234567";
  call.name = u"Ayşe Yılmaz";
  call.origin = CallOrigin::kModem;
  call.time = system_clock::time_point(seconds(kMay1st));
  call.utc_offset_minutes = 180;
  call.id = "9b2f0c1e-5a4d-4c1b-8e7f-0123456789ab";
  return call;
}

const CallSender kSender{u"KASA-1", u"Orvanta", u"1.2.5"};

TEST(CallJson, CarriesEveryFieldInOrder) {
  EXPECT_EQ(
      CallJson(SampleCall(), kSender),
      "{\"event\":\"call\",\"id\":\"9b2f0c1e-5a4d-4c1b-8e7f-0123456789ab\","
      "\"line\":\"2\",\"number\":\"05321234567\",\"missing\":null,"
      "\"name\":\"Ay\xC5\x9F"
      "e Y\xC4\xB1lmaz\","
      "\"time\":\"2024-05-01T14:03:07+03:00\",\"source\":\"modem\","
      "\"host\":\"KASA-1\",\"program\":\"Orvanta\",\"version\":\"1.2.5\"}");
}

TEST(CallJson, TestCallAndCallsWithoutANumber) {
  Call test = SampleCall();
  test.origin = CallOrigin::kTest;
  EXPECT_NE(CallJson(test, kSender).find("{\"event\":\"test\","),
            std::string::npos);
  EXPECT_NE(CallJson(test, kSender).find("\"source\":\"test\""),
            std::string::npos);

  const struct {
    MissingNumber missing;
    const char* expected;
  } cases[] = {
      {MissingNumber::kPrivate, "\"number\":\"\",\"missing\":\"private\""},
      {MissingNumber::kUnavailable,
       "\"number\":\"\",\"missing\":\"unavailable\""},
  };
  for (const auto& c : cases) {
    Call call = SampleCall();
    call.number = u"P";  // what a device may put there: not passed on
    call.missing = c.missing;
    EXPECT_NE(CallJson(call, kSender).find(c.expected), std::string::npos)
        << c.expected;
  }
}

TEST(JsonString, EscapesWhatJsonAndJavaScriptNeedAndKeepsTheRest) {
  const struct {
    std::u16string in;
    std::string out;
  } cases[] = {
      {u"", "\"\""},
      {u"a\"b\\c/d", "\"a\\\"b\\\\c/d\""},
      {u"\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
      {std::u16string(u"\0\x01\x1f\x7f", 4),
       "\"\\u0000\\u0001\\u001f\\u007f\""},
      {u"\u2028\u2029", "\"\\u2028\\u2029\""},
      {u"ğüşıöçĞÜŞİÖÇ",
       "\"\xC4\x9F\xC3\xBC\xC5\x9F\xC4\xB1\xC3\xB6\xC3\xA7"
       "\xC4\x9E\xC3\x9C\xC5\x9E\xC4\xB0\xC3\x96\xC3\x87\""},
      {u"\u20AC \U0001F600", "\"\xE2\x82\xAC \xF0\x9F\x98\x80\""},
      // A lone surrogate cannot be UTF-8: it is replaced, not passed on.
      {std::u16string(1, char16_t(0xD800)) + u"x", "\"\xEF\xBF\xBDx\""},
      {std::u16string(1, char16_t(0xDC00)), "\"\xEF\xBF\xBD\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JsonString(c.in), c.out);
  }
}

TEST(CallTimeText, UsesTheOffsetTheCallWasTakenAt) {
  const struct {
    long long utc;
    int offset;
    const char* expected;
  } cases[] = {
      {kMay1st, 180, "2024-05-01T14:03:07+03:00"},
      {kMay1st, 0, "2024-05-01T11:03:07+00:00"},
      {kMay1st, -330, "2024-05-01T05:33:07-05:30"},
      // The offset moves the date across midnight and a month's end.
      {1714604400, 180, "2024-05-02T02:00:00+03:00"},
      {1714521600, -60, "2024-04-30T23:00:00-01:00"},
      {951825600, 0, "2000-02-29T12:00:00+00:00"},
  };
  for (const auto& c : cases) {
    Call call;
    call.time = system_clock::time_point(seconds(c.utc)) +
                std::chrono::milliseconds(999);  // to the second, not rounded
    call.utc_offset_minutes = c.offset;
    EXPECT_EQ(CallTimeText(call), c.expected);
  }
}

TEST(ExpandUrlTemplate, PutsPercentEncodedValuesIntoTheUrl) {
  Call call = SampleCall();
  call.number = u"+90 532/12&34";
  EXPECT_EQ(
      ExpandUrlTemplate(u"https://h.test/c?n={number}&a={name}&l={line}"
                        u"&t={time}&x={other}&{number",
                        call),
      "https://h.test/c?n=%2B90%20532%2F12%2634&a=Ay%C5%9Fe%20Y%C4%B1lmaz&l=2"
      "&t=2024-05-01T14%3A03%3A07%2B03%3A00&x={other}&{number");
  call.missing = MissingNumber::kPrivate;
  EXPECT_EQ(ExpandUrlTemplate(u"http://h/{number}{number}/", call),
            "http://h//");
  EXPECT_EQ(ExpandUrlTemplate(u"http://h/yol/ğ", call),
            "http://h/yol/\xC4\x9F");
}

// 8-4-4-4-12 lower-case hex digits, version 4, RFC 4122 variant.
bool IsRandomUuid(const std::string& id) {
  if (id.size() != 36) return false;
  for (size_t i = 0; i < id.size(); ++i) {
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    const char c = id[i];
    if (dash != (c == '-')) return false;
    if (!dash && !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
      return false;
    }
  }
  return id[14] == '4' && std::string("89ab").find(id[19]) != std::string::npos;
}

TEST(NewCallId, IsARandomUuidNeverRepeatedAcrossThreads) {
  std::vector<std::string> a, b;
  std::thread other([&] {
    for (int i = 0; i < 5000; ++i) b.push_back(NewCallId());
  });
  for (int i = 0; i < 5000; ++i) a.push_back(NewCallId());
  other.join();
  std::set<std::string> all(a.begin(), a.end());
  all.insert(b.begin(), b.end());
  EXPECT_EQ(all.size(), 10000u);
  EXPECT_TRUE(IsRandomUuid(a.front())) << a.front();
  EXPECT_TRUE(IsRandomUuid(b.back())) << b.back();
}

}  // namespace
}  // namespace orvanta
