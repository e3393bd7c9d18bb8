// orvanta-alici's command line, as a started program: the answers and their
// exit codes, the settings folder it is given, one copy per folder.
#include <chrono>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "base/test/temp_folder.h"
#include "desktop/test/child_process.h"

namespace orvanta {
namespace {

namespace fs = std::filesystem;

// The receiver with `arguments`, without a display, its output in `output`.
std::unique_ptr<ChildProcess> Start(const fs::path& folder,
                                    std::vector<std::string> arguments,
                                    const fs::path& output) {
  fs::create_directories(folder / "home");
  arguments.insert(arguments.begin(), ORVANTA_RECEIVER);
  return std::make_unique<ChildProcess>(
      arguments,
      std::map<std::string, std::string>{{"DISPLAY", ""},
                                         {"WAYLAND_DISPLAY", ""},
                                         {"QT_QPA_PLATFORM", ""},
                                         {"XDG_CONFIG_HOME", ""},
                                         {"HOME", (folder / "home").string()}},
      output.string());
}

TEST(ReceiverCommandLineTest, AnswersEndTheProgramWithTheirExitCodes) {
  TempFolder folder;
  const struct {
    std::vector<std::string> arguments;
    int exit_code;
    const char* says;
  } cases[] = {
      {{"--help"}, 0, "Usage: orvanta-alici [OPTION]...\n"},
      {{"-h"}, 0, "  --show              open the history window at start\n"},
      {{"--version"},
       0,
       "VELMORIS Orvanta Al\xC4\xB1"
       "c\xC4\xB1 s1.02.05f\n"},
      {{"--show", "--bogus"}, 2, "orvanta-alici: unknown option '--bogus'\n"},
      {{"--settings-dir"}, 2, "needs a folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    const fs::path output = folder.Path("answer.txt");
    auto program = Start(folder.path(), c.arguments, output);
    EXPECT_EQ(program->WaitForExit(), c.exit_code);
    EXPECT_NE(ReadWholeFile(output.string()).find(c.says), std::string::npos)
        << ReadWholeFile(output.string());
  }
}

TEST(ReceiverCommandLineTest, OneCopyRunsPerSettingsFolder) {
  TempFolder folder;
  const fs::path settings = folder.Path("yeni/alici");
  auto first = Start(folder.path(), {"--settings-dir", settings.string()},
                     folder.Path("first.txt"));
  ASSERT_TRUE(PollUntil([&] {
    return ReadWholeFile(folder.Path("first.txt").string())
               .find("listening on UDP port") != std::string::npos;
  })) << ReadWholeFile(folder.Path("first.txt").string());
  EXPECT_TRUE(fs::exists(settings / "Alici.ini"));
  EXPECT_FALSE(fs::exists(folder.Path("home/.config/orvanta/Alici.ini")));

  // The same folder spelled another way: the running copy shows its window.
  auto second =
      Start(folder.path(),
            {"--settings-dir=" + folder.Path("yeni/./x/../alici/").string()},
            folder.Path("second.txt"));
  EXPECT_EQ(second->WaitForExit(), 0)
      << ReadWholeFile(folder.Path("second.txt").string());
  EXPECT_NE(ReadWholeFile(folder.Path("second.txt").string())
                .find("its history window is shown"),
            std::string::npos);
  EXPECT_TRUE(first->Running());
  first->Stop();
}

}  // namespace
}  // namespace orvanta
