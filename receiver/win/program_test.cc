// OrvantaAlici.exe itself, under Wine in the private test network: started
// from a folder holding its settings and phone book, it hears a broadcast
// call and writes it beside itself into its history with the name.
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "notify/udp_channel.h"
#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

constexpr uint16_t kPort = 18980;

class RunningProgram {
 public:
  explicit RunningProgram(const std::filesystem::path& exe,
                          const std::wstring& arguments = L"") {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring line = L"\"" + exe.wstring() + L"\" " + arguments;
    started_ = CreateProcessW(
        exe.wstring().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
        exe.parent_path().wstring().c_str(), &startup, &process_);
  }
  ~RunningProgram() {
    if (!started_) return;
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  bool started() const { return started_; }
  bool Running() const {
    return started_ &&
           WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
  }

 private:
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
};

// Runs the program to its end with its output and errors going to a file:
// its exit code (-1 when it did not end) and in `output` what it wrote.
int RunToEnd(const std::filesystem::path& exe, const std::wstring& arguments,
             std::string* output) {
  const std::filesystem::path output_path =
      exe.parent_path() / L"answer-output.txt";
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE file = CreateFileW(output_path.wstring().c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                            CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = file;
  startup.hStdError = file;
  std::wstring command = L"\"" + exe.wstring() + L"\" " + arguments;
  PROCESS_INFORMATION process = {};
  const BOOL started = CreateProcessW(
      exe.wstring().c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
      exe.parent_path().wstring().c_str(), &startup, &process);
  CloseHandle(file);
  if (!started) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  std::ifstream in(output_path, std::ios::binary);
  output->assign(std::istreambuf_iterator<char>(in), {});
  return static_cast<int>(code);
}

TEST(ReceiverProgramWinTest, HelpVersionAndUnknownOptionsAnswerOnTheOutput) {
  TempFolder folder;
  std::filesystem::copy_file(ORVANTA_RECEIVER_EXE,
                             folder.Path("OrvantaAlici.exe"));
  const struct {
    const wchar_t* arguments;
    int exit_code;
    const char* says;
  } cases[] = {
      {L"--help", 0, "Usage: OrvantaAlici.exe [OPTION]...\r\n"},
      {L"-h", 0, "  --show              open the history window at start\r\n"},
      {L"--version", 0,
       "VELMORIS Orvanta Al\xC4\xB1"
       "c\xC4\xB1 s1.02.05f\r\n"},
      {L"--show --bogus", 2, "OrvantaAlici.exe: unknown option '--bogus'\r\n"},
      {L"--settings-dir", 2, "needs a folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    std::string output;
    EXPECT_EQ(RunToEnd(folder.Path("OrvantaAlici.exe"), c.arguments, &output),
              c.exit_code);
    EXPECT_NE(output.find(c.says), std::string::npos) << output;
  }
  // None of them started the receiver, which would have written its
  // settings file.
  EXPECT_FALSE(folder.Read("Alici.ini").has_value());
}

// --settings-dir puts the receiver's files into a folder made at start; a
// second start for that folder, however it is spelled, shows the running
// copy's history window and ends.
TEST(ReceiverProgramWinTest, OneCopyRunsPerSettingsFolder) {
  TempFolder folder;
  std::filesystem::copy_file(ORVANTA_RECEIVER_EXE,
                             folder.Path("OrvantaAlici.exe"));
  const std::filesystem::path exe = folder.Path("OrvantaAlici.exe");
  RunningProgram program(
      exe, L"--settings-dir \"" + folder.Path("yeni\\alici").wstring() + L"\"");
  ASSERT_TRUE(program.started());
  const auto give_up =
      std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!folder.Read("yeni/alici/Alici.ini") &&
         std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(folder.Read("yeni/alici/Alici.ini").has_value());
  EXPECT_FALSE(folder.Read("Alici.ini").has_value());

  std::string output;
  EXPECT_EQ(RunToEnd(exe, L"--settings-dir=YENI/alici/./", &output), 0)
      << output;
  EXPECT_TRUE(program.Running());
}

TEST(ReceiverProgramWinTest, TheProgramKeepsABroadcastCallWithItsName) {
  TempFolder folder;
  std::filesystem::copy_file(ORVANTA_RECEIVER_EXE,
                             folder.Path("OrvantaAlici.exe"));
  folder.Write("Alici.ini",
               "[VmStored]\r\nUDPPORT=" + std::to_string(kPort) + "\r\n");
  folder.Write("Rehber.csv",
               "0212 555 01 02;Ay\xC5\x9F"
               "e Demir\n");
  RunningProgram program(folder.Path("OrvantaAlici.exe"));
  ASSERT_TRUE(program.started());

  UdpChannel sender;
  sender.SetPort(kPort);
  sender.SetActive(true);
  // Sent again until it is heard: the program may still be starting, and
  // it counts quick repeats once.
  auto heard = [&] {
    const std::optional<std::string> text = folder.Read("AliciGecmis.csv");
    return text && text->find(
                       "Ay\xC5\x9F"
                       "e Demir") != std::string::npos;
  };
  const auto give_up =
      std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!heard() && std::chrono::steady_clock::now() < give_up) {
    sender.Broadcast(u"HAT=4\r\nNUMARA=+90 212 555 01 02", kPort);
    for (int i = 0; i < 10 && !heard(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  ASSERT_TRUE(heard());
  EXPECT_NE(folder.Read("AliciGecmis.csv")
                ->find(";4;+90 212 555 01 02;Ay\xC5\x9F"
                       "e Demir\r\n"),
            std::string::npos);
  EXPECT_TRUE(program.Running());
}

}  // namespace
}  // namespace orvanta
