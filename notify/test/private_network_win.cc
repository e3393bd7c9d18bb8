#include "notify/test/private_network.h"

namespace orvanta {

// Under Wine the Unix root is drive Z:, and the Windows process is a Linux
// process of the namespace wine was started in.
const char* NetworkDeviceListPath() { return "Z:\\proc\\net\\dev"; }

}  // namespace orvanta
