// Names, folders and the status line of a capture's record-file series.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace zk {

constexpr int kMaxRecordFileIndex = 9999;

// What names the files of one capture; fixed when the capture starts.
struct RecordNaming {
  std::string folder;
  std::string baseName;
  std::string remoteName;  // set through remote control; wins over the base name
  bool multiFile = false;  // RecordMultiCaptureFile
};

// "%s_%04d" from the second file on, or from the first with multiFile; ".zkr" always. A
// remote name gets the index too from the second file on, so a rollover never reopens
// (and truncates) the file just written.
std::string RecordFileName(const RecordNaming& naming, int index);
std::string RecordFilePath(const RecordNaming& naming, int index);

// The remote folder when set, else RecordFileFolder, else the default record folder.
std::string RecordFolderFor(const std::string& remoteFolder, const std::string& recordFileFolder,
                            const std::function<std::string()>& defaultFolder);

// RecordMaxFileSizeMB below 1 is taken as 1: 0 would end every file at its first write
// and divide the status line's percentage by zero.
std::int32_t EffectiveMaxFileSizeMB(std::int32_t mb);
std::uint64_t MaxFileSizeBytes(std::int32_t mb);

struct CaptureStatus {
  std::int64_t elapsedUs = 0;
  std::uint64_t deviceBytes = 0;
  std::int32_t maxFileSizeMB = 100;
  int packets = 0;
  int maxPackets = 1;
  int samples = 0;
  int maxSamples = 1;
};
std::string CaptureStatusLine(const CaptureStatus& status);

inline constexpr const char* kConnectedIdleText = "Connected.  (Push \"Run\" button to start capturing.)";
inline constexpr const char* kDisconnectedText = "Disconnected.  (Connect PD Zelkor Device to USB port.)";

}  // namespace zk
