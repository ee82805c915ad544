#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <ctime>
#include <mutex>

#include "app/lock_keys.h"
#include "app/memory_storage.h"
#include "capture/driver_installer.h"
#include "capture/qt/remote_server.h"
#include "capture/remote_protocol.h"
#include "capture/sim_box.h"
#include "capture/sim_traffic.h"
#include "pd/column_table.h"
#include "ui/ctrl/zk_ctrl_view.h"
#include "ui/detail/packet_detail_views.h"
#include "ui/graph/qt/dockable_graph.h"
#include "ui/icons/icons.h"
#include "ui/log/log_font.h"
#include "ui/log/zk_log_view.h"

namespace zk {

int InitialCtrlViewHeight(int storedHeight, int windowHeight) {
  if (storedHeight > 0) return storedHeight;
  return std::min(windowHeight / 4, 100);
}

void RecentFiles::Add(const std::string& path) {
  if (path.empty()) return;
  Remove(path);
  m_Paths.insert(m_Paths.begin(), path);
  if (m_Paths.size() > static_cast<std::size_t>(kCount)) m_Paths.resize(kCount);
}

void RecentFiles::Remove(const std::string& path) {
  m_Paths.erase(std::remove(m_Paths.begin(), m_Paths.end(), path), m_Paths.end());
}

void RecentFiles::Load(SettingsStorage& storage) {
  m_Paths.clear();
  for (int i = 1; i <= kCount; ++i) {
    const std::string path = storage.ReadText("Recent File List", "File" + std::to_string(i), "");
    if (!path.empty() && std::find(m_Paths.begin(), m_Paths.end(), path) == m_Paths.end()) m_Paths.push_back(path);
  }
}

void RecentFiles::Save(SettingsStorage& storage) const {
  for (int i = 1; i <= kCount; ++i) {
    const std::size_t k = static_cast<std::size_t>(i - 1);
    storage.WriteText("Recent File List", "File" + std::to_string(i), k < m_Paths.size() ? m_Paths[k] : "");
  }
}

CaptureSessionSettings SessionSettingsFrom(const AppSettings& s) {
  CaptureSessionSettings c;
  c.recordFileFolder = s.m_RecordFileFolder;
  c.defaultRecordFolder = [&s] { return s.DefaultRecordFolder(); };
  c.multiCaptureFile = s.m_RecordMultiCaptureFile;
  c.maxFileSizeMB = s.m_RecordMaxFileSizeMB;
  c.vbusSamplingIntervalMS = s.m_RecordVbusSamplingIntervalMS;
  c.maxPacketCount = s.m_RecordMaxPDPacketCount;
  c.maxSampleCount = s.m_RecordMaxVbusInfoCount;
  c.pdPacketAutoRemove = s.m_RecordPDPacketAutoRemove;
  c.vbusInfoAutoRemove = s.m_RecordVbusInfoAutoRemove;
  c.captureFullStop = s.m_RecordCaptureFullStop;
  c.doNotAskAgain = s.m_RecordDoNotAskAgain;
  c.graphAutoScroll = s.m_GraphAutoScroll;
  c.launchDriverInstaller = s.m_LaunchDriverInstaller;
  c.ratios = s.CalRatios();
  return c;
}

CaptureFilenameValues FileNameValuesFrom(const AppSettings& s) {
  CaptureFilenameValues v;
  v.m_Caption = s.m_RecordFileCaption;
  v.m_AppendTimestamp = s.m_RecordAppendTimestamp;
  v.m_MultipleFiles = s.m_RecordMultiCaptureFile;
  v.m_MaxFileSizeMB = s.m_RecordMaxFileSizeMB;
  v.m_DoNotAskAgain = s.m_RecordDoNotAskAgain;
  v.m_Folder = s.m_RecordFileFolder;
  v.Stamp(static_cast<std::int64_t>(std::time(nullptr)));
  return v;
}

namespace {

Glyph GlyphOf(int id) {
  switch (id) {
    case kCmdNew: return Glyph::kNew;
    case kCmdOpen: return Glyph::kOpen;
    case kCmdSaveAs: return Glyph::kSaveAs;
    case kCmdExport: return Glyph::kExport;
    case kCmdRun: return Glyph::kRun;
    case kCmdStop: return Glyph::kStop;
    case kCmdClear: return Glyph::kClear;
    case kCmdFind: return Glyph::kFind;
    case kCmdFindPrev: return Glyph::kFindPrev;
    case kCmdFindNext: return Glyph::kFindNext;
    case kCmdDisplayFilterSettings: return Glyph::kFilterSettings;
    case kCmdDisableDisplayFilters: return Glyph::kFilterDisable;
    case kCmdMessageAutoScroll: return Glyph::kMessageAutoScroll;
    case kCmdShowGraph: return Glyph::kShowGraph;
    case kCmdShowMeasuringPoints: return Glyph::kMeasuringPoints;
    case kCmdShowPDPackets: return Glyph::kGraphPackets;
    case kCmdGraphAutoScroll: return Glyph::kGraphAutoScroll;
    case kCmdRecordSettings: return Glyph::kRecordSettings;
    case kCmdRecordFileSettings: return Glyph::kRecordFileSettings;
    default: return Glyph::kAbout;
  }
}

constexpr const char* kMenuTitles[] = {"&File", "&Record", "PD &Message", "&Graph", "&Help"};

}  // namespace

CMainFrame::CMainFrame(AppSettings& settings, CZKDoc& doc, RecentFiles& recent, MainFrameOptions options,
                       QWidget* parent)
    : QMainWindow(parent),
      m_Settings(settings),
      m_Doc(doc),
      m_Recent(recent),
      m_Usb(std::move(options.usb)),
      m_SimBox(options.simBox),
      m_Scenario(options.scenario),
      m_OwnStorage(options.storage == nullptr ? std::make_unique<MemoryStorage>() : nullptr),
      m_Storage(options.storage == nullptr ? m_OwnStorage.get() : options.storage),
      m_GraphAutoScroll(settings.m_GraphAutoScroll),
      m_GraphShowPlots(settings.m_GraphShowPlots),
      m_GraphShowPDPackets(settings.m_GraphShowPDPackets),
      m_PDMessageAutoScroll(settings.m_PDMessageAutoScroll) {
  setObjectName(QStringLiteral("RVX5K8App"));
  setWindowTitle(QStringLiteral("PD Zelkor App"));
  setAcceptDrops(true);
  m_Message = [this](const QString& text) { QMessageBox::information(this, QStringLiteral("PD Zelkor"), text); };
  const WindowLayout& layout = m_Settings.m_AppSettings;
  resize(std::max(layout.m_WindowWidth, 320), std::max(layout.m_WindowHeight, 240));

  m_Link = std::make_unique<CDeviceLink>(*m_Usb);
  m_Thread = std::make_unique<CCaptureThread>(*m_Usb, m_Link->ConnectedFlag());
  m_FileNames = FileNameValuesFrom(m_Settings);

  CaptureSessionUi ui;
  ui.messageBox = [this](const std::string& text) { ShowMessage(QString::fromStdString(text)); };
  ui.recordFileSettingsDialog = [this] { return RecordFileSettingsDialog(); };
  ui.currentBaseName = [this] {
    return m_FileNames.CurrentBaseName(true, static_cast<std::int64_t>(std::time(nullptr)));
  };
  ui.statusText = [this](const std::string& text) { SetStatus(text); };
  ui.refreshViews = [this] { RefreshViews(); };
  ui.redrawGraphs = [this] { emit graphRedraw(); };
  ui.followGraph = [this](std::int64_t t) { emit graphFollow(t); };
  ui.updateControlPanel = [this] { UpdateControlPanel(); };
  ui.driverInstallPrompt = [this] { return DriverInstallPrompt(); };
  ui.runDriverInstaller = [this] { RunCommand(kCmdInstallDriver); };
  ui.launchDriverInstallerOff = [this] { m_Settings.m_LaunchDriverInstaller = false; };
  ui.openExportDialog = [this] { OpenRemoteExport(); };
  m_Session = std::make_unique<CCaptureSession>(m_Doc, *m_Link, *m_Thread, ui);
  m_Session->SetSettings(SessionSettingsFrom(m_Settings));
  m_Doc.ApplyRecordLimits(m_Settings.m_RecordMaxPDPacketCount, m_Settings.m_RecordMaxVbusInfoCount,
                          m_Settings.m_RecordVbusInfoAutoRemove, m_Settings.m_RecordPDPacketAutoRemove);
  m_Doc.Store().m_StatusText = [this](const std::string& text) { SetStatus(text); };
  m_Doc.m_AskSaveChanges = [this] {
    const auto answer =
        QMessageBox::question(this, QStringLiteral("PD Zelkor"),
                              QStringLiteral("Save changes to %1?").arg(QString::fromStdString(m_Doc.PathName())),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return answer == QMessageBox::Yes  ? SaveAnswer::Yes
           : answer == QMessageBox::No ? SaveAnswer::No
                                       : SaveAnswer::Cancel;
  };
  m_Doc.m_ShowError = [this](const std::string& text) { ShowMessage(QString::fromStdString(text)); };

  BuildPanes();
  RefreshGraph(true);
  BuildCommands();
  BuildMenus();
  BuildStatusPanes();
  statusBar()->showMessage(QStringLiteral("Ready"));
  m_Doc.AddObserver(this);

  if (options.remoteControl) {
    m_Remote = std::make_unique<CRemoteServer>([this](const RemoteMessage& m) { ApplyRemoteMessage(*m_Session, m); });
    m_Remote->Listen();
    CRemoteServer* server = m_Remote.get();
    m_Thread->SetConnStateChanged(
        [server](std::int32_t vbus, std::uint32_t cc) { server->NotifyConnStateChanged(vbus, cc); });
  }
  m_Thread->Start();
  m_LogView->InitialUpdate();
  connect(&m_Timer, &QTimer::timeout, this, [this] { Tick(); });
  m_Timer.start(1000);
  UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
  m_Timer.stop();
  m_Thread->StopAndJoin();
  m_Doc.RemoveObserver(this);
  m_Doc.Store().m_StatusText = nullptr;
  m_Doc.m_AskSaveChanges = nullptr;
  m_Doc.m_ShowError = nullptr;
  // The graph writes its switches into the storage as it goes: before the frame's own storage does.
  delete m_GraphDock;
  m_GraphDock = nullptr;
}

void CMainFrame::BuildPanes() {
  m_CtrlView = new CZKCtrlView;
  m_LogView = new CZKLogView(m_Doc, m_Settings);
  m_TreeView = new CPDPacketTreeView;
  m_FieldView = new CPDPacketListView;
  m_LogView->SetCriteria(&m_FindModel.Criteria(), &m_FilterModel.Criteria(), &m_FilterSwitch.on);
  m_LogView->SetAutoScrollQuery([this] { return m_PDMessageAutoScroll && m_Session->IsCapturing(); });
  m_LogView->SetStatusText([this](const std::string& text) { SetStatus(text); });
  m_LogView->SetMessageFunction([this](const QString& text) { ShowMessage(text); });

  m_Detail = new QSplitter(Qt::Horizontal);
  m_Detail->addWidget(m_TreeView);
  m_Detail->addWidget(m_FieldView);
  m_Detail->setChildrenCollapsible(false);
  m_TreeView->setMinimumWidth(100);
  m_Rows = new QSplitter(Qt::Vertical);
  m_Rows->addWidget(m_CtrlView);
  m_Rows->addWidget(m_LogView);
  m_Rows->addWidget(m_Detail);
  m_Rows->setChildrenCollapsible(false);
  m_LogView->setMinimumHeight(100);
  m_Detail->setMinimumHeight(50);
  setCentralWidget(m_Rows);

  const WindowLayout& layout = m_Settings.m_AppSettings;
  const int windowHeight = std::max(layout.m_WindowHeight, 240);
  const int ctrl = InitialCtrlViewHeight(m_Settings.m_CtrlViewHeight, windowHeight);
  const int list = std::max(layout.m_PacketListHeight, 100);
  m_Rows->setSizes({ctrl, list, std::max(windowHeight - ctrl - list, 100)});
  const int tree = std::max(layout.m_MessageTreeWidth, 100);
  m_Detail->setSizes({tree, std::max(std::max(layout.m_WindowWidth, 320) - tree, 100)});
  m_Rows->setStretchFactor(0, 0);
  m_Rows->setStretchFactor(1, 1);
  m_Rows->setStretchFactor(2, 1);

  connect(m_LogView, &CZKLogView::packetSelected, this, [this](const CCCPacket* p) { m_TreeView->ShowPacket(p); });
  connect(m_TreeView, &CPDPacketTreeView::selectionCodeChanged, this,
          [this](const CCCPacket* p, std::uint32_t code) { m_FieldView->ShowFields(p, code); });
  connect(m_LogView, &CZKLogView::markersChanged, this, [this] { emit graphRedraw(); });
  connect(m_LogView, &CZKLogView::columnSettingsRequested, this, [this] { RunCommand(kCmdColumnSettings); });
  connect(m_CtrlView, &CZKCtrlView::runClicked, this, [this] { RunCommand(kCmdRun); });
  connect(m_CtrlView, &CZKCtrlView::pauseClicked, this, [this] { RunCommand(kCmdStop); });
  connect(m_CtrlView, &CZKCtrlView::clearClicked, this, [this] { RunCommand(kCmdClear); });
  if (m_Settings.m_AppSettings.m_MessageFontValid) {
    const QFont font = QFontOfLogFont(m_Settings.m_AppSettings.m_MessageFont, m_LogView->font());
    m_TreeView->setFont(font);
    m_FieldView->setFont(font);
  }

  m_GraphDock = MakeGraphPane(m_Doc, m_Settings, *m_Storage, *this);
  connect(this, &CMainFrame::graphRedraw, m_GraphDock, [this] { RefreshGraph(false); });
  addDockWidget(Qt::BottomDockWidgetArea, m_GraphDock);
  // The layout keeps no graph height: the graph starts with a third of the window.
  m_GraphDock->setMinimumHeight(120);
  resizeDocks({m_GraphDock}, {std::max(windowHeight / 3, 150)}, Qt::Vertical);
  connect(m_GraphDock, &QDockWidget::topLevelChanged, this, [this](bool floating) {
    if (floating) m_GraphDock->setGeometry(10, 10, 640, 300);
  });
  connect(m_GraphDock, &QDockWidget::visibilityChanged, this, [this] { UpdateCommandStates(); });
}

void CMainFrame::BuildCommands() {
  for (const CommandDef& c : CommandTable()) {
    auto* action = new QAction(QString::fromUtf8(c.text), this);
    if (c.key[0] != '\0') {
      action->setShortcut(QKeySequence(QString::fromUtf8(c.key)));
      action->setShortcutContext(Qt::WindowShortcut);
    }
    action->setCheckable(c.checkable);
    action->setIcon(GlyphIcon(GlyphOf(c.id)));
    action->setIconVisibleInMenu(false);
    action->setData(c.id);
    const int id = c.id;
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    addAction(action);
    m_Actions[c.id] = action;
  }
}

void CMainFrame::BuildMenus() {
  std::map<MenuId, QMenu*> menus;
  auto menuOf = [&](MenuId id) {
    QMenu*& m = menus[id];
    if (m == nullptr) m = menuBar()->addMenu(QString::fromUtf8(kMenuTitles[static_cast<int>(id)]));
    return m;
  };
  auto* toolbar = new QToolBar(QStringLiteral("Standard"), this);
  toolbar->setObjectName(QStringLiteral("Standard"));
  toolbar->setIconSize(QSize(16, 16));
  for (MenuId id : {MenuId::kFile}) menuOf(id);
  // The View menu sits between File and Record, as the framework places it.
  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  for (MenuId id : {MenuId::kRecord, MenuId::kPDMessage, MenuId::kGraph}) menuOf(id);
  QMenu* injection = menuBar()->addMenu(QString::fromUtf8(std::string(kInjectionMenuText).c_str()));
  menuOf(MenuId::kHelp);

  for (const CommandDef& c : CommandTable()) {
    QMenu* menu = menuOf(c.menu);
    if (c.separatorBefore) menu->addSeparator();
    if (c.id == kCmdExit) {
      m_RecentMenu = menu->addMenu(QStringLiteral("Recent File"));
      menu->addSeparator();
    }
    menu->addAction(m_Actions[c.id]);
  }
  for (int id : ToolbarCommands()) {
    if (id == 0) {
      toolbar->addSeparator();
    } else {
      toolbar->addAction(m_Actions[id]);
    }
  }
  addToolBar(Qt::TopToolBarArea, toolbar);
  QAction* toolbarToggle = toolbar->toggleViewAction();
  toolbarToggle->setText(QStringLiteral("&Toolbars and Docking Windows"));
  view->addAction(toolbarToggle);
  QAction* statusToggle = view->addAction(QStringLiteral("&Status Bar"));
  statusToggle->setCheckable(true);
  statusToggle->setChecked(true);
  connect(statusToggle, &QAction::toggled, statusBar(), &QWidget::setVisible);

  for (std::size_t k = 0; k < kInjectionMenu.size(); ++k) {
    const InjectionMenuItem& item = kInjectionMenu[k];
    if (k == 6) injection->addSeparator();
    QAction* action = injection->addAction(QString::fromUtf8(std::string(item.text).c_str()));
    action->setCheckable(true);
    const int id = item.id;
    connect(action, &QAction::triggered, this, [this, id] { InjectionCommand(id); });
    m_InjectionActions.push_back(action);
  }
  for (QMenu* m : menuBar()->findChildren<QMenu*>()) {
    connect(m, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });
  }
  UpdateRecentMenu();
}

void CMainFrame::UpdateRecentMenu() {
  if (m_RecentMenu == nullptr) return;
  m_RecentMenu->clear();
  int n = 1;
  for (const std::string& path : m_Recent.Paths()) {
    const QString text = QStringLiteral("&%1 %2").arg(n++).arg(QString::fromStdString(path));
    QAction* action = m_RecentMenu->addAction(text);
    connect(action, &QAction::triggered, this, [this, path] {
      if (!m_State.capturing) OpenRecordFile(path);
    });
  }
  m_RecentMenu->setEnabled(!m_Recent.Paths().empty());
}

QAction* CMainFrame::Action(int id) const {
  const auto it = m_Actions.find(id);
  return it == m_Actions.end() ? nullptr : it->second;
}

bool CMainFrame::CommandEnabled(int id) const {
  const CommandDef* c = FindCommand(id);
  if (c == nullptr || m_Importing || !IsEnabled(c->rule, m_State)) return false;
  return DialogAvailable(id);
}

bool CMainFrame::CommandChecked(int id) const {
  switch (id) {
    case kCmdMessageAutoScroll: return m_PDMessageAutoScroll;
    case kCmdDisableDisplayFilters: return m_FilterSwitch.DisableItemChecked();
    case kCmdShowGraph: return m_GraphDock != nullptr && !m_GraphDock->isHidden();
    case kCmdShowMeasuringPoints: return m_GraphShowPlots;
    case kCmdShowPDPackets: return m_GraphShowPDPackets;
    case kCmdGraphAutoScroll: return m_GraphAutoScroll;
    default: return false;
  }
}

void CMainFrame::UpdateCommandStates() {
  if (m_Session == nullptr || m_GraphDock == nullptr) return;
  m_State.capturing = m_Session->IsCapturing();
  m_State.connected = m_Link->IsConnected();
  m_State.recordLoaded = !m_Doc.RecordPath().empty();
  {
    std::lock_guard<std::mutex> lock(m_Doc.Store().Lock());
    m_State.hasSamples = m_Doc.Store().SampleCount() > 0;
  }
  m_State.graphVisible = !m_GraphDock->isHidden();
  for (const auto& [id, action] : m_Actions) {
    action->setEnabled(CommandEnabled(id));
    if (action->isCheckable()) action->setChecked(CommandChecked(id));
  }
  const InjectionState& injection = m_Link->Injection();
  for (std::size_t k = 0; k < kInjectionMenu.size(); ++k) {
    const InjectionMenuItem& item = kInjectionMenu[k];
    m_InjectionActions[k]->setChecked(injection.IsChecked(item));
    m_InjectionActions[k]->setEnabled(m_State.connected);
  }
  if (m_RecentMenu != nullptr)
    m_RecentMenu->setEnabled(!m_Recent.Paths().empty() && !m_State.capturing && !m_Importing);
  const Flag& alive = m_Thread->Flags().alive;
  const bool live = m_State.connected && alive.IsSet() && !m_Thread->Flags().stopRequested.IsSet();
  m_CtrlView->UpdateButtons(live, m_Thread->Flags().recording.IsSet(), m_State.hasSamples);
}

void CMainFrame::ShowMessage(const QString& text) {
  if (m_Message) m_Message(text);
}

void CMainFrame::BuildStatusPanes() {
  const char* texts[] = {"CAP", "NUM", "SCRL"};
  for (int i = 0; i < 3; ++i) {
    auto* pane = new QLabel(this);
    pane->setObjectName(QString::fromLatin1(texts[i]));
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
    statusBar()->addPermanentWidget(pane);
    m_LockPanes[i] = pane;
  }
  UpdateLockIndicators();
}

void CMainFrame::UpdateLockIndicators() {
  const std::optional<LockKeys> keys = ReadLockKeys();
  const bool on[] = {keys && keys->caps, keys && keys->num, keys && keys->scroll};
  const char* texts[] = {"CAP", "NUM", "SCRL"};
  for (int i = 0; i < 3; ++i) m_LockPanes[i]->setText(on[i] ? QString::fromLatin1(texts[i]) : QString());
}

void CMainFrame::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_CapsLock || event->key() == Qt::Key_NumLock || event->key() == Qt::Key_ScrollLock) {
    UpdateLockIndicators();
  }
  QMainWindow::keyReleaseEvent(event);
}

QString CMainFrame::StatusText() const { return statusBar()->currentMessage(); }

void CMainFrame::SetStatus(const std::string& text) { statusBar()->showMessage(QString::fromStdString(text)); }

bool CMainFrame::AskSaveChanges() {
  if (!m_Doc.IsModified() || !m_Doc.m_AskSaveChanges) return true;
  switch (m_Doc.m_AskSaveChanges()) {
    case SaveAnswer::Cancel: return false;
    case SaveAnswer::No: return true;
    case SaveAnswer::Yes:
      return m_Doc.OnSaveDocument(m_Doc.RecordPath().empty() ? m_Doc.PathName() : m_Doc.RecordPath());
  }
  return true;
}

bool CMainFrame::OpenRecordFile(const std::string& path) {
  if (m_Session->IsCapturing() || m_Importing) return false;
  if (!QFileInfo(QString::fromStdString(path)).isFile()) {
    m_Recent.Remove(path);
    UpdateRecentMenu();
    ShowMessage(QStringLiteral("Cannot open the file %1.").arg(QString::fromStdString(path)));
    return false;
  }
  if (!AskSaveChanges()) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  m_Doc.OnOpenDocument(path);
  m_LogView->InitialUpdate();
  QApplication::restoreOverrideCursor();
  UpdateCommandStates();
  UpdateControlPanel();
  RefreshGraph(true);
  return true;
}

void CMainFrame::NewDocument() {
  if (m_Session->IsCapturing() || !AskSaveChanges()) return;
  m_Doc.OnNewDocument();
  m_LogView->InitialUpdate();
  RefreshGraph(true);
  setWindowTitle(QStringLiteral("Untitled - PD Zelkor App"));
  UpdateCommandStates();
}

bool CMainFrame::SaveDocument(const std::string& path) {
  if (path.empty()) return false;
  const bool ok = m_Doc.OnSaveDocument(path);
  if (ok) {
    m_Recent.Add(path);
    UpdateRecentMenu();
  }
  return ok;
}

void CMainFrame::OnUpdateAllViews() {
  if (m_GraphDock != nullptr) UpdateCommandStates();
}

void CMainFrame::OnPathNameChanged(const std::string& path, bool addToRecent) {
  const QString name = path.empty() ? QStringLiteral("Untitled") : QFileInfo(QString::fromStdString(path)).fileName();
  setWindowTitle(name + QStringLiteral(" - PD Zelkor App"));
  if (addToRecent) {
    m_Recent.Add(path);
    UpdateRecentMenu();
  }
}

void CMainFrame::RefreshViews() {
  m_LogView->OnUpdateAllViews();
  m_FieldView->ShowFields(m_TreeView->Packet(), m_TreeView->SelectionCode());
  UpdateCommandStates();
}

void CMainFrame::UpdateControlPanel() {
  const CaptureFlags& flags = m_Thread->Flags();
  const bool live = m_Link->IsConnected() && flags.alive.IsSet() && !flags.stopRequested.IsSet();
  LiveValues values;
  if (live) {
    const LiveReadout r = m_Thread->Live();
    values.vbusMv = r.calibrated[kCalVbusVol];
    values.cc1Mv = r.calibrated[kCalCC1Vol];
    values.cc2Mv = r.calibrated[kCalCC2Vol];
    values.vbusMa = r.calibrated[kCalVbusCurr];
    values.cc1Ma = r.calibrated[kCalCC1Curr];
    values.cc2Ma = r.calibrated[kCalCC2Curr];
  }
  SampleStatistics stats;
  {
    std::lock_guard<std::mutex> lock(m_Doc.Store().Lock());
    stats = m_Doc.Store().SampleStats();
  }
  m_CtrlView->UpdateReadouts(live, values, &stats);
}

void CMainFrame::Tick() {
  if (m_Closed) return;
  m_Session->Tick();
  UpdateCommandStates();
  UpdateLockIndicators();
}

void CMainFrame::InjectionCommand(int id) {
  const InjectionMenuItem* item = FindInjectionItem(id);
  if (item != nullptr) m_Link->SendInjection(item->ccLine, item->resistor);
  UpdateCommandStates();
}

void CMainFrame::RunCommand(int id) {
  if (!CommandEnabled(id)) return;
  switch (id) {
    case kCmdNew: NewDocument(); break;
    case kCmdOpen: {
      const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QString(),
                                                        QStringLiteral("PD Zelkor Files (*.zkr)"));
      if (!path.isEmpty()) OpenRecordFile(path.toStdString());
      break;
    }
    case kCmdImportLogic: ImportLogicCaptureCommand(); break;
    case kCmdSave: SaveDocument(m_Doc.RecordPath()); break;
    case kCmdSaveAs: {
      const QString path =
          QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), QString::fromStdString(m_Doc.RecordPath()),
                                       QStringLiteral("PD Zelkor Files (*.zkr)"));
      if (!path.isEmpty()) SaveDocument(path.toStdString());
      break;
    }
    case kCmdExit: close(); break;
    case kCmdRun:
      if (m_Session->Run() && m_SimBox != nullptr) {
        // The simulated partners start their conversation with every capture.
        if (auto traffic = ScenarioTraffic::Make(m_Scenario)) m_SimBox->StartTraffic(std::move(traffic));
      }
      break;
    case kCmdStop: m_Session->Stop(); break;
    case kCmdClear: m_Session->Clear(); break;
    case kCmdFindPrev: m_LogView->FindStep(-1); break;
    case kCmdFindNext: m_LogView->FindStep(+1); break;
    case kCmdMessageAutoScroll: m_PDMessageAutoScroll = !m_PDMessageAutoScroll; break;
    case kCmdDisableDisplayFilters:
      m_FilterSwitch.Toggle();
      m_LogView->RebuildList();
      break;
    case kCmdMessageFont: {
      bool ok = false;
      const QFont font = QFontDialog::getFont(&ok, m_LogView->font(), this, QStringLiteral("Font Settings"));
      if (ok) {
        m_LogView->SetListFont(font);
        m_TreeView->setFont(font);
        m_FieldView->setFont(font);
      }
      break;
    }
    case kCmdShowGraph: m_GraphDock->setVisible(m_GraphDock->isHidden()); break;
    case kCmdShowMeasuringPoints:
      m_GraphShowPlots = !m_GraphShowPlots;
      emit graphRedraw();
      break;
    case kCmdShowPDPackets:
      m_GraphShowPDPackets = !m_GraphShowPDPackets;
      emit graphRedraw();
      break;
    case kCmdGraphAutoScroll:
      m_GraphAutoScroll = !m_GraphAutoScroll;
      m_Settings.m_GraphAutoScroll = m_GraphAutoScroll;
      m_Session->SetSettings(SessionSettingsFrom(m_Settings));
      break;
    case kCmdGraphFont: {
      bool ok = false;
      const QFont current = QFontOfLogFont(m_Settings.m_GraphFont, font());
      const QFont chosen = QFontDialog::getFont(&ok, current, this, QStringLiteral("Font Settings"));
      if (ok) {
        m_Settings.m_GraphFont = LogFontOfQFont(chosen);
        emit graphRedraw();
      }
      break;
    }
    case kCmdInstallDriver: {
      const std::string error = RunDriverInstaller(SystemInstallerPlatform());
      if (!error.empty()) ShowMessage(QString::fromStdString(error));
      break;
    }
    case kCmdAbout: AboutBox(); break;
    default: OpenDialog(id); break;
  }
  UpdateCommandStates();
}

void CMainFrame::StoreLayout() {
  WindowLayout& layout = m_Settings.m_AppSettings;
  layout.m_WindowWidth = width();
  layout.m_WindowHeight = height();
  const QList<int> rows = m_Rows->sizes();
  if (rows.size() == 3) {
    m_Settings.m_CtrlViewHeight = m_CtrlView->height();
    layout.m_PacketListHeight = rows[1];
  }
  const QList<int> detail = m_Detail->sizes();
  if (!detail.isEmpty()) layout.m_MessageTreeWidth = detail[0];
  m_Settings.m_GraphAutoScroll = m_GraphAutoScroll;
  m_Settings.m_GraphShowPlots = m_GraphShowPlots;
  m_Settings.m_GraphShowPDPackets = m_GraphShowPDPackets;
  m_Settings.m_PDMessageAutoScroll = m_PDMessageAutoScroll;
  m_LogView->StoreSettings();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!m_Closed) {
    if (!m_Session->IsCapturing() && !AskSaveChanges()) {
      event->ignore();
      return;
    }
    m_Closed = true;
    m_Timer.stop();
    m_Thread->StopAndJoin();
    StoreLayout();
  }
  event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.front().isLocalFile()) return;
  event->acceptProposedAction();
  OpenRecordFile(urls.front().toLocalFile().toStdString());
}

}  // namespace zk
