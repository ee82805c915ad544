// Logic captures of the CC lines, written as session files here, must load exactly as the
// encoded packets: same ordered sets, headers and CRCs, and every edge on its sampled tick.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "interchange/logic_import.h"
#include "interchange/sigrok_session.h"
#include "pd/message_header.h"
#include "record/loader.h"
#include "sim/encoder.h"

namespace zk::interchange {
namespace {

using namespace zk::sim;

std::filesystem::path TempPath(const std::string& name) {
  return std::filesystem::temp_directory_path() / ("zk_import_" + std::to_string(getpid()) + "_" + name);
}

struct Sent {
  int channel;
  PdMessageSpec message;
  int bitRate;
  bool corruptCrc = false;
};

std::vector<Sent> Traffic() {
  const std::vector<std::uint32_t> pdos = {0x0A01912C, 0x0002D12C, 0x0004B12C, 0xC8DC213C};
  return {
      {0, DataMessage(kKindSop, kDataSourceCapabilities, kRev30, kSourceDfp, 0, pdos), 300000},
      {0, ControlMessage(kKindSop, kCtrlGoodCrc, kRev30, kSinkUfp, 0), 290000},
      {1, DataMessage(kKindSop, kDataRequest, kRev30, kSinkUfp, 1, {0x1304B12C}), 310000},
      {1,
       ExtendedMessage(kKindSop, 1, kRev30, kSourceDfp, 2, MakeExtendedHeader(24, true, 0, false),
                       std::vector<std::uint8_t>(24, 0x5A)),
       300000},
      {0, DataMessage(kKindSopP, kDataVendorDefined, kRev30, kToCable, 3, {0xFF00A001}), 270000},
      {1, BareOrderedSet(kKindHardReset), 300000},
      {0, ControlMessage(kKindSop, kCtrlPsRdy, kRev20, kSourceDfp, 4), 330000, true},
  };
}

// A capture in which sample i is tick i (tickDiv = 48 MHz / rate), CC1 on bit 0 and CC2 on
// bit 1, and a third channel that no import should look at toggling on bit 2.
struct Capture {
  std::vector<std::uint8_t> samples;
  std::vector<std::uint64_t> starts;  // first edge of each sent packet, in samples
  std::vector<BmcWaveform> waves;
};

void SetLevel(std::vector<std::uint8_t>& s, std::size_t from, std::size_t to, int bit, int level) {
  if (s.size() < to) s.resize(to, 0);
  for (std::size_t i = from; i < to; ++i) s[i] = static_cast<std::uint8_t>((s[i] & ~(1 << bit)) | (level << bit));
}

Capture MakeCapture(const std::vector<Sent>& traffic, int tickDiv, std::uint64_t rate) {
  Capture cap;
  std::uint64_t at = rate / 1000;  // 1 ms of idle line first
  const std::uint64_t gap = rate / 2000;
  for (const Sent& s : traffic) {
    BmcOptions o;
    o.tickDiv = tickDiv;
    o.bitRate = s.bitRate;
    o.corruptCrc = s.corruptCrc;
    const BmcWaveform w = EncodeMessage(s.message, o);
    const int bit = s.channel;
    for (std::size_t k = 0; k + 1 < w.edges.size(); ++k) {
      SetLevel(cap.samples, at + w.edges[k], at + w.edges[k + 1], bit, w.LevelAfterEdge(k));
    }
    std::uint64_t end = at + w.edges.back();
    if (w.LevelAfterEdge(w.edges.size() - 1)) {
      // The transmitter lets a high line go well after the packet: a lone edge, which loading drops.
      SetLevel(cap.samples, end, end + rate / 50000, bit, 1);
      end += rate / 50000;
    }
    cap.starts.push_back(at);
    cap.waves.push_back(w);
    at = end + gap;
  }
  cap.samples.resize(at + rate / 1000, 0);
  for (std::size_t i = 0; i < cap.samples.size(); i += 7777) SetLevel(cap.samples, i, i + 3000, 2, 1);
  return cap;
}

LogicSession ThreeChannels(std::uint64_t rate) {
  LogicSession s;
  s.sampleRate = rate;
  s.channels = {{0, "CC1"}, {1, "CC2"}, {2, "D2"}};
  return s;
}

struct Loaded {
  ImportSummary summary;
  std::unique_ptr<CaptureStore> store = std::make_unique<CaptureStore>();
};

Loaded ImportAndLoad(const LogicSession& session, const std::vector<std::uint8_t>& samples,
                     const ImportOptions& options = {}) {
  const auto sr = TempPath("capture.sr");
  const auto zkr = TempPath("capture.zkr");
  std::string error;
  Loaded out;
  EXPECT_TRUE(WriteLogicSession(sr.string(), session, samples, error, 100000)) << error;
  EXPECT_TRUE(ImportLogicSession(sr.string(), zkr.string(), options, out.summary, error)) << error;
  out.store->m_KeepEdges = true;
  LoadRecordFile(*out.store, zkr.string());
  FinishPendingPackets(*out.store);
  std::filesystem::remove(sr);
  std::filesystem::remove(zkr);
  return out;
}

class ExactRates : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(ExactRates, PacketsAndEveryEdgeComeBackOnTheirTicks) {
  const std::uint64_t rate = GetParam();
  const int tickDiv = static_cast<int>(48000000 / rate);
  const std::vector<Sent> traffic = Traffic();
  const Capture cap = MakeCapture(traffic, tickDiv, rate);
  const Loaded got = ImportAndLoad(ThreeChannels(rate), cap.samples);

  EXPECT_TRUE(got.summary.mapping.exact);
  EXPECT_EQ(got.summary.mapping.tickDiv, tickDiv);
  EXPECT_EQ(got.summary.stats.movedEdges, 0u);
  ASSERT_EQ(got.store->PacketCount(), static_cast<int>(traffic.size()));
  for (std::size_t i = 0; i < traffic.size(); ++i) {
    const CCCPacket& p = *got.store->PacketAt(static_cast<int>(i));
    const Sent& s = traffic[i];
    SCOPED_TRACE("packet " + std::to_string(i));
    EXPECT_EQ(p.m_Channel, s.channel);
    EXPECT_EQ(p.m_TickDiv, tickDiv);
    EXPECT_EQ(p.m_RawTime, cap.starts[i] * static_cast<std::uint64_t>(tickDiv) / 48);
    EXPECT_EQ(p.m_Time, static_cast<std::int64_t>(cap.starts[i] * static_cast<std::uint64_t>(tickDiv) / 48));
    EXPECT_EQ(p.m_Kind, s.message.kind);
    const std::vector<std::uint32_t> intervals = cap.waves[i].Intervals();
    ASSERT_EQ(p.m_pEdges.size(), intervals.size());
    for (std::size_t k = 0; k < intervals.size(); ++k) {
      ASSERT_EQ(p.m_pEdges[k].duration, intervals[k] & 0xFF) << "interval " << k;
    }
    if (!CarriesMessage(s.message)) continue;
    EXPECT_EQ(p.Header(), s.message.header);
    EXPECT_EQ(p.m_Crc, MessageCrc(s.message) ^ (s.corruptCrc ? 1u : 0u));
    EXPECT_EQ(p.m_CrcOk != 0, !s.corruptCrc);
  }
  // No measured values: every sample reads zero, and so do the packets' measurements.
  ASSERT_GT(got.store->SampleCount(), 0);
  const CVbusInfo& first = *got.store->SampleAt(0);
  EXPECT_EQ(first.m_VbusVoltage, 0);
  EXPECT_EQ(first.m_CC1Voltage, 0);
}

INSTANTIATE_TEST_SUITE_P(Rates, ExactRates, ::testing::Values(2400000, 4000000, 6000000, 12000000));

// Rates that are not 48 MHz over a whole number: edges are rounded to the nearest tick and
// the packets still decode.
class RoundedRates : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(RoundedRates, DecodeWithRoundingReported) {
  const std::uint64_t rate = GetParam();
  const std::vector<Sent> traffic = Traffic();
  // Encoded on the 48 MHz clock, then sampled at the capture's rate.
  const Capture fine = MakeCapture(traffic, 1, 48000000);
  std::vector<std::uint8_t> samples(static_cast<std::size_t>(fine.samples.size() * rate / 48000000));
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = fine.samples[i * 48000000 / rate];
  const Loaded got = ImportAndLoad(ThreeChannels(rate), samples);

  EXPECT_FALSE(got.summary.mapping.exact);
  EXPECT_GT(got.summary.mapping.MaxRoundingNs(), 0.0);
  EXPECT_NE(ImportSummaryText(got.summary).find("rounded to the nearest tick"), std::string::npos);
  ASSERT_EQ(got.store->PacketCount(), static_cast<int>(traffic.size()));
  for (std::size_t i = 0; i < traffic.size(); ++i) {
    const CCCPacket& p = *got.store->PacketAt(static_cast<int>(i));
    SCOPED_TRACE("packet " + std::to_string(i));
    EXPECT_EQ(p.m_Kind, traffic[i].message.kind);
    if (CarriesMessage(traffic[i].message)) {
      EXPECT_EQ(p.Header(), traffic[i].message.header);
    }
    EXPECT_EQ(p.m_CrcOk != 0, CarriesMessage(traffic[i].message) && !traffic[i].corruptCrc);
    // Within a tick of the instant the 48 MHz encoder put it at.
    const double us = static_cast<double>(fine.starts[i]) / 48.0;
    EXPECT_NEAR(static_cast<double>(p.m_Time), us, 1.0 + got.summary.mapping.tickDiv / 48.0);
  }
}

INSTANTIATE_TEST_SUITE_P(Rates, RoundedRates, ::testing::Values(10000000, 100000000));

TEST(MapSampleRate, DividersAndExactness) {
  struct Case {
    std::uint64_t rate;
    int tickDiv;
    bool exact;
  };
  const Case cases[] = {
      {2400000, 20, true},   {48000000, 1, true},  {1000000, 48, true},  {10000000, 5, false},
      {200000000, 1, false}, {25000000, 2, false}, {100000, 256, false}, {187500, 256, true},
  };
  for (const Case& c : cases) {
    const TickMapping m = MapSampleRate(c.rate);
    EXPECT_EQ(m.tickDiv, c.tickDiv) << c.rate;
    EXPECT_EQ(m.exact, c.exact) << c.rate;
  }
  const TickMapping m = MapSampleRate(10000000);  // 10 MHz samples on 9.6 MHz ticks
  EXPECT_EQ(m.TickOfSample(10), 10u);
  EXPECT_EQ(m.TickOfSample(25), 24u);
  EXPECT_EQ(m.TickOfSample(1000000000000ull), 960000000000ull);  // no overflow on long captures
}

// The writer alone, on edges the record format cannot hold as they are, and on both lines at once.
TEST(LogicRecordWriter, CounterCornersAndSimultaneousLines) {
  std::vector<Record> records;
  LogicRecordWriter w(20, 3, [&](const Record& r) { records.push_back(r); });
  struct Burst {
    unsigned lines;
    std::uint64_t start;
    std::uint64_t expectedStart;
    std::uint8_t firstInterval;
  };
  // 5 edges 7 ticks apart; 24 ticks of quiet line (10 us) end a packet.
  const Burst bursts[] = {
      {3, 1000, 1000, 7},              // both lines on the same ticks
      {1, 1028 + 512, 1028 + 513, 6},  // a multiple of 256 after CC1's last edge: one tick late
      {2, 2048, 2048, 7},              // on counter value 0
      {1, 70000, 70000, 7},            // after hundreds of wrap markers
  };
  for (const Burst& b : bursts) {
    for (int k = 0; k < 5; ++k) w.Edges(b.lines, b.start + 7 * static_cast<std::uint64_t>(k));
  }
  w.Finish(80000);
  EXPECT_EQ(w.Stats().movedEdges, 1u);

  const auto path = TempPath("writer.zkr");
  {
    std::ofstream f(path, std::ios::binary);
    for (const Record& r : records) f.write(reinterpret_cast<const char*>(r.data()), kRecordSize);
  }
  CaptureStore store;
  store.m_KeepEdges = true;
  LoadRecordFile(store, path.string());
  std::filesystem::remove(path);

  struct Expected {
    int channel;
    const Burst* burst;
  };
  std::vector<Expected> expected;
  for (const Burst& b : bursts) {
    for (int c = 0; c < 2; ++c) {
      if (b.lines & (1u << c)) expected.push_back({c, &b});
    }
  }
  ASSERT_EQ(store.PacketCount(), static_cast<int>(expected.size()));
  // Packets of equal time keep the order in which their records arrived: compare by channel then.
  std::vector<const CCCPacket*> packets;
  for (int i = 0; i < store.PacketCount(); ++i) packets.push_back(store.PacketAt(i));
  std::stable_sort(packets.begin(), packets.end(), [](const CCCPacket* a, const CCCPacket* b) {
    return a->m_RawTime != b->m_RawTime ? a->m_RawTime < b->m_RawTime : a->m_Channel < b->m_Channel;
  });
  for (std::size_t i = 0; i < packets.size(); ++i) {
    const CCCPacket& p = *packets[i];
    const Expected& e = expected[i];
    SCOPED_TRACE("packet " + std::to_string(i));
    EXPECT_EQ(p.m_Channel, e.channel);
    // 20 ticks of 1/48 us each: the one-tick-late edge still lands on another microsecond.
    EXPECT_EQ(p.m_RawTime, e.burst->expectedStart * 20 / 48);
    ASSERT_EQ(p.m_pEdges.size(), 4u);
    EXPECT_EQ(p.m_pEdges[0].duration, e.burst->firstInterval);
    for (int k = 1; k < 4; ++k) EXPECT_EQ(p.m_pEdges[static_cast<std::size_t>(k)].duration, 7);
  }
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The application runs the import on a worker: it hears how far the reading is, can stop it,
// and a record file named like the capture itself never empties the capture.
TEST(ImportLogicSession, ProgressStopAndTheCaptureAsItsOwnOutput) {
  const Capture cap = MakeCapture(Traffic(), 8, 6000000);
  const auto sr = TempPath("progress.sr");
  const auto zkr = TempPath("progress.zkr");
  std::string error;
  ASSERT_TRUE(WriteLogicSession(sr.string(), ThreeChannels(6000000), cap.samples, error, 4096)) << error;

  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  ImportSummary summary;
  ASSERT_TRUE(ImportLogicSession(sr.string(), zkr.string(), {}, summary, error, [&](std::uint64_t d, std::uint64_t t) {
    calls.emplace_back(d, t);
    return true;
  })) << error;
  ASSERT_GT(calls.size(), 2u);
  for (std::size_t i = 1; i < calls.size(); ++i) EXPECT_GT(calls[i].first, calls[i - 1].first);
  EXPECT_EQ(calls.back().first, cap.samples.size());
  EXPECT_EQ(calls.back().second, cap.samples.size());

  int left = 2;
  EXPECT_FALSE(ImportLogicSession(sr.string(), zkr.string(), {}, summary, error,
                                  [&](std::uint64_t, std::uint64_t) { return --left > 0; }));
  EXPECT_EQ(error, "the import was stopped");
  EXPECT_FALSE(std::filesystem::exists(zkr)) << "a stopped import leaves no half-written record file";

  const std::string before = ReadBytes(sr);
  for (const auto& same : {sr, sr.parent_path() / "." / sr.filename()}) {
    error.clear();
    EXPECT_FALSE(ImportLogicSession(sr.string(), same.string(), {}, summary, error)) << same;
    EXPECT_NE(error.find("would replace the capture"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(sr), before);
  }
  std::filesystem::remove(sr);
}

}  // namespace
}  // namespace zk::interchange
