#include "callerid/framed_serial_source.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/failure.h"
#include "base/text.h"
#include "callerid/serial_connection.h"
#include "callerid/test/engine_fakes.h"
#include "settings/storage.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FramedSerialSourceTest : public ::testing::Test {
 protected:
  FramedSerialSourceTest() {
    AddSettingsCatalogue(store);
    store.WriteValue(kCallerIdBaslamaString, u"S");
    store.WriteValue(kCallerIdBitisString, u"E");
    source.Start({});
  }

  // "line:number" of every call announced.
  std::vector<std::string> Calls() const {
    std::vector<std::string> calls;
    for (const Call& call : sink.calls) {
      calls.push_back(Utf16ToUtf8(call.line) + ":" + Utf16ToUtf8(call.number));
    }
    return calls;
  }

  void Position(int32_t start, int32_t length) {
    store.WriteValue(kCallerIdNoBaslama, start);
    store.WriteValue(kCallerIdNoUzunluk, length);
  }

  Journal journal;
  SettingsStore store;
  FakeSerialLine line{journal};
  FakeRetryTimer retry{journal};
  FakeNotice notice{journal};
  FakeProgramLog log{journal};
  FakeCallSink sink{journal};
  SerialConnection connection{line, retry, notice, log};
  FramedSerialSource source{connection, store, sink, u"C:\\Orvanta\\"};
};

TEST_F(FramedSerialSourceTest, StartsWithTheStoredMarkersAndPortSettings) {
  store.WriteValue(kCallerIdBaslamaString, u"#2NMBR=");
  store.WriteValue(kCallerIdBitisString, u"#3");
  source.Stop();
  journal.clear();
  line.modem_control = true;  // raised by a modem source before
  EXPECT_TRUE(source.Start({}));
  EXPECT_FALSE(line.modem_control);
  EXPECT_THAT(journal,
              ElementsAre("serial load C:\\Orvanta\\calleridcomport.ini",
                          "serial open"));
  EXPECT_EQ(source.Framing().StartMarker(), "\x02NMBR=");
  EXPECT_EQ(source.Framing().EndMarker(), "\x03");
  EXPECT_TRUE(source.Running());
}

TEST_F(FramedSerialSourceTest,
       EachPacketIsCutWithTheStoredPositionOfThatMoment) {
  line.Receive("xxS12");
  line.Receive("345E");  // default position 3, length 15
  Position(2, 2);
  line.Receive("S1234ES 56 \rE");
  EXPECT_THAT(Calls(), ElementsAre("0:345", "0:23", "0:56"));
  EXPECT_EQ(sink.calls[0].origin, CallOrigin::kFramedSerial);
}

// A multi-line box puts the line before the number; the line's place is
// read at every packet like the number's, and a packet too short for it
// still goes out, on line "0".
TEST_F(FramedSerialSourceTest, TheLineIsCutFromThePacketWhenItsPlaceIsSet) {
  Position(4, 0);
  store.WriteValue(kCallerIdHatBaslama, 1);
  store.WriteValue(kCallerIdHatUzunluk, 2);
  line.Receive("S01 05321234567E");
  line.Receive("S 2 5551234E");
  line.Receive("S\r\nE");
  store.WriteValue(kCallerIdHatBaslama, 0);
  line.Receive("S07 5551234E");
  EXPECT_THAT(Calls(),
              ElementsAre("01:05321234567", "2:5551234", "0:", "0:5551234"));
}

TEST_F(FramedSerialSourceTest, NumberIsConvertedThroughTheCodePage) {
  Position(1, 0);
  line.Receive(
      "S05\xD0"
      "1E");
  EXPECT_THAT(Calls(),
              ElementsAre("0:05" + Utf16ToUtf8(FromAnsi("\xD0")) + "1"));
}

// The first failure leaves the handler only after every packet of the chunk
// had its turn, so one refused datagram holds back no other call.
TEST_F(FramedSerialSourceTest, AFailingCallHoldsBackNoOtherPacket) {
  Position(1, 0);
  sink.failure = u"111";
  try {
    line.Receive("S111ES222ES333E");
    FAIL() << "the failure was swallowed";
  } catch (const Failure& f) {
    EXPECT_EQ(f.message(), u"refused 111");
  }
  EXPECT_THAT(Calls(), ElementsAre("0:111", "0:222", "0:333"));
  EXPECT_EQ(source.Framing().Buffer(), "");
}

class RecordingSink : public ChunkSink {
 public:
  void ShowChunk(std::string_view chunk) override {
    chunks.emplace_back(chunk);
  }
  std::vector<std::string> chunks;
};

TEST_F(FramedSerialSourceTest, WhileTheTestWindowExistsChunksGoThereOnly) {
  line.Receive("S98");
  RecordingSink test_window;
  connection.SetTestSink(&test_window);
  EXPECT_TRUE(connection.HasTestSink());
  line.Receive("S12");
  line.Receive(std::string(2000, '3') + "E");
  EXPECT_THAT(test_window.chunks,
              ElementsAre("S12", std::string(2000, '3') + "E"));
  EXPECT_EQ(source.Framing().Buffer(), "98");
  EXPECT_THAT(Calls(), IsEmpty());

  connection.SetTestSink(nullptr);
  line.Receive("76E");
  EXPECT_THAT(Calls(), ElementsAre("0:76"));  // 9876 from position 3
}

}  // namespace
}  // namespace orvanta
