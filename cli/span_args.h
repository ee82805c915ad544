// Time-span options shared by the subcommands that cut a record file (--from-us, --to-us).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "record/capture_store.h"
#include "tools/export_plan.h"

namespace zk::cli {

// A whole decimal number of microseconds, or nothing.
inline std::optional<std::int64_t> ParseMicroseconds(const std::string& text) {
  if (text.empty()) return std::nullopt;
  std::size_t used = 0;
  try {
    const long long v = std::stoll(text, &used, 10);
    if (used != text.size()) return std::nullopt;
    return v;
  } catch (...) {
    return std::nullopt;
  }
}

// The span as the export dialog computes it: a given time acts as a marker at that time,
// a missing one as the capture's top or end. False with a reason when there is no span.
inline bool ComputeSpanFromTimes(ExportDialogState& state, const CaptureStore& store, std::optional<std::int64_t> from,
                                 std::optional<std::int64_t> to, std::string& reason) {
  if (from) {
    state.m_Markers.push_back({kExportMarkerA, *from});
    state.m_From = ExportFrom::Marker;
    state.m_FromMarker = 0;
  }
  if (to) {
    state.m_Markers.push_back({kExportMarkerB, *to});
    state.m_To = ExportTo::Marker;
    state.m_ToMarker = static_cast<int>(state.m_Markers.size()) - 1;
  }
  if (ComputeExportSpan(state, store)) return true;
  reason = store.SampleCount() == 0 && (!from || !to) ? "the file holds no samples" : "the end lies before the start";
  return false;
}

}  // namespace zk::cli
