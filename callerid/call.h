#ifndef ORVANTA_CALLERID_CALL_H_
#define ORVANTA_CALLERID_CALL_H_

// One incoming call as a source reports it and every destination receives
// it: the one value that travels from a source through the announcer.

#include <chrono>
#include <string>

namespace orvanta {

// Where a call came from; destinations that carry more than the datagram
// name it ("source" in the JSON).
enum class CallOrigin {
  kFramedSerial,  // a serial device that frames the number in a packet
  kModem,         // a voice/data modem's caller-ID report
  kCid2Control,   // the CID2 vendor control
  kArgControl,    // the ARG vendor control
  kNetwork,       // heard on the LAN by the receiver and forwarded
  kTest,          // a test call a user asked for
};

// Why a call carries no number.
enum class MissingNumber {
  kNone,         // the number is there
  kPrivate,      // the caller withheld it
  kUnavailable,  // the network did not deliver one
};

struct Call {
  std::u16string line = u"0";
  std::u16string number;  // empty when `missing` says why
  std::u16string name;    // empty when the source knows none
  MissingNumber missing = MissingNumber::kNone;
  CallOrigin origin = CallOrigin::kFramedSerial;
  // When the call was taken, and the local offset from UTC at that moment,
  // so that a destination formats the same time wherever it runs.
  std::chrono::system_clock::time_point time;
  int utc_offset_minutes = 0;
  // Unique per call and kept on every retry, so a peer can drop repeats.
  // Given by the announcer.
  std::string id;
};

// The stable word for an origin: "serial", "modem", "cid2", "arg",
// "network", "test".
const char* OriginName(CallOrigin origin);

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_CALL_H_
