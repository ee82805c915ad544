// The traffic of a named scenario, generated once and replayed by the simulated box.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "capture/sim_box.h"
#include "sim/record_synth.h"
#include "sim/scenarios.h"

namespace zk {

class ScenarioTraffic final : public SimTraffic {
 public:
  // Nothing for an unknown scenario.
  static std::unique_ptr<ScenarioTraffic> Make(const sim::ScenarioOptions& options);

  bool Produce(std::uint64_t untilUs, std::vector<TimedRecord>& out) override;
  std::uint32_t ClockOrigin() const override { return m_Origin; }

  // Every packet the scenario put on the line, in the order it sent them.
  const std::vector<sim::SynthPacket>& Packets() const { return m_Packets; }
  std::uint64_t DurationUs() const { return m_Records.empty() ? 0 : m_Records.back().timeUs; }

 private:
  std::vector<TimedRecord> m_Records;
  std::vector<sim::SynthPacket> m_Packets;
  std::size_t m_Next = 0;
  std::uint32_t m_Origin = 0;
};

}  // namespace zk
