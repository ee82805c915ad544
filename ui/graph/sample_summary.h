// The nine graph channels of a sample, and a min/max summary of them per block of samples
// that lets the trace walk skip whole blocks inside one pixel column.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "record/capture_store.h"

namespace zk {

enum GraphChannel : int {
  kChVbusVolt,
  kChCC1Volt,
  kChCC2Volt,
  kChVbusCurr,
  kChCC1Curr,
  kChCC2Curr,
  kChVbusWatt,
  kChCC1Watt,
  kChCC2Watt,
  kGraphChannelCount
};

enum class GraphArea { kVoltage, kCurrent, kWattage };

// The channel's value before the direction and axis signs: mV, mA, or mW truncated toward zero.
// The template is what the trace walk inlines per sample; the function looks it up by channel.
template <int C>
inline std::int32_t ChannelValue(const CVbusInfo& s) {
  if constexpr (C == kChVbusVolt) return s.m_VbusVoltage;
  if constexpr (C == kChCC1Volt) return s.m_CC1Voltage;
  if constexpr (C == kChCC2Volt) return s.m_CC2Voltage;
  if constexpr (C == kChVbusCurr) return s.m_VbusCurrent;
  if constexpr (C == kChCC1Curr) return s.m_CC1Current;
  if constexpr (C == kChCC2Curr) return s.m_CC2Current;
  if constexpr (C == kChVbusWatt) return s.m_VbusCurrent * s.m_VbusVoltage / 1000;
  if constexpr (C == kChCC1Watt) return s.m_CC1Current * s.m_CC1Voltage / 1000;
  if constexpr (C == kChCC2Watt) return s.m_CC2Current * s.m_CC2Voltage / 1000;
}
std::int32_t RawChannelValue(const CVbusInfo& s, GraphChannel c);
GraphArea AreaOfChannel(GraphChannel c);
// Currents and wattages take the direction and inversion signs; voltages never do.
inline bool ChannelTakesSign(GraphChannel c) { return AreaOfChannel(c) != GraphArea::kVoltage; }

struct MinMax {
  std::int32_t min;
  std::int32_t max;
};

struct SummaryEntry {
  std::int64_t tMin, tMax;  // shown-time independent: raw m_Time
  std::array<MinMax, kGraphChannelCount> values;
};

class SampleSummary {
 public:
  static constexpr int kBlockSize = 64;
  static constexpr int kGroupSize = 64 * kBlockSize;

  void Reset();
  // Folds in the samples that arrived since the last call; starts over when the store's
  // array no longer begins or continues as summarized (oldest samples removed, reload).
  void Update(const CaptureStore& store);

  int SampleCount() const { return m_Samples; }
  const SummaryEntry& Block(int b) const { return m_Blocks[static_cast<std::size_t>(b)]; }
  const SummaryEntry& Group(int g) const { return m_Groups[static_cast<std::size_t>(g)]; }

 private:
  std::vector<SummaryEntry> m_Blocks;
  std::vector<SummaryEntry> m_Groups;
  int m_Samples = 0;
  CVbusInfo m_First{};
  CVbusInfo m_Last{};

  bool StillMatches(const CaptureStore& store) const;
};

}  // namespace zk
