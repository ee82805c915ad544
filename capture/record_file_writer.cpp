#include "capture/record_file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace zk {

RecordFileWriter::~RecordFileWriter() {
  if (m_Fd >= 0) ::close(m_Fd);
}

std::size_t RecordFileWriter::WriteAll(const std::uint8_t* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(m_Fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      m_LastError = n < 0 ? errno : EIO;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  return done;
}

bool RecordFileWriter::Create(const std::string& path, const CalibrationRatios& ratios) {
  if (m_Fd >= 0) ::close(m_Fd);
  m_DeviceBytes.store(0, std::memory_order_relaxed);
  m_Fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (m_Fd < 0) {
    m_LastError = errno;
    return false;
  }
  const Record header = EmptyMetaRecord();
  const Record calibration = CalibrationRecord(ratios);
  if (WriteAll(header.data(), header.size()) != header.size() ||
      WriteAll(calibration.data(), calibration.size()) != calibration.size()) {
    ::close(m_Fd);
    m_Fd = -1;
    return false;
  }
  return true;
}

bool RecordFileWriter::Write(const std::uint8_t* data, std::size_t size) {
  if (m_Fd < 0) return false;
  const std::size_t done = WriteAll(data, size);
  m_DeviceBytes.fetch_add(done, std::memory_order_relaxed);
  return done == size;
}

void RecordFileWriter::CloseWithHeader(std::uint16_t firmware, const std::array<std::uint8_t, 12>& serial) {
  if (m_Fd < 0) return;
  const Record header = HeaderRecord(firmware, serial, static_cast<std::int64_t>(DeviceBytes()));
  std::size_t done = 0;
  while (done < header.size()) {
    const ssize_t n = ::pwrite(m_Fd, header.data() + done, header.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(m_Fd);
  m_Fd = -1;
}

}  // namespace zk
