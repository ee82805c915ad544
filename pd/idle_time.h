// Idle time before a packet: from the end of the previous packet (listed or not) to its start.
#pragma once

#include <cstdint>

#include "record/packet.h"

namespace zk {

// Sets the packet's idle time and returns where it ends, both on the shown time scale.
// The first packet of a list gets its shown time (prevEnd starts at 0).
inline std::int64_t AssignIdleTime(CCCPacket& p, std::int64_t prevEnd, std::int64_t timeOrigin) {
  const std::int64_t start = p.m_Time - timeOrigin;
  const std::int32_t length = p.m_TotalTicks * p.m_TickDiv / 48;
  p.m_IdleTime = start - prevEnd;
  return start + length;
}

}  // namespace zk
