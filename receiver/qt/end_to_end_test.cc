// The whole road of a call between two PCs, in one private network: a
// serial caller-ID device (a socat pseudo-terminal) feeds the real sender
// `orvanta`, which broadcasts it; the real receiver `orvanta-alici` writes
// it into its history file with the name from its phone book.
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "desktop/test/child_process.h"
#include "serial/test/socat_pty.h"
#include "base/test/temp_folder.h"
#include "receiver/qt/test/two_programs.h"

namespace orvanta {
namespace {

namespace fs = std::filesystem;

constexpr char kPort[] = "18978";

TEST(EndToEndTest, ACallOnTheSerialLineLandsInTheReceiversHistory) {
  TempFolder folder;
  const fs::path sender_folder = folder.Path("sender");
  const fs::path receiver_folder = folder.Path("receiver");
  SocatPty line;
  WriteSenderAndReceiverSettings(folder, line.device(), kPort);

  auto receiver = StartWithoutDisplay(ORVANTA_RECEIVER, receiver_folder);
  auto sender = StartWithoutDisplay(ORVANTA_SENDER, sender_folder);

  // The device sends the call again until it comes through: the sender may
  // not have opened the port yet, and the receiver drops quick repeats.
  const fs::path history = receiver_folder / "AliciGecmis.csv";
  auto heard = [&] {
    return ReadWholeFile(history.string()).find("0532 123 45 67") !=
           std::string::npos;
  };
  const auto give_up =
      std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!heard() && std::chrono::steady_clock::now() < give_up) {
    line.Write("xxS 0532 123 45 67\rE");
    PollUntil(heard, std::chrono::milliseconds(700));
  }
  const std::string text = ReadWholeFile(history.string());
  ASSERT_TRUE(heard()) << "sender:\n"
                       << ReadWholeFile((sender_folder / "output.txt").string())
                       << "receiver:\n"
                       << ReadWholeFile(
                              (receiver_folder / "output.txt").string());
  EXPECT_NE(text.find(";0;0532 123 45 67;Mehmet \xC3\x96z\r\n"),
            std::string::npos)
      << text;
  EXPECT_TRUE(receiver->Running());
  EXPECT_TRUE(sender->Running());
}

}  // namespace
}  // namespace orvanta
