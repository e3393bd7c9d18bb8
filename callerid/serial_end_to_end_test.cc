// Bytes written to the far end of a pseudo-terminal become datagrams:
// pty -> SerialPort -> SerialReceiver -> Announcer/UdpChannel -> a listener
// inside the private test network.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/text.h"
#include "base/ui_handover.h"
#include "callerid/serial_receiver.h"
#include "notify/announcer.h"
#include "notify/test/recorders.h"
#include "notify/test/socket_call_recorder.h"
#include "notify/test/udp_listener.h"
#include "notify/udp_channel.h"
#include "serial/serial_port.h"
#include "serial/test/socat_pty.h"
#include "settings/storage.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

class SerialEndToEndTest : public ::testing::Test {
 protected:
  SerialEndToEndTest()
      : port(ui),
        announcer(channel, log),
        receiver(store, [this](const std::u16string& number,
                               const std::u16string& line) {
          announcer.AnnounceCall(number, line);
        }) {
    AddSettingsCatalogue(store);
    channel.SetPort(listener.port());
    channel.SetActive(true);
    // As a start of the serial source does it.
    receiver.Framing().SetMarkers(
        DecodeMarker(store.ReadValue(kCallerIdBaslamaString)),
        DecodeMarker(store.ReadValue(kCallerIdBitisString)));
    port.SetPort(Utf8ToUtf16(pty.device()));
    port.SetOnRxChar([this](SerialPort& sender, int count) {
      receiver.ComPortCallerIDRxChar(sender, count);
    });
    port.SetOnFailure(
        [this](const std::u16string& m) { reports.push_back(m); });
    port.Open();
  }

  // Serves notifications until `done` (or the port stopped delivering).
  void ServeUntil(const std::function<bool()>& done) {
    ui.ServeUntil([&] { return done() || !port.EventThreadRunning(); });
  }

  std::string NextDatagram() {
    const auto datagram = listener.Receive();
    return datagram ? datagram->bytes : "<none>";
  }

  SocatPty pty;
  UiHandover ui;
  SerialPort port;
  SettingsStore store;
  UdpListener listener;
  UdpChannel channel;
  RecordingCallLog log;
  Announcer announcer;
  SerialReceiver receiver;
  std::vector<std::u16string> reports;
};

TEST_F(SerialEndToEndTest, PacketOverTwoChunksBecomesOneDatagram) {
  pty.Write("xxS12");
  ServeUntil([&] { return receiver.Framing().Buffer() == "12"; });
  pty.Write("345E");
  ServeUntil([&] { return log.lines.size() == 1; });
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=345");
  EXPECT_THAT(log.lines, ElementsAre(u"Kanal No : 0   Caller ID : 345"));
  EXPECT_EQ(receiver.Framing().Buffer(), "");
}

TEST_F(SerialEndToEndTest, TwoPacketsInOneChunkGoOutAtOnce) {
  store.WriteValue(kCallerIdNoBaslama, 1);
  store.WriteValue(kCallerIdNoUzunluk, 0);
  pty.Write("S0532 111E\r\nS0533 222E");
  ServeUntil([&] { return log.lines.size() == 2; });
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=0532 111");
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=0533 222");
}

// The network refuses the first call of a chunk: it is reported once, and
// neither it nor the call behind it waits for another call to come.
TEST_F(SerialEndToEndTest, RefusedSendHoldsBackNoCall) {
  SocketCallRecorder sockets;
  sockets.FailNext(SocketCall::kSend, SocketFault::kNetworkUnreachable);
  pty.Write("S11111ES22222E");
  ServeUntil([&] { return log.lines.size() == 3 && !reports.empty(); });
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_THAT(Utf16ToUtf8(reports[0]), StartsWith("Socket Error # 10051"));
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=111");
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=222");
  EXPECT_THAT(log.lines,
              ElementsAre(u"Kanal No : 0   Caller ID : 111",
                          u"Kanal No : 0   Caller ID : 222",
                          u"Ağa gönderim yeniden başladı. 1 bekleyen arama "
                          u"gönderildi."));
}

TEST_F(SerialEndToEndTest, BytesStayInTheBufferAcrossStopAndStart) {
  pty.Write("S12");
  ServeUntil([&] { return receiver.Framing().Buffer() == "12"; });
  port.Close();
  port.Open();
  pty.Write("345E");
  ServeUntil([&] { return log.lines.size() == 1; });
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=345");
}

}  // namespace
}  // namespace orvanta
