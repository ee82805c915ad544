#include "tools/export_plan.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "pd/formatting.h"
#include "record/file_path.h"

namespace zk {

namespace {

constexpr std::string_view kMarkerTexts[] = {"", "Marker A (", "Marker B (", "Marker O (", "Marker X ("};

bool EndsWithNoCase(std::string_view s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), s.end() - static_cast<std::ptrdiff_t>(tail.size()), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
}

struct TypeFiles {
  std::string_view extension;
  ExportFileKind kind;
};
constexpr TypeFiles kTypeFiles[kExportTypeCount] = {
    {".csv", {"csv", "CSV Files (*.csv)"}},
    {".zkr", {"zkr", "ZKR Files (*.zkr)"}},
    {".pcapng", {"pcapng", "pcapng Files (*.pcapng)"}},
};

const TypeFiles& FilesOf(ExportType type) {
  return kTypeFiles[std::clamp(static_cast<int>(type), 0, kExportTypeCount - 1)];
}

std::string_view ExtensionOf(ExportType type) { return FilesOf(type).extension; }

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(PathFromUtf8(path), ec);
}

std::int64_t ShownTime(const CaptureStore& store, std::int64_t time) { return time - store.m_TimeOrigin; }

// The earliest and latest shown time of samples and packets, as far as they exist.
void CaptureBounds(const CaptureStore& store, std::int64_t& first, std::int64_t& last) {
  bool any = false;
  const auto take = [&](std::int64_t lo, std::int64_t hi) {
    first = any ? std::min(first, lo) : lo;
    last = any ? std::max(last, hi) : hi;
    any = true;
  };
  if (store.SampleCount() > 0) {
    take(ShownTime(store, store.SampleAt(0)->m_Time),
         ShownTime(store, store.SampleAt(store.SampleCount() - 1)->m_Time));
  }
  if (store.PacketCount() > 0) {
    take(ShownTime(store, store.PacketAt(0)->m_Time),
         ShownTime(store, store.PacketAt(store.PacketCount() - 1)->m_Time));
  }
  if (!any) first = last = 0;
}

bool SelectedMarker(const ExportDialogState& state, int index, std::int64_t& time) {
  if (index < 0 || index >= static_cast<int>(state.m_Markers.size())) return false;
  time = state.m_Markers[static_cast<std::size_t>(index)].m_Time;
  return true;
}

}  // namespace

std::string ExportMarkerText(const ExportMarker& marker) {
  const int kind = std::clamp<int>(marker.m_Kind, 0, kExportMarkerX);
  return std::string(kMarkerTexts[kind]) + TimeText(marker.m_Time) + ")";
}

void InsertExportMarker(std::vector<ExportMarker>& markers, const ExportMarker& marker) {
  if (markers.size() >= kMaxExportMarkers) return;
  const auto at = std::find_if(markers.begin(), markers.end(),
                               [&marker](const ExportMarker& m) { return m.m_Time >= marker.m_Time; });
  markers.insert(at, marker);
}

std::string ProposeExportName(const std::string& recordPath, ExportType type) {
  std::string name = recordPath;
  if (EndsWithNoCase(name, ".zkr")) name.resize(name.size() - 4);
  name += "_export";
  const std::string ext(ExtensionOf(type));
  if (!Exists(name + ext)) return name + ext;
  for (int n = 1; n <= 9999; ++n) {
    const std::string candidate = name + " (" + std::to_string(n) + ")" + ext;
    if (!Exists(candidate)) return candidate;
  }
  return name + ext;
}

void PrepareExport(ExportDialogState& state, const CaptureStore& store, const std::optional<GraphMarkerTimes>& graph) {
  state.m_FileName = ProposeExportName(store.m_RecordPath, ExportType::Csv);
  state.m_Type = ExportType::Csv;
  state.m_Markers.clear();
  if (const CCCPacket* a = store.MarkerA())
    InsertExportMarker(state.m_Markers, {kExportMarkerA, ShownTime(store, a->m_Time)});
  if (const CCCPacket* b = store.MarkerB())
    InsertExportMarker(state.m_Markers, {kExportMarkerB, ShownTime(store, b->m_Time)});
  if (graph) {
    InsertExportMarker(state.m_Markers, {kExportMarkerO, graph->o});
    InsertExportMarker(state.m_Markers, {kExportMarkerX, graph->x});
  }
}

void OpenExport(ExportDialogState& state, const CaptureStore& store) {
  const int packets = store.PacketCount();
  if (packets > 0) {
    state.m_FromPacket = static_cast<std::uint32_t>(store.PacketAt(0)->m_Index);
    state.m_ToPacket = static_cast<std::uint32_t>(store.PacketAt(packets - 1)->m_Index);
  }
  const int markers = static_cast<int>(state.m_Markers.size());
  state.m_FromMarker = markers > 0 ? 0 : -1;
  state.m_ToMarker = markers - 1;
  if (packets == 0) {
    state.m_Items = ExportItems::VoltageCurrent;
  } else {
    state.m_Items = state.m_Remote ? ExportItems::Both : ExportItems::PdMessages;
  }
}

bool ComputeExportSpan(ExportDialogState& state, const CaptureStore& store) {
  const int packets = store.PacketCount();
  const bool samples = store.SampleCount() > 0;
  std::int64_t first = 0, last = 0;
  CaptureBounds(store, first, last);

  switch (state.m_From) {
    case ExportFrom::CaptureTop:
      if (!samples) return false;
      state.m_Start = first;
      break;
    case ExportFrom::PacketNumber:
      if (packets == 0 || state.m_FromPacket >= static_cast<std::uint32_t>(packets)) return false;
      state.m_Start = ShownTime(store, store.PacketAt(static_cast<int>(state.m_FromPacket))->m_Time);
      break;
    case ExportFrom::Marker:
      if (!SelectedMarker(state, state.m_FromMarker, state.m_Start)) return false;
      break;
  }
  switch (state.m_To) {
    case ExportTo::CaptureEnd:
      if (!samples) return false;
      state.m_End = last;
      break;
    case ExportTo::PacketNumber:
      if (packets == 0) return false;
      if (state.m_ToPacket >= static_cast<std::uint32_t>(packets))
        state.m_ToPacket = static_cast<std::uint32_t>(packets - 1);
      state.m_End = ShownTime(store, store.PacketAt(static_cast<int>(state.m_ToPacket))->m_Time);
      break;
    case ExportTo::Marker:
      if (!SelectedMarker(state, state.m_ToMarker, state.m_End)) return false;
      break;
  }
  return state.m_End >= state.m_Start;
}

std::string FitExportExtension(const std::string& name, ExportType type) {
  const std::string_view wanted = ExtensionOf(type);
  if (EndsWithNoCase(name, wanted)) return name;
  for (const TypeFiles& other : kTypeFiles) {
    if (EndsWithNoCase(name, other.extension))
      return name.substr(0, name.size() - other.extension.size()) + std::string(wanted);
  }
  return name + std::string(wanted);
}

ExportFileKind ExportFileKindOf(ExportType type) { return FilesOf(type).kind; }

std::optional<std::uint32_t> ParsePacketNumber(std::string_view text) {
  const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

ExportEnabling ComputeExportEnabling(const ExportDialogState& state, bool hasPackets, bool spanValid, bool running) {
  ExportEnabling e;
  e.cancel = true;
  e.abort = running;
  if (running) return e;

  e.captureTop = e.captureEnd = e.zkr = e.csv = e.pcapng = true;
  e.fromMarker = e.toMarker = true;
  e.fileButton = true;
  e.fromPacketNumber = e.toPacketNumber = hasPackets;
  e.fromNumberBox = hasPackets && state.m_From == ExportFrom::PacketNumber;
  e.toNumberBox = hasPackets && state.m_To == ExportTo::PacketNumber;
  e.fromMarkerList = state.m_From == ExportFrom::Marker;
  e.toMarkerList = state.m_To == ExportTo::Marker;
  if (state.m_Type == ExportType::Csv) {
    e.pdMessages = e.both = hasPackets;
    e.voltageCurrent = true;
    e.options = state.m_Items != ExportItems::PdMessages;
    e.visibleColumnsOnly = state.m_Items != ExportItems::VoltageCurrent && hasPackets;
  }
  e.exportButton = !state.m_FileName.empty() && spanValid;
  return e;
}

ExportTickOutcome ExportTick(ToolJob& job, std::string& statusText) {
  if (!job.Started()) return ExportTickOutcome::Idle;
  char buf[48];
  std::snprintf(buf, sizeof buf, "Exporting... %d%%", job.Progress());
  statusText = buf;
  const std::optional<bool> result = job.TakeResult();
  if (!result) return ExportTickOutcome::Running;
  if (*result) {
    statusText = std::string(kExportCompleted);
    return ExportTickOutcome::Completed;
  }
  statusText.clear();
  return ExportTickOutcome::Aborted;
}

}  // namespace zk
