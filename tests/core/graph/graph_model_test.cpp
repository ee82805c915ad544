#include "ui/graph/graph_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "record/document.h"
#include "ui/graph/time_axis.h"
#include "ui/graph/trace_walk.h"

namespace zk {
namespace {

CVbusInfo Sample(std::int64_t t, int vbusMv, int vbusMa, int cc1Mv = 0, int cc2Mv = 0) {
  CVbusInfo s;
  s.m_Time = t;
  s.m_VbusVoltage = static_cast<std::uint16_t>(vbusMv);
  s.m_VbusCurrent = static_cast<std::int16_t>(vbusMa);
  s.m_CC1Voltage = static_cast<std::int16_t>(cc1Mv);
  s.m_CC2Voltage = static_cast<std::int16_t>(cc2Mv);
  return s;
}

void Add(CaptureStore& store, const CVbusInfo& s) {
  store.AppendSample(s);
  store.CountSample(s);
}

// A graph of a given plot size over a document.
class GraphModelTest : public ::testing::Test {
 protected:
  void SetPlot(int width, int height) { m_Graph.SetClientSize(width + 300, height + 64 + 74); }
  void Attach(bool reversed = false) { m_Graph.AttachDocument(&m_Doc, reversed); }
  CaptureStore& Store() { return m_Doc.Store(); }

  CZKDoc m_Doc;
  CGraphModel m_Graph;
};

TEST_F(GraphModelTest, TimeZoomStopsAtItsLimits) {
  SetPlot(1000, 600);
  m_Graph.m_TimeScale = 0.9f;
  EXPECT_TRUE(m_Graph.ZoomTimeIn());
  EXPECT_EQ(m_Graph.m_TimeScale, 1.0f);
  EXPECT_FALSE(m_Graph.ZoomTimeIn());
  EXPECT_EQ(m_Graph.m_TimeScale, 1.0f);

  int steps = 0;
  while (m_Graph.ZoomTimeOut()) ASSERT_LT(++steps, 1000);
  EXPECT_EQ(m_Graph.m_TimeScale, 1024.0f / 360000000000.0f);
  EXPECT_EQ(m_Graph.m_ViewEnd - m_Graph.m_ViewStart, 2 * (static_cast<std::int64_t>(1000 / m_Graph.m_TimeScale) / 2));
}

TEST_F(GraphModelTest, ScrollStopsOnceTheCentrePassesTheData) {
  SetPlot(800, 400);
  Add(Store(), Sample(0, 5000, 0));
  Add(Store(), Sample(1000, 5000, 0));
  Attach();
  m_Graph.SetCentre(m_Graph.m_LastTime);
  m_Graph.ScrollRight();
  EXPECT_EQ(m_Graph.m_ViewCentre, 1000);
  m_Graph.ScrollLeft();
  const std::int64_t step = static_cast<std::int64_t>(100 / m_Graph.m_TimeScale);
  EXPECT_EQ(m_Graph.m_ViewCentre, 1000 - step);
}

TEST_F(GraphModelTest, FitsVoltageIntoTheTopThirdOfThreeAreas) {
  SetPlot(1000, 600);
  m_Graph.m_ShowWattArea = true;
  Add(Store(), Sample(0, 20000, 0));
  Attach();
  EXPECT_FLOAT_EQ(m_Graph.m_VoltScale, 0.006f);
  EXPECT_EQ(m_Graph.m_VoltZero, 400 + 39);  // the single-precision 0.4 makes 39, not 40
}

TEST_F(GraphModelTest, FitsCurrentAboveItsBandsLowerEdge) {
  SetPlot(1000, 600);
  m_Graph.m_ShowWattArea = true;
  Add(Store(), Sample(0, 5000, 2000));
  Attach();
  // Range -100..2000 mA in the middle band of 200 px.
  EXPECT_FLOAT_EQ(m_Graph.m_CurrScale, 200 * 0.6f / 2100);
  EXPECT_EQ(m_Graph.m_CurrZero, 200 + 39 + 5);
  const AreaSpan curr = m_Graph.Layout().curr;
  EXPECT_EQ(curr.zeroY, 64 + 600 - 244);
  EXPECT_EQ(curr.top, curr.zeroY - (static_cast<int>(2000 * m_Graph.m_CurrScale) + 16));
}

TEST_F(GraphModelTest, VoltageRangeIsAtLeastFiveVolts) {
  SetPlot(1000, 600);
  Add(Store(), Sample(0, 3300, 0));
  Attach();
  EXPECT_EQ(m_Graph.m_VoltMin, 0);
  EXPECT_EQ(m_Graph.m_VoltMax, 5000);
  EXPECT_EQ(m_Graph.m_CurrMin, -100);
  EXPECT_EQ(m_Graph.m_CurrMax, 100);
}

TEST_F(GraphModelTest, NoSamplesSpanTheFirstHundredSeconds) {
  SetPlot(1000, 600);
  Attach();
  EXPECT_EQ(m_Graph.m_FirstTime, 0);
  EXPECT_EQ(m_Graph.m_LastTime, 100000000);
  EXPECT_FLOAT_EQ(m_Graph.m_TimeScale, 990.0f / 100000000);
}

TEST_F(GraphModelTest, SingleSampleFitsAMillisecond) {
  SetPlot(1000, 600);
  Add(Store(), Sample(5000, 5000, 0));
  Attach();
  EXPECT_FLOAT_EQ(m_Graph.m_TimeScale, 990.0f / 1000);
  EXPECT_EQ(m_Graph.m_ViewCentre, 5000);
  EXPECT_TRUE(m_Graph.IsTimeVisible(5000));
}

TEST_F(GraphModelTest, CurrentAxisTurnsOverOnlyForALargerNegativeExcursion) {
  struct Case {
    int low, high;
    bool reversed, inverted;
  };
  const Case cases[] = {
      {-3000, 500, false, true},
      {-500, 500, false, false},
      {-3000, 500, true, false},  // reversed, the excursion is positive
      {-500, 3000, true, true},
  };
  for (const Case& c : cases) {
    CZKDoc doc;
    Add(doc.Store(), Sample(0, 5000, c.low));
    Add(doc.Store(), Sample(10, 5000, c.high));
    CGraphModel graph;
    graph.SetClientSize(1300, 738);
    graph.AttachDocument(&doc, c.reversed);
    EXPECT_EQ(graph.m_InvertCurrAxis, c.inverted) << c.low << ".." << c.high << " reversed " << c.reversed;
  }
}

TEST_F(GraphModelTest, InvertedCurrentAreaPutsTheNegativeSideOnTop) {
  SetPlot(1000, 600);
  Add(Store(), Sample(0, 5000, -3000));
  Add(Store(), Sample(10, 5000, 500));
  Attach();
  ASSERT_TRUE(m_Graph.m_InvertCurrAxis);
  // Two areas: current is the bottom band of 300 px; max 500 mA lifts the zero line.
  const float scale = 300 * 0.6f / 3500;
  EXPECT_FLOAT_EQ(m_Graph.m_CurrScale, scale);
  EXPECT_EQ(m_Graph.m_CurrZero, 0 + 59 + static_cast<int>(500 * scale));
  const AreaSpan curr = m_Graph.Layout().curr;
  EXPECT_EQ(curr.top, curr.zeroY - (16 - static_cast<int>(-3000 * scale)));
  EXPECT_EQ(curr.bottom, curr.zeroY - (-static_cast<int>(500 * scale) - 16));
}

TEST_F(GraphModelTest, ValueZoomKeepsTheMiddleOfThePlot) {
  SetPlot(1000, 600);
  m_Graph.m_VoltZero = 100;
  m_Graph.m_VoltScale = 0.05f;
  m_Graph.ZoomVoltage(true);
  EXPECT_FLOAT_EQ(m_Graph.m_VoltScale, 0.06f);
  EXPECT_EQ(m_Graph.m_VoltZero, 100 - static_cast<int>(200 * 0.20000005f));
  m_Graph.ZoomVoltage(false);
  EXPECT_EQ(m_Graph.m_VoltZero, 60 - static_cast<int>(240 * -0.16666669f));
}

TEST_F(GraphModelTest, RectangleZoomCentresTheRectangle) {
  SetPlot(1000, 600);
  m_Graph.m_TimeScale = 0.5f;
  m_Graph.SetCentre(10000);
  m_Graph.m_VoltZero = 100;
  m_Graph.m_VoltScale = 0.1f;
  // 200 px wide (400 us), 150 px high.
  m_Graph.ZoomRectangle(150 + 100, 64 + 100, 150 + 300, 64 + 250);
  EXPECT_FLOAT_EQ(m_Graph.m_VoltScale, 0.4f);
  EXPECT_EQ(m_Graph.m_VoltZero, 300 - static_cast<int>((600 - 175 - 100) * 4.0f));
  EXPECT_FLOAT_EQ(m_Graph.m_TimeScale, 1000.0f / 400);
  EXPECT_EQ(m_Graph.m_ViewCentre, 9000 + 400);

  const float before = m_Graph.m_TimeScale;
  m_Graph.ZoomRectangle(200, 100, 205, 300);  // too narrow
  EXPECT_EQ(m_Graph.m_TimeScale, before);
}

TEST_F(GraphModelTest, RepeatedRectangleZoomKeepsAFiniteScale) {
  SetPlot(1000, 600);
  for (int i = 0; i < 10; ++i) m_Graph.ZoomRectangle(150, 64, 150 + 11, 64 + 11);
  EXPECT_TRUE(std::isfinite(m_Graph.m_TimeScale));
  EXPECT_GT(m_Graph.m_TimeScale, 0);
  EXPECT_LE(m_Graph.m_ViewStart, m_Graph.m_ViewEnd);
}

TEST_F(GraphModelTest, FollowingWidensRangesAndJumpsToTheNewestSample) {
  SetPlot(1000, 600);
  Add(Store(), Sample(0, 5000, 500));
  Attach();
  Add(Store(), Sample(1000000000, 9000, 3000));
  m_Graph.FollowCapture(1000000000);
  EXPECT_EQ(m_Graph.m_VoltMax, 9000);
  EXPECT_EQ(m_Graph.m_CurrMax, 3000);
  EXPECT_EQ(m_Graph.m_ViewCentre, 1000000000);
}

TEST_F(GraphModelTest, TimeOriginShiftKeepsTheSameMoment) {
  SetPlot(1000, 600);
  Add(Store(), Sample(0, 5000, 0));
  Add(Store(), Sample(2000000, 5000, 0));
  Attach();
  m_Graph.SetMarkerO(1000000);
  const std::int64_t start = m_Graph.m_ViewStart;
  m_Doc.SetTimeOrigin(500000, false);
  EXPECT_EQ(m_Graph.m_MarkerO, 500000);
  EXPECT_EQ(m_Graph.m_ViewStart, start - 500000);
  EXPECT_EQ(m_Graph.m_LastTime, 1500000);
  EXPECT_TRUE(m_Doc.IsModified());
  std::int64_t o = 0, x = 0;
  EXPECT_TRUE(m_Graph.GraphMarkers(o, x));
  EXPECT_EQ(o, 500000);
}

TEST_F(GraphModelTest, MarkerCommandsNeedARightClickInThePlot) {
  Attach();
  m_Graph.m_RightClickTime = 777;
  m_Graph.SetMarkerOHere();
  EXPECT_EQ(m_Graph.m_MarkerO, 0);
  EXPECT_FALSE(m_Doc.MarkersChanged());
  m_Graph.m_RightClickValid = true;
  m_Graph.SetMarkerXHere();
  EXPECT_EQ(m_Graph.m_MarkerX, 777);
  EXPECT_TRUE(m_Doc.MarkersChanged());
}

// ---- energy --------------------------------------------------------------------

TEST(VbusEnergyTest, ConstantPowerGivesTheMilliwattHourForm) {
  CaptureStore store;
  Add(store, Sample(0, 5000, 1000));
  Add(store, Sample(3600000000LL, 5000, 1000));
  const auto e = IntegrateVbusEnergy(store, 0, 3600000000LL);
  ASSERT_TRUE(e);
  EXPECT_FLOAT_EQ(e->positive, 18000000.0f);
  EXPECT_EQ(e->negative, 0);
  EXPECT_EQ(EnergyText(e, 3600000000LL, false), " (5000.00[mWh] Ave=5.00[W])");
  EXPECT_EQ(EnergyText(e, -3600000000LL, true), " (-5000.00[mWh] Ave=-5.00[W])");
}

TEST(VbusEnergyTest, BeyondAMillionMilliwattHoursGivesTheWattHourForm) {
  CaptureStore store;
  Add(store, Sample(0, 20000, 5000));
  Add(store, Sample(37800000000LL, 20000, 5000));
  const auto e = IntegrateVbusEnergy(store, 0, 37800000000LL);
  EXPECT_EQ(EnergyText(e, 37800000000LL, false), " (1050.00[Wh] Ave=100.00[W]");
}

TEST(VbusEnergyTest, ZeroCrossingSplitsTheSegment) {
  CaptureStore store;
  Add(store, Sample(0, 5000, -100));
  Add(store, Sample(4, 5000, 300));
  const auto e = IntegrateVbusEnergy(store, 0, 4);
  ASSERT_TRUE(e);
  // Last 3 us at the end power 1.5 W to E+, first 1 us at the start power 0.5 W to E-.
  EXPECT_FLOAT_EQ(e->positive, 1500000.0f * 3 / 2 / 1e9f);
  EXPECT_FLOAT_EQ(e->negative, 500000.0f * 1 / 2 / 1e9f);
}

TEST(VbusEnergyTest, InterpolatesBothEndsBetweenSamples) {
  CaptureStore store;
  Add(store, Sample(0, 10000, 0));
  Add(store, Sample(1000, 10000, 1000));
  // 250..750 us: current 250 -> 750 mA at 10 V, mean 5 W over 500 us.
  const auto e = IntegrateVbusEnergy(store, 250, 750);
  ASSERT_TRUE(e);
  EXPECT_FLOAT_EQ(e->positive, 2.5f);
}

TEST(VbusEnergyTest, NothingBeforeTheFirstSample) {
  CaptureStore store;
  Add(store, Sample(100, 5000, 1000));
  EXPECT_FALSE(IntegrateVbusEnergy(store, 0, 200));
  EXPECT_EQ(EnergyText(std::nullopt, 200, false), "");
}

TEST_F(GraphModelTest, MeasurementLinesFromOToXAAndB) {
  SetPlot(1000, 600);
  m_Graph.m_ShowWattArea = true;
  Add(Store(), Sample(0, 5000, 1000));
  Add(Store(), Sample(3000000, 5000, 1000));
  auto packet = std::make_unique<CCCPacket>();
  packet->m_Time = 2500000;
  Store().InsertPacket(std::move(packet));
  Store().SetMarkerB(Store().PacketAt(0));
  Attach();
  m_Graph.SetMarkerO(2000000);
  m_Graph.SetMarkerX(1000000);
  const auto lines = m_Graph.MeasurementLines();
  ASSERT_EQ(lines.size(), 2u);
  // Integrated from 1 s to 2 s: 5 J = 1.39 mWh, the average positive.
  EXPECT_EQ(lines[0].text, "O to X : - 1s   0ms   0us (1.39[mWh] Ave=5.00[W])");
  EXPECT_EQ(lines[1].kind, CGraphModel::MeasurementLine::kOtoB);
  EXPECT_EQ(lines[1].text, "O to B :   0s 500ms   0us");

  m_Graph.SetMarkerX(-5);  // before the first sample: no energy text
  EXPECT_EQ(m_Graph.MeasurementLines()[0].text, "O to X : - 2s   0ms   5us");
}

TEST(SampleValueTextTest, FormatsAndDirection) {
  CVbusInfo s = Sample(0, 20000, -1234, 1650, 420);
  s.m_CC2Current = 15;
  EXPECT_EQ(SampleVbusVoltageText(s), "20.00");
  EXPECT_EQ(SampleVbusCurrentText(s, false), "-1.234");
  EXPECT_EQ(SampleVbusCurrentText(s, true), "1.234");
  EXPECT_EQ(SampleVbusWattageText(s, true), "24.680");
  EXPECT_EQ(SampleCcVoltageText(s, false), "1.65");
  EXPECT_EQ(SampleCcVoltageText(s, true), "0.42");
  EXPECT_EQ(SampleCcCurrentText(s, true, true), "-0.015");
}

// ---- trace walk ----------------------------------------------------------------

TraceRequest Request(GraphChannel c, std::int64_t start, std::int64_t end, float timeScale, float scale) {
  TraceRequest r;
  r.channel = c;
  r.zeroY = 500;
  r.scale = scale;
  r.viewStart = start;
  r.viewEnd = end;
  r.timeScale = timeScale;
  return r;
}

TEST(TraceWalkTest, ColumnOfAThousandSamplesKeepsItsExtremes) {
  CaptureStore store;
  Add(store, Sample(0, 5000, 0));
  // 1000 samples in column 10: 0 V up to 20 V and back down to 5 V.
  for (int i = 0; i < 1000; ++i) {
    const int mv = i < 500 ? i * 40 : 20000 - (i - 500) * 30;
    Add(store, Sample(10000 + i, mv, 0));
  }
  Add(store, Sample(30000, 5000, 0));
  std::vector<TracePoint> points;
  WalkTrace(store, Request(kChVbusVolt, 0, 40000, 0.001f, 0.01f), nullptr, points);
  int top = 500, bottom = 0;
  for (const TracePoint& p : points) {
    if (p.x != 10) continue;
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  EXPECT_EQ(top, 500 - 200);  // 20 V, the highest sample
  EXPECT_EQ(bottom, 500);
  // The column is left at its last value, 5.03 V.
  const auto leave = std::find_if(points.begin(), points.end(), [](const TracePoint& p) { return p.x == 30; });
  ASSERT_NE(leave, points.begin());
  EXPECT_EQ(*(leave - 1), (TracePoint{10, 500 - 50, TracePoint::kLine}));
  EXPECT_LT(points.size(), 250u);
}

TEST(TraceWalkTest, PeakSampleIsMarkedOnceOnVbusTraces) {
  CaptureStore store;
  for (int i = 0; i < 100; ++i) Add(store, Sample(i * 10, 5000, i == 40 || i == 60 ? 3000 : 100));
  TraceRequest rq = Request(kChVbusCurr, 0, 1000, 1.0f, 0.1f);
  SetPeaks(rq, store.SampleStats());
  std::vector<TracePoint> points;
  WalkTrace(store, rq, nullptr, points);
  const auto peaks =
      std::count_if(points.begin(), points.end(), [](const TracePoint& p) { return p.kind == TracePoint::kPeak; });
  EXPECT_EQ(peaks, 1);
  const auto peak =
      std::find_if(points.begin(), points.end(), [](const TracePoint& p) { return p.kind == TracePoint::kPeak; });
  EXPECT_EQ(peak->x, 400);

  rq.channel = kChCC1Volt;
  SetPeaks(rq, store.SampleStats());
  EXPECT_FALSE(rq.maxPeak);
}

// The summary may only skip samples that would not have drawn: every point must match.
TEST(TraceWalkTest, SummaryWalkYieldsTheSamePointsAsTheSampleWalk) {
  CaptureStore store;
  std::mt19937 rng(7);
  std::normal_distribution<double> noise(0, 300);
  std::int64_t t = 0;
  for (int i = 0; i < 300000; ++i) {
    t += 1 + static_cast<int>(rng() % 20);
    const int trend = (i / 20000) % 2 ? 20000 - (i % 20000) : i % 20000;  // ramps up and down
    const int spike = rng() % 5000 == 0 ? 15000 : 0;
    CVbusInfo s = Sample(t, std::clamp(trend + static_cast<int>(noise(rng)) + spike, 0, 65535),
                         std::clamp(static_cast<int>(noise(rng) * 3), -32768, 32767), static_cast<int>(noise(rng)),
                         1650 + static_cast<int>(noise(rng) / 10));
    s.m_CC1Current = static_cast<std::int16_t>(noise(rng));
    Add(store, s);
  }
  store.m_TimeOrigin = 12345;
  SampleSummary summary;
  summary.Update(store);

  struct Window {
    std::int64_t start, end;
    float timeScale, scale;
  };
  const Window windows[] = {
      {-20000, t + 20000, 1000.0f / static_cast<float>(t), 0.02f},
      {t / 3, t / 3 + 40000, 0.025f, 0.05f},
      {t / 2, t / 2 + 900, 1.0f, 0.3f},
      {-5000, -100, 0.5f, 0.02f},
      {t / 4, t / 4 + 1000000, 0.001f, 0.0f},
  };
  std::vector<TracePoint> plain, fast;
  for (const Window& w : windows) {
    for (int c = 0; c < kGraphChannelCount; ++c) {
      for (int sign : {1, -1}) {
        TraceRequest rq = Request(static_cast<GraphChannel>(c), w.start, w.end, w.timeScale, w.scale);
        rq.sign = sign;
        SetPeaks(rq, store.SampleStats());
        WalkTrace(store, rq, nullptr, plain);
        WalkTrace(store, rq, &summary, fast);
        ASSERT_EQ(plain, fast) << "channel " << c << " sign " << sign << " window " << w.start;
      }
    }
  }
}

TEST(SampleSummaryTest, StartsOverWhenTheOldestSamplesAreRemoved) {
  CaptureStore store;
  for (int i = 0; i < 200; ++i) Add(store, Sample(i, i * 10, 0));
  SampleSummary summary;
  summary.Update(store);
  EXPECT_EQ(summary.Block(0).values[kChVbusVolt].max, 630);
  store.RemoveOldestSamples(100);
  Add(store, Sample(300, 7, 0));
  summary.Update(store);
  EXPECT_EQ(summary.SampleCount(), 101);
  EXPECT_EQ(summary.Block(0).values[kChVbusVolt].min, 1000);
  EXPECT_EQ(summary.Block(1).values[kChVbusVolt].min, 7);
}

// ---- time axis -----------------------------------------------------------------

TEST(TimeAxisTest, StepFollowsTheSpanOf640Pixels) {
  struct Case {
    float scale;
    std::int64_t major, minor;
    TimeUnit unit;
  };
  const Case cases[] = {
      {1.0f, 100, 10, TimeUnit::kUs},                                              // 640 us
      {0.001f, 100000, 10000, TimeUnit::kMs},                                      // 640 ms
      {0.1f, 1000, 100, TimeUnit::kMs},                                            // 6.4 ms
      {10.0f, 10, 1, TimeUnit::kUs},                                               // 64 us
      {100.0f, 1, 1, TimeUnit::kUs},                                               // 6 us
      {640.0f / 7200000000.0f, 3600000000LL, 600000000, TimeUnit::kH},             // 2 h
      {CGraphModel::kMinTimeScale, 86400000000LL, 21600000000LL, TimeUnit::kDay},  // 62.5 h
  };
  for (const Case& c : cases) {
    const TimeAxisStep s = TimeAxisStepFor(c.scale);
    EXPECT_EQ(s.major, c.major) << c.scale;
    EXPECT_EQ(s.minor, c.minor) << c.scale;
    EXPECT_EQ(s.unit, c.unit) << c.scale;
  }
}

TEST(TimeAxisTest, LabelsCarryTheirUnitAndSign) {
  EXPECT_EQ(TimeAxisLabel(100, TimeUnit::kUs), "100us");
  EXPECT_EQ(TimeAxisLabel(100000, TimeUnit::kMs), "100ms");
  EXPECT_EQ(TimeAxisLabel(-5000000, TimeUnit::kS), "-5s");
  EXPECT_EQ(TimeAxisLabel(600000000, TimeUnit::kMin), "10min");
  EXPECT_EQ(TimeAxisLabel(172800000000LL, TimeUnit::kDay), "2day");
  EXPECT_EQ(TimeAxisLabel(std::numeric_limits<std::int64_t>::min(), TimeUnit::kH).substr(0, 1), "-");
}

}  // namespace
}  // namespace zk
