#include "record/document.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "record/loader.h"

namespace zk {
namespace {

namespace fs = std::filesystem;

// A record file with three packets at 1000, 2000 and 3000 us after the first sample.
std::string MakeFile(const fs::path& path) {
  std::vector<Record> recs = {EmptyMetaRecord(), CalibrationRecord(kUnitRatios)};
  Record s{};
  WriteU16(s.data(), 0x2001);
  WriteRawSample(s.data(), 0, RawSample{});
  recs.push_back(s);
  int low = 0;
  for (std::uint32_t t : {1000u, 2000u, 3000u}) {
    std::uint8_t ev[56];
    for (int i = 0; i < 56; ++i) ev[i] = static_cast<std::uint8_t>(i < 9 ? i * 8 : 64);
    recs.push_back(CCRecord(0, low++, 0, t, 0, ev));
  }
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  for (const Record& r : recs) f.write(reinterpret_cast<const char*>(r.data()), 64);
  return path.string();
}

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each test in a folder of its own: ctest runs them in parallel processes.
    m_Dir = fs::temp_directory_path() / ("zk_document_test_" + std::to_string(getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_Dir);
    fs::create_directories(m_Dir);
    m_Path = MakeFile(m_Dir / "rec.zkr");
  }
  fs::path m_Dir;
  std::string m_Path;
};

TEST_F(DocumentTest, SaveAsCopiesThenAppendsMarkers) {
  CZKDoc doc;
  doc.OnOpenDocument(m_Path);
  ASSERT_EQ(doc.Store().PacketCount(), 3);
  CCCPacket* p0 = doc.Store().PacketAt(0);
  CCCPacket* p2 = doc.Store().PacketAt(2);
  p0->m_Marked = 1;
  doc.Store().SetMarkerA(p0);  // bookmarked and marker A: saved as marker A only
  doc.Store().SetMarkerB(p2);
  doc.SetTimeOrigin(500, false);
  doc.SetMarkersChanged();
  const std::string copy = (m_Dir / "copy.zkr").string();
  ASSERT_TRUE(doc.OnSaveDocument(copy));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_FALSE(doc.MarkersChanged());
  EXPECT_EQ(fs::file_size(copy), fs::file_size(m_Path) + 64);
  EXPECT_EQ(doc.Store().m_RecordPath, m_Path);  // the document keeps showing the original

  CZKDoc reopened;
  reopened.OnOpenDocument(copy);
  ASSERT_EQ(reopened.Store().PacketCount(), 3);
  EXPECT_EQ(reopened.Store().MarkerA(), reopened.Store().PacketAt(0));
  EXPECT_FALSE(reopened.Store().PacketAt(0)->m_Marked);
  EXPECT_EQ(reopened.Store().MarkerB(), reopened.Store().PacketAt(2));
  EXPECT_EQ(reopened.Store().m_TimeOrigin, 500);
}

TEST_F(DocumentTest, SavingOntoItselfOnlyAppendsChangedMarkersAndLaterGroupsWin) {
  CZKDoc doc;
  doc.OnOpenDocument(m_Path);
  const auto size = fs::file_size(m_Path);
  ASSERT_TRUE(doc.OnSaveDocument(m_Path));  // nothing changed: nothing written
  EXPECT_EQ(fs::file_size(m_Path), size);
  doc.Store().PacketAt(1)->m_Marked = 1;
  doc.SetMarkersChanged();
  ASSERT_TRUE(doc.OnSaveDocument((m_Dir / "." / "rec.zkr").string()));  // the same file, spelt otherwise
  doc.Store().PacketAt(1)->m_Marked = 0;
  doc.Store().PacketAt(2)->m_Marked = 1;
  doc.SetMarkersChanged();
  ASSERT_TRUE(doc.OnSaveDocument(m_Path));
  EXPECT_EQ(fs::file_size(m_Path), size + 128);

  CZKDoc reopened;
  reopened.OnOpenDocument(m_Path);
  EXPECT_FALSE(reopened.Store().PacketAt(1)->m_Marked);
  EXPECT_TRUE(reopened.Store().PacketAt(2)->m_Marked);
}

TEST_F(DocumentTest, NamesDifferingInCaseAreTwoFilesHere) {
  CZKDoc doc;
  doc.OnOpenDocument(m_Path);
  const std::string upper = (m_Dir / "REC.zkr").string();
  ASSERT_TRUE(doc.OnSaveDocument(upper));
  EXPECT_TRUE(fs::exists(upper));
}

TEST_F(DocumentTest, CopyFailureIsReportedAndKeepsModified) {
  CZKDoc doc;
  std::string shown;
  doc.m_ShowError = [&shown](const std::string& t) { shown = t; };
  doc.OnOpenDocument(m_Path);
  doc.SetMarkersChanged();
  EXPECT_FALSE(doc.OnSaveDocument((m_Dir / "no" / "such" / "dir.zkr").string()));
  EXPECT_EQ(shown, "Save File Error");
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentTest, TimeOriginRelativeMovesAddUp) {
  CZKDoc doc;
  struct Spy : DocumentObserver {
    std::vector<std::int64_t> deltas;
    void OnTimeOriginChanged(std::int64_t d) override { deltas.push_back(d); }
  } spy;
  doc.AddObserver(&spy);
  doc.SetTimeOrigin(5000000, true);
  doc.SetTimeOrigin(2000000, true);
  EXPECT_EQ(doc.Store().m_TimeOrigin, 7000000);
  doc.SetTimeOrigin(0, false);
  EXPECT_EQ(spy.deltas, (std::vector<std::int64_t>{5000000, 2000000, -7000000}));
}

TEST_F(DocumentTest, ResetForCaptureAsksUnlessCapturing) {
  CZKDoc doc;
  doc.OnOpenDocument(m_Path);
  doc.SetMarkersChanged();
  int asked = 0;
  doc.m_AskSaveChanges = [&asked] {
    ++asked;
    return SaveAnswer::Cancel;
  };
  EXPECT_FALSE(doc.ResetForCapture(false));
  EXPECT_EQ(doc.Store().PacketCount(), 3);
  EXPECT_TRUE(doc.ResetForCapture(true));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(doc.Store().PacketCount(), 0);
  EXPECT_EQ(doc.PathName(), "Untitled");
  EXPECT_TRUE(doc.RecordPath().empty());
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, OpenCaptureRecordJoinsFolderAndName) {
  CZKDoc doc;
  doc.OpenCaptureRecord(m_Dir.string(), "rec.zkr");
  EXPECT_EQ(doc.Store().PacketCount(), 3);
  EXPECT_TRUE(SameFile(doc.RecordPath(), m_Path));
  EXPECT_EQ(JoinFolder("a/", "b"), "a/b");
}

}  // namespace
}  // namespace zk
