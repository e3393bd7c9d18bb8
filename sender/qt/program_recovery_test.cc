// The real program, left alone with a serial device that comes and goes: it
// reports the trouble once, tries the port again in the background and,
// once the device is back at the same path, announces calls again without
// anyone pressing a button. The device is one end of a socat
// pseudo-terminal pair, made again at the same path for a replug.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

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

constexpr char kLost[] = "WaitForEvent method failed on ";
constexpr char kCannotOpen[] = "Unable to open com port on ";
// The tray balloon's line; the log line of the same words comes out too.
constexpr char kBack[] = "VELMORIS: Seri port cihazı bağlandı: ";

// A copy of the program with caller-ID on, reading the serial device at
// `device` and announcing to `udp_port`; started with no display, so its
// messages and balloons come out as lines of its output.
class Program {
 public:
  Program(const TempFolder& folder, const std::string& device,
          uint16_t udp_port)
      : folder_(folder.path()), output_((folder_ / "output.txt").string()) {
    WriteSerialSettings(folder.path(), device, udp_port);

    fs::copy_file(ORVANTA_PROGRAM, folder_ / "orvanta");
    fs::create_directory(folder_ / "home");
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{(folder_ / "orvanta").string()},
        std::map<std::string, std::string>{
            {"DISPLAY", ""},
            {"WAYLAND_DISPLAY", ""},
            {"QT_QPA_PLATFORM", ""},
            {"XDG_CONFIG_HOME", ""},
            {"HOME", (folder_ / "home").string()}},
        output_);
  }

  std::string Output() const { return ReadWholeFile(output_); }
  int Count(const std::string& text) const {
    const std::string output = Output();
    int count = 0;
    for (size_t at = output.find(text); at != std::string::npos;
         at = output.find(text, at + 1)) {
      ++count;
    }
    return count;
  }
  bool WaitFor(const std::string& text) {
    return PollUntil([&] { return Count(text) > 0; });
  }
  bool Running() { return process_->Running(); }

  // User plus system time the process has used, in clock ticks.
  long CpuTicks() const {
    std::ifstream in("/proc/" + std::to_string(process_->pid()) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    // Fields after the name in parentheses: state is the third field, user
    // and system time the 14th and 15th.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
      if (i == 14) utime = std::stol(field);
      if (i == 15) stime = std::stol(field);
    }
    return utime + stime;
  }

 private:
  fs::path folder_;
  std::string output_;
  std::unique_ptr<ChildProcess> process_;
};

std::string Announced(UdpListener& listener) {
  const auto datagram = listener.Receive();
  return datagram ? datagram->bytes : "(nothing)";
}

TEST(ProgramRecoveryTest, CallsGetThroughAgainAfterTheDeviceIsReplugged) {
  TempFolder folder;
  SocatPty line;
  UdpListener listener;
  Program program(folder, line.device(), listener.port());
  ASSERT_TRUE(program.WaitFor("çalışıyor")) << program.Output();
  line.Write("S111E");
  EXPECT_EQ(Announced(listener), "HAT=0\r\nNUMARA=111") << program.Output();

  line.Hangup();
  ASSERT_TRUE(program.WaitFor(kLost)) << program.Output();
  // Away for a while: the program keeps trying without a word, and costs
  // next to nothing meanwhile.
  const long before = program.CpuTicks();
  std::this_thread::sleep_for(std::chrono::seconds(3));
  const long ticks = program.CpuTicks() - before;
  std::printf(
      "CPU ticks used in 3 s while the device is away: %ld (%ld per second)\n",
      ticks, sysconf(_SC_CLK_TCK));

  // A few more tries, each failing the same way: one line of it is enough.
  std::this_thread::sleep_for(std::chrono::seconds(2));
  EXPECT_EQ(program.Count("open " + line.device() + ":"), 1)
      << program.Output();

  line.PlugIn();
  ASSERT_TRUE(program.WaitFor(kBack + line.device())) << program.Output();
  line.Write("S222E");
  EXPECT_EQ(Announced(listener), "HAT=0\r\nNUMARA=222") << program.Output();
  EXPECT_EQ(program.Count(kLost), 1) << program.Output();
  EXPECT_EQ(program.Count(kBack), 1) << program.Output();
  EXPECT_TRUE(program.Running()) << program.Output();
}

TEST(ProgramRecoveryTest, ADeviceMissingAtStartIsWaitedFor) {
  TempFolder folder;
  SocatPty line(/*plugged_in=*/false);
  UdpListener listener;
  Program program(folder, line.device(), listener.port());
  ASSERT_TRUE(program.WaitFor(kCannotOpen + line.device())) << program.Output();

  line.PlugIn();
  ASSERT_TRUE(program.WaitFor(kBack + line.device())) << program.Output();
  line.Write("S333E");
  EXPECT_EQ(Announced(listener), "HAT=0\r\nNUMARA=333") << program.Output();
  EXPECT_EQ(program.Count(kCannotOpen), 1) << program.Output();
  EXPECT_TRUE(program.Running()) << program.Output();
}

}  // namespace
}  // namespace orvanta
