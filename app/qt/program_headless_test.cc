// The real program, with no display: it says so, runs on Qt's offscreen
// platform and announces the calls a serial device sends. The device is one
// end of a pseudo-terminal pair made by socat; the test writes to the other.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app/qt/test/child_process.h"
#include "base/text.h"
#include "base/ui_handover.h"
#include "notify/test/udp_listener.h"
#include "serial/com_port.h"
#include "serial/test/socat_pty.h"
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
  SocatPty line;

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
    port.SetPort(Utf8ToUtf16(line.device()));
    port.StoreSettings(TStoreType::stIniFile,
                       folder.File(u"calleridcomport.ini"));
  }

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
}

}  // namespace
}  // namespace orvanta
