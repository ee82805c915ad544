#include <gtest/gtest.h>

#include <QAction>
#include <QDockWidget>
#include <QImage>
#include <QLabel>
#include <QStatusBar>
#include <QTest>

#include <filesystem>
#include <mutex>

#include "app/memory_storage.h"
#include "app/zk_app.h"
#include "tests/ui/ui_fixture.h"
#include "ui/ctrl/zk_ctrl_view.h"
#include "ui/detail/packet_detail_views.h"
#include "ui/graph/qt/dockable_graph.h"
#include "ui/log/zk_log_view.h"

namespace zk {
namespace {

namespace fs = std::filesystem;

TEST(MainWindow, OpensTheCommandLineFileAndWritesAScreenshot) {
  StartOptions options;
  options.simulate = true;
  options.file = test::SimulatedRecordFile();
  options.remoteControl = false;
  auto storage = std::make_unique<MemoryStorage>();
  MemoryStorage* stored = storage.get();
  // A stored window layout with room for the list, as a user would leave it.
  WindowLayout layout;
  layout.m_PacketListHeight = 260;
  layout.m_MessageTreeWidth = 280;
  layout.m_WindowHeight = 960;
  const WindowLayout::Bytes bytes = layout.Pack();
  storage->WriteRecord("PDZKRAPP", "PDZelkorAppSettings", bytes.data(), bytes.size());
  {
    CZKApp app(options, std::move(storage));
    app.Settings().m_LaunchDriverInstaller = false;
    app.Start();
    CMainFrame& frame = *app.MainFrame();
    frame.SetMessageFunction([](const QString&) {});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_EQ(frame.LogView()->Model()->rowCount(), app.Doc().Store().PacketCount());
    EXPECT_GT(app.Doc().Store().PacketCount(), 0);
    EXPECT_EQ(frame.StatusText(), QStringLiteral("Building PD Messages... 100%"));
    EXPECT_EQ(app.Recent().Paths().front(), options.file);
    EXPECT_TRUE(frame.CommandEnabled(kCmdSave));
    EXPECT_TRUE(frame.windowTitle().startsWith(QStringLiteral("spr.zkr")));

    // A row with a message in the tree and its fields, the way a user would look at it.
    int row = 0;
    for (int r = 0; r < frame.LogView()->Model()->rowCount(); ++r) {
      const CCCPacket* p = frame.LogView()->Model()->PacketAt(r);
      if (p->m_Kind == kKindSop && (p->Header() & 0x7000) != 0) {
        row = r;
        break;
      }
    }
    frame.LogView()->SelectRow(row);
    frame.LogView()->ShowRow(row);
    EXPECT_EQ(frame.TreeView()->Packet(), frame.LogView()->Model()->PacketAt(row));
    EXPECT_EQ(frame.TreeView()->SelectionCode(), 0x02000000u);
    EXPECT_GT(frame.FieldView()->Model()->rowCount(), 0);
    // The graph shows the file with the selected packet; the readouts show the simulated box.
    EXPECT_EQ(frame.GraphPane()->View().Model().m_pSelectedPacket, frame.LogView()->Model()->PacketAt(row));
    // Opened before the window was shown, the graph still fits the whole file into its real size.
    const CGraphModel& graph = frame.GraphPane()->View().Model();
    EXPECT_TRUE(graph.IsTimeVisible(graph.m_FirstTime) && graph.IsTimeVisible(graph.m_LastTime));
    EXPECT_GT(graph.Mapping().timeScale * static_cast<float>(graph.m_LastTime - graph.m_FirstTime),
              0.9f * static_cast<float>(graph.Plot().width));
    frame.Tick();
    QTest::qWait(400);
    frame.Tick();
    QTest::qWait(50);
    const QImage shot = frame.grab().toImage();
    EXPECT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(QStringLiteral(ZK_UI_OUTPUT_DIR "/main_window.png")));

    // Settings and the recent list are written at exit.
    EXPECT_EQ(stored->Find("Recent File List", "File1"), nullptr);
    app.SaveSettings();
    EXPECT_NE(stored->Find("PDZKRAPP", "PDZelkorAppSettings"), nullptr);
    EXPECT_NE(stored->Find("Recent File List", "File1"), nullptr);
  }
}

TEST(MainWindow, MarkersAreSavedWithTheFileAndComeBackOnOpening) {
  const fs::path dir = test::ScratchDir("markers");
  const std::string copy = (dir / "marked.zkr").string();
  test::FrameHarness h;
  ASSERT_TRUE(h.frame->OpenRecordFile(test::SimulatedRecordFile()));
  CZKLogView& log = *h.frame->LogView();
  using C = CZKLogView::RowCommand;
  log.RunCommand(C::kSetMarkerA, 3);
  log.RunCommand(C::kSetMarkerB, 7);
  log.RunCommand(C::kSetMarker, 9);
  const std::int64_t a = log.Model()->PacketAt(3)->m_Time;
  const std::int64_t b = log.Model()->PacketAt(7)->m_Time;
  EXPECT_TRUE(h.doc.IsModified());
  ASSERT_TRUE(h.frame->SaveDocument(copy));

  ASSERT_TRUE(h.frame->OpenRecordFile(copy));
  ASSERT_NE(h.doc.Store().MarkerA(), nullptr);
  ASSERT_NE(h.doc.Store().MarkerB(), nullptr);
  EXPECT_EQ(h.doc.Store().MarkerA()->m_Time, a);
  EXPECT_EQ(h.doc.Store().MarkerB()->m_Time, b);
  EXPECT_EQ(log.Model()->MarkerARow(), 3);
  EXPECT_EQ(log.Model()->MarkerBRow(), 7);
  EXPECT_TRUE(log.Model()->PacketAt(9)->m_Marked);
  const CPacketListModel& m = *log.Model();
  EXPECT_EQ(m.data(m.index(3, 0), Qt::BackgroundRole).value<QColor>(), QColor(255, 128, 0));
  EXPECT_EQ(m.data(m.index(7, 0), Qt::BackgroundRole).value<QColor>(), QColor(255, 0, 128));
  EXPECT_EQ(m.data(m.index(9, 0), Qt::BackgroundRole).value<QColor>(), QColor(200, 200, 0));
}

TEST(MainWindow, RunAndStopOnTheSimulatedBoxRecordAFileWhileTheListGrows) {
  const fs::path dir = test::ScratchDir("capture");
  fs::remove_all(dir);
  fs::create_directories(dir);
  test::FrameHarness h(dir);
  CMainFrame& f = *h.frame;
  f.Tick();
  ASSERT_TRUE(f.Link().IsConnected());
  EXPECT_TRUE(f.CommandEnabled(kCmdRun));
  EXPECT_FALSE(f.CommandEnabled(kCmdStop));
  EXPECT_FALSE(f.CommandEnabled(kCmdInstallDriver));

  f.RunCommand(kCmdRun);
  ASSERT_TRUE(f.Session().IsCapturing());
  // While capturing, the file commands and settings are closed and Stop is open.
  for (int id : {kCmdNew, kCmdOpen, kCmdImportLogic, kCmdSave, kCmdSaveAs, kCmdExport, kCmdStitch, kCmdRecordSettings,
                 kCmdRecordFileSettings, kCmdCalibration, kCmdRun}) {
    EXPECT_FALSE(f.CommandEnabled(id)) << id;
  }
  EXPECT_TRUE(f.CommandEnabled(kCmdStop));

  int seen = 0;
  bool grew = false;
  for (int tick = 0; tick < 6 && !grew; ++tick) {
    QTest::qWait(700);
    f.Tick();
    const int rows = f.LogView()->Model()->rowCount();
    grew = seen > 0 && rows > seen;
    if (seen == 0) seen = rows;
  }
  EXPECT_TRUE(grew) << "rows stayed at " << seen;
  EXPECT_TRUE(f.StatusText().startsWith(QStringLiteral("Capturing... ")));
  EXPECT_TRUE(f.CtrlView()->PauseEnabled());
  EXPECT_FALSE(f.CtrlView()->Text("vbusVoltage").isEmpty());
  EXPECT_NE(f.CtrlView()->Text("vbusVoltage"), QStringLiteral("0.00 [V]"));

  f.RunCommand(kCmdStop);
  ASSERT_TRUE(test::WaitFor([&] { return !f.Thread().Flags().recording.IsSet(); }, 5000));
  f.Tick();
  EXPECT_FALSE(f.Session().IsCapturing());
  const std::string path = h.doc.RecordPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(fs::path(path).parent_path(), dir);
  EXPECT_GT(fs::file_size(path), 2u * 64u);
  EXPECT_EQ(f.LogView()->Model()->rowCount(), h.doc.Store().PacketCount());
  EXPECT_TRUE(f.CommandEnabled(kCmdRun));
  EXPECT_TRUE(f.CommandEnabled(kCmdClear));
}

// The list and the graph find each other's packets, and the frame's switches reach the graph.
TEST(MainWindow, GraphAndPacketListShowTheSamePacket) {
  test::FrameHarness h;
  CMainFrame& f = *h.frame;
  ASSERT_TRUE(f.OpenRecordFile(test::SimulatedRecordFile()));
  CGraphView& graph = f.GraphPane()->View();
  const CCCPacket* last = f.LogView()->Model()->PacketAt(f.LogView()->Model()->rowCount() - 1);
  ASSERT_NE(last, nullptr);

  emit f.GraphPane()->PacketDoubleClicked(last->m_Index);
  EXPECT_EQ(f.LogView()->SelectedPacket(), last);
  EXPECT_EQ(graph.Model().m_pSelectedPacket, last);

  emit f.LogView()->centreOnTime(last->m_Time - h.doc.Store().m_TimeOrigin);
  EXPECT_TRUE(graph.Model().IsTimeVisible(last->m_Time - h.doc.Store().m_TimeOrigin));

  const bool points = graph.Model().m_ShowPoints;
  f.RunCommand(kCmdShowMeasuringPoints);
  EXPECT_NE(graph.Model().m_ShowPoints, points);
  EXPECT_TRUE(f.CommandEnabled(kCmdGraphDrawingSettings));
}

TEST(MainWindow, MenuTextsShowTheKeysThatWorkAndTogglesFollowTheirState) {
  test::FrameHarness h;
  CMainFrame& f = *h.frame;
  EXPECT_EQ(f.Action(kCmdFind)->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));
  EXPECT_EQ(f.Action(kCmdFindNext)->shortcut(), QKeySequence(Qt::Key_F3));
  EXPECT_EQ(f.Action(kCmdFindPrev)->shortcut(), QKeySequence(QStringLiteral("Shift+F3")));
  EXPECT_EQ(f.Action(kCmdShowGraph)->shortcut(), QKeySequence(Qt::Key_F7));
  // The status bar: the message, then the three lock-key panes.
  for (const char* pane : {"CAP", "NUM", "SCRL"}) EXPECT_NE(f.statusBar()->findChild<QLabel*>(pane), nullptr) << pane;

  EXPECT_TRUE(f.Action(kCmdShowGraph)->isChecked());
  f.RunCommand(kCmdShowGraph);
  EXPECT_TRUE(f.GraphPane()->isHidden());
  EXPECT_FALSE(f.CommandEnabled(kCmdShowMeasuringPoints));
  f.RunCommand(kCmdShowGraph);
  EXPECT_TRUE(f.CommandEnabled(kCmdGraphAutoScroll));

  EXPECT_TRUE(f.Action(kCmdDisableDisplayFilters)->isChecked());  // the filter starts off
  f.RunCommand(kCmdDisableDisplayFilters);
  EXPECT_TRUE(f.FilterSwitch().on);
  EXPECT_FALSE(f.Action(kCmdDisableDisplayFilters)->isChecked());

  const bool autoScroll = f.Action(kCmdMessageAutoScroll)->isChecked();
  f.RunCommand(kCmdMessageAutoScroll);
  EXPECT_NE(f.Action(kCmdMessageAutoScroll)->isChecked(), autoScroll);
  // Nothing loaded: no saving, no export.
  EXPECT_FALSE(f.CommandEnabled(kCmdSave));
  EXPECT_FALSE(f.CommandEnabled(kCmdExport));
}

TEST(MainWindow, WindowLayoutIsWrittenBackAtClose) {
  test::FrameHarness h;
  h.settings.m_AppSettings.m_MessageFontValid = 0;
  h.frame->resize(900, 640);
  h.frame->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(h.frame.get()));
  h.frame->close();
  EXPECT_EQ(h.settings.m_AppSettings.m_WindowWidth, 900);
  EXPECT_EQ(h.settings.m_AppSettings.m_WindowHeight, 640);
  EXPECT_GE(h.settings.m_AppSettings.m_PacketListHeight, 100);
  EXPECT_GE(h.settings.m_AppSettings.m_MessageTreeWidth, 100);
  EXPECT_GT(h.settings.m_CtrlViewHeight, 0);
  EXPECT_EQ(h.settings.m_AppSettings.m_MessageFontValid, 1);
}

TEST(MainWindow, DroppedOrMissingFiles) {
  test::FrameHarness h;
  EXPECT_FALSE(h.frame->OpenRecordFile("/nonexistent/none.zkr"));
  ASSERT_EQ(h.messages.size(), 1);
  EXPECT_TRUE(h.recent.Paths().empty());
}

TEST(StartUp, CommandLine) {
  std::string error;
  auto o = ParseCommandLine({}, error);
  ASSERT_TRUE(o);
  EXPECT_FALSE(o->simulate);
  o = ParseCommandLine({QStringLiteral("--simulate=spr"), QStringLiteral("a.zkr")}, error);
  ASSERT_TRUE(o);
  EXPECT_TRUE(o->simulate);
  EXPECT_EQ(o->scenario, "spr");
  EXPECT_EQ(o->file, "a.zkr");
  EXPECT_FALSE(ParseCommandLine({QStringLiteral("--simulate=nonsense")}, error));
  EXPECT_FALSE(ParseCommandLine({QStringLiteral("--bogus")}, error));
  EXPECT_FALSE(ParseCommandLine({QStringLiteral("a.zkr"), QStringLiteral("b.zkr")}, error));
}

// What make run starts: the simulated box, and a capture that begins by itself once it is connected.
TEST(StartUp, RunOptionStartsACaptureOnTheSimulatedBox) {
  auto storage = std::make_unique<MemoryStorage>();
  {
    AppSettings stored;
    stored.m_DocumentsFolder = [] { return test::ScratchDir("run-option").string(); };
    stored.LoadSettings(*storage);
    stored.m_RecordFileFolder = test::ScratchDir("run-option").string();
    stored.m_RecordDoNotAskAgain = true;
    stored.m_LaunchDriverInstaller = false;
    stored.SaveSettings(*storage);
  }
  std::string error;
  std::optional<StartOptions> options =
      ParseCommandLine({QStringLiteral("--simulate"), QStringLiteral("--run")}, error);
  ASSERT_TRUE(options && options->run);
  options->remoteControl = false;
  CZKApp app(*options, std::move(storage));
  app.Start();
  CMainFrame& frame = *app.MainFrame();
  frame.SetMessageFunction([](const QString&) {});
  EXPECT_TRUE(QTest::qWaitFor([&] { return frame.Session().IsCapturing(); }, 10000));
  for (int i = 0; i < 20 && app.Doc().Store().PacketCount() == 0; ++i) {
    QTest::qWait(250);
    frame.Tick();
  }
  EXPECT_GT(app.Doc().Store().PacketCount(), 0);
  frame.RunCommand(kCmdStop);
}

TEST(StartUp, ControlPanelHeightAndRecentFiles) {
  EXPECT_EQ(InitialCtrlViewHeight(0, 360), 90);
  EXPECT_EQ(InitialCtrlViewHeight(0, 800), 100);
  EXPECT_EQ(InitialCtrlViewHeight(140, 800), 140);

  RecentFiles recent;
  for (const char* p : {"a", "b", "c", "d", "e", "c"}) recent.Add(p);
  EXPECT_EQ(recent.Paths(), (std::vector<std::string>{"c", "e", "d", "b"}));
  MemoryStorage storage;
  recent.Save(storage);
  RecentFiles again;
  again.Load(storage);
  EXPECT_EQ(again.Paths(), recent.Paths());
}

TEST(CommandTable, EnablingRules) {
  struct Case {
    int id;
    CommandState state;
    bool enabled;
  };
  CommandState idle{false, true, true, true, true};
  CommandState capturing{true, true, true, true, true};
  CommandState noBox{false, false, false, false, false};
  const Case cases[] = {
      {kCmdRun, idle, true},
      {kCmdRun, capturing, false},
      {kCmdRun, noBox, false},
      {kCmdStop, capturing, true},
      {kCmdStop, idle, false},
      {kCmdSave, idle, true},
      {kCmdSave, noBox, false},
      {kCmdSaveAs, capturing, false},
      {kCmdClear, noBox, false},
      {kCmdClear, capturing, true},
      {kCmdInstallDriver, noBox, true},
      {kCmdInstallDriver, idle, false},
      {kCmdShowPDPackets, noBox, false},
      {kCmdShowGraph, noBox, true},
      {kCmdCalibration, capturing, false},
  };
  for (const Case& c : cases) {
    const CommandDef* def = FindCommand(c.id);
    ASSERT_NE(def, nullptr) << c.id;
    EXPECT_EQ(IsEnabled(def->rule, c.state), c.enabled) << def->text;
  }
  for (int id : ToolbarCommands()) EXPECT_TRUE(id == 0 || FindCommand(id) != nullptr) << id;
}

}  // namespace
}  // namespace zk

#if defined(ZK_HAVE_DIALOGS) && __has_include("ui/dialogs/packet_find_dlg.h")
#include <QApplication>
#include <QCheckBox>
#include <QTimer>

#include "ui/dialogs/packet_find_dlg.h"

namespace zk {
namespace {

// The display filter dialog as a user works it: untick GoodCRC, OK; the list loses those rows.
TEST(MainWindow, DisplayFilterDialogRebuildsTheList) {
  test::FrameHarness h;
  ASSERT_TRUE(h.frame->OpenRecordFile(test::SimulatedRecordFile()));
  const int all = h.frame->LogView()->Model()->rowCount();
  ASSERT_TRUE(h.frame->CommandEnabled(kCmdDisplayFilterSettings));
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dlg = qobject_cast<CPacketFindDlg*>(QApplication::activeModalWidget());
    if (dlg == nullptr) return;
    seen = true;
    QCheckBox* box = dlg->checkBox(QStringLiteral("GoodCRC"));
    if (box != nullptr && box->isEnabled()) box->setChecked(false);
    dlg->accept();
  });
  h.frame->RunCommand(kCmdDisplayFilterSettings);
  ASSERT_TRUE(seen);
  EXPECT_TRUE(h.frame->FilterSwitch().on);
  const int shown = h.frame->LogView()->Model()->rowCount();
  EXPECT_LT(shown, all);
  for (int r = 0; r < shown; ++r) {
    const std::uint16_t header = h.frame->LogView()->Model()->PacketAt(r)->Header();
    EXPECT_FALSE((header & 0x1F) == 1 && (header & 0x7000) == 0) << "GoodCRC in row " << r;
  }
  h.frame->RunCommand(kCmdDisableDisplayFilters);
  EXPECT_EQ(h.frame->LogView()->Model()->rowCount(), all);
}

}  // namespace
}  // namespace zk
#endif

#include <QLocalSocket>

#include <cstdlib>

#include "capture/remote_protocol.h"

namespace zk {
namespace {

// Another program names the file, starts and stops a capture through the local socket.
TEST(MainWindow, RemoteControlRunsAndStopsACapture) {
  const fs::path runtime = test::ScratchDir("runtime");
  fs::permissions(runtime, fs::perms::owner_all);
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  const fs::path dir = test::ScratchDir("remote");
  fs::remove(dir / "remote1.zkr");
  test::FrameHarness h(dir, true);
  h.frame->Tick();
  ASSERT_TRUE(h.frame->Link().IsConnected());

  QLocalSocket client;
  client.connectToServer(QString::fromStdString(RemoteSocketPath(false)));
  ASSERT_TRUE(client.waitForConnected(2000));
  auto send = [&](std::uint32_t type, const std::string& payload = {}) {
    const std::vector<std::uint8_t> frame = EncodeRemoteMessage(type, payload);
    client.write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
    client.flush();
  };
  send(kRemoteSetFileName, "remote1");
  send(kRemoteRun);
  ASSERT_TRUE(test::WaitFor([&] { return h.frame->Session().IsCapturing(); }, 3000));
  EXPECT_EQ(fs::path(h.doc.RecordPath()).filename(), "remote1.zkr");
  send(kRemoteStop);
  ASSERT_TRUE(test::WaitFor([&] { return !h.frame->Thread().Flags().recording.IsSet(); }, 5000));
  EXPECT_TRUE(h.frame->Session().RemoteFileName().empty());
  EXPECT_TRUE(fs::exists(dir / "remote1.zkr"));
}

}  // namespace
}  // namespace zk
