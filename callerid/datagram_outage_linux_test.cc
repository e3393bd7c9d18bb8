// A real outage: the route to the broadcast address goes away and comes
// back, in a network namespace this test makes for itself, so taking the
// route away disturbs no other test sharing the private test network.

#include <sched.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "base/failure.h"
#include "base/ui_handover.h"
#include "callerid/test/broadcast_announcer.h"
#include "notify/test/private_network.h"
#include "base/test/recorders.h"
#include "notify/test/udp_listener.h"
#include "notify/udp_channel.h"

namespace orvanta {
namespace {

bool Shell(const std::string& command) {
  return std::system(command.c_str()) == 0;
}

TEST(AnnouncerOutage, CallsWaitForTheRouteAndGoOutWhenItIsBack) {
  ASSERT_EQ(unshare(CLONE_NEWNET), 0) << std::strerror(errno);
  ASSERT_TRUE(
      Shell("ip link set lo up && ip link add v0 type veth peer name v1 && "
            "ip addr add 10.199.0.1/24 dev v0 && ip link set v0 up && "
            "ip link set v1 up && ip route add default dev v0"));
  ASSERT_TRUE(InPrivateTestNetwork());

  UdpListener listener;
  UdpChannel channel;
  channel.SetPort(listener.port());
  channel.SetActive(true);
  RecordingProgramLog log;
  UiHandover ui;
  BroadcastAnnouncer announcer(
      channel, log,
      DeliveryRetry{.ui = &ui, .period = std::chrono::milliseconds(20)});

  ASSERT_TRUE(Shell("ip route del default"));
  try {
    announcer.AnnounceCall(u"111", u"0");
    ADD_FAILURE() << "the refused send was not reported";
  } catch (const SocketFailure& failure) {
    EXPECT_EQ(failure.code(), 10051) << failure.what();
  }
  announcer.AnnounceCall(u"222", u"0");  // the same outage: no second report
  EXPECT_EQ(announcer.WaitingCalls(), 2u);

  ASSERT_TRUE(Shell("ip route add default dev v0"));
  ui.ServeUntil([&] { return announcer.WaitingCalls() == 0; });
  for (const char* number : {"111", "222"}) {
    const std::optional<ReceivedDatagram> got = listener.Receive();
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->bytes, std::string("HAT=0\r\nNUMARA=") + number);
  }
}

}  // namespace
}  // namespace orvanta
