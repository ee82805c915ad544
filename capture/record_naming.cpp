#include "capture/record_naming.h"

#include <algorithm>
#include <cstdio>

#include "pd/formatting.h"
#include "record/document.h"

namespace zk {

namespace {

std::string Indexed(const std::string& name, int index) {
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, "_%04d", index);
  return name + suffix;
}

std::string Format(const char* format, long long a, long long b) {
  char text[96];
  std::snprintf(text, sizeof text, format, static_cast<int>(a), static_cast<int>(b));
  return text;
}

long long Percent(long long value, long long maximum) { return maximum > 0 ? value * 100 / maximum : 0; }

}  // namespace

std::string RecordFileName(const RecordNaming& naming, int index) {
  if (!naming.remoteName.empty()) return (index > 1 ? Indexed(naming.remoteName, index) : naming.remoteName) + ".zkr";
  if (naming.multiFile || index > 1) return Indexed(naming.baseName, index) + ".zkr";
  return naming.baseName + ".zkr";
}

std::string RecordFilePath(const RecordNaming& naming, int index) {
  return JoinFolder(naming.folder, RecordFileName(naming, index));
}

std::string RecordFolderFor(const std::string& remoteFolder, const std::string& recordFileFolder,
                            const std::function<std::string()>& defaultFolder) {
  if (!remoteFolder.empty()) return remoteFolder;
  if (!recordFileFolder.empty()) return recordFileFolder;
  return defaultFolder ? defaultFolder() : std::string();
}

std::int32_t EffectiveMaxFileSizeMB(std::int32_t mb) { return std::max<std::int32_t>(mb, 1); }

std::uint64_t MaxFileSizeBytes(std::int32_t mb) {
  return static_cast<std::uint64_t>(EffectiveMaxFileSizeMB(mb)) * 1000000;
}

std::string CaptureStatusLine(const CaptureStatus& s) {
  std::string line = "Capturing... " + TimeText(s.elapsedUs);
  const long long maxMB = EffectiveMaxFileSizeMB(s.maxFileSizeMB);
  const auto bytes = static_cast<long long>(std::min<std::uint64_t>(s.deviceBytes, 1ull << 62));
  if (s.deviceBytes >= (1ull << 32) || s.deviceBytes > 10000000) {
    const long long mb = bytes / 1000 / 1000;
    line += Format("    [File Size=%dMB (%d%%) ]", mb, Percent(mb, maxMB));
  } else {
    const long long kb = bytes / 1000;
    line += Format("    [File Size=%dKB (%d%%) ]", kb, Percent(kb, maxMB * 1000));
  }
  line += Format("    [PD Packets=%d (%d%%) ]", s.packets, Percent(s.packets, s.maxPackets));
  line += Format("     [VBUS Samples=%d (%d%%) ]", s.samples, Percent(s.samples, s.maxSamples));
  return line;
}

}  // namespace zk
