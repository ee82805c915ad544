#include "tools/csv_export.h"

#include <fstream>
#include <ostream>

#include "pd/formatting.h"
#include "pd/summary_fields.h"
#include "pd/text_format.h"
#include "record/document.h"
#include "record/file_path.h"

namespace zk {

namespace {

constexpr const char* kOptionTitles[kExportOptionCount] = {
    "VBUS Voltage[V]", "VBUS Current[A]", "VBUS Wattage[W]", "CC1 Voltage[V]",
    "CC1 Current[A]",  "CC2 Voltage[V]",  "CC2 Current[A]",
};

// The measurement columns: the export writes those values from the options instead.
constexpr int kMeasurementColumns[] = {4, 5, 28, 29, 30, 31, 37};

bool IsMeasurementColumn(int id) {
  for (int m : kMeasurementColumns) {
    if (m == id) return true;
  }
  return false;
}

using MeasurementTextFn = std::string (*)(const PacketMeasurement&, bool reverseCurrent);

// One text per option, in option order.
constexpr MeasurementTextFn kOptionTexts[kExportOptionCount] = {
    [](const PacketMeasurement& m, bool) { return VbusVoltageText(m); },
    [](const PacketMeasurement& m, bool r) { return VbusCurrentText(m, r); },
    [](const PacketMeasurement& m, bool r) { return VbusPowerText(m, r); },
    [](const PacketMeasurement& m, bool) { return CcVoltageText(m, 0); },
    [](const PacketMeasurement& m, bool r) { return CcCurrentText(m, 0, r); },
    [](const PacketMeasurement& m, bool) { return CcVoltageText(m, 1); },
    [](const PacketMeasurement& m, bool r) { return CcCurrentText(m, 1, r); },
};

bool ExportsPackets(ExportItems items) { return items != ExportItems::VoltageCurrent; }
bool ExportsSamples(ExportItems items) { return items != ExportItems::PdMessages; }

std::string TimeField(std::int64_t shownTime) { return Format("%lld", static_cast<long long>(shownTime)); }

void AppendOptionFields(std::vector<std::string>& fields, const PacketMeasurement& m, const CsvExportRequest& request) {
  for (int i = 0; i < kExportOptionCount; ++i) {
    if (request.m_Options[static_cast<std::size_t>(i)]) fields.push_back(kOptionTexts[i](m, request.m_ReverseCurrent));
  }
}

bool InSpan(std::int64_t shownTime, const CsvExportRequest& request) {
  return shownTime >= request.m_Start && shownTime <= request.m_End;
}

}  // namespace

std::vector<int> CsvPacketColumns(const ColumnChoices& columns, bool visibleOnly) {
  std::vector<int> ids;
  for (int position = 0; position < kSummaryFieldCount; ++position) {
    for (int id = 0; id < kSummaryFieldCount; ++id) {
      const ColumnChoice& c = columns[static_cast<std::size_t>(id)];
      if (c.order != position || (visibleOnly && !c.show) || IsMeasurementColumn(id)) continue;
      ids.push_back(id);
      break;
    }
  }
  return ids;
}

std::vector<std::string> PacketCsvFields(const CCCPacket& packet, const std::vector<int>& columnIds,
                                         bool reverseCurrent) {
  std::vector<std::string> fields;
  fields.reserve(columnIds.size());
  for (int id : columnIds) fields.push_back(CellText(packet, id, reverseCurrent));
  return fields;
}

std::string CsvLine(const std::vector<std::string>& fields) {
  // Field texts are written as they are: the export never escapes a quote inside one.
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) line += ',';
    line += '"';
    line += fields[i];
    line += '"';
  }
  line += "\r\n";
  return line;
}

std::string CsvHeaderLine(const CsvExportRequest& request) {
  std::vector<std::string> fields{"Timestamp[us]"};
  for (int i = 0; i < kExportOptionCount; ++i) {
    if (request.m_Options[static_cast<std::size_t>(i)]) fields.emplace_back(kOptionTitles[i]);
  }
  if (ExportsPackets(request.m_Items)) {
    for (int id : CsvPacketColumns(request.m_Columns, request.m_VisibleColumnsOnly)) {
      fields.emplace_back(FindColumn(id)->title);
    }
  }
  return CsvLine(fields);
}

std::string SampleCsvLine(const CVbusInfo& sample, std::int64_t timeOrigin, const CsvExportRequest& request) {
  std::vector<std::string> fields{TimeField(sample.m_Time - timeOrigin)};
  AppendOptionFields(fields, MeasurementOf(sample), request);
  return CsvLine(fields);
}

std::string PacketCsvLine(const CCCPacket& packet, std::int64_t timeOrigin, const std::vector<int>& columnIds,
                          const CsvExportRequest& request) {
  std::vector<std::string> fields{TimeField(packet.m_Time - timeOrigin)};
  AppendOptionFields(fields, MeasurementOf(packet), request);
  for (std::string& field : PacketCsvFields(packet, columnIds, request.m_ReverseCurrent)) {
    fields.push_back(std::move(field));
  }
  return CsvLine(fields);
}

bool WriteCsvRows(const CaptureStore& store, const CsvExportRequest& request, JobProgress& progress,
                  std::ostream& out) {
  out << CsvHeaderLine(request);
  const std::vector<int> columnIds = CsvPacketColumns(request.m_Columns, request.m_VisibleColumnsOnly);
  const int sampleCount = ExportsSamples(request.m_Items) ? store.SampleCount() : 0;
  const int packetCount = ExportsPackets(request.m_Items) ? store.PacketCount() : 0;
  const std::int64_t origin = store.m_TimeOrigin;
  int s = 0;
  int p = 0;
  while (true) {
    progress.SetProgress(static_cast<std::uint64_t>(s) + static_cast<std::uint64_t>(p),
                         static_cast<std::uint64_t>(sampleCount) + static_cast<std::uint64_t>(packetCount));
    if (progress.AbortRequested()) return false;
    const CVbusInfo* sample = s < sampleCount ? store.SampleAt(s) : nullptr;
    const CCCPacket* packet = p < packetCount ? store.PacketAt(p) : nullptr;
    if (sample == nullptr && packet == nullptr) break;
    // On equal times the packet goes first.
    if (sample != nullptr && (packet == nullptr || sample->m_Time < packet->m_Time)) {
      if (InSpan(sample->m_Time - origin, request)) out << SampleCsvLine(*sample, origin, request);
      ++s;
    } else {
      if (InSpan(packet->m_Time - origin, request)) out << PacketCsvLine(*packet, origin, columnIds, request);
      ++p;
    }
    if (!out) return false;
  }
  return static_cast<bool>(out);
}

bool WriteCsvExport(const CaptureStore& store, const CsvExportRequest& request, JobProgress& progress) {
  // The store reads its packets' records back from its record file: never write over it.
  if (!store.m_RecordPath.empty() && SameFile(request.m_FileName, store.m_RecordPath)) return false;
  // Binary mode: the CR LF line ends are written as they are on every platform.
  std::ofstream out(PathFromUtf8(request.m_FileName), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  const bool written = WriteCsvRows(store, request, progress, out);
  out.close();
  return written && !out.fail();
}

}  // namespace zk
