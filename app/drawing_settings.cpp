#include "app/drawing_settings.h"

#include <algorithm>

#include "app/settings.h"

namespace zk {

namespace {

struct ColorValue {
  std::string_view name;
  std::uint32_t def;
};

constexpr ColorValue kColorValues[kDrawingColorCount] = {
    {"ColorGraphBG", Rgb(0, 0, 0)},     {"ColorVolBG", Rgb(0, 50, 50)},      {"ColorCurrBG", Rgb(50, 50, 0)},
    {"ColorWattBG", Rgb(50, 0, 50)},    {"ColorPDBG", Rgb(30, 30, 30)},      {"ColorvRdUSB", Rgb(50, 50, 30)},
    {"ColorvRd15", Rgb(50, 30, 50)},    {"ColorvRd30", Rgb(30, 50, 30)},     {"ColorTimeAxis", Rgb(100, 100, 100)},
    {"ColorVolAxis", Rgb(180, 0, 0)},   {"ColorCurrAxis", Rgb(0, 0, 180)},   {"ColorWattAxis", Rgb(128, 82, 0)},
    {"ColorGraph", Rgb(255, 255, 255)}, {"ColorVBusVol", Rgb(255, 0, 0)},    {"ColorCC1Vol", Rgb(0, 255, 0)},
    {"ColorCC2Vol", Rgb(255, 255, 0)},  {"ColorVBusCurr", Rgb(0, 0, 255)},   {"ColorCC1Curr", Rgb(0, 255, 255)},
    {"ColorCC2Curr", Rgb(255, 0, 255)}, {"ColorVBusWatt", Rgb(255, 165, 0)}, {"ColorCC1Watt", Rgb(0, 200, 200)},
    {"ColorCC2Watt", Rgb(200, 0, 200)}, {"ColorCursor", Rgb(255, 255, 255)}, {"ColorMarkerO", Rgb(200, 200, 200)},
    {"ColorMarkerX", Rgb(0, 255, 255)},
};

struct WidthValue {
  std::string_view name;
  int def;
};

constexpr WidthValue kWidthValues[kTraceWidthCount] = {
    {"VBusVolBold", 3}, {"CC1VolBold", 1},   {"CC2VolBold", 1},  {"VBusCurrBold", 3}, {"CC1CurrBold", 1},
    {"CC2CurrBold", 1}, {"VBusWattBold", 1}, {"CC1WattBold", 1}, {"CC2WattBold", 1},
};

enum class Reset { Off, On, Keep };

// def is what a missing value reads as; reset is what "Set Default Settings" puts in place.
struct SwitchValue {
  std::string_view name;
  bool def;
  Reset reset;
};

constexpr SwitchValue kSwitchValues[kDrawingSwitchCount] = {
    {"VolBGEnabled", true, Reset::On},     {"CurrBGEnabled", true, Reset::On},
    {"WattBGEnabled", true, Reset::On},    {"vRdUSBBGEnabled", true, Reset::On},
    {"vRd15BGEnabled", true, Reset::On},   {"vRd30BGEnabled", true, Reset::On},
    {"PDBGEnabled", true, Reset::On},      {"TimeAxisEnabled", true, Reset::On},
    {"VolAxisEnabled", true, Reset::On},   {"CurrAxisEnabled", true, Reset::On},
    {"WattAxisEnabled", true, Reset::Off}, {"PDButtonsEnabled", false, Reset::Keep},
};

void WriteSwitch(SettingsStorage& storage, const DrawingSettings& v, int i) {
  storage.WriteNumber(kSettingsSection, kSwitchValues[i].name, v.m_Switches[static_cast<std::size_t>(i)] ? 1 : 0);
}

}  // namespace

std::string_view ColorValueName(DrawingColor c) { return kColorValues[c].name; }
std::string_view WidthValueName(TraceWidth w) { return kWidthValues[w].name; }
std::string_view SwitchValueName(DrawingSwitch s) { return kSwitchValues[s].name; }

DrawingSettings DefaultDrawingSettings() {
  DrawingSettings v;
  for (int i = 0; i < kDrawingColorCount; ++i) v.m_Colors[static_cast<std::size_t>(i)] = kColorValues[i].def;
  for (int i = 0; i < kTraceWidthCount; ++i) v.m_Widths[static_cast<std::size_t>(i)] = kWidthValues[i].def;
  for (int i = 0; i < kDrawingSwitchCount; ++i) v.m_Switches[static_cast<std::size_t>(i)] = kSwitchValues[i].def;
  return v;
}

DrawingSettings LoadDrawingSettings(SettingsStorage& storage) {
  DrawingSettings v;
  for (int i = 0; i < kDrawingColorCount; ++i) {
    const auto def = static_cast<std::int32_t>(kColorValues[i].def);
    v.m_Colors[static_cast<std::size_t>(i)] =
        static_cast<std::uint32_t>(storage.ReadNumber(kSettingsSection, kColorValues[i].name, def));
  }
  // The pen width comes straight from the storage: keep a damaged value from drawing
  // huge pens or selecting no entry in the dialog's list.
  for (int i = 0; i < kTraceWidthCount; ++i) {
    const std::int32_t w = storage.ReadNumber(kSettingsSection, kWidthValues[i].name, kWidthValues[i].def);
    v.m_Widths[static_cast<std::size_t>(i)] = std::clamp<std::int32_t>(w, kMinTraceWidth, kMaxTraceWidth);
  }
  for (int i = 0; i < kDrawingSwitchCount; ++i) {
    v.m_Switches[static_cast<std::size_t>(i)] =
        storage.ReadNumber(kSettingsSection, kSwitchValues[i].name, kSwitchValues[i].def ? 1 : 0) != 0;
  }
  return v;
}

void SaveDrawingSettings(SettingsStorage& storage, const DrawingSettings& v) {
  for (int i = 0; i < kDrawingColorCount; ++i) {
    storage.WriteNumber(kSettingsSection, kColorValues[i].name,
                        static_cast<std::int32_t>(v.m_Colors[static_cast<std::size_t>(i)]));
  }
  for (int i = 0; i < kBandSwitchCount; ++i) WriteSwitch(storage, v, i);
  for (int i = 0; i < kTraceWidthCount; ++i) {
    storage.WriteNumber(kSettingsSection, kWidthValues[i].name, v.m_Widths[static_cast<std::size_t>(i)]);
  }
  for (int i = kBandSwitchCount; i < kDrawingSwitchCount; ++i) WriteSwitch(storage, v, i);
}

void SetDefaultDrawingSettings(DrawingSettings& v) {
  const DrawingSettings d = DefaultDrawingSettings();
  v.m_Colors = d.m_Colors;
  v.m_Widths = d.m_Widths;
  for (int i = 0; i < kDrawingSwitchCount; ++i) {
    const Reset r = kSwitchValues[i].reset;
    if (r != Reset::Keep) v.m_Switches[static_cast<std::size_t>(i)] = r == Reset::On;
  }
}

}  // namespace zk
