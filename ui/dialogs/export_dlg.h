// "Export": a span of the open document as CSV, as a record-file subset or as the packets of a
// pcapng file, written by a worker thread while the dialog shows its progress.
// Usage (menu): CExportDlg dlg(store, settings.m_ColumnInfo, settings.m_VbusCurrDirReverse, graphMarkers, this);
//               dlg.exec();
// Usage (remote control, kept by the main window and prepared again for each request):
//               m_RemoteExport->prepare(store, columns, reverse, graphMarkers, true); m_RemoteExport->show();
// The store must outlive the dialog or its next prepare(); destroying the dialog or preparing it
// again while an export runs aborts the export and waits for its worker.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <optional>

#include "pd/column_table.h"
#include "tools/export_plan.h"
#include "tools/tool_job.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/list/column_model.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zk {

class CExportDlg : public QDialog {
  Q_OBJECT

 public:
  CExportDlg(const CaptureStore& store, const ColumnRecords& columns, bool reverseCurrent,
             const std::optional<GraphMarkerTimes>& graphMarkers, QWidget* parent = nullptr);
  ~CExportDlg() override;

  // Proposes the name, lists the markers and shows the document's values; with the remote
  // mark it starts the export at once and closes itself when the export ends.
  void prepare(const CaptureStore& store, const ColumnRecords& columns, bool reverseCurrent,
               const std::optional<GraphMarkerTimes>& graphMarkers, bool remote);

  // "Export": false when the values do not make a valid span or an export already runs.
  bool startExport();
  // "Abort".
  void abortExport();
  bool exportRunning() const { return m_Job.Started(); }
  // Blocks until the worker has returned; the next poll then reports its end.
  void waitForWorker() { m_Job.Wait(); }
  // What the one-second timer does: progress text, and the end of the export.
  void pollExport();

  const ExportDialogState& state() const { return m_State; }
  void setFileName(const QString& name);
  void setMessageSink(MessageSink sink) { m_Messages = std::move(sink); }

  QRadioButton* fromButton(ExportFrom from) const { return m_From[static_cast<std::size_t>(from)]; }
  QRadioButton* toButton(ExportTo to) const { return m_To[static_cast<std::size_t>(to)]; }
  QRadioButton* typeButton(ExportType type) const { return m_Type[static_cast<std::size_t>(type)]; }
  QRadioButton* itemsButton(ExportItems items) const { return m_Items[static_cast<std::size_t>(items)]; }
  QCheckBox* option(int i) const { return m_Options[static_cast<std::size_t>(i)]; }
  QCheckBox* visibleColumnsOnly() const { return m_VisibleOnly; }
  QLineEdit* fromPacket() const { return m_FromPacket; }
  QLineEdit* toPacket() const { return m_ToPacket; }
  QComboBox* fromMarker() const { return m_FromMarker; }
  QComboBox* toMarker() const { return m_ToMarker; }
  QPushButton* exportButton() const { return m_Export; }
  QPushButton* abortButton() const { return m_Abort; }
  QLabel* fileNameLabel() const { return m_FileName; }
  QLabel* statusLabel() const { return m_Status; }

  void reject() override;

 private:
  // Takes the controls into the state; false when a number box holds no number.
  bool TakeValues();
  void ShowValues();
  void UpdateEnabling();
  void ChooseFile();
  void RadioClicked();
  void StopWorker();

  const CaptureStore* m_Store = nullptr;
  ColumnChoices m_Columns{};
  bool m_ReverseCurrent = false;
  ExportDialogState m_State;
  ToolJob m_Job;
  QTimer m_Timer;
  MessageSink m_Messages;

  QLabel* m_FileName = nullptr;
  QPushButton* m_FileButton = nullptr;
  std::array<QRadioButton*, 3> m_From{};
  std::array<QRadioButton*, 3> m_To{};
  std::array<QRadioButton*, kExportTypeCount> m_Type{};
  std::array<QRadioButton*, 3> m_Items{};
  std::array<QCheckBox*, kExportOptionCount> m_Options{};
  QCheckBox* m_VisibleOnly = nullptr;
  QLineEdit* m_FromPacket = nullptr;
  QLineEdit* m_ToPacket = nullptr;
  QComboBox* m_FromMarker = nullptr;
  QComboBox* m_ToMarker = nullptr;
  QPushButton* m_Export = nullptr;
  QPushButton* m_Abort = nullptr;
  QPushButton* m_Cancel = nullptr;
  QLabel* m_Status = nullptr;
};

// What the CSV export reads of the list's column records.
ColumnChoices ColumnChoicesOf(const ColumnRecords& records);

}  // namespace zk
