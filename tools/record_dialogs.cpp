#include "tools/record_dialogs.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "record/file_path.h"

namespace zk {

namespace {

constexpr int kIntervalCount = static_cast<int>(std::size(kSamplingIntervals));
constexpr std::string_view kForbiddenCaptionChars = "\\/:*?\"<>|";
constexpr const char* kWritableTestFile = "___test___capture_____file_____.tmp";

// Code units of the UTF-16 form: four-byte sequences are surrogate pairs there.
std::size_t Utf16Length(std::string_view utf8) {
  std::size_t n = 0;
  for (char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if ((b & 0xC0) != 0x80) ++n;
    if (b >= 0xF0) ++n;
  }
  return n;
}

}  // namespace

int IntervalListIndex(std::int32_t ms) {
  for (int i = 0; i < kIntervalCount; ++i) {
    if (kSamplingIntervals[i].ms >= ms) return i;
  }
  return kIntervalCount - 1;
}

std::int32_t IntervalOfListIndex(int index) {
  return index >= 0 && index < kIntervalCount ? kSamplingIntervals[index].ms : 0;
}

RecordSettingsValues DefaultRecordSettingsValues() { return RecordSettingsValues(); }

std::string RangeMessage(std::int64_t low, std::int64_t high) {
  return "Enter an integer between " + std::to_string(low) + " and " + std::to_string(high) + ".";
}

std::optional<std::string> CheckRecordSettings(const RecordSettingsValues& values) {
  if (values.m_MaxPDPacketCount < 100 || values.m_MaxPDPacketCount > 100000) return RangeMessage(100, 100000);
  return std::nullopt;
}

LocalTime LocalTimeOf(std::int64_t secondsSince1970) {
  const auto t = static_cast<std::time_t>(secondsSince1970);
  std::tm tm{};
#ifdef _WIN32
  if (localtime_s(&tm, &t) != 0) return LocalTime();
#else
  if (!localtime_r(&t, &tm)) return LocalTime();
#endif
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

bool IsValidCaption(std::string_view caption) {
  return Utf16Length(caption) <= kMaxCaptionLength &&
         caption.find_first_of(kForbiddenCaptionChars) == std::string_view::npos;
}

std::string BuildBaseName(std::string_view caption, bool appendTimestamp, const LocalTime& t) {
  std::string name(caption);
  if (appendTimestamp) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "_%d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    name += stamp;
  }
  return name;
}

std::string BuildShownName(std::string_view baseName, bool multipleFiles) {
  return std::string(baseName) + (multipleFiles ? "_0001" : "") + ".zkr";
}

void CaptureFilenameValues::Stamp(std::int64_t now) {
  m_TimeStamp = now;
  BuildNames();
}

void CaptureFilenameValues::BuildNames() {
  m_BaseName = BuildBaseName(m_Caption, m_AppendTimestamp, LocalTimeOf(m_TimeStamp));
  m_ShownName = BuildShownName(m_BaseName, m_MultipleFiles);
}

bool CaptureFilenameValues::EditCaption(std::string_view caption) {
  const bool valid = IsValidCaption(caption);
  if (valid) m_Caption = caption;
  BuildNames();
  return valid;
}

void CaptureFilenameValues::LoadDefaults(const std::string& defaultFolder) {
  m_AppendTimestamp = false;
  m_MultipleFiles = false;
  m_MaxFileSizeMB = 100;
  m_DoNotAskAgain = false;
  m_Caption = "PDCapture";
  BuildNames();
  m_Folder = defaultFolder;
}

std::optional<std::string> CaptureFilenameValues::CheckOk() const {
  if (m_MaxFileSizeMB < 1 || m_MaxFileSizeMB > 9999) return RangeMessage(1, 9999);
  if (m_Caption.empty() || m_BaseName.empty()) return std::string(kEnterFilename);
  if (!IsWritableFolder(m_Folder)) return std::string(kNotWritableFolder);
  return std::nullopt;
}

const std::string& CaptureFilenameValues::CurrentBaseName(bool refresh, std::int64_t now) {
  if (refresh) Stamp(now);
  return m_BaseName;
}

bool IsWritableFolder(const std::string& folder) {
  if (folder.empty()) return false;
  const std::filesystem::path test = PathFromUtf8(folder) / kWritableTestFile;
  {
    std::ofstream f(test, std::ios::binary | std::ios::trunc);
    if (!f) return false;
  }
  std::error_code ec;
  std::filesystem::remove(test, ec);
  return true;
}

}  // namespace zk
