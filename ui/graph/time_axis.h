// Steps and labels of the time axis: which grid the visible span gets and how a tick reads.
#pragma once

#include <cstdint>
#include <string>

namespace zk {

enum class TimeUnit { kUs, kMs, kS, kMin, kH, kDay };

struct TimeAxisStep {
  std::int64_t major;
  std::int64_t minor;
  TimeUnit unit;
};

// The step for the span that 640 px cover at the time scale.
TimeAxisStep TimeAxisStepFor(float timeScale);

// "100us", "5ms", "-5s", "10min", "2h", "1day".
std::string TimeAxisLabel(std::int64_t t, TimeUnit unit);

}  // namespace zk
