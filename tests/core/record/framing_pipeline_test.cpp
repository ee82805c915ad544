#include "record/framing_pipeline.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "record/loader.h"
#include "sim/scenarios.h"

namespace zk {
namespace {

// Everything loading sets on a packet, compared field by field.
void ExpectSamePacket(const CCCPacket& a, const CCCPacket& b, int i) {
  SCOPED_TRACE(i);
  EXPECT_EQ(a.m_Index, b.m_Index);
  EXPECT_EQ(a.m_Time, b.m_Time);
  EXPECT_EQ(a.m_RawTime, b.m_RawTime);
  EXPECT_EQ(a.m_StartOffset, b.m_StartOffset);
  EXPECT_EQ(a.m_EndOffset, b.m_EndOffset);
  EXPECT_EQ(a.m_Channel, b.m_Channel);
  EXPECT_EQ(a.m_EdgeCount, b.m_EdgeCount);
  EXPECT_EQ(a.m_ResolvedCount, b.m_ResolvedCount);
  EXPECT_EQ(a.m_BitCount, b.m_BitCount);
  EXPECT_EQ(a.m_Kind, b.m_Kind);
  EXPECT_EQ(a.m_CrcOk, b.m_CrcOk);
  EXPECT_EQ(a.m_Crc, b.m_Crc);
  EXPECT_EQ(a.m_Recovery, b.m_Recovery);
  EXPECT_EQ(a.m_UnitInterval, b.m_UnitInterval);
  EXPECT_EQ(a.m_Side, b.m_Side);
  EXPECT_EQ(a.m_VbusVoltage, b.m_VbusVoltage);
  EXPECT_EQ(a.m_HasMeasure, b.m_HasMeasure);
  EXPECT_EQ(a.m_ExtSize, b.m_ExtSize);
  EXPECT_EQ(a.m_pSourceCaps ? a.m_pSourceCaps->m_Index : -1, b.m_pSourceCaps ? b.m_pSourceCaps->m_Index : -1);
  ASSERT_EQ(a.m_ByteCount, b.m_ByteCount);
  EXPECT_TRUE(std::equal(a.m_Bytes, a.m_Bytes + a.m_ByteCount, b.m_Bytes));
  ASSERT_EQ(a.m_pBits.Size(), b.m_pBits.Size());
  for (int k = 0; k < a.m_pBits.Size(); ++k) ASSERT_EQ(a.m_pBits[k], b.m_pBits[k]) << "bit " << k;
  ASSERT_EQ(a.m_pEdges.size(), b.m_pEdges.size());
  for (std::size_t k = 0; k < a.m_pEdges.size(); ++k) {
    ASSERT_EQ(a.m_pEdges[k].duration, b.m_pEdges[k].duration) << "edge " << k;
    ASSERT_EQ(a.m_pEdges[k].classRole, b.m_pEdges[k].classRole) << "edge " << k;
  }
}

// A few MiB of every kind of traffic, errors and recoveries among it: many blocks, each
// large enough to go through the framing thread.
class TwoThreadLoad : public ::testing::TestWithParam<bool> {
 protected:
  static void SetUpTestSuite() {
    s_Path =
        (std::filesystem::temp_directory_path() / ("framing_pipeline_" + std::to_string(getpid()) + ".zkr")).string();
    sim::ScenarioOptions options;
    options.name = "mixed";
    options.seconds = 70;
    options.seed = 7;
    std::string error;
    ASSERT_TRUE(sim::WriteScenarioFile(options, s_Path, error)) << error;
  }
  static void TearDownTestSuite() { std::filesystem::remove(s_Path); }
  static std::string s_Path;
};
std::string TwoThreadLoad::s_Path;

TEST_P(TwoThreadLoad, GivesTheSameStoreAsOneThread) {
  ASSERT_GT(std::filesystem::file_size(s_Path), 3u << 20);  // three blocks and more
  CaptureStore one, two;
  one.m_FramingThread = false;
  one.m_KeepEdges = two.m_KeepEdges = GetParam();
  LoadRecordFile(one, s_Path);
  LoadRecordFile(two, s_Path);
  ASSERT_NE(two.m_FramingPipeline, nullptr);  // the second thread did run
  EXPECT_EQ(one.m_FramingPipeline, nullptr);
  ASSERT_GT(one.PacketCount(), 1000);
  ASSERT_EQ(one.PacketCount(), two.PacketCount());
  for (int i = 0; i < one.PacketCount(); ++i) ExpectSamePacket(*one.PacketAt(i), *two.PacketAt(i), i);
  EXPECT_EQ(one.PacketStats().crcError, two.PacketStats().crcError);
  EXPECT_EQ(one.PacketStats().control, two.PacketStats().control);
  EXPECT_EQ(one.PacketStats().extended, two.PacketStats().extended);
  EXPECT_EQ(one.SampleCount(), two.SampleCount());
}

INSTANTIATE_TEST_SUITE_P(EdgesKeptOrNot, TwoThreadLoad, ::testing::Bool());

// Damage anywhere (headers, event bytes, samples, meta records) goes through the framing
// thread as it goes through one: same packets, nothing read out of bounds.
TEST(TwoThreadLoadOfDamage, BitFlippedFileGivesTheSameStoreAsOneThread) {
  sim::ScenarioOptions options;
  options.name = "mixed";
  options.seconds = 50;
  options.seed = 3;
  const std::string path =
      (std::filesystem::temp_directory_path() / ("framing_pipeline_flip_" + std::to_string(getpid()) + ".zkr"))
          .string();
  std::string error;
  ASSERT_TRUE(sim::WriteScenarioFile(options, path, error)) << error;
  {
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    std::mt19937 random(11);
    const auto size = static_cast<std::uint32_t>(std::filesystem::file_size(path));
    for (int k = 0; k < 3000; ++k) {
      const std::uint32_t at = random() % size;
      f.seekg(at);
      const int byte = f.get();
      f.seekp(at);
      f.put(static_cast<char>(byte ^ (1 << (random() % 8))));
    }
  }
  CaptureStore one, two;
  one.m_FramingThread = false;
  LoadRecordFile(one, path);
  LoadRecordFile(two, path);
  std::filesystem::remove(path);
  ASSERT_NE(two.m_FramingPipeline, nullptr);
  ASSERT_GT(one.PacketCount(), 100);
  ASSERT_EQ(one.PacketCount(), two.PacketCount());
  for (int i = 0; i < one.PacketCount(); ++i) ExpectSamePacket(*one.PacketAt(i), *two.PacketAt(i), i);
  EXPECT_EQ(one.SampleCount(), two.SampleCount());
}

}  // namespace
}  // namespace zk
