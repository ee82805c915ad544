#include "ui/dialogs/packet_find_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zk {
namespace {

QPushButton* Button(QWidget& dlg, const QString& text) {
  for (QPushButton* b : dlg.findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

// A capture that saw CC1 SOP traffic from a source DFP with Accept messages only.
PacketStatistics SomeTraffic() {
  PacketStatistics s;
  s.total = 4;
  s.cc1 = 4;
  s.sop = 4;
  s.powerRoleSet = 4;
  s.dataRoleSet = 4;
  s.control[3] = 4;
  return s;
}

TEST(PacketFindDlgTest, FindInstanceShowsItsCriteriaAndDirection) {
  CPacketFindDlgModel model(CPacketFindDlgModel::Role::kFind);
  CPacketFindDlg dlg(model, SomeTraffic());
  EXPECT_EQ(dlg.windowTitle(), "Find PD Messages");
  EXPECT_FALSE(dlg.directionGroup()->isHidden());
  EXPECT_TRUE(dlg.forward()->isChecked());
  EXPECT_TRUE(dlg.checkBox("CC1")->isChecked());
  EXPECT_TRUE(dlg.checkBox("SOP''")->isChecked());
  EXPECT_FALSE(dlg.checkBox("Hard Reset")->isChecked());
  EXPECT_TRUE(dlg.checkBox("No Errors")->isChecked());
  EXPECT_FALSE(dlg.checkBox("Accept")->isChecked());
  EXPECT_FALSE(dlg.textEdit()->isEnabled());
}

TEST(PacketFindDlgTest, FilterInstanceHidesTheDirection) {
  CPacketFindDlgModel model(CPacketFindDlgModel::Role::kFilter);
  CPacketFindDlg dlg(model, SomeTraffic());
  EXPECT_EQ(dlg.windowTitle(), "Display Filter Settings");
  EXPECT_TRUE(dlg.directionGroup()->isHidden());
  EXPECT_TRUE(dlg.checkBox("Vendor_Defined_Extended")->isChecked());
}

// Boxes are enabled by what the capture saw, or all by "Allow to change all settings".
TEST(PacketFindDlgTest, EnablingFollowsStatisticsAndTheAllowBox) {
  struct Case {
    const char* box;
    bool seen;
  };
  const Case cases[] = {{"CC1", true},        {"CC2", false},           {"SOP", true},
                        {"SOP'", false},      {"Source", true},         {"Sink", false},
                        {"Accept", true},     {"Reject", false},        {"No Errors", true},
                        {"CRC Error", false}, {"Invalid Packet", false}};
  CPacketFindDlgModel model(CPacketFindDlgModel::Role::kFind);
  CPacketFindDlg dlg(model, SomeTraffic());
  for (const Case& c : cases) EXPECT_EQ(dlg.checkBox(c.box)->isEnabled(), c.seen) << c.box;

  dlg.checkBox("Allow to change all settings")->click();
  for (const Case& c : cases) EXPECT_TRUE(dlg.checkBox(c.box)->isEnabled()) << c.box;
  dlg.checkBox("Enable Text")->click();
  EXPECT_TRUE(dlg.textEdit()->isEnabled());

  // The two clicks are kept at once, also through Cancel.
  dlg.reject();
  EXPECT_TRUE(model.Criteria().allowChangeAll);
  EXPECT_TRUE(model.Criteria().enableText);
}

TEST(PacketFindDlgTest, OkTakesTheControlsAndCancelLeavesTheCriteria) {
  CPacketFindDlgModel model(CPacketFindDlgModel::Role::kFind);
  {
    CPacketFindDlg dlg(model, SomeTraffic());
    dlg.checkBox("CC2")->setChecked(false);
    dlg.reject();
  }
  EXPECT_EQ(model.Criteria(), DefaultFindCriteria());

  CPacketFindDlg dlg(model, SomeTraffic());
  dlg.checkBox("CC2")->setChecked(false);
  dlg.checkBox("Get_PPS_Status")->setChecked(true);
  dlg.checkBox("Enable Text")->setChecked(true);
  dlg.textEdit()->setText("accept");
  dlg.backward()->setChecked(true);
  dlg.accept();

  PacketCriteria expected = DefaultFindCriteria();
  expected.cc2 = false;
  expected.messageTypes[static_cast<std::size_t>(*MessageTypeFlagIndex(MessageClass::kControl, 20))] = true;
  expected.enableText = true;
  expected.text = "accept";
  expected.direction = FindDirection::kBackward;
  EXPECT_EQ(model.Criteria(), expected);
  EXPECT_EQ(dlg.outcome().findStep, -1);
  EXPECT_TRUE(dlg.outcome().redrawVisibleRows);
}

TEST(PacketFindDlgTest, CheckAllSurvivesCancelAndKeepsUntakenEdits) {
  CPacketFindDlgModel model(CPacketFindDlgModel::Role::kFilter);
  CPacketFindDlg dlg(model, SomeTraffic());
  Button(dlg, "Clear All")->click();
  EXPECT_FALSE(dlg.checkBox("CC1")->isChecked());
  EXPECT_FALSE(dlg.checkBox("GoodCRC")->isChecked());
  Button(dlg, "Check All Message Types")->click();
  EXPECT_TRUE(dlg.checkBox("GoodCRC")->isChecked());
  EXPECT_FALSE(dlg.checkBox("CC1")->isChecked());
  dlg.textEdit()->setText("typed");
  Button(dlg, "Clear All Message Types")->click();
  EXPECT_EQ(dlg.textEdit()->text(), "typed");
  dlg.reject();

  PacketCriteria expected = DefaultFilterCriteria();
  SetAllFlags(expected, false);
  EXPECT_EQ(model.Criteria(), expected);
  CPacketFindDlgModel fresh(CPacketFindDlgModel::Role::kFilter);
  CPacketFindDlg again(fresh, SomeTraffic());
  Button(again, "Check All")->click();
  again.reject();
  EXPECT_EQ(fresh.Criteria(), DefaultFilterCriteria());
}

}  // namespace
}  // namespace zk
