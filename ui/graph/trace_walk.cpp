#include "ui/graph/trace_walk.h"

#include <algorithm>
#include <cmath>

#include "ui/graph/graph_model.h"

namespace zk {

namespace {

// The samples the walk visits: one before the window, one after it.
struct WalkRange {
  int first;
  int last;  // inclusive; below first when there is nothing to walk
};

WalkRange RangeOf(const CaptureStore& store, std::int64_t viewStart, std::int64_t viewEnd) {
  const int count = store.SampleCount();
  if (count == 0) return {0, -1};
  const int lastIndex = count - 1;
  const int atStart = store.FindSampleByTime(viewStart);
  const int first = atStart < 0 ? 0 : std::max(atStart - 1, 0);
  const int atEnd = store.FindSampleByTime(viewEnd);
  int last = atEnd < 0 ? lastIndex : std::min(atEnd + 1, lastIndex);
  // The walk stops at the second sample after the window's end.
  const int firstAfter = atEnd + 1;
  last = std::min(last, firstAfter);
  return {first, last};
}

bool IsVbusTrace(GraphChannel c) { return c == kChVbusVolt || c == kChVbusCurr || c == kChVbusWatt; }

bool Matches(const CVbusInfo& s, const PeakSample& p) {
  return s.m_VbusVoltage == p.voltage && s.m_VbusCurrent == p.current;
}

// First sample of [first, last] recorded with the peak; -1 when none. The summary narrows the
// search to blocks whose VBUS power range holds the peak's power.
int FindPeak(const CaptureStore& store, WalkRange r, const PeakSample& p, const SampleSummary* summary) {
  const std::int32_t power = p.current * p.voltage / 1000;
  int i = r.first;
  while (i <= r.last) {
    if (summary && i % SampleSummary::kBlockSize == 0) {
      const MinMax& m = summary->Block(i / SampleSummary::kBlockSize).values[kChVbusWatt];
      if (power < m.min || power > m.max) {
        i += SampleSummary::kBlockSize;
        continue;
      }
    }
    if (Matches(*store.SampleAt(i), p)) return i;
    ++i;
  }
  return -1;
}

class Walker {
 public:
  Walker(const CaptureStore& store, const TraceRequest& rq, std::vector<TracePoint>& out)
      : m_Store(store), m_Rq(rq), m_Out(out), m_Origin(store.m_TimeOrigin) {}

  int Column(std::int64_t rawTime) const {
    const std::int64_t offset = TimeDiff(TimeDiff(rawTime, m_Origin), m_Rq.viewStart);
    return TruncPx(static_cast<double>(static_cast<float>(offset) * m_Rq.timeScale));
  }
  int Pixel(std::int32_t value) const { return TruncPx(static_cast<double>(static_cast<float>(value) * m_Rq.scale)); }
  int PixelOf(int i) const {
    const std::int32_t raw = RawChannelValue(*m_Store.SampleAt(i), m_Rq.channel);
    return Pixel(ChannelTakesSign(m_Rq.channel) ? raw * m_Rq.sign : raw);
  }

  void Step(int i, bool peak) {
    const CVbusInfo& s = *m_Store.SampleAt(i);
    const int x = Column(s.m_Time);
    const int v = PixelOf(i);
    const int y = m_Rq.zeroY - v;
    if (!m_HaveColumn || x != m_ColumnX) {
      if (m_HaveColumn) m_Out.push_back({m_ColumnX, m_Rq.zeroY - m_PrevV, TracePoint::kLine});
      m_Min = m_Max = v;
      m_Out.push_back({x, y, m_HaveColumn ? TracePoint::kLine : TracePoint::kMove});
      m_HaveColumn = true;
      m_ColumnX = x;
    } else if (v < m_Min) {
      m_Min = v;
      m_Out.push_back({x, y, TracePoint::kLine});
    } else if (v > m_Max) {
      m_Max = v;
      m_Out.push_back({x, y, TracePoint::kLine});
    } else if (peak) {
      m_Out.push_back({x, y, TracePoint::kLine});
    }
    if (peak) m_Out.push_back({x, y, TracePoint::kPeak});
    m_PrevV = v;
  }

  // True when none of the entry's samples would draw: all in the current column, none beyond
  // the column's extremes. Pixel values rise with the value, so the extremes bound them all.
  bool Skippable(const SummaryEntry& e) const {
    if (!m_HaveColumn || Column(e.tMin) != m_ColumnX || Column(e.tMax) != m_ColumnX) return false;
    const MinMax& m = e.values[static_cast<std::size_t>(m_Rq.channel)];
    const bool negate = ChannelTakesSign(m_Rq.channel) && m_Rq.sign < 0;
    const int lo = Pixel(negate ? -m.max : m.min);
    const int hi = Pixel(negate ? -m.min : m.max);
    return lo >= m_Min && hi <= m_Max;
  }
  // Skipping keeps the value the column would be left with.
  void Skip(int lastIndex) { m_PrevV = PixelOf(lastIndex); }

 private:
  const CaptureStore& m_Store;
  const TraceRequest& m_Rq;
  std::vector<TracePoint>& m_Out;
  std::int64_t m_Origin;
  bool m_HaveColumn = false;
  int m_ColumnX = 0;
  int m_Min = 0, m_Max = 0, m_PrevV = 0;
};

bool InSpan(int i, int first, int last) { return first <= i && i <= last; }

}  // namespace

void SetPeaks(TraceRequest& request, const SampleStatistics& stats) {
  request.maxPeak.reset();
  request.minPeak.reset();
  if (!IsVbusTrace(request.channel)) return;
  if (stats.maxVbusPower != 0) request.maxPeak = PeakSample{stats.maxVbusPowerVoltage, stats.maxVbusPowerCurrent};
  if (stats.minVbusPower != 0) request.minPeak = PeakSample{stats.minVbusPowerVoltage, stats.minVbusPowerCurrent};
}

void WalkTrace(const CaptureStore& store, const TraceRequest& rq, const SampleSummary* summary,
               std::vector<TracePoint>& out) {
  out.clear();
  const WalkRange r = RangeOf(store, rq.viewStart, rq.viewEnd);
  if (r.last < r.first) return;
  // Skipping relies on pixel values that never fall as the value rises.
  if (summary && (summary->SampleCount() != store.SampleCount() || !(rq.scale >= 0) || std::isinf(rq.scale) ||
                  !(rq.timeScale > 0))) {
    summary = nullptr;
  }
  const int peakMax = rq.maxPeak ? FindPeak(store, r, *rq.maxPeak, summary) : -1;
  const int peakMin = rq.minPeak ? FindPeak(store, r, *rq.minPeak, summary) : -1;
  auto holdsPeak = [&](int first, int last) { return InSpan(peakMax, first, last) || InSpan(peakMin, first, last); };

  Walker walker(store, rq, out);
  constexpr int kBlock = SampleSummary::kBlockSize;
  constexpr int kGroup = SampleSummary::kGroupSize;
  int i = r.first;
  while (i <= r.last) {
    if (summary && i % kGroup == 0 && i + kGroup - 1 <= r.last && !holdsPeak(i, i + kGroup - 1) &&
        walker.Skippable(summary->Group(i / kGroup))) {
      walker.Skip(i + kGroup - 1);
      i += kGroup;
      continue;
    }
    if (summary && i % kBlock == 0 && i + kBlock - 1 <= r.last && !holdsPeak(i, i + kBlock - 1) &&
        walker.Skippable(summary->Block(i / kBlock))) {
      walker.Skip(i + kBlock - 1);
      i += kBlock;
      continue;
    }
    walker.Step(i, i == peakMax || i == peakMin);
    ++i;
  }
}

}  // namespace zk
