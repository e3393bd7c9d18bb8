#include "callerid/modem_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::string_literals;

// "RING", "OK", "ERROR", "NMBR=0532", "other:ATZ".
std::string Describe(const ModemEvent& event) {
  switch (event.kind) {
    case ModemEventKind::kRing:
      return "RING";
    case ModemEventKind::kOk:
      return "OK";
    case ModemEventKind::kError:
      return "ERROR";
    case ModemEventKind::kField:
      return std::string(ModemFieldTag(event.field)) + "=" + event.text;
    case ModemEventKind::kOther:
      return "other:" + event.text;
  }
  return "?";
}

std::vector<std::string> Describe(const std::vector<ModemEvent>& events) {
  std::vector<std::string> described;
  described.reserve(events.size());
  for (const ModemEvent& event : events) described.push_back(Describe(event));
  return described;
}

std::vector<std::string> ParseWhole(const std::string& stream) {
  ModemReportParser parser;
  return Describe(parser.Feed(stream));
}

struct ReportCase {
  const char* name;
  std::string stream;
  std::vector<std::string> events;
};

const std::string kGarbage300 = [] {
  std::string garbage;
  for (int i = 0; i < 300; ++i)
    garbage.push_back(static_cast<char>(33 + i % 90));
  return garbage;
}();

const ReportCase kReportCases[] = {
    {"blanks around =, CR LF, FSK between the rings",
     "RING\r\n\r\nDATE = 1211\r\nTIME = 0130\r\nNMBR = 05321234567\r\n"
     "NAME = AYSE YILMAZ\r\n\r\nRING\r\n",
     {"RING", "DATE=1211", "TIME=0130", "NMBR=05321234567", "NAME=AYSE YILMAZ",
      "RING"}},
    {"no blanks (USR)",
     "RING\r\nDATE=1211\r\nTIME=0130\r\nNMBR=05321234567\r\n",
     {"RING", "DATE=1211", "TIME=0130", "NMBR=05321234567"}},
    {"NAME before NMBR",
     "\r\nNAME = AYSE YILMAZ\r\nNMBR = 05321234567\r\n",
     {"NAME=AYSE YILMAZ", "NMBR=05321234567"}},
    {"data before the first RING (DTMF)",
     "NMBR = 05321234567\r\nRING\r\nRING\r\n",
     {"NMBR=05321234567", "RING", "RING"}},
    {"private and unavailable",
     "NMBR = P\r\nNMBR = O\r\nNAME = O\r\n",
     {"NMBR=P", "NMBR=O", "NAME=O"}},
    {"an undecoded report", "MESG = 030132\r\n", {"MESG=030132"}},
    {"a 300-byte garbage line is dropped whole",
     kGarbage300 + "\r\nNMBR = 0532\r\n",
     {"NMBR=0532"}},
    {"a line of exactly the limit is read",
     "NMBR = " + std::string(249, '5') + "\r\n",
     {"NMBR=" + std::string(249, '5')}},
    {"one byte over the limit is dropped, control bytes counted",
     "NMBR = " + std::string(248, '5') + "\x01\x02\r\nRING\r\n",
     {"RING"}},
    {"echo on, verbose results",
     "ATZ\r\r\nOK\r\nAT+VCID=1\r\r\nERROR\r\n",
     {"other:ATZ", "OK", "other:AT+VCID=1", "ERROR"}},
    {"echo off, numeric results", "0\r4\r2\r", {"OK", "ERROR", "RING"}},
    {"echo on, numeric results",
     "ATZ\r0\rAT#CID=1\r0\r",
     {"other:ATZ", "OK", "other:AT#CID=1", "OK"}},
    {"CR alone and LF alone end lines",
     "RING\rNMBR = 1\nNAME = A\n\r",
     {"RING", "NMBR=1", "NAME=A"}},
    {"tags, results and RING regardless of case",
     "ring\r\nNmbr = 1\r\nname=a b\r\nOk\r\nerror\r\n",
     {"RING", "NMBR=1", "NAME=a b", "OK", "ERROR"}},
    {"tabs and blanks around the tag and the value",
     "  NMBR\t=\t0532 123 \r\n",
     {"NMBR=0532 123"}},
    {"control characters are removed, text from 0xA0 kept",
     "NM\0BR = 05\x07"
     "32\x7F\r\nNAME = \xDE\x85"
     "EN\xC7\x9F\r\n"s,
     {"NMBR=0532",
      "NAME=\xDE"
      "EN\xC7"}},
    {"distinctive rings, not the answers to dialling",
     "RING1\r\nRING A\r\nRINGING\r\nRINGBACK\r\n",
     {"RING", "RING", "other:RINGING", "other:RINGBACK"}},
    {"DDN_NMBR is the number", "DDN_NMBR= 2125551234\r\n", {"NMBR=2125551234"}},
    {"an empty value", "NMBR =\r\n", {"NMBR="}},
    {"unknown tags and result codes are other lines",
     "CALLER = 1\r\nNO CARRIER\r\n3\r\nNMBR 0532\r\n",
     {"other:CALLER = 1", "other:NO CARRIER", "other:3", "other:NMBR 0532"}},
    {"a line of control characters only says nothing", "\x01\x02\r\n\r\n", {}},
};

TEST(ModemReportParser, Formats) {
  for (const ReportCase& c : kReportCases) {
    EXPECT_EQ(ParseWhole(c.stream), c.events) << c.name;
  }
}

// Every report split at every byte, and a byte at a time: the same events.
TEST(ModemReportParser, ChunkingChangesNothing) {
  for (const ReportCase& c : kReportCases) {
    for (size_t split = 0; split <= c.stream.size(); ++split) {
      ModemReportParser parser;
      std::vector<ModemEvent> events = parser.Feed(c.stream.substr(0, split));
      for (ModemEvent& event : parser.Feed(c.stream.substr(split))) {
        events.push_back(std::move(event));
      }
      EXPECT_EQ(Describe(events), c.events) << c.name << ", split at " << split;
    }
    ModemReportParser parser;
    std::vector<ModemEvent> events;
    for (char byte : c.stream) {
      for (ModemEvent& event : parser.Feed(std::string(1, byte))) {
        events.push_back(std::move(event));
      }
    }
    EXPECT_EQ(Describe(events), c.events) << c.name << ", byte by byte";
  }
}

TEST(ModemReportParser, ALineThatNeverEndsHoldsNoMoreThanTheLimit) {
  ModemReportParser parser;
  for (int i = 0; i < 1000; ++i) {
    EXPECT_THAT(parser.Feed(std::string(100, 'x')), IsEmpty());
    ASSERT_LE(parser.PartialLine().size(), ModemReportParser::kLineLimit);
  }
  EXPECT_THAT(Describe(parser.Feed("\r\nRING\r\n")), ElementsAre("RING"));
}

TEST(ModemReportParser, ResetForgetsAPartialLine) {
  ModemReportParser parser;
  EXPECT_THAT(parser.Feed("NMBR = 05"), IsEmpty());
  parser.Reset();
  EXPECT_THAT(Describe(parser.Feed("32\r\nRING\r\n")),
              ElementsAre("other:32", "RING"));
}

}  // namespace
}  // namespace orvanta
