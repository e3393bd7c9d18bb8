// The real program under a burst: a serial device sends 10,000 calls as
// fast as the line takes them, and every one of them must come out as a
// datagram, once and in order. The device is one end of a socat
// pseudo-terminal pair; the listener sits in the private test network.

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "desktop/test/child_process.h"
#include "sender/qt/test/program_settings.h"
#include "base/text.h"
#include "base/ui_handover.h"
#include "notify/test/udp_listener.h"
#include "serial/serial_port.h"
#include "serial/test/socat_pty.h"
#include "settings/storage.h"
#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

namespace fs = std::filesystem;

constexpr size_t kCalls = 10000;

TEST(ProgramBurstTest, EveryCallOfABurstIsAnnouncedOnceInOrder) {
  TempFolder folder;
  SocatPty line;
  UdpListener listener;
  WriteSerialSettings(folder.path(), line.device(), listener.port());

  const fs::path program = folder.path() / "orvanta";
  fs::copy_file(ORVANTA_PROGRAM, program);
  fs::create_directory(folder.path() / "home");
  const std::string output = (folder.path() / "output.txt").string();
  ChildProcess process({program.string()},
                       {{"DISPLAY", ""},
                        {"WAYLAND_DISPLAY", ""},
                        {"QT_QPA_PLATFORM", ""},
                        {"XDG_CONFIG_HOME", ""},
                        {"HOME", (folder.path() / "home").string()}},
                       output);
  ASSERT_TRUE(PollUntil([&] {
    return ReadWholeFile(output).find("çalışıyor") != std::string::npos;
  })) << ReadWholeFile(output);

  // Written from a thread of its own while this one reads the datagrams, so
  // the listener's socket never overflows.
  std::thread device([&line] {
    std::string block;
    for (size_t n = 0; n < kCalls; ++n) {
      block += "S" + std::to_string(n) + "E";
      if (block.size() >= 256) {
        line.Write(block);
        block.clear();
      }
    }
    if (!block.empty()) line.Write(block);
  });
  std::vector<std::string> got;
  while (got.size() < kCalls) {
    const auto datagram = listener.Receive();
    if (!datagram) break;
    got.push_back(datagram->bytes);
  }
  device.join();
  EXPECT_EQ(got.size(), kCalls) << ReadWholeFile(output);
  for (size_t n = 0; n < got.size(); ++n) {
    if (got[n] != "HAT=0\r\nNUMARA=" + std::to_string(n)) {
      ADD_FAILURE() << "datagram " << n << " is " << got[n];
      break;
    }
  }
  EXPECT_TRUE(process.Running()) << ReadWholeFile(output);
}

}  // namespace
}  // namespace orvanta
