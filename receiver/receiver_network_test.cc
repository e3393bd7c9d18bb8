// The receiver hears real broadcasts inside the private test network.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "base/ui_handover.h"
#include "notify/datagram_receiver.h"
#include "notify/udp_channel.h"
#include "receiver/call_listener.h"
#include "receiver/receiver_app.h"
#include "receiver/test/fake_shell.h"
#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

// Serves the hand-overs until `done`, or gives up after a while so that a
// broken test ends instead of hanging (no timing is asserted).
template <typename Done>
bool ServeUntil(UiHandover& handover, Done done) {
  const auto give_up =
      std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    handover.ServePending();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

TEST(ReceiverNetworkTest, ABroadcastCallReachesTheNotificationAndHistory) {
  TempFolder folder;
  folder.Write("Rehber.csv",
               "0212 555 01 02;Ay\xC5\x9F"
               "e Demir\n");
  FakeReceiverShell shell;
  FakeHookLauncher launcher;
  ReceiverApp app(shell, launcher, folder.path().u16string() + u"/");
  app.Load();
  UiHandover handover;
  CallListener listener(
      0, handover, [&app](const std::string& bytes) { app.OnDatagram(bytes); });

  UdpChannel sender;  // the sender's own channel, as Orvanta announces
  sender.SetPort(listener.LocalPort());
  sender.SetActive(true);
  sender.Broadcast(u"HAT=0\r\nNUMARA=02125550102", sender.Port());
  ASSERT_TRUE(ServeUntil(handover, [&] { return app.HistorySize() == 1; }));
  ASSERT_EQ(shell.notifications.size(), 1u);
  EXPECT_EQ(shell.notifications[0].title, u"Ay\u015fe Demir");
  EXPECT_EQ(app.HistoryRow(0).name, u"Ay\u015fe Demir");
  EXPECT_EQ(app.HistoryRow(0).number, u"02125550102");

  CallHistory on_disk(app.HistoryPath());
  on_disk.Load();
  ASSERT_EQ(on_disk.entries().size(), 1u);
  EXPECT_EQ(on_disk.entries()[0].name, u"Ay\u015fe Demir");
}

TEST(ReceiverNetworkTest, TwoReceiversShareThePortAndBothHearEveryCall) {
  DatagramReceiver first(0);
  DatagramReceiver second(first.LocalPort());
  UdpChannel sender;
  sender.SetPort(first.LocalPort());
  sender.SetActive(true);
  sender.Broadcast(u"HAT=1\r\nNUMARA=5", sender.Port());
  for (DatagramReceiver* receiver : {&first, &second}) {
    const std::optional<std::string> got =
        receiver->Receive(std::chrono::seconds(10));
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(*got, "HAT=1\r\nNUMARA=5");
  }
  // Nothing is left for anyone: a bounded wait says so.
  EXPECT_FALSE(first.Receive(std::chrono::milliseconds(50)).has_value());
}

}  // namespace
}  // namespace orvanta
