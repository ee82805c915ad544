// Edge lists through the framing decoder: a tick divider, then one duration per edge.
#include <cstddef>
#include <cstdint>

#include "pd/framing.h"
#include "record/packet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zk;
  if (size < 2) return 0;
  CCCPacket packet;
  packet.m_TickDiv = data[0];
  for (std::size_t i = 1; i < size && packet.m_pEdges.size() < static_cast<std::size_t>(kMaxEdgesPerPacket); ++i) {
    EdgeRecord e;
    e.duration = data[i];
    packet.m_pEdges.push_back(e);
  }
  packet.m_EdgeCount = static_cast<std::int32_t>(packet.m_pEdges.size());
  FramingStats stats;
  DecodePacketFraming(packet, &stats);
  return 0;
}
