#ifndef ORVANTA_BASE_HOST_NAME_H_
#define ORVANTA_BASE_HOST_NAME_H_

#include <string>

namespace orvanta {

// This computer's name as its owner set it ("OFIS-PC", "kasa"), without a
// domain; "localhost" when the system gives none.
std::u16string HostName();

}  // namespace orvanta

#endif  // ORVANTA_BASE_HOST_NAME_H_
