#include "sim/record_synth.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "pd/message_header.h"
#include "record/capture_store.h"
#include "record/loader.h"
#include "sim/scenarios.h"

namespace zk::sim {
namespace {

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("zk_synth_" + std::to_string(getpid()) + "_" + name)).string();
}

// A channel's event bytes read back the way the loader reads them.
struct ChannelReading {
  bool started = false;
  std::uint64_t tick = 0;  // absolute, from the first record's timestamp
  std::uint64_t sinceEdge = 0;
  std::vector<std::uint64_t> edgeTicks;
  EventByteDecoder decoder;
};

struct Capture {
  std::vector<Record> records;
  std::vector<SynthPacket> packets;
};

void ReadBack(const std::vector<Record>& records, int tickDiv, std::array<ChannelReading, 2>& ch) {
  for (const Record& r : records) {
    if (KindOfRecord(r.data()) != RecordKind::CC) continue;
    const CCRecordHeader h = ParseCCRecord(r.data());
    ChannelReading& c = ch[static_cast<std::size_t>(h.channel)];
    ASSERT_EQ(h.tickDiv, tickDiv);
    if (!c.started) {
      ASSERT_EQ(h.seqLow, 0) << "a channel's first record must be one the loader picks up";
      c.started = true;
      c.tick = static_cast<std::uint64_t>(h.timestamp) * 48 / static_cast<std::uint64_t>(tickDiv);
    }
    const std::uint8_t* bytes = CCEventBytes(r.data());
    for (int i = 0; i < kCCEventBytes; ++i) {
      const EventByteDecoder::Step s = c.decoder.Feed(bytes[i]);
      c.tick += s.elapsed;
      // Each record is stamped with the box's microsecond clock at its first byte.
      if (i == 0) {
        ASSERT_EQ(h.timestamp, static_cast<std::uint32_t>(c.tick * static_cast<std::uint64_t>(tickDiv) / 48));
      }
      if (s.edge) c.edgeTicks.push_back(c.tick);
    }
  }
}

// Packets whose gaps and intervals probe every case of the wrap rule: intervals of any
// length short of a wrap multiple, idle gaps of many wraps, exact multiples of 256.
TEST(RecordSynth, EventBytesDecodeToExactlyTheEncodedIntervals) {
  for (int tickDiv : {1, 20}) {
    std::mt19937_64 rng(static_cast<std::uint64_t>(tickDiv));
    std::vector<BmcWaveform> waves;
    std::vector<std::int64_t> gapsUs;
    for (int k = 0; k < 60; ++k) {
      BmcWaveform w;
      w.tickDiv = tickDiv;
      std::uint64_t t = 0;
      const int edges = 5 + static_cast<int>(rng() % 200);
      for (int e = 0; e < edges; ++e) {
        w.edges.push_back(t);
        std::uint64_t d = 1 + rng() % 900;
        if (d % 256 == 0) ++d;
        t += d;
      }
      waves.push_back(w);
      const std::int64_t gaps[] = {20, 107, 5333, 10667, 250000};
      gapsUs.push_back(gaps[rng() % 5] + static_cast<std::int64_t>(rng() % 3));
    }
    Capture cap;
    SynthOptions o;
    o.tickDiv = tickDiv;
    o.clockStartUs = 0xFFFFF000u;  // the 32-bit clock wraps during the capture
    o.channelsAtStart = 3;
    RecordSynthesizer synth(
        o, [&](const Record& r) { cap.records.push_back(r); }, nullptr,
        [&](const SynthPacket& p) { cap.packets.push_back(p); });
    std::int64_t at = 1000;
    for (std::size_t k = 0; k < waves.size(); ++k) {
      SynthPacket expected;
      expected.kind = kKindSop;
      const SynthPacket p = synth.Transmit(static_cast<int>(k % 3 == 2), at, waves[k], expected);
      at = p.timeUs + static_cast<std::int64_t>(waves[k].Length() * tickDiv / 48) + gapsUs[k];
    }
    synth.Finish();
    ASSERT_EQ(cap.packets.size(), waves.size());

    std::array<ChannelReading, 2> ch;
    ReadBack(cap.records, tickDiv, ch);
    const std::uint64_t firstSampleUs = 0xFFFFF000u;
    std::array<std::size_t, 2> next{};
    for (std::size_t k = 0; k < waves.size(); ++k) {
      const SynthPacket& p = cap.packets[k];
      const ChannelReading& c = ch[static_cast<std::size_t>(p.channel)];
      std::size_t& i = next[static_cast<std::size_t>(p.channel)];
      ASSERT_LE(i + waves[k].edges.size(), c.edgeTicks.size());
      const std::uint64_t first = c.edgeTicks[i];
      EXPECT_EQ(static_cast<std::int64_t>(first * static_cast<std::uint64_t>(tickDiv) / 48 - firstSampleUs), p.timeUs)
          << "packet " << k << " divider " << tickDiv;
      for (std::size_t e = 0; e < waves[k].edges.size(); ++e, ++i) {
        ASSERT_EQ(c.edgeTicks[i] - first, waves[k].edges[e]) << "packet " << k << " edge " << e;
      }
    }
    EXPECT_EQ(next[0], ch[0].edgeTicks.size());
    EXPECT_EQ(next[1], ch[1].edgeTicks.size());
  }
}

TEST(RecordSynth, SequenceRunsAcrossBothChannels) {
  Capture cap;
  SynthOptions o;
  o.channelsAtStart = 3;
  RecordSynthesizer synth(
      o, [&](const Record& r) { cap.records.push_back(r); }, nullptr);
  synth.AdvanceTo(3000000);  // 300 records or so: the high part steps many times
  synth.Finish();
  CCSequence seq;
  int ccRecords = 0;
  bool first = true;
  for (const Record& r : cap.records) {
    if (KindOfRecord(r.data()) != RecordKind::CC) continue;
    const CCRecordHeader h = ParseCCRecord(r.data());
    if (!first) {
      EXPECT_TRUE(seq.InSequence(h.seqHigh, h.seqLow)) << ccRecords;
    }
    EXPECT_LT(h.seqLow, 8);
    seq.Store(h.seqHigh, h.seqLow);
    first = false;
    ++ccRecords;
  }
  EXPECT_GT(ccRecords, 300);
}

TEST(RecordSynth, FileLayoutAndSamples) {
  ScenarioOptions so;
  so.name = "spr";
  so.seconds = 1.0;
  so.sampleIntervalUs = 250;
  const std::string path = TempPath("layout.zkr");
  std::string error;
  ASSERT_TRUE(WriteScenarioFile(so, path, error)) << error;
  std::ifstream f(path, std::ios::binary);
  std::vector<char> data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  f.close();  // Windows refuses to remove a file that is still open
  std::filesystem::remove(path);
  ASSERT_EQ(data.size() % kRecordSize, 0u);
  ASSERT_GE(data.size(), 2 * kRecordSize);
  auto recordAt = [&](std::size_t n) { return reinterpret_cast<const std::uint8_t*>(data.data()) + n * kRecordSize; };
  const Record empty = EmptyMetaRecord(), cal = CalibrationRecord(kUnitRatios);
  EXPECT_TRUE(std::equal(empty.begin(), empty.end(), recordAt(0)));
  EXPECT_TRUE(std::equal(cal.begin(), cal.end(), recordAt(1)));

  std::uint32_t expectedStamp = 0;
  int samples = 0;
  for (std::size_t n = 2; n < data.size() / kRecordSize; ++n) {
    const std::uint8_t* rec = recordAt(n);
    ASSERT_NE(KindOfRecord(rec), RecordKind::Meta) << n;
    if (KindOfRecord(rec) != RecordKind::Sample) continue;
    ASSERT_EQ(SampleCountOfRecord(rec), 3);
    for (int k = 0; k < 3; ++k, ++samples) {
      const RawSample s = ReadRawSample(rec, k);
      if (samples == 0) expectedStamp = s.timestamp;
      EXPECT_EQ(s.timestamp, expectedStamp) << samples;
      expectedStamp += 250;
    }
  }
  EXPECT_GE(samples, 4000);  // a second at 250 us
}

TEST(RecordSynth, RawCurrentIsTheInverseOfTheBoxConversion) {
  for (std::int32_t ma : {0, 3, 7, -7, 100, 2999, -1234, 30757}) {
    EXPECT_EQ(ConvertCurrent(RawCurrent(ma)), ma) << ma;
  }
}

TEST(Scenarios, UnknownNamesAndUnwritableFilesFail) {
  ScenarioOptions so;
  so.name = "nonesuch";
  std::string error;
  EXPECT_FALSE(WriteScenarioFile(so, TempPath("x.zkr"), error));
  EXPECT_NE(error.find("nonesuch"), std::string::npos);
  so.name = "spr";
  EXPECT_FALSE(WriteScenarioFile(so, "/nonexistent-dir/out.zkr", error));
  EXPECT_NE(error.find("/nonexistent-dir/out.zkr"), std::string::npos);
  EXPECT_FALSE(RunScenario(ScenarioOptions{"nonesuch"}, [](const Record&) {}));
}

TEST(Scenarios, DeterministicForASeed) {
  auto digest = [](std::uint64_t seed) {
    ScenarioOptions so;
    so.name = "mixed";
    so.seconds = 2.0;
    so.seed = seed;
    std::uint64_t h = 1469598103934665603ull;
    RunScenario(so, [&](const Record& r) {
      for (std::uint8_t b : r) h = (h ^ b) * 1099511628211ull;
    });
    return h;
  };
  EXPECT_EQ(digest(5), digest(5));
  EXPECT_NE(digest(5), digest(6));
}

struct LoadCase {
  const char* name;
  double seconds;
  int tickDiv;
  int channel;
  std::int64_t clockStartUs = -1;
};

class ScenarioLoad : public ::testing::TestWithParam<LoadCase> {};

// The loader must find exactly what the synthesizer put on the line.
TEST_P(ScenarioLoad, LoaderFindsEveryPacket) {
  const LoadCase c = GetParam();
  ScenarioOptions so;
  so.name = c.name;
  so.seconds = c.seconds;
  so.seed = 11;
  so.tickDiv = c.tickDiv;
  so.channel = c.channel;
  so.clockStartUs = c.clockStartUs;
  const std::string path = TempPath(std::string(c.name) + ".zkr");
  std::vector<SynthPacket> sent;
  std::string error;
  ASSERT_TRUE(WriteScenarioFile(so, path, error, [&](const SynthPacket& p) { sent.push_back(p); })) << error;
  CaptureStore store;
  LoadRecordFile(store, path);
  std::filesystem::remove(path);

  ASSERT_GT(sent.size(), 10u);
  ASSERT_EQ(store.PacketCount(), static_cast<int>(sent.size()));
  int good = 0;
  for (int i = 0; i < store.PacketCount(); ++i) {
    const CCCPacket& p = *store.PacketAt(i);
    const SynthPacket& s = sent[static_cast<std::size_t>(i)];
    const std::string where = std::string(c.name) + " packet " + std::to_string(i);
    EXPECT_EQ(p.m_Kind, s.kind) << where;
    EXPECT_EQ(p.m_Channel, s.channel) << where;
    EXPECT_NEAR(static_cast<double>(p.m_Time), static_cast<double>(s.timeUs), 1.0) << where;
    EXPECT_EQ(p.m_CrcOk != 0, s.crcOk) << where;
    if (s.crcOk || (s.complete && IsMessageKind(s.kind))) {
      EXPECT_EQ(p.Header(), s.header) << where;
      EXPECT_EQ(p.m_Crc, s.crc) << where;
    }
    good += s.crcOk;
  }
  EXPECT_GT(good, static_cast<int>(sent.size()) * 3 / 4);
}

INSTANTIATE_TEST_SUITE_P(EveryScenario, ScenarioLoad,
                         ::testing::Values(
                             // The box's 32-bit microsecond clock wraps two seconds in.
                             LoadCase{"spr", 4, 20, 0, 0xFFFFFFFFll - 2000000}, LoadCase{"pps", 4, 20, 0},
                             LoadCase{"epr", 8, 20, 0}, LoadCase{"vdm", 4, 20, 1}, LoadCase{"swap", 4, 12, 0},
                             LoadCase{"errors", 4, 20, 0}, LoadCase{"errors", 3, 1, 1}, LoadCase{"dense", 1, 8, 0},
                             LoadCase{"mixed", 30, 20, 0}),
                         [](const ::testing::TestParamInfo<LoadCase>& info) {
                           return std::string(info.param.name) + "_div" + std::to_string(info.param.tickDiv) + "_cc" +
                                  std::to_string(info.param.channel + 1);
                         });

}  // namespace
}  // namespace zk::sim
