#include "notify/announcer.h"

#include <gtest/gtest.h>

#include "notify/test/recorders.h"
#include "notify/udp_channel.h"

namespace orvanta {
namespace {

// A closed channel means "announcements off": no line, no box, no failure.
TEST(Announcer, DoesNothingWhileTheChannelIsClosed) {
  UdpChannel channel;
  RecordingCallLog log;
  RecordingUserNotice notice;
  Announcer announcer(channel, log);

  announcer.AnnounceCall(u"555 55 55", u"0");
  announcer.SendTestDatagram(notice);

  EXPECT_TRUE(log.lines.empty());
  EXPECT_TRUE(notice.infos.empty());
  EXPECT_TRUE(notice.errors.empty());
}

TEST(Announcer, TestDatagramIsTheFixedTwentyFourBytes) {
  EXPECT_EQ(EncodeDatagram(kTestDatagram), "HAT=01\r\nNUMARA=555 55 55");
  EXPECT_EQ(EncodeDatagram(kTestDatagram).size(), 24u);
}

}  // namespace
}  // namespace orvanta
