#include "ui/graph/trace_walk.h"

#include <algorithm>
#include <array>
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
      : m_Store(store), m_Rq(rq), m_Out(out), m_Origin(store.m_TimeOrigin), m_Signed(ChannelTakesSign(rq.channel)) {}

  int Column(std::int64_t rawTime) const {
    const std::int64_t offset = TimeDiff(TimeDiff(rawTime, m_Origin), m_Rq.viewStart);
    return TruncPx(static_cast<double>(static_cast<float>(offset) * m_Rq.timeScale));
  }
  int Pixel(std::int32_t value) const { return TruncPx(static_cast<double>(static_cast<float>(value) * m_Rq.scale)); }
  int PixelOf(const CVbusInfo& s) const {
    const std::int32_t raw = RawChannelValue(s, m_Rq.channel);
    return Pixel(m_Signed ? raw * m_Rq.sign : raw);
  }
  int PixelOf(int i) const { return PixelOf(*m_Store.SampleAt(i)); }

  void Step(int i, bool peak) {
    const CVbusInfo& s = *m_Store.SampleAt(i);
    const int x = Column(s.m_Time);
    const int v = PixelOf(s);
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
  bool m_Signed;
  bool m_HaveColumn = false;
  int m_ColumnX = 0;
  int m_Min = 0, m_Max = 0, m_PrevV = 0;
};

bool InSpan(int i, int first, int last) { return first <= i && i <= last; }

// The column envelope walk: per pixel column the first sample, the lowest and the highest
// value (whole blocks and groups folded from the summary) and the last sample. All traces
// share the window and so the columns: one pass serves them all.
class EnvelopeWalker {
 public:
  EnvelopeWalker(const CaptureStore& store, const SampleSummary& summary, const TraceRequest* requests, int count,
                 std::vector<TracePoint>* outs)
      : m_Store(store), m_Summary(summary), m_Rq(requests), m_Count(count), m_Outs(outs), m_Origin(store.m_TimeOrigin) {
    for (int k = 0; k < count; ++k) {
      const TraceRequest& rq = requests[k];
      m_Negate[k] = ChannelTakesSign(rq.channel) && rq.sign < 0;
      m_Peaks[k][0] = m_Peaks[k][1] = -1;
    }
  }
  void SetPeaks(int k, int peakMax, int peakMin) {
    m_Peaks[k][0] = peakMax;
    m_Peaks[k][1] = peakMin;
  }

  void Walk(WalkRange r) {
    constexpr int kBlock = SampleSummary::kBlockSize;
    constexpr int kGroup = SampleSummary::kGroupSize;
    bool haveColumn = false;
    int columnX = 0;
    std::array<int, kGraphChannelCount> prevV{};
    std::array<std::int32_t, kGraphChannelCount> lo{}, hi{}, first{};
    int i = r.first;
    while (i <= r.last) {
      const CVbusInfo& s0 = *m_Store.SampleAt(i);
      const int x = Column(s0.m_Time);
      for (int k = 0; k < m_Count; ++k) first[k] = lo[k] = hi[k] = Value(k, s0);
      auto fold = [&](const SummaryEntry& e) {
        for (int k = 0; k < m_Count; ++k) {
          const MinMax& m = e.values[static_cast<std::size_t>(m_Rq[k].channel)];
          lo[k] = std::min(lo[k], m_Negate[k] ? -m.max : m.min);
          hi[k] = std::max(hi[k], m_Negate[k] ? -m.min : m.max);
        }
      };
      int j = i;  // the column's last sample
      for (;;) {
        const int next = j + 1;
        if (next > r.last) break;
        if (next % kGroup == 0 && next + kGroup - 1 <= r.last) {
          const SummaryEntry& g = m_Summary.Group(next / kGroup);
          if (Column(g.tMax) == x) {
            fold(g);
            j = next + kGroup - 1;
            continue;
          }
        }
        if (next % kBlock == 0 && next + kBlock - 1 <= r.last) {
          const SummaryEntry& b = m_Summary.Block(next / kBlock);
          if (Column(b.tMax) == x) {
            fold(b);
            j = next + kBlock - 1;
            continue;
          }
        }
        const CVbusInfo& s = *m_Store.SampleAt(next);
        if (Column(s.m_Time) != x) break;
        for (int k = 0; k < m_Count; ++k) {
          const std::int32_t v = Value(k, s);
          lo[k] = std::min(lo[k], v);
          hi[k] = std::max(hi[k], v);
        }
        j = next;
      }
      const CVbusInfo& last = *m_Store.SampleAt(j);
      for (int k = 0; k < m_Count; ++k) {
        std::vector<TracePoint>& out = m_Outs[k];
        const int zeroY = m_Rq[k].zeroY;
        const int vFirst = Pixel(k, first[k]);
        const int vLo = Pixel(k, lo[k]), vHi = Pixel(k, hi[k]);
        if (haveColumn) out.push_back({columnX, zeroY - prevV[k], TracePoint::kLine});
        out.push_back({x, zeroY - vFirst, haveColumn ? TracePoint::kLine : TracePoint::kMove});
        if (vLo != vFirst) out.push_back({x, zeroY - vLo, TracePoint::kLine});
        if (vHi != vFirst) out.push_back({x, zeroY - vHi, TracePoint::kLine});
        for (int peak : m_Peaks[k]) {
          if (!InSpan(peak, i, j)) continue;
          const int y = zeroY - Pixel(k, Value(k, *m_Store.SampleAt(peak)));
          out.push_back({x, y, TracePoint::kLine});
          out.push_back({x, y, TracePoint::kPeak});
        }
        prevV[k] = Pixel(k, Value(k, last));
      }
      haveColumn = true;
      columnX = x;
      i = j + 1;
    }
  }

 private:
  const CaptureStore& m_Store;
  const SampleSummary& m_Summary;
  const TraceRequest* m_Rq;
  int m_Count;
  std::vector<TracePoint>* m_Outs;
  std::int64_t m_Origin;
  std::array<bool, kGraphChannelCount> m_Negate{};
  std::array<std::array<int, 2>, kGraphChannelCount> m_Peaks{};

  int Column(std::int64_t rawTime) const {
    const std::int64_t offset = TimeDiff(TimeDiff(rawTime, m_Origin), m_Rq[0].viewStart);
    return TruncPx(static_cast<double>(static_cast<float>(offset) * m_Rq[0].timeScale));
  }
  // Signed, before scaling; a negated value of 16-bit products cannot overflow.
  std::int32_t Value(int k, const CVbusInfo& s) const {
    std::int32_t raw = 0;
    switch (m_Rq[k].channel) {
      case kChVbusVolt: raw = ChannelValue<kChVbusVolt>(s); break;
      case kChCC1Volt: raw = ChannelValue<kChCC1Volt>(s); break;
      case kChCC2Volt: raw = ChannelValue<kChCC2Volt>(s); break;
      case kChVbusCurr: raw = ChannelValue<kChVbusCurr>(s); break;
      case kChCC1Curr: raw = ChannelValue<kChCC1Curr>(s); break;
      case kChCC2Curr: raw = ChannelValue<kChCC2Curr>(s); break;
      case kChVbusWatt: raw = ChannelValue<kChVbusWatt>(s); break;
      case kChCC1Watt: raw = ChannelValue<kChCC1Watt>(s); break;
      case kChCC2Watt: raw = ChannelValue<kChCC2Watt>(s); break;
      default: break;
    }
    return m_Negate[k] ? -raw : raw;
  }
  int Pixel(int k, std::int32_t value) const {
    return TruncPx(static_cast<double>(static_cast<float>(value) * m_Rq[k].scale));
  }
};

bool SummaryUsable(const CaptureStore& store, const TraceRequest& rq, const SampleSummary* summary) {
  // Skipping relies on pixel values that never fall as the value rises.
  return summary && summary->SampleCount() == store.SampleCount() && rq.scale >= 0 && !std::isinf(rq.scale) &&
         rq.timeScale > 0;
}

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
  if (!SummaryUsable(store, rq, summary)) summary = nullptr;
  if (summary && rq.pictureOnly) {
    WalkTraces(store, &rq, 1, summary, &out);
    return;
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

namespace zk {

void WalkTraces(const CaptureStore& store, const TraceRequest* requests, int count, const SampleSummary* summary,
                std::vector<TracePoint>* outs) {
  count = std::clamp(count, 0, static_cast<int>(kGraphChannelCount));
  bool envelope = count > 0;
  for (int k = 0; k < count; ++k) {
    const TraceRequest& rq = requests[k];
    envelope = envelope && rq.pictureOnly && SummaryUsable(store, rq, summary) &&
               rq.viewStart == requests[0].viewStart && rq.viewEnd == requests[0].viewEnd &&
               rq.timeScale == requests[0].timeScale;
  }
  if (!envelope) {
    for (int k = 0; k < count; ++k) {
      TraceRequest plain = requests[k];
      plain.pictureOnly = false;
      WalkTrace(store, plain, summary, outs[k]);
    }
    return;
  }
  for (int k = 0; k < count; ++k) outs[k].clear();
  const WalkRange r = RangeOf(store, requests[0].viewStart, requests[0].viewEnd);
  if (r.last < r.first) return;
  EnvelopeWalker walker(store, *summary, requests, count, outs);
  for (int k = 0; k < count; ++k) {
    const TraceRequest& rq = requests[k];
    walker.SetPeaks(k, rq.maxPeak ? FindPeak(store, r, *rq.maxPeak, summary) : -1,
                    rq.minPeak ? FindPeak(store, r, *rq.minPeak, summary) : -1);
  }
  walker.Walk(r);
}

}  // namespace zk
