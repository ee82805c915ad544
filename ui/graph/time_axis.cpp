#include "ui/graph/time_axis.h"

#include "pd/text_format.h"
#include "ui/graph/graph_model.h"

namespace zk {

namespace {

constexpr std::int64_t kMsUs = 1000, kSUs = 1000000, kMinUs = 60 * kSUs, kHUs = 60 * kMinUs, kDayUs = 24 * kHUs;

// The first row whose span, counted in units of per, is above more.
struct TimeStepRow {
  std::int64_t per;
  std::int64_t more;
  TimeAxisStep step;
};
constexpr TimeStepRow kTimeSteps[] = {
    {kHUs, 240, {10 * kDayUs, kDayUs, TimeUnit::kDay}},
    {kHUs, 24, {kDayUs, 6 * kHUs, TimeUnit::kDay}},
    {kHUs, 10, {10 * kHUs, kHUs, TimeUnit::kH}},
    {kMinUs, 60, {kHUs, 10 * kMinUs, TimeUnit::kH}},
    {kMinUs, 10, {10 * kMinUs, kMinUs, TimeUnit::kMin}},
    {kSUs, 100, {100 * kSUs, 10 * kSUs, TimeUnit::kS}},
    {kSUs, 10, {10 * kSUs, kSUs, TimeUnit::kS}},
    {kMsUs, 1000, {kSUs, 100 * kMsUs, TimeUnit::kS}},
    {kMsUs, 100, {100 * kMsUs, 10 * kMsUs, TimeUnit::kMs}},
    {kMsUs, 10, {10 * kMsUs, kMsUs, TimeUnit::kMs}},
    {1, 1000, {kMsUs, 100, TimeUnit::kMs}},
    {1, 100, {100, 10, TimeUnit::kUs}},
    {1, 10, {10, 1, TimeUnit::kUs}},
};
constexpr TimeAxisStep kFinestStep = {1, 1, TimeUnit::kUs};

struct UnitLabel {
  std::int64_t per;
  const char* format;
};
constexpr UnitLabel kUnitLabels[] = {
    {1, "%lldus"}, {kMsUs, "%1.0fms"}, {kSUs, "%llds"}, {kMinUs, "%lldmin"}, {kHUs, "%lldh"}, {kDayUs, "%lldday"},
};

}  // namespace

TimeAxisStep TimeAxisStepFor(float timeScale) {
  const std::int64_t span = TruncTime(640.0 / static_cast<double>(timeScale));
  for (const TimeStepRow& row : kTimeSteps) {
    if (span / row.per > row.more) return row.step;
  }
  return kFinestStep;
}

std::string TimeAxisLabel(std::int64_t t, TimeUnit unit) {
  const std::int64_t a = t < 0 ? TimeDiff(0, t) : t;
  std::string text = t < 0 ? "-" : "";
  const UnitLabel& label = kUnitLabels[static_cast<int>(unit)];
  if (unit == TimeUnit::kMs) {
    // Milliseconds are printed from a float and may show a rounded fraction.
    AppendFormat(text, "%1.0fms", static_cast<double>(static_cast<float>(a) / 1000));
  } else {
    AppendFormat(text, label.format, static_cast<long long>(a / label.per));
  }
  return text;
}

}  // namespace zk
