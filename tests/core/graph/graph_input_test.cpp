#include "ui/graph/graph_input.h"

#include <gtest/gtest.h>

#include "record/document.h"

namespace zk {
namespace {

constexpr int kLeft = 150, kTop = 64;

// A 1000 x 600 plot at 1 px/us whose window starts at 0.
class GraphInputTest : public ::testing::Test {
 protected:
  GraphInputTest() : m_Input(m_Graph) {
    m_Graph.SetClientSize(1300, 738);
    for (int i = 0; i <= 10; ++i) {
      CVbusInfo s;
      s.m_Time = i * 100;
      s.m_VbusVoltage = 5000;
      m_Doc.Store().AppendSample(s);
      m_Doc.Store().CountSample(s);
    }
    m_Graph.AttachDocument(&m_Doc, false);
    m_Graph.m_TimeScale = 1.0f;
    m_Graph.SetCentre(500);
  }
  void AddPacket(std::int64_t t) {
    auto p = std::make_unique<CCCPacket>();
    p->m_Time = t;
    m_Doc.Store().InsertPacket(std::move(p));
  }

  CZKDoc m_Doc;
  CGraphModel m_Graph;
  CGraphInput m_Input;
};

TEST_F(GraphInputTest, DraggingAHoveredMarkerMovesIt) {
  m_Graph.m_MarkerX = 300;
  m_Input.MouseMove(kLeft + 305, kTop + 100);
  ASSERT_TRUE(m_Graph.m_HoverX);
  EXPECT_EQ(m_Input.LeftDown(kLeft + 305, kTop + 100).cursor, GraphCursorShape::kResizeHorizontal);
  m_Input.MouseMove(kLeft + 700, kTop + 120);
  EXPECT_EQ(m_Graph.m_MarkerX, 700);
  EXPECT_TRUE(m_Doc.MarkersChanged());
  EXPECT_EQ(m_Graph.m_ViewCentre, 500);  // no panning while a marker is dragged
}

TEST_F(GraphInputTest, MarkerXWinsWhenBothAreWithinReach) {
  m_Graph.m_MarkerO = 295;
  m_Graph.m_MarkerX = 305;
  m_Input.MouseMove(kLeft + 300, kTop + 100);
  EXPECT_TRUE(m_Graph.m_HoverX);
  EXPECT_FALSE(m_Graph.m_HoverO);
  // A marker left of the window is reached at the plot's left edge.
  m_Graph.m_MarkerO = -100;
  m_Input.MouseMove(kLeft + 5, kTop + 100);
  EXPECT_TRUE(m_Graph.m_HoverO);
}

TEST_F(GraphInputTest, LeftDragPansTimeAndShiftsTheAreaUnderThePress) {
  const GraphLayout l = m_Graph.Layout();
  const int y = (l.volt.top + l.volt.bottom) / 2;
  m_Input.MouseMove(kLeft + 500, y);
  m_Input.LeftDown(kLeft + 500, y);
  EXPECT_TRUE(m_Input.m_DragVolt);
  EXPECT_FALSE(m_Input.m_DragCurr);
  const int voltZero = m_Graph.m_VoltZero, currZero = m_Graph.m_CurrZero;
  m_Input.MouseMove(kLeft + 400, y - 10);
  EXPECT_EQ(m_Graph.m_ViewCentre, 600);
  EXPECT_EQ(m_Graph.m_VoltZero, voltZero + 10);
  EXPECT_EQ(m_Graph.m_CurrZero, currZero);
  m_Input.LeftUp();
  EXPECT_FALSE(m_Input.m_DragVolt);
}

TEST_F(GraphInputTest, RightDragZoomsOnlyBeyondTenPixelsAndThenShowsNoMenu) {
  m_Input.RightDown(kLeft + 100, kTop + 100);
  EXPECT_TRUE(m_Input.ContextMenuAllowed());
  m_Input.MouseMove(kLeft + 105, kTop + 105);
  EXPECT_FALSE(m_Input.ContextMenuAllowed());
  m_Input.RightUp();
  EXPECT_EQ(m_Graph.m_TimeScale, 1.0f);

  m_Input.RightDown(kLeft + 100, kTop + 100);
  EXPECT_TRUE(m_Graph.m_RightClickValid);
  EXPECT_EQ(m_Graph.m_RightClickTime, 100);
  m_Input.MouseMove(kLeft + 300, kTop + 300);
  EXPECT_TRUE(m_Input.RightUp().repaint);
  EXPECT_FLOAT_EQ(m_Graph.m_TimeScale, 1000.0f / 200);
  EXPECT_EQ(m_Graph.m_ViewCentre, 200);
  EXPECT_FALSE(m_Graph.m_RightDrag);
}

TEST_F(GraphInputTest, RightClickOutsideThePlotDisablesTheMarkerCommands) {
  m_Input.RightDown(kLeft - 20, kTop + 100);
  EXPECT_FALSE(m_Graph.m_RightClickValid);
  m_Graph.SetMarkerOHere();
  EXPECT_EQ(m_Graph.m_MarkerO, 0);
}

TEST_F(GraphInputTest, DoubleClickSelectsTheNearestPacketTheEarlierOnATie) {
  AddPacket(200);
  AddPacket(400);
  EXPECT_EQ(m_Input.LeftDoubleClick(kLeft + 300, kTop + 10).selectPacket, 0);
  EXPECT_EQ(m_Graph.m_ViewCentre, 300);
  m_Graph.SetCentre(500);
  EXPECT_EQ(m_Input.LeftDoubleClick(kLeft + 301, kTop + 10).selectPacket, 1);
  // Beyond the last sample nothing is selected.
  m_Graph.SetCentre(1500);
  EXPECT_EQ(m_Input.LeftDoubleClick(kLeft + 500, kTop + 10).selectPacket, -1);
}

TEST_F(GraphInputTest, WheelScrollsAndZoomsWhileTheRightButtonIsHeld) {
  m_Input.Wheel(120);
  EXPECT_GT(m_Graph.m_ViewCentre, 500);
  m_Graph.m_TimeScale = 0.5f;
  m_Input.RightDown(kLeft + 100, kTop + 100);
  m_Input.Wheel(120);
  EXPECT_FLOAT_EQ(m_Graph.m_TimeScale, 0.6f);
  m_Input.Wheel(-120);
  EXPECT_FLOAT_EQ(m_Graph.m_TimeScale, 0.6f * 83.333336f / 100);
}

TEST_F(GraphInputTest, KeysMapToScrollZoomAndFit) {
  const int voltZero = m_Graph.m_VoltZero;
  m_Input.Key(GraphKey::kUp);
  EXPECT_EQ(m_Graph.m_VoltZero, voltZero + 600 / 40);
  m_Graph.m_TimeScale = 0.5f;
  m_Input.Key(GraphKey::kPageUp);
  EXPECT_FLOAT_EQ(m_Graph.m_TimeScale, 0.6f);
  m_Input.Key(GraphKey::kHome);
  EXPECT_FLOAT_EQ(m_Graph.m_TimeScale, 990.0f / 1000);
  EXPECT_FALSE(m_Input.Key(GraphKey::kOther).handled);
}

}  // namespace
}  // namespace zk
