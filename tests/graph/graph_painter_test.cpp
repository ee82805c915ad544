// Paints the graph into an image on the offscreen platform and checks pixels where the
// drawing must put them.
#include "ui/graph/graph_painter.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <random>

#include "record/document.h"

namespace zk {
namespace {

constexpr int kPlotLeft = 150, kPlotTop = 64, kPlotWidth = 1000, kPlotHeight = 600;
const QRgb kWindow = qRgb(240, 240, 240);

CVbusInfo Sample(std::int64_t t, int vbusMv, int vbusMa = 0) {
  CVbusInfo s;
  s.m_Time = t;
  s.m_VbusVoltage = static_cast<std::uint16_t>(vbusMv);
  s.m_VbusCurrent = static_cast<std::int16_t>(vbusMa);
  return s;
}

QRgb Rgb(std::uint32_t bgr) { return ToQColor(bgr).rgb(); }

class GraphPainterTest : public ::testing::Test {
 protected:
  GraphPainterTest() : m_Settings(DefaultDrawingSettings()), m_Font("DejaVu Sans") {
    m_Graph.SetClientSize(kPlotWidth + 300, kPlotHeight + 64 + 74);
  }

  void Add(const CVbusInfo& s) {
    m_Doc.Store().AppendSample(s);
    m_Doc.Store().CountSample(s);
  }
  void Attach() { m_Graph.AttachDocument(&m_Doc, false); }
  // Only the VBUS voltage trace, so that nothing else is drawn over it.
  void OnlyVbusVoltage() {
    m_Graph.m_ShowCC1Volt = m_Graph.m_ShowCC2Volt = m_Graph.m_ShowVbusCurr = false;
    m_Graph.m_ShowCurrArea = false;
  }
  QImage Paint(bool useSummary = true) {
    QImage image(m_Graph.ClientWidth(), m_Graph.ClientHeight(), QImage::Format_RGB32);
    image.fill(kWindow);
    PaintGraph(image, m_Graph, m_Settings, m_Font, {useSummary});
    return image;
  }
  int VoltY(int mv) const {
    return m_Graph.Layout().volt.zeroY - static_cast<int>(static_cast<float>(mv) * m_Graph.m_VoltScale);
  }
  int X(std::int64_t t) const { return m_Graph.Mapping().X(t); }

  CZKDoc m_Doc;
  CGraphModel m_Graph;
  DrawingSettings m_Settings;
  QFont m_Font;
};

// Whether any pixel of the rectangle has the colour.
bool Holds(const QImage& image, const QRect& r, QRgb colour) {
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      if (image.pixel(x, y) == colour) return true;
    }
  }
  return false;
}

TEST_F(GraphPainterTest, NothingWithoutADocument) {
  const QImage image = Paint();
  EXPECT_EQ(image.pixel(kPlotLeft + 10, kPlotTop + 10), kWindow);
}

TEST_F(GraphPainterTest, SurroundPlotAndTraceTakeTheirColours) {
  for (int i = 0; i <= 100; ++i) Add(Sample(i * 1000, 5000));
  OnlyVbusVoltage();
  Attach();
  const QImage image = Paint();
  EXPECT_EQ(image.pixel(kPlotLeft - 80, kPlotTop + 300), qRgb(255, 255, 255));            // surround
  EXPECT_TRUE(Holds(image, QRect(kPlotLeft + 500, kPlotTop + 2, 12, 1), qRgb(0, 0, 0)));  // plot
  const QRgb red = Rgb(m_Settings.m_Colors[kColorVBusVol]);
  EXPECT_EQ(image.pixel(X(50000), VoltY(5000)), red);
  // 3 px wide by default: one pixel above and below the line, not two.
  EXPECT_EQ(image.pixel(X(50000), VoltY(5000) - 1), red);
  EXPECT_EQ(image.pixel(X(50000), VoltY(5000) + 1), red);
  EXPECT_NE(image.pixel(X(50000), VoltY(5000) - 3), red);
}

TEST_F(GraphPainterTest, OneSampleSpikeShowsInAColumnOfAThousand) {
  Add(Sample(0, 5000));
  for (int i = 0; i < 1000; ++i) Add(Sample(1000400 + i, i == 617 ? 20000 : 5000));
  Add(Sample(2000000, 5000));
  OnlyVbusVoltage();
  Attach();
  ASSERT_EQ(X(1000400), X(1001399));
  const QImage image = Paint();
  const QRgb red = Rgb(m_Settings.m_Colors[kColorVBusVol]);
  for (int mv : {20000, 12000, 6000}) EXPECT_EQ(image.pixel(X(1000400), VoltY(mv)), red) << mv;
  EXPECT_NE(image.pixel(X(1000400) + 5, VoltY(12000)), red);
}

TEST_F(GraphPainterTest, SummaryWalkPaintsTheSamePicture) {
  std::mt19937 rng(3);
  std::normal_distribution<double> noise(0, 400);
  for (int i = 0; i < 200000; ++i) {
    const int trend = 9000 + static_cast<int>(6000 * std::sin(i / 9000.0));
    CVbusInfo s =
        Sample(i * 7, std::clamp(trend + static_cast<int>(noise(rng)), 0, 65535), static_cast<int>(noise(rng) * 2));
    s.m_CC1Voltage = static_cast<std::int16_t>(1650 + noise(rng) / 4);
    s.m_CC1Current = static_cast<std::int16_t>(noise(rng));
    Add(s);
  }
  m_Graph.m_ShowWattArea = m_Graph.m_ShowCC1Curr = true;
  Attach();
  // Without dots every column is drawn from its envelope; with dots, point by point.
  const struct {
    bool inverted, reversed, points;
  } cases[] = {{false, false, false}, {true, false, false}, {false, true, false}, {true, true, true}};
  for (const auto& c : cases) {
    m_Graph.m_InvertCurrAxis = c.inverted;
    m_Graph.m_CurrDirReversed = c.reversed;
    m_Graph.m_ShowPoints = c.points;
    // Zoomed out far enough that whole groups of the summary fall into one column.
    m_Graph.FitTime();
    for (int i = 0; i < 20; ++i) m_Graph.ZoomTimeOut();
    EXPECT_EQ(Paint(true), Paint(false)) << "zoomed out";
    m_Graph.FitTime();
    for (int zoom = 0; zoom < 3; ++zoom) {
      EXPECT_EQ(Paint(true), Paint(false))
          << "zoom step " << zoom << " inverted " << c.inverted << " reversed " << c.reversed << " points " << c.points;
      for (int i = 0; i < 12; ++i) m_Graph.ZoomTimeIn();
    }
  }
}

// A GoodCRC from side 1, decoded without fault, 20 us long.
CCCPacket* AddPacket(CZKDoc& doc, std::int64_t t) {
  auto p = std::make_unique<CCCPacket>();
  p->m_Time = t;
  p->m_EdgeCount = 2;
  p->m_TotalTicks = 48;
  p->m_TickDiv = 20;
  p->m_PreambleFound = 1;
  p->m_CrcOk = 1;
  p->m_EopFound = 1;
  p->m_UnitInterval = 3.3f;
  p->m_Kind = kKindSop;
  p->m_Bytes[0] = 0x81;  // GoodCRC, revision 3.0
  p->m_ByteCount = 2;
  p->m_Side = 1;
  CCCPacket* raw = p.get();
  doc.Store().InsertPacket(std::move(p));
  return raw;
}

TEST_F(GraphPainterTest, PacketBoxCarriesItsLabelOnlyWhenWide) {
  Add(Sample(0, 5000));
  Add(Sample(1000, 5000));
  AddPacket(m_Doc, 100);
  Attach();
  const QRgb blue = qRgb(0, 0, 255);
  const int top = m_Graph.Layout().pdTop;
  for (float scale : {1.0f, 3.0f}) {
    m_Graph.m_TimeScale = scale;
    m_Graph.SetCentre(100);
    const QImage image = Paint();
    const int x = X(100);
    const int width = static_cast<int>(20 * scale);
    EXPECT_EQ(image.pixel(x + 1, top + 8), blue);
    EXPECT_EQ(image.pixel(x + width - 1, top + 8), blue);
    EXPECT_NE(image.pixel(x + width + 1, top + 8), blue);
    // The label "#0 GoodCRC" sits on top of the box, black on the packet colour.
    const QRect above(x, top - 14, width, 12);
    EXPECT_EQ(Holds(image, above, blue) && Holds(image, above, qRgb(0, 0, 0)), scale > 2) << scale;
  }
}

TEST_F(GraphPainterTest, HighlightedPacketsStackTheirLabelsInTimeOrder) {
  Add(Sample(0, 5000));
  Add(Sample(1000, 5000));
  CCCPacket* selected = AddPacket(m_Doc, 100);
  CCCPacket* b = AddPacket(m_Doc, 300);
  CCCPacket* a = AddPacket(m_Doc, 500);
  m_Doc.Store().SetMarkerA(a);
  m_Doc.Store().SetMarkerB(b);
  m_Graph.m_pSelectedPacket = selected;
  Attach();
  const QImage image = Paint();
  const int fh = m_Graph.m_FontHeight;
  const std::pair<const CCCPacket*, QRgb> rows[] = {
      {selected, qRgb(100, 100, 255)}, {b, qRgb(255, 0, 128)}, {a, qRgb(255, 128, 0)}};
  for (int r = 0; r < 3; ++r) {
    const int x = X(rows[r].first->m_Time) + 2;
    EXPECT_TRUE(Holds(image, QRect(x, kPlotTop + fh * r + 1, 40, 1), rows[r].second)) << "row " << r;
    if (r > 0) {
      EXPECT_FALSE(Holds(image, QRect(x, kPlotTop + 1, 40, 1), rows[r].second)) << "row " << r;
    }
  }
}

TEST_F(GraphPainterTest, MarkerOutsideTheWindowIsDrawnAtTheEdge) {
  for (int i = 0; i <= 10; ++i) Add(Sample(100000 + i * 100, 5000));
  Attach();
  m_Graph.m_TimeScale = 1.0f;
  m_Graph.SetCentre(101000);
  m_Graph.SetMarkerO(m_Graph.m_ViewStart - 100);
  m_Graph.SetMarkerX(m_Graph.m_ViewStart + 300);
  const QRgb grey = Rgb(m_Settings.m_Colors[kColorMarkerO]);
  QImage image = Paint();
  // The tag " << O " at the left edge, on the marker colour; no line at the edge.
  EXPECT_TRUE(Holds(image, QRect(kPlotLeft, kPlotTop + kPlotHeight - 12, 20, 10), grey));
  EXPECT_FALSE(Holds(image, QRect(kPlotLeft, kPlotTop + 100, 3, 200), grey));
  // The inside marker X has its line.
  EXPECT_TRUE(Holds(image, QRect(kPlotLeft + 299, kPlotTop + 200, 3, 1), Rgb(m_Settings.m_Colors[kColorMarkerX])));

  m_Graph.m_HoverO = true;
  image = Paint();
  EXPECT_TRUE(Holds(image, QRect(kPlotLeft, kPlotTop + 300, 3, 1), grey));
}

TEST_F(GraphPainterTest, MeasurementStripShowsTheOToXLine) {
  Add(Sample(0, 5000));
  Add(Sample(1000, 5000));
  Attach();
  const QImage image = Paint();
  const GraphRegions regions = RegionsOf(m_Graph);
  EXPECT_EQ(image.pixel(regions.strip.right(), regions.strip.bottom()), qRgb(150, 150, 150));
  EXPECT_TRUE(Holds(image, QRect(0, regions.strip.top(), 200, 16), Rgb(m_Settings.m_Colors[kColorMarkerX])));
  // Outside B and S the window keeps its own background.
  EXPECT_EQ(image.pixel(regions.strip.right() + 20, regions.strip.bottom()), kWindow);
}

TEST_F(GraphPainterTest, VrdBandIsLabelledOnlyWhenTallEnough) {
  Add(Sample(0, 5000));
  Add(Sample(1000, 5000));
  Attach();
  m_Graph.m_ShowVbusVolt = m_Graph.m_ShowCC1Volt = m_Graph.m_ShowCC2Volt = false;
  m_Graph.m_ShowCC1Volt = true;
  const QRgb band = Rgb(m_Settings.m_Colors[kColorvRdUSB]);
  const QRgb label = Rgb(m_Settings.m_Colors[kColorVBusVol]);
  for (float scale : {0.02f, 0.05f}) {
    m_Graph.m_VoltScale = scale;
    const QImage image = Paint();
    const int top = VoltY(610), height = static_cast<int>(scale * 360);
    EXPECT_TRUE(Holds(image, QRect(kPlotLeft + 300, top, 200, height), band)) << scale;
    EXPECT_EQ(Holds(image, QRect(kPlotLeft, top, 60, height), label), scale > 0.03f) << scale;
  }
}

}  // namespace
}  // namespace zk

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
