#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/text.h"
#include "base/ui_handover.h"
#include "callerid/test/broadcast_announcer.h"
#include "base/test/recorders.h"
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

class DatagramDestinationTest : public testing::Test {
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
  RecordingProgramLog log_;
  RecordingUserNotice notice_;
  BroadcastAnnouncer announcer_{channel_, log_};
};

TEST_F(DatagramDestinationTest, LogsTheCallThenBroadcastsIt) {
  struct Case {
    std::u16string number;
    std::u16string line;
    std::string datagram;
  } cases[] = {
      {u"555 55 55", u"0", "HAT=0\r\nNUMARA=555 55 55"},  // 23 bytes
      {u"", u"0", "HAT=0\r\nNUMARA="},                    // 14 bytes
      {u"", u"", "HAT=\r\nNUMARA="},
      {u"0212 Ç5", u"Hat-İ", "HAT=Hat-?\r\nNUMARA=0212 ?5"},
      {u"\U0001F4DE 1", u"2", "HAT=2\r\nNUMARA=?? 1"},
  };
  channel_.SetActive(true);
  for (const Case& c : cases) {
    log_.lines.clear();
    announcer_.AnnounceCall(c.number, c.line);
    // The log shows the texts as given, whatever the datagram made of them.
    EXPECT_EQ(log_.lines,
              std::vector<std::u16string>{u"Kanal No : " + c.line +
                                          u"   Caller ID : " + c.number});
    EXPECT_EQ(NextDatagram(), c.datagram);
  }
}

// Line noise inside a text must not add lines to the datagram; the ends
// are the source's business (the serial source trims them).
TEST_F(DatagramDestinationTest, ControlCharactersAreTakenOutOfNumberAndLine) {
  struct Case {
    std::u16string number;
    std::u16string line;
    std::u16string logged;
    std::string datagram;
  } cases[] = {
      {u"0532\r\n123", u"0", u"Kanal No : 0   Caller ID : 0532123",
       "HAT=0\r\nNUMARA=0532123"},
      {std::u16string(u"55\0"
                      u"5 \t1\x1f",
                      8),
       u"1\r\nX=2", u"Kanal No : 1X=2   Caller ID : 555 1",
       "HAT=1X=2\r\nNUMARA=555 1"},
      {u" 5\x7f ", u"\x01", u"Kanal No :    Caller ID :  5\x7f ",
       "HAT=\r\nNUMARA= 5\x7f "},
  };
  channel_.SetActive(true);
  for (const Case& c : cases) {
    log_.lines.clear();
    announcer_.AnnounceCall(c.number, c.line);
    EXPECT_EQ(log_.lines, std::vector<std::u16string>{c.logged});
    EXPECT_EQ(NextDatagram(), c.datagram);
  }
}

// The receivers key on the number: a call that has none sends nothing.
TEST_F(DatagramDestinationTest, ACallWithoutANumberSendsNoDatagram) {
  channel_.SetActive(true);
  for (MissingNumber why : {MissingNumber::kPrivate, MissingNumber::kUnavailable}) {
    Call call;
    call.missing = why;
    announcer_.announcer().Announce(call);
  }
  announcer_.AnnounceCall(u"111", u"0");
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=111");
}

TEST_F(DatagramDestinationTest, LogLineComesBeforeTheSend) {
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

TEST_F(DatagramDestinationTest, FailedSendRaisesAndLeavesItsLogLine) {
  channel_.SetActive(true);
  recorder_.FailNext(SocketCall::kSend, SocketFault::kNetworkUnreachable);
  try {
    announcer_.AnnounceCall(u"555 55 55", u"0");
    FAIL() << "no failure raised";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.message(),
              u"Socket Error # 10051\r\nNetwork is unreachable.");
  }
  EXPECT_EQ(log_.lines, std::vector<std::u16string>{
                            u"Kanal No : 0   Caller ID : 555 55 55"});
}

// The network during an outage, on a clock the test moves.
class OutageTest : public DatagramDestinationTest {
 protected:
  OutageTest() {
    channel_.SetActive(true);
    recorder_.FailEvery(SocketCall::kSend, SocketFault::kNetworkUnreachable);
  }

  // AnnounceCall's failure text, or "" when it raised none.
  std::string Announce(const std::u16string& number) {
    try {
      announcer_.AnnounceCall(number, u"0");
    } catch (const Failure& failure) {
      return Utf16ToUtf8(failure.message());
    }
    return "";
  }

  DeliveryRetry::Clock::time_point now_{};
  BroadcastAnnouncer announcer_{channel_, log_,
                       DeliveryRetry{.now = [this] { return now_; }}};
};

TEST_F(OutageTest, RefusedCallsWaitAndGoOutInOrderOnceTheNetworkIsBack) {
  EXPECT_EQ(Announce(u"111"),
            "Socket Error # 10051\r\nNetwork is unreachable.");
  now_ += std::chrono::seconds(10);
  EXPECT_EQ(Announce(u"222"), "");  // the outage was reported once
  announcer_.RetryWaiting();
  EXPECT_EQ(announcer_.WaitingCalls(), 2u);

  recorder_.StopFailing();
  now_ += std::chrono::seconds(20);  // 111 is exactly 30 s old: still wanted
  announcer_.RetryWaiting();
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=111");
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=222");
  EXPECT_EQ(announcer_.WaitingCalls(), 0u);
  EXPECT_EQ(
      log_.lines,
      (std::vector<std::u16string>{
          u"Kanal No : 0   Caller ID : 111", u"Kanal No : 0   Caller ID : 222",
          u"Ağa gönderim yeniden başladı. 2 bekleyen arama gönderildi."}));

  // A new outage is a new report.
  recorder_.FailEvery(SocketCall::kSend, SocketFault::kNetworkDown);
  EXPECT_EQ(Announce(u"333"), "Socket Error # 10050\r\nNetwork is down.");
}

TEST_F(OutageTest, CallsOlderThanThirtySecondsAreDropped) {
  Announce(u"111");
  now_ += std::chrono::seconds(10);
  Announce(u"222");
  now_ += std::chrono::seconds(21);
  recorder_.StopFailing();
  EXPECT_EQ(Announce(u"333"), "");
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=222");
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=333");
  EXPECT_EQ(
      std::vector<std::u16string>(log_.lines.begin() + 3, log_.lines.end()),
      (std::vector<std::u16string>{
          u"1 arama ağa ulaşılamadığı için gönderilemedi.",
          u"Ağa gönderim yeniden başladı. 1 bekleyen arama gönderildi."}));

  // Calls that all expire while the network stays down do not end the outage.
  recorder_.FailEvery(SocketCall::kSend, SocketFault::kNetworkDown);
  EXPECT_NE(Announce(u"444"), "");
  now_ += std::chrono::seconds(31);
  announcer_.RetryWaiting();
  EXPECT_EQ(announcer_.WaitingCalls(), 0u);
  EXPECT_EQ(log_.lines.back(),
            u"1 arama ağa ulaşılamadığı için gönderilemedi.");
  EXPECT_EQ(Announce(u"555"), "");
}

// Only a network that cannot take datagrams now is waited for; any other
// refusal is reported at every call and the call is not kept.
TEST_F(OutageTest, WhichRefusalsAreAnOutage) {
  const struct {
    SocketFault fault;
    bool outage;
  } cases[] = {
      {SocketFault::kNetworkDown, true},
      {SocketFault::kNetworkUnreachable, true},
      {SocketFault::kHostUnreachable, true},
      {SocketFault::kNoBufferSpace, true},
      {SocketFault::kNotPermitted, false},
      {SocketFault::kAccessDenied, false},
      {SocketFault::kMessageTooLong, false},
      {SocketFault::kPartialSend, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.fault));
    recorder_.FailEvery(SocketCall::kSend, c.fault);
    EXPECT_NE(Announce(u"1"), "");
    EXPECT_EQ(Announce(u"2") == "", c.outage);
    EXPECT_EQ(announcer_.WaitingCalls(), c.outage ? 2u : 0u);
    recorder_.StopFailing();
    announcer_.RetryWaiting();
    EXPECT_EQ(announcer_.WaitingCalls(), 0u);
  }
}

TEST_F(OutageTest, SwitchingAnnouncementsOffForgetsTheWaitingCalls) {
  Announce(u"111");
  channel_.SetActive(false);
  recorder_.StopFailing();
  announcer_.RetryWaiting();
  channel_.SetActive(true);
  Announce(u"222");
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=222");
}

// The retry runs by itself on the UI thread while calls wait, and stops
// once none is left.
TEST_F(DatagramDestinationTest, WaitingCallsAreRetriedInTheBackground) {
  UiHandover ui;
  BroadcastAnnouncer announcer(
      channel_, log_,
      DeliveryRetry{.ui = &ui, .period = std::chrono::milliseconds(5)});
  channel_.SetActive(true);
  recorder_.FailEvery(SocketCall::kSend, SocketFault::kNetworkUnreachable);
  EXPECT_THROW(announcer.AnnounceCall(u"111", u"0"), SocketFailure);
  EXPECT_TRUE(announcer.RetryScheduled());
  recorder_.StopFailing();
  ui.ServeUntil([&] { return !announcer.RetryScheduled(); });
  EXPECT_EQ(announcer.WaitingCalls(), 0u);
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=111");
}

TEST_F(DatagramDestinationTest, ClosedChannelMakesNoLineNoDatagramNoBox) {
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

TEST_F(DatagramDestinationTest, TestButtonSendsTheFixedDatagramAndConfirms) {
  channel_.SetActive(true);
  announcer_.SendTestDatagram(notice_);
  EXPECT_EQ(NextDatagram(), "HAT=01\r\nNUMARA=555 55 55");
  EXPECT_EQ(notice_.infos, std::vector<std::u16string>{
                               u"Ağda bulunan Caller Id destekli VELMORIS "
                               u"programlarına mesaj gönderildi."});
  EXPECT_TRUE(log_.lines.empty());
}

TEST_F(DatagramDestinationTest, TestButtonUsesThePortTheChannelWasGiven) {
  channel_.SetActive(true);
  UdpListener other;
  channel_.SetPort(other.port());
  announcer_.SendTestDatagram(notice_);
  const std::optional<ReceivedDatagram> got = other.Receive();
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->bytes, "HAT=01\r\nNUMARA=555 55 55");
}

TEST_F(DatagramDestinationTest, FailedTestSendRaisesWithoutConfirmation) {
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
TEST_F(DatagramDestinationTest, ChannelThatFailedToOpenAnnouncesNothing) {
  recorder_.FailNext(SocketCall::kBroadcast, SocketFault::kNotPermitted);
  EXPECT_THROW(channel_.SetActive(true), Failure);
  recorder_.ClearCalls();
  announcer_.AnnounceCall(u"555 55 55", u"0");
  EXPECT_TRUE(log_.lines.empty());
  EXPECT_FALSE(HasSend(recorder_.calls()));
}

}  // namespace
}  // namespace orvanta
