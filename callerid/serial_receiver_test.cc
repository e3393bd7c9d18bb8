#include "callerid/serial_receiver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/failure.h"
#include "base/text.h"
#include "base/ui_handover.h"
#include "serial/serial_port.h"
#include "serial/test/fake_com_device.h"
#include "settings/storage.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SerialReceiverTest : public ::testing::Test {
 protected:
  SerialReceiverTest()
      : line(std::make_shared<FakeComLine>()),
        port(ui, std::make_unique<FakeComDevice>(line)),
        receiver(store, [this](const std::u16string& number,
                               const std::u16string& line_text) {
          calls.push_back(Utf16ToUtf8(line_text) + ":" + Utf16ToUtf8(number));
          if (fail_number == number) throw Failure(u"refused " + number);
        }) {
    AddSettingsCatalogue(store);
    receiver.Framing().SetMarkers("S", "E");
  }

  // One receive notification for `bytes`.
  void Chunk(const std::string& bytes) {
    line->Queue(bytes);
    receiver.ComPortCallerIDRxChar(port, static_cast<int>(bytes.size()));
  }

  void Position(int32_t start, int32_t length) {
    store.WriteValue(kCallerIdNoBaslama, start);
    store.WriteValue(kCallerIdNoUzunluk, length);
  }

  UiHandover ui;
  std::shared_ptr<FakeComLine> line;
  SerialPort port;
  SettingsStore store;
  std::vector<std::string> calls;  // "line:number"
  std::u16string fail_number = u"-";
  SerialReceiver receiver;
};

TEST_F(SerialReceiverTest, EachPacketIsCutWithTheStoredPositionOfThatMoment) {
  Chunk("xxS12");
  Chunk("345E");  // default position 3, length 15
  Position(2, 2);
  Chunk("S1234ES 56 \rE");
  EXPECT_THAT(calls, ElementsAre("0:345", "0:23", "0:56"));
}

TEST_F(SerialReceiverTest, NumberIsConvertedThroughTheCodePage) {
  Position(1, 0);
  Chunk(
      "S05\xD0"
      "1E");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], "0:05" + Utf16ToUtf8(FromAnsi("\xD0")) + "1");
}

// The first failure leaves the handler only after every packet of the chunk
// had its turn, so one refused datagram holds back no other call.
TEST_F(SerialReceiverTest, AFailingCallHoldsBackNoOtherPacket) {
  Position(1, 0);
  fail_number = u"111";
  try {
    Chunk("S111ES222ES333E");
    FAIL() << "the failure was swallowed";
  } catch (const Failure& f) {
    EXPECT_EQ(f.message(), u"refused 111");
  }
  EXPECT_THAT(calls, ElementsAre("0:111", "0:222", "0:333"));
  EXPECT_EQ(receiver.Framing().Buffer(), "");
}

class RecordingSink : public ChunkSink {
 public:
  void ShowChunk(const std::string& chunk) override { chunks.push_back(chunk); }
  std::vector<std::string> chunks;
};

TEST_F(SerialReceiverTest, WhileTheTestWindowExistsChunksGoThereOnly) {
  Chunk("S98");
  RecordingSink sink;
  receiver.SetTestSink(&sink);
  EXPECT_TRUE(receiver.HasTestSink());
  Chunk("S12");
  Chunk(std::string(2000, '3') + "E");
  EXPECT_THAT(sink.chunks, ElementsAre("S12", std::string(2000, '3') + "E"));
  EXPECT_EQ(receiver.Framing().Buffer(), "98");
  EXPECT_THAT(calls, IsEmpty());
  EXPECT_EQ(line->CountOf("Read"), 3);  // the bytes were taken from the port

  receiver.SetTestSink(nullptr);
  Chunk("76E");
  EXPECT_THAT(calls, ElementsAre("0:76"));  // 9876 from position 3
}

}  // namespace
}  // namespace orvanta
