// The real program, with no display: it says so, runs on Qt's offscreen
// platform and announces the calls a serial device sends. The device is one
// end of a pseudo-terminal pair made by socat; the test writes to the other.

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
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

constexpr char kStarted[] = "VELMORIS Orvanta çalışıyor...";

// A copy of the program in a folder of its own, started with no display and
// a home of its own, so only that folder can hold its settings.
class HeadlessProgram {
 public:
  explicit HeadlessProgram(const fs::path& folder)
      : folder_(folder), output_((folder / "output.txt").string()) {
    fs::copy_file(ORVANTA_PROGRAM, folder / "orvanta");
    fs::create_directory(folder / "home");
  }

  // An empty `display` starts it with no DISPLAY at all.
  void Start(const std::string& display = "",
             const std::vector<std::string>& arguments = {}) {
    std::vector<std::string> argv = {(folder_ / "orvanta").string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    process_ = std::make_unique<ChildProcess>(
        argv,
        std::map<std::string, std::string>{
            {"DISPLAY", display},
            {"WAYLAND_DISPLAY", ""},
            {"QT_QPA_PLATFORM", ""},
            {"XDG_CONFIG_HOME", ""},
            {"XDG_RUNTIME_DIR", ""},
            {"HOME", (folder_ / "home").string()}},
        output_);
  }

  // The start-up apply is done once the running notice is out.
  bool WaitUntilStarted() {
    return PollUntil(
        [this] { return Output().find(kStarted) != std::string::npos; });
  }

  std::string Output() const { return ReadWholeFile(output_); }
  bool Running() { return process_ && process_->Running(); }
  ChildProcess& process() { return *process_; }

 private:
  fs::path folder_;
  std::string output_;
  std::unique_ptr<ChildProcess> process_;
};

// Whether the terminal at `device` is in exclusive mode. Asked of the
// terminal, since root may open one even then.
bool Exclusive(const std::string& device) {
  const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return errno == EBUSY;
  int exclusive = 0;
  ioctl(fd, TIOCGEXCL, &exclusive);
  close(fd);
  return exclusive != 0;
}

TEST(ProgramHeadlessTest, AnnouncesTheCallsOfASerialDevice) {
  TempFolder folder;
  SocatPty line;
  UdpListener listener;
  WriteSerialSettings(folder.path(), line.device(), listener.port());

  HeadlessProgram program(folder.path());
  program.Start();
  ASSERT_TRUE(program.WaitUntilStarted()) << program.Output();
  EXPECT_NE(program.Output().find("no display"), std::string::npos)
      << program.Output();

  // The chunks may reach the program together: every complete packet of a
  // notification is announced, so no further byte is needed.
  for (const std::string chunk : {"xxS 0532 123", " 45 67\rE", "S5551234E"}) {
    line.Write(chunk);
  }
  auto first = listener.Receive();
  ASSERT_TRUE(first.has_value()) << program.Output();
  EXPECT_EQ(first->bytes, "HAT=0\r\nNUMARA=0532 123 45 67");
  auto second = listener.Receive();
  ASSERT_TRUE(second.has_value()) << program.Output();
  EXPECT_EQ(second->bytes, "HAT=0\r\nNUMARA=5551234");
  EXPECT_TRUE(program.Running()) << program.Output();
}

// Also where DISPLAY names an X server that is not there.
TEST(ProgramHeadlessTest, WithoutSettingsWritesNoFile) {
  TempFolder folder;
  HeadlessProgram program(folder.path());
  program.Start(":65000");
  ASSERT_TRUE(program.WaitUntilStarted()) << program.Output();
  EXPECT_NE(program.Output().find("no display"), std::string::npos)
      << program.Output();
  EXPECT_TRUE(program.Running());
  EXPECT_FALSE(fs::exists(folder.path() / "Setting.ini"));
  EXPECT_FALSE(fs::exists(folder.path() / "calleridcomport.ini"));
  EXPECT_TRUE(fs::is_empty(folder.path() / "home"));
  // Qt's remarks about the missing runtime folder and display stay quiet.
  for (const char* noise : {"QStandardPaths", "qt.qpa", "This plugin"}) {
    EXPECT_EQ(program.Output().find(noise), std::string::npos)
        << program.Output();
  }
}

// Ended by the system, the program runs its closing step as "Programı
// Kapat" does: the port is closed and no longer exclusive, so a restart as
// another user can open it.
TEST(ProgramHeadlessTest, TerminationSignalsEndItThroughTheClosingStep) {
  TempFolder folder;
  SocatPty line;
  UdpListener listener;
  WriteSerialSettings(folder.path(), line.device(), listener.port());
  HeadlessProgram program(folder.path());
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal_number));
    program.Start();
    ASSERT_TRUE(program.WaitUntilStarted()) << program.Output();
    ASSERT_TRUE(PollUntil([&] { return Exclusive(line.device()); }));
    program.process().Signal(signal_number);
    EXPECT_EQ(program.process().WaitForExit(), 0) << program.Output();
    EXPECT_FALSE(Exclusive(line.device()));
    fs::remove(folder.path() / "output.txt");
  }
}

// The settings folder comes from the command line; a file there that is not
// text is reported by name, and a second start for the same folder, however
// it is spelled, shows the first one's window and ends.
TEST(ProgramHeadlessTest, OneCopyPerSettingsFolderFromTheCommandLine) {
  TempFolder folder;
  const fs::path settings = folder.path() / "ayarlar";
  fs::create_directory(settings);
  std::ofstream(settings / "Setting.ini", std::ios::binary) << "\xFF\xFE[\0V\0";
  HeadlessProgram first(folder.path());
  first.Start("", {"--settings-dir", settings.string()});
  ASSERT_TRUE(first.WaitUntilStarted()) << first.Output();
  EXPECT_NE(first.Output().find("Ayar dosyası okunamadı: " +
                                (settings / "Setting.ini").string() +
                                " Dosya UTF-16"),
            std::string::npos)
      << first.Output();

  TempFolder other;
  HeadlessProgram second(other.path());
  second.Start("", {"--settings-dir=" + settings.string() + "/./"});
  EXPECT_EQ(second.process().WaitForExit(), 0) << second.Output();
  EXPECT_NE(second.Output().find("its settings window is shown"),
            std::string::npos)
      << second.Output();
  EXPECT_TRUE(first.Running());
  // Nothing was written: the settings folder holds what it held.
  EXPECT_EQ(fs::directory_iterator(settings)->path().filename(), "Setting.ini");
}

TEST(ProgramHeadlessTest, HelpVersionAndUnknownOptionsAnswerAndEnd) {
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
    std::string says;
  };
  const Case cases[] = {
      {{"--help"}, 0, "Usage: orvanta [OPTION]...\n"},
      {{"--version"}, 0, "VELMORIS Orvanta s1.02.05f\n"},
      {{"--show", "--bogus"}, 2, "orvanta: unknown option '--bogus'\n"},
      {{"--settings-dir"}, 2, "needs a folder"},
  };
  TempFolder folder;
  HeadlessProgram program(folder.path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments[0]);
    fs::remove(folder.path() / "output.txt");
    program.Start("", c.arguments);
    EXPECT_EQ(program.process().WaitForExit(), c.exit_code) << program.Output();
    EXPECT_NE(program.Output().find(c.says), std::string::npos)
        << program.Output();
    EXPECT_EQ(program.Output().find("no display"), std::string::npos);
  }
}

}  // namespace
}  // namespace orvanta
