#include "ui/graph/waveform_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "pd/framing.h"
#include "pd/text_format.h"

namespace zk {

namespace {

struct ClassText {
  const char* text;
  WaveformBackground background;
};
constexpr ClassText kClassTexts[] = {
    {"short", WaveformBackground::kRed},   {"1bit", WaveformBackground::kWhite},
    {"2bits", WaveformBackground::kWhite}, {"1or2bits", WaveformBackground::kCyan},
    {"long", WaveformBackground::kRed},    {"1bit*", WaveformBackground::kCyan},
    {"2bits*", WaveformBackground::kCyan},
};

// Roles 4 to 6 are never set by the framing decoder and carry no text.
constexpr ClassText kRoleTexts[8] = {
    {"???", WaveformBackground::kRed},      {"Zero", WaveformBackground::kWhite},
    {"One(p)", WaveformBackground::kWhite}, {"One(s)", WaveformBackground::kWhite},
    {"", WaveformBackground::kWhite},       {"", WaveformBackground::kWhite},
    {"", WaveformBackground::kWhite},       {"Invalid", WaveformBackground::kRed},
};

int XOf(float t) {
  const double x = std::trunc(static_cast<double>(t) * kWaveformPxPerUs) + kWaveformOrigin;
  return static_cast<int>(std::clamp(x, -1.0e9, 1.0e9));
}

// The grid from t0 to the packet's end at the measured unit interval. A unit interval that
// is not a positive number, or one too small to advance, would never reach the end.
void AddGrid(WaveformDrawing& d, float t0, std::int64_t total, float unitInterval) {
  if (!(unitInterval > 0) || !std::isfinite(unitInterval)) return;
  for (float g = t0; g < static_cast<float>(total);) {
    const int x = XOf(g);
    if (x > kWaveformExtent) break;
    d.gridLines.push_back(x);
    const float next = g + unitInterval;
    if (!(next > g)) break;
    g = next;
  }
}

}  // namespace

WaveformDrawing LayOutWaveform(const CCCPacket* p) {
  WaveformDrawing d;
  if (!p || p->m_pEdges.empty()) return d;
  const int count = std::min(p->m_EdgeCount, static_cast<int>(p->m_pEdges.size()));
  const std::int64_t tickDiv = p->m_TickDiv;
  const std::string tickText = Format("UT=%d[ns]", static_cast<int>(tickDiv * 1000 / 48));
  std::uint64_t sum = 0;
  float t0 = 0;
  for (int i = 0; i < count; ++i) {
    const EdgeRecord& e = p->m_pEdges[static_cast<std::size_t>(i)];
    const unsigned d8 = e.duration;
    const auto ns = static_cast<std::uint32_t>(static_cast<std::uint64_t>(tickDiv) * d8 * 1000 / 48);
    sum += d8;
    const float t = static_cast<float>(tickDiv) * static_cast<float>(sum) / 48.0f;
    const int x = XOf(t);
    d.edgeLines.push_back(x);
    auto label = [&](int y, std::string text, WaveformBackground bg = WaveformBackground::kWhite) {
      if (!text.empty()) d.labels.push_back({x, y, std::move(text), bg});
    };
    label(0, Format("#%d", i));
    label(15, Format("%d[UT]", static_cast<int>(d8)));
    label(30, tickText);
    label(45, Format("%.2f[us]", static_cast<double>(static_cast<float>(ns) / 1000.0f)));
    const ClassText& cls = kClassTexts[std::min(e.Class(), 6)];
    if (e.Class() <= 6) label(60, cls.text, cls.background);
    const ClassText& role = kRoleTexts[e.Role()];
    label(75, role.text, role.background);

    const int b = e.bitIndex;
    if (b != 0xFFFF) {
      const int bit = b < p->m_pBits.Size() ? p->m_pBits[b] : 0;
      label(90, Format("Bit#%d:%d", b, bit));
      if (b == p->m_PreambleStart) {
        label(105, "Preamble Start");
      } else if (b == p->m_SopStart) {
        label(105, "Sync Start");
      } else if (b == p->m_EopPos) {
        label(105, "EOP Start");
      }
      if (p->m_PreambleStart <= b && b < p->m_SopStart) {
        label(120, Format("PA#%d", b - p->m_PreambleStart));
      } else if (b < p->m_EopPos) {
        label(120, Format("FR#%d", b - p->m_SopStart));
      } else if (p->m_EopPos >= 0 && b < p->m_EopPos + 5) {
        label(120, Format("EOP#%d", b - p->m_EopPos));
      }
      const std::int64_t total = tickDiv * p->m_TotalTicks / 48;
      if (b == p->m_PreambleStart + 1 && total != 0 && p->m_UnitInterval != 0) AddGrid(d, t0, total, p->m_UnitInterval);
    }
    t0 = t;
  }
  return d;
}

}  // namespace zk
