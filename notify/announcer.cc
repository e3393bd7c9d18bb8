#include "notify/announcer.h"

#include "base/user_notice.h"
#include "notify/udp_channel.h"

namespace orvanta {

Announcer::Announcer(UdpChannel& channel, CallLog& log)
    : channel_(channel), log_(log) {}

void Announcer::AnnounceCall(const std::u16string& number,
                             const std::u16string& line) {
  // A closed channel is the system's "announcements off": silently nothing.
  if (!channel_.Active()) return;
  // Logged first, so a call whose datagram fails still shows in the log.
  log_.AddLogLine(u"Kanal No : " + line + u"   Caller ID : " + number);
  channel_.Broadcast(u"HAT=" + line + u"\r\nNUMARA=" + number, channel_.Port());
}

void Announcer::SendTestDatagram(UserNotice& notice) {
  if (!channel_.Active()) return;
  channel_.Broadcast(kTestDatagram, channel_.Port());
  notice.ShowInfo(kTestSentMessage);
}

}  // namespace orvanta
