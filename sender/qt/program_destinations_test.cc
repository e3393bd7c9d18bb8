// The real program with webhooks in Hedefler.ini, run by webhook_server.py:
// a call from a serial device (a socat pseudo-terminal) goes out as the LAN
// datagram, and as JSON to an HTTPS server whose certificate comes from the
// test CA, even while another webhook's server never answers.

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/test/temp_folder.h"
#include "callerid/test/webhook_server_client.h"
#include "desktop/test/child_process.h"
#include "notify/test/udp_listener.h"
#include "sender/qt/test/program_settings.h"
#include "serial/test/socat_pty.h"

namespace orvanta {
namespace {

namespace fs = std::filesystem;

constexpr char kStarted[] = "VELMORIS Orvanta çalışıyor...";

// A copy of the program in `folder`, with no display and a home of its own;
// SSL_CERT_FILE (the test CA) comes from the server script.
std::unique_ptr<ChildProcess> StartHeadless(const fs::path& folder) {
  fs::create_directories(folder / "home");
  fs::copy_file(ORVANTA_PROGRAM, folder / "orvanta");
  return std::make_unique<ChildProcess>(
      std::vector<std::string>{(folder / "orvanta").string()},
      std::map<std::string, std::string>{{"DISPLAY", ""},
                                         {"WAYLAND_DISPLAY", ""},
                                         {"QT_QPA_PLATFORM", ""},
                                         {"XDG_CONFIG_HOME", ""},
                                         {"XDG_RUNTIME_DIR", ""},
                                         {"HOME", (folder / "home").string()}},
      (folder / "output.txt").string());
}

TEST(ProgramDestinationsTest, ASerialCallReachesTheWebhookAfterTheDatagram) {
  TempFolder folder;
  SocatPty line;
  UdpListener listener;
  WriteSerialSettings(folder.path(), line.device(), listener.port());
  const std::string https = Server("ORVANTA_WEBHOOK_HTTPS", true);
  // The first server keeps every request waiting: the datagram and the
  // second webhook must not wait for it.
  std::ofstream(folder.path() / "Hedefler.ini", std::ios::binary)
      << "\xEF\xBB\xBF[Webhook1]\r\nURL=" << https
      << "/hang/100/program-hang\r\n[Webhook2]\r\nURL=" << https
      << "/program-hook/calls\r\nHEADER1=Authorization: Bearer gizli\r\n";

  auto program = StartHeadless(folder.path());
  const auto output = [&] {
    return ReadWholeFile((folder.path() / "output.txt").string());
  };
  ASSERT_TRUE(PollUntil([&] {
    return output().find(kStarted) != std::string::npos;
  })) << output();

  line.Write("xxS 0532 123 45 67\rE");
  const auto datagram = listener.Receive();
  ASSERT_TRUE(datagram.has_value()) << output();
  EXPECT_EQ(datagram->bytes, "HAT=0\r\nNUMARA=0532 123 45 67");

  ASSERT_TRUE(PollUntil([] {
    return !ReceivedUnder("/program-hook/").empty();
  })) << output();
  const std::vector<Received> received = ReceivedUnder("/program-hook/");
  ASSERT_EQ(received.size(), 1u);
  const Received& request = received[0];
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.path, "/program-hook/calls");
  EXPECT_EQ(request.headers.at("authorization"), "Bearer gizli");
  EXPECT_FALSE(request.json_invalid) << request.body;
  EXPECT_EQ(request.fields.at("event"), "\"call\"");
  EXPECT_EQ(request.fields.at("number"), "\"0532 123 45 67\"");
  EXPECT_EQ(request.fields.at("line"), "\"0\"");
  EXPECT_EQ(request.fields.at("source"), "\"serial\"");
  EXPECT_EQ(request.fields.at("program"), "\"Orvanta\"");
  EXPECT_EQ(request.fields.at("id").size(), 38u) << request.fields.at("id");
  // The first webhook did get the call, and is still waiting for an answer.
  EXPECT_TRUE(PollUntil([] {
    return ReceivedUnder("/hang/100/program-hang").size() == 1;
  })) << output();
  // Both webhooks are named in the log, by scheme, host and port alone.
  EXPECT_NE(output().find("Hedef etkin: Webhook 2 (" + https + ")"),
            std::string::npos)
      << output();
  EXPECT_EQ(output().find("gizli"), std::string::npos) << output();
  EXPECT_TRUE(program->Running()) << output();
}

}  // namespace
}  // namespace orvanta
