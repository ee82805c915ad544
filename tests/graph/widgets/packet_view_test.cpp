// The waveform of one packet: labels and grid as data, then drawn from a decoded record.
#include "ui/graph/qt/packet_view.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "record/document.h"
#include "sim/scenarios.h"

namespace zk {
namespace {

// Eleven 8-tick intervals at tick divider 20; the first begins no bit, then bits 0 to 9:
// two preamble bits, two frame bits, five EOP bits and one after them.
CCCPacket Crafted() {
  CCCPacket p;
  p.m_TickDiv = 20;
  for (int i = 0; i < 11; ++i) {
    EdgeRecord e;
    e.duration = 8;
    e.SetClass(1);
    e.SetRole(1);
    e.bitIndex = i == 0 ? 0xFFFF : static_cast<std::uint16_t>(i - 1);
    p.m_pEdges.push_back(e);
    p.m_pBits.PushBack(i % 2);
  }
  p.m_EdgeCount = 11;
  p.m_TotalTicks = 88;
  p.m_PreambleStart = 0;
  p.m_SopStart = 2;
  p.m_EopPos = 4;
  p.m_UnitInterval = 3.33f;
  return p;
}

std::vector<std::string> TextsAt(const WaveformDrawing& d, int x) {
  std::vector<std::string> texts;
  for (const WaveformLabel& l : d.labels) {
    if (l.x == x) texts.push_back(l.text);
  }
  return texts;
}

bool Has(const WaveformDrawing& d, const std::string& text) {
  return std::any_of(d.labels.begin(), d.labels.end(), [&](const WaveformLabel& l) { return l.text == text; });
}

TEST(WaveformLayout, LabelsOfEachInterval) {
  const CCCPacket p = Crafted();
  const WaveformDrawing d = LayOutWaveform(&p);
  ASSERT_EQ(d.edgeLines.size(), 11u);
  EXPECT_EQ(d.edgeLines[0], 349);  // 8 ticks of 0.4167 us end at 3.33 us
  // The first interval begins no bit: number, duration, tick, length, class and role only.
  EXPECT_EQ(TextsAt(d, 349), (std::vector<std::string>{"#0", "8[UT]", "UT=416[ns]", "3.33[us]", "1bit", "Zero"}));
  const int x1 = d.edgeLines[1];
  EXPECT_EQ(TextsAt(d, x1), (std::vector<std::string>{"#1", "8[UT]", "UT=416[ns]", "3.33[us]", "1bit", "Zero",
                                                      "Bit#0:0", "Preamble Start", "PA#0"}));
  for (const WaveformLabel& l : d.labels) {
    if (l.text == "Sync Start") EXPECT_EQ(l.x, d.edgeLines[3]);
    if (l.text == "FR#1") EXPECT_EQ(l.x, d.edgeLines[4]);
    if (l.text == "EOP Start") EXPECT_EQ(l.y, 105);
  }
  for (int k = 0; k < 5; ++k) EXPECT_TRUE(Has(d, "EOP#" + std::to_string(k))) << k;
  EXPECT_FALSE(Has(d, "EOP#5"));
  EXPECT_EQ(TextsAt(d, d.edgeLines[10]).size(), 7u);  // bit 9 lies past the EOP: no position
}

TEST(WaveformLayout, ClassesAndRolesCarryTheirBackgrounds) {
  CCCPacket p = Crafted();
  p.m_pEdges[0].SetClass(0);
  p.m_pEdges[0].SetRole(0);
  p.m_pEdges[1].SetClass(3);
  p.m_pEdges[1].SetRole(7);
  p.m_pEdges[2].SetClass(6);
  p.m_pEdges[2].SetRole(3);
  const WaveformDrawing d = LayOutWaveform(&p);
  auto bg = [&](const std::string& text) {
    for (const WaveformLabel& l : d.labels) {
      if (l.text == text) return l.background;
    }
    ADD_FAILURE() << text;
    return WaveformBackground::kWhite;
  };
  EXPECT_EQ(bg("short"), WaveformBackground::kRed);
  EXPECT_EQ(bg("???"), WaveformBackground::kRed);
  EXPECT_EQ(bg("1or2bits"), WaveformBackground::kCyan);
  EXPECT_EQ(bg("Invalid"), WaveformBackground::kRed);
  EXPECT_EQ(bg("2bits*"), WaveformBackground::kCyan);
  EXPECT_EQ(bg("One(s)"), WaveformBackground::kWhite);
}

TEST(WaveformLayout, MissingEopLeavesNoFrameOrEopLabels) {
  CCCPacket p = Crafted();
  p.m_EopPos = -1;
  const WaveformDrawing d = LayOutWaveform(&p);
  EXPECT_TRUE(Has(d, "PA#1"));
  for (const WaveformLabel& l : d.labels) {
    EXPECT_NE(l.text.rfind("FR#", 0), 0u) << l.text;
    EXPECT_NE(l.text.rfind("EOP#", 0), 0u) << l.text;
  }
}

TEST(WaveformLayout, GridStartsAtTheSecondPreambleBit) {
  const CCCPacket p = Crafted();
  const WaveformDrawing d = LayOutWaveform(&p);
  // From the start of bit 1 (6.67 us) to the packet's 36 us in steps of 3.33 us.
  ASSERT_EQ(d.gridLines.size(), 9u);
  EXPECT_EQ(d.gridLines[0], d.edgeLines[1]);
  EXPECT_EQ(d.gridLines[1], static_cast<int>(100 * (20.0f * 16 / 48 + 3.33f)) + 16);
}

TEST(WaveformLayout, HostileValuesDrawNothingOrAFiniteGrid) {
  EXPECT_TRUE(LayOutWaveform(nullptr).edgeLines.empty());
  CCCPacket released = Crafted();
  released.ReleaseEdges();  // edges not kept
  EXPECT_TRUE(LayOutWaveform(&released).labels.empty());

  CCCPacket overlong = Crafted();
  overlong.m_EdgeCount = 5000;  // more than the list holds
  EXPECT_EQ(LayOutWaveform(&overlong).edgeLines.size(), 11u);

  for (float ui : {-3.3f, 1e-30f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    CCCPacket p = Crafted();
    p.m_UnitInterval = ui;
    p.m_TotalTicks = std::numeric_limits<std::int32_t>::max();
    EXPECT_LE(LayOutWaveform(&p).gridLines.size(), 100000u) << ui;
  }
}

TEST(PacketView, DrawsADecodedPacketWithItsGrid) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("zk_packet_view_test_" + std::to_string(getpid()) + ".zkr")).string();
  sim::ScenarioOptions so;
  so.seconds = 1.0;
  std::string error;
  ASSERT_TRUE(sim::WriteScenarioFile(so, path, error)) << error;
  CZKDoc doc;
  doc.Store().m_KeepEdges = true;
  doc.OnOpenDocument(path);
  std::filesystem::remove(path);
  const CCCPacket* packet = nullptr;
  for (int i = 0; i < doc.Store().PacketCount() && !packet; ++i) {
    const CCCPacket* p = doc.Store().PacketAt(i);
    if (p->m_CrcOk && !p->m_pEdges.empty()) packet = p;
  }
  ASSERT_NE(packet, nullptr);

  CDockablePacketView pane;
  EXPECT_EQ(pane.windowTitle(), "Packet");
  CPacketView& view = pane.View();
  QImage image(1200, 200, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    view.Render(painter, 0, 0, image.width(), image.height());
  }
  EXPECT_EQ(image, [] {
    QImage blank(1200, 200, QImage::Format_RGB32);
    blank.fill(Qt::white);
    return blank;
  }()) << "nothing without a packet";

  pane.SetPacket(packet);
  {
    QPainter painter(&image);
    view.Render(painter, 0, 0, image.width(), image.height());
  }
  const WaveformDrawing d = LayOutWaveform(packet);
  ASSERT_FALSE(d.gridLines.empty());
  int checked = 0;
  for (int x : d.gridLines) {
    if (x >= image.width() || std::count(d.edgeLines.begin(), d.edgeLines.end(), x)) continue;
    EXPECT_EQ(image.pixel(x, 190), qRgb(0, 0, 255)) << x;
    ++checked;
  }
  for (int x : d.edgeLines) {
    if (x >= image.width()) continue;
    EXPECT_EQ(image.pixel(x, 190), qRgb(0, 0, 0)) << x;
    ++checked;
  }
  EXPECT_GT(checked, 4);
  // The first interval's number stands left of its end line.
  const int x0 = d.edgeLines[0];
  bool text = false;
  for (int x = x0 - 20; x < x0; ++x) {
    for (int y = 0; y < 15; ++y) text = text || image.pixel(x, y) == qRgb(0, 0, 0);
  }
  EXPECT_TRUE(text);
}

}  // namespace
}  // namespace zk
