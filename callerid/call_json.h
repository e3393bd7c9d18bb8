#ifndef ORVANTA_CALLERID_CALL_JSON_H_
#define ORVANTA_CALLERID_CALL_JSON_H_

// A call as the network destinations carry it: the JSON body of a webhook
// and an MQTT message, and the values a GET webhook puts into its URL.

#include <chrono>
#include <string>
#include <string_view>

#include "callerid/call.h"

namespace orvanta {

// What the JSON says about the program that sent it.
struct CallSender {
  std::u16string host;     // the computer's name
  std::u16string program;  // "Orvanta", or "OrvantaAlici" for the bridge
  std::u16string version;  // "1.2.5"
};

// One line of UTF-8 JSON, keys in this order:
//   {"event":"call","id":"…","line":"1","number":"05321234567",
//    "missing":null,"name":"","time":"2024-05-01T14:03:07+03:00",
//    "source":"serial","host":"…","program":"Orvanta","version":"1.2.5"}
// `event` is "test" for a test call and "call" otherwise. A call without a
// number has "number":"" and says why in `missing` ("private" or
// "unavailable"); `missing` is null when the number is there. `name` is ""
// when the source knows none.
std::string CallJson(const Call& call, const CallSender& sender);

// A text as a JSON string, quotes included: UTF-16 in, UTF-8 out; quote,
// backslash and every control character escaped, U+2028/U+2029 too (they
// end a line in JavaScript); a lone surrogate becomes U+FFFD.
std::string JsonString(std::u16string_view text);

// The call's time in ISO 8601 with the local offset it was taken at,
// to the second: "2024-05-01T14:03:07+03:00".
std::string CallTimeText(const Call& call);

// The URL of a GET webhook: each {number}, {name}, {line} and {time} in
// `url_template` replaced by the call's value as UTF-8, percent-encoded
// (everything but letters, digits and - . _ ~). Other braces stay. The
// number of a call without one is empty.
std::string ExpandUrlTemplate(std::u16string_view url_template,
                              const Call& call);

// Percent-encoding of UTF-8 text for a URL's path or query.
std::string PercentEncode(std::string_view utf8);

// A new call id: 32 lower-case hex digits in the 8-4-4-4-12 form of a
// random (version 4) UUID. Any thread.
std::string NewCallId();

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_CALL_JSON_H_
