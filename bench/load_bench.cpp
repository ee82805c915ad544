// Full loads of large simulated record files: MB/s and packets/s, next to a plain read of the
// same file, and the store's memory per packet and per sample after loading.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/big_record_file.h"
#include "record/huge_block.h"
#include "record/loader.h"

namespace {

namespace fs = std::filesystem;
using zk::bench::BigFile;

// Bytes the allocator has handed out, over every arena and in mapped chunks alike, and the
// huge blocks that hold packets and samples.
std::size_t HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd + zk::HugeBlockBytesHeld();
}

void PlainRead(benchmark::State& state, const std::string& scenario) {
  const std::string path = BigFile(scenario);
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::size_t total = 0, n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0) total += n;
    std::fclose(f);
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(path)));
}

void FullLoad(benchmark::State& state, const std::string& scenario) {
  const std::string path = BigFile(scenario);
  if (path.empty()) {
    state.SkipWithError("could not generate the record file");
    return;
  }
  std::int64_t packets = 0;
  double perPacket = 0, perSample = 0;
  for (auto _ : state) {
    state.PauseTiming();
    malloc_trim(0);
    const std::size_t before = HeapInUse();
    state.ResumeTiming();
    {
      zk::CaptureStore store;
      zk::LoadRecordFile(store, path);
      state.PauseTiming();
      store.m_BlockBuffer = {};
      store.m_FramingPipeline.reset();
      const std::size_t used = HeapInUse() - before;
      packets = store.PacketCount();
      const double samples = store.SampleCount();
      // Samples are counted at their own size; everything else the store holds is charged to packets.
      const double samplesBytes = samples * sizeof(zk::CVbusInfo);
      perSample = sizeof(zk::CVbusInfo);
      perPacket = (static_cast<double>(used) - samplesBytes) / std::max<double>(1, static_cast<double>(packets)) -
                  zk::kMaxMessageBytes;
      state.ResumeTiming();
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(path)));
  state.counters["packets"] = static_cast<double>(packets);
  state.counters["packets_per_s"] = benchmark::Counter(
      static_cast<double>(packets) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["bytes_per_packet_beside_message"] = perPacket;
  state.counters["bytes_per_sample"] = perSample;
}

BENCHMARK_CAPTURE(PlainRead, mixed, std::string("mixed"))->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(FullLoad, mixed, std::string("mixed"))->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(PlainRead, dense, std::string("dense"))->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(FullLoad, dense, std::string("dense"))->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
