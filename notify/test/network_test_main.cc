// main() for test programs that open UDP sockets: they refuse to run
// anywhere but inside the private test network.
#include <gtest/gtest.h>

#include "notify/test/private_network.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  orvanta::RequirePrivateTestNetwork();
  return RUN_ALL_TESTS();
}
