// The graph pane over a simulated SPR session, with markers, written to graph.png in the
// build folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>

#include <filesystem>

#include "app/memory_storage.h"
#include "app/settings.h"
#include "record/document.h"
#include "sim/scenarios.h"
#include "ui/graph/graph_painter.h"
#include "ui/graph/qt/dockable_graph.h"

namespace zk {
namespace {

TEST(GraphScreenshot, SprSessionWithMarkers) {
  const std::string record =
      (std::filesystem::temp_directory_path() / ("zk_graph_screenshot_" + std::to_string(getpid()) + ".zkr")).string();
  sim::ScenarioOptions so;
  so.name = "spr";
  so.seconds = 4.0;
  std::string error;
  ASSERT_TRUE(sim::WriteScenarioFile(so, record, error)) << error;
  CZKDoc doc;
  doc.OnOpenDocument(record);
  std::filesystem::remove(record);
  ASSERT_GT(doc.Store().SampleCount(), 1000);
  ASSERT_GT(doc.Store().PacketCount(), 3);

  MemoryStorage storage;
  storage.WriteNumber(kSettingsSection, "EnableGraphWattage", 1);
  AppSettings settings;
  CDockableGraph pane(doc, settings, storage);
  pane.resize(1400, 820);
  pane.show();
  QApplication::processEvents();
  CGraphView& view = pane.View();
  view.AttachDocument(&doc);
  CGraphModel& m = view.Model();
  m.SetMarkerO(m.m_FirstTime + (m.m_LastTime - m.m_FirstTime) / 5);
  m.SetMarkerX(m.m_FirstTime + (m.m_LastTime - m.m_FirstTime) * 3 / 4);
  m.m_HoverX = true;
  view.SetSelectedPacket(doc.Store().PacketAt(doc.Store().PacketCount() / 2));

  const QImage picture = pane.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QString out = QStringLiteral(ZK_TEST_OUTPUT_DIR "/graph.png");
  ASSERT_TRUE(picture.save(out)) << out.toStdString();

  // The VBUS voltage trace and at least one packet box are in the picture.
  const QRgb vbus = ToQColor(view.Drawing().m_Colors[kColorVBusVol]).rgb();
  int red = 0, side = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      red += picture.pixel(x, y) == vbus;
      side += picture.pixel(x, y) == qRgb(0, 0, 255) || picture.pixel(x, y) == qRgb(0, 100, 100);
    }
  }
  EXPECT_GT(red, 500);
  EXPECT_GT(side, 20);
}

}  // namespace
}  // namespace zk
