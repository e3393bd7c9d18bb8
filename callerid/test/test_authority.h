#ifndef ORVANTA_CALLERID_TEST_TEST_AUTHORITY_H_
#define ORVANTA_CALLERID_TEST_TEST_AUTHORITY_H_

namespace orvanta {

// Makes the HTTP client trust the test CA that webhook_server.py made
// (ORVANTA_WEBHOOK_CA_DER) for as long as it lives, without touching the
// machine's own store.
//   POSIX: nothing to do here: OpenSSL adds SSL_CERT_FILE, which the
//     server script sets to the CA, to the system's store.
//   Windows (Wine): the CA goes into the current user's root store of the
//     test's own Wine prefix (inside the build folder), and out again.
class TrustedTestAuthority {
 public:
  TrustedTestAuthority();
  // Empty on POSIX, where tidy would have it defaulted here; not on Windows.
  ~TrustedTestAuthority();  // NOLINT(performance-trivially-destructible)
  TrustedTestAuthority(const TrustedTestAuthority&) = delete;
  TrustedTestAuthority& operator=(const TrustedTestAuthority&) = delete;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_TEST_TEST_AUTHORITY_H_
