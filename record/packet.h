// The two objects everything is built from: one CC-line packet and one measurement sample.
#pragma once

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

// Decoded bits packed eight to a byte: a long capture keeps the bits of every packet.
class BitArray {
 public:
  void Clear() {
    m_Data.clear();
    m_Size = 0;
  }
  void Reserve(int bits) { m_Data.reserve(static_cast<std::size_t>((bits + 7) / 8)); }
  void PushBack(int bit) {
    if ((m_Size & 7) == 0) m_Data.push_back(0);
    if (bit) m_Data.back() = static_cast<std::uint8_t>(m_Data.back() | (1u << (m_Size & 7)));
    ++m_Size;
  }
  int operator[](int i) const { return (m_Data[static_cast<std::size_t>(i >> 3)] >> (i & 7)) & 1; }
  int Size() const { return m_Size; }
  void ShrinkToFit() { m_Data.shrink_to_fit(); }

 private:
  std::vector<std::uint8_t> m_Data;
  int m_Size = 0;
};

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

struct CCCPacket {
  CaptureStore* m_pStore = nullptr;
  std::uint64_t m_StartOffset = 0;
  std::uint64_t m_EndOffset = 0;
  std::int32_t m_Index = -1;
  std::uint8_t m_Marked = 0;
  std::uint64_t m_RawTime = 0;
  std::int64_t m_Time = 0;
  std::int64_t m_IdleTime = 0;

  std::uint8_t m_HasMeasure = 0;
  std::uint16_t m_VbusVoltage = 0;
  std::int16_t m_VbusCurrent = 0;
  std::int16_t m_CC1Voltage = 0;
  std::int16_t m_CC2Voltage = 0;
  std::int16_t m_CC1Current = 0;
  std::int16_t m_CC2Current = 0;

  std::int32_t m_Channel = 0;
  std::int32_t m_TickDiv = 20;
  std::int32_t m_EdgeCount = 0;
  std::vector<EdgeRecord> m_pEdges;  // freed after framing unless edge keeping is on

  BitArray m_pBits;
  std::uint8_t m_PreambleFound = 0;
  std::int32_t m_PreambleStart = -1;
  std::int32_t m_PreambleLen = 0;
  std::int32_t m_SopStart = -1;
  std::int32_t m_EopPos = -1;
  float m_UnitInterval = 0.0f;

  std::uint8_t m_CrcOk = 0;
  std::uint8_t m_HasPayload = 0;
  std::uint32_t m_Crc = 0xFFFFFFFF;
  std::uint8_t m_EopFound = 0;
  std::uint8_t m_OrderedSet[4] = {0xFE, 0xFE, 0xFE, 0xFE};
  std::int32_t m_Kind = kKindTooShort;
  std::uint8_t m_Bytes[kMaxMessageBytes] = {};
  std::int32_t m_ByteCount = 0;

  std::int32_t m_Side = 0;
  CCCPacket* m_pSourceCaps = nullptr;  // not owned; cleared when that packet is removed

  // Reassembly buffer of a chunked extended message, shared by all its chunks.
  std::uint8_t m_OwnsExtBuf = 0;
  std::shared_ptr<std::vector<std::uint8_t>> m_pExtBuf;
  bool m_ExtSelf = false;  // the message describes itself: its data follows the extended header
  std::int32_t m_ExtSize = 0;
  std::int32_t m_ExtOffset = 0;
  std::int32_t m_ExtChunkLen = 0;

  std::int32_t m_TotalTicks = 0;
  std::int32_t m_BitCount = 0;
  std::int32_t m_FirstBitEdge = 0;
  std::int32_t m_Class1Count = 0, m_Class2Count = 0, m_Class3Count = 0, m_Class0Count = 0, m_Class4Count = 0;
  std::int32_t m_ResolvedCount = 0;
  std::vector<std::uint8_t> m_pSymbols;
  std::int32_t m_SymbolCount = 0;
  std::uint8_t m_Recovery = kRecoveryNone;

  // Description text cache of the decoders; empty until first asked for. Replaced whole
  // (atomically) so that the list and an export thread may both read it.
  mutable std::shared_ptr<const DescriptionCache> m_DescriptionCache;

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
