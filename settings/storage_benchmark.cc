// The reading the serial receive handler makes at every packet: the number's
// position and length, looked up by name and read as integers.

#include <benchmark/benchmark.h>

#include "settings/storage.h"
#include "settings/typed_reading.h"

namespace orvanta {
namespace {

void BM_ReadPositionAndLength(benchmark::State& state) {
  SettingsStore store;
  AddSettingsCatalogue(store);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReadInteger(store, kCallerIdNoBaslama));
    benchmark::DoNotOptimize(ReadInteger(store, kCallerIdNoUzunluk));
  }
}
BENCHMARK(BM_ReadPositionAndLength);

// A name written in other letters is found all the same.
void BM_ReadByOtherLetterCase(benchmark::State& state) {
  SettingsStore store;
  AddSettingsCatalogue(store);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReadInteger(store, u"callerIdNoUzunluk"));
  }
}
BENCHMARK(BM_ReadByOtherLetterCase);

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
