#include "record/loader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "record/record_format.h"

namespace zk {
namespace {

// Builds record files record by record, with a box-like CC sequence across both channels.
class FileBuilder {
 public:
  FileBuilder() {
    Add(EmptyMetaRecord());
    Add(CalibrationRecord(kUnitRatios));
  }
  void Add(const Record& r) { m_Bytes.insert(m_Bytes.end(), r.begin(), r.end()); }
  void Samples(std::uint32_t t0, int n, std::uint32_t step, std::uint16_t vbus = 5000, std::int16_t curr = 0) {
    for (int i = 0; i < n; i += 3) {
      Record r{};
      const int k = std::min(3, n - i);
      WriteU16(r.data(), static_cast<std::uint16_t>(0x2000 | k));
      for (int j = 0; j < k; ++j) {
        RawSample s;
        s.timestamp = t0 + static_cast<std::uint32_t>(i + j) * step;
        s.vbusVoltage = vbus;
        s.vbusCurrent = curr;
        WriteRawSample(r.data(), j, s);
      }
      Add(r);
    }
  }
  // One CC record with the next sequence number.
  void CC(int channel, std::uint32_t timestamp, const std::vector<std::uint8_t>& events, std::uint16_t tick = 0) {
    std::uint8_t ev[56];
    for (int i = 0; i < 56; ++i) ev[i] = i < static_cast<int>(events.size()) ? events[i] : events.back();
    Add(CCRecord(m_High, m_Low, channel, timestamp, tick, ev));
    m_Last[channel] = ev[55];
    m_Low = (m_Low + 1) % 8;
    if (m_Low == 0) m_High = (m_High + 1) % 256;
  }
  void SkipSequence() { m_Low = (m_Low + 3) % 8; }
  // Idle records on a channel (its last byte repeated) until the sequence low part is 0 again.
  void IdleUntilLowZero(int channel) {
    while (m_Low != 0) CC(channel, 0, {m_Last[channel]});
  }
  std::string Write(const std::string& name, std::size_t extra = 0) const {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(m_Bytes.data()), static_cast<std::streamsize>(m_Bytes.size()));
    for (std::size_t i = 0; i < extra; ++i) f.put(0);
    return path.string();
  }
  std::size_t Size() const { return m_Bytes.size(); }

 private:
  std::vector<std::uint8_t> m_Bytes;
  int m_High = 0;
  int m_Low = 0;
  std::uint8_t m_Last[2] = {0, 0};
};

// Event bytes for a burst of `edges` edges, `gap` ticks apart, starting at counter value `start`,
// followed by idle wrap markers.
std::vector<std::uint8_t> Burst(int edges, int gap, int start = 0) {
  std::vector<std::uint8_t> ev;
  int counter = start;
  ev.push_back(static_cast<std::uint8_t>(counter));  // sets the channel's base
  for (int i = 0; i < edges; ++i) {
    counter += gap;
    ev.push_back(static_cast<std::uint8_t>(counter));
  }
  while (ev.size() < 56) ev.push_back(ev.back());  // repeats: the line is idle
  return ev;
}

TEST(Loader, OnlyLeadingMetaRecordsGiveAnEmptyStore) {
  FileBuilder b;
  CaptureStore store;
  LoadRecordFile(store, b.Write("loader_empty.zkr"));
  EXPECT_EQ(store.PacketCount(), 0);
  EXPECT_EQ(store.SampleCount(), 0);
  EXPECT_EQ(store.m_DecodePosition, 128u);
}

TEST(Loader, SamplesConvertedCalibratedAndTimedFromTheFirst) {
  FileBuilder b;
  CalibrationRatios ratios = kUnitRatios;
  ratios[kCalVbusVol] = 1010000;
  b.Add(CalibrationRecord(ratios));
  b.Samples(0xFFFFFF00u, 4, 0x80, 5000, 1598);  // the timestamps wrap after the second sample
  CaptureStore store;
  std::vector<std::string> texts;
  store.m_StatusText = [&texts](const std::string& t) { texts.push_back(t); };
  LoadRecordFile(store, b.Write("loader_samples.zkr"));
  ASSERT_EQ(store.SampleCount(), 4);
  EXPECT_EQ(store.SampleAt(0)->m_Time, 0);
  EXPECT_EQ(store.SampleAt(3)->m_Time, 3 * 0x80);
  EXPECT_EQ(store.SampleAt(2)->m_VbusVoltage, 5050);
  EXPECT_EQ(store.SampleAt(2)->m_VbusCurrent, 1500);
  EXPECT_EQ(store.SampleAt(3)->m_Offset, 64u * 4);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "Decode completed.");
  EXPECT_EQ(texts[texts.size() - 2], "Decoding... 0%");
}

TEST(Loader, BurstsBecomePacketsAtIdleAndShortOnesAreDropped) {
  FileBuilder b;
  b.Samples(1000, 3, 100);
  b.CC(0, 2000, Burst(3, 8));  // two intervals: dropped at the idle end
  // The next record continues channel 0's counter: 100 after the wraps is an edge.
  b.CC(0, 2100, Burst(4, 8, 100));
  b.IdleUntilLowZero(0);
  b.CC(1, 2200, Burst(6, 8, 50));  // a channel starts at a record with sequence low part 0
  CaptureStore store;
  LoadRecordFile(store, b.Write("loader_bursts.zkr"));
  ASSERT_EQ(store.PacketCount(), 2);
  // CC2's packet comes first in time: channel 0 ran on through its wrap markers.
  const CCCPacket* cc1 = store.PacketAt(1);
  EXPECT_EQ(cc1->m_Channel, 0);
  EXPECT_EQ(cc1->m_EdgeCount, 4);
  EXPECT_EQ(cc1->m_TickDiv, 20);
  EXPECT_EQ(cc1->m_StartOffset, 64u * 4);
  EXPECT_EQ(cc1->m_EndOffset, 64u * 4 + 63);
  EXPECT_EQ(cc1->m_TotalTicks, 32);
  const CCCPacket* cc2 = store.PacketAt(0);
  EXPECT_EQ(cc2->m_Channel, 1);
  EXPECT_EQ(cc2->m_EdgeCount, 5);
  // Clock from the record timestamp (2200 us = 5280 ticks), first edge 8 ticks later, less the first sample.
  EXPECT_EQ(cc2->m_Time, (5280 + 8) * 20 / 48 - 1000);
  EXPECT_EQ(store.PacketStats().total, 2u);
  EXPECT_EQ(store.PacketStats().cc2, 1u);
  EXPECT_EQ(store.PacketStats().noPreamble, 2u);
}

TEST(Loader, ChannelStartingAfterTheTimestampWrapKeepsItsPackets) {
  FileBuilder b;
  b.Samples(0xFFFFFF00u, 6, 0x80);        // the sample clock wraps after the second sample
  b.CC(1, 0x00000100u, Burst(6, 8, 50));  // the channel's first record, after the wrap
  b.IdleUntilLowZero(1);
  b.CC(0, 0xFFFFFFF0u, Burst(6, 8, 50));  // and one dated just before it
  CaptureStore store;
  LoadRecordFile(store, b.Write("loader_late_channel.zkr"));
  ASSERT_EQ(store.PacketCount(), 2);
  EXPECT_EQ(store.PacketAt(0)->m_Channel, 0);
  EXPECT_EQ(store.PacketAt(0)->m_Time, 0xF0 + 3);
  EXPECT_EQ(store.PacketAt(1)->m_Time, 0x200 + 3);  // 8 ticks of 20 = 3 us after the record
}

TEST(Loader, PacketsBeforeTheFirstSampleAreDiscarded) {
  FileBuilder b;
  b.CC(0, 100, Burst(8, 8));
  b.Samples(100000, 3, 100);  // known before the block's packets finish, but later than them
  CaptureStore store;
  LoadRecordFile(store, b.Write("loader_early.zkr"));
  EXPECT_EQ(store.PacketCount(), 0);
  EXPECT_EQ(store.SampleCount(), 3);
}

TEST(Loader, IdleEndDependsOnTickDivider) {
  // Divider 1: 479 ticks of quiet line do not end the packet; 480 do. Intervals over 255 wrap.
  for (int gap : {479, 480}) {
    FileBuilder b;
    b.Samples(0, 3, 100);
    std::vector<std::uint8_t> ev = {0, 10, 20, 30, 40, 50, 50, 50};  // two repeats of 50: 206 + 256 ticks
    for (int k = 0; k < 5; ++k) ev.push_back(static_cast<std::uint8_t>((50 + gap + 10 * k) & 0xFF));
    b.CC(0, 10, ev, 0x0100);
    CaptureStore store;
    LoadRecordFile(store, b.Write("loader_idle.zkr"));
    if (gap == 479) {
      ASSERT_EQ(store.PacketCount(), 1);
      EXPECT_EQ(store.PacketAt(0)->m_EdgeCount, 9);
      EXPECT_EQ(store.PacketAt(0)->m_TotalTicks, 40 + (479 % 256) + 40);
    } else {
      ASSERT_EQ(store.PacketCount(), 2);
      EXPECT_EQ(store.PacketAt(0)->m_TotalTicks, 40);
      EXPECT_EQ(store.PacketAt(1)->m_TotalTicks, 40);
    }
  }
}

TEST(Loader, SequenceBreakFinishesPacketsAndWaitsForLowPartZero) {
  FileBuilder b;
  b.Samples(0, 3, 100);
  // A burst that continues into the next record (no idle at the end of the first).
  std::vector<std::uint8_t> ev;
  for (int i = 0; i < 56; ++i) ev.push_back(static_cast<std::uint8_t>(i * 8));
  b.CC(0, 100, ev);
  b.SkipSequence();
  b.CC(0, 200, Burst(8, 8));  // out of sequence, low part not 0: ignored
  CaptureStore store;
  LoadRecordFile(store, b.Write("loader_sequence.zkr"));
  ASSERT_EQ(store.PacketCount(), 1);
  EXPECT_EQ(store.PacketAt(0)->m_EdgeCount, 54);
}

TEST(Loader, TrailingPartialRecordEndsTheLoad) {
  FileBuilder b;
  b.Samples(0, 30, 100);
  CaptureStore store;
  const std::string path = b.Write("loader_tail.zkr", 10);
  store.m_RecordPath = path;
  bool atEnd = false;
  ASSERT_TRUE(DecodeNextBlock(store, atEnd));
  EXPECT_TRUE(atEnd);
  EXPECT_EQ(store.SampleCount(), 30);
  EXPECT_EQ(store.m_DecodePosition, b.Size());
  // The 10-byte tail alone: reported as the end, not asked for again.
  ASSERT_TRUE(DecodeNextBlock(store, atEnd));
  EXPECT_TRUE(atEnd);
  EXPECT_EQ(store.m_DecodePosition, b.Size());
}

TEST(Loader, OneMebibytePlusTenBytes) {
  FileBuilder b;
  const int records = static_cast<int>((1048576 - b.Size()) / 64);
  b.Samples(0, records * 3, 10);
  ASSERT_EQ(b.Size(), 1048576u);
  CaptureStore store;
  store.m_RecordPath = b.Write("loader_1mib.zkr", 10);
  bool atEnd = true;
  ASSERT_TRUE(DecodeNextBlock(store, atEnd));
  EXPECT_FALSE(atEnd);
  ASSERT_TRUE(DecodeNextBlock(store, atEnd));
  EXPECT_TRUE(atEnd);
  EXPECT_EQ(store.m_DecodePosition, 1048576u);
  EXPECT_EQ(store.SampleCount(), records * 3);
}

TEST(Loader, NothingToDoIsFalse) {
  CaptureStore store;
  bool atEnd = false;
  EXPECT_FALSE(DecodeNextBlock(store, atEnd));  // no path
  store.m_RecordPath = "/nonexistent/x.zkr";
  EXPECT_FALSE(DecodeNextBlock(store, atEnd));
  FileBuilder b;
  store.m_RecordPath = b.Write("loader_nothing.zkr");
  EXPECT_TRUE(DecodeNextBlock(store, atEnd));
  EXPECT_FALSE(DecodeNextBlock(store, atEnd));  // length equals the decode position
}

TEST(Loader, GrowingFileLoadsLikeTheFinalFile) {
  FileBuilder b;
  b.Samples(0, 9, 100);
  for (int i = 0; i < 16; ++i) {
    if (i == 8) b.IdleUntilLowZero(0);
    b.CC(i < 8 ? 0 : 1, 1000 + 100 * i, Burst(10, 8, i * 3));
  }
  b.Samples(3000, 9, 100);
  const std::string full = b.Write("loader_grow_full.zkr");
  CaptureStore reference;
  LoadRecordFile(reference, full);

  // Grow a copy a few bytes at a time (not on record boundaries) and decode what is there.
  std::ifstream in(full, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string growing =
      (std::filesystem::temp_directory_path() / ("loader_grow_" + std::to_string(getpid()) + ".zkr")).string();
  std::ofstream(growing, std::ios::binary | std::ios::trunc).close();
  CaptureStore live;
  live.m_RecordPath = growing;
  live.m_Recording = true;
  for (std::size_t done = 0; done < bytes.size();) {
    const std::size_t step = std::min<std::size_t>(100, bytes.size() - done);
    std::ofstream(growing, std::ios::binary | std::ios::app)
        .write(bytes.data() + done, static_cast<std::streamsize>(step));
    done += step;
    DecodeAvailable(live);
  }
  FinishPendingPackets(live);
  FinishPendingPackets(reference);
  ASSERT_EQ(live.PacketCount(), reference.PacketCount());
  ASSERT_EQ(live.SampleCount(), reference.SampleCount());
  for (int i = 0; i < live.PacketCount(); ++i) {
    EXPECT_EQ(live.PacketAt(i)->m_Time, reference.PacketAt(i)->m_Time);
    EXPECT_EQ(live.PacketAt(i)->m_EdgeCount, reference.PacketAt(i)->m_EdgeCount);
    EXPECT_EQ(live.PacketAt(i)->m_Channel, reference.PacketAt(i)->m_Channel);
  }
}

TEST(Loader, MarkersAndTimeOriginRestoredFromTheFile) {
  FileBuilder b;
  b.Samples(0, 3, 100);
  for (int i = 0; i < 3; ++i) b.CC(0, 1000, Burst(8, 8, 5 * i));
  CaptureStore plain;
  LoadRecordFile(plain, b.Write("loader_markers.zkr"));
  ASSERT_EQ(plain.PacketCount(), 3);
  const std::int64_t t[3] = {plain.PacketAt(0)->m_Time, plain.PacketAt(1)->m_Time, plain.PacketAt(2)->m_Time};

  for (const Record& r : MarkerRecords(7, {{kTagBookmark, t[0]}, {kTagMarkerA, t[0]}})) b.Add(r);
  // A later group replaces the first: its clear item forgets the earlier markers.
  for (const Record& r : MarkerRecords(-20, {{kTagMarkerB, t[2]}, {kTagBookmark, t[1]}, {kTagGraphMarkerO, 55}}))
    b.Add(r);
  CaptureStore store;
  LoadRecordFile(store, b.Write("loader_markers.zkr"));
  ASSERT_EQ(store.PacketCount(), 3);
  EXPECT_EQ(store.m_TimeOrigin, -20);
  EXPECT_EQ(store.MarkerA(), nullptr);
  EXPECT_EQ(store.MarkerB(), store.PacketAt(2));
  EXPECT_FALSE(store.PacketAt(0)->m_Marked);
  EXPECT_TRUE(store.PacketAt(1)->m_Marked);
  EXPECT_TRUE(store.m_HasGraphMarkerO);
  EXPECT_EQ(store.m_GraphMarkerO, 55);
  EXPECT_FALSE(store.m_HasGraphMarkerX);
}

TEST(Loader, ClearShowsProgressAndKeepsLimits) {
  FileBuilder b;
  b.Samples(0, 250, 10);
  CaptureStore store;
  store.m_PacketAutoRemove = true;
  LoadRecordFile(store, b.Write("loader_clear.zkr"));
  ASSERT_EQ(store.SampleCount(), 250);
  std::vector<std::string> texts;
  store.m_StatusText = [&texts](const std::string& t) { texts.push_back(t); };
  ClearStore(store);
  EXPECT_EQ(texts, (std::vector<std::string>{"Deleting VBUS Info... 0%", "Deleting VBUS Info... 40%",
                                             "Deleting VBUS Info... 80%"}));
  EXPECT_EQ(store.SampleCount(), 0);
  EXPECT_EQ(store.m_DecodePosition, 0u);
  EXPECT_TRUE(store.m_PacketAutoRemove);
}

TEST(Loader, AutoRemovalTrimsTheOldestPackets) {
  FileBuilder b;
  b.Samples(0, 3, 100);
  for (int i = 0; i < 40; ++i) b.CC(0, 1000, Burst(8, 8, i));
  CaptureStore store;
  store.m_MaxPacketCount = 10;
  store.m_PacketAutoRemove = true;
  store.m_RecordPath = b.Write("loader_autoremove.zkr");
  DecodeAvailable(store);  // the limits apply before each block, with the counts before it
  ASSERT_EQ(store.PacketCount(), 40);
  bool atEnd;
  FileBuilder more = b;
  more.Samples(9000, 3, 100);
  store.m_RecordPath = more.Write("loader_autoremove.zkr");
  ASSERT_TRUE(DecodeNextBlock(store, atEnd));
  EXPECT_EQ(store.PacketCount(), 10);
  EXPECT_TRUE(store.m_PacketsRemoved);
  EXPECT_EQ(store.PacketAt(0)->m_Index, 0);
}

// Another program cuts the file while a block is being read (the length was read, then
// the file shrank), or removes it between two reads of a live load: the load ends, and
// every record decoded before stays in the store.
TEST(Loader, FileShrinkingOrVanishingWhileLoadingKeepsWhatWasDecoded) {
  constexpr std::uint64_t kBlock = 1048576;
  FileBuilder b;
  b.Samples(0, 24000 * 3, 10);  // two blocks of three-sample records
  const auto samplesUpTo = [&b](std::uint64_t length) { return static_cast<int>((length - 128) / 64 * 3); };
  struct Case {
    const char* name;
    std::uint64_t cutTo;
    int samples;
  };
  const Case cases[] = {
      {"inside a record of the second block", kBlock + 1000, samplesUpTo(kBlock + 1000)},
      {"below what was decoded", 100, samplesUpTo(kBlock)},
      {"to nothing", 0, samplesUpTo(kBlock)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = b.Write("loader_shrink.zkr");
    CaptureStore store;
    std::string last;
    bool cut = false;
    store.m_StatusText = [&](const std::string& text) {
      last = text;
      // Shown after the length is read and before the block is: the moment to cut.
      if (!cut && store.m_DecodePosition == kBlock && text.rfind("Decoding", 0) == 0) {
        std::filesystem::resize_file(path, c.cutTo);
        cut = true;
      }
    };
    LoadRecordFile(store, path);
    ASSERT_TRUE(cut);
    EXPECT_EQ(last, "Decode completed.");
    ASSERT_EQ(store.SampleCount(), c.samples);
    EXPECT_EQ(store.SampleAt(c.samples - 1)->m_Time, static_cast<std::int64_t>(c.samples - 1) * 10);
    DecodeAvailable(store);  // nothing more to find, nothing lost
    EXPECT_EQ(store.SampleCount(), c.samples);
  }

  const std::string path = b.Write("loader_vanish.zkr");
  CaptureStore live;
  live.m_RecordPath = path;
  live.m_Recording = true;
  bool atEnd = false;
  ASSERT_TRUE(DecodeNextBlock(live, atEnd));
  const int samples = live.SampleCount();
  std::filesystem::remove(path);
  EXPECT_FALSE(DecodeNextBlock(live, atEnd));
  DecodeAvailable(live);
  FinishPendingPackets(live);
  EXPECT_EQ(live.SampleCount(), samples);
  EXPECT_EQ(samples, samplesUpTo(kBlock));
}

}  // namespace
}  // namespace zk
