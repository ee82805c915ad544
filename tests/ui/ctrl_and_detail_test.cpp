#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

#include <mutex>

#include "pd/field_breakdown.h"
#include "tests/ui/ui_fixture.h"
#include "ui/ctrl/readouts.h"
#include "ui/ctrl/zk_ctrl_view.h"
#include "ui/detail/packet_detail_views.h"

namespace zk {
namespace {

TEST(Readouts, VrdClassesAndTheVconnLine) {
  struct Case {
    int cc1, cc2;
    const char* vrd;
    const char* vconnVoltage;
  };
  const Case cases[] = {
      {420, 1500, "vRd-USB (CC1)vRd-3.0 (CC2)", "0.00 [V]"},
      {900, 4900, "vRd-1.5 (CC1)", "4.90 [V]"},
      {650, 0, "vRd-Connect (CC1)", "0.00 [V]"},  // the gap between USB and 1.5 classes
      {2200, 0, "", "0.00 [V]"},
      {249, 2041, "vRd-Connect (CC2)", "0.25 [V]"},  // an unclassed but powered CC1 is the VCONN line
      {8, 1200, "vRd-Connect (CC2)", "0.00 [V]"},    // 8 mV counts as 0
      {5000, 610, "vRd-USB (CC2)", "5.00 [V]"},
  };
  for (const Case& c : cases) {
    LiveValues v;
    v.vbusMv = 5000;
    v.cc1Mv = c.cc1;
    v.cc2Mv = c.cc2;
    const Readouts r = ComputeReadouts(true, v);
    ASSERT_TRUE(r.vrdText.has_value());
    EXPECT_EQ(*r.vrdText, c.vrd) << c.cc1 << "/" << c.cc2;
    EXPECT_EQ(r.vconnVoltage, c.vconnVoltage) << c.cc1 << "/" << c.cc2;
  }
}

TEST(Readouts, CurrentDirectionAndSigns) {
  LiveValues v;
  v.vbusMv = 9000;
  v.vbusMa = -1500;
  v.cc1Ma = 20;
  Readouts r = ComputeReadouts(true, v);
  EXPECT_EQ(r.vbusCurrent, "1.500 [A]");
  EXPECT_EQ(r.vbusPower, "13.50 [W]");
  EXPECT_EQ(r.cc1Current, "-0.020 [A]");
  EXPECT_EQ(r.picture, DirectionPicture::kReceptacleToPlug);

  v.vbusMa = 700;
  EXPECT_EQ(ComputeReadouts(true, v).picture, DirectionPicture::kPlugToReceptacle);
  v = {};
  v.vbusMv = 5100;
  r = ComputeReadouts(true, v);
  EXPECT_EQ(r.picture, DirectionPicture::kNoCurrent);
  EXPECT_TRUE(r.vrdVisible);
  v.vbusMv = 2900;
  r = ComputeReadouts(true, v);
  EXPECT_EQ(r.picture, DirectionPicture::kHidden);
  EXPECT_FALSE(r.vrdVisible);

  r = ComputeReadouts(false, v);
  EXPECT_EQ(r, Readouts{});
  EXPECT_FALSE(r.vrdText.has_value());
}

TEST(Readouts, PeakPowerText) {
  SampleStatistics s;
  EXPECT_EQ(PeakPowerText(s), "");
  s.minVbusPower = -2500;
  s.minVbusPowerVoltage = 5000;
  s.minVbusPowerCurrent = -500;
  EXPECT_EQ(PeakPowerText(s), "Peak VBUS Power (Dir=Rvs)\n  -2.50 [W] (5.00 [V] -0.500 [A])\n");
  s.maxVbusPower = 45000;
  s.maxVbusPowerVoltage = 15000;
  s.maxVbusPowerCurrent = 3000;
  EXPECT_EQ(PeakPowerText(s),
            "Peak VBUS Power\n  45.00 [W] (15.00 [V] 3.000 [A])\n"
            "Peak VBUS Power (Dir=Rvs)\n  -2.50 [W] (5.00 [V] -0.500 [A])\n");
}

TEST(Readouts, ButtonsAndLayout) {
  EXPECT_EQ(ComputeButtons(true, false, false), (ButtonEnabling{true, false, false}));
  EXPECT_EQ(ComputeButtons(true, true, true), (ButtonEnabling{false, true, true}));
  EXPECT_EQ(ComputeButtons(false, true, true), (ButtonEnabling{false, false, true}));

  // h = 100: c = 26, w = 130, e = 46, r = 13.
  const PanelLayout l = ComputePanelLayout(100);
  EXPECT_EQ(l.picture, (PanelRect{7, 7, 130, 46}));
  EXPECT_EQ(l.vrd, (PanelRect{7, 53, 130, 13}));
  EXPECT_EQ(l.vbusPower, (PanelRect{7, 73, 130, 26}));
  EXPECT_EQ(l.headings[0], (PanelRect{144, 7, 130, 26}));
  EXPECT_EQ(l.secondValues[3], (PanelRect{144 + 3 * 137, 73, 130, 26}));
  const int x6 = 144 + 3 * 137 + 130 + 14;
  EXPECT_EQ(l.run, (PanelRect{x6, 7, 93, 93}));
  EXPECT_EQ(l.clear, (PanelRect{x6 + 200, 7, 93, 93}));
  EXPECT_EQ(l.peak, (PanelRect{x6 + 200 + 93 + 14, 7, 279, 93}));
  // Taller views are laid out as 200 pixels high.
  EXPECT_EQ(ComputePanelLayout(500).run, ComputePanelLayout(200).run);
}

TEST(CtrlView, ShowsLiveValuesAndEmptiesThemWhenNotLive) {
  CZKCtrlView view;
  view.resize(1100, 100);
  LiveValues v;
  v.vbusMv = 20000;
  v.vbusMa = 2250;
  v.cc1Mv = 420;
  v.cc2Mv = 5000;
  SampleStatistics s;
  s.maxVbusPower = 45000;
  view.UpdateReadouts(true, v, &s);
  EXPECT_EQ(view.Text("vbusVoltage"), QStringLiteral("20.00 [V]"));
  EXPECT_EQ(view.Text("vbusPower"), QStringLiteral("45.00 [W]"));
  EXPECT_EQ(view.Text("vrd"), QStringLiteral("vRd-USB (CC1)"));
  EXPECT_EQ(view.Text("vconnVoltage"), QStringLiteral("5.00 [V]"));
  EXPECT_TRUE(view.PictureVisible());
  EXPECT_TRUE(view.Text("peak").startsWith(QStringLiteral("Peak VBUS Power\n  45.00 [W]")));

  view.UpdateReadouts(false, {}, nullptr);
  EXPECT_EQ(view.Text("vbusVoltage"), QString());
  EXPECT_FALSE(view.PictureVisible());
  EXPECT_EQ(view.Text("vrd"), QStringLiteral("vRd-USB (CC1)"));  // kept
  EXPECT_TRUE(view.Text("peak").startsWith(QStringLiteral("Peak VBUS Power")));
  view.UpdateButtons(false, false, true);
  EXPECT_FALSE(view.RunEnabled());
  EXPECT_TRUE(view.ClearEnabled());
}

class DetailViewTest : public ::testing::Test {
 protected:
  CZKDoc doc;
  void SetUp() override { doc.OnOpenDocument(test::SimulatedRecordFile()); }
  const CCCPacket* First(const std::function<bool(const CCCPacket&)>& pred) {
    for (int i = 0; i < doc.Store().PacketCount(); ++i) {
      if (pred(*doc.Store().PacketAt(i))) return doc.Store().PacketAt(i);
    }
    return nullptr;
  }
};

TEST_F(DetailViewTest, TreeOpensOnTheHeaderAndTheListFollowsTheTree) {
  // A Source_Capabilities: data message of type 1.
  const CCCPacket* caps = First([](const CCCPacket& p) {
    return p.m_Kind == kKindSop && (p.Header() & 0x1F) == 1 && ((p.Header() >> 12) & 7) != 0;
  });
  ASSERT_NE(caps, nullptr);
  CPDPacketTreeView tree;
  CPDPacketListView list;
  QAbstractItemModelTester treeTester(tree.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  QAbstractItemModelTester listTester(list.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  QObject::connect(&tree, &CPDPacketTreeView::selectionCodeChanged,
                   [&](const CCCPacket* p, std::uint32_t code) { list.ShowFields(p, code); });
  tree.ShowPacket(caps);
  EXPECT_EQ(tree.SelectionCode(), kSelectHeader);
  EXPECT_EQ(list.Model()->Rows(), BuildFieldRows(caps, kSelectHeader));
  EXPECT_EQ(list.Model()->rowCount(), 7);
  const QModelIndex root = tree.Model()->index(0, 0);
  EXPECT_TRUE(tree.Model()->data(root, Qt::DisplayRole).toString().startsWith(QStringLiteral("Packet #")));
  const int objects = (caps->Header() >> 12) & 7;
  EXPECT_EQ(tree.Model()->rowCount(root), 1 + objects);

  ASSERT_TRUE(tree.SelectCode(kSelectDataObject));  // the first data object
  EXPECT_EQ(list.Model()->Rows(), BuildFieldRows(caps, kSelectDataObject));
  EXPECT_EQ(list.Model()->data(list.Model()->index(0, 0), Qt::DisplayRole).toString().left(1), QStringLiteral("0"));

  tree.ShowPacket(nullptr);
  EXPECT_EQ(tree.Model()->rowCount(), 0);
  EXPECT_EQ(list.Model()->rowCount(), 0);
}

}  // namespace
}  // namespace zk
