// Bounds-checked access to a packet's message bytes, data objects and extended data:
// the decoders read only what the message actually carries, whatever its header claims.
#pragma once

#include <cstdint>

#include "record/packet.h"

namespace zk {

// m_ByteCount limited to the message buffer.
int MessageSize(const CCCPacket& packet);

// Data objects the header announces and the message bytes really hold.
int DataObjectsPresent(const CCCPacket& packet);

// The header announces exactly count objects and all of them are present.
bool HasExactObjectCount(const CCCPacket& packet, int count);

// The extended data reachable from this packet: m_ExtSize limited to what its buffer holds.
struct ExtendedData {
  const std::uint8_t* bytes = nullptr;
  int size = 0;
};
ExtendedData ExtendedDataOf(const CCCPacket& packet);

// Extended data of a message that is described on its first chunk only; empty on every
// other chunk and when no data was reassembled.
ExtendedData DescribedExtendedData(const CCCPacket& packet);

}  // namespace zk
