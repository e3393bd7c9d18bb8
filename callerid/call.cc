#include "callerid/call.h"

namespace orvanta {

const char* OriginName(CallOrigin origin) {
  switch (origin) {
    case CallOrigin::kFramedSerial:
      return "serial";
    case CallOrigin::kModem:
      return "modem";
    case CallOrigin::kCid2Control:
      return "cid2";
    case CallOrigin::kArgControl:
      return "arg";
    case CallOrigin::kNetwork:
      return "network";
    case CallOrigin::kTest:
      return "test";
  }
  return "unknown";
}

}  // namespace orvanta
