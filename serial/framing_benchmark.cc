// How fast the receive path turns serial bytes into calls, and what the
// 256-pass marker decoding costs. The UDP channel stays closed, so
// announcing does no network work and nothing is sent.
//
//   build/linux/serial/serial_framing_benchmark

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "base/ui_handover.h"
#include "notify/announcer.h"
#include "notify/udp_channel.h"
#include "serial/com_port.h"
#include "serial/framing.h"
#include "serial/test/fake_com_device.h"
#include "settings/storage.h"

namespace orvanta {
namespace {

class NullLog : public CallLog {
 public:
  void AddLogLine(const std::u16string&) override {}
  void ClearLog() override {}
};

void BM_DecodeMarker(benchmark::State& state) {
  const std::u16string marker = state.range(0) == 0 ? u"S" : u"#2#13#10CID:#32";
  for (auto _ : state) benchmark::DoNotOptimize(DecodeMarker(marker));
}
BENCHMARK(BM_DecodeMarker)->Arg(0)->Arg(1);

// One receive notification carrying `packets` complete packets.
void BM_ReceiveNotification(benchmark::State& state) {
  UiHandover ui;
  auto line = std::make_shared<FakeComLine>();
  TComPort port(ui, std::make_unique<FakeComDevice>(line));
  TVmStorage store;
  AddSettingsCatalogue(store);
  UdpChannel channel;
  NullLog log;
  Announcer announcer(channel, log);
  SerialFraming framing(store, announcer);
  framing.StartMarker = "S";
  framing.EndMarker = "E";

  std::string chunk;
  for (int64_t i = 0; i < state.range(0); ++i) chunk += "S  0532 123 45 67\rE";
  for (auto _ : state) {
    line->Queue(chunk);
    framing.ComPortCallerIDRxChar(port, static_cast<int>(chunk.size()));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(chunk.size()));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReceiveNotification)->Arg(1)->Arg(8)->Arg(50);

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
