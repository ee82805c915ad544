// The capture session of the main frame: Run, Stop and Clear, the record-file series of a
// capture, and the one-second timer tick that polls the box, brings newly captured data
// into the document, follows the capture, writes the status line and enforces the count
// limits. Everything here runs on the main thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "capture/capture_thread.h"
#include "capture/device_link.h"
#include "record/document.h"

namespace zk {

// The settings the session reads, filled from the application's settings by the caller.
struct CaptureSessionSettings {
  std::string recordFileFolder;                      // RecordFileFolder
  std::function<std::string()> defaultRecordFolder;  // creates the default folder when needed
  bool multiCaptureFile = false;                     // RecordMultiCaptureFile
  std::int32_t maxFileSizeMB = 100;                  // RecordMaxFileSizeMB
  std::int32_t vbusSamplingIntervalMS = 10;          // RecordVbusSamplingIntervalMS
  std::int32_t maxPacketCount = 99999;               // RecordMaxPDPacketCount
  std::int32_t maxSampleCount = 9999999;             // RecordMaxVbusInfoCount
  bool pdPacketAutoRemove = false;                   // RecordPDPacketAutoRemove
  bool vbusInfoAutoRemove = false;                   // RecordVbusInfoAutoRemove
  bool captureFullStop = false;                      // RecordCaptureFullStop
  bool doNotAskAgain = false;                        // RecordDoNotAskAgain
  bool graphAutoScroll = true;                       // GraphAutoScroll
  bool launchDriverInstaller = true;                 // LaunchDriverInstaller
  CalibrationRatios ratios = kUnitRatios;
};

struct DriverPromptAnswer {
  bool install = false;
  bool doNotAskAgain = false;
};

// What the session asks of the user interface; any of them may be left empty.
struct CaptureSessionUi {
  std::function<void(const std::string&)> messageBox;
  // The Record File Settings dialog: the base name it confirms, nothing when cancelled.
  std::function<std::optional<std::string>()> recordFileSettingsDialog;
  // The Record File Settings' current base name with its time stamp refreshed to now.
  std::function<std::string()> currentBaseName;
  std::function<void(const std::string&)> statusText;
  std::function<void()> refreshViews;
  std::function<void()> redrawGraphs;
  std::function<void(std::int64_t shownTime)> followGraph;
  std::function<void()> updateControlPanel;
  std::function<DriverPromptAnswer()> driverInstallPrompt;
  std::function<void()> runDriverInstaller;
  std::function<void()> launchDriverInstallerOff;  // the setting is turned off for good
  std::function<void()> openExportDialog;          // opened by remote control, without blocking
};

inline constexpr const char* kCreateRecordFileError =
    "Creating a record file error. Please check the record file folder is writable and has enough disk space.";
inline constexpr const char* kSampleCountFullText = "VBUS Sample count full.";
inline constexpr const char* kPacketCountFullText = "PD messege count full.";

// The message of a capture that ended by a failure: what happened, why, and the file.
std::string CaptureFailureText(const CaptureFailure& failure);

class CCaptureSession {
 public:
  CCaptureSession(CZKDoc& doc, CDeviceLink& link, CCaptureThread& thread, CaptureSessionUi ui);

  // Also hands the file size limit, calibration and sampling interval to thread and link.
  void SetSettings(const CaptureSessionSettings& settings);
  const CaptureSessionSettings& Settings() const { return m_Settings; }

  bool Run();
  void Stop();
  void Clear();
  void Tick();

  // Connected, thread alive and not stopping, recording, no close pending.
  bool IsCapturing() const;

  // Remote control.
  void SetRemoteFileName(std::string name) { m_RemoteFileName = std::move(name); }
  void SetRemoteFolder(std::string folder) { m_RemoteFolder = std::move(folder); }
  const std::string& RemoteFileName() const { return m_RemoteFileName; }
  const std::string& RemoteFolder() const { return m_RemoteFolder; }
  void RemoteRun();
  void RemoteStop();
  void RemoteExport();

  const std::string& StatusText() const { return m_StatusText; }
  int ShownIndex() const { return m_ShownIndex; }
  const std::string& BaseName() const { return m_BaseName; }
  // The folder and name of the file of an index in the current series.
  std::string RecordFolder() const;
  std::string FileNameOf(int index) const;

 private:
  CZKDoc& m_Doc;
  CDeviceLink& m_Link;
  CCaptureThread& m_Thread;
  CaptureSessionUi m_Ui;
  CaptureSessionSettings m_Settings;
  std::string m_BaseName;
  int m_ShownIndex = 1;
  bool m_RestartRequested = false;
  bool m_FirstTickDone = false;
  std::string m_RemoteFileName;
  std::string m_RemoteFolder;
  std::string m_StatusText;

  std::optional<std::string> ChooseBaseName();
  void FirstTick(bool connected);
  void CatchUp(bool recording);
  void FollowIndex();
  void EnforceCountLimits(bool connected);
  void WriteCaptureStatus();
  void ShowStatus(const std::string& text);
  void Message(const std::string& text);
  void ReportFailure();
  void Refresh();
};

}  // namespace zk
