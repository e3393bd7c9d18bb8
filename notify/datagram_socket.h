#ifndef ORVANTA_NOTIFY_DATAGRAM_SOCKET_H_
#define ORVANTA_NOTIFY_DATAGRAM_SOCKET_H_

#include <cstdint>
#include <memory>
#include <string_view>

namespace orvanta {

// Socket error codes are Winsock's numbers on every platform, so a failure
// reads the same on Windows and Linux. The POSIX back end translates errno
// into these.
namespace winsock_error {
inline constexpr int kInterrupted = 10004;
inline constexpr int kBadHandle = 10009;
inline constexpr int kAccessDenied = 10013;
inline constexpr int kBadAddress = 10014;
inline constexpr int kInvalidArgument = 10022;
inline constexpr int kTooManyOpenFiles = 10024;
inline constexpr int kWouldBlock = 10035;
inline constexpr int kInProgress = 10036;
inline constexpr int kAlready = 10037;
inline constexpr int kNotSocket = 10038;
inline constexpr int kDestinationAddressRequired = 10039;
inline constexpr int kMessageSize = 10040;
inline constexpr int kProtocolType = 10041;
inline constexpr int kNoProtocolOption = 10042;
inline constexpr int kProtocolNotSupported = 10043;
inline constexpr int kSocketTypeNotSupported = 10044;
inline constexpr int kOperationNotSupported = 10045;
inline constexpr int kProtocolFamilyNotSupported = 10046;
inline constexpr int kAddressFamilyNotSupported = 10047;
inline constexpr int kAddressInUse = 10048;
inline constexpr int kAddressNotAvailable = 10049;
inline constexpr int kNetworkDown = 10050;
inline constexpr int kNetworkUnreachable = 10051;
inline constexpr int kNetworkReset = 10052;
inline constexpr int kConnectionAborted = 10053;
inline constexpr int kConnectionReset = 10054;
inline constexpr int kNoBufferSpace = 10055;
inline constexpr int kAlreadyConnected = 10056;
inline constexpr int kNotConnected = 10057;
inline constexpr int kShutDown = 10058;
inline constexpr int kTimedOut = 10060;
inline constexpr int kConnectionRefused = 10061;
inline constexpr int kHostDown = 10064;
inline constexpr int kHostUnreachable = 10065;
inline constexpr int kSystemNotReady = 10091;
inline constexpr int kVersionNotSupported = 10092;
inline constexpr int kNotInitialised = 10093;
}  // namespace winsock_error

// One IPv4 datagram socket of the platform, as thin as the system calls
// under it. Every operation reports failure as a Winsock error code
// (0 = success); wording the failure is the channel's business.
class DatagramSocket {
 public:
  struct SendResult {
    int64_t sent = 0;  // bytes the system took
    int error = 0;     // Winsock code; `sent` is meaningless when non-zero
  };

  // A new IPv4 UDP socket, or null with *error set.
  static std::unique_ptr<DatagramSocket> Create(int* error);

  ~DatagramSocket();  // Close()
  DatagramSocket(const DatagramSocket&) = delete;
  DatagramSocket& operator=(const DatagramSocket&) = delete;

  int SetReuseAddress(bool on);
  int SetBroadcast(bool on);
  int BindAnyAddress(uint16_t port);  // 0.0.0.0:port
  // One datagram to 255.255.255.255:port, no flags.
  SendResult SendBroadcast(std::string_view bytes, uint16_t port);
  uint16_t LocalPort() const;  // 0 when unknown
  // Shut down for sending, then close; errors are ignored. Once only.
  void Close();

 private:
  explicit DatagramSocket(uintptr_t handle) : handle_(handle) {}

  uintptr_t handle_;  // fd or SOCKET
  bool open_ = true;
};

}  // namespace orvanta

#endif  // ORVANTA_NOTIFY_DATAGRAM_SOCKET_H_
