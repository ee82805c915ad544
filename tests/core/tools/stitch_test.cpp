#include "tools/stitch.h"

#include <gtest/gtest.h>

#include "record/loader.h"
#include "tests/core/tools/record_stream.h"

namespace zk {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

std::vector<std::string> Names(const std::vector<StitchEntry>& list) {
  std::vector<std::string> names;
  for (const StitchEntry& e : list) names.push_back(e.m_Name);
  return names;
}

std::vector<bool> Selection(const StitchDialogState& s) {
  std::vector<bool> selected;
  for (const StitchEntry& e : s.m_StitchList) selected.push_back(e.m_Selected);
  return selected;
}

std::string OutputName(const StitchDialogState& s) {
  return s.m_OutputPath.empty() ? "" : fs::path(s.m_OutputPath).filename().string();
}

void Touch(const TempFolder& f, std::initializer_list<const char*> names) {
  for (const char* n : names) test::WriteBytes(f / n, {1, 2, 3});
}

TEST(Stitch, SeriesNumbers) {
  const struct {
    const char* name;
    std::optional<std::uint32_t> series;
  } cases[] = {
      {"cap_0001.zkr", 0x0001u},       {"cap_0012.ZKR", 0x12u},
      {"_9999.zkr", 0x9999u},          {"0001.zkr", std::nullopt},
      {"cap_001a.zkr", std::nullopt},  {"cap-0001.zkr", std::nullopt},
      {"cap_0001.zkrx", std::nullopt}, {"cap_00001.zkr", std::nullopt},
      {"cap_0001.csv", std::nullopt},  {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(SeriesNumber(c.name), c.series) << c.name;
}

TEST(Stitch, ListsAndTheSelectionRun) {
  TempFolder f("stitch_lists");
  Touch(f, {"cap_0003.zkr", "cap_0001.zkr", "cap_0002.zkr", "other.zkr", "dog_0002.zkr", "notes_0001.txt"});
  fs::create_directory(f / "dir_0004.zkr");
  StitchDialogState s;
  s.m_Folder = f.Path().string();
  ListBaseFiles(s);
  EXPECT_EQ(Names(s.m_BaseList),
            (std::vector<std::string>{"cap_0001.zkr", "cap_0002.zkr", "cap_0003.zkr", "dog_0002.zkr"}));
  EXPECT_EQ(s.m_BaseSelection, 0);
  EXPECT_EQ(s.m_BasePath, f / "cap_0001.zkr");
  EXPECT_EQ(Names(s.m_StitchList), (std::vector<std::string>{"cap_0002.zkr", "cap_0003.zkr"}));
  EXPECT_EQ(Selection(s), (std::vector<bool>{true, false}));
  EXPECT_EQ(s.m_OutputPath, f / "Stitched_cap_0001-0002.zkr");

  s.m_StitchList[1].m_Selected = true;  // the user clicks cap_0003.zkr
  ClickStitchEntry(s, 1);
  EXPECT_EQ(Selection(s), (std::vector<bool>{true, true}));
  EXPECT_EQ(OutputName(s), "Stitched_cap_0001-0003.zkr");
  EXPECT_EQ(StitchInputs(s), (std::vector<std::string>{f / "cap_0001.zkr", f / "cap_0002.zkr", f / "cap_0003.zkr"}));

  s.m_StitchList[0].m_Selected = false;  // and then deselects cap_0002.zkr
  ClickStitchEntry(s, 0);
  EXPECT_EQ(Selection(s), (std::vector<bool>{false, false}));
  EXPECT_EQ(s.m_OutputPath, "");
  EXPECT_EQ(StitchInputs(s), (std::vector<std::string>{f / "cap_0001.zkr"}));

  SelectBase(s, 1);  // cap_0002.zkr: only later numbers of the same series
  EXPECT_EQ(Names(s.m_StitchList), (std::vector<std::string>{"cap_0003.zkr"}));
  EXPECT_EQ(OutputName(s), "Stitched_cap_0002-0003.zkr");
  SelectBase(s, 3);
  EXPECT_TRUE(s.m_StitchList.empty());
  EXPECT_EQ(s.m_OutputPath, "");

  s.m_CurrentFile = f / "cap_0002.zkr";
  ListBaseFiles(s);
  EXPECT_EQ(s.m_BaseSelection, 1);
}

TEST(Stitch, GapsLowNumbersAndTakenNames) {
  TempFolder f("stitch_names");
  Touch(f, {"cap_0001.zkr", "cap_0003.zkr", "low_0000.zkr", "low_0001.zkr", "Stitched_cap_0001-0003.zkr"});
  StitchDialogState s;
  s.m_Folder = f.Path().string();
  ListBaseFiles(s);
  // A stitched file ends in "-dddd.zkr": no series number, so it is not listed.
  ASSERT_EQ(Names(s.m_BaseList),
            (std::vector<std::string>{"cap_0001.zkr", "cap_0003.zkr", "low_0000.zkr", "low_0001.zkr"}));
  EXPECT_EQ(OutputName(s), "Stitched_cap_0001-0003 (1).zkr");
  SelectBase(s, 1);
  EXPECT_EQ(s.m_OutputPath, "");
  SelectBase(s, 2);
  ASSERT_EQ(Names(s.m_StitchList), (std::vector<std::string>{"low_0001.zkr"}));
  EXPECT_EQ(s.m_OutputPath, "");  // a last number below 2 gives no name

  StitchDialogState empty;
  empty.m_Folder = f / "missing";
  ListBaseFiles(empty);
  EXPECT_TRUE(empty.m_BaseList.empty());
  EXPECT_EQ(empty.m_BaseSelection, -1);
  EXPECT_TRUE(StitchInputs(empty).empty());
}

// A capture rolled over into four files: each opens with its own two meta records.
TEST(Stitch, RolledOverSeriesJoinsToTheOriginalStream) {
  TempFolder f("stitch_series");
  const std::vector<Record> stream = test::DeviceStream(60);
  std::vector<std::uint8_t> joined;
  const std::size_t cuts[] = {0, 31, 32, 90, 120};
  for (int i = 0; i < 4; ++i) {
    std::vector<Record> file = test::HeadRecords();
    file.insert(file.end(), stream.begin() + static_cast<std::ptrdiff_t>(cuts[i]),
                stream.begin() + static_cast<std::ptrdiff_t>(cuts[i + 1]));
    const std::vector<std::uint8_t> bytes = test::BytesOf(file);
    test::WriteBytes(f / ("run_000" + std::to_string(i + 1) + ".zkr"), bytes);
    joined.insert(joined.end(), bytes.begin(), bytes.end());
  }
  StitchDialogState s;
  s.m_Folder = f.Path().string();
  ListBaseFiles(s);
  s.m_StitchList.back().m_Selected = true;
  ClickStitchEntry(s, static_cast<int>(s.m_StitchList.size()) - 1);
  ASSERT_EQ(OutputName(s), "Stitched_run_0001-0004.zkr");
  JobProgress progress;
  ASSERT_TRUE(StitchFiles(StitchInputs(s), s.m_OutputPath, progress));
  EXPECT_EQ(progress.m_Progress, 100);

  // Nothing is added or dropped: the files' bytes in series order, meta heads included.
  const std::vector<std::uint8_t> stitched = test::ReadBytes(s.m_OutputPath);
  EXPECT_EQ(stitched, joined);
  std::vector<std::uint8_t> device;
  for (std::size_t at = 0; at + 64 <= stitched.size(); at += 64) {
    if (KindOfRecord(&stitched[at]) != RecordKind::Meta) device.insert(device.end(), &stitched[at], &stitched[at] + 64);
  }
  EXPECT_EQ(device, test::BytesOf(stream));

  std::vector<Record> single = test::HeadRecords();
  single.insert(single.end(), stream.begin(), stream.end());
  test::WriteBytes(f / "single.zkr", test::BytesOf(single));
  CaptureStore a, b;
  LoadRecordFile(a, f / "single.zkr");
  LoadRecordFile(b, s.m_OutputPath);
  FinishPendingPackets(a);
  FinishPendingPackets(b);
  ASSERT_EQ(a.SampleCount(), b.SampleCount());
  ASSERT_EQ(a.PacketCount(), b.PacketCount());
  for (int i = 0; i < a.PacketCount(); ++i) EXPECT_EQ(a.PacketAt(i)->m_Time, b.PacketAt(i)->m_Time);
  for (int i = 0; i < a.SampleCount(); ++i) EXPECT_EQ(a.SampleAt(i)->m_Time, b.SampleAt(i)->m_Time);
}

TEST(Stitch, FailuresLeaveTheInputsAlone) {
  TempFolder f("stitch_fail");
  test::WriteBytes(f / "a_0001.zkr", std::vector<std::uint8_t>(100, 1));
  test::WriteBytes(f / "a_0002.zkr", std::vector<std::uint8_t>(2 * kCopyBlockSize + 5, 2));
  JobProgress p;
  EXPECT_FALSE(StitchFiles({f / "a_0001.zkr", f / "a_0009.zkr"}, f / "out.zkr", p));
  EXPECT_FALSE(fs::exists(f / "out.zkr"));  // measured before anything is created
  EXPECT_FALSE(StitchFiles({f / "a_0001.zkr", f / "a_0002.zkr"}, f / "a_0002.zkr", p));
  EXPECT_EQ(fs::file_size(f / "a_0002.zkr"), 2 * kCopyBlockSize + 5);
  EXPECT_FALSE(StitchFiles({f / "a_0001.zkr"}, f / "no/dir/out.zkr", p));

  JobProgress abort;
  abort.m_Abort = true;
  EXPECT_FALSE(StitchFiles({f / "a_0002.zkr", f / "a_0001.zkr"}, f / "out.zkr", abort));
  EXPECT_EQ(fs::file_size(f / "out.zkr"), kCopyBlockSize);  // the partial output stays

  ToolJob job;
  std::string status;
  job.Start([&f](JobProgress& pr) { return StitchFiles({f / "a_0001.zkr", f / "a_0002.zkr"}, f / "out.zkr", pr); });
  job.Wait();
  EXPECT_EQ(StitchTick(job, status), StitchTickOutcome::Completed);
  EXPECT_EQ(status, "Stitch Files Completed.");
  EXPECT_EQ(fs::file_size(f / "out.zkr"), 2 * kCopyBlockSize + 105);
  job.Start([](JobProgress&) { return false; });
  job.Wait();
  EXPECT_EQ(StitchTick(job, status), StitchTickOutcome::Aborted);
  EXPECT_EQ(status, "");
}

}  // namespace
}  // namespace zk
