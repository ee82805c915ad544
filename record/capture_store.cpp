#include "record/capture_store.h"

#include <algorithm>

#include "pd/message_header.h"

namespace zk {

CCCPacket* CaptureStore::PacketAt(int i) const {
  if (i < 0 || i >= PacketCount()) return nullptr;
  return m_Packets[static_cast<std::size_t>(i)].get();
}

const CVbusInfo* CaptureStore::SampleAt(int i) const {
  if (i < 0 || i >= SampleCount()) return nullptr;
  return &m_Samples[static_cast<std::size_t>(i)];
}

namespace {

// The last index whose shown time is at or before t, by the halving search of the list views.
template <typename TimeAt>
int FindByTime(int count, std::int64_t t, TimeAt timeAt) {
  if (count == 0) return -1;
  int lo = 0;
  if (t < timeAt(count - 1)) {
    int hi = count - 1;
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      if (mid == lo) break;
      if (timeAt(mid) <= t) {
        lo = mid;
      } else {
        hi = mid;
      }
    }
  } else {
    lo = count - 1;
  }
  return timeAt(lo) <= t ? lo : -1;
}

}  // namespace

int CaptureStore::FindPacketByTime(std::int64_t shownTime) const {
  return FindByTime(PacketCount(), shownTime,
                    [this](int i) { return m_Packets[static_cast<std::size_t>(i)]->m_Time - m_TimeOrigin; });
}

int CaptureStore::FindSampleByTime(std::int64_t shownTime) const {
  return FindByTime(SampleCount(), shownTime,
                    [this](int i) { return m_Samples[static_cast<std::size_t>(i)].m_Time - m_TimeOrigin; });
}

void CaptureStore::InsertPacket(std::unique_ptr<CCCPacket> packet) {
  packet->m_pStore = this;
  if (m_Packets.empty() || m_Packets.back()->m_Time <= packet->m_Time) {
    packet->m_Index = PacketCount();
    m_Packets.push_back(std::move(packet));
    return;
  }
  // Channels deliver out of order only by a little: search back from the end.
  int pos = PacketCount() - 1;
  while (pos >= 0 && m_Packets[static_cast<std::size_t>(pos)]->m_Time > packet->m_Time) --pos;
  const int at = pos + 1;
  m_Packets.insert(m_Packets.begin() + at, std::move(packet));
  for (int i = at; i < PacketCount(); ++i) m_Packets[static_cast<std::size_t>(i)]->m_Index = i;
}

void CaptureStore::ForgetReferencesTo(const CCCPacket* first, const CCCPacket* last) {
  // Packets to be removed are identified by index range; compare by index, not address order.
  const int lo = first->m_Index;
  const int hi = last->m_Index;
  auto inRange = [lo, hi](const CCCPacket* p) { return p && p->m_Index >= lo && p->m_Index <= hi; };
  if (inRange(m_MarkerA)) m_MarkerA = nullptr;
  if (inRange(m_MarkerB)) m_MarkerB = nullptr;
  if (inRange(m_Context.latestSourceCaps)) m_Context.latestSourceCaps = nullptr;
  for (auto& p : m_Packets) {
    if (inRange(p->m_pSourceCaps)) p->m_pSourceCaps = nullptr;
  }
}

void CaptureStore::RemoveOldestPackets(int n) {
  n = std::min(n, PacketCount());
  if (n <= 0) return;
  ForgetReferencesTo(m_Packets.front().get(), m_Packets[static_cast<std::size_t>(n - 1)].get());
  // Reassembly buffers are shared: later chunks keep theirs alive.
  m_Packets.erase(m_Packets.begin(), m_Packets.begin() + n);
  for (int i = 0; i < PacketCount(); ++i) m_Packets[static_cast<std::size_t>(i)]->m_Index = i;
}

void CaptureStore::RemoveOldestSamples(int n) {
  n = std::min(n, SampleCount());
  if (n <= 0) return;
  m_Samples.pop_front(static_cast<std::size_t>(n));
}

void CaptureStore::ClearArrays() {
  m_MarkerA = m_MarkerB = nullptr;
  m_Context.latestSourceCaps = nullptr;
  m_Samples.clear();
  std::deque<std::unique_ptr<CCCPacket>>().swap(m_Packets);
}

bool CaptureStore::FillMeasurement(CCCPacket& packet) const {
  if (m_Samples.empty()) return false;
  // The last sample at or before the packet; the first sample when all are later.
  const int at =
      FindByTime(SampleCount(), packet.m_Time, [this](int i) { return m_Samples[static_cast<std::size_t>(i)].m_Time; });
  CopyMeasurement(packet, std::max(at, 0));
  return true;
}

bool CaptureStore::FillMeasurement(CCCPacket& packet, int& hint) const {
  if (m_Samples.empty()) return false;
  const int n = SampleCount();
  const auto timeAt = [this](int i) { return m_Samples[static_cast<std::size_t>(i)].m_Time; };
  const std::int64_t t = packet.m_Time;
  int at;
  int lo = std::clamp(hint, 0, n - 1);
  if (timeAt(lo) > t) {
    at = FindByTime(n, t, timeAt);
  } else {
    // Gallop forward past t, then halve between: sample times never decrease, so this is
    // the halving search's answer.
    int step = 1;
    while (lo + step < n && timeAt(lo + step) <= t) {
      lo += step;
      step *= 2;
    }
    const int hi = std::min(lo + step, n);
    at = lo + FindByTime(hi - lo, t, [&timeAt, lo](int i) { return timeAt(lo + i); });
  }
  hint = std::max(at, 0);
  CopyMeasurement(packet, hint);
  return true;
}

void CaptureStore::CopyMeasurement(CCCPacket& packet, int sample) const {
  const CVbusInfo& s = m_Samples[static_cast<std::size_t>(sample)];
  packet.m_VbusVoltage = s.m_VbusVoltage;
  packet.m_VbusCurrent = s.m_VbusCurrent;
  packet.m_CC1Voltage = s.m_CC1Voltage;
  packet.m_CC2Voltage = s.m_CC2Voltage;
  packet.m_CC1Current = s.m_CC1Current;
  packet.m_CC2Current = s.m_CC2Current;
  packet.m_HasMeasure = 1;
}

void CaptureStore::CountPacket(const CCCPacket& p) {
  PacketStatistics& s = m_PacketStats;
  ++s.total;
  if (p.m_Channel == 0) {
    ++s.cc1;
  } else {
    ++s.cc2;
  }
  if (!p.m_PreambleFound) ++s.noPreamble;
  if (!p.m_EopFound) ++s.noEop;
  if (p.m_UnitInterval < 3.03f || p.m_UnitInterval > 3.7f) ++s.badUnitInterval;
  switch (p.m_Kind) {
    case kKindSop: ++s.sop; break;
    case kKindSopP: ++s.sopP; break;
    case kKindSopPP: ++s.sopPP; break;
    case kKindHardReset: ++s.hardReset; break;
    case kKindCableReset: ++s.cableReset; break;
    case kKindSopPDebug: ++s.sopPDebug; break;
    case kKindSopPPDebug: ++s.sopPPDebug; break;
    default: ++s.otherKind; break;
  }
  if (!IsMessageKind(p.m_Kind)) return;
  if (!p.m_CrcOk) ++s.crcError;
  const std::uint16_t h = p.Header();
  if (p.m_Kind == kKindSop) {
    if (HeaderPowerRole(h)) {
      ++s.powerRoleSet;
    } else {
      ++s.powerRoleClear;
    }
    if (HeaderDataRole(h)) {
      ++s.dataRoleSet;
    } else {
      ++s.dataRoleClear;
    }
  }
  if (!p.m_CrcOk) return;
  const auto type = static_cast<std::size_t>(MessageType(p));
  if (IsExtended(p)) {
    ++s.extended[type];
  } else if (IsDataMessage(p)) {
    ++s.data[type];
  } else {
    ++s.control[type];
  }
}

void CaptureStore::ResetState() {
  m_SampleStats = SampleStatistics();
  m_PacketStats = PacketStatistics();
  m_Context = MessageContextState();
  m_MarkerA = m_MarkerB = nullptr;
  m_PacketCountFull = m_SampleCountFull = m_PacketsRemoved = false;
  m_Meta = MetaState();
  m_HasGraphMarkerO = m_HasGraphMarkerX = false;
}

}  // namespace zk
