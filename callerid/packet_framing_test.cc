#include "callerid/packet_framing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "base/text.h"

namespace orvanta {
namespace {

using ::testing::ElementsAreArray;

struct MarkerCase {
  std::u16string text;
  std::string decoded;
};

TEST(DecodeMarker, EscapesAreReplacedLargestCodeFirst) {
  const MarkerCase cases[] = {
      {u"#13#10", "\r\n"},
      {u"#65#66", "AB"},
      {u"#256",
       "\x19"
       "6"},
      {u"#1300", ToAnsi(u"\u0082") + "0"},
      {u"#013", std::string(1, '\0') + "13"},
      {u"#351", "\x01"},
      {u"#2#55", "\x1b"},
      {u"#", "#"},
      {u"#A#", "#A#"},
      {u"S", "S"},
      {u"", ""},
      {u"CID#32", "CID "},
      {u"#128", ToAnsi(u"\u0080")},
      {u"#199", "\xC7"},  // Ç, the same byte in the code page
      {u"Ş#0", "\xDE" + std::string(1, '\0')},
  };
  for (const MarkerCase& c : cases) {
    EXPECT_EQ(DecodeMarker(c.text), c.decoded) << Utf16ToUtf8(c.text);
  }
}

TEST(DecodeMarker, CharactersTheCodePageCannotHoldAreConverted) {
  EXPECT_EQ(DecodeMarker(u"ж#69"), ToAnsi(u"ж") + "E");
}

struct FramingCase {
  const char* name;
  std::string start, end;
  std::vector<std::string> chunks;  // one Feed each
  std::vector<std::string> bodies;  // everything the feeds returned, in order
  std::string left;                 // the buffer at the end
  bool open;                        // a packet is open at the end
};

TEST(PacketFraming, Cases) {
  const std::string kb(1000, '-');
  const FramingCase cases[] = {
      {"one packet over two chunks",
       "S",
       "E",
       {"xxS12", "345E"},
       {"12345"},
       "",
       false},
      {"an open packet waits", "S", "E", {"xxS12"}, {}, "12", true},
      {"no start text: from the start of the buffer",
       "",
       "E",
       {"ab1E", "xy2E"},
       {"ab1", "xy2"},
       "",
       false},
      {"end text without start text", "S", "E", {"123E"}, {"123"}, "", false},
      {"start text after an end text",
       "S",
       "E",
       {"12E34S56E"},
       {"56"},
       "",
       false},
      {"start text inside one chunk stays in the body",
       "S",
       "E",
       {"S12S45E"},
       {"12S45"},
       "",
       false},
      {"start text right before end text", "S", "E", {"SE"}, {""}, "", false},
      {"two packets in one chunk, both at once",
       "S",
       "E",
       {"S1ES2E"},
       {"1", "2"},
       "",
       false},
      {"three packets and a partial one",
       "S",
       "E",
       {"S1ES2ES3ES4"},
       {"1", "2", "3"},
       "4",
       true},
      {"no end text: nothing, each chunk cuts to its first start text",
       "S",
       "",
       {"S1ES2E", "xS3"},
       {},
       "2ExS3",
       true},
      {"multi-byte markers",
       "\r\n",
       "\x03",
       {"x\r\n5551\x03"},
       {"5551"},
       "",
       false},
      // A packet opened by an earlier chunk.
      {"its end text closes it before the next start text",
       "S",
       "E",
       {"S12", "3ES45E"},
       {"123", "45"},
       "",
       false},
      {"a start text first discards it",
       "S",
       "E",
       {"S12", "3S45E"},
       {"45"},
       "",
       false},
      {"the next packet stays open",
       "S",
       "E",
       {"S12", "3ES4"},
       {"123"},
       "4",
       true},
      {"markers split across chunks",
       "<<",
       ">>",
       {"<<12>", ">", "<", "<3>>"},
       {"12", "3"},
       "",
       false},
      {"it stays open over many chunks",
       "S",
       "E",
       {"S1", "2", "3", "E"},
       {"123"},
       "",
       false},
      {"an end text in the same place as the start text closes it",
       "|",
       "|",
       {"|12", "3|"},
       {"123"},
       "",
       false},
      // The buffer limit, after the packets of the chunk are taken.
      {"exactly the limit stays",
       "S",
       "",
       {kb, std::string(24, 'y')},
       {},
       kb + std::string(24, 'y'),
       false},
      {"one byte over empties it",
       "S",
       "",
       {kb, std::string(25, 'y')},
       {},
       "",
       false},
      {"a long open body is dropped with the buffer",
       "S",
       "E",
       {"S" + kb, std::string(25, 'y'), "7E"},
       {"7"},
       "",
       false},
      {"a packet in a long chunk comes out first",
       "S",
       "E",
       {"S123E" + kb + kb},
       {"123"},
       "",
       false},
      {"what follows the packet is kept under the limit",
       "S",
       "E",
       {kb + "S9E" + std::string(30, '-')},
       {"9"},
       std::string(30, '-'),
       false},
  };
  for (const FramingCase& c : cases) {
    SCOPED_TRACE(c.name);
    PacketFraming framing;
    framing.SetMarkers(c.start, c.end);
    std::vector<std::string> bodies;
    for (const std::string& chunk : c.chunks) {
      for (std::string& body : framing.Feed(chunk))
        bodies.push_back(std::move(body));
    }
    EXPECT_THAT(bodies, ElementsAreArray(c.bodies));
    EXPECT_EQ(framing.Buffer(), c.left);
    EXPECT_EQ(framing.PacketOpen(), c.open);
  }
}

TEST(PacketFraming, NewMarkersKeepTheBuffer) {
  PacketFraming framing;
  framing.SetMarkers("S", "E");
  framing.Feed("S12");
  framing.SetMarkers("S", "E");  // a restart of the source
  EXPECT_THAT(framing.Feed("3E"), ElementsAreArray({"123"}));
}

// Whatever the chunking, every packet comes out once and in order.
TEST(PacketFraming, BurstInRandomChunksLosesNothing) {
  std::string stream;
  std::vector<std::string> sent;
  for (int n = 0; n < 10000; ++n) {
    sent.push_back(std::to_string(n));
    stream += "S" + sent.back() + "E";
  }
  std::mt19937 random(20261210);
  std::uniform_int_distribution<size_t> size(1, 64);
  PacketFraming framing;
  framing.SetMarkers("S", "E");
  std::vector<std::string> bodies;
  for (size_t at = 0; at < stream.size();) {
    const size_t take = std::min(size(random), stream.size() - at);
    for (std::string& body :
         framing.Feed(std::string_view(stream).substr(at, take))) {
      bodies.push_back(std::move(body));
    }
    at += take;
  }
  EXPECT_EQ(bodies, sent);
  EXPECT_EQ(framing.Buffer(), "");
}

struct CutCase {
  int32_t start, length;
  std::string body;
  std::string number;
};

TEST(CutNumber, PositionLengthAndTrim) {
  const CutCase cases[] = {
      {3, 15, "XX5551234", "5551234"},
      {1, 0, "  0532 123 45 67\r", "0532 123 45 67"},
      {1, 4, "12345", "1234"},
      {0, 2, "12345", "12"},
      {-7, 2, "12345", "12"},
      {5, 1, "12345", "5"},
      {6, 1, "12345", ""},
      {2, -1, "12345", ""},
      {4, 100, "12345", "45"},
      {4, 0, "12345", "45"},
      {1, 0, "", ""},
      {2, 3, "1 \t 5", ""},
      {1, 0, "\x01\x1f 7\x7f ", "7\x7f"},
      {1, 0, std::string("\0 8\r\n9 ", 7), "8\r\n9"},  // the inside stays here
      {INT32_MAX, INT32_MAX, "12345", ""},
  };
  for (const CutCase& c : cases) {
    EXPECT_EQ(CutNumber(c.body, c.start, c.length), c.number)
        << c.body << " " << c.start << " " << c.length;
  }
}

// A packet of a multi-line device: the line "01", then the number.
TEST(CutLine, PositionLengthAndTheSingleLineDefault) {
  const CutCase cases[] = {
      {0, 0, "01 05321234567", "0"},  // the defaults: as every device today
      {0, 2, "01 05321234567", "0"},
      {-1, 2, "01 05321234567", "0"},
      {1, 2, "01 05321234567", "01"},
      {1, 3, "01 05321234567", "01"},
      {2, 1, "01 05321234567", "1"},
      {1, 0, " 3\r", "3"},
      {20, 2, "01 05321234567", "0"},  // beyond the body
      {1, -1, "01 05321234567", "0"},
      {1, 2, "  05321234567", "0"},  // nothing but blanks there
  };
  for (const CutCase& c : cases) {
    EXPECT_EQ(CutLine(c.body, c.start, c.length), c.number)
        << c.body << " " << c.start << " " << c.length;
  }
}

}  // namespace
}  // namespace orvanta
