// The capture thread: reads the box's bulk pipe without pause, writes every byte into the
// current record file while recording, rolls over to the next numbered file, closes the
// file with its header when asked, and keeps the live readouts of the latest sample.
// It never touches the document.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "capture/flag.h"
#include "capture/record_file_writer.h"
#include "capture/record_naming.h"
#include "capture/usb_link.h"

namespace zk {

// Flags shared with the main thread; each is set by one side and cleared by the other.
struct CaptureFlags {
  Flag stopRequested;      // set: window closing; cleared: thread at exit
  Flag alive;              // set: Start; cleared: thread at exit
  Flag recording;          // set: Run; cleared: thread when it closes the file
  Flag closeRequested;     // set: Stop, Clear, remote stop, the thread itself; cleared: thread
  Flag fileClosed;         // set: thread; cleared: timer
  Flag fileHasData;        // set: thread at close when bytes were written; cleared: timer
  Flag rolloverRequested;  // set: timer (count full); cleared: record-file creation
  Flag countRolloverDone;  // set: record-file creation after a requested rollover; cleared: Run
};

// The latest sample as the thread decoded it.
struct LiveReadout {
  std::int32_t vbusMv = 0, cc1Mv = 0, cc2Mv = 0;     // raw
  std::int32_t vbusMa = 0, cc1Ma = 0, cc2Ma = 0;     // converted, before calibration
  std::array<std::int32_t, kCalCount> calibrated{};  // in calibration-channel order
  bool clockSet = false;
  std::uint64_t firstUs = 0;
  std::uint64_t latestUs = 0;
  std::int64_t ElapsedUs() const { return clockSet ? static_cast<std::int64_t>(latestUs - firstUs) : 0; }
};

// What the files of one capture are named and stamped with; fixed while recording.
struct RecordSeries {
  RecordNaming naming;
  std::uint16_t firmware = 0;
  std::array<std::uint8_t, 12> serial{};
};

// Why a capture ended without anyone asking: the user is told, with the file concerned.
enum class CaptureFailureKind { WriteFailed, NextFileFailed, BoxVanished };

struct CaptureFailure {
  CaptureFailureKind kind = CaptureFailureKind::WriteFailed;
  std::string path;  // the file written, or the next file that could not be created
  int error = 0;     // errno of the failed file operation; 0 for a vanished box
  bool operator==(const CaptureFailure&) const = default;
};

// VBUS crossed 1000 mV: calibrated VBUS mV, and (CC2 mV << 16) | CC1 mV.
using ConnStateChanged = std::function<void(std::int32_t vbusMv, std::uint32_t ccMv)>;

class CCaptureThread {
 public:
  CCaptureThread(UsbLink& usb, const Flag& connected);
  ~CCaptureThread();
  CCaptureThread(const CCaptureThread&) = delete;
  CCaptureThread& operator=(const CCaptureThread&) = delete;

  // Set before Start; called on the capture thread.
  void SetConnStateChanged(ConnStateChanged callback) { m_OnConnStateChanged = std::move(callback); }
  void Start();
  // Asks the thread to end (closing the file first when recording) and waits for it.
  void StopAndJoin();

  CaptureFlags& Flags() { return m_Flags; }

  // Settings the thread reads on every loop.
  void SetMaxFileSizeMB(std::int32_t mb) { m_MaxFileSizeMB.store(mb); }
  void SetCalibration(const CalibrationRatios& ratios);

  // Main thread, only while not recording: the series the next capture writes.
  void SetSeries(RecordSeries series);
  const RecordSeries& Series() const { return m_Series; }
  void SetIndex(int index) { m_Index.store(index); }
  int Index() const { return m_Index.load(); }
  // Closes the current file with its header, resets the counters and creates the file of
  // the current index with its two leading records. Main thread before recording, then
  // only this thread (rollover).
  bool CreateRecordFile();

  std::uint64_t DeviceBytes() const { return m_Writer.DeviceBytes(); }
  LiveReadout Live() const;

  // Either thread, while recording: why the capture ends, for the file of the current
  // index. The first reason stays until taken.
  void NoteFailure(CaptureFailureKind kind, int error = 0);
  // Main thread: the reason noted since the last take, if any.
  std::optional<CaptureFailure> TakeFailure();
  bool HasFailure();

  // The nice value the reading thread got (0 when the system allowed no raise).
  int ReaderNice() const { return m_ReaderNice.load(); }

 private:
  UsbLink& m_Usb;
  const Flag& m_Connected;
  CaptureFlags m_Flags;
  std::thread m_Thread;
  ConnStateChanged m_OnConnStateChanged;
  std::atomic<std::int32_t> m_MaxFileSizeMB{100};
  std::array<std::atomic<std::int32_t>, kCalCount> m_Ratios;
  RecordSeries m_Series;
  std::atomic<int> m_Index{1};
  RecordFileWriter m_Writer;
  std::mutex m_FailureMutex;
  std::optional<CaptureFailure> m_Failure;
  std::atomic<int> m_ReaderNice{0};

  // Live decoding state, owned by the thread.
  Flag m_ClockResetRequested;  // set: record-file creation; cleared: thread
  TimestampExtender m_Clock;
  bool m_PreviousVbusHigh = false;
  std::array<std::uint8_t, kRecordSize> m_Carry{};  // a record cut between two reads
  std::size_t m_CarryBytes = 0;
  LiveReadout m_Live;
  // Published readout.
  std::array<std::atomic<std::int32_t>, 12> m_LiveValues{};
  std::atomic<bool> m_LiveClockSet{false};
  std::atomic<std::uint64_t> m_LiveFirst{0}, m_LiveLatest{0};

  void Run();
  void CloseRecordFile();
  void HandleRead(const std::uint8_t* data, std::size_t size);
  void RollOver(bool sizeExceeded);
  void DecodeLive(const std::uint8_t* data, std::size_t size);
  void DecodeSampleRecord(const std::uint8_t* rec, LiveReadout& live);
  void Publish(const LiveReadout& live);
  void WaitWhileDisconnected();
  void RaisePriority();
};

}  // namespace zk
