// "Stitch Record Files": joins a run of a numbered record-file series into one file.
// Usage: CStitchFileDlg dlg(settings.m_RecordFileFolder, store.m_RecordPath, this); dlg.exec();
// Closing the dialog while it stitches aborts the worker and waits for it.
#pragma once

#include <QDialog>
#include <QTimer>
#include <string>

#include "tools/stitch.h"
#include "tools/tool_job.h"
#include "ui/dialogs/dialog_support.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace zk {

class CStitchFileDlg : public QDialog {
  Q_OBJECT

 public:
  CStitchFileDlg(const std::string& folder, const std::string& currentFile, QWidget* parent = nullptr);
  ~CStitchFileDlg() override;

  const StitchDialogState& state() const { return m_State; }
  void setMessageSink(MessageSink sink) { m_Messages = std::move(sink); }
  void setFolderChooser(FolderChooser chooser) { m_ChooseFolder = std::move(chooser); }

  QListWidget* baseList() const { return m_BaseList; }
  QListWidget* stitchList() const { return m_StitchList; }
  QPushButton* startButton() const { return m_Start; }
  QLabel* outputLabel() const { return m_Output; }
  QLabel* statusLabel() const { return m_Status; }

  void selectFolder();
  // "Start Stitching": false when there is nothing to stitch or stitching runs.
  bool startStitching();
  bool stitchingRunning() const { return m_Job.Started(); }
  void waitForWorker() { m_Job.Wait(); }
  // What the one-second timer does.
  void pollStitching();

  void reject() override;

 private:
  void ShowLists();
  void ShowStitchSelection();
  void BaseChanged(int row);
  void StitchSelectionChanged();
  void SetControlsEnabled(bool enabled);
  void StopWorker();
  void SetWaitCursor(bool on);

  StitchDialogState m_State;
  ToolJob m_Job;
  QTimer m_Timer;
  MessageSink m_Messages;
  FolderChooser m_ChooseFolder;
  bool m_Updating = false;
  bool m_WaitCursor = false;

  QLabel* m_Folder = nullptr;
  QPushButton* m_FolderButton = nullptr;
  QListWidget* m_BaseList = nullptr;
  QListWidget* m_StitchList = nullptr;
  QLabel* m_Output = nullptr;
  QPushButton* m_Start = nullptr;
  QLabel* m_Status = nullptr;
};

}  // namespace zk
