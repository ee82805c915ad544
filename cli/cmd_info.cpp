// zkr info: what a record file's meta records say, and how many records of each kind it holds.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "record/loader.h"
#include "record/record_file_info.h"

namespace zk::cli {

namespace {

const char* MarkerTagName(std::uint8_t tag) {
  switch (tag) {
    case kTagTimeOrigin: return "time origin";
    case kTagClearMarkers: return "clear";
    case kTagBookmark: return "bookmark";
    case kTagMarkerA: return "marker A";
    case kTagMarkerB: return "marker B";
    case kTagGraphMarkerO: return "graph marker O";
    case kTagGraphMarkerX: return "graph marker X";
    default: return "?";
  }
}

void PrintMeta(const RecordFileInfo& info) {
  const MetaState& m = info.meta;
  if (m.hasFormat) {
    std::printf("format number:      0x%04X\n", m.format);
  } else {
    std::printf("format number:      (not written: the capture was never closed)\n");
  }
  if (m.hasFirmware) std::printf("firmware version:   %s\n", FirmwareText(m.firmware).c_str());
  if (m.hasSerial) {
    std::printf("serial number:      ");
    for (std::uint8_t b : m.serial) std::printf("%02X", b);
    std::printf("\n");
  }
  if (m.hasDeviceBytes) std::printf("device bytes:       %" PRId64 "\n", m.deviceBytes);
  static const char* const kChannels[kCalCount] = {"VBUS voltage", "CC1 voltage", "CC2 voltage",
                                                   "VBUS current", "CC1 current", "CC2 current"};
  std::printf("calibration ratios:");
  for (int i = 0; i < kCalCount; ++i) std::printf(" %s %d", kChannels[i], m.ratios[i]);
  std::printf("\n");
  for (std::size_t i = 0; i < info.markerItems.size(); ++i) {
    const std::uint8_t tag = info.markerItems[i].tag;
    if (tag == kTagClearMarkers) {
      std::printf("marker item:        %s\n", MarkerTagName(tag));
    } else {
      std::printf("marker item:        %s %" PRId64 " us\n", MarkerTagName(tag), info.markerValues[i]);
    }
  }
}

void PrintDecoded(const CaptureStore& store) {
  const PacketStatistics& p = store.PacketStats();
  std::printf("decoded:            %d packets, %d samples\n", store.PacketCount(), store.SampleCount());
  std::printf("packets:            CC1 %u, CC2 %u, no preamble %u, CRC error %u, no EOP %u, bad UI %u\n", p.cc1, p.cc2,
              p.noPreamble, p.crcError, p.noEop, p.badUnitInterval);
  std::printf(
      "ordered sets:       SOP %u, SOP' %u, SOP'' %u, Hard Reset %u, Cable Reset %u, SOP'_Debug %u, "
      "SOP''_Debug %u, other %u\n",
      p.sop, p.sopP, p.sopPP, p.hardReset, p.cableReset, p.sopPDebug, p.sopPPDebug, p.otherKind);
  std::printf("SOP roles:          power role set %u clear %u, data role set %u clear %u\n", p.powerRoleSet,
              p.powerRoleClear, p.dataRoleSet, p.dataRoleClear);
  const auto printTable = [](const char* title, const std::array<std::uint32_t, 32>& counts) {
    std::printf("%-20s", title);
    bool any = false;
    for (std::size_t t = 0; t < counts.size(); ++t) {
      if (counts[t] == 0) continue;
      std::printf("%s%zu:%u", any ? ", " : "", t, counts[t]);
      any = true;
    }
    std::printf("%s\n", any ? "" : "none");
  };
  printTable("control types:", p.control);
  printTable("data types:", p.data);
  printTable("extended types:", p.extended);
  int recovered = 0;
  for (int i = 0; i < store.PacketCount(); ++i) recovered += store.PacketAt(i)->m_Recovery != kRecoveryNone;
  std::printf("recovered packets:  %d\n", recovered);
  const SampleStatistics& s = store.SampleStats();
  std::printf("samples:            max voltage %d mV, current %d..%d mA, power %d..%d mW\n", s.maxVoltage, s.minCurrent,
              s.maxCurrent, s.minPower, s.maxPower);
  std::printf("VBUS power:         max %d mW (%d mV, %d mA), min %d mW (%d mV, %d mA)\n", s.maxVbusPower,
              s.maxVbusPowerVoltage, s.maxVbusPowerCurrent, s.minVbusPower, s.minVbusPowerVoltage,
              s.minVbusPowerCurrent);
}

}  // namespace

int RunInfo(const Args& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::fprintf(stderr, "usage: zkr info FILE.zkr\n");
    return 2;
  }
  RecordFileInfo info;
  std::string error;
  if (!ScanRecordFile(args[0], info, error)) {
    std::fprintf(stderr, "zkr info: %s\n", error.c_str());
    return 1;
  }
  std::printf("file:               %s (%" PRIu64 " bytes)\n", args[0].c_str(), info.fileBytes);
  PrintMeta(info);
  std::printf("records:            %" PRIu64 " CC, %" PRIu64 " sample (%" PRIu64 " samples), %" PRIu64 " meta\n",
              info.ccRecords, info.sampleRecords, info.samples, info.metaRecords);
  if (info.trailingBytes)
    std::printf("trailing bytes:     %" PRIu64 " (incomplete record, not read)\n", info.trailingBytes);
  CaptureStore store;
  LoadRecordFile(store, args[0]);
  FinishPendingPackets(store);
  PrintDecoded(store);
  return 0;
}

}  // namespace zk::cli
