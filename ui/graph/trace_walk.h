// The pixel-column reduction of one trace: the points a trace is drawn through, at most a
// few per pixel column however many samples fall into it. With a sample summary the walk
// skips blocks that cannot change the picture and yields exactly the same points.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "record/capture_store.h"
#include "ui/graph/sample_summary.h"

namespace zk {

struct TracePoint {
  enum Kind : std::uint8_t { kMove, kLine, kPeak };
  int x;  // offset from the plot's left edge
  int y;
  Kind kind;

  bool operator==(const TracePoint&) const = default;
};

// The VBUS voltage and current recorded with an extreme VBUS power.
struct PeakSample {
  std::int32_t voltage;
  std::int32_t current;
};

struct TraceRequest {
  GraphChannel channel = kChVbusVolt;
  int sign = 1;  // direction times axis inversion; applied to currents and wattages only
  int zeroY = 0;
  float scale = 1.0f;
  std::int64_t viewStart = 0;
  std::int64_t viewEnd = 0;
  float timeScale = 1.0f;
  std::optional<PeakSample> maxPeak, minPeak;
  // Only the picture counts (no dots at the points): with a summary, each pixel column yields
  // its first point, its lowest and highest point and its closing point, which stroke the
  // same pixels as the full reduction in a fraction of the time.
  bool pictureOnly = false;
};

// The peak samples of the VBUS traces from the store's statistics (none for a power of 0).
void SetPeaks(TraceRequest& request, const SampleStatistics& stats);

// Appends the trace's points to out (which is cleared first). summary may be null, or must
// have been updated over the store's current samples.
void WalkTrace(const CaptureStore& store, const TraceRequest& request, const SampleSummary* summary,
               std::vector<TracePoint>& out);

// Several traces of one window at once, into outs[0..count): picture-only requests with a
// usable summary share a single pass over the samples; anything else walks one by one.
void WalkTraces(const CaptureStore& store, const TraceRequest* requests, int count, const SampleSummary* summary,
                std::vector<TracePoint>* outs);

}  // namespace zk
