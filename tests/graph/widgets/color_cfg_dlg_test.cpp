#include "ui/graph/qt/color_cfg_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QPushButton>

#include "app/memory_storage.h"
#include "app/settings.h"
#include "record/document.h"
#include "ui/graph/graph_painter.h"
#include "ui/graph/qt/graph_view.h"

namespace zk {
namespace {

TEST(ColorCfgDlg, OpensWithTheStoredValuesOrTheDefaults) {
  MemoryStorage storage;
  storage.WriteNumber(kSettingsSection, "ColorVBusVol", static_cast<std::int32_t>(Rgb(10, 20, 30)));
  storage.WriteNumber(kSettingsSection, "CC2CurrBold", 5);
  CColorCfgDlg dlg(storage);
  EXPECT_EQ(dlg.windowTitle(), "Graph Drawing Setting");
  const DrawingSettings v = dlg.Values();
  DrawingSettings expected = DefaultDrawingSettings();
  expected.m_Colors[kColorVBusVol] = Rgb(10, 20, 30);
  expected.m_Widths[kWidthCC2Curr] = 5;
  EXPECT_EQ(v, expected);
  EXPECT_EQ(dlg.Swatch(kColorVBusVol)->palette().color(QPalette::Window), QColor(10, 20, 30));
  EXPECT_EQ(dlg.WidthList(kWidthCC2Curr)->currentText(), "5");
  EXPECT_EQ(dlg.ColorButton(kColorMarkerX)->text(), "Marker X");
  // The plot surround has a button, but it is not shown.
  EXPECT_TRUE(dlg.ColorButton(kColorGraph)->isHidden());
  EXPECT_EQ(dlg.SwitchBox(kPDButtonsEnabled)->text(), "Enable USB PD Control Buttons");
}

TEST(ColorCfgDlg, DefaultsThenOkStoresTheWattageGridOff) {
  MemoryStorage storage;
  storage.WriteNumber(kSettingsSection, "PDButtonsEnabled", 1);
  storage.WriteNumber(kSettingsSection, "VolBGEnabled", 0);
  storage.WriteNumber(kSettingsSection, "ColorCursor", 77);
  CColorCfgDlg dlg(storage);
  dlg.DefaultsButton()->click();
  EXPECT_EQ(storage.ReadNumber(kSettingsSection, "VolBGEnabled", -1), 0);  // nothing written yet
  dlg.accept();
  EXPECT_EQ(storage.ReadNumber(kSettingsSection, "WattAxisEnabled", -1), 0);
  EXPECT_EQ(storage.ReadNumber(kSettingsSection, "VolBGEnabled", -1), 1);
  EXPECT_EQ(storage.ReadNumber(kSettingsSection, "PDButtonsEnabled", -1), 1);  // kept
  EXPECT_EQ(storage.ReadNumber(kSettingsSection, "ColorCursor", -1), 16777215);
  EXPECT_EQ(storage.ReadNumber(kSettingsSection, "VBusVolBold", -1), 3);
}

TEST(ColorCfgDlg, ChosenColourAndWidthReachTheGraphOnlyOnOk) {
  MemoryStorage storage;
  AppSettings settings;
  CZKDoc doc;
  CGraphView view(&doc, settings, storage);
  {
    CColorCfgDlg dlg(storage);
    dlg.m_ChooseColor = [](const QColor&, QWidget*) { return std::optional<QColor>(QColor(1, 2, 3)); };
    dlg.ColorButton(kColorCC1Vol)->click();
    EXPECT_EQ(dlg.Swatch(kColorCC1Vol)->palette().color(QPalette::Window), QColor(1, 2, 3));
    dlg.WidthList(kWidthCC1Vol)->setCurrentIndex(3);
    dlg.reject();
  }
  EXPECT_EQ(storage.Find(kSettingsSection, "CC1VolBold"), nullptr);
  view.ReloadDrawingSettings();
  EXPECT_EQ(view.Drawing(), DefaultDrawingSettings());

  CColorCfgDlg dlg(storage);
  dlg.m_ChooseColor = [](const QColor&, QWidget*) { return std::optional<QColor>(QColor(1, 2, 3)); };
  dlg.ColorButton(kColorCC1Vol)->click();
  dlg.WidthList(kWidthCC1Vol)->setCurrentIndex(3);
  dlg.SwitchBox(kvRd15BGEnabled)->setChecked(false);
  dlg.accept();
  EXPECT_EQ(storage.ReadNumber(kSettingsSection, "CC1VolBold", -1), 4);
  EXPECT_EQ(storage.ReadNumber(kSettingsSection, "ColorCC1Vol", -1), static_cast<std::int32_t>(Rgb(1, 2, 3)));
  view.ReloadDrawingSettings();
  EXPECT_EQ(view.Drawing().m_Widths[kWidthCC1Vol], 4);
  EXPECT_EQ(view.Drawing().m_Colors[kColorCC1Vol], Rgb(1, 2, 3));
  EXPECT_FALSE(view.Drawing().m_Switches[kvRd15BGEnabled]);
}

TEST(ColorCfgDlg, CancelledChooserKeepsTheColour) {
  MemoryStorage storage;
  CColorCfgDlg dlg(storage);
  dlg.m_ChooseColor = [](const QColor&, QWidget*) { return std::optional<QColor>(); };
  dlg.ColorButton(kColorMarkerO)->click();
  EXPECT_EQ(dlg.Values().m_Colors[kColorMarkerO], DefaultDrawingSettings().m_Colors[kColorMarkerO]);
}

}  // namespace
}  // namespace zk
