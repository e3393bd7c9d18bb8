#include "callerid/engine.h"

#include <memory>

#include "callerid/device_control.h"
#include "callerid/sources.h"
#include "notify/announcer.h"

namespace orvanta {

// Kept apart from the engine's logic so that code driving the engine through
// EngineLinks does not pull in the real port and channel.
CallerIdEngine::CallerIdEngine(EngineParts parts)
    : own_channel_(std::make_unique<UdpBroadcastChannel>(parts.channel)),
      own_serial_(std::make_unique<ComPortSerialSource>(parts.port, parts.framing)),
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
             parts.exe_directory} {}

}  // namespace orvanta
