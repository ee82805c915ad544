// The two objects everything is built from: one CC-line packet and one measurement sample.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zk {

class CaptureStore;

// One edge interval: duration in ticks (low 8 bits), class and bit role, and the bit it begins.
struct EdgeRecord {
  std::uint8_t duration = 0;
  std::uint8_t classRole = 0;  // bits 0-2 class, bits 3-5 bit role
  std::uint16_t bitIndex = 0xFFFF;

  int Class() const { return classRole & 0x07; }
  int Role() const { return (classRole >> 3) & 0x07; }
  void SetClass(int c) { classRole = static_cast<std::uint8_t>((classRole & ~0x07) | (c & 0x07)); }
  void SetRole(int r) { classRole = static_cast<std::uint8_t>((classRole & ~0x38) | ((r & 0x07) << 3)); }
};
static_assert(sizeof(EdgeRecord) == 4);

// Decoded bits packed eight to a byte: a long capture keeps the bits of every packet, so the
// array is a bare buffer (16 bytes) trimmed to its bits once the packet is decoded.
class BitArray {
 public:
  BitArray() = default;
  BitArray(const BitArray& other) { *this = other; }
  BitArray(BitArray&&) noexcept = default;
  BitArray& operator=(const BitArray& other) {
    if (this == &other) return *this;
    const int bytes = (other.m_Size + 7) / 8;
    m_Data.reset(bytes > 0 ? new std::uint8_t[static_cast<std::size_t>(bytes)] : nullptr);
    std::copy_n(other.m_Data.get(), bytes, m_Data.get());
    m_Size = other.m_Size;
    m_Capacity = bytes;
    return *this;
  }
  BitArray& operator=(BitArray&&) noexcept = default;

  void Clear() { m_Size = 0; }
  void Reserve(int bits) {
    const int bytes = (bits + 7) / 8;
    if (bytes > m_Capacity) Reallocate(bytes);
  }
  void PushBack(int bit) {
    const int byte = m_Size >> 3;
    if ((m_Size & 7) == 0) {
      RoomForByte(byte);
      m_Data[static_cast<std::size_t>(byte)] = 0;
    }
    if (bit) m_Data[static_cast<std::size_t>(byte)] |= static_cast<std::uint8_t>(1u << (m_Size & 7));
    ++m_Size;
  }
  // Appends the low n bits of value (n at most 8), the first in bit 0: a whole byte at a time
  // when the array ends on a byte boundary.
  void Append(unsigned value, int n) {
    if ((m_Size & 7) != 0) {
      for (int k = 0; k < n; ++k) PushBack((value >> k) & 1);
      return;
    }
    const int byte = m_Size >> 3;
    RoomForByte(byte);
    m_Data[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(value & ((1u << n) - 1));
    m_Size += n;
  }
  int operator[](int i) const { return (m_Data[static_cast<std::size_t>(i >> 3)] >> (i & 7)) & 1; }
  // Bits pos to pos + n - 1 (n at most 8), the first in bit 0; all of them must be held.
  int Field(int pos, int n) const {
    const auto byte = static_cast<std::size_t>(pos >> 3);
    unsigned v = m_Data[byte];
    if ((pos & 7) + n > 8) v |= static_cast<unsigned>(m_Data[byte + 1]) << 8;
    return static_cast<int>((v >> (pos & 7)) & ((1u << n) - 1));
  }
  int Size() const { return m_Size; }
  void ShrinkToFit() {
    const int bytes = (m_Size + 7) / 8;
    if (bytes != m_Capacity) Reallocate(bytes);
  }

 private:
  void RoomForByte(int byte) {
    if (byte == m_Capacity) Reallocate(std::max(16, 2 * m_Capacity));
  }
  void Reallocate(int bytes) {
    std::unique_ptr<std::uint8_t[]> data(bytes > 0 ? new std::uint8_t[static_cast<std::size_t>(bytes)] : nullptr);
    std::copy_n(m_Data.get(), std::min(bytes, (m_Size + 7) / 8), data.get());
    m_Data = std::move(data);
    m_Capacity = bytes;
  }

  std::unique_ptr<std::uint8_t[]> m_Data;
  std::int32_t m_Size = 0;
  std::int32_t m_Capacity = 0;  // bytes
};
static_assert(sizeof(BitArray) == 16);

// Ordered-set kinds.
enum PacketKind : int {
  kKindSop = 1,
  kKindSopP = 2,
  kKindSopPP = 3,
  kKindHardReset = 4,
  kKindCableReset = 5,
  kKindSopPDebug = 6,
  kKindSopPPDebug = 7,
  kKindTooShort = 254,
  kKindUnknown = 255,
};

constexpr int kMaxEdgesPerPacket = 5000;
constexpr int kMaxMessageBytes = 268;
constexpr int kMaxExtendedSize = 260;

// Which fallback of the framing decoder produced the result (0 when the plain decode did).
enum FramingRecovery : std::uint8_t {
  kRecoveryNone = 0,
  kRecoveryLevelBias = 1,
  kRecoverySync = 2,
  kRecoverySyncLevelBias = 3,
};

// A decoded description with a digest of every input it was built from (the packet's
// bytes, its linked Source_Capabilities, its extended data), checked on every use.
struct DescriptionCache {
  std::uint64_t stamp = 0;
  std::string text;
};

// Fields are grouped by size and counts kept as narrow as their limits allow: a capture of
// hours holds millions of these.
struct CCCPacket {
  // From slabs (see packet_pool.h): millions of them come and go with a long capture.
  static void* operator new(std::size_t bytes);
  static void operator delete(void* p) noexcept;

  CaptureStore* m_pStore = nullptr;
  CCCPacket* m_pSourceCaps = nullptr;  // not owned; cleared when that packet is removed
  std::uint64_t m_StartOffset = 0;
  std::uint64_t m_EndOffset = 0;
  std::uint64_t m_RawTime = 0;
  std::int64_t m_Time = 0;
  std::int64_t m_IdleTime = 0;

  std::vector<EdgeRecord> m_pEdges;  // freed after framing unless edge keeping is on
  BitArray m_pBits;
  // Reassembly buffer of a chunked extended message, shared by all its chunks.
  std::shared_ptr<std::vector<std::uint8_t>> m_pExtBuf;
  // Description text cache of the decoders; empty until first asked for. Replaced whole
  // (atomically) so that the list and an export thread may both read it.
  mutable std::shared_ptr<const DescriptionCache> m_DescriptionCache;

  std::int32_t m_Index = -1;
  std::int32_t m_TickDiv = 20;
  std::int32_t m_EdgeCount = 0;
  std::int32_t m_TotalTicks = 0;
  std::int32_t m_BitCount = 0;
  std::int32_t m_ByteCount = 0;
  std::uint32_t m_Crc = 0xFFFFFFFF;
  float m_UnitInterval = 0.0f;

  // Bit and symbol positions and interval counts: bounded by the edges a packet may hold.
  std::int16_t m_FirstBitEdge = 0;
  std::int16_t m_PreambleStart = -1;
  std::int16_t m_PreambleLen = 0;
  std::int16_t m_SopStart = -1;
  std::int16_t m_EopPos = -1;
  std::int16_t m_SymbolCount = 0;  // symbols of 5 bits each from m_SopStart: see SymbolOf
  std::int16_t m_Class1Count = 0, m_Class2Count = 0, m_Class3Count = 0, m_Class0Count = 0, m_Class4Count = 0;
  std::int16_t m_ResolvedCount = 0;
  std::int16_t m_ExtSize = 0;
  std::int16_t m_ExtOffset = 0;
  std::int16_t m_ExtChunkLen = 0;

  std::uint16_t m_VbusVoltage = 0;
  std::int16_t m_VbusCurrent = 0;
  std::int16_t m_CC1Voltage = 0;
  std::int16_t m_CC2Voltage = 0;
  std::int16_t m_CC1Current = 0;
  std::int16_t m_CC2Current = 0;

  std::uint8_t m_OrderedSet[4] = {0xFE, 0xFE, 0xFE, 0xFE};
  std::uint8_t m_Kind = kKindTooShort;
  std::uint8_t m_Channel = 0;
  std::int8_t m_Side = 0;
  std::uint8_t m_Marked = 0;
  std::uint8_t m_HasMeasure = 0;
  std::uint8_t m_PreambleFound = 0;
  std::uint8_t m_EopFound = 0;
  std::uint8_t m_CrcOk = 0;
  std::uint8_t m_HasPayload = 0;
  std::uint8_t m_OwnsExtBuf = 0;
  bool m_ExtSelf = false;  // the message describes itself: its data follows the extended header
  std::uint8_t m_Recovery = kRecoveryNone;

  std::uint8_t m_Bytes[kMaxMessageBytes] = {};

  std::uint16_t Header() const { return static_cast<std::uint16_t>(m_Bytes[0] | (m_Bytes[1] << 8)); }
  std::uint16_t ExtendedHeader() const { return static_cast<std::uint16_t>(m_Bytes[2] | (m_Bytes[3] << 8)); }
  std::uint32_t DataObject(int i) const {  // i from 0
    const std::uint8_t* p = m_Bytes + 2 + 4 * i;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  }
  // Reassembled (or self-described) extended data, m_ExtSize bytes; null when none.
  const std::uint8_t* ExtData() const {
    if (m_pExtBuf) return m_pExtBuf->data();
    if (m_ExtSelf) return m_Bytes + 4;
    return nullptr;
  }
  void ReleaseEdges() { std::vector<EdgeRecord>().swap(m_pEdges); }
};

struct CVbusInfo {
  std::int64_t m_Time = 0;
  std::uint16_t m_VbusVoltage = 0;
  std::int16_t m_CC1Voltage = 0;
  std::int16_t m_CC2Voltage = 0;
  std::int16_t m_VbusCurrent = 0;
  std::int16_t m_CC1Current = 0;
  std::int16_t m_CC2Current = 0;
  // No back pointer to the store: samples live contiguously inside it, 32 bytes each.
  std::uint64_t m_Offset = 0;
};
static_assert(sizeof(CVbusInfo) == 32);

}  // namespace zk
