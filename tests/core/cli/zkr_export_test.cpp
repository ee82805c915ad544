#include <gtest/gtest.h>

#include "tests/core/cli/run_zkr.h"

#include <algorithm>
#include <string>
#include <vector>

#include "record/loader.h"
#include "tests/core/tools/record_stream.h"
#include "tools/csv_export.h"

namespace zk {
namespace {

using test::RunResult;

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

class ZkrExport : public ::testing::Test {
 protected:
  void SetUp() override {
    const RunResult r = test::RunZkr("simulate --scenario spr --seconds 2 --seed 3 -o " + Quoted(m_Input));
    ASSERT_EQ(r.status, 0) << r.out;
    LoadRecordFile(m_Store, m_Input);
    FinishPendingPackets(m_Store);
    ASSERT_GT(m_Store.PacketCount(), 4);
  }

  // The bytes the export writer gives for the request.
  std::vector<std::uint8_t> Expected(CsvExportRequest request) {
    request.m_FileName = m_Folder / "expected.csv";
    JobProgress progress;
    EXPECT_TRUE(WriteCsvExport(m_Store, request, progress));
    return test::ReadBytes(request.m_FileName);
  }

  test::TempFolder m_Folder{"zkr_export"};
  std::string m_Input = m_Folder / "spr.zkr";
  std::string m_Output = m_Folder / "out.csv";
  CaptureStore m_Store;
};

TEST_F(ZkrExport, WritesWhatTheExportDialogWrites) {
  const std::int64_t lastSample = m_Store.SampleAt(m_Store.SampleCount() - 1)->m_Time - m_Store.m_TimeOrigin;
  CsvExportRequest whole;
  whole.m_Start = 0;
  whole.m_End = lastSample;
  CsvExportRequest both = whole;
  both.m_Items = ExportItems::Both;
  both.m_VisibleColumnsOnly = false;
  both.m_ReverseCurrent = true;
  CsvExportRequest span = whole;
  span.m_Items = ExportItems::VoltageCurrent;
  span.m_Start = 100000;
  span.m_End = 900000;
  const struct {
    std::string options;
    CsvExportRequest request;
  } cases[] = {
      {"", whole},
      {" --items both --all-columns --invert-current", both},
      {" --items samples --from-us 100000 --to-us 900000", span},
  };
  for (const auto& c : cases) {
    const RunResult r = test::RunZkr("export " + Quoted(m_Input) + " -o " + Quoted(m_Output) + c.options);
    ASSERT_EQ(r.status, 0) << c.options << "\n" << r.out;
    const std::vector<std::uint8_t> written = test::ReadBytes(m_Output);
    EXPECT_GT(written.size(), 200u) << c.options;
    EXPECT_EQ(written, Expected(c.request)) << c.options;
  }
}

TEST_F(ZkrExport, ErrorsAreOneLineAndNonZero) {
  const struct {
    std::string args;
    std::string message;
  } cases[] = {
      {"export " + Quoted(m_Folder / "none.zkr") + " -o x.csv", "cannot open"},
      {"export " + Quoted(m_Input), "-o OUT.csv or --pcapng OUT.pcapng is needed"},
      {"export " + Quoted(m_Input) + " -o " + Quoted(m_Output) + " --pcapng x.pcapng", "give one"},
      {"export " + Quoted(m_Input) + " -o " + Quoted(m_Output) + " --items all", "--items takes pd, samples or both"},
      {"export " + Quoted(m_Input) + " -o " + Quoted(m_Output) + " --to-us 1e6", "'1e6' is not a time"},
      {"export " + Quoted(m_Input) + " -o " + Quoted(m_Output) + " --from-us 9 --to-us 3", "no valid span"},
      {"export " + Quoted(m_Input) + " -o " + Quoted(m_Folder / "no/such/o.csv"), "cannot write"},
      {"export " + Quoted(m_Input) + " -o", "needs a value"},
  };
  for (const auto& c : cases) {
    const RunResult r = test::RunZkr(c.args);
    EXPECT_NE(r.status, 0) << c.args;
    EXPECT_NE(r.out.find(c.message), std::string::npos) << c.args << "\n" << r.out;
  }
}

}  // namespace
}  // namespace zk
