#include "record/record_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace zk {
namespace {

TEST(RecordKind, DispatchOrder) {
  Record r{};
  WriteU16(r.data(), 0xFFF0);
  EXPECT_EQ(KindOfRecord(r.data()), RecordKind::Meta);  // bit 13 is set too, meta wins
  WriteU16(r.data(), 0x2003);
  EXPECT_EQ(KindOfRecord(r.data()), RecordKind::Sample);
  WriteU16(r.data(), 0x4000 | 0x0123);
  EXPECT_EQ(KindOfRecord(r.data()), RecordKind::CC);
}

TEST(CCRecord, FieldsAndTickDivider) {
  const std::uint8_t events[56] = {};
  Record r = CCRecord(0x12, 5, 1, 0xDEADBEEF, 0x0100, events);
  CCRecordHeader h = ParseCCRecord(r.data());
  EXPECT_EQ(h.seqHigh, 0x12);
  EXPECT_EQ(h.seqLow, 5);
  EXPECT_EQ(h.channel, 1);
  EXPECT_EQ(h.timestamp, 0xDEADBEEFu);
  EXPECT_EQ(h.tickDiv, 1);  // low byte 0, plus 1; the high byte only counts in the zero test

  struct Case {
    std::uint16_t field;
    int div;
  } cases[] = {{0, 20}, {0x0100, 1}, {0x0007, 8}, {0x000B, 12}, {0x00FF, 256}, {0x1213, 20}};
  for (const Case& c : cases) EXPECT_EQ(TickDivFromField(c.field), c.div) << c.field;
}

// Feeds bytes and returns the edge intervals (ticks accumulated between edges).
std::vector<std::uint32_t> Intervals(const std::vector<std::uint8_t>& bytes) {
  EventByteDecoder dec;
  std::vector<std::uint32_t> out;
  std::uint32_t since = 0;
  bool seenEdge = false;
  for (std::uint8_t b : bytes) {
    EventByteDecoder::Step s = dec.Feed(b);
    if (s.first) {
      seenEdge = true;  // the first byte is the reference point
      continue;
    }
    since += s.elapsed;
    if (s.edge) {
      if (seenEdge) out.push_back(since);
      since = 0;
    }
  }
  return out;
}

TEST(EventBytes, WrapMarkersAndEdges) {
  // 30 is an edge 20 ticks after 10; its first repeat adds 226, the second 256; 40 comes 40 later.
  EXPECT_EQ(Intervals({10, 30, 30, 30, 40}), (std::vector<std::uint32_t>{20, 226 + 256 + 40}));
  EXPECT_EQ(Intervals({200, 50}), (std::vector<std::uint32_t>{106}));
  // A run of repeats: every repeat after the first is a whole counter period.
  EXPECT_EQ(Intervals({5, 5, 5, 5, 9}), (std::vector<std::uint32_t>{256 - 5 + 256 + 256 + 9}));
}

TEST(EventBytes, FirstByteOnlySetsBase) {
  EventByteDecoder dec;
  EventByteDecoder::Step s = dec.Feed(77);
  EXPECT_TRUE(s.first);
  EXPECT_FALSE(s.edge);
  EXPECT_EQ(s.elapsed, 0u);
  s = dec.Feed(80);
  EXPECT_TRUE(s.edge);
  EXPECT_EQ(s.elapsed, 3u);
}

TEST(Samples, CurrentConversionAndDeadBand) {
  struct Case {
    std::int16_t raw;
    std::int32_t mA;
  } cases[] = {{-2, 0}, {2, 0}, {0, 0}, {3, 2}, {-3, -2}, {32767, 30757}, {-32768, -30758}, {1598, 1500}};
  for (const Case& c : cases) EXPECT_EQ(ConvertCurrent(c.raw), c.mA) << c.raw;
}

TEST(Samples, CalibrationInSinglePrecision) {
  EXPECT_EQ(Calibrate(5000, kUnitRatio), 5000);
  EXPECT_EQ(Calibrate(5000, 1010000), 5050);
  EXPECT_EQ(Calibrate(-1234, 1000000 - 1), -1233);  // truncation toward zero
  EXPECT_EQ(Calibrate(20000, 999000), 19980);
  EXPECT_EQ(Calibrate(-32768, -2147483647 - 1), 70368744);  // a hostile ratio stays defined
}

TEST(Samples, CountClampedAndFieldsRead) {
  Record r{};
  WriteU16(r.data(), 0x2000 | 15);  // declares 15 samples: only three fit
  EXPECT_EQ(SampleCountOfRecord(r.data()), 3);
  RawSample s{0x01020304, 5000, -100, 1700, 3, 400, -5};
  WriteRawSample(r.data(), 2, s);
  RawSample back = ReadRawSample(r.data(), 2);
  EXPECT_EQ(back.timestamp, 0x01020304u);
  EXPECT_EQ(back.vbusVoltage, 5000);
  EXPECT_EQ(back.vbusCurrent, -100);
  EXPECT_EQ(back.cc1Voltage, 1700);
  EXPECT_EQ(back.cc2Current, -5);
  EXPECT_EQ(r[2 + 32], 0x04);  // sample 2 starts at offset 34
}

TEST(Timestamps, ExtendAcrossWrap) {
  TimestampExtender ext;
  EXPECT_EQ(ext.Extend(0xFFFFFFF0u), 0xFFFFFFF0ull);
  EXPECT_EQ(ext.Extend(0x10u), 0x100000010ull);
  EXPECT_EQ(ext.Extend(0x10u), 0x100000010ull);  // equal is not a wrap
  EXPECT_EQ(ext.Extend(0x5u), 0x200000005ull);
}

TEST(CCSequenceCheck, Rules) {
  CCSequence seq;
  EXPECT_FALSE(seq.InSequence(0, 0));  // nothing stored yet
  seq.Store(3, 6);
  EXPECT_TRUE(seq.InSequence(3, 7));
  EXPECT_FALSE(seq.InSequence(3, 6));
  EXPECT_FALSE(seq.InSequence(4, 7));
  seq.Store(3, 7);
  EXPECT_TRUE(seq.InSequence(4, 0));  // low wraps modulo 8 and carries
  EXPECT_TRUE(seq.InSequence(3, 0));  // same high part, low wraps
  EXPECT_FALSE(seq.InSequence(4, 8));
  seq.Store(255, 7);
  EXPECT_TRUE(seq.InSequence(0, 0));
}

// ---- meta records ----

TEST(MetaRecords, EmptyAndCalibrationBytes) {
  Record e = EmptyMetaRecord();
  EXPECT_EQ(e[0], 0xF0);
  EXPECT_EQ(e[1], 0xFF);
  for (std::size_t i = 2; i < 64; ++i) EXPECT_EQ(e[i], 0) << i;

  CalibrationRatios ratios = {1000001, 1000002, 1000003, 999996, 999995, 999994};
  Record c = CalibrationRecord(ratios);
  const std::uint8_t expected[40] = {0xF0, 0xFF, 0x20, 4,    0x41, 0x42, 0x0F, 0x00, 0x21, 4,    0x42, 0x42, 0x0F, 0x00,
                                     0x22, 4,    0x43, 0x42, 0x0F, 0x00, 0x23, 4,    0x3C, 0x42, 0x0F, 0x00, 0x24, 4,
                                     0x3B, 0x42, 0x0F, 0x00, 0x25, 4,    0x3A, 0x42, 0x0F, 0x00, 0xFF, 0};
  for (int i = 0; i < 40; ++i) EXPECT_EQ(c[i], expected[i]) << i;
  for (std::size_t i = 40; i < 64; ++i) EXPECT_EQ(c[i], 0) << i;

  MetaState state;
  ApplyMetaRecord(c.data(), state);
  EXPECT_EQ(state.ratios, ratios);
}

TEST(MetaRecords, HeaderBytes) {
  std::array<std::uint8_t, 12> serial = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  Record h = HeaderRecord(0x0103, serial, 6400);
  const std::uint8_t expected[35] = {0xF0, 0xFF, 0x01, 0x02, 0x07, 0x01, 0x02, 0x02, 0x03, 0x01, 0x03, 0x0C,
                                     1,    2,    3,    4,    5,    6,    7,    8,    9,    10,   11,   12,
                                     0x04, 0x08, 0x00, 0x19, 0,    0,    0,    0,    0,    0,    0xFF};
  for (int i = 0; i < 35; ++i) EXPECT_EQ(h[i], expected[i]) << i;
  MetaState state;
  ApplyMetaRecord(h.data(), state);
  EXPECT_TRUE(state.hasDeviceBytes);
  EXPECT_EQ(state.deviceBytes, 6400);
  EXPECT_EQ(state.firmware, 0x0103);
  EXPECT_EQ(state.serial, serial);
}

TEST(MetaRecords, ItemLengthRunningToTheEnd) {
  // An item of length 60 at offset 2 ends exactly at 64 and is read; 61 runs past and is not.
  for (int len : {60, 61}) {
    Record r = EmptyMetaRecord();
    r[2] = 200;
    r[3] = static_cast<std::uint8_t>(len);
    int seen = 0;
    ForEachMetaItem(r.data(), [&seen](const MetaItem& item) { seen += item.tag == 200; });
    EXPECT_EQ(seen, len == 60 ? 1 : 0) << len;
  }
}

TEST(MetaRecords, ItemsBeforeABadLengthStayInEffect) {
  Record r = EmptyMetaRecord();
  r[2] = kTagMarkerA;
  r[3] = 8;
  WriteS64(r.data() + 4, 1234);
  r[12] = kTagMarkerB;
  r[13] = 70;  // runs past the record
  MetaState state;
  ApplyMetaRecord(r.data(), state);
  EXPECT_TRUE(state.hasMarkerA);
  EXPECT_EQ(state.markerA, 1234);
  EXPECT_FALSE(state.hasMarkerB);
}

TEST(MetaRecords, ZeroTagsAreSkippedAndReadingStopsAtTheEnd) {
  Record r = EmptyMetaRecord();  // 31 empty items of tag 0
  MetaState state;
  int visited = 0;
  ForEachMetaItem(r.data(), [&visited](const MetaItem&) { ++visited; });
  EXPECT_EQ(visited, 31);
  ApplyMetaRecord(r.data(), state);
  EXPECT_EQ(state.ratios, kUnitRatios);
}

std::vector<MarkerItem> Bookmarks(int n) {
  std::vector<MarkerItem> items;
  for (int i = 0; i < n; ++i) items.push_back({kTagBookmark, 1000 + i});
  return items;
}

TEST(MarkerRecords, PackingFiveThenSix) {
  struct Case {
    int items;
    std::size_t records;
  } cases[] = {{0, 1}, {4, 1}, {5, 1}, {6, 2}, {11, 2}, {12, 3}};
  for (const Case& c : cases) {
    std::vector<Record> recs = MarkerRecords(-77, Bookmarks(c.items));
    EXPECT_EQ(recs.size(), c.records) << c.items;
    MetaState state;
    state.bookmarks.push_back(5);  // cleared by item 16
    state.hasMarkerA = true;
    for (const Record& r : recs) ApplyMetaRecord(r.data(), state);
    EXPECT_FALSE(state.hasMarkerA);
    EXPECT_EQ(state.timeOrigin, -77);
    ASSERT_EQ(state.bookmarks.size(), static_cast<std::size_t>(c.items));
    for (int i = 0; i < c.items; ++i) EXPECT_EQ(state.bookmarks[i], 1000 + i);
  }
}

TEST(MarkerRecords, ExactLayout) {
  std::vector<Record> four = MarkerRecords(5, Bookmarks(4));
  EXPECT_EQ(four[0][2], kTagTimeOrigin);
  EXPECT_EQ(four[0][3], 8);
  EXPECT_EQ(four[0][12], kTagClearMarkers);
  EXPECT_EQ(four[0][13], 0);
  EXPECT_EQ(four[0][14], kTagBookmark);
  EXPECT_EQ(four[0][54], 0xFF);

  std::vector<Record> five = MarkerRecords(5, Bookmarks(5));
  EXPECT_EQ(five[0][54], kTagBookmark);  // fills offsets 14 to 63, no end byte
  EXPECT_EQ(ReadS64(five[0].data() + 56), 1004);

  std::vector<Record> six = MarkerRecords(5, Bookmarks(6));
  EXPECT_EQ(six[1][0], 0xF0);
  EXPECT_EQ(six[1][2], kTagBookmark);
  EXPECT_EQ(ReadS64(six[1].data() + 4), 1005);
  EXPECT_EQ(six[1][12], 0xFF);

  std::vector<Record> eleven = MarkerRecords(5, Bookmarks(11));
  EXPECT_EQ(eleven[1][52], kTagBookmark);  // sixth item of the second record
  EXPECT_EQ(eleven[1][62], 0xFF);
}

}  // namespace
}  // namespace zk
