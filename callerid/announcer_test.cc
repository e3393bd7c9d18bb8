#include "callerid/announcer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/failure.h"
#include "base/test/recorders.h"
#include "callerid/call_destination.h"
#include "callerid/test/broadcast_announcer.h"
#include "notify/udp_channel.h"

namespace orvanta {
namespace {

// Keeps what it was given; fails every call when told to.
class RecordingDestination : public CallDestination {
 public:
  void Deliver(const Call& call) override {
    calls.push_back(call);
    if (!failure.empty()) throw Failure(failure);
  }
  std::vector<Call> calls;
  std::u16string failure;
};

Call NumberCall(std::u16string number, std::u16string line = u"0") {
  Call call;
  call.number = std::move(number);
  call.line = std::move(line);
  return call;
}

// A closed channel means "announcements off": no line, no box, no failure.
TEST(Announcer, DoesNothingWhileTheChannelIsClosed) {
  UdpChannel channel;
  RecordingProgramLog log;
  RecordingUserNotice notice;
  BroadcastAnnouncer announcer(channel, log);

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

TEST(Announcer, EveryDestinationGetsTheCallEvenAfterAFailingOne) {
  RecordingProgramLog log;
  RecordingDestination first, second;
  first.failure = u"first is down";
  Announcer announcer(log, [] { return true; });
  announcer.AddDestination(first);
  announcer.AddDestination(second);

  try {
    announcer.Announce(NumberCall(u"0532 111"));
    FAIL() << "the failure was not raised";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.message(), u"first is down");
  }
  ASSERT_EQ(second.calls.size(), 1u);
  EXPECT_EQ(second.calls[0].number, u"0532 111");
  EXPECT_EQ(log.lines, std::vector<std::u16string>{
                           u"Kanal No : 0   Caller ID : 0532 111"});
}

TEST(Announcer, CleansTextsAndGivesEachCallItsIdAndTime) {
  RecordingProgramLog log;
  RecordingDestination destination;
  int ids = 0;
  Announcer announcer(
      log, [] { return true; },
      [&ids] { return "call-" + std::to_string(++ids); });
  announcer.AddDestination(destination);

  Call call = NumberCall(u"05\r\n32", u"0\t1");
  call.name = u"AY\x01SE";
  announcer.Announce(call);
  announcer.Announce(NumberCall(u"111"));

  ASSERT_EQ(destination.calls.size(), 2u);
  EXPECT_EQ(destination.calls[0].number, u"0532");
  EXPECT_EQ(destination.calls[0].line, u"01");
  EXPECT_EQ(destination.calls[0].name, u"AYSE");
  EXPECT_EQ(destination.calls[0].id, "call-1");
  EXPECT_EQ(destination.calls[1].id, "call-2");
  EXPECT_NE(destination.calls[0].time,
            std::chrono::system_clock::time_point{});
}

TEST(Announcer, ACallWithoutANumberSaysWhyInTheLog) {
  RecordingProgramLog log;
  RecordingDestination other;
  Announcer announcer(log, [] { return true; });
  announcer.AddDestination(other);

  Call withheld;
  withheld.missing = MissingNumber::kPrivate;
  Call unknown;
  unknown.missing = MissingNumber::kUnavailable;
  announcer.Announce(withheld);
  announcer.Announce(unknown);

  EXPECT_EQ(log.lines, (std::vector<std::u16string>{
                           u"Kanal No : 0   Caller ID : Gizli numara",
                           u"Kanal No : 0   Caller ID : Numara yok"}));
  ASSERT_EQ(other.calls.size(), 2u);
  EXPECT_EQ(other.calls[0].missing, MissingNumber::kPrivate);
}

}  // namespace
}  // namespace orvanta
