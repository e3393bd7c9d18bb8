// OrvantaAlici.exe itself, under Wine in the private test network: started
// from a folder holding its settings and phone book, it hears a broadcast
// call and writes it beside itself into its history with the name.
#include <windows.h>

#include <chrono>
#include <filesystem>
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
  explicit RunningProgram(const std::filesystem::path& exe) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring line = L"\"" + exe.wstring() + L"\"";
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
