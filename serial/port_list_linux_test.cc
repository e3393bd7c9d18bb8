#include "serial/port_list_linux.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "base/test/temp_folder.h"
#include "serial/port_list.h"
#include "serial/serial_error.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;

// A machine's /sys/class/tty and /dev/serial/by-id, in a folder of its own.
TEST(ListTtyPorts, TerminalsWithADeviceBehindThemAndTheirStableNames) {
  TempFolder root;
  const auto sys = root.Path("sys");
  const auto dev = root.Path("dev");
  const auto by_id = dev / "serial" / "by-id";
  std::filesystem::create_directories(by_id);
  for (const char* name :
       {"ttyUSB0", "ttyS1", "ttyACM10", "ttyacm2", "tty0", "ptmx", "console"}) {
    std::filesystem::create_directories(sys / name);
  }
  for (const char* name : {"ttyUSB0", "ttyS1", "ttyACM10", "ttyacm2"}) {
    std::filesystem::create_directories(sys / "devices" / name);
    std::filesystem::create_directory_symlink(sys / "devices" / name,
                                              sys / name / "device");
    root.Write(std::filesystem::path("dev") / name, "");
  }
  std::filesystem::create_symlink("../../ttyUSB0",
                                  by_id / "usb-FTDI_FT232R_A1B2-if00-port0");
  std::filesystem::create_symlink("../../ttyACM10",
                                  by_id / "usb-Arduino_Uno_75-if00");
  // An adapter pulled out a moment ago: its link is left, its device gone.
  std::filesystem::create_symlink("../../ttyUSB1",
                                  by_id / "usb-Prolific_PL2303-if00-port0");

  PortFolders folders{sys.string(), by_id.string()};
  std::vector<std::u16string> ports = ListTtyPorts(folders);
  const std::u16string stable = by_id.u16string() + u"/";
  EXPECT_THAT(ports,
              ElementsAre(stable + u"usb-Arduino_Uno_75-if00",
                          stable + u"usb-FTDI_FT232R_A1B2-if00-port0",
                          u"ttyACM10", u"ttyacm2", u"ttyS1", u"ttyUSB0"));

  // Without a by-id folder (no adapter plugged in) only the terminals.
  folders.by_id = (dev / "missing").string();
  EXPECT_THAT(ListTtyPorts(folders),
              ElementsAre(u"ttyACM10", u"ttyacm2", u"ttyS1", u"ttyUSB0"));
}

TEST(ListTtyPorts, UnreadableClassDirectorySaysWhichOne) {
  TempFolder sys;
  const std::filesystem::path missing = sys.Path("missing");
  try {
    ListTtyPorts(PortFolders{missing.string(), sys.Path("by-id").string()});
    FAIL() << "listed";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), SerialFailure::kPortFolder);
    EXPECT_EQ(e.SystemErrorCode(), static_cast<uint32_t>(ENOENT));
    EXPECT_EQ(e.message(), u"COM Port Error: Unable to list serial ports on " +
                               missing.u16string());
  }
}

TEST(ListSerialPorts, ListsNamesThatThePortOpens) {
  const std::vector<std::u16string> ports = ListSerialPorts();
  for (const std::u16string& port : ports) {
    const std::string name(port.begin(), port.end());
    const std::string path = name[0] == '/' ? name : "/dev/" + name;
    EXPECT_EQ(access(path.c_str(), F_OK), 0) << path;
  }
}

}  // namespace
}  // namespace orvanta
