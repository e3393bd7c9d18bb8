#include "callerid/test/test_authority.h"

namespace orvanta {

TrustedTestAuthority::TrustedTestAuthority() = default;
TrustedTestAuthority::~TrustedTestAuthority() = default;

}  // namespace orvanta
