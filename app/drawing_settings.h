// The graph's 46 drawing values (colours, trace widths, switches): defaults, load and save
// through the settings storage, and the dialog's "Set Default Settings".
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "app/settings_storage.h"

namespace zk {

enum DrawingColor : int {
  kColorGraphBG,
  kColorVolBG,
  kColorCurrBG,
  kColorWattBG,
  kColorPDBG,
  kColorvRdUSB,
  kColorvRd15,
  kColorvRd30,
  kColorTimeAxis,
  kColorVolAxis,
  kColorCurrAxis,
  kColorWattAxis,
  kColorGraph,
  kColorVBusVol,
  kColorCC1Vol,
  kColorCC2Vol,
  kColorVBusCurr,
  kColorCC1Curr,
  kColorCC2Curr,
  kColorVBusWatt,
  kColorCC1Watt,
  kColorCC2Watt,
  kColorCursor,
  kColorMarkerO,
  kColorMarkerX,
  kDrawingColorCount
};

enum TraceWidth : int {
  kWidthVBusVol,
  kWidthCC1Vol,
  kWidthCC2Vol,
  kWidthVBusCurr,
  kWidthCC1Curr,
  kWidthCC2Curr,
  kWidthVBusWatt,
  kWidthCC1Watt,
  kWidthCC2Watt,
  kTraceWidthCount
};

// The first seven are the band switches, then the four grid switches, then the PD buttons.
enum DrawingSwitch : int {
  kVolBGEnabled,
  kCurrBGEnabled,
  kWattBGEnabled,
  kvRdUSBBGEnabled,
  kvRd15BGEnabled,
  kvRd30BGEnabled,
  kPDBGEnabled,
  kTimeAxisEnabled,
  kVolAxisEnabled,
  kCurrAxisEnabled,
  kWattAxisEnabled,
  kPDButtonsEnabled,
  kDrawingSwitchCount
};

constexpr int kBandSwitchCount = 7;
constexpr int kMinTraceWidth = 1;
constexpr int kMaxTraceWidth = 5;

// 0x00BBGGRR, red in the lowest byte.
constexpr std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) | (static_cast<std::uint32_t>(b) << 16);
}

struct DrawingSettings {
  std::array<std::uint32_t, kDrawingColorCount> m_Colors{};
  std::array<int, kTraceWidthCount> m_Widths{};
  std::array<bool, kDrawingSwitchCount> m_Switches{};

  bool operator==(const DrawingSettings&) const = default;
};

// The values a first start draws with (every value missing from the storage).
DrawingSettings DefaultDrawingSettings();

// Reads all 46 values; a width outside 1 to 5 is brought into that range.
DrawingSettings LoadDrawingSettings(SettingsStorage& storage);

// The dialog's OK: colours, band switches, widths, grid switches and the PD-button switch.
void SaveDrawingSettings(SettingsStorage& storage, const DrawingSettings& values);

// "Set Default Settings": colours and widths to their defaults, bands and three grids on,
// the wattage grid off, the PD-button switch kept. Nothing is written.
void SetDefaultDrawingSettings(DrawingSettings& values);

// The value names, for the dialog and the graph view.
std::string_view ColorValueName(DrawingColor c);
std::string_view WidthValueName(TraceWidth w);
std::string_view SwitchValueName(DrawingSwitch s);

}  // namespace zk
