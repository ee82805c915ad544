// A generated device stream for the file-tool tests: one sample record every 1000 us and a
// short CC burst 400 us after each, every CC record starting a sequence of its own so that
// any cut of the stream decodes the packets it holds.
#pragma once

#include <unistd.h>
#include <cstdint>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "record/record_format.h"

namespace zk::test {

inline Record SampleRecordAt(std::uint32_t time, std::uint16_t vbus, std::int16_t current) {
  Record r{};
  WriteU16(r.data(), 0x2001);
  RawSample s;
  s.timestamp = time;
  s.vbusVoltage = vbus;
  s.vbusCurrent = current;
  s.cc1Voltage = 1700;
  WriteRawSample(r.data(), 0, s);
  return r;
}

inline Record BurstRecordAt(int k, std::uint32_t time) {
  std::uint8_t ev[56];
  int counter = k & 0x3F;
  ev[0] = static_cast<std::uint8_t>(counter);
  const int edges = 5 + k % 4;
  for (int i = 1; i < 56; ++i) {
    if (i <= edges) counter += 8;
    ev[i] = static_cast<std::uint8_t>(counter);
  }
  return CCRecord(k & 0xFF, 0, k % 2, time, 0, ev);
}

inline std::vector<Record> HeadRecords() { return {EmptyMetaRecord(), CalibrationRecord(kUnitRatios)}; }

// periods x (sample record, CC record), without a head.
inline std::vector<Record> DeviceStream(int periods) {
  std::vector<Record> records;
  for (int k = 0; k < periods; ++k) {
    const auto t = static_cast<std::uint32_t>(1000 + 1000 * k);
    records.push_back(SampleRecordAt(t, static_cast<std::uint16_t>(5000 + k), static_cast<std::int16_t>(100 + k)));
    records.push_back(BurstRecordAt(k, t + 400));
  }
  return records;
}

inline std::vector<std::uint8_t> BytesOf(const std::vector<Record>& records) {
  std::vector<std::uint8_t> bytes;
  for (const Record& r : records) bytes.insert(bytes.end(), r.begin(), r.end());
  return bytes;
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// A fresh, empty folder under the temporary directory, removed with the object.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name)
      : m_Path(std::filesystem::temp_directory_path() / ("zk_" + name + "_" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(m_Path);
    std::filesystem::create_directories(m_Path);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_Path, ec);
  }
  const std::filesystem::path& Path() const { return m_Path; }
  std::string operator/(const std::string& name) const { return (m_Path / name).string(); }

 private:
  std::filesystem::path m_Path;
};

}  // namespace zk::test
