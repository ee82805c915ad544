#include "ui/graph/sample_summary.h"

#include <algorithm>
#include <cstring>

namespace zk {

namespace {

using RawValueFn = std::int32_t (*)(const CVbusInfo&);

struct ChannelDef {
  GraphArea area;
  RawValueFn value;
};

constexpr ChannelDef kChannels[kGraphChannelCount] = {
    {GraphArea::kVoltage, &ChannelValue<kChVbusVolt>}, {GraphArea::kVoltage, &ChannelValue<kChCC1Volt>},
    {GraphArea::kVoltage, &ChannelValue<kChCC2Volt>},  {GraphArea::kCurrent, &ChannelValue<kChVbusCurr>},
    {GraphArea::kCurrent, &ChannelValue<kChCC1Curr>},  {GraphArea::kCurrent, &ChannelValue<kChCC2Curr>},
    {GraphArea::kWattage, &ChannelValue<kChVbusWatt>}, {GraphArea::kWattage, &ChannelValue<kChCC1Watt>},
    {GraphArea::kWattage, &ChannelValue<kChCC2Watt>},
};

SummaryEntry EntryOf(const CVbusInfo& s) {
  SummaryEntry e;
  e.tMin = e.tMax = s.m_Time;
  for (int c = 0; c < kGraphChannelCount; ++c) {
    const std::int32_t v = kChannels[c].value(s);
    e.values[static_cast<std::size_t>(c)] = {v, v};
  }
  return e;
}

void Fold(SummaryEntry& into, const SummaryEntry& e) {
  into.tMin = std::min(into.tMin, e.tMin);
  into.tMax = std::max(into.tMax, e.tMax);
  for (std::size_t c = 0; c < into.values.size(); ++c) {
    into.values[c].min = std::min(into.values[c].min, e.values[c].min);
    into.values[c].max = std::max(into.values[c].max, e.values[c].max);
  }
}

bool SameSample(const CVbusInfo& a, const CVbusInfo& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

std::int32_t RawChannelValue(const CVbusInfo& s, GraphChannel c) { return kChannels[c].value(s); }

GraphArea AreaOfChannel(GraphChannel c) { return kChannels[c].area; }

void SampleSummary::Reset() {
  m_Blocks.clear();
  m_Groups.clear();
  m_Samples = 0;
}

bool SampleSummary::StillMatches(const CaptureStore& store) const {
  if (m_Samples == 0) return true;
  if (store.SampleCount() < m_Samples) return false;
  return SameSample(*store.SampleAt(0), m_First) && SameSample(*store.SampleAt(m_Samples - 1), m_Last);
}

void SampleSummary::Update(const CaptureStore& store) {
  if (!StillMatches(store)) Reset();
  const int count = store.SampleCount();
  for (int i = m_Samples; i < count; ++i) {
    const CVbusInfo& s = *store.SampleAt(i);
    const SummaryEntry e = EntryOf(s);
    if (i % kBlockSize == 0) {
      m_Blocks.push_back(e);
    } else {
      Fold(m_Blocks.back(), e);
    }
    if (i % kGroupSize == 0) {
      m_Groups.push_back(e);
    } else {
      Fold(m_Groups.back(), e);
    }
  }
  if (count > m_Samples) {
    if (m_Samples == 0) m_First = *store.SampleAt(0);
    m_Last = *store.SampleAt(count - 1);
    m_Samples = count;
  }
}

}  // namespace zk
