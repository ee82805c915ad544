// The main window: the control panel, packet list and detail pane in splitters, the dockable
// "Graph" pane, menus, toolbar and status line built from the command table, the recent
// files, drag and drop, and the capture session driven by a one-second timer.
#pragma once

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/settings.h"
#include "capture/capture_session.h"
#include "capture/capture_thread.h"
#include "capture/device_link.h"
#include "capture/usb_link.h"
#include "record/document.h"
#include "sim/scenarios.h"
#include "tools/record_dialogs.h"
#include "ui/list/find_filter.h"

class QAction;
class QLabel;
class QDockWidget;
class QSplitter;
class QMenu;

namespace zk {

class CZKCtrlView;
class CZKLogView;
class CPDPacketTreeView;
class CPDPacketListView;
class CDockableGraph;
class CRemoteServer;
class SimBox;

// The control panel's first height: the stored one, else a quarter of the window up to 100.
int InitialCtrlViewHeight(int storedHeight, int windowHeight);

// The four most recent record files, newest first.
class RecentFiles {
 public:
  static constexpr int kCount = 4;
  void Add(const std::string& path);
  void Remove(const std::string& path);
  const std::vector<std::string>& Paths() const { return m_Paths; }
  void Load(SettingsStorage& storage);
  void Save(SettingsStorage& storage) const;

 private:
  std::vector<std::string> m_Paths;
};

// The capture session's settings as the application settings hold them.
CaptureSessionSettings SessionSettingsFrom(const AppSettings& settings);
CaptureFilenameValues FileNameValuesFrom(const AppSettings& settings);

struct MainFrameOptions {
  std::unique_ptr<UsbLink> usb;
  SimBox* simBox = nullptr;  // the same object as usb when the box is simulated
  sim::ScenarioOptions scenario;
  bool remoteControl = true;
  // Where the graph keeps its drawing settings; the frame's own memory when null.
  SettingsStorage* storage = nullptr;
};

class CMainFrame : public QMainWindow, public DocumentObserver {
  Q_OBJECT

 public:
  CMainFrame(AppSettings& settings, CZKDoc& doc, RecentFiles& recent, MainFrameOptions options,
             QWidget* parent = nullptr);
  ~CMainFrame() override;

  // Opens a record file as Open does (also for the command line and dropped files).
  bool OpenRecordFile(const std::string& path);
  // Import Logic Capture once both files are named: writes the record file on a worker while
  // a progress window waits, opens it and shows what the import did. On failure a message
  // tells why and the open document stays as it was.
  bool ImportLogicCapture(const std::string& capturePath, const std::string& recordPath);
  void NewDocument();
  bool SaveDocument(const std::string& path);
  // Runs a command of the table as its menu item does.
  void RunCommand(int id);
  bool CommandEnabled(int id) const;
  bool CommandChecked(int id) const;
  QAction* Action(int id) const;
  // One tick of the capture session's timer.
  void Tick();
  // Message boxes go through this; tests replace it.
  void SetMessageFunction(std::function<void(const QString&)> f) { m_Message = std::move(f); }
  void ShowMessage(const QString& text);

  CZKLogView* LogView() const { return m_LogView; }
  CZKCtrlView* CtrlView() const { return m_CtrlView; }
  CPDPacketTreeView* TreeView() const { return m_TreeView; }
  CPDPacketListView* FieldView() const { return m_FieldView; }
  CDockableGraph* GraphPane() const { return m_GraphDock; }
  CCaptureSession& Session() { return *m_Session; }
  CCaptureThread& Thread() { return *m_Thread; }
  CDeviceLink& Link() { return *m_Link; }
  CPacketFindDlgModel& FindModel() { return m_FindModel; }
  CPacketFindDlgModel& FilterModel() { return m_FilterModel; }
  DisplayFilterSwitch& FilterSwitch() { return m_FilterSwitch; }
  const CommandState& State() const { return m_State; }
  QString StatusText() const;

  // DocumentObserver
  void OnUpdateAllViews() override;
  void OnPathNameChanged(const std::string& path, bool addToRecent) override;

 signals:
  // The graph follows a running capture with the newest sample's shown time.
  void graphFollow(std::int64_t shownTime);
  // The graph is drawn again after switches, settings or contents changed.
  void graphRedraw();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildPanes();
  void BuildCommands();
  void BuildMenus();
  void UpdateCommandStates();
  void BuildStatusPanes();
  void UpdateLockIndicators();
  void UpdateRecentMenu();
  void UpdateControlPanel();
  void RefreshViews();
  void SetStatus(const std::string& text);
  bool AskSaveChanges();
  void StoreLayout();
  void AboutBox();
  void InjectionCommand(int id);
  // In main_frame_graph.cpp: the display switches into the graph; reattach after a new document
  // or another current direction.
  void RefreshGraph(bool reattach);

  // In main_frame_import.cpp: asks for the capture and the record file, then imports.
  void ImportLogicCaptureCommand();

  // In main_frame_dialogs.cpp: the commands that open a dialog; false when it does not exist.
  bool DialogAvailable(int id) const;
  void OpenDialog(int id);
  std::optional<std::string> RecordFileSettingsDialog();
  void OpenRemoteExport();
  DriverPromptAnswer DriverInstallPrompt();

  AppSettings& m_Settings;
  CZKDoc& m_Doc;
  RecentFiles& m_Recent;
  std::unique_ptr<UsbLink> m_Usb;
  SimBox* m_SimBox;
  sim::ScenarioOptions m_Scenario;
  std::unique_ptr<SettingsStorage> m_OwnStorage;
  SettingsStorage* m_Storage;
  std::unique_ptr<CDeviceLink> m_Link;
  std::unique_ptr<CCaptureThread> m_Thread;
  std::unique_ptr<CCaptureSession> m_Session;
  std::unique_ptr<CRemoteServer> m_Remote;
  CaptureFilenameValues m_FileNames;
  CPacketFindDlgModel m_FindModel{CPacketFindDlgModel::Role::kFind};
  CPacketFindDlgModel m_FilterModel{CPacketFindDlgModel::Role::kFilter};
  DisplayFilterSwitch m_FilterSwitch;
  // Display switches, copied from the settings now and written back at exit.
  bool m_GraphAutoScroll;
  bool m_GraphShowPlots;
  bool m_GraphShowPDPackets;
  bool m_PDMessageAutoScroll;

  CZKCtrlView* m_CtrlView = nullptr;
  CZKLogView* m_LogView = nullptr;
  CPDPacketTreeView* m_TreeView = nullptr;
  CPDPacketListView* m_FieldView = nullptr;
  QSplitter* m_Rows = nullptr;
  QSplitter* m_Detail = nullptr;
  CDockableGraph* m_GraphDock = nullptr;
  QMenu* m_RecentMenu = nullptr;
  QLabel* m_LockPanes[3] = {};  // Caps Lock, Num Lock, Scroll Lock
  std::map<int, QAction*> m_Actions;
  std::vector<QAction*> m_InjectionActions;
  CommandState m_State;
  QTimer m_Timer;
  std::function<void(const QString&)> m_Message;
  QDialog* m_RemoteExport = nullptr;
  bool m_Closed = false;
  bool m_Importing = false;  // every command waits while an import runs
};

// In main_frame_graph.cpp: the "Graph" pane, linked with the frame's packet list.
CDockableGraph* MakeGraphPane(CZKDoc& doc, AppSettings& settings, SettingsStorage& storage, CMainFrame& frame);

}  // namespace zk
