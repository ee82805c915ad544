#include "tools/record_dialogs.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "tests/core/tools/record_stream.h"

namespace zk {
namespace {

TEST(RecordDialogs, IntervalListMapping) {
  const struct {
    std::int32_t setting;
    std::string_view shown;
  } cases[] = {{-5, "1ms"},  {0, "1ms"},     {1, "1ms"},      {4, "5ms"},       {7, "10ms"},
               {10, "10ms"}, {499, "500ms"}, {501, "1000ms"}, {1000, "1000ms"}, {99999, "1000ms"}};
  for (const auto& c : cases) {
    EXPECT_EQ(kSamplingIntervals[IntervalListIndex(c.setting)].text, c.shown) << c.setting;
  }
  EXPECT_EQ(IntervalOfListIndex(IntervalListIndex(7)), 10);  // a stored 7 is written back as 10
  EXPECT_EQ(IntervalOfListIndex(-1), 0);
  EXPECT_EQ(IntervalOfListIndex(13), 0);
  EXPECT_EQ(IntervalOfListIndex(0), 1);
  EXPECT_EQ(IntervalOfListIndex(12), 1000);
}

TEST(RecordDialogs, RecordSettingsDefaultsAndCountCheck) {
  const RecordSettingsValues d = DefaultRecordSettingsValues();
  EXPECT_EQ(d.m_MaxPDPacketCount, 99999);
  EXPECT_EQ(d.m_MaxVbusInfoCount, 9999999);
  EXPECT_EQ(kSamplingIntervals[d.m_IntervalIndex].text, "10ms");
  EXPECT_FALSE(d.m_CaptureFullStop || d.m_PDPacketAutoRemove || d.m_VbusInfoAutoRemove);
  for (std::int32_t ok : {100, 99999, 100000}) {
    RecordSettingsValues v;
    v.m_MaxPDPacketCount = ok;
    EXPECT_FALSE(CheckRecordSettings(v)) << ok;
  }
  for (std::int32_t bad : {99, 100001, -1}) {
    RecordSettingsValues v;
    v.m_MaxPDPacketCount = bad;
    EXPECT_EQ(CheckRecordSettings(v), "Enter an integer between 100 and 100000.") << bad;
  }
}

TEST(RecordDialogs, CaptionValidation) {
  const struct {
    std::string caption;
    bool valid;
  } cases[] = {
      {"PDCapture", true},
      {std::string(64, 'a'), true},
      {std::string(65, 'a'), false},
      {"a/b", false},
      {"a\\b", false},
      {"a:b", false},
      {"a*b", false},
      {"a?b", false},
      {"a\"b", false},
      {"a<b", false},
      {"a>b", false},
      {"a|b", false},
      {"", true},
      {"Mesure été", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidCaption(c.caption), c.valid) << c.caption;
  std::string wide;
  for (int i = 0; i < 32; ++i) wide += "\xF0\x9F\x98\x80";  // 32 characters, 64 UTF-16 units
  EXPECT_TRUE(IsValidCaption(wide));
  EXPECT_FALSE(IsValidCaption(wide + "a"));
  std::string accents;
  for (int i = 0; i < 65; ++i) accents += "\xC3\xA9";
  EXPECT_FALSE(IsValidCaption(accents));
  accents.resize(accents.size() - 2);
  EXPECT_TRUE(IsValidCaption(accents));
}

TEST(RecordDialogs, Names) {
  const LocalTime t{2023, 4, 5, 6, 7, 8};
  EXPECT_EQ(BuildBaseName("PDCapture", true, t), "PDCapture_20230405-060708");
  EXPECT_EQ(BuildShownName("PDCapture_20230405-060708", true), "PDCapture_20230405-060708_0001.zkr");
  EXPECT_EQ(BuildBaseName("PDCapture", false, t), "PDCapture");
  EXPECT_EQ(BuildShownName("PDCapture", false), "PDCapture.zkr");

  std::tm tm{};
  tm.tm_year = 2023 - 1900;
  tm.tm_mon = 3;
  tm.tm_mday = 5;
  tm.tm_hour = 6;
  tm.tm_min = 7;
  tm.tm_sec = 8;
  tm.tm_isdst = -1;
  const std::int64_t stamp = std::mktime(&tm);
  const LocalTime back = LocalTimeOf(stamp);
  EXPECT_EQ(BuildBaseName("x", true, back), "x_20230405-060708");
}

TEST(RecordDialogs, CaptureFilenameDialogValues) {
  test::TempFolder folder("record_dialogs");
  CaptureFilenameValues d;
  d.m_Folder = folder.Path().string();
  d.m_AppendTimestamp = true;
  d.m_MultipleFiles = true;
  d.Stamp(0);
  const std::string stamp = d.m_BaseName.substr(9);
  EXPECT_EQ(d.m_BaseName.substr(0, 10), "PDCapture_");
  EXPECT_EQ(d.m_ShownName, d.m_BaseName + "_0001.zkr");

  EXPECT_FALSE(d.EditCaption("bad/name"));
  EXPECT_EQ(d.m_Caption, "PDCapture");
  EXPECT_FALSE(d.EditCaption(std::string(65, 'x')));
  EXPECT_TRUE(d.EditCaption("Bench"));
  EXPECT_EQ(d.m_BaseName, "Bench" + stamp);
  // Cancel keeps what the dialog took: the next Run without the dialog uses it.
  EXPECT_EQ(d.CurrentBaseName(false, 999999), "Bench" + stamp);
  EXPECT_NE(d.CurrentBaseName(true, 86400 * 400), "Bench" + stamp);
  EXPECT_EQ(d.m_TimeStamp, 86400 * 400);

  EXPECT_FALSE(d.CheckOk());
  d.m_MaxFileSizeMB = 0;
  EXPECT_EQ(d.CheckOk(), "Enter an integer between 1 and 9999.");
  d.m_MaxFileSizeMB = 9999;
  EXPECT_TRUE(d.EditCaption(""));
  EXPECT_EQ(d.CheckOk(), "Enter Filename.");
  d.EditCaption("Bench");
  d.m_Folder = (folder.Path() / "missing").string();
  EXPECT_EQ(d.CheckOk(), std::string(kNotWritableFolder));

  const std::string defaults = (folder.Path() / "RVX5K8").string();
  d.m_DoNotAskAgain = true;
  d.LoadDefaults(defaults);
  EXPECT_EQ(d.m_Caption, "PDCapture");
  EXPECT_EQ(d.m_BaseName, "PDCapture");
  EXPECT_EQ(d.m_ShownName, "PDCapture.zkr");
  EXPECT_EQ(d.m_MaxFileSizeMB, 100);
  EXPECT_FALSE(d.m_AppendTimestamp || d.m_MultipleFiles || d.m_DoNotAskAgain);
  EXPECT_EQ(d.m_Folder, defaults);
}

TEST(RecordDialogs, WritableFolder) {
  test::TempFolder folder("writable");
  EXPECT_FALSE(IsWritableFolder(""));
  EXPECT_FALSE(IsWritableFolder((folder.Path() / "missing").string()));
  EXPECT_TRUE(IsWritableFolder(folder.Path().string()));
  EXPECT_TRUE(IsWritableFolder(folder.Path().string() + "/"));
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));  // the test file is gone again
  test::WriteBytes(folder / "___test___capture_____file_____.tmp", {1});
  EXPECT_TRUE(IsWritableFolder(folder.Path().string()));
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

}  // namespace
}  // namespace zk
