#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "ui/dialogs/calibration_dlg.h"
#include "ui/dialogs/driver_install_dlg.h"
#include "ui/dialogs/font_dialogs.h"
#include "ui/dialogs/vbus_current_dir_dlg.h"

namespace zk {
namespace {

// ---- Calibration ------------------------------------------------------------------

TEST(CalibrationDlgTest, StartComputesTheRatioFromTheLiveReading) {
  LiveReading live{true, 4987, -2000};
  CalibrationRatios ratios = kUnitRatios;
  ratios[kCalCC1Vol] = 1234567;
  CCalibrationDlg dlg(ratios, [&] { return live; });
  EXPECT_EQ(dlg.windowTitle(), "Voltage/Current Calibration Setting");
  EXPECT_EQ(dlg.voltageEdit()->text(), "4987");
  EXPECT_EQ(dlg.currentEdit()->text(), "2000");
  EXPECT_EQ(dlg.uncalibratedCurrent()->text(), "2000 [mA]");

  dlg.voltageEdit()->setText("5000");
  dlg.startVoltage()->click();
  dlg.startCurrent()->click();
  EXPECT_EQ(dlg.voltageRatio()->text(), "Calibration ratio : 1.0027");
  EXPECT_EQ(dlg.calibratedVoltage()->text(), "5000 [mV]");
  EXPECT_EQ(dlg.currentRatio()->text(), "Calibration ratio : 1.0000");
  CalibrationRatios expected = ratios;
  expected[kCalVbusVol] = 1002700;
  EXPECT_EQ(dlg.ratios(), expected);

  // The next tick shows the new reading with the dialog's ratio.
  live.vbusVoltage = 1000;
  dlg.refresh();
  EXPECT_EQ(dlg.uncalibratedVoltage()->text(), "1000 [mV]");
  EXPECT_EQ(dlg.calibratedVoltage()->text(), "1002 [mV]");
  dlg.resetVoltage()->click();
  EXPECT_EQ(dlg.ratios()[kCalVbusVol], kUnitRatio);
}

TEST(CalibrationDlgTest, WithoutABoxOnlyTheRatiosAndResetRemain) {
  LiveReading live{true, 5000, 100};
  CalibrationRatios ratios = kUnitRatios;
  ratios[kCalVbusCurr] = 990000;
  CCalibrationDlg dlg(ratios, [&] { return live; });
  EXPECT_TRUE(dlg.startVoltage()->isEnabled());
  dlg.voltageEdit()->clear();
  EXPECT_FALSE(dlg.startVoltage()->isEnabled());
  live.connected = false;
  dlg.refresh();
  EXPECT_FALSE(dlg.startCurrent()->isEnabled());
  EXPECT_EQ(dlg.uncalibratedVoltage()->text(), "");
  EXPECT_EQ(dlg.calibratedCurrent()->text(), "");
  EXPECT_EQ(dlg.currentRatio()->text(), "Calibration ratio : 0.9900");
  EXPECT_TRUE(dlg.resetCurrent()->isEnabled());
  dlg.startCurrent()->click();  // disabled: no effect
  EXPECT_EQ(dlg.ratios(), ratios);
}

// ---- VBUS current direction -------------------------------------------------------

TEST(VbusCurrentDirCfgTest, PicturesSelectTheirDirectionAndTheHiddenValuePassesThrough) {
  CVbusCurrentDirCfg dlg({CurrentDirection::ReceptacleToPlug, true});
  EXPECT_EQ(dlg.windowTitle(), "VBUS Current Direction Setting");
  EXPECT_TRUE(dlg.receptacleToPlug()->isChecked());
  dlg.plugToReceptaclePicture()->click();
  EXPECT_TRUE(dlg.plugToReceptacle()->isChecked());
  const DirectionDialogValues v = dlg.values();
  EXPECT_EQ(v.m_Direction, CurrentDirection::PlugToReceptacle);
  EXPECT_TRUE(v.m_DoNotAskAgain);
  dlg.receptacleToPlugPicture()->click();
  EXPECT_EQ(dlg.values().m_Direction, CurrentDirection::ReceptacleToPlug);
}

// ---- Driver prompt ----------------------------------------------------------------

TEST(DriverInstallDlgTest, InstallConfirmsAndTheBoxIsReadEitherWay) {
  CDriverInstallDlg dlg;
  EXPECT_EQ(dlg.windowTitle(), "PD Zelkor Driver Install");
  EXPECT_FALSE(dlg.doNotAskAgain());
  dlg.doNotAskAgainBox()->setChecked(true);
  dlg.installButton()->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_TRUE(dlg.doNotAskAgain());
}

// ---- Fonts ------------------------------------------------------------------------

TEST(FontConversionTest, StoredFontsSurviveTheToolkitFont) {
  const LogFont graph = DefaultGraphFont();
  const QFont font = FontFromLogFont(graph);
  EXPECT_EQ(font.family(), "Arial");
  EXPECT_EQ(font.pixelSize(), std::abs(graph.lfHeight));
  EXPECT_EQ(LogFontFromFont(font, graph), graph);

  QFont chosen(QStringLiteral("DejaVu Sans"));
  chosen.setPixelSize(13);
  chosen.setBold(true);
  chosen.setItalic(true);
  chosen.setStrikeOut(true);
  const LogFont stored = LogFontFromFont(chosen, graph);
  EXPECT_EQ(stored.FaceName(), "DejaVu Sans");
  EXPECT_EQ(std::abs(stored.lfHeight), 13);
  EXPECT_EQ(stored.lfWeight, 700);
  EXPECT_EQ(stored.lfItalic, 1);
  EXPECT_EQ(stored.lfUnderline, 0);
  EXPECT_EQ(stored.lfStrikeOut, 1);
  EXPECT_EQ(stored.lfCharSet, graph.lfCharSet);
  const QFont back = FontFromLogFont(stored);
  EXPECT_EQ(back.family(), chosen.family());
  EXPECT_EQ(back.pixelSize(), 13);
  EXPECT_TRUE(back.bold());
  EXPECT_TRUE(back.italic());

  // A point-sized font (what the font dialog may return) is stored by its pixel height.
  QFont points(QStringLiteral("Arial"), 12);
  EXPECT_EQ(LogFontFromFont(points).lfHeight, -16);
  // An all-zero record (no message font stored yet) gives the toolkit's default size.
  EXPECT_GT(FontFromLogFont(LogFont{}).pointSizeF(), 0);
}

}  // namespace
}  // namespace zk
