// Simulated traffic: named scenarios of PD conversations and VBUS power over time,
// deterministic for a seed, fed through the record synthesizer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/record_synth.h"

namespace zk::sim {

struct ScenarioOptions {
  std::string name = "spr";
  double seconds = 10.0;
  std::uint64_t seed = 1;
  int tickDiv = 20;
  int sampleIntervalUs = 1000;
  int channel = 0;                 // the CC line the plug's orientation puts the traffic on
  std::int64_t clockStartUs = -1;  // box clock at the first sample; -1 for ScenarioClockStart(seed)
};

struct ScenarioInfo {
  std::string_view name;
  std::string_view summary;
};
const std::vector<ScenarioInfo>& Scenarios();
bool IsScenario(std::string_view name);

// Box clock at the first sample: a seeded uptime, so that files do not all start at 0
// and long ones cross the 32-bit microsecond wrap.
std::uint32_t ScenarioClockStart(std::uint64_t seed);

// Streams the whole session into `records`; false for an unknown scenario.
bool RunScenario(const ScenarioOptions& options, const RecordSink& records, const PacketSink& packets = nullptr);

// Writes a complete record file as it is generated, so the file's size never has to fit
// in memory. False with a one-line reason when the name is unknown or the file cannot be written.
bool WriteScenarioFile(const ScenarioOptions& options, const std::string& path, std::string& error,
                       const PacketSink& packets = nullptr);

}  // namespace zk::sim
