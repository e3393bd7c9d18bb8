// The receiver as a bridge, with real parts only: a serial caller-ID device
// (a socat pseudo-terminal) feeds the sender `orvanta`, whose broadcast the
// receiver `orvanta-alici` hears and forwards, as Hedefler.ini in its folder
// says, to Debian's mosquitto, where a subscriber reads the call.
//
// The broker listens on fixed ports, so the test runs in a network
// namespace of its own; a veth pair with the default route through it lets
// the broadcast reach the receiver there, as in the shared test network.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/test/temp_folder.h"
#include "desktop/test/child_process.h"
#include "notify/test/mqtt_broker.h"
#include "receiver/qt/test/two_programs.h"
#include "serial/test/socat_pty.h"

namespace orvanta {
namespace {

namespace fs = std::filesystem;

constexpr char kPort[] = "18979";

TEST(BridgeEndToEndTest, ASerialCallReachesTheBrokerThroughTheReceiver) {
  TestBroker broker;
  broker.Start();
  TestSubscriber subscriber("bridge-test", {"orvanta-alici/+/call"});
  ASSERT_TRUE(subscriber.WaitSubscribed());

  TempFolder folder;
  SocatPty line;
  WriteSenderAndReceiverSettings(folder, line.device(), kPort);
  folder.Write("receiver/Hedefler.ini",
               "[MQTT]\r\nURL=mqtt://127.0.0.1:" + std::to_string(kBrokerPort) +
                   "\r\nUSER=" + kBrokerUser +
                   "\r\nPASSWORD=" + kBrokerPassword + "\r\n");

  auto receiver =
      StartWithoutDisplay(ORVANTA_RECEIVER, folder.Path("receiver"));
  auto sender = StartWithoutDisplay(ORVANTA_SENDER, folder.Path("sender"));
  const auto outputs = [&] {
    return "sender:\n" +
           ReadWholeFile(folder.Path("sender/output.txt").string()) +
           "receiver:\n" +
           ReadWholeFile(folder.Path("receiver/output.txt").string()) +
           "broker:\n" + broker.Log();
  };

  // The device sends the call again until it comes through: the sender may
  // not have opened its port yet, nor the receiver its socket.
  const auto arrived = [](const std::vector<ReceivedMqttMessage>& messages) {
    return !messages.empty();
  };
  const auto give_up =
      std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!subscriber.WaitFor(arrived, std::chrono::milliseconds(700)) &&
         std::chrono::steady_clock::now() < give_up) {
    line.Write("xxS 0532 123 45 67\rE");
  }
  const std::vector<ReceivedMqttMessage> messages = subscriber.Messages();
  ASSERT_FALSE(messages.empty()) << outputs();
  const std::string& json = messages[0].payload;
  for (const std::string field :
       {"\"event\":\"call\"", "\"number\":\"0532 123 45 67\"", "\"line\":\"0\"",
        "\"name\":\"Mehmet \xC3\x96z\"", "\"program\":\"OrvantaAlici\""}) {
    EXPECT_NE(json.find(field), std::string::npos) << field << " in " << json;
  }
  EXPECT_NE(broker.Log().find("OrvantaAlici-"), std::string::npos) << outputs();
  EXPECT_TRUE(receiver->Running()) << outputs();
  EXPECT_TRUE(sender->Running()) << outputs();
}

// The network of this process alone, as EnterOwnLoopbackNetwork makes it,
// with the route for the broadcast that tools/netns-run sets up.
void EnterOwnBroadcastNetwork() {
  EnterOwnLoopbackNetwork();
  if (std::system("ip link add v0 type veth peer name v1 &&"
                  " ip addr add 10.199.0.1/24 dev v0 &&"
                  " ip link set v0 up && ip link set v1 up &&"
                  " ip route add default dev v0") != 0) {
    std::fprintf(stderr, "*** could not set up the test's network\n");
    std::exit(1);
  }
}

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  orvanta::EnterOwnBroadcastNetwork();
  return RUN_ALL_TESTS();
}
