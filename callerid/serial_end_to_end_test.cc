// Bytes written to the far end of a pseudo-terminal become datagrams:
// pty -> SerialPort -> FramedSerialSource -> Announcer -> the broadcast, to a
// listener inside the private test network.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/test/recorders.h"
#include "base/test/temp_folder.h"
#include "base/text.h"
#include "base/ui_handover.h"
#include "callerid/framed_serial_source.h"
#include "callerid/serial_connection.h"
#include "callerid/test/broadcast_announcer.h"
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
  SerialEndToEndTest() {
    AddSettingsCatalogue(store);
    channel.SetPort(listener.port());
    channel.SetActive(true);
    folder.Write("calleridcomport.ini",
                 "[ComPortCallerID]\r\nPort=" + pty.device() + "\r\n");
    port.SetOnFailure(
        [this](const std::u16string& m) { reports.push_back(m); });
    source.Start({});
  }

  // Serves notifications until `done` (or the port stopped delivering).
  void ServeUntil(const std::function<bool()>& done) {
    ui.ServeUntil([&] { return done() || !port.EventThreadRunning(); });
  }

  std::string NextDatagram() {
    const auto datagram = listener.Receive();
    return datagram ? datagram->bytes : "<none>";
  }

  const PacketFraming& framing() const { return source.Framing(); }

  SocatPty pty;
  TempFolder folder;
  UiHandover ui;
  SerialPort port{ui};
  PortSerialLine line{port};
  std::unique_ptr<RetryTimer> retry = MakeRetryTimer(ui);
  SettingsStore store;
  UdpListener listener;
  UdpChannel channel;
  RecordingProgramLog log;
  RecordingUserNotice notice;
  BroadcastAnnouncer announcer{channel, log};
  SerialConnection connection{line, *retry, notice, log};
  FramedSerialSource source{connection, store, announcer.announcer(),
                            folder.path().u16string() + u"/"};
  std::vector<std::u16string> reports;
};

TEST_F(SerialEndToEndTest, PacketOverTwoChunksBecomesOneDatagram) {
  pty.Write("xxS12");
  ServeUntil([&] { return framing().Buffer() == "12"; });
  pty.Write("345E");
  ServeUntil([&] { return log.lines.size() == 1; });
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=345");
  EXPECT_THAT(log.lines, ElementsAre(u"Kanal No : 0   Caller ID : 345"));
  EXPECT_EQ(framing().Buffer(), "");
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
  ServeUntil([&] { return framing().Buffer() == "12"; });
  source.Stop();
  source.Start({});
  pty.Write("345E");
  ServeUntil([&] { return log.lines.size() == 1; });
  EXPECT_EQ(NextDatagram(), "HAT=0\r\nNUMARA=345");
}

// What a modem source needs of the line: DTR and RTS raised, kept through
// the settings file, and commands written to the device.
TEST_F(SerialEndToEndTest, TheLineTakesCommandsWithItsModemControlRaised) {
  source.Stop();
  line.SetModemControl(true);
  line.LoadSettings(folder.File("calleridcomport.ini"));
  line.Open();
  EXPECT_TRUE(port.Line().modem_control);
  line.Write("AT+VCID=1\r");
  EXPECT_EQ(pty.ReadFarEnd(10), "AT+VCID=1\r");
  line.Close();
}

}  // namespace
}  // namespace orvanta
