#include "app/settings.h"

#include <filesystem>
#include <system_error>
#include <variant>

#include "pd/column_table.h"
#include "record/file_path.h"

namespace zk {

namespace {

void PutU16(std::uint8_t* p, std::uint16_t v) { WriteU16(p, v); }
void PutS32(std::uint8_t* p, std::int32_t v) { WriteU32(p, static_cast<std::uint32_t>(v)); }
std::int32_t GetS32(const std::uint8_t* p) { return static_cast<std::int32_t>(ReadU32(p)); }

static_assert(kColumnCount == kSummaryFieldCount);

// Show, width and display position of a column id, as the column table lists them.
ColumnInfo DefaultColumn(int id) {
  const ColumnDefinition& c = ColumnTable()[static_cast<std::size_t>(id)];
  return ColumnInfo{c.shown ? 1 : 0, c.width, c.order};
}

// One number or flag of the settings object. Fixed values are written but never read back.
struct ScalarSetting {
  std::string_view name;
  std::variant<bool AppSettings::*, std::int32_t AppSettings::*> member;
  std::int32_t def;
  bool fixed = false;
};

// In save order. Loading reads the same rows in the same order, except that the
// installer flag (row 0) is read after the two texts and written before them.
constexpr ScalarSetting kScalarSettings[] = {
    {"LaunchDriverInstaller", &AppSettings::m_LaunchDriverInstaller, 1},
    {"RecordMaxFileSizeMB", &AppSettings::m_RecordMaxFileSizeMB, 100},
    {"RecordVbusSamplingIntervalMS", &AppSettings::m_RecordVbusSamplingIntervalMS, 10},
    {"RecordMaxPDPacketCount", &AppSettings::m_RecordMaxPDPacketCount, kFixedMaxPDPacketCount, true},
    {"RecordMaxVbusInfoCount", &AppSettings::m_RecordMaxVbusInfoCount, kFixedMaxVbusInfoCount, true},
    {"RecordDoNotAskAgain", &AppSettings::m_RecordDoNotAskAgain, 0},
    {"RecordAppendTimestamp", &AppSettings::m_RecordAppendTimestamp, 0},
    {"RecordMultiCaptureFile", &AppSettings::m_RecordMultiCaptureFile, 0},
    {"RecordCaptureFullStop", &AppSettings::m_RecordCaptureFullStop, 0},
    {"RecordPDPacketAutoRemove", &AppSettings::m_RecordPDPacketAutoRemove, 0},
    {"RecordVbusInfoAutoRemove", &AppSettings::m_RecordVbusInfoAutoRemove, 0},
    {"GraphShowPlots", &AppSettings::m_GraphShowPlots, 0},
    {"GraphShowPDPackets", &AppSettings::m_GraphShowPDPackets, 1},
    {"GraphAutoScroll", &AppSettings::m_GraphAutoScroll, 1},
    {"PDMessageAutoScroll", &AppSettings::m_PDMessageAutoScroll, 1},
    {"CtrlViewHeight", &AppSettings::m_CtrlViewHeight, 0},
    {"VbusCurrDirCfgDoNotAskAgain", &AppSettings::m_VbusCurrDirCfgDoNotAskAgain, 0},
    {"VbusCurrDirReverse", &AppSettings::m_VbusCurrDirReverse, 0},
    {"CalVbusVolRatio", &AppSettings::m_CalVbusVolRatio, kUnitRatio},
    {"CalCC1VolRatio", &AppSettings::m_CalCC1VolRatio, kUnitRatio},
    {"CalCC2VolRatio", &AppSettings::m_CalCC2VolRatio, kUnitRatio},
    {"CalVbusCurrRatio", &AppSettings::m_CalVbusCurrRatio, kUnitRatio},
    {"CalCC1CurrRatio", &AppSettings::m_CalCC1CurrRatio, kUnitRatio},
    {"CalCC2CurrRatio", &AppSettings::m_CalCC2CurrRatio, kUnitRatio},
};

constexpr std::string_view kWindowLayoutName = "PDZelkorAppSettings";
constexpr std::string_view kFolderName = "RecordFileFolder";
constexpr std::string_view kCaptionName = "RecordFileCaption";
constexpr std::string_view kGraphFontName = "GraphFont";

std::string ColumnValueName(int id) { return "ColumnInfo" + std::to_string(id); }

void LoadScalar(SettingsStorage& storage, const ScalarSetting& row, AppSettings& s) {
  if (const auto* flag = std::get_if<bool AppSettings::*>(&row.member)) {
    s.*(*flag) = storage.ReadNumber(kSettingsSection, row.name, row.def) != 0;
  } else {
    const auto number = std::get<std::int32_t AppSettings::*>(row.member);
    s.*number = row.fixed ? row.def : storage.ReadNumber(kSettingsSection, row.name, row.def);
  }
}

void SaveScalar(SettingsStorage& storage, const ScalarSetting& row, const AppSettings& s) {
  const std::int32_t value = std::visit([&s](auto member) { return static_cast<std::int32_t>(s.*member); }, row.member);
  storage.WriteNumber(kSettingsSection, row.name, value);
}

// The first code point of utf8 at i, with the number of bytes it takes (1 for a malformed byte).
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view utf8, std::size_t i) {
  const auto b = static_cast<unsigned char>(utf8[i]);
  std::size_t len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
  if (len == 0 || i + len > utf8.size()) return {0xFFFD, 1};
  char32_t c = len == 1 ? b : b & (0x7F >> len);
  for (std::size_t k = 1; k < len; ++k) {
    const auto t = static_cast<unsigned char>(utf8[i + k]);
    if ((t >> 6) != 0x2) return {0xFFFD, 1};
    c = (c << 6) | (t & 0x3F);
  }
  return {c, len};
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

// ---- LogFont -----------------------------------------------------------------

LogFont::Bytes LogFont::Pack() const {
  Bytes b{};
  PutS32(&b[0], lfHeight);
  PutS32(&b[4], lfWidth);
  PutS32(&b[8], lfEscapement);
  PutS32(&b[12], lfOrientation);
  PutS32(&b[16], lfWeight);
  const std::uint8_t small[8] = {lfItalic,       lfUnderline,     lfStrikeOut, lfCharSet,
                                 lfOutPrecision, lfClipPrecision, lfQuality,   lfPitchAndFamily};
  for (int i = 0; i < 8; ++i) b[20 + i] = small[i];
  for (std::size_t i = 0; i < lfFaceName.size(); ++i) PutU16(&b[28 + 2 * i], lfFaceName[i]);
  return b;
}

LogFont LogFont::Unpack(const std::uint8_t* b) {
  LogFont f;
  f.lfHeight = GetS32(b + 0);
  f.lfWidth = GetS32(b + 4);
  f.lfEscapement = GetS32(b + 8);
  f.lfOrientation = GetS32(b + 12);
  f.lfWeight = GetS32(b + 16);
  f.lfItalic = b[20];
  f.lfUnderline = b[21];
  f.lfStrikeOut = b[22];
  f.lfCharSet = b[23];
  f.lfOutPrecision = b[24];
  f.lfClipPrecision = b[25];
  f.lfQuality = b[26];
  f.lfPitchAndFamily = b[27];
  for (std::size_t i = 0; i < f.lfFaceName.size(); ++i) f.lfFaceName[i] = ReadU16(b + 28 + 2 * i);
  return f;
}

std::string LogFont::FaceName() const {
  std::string out;
  for (std::size_t i = 0; i < lfFaceName.size() && lfFaceName[i] != 0; ++i) {
    char32_t c = lfFaceName[i];
    const bool high = c >= 0xD800 && c < 0xDC00;
    if (high && i + 1 < lfFaceName.size() && lfFaceName[i + 1] >= 0xDC00 && lfFaceName[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (lfFaceName[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

void LogFont::SetFaceName(std::string_view utf8) {
  lfFaceName.fill(0);
  const std::size_t room = lfFaceName.size() - 1;
  std::size_t n = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto [c, len] = DecodeUtf8(utf8, i);
    i += len;
    if (c >= 0x10000) {
      if (n + 2 > room) break;
      lfFaceName[n++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      lfFaceName[n++] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      if (n + 1 > room) break;
      lfFaceName[n++] = static_cast<char16_t>(c);
    }
  }
}

LogFont DefaultGraphFont() {
  LogFont f;
  f.lfHeight = 16;
  f.lfCharSet = 1;  // DEFAULT_CHARSET
  f.lfQuality = 1;  // DRAFT_QUALITY
  f.SetFaceName("Arial");
  return f;
}

// ---- WindowLayout ----------------------------------------------------------

WindowLayout::Bytes WindowLayout::Pack() const {
  Bytes b{};
  WriteU32(&b[0], m_Magic);
  PutU16(&b[4], m_Version);
  PutU16(&b[6], m_Reserved);
  PutS32(&b[8], m_WindowWidth);
  PutS32(&b[12], m_WindowHeight);
  PutS32(&b[16], m_PacketListHeight);
  PutS32(&b[20], m_MessageTreeWidth);
  PutS32(&b[24], m_MessageFontValid);
  const LogFont::Bytes font = m_MessageFont.Pack();
  std::copy(font.begin(), font.end(), b.begin() + 28);
  return b;
}

std::optional<WindowLayout> WindowLayout::Unpack(const std::uint8_t* b, std::size_t count) {
  if (count != kSize || ReadU32(b) != kMagic || ReadU16(b + 4) != kVersion) return std::nullopt;
  WindowLayout w;
  w.m_Reserved = ReadU16(b + 6);
  w.m_WindowWidth = GetS32(b + 8);
  w.m_WindowHeight = GetS32(b + 12);
  w.m_PacketListHeight = GetS32(b + 16);
  w.m_MessageTreeWidth = GetS32(b + 20);
  w.m_MessageFontValid = GetS32(b + 24);
  w.m_MessageFont = LogFont::Unpack(b + 28);
  return w;
}

// ---- ColumnInfo --------------------------------------------------------------

ColumnInfo::Bytes ColumnInfo::Pack() const {
  Bytes b{};
  PutS32(&b[0], m_Show);
  PutS32(&b[4], m_Width);
  PutS32(&b[8], m_Order);
  return b;
}

std::optional<ColumnInfo> ColumnInfo::Unpack(const std::uint8_t* b, std::size_t count) {
  if (count != kSize) return std::nullopt;
  return ColumnInfo{GetS32(b), GetS32(b + 4), GetS32(b + 8)};
}

std::optional<ColumnInfo> DefaultColumnInfo(int id) {
  if (id < 0 || id >= kColumnCount) return std::nullopt;
  return DefaultColumn(id);
}

std::array<ColumnInfo, kColumnCount> AppSettings::DefaultColumns() {
  std::array<ColumnInfo, kColumnCount> columns;
  for (int id = 0; id < kColumnCount; ++id) columns[static_cast<std::size_t>(id)] = DefaultColumn(id);
  return columns;
}

// ---- Record folder -------------------------------------------------------------

std::string DefaultRecordFolder(const DocumentsFolderFn& documentsFolder) {
  std::string documents = documentsFolder ? documentsFolder() : std::string();
  if (documents.empty()) {
#ifdef _WIN32
    documents = "C:";
#else
    documents = "/";
#endif
  }
  std::filesystem::path folder = PathFromUtf8(documents);
  folder /= PathFromUtf8(kRecordFolderName);
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) std::filesystem::create_directory(folder, ec);
  return Utf8FromPath(folder);
}

// ---- Load and save -------------------------------------------------------------

CalibrationRatios AppSettings::CalRatios() const {
  return {m_CalVbusVolRatio,  m_CalCC1VolRatio,  m_CalCC2VolRatio,
          m_CalVbusCurrRatio, m_CalCC1CurrRatio, m_CalCC2CurrRatio};
}

void AppSettings::SetCalRatios(const CalibrationRatios& r) {
  m_CalVbusVolRatio = r[kCalVbusVol];
  m_CalCC1VolRatio = r[kCalCC1Vol];
  m_CalCC2VolRatio = r[kCalCC2Vol];
  m_CalVbusCurrRatio = r[kCalVbusCurr];
  m_CalCC1CurrRatio = r[kCalCC1Curr];
  m_CalCC2CurrRatio = r[kCalCC2Curr];
}

void AppSettings::LoadSettings(SettingsStorage& storage) {
  m_AppSettings = WindowLayout();
  if (const auto bytes = storage.ReadRecord(kSettingsSection, kWindowLayoutName)) {
    if (auto layout = WindowLayout::Unpack(bytes->data(), bytes->size())) m_AppSettings = *layout;
  }

  m_RecordFileFolder = storage.ReadText(kSettingsSection, kFolderName, "");
  if (m_RecordFileFolder.empty()) m_RecordFileFolder = DefaultRecordFolder();
  m_RecordFileCaption = storage.ReadText(kSettingsSection, kCaptionName, "PDCapture");

  for (const ScalarSetting& row : kScalarSettings) LoadScalar(storage, row, *this);

  for (int id = 0; id < kColumnCount; ++id) {
    ColumnInfo& column = m_ColumnInfo[static_cast<std::size_t>(id)];
    column = DefaultColumn(id);
    // A record of another size is treated like the other records: ignored, the default stays.
    if (const auto bytes = storage.ReadRecord(kSettingsSection, ColumnValueName(id))) {
      if (auto stored = ColumnInfo::Unpack(bytes->data(), bytes->size())) column = *stored;
    }
  }

  m_GraphFont = DefaultGraphFont();
  if (const auto bytes = storage.ReadRecord(kSettingsSection, kGraphFontName)) {
    if (bytes->size() == LogFont::kSize) m_GraphFont = LogFont::Unpack(bytes->data());
  }
}

void AppSettings::SaveSettings(SettingsStorage& storage) const {
  const WindowLayout::Bytes layout = m_AppSettings.Pack();
  storage.WriteRecord(kSettingsSection, kWindowLayoutName, layout.data(), layout.size());
  SaveScalar(storage, kScalarSettings[0], *this);
  storage.WriteText(kSettingsSection, kFolderName, m_RecordFileFolder);
  storage.WriteText(kSettingsSection, kCaptionName, m_RecordFileCaption);
  for (std::size_t i = 1; i < std::size(kScalarSettings); ++i) SaveScalar(storage, kScalarSettings[i], *this);
  for (int id = 0; id < kColumnCount; ++id) {
    const ColumnInfo::Bytes column = m_ColumnInfo[static_cast<std::size_t>(id)].Pack();
    storage.WriteRecord(kSettingsSection, ColumnValueName(id), column.data(), column.size());
  }
  const LogFont::Bytes font = m_GraphFont.Pack();
  storage.WriteRecord(kSettingsSection, kGraphFontName, font.data(), font.size());
}

}  // namespace zk
