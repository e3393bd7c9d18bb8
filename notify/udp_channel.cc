#include "notify/udp_channel.h"

#include "base/failure.h"
#include "base/text.h"
#include "notify/datagram_socket.h"

namespace orvanta {
namespace {

struct ErrorDescription {
  int code;
  const char16_t* text;
};

constexpr ErrorDescription kErrorDescriptions[] = {
    {winsock_error::kInterrupted, u"Interrupted system call."},
    {winsock_error::kBadHandle, u"Bad file number."},
    {winsock_error::kAccessDenied, u"Access denied."},
    {winsock_error::kBadAddress, u"Bad address."},
    {winsock_error::kInvalidArgument, u"Invalid argument."},
    {winsock_error::kTooManyOpenFiles, u"Too many open files."},
    {winsock_error::kWouldBlock, u"Operation would block."},
    {winsock_error::kInProgress, u"Operation now in progress."},
    {winsock_error::kAlready, u"Operation already in progress."},
    {winsock_error::kNotSocket, u"Socket operation on non-socket."},
    {winsock_error::kDestinationAddressRequired,
     u"Destination address required."},
    {winsock_error::kMessageSize, u"Message too long."},
    {winsock_error::kProtocolType, u"Protocol wrong type for socket."},
    {winsock_error::kNoProtocolOption, u"Bad protocol option."},
    {winsock_error::kProtocolNotSupported, u"Protocol not supported."},
    {winsock_error::kSocketTypeNotSupported, u"Socket type not supported."},
    {winsock_error::kOperationNotSupported,
     u"Operation not supported on socket."},
    {winsock_error::kProtocolFamilyNotSupported,
     u"Protocol family not supported."},
    {winsock_error::kAddressFamilyNotSupported,
     u"Address family not supported by protocol family."},
    {winsock_error::kAddressInUse, u"Address already in use."},
    {winsock_error::kAddressNotAvailable, u"Cannot assign requested address."},
    {winsock_error::kNetworkDown, u"Network is down."},
    {winsock_error::kNetworkUnreachable, u"Network is unreachable."},
    {winsock_error::kNetworkReset, u"Net dropped connection or reset."},
    {winsock_error::kConnectionAborted, u"Software caused connection abort."},
    {winsock_error::kConnectionReset, u"Connection reset by peer."},
    {winsock_error::kNoBufferSpace, u"No buffer space available."},
    {winsock_error::kAlreadyConnected, u"Socket is already connected."},
    {winsock_error::kNotConnected, u"Socket is not connected."},
    {winsock_error::kShutDown, u"Cannot send after socket shutdown."},
    {winsock_error::kTimedOut, u"Connection timed out."},
    {winsock_error::kConnectionRefused, u"Connection refused."},
    {winsock_error::kHostDown, u"Host is down."},
    {winsock_error::kHostUnreachable, u"No route to host."},
    {winsock_error::kSystemNotReady, u"Network subsystem is unavailable."},
    {winsock_error::kVersionNotSupported, u"Winsock version not supported."},
    {winsock_error::kNotInitialised, u"Winsock not initialized."},
};

std::u16string_view ErrorDescriptionOf(int code) {
  for (const ErrorDescription& entry : kErrorDescriptions) {
    if (entry.code == code) return entry.text;
  }
  return {};
}

[[noreturn]] void RaiseSocketError(int code) { throw SocketFailure(code); }

}  // namespace

std::string EncodeDatagram(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (char16_t unit : text) {
    bytes.push_back(unit <= 0x7F ? static_cast<char>(unit) : '?');
  }
  return bytes;
}

std::u16string SocketErrorMessage(int winsock_code) {
  std::u16string message = u"Socket Error # ";
  message += IntToText(winsock_code);
  message += u"\r\n";
  message += ErrorDescriptionOf(winsock_code);
  return message;
}

SocketFailure::SocketFailure(int winsock_code)
    : Failure(SocketErrorMessage(winsock_code)), code_(winsock_code) {}

UdpChannel::UdpChannel() = default;

UdpChannel::~UdpChannel() = default;

void UdpChannel::SetPort(int32_t port) {
  port_ = static_cast<uint16_t>(static_cast<uint32_t>(port) & 0xFFFF);
}

bool UdpChannel::Active() const { return socket_ != nullptr; }

void UdpChannel::SetActive(bool active) {
  if (active == Active()) return;
  if (!active) {
    socket_.reset();  // shutdown + close, errors ignored
    return;
  }
  // The socket is held locally until it is fully set up: a failure on the
  // way closes it again, so a channel that reported it could not open never
  // counts as open (and never sends) afterwards.
  int error = 0;
  std::unique_ptr<DatagramSocket> socket = DatagramSocket::Create(&error);
  if (!socket) RaiseSocketError(error);
  if (int e = socket->SetReuseAddress(false)) RaiseSocketError(e);
  if (socket->BindAnyAddress(0) != 0) throw Failure(kBindFailedMessage);
  if (int e = socket->SetBroadcast(broadcast_enabled_)) RaiseSocketError(e);
  socket_allows_broadcast_ = broadcast_enabled_;
  socket_ = std::move(socket);
}

// The permission is only changed when it differs: with broadcasts enabled,
// as they are unless switched off, a call costs the one send and no more.
void UdpChannel::AllowBroadcast(bool allow) {
  if (allow == socket_allows_broadcast_) return;
  // Unknown until the change has gone through.
  socket_allows_broadcast_.reset();
  if (int e = socket_->SetBroadcast(allow)) RaiseSocketError(e);
  socket_allows_broadcast_ = allow;
}

void UdpChannel::Broadcast(std::u16string_view text, uint16_t port) {
  if (!socket_) RaiseSocketError(winsock_error::kNotSocket);
  const std::string bytes = EncodeDatagram(text);
  AllowBroadcast(true);
  if (!bytes.empty()) {
    const DatagramSocket::SendResult result =
        socket_->SendBroadcast(bytes, port);
    if (result.error == winsock_error::kMessageSize) {
      throw Failure(kPackageTooBigMessage);
    }
    if (result.error != 0) RaiseSocketError(result.error);
    if (result.sent != static_cast<int64_t>(bytes.size())) {
      throw Failure(kNotAllBytesSentMessage);
    }
  }
  AllowBroadcast(broadcast_enabled_);
}

uint16_t UdpChannel::LocalPort() const {
  return socket_ ? socket_->LocalPort() : 0;
}

}  // namespace orvanta
