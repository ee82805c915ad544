#include "capture/capture_thread.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstring>

namespace zk {

namespace {

constexpr int kVbusPresentMv = 1000;
constexpr auto kDisconnectedSleep = std::chrono::milliseconds(1000);
constexpr auto kSleepSlice = std::chrono::milliseconds(10);
constexpr int kReaderNice = -10;

}  // namespace

CCaptureThread::CCaptureThread(UsbLink& usb, const Flag& connected) : m_Usb(usb), m_Connected(connected) {
  SetCalibration(kUnitRatios);
}

CCaptureThread::~CCaptureThread() {
  StopAndJoin();
  CloseRecordFile();
}

void CCaptureThread::SetCalibration(const CalibrationRatios& ratios) {
  for (int i = 0; i < kCalCount; ++i) m_Ratios[i].store(ratios[i]);
}

void CCaptureThread::SetSeries(RecordSeries series) { m_Series = std::move(series); }

void CCaptureThread::Start() {
  if (m_Thread.joinable()) return;
  m_Flags.stopRequested.Clear();
  m_Flags.alive.Set();
  m_Thread = std::thread([this] { Run(); });
}

void CCaptureThread::StopAndJoin() {
  if (!m_Thread.joinable()) return;
  m_Flags.stopRequested.Set();
  m_Thread.join();
}

LiveReadout CCaptureThread::Live() const {
  LiveReadout r;
  std::int32_t* plain[6] = {&r.vbusMv, &r.cc1Mv, &r.cc2Mv, &r.vbusMa, &r.cc1Ma, &r.cc2Ma};
  for (int i = 0; i < 6; ++i) *plain[i] = m_LiveValues[i].load(std::memory_order_relaxed);
  for (int i = 0; i < kCalCount; ++i) r.calibrated[i] = m_LiveValues[6 + i].load(std::memory_order_relaxed);
  r.clockSet = m_LiveClockSet.load(std::memory_order_relaxed);
  r.firstUs = m_LiveFirst.load(std::memory_order_relaxed);
  r.latestUs = m_LiveLatest.load(std::memory_order_relaxed);
  return r;
}

void CCaptureThread::NoteFailure(CaptureFailureKind kind, int error) {
  const std::string path = RecordFilePath(m_Series.naming, m_Index.load());
  std::lock_guard lock(m_FailureMutex);
  if (!m_Failure) m_Failure = CaptureFailure{kind, path, error};
}

bool CCaptureThread::HasFailure() {
  std::lock_guard lock(m_FailureMutex);
  return m_Failure.has_value();
}

std::optional<CaptureFailure> CCaptureThread::TakeFailure() {
  std::lock_guard lock(m_FailureMutex);
  std::optional<CaptureFailure> failure;
  failure.swap(m_Failure);
  return failure;
}

// The box holds only some tens of milliseconds of a full-rate stream: a reader kept waiting
// that long behind busy processes loses data. Raised as far as the system lets this user
// (CAP_SYS_NICE or RLIMIT_NICE); otherwise it stays as it is.
void CCaptureThread::RaisePriority() {
#ifdef _WIN32
  // Any user may raise a thread of their own process this far.
  if (::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST)) m_ReaderNice.store(kReaderNice);
#else
  const auto tid = static_cast<id_t>(::gettid());
  for (int nice = kReaderNice; nice < 0; ++nice) {
    if (::setpriority(PRIO_PROCESS, tid, nice) == 0) {
      m_ReaderNice.store(nice);
      return;
    }
  }
#endif
}

void CCaptureThread::CloseRecordFile() {
  if (m_Writer.IsOpen()) m_Writer.CloseWithHeader(m_Series.firmware, m_Series.serial);
}

bool CCaptureThread::CreateRecordFile() {
  CloseRecordFile();
  m_ClockResetRequested.Set();
  CalibrationRatios ratios;
  for (int i = 0; i < kCalCount; ++i) ratios[i] = m_Ratios[i].load();
  if (!m_Writer.Create(RecordFilePath(m_Series.naming, m_Index.load()), ratios)) return false;
  if (m_Flags.rolloverRequested.IsSet()) {
    m_Flags.countRolloverDone.Set();
    m_Flags.rolloverRequested.Clear();
  }
  return true;
}

void CCaptureThread::Run() {
  RaisePriority();
  std::vector<std::uint8_t> buffer(kBulkReadSize, 0);
  for (;;) {
    if (m_Flags.stopRequested.IsSet()) {
      if (!m_Flags.recording.IsSet()) break;
      m_Flags.closeRequested.Set();
    }
    if (m_Flags.closeRequested.IsSet()) {
      m_Flags.closeRequested.Clear();
      const bool wroteData = m_Writer.DeviceBytes() > 0;
      // The file is closed before recording is cleared: a Run that sees recording clear
      // may create the next file at once.
      CloseRecordFile();
      if (wroteData) m_Flags.fileHasData.Set();
      m_Flags.recording.Clear();
      m_Flags.fileClosed.Set();
      // An ending thread leaves at once rather than after one more read.
      if (m_Flags.stopRequested.IsSet()) continue;
    }
    if (!m_Connected.IsSet()) {
      WaitWhileDisconnected();
      continue;
    }
    const ReadResult r = m_Usb.Read(buffer.data(), buffer.size(), kBulkReadTimeoutMs);
    if (r.status == ReadStatus::Data && r.bytes > 0) {
      HandleRead(buffer.data(), std::min(r.bytes, buffer.size()));
    } else if (r.status != ReadStatus::Timeout) {
      // A vanished box fails at once; the poll clears connected within a second. A capture
      // ends here: its last transfer may have been cut inside a record, and a box that is
      // back before the poll would otherwise continue the file out of step.
      if (r.status == ReadStatus::NoDevice && m_Flags.recording.IsSet() && !m_Flags.closeRequested.IsSet()) {
        NoteFailure(CaptureFailureKind::BoxVanished);
        m_Flags.closeRequested.Set();
      }
      std::this_thread::sleep_for(kSleepSlice);
    }
  }
  m_Flags.stopRequested.Clear();
  m_Flags.alive.Clear();
  m_Flags.fileClosed.Set();
}

void CCaptureThread::WaitWhileDisconnected() {
  const auto until = std::chrono::steady_clock::now() + kDisconnectedSleep;
  while (std::chrono::steady_clock::now() < until && !m_Connected.IsSet() && !m_Flags.stopRequested.IsSet() &&
         !m_Flags.closeRequested.IsSet()) {
    std::this_thread::sleep_for(kSleepSlice);
  }
}

void CCaptureThread::HandleRead(const std::uint8_t* data, std::size_t size) {
  if (m_Flags.recording.IsSet() && m_Writer.IsOpen()) {
    if (!m_Writer.Write(data, size)) {
      // A full or failing disk: the capture ends with what reached the file, rather than
      // go on with a gap that would shift every later record.
      NoteFailure(CaptureFailureKind::WriteFailed, m_Writer.LastError());
      m_Flags.closeRequested.Set();
      DecodeLive(data, size);
      return;
    }
    const bool sizeExceeded = m_Writer.FileSize() > MaxFileSizeBytes(m_MaxFileSizeMB.load());
    if (sizeExceeded || m_Flags.rolloverRequested.IsSet()) RollOver(sizeExceeded);
  }
  DecodeLive(data, size);
}

// A full file ends the capture unless multi-file capture is on; a count-triggered
// rollover always moves to the next file. Index 9999 is the last.
void CCaptureThread::RollOver(bool sizeExceeded) {
  if ((sizeExceeded && !m_Series.naming.multiFile) || m_Index.load() >= kMaxRecordFileIndex) {
    m_Flags.closeRequested.Set();
    return;
  }
  m_Index.fetch_add(1);
  if (CreateRecordFile()) return;
  // The file just left is complete and stays the one shown, with its last data decoded.
  NoteFailure(CaptureFailureKind::NextFileFailed, m_Writer.LastError());
  m_Index.fetch_sub(1);
  m_Flags.fileHasData.Set();
  m_Flags.closeRequested.Set();
}

void CCaptureThread::DecodeLive(const std::uint8_t* data, std::size_t size) {
  if (m_ClockResetRequested.IsSet()) {
    m_ClockResetRequested.Clear();
    m_Clock.Reset();
    m_Live.clockSet = false;
  }
  std::size_t i = 0;
  if (m_CarryBytes > 0) {
    const std::size_t take = std::min(kRecordSize - m_CarryBytes, size);
    std::memcpy(m_Carry.data() + m_CarryBytes, data, take);
    m_CarryBytes += take;
    i = take;
    if (m_CarryBytes < kRecordSize) return;
    DecodeSampleRecord(m_Carry.data(), m_Live);
    m_CarryBytes = 0;
  }
  for (; i + kRecordSize <= size; i += kRecordSize) DecodeSampleRecord(data + i, m_Live);
  m_CarryBytes = size - i;
  std::memcpy(m_Carry.data(), data + i, m_CarryBytes);
  Publish(m_Live);
}

void CCaptureThread::DecodeSampleRecord(const std::uint8_t* rec, LiveReadout& live) {
  if (KindOfRecord(rec) != RecordKind::Sample) return;
  const int n = SampleCountOfRecord(rec);
  for (int k = 0; k < n; ++k) {
    const RawSample s = ReadRawSample(rec, k);
    live.vbusMv = s.vbusVoltage;
    live.cc1Mv = s.cc1Voltage;
    live.cc2Mv = s.cc2Voltage;
    live.vbusMa = ConvertCurrent(s.vbusCurrent);
    live.cc1Ma = ConvertCurrent(s.cc1Current);
    live.cc2Ma = ConvertCurrent(s.cc2Current);
    const std::int32_t values[kCalCount] = {live.vbusMv, live.cc1Mv, live.cc2Mv, live.vbusMa, live.cc1Ma, live.cc2Ma};
    for (int c = 0; c < kCalCount; ++c) live.calibrated[c] = Calibrate(values[c], m_Ratios[c].load());
    live.latestUs = m_Clock.Extend(s.timestamp);
    if (!live.clockSet) {
      live.clockSet = true;
      live.firstUs = live.latestUs;
    }
    const bool vbusHigh = s.vbusVoltage >= kVbusPresentMv;
    if (vbusHigh != m_PreviousVbusHigh && m_OnConnStateChanged) {
      const auto cc1 = static_cast<std::uint16_t>(live.calibrated[kCalCC1Vol]);
      const auto cc2 = static_cast<std::uint16_t>(live.calibrated[kCalCC2Vol]);
      m_OnConnStateChanged(live.calibrated[kCalVbusVol], static_cast<std::uint32_t>(cc2) << 16 | cc1);
    }
    m_PreviousVbusHigh = vbusHigh;
  }
}

void CCaptureThread::Publish(const LiveReadout& live) {
  const std::int32_t plain[6] = {live.vbusMv, live.cc1Mv, live.cc2Mv, live.vbusMa, live.cc1Ma, live.cc2Ma};
  for (int i = 0; i < 6; ++i) m_LiveValues[i].store(plain[i], std::memory_order_relaxed);
  for (int i = 0; i < kCalCount; ++i) m_LiveValues[6 + i].store(live.calibrated[i], std::memory_order_relaxed);
  m_LiveFirst.store(live.firstUs, std::memory_order_relaxed);
  m_LiveLatest.store(live.latestUs, std::memory_order_relaxed);
  m_LiveClockSet.store(live.clockSet, std::memory_order_relaxed);
}

}  // namespace zk
