// The graph widget driven by simulated mouse, wheel and keys.
#include "ui/graph/qt/graph_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "app/memory_storage.h"
#include "app/settings.h"
#include "record/document.h"
#include "ui/graph/qt/dockable_graph.h"

namespace zk {
namespace {

constexpr int kLeft = 150, kTop = 64;

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}
void Move(QWidget* w, QPoint pos, Qt::MouseButtons held = Qt::NoButton) {
  Mouse(w, QEvent::MouseMove, pos, Qt::NoButton, held);
}
void Press(QWidget* w, QPoint pos, Qt::MouseButton b) { Mouse(w, QEvent::MouseButtonPress, pos, b, b); }
void Release(QWidget* w, QPoint pos, Qt::MouseButton b) { Mouse(w, QEvent::MouseButtonRelease, pos, b, Qt::NoButton); }
void Wheel(QWidget* w, int delta) {
  QWheelEvent e(QPointF(600, 300), w->mapToGlobal(QPointF(600, 300)), QPoint(), QPoint(0, delta), Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}

// A 1000 x 600 plot at 1 px/us showing 0 to 1000 us: x = 150 + t.
class GraphViewTest : public ::testing::Test {
 protected:
  GraphViewTest() {
    for (int i = 0; i <= 10; ++i) {
      CVbusInfo s;
      s.m_Time = i * 100;
      s.m_VbusVoltage = 5000;
      s.m_VbusCurrent = 500;
      m_Doc.Store().AppendSample(s);
      m_Doc.Store().CountSample(s);
    }
    m_View = std::make_unique<CGraphView>(&m_Doc, m_Settings, m_Storage);
    m_View->resize(1300, 738);
    m_View->show();
    m_View->AttachDocument(&m_Doc);
    Model().m_TimeScale = 1.0f;
    Model().SetCentre(500);
  }
  CGraphModel& Model() { return m_View->Model(); }
  void AddPacket(std::int64_t t) {
    auto p = std::make_unique<CCCPacket>();
    p->m_Time = t;
    m_Doc.Store().InsertPacket(std::move(p));
  }
  QAction* MenuAction(const char* text) {
    QMenu* menu = m_View->OpenMenu();
    if (!menu) return nullptr;
    QList<QAction*> actions = menu->actions();
    for (int i = 0; i < actions.size(); ++i) {
      if (QMenu* sub = actions[i]->menu()) actions += sub->actions();
      if (actions[i]->text() == QString::fromLatin1(text)) return actions[i];
    }
    return nullptr;
  }
  void RightClick(QPoint at, QPoint releaseAt) {
    Press(m_View.get(), at, Qt::RightButton);
    if (releaseAt != at) Move(m_View.get(), releaseAt, Qt::RightButton);
    Release(m_View.get(), releaseAt, Qt::RightButton);
  }

  MemoryStorage m_Storage;
  AppSettings m_Settings;
  CZKDoc m_Doc;
  std::unique_ptr<CGraphView> m_View;
};

TEST_F(GraphViewTest, DraggingMarkerXMovesItEvenWithMarkerONearby) {
  Model().m_MarkerO = 295;
  Model().m_MarkerX = 300;
  Move(m_View.get(), {kLeft + 302, 300});
  EXPECT_TRUE(Model().m_HoverX);
  EXPECT_FALSE(Model().m_HoverO);
  Press(m_View.get(), {kLeft + 302, 300}, Qt::LeftButton);
  EXPECT_EQ(m_View->cursor().shape(), Qt::SizeHorCursor);
  Move(m_View.get(), {kLeft + 700, 320}, Qt::LeftButton);
  Release(m_View.get(), {kLeft + 700, 320}, Qt::LeftButton);
  EXPECT_EQ(Model().m_MarkerX, 700);
  EXPECT_EQ(Model().m_MarkerO, 295);
  EXPECT_TRUE(m_Doc.MarkersChanged());
  EXPECT_EQ(m_View->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(GraphViewTest, LeftDragAwayFromMarkersPansTheWindow) {
  Model().m_MarkerO = Model().m_MarkerX = 900;
  Press(m_View.get(), {kLeft + 400, 300}, Qt::LeftButton);
  EXPECT_EQ(m_View->cursor().shape(), Qt::SizeAllCursor);
  Move(m_View.get(), {kLeft + 300, 300}, Qt::LeftButton);
  Release(m_View.get(), {kLeft + 300, 300}, Qt::LeftButton);
  EXPECT_EQ(Model().m_ViewCentre, 600);
  EXPECT_EQ(Model().m_MarkerX, 900);
}

TEST_F(GraphViewTest, RightDragZoomsIntoTheRectangleWithoutAMenu) {
  RightClick({kLeft + 200, 200}, {kLeft + 400, 400});
  EXPECT_FLOAT_EQ(Model().m_TimeScale, 5.0f);  // 200 us now fill 1000 px
  EXPECT_EQ(Model().m_ViewCentre, 300);
  EXPECT_EQ(m_View->OpenMenu(), nullptr);
  EXPECT_EQ(m_View->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(GraphViewTest, SmallRightDragNeitherZoomsNorShowsTheMenu) {
  RightClick({kLeft + 200, 200}, {kLeft + 205, 205});
  EXPECT_FLOAT_EQ(Model().m_TimeScale, 1.0f);
  EXPECT_EQ(m_View->OpenMenu(), nullptr);
}

TEST_F(GraphViewTest, RightClickMenuSetsMarkerOAtTheClickedTime) {
  RightClick({kLeft + 250, 300}, {kLeft + 250, 300});
  ASSERT_NE(m_View->OpenMenu(), nullptr);
  EXPECT_EQ(m_View->OpenMenu()->title(), "Graph");
  QAction* setO = MenuAction("Set Marker O");
  ASSERT_NE(setO, nullptr);
  EXPECT_TRUE(setO->isEnabled());
  ASSERT_NE(MenuAction("Enable Current Graph  (with Fitting)"), nullptr);
  EXPECT_TRUE(MenuAction("Enable Current Graph  (with Fitting)")->isChecked());
  setO->trigger();
  EXPECT_EQ(Model().m_MarkerO, 250);
  EXPECT_TRUE(m_Doc.MarkersChanged());
  m_View->OpenMenu()->close();
}

TEST_F(GraphViewTest, RightClickOutsideThePlotDisablesThePositionCommands) {
  RightClick({60, 300}, {60, 300});
  ASSERT_NE(m_View->OpenMenu(), nullptr);
  for (const char* text : {"Set Marker O", "Set Marker X", "Current Position"}) {
    ASSERT_NE(MenuAction(text), nullptr) << text;
    EXPECT_FALSE(MenuAction(text)->isEnabled()) << text;
  }
  EXPECT_TRUE(MenuAction("Absolute")->isEnabled());
  m_View->OpenMenu()->close();
}

TEST_F(GraphViewTest, MenuAreaCommandTogglesAndRefits) {
  Model().m_CurrScale = 123.0f;
  RightClick({kLeft + 250, 300}, {kLeft + 250, 300});
  MenuAction("Enable Wattage Graph (with Fitting)")->trigger();
  EXPECT_TRUE(Model().m_ShowWattArea);
  EXPECT_NE(Model().m_CurrScale, 123.0f);
  EXPECT_TRUE(m_View->Button(kBtnWattArea)->isVisible());
  if (m_View->OpenMenu()) m_View->OpenMenu()->close();
}

TEST_F(GraphViewTest, DoubleClickPicksTheNearestPacketEarlierOnATie) {
  AddPacket(200);
  AddPacket(400);
  QSignalSpy spy(m_View.get(), &CGraphView::PacketDoubleClicked);
  const struct {
    int t;
    int packet;
  } cases[] = {{300, 0}, {301, 1}, {100, 0}, {950, 1}};
  for (const auto& c : cases) {
    Model().SetCentre(500);
    Mouse(m_View.get(), QEvent::MouseButtonDblClick, {kLeft + c.t, 300}, Qt::LeftButton, Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1) << c.t;
    EXPECT_EQ(spy.takeFirst().at(0).toInt(), c.packet) << c.t;
    EXPECT_EQ(Model().m_ViewCentre, c.t);
  }
  // Beyond the last sample nothing is picked.
  Model().SetCentre(500);
  Mouse(m_View.get(), QEvent::MouseButtonDblClick, {kLeft + 999, 300}, Qt::LeftButton, Qt::LeftButton);
  Model().SetCentre(1200);
  Mouse(m_View.get(), QEvent::MouseButtonDblClick, {kLeft + 999, 300}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(spy.count(), 1);
}

TEST_F(GraphViewTest, PaneForwardsTheDoubleClickAndCentresOnAPacket) {
  AddPacket(200);
  AddPacket(700);
  CDockableGraph pane(m_Doc, m_Settings, m_Storage);
  EXPECT_EQ(pane.windowTitle(), "Graph");
  pane.resize(1300, 760);
  pane.show();
  CGraphView& view = pane.View();
  view.AttachDocument(&m_Doc);
  QSignalSpy spy(&pane, &CDockableGraph::PacketDoubleClicked);
  pane.CentreOnPacket(1);
  EXPECT_EQ(view.Model().m_ViewCentre, 700);
  const int x = view.Model().Mapping().X(200);
  Mouse(&view, QEvent::MouseButtonDblClick, {x, 300}, Qt::LeftButton, Qt::LeftButton);
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.at(0).at(0).toInt(), 0);
}

TEST_F(GraphViewTest, KeysAndWheelScrollAndZoom) {
  Model().SetCentre(500);
  QTest::keyClick(m_View.get(), Qt::Key_Left);
  EXPECT_EQ(Model().m_ViewCentre, 500 - 125);  // an eighth of the plot width
  QTest::keyClick(m_View.get(), Qt::Key_Right);
  EXPECT_EQ(Model().m_ViewCentre, 500);
  const std::int32_t zero = Model().m_VoltZero;
  QTest::keyClick(m_View.get(), Qt::Key_Up);
  EXPECT_EQ(Model().m_VoltZero, zero + 15);
  QTest::keyClick(m_View.get(), Qt::Key_PageDown);
  EXPECT_LT(Model().m_TimeScale, 1.0f);
  QTest::keyClick(m_View.get(), Qt::Key_PageUp);
  EXPECT_FLOAT_EQ(Model().m_TimeScale, 1.0f);

  Model().m_TimeScale = 1.0f;
  Model().SetCentre(500);
  Wheel(m_View.get(), 120);
  EXPECT_EQ(Model().m_ViewCentre, 625);
  Wheel(m_View.get(), -120);
  EXPECT_EQ(Model().m_ViewCentre, 500);
  // With the right button held the wheel zooms.
  Press(m_View.get(), {kLeft + 100, 100}, Qt::RightButton);
  Wheel(m_View.get(), -120);
  Release(m_View.get(), {kLeft + 100, 100}, Qt::RightButton);
  EXPECT_LT(Model().m_TimeScale, 1.0f);
  EXPECT_EQ(Model().m_ViewCentre, 500);
  if (m_View->OpenMenu()) m_View->OpenMenu()->close();
}

TEST_F(GraphViewTest, ClickingATraceButtonOfAClosedAreaOpensIt) {
  Model().m_ShowCurrArea = false;
  m_View->SetShowPDArea(true);  // refreshes the buttons
  EXPECT_FALSE(m_View->Button(kBtnCurrUp)->isVisible());
  QPushButton* cc1 = m_View->Button(kBtnCC1Curr);
  ASSERT_TRUE(cc1->isVisible());
  QTest::mouseClick(cc1, Qt::LeftButton);
  EXPECT_TRUE(Model().m_ShowCurrArea);
  EXPECT_TRUE(Model().m_ShowCC1Curr);
  EXPECT_FALSE(Model().m_ShowVbusCurr);
  EXPECT_TRUE(m_View->Button(kBtnCurrUp)->isVisible());
  EXPECT_EQ(cc1->accessibleName(), "-");
}

TEST_F(GraphViewTest, PDButtonsFollowTheDrawingSwitchAfterAReload) {
  EXPECT_FALSE(m_View->Button(kBtnPDArea)->isVisible());
  m_Storage.WriteNumber(kSettingsSection, "PDButtonsEnabled", 1);
  m_View->ReloadDrawingSettings();
  EXPECT_TRUE(m_View->Button(kBtnPDArea)->isVisible());
  EXPECT_TRUE(m_View->Button(kBtnPDUp)->isVisible());
  QTest::mouseClick(m_View->Button(kBtnPDArea), Qt::LeftButton);
  EXPECT_FALSE(Model().m_ShowPDArea);
  EXPECT_FALSE(m_View->Button(kBtnPDUp)->isVisible());
}

TEST_F(GraphViewTest, LowWindowSwitchesToSmallButtons) {
  m_View->resize(1300, 288);
  QApplication::processEvents();
  EXPECT_TRUE(m_View->SmallButtons());
  EXPECT_EQ(m_View->Button(kBtnVbusVolt)->height(), 16);
  m_View->resize(1300, 738);
  QApplication::processEvents();
  EXPECT_FALSE(m_View->SmallButtons());
  EXPECT_EQ(m_View->Button(kBtnVbusVolt)->height(), 32);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  int count = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++count;
    return false;
  }
};

TEST_F(GraphViewTest, DocumentUpdatesAreCoalescedIntoOnePicture) {
  QApplication::processEvents();
  PaintCounter counter;
  m_View->installEventFilter(&counter);
  for (int i = 0; i < 50; ++i) {
    CVbusInfo s;
    s.m_Time = 1100 + i;
    s.m_VbusVoltage = 9000;
    m_Doc.Store().AppendSample(s);
    m_Doc.Store().CountSample(s);
    Model().OnUpdateAllViews();
    QApplication::processEvents();
  }
  EXPECT_LE(counter.count, 1);
  QTest::qWait(120);
  EXPECT_GE(counter.count, 1);
  EXPECT_LE(counter.count, 2);
  EXPECT_EQ(Model().m_LastTime, 1149);
  m_View->removeEventFilter(&counter);
}

TEST_F(GraphViewTest, AreaSwitchesAreWrittenBackWhenTheViewGoes) {
  Model().m_ShowWattArea = true;
  Model().m_ShowVoltArea = false;
  m_View.reset();
  EXPECT_EQ(m_Storage.ReadNumber(kSettingsSection, "EnableGraphWattage", -1), 1);
  EXPECT_EQ(m_Storage.ReadNumber(kSettingsSection, "EnableGraphVoltage", -1), 0);
  CGraphView again(&m_Doc, m_Settings, m_Storage);
  EXPECT_TRUE(again.Model().m_ShowWattArea);
  EXPECT_FALSE(again.Model().m_ShowVoltArea);
}

TEST_F(GraphViewTest, CursorCrosshairFollowsTheMouse) {
  Model().m_CursorOn = true;
  Move(m_View.get(), {kLeft + 333, 222});
  const QImage& image = m_View->RenderPicture();
  const QRgb white = qRgb(255, 255, 255);
  EXPECT_EQ(image.pixel(kLeft + 333, kTop + 400), white);
  EXPECT_EQ(image.pixel(kLeft + 600, 222), white);
  Move(m_View.get(), {20, 222});  // outside the plot: no crosshair
  EXPECT_NE(m_View->RenderPicture().pixel(kLeft + 600, 222), white);
}

}  // namespace
}  // namespace zk
