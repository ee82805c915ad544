// Large simulated record files for the benchmarks, generated once into the temporary folder.
#pragma once

#include <filesystem>
#include <string>

#include "sim/scenarios.h"

namespace zk::bench {

constexpr std::uint64_t kTargetBytes = 100ull * 1000 * 1000;

// Generates (once) a record file of about 100 MB for a scenario.
inline std::string BigFile(const std::string& scenario) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / ("zk_bench_" + scenario + "_100mb.zkr");
  if (std::filesystem::exists(path) && std::filesystem::file_size(path) >= kTargetBytes) return path.string();
  // Size a short run first, then scale the duration to reach the target.
  zk::sim::ScenarioOptions probe;
  probe.name = scenario;
  probe.seconds = 20;
  std::string error;
  const std::filesystem::path probePath =
      std::filesystem::temp_directory_path() / ("zk_bench_probe_" + scenario + ".zkr");
  if (!zk::sim::WriteScenarioFile(probe, probePath.string(), error)) return {};
  const double bytesPerSecond = static_cast<double>(std::filesystem::file_size(probePath)) / probe.seconds;
  std::filesystem::remove(probePath);
  zk::sim::ScenarioOptions options = probe;
  options.seconds = static_cast<double>(kTargetBytes) / bytesPerSecond * 1.02;
  if (!zk::sim::WriteScenarioFile(options, path.string(), error)) return {};
  return path.string();
}

}  // namespace zk::bench
