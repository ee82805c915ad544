// Cell texts of a long packet list: the description column must cost a digest, not a decode,
// once every row has been shown.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "pd/descriptions.h"
#include "pd/summary_fields.h"
#include "record/packet.h"

namespace zk {
namespace {

std::vector<std::unique_ptr<CCCPacket>> SourceCapabilitiesPackets(int count) {
  const std::uint32_t objects[] = {0x2601912Cu, 0x0002D12Cu, 0x0003C12Cu, 0xC8D2210Au, 0xC9402132u};
  std::vector<std::unique_ptr<CCCPacket>> packets;
  for (int i = 0; i < count; ++i) {
    auto p = std::make_unique<CCCPacket>();
    p->m_Kind = kKindSop;
    p->m_PreambleFound = 1;
    p->m_CrcOk = 1;
    p->m_Index = i;
    const std::uint16_t header = 0x51A1;  // Source_Capabilities, 5 objects, revision 3.0
    p->m_Bytes[0] = static_cast<std::uint8_t>(header);
    p->m_Bytes[1] = static_cast<std::uint8_t>(header >> 8);
    for (int o = 0; o < 5; ++o) {
      for (int b = 0; b < 4; ++b) p->m_Bytes[2 + 4 * o + b] = static_cast<std::uint8_t>(objects[o] >> (8 * b));
    }
    p->m_ByteCount = 22;
    packets.push_back(std::move(p));
  }
  return packets;
}

constexpr int kPackets = 100000;

void BM_DescriptionCellCached(benchmark::State& state) {
  auto packets = SourceCapabilitiesPackets(kPackets);
  for (const auto& p : packets) benchmark::DoNotOptimize(CellText(*p, kDescriptionColumn, false));
  for (auto _ : state) {
    for (const auto& p : packets) benchmark::DoNotOptimize(CellText(*p, kDescriptionColumn, false));
  }
  state.SetItemsProcessed(state.iterations() * kPackets);
}
BENCHMARK(BM_DescriptionCellCached)->Unit(benchmark::kMillisecond);

void BM_DescriptionDecode(benchmark::State& state) {
  auto packets = SourceCapabilitiesPackets(kPackets);
  for (auto _ : state) {
    for (const auto& p : packets) benchmark::DoNotOptimize(MessageDescription(*p));
  }
  state.SetItemsProcessed(state.iterations() * kPackets);
}
BENCHMARK(BM_DescriptionDecode)->Unit(benchmark::kMillisecond);

void BM_AllCellsOfOneRow(benchmark::State& state) {
  auto packets = SourceCapabilitiesPackets(1);
  for (auto _ : state) {
    for (int id = 0; id < kSummaryFieldCount; ++id) benchmark::DoNotOptimize(CellText(*packets[0], id, false));
  }
}
BENCHMARK(BM_AllCellsOfOneRow);

}  // namespace
}  // namespace zk
