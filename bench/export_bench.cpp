// The CSV export of a loaded 100 MB record file with all columns and both kinds of rows:
// rows per second, to set beside the load time of the same file in load_bench.
#include <benchmark/benchmark.h>

#include <limits>
#include <ostream>
#include <streambuf>

#include "bench/big_record_file.h"
#include "record/loader.h"
#include "tools/csv_export.h"

namespace {

// Counts what the export writes, so the figure is the writer's and not the disk's.
class CountingBuffer : public std::streambuf {
 public:
  std::uint64_t m_Bytes = 0;

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    m_Bytes += static_cast<std::uint64_t>(n);
    return n;
  }
  int_type overflow(int_type c) override {
    ++m_Bytes;
    return c;
  }
};

void CsvExportAllColumns(benchmark::State& state, const std::string& scenario) {
  const std::string path = zk::bench::BigFile(scenario);
  zk::CaptureStore store;
  zk::LoadRecordFile(store, path);
  zk::FinishPendingPackets(store);
  zk::CsvExportRequest request;
  request.m_Items = zk::ExportItems::Both;
  request.m_VisibleColumnsOnly = false;
  request.m_Start = std::numeric_limits<std::int64_t>::min();
  request.m_End = std::numeric_limits<std::int64_t>::max();
  const std::int64_t rows = store.PacketCount() + store.SampleCount();
  std::uint64_t bytes = 0;
  for (auto _ : state) {
    // Cached descriptions would make every later round cheaper than a user's first export.
    state.PauseTiming();
    for (int i = 0; i < store.PacketCount(); ++i) store.PacketAt(i)->m_DescriptionCache.reset();
    state.ResumeTiming();
    CountingBuffer counter;
    std::ostream out(&counter);
    zk::JobProgress progress;
    zk::WriteCsvRows(store, request, progress, out);
    bytes = counter.m_Bytes;
  }
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["rows_per_s"] = benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
  state.counters["csv_MB"] = static_cast<double>(bytes) / 1e6;
}

BENCHMARK_CAPTURE(CsvExportAllColumns, mixed, std::string("mixed"))->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
