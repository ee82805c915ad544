// File names are UTF-8 strings: a name outside the ANSI code page still reaches the file on
// Windows, through every tool that opens one.
#include "record/file_path.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "record/loader.h"
#include "record/record_file_info.h"
#include "sim/scenarios.h"
#include "tests/core/tools/record_stream.h"
#include "tools/record_subset.h"
#include "tools/stitch.h"

namespace zk {
namespace {

namespace fs = std::filesystem;

// Greek and CJK: in no single-byte code page.
constexpr const char* kFolderName = "zk_\xCE\xA9\xCE\xBC_\xE6\xB8\xAC\xE5\xAE\x9A";

TEST(FilePath, NonAsciiNamesReachTheFiles) {
  test::TempFolder temp("utf8");
  const std::string folder = Utf8FromPath(temp.Path()) + "/" + kFolderName;
  ASSERT_TRUE(fs::create_directory(PathFromUtf8(folder)));
  // The same folder spelt by the compiler as UTF-16 on Windows: the bytes were not read as ANSI.
  ASSERT_TRUE(fs::is_directory(temp.Path() / u8"zk_\u03A9\u03BC_\u6E2C\u5B9A"));

  const std::string first = folder + "/cap_\xC3\xA9_0001.zkr";
  sim::ScenarioOptions so;
  so.name = "mixed";
  so.seconds = 1.0;
  std::string error;
  ASSERT_TRUE(sim::WriteScenarioFile(so, first, error)) << error;

  RecordFileInfo info;
  ASSERT_TRUE(ScanRecordFile(first, info, error)) << error;
  CaptureStore store;
  LoadRecordFile(store, first);
  FinishPendingPackets(store);
  ASSERT_GT(store.PacketCount(), 0);
  EXPECT_EQ(info.fileBytes, fs::file_size(PathFromUtf8(first)));

  const std::string second = folder + "/cap_\xC3\xA9_0002.zkr";
  JobProgress progress;
  ASSERT_TRUE(WriteRecordSubset(first, second, {0, info.fileBytes - 1}, progress));

  StitchDialogState state;
  state.m_Folder = folder;
  ListBaseFiles(state);
  ASSERT_EQ(state.m_BaseList.size(), 2u);
  EXPECT_EQ(state.m_BaseList[0].m_Name, "cap_\xC3\xA9_0001.zkr");
  EXPECT_TRUE(fs::equivalent(PathFromUtf8(state.m_BaseList[1].m_Path), PathFromUtf8(second)));
  const std::string joined = folder + "/joined.zkr";
  ASSERT_TRUE(StitchFiles({state.m_BaseList[0].m_Path, state.m_BaseList[1].m_Path}, joined, progress));
  EXPECT_EQ(fs::file_size(PathFromUtf8(joined)), 2 * info.fileBytes);
}

TEST(FilePath, InvalidUtf8OpensNothingAndDoesNotThrow) {
  const std::string bad = "zk_\xFF\xFE.zkr";
#ifdef _WIN32
  EXPECT_TRUE(PathFromUtf8(bad).empty());
#endif
  EXPECT_EQ(OpenFile(bad, "rb"), nullptr);
  CaptureStore store;
  LoadRecordFile(store, bad);
  EXPECT_EQ(store.PacketCount(), 0);
}

}  // namespace
}  // namespace zk
