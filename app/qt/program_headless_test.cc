// The real program, with no display: it says so, runs on Qt's offscreen
// platform and announces the calls a serial device sends. The device is one
// end of a pseudo-terminal pair made by socat; the test writes to the other.

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app/qt/test/child_process.h"
#include "base/text.h"
#include "base/ui_handover.h"
#include "notify/test/udp_listener.h"
#include "serial/com_port.h"
#include "settings/storage.h"
#include "settings/test/temp_folder.h"

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
  void Start(const std::string& display = "") {
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{(folder_ / "orvanta").string()},
        std::map<std::string, std::string>{
            {"DISPLAY", display},
            {"WAYLAND_DISPLAY", ""},
            {"QT_QPA_PLATFORM", ""},
            {"XDG_CONFIG_HOME", ""},
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

 private:
  fs::path folder_;
  std::string output_;
  std::unique_ptr<ChildProcess> process_;
};

TEST(ProgramHeadlessTest, AnnouncesTheCallsOfASerialDevice) {
  TempFolder folder;
  const fs::path device = folder.path() / "device";
  const fs::path line = folder.path() / "line";
  ChildProcess socat({"socat", "pty,raw,echo=0,link=" + device.string(),
                      "pty,raw,echo=0,link=" + line.string()},
                     {}, (folder.path() / "socat.txt").string());
  ASSERT_TRUE(
      PollUntil([&] { return fs::exists(device) && fs::exists(line); }));

  UdpListener listener;
  {
    TVmStorage store;
    AddSettingsCatalogue(store);
    store.SetFileName(folder.File(u"Setting.ini"));
    store.WriteValue(kCallerIdKullan, true);
    store.WriteValue(kCallerIdType, 2);
    store.WriteValue(kCallerIdNoBaslama, 1);
    store.WriteValue(kCallerIdNoUzunluk, 0);
    store.WriteValue(kUdpPort, static_cast<int32_t>(listener.port()));
    store.SaveValues();
    UiHandover unused;
    TComPort port(unused);
    port.SetPort(Utf8ToUtf16(device.string()));
    port.StoreSettings(TStoreType::stIniFile,
                       folder.File(u"calleridcomport.ini"));
  }

  HeadlessProgram program(folder.path());
  program.Start();
  ASSERT_TRUE(program.WaitUntilStarted()) << program.Output();
  EXPECT_NE(program.Output().find("no display"), std::string::npos)
      << program.Output();

  const int fd = open(line.c_str(), O_WRONLY | O_NOCTTY);
  ASSERT_GE(fd, 0);
  const std::string packets[] = {"xxS 0532 123", " 45 67\rE", "S5551234E"};
  for (const std::string& chunk : packets) {
    ASSERT_EQ(write(fd, chunk.data(), chunk.size()),
              static_cast<ssize_t>(chunk.size()));
  }
  auto first = listener.Receive();
  ASSERT_TRUE(first.has_value()) << program.Output();
  EXPECT_EQ(first->bytes, "HAT=0\r\nNUMARA=0532 123 45 67");
  // The chunks may reach the program together: one packet is taken per
  // notification, so a further byte brings out a packet still waiting.
  ASSERT_EQ(write(fd, "\n", 1), 1);
  auto second = listener.Receive();
  ASSERT_TRUE(second.has_value()) << program.Output();
  EXPECT_EQ(second->bytes, "HAT=0\r\nNUMARA=5551234");
  close(fd);
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
}

}  // namespace
}  // namespace orvanta
