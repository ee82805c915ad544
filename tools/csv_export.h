// The CSV export: a header line and the time-merged rows of the samples and packets of a
// span, every field in double quotes, lines ended by CR LF.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "pd/column_table.h"
#include "record/capture_store.h"
#include "tools/export_plan.h"
#include "tools/tool_job.h"

namespace zk {

struct CsvExportRequest {
  std::string m_FileName;
  // "VBUS Voltage", "VBUS Current", "VBUS Wattage", "CC1 Voltage", "CC1 Current", "CC2 Voltage", "CC2 Current".
  std::array<bool, kExportOptionCount> m_Options{true, true, true, true, true, true, true};
  ExportItems m_Items = ExportItems::PdMessages;
  bool m_VisibleColumnsOnly = true;
  ColumnChoices m_Columns = DefaultColumnChoices();
  std::int64_t m_Start = 0;  // shown scale, both ends included
  std::int64_t m_End = 0;
  bool m_ReverseCurrent = false;  // the VBUS current direction setting
};

// Packet columns of the export in display order: per position the lowest id placed there,
// shown when only visible columns are asked for, and not a measurement column.
std::vector<int> CsvPacketColumns(const ColumnChoices& columns, bool visibleOnly);

// The cell texts of a packet's row for those columns.
std::vector<std::string> PacketCsvFields(const CCCPacket& packet, const std::vector<int>& columnIds,
                                         bool reverseCurrent);

// One quoted, comma-separated line ending in CR LF.
std::string CsvLine(const std::vector<std::string>& fields);

std::string CsvHeaderLine(const CsvExportRequest& request);
std::string SampleCsvLine(const CVbusInfo& sample, std::int64_t timeOrigin, const CsvExportRequest& request);
std::string PacketCsvLine(const CCCPacket& packet, std::int64_t timeOrigin, const std::vector<int>& columnIds,
                          const CsvExportRequest& request);

// Writes the header and the rows to out; false when aborted. The progress is the share of
// the walked elements.
bool WriteCsvRows(const CaptureStore& store, const CsvExportRequest& request, JobProgress& progress, std::ostream& out);

// Creates (or replaces) m_FileName and writes the export; false when the file cannot be
// created or written, or the export was aborted.
bool WriteCsvExport(const CaptureStore& store, const CsvExportRequest& request, JobProgress& progress);

}  // namespace zk
