// Packet framing, with the real store and announcer; announcements are
// seen in the log memo, so the UDP channel is open (private test network).

#include "serial/framing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/text.h"
#include "base/ui_handover.h"
#include "notify/announcer.h"
#include "notify/test/recorders.h"
#include "notify/test/socket_call_recorder.h"
#include "notify/udp_channel.h"
#include "serial/com_port.h"
#include "serial/test/fake_com_device.h"
#include "settings/storage.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

struct MarkerCase {
  std::u16string text;
  std::string decoded;
};

TEST(DecodeMarker, EscapesAreReplacedLargestCodeFirst) {
  const MarkerCase cases[] = {
      {u"#13#10", "\r\n"},
      {u"#65#66", "AB"},
      {u"#256", "\x19"
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

class FramingTest : public ::testing::Test {
 protected:
  FramingTest()
      : line(std::make_shared<FakeComLine>()),
        port(ui, std::make_unique<FakeComDevice>(line)),
        announcer(channel, log),
        framing(store, announcer) {
    AddSettingsCatalogue(store);
    channel.SetPort(18900);
    channel.SetActive(true);
    framing.StartMarker = DecodeMarker(store.ReadValue(kCallerIdBaslamaString));
    framing.EndMarker = DecodeMarker(store.ReadValue(kCallerIdBitisString));
  }

  // One receive notification for `bytes`.
  void Chunk(const std::string& bytes) {
    line->Queue(bytes);
    framing.ComPortCallerIDRxChar(port, static_cast<int>(bytes.size()));
  }

  // The numbers announced so far, from the log lines.
  std::vector<std::string> Numbers() {
    std::vector<std::string> numbers;
    const std::u16string prefix = u"Kanal No : 0   Caller ID : ";
    for (const std::u16string& entry : log.lines) {
      EXPECT_EQ(entry.substr(0, prefix.size()), prefix);
      numbers.push_back(Utf16ToUtf8(entry.substr(prefix.size())));
    }
    return numbers;
  }

  void Position(int32_t start, int32_t length) {
    store.WriteValue(kCallerIdNoBaslama, start);
    store.WriteValue(kCallerIdNoUzunluk, length);
  }

  UiHandover ui;
  std::shared_ptr<FakeComLine> line;
  TComPort port;
  TVmStorage store;
  UdpChannel channel;
  RecordingCallLog log;
  Announcer announcer;
  SerialFraming framing;
};

TEST_F(FramingTest, OnePacketOverTwoChunks) {
  Chunk("xxS12");
  EXPECT_EQ(framing.RxBuffer, "12");
  EXPECT_THAT(Numbers(), IsEmpty());
  Chunk("345E");
  EXPECT_THAT(Numbers(), ElementsAre("345"));
  EXPECT_EQ(framing.RxBuffer, "");
}

struct PacketCase {
  const char* name;
  std::string start, end;
  std::vector<std::string> chunks;
  std::vector<std::string> numbers;
  std::string left;  // RxBuffer at the end
};

TEST_F(FramingTest, PacketBoundaries) {
  Position(1, 0);
  const PacketCase cases[] = {
      {"no start text: from the start of the buffer", "", "E", {"ab1E", "xy2E"},
       {"ab1", "xy2"}, ""},
      {"end text without start text", "S", "E", {"123E"}, {"123"}, ""},
      {"start text after an end text", "S", "E", {"12E34S56E"}, {"56"}, ""},
      {"later start text discards the partial body", "S", "E", {"S12", "3S45E"}, {"45"},
       ""},
      {"start text inside one chunk stays in the body", "S", "E", {"S12S45E"}, {"12S45"},
       ""},
      {"start text right before end text", "S", "E", {"SE"}, {""}, ""},
      {"two packets in one chunk, both at once", "S", "E", {"S1ES2E"}, {"1", "2"}, ""},
      {"second packet completed by a later chunk", "S", "E", {"S1ES2", "E"}, {"1", "2"},
       ""},
      {"three packets and a partial one", "S", "E", {"S1ES2ES3ES4"}, {"1", "2", "3"}, "4"},
      {"no end text: nothing", "S", "", {"S1ES2E"}, {}, "1ES2E"},
      {"multi-byte markers", "\r\n", "\x03", {"x\r\n5551\x03"}, {"5551"}, ""},
  };
  for (const PacketCase& c : cases) {
    SCOPED_TRACE(c.name);
    log.lines.clear();
    framing.RxBuffer.clear();
    framing.StartMarker = c.start;
    framing.EndMarker = c.end;
    for (const std::string& chunk : c.chunks) Chunk(chunk);
    EXPECT_THAT(Numbers(), ElementsAreArray(c.numbers));
    EXPECT_EQ(framing.RxBuffer, c.left);
  }
}

struct CutCase {
  int32_t start, length;
  std::string body;
  std::string number;
};

TEST_F(FramingTest, NumberCutAndTrim) {
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
      {2, 3, "1 \t 5", ""},
      {1, 0, "\x01\x1f 7\x7f ", "7\x7f"},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(c.body);
    log.lines.clear();
    Position(c.start, c.length);
    Chunk("S" + c.body + "E");
    EXPECT_THAT(Numbers(), ElementsAre(c.number));
  }
}

TEST_F(FramingTest, PositionAndLengthAreReadAtEveryPacket) {
  Chunk("S1234E");
  Position(2, 2);
  Chunk("S1234E");
  EXPECT_THAT(Numbers(), ElementsAre("34", "23"));
}

TEST_F(FramingTest, NumberIsConvertedThroughTheCodePage) {
  Position(1, 0);
  Chunk("S05\xD0" "1E");
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0], u"Kanal No : 0   Caller ID : 05" + FromAnsi("\xD0") + u"1");
}

TEST_F(FramingTest, BufferIsEmptiedAboveItsLimit) {
  framing.EndMarker = "";  // nothing is ever taken
  Chunk(std::string(1000, 'x'));
  Chunk(std::string(24, 'y'));
  EXPECT_EQ(framing.RxBuffer.size(), 1024u);  // exactly the limit stays
  Chunk("z");
  EXPECT_EQ(framing.RxBuffer, "");
  Chunk(std::string(1025, 'x'));
  EXPECT_EQ(framing.RxBuffer, "");
}

TEST_F(FramingTest, PacketInALongChunkIsAnnouncedBeforeTheLimitApplies) {
  Position(1, 0);
  Chunk("S123E" + std::string(1030, '-'));
  EXPECT_THAT(Numbers(), ElementsAre("123"));
  EXPECT_EQ(framing.RxBuffer, "");
  Chunk(std::string(1000, '-') + "S9E" + std::string(30, '-'));
  EXPECT_THAT(Numbers(), ElementsAre("123", "9"));
  EXPECT_EQ(framing.RxBuffer.size(), 30u);
}

class RecordingSink : public ChunkSink {
 public:
  void ShowChunk(const std::string& chunk) override { chunks.push_back(chunk); }
  std::vector<std::string> chunks;
};

TEST_F(FramingTest, WhileTheTestWindowExistsChunksGoThereOnly) {
  Chunk("S98");
  RecordingSink sink;
  framing.SetTestSink(&sink);
  EXPECT_TRUE(framing.HasTestSink());
  Chunk("S12");
  Chunk(std::string(2000, '3') + "E");
  EXPECT_THAT(sink.chunks, ElementsAre("S12", std::string(2000, '3') + "E"));
  EXPECT_EQ(framing.RxBuffer, "98");
  EXPECT_THAT(Numbers(), IsEmpty());
  EXPECT_EQ(line->CountOf("Read"), 3);  // the bytes were taken from the port

  framing.SetTestSink(nullptr);
  Chunk("76E");
  EXPECT_THAT(Numbers(), ElementsAre("76"));  // 9876 from position 3
}

TEST_F(FramingTest, InactiveChannelAnnouncesNothingButConsumesThePacket) {
  channel.SetActive(false);
  Chunk("S12345E");
  EXPECT_THAT(log.lines, IsEmpty());
  EXPECT_EQ(framing.RxBuffer, "");
}

TEST_F(FramingTest, FailedSendLeavesTheHandlerAndLaterPacketsGetThrough) {
  SocketCallRecorder sockets;
  Position(1, 0);
  sockets.FailNext(SocketCall::kSend, SocketFault::kNetworkUnreachable);
  try {
    Chunk("S1ES2E");
    FAIL() << "the send failure was swallowed";
  } catch (const Failure& f) {
    EXPECT_EQ(f.message().substr(0, 20), u"Socket Error # 10051");
  }
  // The failed call was logged and taken out; the next one waits.
  EXPECT_THAT(Numbers(), ElementsAre("1"));
  EXPECT_EQ(framing.RxBuffer, "S2E");
  Chunk("S3E");
  EXPECT_THAT(Numbers(), ElementsAre("1", "2", "3"));
}

}  // namespace
}  // namespace orvanta
