#include "capture/stream_digest.h"

#include <cstring>

namespace zk {

namespace {

constexpr std::uint64_t kPrime = 0x100000001B3ull;

std::uint64_t Mix(std::uint64_t h, std::uint64_t word) {
  h ^= word;
  h *= kPrime;
  return h ^ (h >> 29);
}

}  // namespace

void StreamDigest::Update(const std::uint8_t* data, std::size_t size) {
  m_Bytes += size;
  std::size_t i = 0;
  while (m_PartialBytes != 0 && i < size) {
    m_Partial |= static_cast<std::uint64_t>(data[i++]) << (8 * m_PartialBytes);
    if (++m_PartialBytes == 8) {
      m_Hash = Mix(m_Hash, m_Partial);
      m_Partial = 0;
      m_PartialBytes = 0;
    }
  }
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, data + i, 8);  // little-endian host: same value as the byte-wise path
    m_Hash = Mix(m_Hash, word);
  }
  for (; i < size; ++i) m_Partial |= static_cast<std::uint64_t>(data[i]) << (8 * m_PartialBytes++);
}

std::uint64_t StreamDigest::Hash() const {
  return m_PartialBytes == 0 ? m_Hash : Mix(m_Hash, m_Partial ^ (static_cast<std::uint64_t>(m_PartialBytes) << 61));
}

}  // namespace zk
