#ifndef ORVANTA_CALLERID_CALL_DESTINATION_H_
#define ORVANTA_CALLERID_CALL_DESTINATION_H_

#include "callerid/call.h"

namespace orvanta {

// A place every announced call goes to: the LAN broadcast, a webhook, an
// MQTT broker. The announcer hands each call to every destination in turn.
class CallDestination {
 public:
  virtual ~CallDestination() = default;
  // UI thread, once per call, in the order the calls came. Returns at once:
  // a destination that talks to a slow peer keeps the call in a queue of
  // its own and sends it from another thread. A failure it raises reaches
  // the user's error report; the destinations after it still get the call.
  virtual void Deliver(const Call& call) = 0;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_CALL_DESTINATION_H_
