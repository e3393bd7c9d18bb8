// main() for test programs that start a broker: they refuse to run anywhere
// but inside the private test network, and then take a network namespace of
// their own (see EnterOwnLoopbackNetwork).
#include <gtest/gtest.h>

#include "notify/test/mqtt_broker.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  orvanta::EnterOwnLoopbackNetwork();
  return RUN_ALL_TESTS();
}
