// What the control panel shows, without its window: the live readout texts, the vRd class of
// each CC line, the VCONN line, the current-direction picture, the peak power text, the
// button enabling and the layout of the controls for a panel height.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "record/capture_store.h"

namespace zk {

// The latest sample, calibrated: mV and mA (the VBUS current signed as measured).
struct LiveValues {
  int vbusMv = 0, vbusMa = 0;
  int cc1Mv = 0, cc2Mv = 0;
  int cc1Ma = 0, cc2Ma = 0;
};

enum class DirectionPicture { kHidden, kPlugToReceptacle, kReceptacleToPlug, kNoCurrent };

struct Readouts {
  std::string vbusVoltage, vbusCurrent, vbusPower;
  std::string cc1Voltage, cc1Current, cc2Voltage, cc2Current;
  std::string vconnVoltage, vconnPower;
  DirectionPicture picture = DirectionPicture::kHidden;
  bool vrdVisible = true;
  std::optional<std::string> vrdText;  // nothing: the text keeps its last content
  bool operator==(const Readouts&) const = default;
};

enum class VrdClass { kNone, kUsb, kOnePointFive, kThree, kConnect };
VrdClass ClassifyVrd(int mv);
// "vRd-USB (CC1)" and its kin; empty for no class. line is 1 or 2.
std::string VrdText(VrdClass c, int line);

// Not live: every value text empty and the picture hidden.
Readouts ComputeReadouts(bool live, const LiveValues& values);
std::string PeakPowerText(const SampleStatistics& stats);

struct ButtonEnabling {
  bool run = false, pause = false, clear = false;
  bool operator==(const ButtonEnabling&) const = default;
};
ButtonEnabling ComputeButtons(bool live, bool recording, bool hasSamples);

struct PanelRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const PanelRect&) const = default;
};
struct PanelLayout {
  int rowHeight = 0;  // c; also the font size of headings and values
  PanelRect picture, vrd, vbusPower;
  std::array<PanelRect, 4> headings;      // VBUS, CC1, CC2, VCONN
  std::array<PanelRect, 4> firstValues;   // VBUS voltage, CC1 voltage, CC2 voltage, VCONN voltage
  std::array<PanelRect, 4> secondValues;  // VBUS current, CC1 current, CC2 current, VCONN power
  PanelRect run, pause, clear, peak;
  int vrdFontSize = 0, peakFontSize = 0;
};
PanelLayout ComputePanelLayout(int viewHeight);

}  // namespace zk
