#include "ui/dialogs/export_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "dialog_test_support.h"
#include "record/loader.h"
#include "sim/scenarios.h"
#include "tests/core/cli/run_zkr.h"
#include "tools/csv_export.h"
#include "tools/record_subset.h"

namespace zk {
namespace {

// A simulated capture loaded from its record file "cap.zkr" in a fresh folder.
class ExportDlgTest : public ::testing::Test {
 protected:
  ExportDlgTest() : m_Folder("export") { Load(2.0); }

  void Load(double seconds) {
    sim::ScenarioOptions so;
    so.name = "spr";
    so.seconds = seconds;
    so.seed = 3;
    const std::string path = m_Folder.File("cap.zkr");
    std::string error;
    EXPECT_TRUE(sim::WriteScenarioFile(so, path, error)) << error;
    LoadRecordFile(m_Store, path);
  }

  std::unique_ptr<CExportDlg> Open(std::optional<GraphMarkerTimes> graph = std::nullopt) {
    auto dlg = std::make_unique<CExportDlg>(m_Store, m_Columns, false, graph);
    dlg->setMessageSink(m_Messages.Sink());
    return dlg;
  }

  // Runs an export the dialog started to its end as the timer would see it.
  static void Finish(CExportDlg& dlg) {
    dlg.waitForWorker();
    dlg.pollExport();
  }

  test::TempFolder m_Folder;
  CaptureStore m_Store;
  ColumnRecords m_Columns = AppSettings::DefaultColumns();
  test::Messages m_Messages;
};

TEST_F(ExportDlgTest, OpensWithTheProposedNameAndTheDocumentsSpan) {
  ASSERT_GT(m_Store.PacketCount(), 3);
  test::WriteFile(m_Folder.File("cap_export.csv"), "taken");
  auto dlg = Open(GraphMarkerTimes{500000, 100});
  EXPECT_EQ(dlg->windowTitle(), "Export");
  EXPECT_EQ(dlg->fileNameLabel()->text(), QString::fromStdString(m_Folder.File("cap_export (1).csv")));
  EXPECT_TRUE(dlg->fromButton(ExportFrom::CaptureTop)->isChecked());
  EXPECT_TRUE(dlg->toButton(ExportTo::CaptureEnd)->isChecked());
  EXPECT_TRUE(dlg->typeButton(ExportType::Csv)->isChecked());
  EXPECT_TRUE(dlg->itemsButton(ExportItems::PdMessages)->isChecked());
  EXPECT_EQ(dlg->toPacket()->text(), QString::number(m_Store.PacketCount() - 1));
  ASSERT_EQ(dlg->fromMarker()->count(), 2);
  EXPECT_TRUE(dlg->fromMarker()->itemText(0).startsWith("Marker X ("));
  EXPECT_EQ(dlg->fromMarker()->currentIndex(), 0);
  EXPECT_EQ(dlg->toMarker()->currentIndex(), 1);
  EXPECT_TRUE(dlg->exportButton()->isEnabled());
  EXPECT_FALSE(dlg->abortButton()->isEnabled());
}

TEST_F(ExportDlgTest, TypeFitsTheExtensionAndTheEnablingFollowsTheChoices) {
  auto dlg = Open(GraphMarkerTimes{500000, 100});
  const QString csv = QString::fromStdString(m_Folder.File("cap_export.csv"));
  dlg->typeButton(ExportType::Zkr)->click();
  EXPECT_EQ(dlg->fileNameLabel()->text(), QString::fromStdString(m_Folder.File("cap_export.zkr")));
  EXPECT_FALSE(dlg->itemsButton(ExportItems::Both)->isEnabled());
  EXPECT_FALSE(dlg->option(0)->isEnabled());
  EXPECT_FALSE(dlg->visibleColumnsOnly()->isEnabled());
  dlg->typeButton(ExportType::Csv)->click();
  EXPECT_EQ(dlg->fileNameLabel()->text(), csv);

  struct Case {
    ExportItems items;
    bool options, visibleOnly;
  };
  for (const Case c : {Case{ExportItems::PdMessages, false, true}, Case{ExportItems::VoltageCurrent, true, false},
                       Case{ExportItems::Both, true, true}}) {
    dlg->itemsButton(c.items)->click();
    EXPECT_EQ(dlg->option(6)->isEnabled(), c.options) << static_cast<int>(c.items);
    EXPECT_EQ(dlg->visibleColumnsOnly()->isEnabled(), c.visibleOnly) << static_cast<int>(c.items);
  }

  EXPECT_FALSE(dlg->fromPacket()->isEnabled());
  dlg->fromButton(ExportFrom::PacketNumber)->click();
  EXPECT_TRUE(dlg->fromPacket()->isEnabled());
  dlg->fromPacket()->setText(QString::number(m_Store.PacketCount()));
  emit dlg->fromPacket()->textEdited(dlg->fromPacket()->text());
  EXPECT_FALSE(dlg->exportButton()->isEnabled());  // beyond the last packet
  EXPECT_FALSE(dlg->startExport());

  // A "To" marker before the "From" marker makes the span invalid.
  dlg->fromButton(ExportFrom::Marker)->click();
  dlg->toButton(ExportTo::Marker)->click();
  EXPECT_TRUE(dlg->exportButton()->isEnabled());
  dlg->fromMarker()->setCurrentIndex(1);
  emit dlg->fromMarker()->activated(1);
  dlg->toMarker()->setCurrentIndex(0);
  emit dlg->toMarker()->activated(0);
  EXPECT_FALSE(dlg->exportButton()->isEnabled());
}

TEST_F(ExportDlgTest, CsvWorkerWritesWhatTheCsvWriterWrites) {
  auto dlg = Open();
  dlg->itemsButton(ExportItems::Both)->click();
  dlg->option(2)->setChecked(false);
  dlg->fromButton(ExportFrom::PacketNumber)->click();
  dlg->fromPacket()->setText("1");
  ASSERT_TRUE(dlg->startExport());
  EXPECT_TRUE(dlg->exportRunning());
  EXPECT_FALSE(dlg->exportButton()->isEnabled());
  EXPECT_FALSE(dlg->typeButton(ExportType::Zkr)->isEnabled());
  EXPECT_TRUE(dlg->abortButton()->isEnabled());
  Finish(*dlg);

  EXPECT_EQ(m_Messages.shown, QStringList({"Export Completed."}));
  EXPECT_EQ(dlg->result(), QDialog::Accepted);
  EXPECT_EQ(dlg->statusLabel()->text(), "Export Completed.");

  CsvExportRequest request;
  request.m_FileName = m_Folder.File("reference.csv");
  request.m_Items = ExportItems::Both;
  request.m_Options[2] = false;
  request.m_Start = m_Store.PacketAt(1)->m_Time - m_Store.m_TimeOrigin;
  request.m_End = dlg->state().m_End;
  JobProgress progress;
  ASSERT_TRUE(WriteCsvExport(m_Store, request, progress));
  const std::string written = test::ReadFile(m_Folder.File("cap_export.csv"));
  EXPECT_GT(written.size(), 1000u);
  EXPECT_EQ(written, test::ReadFile(request.m_FileName));
}

TEST_F(ExportDlgTest, ZkrWorkerCopiesTheSpansRecords) {
  auto dlg = Open();
  dlg->typeButton(ExportType::Zkr)->click();
  dlg->toButton(ExportTo::PacketNumber)->click();
  dlg->toPacket()->setText("2");
  ASSERT_TRUE(dlg->startExport());
  Finish(*dlg);
  EXPECT_EQ(m_Messages.shown, QStringList({"Export Completed."}));

  const ByteSpan span =
      SubsetByteSpan(m_Store, dlg->state().m_Start, m_Store.PacketAt(2)->m_Time - m_Store.m_TimeOrigin);
  const std::string whole = test::ReadFile(m_Store.m_RecordPath);
  EXPECT_EQ(test::ReadFile(m_Folder.File("cap_export.zkr")), whole.substr(span.begin, span.end - span.begin + 1));
}

// The pcapng type closes the CSV-only choices, names the file .pcapng, and writes what
// zkr export --pcapng writes, for the whole capture and for a span of packet numbers.
TEST_F(ExportDlgTest, PcapngWorkerWritesWhatZkrExportWrites) {
  auto dlg = Open();
  dlg->typeButton(ExportType::Pcapng)->click();
  EXPECT_EQ(dlg->fileNameLabel()->text(), QString::fromStdString(m_Folder.File("cap_export.pcapng")));
  for (ExportItems items : {ExportItems::PdMessages, ExportItems::VoltageCurrent, ExportItems::Both})
    EXPECT_FALSE(dlg->itemsButton(items)->isEnabled()) << static_cast<int>(items);
  for (int i = 0; i < kExportOptionCount; ++i) EXPECT_FALSE(dlg->option(i)->isEnabled()) << i;
  EXPECT_FALSE(dlg->visibleColumnsOnly()->isEnabled());
  EXPECT_TRUE(dlg->fromButton(ExportFrom::PacketNumber)->isEnabled());
  ASSERT_TRUE(dlg->startExport());
  EXPECT_FALSE(dlg->typeButton(ExportType::Pcapng)->isEnabled());
  Finish(*dlg);
  EXPECT_EQ(m_Messages.shown, QStringList({"Export Completed."}));

  const std::string cli = m_Folder.File("cli.pcapng");
  const test::RunResult whole = test::RunZkr("export '" + m_Store.m_RecordPath + "' --pcapng '" + cli + "'");
  ASSERT_EQ(whole.status, 0) << whole.out;
  const std::string written = test::ReadFile(m_Folder.File("cap_export.pcapng"));
  EXPECT_GT(written.size(), 1000u);
  EXPECT_EQ(written, test::ReadFile(cli));

  auto part = Open();
  part->typeButton(ExportType::Pcapng)->click();
  part->fromButton(ExportFrom::PacketNumber)->click();
  part->fromPacket()->setText("2");
  part->toButton(ExportTo::PacketNumber)->click();
  part->toPacket()->setText("7");
  ASSERT_TRUE(part->startExport());
  Finish(*part);
  const test::RunResult span =
      test::RunZkr("export '" + m_Store.m_RecordPath + "' --pcapng '" + cli + "' --from-us " +
                   std::to_string(part->state().m_Start) + " --to-us " + std::to_string(part->state().m_End));
  ASSERT_EQ(span.status, 0) << span.out;
  const std::string partial = test::ReadFile(part->state().m_FileName);
  EXPECT_LT(partial.size(), written.size());
  EXPECT_EQ(partial, test::ReadFile(cli));
}

TEST_F(ExportDlgTest, FailureAndAbortKeepTheDialogOpen) {
  auto dlg = Open();
  dlg->setFileName(QString::fromStdString(m_Folder.File("no/such/folder/out.csv")));
  ASSERT_TRUE(dlg->startExport());
  Finish(*dlg);
  EXPECT_EQ(m_Messages.shown, QStringList({"Export Aborted."}));
  EXPECT_NE(dlg->result(), QDialog::Accepted);
  EXPECT_EQ(dlg->statusLabel()->text(), "");
  EXPECT_TRUE(dlg->exportButton()->isEnabled());  // ready for another try
}

TEST_F(ExportDlgTest, AbortStopsALongExport) {
  m_Store.ClearArrays();
  Load(60.0);
  auto dlg = Open();
  dlg->itemsButton(ExportItems::Both)->click();
  ASSERT_TRUE(dlg->startExport());
  dlg->abortExport();
  Finish(*dlg);
  EXPECT_EQ(m_Messages.shown, QStringList({"Export Aborted."}));
  EXPECT_FALSE(dlg->exportRunning());

  // The rows written before the abort stay; far fewer than the whole export.
  CsvExportRequest request;
  request.m_FileName = m_Folder.File("reference.csv");
  request.m_Items = ExportItems::Both;
  request.m_Start = dlg->state().m_Start;
  request.m_End = dlg->state().m_End;
  JobProgress progress;
  ASSERT_TRUE(WriteCsvExport(m_Store, request, progress));
  EXPECT_LT(test::ReadFile(m_Folder.File("cap_export.csv")).size(), test::ReadFile(request.m_FileName).size());
}

TEST_F(ExportDlgTest, DestroyingOrClosingTheDialogDuringAnExportIsSafe) {
  m_Store.ClearArrays();
  Load(30.0);
  {
    auto dlg = Open();
    dlg->itemsButton(ExportItems::Both)->click();
    ASSERT_TRUE(dlg->startExport());
  }  // destroyed with its worker running
  auto dlg = Open();
  dlg->itemsButton(ExportItems::Both)->click();
  ASSERT_TRUE(dlg->startExport());
  dlg->reject();
  EXPECT_FALSE(dlg->exportRunning());
  EXPECT_NE(dlg->result(), QDialog::Accepted);
  EXPECT_TRUE(m_Messages.shown.isEmpty());
}

TEST_F(ExportDlgTest, RemoteRequestExportsBothAtOnceAndClosesWithoutAMessage) {
  auto dlg = Open();
  dlg->prepare(m_Store, m_Columns, false, std::nullopt, true);
  EXPECT_TRUE(dlg->itemsButton(ExportItems::Both)->isChecked());
  ASSERT_TRUE(dlg->exportRunning());
  Finish(*dlg);
  EXPECT_TRUE(m_Messages.shown.isEmpty());
  EXPECT_EQ(dlg->result(), QDialog::Accepted);
  const std::string csv = test::ReadFile(m_Folder.File("cap_export.csv"));
  EXPECT_EQ(csv.rfind("\"Timestamp[us]\",\"VBUS Voltage[V]\"", 0), 0u);

  // Prepared again for the next request: the file now exists, so the name moves on.
  dlg->prepare(m_Store, m_Columns, false, std::nullopt, true);
  Finish(*dlg);
  EXPECT_EQ(test::ReadFile(m_Folder.File("cap_export (1).csv")), csv);
}

TEST_F(ExportDlgTest, DocumentWithoutPacketsExportsSamplesOnly) {
  CaptureStore samplesOnly;
  for (int i = 0; i < m_Store.SampleCount(); ++i) samplesOnly.AppendSample(*m_Store.SampleAt(i));
  samplesOnly.m_RecordPath = m_Folder.File("plain.zkr");
  CExportDlg dlg(samplesOnly, m_Columns, false, std::nullopt);
  EXPECT_TRUE(dlg.itemsButton(ExportItems::VoltageCurrent)->isChecked());
  EXPECT_FALSE(dlg.itemsButton(ExportItems::PdMessages)->isEnabled());
  EXPECT_FALSE(dlg.fromButton(ExportFrom::PacketNumber)->isEnabled());
  EXPECT_TRUE(dlg.exportButton()->isEnabled());
}

}  // namespace
}  // namespace zk
