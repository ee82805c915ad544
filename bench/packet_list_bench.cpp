// The packet list over 100,000 decoded packets: filling the model (idle times, filter, one
// insert), a full rebuild, the cell texts of one screen of rows, and a sort by text.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <mutex>

#include "pd/column_table.h"
#include "record/document.h"
#include "sim/scenarios.h"
#include "ui/log/packet_list_model.h"

namespace {

namespace fs = std::filesystem;
constexpr int kPackets = 100000;

// A few seconds of simulated traffic, its packets repeated (shifted in time) up to kPackets.
zk::CZKDoc& BigDocument() {
  static zk::CZKDoc* doc = [] {
    const fs::path path = fs::temp_directory_path() / "zk_bench_packet_list.zkr";
    zk::sim::ScenarioOptions o;
    o.name = "spr";
    o.seconds = 10;
    std::string error;
    if (!fs::exists(path)) zk::sim::WriteScenarioFile(o, path.string(), error);
    auto* d = new zk::CZKDoc;
    d->OnOpenDocument(path.string());
    zk::CaptureStore& store = d->Store();
    std::lock_guard<std::mutex> lock(store.Lock());
    const int base = store.PacketCount();
    if (base == 0) return d;
    const std::int64_t span = store.PacketAt(base - 1)->m_Time - store.PacketAt(0)->m_Time + 1000;
    for (int i = base; i < kPackets; ++i) {
      auto copy = std::make_unique<zk::CCCPacket>(*store.PacketAt(i % base));
      copy->m_DescriptionCache.reset();
      copy->m_Time += span * (i / base);
      store.InsertPacket(std::move(copy));
    }
    return d;
  }();
  return *doc;
}

std::vector<int> ShownColumns() {
  std::vector<int> ids;
  for (const zk::ColumnDefinition& c : zk::ColumnTable()) {
    if (c.shown) ids.push_back(c.id);
  }
  return ids;
}

void FillList(benchmark::State& state) {
  zk::CZKDoc& doc = BigDocument();
  zk::CPacketListModel model(doc);
  model.SetStatusText([](const std::string&) {});
  for (auto _ : state) {
    model.SetColumns(ShownColumns());
    benchmark::DoNotOptimize(model.AppendNewPackets());
  }
  state.counters["rows"] = model.rowCount();
}
BENCHMARK(FillList)->Unit(benchmark::kMillisecond);

// A rebuild after the first one: the descriptions are cached on the packets by then.
void RebuildListAndShowOneScreen(benchmark::State& state) {
  zk::CZKDoc& doc = BigDocument();
  zk::CPacketListModel model(doc);
  model.SetColumns(ShownColumns());
  model.AppendNewPackets();
  for (auto _ : state) {
    model.ResetRows();
    model.AppendNewPackets();
    for (int r = 0; r < 40; ++r) {
      for (int c = 0; c < model.columnCount(); ++c) {
        benchmark::DoNotOptimize(model.data(model.index(kPackets / 2 + r, c), Qt::DisplayRole));
      }
    }
  }
}
BENCHMARK(RebuildListAndShowOneScreen)->Unit(benchmark::kMillisecond);

void SortByType(benchmark::State& state) {
  zk::CZKDoc& doc = BigDocument();
  zk::CPacketListModel model(doc);
  model.SetColumns(ShownColumns());
  model.AppendNewPackets();
  const int typeColumn = model.ListColumnOfId(11);
  bool descending = false;
  for (auto _ : state) {
    model.SortByListColumn(typeColumn, descending);
    descending = !descending;
  }
}
BENCHMARK(SortByType)->Unit(benchmark::kMillisecond);

}  // namespace
