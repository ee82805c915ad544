// A running hash and byte count of a byte stream, the same however the stream is cut
// into pieces, so what the box sent can be compared with what a record file holds.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk {

class StreamDigest {
 public:
  void Update(const std::uint8_t* data, std::size_t size);
  std::uint64_t Bytes() const { return m_Bytes; }
  // Hash of everything so far; a trailing partial word is folded in without being consumed.
  std::uint64_t Hash() const;
  bool operator==(const StreamDigest& o) const { return Bytes() == o.Bytes() && Hash() == o.Hash(); }

 private:
  std::uint64_t m_Hash = 0xCBF29CE484222325ull;
  std::uint64_t m_Bytes = 0;
  std::uint64_t m_Partial = 0;
  int m_PartialBytes = 0;
};

}  // namespace zk
