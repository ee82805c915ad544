#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "pd/framing.h"

namespace zk {
namespace {

void AppendSymbol(std::vector<int>& bits, std::uint8_t symbol) {
  const int code = Encode4b5b(symbol);
  for (int k = 0; k < 5; ++k) bits.push_back((code >> k) & 1);
}

// Preamble, SOP, the message with its CRC and EOP, as line bits.
std::vector<int> SourceCapabilitiesBits() {
  const std::uint32_t pdos[] = {0x0A01912C, 0x0002D12C, 0x0003C12C, 0x0004B12C, 0x0006412C, 0xC8DC213C, 0xC9402128};
  std::vector<std::uint8_t> bytes = {0xA1, 0x71};
  for (std::uint32_t o : pdos)
    for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<std::uint8_t>(o >> (8 * k)));
  const std::uint32_t crc = PdCrc32(bytes.data(), static_cast<int>(bytes.size()));
  for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<std::uint8_t>(crc >> (8 * k)));

  std::vector<int> bits;
  for (int i = 0; i < 64; ++i) bits.push_back(i & 1);
  for (std::uint8_t s : {kSymSync1, kSymSync1, kSymSync1, kSymSync2}) AppendSymbol(bits, s);
  for (std::uint8_t b : bytes) {
    AppendSymbol(bits, b & 0x0F);
    AppendSymbol(bits, b >> 4);
  }
  AppendSymbol(bits, kSymEop);
  return bits;
}

// A zero is one interval of two half-bits, a one two of one; edges fall on whole ticks.
CCCPacket BmcPacket(const std::vector<int>& bits, int tickDiv) {
  const double ticksPerHalfBit = 3.3 * 48.0 / tickDiv / 2.0;
  CCCPacket p;
  p.m_TickDiv = tickDiv;
  long halfBits = 0, lastTick = 0;
  auto edgeAfter = [&](int half) {
    halfBits += half;
    const long tick = std::lround(static_cast<double>(halfBits) * ticksPerHalfBit);
    EdgeRecord e;
    e.duration = static_cast<std::uint8_t>(tick - lastTick);
    p.m_pEdges.push_back(e);
    lastTick = tick;
  };
  for (int b : bits) {
    if (b) {
      edgeAfter(1);
      edgeAfter(1);
    } else {
      edgeAfter(2);
    }
  }
  p.m_EdgeCount = static_cast<std::int32_t>(p.m_pEdges.size());
  return p;
}

void BM_FramingSourceCapabilities(benchmark::State& state) {
  CCCPacket p = BmcPacket(SourceCapabilitiesBits(), 20);
  for (auto _ : state) {
    DecodePacketFraming(p);
    benchmark::DoNotOptimize(p.m_CrcOk);
  }
  if (!p.m_CrcOk) state.SkipWithError("packet did not decode");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FramingSourceCapabilities);

// Six pairs of zeros drawn in to 1.45 half-bits: each pair reads as a one or as two zeros
// until the CRC tells, so the search runs through every combination before the right one.
void BM_FramingTwelveAmbiguousIntervals(benchmark::State& state) {
  CCCPacket p = BmcPacket(SourceCapabilitiesBits(), 1);
  int pairs = 0;
  for (int i = 150; i + 1 < p.m_EdgeCount && pairs < 6; ++i) {
    if (p.m_pEdges[i].duration > 150 && p.m_pEdges[i + 1].duration > 150) {
      p.m_pEdges[i].duration = p.m_pEdges[i + 1].duration = 115;
      ++pairs;
      i += 3;
    }
  }
  FramingStats stats;
  for (auto _ : state) {
    DecodePacketFraming(p, &stats);
    benchmark::DoNotOptimize(p.m_CrcOk);
  }
  if (pairs != 6 || !p.m_CrcOk) state.SkipWithError("packet did not decode");
  state.counters["passes"] = stats.trialResolvePasses;
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FramingTwelveAmbiguousIntervals);

}  // namespace
}  // namespace zk
