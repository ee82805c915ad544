#include "ui/graph/graph_input.h"

#include <cstdlib>

namespace zk {

namespace {

constexpr int kMarkerReach = 10;

bool WithinX(const PlotRect& p, int x) { return p.left <= x && x <= p.Right(); }
bool InsidePlot(const PlotRect& p, int x, int y) {
  return p.left <= x && x < p.Right() && p.top <= y && y < p.Bottom();
}
bool InsideWithEdges(const PlotRect& p, int x, int y) { return WithinX(p, x) && p.top <= y && y <= p.Bottom(); }

// Markers outside the window are reached at the plot edge where they are drawn.
bool WithinReach(const CGraphModel& m, const PlotRect& p, std::int64_t t, int x) {
  const int g = m.Mapping().Offset(t);
  if (g < 0) return p.left <= x && x <= p.left + kMarkerReach;
  if (g > p.width) return p.Right() - kMarkerReach <= x && x <= p.Right();
  return std::abs(x - (p.left + g)) <= kMarkerReach;
}

GraphInputResult Repaint() {
  GraphInputResult r;
  r.repaint = true;
  return r;
}

GraphInputResult WithCursor(GraphCursorShape shape, bool repaint = false) {
  GraphInputResult r;
  r.repaint = repaint;
  r.setCursor = true;
  r.cursor = shape;
  return r;
}

}  // namespace

int NearestPacket(const CaptureStore& store, std::int64_t t) {
  const int before = store.FindPacketByTime(t);
  const int after = before + 1 < store.PacketCount() ? before + 1 : -1;
  if (before < 0) return after;
  if (after < 0) return before;
  const std::int64_t origin = store.m_TimeOrigin;
  const std::int64_t toBefore = TimeDiff(t, TimeDiff(store.PacketAt(before)->m_Time, origin));
  const std::int64_t toAfter = TimeDiff(TimeDiff(store.PacketAt(after)->m_Time, origin), t);
  return toAfter < toBefore ? after : before;
}

bool CGraphInput::UpdateHover(int x) {
  const PlotRect p = m_Model.Plot();
  const bool oldO = m_Model.m_HoverO, oldX = m_Model.m_HoverX;
  m_Model.m_HoverX = WithinReach(m_Model, p, m_Model.m_MarkerX, x);
  m_Model.m_HoverO = !m_Model.m_HoverX && WithinReach(m_Model, p, m_Model.m_MarkerO, x);
  return oldO != m_Model.m_HoverO || oldX != m_Model.m_HoverX;
}

void CGraphInput::FitAllWithTime() {
  m_Model.FitTime();
  m_Model.FitVoltage();
  m_Model.FitCurrent();
  m_Model.FitWattage();
}

GraphInputResult CGraphInput::LeftDown(int x, int y) {
  m_LeftDrag = true;
  m_LeftX = x;
  m_LeftY = y;
  const GraphLayout l = m_Model.Layout();
  m_DragVolt = m_DragCurr = m_DragWatt = false;
  if (WithinX(l.plot, x)) {
    m_DragVolt = m_Model.m_ShowVoltArea && l.volt.Holds(y);
    m_DragCurr = m_Model.m_ShowCurrArea && l.curr.Holds(y);
    m_DragWatt = m_Model.m_ShowWattArea && l.watt.Holds(y);
  }
  if (!m_DragVolt && !m_DragCurr && !m_DragWatt) m_DragVolt = m_DragCurr = m_DragWatt = true;
  const bool hovered = m_Model.m_HoverO || m_Model.m_HoverX;
  return WithCursor(hovered ? GraphCursorShape::kResizeHorizontal : GraphCursorShape::kMove);
}

GraphInputResult CGraphInput::MouseMove(int x, int y) {
  GraphInputResult r;
  m_MouseX = m_Model.m_MouseX = x;
  m_MouseY = m_Model.m_MouseY = y;
  const PlotRect p = m_Model.Plot();
  if (InsidePlot(p, x, y)) {
    m_Model.m_CursorTime = m_Model.Mapping().TimeAt(x);
    m_Model.m_MouseOutside = false;
    r.repaint = true;
  } else {
    r.repaint = !m_Model.m_MouseOutside;
    m_Model.m_MouseOutside = true;
  }
  if (!m_LeftDrag && UpdateHover(x)) r.repaint = true;
  if (m_LeftDrag && !m_Model.m_RightDrag) {
    if (m_Model.m_HoverX) {
      m_Model.SetMarkerX(m_Model.Mapping().TimeAt(x));
    } else if (m_Model.m_HoverO) {
      m_Model.SetMarkerO(m_Model.Mapping().TimeAt(x));
    } else {
      if (x != m_LeftX) {
        const float dt = static_cast<float>(x - m_LeftX) / m_Model.m_TimeScale;
        m_Model.SetCentre(TimeDiff(m_Model.m_ViewCentre, TruncTime(static_cast<double>(dt))));
      }
      if (y != m_LeftY) {
        const int shift = m_LeftY - y;
        if (m_DragVolt) m_Model.m_VoltZero += shift;
        if (m_DragCurr) m_Model.m_CurrZero += shift;
        if (m_DragWatt) m_Model.m_WattZero += shift;
      }
      m_LeftX = x;
      m_LeftY = y;
    }
    r.repaint = true;
  }
  if (m_Model.m_RightDrag) r.repaint = true;
  return r;
}

GraphInputResult CGraphInput::LeftUp() {
  m_LeftDrag = false;
  m_DragVolt = m_DragCurr = m_DragWatt = false;
  return WithCursor(GraphCursorShape::kArrow);
}

GraphInputResult CGraphInput::LeftDoubleClick(int x, int /*y*/) {
  GraphInputResult r;
  const PlotRect p = m_Model.Plot();
  const CaptureStore* store = m_Model.Store();
  if (!store || !WithinX(p, x)) return r;
  const std::int64_t t = m_Model.Mapping().TimeAt(x);
  m_Model.SetCentre(t);
  r.repaint = true;
  if (m_Model.m_FirstTime <= t && t <= m_Model.m_LastTime) r.selectPacket = NearestPacket(*store, t);
  return r;
}

GraphInputResult CGraphInput::RightDown(int x, int y) {
  const PlotRect p = m_Model.Plot();
  m_Model.m_RightClickValid = InsideWithEdges(p, x, y);
  if (m_Model.m_RightClickValid) m_Model.m_RightClickTime = m_Model.Mapping().TimeAt(x);
  m_Model.m_RightX = m_MouseX = x;
  m_Model.m_RightY = m_MouseY = y;
  m_Model.m_MouseX = x;
  m_Model.m_MouseY = y;
  m_Model.m_RightDrag = true;
  return WithCursor(GraphCursorShape::kCross);
}

GraphInputResult CGraphInput::RightUp() {
  m_Model.ZoomRectangle(m_Model.m_RightX, m_Model.m_RightY, m_MouseX, m_MouseY);
  m_Model.m_RightDrag = false;
  return WithCursor(GraphCursorShape::kArrow, true);
}

GraphInputResult CGraphInput::MiddleDown() {
  FitAllWithTime();
  return Repaint();
}

GraphInputResult CGraphInput::Wheel(int delta) {
  if (m_Model.m_RightDrag) {
    if (delta > 0) m_Model.ZoomTimeIn();
    if (delta < 0) m_Model.ZoomTimeOut();
  } else if (delta > 0) {
    m_Model.ScrollRight();
  } else {
    m_Model.ScrollLeft();
  }
  return Repaint();
}

GraphInputResult CGraphInput::Key(GraphKey key) {
  switch (key) {
    case GraphKey::kLeft: m_Model.ScrollLeft(); break;
    case GraphKey::kRight: m_Model.ScrollRight(); break;
    case GraphKey::kUp:
      m_Model.MoveVoltage(true);
      m_Model.MoveCurrentAndWattage(true);
      break;
    case GraphKey::kDown:
      m_Model.MoveVoltage(false);
      m_Model.MoveCurrentAndWattage(false);
      break;
    case GraphKey::kPageUp: m_Model.ZoomTimeIn(); break;
    case GraphKey::kPageDown: m_Model.ZoomTimeOut(); break;
    case GraphKey::kHome: FitAllWithTime(); break;
    case GraphKey::kOther: {
      GraphInputResult r;
      r.handled = false;
      return r;
    }
  }
  return Repaint();
}

}  // namespace zk
