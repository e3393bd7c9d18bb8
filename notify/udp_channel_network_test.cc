#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/text.h"
#include "notify/test/socket_call_recorder.h"
#include "notify/test/udp_listener.h"
#include "notify/udp_channel.h"

namespace orvanta {
namespace {

using Calls = std::vector<std::string>;

std::string SendCall(uint16_t port, size_t bytes) {
  return "sendto 255.255.255.255:" + std::to_string(port) + " " +
         std::to_string(bytes);
}

// The failure text of `action`, or "(no failure)".
template <typename Action>
std::u16string FailureOf(Action action) {
  try {
    action();
  } catch (const Failure& failure) {
    return failure.message();
  }
  return u"(no failure)";
}

class UdpChannelTest : public testing::Test {
 protected:
  void SetUp() override { channel_.SetPort(listener_.port()); }

  // The next datagram must be `bytes`: also proves that nothing was sent
  // since the last one received.
  void ExpectNextDatagram(const std::string& bytes) {
    const std::optional<ReceivedDatagram> got = listener_.Receive();
    ASSERT_TRUE(got.has_value()) << "no datagram arrived";
    EXPECT_EQ(got->bytes, bytes);
  }

  SocketCallRecorder recorder_;  // declared first: outlives the channel
  UdpListener listener_;
  UdpChannel channel_;
};

TEST_F(UdpChannelTest, OpensBoundToAnyAddressWithoutReuseAndClosesForSending) {
  channel_.SetActive(true);
  EXPECT_TRUE(channel_.Active());
  EXPECT_NE(channel_.LocalPort(), 0);
  EXPECT_EQ(recorder_.calls(),
            (Calls{"socket", "reuseaddr 0", "bind 0.0.0.0:0", "broadcast 1"}));

  recorder_.ClearCalls();
  channel_.SetActive(false);
  EXPECT_FALSE(channel_.Active());
  EXPECT_EQ(channel_.LocalPort(), 0);
  EXPECT_EQ(recorder_.calls(), (Calls{"shutdown send", "close"}));

  recorder_.ClearCalls();
  channel_.SetActive(false);
  EXPECT_TRUE(recorder_.calls().empty());
}

TEST_F(UdpChannelTest, SecondActivationKeepsTheSocketAndOnlyThePortMoves) {
  channel_.SetActive(true);
  const uint16_t local_port = channel_.LocalPort();
  channel_.Broadcast(u"first", channel_.Port());
  const std::optional<ReceivedDatagram> first = listener_.Receive();
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->source_port, local_port);

  UdpListener other;
  recorder_.ClearCalls();
  channel_.SetPort(other.port());
  channel_.SetActive(true);
  EXPECT_TRUE(recorder_.calls().empty()) << "the socket was touched";
  EXPECT_EQ(channel_.LocalPort(), local_port);

  channel_.Broadcast(u"second", channel_.Port());
  const std::optional<ReceivedDatagram> second = other.Receive();
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->bytes, "second");
  EXPECT_EQ(second->source_port, local_port);
}

TEST_F(UdpChannelTest, ReopeningAfterACloseWorks) {
  channel_.SetActive(true);
  channel_.SetActive(false);
  channel_.SetActive(true);
  channel_.Broadcast(u"again", channel_.Port());
  ExpectNextDatagram("again");
}

TEST_F(UdpChannelTest, BroadcastSwitchesPermissionOnAndBackAroundTheSend) {
  channel_.SetBroadcastEnabled(false);
  channel_.SetActive(true);
  recorder_.ClearCalls();

  // Without the permission the system refuses a broadcast, so the datagram
  // arriving shows it was switched on for the send.
  channel_.Broadcast(u"HAT=0\r\nNUMARA=1", channel_.Port());
  ExpectNextDatagram("HAT=0\r\nNUMARA=1");
  EXPECT_EQ(
      recorder_.calls(),
      (Calls{"broadcast 1", SendCall(listener_.port(), 15), "broadcast 0"}));
}

// With broadcasts enabled the permission already holds: a call is the one
// send, nothing around it.
TEST_F(UdpChannelTest, EnabledPermissionIsNotSetAgainPerCall) {
  channel_.SetActive(true);
  recorder_.ClearCalls();
  channel_.Broadcast(u"HAT=0\r\nNUMARA=1", channel_.Port());
  channel_.Broadcast(u"HAT=0\r\nNUMARA=2", channel_.Port());
  ExpectNextDatagram("HAT=0\r\nNUMARA=1");
  ExpectNextDatagram("HAT=0\r\nNUMARA=2");
  EXPECT_EQ(recorder_.calls(), (Calls{SendCall(listener_.port(), 15),
                                      SendCall(listener_.port(), 15)}));
}

TEST_F(UdpChannelTest, EmptyTextSendsNoDatagram) {
  channel_.SetActive(true);
  recorder_.ClearCalls();
  channel_.Broadcast(u"", channel_.Port());
  EXPECT_EQ(recorder_.calls(), Calls{});
  channel_.Broadcast(u"marker", channel_.Port());
  ExpectNextDatagram("marker");
}

TEST_F(UdpChannelTest, PortTakesTheLow16BitsOnTheWire) {
  channel_.SetActive(true);
  struct Case {
    int32_t given;
    uint16_t port;
  } cases[] = {{70000, 4464}, {-1, 65535}};
  for (const Case& c : cases) {
    UdpListener listener(c.port);
    channel_.SetPort(c.given);
    channel_.Broadcast(u"port", channel_.Port());
    const std::optional<ReceivedDatagram> got = listener.Receive();
    ASSERT_TRUE(got.has_value()) << "nothing on port " << c.port;
    EXPECT_EQ(got->bytes, "port");
  }
}

// The largest IPv4 UDP payload still goes out whole; one byte more is
// refused by the system itself.
TEST_F(UdpChannelTest, DatagramSizeLimitIsTheSystems) {
  channel_.SetActive(true);
  const std::u16string largest(65507, u'x');
  channel_.Broadcast(largest, channel_.Port());
  ExpectNextDatagram(std::string(65507, 'x'));

  EXPECT_EQ(
      FailureOf([&] { channel_.Broadcast(largest + u'x', channel_.Port()); }),
      u"Package Size Too Big.");
  EXPECT_TRUE(channel_.Active());
}

struct OpenFailure {
  SocketCall call;
  SocketFault fault;
  std::u16string message;
};

void PrintTo(const OpenFailure& c, std::ostream* out) {
  *out << "failing step " << static_cast<int>(c.call) << ": "
       << Utf16ToUtf8(c.message);
}

class UdpChannelOpenFailureTest
    : public UdpChannelTest,
      public testing::WithParamInterface<OpenFailure> {};

// A channel that reported it could not open must not count as open: the
// socket made on the way is closed again, nothing gets logged or sent
// through it, and the next attempt starts afresh.
TEST_P(UdpChannelOpenFailureTest, LeavesTheChannelClosedAndTheSocketClosed) {
  recorder_.FailNext(GetParam().call, GetParam().fault);
  EXPECT_EQ(FailureOf([&] { channel_.SetActive(true); }), GetParam().message);
  EXPECT_FALSE(channel_.Active());
  EXPECT_EQ(channel_.LocalPort(), 0);
  const Calls& calls = recorder_.calls();
  ASSERT_FALSE(calls.empty());
  if (GetParam().call != SocketCall::kOpen) {
    EXPECT_EQ(Calls(calls.end() - 2, calls.end()),
              (Calls{"shutdown send", "close"}));
  } else {
    EXPECT_EQ(calls, Calls{"socket"});
  }

  channel_.SetActive(true);
  channel_.Broadcast(u"recovered", channel_.Port());
  ExpectNextDatagram("recovered");
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, UdpChannelOpenFailureTest,
    testing::Values(
        OpenFailure{SocketCall::kOpen, SocketFault::kAddressFamilyNotSupported,
                    u"Socket Error # 10047\r\n"
                    u"Address family not supported by protocol family."},
        OpenFailure{SocketCall::kOpen, SocketFault::kNoBufferSpace,
                    u"Socket Error # 10055\r\nNo buffer space available."},
        OpenFailure{SocketCall::kReuseAddress, SocketFault::kNoBufferSpace,
                    u"Socket Error # 10055\r\nNo buffer space available."},
        OpenFailure{
            SocketCall::kBind, SocketFault::kAddressInUse,
            u"Could not bind socket. Address and port are already in use."},
        OpenFailure{
            SocketCall::kBind, SocketFault::kAccessDenied,
            u"Could not bind socket. Address and port are already in use."},
        OpenFailure{SocketCall::kBroadcast, SocketFault::kNotPermitted,
                    u"Socket Error # 10013\r\nAccess denied."}));

struct SendFailure {
  SocketCall call;
  SocketFault fault;
  std::u16string message;
};

void PrintTo(const SendFailure& c, std::ostream* out) {
  *out << "failing step " << static_cast<int>(c.call) << ": "
       << Utf16ToUtf8(c.message);
}

class UdpChannelSendFailureTest
    : public UdpChannelTest,
      public testing::WithParamInterface<SendFailure> {};

TEST_P(UdpChannelSendFailureTest, RaisesSkipsThePermissionRestoreAndRecovers) {
  channel_.SetBroadcastEnabled(false);
  channel_.SetActive(true);
  recorder_.ClearCalls();
  recorder_.FailNext(GetParam().call, GetParam().fault);

  EXPECT_EQ(FailureOf([&] { channel_.Broadcast(u"12345", channel_.Port()); }),
            GetParam().message);
  Calls expected{"broadcast 1"};
  if (GetParam().call == SocketCall::kSend) {
    expected.push_back(SendCall(listener_.port(), 5));
  }
  EXPECT_EQ(recorder_.calls(), expected);
  EXPECT_TRUE(channel_.Active());

  // The next call finds the permission as the failure left it: a refused
  // change is made again, a change that went through is not.
  recorder_.ClearCalls();
  channel_.Broadcast(u"12345", channel_.Port());
  Calls next;
  if (GetParam().call == SocketCall::kBroadcast) next.push_back("broadcast 1");
  next.push_back(SendCall(listener_.port(), 5));
  next.push_back("broadcast 0");
  EXPECT_EQ(recorder_.calls(), next);
}

INSTANTIATE_TEST_SUITE_P(
    EachRefusal, UdpChannelSendFailureTest,
    testing::Values(
        SendFailure{SocketCall::kSend, SocketFault::kMessageTooLong,
                    u"Package Size Too Big."},
        SendFailure{SocketCall::kSend, SocketFault::kPartialSend,
                    u"Not all bytes sent."},
        SendFailure{SocketCall::kSend, SocketFault::kAccessDenied,
                    u"Socket Error # 10013\r\nAccess denied."},
        SendFailure{SocketCall::kSend, SocketFault::kNetworkDown,
                    u"Socket Error # 10050\r\nNetwork is down."},
        SendFailure{SocketCall::kSend, SocketFault::kNetworkUnreachable,
                    u"Socket Error # 10051\r\nNetwork is unreachable."},
        SendFailure{SocketCall::kSend, SocketFault::kNoBufferSpace,
                    u"Socket Error # 10055\r\nNo buffer space available."},
        SendFailure{SocketCall::kSend, SocketFault::kHostUnreachable,
                    u"Socket Error # 10065\r\nNo route to host."},
        SendFailure{SocketCall::kBroadcast, SocketFault::kNotPermitted,
                    u"Socket Error # 10013\r\nAccess denied."}));

}  // namespace
}  // namespace orvanta
