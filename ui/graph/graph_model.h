// The graph's model without any drawing: the time window with zoom, scroll and fit, the three
// value areas with their ranges, scales and fitting, markers O and X with what is measured
// between them, and the following of a running capture. The painter and the input handling
// call into it; it never paints.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "record/capture_store.h"
#include "record/document.h"
#include "ui/graph/sample_summary.h"

namespace zk {

class SettingsStorage;

// Float-to-integer truncation that saturates instead of overflowing: scales that the user
// zoomed without limit may map far-off times and values beyond any integer.
// Inline: the trace walk converts every sample through them.
namespace detail {
template <typename T>
inline T Saturate(double v) {
  constexpr double lo = static_cast<double>(std::numeric_limits<T>::min() / 2);
  constexpr double hi = static_cast<double>(std::numeric_limits<T>::max() / 2);
  if (v > lo && v < hi) return static_cast<T>(v);
  if (std::isnan(v)) return 0;
  return static_cast<T>(v <= lo ? lo : hi);
}
}  // namespace detail
inline std::int32_t TruncPx(double v) { return detail::Saturate<std::int32_t>(v); }
inline std::int64_t TruncTime(double v) { return detail::Saturate<std::int64_t>(v); }
// a - b and a + b, held at the ends of the 64-bit range: times come from files.
inline std::int64_t TimeDiff(std::int64_t a, std::int64_t b) {
  std::int64_t r;
  if (!__builtin_sub_overflow(a, b, &r)) return r;
  return b < 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}
inline std::int64_t TimeSum(std::int64_t a, std::int64_t b) {
  std::int64_t r;
  if (!__builtin_add_overflow(a, b, &r)) return r;
  return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

struct PlotRect {
  int left = 150;
  int top = 64;
  int width = 1;
  int height = 1;
  int bottomMargin = 74;

  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
};

// The time-to-pixel mapping of one paint, a value apart from the painter.
struct TimeMapping {
  std::int64_t viewStart = 0;
  float timeScale = 1.0f;
  int plotLeft = 0;

  // Offset from the plot's left edge.
  int Offset(std::int64_t t) const {
    return TruncPx(static_cast<double>(static_cast<float>(TimeDiff(t, viewStart)) * timeScale));
  }
  int X(std::int64_t t) const { return plotLeft + Offset(t); }
  std::int64_t TimeAt(int x) const {
    return TimeSum(viewStart, TruncTime(static_cast<double>(static_cast<float>(x - plotLeft) / timeScale)));
  }
};

// The vertical extent of one value area; empty when nothing of it lies in the plot.
struct AreaSpan {
  int zeroY = 0;
  int top = 0;
  int bottom = 0;
  bool empty = true;

  bool Holds(int y) const { return !empty && top <= y && y < bottom; }
};

struct GraphLayout {
  PlotRect plot;
  AreaSpan volt, curr, watt;
  int pdTop = 0;  // the PD area, 16 px high
  bool pdEmpty = true;
};

struct GraphAreaSwitches {
  bool volt = true;
  bool curr = true;
  bool watt = false;
};
// Values EnableGraphVoltage, EnableGraphCurrent and EnableGraphWattage of the settings section.
GraphAreaSwitches LoadGraphAreaSwitches(SettingsStorage& storage);
void SaveGraphAreaSwitches(SettingsStorage& storage, const GraphAreaSwitches& areas);

// E+ and E- of VBUS between two shown times, in mJ; nothing when s lies before the first sample.
struct VbusEnergy {
  float positive = 0;
  float negative = 0;
};
std::optional<VbusEnergy> IntegrateVbusEnergy(const CaptureStore& store, std::int64_t s, std::int64_t e);

// The energy and average power text of the O-to-X line; empty when nothing was integrated.
std::string EnergyText(std::optional<VbusEnergy> energy, std::int64_t duration, bool currDirReversed);

// Sample value texts in V, A and W, shared by the marker readouts and the CSV export.
std::string SampleVbusVoltageText(const CVbusInfo& s);
std::string SampleVbusCurrentText(const CVbusInfo& s, bool reversed);
std::string SampleVbusWattageText(const CVbusInfo& s, bool reversed);
std::string SampleCcVoltageText(const CVbusInfo& s, bool cc2);
std::string SampleCcCurrentText(const CVbusInfo& s, bool cc2, bool reversed);

// Observes the attached document: new data widens the ranges, a new time origin shifts the
// window and the markers, a save asks for the markers.
class CGraphModel : public DocumentObserver {
 public:
  static constexpr float kMinTimeScale = 1024.0f / 360000000000.0f;
  static constexpr float kMaxTimeScale = 1.0f;
  static constexpr std::int64_t kSingleSampleSpan = 1000;

  explicit CGraphModel(GraphAreaSwitches areas = {});
  ~CGraphModel() override;
  CGraphModel(const CGraphModel&) = delete;
  CGraphModel& operator=(const CGraphModel&) = delete;
  GraphAreaSwitches Areas() const { return {m_ShowVoltArea, m_ShowCurrArea, m_ShowWattArea}; }

  void OnContentsDeleted() override { m_Summary.Reset(); }
  void OnUpdateAllViews() override { UpdateRanges(); }
  void OnTimeOriginChanged(std::int64_t delta) override { ShiftTimes(delta); }
  bool GraphMarkers(std::int64_t& o, std::int64_t& x) const override;

  // ---- document ------------------------------------------------------------
  void AttachDocument(CZKDoc* doc, bool currDirReverse);
  CZKDoc* Document() const { return m_pDoc; }
  const CaptureStore* Store() const;
  void UpdateRanges();
  void ShiftTimes(std::int64_t d);

  // ---- layout --------------------------------------------------------------
  void SetClientSize(int width, int height);
  void SetFontHeight(int height) { m_FontHeight = height > 0 ? height : 16; }
  int ClientWidth() const { return m_ClientWidth; }
  int ClientHeight() const { return m_ClientHeight; }
  PlotRect Plot() const;
  GraphLayout Layout() const;
  TimeMapping Mapping() const { return {m_ViewStart, m_TimeScale, Plot().left}; }

  // ---- time window ---------------------------------------------------------
  void SetCentre(std::int64_t t);
  bool IsTimeVisible(std::int64_t t) const { return m_ViewStart <= t && t <= m_ViewEnd; }
  bool ZoomTimeIn();
  bool ZoomTimeOut();
  void ScrollLeft();
  void ScrollRight();
  void FitTime();

  // ---- value areas ---------------------------------------------------------
  void FitVoltage();
  void FitCurrent();
  void FitWattage();
  void FitAll();
  void MoveVoltage(bool up);
  void ZoomVoltage(bool in);
  void MoveCurrentAndWattage(bool up);
  void ZoomCurrentAndWattage(bool in);
  void MovePD(bool up);
  void ZoomPD(bool in);
  // Right-drag corners in window pixels.
  void ZoomRectangle(int x1, int y1, int x2, int y2);

  // ---- following a running capture ------------------------------------------
  bool ExpandVoltRange();
  bool ExpandCurrRange();
  bool ExpandWattRange();
  // The timer's auto-scroll step with the newest sample's shown time.
  void FollowCapture(std::int64_t newest);

  // ---- markers and origin -----------------------------------------------------
  // "Set Marker O" / "Set Marker X" at the right-click time; nothing unless it was in the plot.
  void SetMarkerOHere();
  void SetMarkerXHere();
  // "Absolute" and "Current Position" of "Set Time Stamp Origin".
  void SetTimeOriginAbsolute();
  void SetTimeOriginHere();
  void SetMarkerO(std::int64_t t);
  void SetMarkerX(std::int64_t t);
  std::int64_t GetMarkerO() const { return m_MarkerO; }
  std::int64_t GetMarkerX() const { return m_MarkerX; }
  // The lines of the measurement strip with their kinds, in order.
  struct MeasurementLine {
    enum Kind { kOtoX, kOtoA, kOtoB } kind;
    std::string text;
  };
  std::vector<MeasurementLine> MeasurementLines() const;

  // ---- state (the view's members) ------------------------------------------
  bool m_ShowVoltArea = true, m_ShowCurrArea = true, m_ShowWattArea = false;
  bool m_ShowVbusVolt = true, m_ShowVbusCurr = true, m_ShowCC1Volt = true, m_ShowCC1Curr = false, m_ShowCC2Volt = true,
       m_ShowCC2Curr = false;
  bool m_ShowPDArea = true;
  bool m_ShowVRdBands = true;
  bool m_ShowPoints = false;
  bool m_CursorOn = false;
  bool m_CurrDirReversed = false;
  bool m_InvertCurrAxis = false;
  std::int64_t m_ViewCentre = 0, m_ViewStart = 0, m_ViewEnd = 0;
  float m_TimeScale = 1.0f;
  float m_MinTimeScale = kMinTimeScale, m_MaxTimeScale = kMaxTimeScale;
  std::int64_t m_FirstTime = 0, m_LastTime = 0;
  std::int32_t m_VoltMin = 0, m_VoltMax = 0, m_CurrMin = 0, m_CurrMax = 0, m_WattMin = 0, m_WattMax = 0;
  float m_VoltScale = 0.01f, m_CurrScale = 0.1f, m_WattScale = 0.01f;
  std::int32_t m_VoltZero = 10, m_CurrZero = 10, m_WattZero = 10;
  std::int32_t m_PDOffset = 0;
  float m_PDScale = 1.0f;
  std::int64_t m_MarkerO = 0, m_MarkerX = 0;
  bool m_HoverO = false, m_HoverX = false;
  std::int64_t m_RightClickTime = 0;
  bool m_RightClickValid = false;
  std::int64_t m_CursorTime = 0;
  std::int32_t m_FontHeight = 16;

  // Mouse state the painter needs (cursor and zoom rectangle).
  int m_MouseX = 0, m_MouseY = 0;
  bool m_MouseOutside = true;
  bool m_RightDrag = false;
  int m_RightX = 0, m_RightY = 0;

  // The packet selected in the packet list; not owned.
  const CCCPacket* m_pSelectedPacket = nullptr;

  // Min/max blocks over the store's samples, for painting.
  SampleSummary& Summary() { return m_Summary; }

 private:
  CZKDoc* m_pDoc = nullptr;
  int m_ClientWidth = 1;
  int m_ClientHeight = 1;
  SampleSummary m_Summary;

  struct Band {
    int height;  // a
    int base;    // b
  };
  Band BandOf(int area) const;
  void FitCurrentLike(std::int32_t min, std::int32_t max, float& scale, std::int32_t& zero, int area);
  void ApplyTimeScale(float scale);
  void MarkersChanged();
  int CurrentSign() const { return m_CurrDirReversed ? -1 : 1; }
};

}  // namespace zk
