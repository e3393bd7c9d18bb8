#include "callerid/device_control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/failure.h"
#include "callerid/device_control_sources.h"
#include "callerid/engine.h"
#include "callerid/test/engine_fakes.h"
#include "settings/storage.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;

// Without the vendors' Windows drivers both controls are unknown classes,
// and the user is told so exactly as on Windows without them.
TEST(DeviceControlPosix, NeitherControlExists) {
  Journal journal;
  FakeNotice notice{journal};
  auto factory = MakeDeviceControlFactory(notice);
  for (int kind = 0; kind < 2; ++kind) {
    SCOPED_TRACE(kind);
    try {
      if (kind == 0) {
        factory->CreateCid2();
      } else {
        factory->CreateArg();
      }
      ADD_FAILURE() << "created";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.message(), u"Class not registered");
    }
  }

  SettingsStore store;
  AddSettingsCatalogue(store);
  store.WriteValue(kCallerIdKullan, u"True");
  FakeBroadcastChannel channel{journal};
  FakeProgramLog log{journal};
  FakeCallSink calls{journal};
  Cid2Source cid2{*factory, calls, notice};
  ArgSource arg{*factory, calls, notice, log};
  CallerIdEngine engine{EngineParts{store, channel, notice, log}};
  engine.AddSource(kSourceCid2, cid2);
  engine.AddSource(kSourceArg, arg);
  for (int type : {0, 1}) {
    store.WriteValue(kCallerIdType, type);
    WindowSettings window;
    window.source = type;
    engine.ApplySettings(window);
  }
  EXPECT_THAT(
      journal,
      ElementsAre("udp port=18900", "udp open",
                  "info: CID2(Sistemler) tipi baglanti acilamadi. Cihazin "
                  "suruculerinin yuklendiginden emin olunuz.\r\nClass not "
                  "registered",
                  "info: Caller ID sistemi baslatilamadi.", "log clear",
                  "udp port=18900", "udp open",
                  "info: ARG tipi baglanti acilamadi. Cihazin suruculerinin "
                  "yuklendiginden emin olunuz.\r\nClass not registered",
                  "info: Caller ID sistemi baslatilamadi."));
}

}  // namespace
}  // namespace orvanta
