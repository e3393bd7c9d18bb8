// A program that does nothing but send calls to a broker: the destination
// tests start it as a child process and kill it, to see what the broker
// makes of a program that dies without a word.
//
//   callerid_mqtt_child URL PREFIX
//
// Logs in as the test broker's user, delivers one call and runs until it is
// killed; its log lines go to stdout.

#include <signal.h>
#include <sys/prctl.h>

#include <chrono>
#include <cstdio>

#include "base/text.h"
#include "base/ui_handover.h"
#include "callerid/call_json.h"
#include "callerid/mqtt_destination.h"
#include "base/program_log.h"
#include "notify/test/mqtt_broker.h"

namespace {

class PrintedLog : public orvanta::ProgramLog {
 public:
  void AddLogLine(const std::u16string& line) override {
    std::printf("%s\n", orvanta::Utf16ToUtf8(line).c_str());
    std::fflush(stdout);
  }
  void ClearLog() override {}
};

}  // namespace

int main(int argc, char** argv) {
  using namespace orvanta;
  // Goes with the test that started it, even one that crashes.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s URL PREFIX\n", argv[0]);
    return 2;
  }
  MqttSettings settings;
  settings.url = Utf8ToUtf16(argv[1]);
  settings.user = Utf8ToUtf16(kBrokerUser);
  settings.password = Utf8ToUtf16(kBrokerPassword);
  settings.prefix = Utf8ToUtf16(argv[2]);
  UiHandover ui;
  PrintedLog log;
  MqttDestination destination(
      settings, {&ui, &log, nullptr, {u"child-pc", u"Orvanta", u"test"}, {}});
  Call call;
  call.number = u"02121234567";
  call.time = std::chrono::system_clock::now();
  call.id = NewCallId();
  destination.Deliver(call);
  ui.ServeUntil([] { return false; });
}
