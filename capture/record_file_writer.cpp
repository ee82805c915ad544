#include "capture/record_file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace zk {

RecordFileWriter::~RecordFileWriter() {
  if (m_Fd >= 0) ::close(m_Fd);
}

bool RecordFileWriter::WriteAll(const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(m_Fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool RecordFileWriter::Create(const std::string& path, const CalibrationRatios& ratios) {
  if (m_Fd >= 0) ::close(m_Fd);
  m_DeviceBytes.store(0, std::memory_order_relaxed);
  m_Fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (m_Fd < 0) return false;
  const Record header = EmptyMetaRecord();
  const Record calibration = CalibrationRecord(ratios);
  if (!WriteAll(header.data(), header.size()) || !WriteAll(calibration.data(), calibration.size())) {
    ::close(m_Fd);
    m_Fd = -1;
    return false;
  }
  return true;
}

void RecordFileWriter::Write(const std::uint8_t* data, std::size_t size) {
  if (m_Fd < 0) return;
  WriteAll(data, size);
  m_DeviceBytes.fetch_add(size, std::memory_order_relaxed);
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
