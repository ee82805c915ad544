#include "record/capture_store.h"

#include <gtest/gtest.h>

#include <memory>

namespace zk {
namespace {

std::unique_ptr<CCCPacket> PacketAt(std::int64_t time, int channel = 0) {
  auto p = std::make_unique<CCCPacket>();
  p->m_Time = time;
  p->m_Channel = channel;
  return p;
}

TEST(CaptureStore, InsertKeepsTimeOrderAndArrivalOrderOfTies) {
  CaptureStore store;
  store.InsertPacket(PacketAt(100));
  store.InsertPacket(PacketAt(300));
  store.InsertPacket(PacketAt(200, 1));  // a CC2 packet older than the last CC1 one
  store.InsertPacket(PacketAt(300, 1));  // tie: after the earlier 300
  store.InsertPacket(PacketAt(50, 1));   // before everything
  ASSERT_EQ(store.PacketCount(), 5);
  const std::int64_t times[] = {50, 100, 200, 300, 300};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(store.PacketAt(i)->m_Time, times[i]);
    EXPECT_EQ(store.PacketAt(i)->m_Index, i);
  }
  EXPECT_EQ(store.PacketAt(3)->m_Channel, 0);
  EXPECT_EQ(store.PacketAt(4)->m_Channel, 1);
  EXPECT_EQ(store.PacketAt(5), nullptr);
  EXPECT_EQ(store.PacketAt(-1), nullptr);
}

TEST(CaptureStore, FindByShownTime) {
  CaptureStore store;
  EXPECT_EQ(store.FindPacketByTime(0), -1);
  for (std::int64_t t : {10, 20, 20, 40}) store.InsertPacket(PacketAt(t));
  store.m_TimeOrigin = 5;  // shown times 5, 15, 15, 35
  struct Case {
    std::int64_t t;
    int index;
  } cases[] = {{4, -1}, {5, 0}, {14, 0}, {15, 2}, {34, 2}, {35, 3}, {1000, 3}};
  for (const Case& c : cases) EXPECT_EQ(store.FindPacketByTime(c.t), c.index) << c.t;

  for (std::int64_t t : {0, 1000, 2000}) {
    CVbusInfo s;
    s.m_Time = t;
    store.AppendSample(s);
  }
  EXPECT_EQ(store.FindSampleByTime(-6), -1);
  EXPECT_EQ(store.FindSampleByTime(995), 1);
  EXPECT_EQ(store.FindSampleByTime(5000), 2);
}

TEST(CaptureStore, RemovingOldestPacketsClearsEveryReferenceToThem) {
  CaptureStore store;
  for (int i = 0; i < 6; ++i) store.InsertPacket(PacketAt(i * 10));
  CCCPacket* caps = store.PacketAt(1);
  store.PacketAt(4)->m_pSourceCaps = caps;
  store.PacketAt(5)->m_pSourceCaps = store.PacketAt(3);
  store.SetMarkerA(store.PacketAt(0));
  store.SetMarkerB(store.PacketAt(5));
  store.m_Context.latestSourceCaps = caps;
  auto buffer = std::make_shared<std::vector<std::uint8_t>>(60, 0xAB);
  store.PacketAt(2)->m_pExtBuf = buffer;  // chunk 0, owner
  store.PacketAt(2)->m_OwnsExtBuf = 1;
  store.PacketAt(3)->m_pExtBuf = buffer;  // chunk 1

  store.RemoveOldestPackets(3);
  ASSERT_EQ(store.PacketCount(), 3);
  EXPECT_EQ(store.PacketAt(0)->m_Time, 30);
  EXPECT_EQ(store.PacketAt(0)->m_Index, 0);
  EXPECT_EQ(store.MarkerA(), nullptr);
  EXPECT_EQ(store.MarkerB(), store.PacketAt(2));
  EXPECT_EQ(store.m_Context.latestSourceCaps, nullptr);
  EXPECT_EQ(store.PacketAt(1)->m_pSourceCaps, nullptr);
  EXPECT_EQ(store.PacketAt(2)->m_pSourceCaps, store.PacketAt(0));
  // The later chunk keeps the shared buffer alive after its owner went.
  ASSERT_NE(store.PacketAt(0)->m_pExtBuf, nullptr);
  EXPECT_EQ((*store.PacketAt(0)->m_pExtBuf)[59], 0xAB);
}

TEST(CaptureStore, SampleStatisticsStartAtZero) {
  CaptureStore store;
  CVbusInfo a;
  a.m_VbusVoltage = 5000;
  a.m_VbusCurrent = 1000;
  a.m_CC1Voltage = 1700;
  store.CountSample(a);
  CVbusInfo b;
  b.m_VbusVoltage = 20000;
  b.m_VbusCurrent = -2500;
  store.CountSample(b);
  const SampleStatistics& s = store.SampleStats();
  EXPECT_EQ(s.maxVoltage, 20000);
  EXPECT_EQ(s.minCurrent, -2500);
  EXPECT_EQ(s.maxCurrent, 1000);
  EXPECT_EQ(s.maxPower, 5000);
  EXPECT_EQ(s.minPower, -50000);
  EXPECT_EQ(s.maxVbusPower, 5000);
  EXPECT_EQ(s.maxVbusPowerVoltage, 5000);
  EXPECT_EQ(s.minVbusPower, -50000);
  EXPECT_EQ(s.minVbusPowerCurrent, -2500);
}

TEST(CaptureStore, MeasurementFromLatestSampleAtOrBefore) {
  CaptureStore store;
  CCCPacket p;
  EXPECT_FALSE(store.FillMeasurement(p));
  for (int i = 0; i < 3; ++i) {
    CVbusInfo s;
    s.m_Time = 1000 * (i + 1);
    s.m_VbusVoltage = static_cast<std::uint16_t>(5000 + i);
    store.AppendSample(s);
  }
  p.m_Time = 2500;
  ASSERT_TRUE(store.FillMeasurement(p));
  EXPECT_EQ(p.m_VbusVoltage, 5001);
  EXPECT_TRUE(p.m_HasMeasure);
  p.m_Time = 10;  // before every sample: the first one
  store.FillMeasurement(p);
  EXPECT_EQ(p.m_VbusVoltage, 5000);
}

// The loader's search from the previous answer finds what the halving search finds, whatever
// the hint, across runs of equal sample times.
TEST(CaptureStore, MeasurementFromAHintMatchesTheFullSearch) {
  CaptureStore store;
  const std::int64_t times[] = {100, 200, 200, 200, 300, 450, 450, 900, 901, 2000};
  for (std::size_t i = 0; i < std::size(times); ++i) {
    CVbusInfo s;
    s.m_Time = times[i];
    s.m_VbusVoltage = static_cast<std::uint16_t>(i);
    store.AppendSample(s);
  }
  for (std::int64_t t : {0, 99, 100, 150, 200, 201, 449, 450, 899, 900, 901, 1999, 2000, 5000}) {
    CCCPacket expected;
    expected.m_Time = t;
    store.FillMeasurement(expected);
    for (int hint : {-3, 0, 1, 3, 5, 9, 10, 50}) {
      CCCPacket p;
      p.m_Time = t;
      int h = hint;
      ASSERT_TRUE(store.FillMeasurement(p, h));
      EXPECT_EQ(p.m_VbusVoltage, expected.m_VbusVoltage) << "t " << t << " hint " << hint;
      EXPECT_EQ(h, p.m_VbusVoltage);  // the hint is left at the sample found
    }
  }
}

}  // namespace
}  // namespace zk
