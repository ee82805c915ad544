#include "app/calibration.h"

#include <gtest/gtest.h>

namespace zk {
namespace {

TEST(Calibration, RatioFromEntryAndReading) {
  const struct {
    std::int32_t entered, reading;
    std::optional<std::int32_t> ratio;
  } cases[] = {
      {5000, 4987, 1002700},  // 1002606 rounded up to a multiple of 100
      {5000, 5000, 1000000},  // an exact multiple stays
      {2000, 2000, 1000000},
      {4900, 5000, 980000},
      {1, 3, 333400},  // 333333 -> 333433 -> 333400
      {0, 5000, 0},
      {5000, 0, std::nullopt},  // no reading: nothing to do
      {-5000, 5000, std::nullopt},
      {2147483647, 1, std::nullopt},  // beyond 32 bits
      {2147, 1, 2147000000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CalibrationRatio(c.entered, c.reading), c.ratio) << c.entered << " / " << c.reading;
  }
}

TEST(Calibration, EditTextsReadAsSignedDecimals) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {{"5000", 5000},
               {"  -12x", -12},
               {"+7", 7},
               {"abc", 0},
               {"", 0},
               {"-", 0},
               {"99999999999", 2147483647},
               {"-99999999999", -2147483648LL}};
  for (const auto& c : cases) EXPECT_EQ(ParseEditNumber(c.text), c.value) << c.text;
}

TEST(Calibration, DialogComputesRatiosOnItsCopyAndShowsCalibratedTexts) {
  CalibrationRatios stored = kUnitRatios;
  stored[kCalCC1Vol] = 990000;
  CalibrationDialogModel dlg(stored, LiveReading{true, 4987, -2000});
  EXPECT_EQ(dlg.VoltageEdit(), "4987");
  EXPECT_EQ(dlg.CurrentEdit(), "2000");  // the absolute current
  dlg.VoltageEdit() = "5000";
  ASSERT_TRUE(dlg.StartVoltage());
  ASSERT_TRUE(dlg.StartCurrent());  // the sign of the reading is ignored
  const CalibrationView v = dlg.View();
  EXPECT_EQ(v.uncalibratedVoltage, "4987 [mV]");
  EXPECT_EQ(v.calibratedVoltage, "5000 [mV]");
  EXPECT_EQ(v.voltageRatio, "Calibration ratio : 1.0027");
  EXPECT_EQ(v.uncalibratedCurrent, "2000 [mA]");
  EXPECT_EQ(v.currentRatio, "Calibration ratio : 1.0000");
  EXPECT_EQ(dlg.Ratios()[kCalVbusVol], 1002700);
  EXPECT_EQ(dlg.Ratios()[kCalVbusCurr], 1000000);
  EXPECT_EQ(dlg.Ratios()[kCalCC1Vol], 990000);  // passes through unchanged
  EXPECT_EQ(stored[kCalVbusVol], 1000000);      // Cancel: the caller's ratios were never touched
  dlg.ResetVoltage();
  EXPECT_EQ(dlg.Ratios()[kCalVbusVol], 1000000);
}

TEST(Calibration, NothingStartsWithoutBoxReadingOrEntry) {
  CalibrationDialogModel off(kUnitRatios, LiveReading{false, 5000, 100});
  EXPECT_FALSE(off.StartVoltage());
  CalibrationView v = off.View();
  EXPECT_TRUE(v.uncalibratedVoltage.empty() && v.calibratedCurrent.empty());
  EXPECT_FALSE(v.startVoltageEnabled || v.startCurrentEnabled);
  EXPECT_TRUE(v.resetEnabled);
  EXPECT_EQ(v.voltageRatio, "Calibration ratio : 1.0000");

  CalibrationDialogModel zero(kUnitRatios, LiveReading{true, 0, 0});
  zero.VoltageEdit() = "5000";
  zero.CurrentEdit() = "1000";
  EXPECT_FALSE(zero.StartVoltage());
  EXPECT_FALSE(zero.StartCurrent());
  zero.SetReading(LiveReading{true, 5000, 500});
  zero.CurrentEdit().clear();
  EXPECT_FALSE(zero.StartCurrent());
  EXPECT_FALSE(zero.View().startCurrentEnabled);
  EXPECT_TRUE(zero.View().startVoltageEnabled);
  EXPECT_EQ(zero.Ratios(), kUnitRatios);
}

TEST(Calibration, DirectionValuesRoundTripThroughTheSettings) {
  AppSettings s;
  s.m_VbusCurrDirCfgDoNotAskAgain = true;
  DirectionDialogValues v = OpenDirectionDialog(s);
  EXPECT_EQ(v.m_Direction, CurrentDirection::PlugToReceptacle);
  v.m_Direction = CurrentDirection::ReceptacleToPlug;
  ApplyDirectionDialog(v, s);
  EXPECT_TRUE(s.m_VbusCurrDirReverse);
  EXPECT_TRUE(s.m_VbusCurrDirCfgDoNotAskAgain);
  EXPECT_EQ(DisplayedCurrent(1500, s.m_VbusCurrDirReverse), -1500);
  EXPECT_EQ(DisplayedCurrent(-32768, true), 32768);
}

}  // namespace
}  // namespace zk
