// How fast the framing turns serial bytes into packet bodies, and what the
// 256-pass marker decoding costs.
//
//   build/linux/callerid/callerid_framing_benchmark

#include <benchmark/benchmark.h>

#include <string>

#include "callerid/packet_framing.h"

namespace orvanta {
namespace {

void BM_DecodeMarker(benchmark::State& state) {
  const std::u16string marker = state.range(0) == 0 ? u"S" : u"#2#13#10CID:#32";
  for (auto _ : state) benchmark::DoNotOptimize(DecodeMarker(marker));
}
BENCHMARK(BM_DecodeMarker)->Arg(0)->Arg(1);

// One chunk carrying `packets` complete packets, each body cut to a number.
void BM_FeedChunk(benchmark::State& state) {
  PacketFraming framing;
  framing.SetMarkers("S", "E");
  std::string chunk;
  for (int64_t i = 0; i < state.range(0); ++i) chunk += "S  0532 123 45 67\rE";
  for (auto _ : state) {
    for (const std::string& body : framing.Feed(chunk)) {
      benchmark::DoNotOptimize(CutNumber(body, 1, 0));
    }
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(chunk.size()));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FeedChunk)->Arg(1)->Arg(8)->Arg(50);

// A packet that arrives a few bytes at a time, as a slow device sends it.
void BM_FeedBytewise(benchmark::State& state) {
  PacketFraming framing;
  framing.SetMarkers("\x02", "\x03");
  const std::string packet =
      "\x02"
      "05321234567\r\n\x03";
  for (auto _ : state) {
    for (size_t at = 0; at < packet.size();
         at += static_cast<size_t>(state.range(0))) {
      benchmark::DoNotOptimize(framing.Feed(std::string_view(packet).substr(
          at, static_cast<size_t>(state.range(0)))));
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FeedBytewise)->Arg(1)->Arg(4);

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
