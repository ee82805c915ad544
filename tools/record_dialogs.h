// Values of the two record dialogs: "Record Settings" (count limits and the VBUS sampling
// interval) and "Record File Settings" (how record files are named and where they go).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zk {

// ---- Record Settings (CConfigDlg) --------------------------------------------------

struct SamplingInterval {
  int ms;
  std::string_view text;
};
inline constexpr SamplingInterval kSamplingIntervals[] = {
    {1, "1ms"},   {2, "2ms"},     {3, "3ms"},     {5, "5ms"},     {10, "10ms"},   {20, "20ms"},     {30, "30ms"},
    {50, "50ms"}, {100, "100ms"}, {200, "200ms"}, {300, "300ms"}, {500, "500ms"}, {1000, "1000ms"},
};

// The entry the list opens on: the first whose interval is at least ms ("1000ms" above 500).
int IntervalListIndex(std::int32_t ms);
// The interval of a list entry; 0 when no entry (or none that exists) is selected.
std::int32_t IntervalOfListIndex(int index);

struct RecordSettingsValues {
  std::int32_t m_MaxPDPacketCount = 99999;
  std::int32_t m_MaxVbusInfoCount = 9999999;
  int m_IntervalIndex = 4;  // "10ms"
  bool m_CaptureFullStop = false;
  bool m_PDPacketAutoRemove = false;
  bool m_VbusInfoAutoRemove = false;

  bool operator==(const RecordSettingsValues&) const = default;
};

// "Load Default".
RecordSettingsValues DefaultRecordSettingsValues();

// The platform's range message: "Enter an integer between 100 and 100000."
std::string RangeMessage(std::int64_t low, std::int64_t high);

// OK: the refusal message when the PD packet count lies outside 100 to 100000; else nothing.
std::optional<std::string> CheckRecordSettings(const RecordSettingsValues& values);

// ---- Record File Settings (CCaptureFilenameDlg) -----------------------------------

constexpr std::size_t kMaxCaptionLength = 64;
inline constexpr std::string_view kEnterFilename = "Enter Filename.";
inline constexpr std::string_view kNotWritableFolder =
    "This Record File Folder is not a writable folder. Please change it to another folder.";

struct LocalTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
LocalTime LocalTimeOf(std::int64_t secondsSince1970);

// At most 64 characters (UTF-16 units, as the edit counts them) and none of \ / : * ? " < > |.
bool IsValidCaption(std::string_view caption);

// caption, with "_%d%02d%02d-%02d%02d%02d" of the time when appendTimestamp.
std::string BuildBaseName(std::string_view caption, bool appendTimestamp, const LocalTime& time);
// baseName, "_0001" for a series, ".zkr".
std::string BuildShownName(std::string_view baseName, bool multipleFiles);

// The dialog object, created once with the main window and kept for the run.
class CaptureFilenameValues {
 public:
  std::string m_Caption = "PDCapture";
  bool m_AppendTimestamp = false;
  bool m_MultipleFiles = false;
  std::int32_t m_MaxFileSizeMB = 100;
  bool m_DoNotAskAgain = false;
  std::string m_Folder;
  std::string m_BaseName;
  std::string m_ShownName;
  std::int64_t m_TimeStamp = 0;  // seconds since 1970

  // Opening, and the timestamp check box: m_TimeStamp = now, names built again.
  void Stamp(std::int64_t now);
  void BuildNames();
  // A caption edit: kept when valid, else the caption stays as it was. Names follow.
  bool EditCaption(std::string_view caption);
  // "Load Defaults"; the folder is DefaultRecordFolder() of the settings.
  void LoadDefaults(const std::string& defaultFolder);
  // OK: the message that keeps the dialog open, or nothing when the values may be written.
  std::optional<std::string> CheckOk() const;
  // For the capture session: with refresh, stamped with now and built again.
  const std::string& CurrentBaseName(bool refresh, std::int64_t now);
};

// Whether a file can be created in folder (a test file is created and deleted again).
bool IsWritableFolder(const std::string& folder);

}  // namespace zk
