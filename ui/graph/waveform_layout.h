// What the waveform view draws for one packet: a line at the end of every edge interval,
// the labels of each interval (duration, class, role, bit and its place in the frame), and
// the unit-interval grid. Plain data, so the drawing can be checked without a window.
#pragma once

#include <string>
#include <vector>

#include "record/packet.h"

namespace zk {

enum class WaveformBackground { kWhite, kRed, kCyan };

struct WaveformLabel {
  int x;  // the label's right edge
  int y;  // its top
  std::string text;
  WaveformBackground background;

  bool operator==(const WaveformLabel&) const = default;
};

struct WaveformDrawing {
  std::vector<int> edgeLines;  // x of each interval's end
  std::vector<int> gridLines;  // x of the unit-interval grid
  std::vector<WaveformLabel> labels;
};

constexpr int kWaveformOrigin = 16;        // px
constexpr int kWaveformPxPerUs = 100;      // px per microsecond
constexpr int kWaveformLineBottom = 1000;  // every vertical line runs from y = 0 to here
constexpr int kWaveformExtent = 100000;    // scrollable width and height

// Nothing without a packet or without its kept edges.
WaveformDrawing LayOutWaveform(const CCCPacket* packet);

}  // namespace zk
