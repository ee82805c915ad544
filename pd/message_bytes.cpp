#include "pd/message_bytes.h"

#include <algorithm>

#include "pd/message_header.h"

namespace zk {

int MessageSize(const CCCPacket& packet) { return std::clamp(packet.m_ByteCount, 0, kMaxMessageBytes); }

int DataObjectsPresent(const CCCPacket& packet) {
  const int announced = HeaderObjectCount(packet.Header());
  const int held = MessageSize(packet) >= 2 ? (MessageSize(packet) - 2) / 4 : 0;
  return std::min(announced, held);
}

bool HasExactObjectCount(const CCCPacket& packet, int count) {
  return HeaderObjectCount(packet.Header()) == count && DataObjectsPresent(packet) == count;
}

ExtendedData ExtendedDataOf(const CCCPacket& packet) {
  const std::uint8_t* bytes = packet.ExtData();
  if (bytes == nullptr || packet.m_ExtSize <= 0) return {};
  const std::size_t held =
      packet.m_pExtBuf ? packet.m_pExtBuf->size() : static_cast<std::size_t>(std::max(0, MessageSize(packet) - 4));
  return {bytes, static_cast<int>(std::min(static_cast<std::size_t>(packet.m_ExtSize), held))};
}

ExtendedData DescribedExtendedData(const CCCPacket& packet) {
  if (packet.m_ExtOffset != 0) return {};
  return ExtendedDataOf(packet);
}

}  // namespace zk
