#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "notify/announcer.h"
#include "notify/test/recorders.h"
#include "notify/test/socket_call_recorder.h"
#include "notify/test/udp_listener.h"
#include "notify/udp_channel.h"

namespace orvanta {
namespace {

bool HasSend(const std::vector<std::string>& calls) {
  return std::any_of(calls.begin(), calls.end(), [](const std::string& call) {
    return call.rfind("sendto", 0) == 0;
  });
}

class AnnouncerTest : public testing::Test {
 protected:
  void SetUp() override { channel_.SetPort(listener_.port()); }

  std::string NextDatagram() {
    const std::optional<ReceivedDatagram> got = listener_.Receive();
    if (!got) {
      ADD_FAILURE() << "no datagram arrived";
      return {};
    }
    return got->bytes;
  }

  SocketCallRecorder recorder_;
  UdpListener listener_;
  UdpChannel channel_;
  RecordingCallLog log_;
  RecordingUserNotice notice_;
  Announcer announcer_{channel_, log_};
};

TEST_F(AnnouncerTest, LogsTheCallThenBroadcastsIt) {
  struct Case {
    std::u16string number;
    std::u16string line;
    std::string datagram;
  } cases[] = {
      {u"555 55 55", u"0", "HAT=0\r\nNUMARA=555 55 55"},  // 23 bytes
      {u"", u"0", "HAT=0\r\nNUMARA="},                     // 14 bytes
      {u"", u"", "HAT=\r\nNUMARA="},
      {u"0212 Ç5", u"Hat-İ", "HAT=Hat-?\r\nNUMARA=0212 ?5"},
      {u"\U0001F4DE 1", u"2", "HAT=2\r\nNUMARA=?? 1"},
  };
  channel_.SetActive(true);
  for (const Case& c : cases) {
    log_.lines.clear();
    announcer_.AnnounceCall(c.number, c.line);
    // The log shows the texts as given, whatever the datagram made of them.
    EXPECT_EQ(log_.lines, std::vector<std::u16string>{u"Kanal No : " + c.line +
                                                      u"   Caller ID : " + c.number});
    EXPECT_EQ(NextDatagram(), c.datagram);
  }
}

TEST_F(AnnouncerTest, LogLineComesBeforeTheSend) {
  channel_.SetActive(true);
  std::optional<bool> sent_before_log;
  log_.on_add = [&](const std::u16string&) {
    sent_before_log = HasSend(recorder_.calls());
  };
  announcer_.AnnounceCall(u"555 55 55", u"0");
  ASSERT_TRUE(sent_before_log.has_value());
  EXPECT_FALSE(*sent_before_log);
  EXPECT_TRUE(HasSend(recorder_.calls()));
}

TEST_F(AnnouncerTest, FailedSendRaisesAndLeavesItsLogLine) {
  channel_.SetActive(true);
  recorder_.FailNext(SocketCall::kSend, SocketFault::kNetworkUnreachable);
  try {
    announcer_.AnnounceCall(u"555 55 55", u"0");
    FAIL() << "no failure raised";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.message(),
              u"Socket Error # 10051\r\nNetwork is unreachable.");
  }
  EXPECT_EQ(log_.lines,
            std::vector<std::u16string>{u"Kanal No : 0   Caller ID : 555 55 55"});
}

TEST_F(AnnouncerTest, ClosedChannelMakesNoLineNoDatagramNoBox) {
  channel_.SetActive(true);
  channel_.SetActive(false);
  recorder_.ClearCalls();
  announcer_.AnnounceCall(u"555 55 55", u"0");
  announcer_.SendTestDatagram(notice_);
  EXPECT_TRUE(log_.lines.empty());
  EXPECT_TRUE(notice_.infos.empty());
  EXPECT_TRUE(recorder_.calls().empty());

  // The first datagram the listener gets is the one sent after reopening.
  channel_.SetActive(true);
  channel_.Broadcast(u"marker", channel_.Port());
  EXPECT_EQ(NextDatagram(), "marker");
}

TEST_F(AnnouncerTest, TestButtonSendsTheFixedDatagramAndConfirms) {
  channel_.SetActive(true);
  announcer_.SendTestDatagram(notice_);
  EXPECT_EQ(NextDatagram(), "HAT=01\r\nNUMARA=555 55 55");
  EXPECT_EQ(notice_.infos, std::vector<std::u16string>{
                               u"Ağda bulunan Caller Id destekli VELMORIS "
                               u"programlarına mesaj gönderildi."});
  EXPECT_TRUE(log_.lines.empty());
}

TEST_F(AnnouncerTest, TestButtonUsesThePortTheChannelWasGiven) {
  channel_.SetActive(true);
  UdpListener other;
  channel_.SetPort(other.port());
  announcer_.SendTestDatagram(notice_);
  const std::optional<ReceivedDatagram> got = other.Receive();
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->bytes, "HAT=01\r\nNUMARA=555 55 55");
}

TEST_F(AnnouncerTest, FailedTestSendRaisesWithoutConfirmation) {
  channel_.SetActive(true);
  recorder_.FailNext(SocketCall::kSend, SocketFault::kMessageTooLong);
  try {
    announcer_.SendTestDatagram(notice_);
    FAIL() << "no failure raised";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.message(), u"Package Size Too Big.");
  }
  EXPECT_TRUE(notice_.infos.empty());
  EXPECT_TRUE(log_.lines.empty());
}

// A channel whose opening failed after its socket existed must stay an
// "announcements off" switch: nothing logged, nothing sent.
TEST_F(AnnouncerTest, ChannelThatFailedToOpenAnnouncesNothing) {
  recorder_.FailNext(SocketCall::kBroadcast, SocketFault::kNotPermitted);
  EXPECT_THROW(channel_.SetActive(true), Failure);
  recorder_.ClearCalls();
  announcer_.AnnounceCall(u"555 55 55", u"0");
  EXPECT_TRUE(log_.lines.empty());
  EXPECT_FALSE(HasSend(recorder_.calls()));
}

}  // namespace
}  // namespace orvanta
