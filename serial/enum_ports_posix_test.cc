#include "serial/enum_ports_posix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "serial/com_port.h"
#include "serial/enum_ports.h"
#include "settings/test/temp_folder.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;

TEST(EnumTtyPorts, TerminalsWithADeviceBehindThem) {
  TempFolder sys;
  for (const char* name : {"ttyUSB0", "ttyS1", "ttyACM10", "ttyacm2", "tty0", "ptmx",
                           "console"}) {
    std::filesystem::create_directories(sys.Path(name));
  }
  for (const char* name : {"ttyUSB0", "ttyS1", "ttyACM10", "ttyacm2"}) {
    std::filesystem::create_directories(sys.Path("devices") / name);
    std::filesystem::create_directory_symlink(sys.Path("devices") / name,
                                              sys.Path(name) / "device");
  }
  std::vector<std::u16string> ports = {u"stale"};
  EnumTtyPorts(sys.Path("").string(), ports);
  EXPECT_THAT(ports, ElementsAre(u"ttyACM10", u"ttyacm2", u"ttyS1", u"ttyUSB0"));
}

TEST(EnumTtyPorts, UnreadableClassDirectoryIsKind23) {
  TempFolder sys;
  std::vector<std::u16string> ports;
  try {
    EnumTtyPorts(sys.Path("missing").string(), ports);
    FAIL() << "listed";
  } catch (const EComPortExt& e) {
    EXPECT_EQ(e.Kind(), 23);
    EXPECT_EQ(e.WinCode(), static_cast<uint32_t>(ENOENT));
    EXPECT_EQ(e.message(), u"COM Port Error: Registry error on EnumComPorts");
  }
}

TEST(EnumComPorts, ListsNamesThatOpenTakes) {
  std::vector<std::u16string> ports;
  EnumComPorts(ports);
  for (const std::u16string& port : ports) {
    const std::string path = "/dev/" + std::string(port.begin(), port.end());
    EXPECT_EQ(access(path.c_str(), F_OK), 0) << path;
  }
}

}  // namespace
}  // namespace orvanta
