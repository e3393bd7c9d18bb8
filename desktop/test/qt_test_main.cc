// main() for tests of the Qt views: one application object for all tests,
// drawn into memory unless the caller chose a platform (for example xcb
// under Xvfb). Built a second time for tests that open UDP sockets, which
// then refuse to run outside the private test network.
#include <QApplication>

#include <cstdlib>

#include <gtest/gtest.h>

#ifdef ORVANTA_PRIVATE_NETWORK_ONLY
#include "notify/test/private_network.h"
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
#ifdef ORVANTA_PRIVATE_NETWORK_ONLY
  orvanta::RequirePrivateTestNetwork();
#endif
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
