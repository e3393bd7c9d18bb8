// The real program, left alone with a serial device that comes and goes: it
// reports the trouble once, tries the port again in the background and,
// once the device is back at the same path, announces calls again without
// anyone pressing a button. The device is one end of a socat
// pseudo-terminal pair, made again at the same path for a replug.

#include <filesystem>
#include <string>

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
  // Away: the program tries again in the background; its first try fails
  // and says so once (that later tries say nothing more is the device's own
  // test; what the waiting costs is measured in tools/bench).
  const std::string failed_try = "open " + line.device() + ":";
  ASSERT_TRUE(program.WaitFor(failed_try)) << program.Output();

  line.PlugIn();
  ASSERT_TRUE(program.WaitFor(kBack + line.device())) << program.Output();
  line.Write("S222E");
  EXPECT_EQ(Announced(listener), "HAT=0\r\nNUMARA=222") << program.Output();
  EXPECT_EQ(program.Count(kLost), 1) << program.Output();
  EXPECT_EQ(program.Count(kBack), 1) << program.Output();
  EXPECT_EQ(program.Count(failed_try), 1) << program.Output();
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
