#include "ui/ctrl/readouts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zk {

namespace {

template <typename... A>
std::string Format(const char* format, A... args) {
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

struct VrdBand {
  int low, high;
  VrdClass vrd;
};
// First band that holds wins; voltages below 250 mV or above 2180 mV have no class.
constexpr VrdBand kVrdBands[] = {
    {250, 610, VrdClass::kUsb},
    {700, 1160, VrdClass::kOnePointFive},
    {1310, 2040, VrdClass::kThree},
    {250, 2180, VrdClass::kConnect},
};

constexpr const char* kVrdNames[] = {"", "vRd-USB", "vRd-1.5", "vRd-3.0", "vRd-Connect"};

int Clamp10(int mv) { return mv <= 10 ? 0 : mv; }

}  // namespace

VrdClass ClassifyVrd(int mv) {
  for (const VrdBand& band : kVrdBands) {
    if (mv >= band.low && mv <= band.high) return band.vrd;
  }
  return VrdClass::kNone;
}

std::string VrdText(VrdClass c, int line) {
  if (c == VrdClass::kNone) return {};
  return std::string(kVrdNames[static_cast<int>(c)]) + (line == 1 ? " (CC1)" : " (CC2)");
}

Readouts ComputeReadouts(bool live, const LiveValues& values) {
  Readouts r;
  if (!live) return r;
  const int vbus = Clamp10(values.vbusMv);
  const int cc1 = Clamp10(values.cc1Mv);
  const int cc2 = Clamp10(values.cc2Mv);
  const int current = values.vbusMa;
  const int sign = current < 0 ? -1 : 1;
  const double cc1Current = sign * values.cc1Ma / 1000.0;
  const double cc2Current = sign * values.cc2Ma / 1000.0;
  r.vbusVoltage = Format("%2.2f [V]", vbus / 1000.0);
  r.vbusCurrent = Format("%1.3f [A]", std::abs(current) / 1000.0);
  r.vbusPower = Format("%3.2f [W]", std::abs(current) * static_cast<double>(vbus) / 1000.0 / 1000.0);
  r.cc1Voltage = Format("%1.2f [V]", cc1 / 1000.0);
  r.cc1Current = Format("%1.3f [A]", cc1Current);
  r.cc2Voltage = Format("%1.2f [V]", cc2 / 1000.0);
  r.cc2Current = Format("%1.3f [A]", cc2Current);

  r.vrdVisible = true;
  if (current > 0) {
    r.picture = DirectionPicture::kPlugToReceptacle;
  } else if (current < 0) {
    r.picture = DirectionPicture::kReceptacleToPlug;
  } else if (values.vbusMv > 3000) {
    r.picture = DirectionPicture::kNoCurrent;
  } else {
    r.picture = DirectionPicture::kHidden;
    r.vrdVisible = false;
  }

  const VrdClass class1 = ClassifyVrd(cc1);
  const VrdClass class2 = ClassifyVrd(cc2);
  r.vrdText = VrdText(class1, 1) + VrdText(class2, 2);

  // The line without a class carries VCONN when the other line has one and it is powered.
  int vconnMv = 0;
  double vconnA = 0;
  if (class1 != VrdClass::kNone && class2 == VrdClass::kNone && cc2 != 0) {
    vconnMv = cc2;
    vconnA = cc2Current;
  } else if (class2 != VrdClass::kNone && class1 == VrdClass::kNone && cc1 != 0) {
    vconnMv = cc1;
    vconnA = cc1Current;
  }
  r.vconnVoltage = Format("%1.2f [V]", vconnMv / 1000.0);
  r.vconnPower = Format("%3.2f [W]", vconnA * vconnMv / 1000.0);
  return r;
}

std::string PeakPowerText(const SampleStatistics& s) {
  std::string text;
  if (s.maxVbusPower != 0) {
    text += Format("Peak VBUS Power\n  %3.2f [W] (%2.2f [V] %1.3f [A])\n", s.maxVbusPower / 1000.0,
                   s.maxVbusPowerVoltage / 1000.0, s.maxVbusPowerCurrent / 1000.0);
  }
  if (s.minVbusPower != 0) {
    text += Format("Peak VBUS Power (Dir=Rvs)\n  %3.2f [W] (%2.2f [V] %1.3f [A])\n", s.minVbusPower / 1000.0,
                   s.minVbusPowerVoltage / 1000.0, s.minVbusPowerCurrent / 1000.0);
  }
  return text;
}

ButtonEnabling ComputeButtons(bool live, bool recording, bool hasSamples) {
  return {live && !recording, live && recording, hasSamples};
}

PanelLayout ComputePanelLayout(int viewHeight) {
  PanelLayout l;
  const int h = std::max(std::min(viewHeight, 200), 21);
  const int c = (h - 21) / 3;
  const int w = 5 * c;
  const int e = 7 + static_cast<int>(1.5 * c);
  const int r = (h - 21) / 6;
  l.rowHeight = c;
  l.picture = {7, 7, w, e};
  l.vrd = {7, e + 7, w, r};
  l.vbusPower = {7, r + e + 14, w, c};
  int x = w + 14;
  for (int k = 0; k < 4; ++k) {
    l.headings[static_cast<std::size_t>(k)] = {x, 7, w, c};
    l.firstValues[static_cast<std::size_t>(k)] = {x, c + 14, w, c};
    l.secondValues[static_cast<std::size_t>(k)] = {x, 2 * c + 21, w, c};
    x += w + 7;
  }
  // x is now x5 + w + 7; the buttons start 14 pixels after column 5.
  const int x6 = x - 7 + 14;
  const int side = h - 7;
  l.run = {x6, 7, side, side};
  l.pause = {x6 + h, 7, side, side};
  l.clear = {x6 + 2 * h, 7, side, side};
  l.peak = {x6 + 2 * h + side + 14, 7, 3 * side, side};
  l.vrdFontSize = r;
  l.peakFontSize = static_cast<int>(0.7 * c);
  return l;
}

}  // namespace zk
