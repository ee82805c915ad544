#include "app/drawing_settings.h"

#include <gtest/gtest.h>

#include "app/memory_storage.h"
#include "app/settings.h"

namespace zk {
namespace {

std::int32_t Stored(MemoryStorage& s, std::string_view name) { return s.ReadNumber(kSettingsSection, name, -999); }

TEST(DrawingSettings, EmptyStorageGivesTheTableDefaults) {
  MemoryStorage empty;
  const DrawingSettings v = LoadDrawingSettings(empty);
  EXPECT_EQ(v, DefaultDrawingSettings());
  EXPECT_EQ(v.m_Colors[kColorGraph], 16777215u);
  EXPECT_EQ(v.m_Colors[kColorGraphBG], 0u);
  EXPECT_EQ(v.m_Colors[kColorVBusVol], 255u);
  EXPECT_EQ(v.m_Colors[kColorVBusCurr], 16711680u);
  EXPECT_EQ(v.m_Widths[kWidthVBusVol], 3);
  EXPECT_EQ(v.m_Widths[kWidthVBusCurr], 3);
  EXPECT_TRUE(v.m_Switches[kWattAxisEnabled]);
  EXPECT_FALSE(v.m_Switches[kPDButtonsEnabled]);
}

TEST(DrawingSettings, StoredNumbersOfTheColourTable) {
  const DrawingSettings d = DefaultDrawingSettings();
  const struct {
    DrawingColor color;
    std::uint32_t stored;
  } cases[] = {{kColorVolBG, 3289600},     {kColorCurrBG, 12850},     {kColorWattBG, 3276850},
               {kColorPDBG, 1973790},      {kColorvRdUSB, 1978930},   {kColorvRd15, 3284530},
               {kColorvRd30, 1978910},     {kColorTimeAxis, 6579300}, {kColorVolAxis, 180},
               {kColorCurrAxis, 11796480}, {kColorWattAxis, 21120},   {kColorCC1Vol, 65280},
               {kColorCC2Vol, 65535},      {kColorCC1Curr, 16776960}, {kColorCC2Curr, 16711935},
               {kColorVBusWatt, 42495},    {kColorCC1Watt, 13158400}, {kColorCC2Watt, 13107400},
               {kColorCursor, 16777215},   {kColorMarkerO, 13158600}, {kColorMarkerX, 16776960}};
  for (const auto& c : cases) EXPECT_EQ(d.m_Colors[c.color], c.stored) << ColorValueName(c.color);
}

TEST(DrawingSettings, SaveWritesEveryValueUnderItsNameInDialogOrder) {
  struct Log : MemoryStorage {
    std::vector<std::string> names;
    bool WriteNumber(std::string_view s, std::string_view n, std::int32_t v) override {
      names.emplace_back(n);
      return MemoryStorage::WriteNumber(s, n, v);
    }
  } s;
  DrawingSettings v = DefaultDrawingSettings();
  v.m_Widths[kWidthCC1Vol] = 4;
  v.m_Colors[kColorCC1Curr] = 0x123456;
  SaveDrawingSettings(s, v);
  ASSERT_EQ(s.names.size(), 46u);
  EXPECT_EQ(s.names[0], "ColorGraphBG");
  EXPECT_EQ(s.names[24], "ColorMarkerX");
  EXPECT_EQ(s.names[25], "VolBGEnabled");
  EXPECT_EQ(s.names[31], "PDBGEnabled");
  EXPECT_EQ(s.names[32], "VBusVolBold");
  EXPECT_EQ(s.names[40], "CC2WattBold");
  EXPECT_EQ(s.names[41], "TimeAxisEnabled");
  EXPECT_EQ(s.names[45], "PDButtonsEnabled");
  EXPECT_EQ(Stored(s, "CC1VolBold"), 4);
  EXPECT_EQ(Stored(s, "ColorCC1Curr"), 0x123456);
  EXPECT_EQ(LoadDrawingSettings(s), v);  // width 4 survives a restart
}

TEST(DrawingSettings, SetDefaultSettingsTurnsTheWattGridOffAndKeepsThePdButtons) {
  DrawingSettings v = DefaultDrawingSettings();
  v.m_Colors.fill(7);
  v.m_Widths.fill(5);
  v.m_Switches.fill(false);
  v.m_Switches[kWattAxisEnabled] = true;
  v.m_Switches[kPDButtonsEnabled] = true;
  SetDefaultDrawingSettings(v);
  EXPECT_EQ(v.m_Colors, DefaultDrawingSettings().m_Colors);
  EXPECT_EQ(v.m_Widths, (std::array<int, 9>{3, 1, 1, 3, 1, 1, 1, 1, 1}));
  for (int i = 0; i < kBandSwitchCount; ++i) EXPECT_TRUE(v.m_Switches[static_cast<std::size_t>(i)]);
  EXPECT_TRUE(v.m_Switches[kTimeAxisEnabled] && v.m_Switches[kVolAxisEnabled] && v.m_Switches[kCurrAxisEnabled]);
  EXPECT_FALSE(v.m_Switches[kWattAxisEnabled]);
  EXPECT_TRUE(v.m_Switches[kPDButtonsEnabled]);

  MemoryStorage s;
  SaveDrawingSettings(s, v);
  EXPECT_EQ(Stored(s, "WattAxisEnabled"), 0);  // although a missing value reads as 1
  EXPECT_FALSE(LoadDrawingSettings(s).m_Switches[kWattAxisEnabled]);
}

TEST(DrawingSettings, DamagedStoredValues) {
  MemoryStorage s;
  s.WriteNumber(kSettingsSection, "VBusVolBold", 0);
  s.WriteNumber(kSettingsSection, "CC1VolBold", 1000000);
  s.WriteNumber(kSettingsSection, "CC2VolBold", -3);
  s.WriteNumber(kSettingsSection, "PDBGEnabled", 0);
  s.WriteNumber(kSettingsSection, "PDButtonsEnabled", 9);
  s.WriteText(kSettingsSection, "ColorVBusVol", "red");
  const DrawingSettings v = LoadDrawingSettings(s);
  EXPECT_EQ(v.m_Widths[kWidthVBusVol], 1);
  EXPECT_EQ(v.m_Widths[kWidthCC1Vol], 5);
  EXPECT_EQ(v.m_Widths[kWidthCC2Vol], 1);
  EXPECT_FALSE(v.m_Switches[kPDBGEnabled]);
  EXPECT_TRUE(v.m_Switches[kPDButtonsEnabled]);
  EXPECT_EQ(v.m_Colors[kColorVBusVol], 255u);
}

}  // namespace
}  // namespace zk
