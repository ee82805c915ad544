#include "tools/export_plan.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "pd/formatting.h"
#include "tests/core/tools/record_stream.h"

namespace zk {
namespace {

// Samples every 100 us from sampleStart to sampleStart + 900 and packets at 50, 250, 450.
void FillStore(CaptureStore& store, bool packets = true, bool samples = true, std::int64_t sampleStart = 0) {
  for (int i = 0; samples && i < 10; ++i) {
    CVbusInfo s;
    s.m_Time = sampleStart + 100 * i;
    s.m_Offset = 128 + 64 * static_cast<std::uint64_t>(i);
    store.AppendSample(s);
  }
  for (int i = 0; packets && i < 3; ++i) {
    auto p = std::make_unique<CCCPacket>();
    p->m_Time = 50 + 200 * i;
    store.InsertPacket(std::move(p));
  }
}

TEST(ExportPlan, ProposedNamesAvoidExistingFiles) {
  test::TempFolder folder("export_names");
  const std::string cap = folder / "cap.zkr";
  EXPECT_EQ(ProposeExportName(cap, ExportType::Csv), folder / "cap_export.csv");
  EXPECT_EQ(ProposeExportName(folder / "CAP.ZKR", ExportType::Zkr), folder / "CAP_export.zkr");
  EXPECT_EQ(ProposeExportName(folder / "cap.bin", ExportType::Csv), folder / "cap.bin_export.csv");
  test::WriteBytes(folder / "cap_export.csv", {});
  EXPECT_EQ(ProposeExportName(cap, ExportType::Csv), folder / "cap_export (1).csv");
  test::WriteBytes(folder / "cap_export (1).csv", {});
  EXPECT_EQ(ProposeExportName(cap, ExportType::Csv), folder / "cap_export (2).csv");
}

TEST(ExportPlan, ExtensionFollowsTheType) {
  const struct {
    const char* name;
    ExportType type;
    const char* fitted;
  } cases[] = {
      {"cap_export.csv", ExportType::Zkr, "cap_export.zkr"},
      {"cap_export.zkr", ExportType::Csv, "cap_export.csv"},
      {"cap_export.CSV", ExportType::Zkr, "cap_export.zkr"},
      {"cap_export.Zkr", ExportType::Zkr, "cap_export.Zkr"},
      {"cap_export", ExportType::Zkr, "cap_export.zkr"},
      {"cap.txt", ExportType::Csv, "cap.txt.csv"},
      {"", ExportType::Csv, ".csv"},
      {"cap_export.csv", ExportType::Pcapng, "cap_export.pcapng"},
      {"cap_export.ZKR", ExportType::Pcapng, "cap_export.pcapng"},
      {"cap_export.PcapNG", ExportType::Zkr, "cap_export.zkr"},
      {"cap_export.pcapng", ExportType::Pcapng, "cap_export.pcapng"},
      {"cap.pcap", ExportType::Pcapng, "cap.pcap.pcapng"},
  };
  for (const auto& c : cases) EXPECT_EQ(FitExportExtension(c.name, c.type), c.fitted) << c.name;
}

TEST(ExportPlan, MarkerListStaysAscendingWithTiesFirst) {
  std::vector<ExportMarker> m;
  InsertExportMarker(m, {kExportMarkerA, 500});
  InsertExportMarker(m, {kExportMarkerB, 100});
  InsertExportMarker(m, {kExportMarkerO, 500});  // same time: goes before A
  InsertExportMarker(m, {kExportMarkerX, 900});
  EXPECT_EQ(m, (std::vector<ExportMarker>{
                   {kExportMarkerB, 100}, {kExportMarkerO, 500}, {kExportMarkerA, 500}, {kExportMarkerX, 900}}));
  InsertExportMarker(m, {kExportMarkerX, 0});
  InsertExportMarker(m, {kExportMarkerX, 1});
  EXPECT_EQ(m.size(), kMaxExportMarkers);
  EXPECT_EQ(ExportMarkerText({kExportMarkerB, 1500000}), "Marker B (" + TimeText(1500000) + ")");
  EXPECT_EQ(ExportMarkerText({kExportMarkerX, -3}), "Marker X (" + TimeText(-3) + ")");
}

TEST(ExportPlan, PrepareAndOpen) {
  test::TempFolder folder("export_prepare");
  CaptureStore store;
  FillStore(store);
  store.m_RecordPath = folder / "cap.zkr";
  store.m_TimeOrigin = 40;
  store.SetMarkerA(store.PacketAt(2));
  store.SetMarkerB(store.PacketAt(1));
  ExportDialogState state;
  state.m_FileName = "old";
  PrepareExport(state, store, GraphMarkerTimes{300, -20});
  EXPECT_EQ(state.m_FileName, folder / "cap_export.csv");
  EXPECT_EQ(state.m_Markers,
            (std::vector<ExportMarker>{
                {kExportMarkerX, -20}, {kExportMarkerB, 210}, {kExportMarkerO, 300}, {kExportMarkerA, 410}}));
  OpenExport(state, store);
  EXPECT_EQ(state.m_FromPacket, 0u);
  EXPECT_EQ(state.m_ToPacket, 2u);
  EXPECT_EQ(state.m_FromMarker, 0);
  EXPECT_EQ(state.m_ToMarker, 3);
  EXPECT_EQ(state.m_Items, ExportItems::PdMessages);
  state.m_Remote = true;
  OpenExport(state, store);
  EXPECT_EQ(state.m_Items, ExportItems::Both);

  CaptureStore samplesOnly;
  FillStore(samplesOnly, false);
  ExportDialogState plain;
  PrepareExport(plain, samplesOnly, std::nullopt);
  OpenExport(plain, samplesOnly);
  EXPECT_TRUE(plain.m_Markers.empty());
  EXPECT_EQ(plain.m_FromMarker, -1);
  EXPECT_EQ(plain.m_ToMarker, -1);
  EXPECT_EQ(plain.m_Items, ExportItems::VoltageCurrent);
}

TEST(ExportPlan, SpanRules) {
  CaptureStore full, noPackets, noSamples, lateSamples;
  FillStore(full);
  FillStore(lateSamples, true, true, 100);
  FillStore(noPackets, false);
  FillStore(noSamples, true, false);
  const std::vector<ExportMarker> markers = {{kExportMarkerA, 120}, {kExportMarkerB, 700}};
  const struct {
    const char* what;
    const CaptureStore* store;
    ExportFrom from;
    std::uint32_t fromPacket;
    int fromMarker;
    ExportTo to;
    std::uint32_t toPacket;
    int toMarker;
    bool valid;
    std::int64_t start, end;
    std::uint32_t toPacketAfter;
  } cases[] = {
      {"top to end", &full, ExportFrom::CaptureTop, 0, -1, ExportTo::CaptureEnd, 0, -1, true, 0, 900, 0},
      {"no samples: no top", &noSamples, ExportFrom::CaptureTop, 0, -1, ExportTo::PacketNumber, 2, -1, false, 0, 0, 2},
      {"no samples: no end", &noSamples, ExportFrom::PacketNumber, 0, -1, ExportTo::CaptureEnd, 0, -1, false, 50, 0, 0},
      {"packet to packet", &full, ExportFrom::PacketNumber, 1, -1, ExportTo::PacketNumber, 2, -1, true, 250, 450, 2},
      {"to packet beyond the last", &full, ExportFrom::PacketNumber, 0, -1, ExportTo::PacketNumber, 99, -1, true, 50,
       450, 2},
      {"from packet beyond the last", &full, ExportFrom::PacketNumber, 3, -1, ExportTo::CaptureEnd, 0, -1, false, 0, 0,
       0},
      {"packet number without packets", &noPackets, ExportFrom::CaptureTop, 0, -1, ExportTo::PacketNumber, 0, -1, false,
       0, 0, 0},
      {"marker to marker", &full, ExportFrom::Marker, 0, 0, ExportTo::Marker, 0, 1, true, 120, 700, 0},
      {"to marker before from", &full, ExportFrom::Marker, 0, 1, ExportTo::Marker, 0, 0, false, 700, 120, 0},
      {"no marker selected", &full, ExportFrom::Marker, 0, -1, ExportTo::CaptureEnd, 0, -1, false, 0, 0, 0},
      {"marker index out of range", &full, ExportFrom::CaptureTop, 0, -1, ExportTo::Marker, 0, 7, false, 0, 0, 0},
      {"top is the earlier of sample and packet", &lateSamples, ExportFrom::CaptureTop, 0, -1, ExportTo::CaptureEnd, 0,
       -1, true, 50, 1000, 0},
  };
  for (const auto& c : cases) {
    ExportDialogState s;
    s.m_Markers = markers;
    s.m_From = c.from;
    s.m_FromPacket = c.fromPacket;
    s.m_FromMarker = c.fromMarker;
    s.m_To = c.to;
    s.m_ToPacket = c.toPacket;
    s.m_ToMarker = c.toMarker;
    EXPECT_EQ(ComputeExportSpan(s, *c.store), c.valid) << c.what;
    if (c.valid) {
      EXPECT_EQ(s.m_Start, c.start) << c.what;
      EXPECT_EQ(s.m_End, c.end) << c.what;
    }
    EXPECT_EQ(s.m_ToPacket, c.toPacketAfter) << c.what;
  }
}

TEST(ExportPlan, SpanIsOnTheShownScale) {
  CaptureStore store;
  FillStore(store);
  store.m_TimeOrigin = 1000;
  ExportDialogState s;
  ASSERT_TRUE(ComputeExportSpan(s, store));
  EXPECT_EQ(s.m_Start, -1000);
  EXPECT_EQ(s.m_End, -100);
}

TEST(ExportPlan, Enabling) {
  ExportDialogState s;
  s.m_FileName = "x.csv";
  ExportEnabling e = ComputeExportEnabling(s, true, true, false);
  EXPECT_TRUE(e.captureTop && e.captureEnd && e.zkr && e.csv && e.fromPacketNumber && e.toPacketNumber);
  EXPECT_FALSE(e.fromNumberBox || e.toNumberBox || e.fromMarkerList || e.toMarkerList);
  EXPECT_TRUE(e.pdMessages && e.voltageCurrent && e.both && e.visibleColumnsOnly);
  EXPECT_FALSE(e.options);  // "PD Messages": the seven options are off
  EXPECT_TRUE(e.exportButton);

  const struct {
    const char* what;
    ExportType type;
    ExportItems items;
    bool packets;
    bool pd, vc, both, visible, options;
  } items[] = {
      {"CSV V/C", ExportType::Csv, ExportItems::VoltageCurrent, true, true, true, true, false, true},
      {"CSV both", ExportType::Csv, ExportItems::Both, true, true, true, true, true, true},
      {"CSV both, no packets", ExportType::Csv, ExportItems::Both, false, false, true, false, false, true},
      {"CSV PD, no packets", ExportType::Csv, ExportItems::PdMessages, false, false, true, false, false, false},
      {"ZKR", ExportType::Zkr, ExportItems::Both, true, false, false, false, false, false},
      {"pcapng", ExportType::Pcapng, ExportItems::VoltageCurrent, true, false, false, false, false, false},
  };
  for (const auto& c : items) {
    s.m_Type = c.type;
    s.m_Items = c.items;
    e = ComputeExportEnabling(s, c.packets, true, false);
    EXPECT_EQ(e.pdMessages, c.pd) << c.what;
    EXPECT_EQ(e.voltageCurrent, c.vc) << c.what;
    EXPECT_EQ(e.both, c.both) << c.what;
    EXPECT_EQ(e.visibleColumnsOnly, c.visible) << c.what;
    EXPECT_EQ(e.options, c.options) << c.what;
    EXPECT_TRUE(e.zkr && e.pcapng && e.captureTop && e.exportButton) << c.what;
    EXPECT_EQ(e.fromPacketNumber, c.packets) << c.what;
  }

  s.m_From = ExportFrom::PacketNumber;
  s.m_To = ExportTo::Marker;
  e = ComputeExportEnabling(s, true, true, false);
  EXPECT_TRUE(e.fromNumberBox && e.toMarkerList);
  EXPECT_FALSE(e.toNumberBox || e.fromMarkerList);
  EXPECT_FALSE(ComputeExportEnabling(s, false, true, false).fromNumberBox);
  EXPECT_FALSE(ComputeExportEnabling(s, true, false, false).exportButton);
  s.m_FileName.clear();
  EXPECT_FALSE(ComputeExportEnabling(s, true, true, false).exportButton);

  ExportEnabling running = ComputeExportEnabling(s, true, true, true);
  ExportEnabling onlyAbortAndCancel;
  onlyAbortAndCancel.abort = onlyAbortAndCancel.cancel = true;
  EXPECT_EQ(running, onlyAbortAndCancel);
}

TEST(ExportPlan, PacketNumberBoxes) {
  const struct {
    const char* text;
    std::optional<std::uint32_t> value;
  } cases[] = {{"0", 0u},
               {" 42 ", 42u},
               {"4294967295", 4294967295u},
               {"4294967296", std::nullopt},
               {"-1", std::nullopt},
               {"1e3", std::nullopt},
               {"", std::nullopt},
               {"  ", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(ParsePacketNumber(c.text), c.value) << c.text;
}

TEST(ExportPlan, TickReportsProgressThenTheOutcome) {
  ToolJob job;
  std::string status = "old";
  EXPECT_EQ(ExportTick(job, status), ExportTickOutcome::Idle);

  ASSERT_TRUE(job.Start([](JobProgress& p) {
    p.m_Progress = 40;
    while (!p.AbortRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return false;
  }));
  EXPECT_FALSE(job.Start([](JobProgress&) { return true; }));  // one at a time
  while (job.Progress() != 40) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(ExportTick(job, status), ExportTickOutcome::Running);
  EXPECT_EQ(status, "Exporting... 40%");
  job.RequestAbort();
  job.Wait();
  EXPECT_EQ(ExportTick(job, status), ExportTickOutcome::Aborted);
  EXPECT_EQ(status, "");
  EXPECT_EQ(ExportTick(job, status), ExportTickOutcome::Idle);

  ASSERT_TRUE(job.Start([](JobProgress& p) {
    EXPECT_FALSE(p.AbortRequested());  // a new job starts without the old abort
    p.m_Progress = 100;
    return true;
  }));
  job.Wait();
  EXPECT_EQ(ExportTick(job, status), ExportTickOutcome::Completed);
  EXPECT_EQ(status, "Export Completed.");
}

TEST(ExportPlan, DestroyingTheJobStopsItsWorker) {
  auto seen = std::make_shared<std::atomic<bool>>(false);
  {
    ToolJob job;
    job.Start([seen](JobProgress& p) {
      while (!p.AbortRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      *seen = true;
      return false;
    });
  }
  EXPECT_TRUE(*seen);
}

}  // namespace
}  // namespace zk
