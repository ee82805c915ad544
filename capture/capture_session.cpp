#include "capture/capture_session.h"

#include <cerrno>
#include <cstring>
#include <mutex>

#include "record/loader.h"

namespace zk {

namespace {

struct FailureText {
  CaptureFailureKind kind;
  const char* text;  // %s: the system's reason
};
constexpr FailureText kFailureTexts[] = {
    {CaptureFailureKind::WriteFailed,
     "Writing the record file failed (%s). Capturing was stopped; the file keeps the data captured until then."},
    {CaptureFailureKind::NextFileFailed,
     "Creating the next record file failed (%s). Capturing was stopped; the previous file keeps the data captured "
     "until then."},
    {CaptureFailureKind::BoxVanished,
     "PD Zelkor Device was disconnected during capturing. Capturing was stopped; the file keeps the data captured "
     "until then."},
};

}  // namespace

std::string CaptureFailureText(const CaptureFailure& failure) {
  std::string text;
  for (const FailureText& t : kFailureTexts) {
    if (t.kind == failure.kind) text = t.text;
  }
  if (const std::size_t at = text.find("%s"); at != std::string::npos) {
    text.replace(at, 2, std::strerror(failure.error != 0 ? failure.error : EIO));
  }
  return text + "\n\n \"" + failure.path + "\"";
}

CCaptureSession::CCaptureSession(CZKDoc& doc, CDeviceLink& link, CCaptureThread& thread, CaptureSessionUi ui)
    : m_Doc(doc), m_Link(link), m_Thread(thread), m_Ui(std::move(ui)) {
  SetSettings(m_Settings);
}

void CCaptureSession::SetSettings(const CaptureSessionSettings& settings) {
  m_Settings = settings;
  m_Thread.SetMaxFileSizeMB(settings.maxFileSizeMB);
  m_Thread.SetCalibration(settings.ratios);
  m_Link.SetSamplingIntervalSetting(settings.vbusSamplingIntervalMS);
}

bool CCaptureSession::IsCapturing() const {
  CaptureFlags& f = m_Thread.Flags();
  return m_Link.IsConnected() && f.alive.IsSet() && !f.stopRequested.IsSet() && f.recording.IsSet() &&
         !f.closeRequested.IsSet();
}

std::string CCaptureSession::RecordFolder() const {
  return RecordFolderFor(m_RemoteFolder, m_Settings.recordFileFolder, m_Settings.defaultRecordFolder);
}

std::string CCaptureSession::FileNameOf(int index) const { return RecordFileName(m_Thread.Series().naming, index); }

void CCaptureSession::ShowStatus(const std::string& text) {
  m_StatusText = text;
  if (m_Ui.statusText) m_Ui.statusText(text);
}

void CCaptureSession::Message(const std::string& text) {
  if (m_Ui.messageBox) m_Ui.messageBox(text);
}

// Once the thread has closed the file: a capture that ended by a failure says so.
void CCaptureSession::ReportFailure() {
  if (const std::optional<CaptureFailure> failure = m_Thread.TakeFailure()) Message(CaptureFailureText(*failure));
}

void CCaptureSession::Refresh() {
  if (m_Ui.refreshViews) m_Ui.refreshViews();
}

std::optional<std::string> CCaptureSession::ChooseBaseName() {
  if (!m_RemoteFileName.empty() || m_Settings.doNotAskAgain) {
    return m_Ui.currentBaseName ? m_Ui.currentBaseName() : std::string("PDCapture");
  }
  if (!m_Ui.recordFileSettingsDialog) return std::nullopt;
  return m_Ui.recordFileSettingsDialog();
}

bool CCaptureSession::Run() {
  CaptureFlags& f = m_Thread.Flags();
  // The Run command is disabled without a box.
  if (!f.alive.IsSet() || f.recording.IsSet() || !m_Link.IsConnected()) return false;
  // Pressed before the tick that would have told of the last capture's failure.
  ReportFailure();
  if (!m_Doc.ResetForCapture(false)) return false;
  const std::optional<std::string> base = ChooseBaseName();
  if (!base) return false;
  m_BaseName = *base;
  m_ShownIndex = 1;
  f.rolloverRequested.Clear();
  f.countRolloverDone.Clear();

  RecordSeries series;
  series.naming = {RecordFolder(), m_BaseName, m_RemoteFileName, m_Settings.multiCaptureFile};
  series.firmware = m_Link.FirmwareVersion();
  series.serial = m_Link.Serial();
  m_Thread.SetSeries(series);
  m_Thread.SetIndex(1);
  if (!m_Thread.CreateRecordFile()) {
    Message(kCreateRecordFileError);
    if (m_Ui.recordFileSettingsDialog) m_Ui.recordFileSettingsDialog();
    return false;
  }
  m_Doc.OpenCaptureRecord(series.naming.folder, FileNameOf(1));
  {
    std::lock_guard lock(m_Doc.Store().Lock());
    m_Doc.Store().m_Recording = true;
  }
  m_RestartRequested = false;
  f.closeRequested.Clear();
  f.fileHasData.Clear();
  f.recording.Set();
  return true;
}

void CCaptureSession::Stop() {
  CaptureFlags& f = m_Thread.Flags();
  if (f.alive.IsSet() && f.recording.IsSet()) {
    m_RestartRequested = false;
    f.closeRequested.Set();
  }
}

void CCaptureSession::Clear() {
  CaptureFlags& f = m_Thread.Flags();
  if (!f.alive.IsSet() || !f.recording.IsSet()) {
    m_Doc.ResetForCapture(false);
    return;
  }
  m_RestartRequested = true;
  f.closeRequested.Set();
}

void CCaptureSession::RemoteRun() {
  if (!m_RemoteFileName.empty()) Run();
}

void CCaptureSession::RemoteStop() {
  m_RemoteFileName.clear();
  m_RemoteFolder.clear();
  CaptureFlags& f = m_Thread.Flags();
  if (f.alive.IsSet() && f.recording.IsSet()) Stop();
}

void CCaptureSession::RemoteExport() {
  if (m_Ui.openExportDialog) m_Ui.openExportDialog();
}

void CCaptureSession::Tick() {
  const bool wasConnected = m_Link.IsConnected();
  const bool connected = m_Link.PollDevice();
  if (connected != wasConnected) Refresh();
  if (!m_FirstTickDone) FirstTick(connected);

  CaptureFlags& f = m_Thread.Flags();
  if (f.fileClosed.IsSet()) {
    f.fileClosed.Clear();
    Refresh();
  }
  const bool recording = f.recording.IsSet();
  // A failure is told after the catch-up below, so that the views show what the file kept;
  // a Clear during the failed capture starts nothing new.
  const bool failed = !recording && m_Thread.HasFailure();
  if (failed) m_RestartRequested = false;
  if (recording) {
    CatchUp(true);
    if (m_Settings.graphAutoScroll && m_Ui.followGraph) {
      const CaptureStore& s = m_Doc.Store();
      m_Ui.followGraph(static_cast<std::int64_t>(s.m_LatestSampleTime - s.m_FirstSampleTime) - s.m_TimeOrigin);
    }
    Refresh();
    WriteCaptureStatus();
  } else if (f.fileHasData.IsSet() && m_RestartRequested) {
    f.fileHasData.Clear();
    m_RestartRequested = false;
    Run();
  } else if (f.fileHasData.IsSet()) {
    f.fileHasData.Clear();
    CatchUp(false);
    if (m_Ui.redrawGraphs) m_Ui.redrawGraphs();
    Refresh();
  } else {
    m_RestartRequested = false;
    ShowStatus(connected ? kConnectedIdleText : kDisconnectedText);
  }
  EnforceCountLimits(connected);
  if (failed) ReportFailure();
  if (m_Ui.updateControlPanel) m_Ui.updateControlPanel();
}

void CCaptureSession::FirstTick(bool connected) {
  m_FirstTickDone = true;
  if (connected) {
    m_Settings.launchDriverInstaller = false;
    if (m_Ui.launchDriverInstallerOff) m_Ui.launchDriverInstallerOff();
    return;
  }
  if (!m_Settings.launchDriverInstaller || !m_Ui.driverInstallPrompt) return;
  const DriverPromptAnswer answer = m_Ui.driverInstallPrompt();
  if (answer.install && m_Ui.runDriverInstaller) m_Ui.runDriverInstaller();
  if (answer.doNotAskAgain) {
    m_Settings.launchDriverInstaller = false;
    if (m_Ui.launchDriverInstallerOff) m_Ui.launchDriverInstallerOff();
  }
}

// After a rollover the document is emptied and reloaded from the new file, so that it
// always holds the current file only.
void CCaptureSession::FollowIndex() {
  const int index = m_Thread.Index();
  if (index == m_ShownIndex) return;
  m_ShownIndex = index;
  m_Doc.ResetForCapture(true);
  m_Doc.OpenCaptureRecord(m_Thread.Series().naming.folder, FileNameOf(index));
}

void CCaptureSession::CatchUp(bool recording) {
  m_Doc.ApplyRecordLimits(m_Settings.maxPacketCount, m_Settings.maxSampleCount, m_Settings.vbusInfoAutoRemove,
                          m_Settings.pdPacketAutoRemove);
  FollowIndex();
  CaptureStore& store = m_Doc.Store();
  std::lock_guard lock(store.Lock());
  store.m_Recording = recording;
  DecodeAvailable(store);
  // The file is complete: the last packet has no later data to end it.
  if (!recording) FinishPendingPackets(store);
}

void CCaptureSession::EnforceCountLimits(bool connected) {
  CaptureFlags& f = m_Thread.Flags();
  if (!f.recording.IsSet() || f.closeRequested.IsSet()) return;
  const CaptureStore& store = m_Doc.Store();
  if (!connected) {
    m_Thread.NoteFailure(CaptureFailureKind::BoxVanished);
    Stop();
  } else if (m_Settings.captureFullStop && store.m_SampleCountFull) {
    Message(kSampleCountFullText);
    Stop();
  } else if (m_Settings.captureFullStop && store.m_PacketCountFull) {
    Message(kPacketCountFullText);
    Stop();
  } else if (!f.countRolloverDone.IsSet() && (store.m_SampleCountFull || store.m_PacketCountFull)) {
    f.rolloverRequested.Set();
  }
}

void CCaptureSession::WriteCaptureStatus() {
  const CaptureStore& store = m_Doc.Store();
  CaptureStatus s;
  s.elapsedUs = m_Thread.Live().ElapsedUs();
  s.deviceBytes = m_Thread.DeviceBytes();
  s.maxFileSizeMB = m_Settings.maxFileSizeMB;
  s.packets = store.PacketCount();
  s.maxPackets = store.m_MaxPacketCount;
  s.samples = store.SampleCount();
  s.maxSamples = store.m_MaxSampleCount;
  ShowStatus(CaptureStatusLine(s));
}

}  // namespace zk
