#include "callerid/engine.h"

#include <memory>
#include <utility>

#include "base/periodic_call.h"
#include "callerid/broadcast_channel.h"
#include "callerid/device_control.h"
#include "callerid/serial_source.h"
#include "notify/announcer.h"

namespace orvanta {
namespace {

class PeriodicRetryTimer : public RetryTimer {
 public:
  explicit PeriodicRetryTimer(UiHandover& ui) : call_(ui) {}
  void Start(std::chrono::milliseconds period,
             std::function<void()> work) override {
    call_.Start(period, std::move(work));
  }
  void Stop() override { call_.Stop(); }
  bool Running() const override { return call_.Running(); }

 private:
  PeriodicCall call_;
};

}  // namespace

// Kept apart from the engine's logic so that code driving the engine through
// EngineLinks does not pull in the real port and channel.
CallerIdEngine::CallerIdEngine(EngineParts parts)
    : own_channel_(std::make_unique<UdpBroadcastChannel>(parts.channel)),
      own_serial_(
          std::make_unique<ComPortSerialSource>(parts.port, parts.framing)),
      own_retry_(std::make_unique<PeriodicRetryTimer>(parts.ui)),
      links_{parts.store,
             *own_channel_,
             *own_serial_,
             parts.devices,
             parts.notice,
             parts.controls,
             parts.log,
             [&announcer = parts.announcer](const std::u16string& number,
                                            const std::u16string& line) {
               announcer.AnnounceCall(number, line);
             },
             parts.exe_directory,
             *own_retry_} {
  AttachToSerial();
}

}  // namespace orvanta
