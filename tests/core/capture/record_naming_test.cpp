#include "capture/record_naming.h"

#include <gtest/gtest.h>

namespace zk {
namespace {

TEST(RecordNaming, NamesOfTheSeries) {
  struct Case {
    RecordNaming naming;
    int index;
    std::string name;
  };
  const Case cases[] = {
      {{"", "PDCapture", "", false}, 1, "PDCapture.zkr"},
      {{"", "PDCapture", "", false}, 2, "PDCapture_0002.zkr"},
      {{"", "PDCapture", "", true}, 1, "PDCapture_0001.zkr"},
      {{"", "PDCapture", "", true}, 9999, "PDCapture_9999.zkr"},
      {{"", "PDCapture", "abc", true}, 1, "abc.zkr"},
      // A rollover under a remote name must not reopen the file just written.
      {{"", "PDCapture", "abc", false}, 2, "abc_0002.zkr"},
  };
  for (const Case& c : cases) EXPECT_EQ(RecordFileName(c.naming, c.index), c.name) << c.index;
  EXPECT_EQ(RecordFilePath({"/data/rec", "PD", "", false}, 1), "/data/rec/PD.zkr");
  EXPECT_EQ(RecordFilePath({"/data/rec/", "PD", "", false}, 1), "/data/rec/PD.zkr");
}

TEST(RecordNaming, FolderChoice) {
  const auto fallback = [] { return std::string("/home/u/Documents/RVX5K8"); };
  EXPECT_EQ(RecordFolderFor("/remote", "/set", fallback), "/remote");
  EXPECT_EQ(RecordFolderFor("", "/set", fallback), "/set");
  EXPECT_EQ(RecordFolderFor("", "", fallback), "/home/u/Documents/RVX5K8");
  EXPECT_EQ(RecordFolderFor("", "", nullptr), "");
}

TEST(RecordNaming, SizeLimitNeverZero) {
  EXPECT_EQ(MaxFileSizeBytes(100), 100000000u);
  EXPECT_EQ(MaxFileSizeBytes(0), 1000000u);
  EXPECT_EQ(MaxFileSizeBytes(-5), 1000000u);
}

TEST(RecordNaming, StatusLine) {
  struct Case {
    std::uint64_t bytes;
    std::int32_t maxMB;
    const char* size;
  };
  const Case cases[] = {
      {9999999, 100, "    [File Size=9999KB (9%) ]"},
      {10000001, 100, "    [File Size=10MB (10%) ]"},
      {500000, 0, "    [File Size=500KB (50%) ]"},
      {5000000000ull, 10000, "    [File Size=5000MB (50%) ]"},
  };
  for (const Case& c : cases) {
    CaptureStatus s;
    s.elapsedUs = 1500000;
    s.deviceBytes = c.bytes;
    s.maxFileSizeMB = c.maxMB;
    s.packets = 50;
    s.maxPackets = 100;
    s.samples = 10;
    s.maxSamples = 0;  // an unusable maximum shows 0 %, never divides by zero
    const std::string line = CaptureStatusLine(s);
    EXPECT_EQ(line.rfind("Capturing... ", 0), 0u) << line;
    EXPECT_NE(line.find(c.size), std::string::npos) << line;
    EXPECT_NE(line.find("    [PD Packets=50 (50%) ]     [VBUS Samples=10 (0%) ]"), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace zk
