// Speed of the simulated box: encoding one message to edges, and synthesizing a record
// stream of back-to-back traffic (the simulated device streams in real time from it).
#include <benchmark/benchmark.h>

#include "pd/message_header.h"
#include "sim/encoder.h"
#include "sim/scenarios.h"

namespace {

void BM_EncodeSourceCapabilities(benchmark::State& state) {
  const zk::sim::PdMessageSpec m =
      zk::sim::DataMessage(zk::kKindSop, zk::kDataSourceCapabilities, zk::sim::kRev30, zk::sim::kSourceDfp, 1,
                           {0x0A01912C, 0x0002D12C, 0x0004B12C, 0x0006412C, 0xC0DC2164, 0xC1A4213C});
  zk::sim::BmcOptions o;
  o.jitterNs = 15;
  for (auto _ : state) benchmark::DoNotOptimize(zk::sim::EncodeMessage(m, o));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_EncodeSourceCapabilities);

// Bytes per second of record stream for the densest scenario; the box itself streams some tens of kB/s.
void BM_SynthesizeDense(benchmark::State& state) {
  zk::sim::ScenarioOptions so;
  so.name = "dense";
  so.seconds = 2.0;
  std::int64_t bytes = 0, packets = 0;
  for (auto _ : state) {
    zk::sim::RunScenario(
        so, [&](const zk::Record& r) { bytes += static_cast<std::int64_t>(r.size()); },
        [&](const zk::sim::SynthPacket&) { ++packets; });
  }
  state.SetBytesProcessed(bytes);
  state.counters["packets/s"] = benchmark::Counter(static_cast<double>(packets), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SynthesizeDense)->Unit(benchmark::kMillisecond);

}  // namespace
