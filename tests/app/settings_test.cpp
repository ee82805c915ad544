#include "app/settings.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/drawing_settings.h"
#include "app/memory_storage.h"
#include "app/qsettings_storage.h"

namespace zk {
namespace {

namespace fs = std::filesystem;

// Records every operation in order; a name listed in failWrites fails its write.
class RecordingStorage : public MemoryStorage {
 public:
  std::vector<std::string> reads, writes;
  std::vector<std::string> failWrites;
  bool failEveryWrite = false;

  std::int32_t ReadNumber(std::string_view s, std::string_view n, std::int32_t d) override {
    reads.emplace_back(n);
    return MemoryStorage::ReadNumber(s, n, d);
  }
  std::string ReadText(std::string_view s, std::string_view n, const std::string& d) override {
    reads.emplace_back(n);
    return MemoryStorage::ReadText(s, n, d);
  }
  std::optional<std::vector<std::uint8_t>> ReadRecord(std::string_view s, std::string_view n) override {
    reads.emplace_back(n);
    return MemoryStorage::ReadRecord(s, n);
  }
  bool WriteNumber(std::string_view s, std::string_view n, std::int32_t v) override {
    return Note(n) && MemoryStorage::WriteNumber(s, n, v);
  }
  bool WriteText(std::string_view s, std::string_view n, const std::string& t) override {
    return Note(n) && MemoryStorage::WriteText(s, n, t);
  }
  bool WriteRecord(std::string_view s, std::string_view n, const std::uint8_t* b, std::size_t c) override {
    return Note(n) && MemoryStorage::WriteRecord(s, n, b, c);
  }

 private:
  bool Note(std::string_view n) {
    writes.emplace_back(n);
    return !failEveryWrite && std::find(failWrites.begin(), failWrites.end(), n) == failWrites.end();
  }
};

// Hands every operation on to a storage that outlives it.
class SettingsView : public SettingsStorage {
 public:
  explicit SettingsView(SettingsStorage& s) : m_S(s) {}
  std::int32_t ReadNumber(std::string_view s, std::string_view n, std::int32_t d) override {
    return m_S.ReadNumber(s, n, d);
  }
  bool WriteNumber(std::string_view s, std::string_view n, std::int32_t v) override { return m_S.WriteNumber(s, n, v); }
  std::string ReadText(std::string_view s, std::string_view n, const std::string& d) override {
    return m_S.ReadText(s, n, d);
  }
  bool WriteText(std::string_view s, std::string_view n, const std::string& t) override {
    return m_S.WriteText(s, n, t);
  }
  std::optional<std::vector<std::uint8_t>> ReadRecord(std::string_view s, std::string_view n) override {
    return m_S.ReadRecord(s, n);
  }
  bool WriteRecord(std::string_view s, std::string_view n, const std::uint8_t* b, std::size_t c) override {
    return m_S.WriteRecord(s, n, b, c);
  }

 private:
  SettingsStorage& m_S;
};

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    documents = fs::temp_directory_path() / ("zk_settings_docs_" + std::to_string(::getpid()));
    fs::remove_all(documents);
    fs::create_directories(documents);
    settings.m_DocumentsFolder = [this] { return documents.string(); };
  }
  void TearDown() override { fs::remove_all(documents); }

  std::int32_t StoredNumber(MemoryStorage& s, std::string_view name) {
    return s.ReadNumber(kSettingsSection, name, -999);
  }
  void StoreRecord(MemoryStorage& s, std::string_view name, std::vector<std::uint8_t> bytes) {
    s.WriteRecord(kSettingsSection, name, bytes.data(), bytes.size());
  }

  fs::path documents;
  AppSettings settings;
};

std::vector<std::uint8_t> Bytes(const auto& packed) { return {packed.begin(), packed.end()}; }

TEST_F(SettingsTest, FirstStartTakesEveryDefaultAndCreatesTheRecordFolder) {
  MemoryStorage empty;
  settings.m_RecordFileCaption = "changed";
  settings.m_GraphAutoScroll = false;
  settings.LoadSettings(empty);
  const fs::path folder = documents / "RVX5K8";
  EXPECT_EQ(settings.m_RecordFileFolder, folder.string());
  EXPECT_TRUE(fs::is_directory(folder));

  AppSettings expected;
  expected.m_RecordFileFolder = folder.string();
  expected.m_DocumentsFolder = settings.m_DocumentsFolder;
  MemoryStorage a, b;
  settings.SaveSettings(a);
  expected.SaveSettings(b);
  for (std::string_view name : {"LaunchDriverInstaller", "RecordMaxFileSizeMB", "RecordVbusSamplingIntervalMS",
                                "GraphShowPlots", "GraphShowPDPackets", "GraphAutoScroll", "PDMessageAutoScroll",
                                "CtrlViewHeight", "CalVbusVolRatio", "CalCC2CurrRatio"}) {
    EXPECT_EQ(StoredNumber(a, name), StoredNumber(b, name)) << name;
  }
  EXPECT_EQ(StoredNumber(a, "LaunchDriverInstaller"), 1);
  EXPECT_EQ(StoredNumber(a, "RecordMaxFileSizeMB"), 100);
  EXPECT_EQ(StoredNumber(a, "RecordVbusSamplingIntervalMS"), 10);
  EXPECT_EQ(StoredNumber(a, "GraphShowPlots"), 0);
  EXPECT_EQ(StoredNumber(a, "GraphAutoScroll"), 1);
  EXPECT_EQ(StoredNumber(a, "CalCC1VolRatio"), 1000000);
  EXPECT_EQ(settings.m_RecordFileCaption, "PDCapture");
  EXPECT_EQ(settings.m_AppSettings, WindowLayout());
  EXPECT_EQ(settings.m_AppSettings.m_WindowWidth, 1200);
  EXPECT_EQ(settings.m_ColumnInfo[21], (ColumnInfo{1, 300, 24}));
  EXPECT_EQ(settings.m_GraphFont.FaceName(), "Arial");
  EXPECT_EQ(a.Size(), b.Size());
}

TEST_F(SettingsTest, LoadAndSaveFollowTheirOrders) {
  RecordingStorage s;
  settings.LoadSettings(s);
  std::vector<std::string> loadOrder = {
      "PDZelkorAppSettings",   "RecordFileFolder",         "RecordFileCaption",
      "LaunchDriverInstaller", "RecordMaxFileSizeMB",      "RecordVbusSamplingIntervalMS",
      "RecordDoNotAskAgain",   "RecordAppendTimestamp",    "RecordMultiCaptureFile",
      "RecordCaptureFullStop", "RecordPDPacketAutoRemove", "RecordVbusInfoAutoRemove",
      "GraphShowPlots",        "GraphShowPDPackets",       "GraphAutoScroll",
      "PDMessageAutoScroll",   "CtrlViewHeight",           "VbusCurrDirCfgDoNotAskAgain",
      "VbusCurrDirReverse",    "CalVbusVolRatio",          "CalCC1VolRatio",
      "CalCC2VolRatio",        "CalVbusCurrRatio",         "CalCC1CurrRatio",
      "CalCC2CurrRatio"};
  for (int id = 0; id < 38; ++id) loadOrder.push_back("ColumnInfo" + std::to_string(id));
  loadOrder.push_back("GraphFont");
  EXPECT_EQ(s.reads, loadOrder);

  settings.SaveSettings(s);
  std::vector<std::string> saveOrder = {
      "PDZelkorAppSettings", "LaunchDriverInstaller",        "RecordFileFolder",       "RecordFileCaption",
      "RecordMaxFileSizeMB", "RecordVbusSamplingIntervalMS", "RecordMaxPDPacketCount", "RecordMaxVbusInfoCount"};
  saveOrder.insert(saveOrder.end(), loadOrder.begin() + 6, loadOrder.end());
  EXPECT_EQ(s.writes, saveOrder);
}

TEST_F(SettingsTest, FailingWritesDoNotStopTheSave) {
  RecordingStorage s;
  s.failWrites = {"PDZelkorAppSettings", "RecordFileCaption", "ColumnInfo0"};
  settings.m_GraphFont.lfHeight = 21;
  settings.SaveSettings(s);
  EXPECT_EQ(s.writes.size(), 25u + 2u + 38u + 1u);
  EXPECT_EQ(s.writes.back(), "GraphFont");
  EXPECT_EQ(LogFont::Unpack(s.ReadRecord(kSettingsSection, "GraphFont")->data()).lfHeight, 21);
}

TEST_F(SettingsTest, TextsAndFixedLimits) {
  struct Case {
    const char* folder;  // nullptr: missing
    bool expectDefault;
  };
  for (const Case& c : {Case{nullptr, true}, Case{"", true}, Case{"/no/such/dir", false}}) {
    MemoryStorage s;
    if (c.folder) s.WriteText(kSettingsSection, "RecordFileFolder", c.folder);
    s.WriteNumber(kSettingsSection, "RecordMaxPDPacketCount", 500);
    s.WriteNumber(kSettingsSection, "RecordMaxVbusInfoCount", 7);
    settings.LoadSettings(s);
    EXPECT_EQ(settings.m_RecordFileFolder, c.expectDefault ? (documents / "RVX5K8").string() : c.folder);
    EXPECT_EQ(settings.m_RecordMaxPDPacketCount, 99999);
    EXPECT_EQ(settings.m_RecordMaxVbusInfoCount, 9999999);
    settings.SaveSettings(s);
    EXPECT_EQ(StoredNumber(s, "RecordMaxPDPacketCount"), 99999);
    EXPECT_EQ(StoredNumber(s, "RecordMaxVbusInfoCount"), 9999999);
  }
  EXPECT_FALSE(fs::exists("/no/such/dir"));
}

TEST_F(SettingsTest, FlagsReadNonZeroAsOneAndNumbersAsStored) {
  MemoryStorage s;
  s.WriteNumber(kSettingsSection, "RecordAppendTimestamp", 7);
  s.WriteNumber(kSettingsSection, "GraphAutoScroll", 0);
  s.WriteNumber(kSettingsSection, "RecordVbusSamplingIntervalMS", 7);  // no range check at load
  s.WriteNumber(kSettingsSection, "CalVbusCurrRatio", -5);
  s.WriteText(kSettingsSection, "CtrlViewHeight", "wrong type");
  settings.LoadSettings(s);
  EXPECT_TRUE(settings.m_RecordAppendTimestamp);
  EXPECT_FALSE(settings.m_GraphAutoScroll);
  EXPECT_EQ(settings.m_RecordVbusSamplingIntervalMS, 7);
  EXPECT_EQ(settings.CalRatios()[kCalVbusCurr], -5);
  EXPECT_EQ(settings.m_CtrlViewHeight, 0);
  settings.SaveSettings(s);
  EXPECT_EQ(StoredNumber(s, "RecordAppendTimestamp"), 1);
}

TEST(SettingsRecords, WindowLayoutBytesAndChecks) {
  WindowLayout w;
  w.m_WindowWidth = 0x01020304;
  w.m_MessageFontValid = 1;
  w.m_MessageFont.lfWeight = 700;
  w.m_MessageFont.lfItalic = 1;
  w.m_MessageFont.SetFaceName("Consolas");
  const WindowLayout::Bytes b = w.Pack();
  const std::vector<std::uint8_t> head(b.begin(), b.begin() + 12);
  EXPECT_EQ(head, (std::vector<std::uint8_t>{0xAA, 0xAA, 0x55, 0x55, 0x00, 0x01, 0, 0, 0x04, 0x03, 0x02, 0x01}));
  EXPECT_EQ(b[24], 1);
  EXPECT_EQ(b[28 + 16], 700 & 0xFF);
  EXPECT_EQ(b[28 + 16 + 1], 700 >> 8);
  EXPECT_EQ(b[28 + 20], 1);    // lfItalic
  EXPECT_EQ(b[28 + 28], 'C');  // face name, UTF-16LE
  EXPECT_EQ(b[28 + 29], 0);
  ASSERT_TRUE(WindowLayout::Unpack(b.data(), b.size()));
  EXPECT_EQ(*WindowLayout::Unpack(b.data(), b.size()), w);

  WindowLayout::Bytes wrongVersion = b;
  wrongVersion[4] = 0x01;  // 0x0101
  WindowLayout::Bytes wrongMagic = b;
  wrongMagic[0] = 0xAB;
  std::vector<std::uint8_t> longer(b.begin(), b.end());
  longer.push_back(0);
  EXPECT_FALSE(WindowLayout::Unpack(wrongVersion.data(), wrongVersion.size()));
  EXPECT_FALSE(WindowLayout::Unpack(wrongMagic.data(), wrongMagic.size()));
  EXPECT_FALSE(WindowLayout::Unpack(b.data(), 119));
  EXPECT_FALSE(WindowLayout::Unpack(longer.data(), longer.size()));
}

TEST(SettingsRecords, AnyAcceptedLayoutRoundTripsByteForByte) {
  WindowLayout::Bytes b;
  for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 37 + 11);
  WriteU32(b.data(), WindowLayout::kMagic);
  WriteU16(b.data() + 4, WindowLayout::kVersion);
  EXPECT_EQ(WindowLayout::Unpack(b.data(), b.size())->Pack(), b);
  LogFont::Bytes f;
  for (std::size_t i = 0; i < f.size(); ++i) f[i] = static_cast<std::uint8_t>(255 - i);
  EXPECT_EQ(LogFont::Unpack(f.data()).Pack(), f);
}

TEST(SettingsRecords, ColumnRecordAndDefaults) {
  const ColumnInfo c{1, -2, 0x0A0B0C0D};
  EXPECT_EQ(Bytes(c.Pack()), (std::vector<std::uint8_t>{1, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 0x0D, 0x0C, 0x0B, 0x0A}));
  EXPECT_FALSE(DefaultColumnInfo(-1));
  EXPECT_FALSE(DefaultColumnInfo(38));
  EXPECT_EQ(*DefaultColumnInfo(0), (ColumnInfo{1, 50, 0}));
  EXPECT_EQ(*DefaultColumnInfo(37), (ColumnInfo{0, 70, 37}));
  std::vector<bool> seen(38, false);
  for (int id = 0; id < 38; ++id) seen[static_cast<std::size_t>(DefaultColumnInfo(id)->m_Order)] = true;
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 38);  // the default orders are a permutation
}

TEST_F(SettingsTest, StoredRecordsOfTheWrongShapeKeepTheirDefaults) {
  MemoryStorage s;
  WindowLayout stored;
  stored.m_WindowWidth = 1600;
  std::vector<std::uint8_t> layout = Bytes(stored.Pack());
  layout.push_back(0);  // 121 bytes
  StoreRecord(s, "PDZelkorAppSettings", layout);
  for (int id = 0; id < 38; ++id)
    StoreRecord(s, "ColumnInfo" + std::to_string(id), Bytes(ColumnInfo{1, id, 37 - id}.Pack()));
  s.Erase(kSettingsSection, "ColumnInfo5");
  StoreRecord(s, "ColumnInfo6", {1, 0, 0, 0, 9, 0, 0, 0});  // 8 bytes
  StoreRecord(s, "GraphFont", std::vector<std::uint8_t>(60, 1));
  settings.LoadSettings(s);
  EXPECT_EQ(settings.m_AppSettings.m_WindowWidth, 1200);
  EXPECT_EQ(settings.m_AppSettings.m_WindowHeight, 700);
  EXPECT_EQ(settings.m_ColumnInfo[5], *DefaultColumnInfo(5));
  EXPECT_EQ(settings.m_ColumnInfo[6], *DefaultColumnInfo(6));
  EXPECT_EQ(settings.m_ColumnInfo[4], (ColumnInfo{1, 4, 33}));
  EXPECT_EQ(settings.m_ColumnInfo[37], (ColumnInfo{1, 37, 0}));
  EXPECT_EQ(settings.m_GraphFont, DefaultGraphFont());

  layout.pop_back();
  StoreRecord(s, "PDZelkorAppSettings", layout);
  settings.LoadSettings(s);
  EXPECT_EQ(settings.m_AppSettings.m_WindowWidth, 1600);
}

TEST(SettingsRecords, DefaultGraphFontAndFaceNames) {
  const LogFont f = DefaultGraphFont();
  EXPECT_EQ(f.lfHeight, 16);
  EXPECT_EQ(f.lfWidth, 0);
  EXPECT_EQ(f.lfWeight, 0);
  EXPECT_EQ(f.lfCharSet, 1);
  EXPECT_EQ(f.lfQuality, 1);
  EXPECT_EQ(f.lfPitchAndFamily, 0);
  EXPECT_EQ(f.FaceName(), "Arial");
  LogFont g;
  g.SetFaceName("Ünï \xF0\x9F\x98\x80");  // BMP letters and one character beyond
  EXPECT_EQ(g.FaceName(), "Ünï \xF0\x9F\x98\x80");
  g.SetFaceName(std::string(40, 'x'));
  EXPECT_EQ(g.FaceName(), std::string(31, 'x'));
  EXPECT_EQ(g.lfFaceName[31], 0);
}

// A storage that takes no write at all at exit: an in-memory one that refuses every write,
// and an INI file on a folder that has become read-only. Every value is still offered, the
// program goes on, and what the storage held before comes back at the next start.
TEST_F(SettingsTest, StorageRefusingEveryWriteKeepsWhatItHeld) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString ini = dir.filePath("zelkor.ini");
  RecordingStorage memory;
  struct Case {
    const char* name;
    std::function<std::unique_ptr<SettingsStorage>()> open;
    std::function<void()> refuseWrites;
    // What the next start reads (QSettings keeps unsaved values in a cache of the process:
    // the next start is a copy of the file as it is on disk).
    std::function<std::unique_ptr<SettingsStorage>()> nextStart;
  };
  const QString copy = QDir(QDir::tempPath()).filePath("zk_settings_next_" + QString::number(::getpid()) + ".ini");
  const Case cases[] = {
      {"memory", [&memory] { return std::make_unique<SettingsView>(memory); },
       [&memory] { memory.failEveryWrite = true; }, [&memory] { return std::make_unique<SettingsView>(memory); }},
      {"read-only INI", [&ini] { return std::make_unique<QSettingsStorage>(ini); },
       [&dir, &ini] {
         fs::permissions(ini.toStdString(), fs::perms::owner_read);
         fs::permissions(dir.path().toStdString(), fs::perms::owner_read | fs::perms::owner_exec);
       },
       [&ini, &copy] {
         fs::copy_file(ini.toStdString(), copy.toStdString(), fs::copy_options::overwrite_existing);
         return std::make_unique<QSettingsStorage>(copy);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (std::string(c.name) != "memory" && ::geteuid() == 0) continue;  // permissions do not bind root
    AppSettings before;
    before.m_DocumentsFolder = settings.m_DocumentsFolder;
    before.m_RecordFileCaption = "Before";
    before.m_AppSettings.m_WindowHeight = 640;
    DrawingSettings drawing = DefaultDrawingSettings();
    {
      const std::unique_ptr<SettingsStorage> storage = c.open();
      before.SaveSettings(*storage);
      SaveDrawingSettings(*storage, drawing);
      if (auto* qs = dynamic_cast<QSettingsStorage*>(storage.get())) {
        ASSERT_TRUE(qs->Sync());
      }
    }
    c.refuseWrites();

    AppSettings after = before;
    after.m_RecordFileCaption = "After";
    after.m_AppSettings.m_WindowHeight = 900;
    DrawingSettings changed = drawing;
    changed.m_Colors[kColorCursor] = 0x123456;
    {
      const std::unique_ptr<SettingsStorage> storage = c.open();
      memory.writes.clear();
      after.SaveSettings(*storage);
      SaveDrawingSettings(*storage, changed);
      if (auto* qs = dynamic_cast<QSettingsStorage*>(storage.get())) {
        EXPECT_FALSE(qs->Sync());
      }
      if (std::string(c.name) == "memory") {
        EXPECT_EQ(memory.writes.size(), 25u + 2u + 38u + 1u + 46u);
      }
    }
    EXPECT_EQ(after.m_RecordFileCaption, "After");  // the running program keeps its values

    const std::unique_ptr<SettingsStorage> storage = c.nextStart();
    AppSettings next;
    next.m_DocumentsFolder = settings.m_DocumentsFolder;
    next.LoadSettings(*storage);
    EXPECT_EQ(next.m_RecordFileCaption, "Before");
    EXPECT_EQ(next.m_AppSettings.m_WindowHeight, 640);
    EXPECT_EQ(LoadDrawingSettings(*storage), drawing);
  }
  fs::permissions(dir.path().toStdString(), fs::perms::owner_all);
  fs::remove(copy.toStdString());
}

// The QSettings storage in an INI file of a temporary folder.
TEST_F(SettingsTest, RoundTripThroughQSettings) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString ini = dir.filePath("zelkor.ini");

  MemoryStorage first;
  settings.LoadSettings(first);
  settings.m_RecordFileCaption = "Mesure_é";
  settings.m_RecordFileFolder = "/tmp/été";
  settings.m_AppSettings.m_WindowHeight = 812;
  settings.m_AppSettings.m_MessageFont.SetFaceName("Noto Sans");
  settings.m_ColumnInfo[3] = {1, 99, 4};
  settings.m_GraphFont.lfWeight = 700;
  settings.m_VbusCurrDirReverse = true;
  settings.m_CalVbusVolRatio = 1002700;
  settings.m_CtrlViewHeight = -3;
  {
    QSettingsStorage storage(ini);
    settings.SaveSettings(storage);
    EXPECT_TRUE(storage.Sync());
  }
  AppSettings loaded;
  loaded.m_DocumentsFolder = settings.m_DocumentsFolder;
  {
    QSettingsStorage storage(ini);
    loaded.LoadSettings(storage);
  }
  EXPECT_EQ(loaded.m_RecordFileCaption, "Mesure_é");
  EXPECT_EQ(loaded.m_RecordFileFolder, "/tmp/été");
  EXPECT_EQ(loaded.m_AppSettings, settings.m_AppSettings);
  EXPECT_EQ(loaded.m_ColumnInfo, settings.m_ColumnInfo);
  EXPECT_EQ(loaded.m_GraphFont, settings.m_GraphFont);
  EXPECT_TRUE(loaded.m_VbusCurrDirReverse);
  EXPECT_EQ(loaded.m_CalVbusVolRatio, 1002700);
  EXPECT_EQ(loaded.m_CtrlViewHeight, -3);

  QSettings raw(ini, QSettings::IniFormat);
  EXPECT_EQ(raw.value("PDZKRAPP/GraphFont").toByteArray().size(), 92);
  EXPECT_EQ(raw.value("PDZKRAPP/PDZelkorAppSettings").toByteArray().size(), 120);
  raw.setValue("PDZKRAPP/GraphFont", QByteArray(60, 'x'));
  raw.setValue("PDZKRAPP/RecordFileCaption", QByteArray("bytes"));
  raw.setValue("PDZKRAPP/RecordMaxFileSizeMB", QString("not a number"));
  raw.setValue("PDZKRAPP/CalCC1VolRatio", QString("4294967295"));
  raw.sync();
  QSettingsStorage storage(ini);
  loaded.LoadSettings(storage);
  EXPECT_EQ(loaded.m_GraphFont, DefaultGraphFont());
  EXPECT_EQ(loaded.m_RecordFileCaption, "PDCapture");
  EXPECT_EQ(loaded.m_RecordMaxFileSizeMB, 100);
  EXPECT_EQ(loaded.m_CalCC1VolRatio, -1);
}

}  // namespace
}  // namespace zk
