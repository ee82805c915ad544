#include "ui/dialogs/stitch_file_dlg.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace zk {

CStitchFileDlg::CStitchFileDlg(const std::string& folder, const std::string& currentFile, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Stitch Record Files"));
  m_State.m_Folder = folder;
  m_State.m_CurrentFile = currentFile;

  auto* folderGroup = new QGroupBox(QStringLiteral("Record File Folder"), this);
  auto* folderLayout = new QHBoxLayout(folderGroup);
  m_Folder = new QLabel(this);
  m_Folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_FolderButton = new QPushButton(QStringLiteral("Select Record File Folder"), this);
  m_FolderButton->setAutoDefault(false);
  folderLayout->addWidget(m_Folder, 1);
  folderLayout->addWidget(m_FolderButton);

  auto* baseGroup = new QGroupBox(QStringLiteral("Select a base record file"), this);
  auto* baseLayout = new QVBoxLayout(baseGroup);
  m_BaseList = new QListWidget(this);
  m_BaseList->setSelectionMode(QAbstractItemView::SingleSelection);
  baseLayout->addWidget(m_BaseList);
  auto* stitchGroup = new QGroupBox(QStringLiteral("Select record files to stitch"), this);
  auto* stitchLayout = new QVBoxLayout(stitchGroup);
  m_StitchList = new QListWidget(this);
  m_StitchList->setSelectionMode(QAbstractItemView::MultiSelection);
  stitchLayout->addWidget(m_StitchList);
  auto* lists = new QHBoxLayout;
  lists->addWidget(baseGroup);
  lists->addWidget(stitchGroup);

  auto* outputGroup = new QGroupBox(QStringLiteral("Output File Name"), this);
  auto* outputLayout = new QVBoxLayout(outputGroup);
  m_Output = new QLabel(this);
  m_Output->setTextInteractionFlags(Qt::TextSelectableByMouse);
  outputLayout->addWidget(m_Output);

  m_Start = new QPushButton(QStringLiteral("Start Stitching"), this);
  m_Start->setAutoDefault(false);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_Start);
  buttons->addWidget(cancel);
  m_Status = new QLabel(this);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(folderGroup);
  layout->addLayout(lists, 1);
  layout->addWidget(outputGroup);
  layout->addLayout(buttons);
  layout->addWidget(m_Status);
  resize(640, 420);

  connect(m_FolderButton, &QPushButton::clicked, this, &CStitchFileDlg::selectFolder);
  connect(m_BaseList, &QListWidget::currentRowChanged, this, &CStitchFileDlg::BaseChanged);
  connect(m_StitchList, &QListWidget::itemSelectionChanged, this, &CStitchFileDlg::StitchSelectionChanged);
  connect(m_Start, &QPushButton::clicked, this, [this] { startStitching(); });
  connect(cancel, &QPushButton::clicked, this, &CStitchFileDlg::reject);
  m_Timer.setInterval(1000);
  connect(&m_Timer, &QTimer::timeout, this, &CStitchFileDlg::pollStitching);

  ListBaseFiles(m_State);
  ShowLists();
}

CStitchFileDlg::~CStitchFileDlg() {
  StopWorker();
  SetWaitCursor(false);
}

void CStitchFileDlg::ShowLists() {
  m_Updating = true;
  m_Folder->setText(ToQ(m_State.m_Folder));
  m_BaseList->clear();
  for (const StitchEntry& e : m_State.m_BaseList) m_BaseList->addItem(ToQ(e.m_Name));
  m_BaseList->setCurrentRow(m_State.m_BaseSelection);
  m_Updating = false;
  ShowStitchSelection();
}

void CStitchFileDlg::ShowStitchSelection() {
  m_Updating = true;
  if (m_StitchList->count() != static_cast<int>(m_State.m_StitchList.size())) {
    m_StitchList->clear();
    for (const StitchEntry& e : m_State.m_StitchList) m_StitchList->addItem(ToQ(e.m_Name));
  } else {
    for (int i = 0; i < m_StitchList->count(); ++i) {
      if (m_StitchList->item(i)->text() != ToQ(m_State.m_StitchList[static_cast<std::size_t>(i)].m_Name)) {
        m_StitchList->item(i)->setText(ToQ(m_State.m_StitchList[static_cast<std::size_t>(i)].m_Name));
      }
    }
  }
  for (int i = 0; i < m_StitchList->count(); ++i) {
    m_StitchList->item(i)->setSelected(m_State.m_StitchList[static_cast<std::size_t>(i)].m_Selected);
  }
  m_Output->setText(ToQ(m_State.m_OutputPath));
  m_Start->setEnabled(!m_State.m_OutputPath.empty() && !m_Job.Started());
  m_Updating = false;
}

void CStitchFileDlg::BaseChanged(int row) {
  if (m_Updating) return;
  SelectBase(m_State, row);
  m_Updating = true;
  m_StitchList->clear();
  m_Updating = false;
  ShowStitchSelection();
}

void CStitchFileDlg::StitchSelectionChanged() {
  if (m_Updating) return;
  // The list toggled the caret item; the model then keeps the selection a run from the top.
  for (int i = 0; i < m_StitchList->count(); ++i) {
    m_State.m_StitchList[static_cast<std::size_t>(i)].m_Selected = m_StitchList->item(i)->isSelected();
  }
  ClickStitchEntry(m_State, m_StitchList->currentRow());
  ShowStitchSelection();
}

void CStitchFileDlg::selectFolder() {
  const QString chosen = ChooseFolder(m_ChooseFolder, this, ToQ(m_State.m_Folder));
  if (chosen.isEmpty()) return;
  m_State.m_Folder = FromQ(chosen);
  ListBaseFiles(m_State);
  ShowLists();
}

void CStitchFileDlg::SetControlsEnabled(bool enabled) {
  m_FolderButton->setEnabled(enabled);
  m_BaseList->setEnabled(enabled);
  m_StitchList->setEnabled(enabled);
  m_Start->setEnabled(enabled && !m_State.m_OutputPath.empty());
}

bool CStitchFileDlg::startStitching() {
  if (m_Job.Started() || m_State.m_OutputPath.empty()) return false;
  const std::vector<std::string> inputs = StitchInputs(m_State);
  const std::string output = m_State.m_OutputPath;
  if (!m_Job.Start([inputs, output](JobProgress& p) { return StitchFiles(inputs, output, p); })) return false;
  SetControlsEnabled(false);
  m_Timer.start();
  return true;
}

void CStitchFileDlg::SetWaitCursor(bool on) {
  if (on == m_WaitCursor) return;
  m_WaitCursor = on;
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void CStitchFileDlg::pollStitching() {
  std::string status = FromQ(m_Status->text());
  const StitchTickOutcome outcome = StitchTick(m_Job, status);
  m_Status->setText(ToQ(status));
  switch (outcome) {
    case StitchTickOutcome::Idle: m_Timer.stop(); return;
    case StitchTickOutcome::Running: SetWaitCursor(true); return;
    case StitchTickOutcome::Completed:
    case StitchTickOutcome::Aborted: break;
  }
  m_Timer.stop();
  SetControlsEnabled(true);
  SetWaitCursor(false);
  if (outcome == StitchTickOutcome::Completed) {
    ShowDialogMessage(m_Messages, this, ToQ(std::string(kStitchCompleted)));
    QDialog::accept();
  } else {
    ShowDialogMessage(m_Messages, this, ToQ(std::string(kStitchAborted)));
  }
}

void CStitchFileDlg::StopWorker() {
  m_Timer.stop();
  if (!m_Job.Started()) return;
  m_Job.RequestAbort();
  m_Job.Wait();
  m_Job.TakeResult();
}

void CStitchFileDlg::reject() {
  StopWorker();
  SetWaitCursor(false);
  SetControlsEnabled(true);
  QDialog::reject();
}

}  // namespace zk
