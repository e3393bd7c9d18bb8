#ifndef ORVANTA_CALLERID_TEST_BROADCAST_ANNOUNCER_H_
#define ORVANTA_CALLERID_TEST_BROADCAST_ANNOUNCER_H_

#include <cstddef>
#include <string>
#include <utility>

#include "callerid/announcer.h"
#include "callerid/datagram_destination.h"
#include "notify/udp_channel.h"

namespace orvanta {

// The program's announcer with the LAN broadcast as its one destination,
// as the program wires them.
class BroadcastAnnouncer {
 public:
  BroadcastAnnouncer(UdpChannel& channel, ProgramLog& log,
                     DeliveryRetry retry = {})
      : datagram_(channel, log, std::move(retry)),
        announcer_(log, [&channel] { return channel.Active(); }) {
    announcer_.AddDestination(datagram_);
  }

  void AnnounceCall(const std::u16string& number, const std::u16string& line) {
    Call call;
    call.number = number;
    call.line = line;
    announcer_.Announce(std::move(call));
  }
  void SendTestDatagram(UserNotice& notice) {
    datagram_.SendTestDatagram(notice);
  }
  void RetryWaiting() { datagram_.RetryWaiting(); }
  size_t WaitingCalls() const { return datagram_.WaitingCalls(); }
  bool RetryScheduled() const { return datagram_.RetryScheduled(); }

  Announcer& announcer() { return announcer_; }

 private:
  DatagramDestination datagram_;
  Announcer announcer_;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_TEST_BROADCAST_ANNOUNCER_H_
