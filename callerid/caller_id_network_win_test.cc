// End to end on Windows: the stand-in control's caller-ID events go through
// the real COM hosting, the engine, the announcer and the UDP channel, and
// arrive as broadcast datagrams inside the private test network.

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "base/test/recorders.h"
#include "base/text.h"
#include "callerid/broadcast_channel.h"
#include "callerid/device_control.h"
#include "callerid/device_control_sources.h"
#include "callerid/engine.h"
#include "callerid/test/broadcast_announcer.h"
#include "callerid/test/standin_registration_win.h"
#include "notify/test/private_network.h"
#include "notify/test/udp_listener.h"
#include "notify/udp_channel.h"
#include "settings/storage.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CallerIdNetworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin_.Reset();
    AddSettingsCatalogue(store_);
    store_.WriteValue(kCallerIdKullan, u"True");
    store_.WriteValue(kUdpPort, IntToText(listener_.port()));
    engine_.AddSource(kSourceCid2, cid2_);
    engine_.AddSource(kSourceArg, arg_);
  }

  void TearDown() override {
    engine_.ClosingStep();
    standin_.Reset();
  }

  void Choose(int type) {
    window_.source = type;
    store_.WriteValue(kCallerIdType, IntToText(type));
  }

  std::string NextDatagram() {
    const std::optional<ReceivedDatagram> got = listener_.Receive();
    if (!got) {
      ADD_FAILURE() << "no datagram arrived";
      return {};
    }
    return got->bytes;
  }

  StandinServer& standin_ = StandinServer::Get();
  UdpListener listener_;
  SettingsStore store_;
  UdpChannel channel_;
  UdpBroadcastChannel channel_link_{channel_};
  RecordingProgramLog log_;
  RecordingUserNotice notice_;
  BroadcastAnnouncer announcer_{channel_, log_};
  std::unique_ptr<DeviceControlFactory> devices_ =
      MakeDeviceControlFactory(notice_);
  WindowSettings window_;
  Cid2Source cid2_{*devices_, announcer_.announcer(), notice_};
  ArgSource arg_{*devices_, announcer_.announcer(), notice_, log_};
  CallerIdEngine engine_{EngineParts{store_, channel_link_, notice_, log_}};
};

TEST_F(CallerIdNetworkTest, Cid2CallIsBroadcast) {
  Choose(0);
  engine_.ApplySettings(window_);
  ASSERT_THAT(notice_.infos, IsEmpty());
  ASSERT_TRUE(engine_.CallerIdRunning());

  EXPECT_EQ(
      standin_.Fire(L"CID2", 202,
                    {L"1", L"0532 123 45 67", L"12.03.2026 10:15"}, false),
      S_OK);
  EXPECT_EQ(NextDatagram(), "HAT=1\r\nNUMARA=0532 123 45 67");
  EXPECT_THAT(log_.lines,
              ElementsAre(u"Kanal No : 1   Caller ID : 0532 123 45 67"));
  EXPECT_THAT(notice_.errors, IsEmpty());
}

TEST_F(CallerIdNetworkTest, ArgCallIsBroadcastWithChanNoAsLine) {
  window_.arg_device_kind = 1;
  Choose(1);
  engine_.ApplySettings(window_);
  ASSERT_THAT(notice_.infos, IsEmpty());

  EXPECT_EQ(standin_.Fire(L"ARG", 211,
                          {L"10:15", L"0212 555 66 77", L"", L"", L"", L"",
                           L"Çağrı", L"", L"", L"1", L"2"},
                          true),
            S_OK);
  EXPECT_EQ(NextDatagram(), "HAT=2\r\nNUMARA=0212 555 66 77");
  EXPECT_THAT(log_.lines,
              ElementsAre(u"Kanal No : 2   Caller ID : 0212 555 66 77"));

  // Closing disconnects the control before it is released.
  engine_.ClosingStep();
  EXPECT_THAT(
      standin_.Journal(),
      ElementsAre("ARG created", "ARG InitNew", "ARG Advise",
                  "ARG CihazTip=I4:1", "ARG Connect()", "ARG Disconnect()",
                  "ARG Close(no save)", "ARG Unadvise",
                  "ARG SetClientSite(none)", "ARG destroyed"));
}

TEST_F(CallerIdNetworkTest, MissingControlIsReportedWithTheOleErrorText) {
  standin_.Unregister();
  Choose(0);
  engine_.ApplySettings(window_);
  standin_.Register();
  EXPECT_THAT(notice_.infos,
              ElementsAre(u"CID2(Sistemler) tipi baglanti acilamadi. Cihazin "
                          u"suruculerinin yuklendiginden emin olunuz.\r\n"
                          u"OLE error 80040154",
                          u"Caller ID sistemi baslatilamadi."));
  EXPECT_FALSE(engine_.CallerIdRunning());
}

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  orvanta::RequirePrivateTestNetwork();
  orvanta::InitialiseOleForTests();
  return RUN_ALL_TESTS();
}
