#include <gtest/gtest.h>

#include "tests/core/cli/run_zkr.h"

#include <cstdio>
#include <string>

#include "record/loader.h"
#include "tests/core/tools/record_stream.h"
#include "tools/record_subset.h"

namespace zk {
namespace {

using test::RunResult;

RunResult Zkr(const std::string& args) { return test::RunZkr(args); }

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

std::vector<std::uint8_t> FileWithHead(int periods) {
  std::vector<Record> records = test::HeadRecords();
  const std::vector<Record> stream = test::DeviceStream(periods);
  records.insert(records.end(), stream.begin(), stream.end());
  return test::BytesOf(records);
}

TEST(ZkrSubset, CopiesTheSpanAsTheExportWould) {
  test::TempFolder f("zkr_subset");
  const std::string in = f / "cap.zkr", out = f / "part.zkr";
  test::WriteBytes(in, FileWithHead(30));
  CaptureStore store;
  LoadRecordFile(store, in);
  FinishPendingPackets(store);
  const ByteSpan span = SubsetByteSpan(store, 5000, 12000);

  const RunResult r = Zkr("subset " + Quoted(in) + " -o " + Quoted(out) + " --from-us 5000 --to-us 12000");
  ASSERT_EQ(r.status, 0) << r.out;
  const std::vector<std::uint8_t> all = test::ReadBytes(in);
  EXPECT_EQ(test::ReadBytes(out), std::vector<std::uint8_t>(all.begin() + static_cast<std::ptrdiff_t>(span.begin),
                                                            all.begin() + static_cast<std::ptrdiff_t>(span.end + 1)));
  // The whole capture starts at the first sample's record, after the meta head.
  ASSERT_EQ(Zkr("subset " + Quoted(in) + " -o " + Quoted(out)).status, 0);
  EXPECT_EQ(test::ReadBytes(out), std::vector<std::uint8_t>(all.begin() + 128, all.end()));
}

TEST(ZkrSubset, ErrorsAreOneLineAndNonZero) {
  test::TempFolder f("zkr_subset_err");
  const std::string in = f / "cap.zkr";
  test::WriteBytes(in, FileWithHead(5));
  const struct {
    std::string args;
    std::string message;
  } cases[] = {
      {"subset " + Quoted(f / "none.zkr") + " -o x.zkr", "cannot open"},
      {"subset " + Quoted(in), "-o OUT.zkr are needed"},
      {"subset " + Quoted(in) + " -o " + Quoted(f / "o.zkr") + " --from-us 12x", "'12x' is not a time"},
      {"subset " + Quoted(in) + " -o " + Quoted(f / "o.zkr") + " --from-us 3000 --to-us 1000", "no valid span"},
      {"subset " + Quoted(in) + " -o " + Quoted(in), "cannot write"},
      {"subset " + Quoted(in) + " -o", "needs a value"},
      {"subset " + Quoted(in) + " --frobnicate", "unknown option"},
  };
  for (const auto& c : cases) {
    const RunResult r = Zkr(c.args);
    EXPECT_NE(r.status, 0) << c.args;
    EXPECT_NE(r.out.find(c.message), std::string::npos) << c.args << "\n" << r.out;
  }
  EXPECT_EQ(test::ReadBytes(in), FileWithHead(5));
}

TEST(ZkrStitch, JoinsTheSeriesUnderTheProposedName) {
  test::TempFolder f("zkr_stitch");
  for (int i = 1; i <= 3; ++i) test::WriteBytes(f / ("cap_000" + std::to_string(i) + ".zkr"), FileWithHead(i));
  test::WriteBytes(f / "cap_0005.zkr", FileWithHead(4));
  RunResult r = Zkr("stitch " + Quoted(f / "cap_0001.zkr"));
  ASSERT_EQ(r.status, 0) << r.out;
  std::vector<std::uint8_t> expected;
  for (const char* n : {"cap_0001.zkr", "cap_0002.zkr", "cap_0003.zkr", "cap_0005.zkr"}) {
    const std::vector<std::uint8_t> b = test::ReadBytes(f / n);
    expected.insert(expected.end(), b.begin(), b.end());
  }
  EXPECT_EQ(test::ReadBytes(f / "Stitched_cap_0001-0005.zkr"), expected);

  r = Zkr("stitch " + Quoted(f / "cap_0002.zkr") + " --through 3 -o " + Quoted(f / "two.zkr"));
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(test::ReadBytes(f / "two.zkr").size(), (FileWithHead(2).size() + FileWithHead(3).size()));

  r = Zkr("stitch " + Quoted(f / "cap_0001.zkr") + " --through 0002");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(std::filesystem::exists(f / "Stitched_cap_0001-0002.zkr"));
}

TEST(ZkrStitch, ErrorsAreOneLineAndNonZero) {
  test::TempFolder f("zkr_stitch_err");
  test::WriteBytes(f / "cap_0001.zkr", FileWithHead(1));
  test::WriteBytes(f / "cap_0002.zkr", FileWithHead(1));
  test::WriteBytes(f / "plain.zkr", FileWithHead(1));
  const struct {
    std::string args;
    std::string message;
  } cases[] = {
      {"stitch", "a base file is needed"},
      {"stitch " + Quoted(f / "none_0001.zkr"), "cannot open"},
      {"stitch " + Quoted(f / "plain.zkr"), "not part of a series"},
      {"stitch " + Quoted(f / "cap_0002.zkr"), "no later file"},
      {"stitch " + Quoted(f / "cap_0001.zkr") + " --through 12345", "not a series number"},
      {"stitch " + Quoted(f / "cap_0001.zkr") + " -o " + Quoted(f / "cap_0002.zkr"), "cannot write"},
  };
  for (const auto& c : cases) {
    const RunResult r = Zkr(c.args);
    EXPECT_NE(r.status, 0) << c.args;
    EXPECT_NE(r.out.find(c.message), std::string::npos) << c.args << "\n" << r.out;
  }
  EXPECT_EQ(test::ReadBytes(f / "cap_0002.zkr"), FileWithHead(1));
}

}  // namespace
}  // namespace zk
