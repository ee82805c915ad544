#include "capture/sim_traffic.h"

#include <algorithm>

namespace zk {

std::unique_ptr<ScenarioTraffic> ScenarioTraffic::Make(const sim::ScenarioOptions& options) {
  auto traffic = std::unique_ptr<ScenarioTraffic>(new ScenarioTraffic());
  bool started = false;
  std::uint32_t previousStamp = 0;
  std::int64_t t = 0;
  std::uint64_t last = 0;
  const bool known = sim::RunScenario(
      options,
      [&](const Record& r) {
        if (KindOfRecord(r.data()) == RecordKind::Meta) return;
        // A CC record is stamped at its first byte, so stamps may step back a little:
        // differences are taken as signed, which also carries them over the 32-bit wrap.
        const std::uint32_t stamp = ReadU32(r.data() + 2);
        if (started) t += static_cast<std::int32_t>(stamp - previousStamp);
        if (!started) traffic->m_Origin = stamp;
        started = true;
        previousStamp = stamp;
        // Records go out in the order the box wrote them, whatever their stamps say.
        last = std::max<std::uint64_t>(last, t > 0 ? static_cast<std::uint64_t>(t) : 0);
        traffic->m_Records.push_back({last, r});
      },
      [&](const sim::SynthPacket& p) { traffic->m_Packets.push_back(p); });
  if (!known) return nullptr;
  return traffic;
}

bool ScenarioTraffic::Produce(std::uint64_t untilUs, std::vector<TimedRecord>& out) {
  while (m_Next < m_Records.size() && m_Records[m_Next].timeUs < untilUs) out.push_back(m_Records[m_Next++]);
  return m_Next < m_Records.size();
}

}  // namespace zk
