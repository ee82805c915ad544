#include "ui/graph/graph_buttons.h"

#include <gtest/gtest.h>

#include <set>

namespace zk {
namespace {

TEST(GraphButtons, ThirtyDistinctIdentifiers) {
  std::set<int> ids;
  for (const GraphButtonDef& b : GraphButtons()) ids.insert(b.id);
  EXPECT_EQ(ids.size(), 30u);
}

// A 1300 x 738 window: a 1000 x 600 plot, so the side buttons are 32 px high.
TEST(GraphButtons, LayoutOfAFullSizePlot) {
  CGraphModel m;
  m.SetClientSize(1300, 738);
  const GraphButtonLayout l = LayOutGraphButtons(1300, 738, m.Plot());
  EXPECT_FALSE(l.smallButtons);
  const struct {
    int id;
    ButtonRect r;
  } cases[] = {
      {kBtnScrollLeft, {582, 674, 64, 64}},  {kBtnScrollRight, {650, 674, 64, 64}},
      {kBtnTimeZoomOut, {718, 674, 64, 64}}, {kBtnTimeFit, {854, 674, 64, 64}},
      {kBtnVoltArea, {0, 0, 128, 36}},       {kBtnVbusVolt, {0, 52, 64, 32}},
      {kBtnCC2Volt, {0, 124, 64, 32}},       {kBtnVoltZoomIn, {0, 172, 64, 32}},
      {kBtnVoltDown, {0, 280, 64, 32}},      {kBtnVoltFit, {0, 316, 64, 32}},
      {kBtnPDArea, {0, 416, 64, 36}},        {kBtnPDShorter, {0, 576, 64, 32}},
      {kBtnInvertCurr, {1236, 632, 64, 32}}, {kBtnCurrDown, {1236, 560, 64, 32}},
      {kBtnCurrUp, {1236, 524, 64, 32}},     {kBtnCurrZoomIn, {1236, 452, 64, 32}},
      {kBtnCC2Curr, {1236, 404, 64, 32}},    {kBtnVbusCurr, {1236, 332, 64, 32}},
      {kBtnCurrArea, {1172, 664, 128, 36}},  {kBtnWattArea, {1172, 702, 128, 36}},
  };
  for (const auto& c : cases) EXPECT_EQ(l.Of(c.id), c.r) << c.id;
}

TEST(GraphButtons, LowPlotUsesSmallButtons) {
  CGraphModel m;
  m.SetClientSize(1300, 150 + 64 + 74);
  ASSERT_EQ(m.Plot().height, 150);
  const GraphButtonLayout l = LayOutGraphButtons(1300, 288, m.Plot());
  EXPECT_TRUE(l.smallButtons);
  EXPECT_EQ(l.Of(kBtnVbusVolt).height, 16);
  EXPECT_EQ(l.Of(kBtnScrollLeft).height, 64);  // the bottom row keeps its size

  m.SetClientSize(1300, 300 + 64 + 74);
  EXPECT_TRUE(LayOutGraphButtons(1300, 438, m.Plot()).smallButtons);
  m.SetClientSize(1300, 301 + 64 + 74);
  EXPECT_FALSE(LayOutGraphButtons(1300, 439, m.Plot()).smallButtons);
}

TEST(GraphButtons, VisibilityFollowsAreasAndThePDSwitch) {
  CGraphModel m;
  auto visible = [&](int id, bool pd) { return GraphButtonVisible(*FindGraphButton(id), m, pd); };
  m.m_ShowVoltArea = false;
  m.m_ShowCurrArea = false;
  m.m_ShowWattArea = true;
  EXPECT_FALSE(visible(kBtnVoltUp, false));
  EXPECT_TRUE(visible(kBtnCurrZoomIn, false));  // the wattage area alone keeps them
  EXPECT_TRUE(visible(kBtnVbusVolt, false));    // trace buttons always show
  m.m_ShowWattArea = false;
  EXPECT_FALSE(visible(kBtnInvertCurr, false));

  EXPECT_FALSE(visible(kBtnPDArea, false));
  EXPECT_TRUE(visible(kBtnPDArea, true));
  m.m_ShowPDArea = false;
  EXPECT_FALSE(visible(kBtnPDUp, true));
  m.m_ShowPDArea = true;
  EXPECT_TRUE(visible(kBtnPDUp, true));
}

TEST(GraphButtons, TraceButtonOfAClosedAreaOpensItWithOnlyThatTrace) {
  CGraphModel m;
  m.m_ShowCurrArea = false;
  m.m_ShowVbusCurr = true;
  EXPECT_TRUE(PressGraphButton(kBtnCC1Curr, m));
  EXPECT_TRUE(m.m_ShowCurrArea);
  EXPECT_TRUE(m.m_ShowCC1Curr);
  EXPECT_FALSE(m.m_ShowVbusCurr);
  EXPECT_FALSE(m.m_ShowCC2Curr);
  EXPECT_EQ(GraphButtonState(kBtnCC1Curr, m), true);
  EXPECT_EQ(GraphButtonState(kBtnVbusCurr, m), false);

  // With the area open the button only flips its own trace.
  PressGraphButton(kBtnVbusCurr, m);
  EXPECT_TRUE(m.m_ShowVbusCurr && m.m_ShowCC1Curr);
  PressGraphButton(kBtnCC1Curr, m);
  EXPECT_FALSE(m.m_ShowCC1Curr);
  EXPECT_TRUE(m.m_ShowCurrArea);
}

TEST(GraphButtons, AreaToggleDoesNotRefitButTheFitButtonFitsBothAreas) {
  CZKDoc doc;
  CVbusInfo s;
  s.m_VbusVoltage = 20000;
  s.m_VbusCurrent = 3000;
  doc.Store().AppendSample(s);
  doc.Store().CountSample(s);
  CGraphModel m;
  m.SetClientSize(1300, 738);
  m.m_ShowWattArea = false;
  m.AttachDocument(&doc, false);
  const float currScale = m.m_CurrScale, wattScale = m.m_WattScale;
  EXPECT_TRUE(PressGraphButton(kBtnWattArea, m));
  EXPECT_TRUE(m.m_ShowWattArea);
  EXPECT_EQ(m.m_CurrScale, currScale);
  EXPECT_EQ(m.m_WattScale, wattScale);
  EXPECT_FALSE(PressGraphButton(kBtnCurrFit, m));
  EXPECT_NE(m.m_CurrScale, currScale);  // the bands are shared by three areas now
  EXPECT_NE(m.m_WattScale, wattScale);
}

TEST(GraphButtons, InvertButtonTurnsTheAxisWithoutRefit) {
  CGraphModel m;
  const std::int32_t zero = m.m_CurrZero;
  EXPECT_TRUE(PressGraphButton(kBtnInvertCurr, m));
  EXPECT_TRUE(m.m_InvertCurrAxis);
  EXPECT_EQ(GraphButtonState(kBtnInvertCurr, m), true);
  EXPECT_EQ(m.m_CurrZero, zero);
}

}  // namespace
}  // namespace zk
