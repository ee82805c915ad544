#include "tools/csv_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "../pd/desc_test_packets.h"

namespace zk {
namespace {

CVbusInfo Sample(std::int64_t time, std::uint16_t vbusMv, std::int16_t vbusMa, std::int16_t cc1Mv) {
  CVbusInfo s{};
  s.m_Time = time;
  s.m_VbusVoltage = vbusMv;
  s.m_VbusCurrent = vbusMa;
  s.m_CC1Voltage = cc1Mv;
  s.m_CC2Current = 7;
  return s;
}

// Samples at shown times 0, 2000 and 8000; a packet before the span and a Source_Capabilities
// at the time of the second sample.
class CsvExportTest : public ::testing::Test {
 protected:
  CsvExportTest() {
    m_Store.m_TimeOrigin = 1000;
    m_Store.AppendSample(Sample(1000, 5000, 100, 1681));
    m_Store.AppendSample(Sample(3000, 9000, -500, 0));
    m_Store.AppendSample(Sample(9000, 20000, 3000, 0));
    auto early = test::MakeMessage(test::MakeHeader({.type = 1}));
    early->m_Time = 500;
    m_Store.InsertPacket(std::move(early));
    auto caps =
        test::MakeMessage(test::MakeHeader({.type = 1, .objects = 1, .powerRole = 1, .dataRole = 1}), {0x0001912Cu});
    caps->m_Time = 3000;
    m_Store.InsertPacket(std::move(caps));
    m_Request.m_Items = ExportItems::Both;
    m_Request.m_Start = 0;
    m_Request.m_End = 5000;
  }

  std::string Export() {
    std::ostringstream out;
    JobProgress progress;
    EXPECT_TRUE(WriteCsvRows(m_Store, m_Request, progress, out));
    EXPECT_EQ(progress.m_Progress.load(), 100);
    return out.str();
  }

  CaptureStore m_Store;
  CsvExportRequest m_Request;
};

constexpr const char* kOptionHeader =
    "\"Timestamp[us]\",\"VBUS Voltage[V]\",\"VBUS Current[A]\",\"VBUS Wattage[W]\",\"CC1 Voltage[V]\","
    "\"CC1 Current[A]\",\"CC2 Voltage[V]\",\"CC2 Current[A]\"";

TEST_F(CsvExportTest, BothItemsMergeSamplesAndPacketsInTimeOrder) {
  const std::string expected =
      std::string(kOptionHeader) +
      ",\"#\",\"Timestamp\",\"CH\",\"OS\",\"Power\",\"Data\",\"Cable Plug\",\"Type\",\"Mes ID\",\"Description\"\r\n"
      "\"0\",\"5.00\",\"0.100\",\"0.500\",\"1.68\",\"0.000\",\"0.00\",\"0.007\"\r\n"
      "\"2000\",\"9.00\",\"-0.500\",\"-4.500\",\"0.00\",\"0.000\",\"0.00\",\"0.007\",\"1\",\"  0s   2ms   0us\","
      "\"CC1\",\"SOP\",\"Source\",\"DFP\",\"\",\"Source_Capabilities\",\"0\","
      "\"[1]<Fixed> 5000[mV]/3000[mA] (Peak Current=0) \"\r\n"
      "\"2000\",\"9.00\",\"-0.500\",\"-4.500\",\"0.00\",\"0.000\",\"0.00\",\"0.007\"\r\n";
  EXPECT_EQ(Export(), expected);
}

TEST_F(CsvExportTest, ReversedCurrentAndFewerOptions) {
  m_Request.m_ReverseCurrent = true;
  m_Request.m_Options = {false, true, true, false, false, false, true};
  m_Request.m_Items = ExportItems::VoltageCurrent;
  EXPECT_EQ(Export(),
            "\"Timestamp[us]\",\"VBUS Current[A]\",\"VBUS Wattage[W]\",\"CC2 Current[A]\"\r\n"
            "\"0\",\"-0.100\",\"-0.500\",\"-0.007\"\r\n"
            "\"2000\",\"0.500\",\"4.500\",\"-0.007\"\r\n");
}

TEST_F(CsvExportTest, PdMessagesOnlyWritePacketRows) {
  m_Request.m_Items = ExportItems::PdMessages;
  m_Request.m_Options = {true, false, false, false, false, false, false};
  m_Request.m_Start = -1000;
  const std::string csv = Export();
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3);
  EXPECT_NE(csv.find("\r\n\"-500\",\"5.00\",\"0\","), std::string::npos);  // measured from the first sample
  EXPECT_NE(csv.find("\r\n\"2000\",\"9.00\",\"1\","), std::string::npos);
}

TEST(CsvPacketColumnsTest, PositionsTakeTheLowestIdAndSkipMeasurements) {
  ColumnChoices columns = DefaultColumnChoices();
  EXPECT_EQ(CsvPacketColumns(columns, true), (std::vector<int>{0, 2, 6, 7, 8, 9, 10, 11, 12, 21}));
  const std::vector<int> all = CsvPacketColumns(columns, false);
  EXPECT_EQ(all.size(), 31u);
  EXPECT_EQ(std::vector<int>(all.begin(), all.begin() + 6), (std::vector<int>{0, 1, 2, 3, 6, 7}));
  columns[3] = {true, 0};  // the same position as "#": the lower id wins
  columns[11].order = 99;  // outside every position
  EXPECT_EQ(CsvPacketColumns(columns, true), (std::vector<int>{0, 2, 6, 7, 8, 9, 10, 12, 21}));
}

TEST_F(CsvExportTest, AbortStopsAfterTheRowsWritten) {
  std::ostringstream out;
  JobProgress progress;
  progress.m_Abort = true;
  EXPECT_FALSE(WriteCsvRows(m_Store, m_Request, progress, out));
  const std::string csv = out.str();
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1);
}

TEST_F(CsvExportTest, WritesTheFileByteForByte) {
  const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) / "zk_csv_export_test.csv";
  m_Request.m_FileName = path.string();
  JobProgress progress;
  ASSERT_TRUE(WriteCsvExport(m_Store, m_Request, progress));
  std::ifstream in(path, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, Export());
  in.close();  // Windows refuses to remove a file that is still open
  std::filesystem::remove(path);
  m_Request.m_FileName = (path.parent_path() / "no such folder" / "x.csv").string();
  EXPECT_FALSE(WriteCsvExport(m_Store, m_Request, progress));

  // Choosing the open record file's own name must leave that file as it was.
  const std::filesystem::path record = std::filesystem::path(::testing::TempDir()) / "zk_csv_export_own_record.zkr";
  { std::ofstream(record, std::ios::binary) << "record bytes"; }
  m_Store.m_RecordPath = record.string();
  m_Request.m_FileName = record.string();
  EXPECT_FALSE(WriteCsvExport(m_Store, m_Request, progress));
  EXPECT_EQ(std::filesystem::file_size(record), 12u);
  m_Store.m_RecordPath.clear();
  std::filesystem::remove(record);
}

}  // namespace
}  // namespace zk
