// The record file a capture writes: created with its empty header and calibration
// records, fed the device bytes unchanged, and closed by writing the header in place.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "record/record_format.h"

namespace zk {

class RecordFileWriter {
 public:
  RecordFileWriter() = default;
  RecordFileWriter(const RecordFileWriter&) = delete;
  RecordFileWriter& operator=(const RecordFileWriter&) = delete;
  ~RecordFileWriter();

  // Creates or truncates path, shared with readers; false when it cannot be written.
  bool Create(const std::string& path, const CalibrationRatios& ratios);
  // The whole buffer, retrying short writes; false when the disk took only part of it (full,
  // over quota, gone). Only the bytes that reached the file are counted.
  bool Write(const std::uint8_t* data, std::size_t size);
  // Header record at offset 0 with the box's identity and the device byte count, then close.
  void CloseWithHeader(std::uint16_t firmware, const std::array<std::uint8_t, 12>& serial);
  bool IsOpen() const { return m_Fd >= 0; }
  // The errno of the last Create or Write that failed (EIO when the system gave none).
  int LastError() const { return m_LastError; }

  // Device bytes in this file (the two leading records not counted); read by other threads.
  std::uint64_t DeviceBytes() const { return m_DeviceBytes.load(std::memory_order_relaxed); }
  std::uint64_t FileSize() const { return DeviceBytes() + 2 * kRecordSize; }

 private:
  int m_Fd = -1;
  int m_LastError = 0;
  std::atomic<std::uint64_t> m_DeviceBytes{0};

  // The bytes written before a write failed; size when all went.
  std::size_t WriteAll(const std::uint8_t* data, std::size_t size);
};

}  // namespace zk
