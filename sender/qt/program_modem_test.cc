// The real program with a voice/data modem: the modem stand-in, on a socat
// pseudo-terminal pair, answers its commands as one chipset of a table does
// and rings with or without its caller-ID report. The program runs with no
// display, so its log lines, messages and balloons come out as lines of its
// output; the calls it announces are heard in the private test network.

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/test/temp_folder.h"
#include "base/text.h"
#include "callerid/test/modem_standin.h"
#include "desktop/test/child_process.h"
#include "sender/qt/test/headless_program.h"
#include "notify/test/udp_listener.h"
#include "sender/qt/test/program_settings.h"

namespace orvanta {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

constexpr char kReady[] = "orvanta: Modem hazır (";
constexpr char kReinitialising[] =
    "orvanta: Son üç arama arayan numara bilgisi olmadan çaldı; modem yeniden "
    "hazırlanıyor.";

// A copy of the program in a folder of its own, reading the modem at
// `device` and announcing to `udp_port`.
class ModemProgram : public HeadlessProgram {
 public:
  ModemProgram(const TempFolder& folder, const std::string& device,
               uint16_t udp_port, const std::u16string& line_label = u"0")
      : HeadlessProgram(Prepared(folder.path(), device, udp_port, line_label)) {
  }

 private:
  static const fs::path& Prepared(const fs::path& folder,
                                  const std::string& device, uint16_t udp_port,
                                  const std::u16string& line_label) {
    WriteModemSettings(folder, device, udp_port, line_label);
    return folder;
  }
};

std::string Announced(UdpListener& listener) {
  const auto datagram = listener.Receive();
  return datagram ? datagram->bytes : "(nothing)";
}

CallerReport Caller(std::string number, std::string name = {}) {
  CallerReport report;
  report.number = std::move(number);
  report.name = std::move(name);
  return report;
}

int Sent(const ModemStandIn& modem, const std::string& command) {
  const auto commands = modem.Snapshot().commands;
  return static_cast<int>(
      std::count(commands.begin(), commands.end(), command));
}

// Each enable command is the one that works on one chipset of the table:
// echo or none, words or numeric results, a refusal or silence for the
// commands it does not know, and its report's format.
TEST(ProgramModemTest, EachChipsetIsSetUpWithTheCommandItKnows) {
  struct Run {
    std::unique_ptr<TempFolder> folder;
    std::unique_ptr<ModemStandIn> modem;
    std::unique_ptr<UdpListener> listener;
    std::unique_ptr<ModemProgram> program;
  };
  // All at once: the chipsets that stay silent take their answer time.
  std::vector<Run> runs;
  for (const ModemChipset& chipset : ModemChipsets()) {
    Run run;
    run.folder = std::make_unique<TempFolder>();
    run.modem = std::make_unique<ModemStandIn>(chipset);
    run.listener = std::make_unique<UdpListener>();
    const std::u16string label = runs.size() == 1 ? u"2" : u"0";
    run.program = std::make_unique<ModemProgram>(
        *run.folder, run.modem->device(), run.listener->port(), label);
    runs.push_back(std::move(run));
  }
  for (Run& run : runs) {
    const ModemChipset& chipset = run.modem->chipset();
    SCOPED_TRACE(chipset.name);
    ASSERT_TRUE(
        run.program->WaitForCount(kReady + chipset.enable_command + ")", 1))
        << run.program->Output();
    EXPECT_TRUE(run.modem->Snapshot().caller_id);
    EXPECT_EQ(run.modem->Snapshot().commands.front(), "ATZ");

    run.modem->Call(Caller("05321234567", "AYSE YILMAZ"));
    const std::string line = &run == &runs[1] ? "2" : "0";
    EXPECT_EQ(Announced(*run.listener),
              "HAT=" + line + "\r\nNUMARA=05321234567")
        << run.program->Output();
  }
}

// A modem that forgets its setting when it is replugged is set up again by
// the program, which finds it back by itself.
TEST(ProgramModemTest, AReplugIsFollowedByANewSetUp) {
  TempFolder folder;
  ModemStandIn modem(ModemChipsets()[0]);
  UdpListener listener;
  ModemProgram program(folder, modem.device(), listener.port());
  ASSERT_TRUE(program.WaitForCount(kReady, 1)) << program.Output();

  modem.Replug();
  EXPECT_FALSE(modem.Snapshot().caller_id);
  ASSERT_TRUE(program.WaitForCount(kReady, 2)) << program.Output();
  EXPECT_TRUE(modem.Snapshot().caller_id);
  EXPECT_EQ(Sent(modem, "ATZ"), 2);
  modem.Call(Caller("05551234567"));
  EXPECT_EQ(Announced(listener), "HAT=0\r\nNUMARA=05551234567")
      << program.Output();
  EXPECT_TRUE(program.Running());
}

// Withheld and unavailable numbers, and an undecodable report, are logged;
// no datagram goes out for them, since receivers key on the number.
TEST(ProgramModemTest, CallsWithoutANumberAreLoggedAndNotBroadcast) {
  TempFolder folder;
  ModemStandIn modem(ModemChipsets()[1]);  // "NMBR=P", no blanks
  UdpListener listener;
  ModemProgram program(folder, modem.device(), listener.port());
  ASSERT_TRUE(program.WaitForCount(kReady, 1)) << program.Output();

  // Each report a caller of its own; the first datagram is the number's.
  modem.Call(Caller("P"), 1);
  modem.Call(Caller("O"), 1);
  modem.Call(Caller("05321234567"), 1);
  EXPECT_EQ(Announced(listener), "HAT=0\r\nNUMARA=05321234567")
      << program.Output();
  // The log comes out after the datagram, in the order of the calls.
  ASSERT_TRUE(program.WaitForCount(
      "orvanta: Kanal No : 0   Caller ID : 05321234567", 1))
      << program.Output();
  EXPECT_EQ(program.Count("orvanta: Kanal No : 0   Caller ID : Gizli numara"),
            1)
      << program.Output();
  EXPECT_EQ(program.Count("orvanta: Kanal No : 0   Caller ID : Numara yok"), 1)
      << program.Output();

  // Line noise is dropped; what the modem could not decode is logged.
  modem.Send(std::string(300, '#') + "\r\n");
  CallerReport undecoded;
  undecoded.message = "030132";
  modem.Call(undecoded, 1);
  EXPECT_TRUE(program.WaitForCount(
      "orvanta: Modem arayan bilgisini çözemedi (MESG = 030132)", 1))
      << program.Output();
  EXPECT_EQ(program.Count("###"), 0) << program.Output();
}

// A modem that stops reporting caller ID and only rings is set up again
// after the third such call; once, however many follow.
TEST(ProgramModemTest, ThreeCallsWithoutCallerIdBringOneNewSetUp) {
  TempFolder folder;
  ModemStandIn modem(ModemChipsets()[0]);
  UdpListener listener;
  ModemProgram program(folder, modem.device(), listener.port());
  ASSERT_TRUE(program.WaitForCount(kReady, 1)) << program.Output();

  modem.ForgetCallerId();
  const std::string no_number =
      "orvanta: Kanal No : 0   Caller ID : Numara yok";
  for (int call = 1; call <= 3; ++call) {
    modem.Call(Caller("05321234567"));
    ASSERT_TRUE(program.WaitForCount(no_number, call)) << program.Output();
    // A call ends when it has not rung for 8 seconds; the next one rings
    // after that, and until then the modem is left alone.
    if (call < 3) {
      EXPECT_FALSE(PollUntil([&] { return program.Count(kReinitialising) > 0; },
                             seconds(9)))
          << program.Output();
    }
  }
  ASSERT_TRUE(program.WaitForCount(kReady, 2)) << program.Output();
  EXPECT_EQ(program.Count(kReinitialising), 1) << program.Output();
  EXPECT_EQ(Sent(modem, "ATZ"), 2);
  EXPECT_TRUE(modem.Snapshot().caller_id);
  modem.Call(Caller("05321234567"));
  EXPECT_EQ(Announced(listener), "HAT=0\r\nNUMARA=05321234567")
      << program.Output();
}

}  // namespace
}  // namespace orvanta
