#include "ui/graph/graph_painter.h"

#include <QFontMetrics>
#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

#include "pd/formatting.h"
#include "pd/message_header.h"
#include "pd/message_names.h"
#include "pd/text_format.h"
#include "ui/graph/time_axis.h"
#include "ui/graph/trace_walk.h"

namespace zk {

namespace {

constexpr int kBoundSide = 86;
constexpr int kAxisStrip = 28;
constexpr int kStripGap = 15;
constexpr int kPDBoxHeight = 16;
constexpr int kLabelRows = 10;

constexpr std::uint32_t kColorMarkerA = Rgb(255, 128, 0);
constexpr std::uint32_t kColorMarkerB = Rgb(255, 0, 128);
constexpr std::uint32_t kColorSelected = Rgb(100, 100, 255);
constexpr std::uint32_t kColorBookmarked = Rgb(200, 200, 0);
constexpr std::uint32_t kColorFramingError = Rgb(255, 0, 0);
constexpr std::uint32_t kColorReset = Rgb(255, 255, 0);
constexpr std::uint32_t kColorSide1 = Rgb(0, 0, 255);
constexpr std::uint32_t kColorSide2 = Rgb(0, 100, 100);
constexpr std::uint32_t kColorCablePlug = Rgb(100, 100, 0);
constexpr std::uint32_t kColorSideUnknown = Rgb(255, 0, 0);
constexpr std::uint32_t kColorStrip = Rgb(150, 150, 150);
constexpr std::uint32_t kColorText = Rgb(0, 0, 0);
constexpr std::uint32_t kColorWhite = Rgb(255, 255, 255);

// Text anchors as the platform's text alignment flags name them.
enum HAlign { kLeft, kCentre, kRight };
enum VAlign { kTop, kBaseline, kBottom };

struct Ctx {
  QPainter& p;
  const CGraphModel& m;
  const CaptureStore& store;
  const DrawingSettings& s;
  const GraphLayout& l;
  QFontMetrics fm;
  QRect bound;  // everything but the strip stays inside the graph bound

  QColor Color(DrawingColor c) const { return ToQColor(s.m_Colors[c]); }
  bool On(DrawingSwitch w) const { return s.m_Switches[w]; }
};

// Text with an opaque background box, placed by its alignment point.
void Text(Ctx& c, int x, int y, HAlign h, VAlign v, const std::string& text, QColor fg, QColor bg) {
  if (text.empty()) return;
  const QString q = QString::fromStdString(text);
  const int w = c.fm.horizontalAdvance(q);
  const int left = h == kLeft ? x : h == kRight ? x - w : x - w / 2;
  const int top = v == kTop ? y : v == kBottom ? y - c.fm.height() : y - c.fm.ascent();
  c.p.fillRect(QRect(left, top, w, c.fm.height()), bg);
  c.p.setPen(fg);
  c.p.drawText(left, top + c.fm.ascent(), q);
}

void Clip(Ctx& c, const QRect& r) { c.p.setClipRect(r & c.bound); }

void Pen(Ctx& c, QColor colour, int width) {
  QPen pen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
  c.p.setPen(pen);
  c.p.setBrush(Qt::NoBrush);
}

void HLine(Ctx& c, int y) { c.p.drawLine(c.l.plot.left, y, c.l.plot.Right() - 1, y); }

void FillAcross(Ctx& c, const AreaSpan& a, QColor colour) {
  c.p.fillRect(QRect(c.l.plot.left, a.top, c.l.plot.width, a.bottom - a.top), colour);
}

// ---- bands -------------------------------------------------------------------------

struct VRdBand {
  int from, to;
  DrawingColor color;
  DrawingSwitch enabled;
  const char* label;
};
constexpr VRdBand kVRdBands[] = {
    {250, 610, kColorvRdUSB, kvRdUSBBGEnabled, "vRd-USB"},
    {700, 1160, kColorvRd15, kvRd15BGEnabled, "vRd-1.5"},
    {1310, 2040, kColorvRd30, kvRd30BGEnabled, "vRd-3.0"},
};

void DrawVRdBands(Ctx& c) {
  const float scale = c.m.m_VoltScale;
  for (const VRdBand& b : kVRdBands) {
    if (!c.On(b.enabled)) continue;
    const int top = c.l.volt.zeroY - TruncPx(static_cast<double>(scale * static_cast<float>(b.to)));
    const int height = TruncPx(static_cast<double>(scale * static_cast<float>(b.to - b.from)));
    c.p.fillRect(QRect(c.l.plot.left, top, c.l.plot.width, height), c.Color(b.color));
    if (height > 12)
      Text(c, c.l.plot.left, top + height, kLeft, kBottom, b.label, c.Color(kColorVBusVol), c.Color(b.color));
  }
}

void DrawBands(Ctx& c) {
  const CGraphModel& m = c.m;
  Clip(c, QRect(c.l.plot.left, c.l.plot.top, c.l.plot.width, c.l.plot.height));
  if (m.m_ShowCurrArea && !c.l.curr.empty && c.On(kCurrBGEnabled)) FillAcross(c, c.l.curr, c.Color(kColorCurrBG));
  if (m.m_ShowVoltArea && !c.l.volt.empty) {
    if (c.On(kVolBGEnabled)) FillAcross(c, c.l.volt, c.Color(kColorVolBG));
    if (m.m_ShowVRdBands && (m.m_ShowCC1Volt || m.m_ShowCC2Volt)) DrawVRdBands(c);
  }
  if (m.m_ShowWattArea && !c.l.watt.empty && c.On(kWattBGEnabled)) FillAcross(c, c.l.watt, c.Color(kColorWattBG));
  if (m.m_ShowPDArea && !c.l.pdEmpty && c.On(kPDBGEnabled)) {
    c.p.fillRect(QRect(c.l.plot.left, c.l.pdTop, c.l.plot.width, kPDBoxHeight), c.Color(kColorPDBG));
  }
}

// ---- time axis -----------------------------------------------------------------------

void DrawTimeAxis(Ctx& c) {
  const PlotRect& plot = c.l.plot;
  const CGraphModel& m = c.m;
  Clip(c, c.bound);
  c.p.fillRect(QRect(plot.left, plot.top - kAxisStrip, plot.width, kAxisStrip), c.Color(kColorGraph));
  Clip(c, QRect(plot.left, plot.top - kAxisStrip, plot.width, plot.height + kAxisStrip));
  const TimeAxisStep row = TimeAxisStepFor(m.m_TimeScale);
  std::int64_t minor = row.minor;
  const std::int64_t window = TimeDiff(m.m_ViewEnd, m.m_ViewStart);
  // A window far wider than its steps (an unlimited fit of far-apart times) gets coarser ticks.
  while (window / minor > 4 * static_cast<std::int64_t>(plot.width) + 16) minor *= 10;
  const std::int64_t major = std::max(row.major, minor);
  const TimeMapping map = m.Mapping();
  Pen(c, c.Color(kColorTimeAxis), 1);
  int prevX = 0;
  for (std::int64_t t = m.m_ViewStart - m.m_ViewStart % minor; t <= m.m_ViewEnd; t = TimeSum(t, minor)) {
    if (t >= m.m_ViewStart) {
      const int x = map.Offset(t);
      if (x > plot.width) break;
      if (x >= 0) {
        const int gap = x - prevX;
        prevX = x;
        const bool isMajor = t % major == 0;
        if (c.On(kTimeAxisEnabled) || isMajor || gap > 50) {
          Pen(c, c.Color(kColorTimeAxis), 1);
          c.p.drawLine(plot.left + x, plot.top, plot.left + x, plot.Bottom() - 1);
        }
        if (isMajor || gap > 50) {
          Text(c, plot.left + x, plot.top - 1, kCentre, kBottom, TimeAxisLabel(t, row.unit), c.Color(kColorTimeAxis),
               c.Color(kColorGraph));
        }
      }
    }
    if (t > std::numeric_limits<std::int64_t>::max() - minor) break;
  }
}

// ---- value axes ----------------------------------------------------------------------

// The label step of an axis: the minor step, else the first multiple of the major step that
// leaves room for a line of text; 0 when none does.
std::int32_t LabelStep(std::int32_t minor, std::int32_t major, int maxMultiple, std::int32_t limit, float scale,
                       int fontHeight) {
  if (TruncPx(static_cast<double>(static_cast<float>(minor) * scale)) > fontHeight) return minor;
  for (int i = 1; i <= maxMultiple && major * i <= limit; ++i) {
    if (TruncPx(static_cast<double>(static_cast<float>(major) * scale * static_cast<float>(i))) > fontHeight) {
      return major * i;
    }
  }
  return 0;
}

bool Labelled(std::int32_t v, std::int32_t step) { return v == 0 || (step != 0 && v % step == 0); }

void ClipToArea(Ctx& c, const AreaSpan& a) { Clip(c, QRect(0, a.top, c.m.ClientWidth(), a.bottom - a.top)); }

void DrawVoltageAxis(Ctx& c) {
  const PlotRect& plot = c.l.plot;
  const float scale = c.m.m_VoltScale;
  Clip(c, c.bound);
  c.p.fillRect(QRect(plot.left - kBoundSide, plot.top - kAxisStrip, kBoundSide, plot.height + 2 * kAxisStrip),
               c.Color(kColorGraph));
  if (c.l.volt.empty) return;
  ClipToArea(c, c.l.volt);
  const bool fine = static_cast<float>(plot.height) / scale < 5000;
  const std::int32_t major = fine ? 500 : 5000, minor = fine ? 100 : 1000;
  const std::int32_t step = LabelStep(minor, major, 49, 80000, scale, c.m.m_FontHeight);
  for (std::int32_t v = 0; v <= 80000; v += minor) {
    const int d = TruncPx(static_cast<double>(scale * static_cast<float>(v)));
    if (c.m.m_VoltZero + d > plot.height) break;
    const int y = c.l.volt.zeroY - d;
    if (c.On(kVolAxisEnabled) || Labelled(v, step)) {
      Pen(c, c.Color(kColorVolAxis), v == 0 ? 2 : 1);
      HLine(c, y);
    }
    if (Labelled(v, step)) {
      Text(c, plot.left - 1, y, kRight, kBaseline, Format("%1.1fV", static_cast<double>(v) / 1000),
           c.Color(kColorVolAxis), c.Color(kColorGraph));
    }
  }
}

// The current and wattage axes share their walk: lines for plus and minus each step.
struct SignedAxis {
  std::int32_t minor, major;
  int maxMultiple;
  std::int32_t limit;
  const char* format;  // of the value in its unit
  std::int32_t unit;   // 1 or 1000
  DrawingSwitch grid;
  DrawingColor pen;
  DrawingColor text;
  int labelX;
  HAlign align;
};

void DrawSignedAxis(Ctx& c, const SignedAxis& a, const AreaSpan& area, float scale) {
  ClipToArea(c, area);
  const std::int32_t step = LabelStep(a.minor, a.major, a.maxMultiple, a.limit, scale, c.m.m_FontHeight);
  for (std::int32_t g = 0; g <= a.limit; g += a.minor) {
    int d = TruncPx(static_cast<double>(static_cast<float>(g) * scale));
    if (c.m.m_InvertCurrAxis) d = -d;
    const bool labelled = Labelled(g, step);
    const bool line = c.On(a.grid) || labelled;
    const std::string text = a.unit == 1 ? Format(a.format, g) : Format(a.format, static_cast<double>(g) / a.unit);
    for (int sign : {1, -1}) {
      if (sign < 0 && g == 0) break;
      const int y = area.zeroY - sign * d;
      if (y < area.top - c.fm.height() || y >= area.bottom + c.fm.height()) continue;
      if (line) {
        Pen(c, c.Color(a.pen), g == 0 ? 2 : 1);
        HLine(c, y);
      }
      if (labelled) {
        Text(c, a.labelX, y, a.align, kBaseline, sign < 0 ? "-" + text : text, c.Color(a.text), c.Color(kColorGraph));
      }
    }
  }
}

void DrawCurrentAxis(Ctx& c) {
  const PlotRect& plot = c.l.plot;
  const float scale = c.m.m_CurrScale;
  Clip(c, c.bound);
  c.p.fillRect(QRect(plot.Right(), plot.top - kAxisStrip, kAxisStrip, plot.height + 2 * kAxisStrip),
               c.Color(kColorGraph));
  if (c.l.curr.empty) return;
  SignedAxis a{10, 50, 5, 6000, "%dmA", 1, kCurrAxisEnabled, kColorCurrAxis, kColorCurrAxis, plot.Right() + 1, kLeft};
  if (static_cast<float>(plot.height) / scale >= 1000) {
    a.minor = scale < 0.03f ? 500 : 100;
    a.major = 500;
    a.format = "%1.1fA";
    a.unit = 1000;
  }
  DrawSignedAxis(c, a, c.l.curr, scale);
}

void DrawWattageAxis(Ctx& c) {
  if (c.l.watt.empty) return;
  const float scale = c.m.m_WattScale;
  SignedAxis a{10,    50, 5, 240000, "%dmW", 1, kWattAxisEnabled, kColorWattAxis, kColorVBusWatt, c.l.plot.left - 1,
               kRight};
  if (static_cast<float>(c.l.plot.height) / scale >= 1000) {
    a.format = "%.1fW";
    a.unit = 1000;
    if (scale < 0.002f) {
      a.minor = a.major = 5000;
    } else if (scale < 0.03f) {
      a.minor = 1000;
      a.major = 5000;
    } else {
      a.minor = 100;
      a.major = 500;
    }
  }
  DrawSignedAxis(c, a, c.l.watt, scale);
}

// ---- packets -------------------------------------------------------------------------

bool HasFramingError(const CCCPacket& p) {
  if (p.m_EdgeCount <= 0) return false;
  const bool reset = p.m_Kind == kKindHardReset || p.m_Kind == kKindCableReset;
  return !p.m_PreambleFound || (!reset && (!p.m_CrcOk || !p.m_EopFound)) || p.m_UnitInterval < 3.03f ||
         p.m_UnitInterval > 3.7f;
}

bool IsResetPacket(const CCCPacket& p) {
  if (p.m_Kind == kKindHardReset || p.m_Kind == kKindCableReset) return true;
  const bool sopFamily = p.m_Kind == kKindSop || p.m_Kind == kKindSopP || p.m_Kind == kKindSopPP;
  const std::uint16_t h = p.Header();
  const bool extended = HeaderRevision(h) >= 2 && HeaderExtendedBit(h);
  return sopFamily && !extended && HeaderObjectCount(h) == 0 && HeaderMessageType(h) == kCtrlSoftReset;
}

struct PacketRoles {
  const CCCPacket* a;
  const CCCPacket* b;
  const CCCPacket* selected;
};

std::uint32_t SideColor(int side) {
  static constexpr std::uint32_t kSides[] = {kColorSideUnknown, kColorSide1, kColorSide2, kColorCablePlug};
  return side >= 1 && side <= 3 ? kSides[side] : kColorSideUnknown;
}

std::uint32_t PacketColor(const CCCPacket& p, const PacketRoles& r) {
  if (&p == r.a) return kColorMarkerA;
  if (&p == r.b) return kColorMarkerB;
  if (&p == r.selected) return kColorSelected;
  if (p.m_Marked) return kColorBookmarked;
  if (HasFramingError(p)) return kColorFramingError;
  if (IsResetPacket(p)) return kColorReset;
  return SideColor(p.m_Side);
}

// "A #%d %s", "B #%d %s" or "#%d %s" for a highlighted packet; empty for any other.
std::string HighlightLabel(const CCCPacket& p, const PacketRoles& r) {
  const char* prefix = &p == r.a ? "A " : &p == r.b ? "B " : &p == r.selected ? "" : nullptr;
  if (!prefix) return {};
  return Format("%s#%d %s", prefix, p.m_Index, MessageName(p).c_str());
}

void DrawPackets(Ctx& c, const PacketRoles& roles) {
  const PlotRect& plot = c.l.plot;
  const CGraphModel& m = c.m;
  Clip(c, QRect(plot.left, plot.top, plot.width, plot.height));
  const int boxHeight = TruncPx(static_cast<double>(m.m_PDScale) * 16.0);
  const int boxTop = c.l.pdTop + m.m_PDOffset;
  const TimeMapping map = m.Mapping();
  const std::int64_t origin = c.store.m_TimeOrigin;
  int row = 0;
  for (int i = 0; i < c.store.PacketCount(); ++i) {
    const CCCPacket& p = *c.store.PacketAt(i);
    if (p.m_EdgeCount < 2) continue;
    const std::int64_t start = TimeDiff(p.m_Time, origin);
    const std::int64_t duration = static_cast<std::int64_t>(p.m_TotalTicks) * p.m_TickDiv / 48;
    if (TimeSum(start, duration) < m.m_ViewStart) continue;
    if (start > m.m_ViewEnd) break;
    const int x = map.Offset(start);
    const int w = std::max(TruncPx(static_cast<double>(static_cast<float>(duration) * m.m_TimeScale)), 1);
    const QColor colour = ToQColor(PacketColor(p, roles));
    c.p.fillRect(QRect(plot.left + x, boxTop, w, boxHeight), colour);
    if (w > 50) {
      Text(c, plot.left + x, boxTop, kLeft, kBottom, Format("#%d %s", p.m_Index, MessageName(p).c_str()),
           ToQColor(kColorText), colour);
    }
    const std::string label = HighlightLabel(p, roles);
    if (label.empty()) continue;
    const int labelY = plot.top + m.m_FontHeight * row + 1;
    Pen(c, colour, 1);
    c.p.drawLine(plot.left + x, labelY, plot.left + x, boxTop);
    Text(c, plot.left + x, labelY, kLeft, kTop, label, ToQColor(kColorText), colour);
    row = row + 1 > kLabelRows ? 0 : row + 1;
  }
}

// ---- traces --------------------------------------------------------------------------

struct TraceDef {
  GraphChannel channel;
  bool CGraphModel::*area;
  bool CGraphModel::*shown;  // null: drawn whenever its area is
  DrawingColor color;
  TraceWidth width;
};
// Drawing order: the VBUS traces lie on top of the CC traces of their area.
constexpr TraceDef kTraces[] = {
    {kChCC1Curr, &CGraphModel::m_ShowCurrArea, &CGraphModel::m_ShowCC1Curr, kColorCC1Curr, kWidthCC1Curr},
    {kChCC2Curr, &CGraphModel::m_ShowCurrArea, &CGraphModel::m_ShowCC2Curr, kColorCC2Curr, kWidthCC2Curr},
    {kChCC1Volt, &CGraphModel::m_ShowVoltArea, &CGraphModel::m_ShowCC1Volt, kColorCC1Vol, kWidthCC1Vol},
    {kChCC2Volt, &CGraphModel::m_ShowVoltArea, &CGraphModel::m_ShowCC2Volt, kColorCC2Vol, kWidthCC2Vol},
    {kChVbusCurr, &CGraphModel::m_ShowCurrArea, &CGraphModel::m_ShowVbusCurr, kColorVBusCurr, kWidthVBusCurr},
    {kChVbusVolt, &CGraphModel::m_ShowVoltArea, &CGraphModel::m_ShowVbusVolt, kColorVBusVol, kWidthVBusVol},
    {kChVbusWatt, &CGraphModel::m_ShowWattArea, nullptr, kColorVBusWatt, kWidthVBusWatt},
    {kChCC1Watt, &CGraphModel::m_ShowWattArea, &CGraphModel::m_ShowCC1Curr, kColorCC1Watt, kWidthCC1Watt},
    {kChCC2Watt, &CGraphModel::m_ShowWattArea, &CGraphModel::m_ShowCC2Curr, kColorCC2Watt, kWidthCC2Watt},
};

// Clips a segment to r (Liang-Barsky): far-off points of a deep zoom stay exact where visible.
bool ClipSegment(const QRectF& r, QPointF& a, QPointF& b) {
  double t0 = 0, t1 = 1;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  const QPointF a0 = a;
  a = QPointF(a0.x() + t0 * dx, a0.y() + t0 * dy);
  b = QPointF(a0.x() + t1 * dx, a0.y() + t1 * dy);
  return true;
}

// The reduction walks up and down inside a pixel column; one stroke from the column's lowest
// to its highest point covers the same pixels at a fraction of the stroking work.
class SegmentBatch {
 public:
  explicit SegmentBatch(const QRectF& keep) : m_Keep(keep) {}

  void Add(QPointF a, QPointF b) {
    if (a.x() == b.x() && m_Open && m_Column.x == a.x()) {
      m_Column.lo = std::min({m_Column.lo, a.y(), b.y()});
      m_Column.hi = std::max({m_Column.hi, a.y(), b.y()});
      return;
    }
    Close();
    if (a.x() == b.x()) {
      m_Open = true;
      m_Column = {a.x(), std::min(a.y(), b.y()), std::max(a.y(), b.y())};
      return;
    }
    Keep(a, b);
  }
  void Draw(QPainter& p) {
    Close();
    if (!m_Lines.empty()) p.drawLines(m_Lines.data(), static_cast<int>(m_Lines.size()));
  }

 private:
  struct Column {
    double x, lo, hi;
  };
  QRectF m_Keep;
  std::vector<QLineF> m_Lines;
  Column m_Column{};
  bool m_Open = false;

  void Close() {
    if (m_Open) Keep(QPointF(m_Column.x, m_Column.lo), QPointF(m_Column.x, m_Column.hi));
    m_Open = false;
  }
  void Keep(QPointF a, QPointF b) {
    if (ClipSegment(m_Keep, a, b)) m_Lines.emplace_back(a, b);
  }
};

void DrawSegments(Ctx& c, const std::vector<TracePoint>& points, int plotLeft, const QRectF& keep) {
  SegmentBatch batch(keep);
  QPointF last;
  bool have = false;
  for (const TracePoint& tp : points) {
    if (tp.kind == TracePoint::kPeak) continue;
    const QPointF pt(plotLeft + static_cast<double>(tp.x), tp.y);
    if (tp.kind == TracePoint::kLine && have) batch.Add(last, pt);
    last = pt;
    have = true;
  }
  batch.Draw(c.p);
}

TraceRequest RequestOf(const Ctx& c, const TraceDef& def) {
  const CGraphModel& m = c.m;
  const GraphArea area = AreaOfChannel(def.channel);
  const AreaSpan& span = area == GraphArea::kVoltage ? c.l.volt : area == GraphArea::kCurrent ? c.l.curr : c.l.watt;
  TraceRequest rq;
  rq.channel = def.channel;
  rq.sign = (m.m_CurrDirReversed ? -1 : 1) * (m.m_InvertCurrAxis ? -1 : 1);
  rq.zeroY = span.zeroY;
  rq.scale = area == GraphArea::kVoltage ? m.m_VoltScale : area == GraphArea::kCurrent ? m.m_CurrScale : m.m_WattScale;
  rq.viewStart = m.m_ViewStart;
  rq.viewEnd = m.m_ViewEnd;
  rq.timeScale = m.m_TimeScale;
  rq.pictureOnly = !m.m_ShowPoints;
  SetPeaks(rq, c.store.SampleStats());
  return rq;
}

void DrawTrace(Ctx& c, const TraceDef& def, const std::vector<TracePoint>& points) {
  const CGraphModel& m = c.m;
  const PlotRect& plot = c.l.plot;
  const QColor colour = c.Color(def.color);
  const int width = c.s.m_Widths[def.width];
  Clip(c, QRect(plot.left, plot.top, plot.width, plot.height));
  Pen(c, colour, width);
  const double pad = width + 8;
  const QRectF keep(plot.left - pad, plot.top - pad, plot.width + 2 * pad, plot.height + 2 * pad);
  DrawSegments(c, points, plot.left, keep);
  auto visible = [&](const TracePoint& tp) { return keep.contains(plot.left + tp.x, tp.y); };
  if (m.m_ShowPoints) {
    for (const TracePoint& tp : points) {
      if (tp.kind != TracePoint::kPeak && visible(tp)) c.p.drawEllipse(QRect(plot.left + tp.x - 2, tp.y - 2, 4, 4));
    }
  }
  for (const TracePoint& tp : points) {
    if (tp.kind != TracePoint::kPeak || !visible(tp)) continue;
    Pen(c, colour, width + 3);
    c.p.setBrush(ToQColor(kColorWhite));
    c.p.drawRect(QRect(plot.left + tp.x - 3, tp.y - 3, 6, 6));
    Pen(c, colour, width);
  }
}

void DrawTraces(Ctx& c, SampleSummary* summary) {
  std::array<const TraceDef*, std::size(kTraces)> shown{};
  std::array<TraceRequest, std::size(kTraces)> requests{};
  int count = 0;
  for (const TraceDef& def : kTraces) {
    if (!(c.m.*def.area) || (def.shown && !(c.m.*def.shown))) continue;
    shown[static_cast<std::size_t>(count)] = &def;
    requests[static_cast<std::size_t>(count)] = RequestOf(c, def);
    ++count;
  }
  std::array<std::vector<TracePoint>, std::size(kTraces)> points;
  WalkTraces(c.store, requests.data(), count, summary, points.data());
  for (int k = 0; k < count; ++k) {
    DrawTrace(c, *shown[static_cast<std::size_t>(k)], points[static_cast<std::size_t>(k)]);
  }
}

// ---- markers, cursor, zoom rectangle ------------------------------------------------------

struct MarkerDef {
  std::int64_t t;
  DrawingColor color;
  const char* tag;
  bool hover;
};

void DrawReadout(Ctx& c, const MarkerDef& mk, int x, const CVbusInfo& s) {
  const PlotRect& plot = c.l.plot;
  const bool left = x < plot.left + plot.width / 2;
  const HAlign align = left ? kLeft : kRight;
  const int dx = left ? 3 : -1;
  const int lineHeight = c.m.m_FontHeight + 4;
  const bool r = c.m.m_CurrDirReversed;
  const QColor black = ToQColor(kColorText);
  int y = plot.top + 2;
  const std::int64_t shown = TimeDiff(s.m_Time, c.store.m_TimeOrigin);
  Text(c, x, y, align, kTop, Format(" %s %s ", mk.tag, TimeText(shown).c_str()), black, c.Color(mk.color));
  struct ReadoutLine {
    const char* format;
    std::string value;
    DrawingColor background;
  };
  const ReadoutLine lines[] = {
      {" VBUS Voltage=%s[V] ", SampleVbusVoltageText(s), kColorVBusVol},
      {" VBUS Current=%s[A] ", SampleVbusCurrentText(s, r), kColorVBusCurr},
      {" VBUS Wattage=%s[W] ", SampleVbusWattageText(s, r), kColorVBusWatt},
      {" CC1 Voltage=%s[V] ", SampleCcVoltageText(s, false), kColorCC1Vol},
      {" CC2 Voltage=%s[V] ", SampleCcVoltageText(s, true), kColorCC2Vol},
  };
  for (const ReadoutLine& line : lines) {
    y += lineHeight;
    Text(c, x + dx, y, align, kTop, Format(line.format, line.value.c_str()), black, c.Color(line.background));
  }
}

void DrawMarker(Ctx& c, const MarkerDef& mk) {
  const PlotRect& plot = c.l.plot;
  Clip(c, QRect(plot.left, plot.top, plot.width, plot.height));
  const int offset = c.m.Mapping().Offset(mk.t);
  const bool outLeft = offset<0, outRight = offset> plot.width;
  const int x = outLeft ? plot.left : outRight ? plot.Right() : plot.left + offset;
  const QColor colour = c.Color(mk.color);
  auto line = [&] {
    if (outLeft || outRight) {
      if (!mk.hover) return;
    }
    Pen(c, colour, mk.hover ? 5 : 2);
    c.p.drawLine(x, plot.top, x, plot.Bottom() - 1);
  };
  line();
  const QColor black = ToQColor(kColorText);
  if (outRight) {
    Text(c, x, plot.Bottom(), kRight, kBottom, std::string(mk.tag) + " >>", black, colour);
  } else {
    Text(c, x, plot.Bottom(), kLeft, kBottom, outLeft ? " <<" + std::string(mk.tag) : std::string(mk.tag), black,
         colour);
  }
  if (!mk.hover) return;
  const int at = c.store.FindSampleByTime(mk.t);
  if (at < 0) return;
  DrawReadout(c, mk, x, *c.store.SampleAt(at));
  line();
}

struct CursorTexts {
  std::string time, volt, curr, watt;
};

CursorTexts CursorTextsOf(const CGraphModel& m, const GraphLayout& l) {
  CursorTexts t;
  if (!m.m_CursorOn || m.m_MouseOutside) return t;
  t.time = TimeText(m.m_CursorTime);
  const int x = m.m_MouseX, y = m.m_MouseY;
  if (x < l.plot.left || x > l.plot.Right()) return t;
  const bool inverted = m.m_InvertCurrAxis;
  if (m.m_ShowVoltArea && l.volt.Holds(y)) {
    t.volt = Format("V=%2.2f[V]", static_cast<double>(static_cast<float>(l.volt.zeroY - y) / m.m_VoltScale / 1000));
  }
  // The wattage area is turned over with the current axis, so its reading is too.
  auto reading = [&](const AreaSpan& a, float scale) {
    const int d = inverted ? y - a.zeroY : a.zeroY - y;
    return static_cast<double>(static_cast<float>(d) / scale / 1000);
  };
  if (m.m_ShowCurrArea && l.curr.Holds(y)) t.curr = Format("I=%1.3f[A]", reading(l.curr, m.m_CurrScale));
  if (m.m_ShowWattArea && l.watt.Holds(y)) t.watt = Format("P=%.3f[W]", reading(l.watt, m.m_WattScale));
  return t;
}

void DrawCursor(Ctx& c, const CursorTexts& t) {
  const PlotRect& plot = c.l.plot;
  const CGraphModel& m = c.m;
  Clip(c, QRect(plot.left, plot.top, plot.width, plot.height));
  const QColor cursor = c.Color(kColorCursor);
  Pen(c, cursor, 1);
  c.p.drawLine(plot.left, m.m_MouseY, plot.Right() - 1, m.m_MouseY);
  c.p.drawLine(m.m_MouseX, plot.top, m.m_MouseX, plot.Bottom() - 1);
  if (!m.m_HoverO && !m.m_HoverX) {
    Text(c, m.m_MouseX, plot.top + 5, kCentre, kTop, t.time, c.Color(kColorTimeAxis), cursor);
  }
  Text(c, plot.left + 5, m.m_MouseY, kLeft, kBottom, t.volt, c.Color(kColorVBusVol), cursor);
  Text(c, plot.Right() - 5, m.m_MouseY, kRight, kBottom, t.curr, c.Color(kColorVBusCurr), cursor);
  Text(c, plot.left + 5, m.m_MouseY, kLeft, kTop, t.watt, c.Color(kColorVBusWatt), cursor);
}

void DrawZoomRectangle(Ctx& c) {
  Clip(c, c.bound);
  Pen(c, c.Color(kColorCursor), 1);
  const QRect r = QRect(QPoint(c.m.m_RightX, c.m.m_RightY), QPoint(c.m.m_MouseX, c.m.m_MouseY)).normalized();
  c.p.drawRect(r.adjusted(0, 0, -1, -1));
}

// ---- measurement strip -----------------------------------------------------------------

void DrawStrip(Ctx& c, const QRect& strip) {
  c.p.setClipRect(strip);
  const QColor grey = ToQColor(kColorStrip);
  c.p.fillRect(strip, grey);
  static constexpr std::uint32_t kLineColors[] = {0, kColorMarkerA, kColorMarkerB};
  int y = c.l.plot.Bottom() + kStripGap;
  for (const CGraphModel::MeasurementLine& line : c.m.MeasurementLines()) {
    const QColor fg =
        line.kind == CGraphModel::MeasurementLine::kOtoX ? c.Color(kColorMarkerX) : ToQColor(kLineColors[line.kind]);
    Text(c, 0, y, kLeft, kTop, line.text, fg, grey);
    y += c.m.m_FontHeight;
  }
}

}  // namespace

GraphRegions RegionsOf(const CGraphModel& model) {
  const PlotRect plot = model.Plot();
  GraphRegions r;
  r.bound = QRect(QPoint(plot.left - kBoundSide, plot.top - kAxisStrip),
                  QPoint(plot.Right() + kBoundSide - 1, plot.Bottom() - 1));
  const int stripWidth = plot.left + plot.width / 2 - 136;
  r.strip = QRect(0, plot.Bottom() + kStripGap, std::max(stripWidth, 0),
                  std::max(model.ClientHeight() - plot.Bottom() - kStripGap, 0));
  return r;
}

void PaintGraph(QImage& image, CGraphModel& model, const DrawingSettings& settings, const QFont& font,
                GraphPaintOptions options) {
  const CaptureStore* store = model.Store();
  if (!store) return;
  std::lock_guard<std::mutex> lock(store->Lock());
  const GraphLayout layout = model.Layout();
  const CursorTexts cursor = CursorTextsOf(model, layout);
  const GraphRegions regions = RegionsOf(model);
  SampleSummary* summary = nullptr;
  if (options.useSummary) {
    model.Summary().Update(*store);
    summary = &model.Summary();
  }

  // The graph font is a draft-quality font: crisp, unsmoothed text on the coloured boxes.
  QFont graphFont(font);
  graphFont.setPixelSize(model.m_FontHeight);
  graphFont.setStyleStrategy(QFont::NoAntialias);
  QPainter painter(&image);
  painter.setFont(graphFont);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  Ctx c{painter, model, *store, settings, layout, QFontMetrics(graphFont, &image), regions.bound};

  const PlotRect& plot = layout.plot;
  painter.setClipRect(regions.bound);
  painter.fillRect(regions.bound, c.Color(kColorGraph));
  painter.fillRect(QRect(plot.left, plot.top, plot.width, plot.height), c.Color(kColorGraphBG));
  DrawBands(c);
  DrawTimeAxis(c);
  if (model.m_ShowVoltArea) DrawVoltageAxis(c);
  if (model.m_ShowCurrArea) DrawCurrentAxis(c);
  if (model.m_ShowWattArea) DrawWattageAxis(c);
  if (model.m_ShowPDArea) DrawPackets(c, {store->MarkerA(), store->MarkerB(), model.m_pSelectedPacket});
  if (store->SampleCount() > 0) DrawTraces(c, summary);
  DrawMarker(c, {model.m_MarkerO, kColorMarkerO, " O ", model.m_HoverO});
  DrawMarker(c, {model.m_MarkerX, kColorMarkerX, " X ", model.m_HoverX});
  if (model.m_RightDrag) {
    DrawZoomRectangle(c);
  } else if (model.m_CursorOn && !model.m_MouseOutside) {
    DrawCursor(c, cursor);
  }
  if (!regions.strip.isEmpty()) DrawStrip(c, regions.strip);
}

}  // namespace zk
