#include <gtest/gtest.h>

#include <unistd.h>
#include "tests/core/cli/run_zkr.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace zk {
namespace {

using test::RunResult;
using test::RunZkr;

std::filesystem::path Temp(const std::string& name) {
  return std::filesystem::temp_directory_path() / ("zkr_simulate_" + std::to_string(getpid()) + "_" + name);
}

TEST(ZkrSimulate, WritesTheRecordFileAndThePacketList) {
  const std::filesystem::path out = Temp("spr.zkr"), list = Temp("spr.csv");
  const RunResult r =
      RunZkr("simulate --scenario spr --seconds 1.5 --seed 4 -o " + out.string() + " --packets " + list.string());
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("scenario spr"), std::string::npos) << r.out;
  const auto size = std::filesystem::file_size(out);
  EXPECT_EQ(size % 64, 0u);
  EXPECT_GT(size, 64u * 500);  // at least the sample records of 1.5 s, three samples each
  std::ifstream f(list);
  std::string header, first;
  std::getline(f, header);
  std::getline(f, first);
  EXPECT_EQ(header, "time_us,channel,kind,header,crc,crc_ok");
  EXPECT_EQ(first.find(",CC1,1,0x"), first.find(',')) << first;  // the first Source_Capabilities on CC1
  std::filesystem::remove(out);
  std::filesystem::remove(list);
}

TEST(ZkrSimulate, ErrorsAreOneLineAndNonZero) {
  const std::string out = Temp("bad.zkr").string();
  const std::string cases[] = {
      "simulate --scenario nonesuch --seconds 1 -o " + out,
      "simulate --scenario spr --seconds -3 -o " + out,
      "simulate --scenario spr --seconds 1 --seed x -o " + out,
      "simulate --scenario spr --seconds 1 --bogus 1 -o " + out,
      "simulate --scenario spr --seconds 1",
      "simulate --scenario spr --seconds 1 -o",
      "simulate --scenario spr --seconds 1 -o /nonexistent-dir/x.zkr",
  };
  for (const std::string& c : cases) {
    const RunResult r = RunZkr(c);
    EXPECT_NE(r.status, 0) << c;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << c << "\n" << r.out;
    EXPECT_EQ(r.out.rfind("zkr simulate: ", 0), 0u) << c << "\n" << r.out;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace zk
