#include "notify/test/private_network.h"

namespace orvanta {

// The reader's own namespace: /proc/net is /proc/self/net.
const char* NetworkDeviceListPath() { return "/proc/net/dev"; }

}  // namespace orvanta
