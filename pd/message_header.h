// Reading the message header and extended message header, and the message class tests.
#pragma once

#include <cstdint>

#include "record/packet.h"

namespace zk {

inline bool IsMessageKind(int kind) {
  return kind == kKindSop || kind == kKindSopP || kind == kKindSopPP || kind == kKindSopPDebug ||
         kind == kKindSopPPDebug;
}

// Header fields (bit 0 is the least significant bit of the 16-bit header).
inline int HeaderRevision(std::uint16_t h) { return (h >> 6) & 3; }
inline int HeaderMessageType(std::uint16_t h) { return HeaderRevision(h) >= 2 ? (h & 0x1F) : (h & 0x0F); }
inline int HeaderDataRole(std::uint16_t h) { return (h >> 5) & 1; }
inline int HeaderPowerRole(std::uint16_t h) { return (h >> 8) & 1; }  // cable plug in SOP'/SOP''
inline int HeaderMessageId(std::uint16_t h) { return (h >> 9) & 7; }
inline int HeaderObjectCount(std::uint16_t h) { return (h >> 12) & 7; }
inline int HeaderExtendedBit(std::uint16_t h) { return (h >> 15) & 1; }

// Extended message header fields.
inline int ExtDataSize(std::uint16_t x) { return x & 0x1FF; }
inline int ExtRequestChunk(std::uint16_t x) { return (x >> 10) & 1; }
inline int ExtChunkNumber(std::uint16_t x) { return (x >> 11) & 0x0F; }
inline int ExtChunked(std::uint16_t x) { return (x >> 15) & 1; }

inline bool IsExtended(const CCCPacket& p) {
  const std::uint16_t h = p.Header();
  return IsMessageKind(p.m_Kind) && (h & 0x80) && (h & 0x8000);
}
inline bool IsControlMessage(const CCCPacket& p) {
  return IsMessageKind(p.m_Kind) && !IsExtended(p) && HeaderObjectCount(p.Header()) == 0;
}
inline bool IsDataMessage(const CCCPacket& p) {
  return IsMessageKind(p.m_Kind) && !IsExtended(p) && HeaderObjectCount(p.Header()) != 0;
}
inline int MessageType(const CCCPacket& p) { return HeaderMessageType(p.Header()); }

// Control message types used across the decoder.
enum ControlType : int {
  kCtrlGoodCrc = 1,
  kCtrlAccept = 3,
  kCtrlReject = 4,
  kCtrlPsRdy = 6,
  kCtrlPrSwap = 10,
  kCtrlWait = 12,
  kCtrlSoftReset = 13,
};
enum DataType : int {
  kDataSourceCapabilities = 1,
  kDataRequest = 2,
  kDataVendorDefined = 15,
};

inline bool IsReset(const CCCPacket& p) {
  return p.m_Kind == kKindHardReset || p.m_Kind == kKindCableReset ||
         (IsControlMessage(p) && MessageType(p) == kCtrlSoftReset);
}

}  // namespace zk
