#ifndef ORVANTA_NOTIFY_TEST_SOCKET_CALL_RECORDER_H_
#define ORVANTA_NOTIFY_TEST_SOCKET_CALL_RECORDER_H_

#include <optional>
#include <string>
#include <vector>

namespace orvanta {

// The system calls of the channel's socket back end that a test can fail.
enum class SocketCall { kOpen, kReuseAddress, kBind, kBroadcast, kSend };

// How an armed call fails. Each becomes the platform's own error (errno on
// Linux, WSAGetLastError on Windows), so the back end's translation runs too.
enum class SocketFault {
  kAccessDenied,  // EACCES / WSAEACCES
  kNotPermitted,  // EPERM (a firewall refusing broadcast) / WSAEACCES
  kAddressInUse,  // EADDRINUSE / WSAEADDRINUSE
  kAddressFamilyNotSupported,  // EAFNOSUPPORT / WSAEAFNOSUPPORT
  kNoBufferSpace,              // ENOBUFS / WSAENOBUFS
  kMessageTooLong,             // EMSGSIZE / WSAEMSGSIZE
  kNetworkDown,                // ENETDOWN / WSAENETDOWN
  kNetworkUnreachable,         // ENETUNREACH / WSAENETUNREACH
  kHostUnreachable,            // EHOSTUNREACH / WSAEHOSTUNREACH
  kPartialSend,                // send: the system takes one byte less
};

// While alive, the back end's system calls go through this recorder: each is
// written to calls() and passed on to the system, unless a fault is armed for
// it. One recorder at a time; the real calls come back when it is destroyed.
//
// calls() entries: "socket", "reuseaddr 0|1", "bind A.B.C.D:port",
// "broadcast 0|1", "sendto A.B.C.D:port <bytes>", "shutdown send", "close".
class SocketCallRecorder {
 public:
  SocketCallRecorder();
  ~SocketCallRecorder();
  SocketCallRecorder(const SocketCallRecorder&) = delete;
  SocketCallRecorder& operator=(const SocketCallRecorder&) = delete;

  // The next `call` fails with `fault` (recorded all the same); the ones
  // after it reach the system again.
  void FailNext(SocketCall call, SocketFault fault);
  // Every `call` fails with `fault` until StopFailing(): the network is down.
  void FailEvery(SocketCall call, SocketFault fault);
  void StopFailing();

  const std::vector<std::string>& calls() const;
  void ClearCalls();
};

// For the per-platform wrappers.
namespace socket_call_recorder_internal {
// Records `entry`; returns the fault to simulate, if one was armed for `call`.
std::optional<SocketFault> Record(std::optional<SocketCall> call,
                                  std::string entry);
void Install();    // per platform: route the back end's calls to wrappers
void Uninstall();  // per platform: restore the real calls
}  // namespace socket_call_recorder_internal

}  // namespace orvanta

#endif  // ORVANTA_NOTIFY_TEST_SOCKET_CALL_RECORDER_H_
