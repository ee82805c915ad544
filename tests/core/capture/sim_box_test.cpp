#include "capture/sim_box.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "capture/device_link.h"
#include "capture/sim_traffic.h"

namespace zk {
namespace {

struct Drained {
  std::vector<std::uint8_t> bytes;
  std::vector<RawSample> samples;
  int ccRecords = 0;
};

// Reads for the given real time and sorts out what came.
Drained ReadFor(SimBox& box, std::chrono::milliseconds duration) {
  Drained d;
  std::vector<std::uint8_t> buffer(kBulkReadSize);
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    const ReadResult r = box.Read(buffer.data(), buffer.size(), 20);
    if (r.status == ReadStatus::NoDevice) break;
    if (r.status != ReadStatus::Data) continue;
    EXPECT_EQ(r.bytes % kRecordSize, 0u);
    d.bytes.insert(d.bytes.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(r.bytes));
  }
  for (std::size_t i = 0; i + kRecordSize <= d.bytes.size(); i += kRecordSize) {
    const std::uint8_t* rec = d.bytes.data() + i;
    if (KindOfRecord(rec) == RecordKind::CC) ++d.ccRecords;
    if (KindOfRecord(rec) != RecordKind::Sample) continue;
    for (int k = 0; k < SampleCountOfRecord(rec); ++k) d.samples.push_back(ReadRawSample(rec, k));
  }
  return d;
}

TEST(SimBox, IdentifiesAsAnAcceptedBox) {
  SimBox box;
  CDeviceLink link(box);
  link.SetSamplingIntervalSetting(10);
  ASSERT_TRUE(link.PollDevice());
  EXPECT_EQ(link.FirmwareText(), "1.03");
  EXPECT_EQ(link.FirmwareVersion(), 0x0103);
  EXPECT_EQ(link.SerialText(), "5A4B0001000200030004A5B6");
  EXPECT_EQ(box.CommandCount(), 3);  // interval, then both lines set to none
}

TEST(SimBox, CcVoltageFollowsTheResistors) {
  struct Case {
    std::vector<CcResistor> on;
    std::uint16_t mv;
  };
  const Case cases[] = {
      {{}, 0},
      {{CcResistor::Rd}, 0},
      {{CcResistor::RpDefault, CcResistor::Rd}, 420},
      {{CcResistor::Rp1A5, CcResistor::Rd}, 920},
      {{CcResistor::Rp3A0, CcResistor::Rd}, 1680},
      {{CcResistor::Rp3A0, CcResistor::Ra}, 400},
      {{CcResistor::RpDefault, CcResistor::Rp3A0, CcResistor::Rd}, 1680},
      {{CcResistor::Rp1A5}, 5000},
  };
  for (const Case& c : cases) EXPECT_EQ(CcLineVoltage(c.on), c.mv) << c.on.size();
}

TEST(SimBox, ConnectionAndCommandsShowInTheSamples) {
  SimBoxOptions o;
  o.speed = 10;
  o.attachUs = 100000;
  o.vbusOnDelayUs = 100000;
  SimBox box(o);
  CDeviceLink link(box);
  ASSERT_TRUE(link.PollDevice());
  // 10 ms at ten times real speed: one sample per real millisecond.
  Drained d = ReadFor(box, std::chrono::milliseconds(60));
  ASSERT_GT(d.samples.size(), 20u);
  EXPECT_EQ(d.samples.front().vbusVoltage, 0);
  EXPECT_EQ(d.samples.front().cc1Voltage, 5000);  // the source's Rp alone
  EXPECT_EQ(d.samples.back().vbusVoltage, 5000);
  EXPECT_EQ(d.samples.back().cc1Voltage, 1680);  // the sink's Rd has attached
  EXPECT_EQ(d.samples.back().cc2Voltage, 0);     // the cable's Ra, no Rp on CC2
  EXPECT_EQ(d.samples[1].timestamp - d.samples[0].timestamp, 10000u);

  ASSERT_TRUE(link.SendInjection(1, CcResistor::Rp1A5));
  ASSERT_TRUE(link.SendSamplingInterval(2));
  EXPECT_EQ(box.Injection(1), CcResistor::Rp1A5);
  EXPECT_EQ(box.SamplingIntervalMs(), 2u);
  d = ReadFor(box, std::chrono::milliseconds(20));
  ASSERT_GT(d.samples.size(), 10u);
  EXPECT_EQ(d.samples.back().cc2Voltage, 200);  // Rp 1.5 A against the cable's Ra
  EXPECT_EQ(d.samples[2].timestamp - d.samples[1].timestamp, 2000u);
}

TEST(SimBox, UnplugReplugAndFirmwareUpdate) {
  SimBox box;
  CDeviceLink link(box);
  ASSERT_TRUE(link.PollDevice());
  std::uint8_t buffer[kBulkReadSize];
  box.Unplug();
  EXPECT_EQ(box.Read(buffer, sizeof buffer, 50).status, ReadStatus::NoDevice);
  EXPECT_FALSE(link.PollDevice());
  EXPECT_FALSE(link.PollDevice());
  box.Replug();
  EXPECT_TRUE(link.PollDevice());
  ASSERT_TRUE(link.SendEnterFirmwareUpdate());
  EXPECT_TRUE(box.InFirmwareUpdate());
  EXPECT_FALSE(link.PollDevice());
  EXPECT_FALSE(box.WriteCommand(FirmwareUpdateCommand()));
}

TEST(SimBox, UnplugEndsABlockedRead) {
  SimBoxOptions o;
  o.samplingIntervalMs = 60000;  // silent after its first sample
  SimBox box(o);
  ASSERT_EQ(box.Open(), 0);
  std::uint8_t buffer[kBulkReadSize];
  ASSERT_EQ(box.Read(buffer, sizeof buffer, 100).status, ReadStatus::Data);
  std::thread unplug([&box] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    box.Unplug();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(box.Read(buffer, sizeof buffer, 5000).status, ReadStatus::NoDevice);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  unplug.join();
}

TEST(SimBox, DigestCoversEveryDeliveredByte) {
  SimBoxOptions o;
  o.speed = 50;
  SimBox box(o);
  ASSERT_EQ(box.Open(), 0);
  sim::ScenarioOptions so;
  so.name = "spr";
  so.seconds = 1.0;
  auto traffic = ScenarioTraffic::Make(so);
  ASSERT_NE(traffic, nullptr);
  box.StartTraffic(std::move(traffic));
  const Drained d = ReadFor(box, std::chrono::milliseconds(60));
  EXPECT_TRUE(box.TrafficDone());
  EXPECT_GT(d.ccRecords, 10);
  StreamDigest mine;
  mine.Update(d.bytes.data(), d.bytes.size());
  EXPECT_EQ(box.Digest(), mine);
  EXPECT_EQ(box.DroppedBytes(), 0u);
}

TEST(SimBox, UnknownScenarioGivesNoTraffic) {
  sim::ScenarioOptions so;
  so.name = "nonesuch";
  EXPECT_EQ(ScenarioTraffic::Make(so), nullptr);
}

TEST(SimBox, FloodFillsWholeTransfers) {
  SimBoxOptions o;
  o.floodBytesPerSecond = kHighSpeedBulkBytesPerSecond;
  SimBox box(o);
  ASSERT_EQ(box.Open(), 0);
  std::vector<std::uint8_t> buffer(kBulkReadSize);
  std::uint64_t bytes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 200; ++i) {
    const ReadResult r = box.Read(buffer.data(), buffer.size(), 100);
    ASSERT_EQ(r.status, ReadStatus::Data);
    bytes += r.bytes;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(bytes, 200 * kBulkReadSize);
  // Paced, not faster than the pipe.
  EXPECT_LE(static_cast<double>(bytes) / seconds, 1.1 * static_cast<double>(kHighSpeedBulkBytesPerSecond));
  EXPECT_EQ(box.Digest().Bytes(), bytes);
}

TEST(StreamDigest, IndependentOfHowTheStreamIsCut) {
  std::vector<std::uint8_t> data(1000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7 + 3);
  StreamDigest whole;
  whole.Update(data.data(), data.size());
  StreamDigest pieces;
  for (std::size_t i = 0, step = 1; i < data.size(); i += step, step = step % 13 + 1) {
    pieces.Update(data.data() + i, std::min(step, data.size() - i));
  }
  EXPECT_EQ(whole, pieces);
  data[500] ^= 1;
  StreamDigest changed;
  changed.Update(data.data(), data.size());
  EXPECT_NE(changed.Hash(), whole.Hash());
}

}  // namespace
}  // namespace zk
