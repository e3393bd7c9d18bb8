#ifndef ORVANTA_NOTIFY_TEST_PRIVATE_NETWORK_H_
#define ORVANTA_NOTIFY_TEST_PRIVATE_NETWORK_H_

#include <string>
#include <vector>

namespace orvanta {

// Guards for tests that open UDP sockets: a datagram may only ever leave
// inside the private network namespace made by tools/netns-run, which holds
// exactly the interfaces lo, v0 and v1.

// The interface names of this process's network namespace, sorted, as
// listed in /proc/net/dev (under Wine: Z:\proc\net\dev). Empty when the list
// cannot be read.
std::vector<std::string> NetworkInterfaceNames();

// True when the interfaces are exactly lo, v0 and v1.
bool InPrivateTestNetwork();

// Returns only inside the private test network; anywhere else it prints why
// to stderr and ends the process with exit code 1.
void RequirePrivateTestNetwork();

// Where this platform lists the interfaces.
const char* NetworkDeviceListPath();

}  // namespace orvanta

#endif  // ORVANTA_NOTIFY_TEST_PRIVATE_NETWORK_H_
