// Paint time of the graph over 10 million samples with all nine traces on: the whole record
// in the window, and a zoomed window of a few milliseconds. Also the one-off cost of building
// the min/max summary over all samples.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdint>

#include "record/document.h"
#include "ui/graph/graph_painter.h"

namespace {

constexpr int kSampleCount = 10000000;
constexpr std::int64_t kSampleStep = 10;  // us: 100 s of samples

// A noisy supply that steps between 5 V and 20 V with a load that comes and goes.
void FillStore(zk::CaptureStore& store) {
  std::uint32_t rng = 12345;
  auto noise = [&rng](int amplitude) {
    rng = rng * 1664525u + 1013904223u;
    return static_cast<int>((rng >> 8) % static_cast<std::uint32_t>(2 * amplitude + 1)) - amplitude;
  };
  for (int i = 0; i < kSampleCount; ++i) {
    const bool high = (i / 1500000) % 2 == 1;
    zk::CVbusInfo s;
    s.m_Time = static_cast<std::int64_t>(i) * kSampleStep;
    s.m_VbusVoltage = static_cast<std::uint16_t>((high ? 20000 : 5000) + noise(60));
    s.m_VbusCurrent = static_cast<std::int16_t>((i / 400000) % 3 * 900 + noise(40));
    s.m_CC1Voltage = static_cast<std::int16_t>(1650 + noise(20));
    s.m_CC2Voltage = static_cast<std::int16_t>(noise(10));
    s.m_CC1Current = static_cast<std::int16_t>(noise(15));
    s.m_CC2Current = static_cast<std::int16_t>(noise(5));
    store.AppendSample(s);
    store.CountSample(s);
  }
}

struct GraphFixture {
  zk::CZKDoc doc;
  zk::CGraphModel graph;
  zk::DrawingSettings settings = zk::DefaultDrawingSettings();
  QFont font{"DejaVu Sans"};
  QImage image{1920, 1000, QImage::Format_RGB32};

  GraphFixture() {
    FillStore(doc.Store());
    graph.SetClientSize(image.width(), image.height());
    graph.m_ShowWattArea = graph.m_ShowCC1Curr = graph.m_ShowCC2Curr = true;
    graph.AttachDocument(&doc, false);
  }
  void Paint() { zk::PaintGraph(image, graph, settings, font); }
};

GraphFixture& Fixture() {
  static int argc = 1;
  static char name[] = "zk_bench";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(argc, argv);
  static GraphFixture fixture;
  return fixture;
}

void BM_GraphPaintFullView(benchmark::State& state) {
  GraphFixture& f = Fixture();
  f.graph.FitTime();
  f.Paint();  // builds the summary once
  for (auto _ : state) f.Paint();
  state.counters["samples"] = static_cast<double>(f.doc.Store().SampleCount());
}
BENCHMARK(BM_GraphPaintFullView)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_GraphPaintZoomed(benchmark::State& state) {
  GraphFixture& f = Fixture();
  f.graph.m_TimeScale = 0.5f;  // 1770 px for about 3.5 ms
  f.graph.SetCentre(50000000);
  f.Paint();
  for (auto _ : state) f.Paint();
  f.graph.FitTime();
}
BENCHMARK(BM_GraphPaintZoomed)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Without the summary every trace walks all its samples: the baseline the summary removes.
void BM_GraphPaintFullViewBySample(benchmark::State& state) {
  GraphFixture& f = Fixture();
  f.graph.FitTime();
  for (auto _ : state) zk::PaintGraph(f.image, f.graph, f.settings, f.font, {false});
}
BENCHMARK(BM_GraphPaintFullViewBySample)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SampleSummaryBuild(benchmark::State& state) {
  GraphFixture& f = Fixture();
  zk::SampleSummary summary;
  for (auto _ : state) {
    summary.Reset();
    summary.Update(f.doc.Store());
  }
}
BENCHMARK(BM_SampleSummaryBuild)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
