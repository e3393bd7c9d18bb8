#ifndef ORVANTA_NOTIFY_HTTPS_REQUEST_H_
#define ORVANTA_NOTIFY_HTTPS_REQUEST_H_

// One HTTP(S) request and its answer, done with the system's client
// (WinHTTP on Windows, libcurl with OpenSSL elsewhere). The server's
// certificate is checked against the system's store of authorities, or,
// when a pin is given, must be exactly the pinned certificate. There is no
// way to turn the check off.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace orvanta {

struct HttpsRequest {
  std::string url;                   // UTF-8; http:// or https://
  std::string method = "POST";       // "POST" or "GET"
  std::vector<std::string> headers;  // "Name: value", UTF-8
  std::string body;                  // sent with POST
  // For each step (name look-up, connection, sending, waiting for the
  // answer); the whole request gives up within about this long.
  std::chrono::milliseconds timeout = std::chrono::seconds(5);
  // The SHA-256 of the one certificate (DER) the server may show, as 64
  // lower-case hex digits; empty: the system's store decides.
  std::string pin_sha256;
};

struct HttpsResponse {
  enum class Error {
    kNone,         // the server answered: `status` says how
    kName,         // the server's name could not be looked up
    kConnect,      // no connection could be made
    kTimeout,      // no answer within the timeout
    kCertificate,  // the server's certificate was not accepted
    kCancelled,    // the caller gave up (the program is closing)
    kOther,        // anything else: a broken connection, a bad answer
  };
  Error error = Error::kNone;
  int status = 0;  // the HTTP status, when error is kNone
  // The first bytes of the answer's body (up to kKeptBodyBytes).
  std::string body_start;
  // Why it failed, in Turkish, for the log and the test button; a
  // certificate failure starts with "sertifika doğrulanamadı: ".
  std::u16string reason;
};

inline constexpr size_t kKeptBodyBytes = 1024;
inline constexpr char16_t kCertificateFailure[] = u"sertifika doğrulanamadı: ";

// Runs the request on the calling thread and returns when it is answered,
// failed or timed out. `cancelled`, when given, is looked at while the
// request runs; where the client allows, it ends the request early.
HttpsResponse PerformHttpsRequest(const HttpsRequest& request,
                                  const std::atomic<bool>* cancelled = nullptr);

}  // namespace orvanta

#endif  // ORVANTA_NOTIFY_HTTPS_REQUEST_H_
