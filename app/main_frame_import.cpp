// File > Import Logic Capture: a logic-analyzer session file of the CC lines becomes a record
// file, which is then opened as File > Open opens one.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <memory>

#include "app/main_frame.h"
#include "interchange/logic_import.h"
#include "record/document.h"
#include "tools/tool_job.h"

namespace zk {

namespace {

// Runs the event loop until the job has ended, with a progress window whose Cancel asks the
// worker to stop. The window only appears for an import that takes a while.
void WaitForJob(ToolJob& job, const QString& label, QWidget* parent) {
  QProgressDialog progress(label, QStringLiteral("Cancel"), 0, 100, parent);
  progress.setWindowTitle(QStringLiteral("PD Zelkor"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  progress.setAutoReset(false);
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(50);
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (!job.Running()) {
      loop.quit();
      return;
    }
    progress.setValue(job.Progress());
  });
  QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&job] { job.RequestAbort(); });
  poll.start();
  loop.exec();
  // The loop also ends when the application quits: the worker is stopped rather than left running.
  if (job.Running()) job.RequestAbort();
  job.Wait();
}

}  // namespace

void CMainFrame::ImportLogicCaptureCommand() {
  const QString capture = QFileDialog::getOpenFileName(this, QStringLiteral("Import Logic Capture"), QString(),
                                                       QStringLiteral("Logic Capture Files (*.sr);;All Files (*)"));
  if (capture.isEmpty()) return;
  const QFileInfo info(capture);
  const QString proposed = info.dir().filePath(info.completeBaseName() + QStringLiteral(".zkr"));
  const QString record = QFileDialog::getSaveFileName(this, QStringLiteral("Save Record File As"), proposed,
                                                      QStringLiteral("PD Zelkor Files (*.zkr)"));
  if (record.isEmpty()) return;
  ImportLogicCapture(capture.toStdString(), record.toStdString());
}

bool CMainFrame::ImportLogicCapture(const std::string& capturePath, const std::string& recordPath) {
  if (m_Session->IsCapturing() || m_Importing) return false;
  const auto fail = [this, &capturePath](const std::string& why) {
    ShowMessage(
        QStringLiteral("Cannot import %1:\n%2").arg(QString::fromStdString(capturePath), QString::fromStdString(why)));
    return false;
  };
  // The open document reads its packets' records back from its file: writing over it would
  // change them underneath, and a failed import would remove it.
  if (!m_Doc.RecordPath().empty() && SameFile(recordPath, m_Doc.RecordPath()))
    return fail("'" + recordPath + "' is the record file of the open document; choose another name");

  struct Outcome {
    interchange::ImportSummary summary;
    std::string error;
  };
  auto outcome = std::make_shared<Outcome>();
  ToolJob job;
  job.Start([capturePath, recordPath, outcome](JobProgress& progress) {
    return interchange::ImportLogicSession(capturePath, recordPath, {}, outcome->summary, outcome->error,
                                           [&progress](std::uint64_t done, std::uint64_t total) {
                                             // The total is what the archive claims: no more than 100 %.
                                             progress.SetProgress(std::min(done, total), total);
                                             return !progress.AbortRequested();
                                           });
  });
  m_Importing = true;
  UpdateCommandStates();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  WaitForJob(job, QStringLiteral("Importing %1...").arg(QFileInfo(QString::fromStdString(capturePath)).fileName()),
             this);
  QApplication::restoreOverrideCursor();
  m_Importing = false;
  UpdateCommandStates();

  if (!job.TakeResult().value_or(false)) return fail(outcome->error.empty() ? "the import failed" : outcome->error);
  OpenRecordFile(recordPath);
  ShowMessage(QString::fromStdString(interchange::ImportReportText(outcome->summary, recordPath)));
  return true;
}

}  // namespace zk
