#include <gtest/gtest.h>

#include "tests/core/cli/run_zkr.h"

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace zk {
namespace {

using test::RunResult;

RunResult RunZkrFields(const std::string& args) { return test::RunZkr("fields " + args); }

const std::string kBrick = std::string(ZK_FIXTURE_DIR) + "/apple_power_brick.zkr";

TEST(ZkrFields, PrintsTheTreeAndTheRowsOfTheSelection) {
  const RunResult opened = RunZkrFields(kBrick + " --packet 0");
  EXPECT_EQ(opened.status, 0) << opened.out;
  for (const char* want : {"- Packet #0  [0x01000000]\n", "    Message Header=2161h  [0x02000000]  (selected)\n",
                           "    Data Object [2] = 0004A0C8h  [0x04010000]\n", "selection 0x02000000\n",
                           "Offset [bits]\tLength [bits]\tField name\tValue\tDescription\tHEX\tASCII\n",
                           "0..3\t4\tMessage Type\t1h (1)\tSource_Capabilities\t01 \t.\n"}) {
    EXPECT_NE(opened.out.find(want), std::string::npos) << want << "\n" << opened.out;
  }
  const RunResult pdo = RunZkrFields(kBrick + " --packet 0 --select 0x04010000");
  EXPECT_EQ(pdo.status, 0) << pdo.out;
  EXPECT_NE(pdo.out.find("10..19\t10\tVoltage in 50mV units\t128h (296)\t14800 [mV]\t28 01 \t(.\n"), std::string::npos)
      << pdo.out;
}

TEST(ZkrFields, RejectsBadArgumentsAndMissingPackets) {
  EXPECT_EQ(WEXITSTATUS(RunZkrFields(kBrick).status), 2);
  EXPECT_EQ(WEXITSTATUS(RunZkrFields(kBrick + " --packet x").status), 2);
  EXPECT_EQ(WEXITSTATUS(RunZkrFields(kBrick + " --packet 0 --select").status), 2);
  const RunResult beyond = RunZkrFields(kBrick + " --packet 99999");
  EXPECT_EQ(WEXITSTATUS(beyond.status), 1);
  EXPECT_NE(beyond.out.find("no packet 99999"), std::string::npos) << beyond.out;
  EXPECT_EQ(WEXITSTATUS(RunZkrFields("/nonexistent.zkr --packet 0").status), 1);
}

}  // namespace
}  // namespace zk
