#ifndef ORVANTA_CALLERID_BROADCAST_CHANNEL_H_
#define ORVANTA_CALLERID_BROADCAST_CHANNEL_H_

#include <cstdint>

namespace orvanta {

class UdpChannel;

// The UDP channel the calls are announced on, as the engine switches it on
// and off.
class BroadcastChannel {
 public:
  virtual ~BroadcastChannel() = default;
  virtual void SetPort(int32_t port) = 0;
  virtual void SetActive(bool active) = 0;
};

// The real UDP channel behind BroadcastChannel.
class UdpBroadcastChannel : public BroadcastChannel {
 public:
  explicit UdpBroadcastChannel(UdpChannel& channel);
  void SetPort(int32_t port) override;
  void SetActive(bool active) override;

 private:
  UdpChannel& channel_;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_BROADCAST_CHANNEL_H_
