#include "ui/graph/graph_buttons.h"

#include <algorithm>

namespace zk {

namespace {

using S = ButtonShown;
using P = ButtonPicture;

constexpr std::array<GraphButtonDef, kGraphButtonCount> kButtons = {{
    {kBtnVoltUp, "^", "Voltage graph up", S::kVoltArea, P::kUp},
    {kBtnVoltDown, "v", "Voltage graph down", S::kVoltArea, P::kDown},
    {kBtnVoltZoomIn, "+", "Voltage zoom in", S::kVoltArea, P::kPlus},
    {kBtnVoltZoomOut, "-", "Voltage zoom out", S::kVoltArea, P::kMinus},
    {kBtnVoltFit, "A", "Fit voltage graph", S::kVoltArea, P::kFit},
    {kBtnCurrUp, "^", "Current and wattage graphs up", S::kCurrOrWattArea, P::kUp},
    {kBtnCurrDown, "v", "Current and wattage graphs down", S::kCurrOrWattArea, P::kDown},
    {kBtnCurrZoomIn, "+", "Current and wattage zoom in", S::kCurrOrWattArea, P::kPlus},
    {kBtnCurrZoomOut, "-", "Current and wattage zoom out", S::kCurrOrWattArea, P::kMinus},
    {kBtnCurrFit, "A", "Fit current and wattage graphs", S::kCurrOrWattArea, P::kFit},
    {kBtnInvertCurr, "R", "Turn the current axis over", S::kCurrOrWattArea, P::kInvert},
    {kBtnScrollLeft, "<", "Scroll left", S::kAlways, P::kLeft},
    {kBtnScrollRight, ">", "Scroll right", S::kAlways, P::kRight},
    {kBtnTimeZoomIn, "+", "Time zoom in", S::kAlways, P::kPlus},
    {kBtnTimeZoomOut, "-", "Time zoom out", S::kAlways, P::kMinus},
    {kBtnTimeFit, "A", "Fit the time axis", S::kAlways, P::kFit},
    {kBtnVoltArea, "-", "Voltage graph on or off", S::kAlways, P::kArea},
    {kBtnCurrArea, "-", "Current graph on or off", S::kAlways, P::kArea},
    {kBtnWattArea, "-", "Wattage graph on or off", S::kAlways, P::kArea},
    {kBtnVbusVolt, "-", "VBUS voltage trace", S::kAlways, P::kTrace},
    {kBtnCC1Volt, "-", "CC1 voltage trace", S::kAlways, P::kTrace},
    {kBtnCC2Volt, "-", "CC2 voltage trace", S::kAlways, P::kTrace},
    {kBtnVbusCurr, "-", "VBUS current trace", S::kAlways, P::kTrace},
    {kBtnCC1Curr, "-", "CC1 current trace", S::kAlways, P::kTrace},
    {kBtnCC2Curr, "-", "CC2 current trace", S::kAlways, P::kTrace},
    {kBtnPDArea, "-", "USB PD packets on or off", S::kPDButtons, P::kPDArea},
    {kBtnPDUp, "^", "USB PD packets up", S::kPDAreaAndButtons, P::kUp},
    {kBtnPDDown, "v", "USB PD packets down", S::kPDAreaAndButtons, P::kDown},
    {kBtnPDTaller, "+", "USB PD packets taller", S::kPDAreaAndButtons, P::kPlus},
    {kBtnPDShorter, "-", "USB PD packets shorter", S::kPDAreaAndButtons, P::kMinus},
}};

int IndexOf(int id) {
  for (int i = 0; i < kGraphButtonCount; ++i) {
    if (kButtons[static_cast<std::size_t>(i)].id == id) return i;
  }
  return -1;
}

// A trace button, its area and the other two traces of that area.
struct TraceToggle {
  int id;
  bool CGraphModel::*area;
  bool CGraphModel::*trace;
  bool CGraphModel::*others[2];
};
constexpr TraceToggle kTraceToggles[] = {
    {kBtnVbusVolt,
     &CGraphModel::m_ShowVoltArea,
     &CGraphModel::m_ShowVbusVolt,
     {&CGraphModel::m_ShowCC1Volt, &CGraphModel::m_ShowCC2Volt}},
    {kBtnCC1Volt,
     &CGraphModel::m_ShowVoltArea,
     &CGraphModel::m_ShowCC1Volt,
     {&CGraphModel::m_ShowVbusVolt, &CGraphModel::m_ShowCC2Volt}},
    {kBtnCC2Volt,
     &CGraphModel::m_ShowVoltArea,
     &CGraphModel::m_ShowCC2Volt,
     {&CGraphModel::m_ShowVbusVolt, &CGraphModel::m_ShowCC1Volt}},
    {kBtnVbusCurr,
     &CGraphModel::m_ShowCurrArea,
     &CGraphModel::m_ShowVbusCurr,
     {&CGraphModel::m_ShowCC1Curr, &CGraphModel::m_ShowCC2Curr}},
    {kBtnCC1Curr,
     &CGraphModel::m_ShowCurrArea,
     &CGraphModel::m_ShowCC1Curr,
     {&CGraphModel::m_ShowVbusCurr, &CGraphModel::m_ShowCC2Curr}},
    {kBtnCC2Curr,
     &CGraphModel::m_ShowCurrArea,
     &CGraphModel::m_ShowCC2Curr,
     {&CGraphModel::m_ShowVbusCurr, &CGraphModel::m_ShowCC1Curr}},
};

const TraceToggle* FindTraceToggle(int id) {
  for (const TraceToggle& t : kTraceToggles) {
    if (t.id == id) return &t;
  }
  return nullptr;
}

// An area toggle and the switch it flips.
bool CGraphModel::*AreaSwitchOf(int id) {
  switch (id) {
    case kBtnVoltArea: return &CGraphModel::m_ShowVoltArea;
    case kBtnCurrArea: return &CGraphModel::m_ShowCurrArea;
    case kBtnWattArea: return &CGraphModel::m_ShowWattArea;
    case kBtnPDArea: return &CGraphModel::m_ShowPDArea;
    default: return nullptr;
  }
}

}  // namespace

const std::array<GraphButtonDef, kGraphButtonCount>& GraphButtons() { return kButtons; }

const GraphButtonDef* FindGraphButton(int id) {
  const int i = IndexOf(id);
  return i < 0 ? nullptr : &kButtons[static_cast<std::size_t>(i)];
}

const ButtonRect& GraphButtonLayout::Of(int id) const {
  static const ButtonRect kNone;
  const int i = IndexOf(id);
  return i < 0 ? kNone : rects[static_cast<std::size_t>(i)];
}

GraphButtonLayout LayOutGraphButtons(int cw, int ch, const PlotRect& plot) {
  GraphButtonLayout l;
  const double f = std::min(1.0, plot.height / 300.0);
  const int o = static_cast<int>(f * 32);
  const int f16 = static_cast<int>(16 * f);
  l.smallButtons = plot.height / 300.0 <= 1.0;
  auto put = [&l](int id, int x, int y, int w, int h) {
    l.rects[static_cast<std::size_t>(IndexOf(id))] = {x, y, w, h};
  };
  auto side = [&](int id, int x, int y) { put(id, x, y, 64, o); };

  const int m = plot.left + plot.width / 2;
  const int bottom = ch - 64;
  put(kBtnScrollLeft, m - 68, bottom, 64, 64);
  put(kBtnScrollRight, m, bottom, 64, 64);
  put(kBtnTimeZoomOut, m + 68, bottom, 64, 64);
  put(kBtnTimeZoomIn, m + 136, bottom, 64, 64);
  put(kBtnTimeFit, m + 204, bottom, 64, 64);

  put(kBtnVoltArea, 0, 0, 128, 36);
  side(kBtnVbusVolt, 0, 52);
  side(kBtnCC1Volt, 0, o + 56);
  side(kBtnCC2Volt, 0, 2 * o + 60);
  int t = 3 * o + f16 + 60;
  side(kBtnVoltZoomIn, 0, t);
  side(kBtnVoltZoomOut, 0, t + o + 4);
  t += 2 * o + 8;
  side(kBtnVoltUp, 0, t);
  side(kBtnVoltDown, 0, t + o + 4);
  t += 2 * o + 8;
  side(kBtnVoltFit, 0, t);
  put(kBtnPDArea, 0, t + 100, 64, 36);
  t += 152;
  side(kBtnPDUp, 0, t);
  side(kBtnPDDown, 0, t + (o + 4));
  side(kBtnPDTaller, 0, t + 2 * (o + 4));
  side(kBtnPDShorter, 0, t + 3 * (o + 4));

  const int right = cw - 64;
  const int w = -o - 4;
  const int v = ch - o - 74;
  side(kBtnInvertCurr, right, v);
  side(kBtnCurrFit, right, v + w);
  side(kBtnCurrDown, right, v + 2 * w);
  const int a = ch - 4 * o - 86;
  side(kBtnCurrUp, right, a);
  side(kBtnCurrZoomOut, right, a + w);
  side(kBtnCurrZoomIn, right, a + 2 * w);
  const int u = ch - (f16 + 7 * o + 94);
  side(kBtnCC2Curr, right, u);
  side(kBtnCC1Curr, right, u + w);
  side(kBtnVbusCurr, right, u + w - o - 4);

  put(kBtnCurrArea, cw - 128, ch - 74, 128, 36);
  put(kBtnWattArea, cw - 128, ch - 36, 128, 36);
  return l;
}

bool GraphButtonVisible(const GraphButtonDef& b, const CGraphModel& m, bool pdButtonsEnabled) {
  switch (b.shown) {
    case ButtonShown::kAlways: return true;
    case ButtonShown::kVoltArea: return m.m_ShowVoltArea;
    case ButtonShown::kCurrOrWattArea: return m.m_ShowCurrArea || m.m_ShowWattArea;
    case ButtonShown::kPDButtons: return pdButtonsEnabled;
    case ButtonShown::kPDAreaAndButtons: return pdButtonsEnabled && m.m_ShowPDArea;
  }
  return false;
}

std::optional<bool> GraphButtonState(int id, const CGraphModel& m) {
  if (const TraceToggle* t = FindTraceToggle(id)) return m.*(t->area) && m.*(t->trace);
  if (bool CGraphModel::*area = AreaSwitchOf(id)) return m.*area;
  if (id == kBtnInvertCurr) return m.m_InvertCurrAxis;
  return std::nullopt;
}

bool PressGraphButton(int id, CGraphModel& m) {
  if (const TraceToggle* t = FindTraceToggle(id)) {
    if (m.*(t->area)) {
      m.*(t->trace) = !(m.*(t->trace));
    } else {
      // A closed area opens with only the pressed trace in it.
      m.*(t->area) = true;
      m.*(t->others[0]) = m.*(t->others[1]) = false;
      m.*(t->trace) = true;
    }
    return true;
  }
  if (bool CGraphModel::*area = AreaSwitchOf(id)) {
    m.*area = !(m.*area);
    return true;
  }
  switch (id) {
    case kBtnVoltUp: m.MoveVoltage(true); break;
    case kBtnVoltDown: m.MoveVoltage(false); break;
    case kBtnVoltZoomIn: m.ZoomVoltage(true); break;
    case kBtnVoltZoomOut: m.ZoomVoltage(false); break;
    case kBtnVoltFit: m.FitVoltage(); break;
    case kBtnCurrUp: m.MoveCurrentAndWattage(true); break;
    case kBtnCurrDown: m.MoveCurrentAndWattage(false); break;
    case kBtnCurrZoomIn: m.ZoomCurrentAndWattage(true); break;
    case kBtnCurrZoomOut: m.ZoomCurrentAndWattage(false); break;
    case kBtnCurrFit:
      if (m.m_ShowCurrArea) m.FitCurrent();
      if (m.m_ShowWattArea) m.FitWattage();
      break;
    case kBtnInvertCurr: m.m_InvertCurrAxis = !m.m_InvertCurrAxis; return true;
    case kBtnScrollLeft: m.ScrollLeft(); break;
    case kBtnScrollRight: m.ScrollRight(); break;
    case kBtnTimeZoomIn: m.ZoomTimeIn(); break;
    case kBtnTimeZoomOut: m.ZoomTimeOut(); break;
    case kBtnTimeFit: m.FitTime(); break;
    case kBtnPDUp: m.MovePD(true); break;
    case kBtnPDDown: m.MovePD(false); break;
    case kBtnPDTaller: m.ZoomPD(true); break;
    case kBtnPDShorter: m.ZoomPD(false); break;
    default: break;
  }
  return false;
}

}  // namespace zk
