// The application's settings object: every user setting with its stored name, type and
// default, the binary records (window layout, columns, fonts) byte for byte, and the one
// load at start-up and one save at exit through a SettingsStorage.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/settings_storage.h"
#include "record/record_format.h"

namespace zk {

inline constexpr std::string_view kSettingsSection = "PDZKRAPP";
inline constexpr std::string_view kSettingsOrganization = "Tarsimo, corp.";
inline constexpr std::string_view kSettingsApplication = "PD Zelkor";
inline constexpr std::string_view kRecordFolderName = "RVX5K8";

constexpr int kColumnCount = 38;
constexpr std::int32_t kFixedMaxPDPacketCount = 99999;
constexpr std::int32_t kFixedMaxVbusInfoCount = 9999999;

// A Windows LOGFONTW, field for field; the face name is UTF-16 with a terminating zero.
struct LogFont {
  std::int32_t lfHeight = 0;
  std::int32_t lfWidth = 0;
  std::int32_t lfEscapement = 0;
  std::int32_t lfOrientation = 0;
  std::int32_t lfWeight = 0;
  std::uint8_t lfItalic = 0;
  std::uint8_t lfUnderline = 0;
  std::uint8_t lfStrikeOut = 0;
  std::uint8_t lfCharSet = 0;
  std::uint8_t lfOutPrecision = 0;
  std::uint8_t lfClipPrecision = 0;
  std::uint8_t lfQuality = 0;
  std::uint8_t lfPitchAndFamily = 0;
  std::array<char16_t, 32> lfFaceName{};

  static constexpr std::size_t kSize = 92;
  using Bytes = std::array<std::uint8_t, kSize>;
  Bytes Pack() const;
  static LogFont Unpack(const std::uint8_t* bytes);

  // The face name up to its terminating zero, as UTF-8; setting it truncates to 31 code units.
  std::string FaceName() const;
  void SetFaceName(std::string_view utf8);

  bool operator==(const LogFont&) const = default;
};

// The graph font of a first start: Arial, 16 high, draft quality, default character set.
LogFont DefaultGraphFont();

// Value PDZelkorAppSettings: window and pane sizes and the packet list's font.
struct WindowLayout {
  static constexpr std::uint32_t kMagic = 0x5555AAAA;
  static constexpr std::uint16_t kVersion = 0x0100;
  static constexpr std::size_t kSize = 120;

  std::uint32_t m_Magic = kMagic;
  std::uint16_t m_Version = kVersion;
  std::uint16_t m_Reserved = 0;
  std::int32_t m_WindowWidth = 1200;
  std::int32_t m_WindowHeight = 700;
  std::int32_t m_PacketListHeight = 100;
  std::int32_t m_MessageTreeWidth = 100;
  std::int32_t m_MessageFontValid = 0;
  LogFont m_MessageFont;

  using Bytes = std::array<std::uint8_t, kSize>;
  Bytes Pack() const;
  // Nothing unless the bytes are exactly a record of this layout (size, magic, version).
  static std::optional<WindowLayout> Unpack(const std::uint8_t* bytes, std::size_t count);

  bool operator==(const WindowLayout&) const = default;
};

// Values ColumnInfo0 to ColumnInfo37: one packet-list column each.
struct ColumnInfo {
  static constexpr std::size_t kSize = 12;

  std::int32_t m_Show = 0;
  std::int32_t m_Width = 0;
  std::int32_t m_Order = 0;

  using Bytes = std::array<std::uint8_t, kSize>;
  Bytes Pack() const;
  static std::optional<ColumnInfo> Unpack(const std::uint8_t* bytes, std::size_t count);

  bool operator==(const ColumnInfo&) const = default;
};

// The column table's defaults for a column id 0 to 37; nothing for any other id.
std::optional<ColumnInfo> DefaultColumnInfo(int id);

// The Documents folder of the user; empty when the platform cannot tell.
using DocumentsFolderFn = std::function<std::string()>;

// The Documents folder plus RVX5K8, created (one level) when missing; a failure to create
// it is left for the record dialogs to find.
std::string DefaultRecordFolder(const DocumentsFolderFn& documentsFolder);

struct AppSettings {
  WindowLayout m_AppSettings;
  std::string m_RecordFileFolder;
  std::string m_RecordFileCaption = "PDCapture";
  bool m_LaunchDriverInstaller = true;
  std::int32_t m_RecordMaxFileSizeMB = 100;
  std::int32_t m_RecordVbusSamplingIntervalMS = 10;
  std::int32_t m_RecordMaxPDPacketCount = kFixedMaxPDPacketCount;
  std::int32_t m_RecordMaxVbusInfoCount = kFixedMaxVbusInfoCount;
  bool m_RecordDoNotAskAgain = false;
  bool m_RecordAppendTimestamp = false;
  bool m_RecordMultiCaptureFile = false;
  bool m_RecordCaptureFullStop = false;
  bool m_RecordPDPacketAutoRemove = false;
  bool m_RecordVbusInfoAutoRemove = false;
  bool m_GraphShowPlots = false;
  bool m_GraphShowPDPackets = true;
  bool m_GraphAutoScroll = true;
  bool m_PDMessageAutoScroll = true;
  std::int32_t m_CtrlViewHeight = 0;  // 0: sized automatically
  bool m_VbusCurrDirCfgDoNotAskAgain = false;
  bool m_VbusCurrDirReverse = false;
  std::int32_t m_CalVbusVolRatio = kUnitRatio;
  std::int32_t m_CalCC1VolRatio = kUnitRatio;
  std::int32_t m_CalCC2VolRatio = kUnitRatio;
  std::int32_t m_CalVbusCurrRatio = kUnitRatio;
  std::int32_t m_CalCC1CurrRatio = kUnitRatio;
  std::int32_t m_CalCC2CurrRatio = kUnitRatio;
  std::array<ColumnInfo, kColumnCount> m_ColumnInfo = DefaultColumns();
  LogFont m_GraphFont = DefaultGraphFont();

  // Where the default record folder comes from (the toolkit's Documents location).
  DocumentsFolderFn m_DocumentsFolder;

  // Fills every setting; anything missing or rejected takes its default. Cannot fail.
  void LoadSettings(SettingsStorage& storage);
  // Writes every setting; a failing write does not stop the others.
  void SaveSettings(SettingsStorage& storage) const;

  std::string DefaultRecordFolder() const { return zk::DefaultRecordFolder(m_DocumentsFolder); }

  // The six ratios in the order of the record format's calibration channels.
  CalibrationRatios CalRatios() const;
  void SetCalRatios(const CalibrationRatios& ratios);

  static std::array<ColumnInfo, kColumnCount> DefaultColumns();
};

}  // namespace zk
