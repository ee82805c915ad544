// The Export dialog's plain logic: the proposed file name, the marker list, the span of the
// chosen From and To, the extension fit, which controls are enabled, and the progress tick.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "record/capture_store.h"
#include "tools/tool_job.h"

namespace zk {

enum class ExportFrom : int { CaptureTop = 0, PacketNumber = 1, Marker = 2 };
enum class ExportTo : int { CaptureEnd = 0, PacketNumber = 1, Marker = 2 };
enum class ExportType : int { Csv = 0, Zkr = 1, Pcapng = 2 };
constexpr int kExportTypeCount = 3;
enum class ExportItems : int { PdMessages = 0, VoltageCurrent = 1, Both = 2 };

// "VBUS Voltage", "VBUS Current", "VBUS Wattage", "CC1 Voltage", "CC1 Current", "CC2 Voltage", "CC2 Current".
constexpr int kExportOptionCount = 7;

enum ExportMarkerKind : int { kExportMarkerA = 1, kExportMarkerB = 2, kExportMarkerO = 3, kExportMarkerX = 4 };
constexpr std::size_t kMaxExportMarkers = 5;

struct ExportMarker {
  int m_Kind = kExportMarkerA;
  std::int64_t m_Time = 0;  // shown scale, microseconds

  bool operator==(const ExportMarker&) const = default;
};

// Markers O and X of the first graph view, on the shown scale.
struct GraphMarkerTimes {
  std::int64_t o = 0;
  std::int64_t x = 0;
};

struct ExportDialogState {
  std::string m_FileName;
  std::array<bool, kExportOptionCount> m_Options{true, true, true, true, true, true, true};
  bool m_VisibleColumnsOnly = true;
  std::uint32_t m_FromPacket = 0;
  std::uint32_t m_ToPacket = 0;
  ExportFrom m_From = ExportFrom::CaptureTop;
  ExportTo m_To = ExportTo::CaptureEnd;
  ExportType m_Type = ExportType::Csv;
  ExportItems m_Items = ExportItems::PdMessages;
  std::vector<ExportMarker> m_Markers;  // ascending by time
  int m_FromMarker = -1;                // selected entries of the two marker lists, -1 for none
  int m_ToMarker = -1;
  std::int64_t m_Start = 0;
  std::int64_t m_End = 0;
  bool m_Remote = false;
};

// "Marker A (%s)" with the time text of the marker's shown time.
std::string ExportMarkerText(const ExportMarker& marker);
// Before the first entry at the same time or later; nothing beyond kMaxExportMarkers entries.
void InsertExportMarker(std::vector<ExportMarker>& markers, const ExportMarker& marker);

// recordPath without ".zkr", "_export", and the type's extension; " (n)" before the
// extension while that file exists (n up to 9999, then the plain name).
std::string ProposeExportName(const std::string& recordPath, ExportType type);

// Naming and marker list, before the dialog is shown. Keeps the remote mark.
void PrepareExport(ExportDialogState& state, const CaptureStore& store, const std::optional<GraphMarkerTimes>& graph);

// Opening: packet numbers, marker selections and the items.
void OpenExport(ExportDialogState& state, const CaptureStore& store);

// Fills m_Start and m_End; false when the span is invalid. A To packet beyond the last
// packet becomes the last packet.
bool ComputeExportSpan(ExportDialogState& state, const CaptureStore& store);

// The extension of another type swapped, or the type's own appended, to suit the type
// (".csv", ".zkr", ".pcapng", compared without regard to case).
std::string FitExportExtension(const std::string& name, ExportType type);

// What the file dialog of a type offers: "csv" and "CSV Files (*.csv)".
struct ExportFileKind {
  std::string_view suffix;
  std::string_view filter;
};
ExportFileKind ExportFileKindOf(ExportType type);

// A number box's text as the dialog takes it: digits only, around them blanks; else nothing.
std::optional<std::uint32_t> ParsePacketNumber(std::string_view text);
inline constexpr std::string_view kPositiveIntegerMessage = "Enter a positive integer.";

struct ExportEnabling {
  bool captureTop = false, fromPacketNumber = false, fromMarker = false, fromNumberBox = false, fromMarkerList = false;
  bool captureEnd = false, toPacketNumber = false, toMarker = false, toNumberBox = false, toMarkerList = false;
  bool csv = false, zkr = false, pcapng = false;
  bool pdMessages = false, voltageCurrent = false, both = false;
  bool visibleColumnsOnly = false;
  bool options = false;  // the seven voltage/current check boxes
  bool fileButton = false;
  bool exportButton = false;
  bool abort = false, cancel = true;

  bool operator==(const ExportEnabling&) const = default;
};

ExportEnabling ComputeExportEnabling(const ExportDialogState& state, bool hasPackets, bool spanValid, bool running);

// What a one-second tick of the dialog's timer found.
enum class ExportTickOutcome {
  Idle,       // nothing started
  Running,    // status text updated
  Completed,  // status "Export Completed.", message "Export Completed.", close as with OK
  Aborted,    // message "Export Aborted.", status cleared, dialog stays open
};
inline constexpr std::string_view kExportCompleted = "Export Completed.";
inline constexpr std::string_view kExportAborted = "Export Aborted.";

ExportTickOutcome ExportTick(ToolJob& job, std::string& statusText);

}  // namespace zk
