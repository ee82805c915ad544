// Pieces the fuzz targets share: a private scratch file and a byte reader.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zk::fuzz {

// A file of this process under /tmp, rewritten for every input.
inline const std::string& ScratchPath() {
  static const std::string path = "/tmp/zk_fuzz_" + std::to_string(::getpid()) + ".zkr";
  return path;
}

inline void WriteScratch(const std::uint8_t* data, std::size_t size, const char* mode = "wb") {
  if (std::FILE* f = std::fopen(ScratchPath().c_str(), mode)) {
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
}

// Takes bytes off the front of the input; zeros once it is used up.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : m_Data(data), m_Left(size) {}
  std::uint8_t Byte() {
    if (!m_Left) return 0;
    --m_Left;
    return *m_Data++;
  }
  std::size_t Left() const { return m_Left; }
  const std::uint8_t* Here() const { return m_Data; }
  void Skip(std::size_t n) {
    n = n < m_Left ? n : m_Left;
    m_Data += n;
    m_Left -= n;
  }

 private:
  const std::uint8_t* m_Data;
  std::size_t m_Left;
};

}  // namespace zk::fuzz
