#include "ui/graph/graph_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "app/settings.h"
#include "app/settings_storage.h"
#include "pd/formatting.h"
#include "pd/text_format.h"

namespace zk {

namespace {

constexpr int kMarginLeft = 150;
constexpr int kMarginRight = 150;
constexpr int kMarginTop = 64;
constexpr int kMinBottomMargin = 74;
constexpr int kAreaPad = 16;
constexpr int kPDGap = 34;
constexpr std::int32_t kMinVoltMax = 5000;
constexpr std::int32_t kMinRange = 100;
constexpr std::int64_t kEmptySpan = 100000000;
// The fitting constants are single-precision values: the margin share is 1 - 0.6f, just
// below 0.4, so a band of 200 px gets a margin of 39 px, not 40.
constexpr float kFitFill = 0.6f;
constexpr float kFitMargin = 1.0f - kFitFill;
constexpr float kZoomInShift = 0.20000005f;
constexpr float kZoomOutShift = -0.16666669f;

enum Area : int { kVolt, kCurr, kWatt };

std::int64_t Midpoint(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>((static_cast<__int128>(a) + b) / 2);
}

int Trunc(float v) { return TruncPx(static_cast<double>(v)); }

AreaSpan SpanOf(const PlotRect& plot, int zero, std::int32_t min, std::int32_t max, float scale, bool inverted) {
  AreaSpan a;
  a.zeroY = plot.Bottom() - zero;
  const int lo = Trunc(static_cast<float>(min) * scale);
  const int hi = Trunc(static_cast<float>(max) * scale);
  if (inverted) {
    a.top = a.zeroY - (kAreaPad - lo);
    a.bottom = a.zeroY - (-hi - kAreaPad);
  } else {
    a.top = a.zeroY - (hi + kAreaPad);
    a.bottom = a.zeroY - (lo - kAreaPad);
  }
  a.top = std::max(a.top, plot.top);
  a.bottom = std::min(a.bottom, plot.Bottom());
  a.empty = a.top >= a.bottom;
  return a;
}

// Widens [min, max] by the store's lowest and highest values, negated for a reversed direction.
bool Widen(std::int32_t lowest, std::int32_t highest, bool reversed, std::int32_t& min, std::int32_t& max) {
  if (reversed) {
    lowest = -lowest;
    highest = -highest;
  }
  const std::int32_t lo = std::min(lowest, highest);
  const std::int32_t hi = std::max(lowest, highest);
  bool changed = false;
  if (lo < min) {
    min = lo;
    changed = true;
  }
  if (hi > max) {
    max = hi;
    changed = true;
  }
  return changed;
}

void SortedRange(std::int32_t lowest, std::int32_t highest, bool reversed, std::int32_t& min, std::int32_t& max) {
  if (reversed) {
    lowest = -lowest;
    highest = -highest;
  }
  min = std::min(std::min(lowest, highest), -kMinRange);
  max = std::max(std::max(lowest, highest), kMinRange);
}

}  // namespace

// ---- settings, energy, texts -------------------------------------------------

GraphAreaSwitches LoadGraphAreaSwitches(SettingsStorage& storage) {
  GraphAreaSwitches a;
  a.volt = storage.ReadNumber(kSettingsSection, "EnableGraphVoltage", 1) != 0;
  a.curr = storage.ReadNumber(kSettingsSection, "EnableGraphCurrent", 1) != 0;
  a.watt = storage.ReadNumber(kSettingsSection, "EnableGraphWattage", 0) != 0;
  return a;
}

void SaveGraphAreaSwitches(SettingsStorage& storage, const GraphAreaSwitches& a) {
  storage.WriteNumber(kSettingsSection, "EnableGraphVoltage", a.volt ? 1 : 0);
  storage.WriteNumber(kSettingsSection, "EnableGraphCurrent", a.curr ? 1 : 0);
  storage.WriteNumber(kSettingsSection, "EnableGraphWattage", a.watt ? 1 : 0);
}

namespace {

struct EnergyPoint {
  std::int64_t i;  // mA
  std::int64_t p;  // µW
  std::int64_t t;
};

EnergyPoint PointOf(const CVbusInfo& s, std::int64_t origin) {
  const std::int64_t i = s.m_VbusCurrent;
  return {i, i * s.m_VbusVoltage, TimeDiff(s.m_Time, origin)};
}

// Wide sums: a long hostile gap between two samples must not overflow the products.
struct EnergySums {
  __int128 positive = 0;
  __int128 negative = 0;
};

void AddSegment(EnergySums& sums, const EnergyPoint& a, const EnergyPoint& b) {
  const __int128 dt = std::max<std::int64_t>(TimeDiff(b.t, a.t), 0);
  if (a.i >= 0 && b.i >= 0) {
    sums.positive += ((a.p + b.p) * dt) >> 1;
  } else if (a.i <= 0 && b.i <= 0) {
    sums.negative += ((std::llabs(a.p) + std::llabs(b.p)) * dt) >> 1;
  } else if (a.i < 0) {
    const __int128 tz = b.i * dt / (b.i - a.i);
    sums.positive += (b.p * tz) >> 1;
    sums.negative += (std::llabs(a.p) * (dt - tz)) >> 1;
  } else {
    const __int128 tz = a.i * dt / (a.i - b.i);
    sums.positive += (a.p * tz) >> 1;
    sums.negative += (std::llabs(b.p) * (dt - tz)) >> 1;
  }
}

float ToMilliJoules(__int128 sum) { return static_cast<float>(sum) / 1000 / 1000 / 1000; }

}  // namespace

std::optional<VbusEnergy> IntegrateVbusEnergy(const CaptureStore& store, std::int64_t s, std::int64_t e) {
  const int k = store.FindSampleByTime(s);
  if (k < 0) return std::nullopt;
  const std::int64_t origin = store.m_TimeOrigin;
  EnergyPoint p0 = PointOf(*store.SampleAt(k), origin);
  if (const CVbusInfo* next = store.SampleAt(k + 1)) {
    const EnergyPoint n = PointOf(*next, origin);
    const float span = static_cast<float>(TimeDiff(n.t, p0.t));
    const float u = static_cast<float>(TimeDiff(s, p0.t));
    if (span > 0) {
      p0.i += Trunc(static_cast<float>(n.i - p0.i) / span * u);
      p0.p += Trunc(static_cast<float>(n.p - p0.p) / span * u);
    }
    p0.t = s;
  }
  EnergySums sums;
  for (int j = k + 1; j < store.SampleCount(); ++j) {
    EnergyPoint p1 = PointOf(*store.SampleAt(j), origin);
    if (p1.t > e) {
      const double part = static_cast<double>(TimeDiff(e, p0.t));
      const double whole = static_cast<double>(TimeDiff(p1.t, p0.t));
      p1.i = p0.i + TruncTime(static_cast<double>(p1.i - p0.i) * part / whole);
      p1.p = p0.p + TruncTime(static_cast<double>(p1.p - p0.p) * part / whole);
      p1.t = e;
    }
    AddSegment(sums, p0, p1);
    p0 = p1;
    if (p1.t >= e) break;
  }
  return VbusEnergy{ToMilliJoules(sums.positive), ToMilliJoules(sums.negative)};
}

std::string EnergyText(std::optional<VbusEnergy> energy, std::int64_t duration, bool currDirReversed) {
  if (!energy) return {};
  const float d = energy->positive - energy->negative;
  const float mwh = d / 3600;
  const std::int64_t span = duration < 0 ? TimeDiff(0, duration) : duration;
  float average = span == 0 ? 0.0f : d / static_cast<float>(span) * 1000;
  const bool milli = mwh > -1000000 && mwh < 1000000;
  float shown = milli ? mwh : mwh / 1000;
  if (currDirReversed && shown != 0) {
    shown = -shown;
    average = -average;
  }
  return Format(milli ? " (%.2f[mWh] Ave=%.2f[W])" : " (%.2f[Wh] Ave=%.2f[W]", static_cast<double>(shown),
                static_cast<double>(average));
}

std::string SampleVbusVoltageText(const CVbusInfo& s) { return VbusVoltageText(MeasurementOf(s)); }
std::string SampleVbusCurrentText(const CVbusInfo& s, bool reversed) {
  return VbusCurrentText(MeasurementOf(s), reversed);
}
std::string SampleVbusWattageText(const CVbusInfo& s, bool reversed) {
  return VbusPowerText(MeasurementOf(s), reversed);
}
std::string SampleCcVoltageText(const CVbusInfo& s, bool cc2) { return CcVoltageText(MeasurementOf(s), cc2 ? 1 : 0); }
std::string SampleCcCurrentText(const CVbusInfo& s, bool cc2, bool reversed) {
  return CcCurrentText(MeasurementOf(s), cc2 ? 1 : 0, reversed);
}

// ---- the model -----------------------------------------------------------------

CGraphModel::CGraphModel(GraphAreaSwitches areas)
    : m_ShowVoltArea(areas.volt), m_ShowCurrArea(areas.curr), m_ShowWattArea(areas.watt) {}

CGraphModel::~CGraphModel() {
  if (m_pDoc) m_pDoc->RemoveObserver(this);
}

const CaptureStore* CGraphModel::Store() const { return m_pDoc ? &m_pDoc->Store() : nullptr; }

bool CGraphModel::GraphMarkers(std::int64_t& o, std::int64_t& x) const {
  o = m_MarkerO;
  x = m_MarkerX;
  return true;
}

void CGraphModel::AttachDocument(CZKDoc* doc, bool currDirReverse) {
  if (!doc) return;
  if (doc != m_pDoc) {
    if (m_pDoc) m_pDoc->RemoveObserver(this);
    doc->AddObserver(this);
    m_pDoc = doc;
  }
  m_Summary.Reset();
  const CaptureStore& store = doc->Store();
  const std::int64_t origin = store.m_TimeOrigin;
  m_MarkerO = TimeDiff(store.m_HasGraphMarkerO ? store.m_GraphMarkerO : 0, origin);
  m_MarkerX = TimeDiff(store.m_HasGraphMarkerX ? store.m_GraphMarkerX : 0, origin);
  m_CurrDirReversed = currDirReverse;
  UpdateRanges();
  m_InvertCurrAxis = m_CurrMin <= 0 && m_CurrMax < -m_CurrMin;
  SetCentre(0);
  m_TimeScale = 1.0f;
  FitTime();
  FitVoltage();
  FitCurrent();
  FitWattage();
}

void CGraphModel::UpdateRanges() {
  const CaptureStore* store = Store();
  if (!store) return;
  if (store->SampleCount() == 0) {
    m_FirstTime = 0;
    m_LastTime = kEmptySpan;
  } else {
    m_FirstTime = TimeDiff(store->SampleAt(0)->m_Time, store->m_TimeOrigin);
    m_LastTime = TimeDiff(store->SampleAt(store->SampleCount() - 1)->m_Time, store->m_TimeOrigin);
  }
  const SampleStatistics& st = store->SampleStats();
  m_VoltMin = 0;
  m_VoltMax = std::max(st.maxVoltage, kMinVoltMax);
  SortedRange(st.minCurrent, st.maxCurrent, m_CurrDirReversed, m_CurrMin, m_CurrMax);
  SortedRange(st.minPower, st.maxPower, m_CurrDirReversed, m_WattMin, m_WattMax);
}

void CGraphModel::ShiftTimes(std::int64_t d) {
  for (std::int64_t* t : {&m_MarkerO, &m_MarkerX, &m_ViewCentre, &m_ViewStart, &m_ViewEnd, &m_FirstTime, &m_LastTime}) {
    *t = TimeDiff(*t, d);
  }
  if (m_pDoc) m_pDoc->SetModified(true);
}

// ---- layout ------------------------------------------------------------------

void CGraphModel::SetClientSize(int width, int height) {
  m_ClientWidth = std::max(width, 0);
  m_ClientHeight = std::max(height, 0);
}

PlotRect CGraphModel::Plot() const {
  PlotRect p;
  p.left = kMarginLeft;
  p.top = kMarginTop;
  p.bottomMargin = 4 * m_FontHeight > kMinBottomMargin ? 5 * m_FontHeight : kMinBottomMargin;
  p.width = std::max(m_ClientWidth - kMarginLeft - kMarginRight, 1);
  p.height = std::max(m_ClientHeight - kMarginTop - p.bottomMargin, 1);
  return p;
}

GraphLayout CGraphModel::Layout() const {
  GraphLayout l;
  l.plot = Plot();
  l.volt = SpanOf(l.plot, m_VoltZero, m_VoltMin, m_VoltMax, m_VoltScale, false);
  l.curr = SpanOf(l.plot, m_CurrZero, m_CurrMin, m_CurrMax, m_CurrScale, m_InvertCurrAxis);
  l.watt = SpanOf(l.plot, m_WattZero, m_WattMin, m_WattMax, m_WattScale, m_InvertCurrAxis);
  if (m_ShowVoltArea) {
    l.pdTop = l.volt.bottom + kPDGap;
  } else if (m_ShowCurrArea) {
    l.pdTop = l.curr.bottom + kPDGap;
  } else if (m_ShowWattArea) {
    l.pdTop = l.watt.bottom + kPDGap;
  } else {
    l.pdTop = l.plot.top + l.plot.height / 2;
  }
  l.pdEmpty = l.pdTop >= l.plot.Bottom() || l.pdTop + kAreaPad <= l.plot.top;
  return l;
}

// ---- time window ---------------------------------------------------------------

void CGraphModel::SetCentre(std::int64_t t) {
  m_ViewCentre = t;
  const std::int64_t half = TruncTime(static_cast<double>(static_cast<float>(Plot().width) / m_TimeScale)) / 2;
  m_ViewStart = TimeDiff(t, half);
  m_ViewEnd = TimeSum(t, half);
}

void CGraphModel::ApplyTimeScale(float scale) {
  if (m_MinTimeScale > scale) {
    scale = m_MinTimeScale;
  } else {
    scale = std::min(scale, m_MaxTimeScale);
  }
  if (scale == m_TimeScale) return;
  m_TimeScale = scale;
  SetCentre(m_ViewCentre);
}

bool CGraphModel::ZoomTimeIn() {
  const float old = m_TimeScale;
  ApplyTimeScale(old * 120 / 100);
  return m_TimeScale != old;
}

bool CGraphModel::ZoomTimeOut() {
  const float old = m_TimeScale;
  ApplyTimeScale(old * 83.333336f / 100);
  return m_TimeScale != old;
}

void CGraphModel::ScrollLeft() {
  if (m_ViewCentre <= m_FirstTime) return;
  const std::int64_t step = TruncTime(static_cast<double>(static_cast<float>(Plot().width / 8) / m_TimeScale));
  SetCentre(TimeDiff(m_ViewCentre, step));
}

void CGraphModel::ScrollRight() {
  if (m_ViewCentre >= m_LastTime) return;
  const std::int64_t step = TruncTime(static_cast<double>(static_cast<float>(Plot().width / 8) / m_TimeScale));
  SetCentre(TimeSum(m_ViewCentre, step));
}

void CGraphModel::FitTime() {
  std::int64_t span = TimeDiff(m_LastTime, m_FirstTime);
  if (span <= 0) span = kSingleSampleSpan;
  const float scale = static_cast<float>(TruncPx(Plot().width * 0.99)) / static_cast<float>(span);
  // A plot too narrow for one pixel of data would give no scale at all.
  m_TimeScale = scale > 0 ? scale : m_MinTimeScale;
  SetCentre(Midpoint(m_FirstTime, m_LastTime));
}

// ---- value areas ---------------------------------------------------------------

CGraphModel::Band CGraphModel::BandOf(int area) const {
  const int on = int{m_ShowVoltArea} + int{m_ShowCurrArea} + int{m_ShowWattArea};
  const int a = Plot().height / std::max(on, 1);
  int base = 0;
  if (area == kVolt) {
    base = (on - 1) * a;
  } else if (area == kCurr) {
    base = m_ShowWattArea ? a : 0;
  }
  return {a, std::max(base, 0)};
}

void CGraphModel::FitCurrentLike(std::int32_t min, std::int32_t max, float& scale, std::int32_t& zero, int area) {
  const Band band = BandOf(area);
  const std::int64_t range = std::max<std::int64_t>(static_cast<std::int64_t>(max) - min, 1);
  scale = static_cast<float>(band.height) * kFitFill / static_cast<float>(range);
  const int margin = static_cast<int>(band.height * static_cast<double>(kFitMargin) * 0.5);
  const int lift = m_InvertCurrAxis ? Trunc(static_cast<float>(max) * scale) : -Trunc(static_cast<float>(min) * scale);
  zero = band.base + margin + lift;
  m_PDOffset = 0;
  m_PDScale = 1.0f;
}

void CGraphModel::FitVoltage() {
  if (!m_ShowVoltArea) return;
  const Band band = BandOf(kVolt);
  const std::int64_t range = std::max<std::int64_t>(static_cast<std::int64_t>(m_VoltMax) - m_VoltMin, 1);
  m_VoltScale = static_cast<float>(band.height) * kFitFill / static_cast<float>(range);
  m_VoltZero = band.base + static_cast<int>(band.height * static_cast<double>(kFitMargin) * 0.5);
  m_PDOffset = 0;
  m_PDScale = 1.0f;
}

void CGraphModel::FitCurrent() {
  if (m_ShowCurrArea) FitCurrentLike(m_CurrMin, m_CurrMax, m_CurrScale, m_CurrZero, kCurr);
}

void CGraphModel::FitWattage() {
  if (m_ShowWattArea) FitCurrentLike(m_WattMin, m_WattMax, m_WattScale, m_WattZero, kWatt);
}

void CGraphModel::FitAll() {
  FitVoltage();
  FitCurrent();
  FitWattage();
}

namespace {

void ZoomArea(bool in, int plotHeight, float& scale, std::int32_t& zero) {
  scale = in ? scale * 1.2f : scale / 1.2f;
  const float shift = in ? kZoomInShift : kZoomOutShift;
  zero -= Trunc(static_cast<float>(plotHeight / 2 - zero) * shift);
}

}  // namespace

void CGraphModel::MoveVoltage(bool up) {
  if (m_ShowVoltArea) m_VoltZero += (up ? 1 : -1) * (Plot().height / 40);
}

void CGraphModel::ZoomVoltage(bool in) {
  if (m_ShowVoltArea) ZoomArea(in, Plot().height, m_VoltScale, m_VoltZero);
}

void CGraphModel::MoveCurrentAndWattage(bool up) {
  const int step = (up ? 1 : -1) * (Plot().height / 40);
  if (m_ShowCurrArea) m_CurrZero += step;
  if (m_ShowWattArea) m_WattZero += step;
}

void CGraphModel::ZoomCurrentAndWattage(bool in) {
  if (m_ShowCurrArea) ZoomArea(in, Plot().height, m_CurrScale, m_CurrZero);
  if (m_ShowWattArea) ZoomArea(in, Plot().height, m_WattScale, m_WattZero);
}

void CGraphModel::MovePD(bool up) { m_PDOffset -= (up ? 1 : -1) * (Plot().height / 40); }

void CGraphModel::ZoomPD(bool in) { m_PDScale = in ? m_PDScale * 1.2f : m_PDScale / 1.2f; }

void CGraphModel::ZoomRectangle(int x1, int y1, int x2, int y2) {
  const int xmin = std::min(x1, x2), xmax = std::max(x1, x2);
  const int ymin = std::min(y1, y2), ymax = std::max(y1, y2);
  if (xmax - xmin <= 10 || ymax - ymin <= 10) return;
  const PlotRect plot = Plot();
  const int h = plot.height;
  const float f = static_cast<float>(h) / static_cast<float>(ymax - ymin);
  const int g = (ymax + ymin) / 2 - plot.top;
  for (auto [scale, zero] : {std::pair{&m_VoltScale, &m_VoltZero}, std::pair{&m_CurrScale, &m_CurrZero},
                             std::pair{&m_WattScale, &m_WattZero}}) {
    *scale *= f;
    *zero = h / 2 - Trunc(static_cast<float>(h - g - *zero) * f);
  }
  const std::int64_t d1 = TruncTime(static_cast<double>(static_cast<float>(xmin - plot.left) / m_TimeScale));
  std::int64_t d2 = TruncTime(static_cast<double>(static_cast<float>(xmax - plot.left) / m_TimeScale));
  // Deep zooms can map the whole rectangle into one microsecond; keep a span to divide by.
  if (d2 <= d1) d2 = d1 + 1;
  m_TimeScale = static_cast<float>(plot.width) / static_cast<float>(d2 - d1);
  SetCentre(TimeSum(m_ViewStart, Midpoint(d1, d2)));
}

// ---- following a running capture ------------------------------------------------

bool CGraphModel::ExpandVoltRange() {
  const CaptureStore* store = Store();
  if (!store || !m_ShowVoltArea) return false;
  if (store->SampleStats().maxVoltage <= m_VoltMax) return false;
  m_VoltMax = store->SampleStats().maxVoltage;
  FitVoltage();
  return true;
}

bool CGraphModel::ExpandCurrRange() {
  const CaptureStore* store = Store();
  if (!store || !m_ShowCurrArea) return false;
  const SampleStatistics& st = store->SampleStats();
  if (!Widen(st.minCurrent, st.maxCurrent, m_CurrDirReversed, m_CurrMin, m_CurrMax)) return false;
  FitCurrent();
  return true;
}

bool CGraphModel::ExpandWattRange() {
  const CaptureStore* store = Store();
  if (!store || !m_ShowWattArea) return false;
  const SampleStatistics& st = store->SampleStats();
  if (!Widen(st.minPower, st.maxPower, m_CurrDirReversed, m_WattMin, m_WattMax)) return false;
  FitWattage();
  return true;
}

void CGraphModel::FollowCapture(std::int64_t newest) {
  ExpandVoltRange();
  ExpandCurrRange();
  ExpandWattRange();
  if (!IsTimeVisible(newest)) SetCentre(newest);
}

// ---- markers and origin ------------------------------------------------------------

void CGraphModel::MarkersChanged() {
  if (m_pDoc) m_pDoc->SetMarkersChanged();
}

void CGraphModel::SetMarkerO(std::int64_t t) {
  m_MarkerO = t;
  MarkersChanged();
}

void CGraphModel::SetMarkerX(std::int64_t t) {
  m_MarkerX = t;
  MarkersChanged();
}

void CGraphModel::SetMarkerOHere() {
  if (m_RightClickValid) SetMarkerO(m_RightClickTime);
}

void CGraphModel::SetMarkerXHere() {
  if (m_RightClickValid) SetMarkerX(m_RightClickTime);
}

void CGraphModel::SetTimeOriginAbsolute() {
  if (m_pDoc) m_pDoc->SetTimeOrigin(0, false);
}

void CGraphModel::SetTimeOriginHere() {
  if (m_pDoc && m_RightClickValid) m_pDoc->SetTimeOrigin(m_RightClickTime, true);
}

std::vector<CGraphModel::MeasurementLine> CGraphModel::MeasurementLines() const {
  std::vector<MeasurementLine> lines;
  const CaptureStore* store = Store();
  if (!store) return lines;
  const std::int64_t duration = TimeDiff(m_MarkerX, m_MarkerO);
  std::string ox = "O to X : " + TimeText(duration);
  if (m_ShowWattArea) {
    const auto energy = IntegrateVbusEnergy(*store, std::min(m_MarkerO, m_MarkerX), std::max(m_MarkerO, m_MarkerX));
    ox += EnergyText(energy, duration, m_CurrDirReversed);
  }
  lines.push_back({MeasurementLine::kOtoX, std::move(ox)});
  const std::int64_t origin = store->m_TimeOrigin;
  if (const CCCPacket* a = store->MarkerA()) {
    lines.push_back({MeasurementLine::kOtoA, "O to A : " + TimeText(TimeDiff(TimeDiff(a->m_Time, origin), m_MarkerO))});
  }
  if (const CCCPacket* b = store->MarkerB()) {
    lines.push_back({MeasurementLine::kOtoB, "O to B : " + TimeText(TimeDiff(TimeDiff(b->m_Time, origin), m_MarkerO))});
  }
  return lines;
}

}  // namespace zk
