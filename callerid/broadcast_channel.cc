#include "callerid/broadcast_channel.h"

#include "notify/udp_channel.h"

namespace orvanta {

UdpBroadcastChannel::UdpBroadcastChannel(UdpChannel& channel)
    : channel_(channel) {}

void UdpBroadcastChannel::SetPort(int32_t port) { channel_.SetPort(port); }

void UdpBroadcastChannel::SetActive(bool active) { channel_.SetActive(active); }

}  // namespace orvanta
