#include "tools/record_subset.h"

#include <gtest/gtest.h>

#include "record/loader.h"
#include "tests/core/tools/record_stream.h"

namespace zk {
namespace {

using test::BytesOf;
using test::ReadBytes;

class RecordSubsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<Record> records = test::HeadRecords();
    const std::vector<Record> stream = test::DeviceStream(40);
    records.insert(records.end(), stream.begin(), stream.end());
    bytes = BytesOf(records);
    test::WriteBytes(source, bytes);
    LoadRecordFile(store, source);
    FinishPendingPackets(store);
    ASSERT_EQ(store.SampleCount(), 40);
    ASSERT_EQ(store.PacketCount(), 40);
  }

  test::TempFolder folder{"subset"};
  std::string source = folder / "cap.zkr";
  std::vector<std::uint8_t> bytes;
  CaptureStore store;
};

TEST_F(RecordSubsetTest, SubsetHoldsExactlyThePacketsAndSamplesOfTheSpan) {
  const CVbusInfo s0 = *store.SampleAt(10);
  const std::int64_t start = s0.m_Time, end = store.SampleAt(25)->m_Time;
  const ByteSpan span = SubsetByteSpan(store, start, end);
  // The packet before the start lies in the record before sample 10: the copy begins there.
  EXPECT_EQ(span.begin, store.PacketAt(9)->m_StartOffset);
  EXPECT_EQ(span.end, store.SampleAt(25)->m_Offset + 63);

  JobProgress progress;
  const std::string out = folder / "cap_export.zkr";
  ASSERT_TRUE(WriteRecordSubset(source, out, span, progress));
  EXPECT_EQ(progress.m_Progress, 100);
  EXPECT_EQ(ReadBytes(out), std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(span.begin),
                                                      bytes.begin() + static_cast<std::ptrdiff_t>(span.end + 1)));

  CaptureStore subset;
  LoadRecordFile(subset, out);
  FinishPendingPackets(subset);
  ASSERT_EQ(subset.SampleCount(), 16);
  for (int i = 0; i < subset.SampleCount(); ++i) {
    const CVbusInfo& a = *store.SampleAt(10 + i);
    const CVbusInfo& b = *subset.SampleAt(i);
    EXPECT_EQ(b.m_Time, a.m_Time - s0.m_Time);
    EXPECT_EQ(b.m_VbusVoltage, a.m_VbusVoltage);
    EXPECT_EQ(b.m_VbusCurrent, a.m_VbusCurrent);
    EXPECT_EQ(b.m_Offset, a.m_Offset - span.begin);
  }
  // Packets 10 to 24 lie inside the span; packet 9 is copied but precedes the first sample.
  ASSERT_EQ(subset.PacketCount(), 15);
  for (int i = 0; i < subset.PacketCount(); ++i) {
    const CCCPacket& a = *store.PacketAt(10 + i);
    const CCCPacket& b = *subset.PacketAt(i);
    EXPECT_EQ(b.m_Time, a.m_Time - s0.m_Time);
    EXPECT_GE(a.m_Time, start);
    EXPECT_LE(a.m_Time, end);
    EXPECT_EQ(b.m_Channel, a.m_Channel);
    EXPECT_EQ(b.m_EdgeCount, a.m_EdgeCount);
    EXPECT_EQ(b.m_TotalTicks, a.m_TotalTicks);
    EXPECT_EQ(b.m_VbusVoltage, a.m_VbusVoltage);
  }
}

TEST_F(RecordSubsetTest, ByteSpanRules) {
  const std::uint64_t fileEnd = bytes.size() - 1;
  const std::int64_t lastSample = store.SampleAt(39)->m_Time;
  const struct {
    std::int64_t start, end;
    ByteSpan span;
  } cases[] = {
      {-50, -10, {0, 0}},                      // before everything: the file's first byte
      {-50, 0, {0, 128 + 63}},                 // from the top, with the head, to sample 0
      {0, lastSample + 5000, {128, fileEnd}},  // the last packet ends the copy
      // From sample 3's record; the packet after it raises the end to its own record's end.
      {store.PacketAt(3)->m_Time, store.PacketAt(3)->m_Time, {128 + 6 * 64, 128 + 7 * 64 + 63}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SubsetByteSpan(store, c.start, c.end), c.span) << c.start << ".." << c.end;
  }
}

TEST_F(RecordSubsetTest, FailuresOfTheCopy) {
  JobProgress progress;
  const ByteSpan all{0, bytes.size() - 1};
  EXPECT_FALSE(WriteRecordSubset(folder / "missing.zkr", folder / "out.zkr", all, progress));
  EXPECT_FALSE(WriteRecordSubset(source, folder / "no/such/dir/out.zkr", all, progress));
  // A span past the end of the file: the copy stops instead of waiting for more.
  EXPECT_FALSE(WriteRecordSubset(source, folder / "short.zkr", {64, bytes.size() + 1000}, progress));
  EXPECT_FALSE(WriteRecordSubset(source, folder / "reversed.zkr", {640, 64}, progress));
  // Exporting onto the record file itself would destroy it.
  EXPECT_FALSE(WriteRecordSubset(source, source, all, progress));
  EXPECT_EQ(ReadBytes(source), bytes);
}

TEST(RecordSubset, AbortStopsAfterTheCurrentBlock) {
  test::TempFolder folder("subset_abort");
  const std::vector<std::uint8_t> big(3 * kCopyBlockSize + 100, 0x5A);
  test::WriteBytes(folder / "big.zkr", big);
  JobProgress progress;
  progress.m_Abort = true;
  EXPECT_FALSE(WriteRecordSubset(folder / "big.zkr", folder / "out.zkr", {0, big.size() - 1}, progress));
  EXPECT_EQ(std::filesystem::file_size(folder / "out.zkr"), kCopyBlockSize);
  EXPECT_EQ(progress.m_Progress, static_cast<int>(kCopyBlockSize * 100 / big.size()));

  JobProgress fresh;
  ASSERT_TRUE(WriteRecordSubset(folder / "big.zkr", folder / "out.zkr", {1, big.size() - 2}, fresh));
  EXPECT_EQ(std::filesystem::file_size(folder / "out.zkr"), big.size() - 2);
}

}  // namespace
}  // namespace zk
