#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/core/cli/run_zkr.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "record/record_format.h"

namespace zk {
namespace {

using test::RunResult;
using test::RunZkr;

TEST(ZkrInfo, PrintsMetaItemsAndRecordCounts) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("zkr_info_test_" + std::to_string(getpid()) + ".zkr");
  {
    std::ofstream f(path, std::ios::binary);
    std::array<std::uint8_t, 12> serial = {0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x30, 0x41, 0x42};
    Record header = HeaderRecord(0x0103, serial, 128);
    CalibrationRatios ratios = kUnitRatios;
    ratios[kCalVbusCurr] = 1002000;
    Record cal = CalibrationRecord(ratios);
    Record sample{};
    WriteU16(sample.data(), 0x2003);
    const std::uint8_t events[56] = {};
    Record cc = CCRecord(0, 0, 0, 0, 0, events);
    for (const Record* r : {&header, &cal, &sample, &cc}) f.write(reinterpret_cast<const char*>(r->data()), 64);
    for (const Record& r : MarkerRecords(-5, {{kTagMarkerA, 1234}}))
      f.write(reinterpret_cast<const char*>(r.data()), 64);
    f.write("tail", 4);
  }
  RunResult r = RunZkr("info " + path.string());
  EXPECT_EQ(r.status, 0) << r.out;
  for (const char* want :
       {"format number:      0x0107", "firmware version:   1.03", "serial number:      313233343536373839304142",
        "device bytes:       128", "VBUS current 1002000", "marker item:        time origin -5 us",
        "marker item:        clear", "marker item:        marker A 1234 us", "1 CC, 1 sample (3 samples), 3 meta",
        "trailing bytes:     4"}) {
    EXPECT_NE(r.out.find(want), std::string::npos) << want << "\n" << r.out;
  }
  std::filesystem::remove(path);
}

TEST(ZkrInfo, ClearErrorsAndNonZeroExit) {
  RunResult missing = RunZkr("info /nonexistent/file.zkr");
  EXPECT_NE(missing.status, 0);
  EXPECT_NE(missing.out.find("cannot open '/nonexistent/file.zkr'"), std::string::npos) << missing.out;
  EXPECT_NE(RunZkr("info").status, 0);
  RunResult unknown = RunZkr("frobnicate");
  EXPECT_NE(unknown.status, 0);
  EXPECT_NE(unknown.out.find("unknown command 'frobnicate'"), std::string::npos);
}

}  // namespace
}  // namespace zk
