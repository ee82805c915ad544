#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QHeaderView>

#include <memory>
#include <mutex>

#include "pd/summary_fields.h"
#include "tests/ui/ui_fixture.h"
#include "ui/log/packet_list_model.h"
#include "ui/log/zk_log_view.h"

namespace zk {
namespace {

// A store of hand-made packets: n packets 100 us apart, each 48 ticks long at divider 20.
std::unique_ptr<CCCPacket> MakePacket(std::int64_t time) {
  auto p = std::make_unique<CCCPacket>();
  p->m_Time = time;
  p->m_TotalTicks = 48;
  p->m_TickDiv = 20;
  p->m_Kind = kKindSop;
  p->m_EdgeCount = 100;
  p->m_PreambleFound = 1;
  p->m_CrcOk = 1;
  p->m_EopFound = 1;
  p->m_UnitInterval = 3.3f;
  p->m_ByteCount = 6;
  p->m_Bytes[0] = 0x41;  // GoodCRC, revision 2.0
  p->m_Bytes[1] = 0x00;
  return p;
}

void Fill(CZKDoc& doc, int n) {
  std::lock_guard<std::mutex> lock(doc.Store().Lock());
  for (int i = 0; i < n; ++i) doc.Store().InsertPacket(MakePacket(1000 + 100 * i));
}

TEST(PacketListModel, RowsIdleTimesAndFilterKeepTheIdleClock) {
  CZKDoc doc;
  Fill(doc, 4);
  CPacketListModel model(doc);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  std::vector<std::string> status;
  model.SetStatusText([&](const std::string& s) { status.push_back(s); });
  model.SetColumns({0, 1, 2});
  EXPECT_EQ(model.AppendNewPackets(), 4);
  EXPECT_EQ(model.rowCount(), 4);
  ASSERT_FALSE(status.empty());
  EXPECT_EQ(status.back(), "Building PD Messages... 100%");
  // Each packet lasts 48 * 20 / 48 = 20 us, so 80 us of idle line lie between two.
  EXPECT_EQ(model.PacketAt(0)->m_IdleTime, 1000);
  EXPECT_EQ(model.PacketAt(1)->m_IdleTime, 80);
  EXPECT_EQ(model.AppendNewPackets(), 0);

  // Hide packet 1: packet 2 is still measured from the end of the hidden one.
  PacketCriteria filter = DefaultFilterCriteria();
  filter.enableText = true;
  filter.text = "zzz-no-such-text";
  bool on = true;
  model.SetDisplayFilter(&filter, &on);
  model.ResetRows();
  EXPECT_EQ(model.AppendNewPackets(), 0);
  EXPECT_EQ(doc.Store().PacketAt(2)->m_IdleTime, 80);

  // Every column hidden: no rows, idle times still made.
  on = false;
  model.SetColumns({});
  doc.Store().PacketAt(3)->m_IdleTime = -5;
  EXPECT_EQ(model.AppendNewPackets(), 0);
  EXPECT_EQ(doc.Store().PacketAt(3)->m_IdleTime, 80);

  // New packets arrive in one insert at the end.
  model.SetColumns({0});
  model.AppendNewPackets();
  Fill(doc, 2);
  EXPECT_EQ(model.AppendNewPackets(), 2);
  EXPECT_EQ(model.rowCount(), 6);
}

TEST(PacketListModel, EmptyStoreGivesNoRowsAndNoStatus) {
  CZKDoc doc;
  CPacketListModel model(doc);
  bool called = false;
  model.SetStatusText([&](const std::string&) { called = true; });
  model.SetColumns({0});
  EXPECT_EQ(model.AppendNewPackets(), 0);
  EXPECT_FALSE(called);
}

TEST(PacketListModel, LongTextsKeepHeadAndTail) {
  const QString text = QString(150, QLatin1Char('a')) + QString(150, QLatin1Char('b'));
  const QString cut = CutCellText(text);
  EXPECT_EQ(cut, QString(120, QLatin1Char('a')) + QStringLiteral("...") + QString(120, QLatin1Char('b')));
  EXPECT_EQ(CutCellText(QString(260, QLatin1Char('x'))).size(), 260);
}

TEST(PacketListModel, RowColoursFollowTheFirstRuleThatApplies) {
  struct Case {
    const char* what;
    std::function<void(CCCPacket&)> change;
    RowState state;
    int row;
    QColor background;
  };
  const Case cases[] = {
      {"even row", [](CCCPacket&) {}, {}, 0, QColor(240, 240, 240)},
      {"odd row", [](CCCPacket&) {}, {}, 1, QColor(255, 255, 255)},
      {"bookmark", [](CCCPacket& p) { p.m_Marked = 1; }, {}, 1, QColor(200, 200, 0)},
      {"hard reset", [](CCCPacket& p) { p.m_Kind = kKindHardReset; }, {}, 0, QColor(255, 255, 0)},
      {"soft reset", [](CCCPacket& p) { p.m_Bytes[0] = 0x4D; }, {}, 0, QColor(255, 255, 0)},
      {"crc error", [](CCCPacket& p) { p.m_CrcOk = 0; }, {}, 0, QColor(255, 0, 0)},
      {"bad unit interval", [](CCCPacket& p) { p.m_UnitInterval = 3.8f; }, {}, 0, QColor(255, 0, 0)},
      {"error beats bookmark", [](CCCPacket& p) { p.m_PreambleFound = 0, p.m_Marked = 1; }, {}, 0, QColor(255, 0, 0)},
      {"marker B", [](CCCPacket& p) { p.m_CrcOk = 0; }, {false, false, true}, 0, QColor(255, 0, 128)},
      {"marker A beats B", [](CCCPacket&) {}, {false, true, true}, 0, QColor(255, 128, 0)},
      {"selection first", [](CCCPacket&) {}, {true, true, false}, 0, QColor(100, 100, 255)},
  };
  for (const Case& c : cases) {
    auto p = MakePacket(0);
    c.change(*p);
    EXPECT_EQ(RowBackground(*p, c.row, c.state), c.background) << c.what;
  }

  struct TextCase {
    int side;
    int edges;
    std::optional<QColor> colour;
  };
  const TextCase texts[] = {
      {0, 10, std::nullopt},        {0, 0, QColor(0, 0, 100)},   {1, 10, QColor(0, 0, 255)},
      {2, 10, QColor(0, 100, 100)}, {3, 0, QColor(100, 100, 0)}, {-1, 10, QColor(255, 0, 0)},
      {7, 0, QColor(0, 0, 100)},
  };
  for (const TextCase& t : texts) {
    auto p = MakePacket(0);
    p->m_Side = t.side;
    p->m_EdgeCount = t.edges;
    EXPECT_EQ(RowTextColour(*p), t.colour) << "side " << t.side << " edges " << t.edges;
  }
}

TEST(PacketListModel, SortsByNumericKeyOrByText) {
  CZKDoc doc;
  Fill(doc, 3);
  const int preambles[] = {9, 10, 100};
  for (int i = 0; i < 3; ++i) doc.Store().PacketAt(i)->m_PreambleLen = preambles[i];
  CPacketListModel model(doc);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  model.SetColumns({0, 33});
  model.AppendNewPackets();
  model.SetSelectedRow(0);

  model.SortByListColumn(1, false);  // "Preamble Len" compares texts: "10" < "100" < "9"
  EXPECT_EQ(model.data(model.index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("10"));
  EXPECT_EQ(model.data(model.index(2, 1), Qt::DisplayRole).toString(), QStringLiteral("9"));
  EXPECT_EQ(model.SelectedRow(), 2);  // the selection follows its packet

  model.SortByListColumn(0, true);  // "#" by number, descending
  EXPECT_EQ(model.PacketAt(0)->m_Index, 2);
  EXPECT_EQ(model.PacketAt(2)->m_Index, 0);
}

TEST(ListSortState, SameColumnTogglesOtherColumnStartsAscending) {
  ListSortState s;
  EXPECT_TRUE(s.Click(0));  // column 0 was "last clicked ascending" from the start
  EXPECT_FALSE(s.Click(0));
  EXPECT_TRUE(s.Click(0));
  EXPECT_FALSE(s.Click(3));
  EXPECT_TRUE(s.Click(3));
}

class LogViewTest : public ::testing::Test {
 protected:
  AppSettings settings;
  CZKDoc doc;
  PacketCriteria find = DefaultFindCriteria();
  PacketCriteria filter = DefaultFilterCriteria();
  bool filterOn = false;
  std::unique_ptr<CZKLogView> view;
  QStringList messages;

  void SetUp() override {
    doc.OnOpenDocument(test::SimulatedRecordFile());
    ASSERT_GT(doc.Store().PacketCount(), 10);
    view = std::make_unique<CZKLogView>(doc, settings);
    view->SetCriteria(&find, &filter, &filterOn);
    view->SetMessageFunction([this](const QString& m) { messages << m; });
    view->resize(800, 400);
    view->InitialUpdate();
  }
  CPacketListModel& Model() { return *view->Model(); }
  int RowsWhere(const std::function<bool(const CCCPacket&)>& pred) {
    int n = 0;
    for (int i = 0; i < doc.Store().PacketCount(); ++i) n += pred(*doc.Store().PacketAt(i)) ? 1 : 0;
    return n;
  }
};

TEST_F(LogViewTest, OpenedFileListsEveryPacketWithItsCells) {
  QAbstractItemModelTester tester(&Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  EXPECT_EQ(Model().rowCount(), doc.Store().PacketCount());
  const CCCPacket* p = Model().PacketAt(5);
  const int description = Model().ListColumnOfId(kDescriptionColumn);
  ASSERT_GE(description, 0);
  EXPECT_EQ(Model().data(Model().index(5, description), Qt::DisplayRole).toString().toStdString(),
            CellText(*p, kDescriptionColumn, false));
  EXPECT_EQ(Model().data(Model().index(5, 0), Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 255));
}

TEST_F(LogViewTest, FindStepsToMatchesAndReportsTheEnd) {
  find.enableText = true;
  find.text = "Request";
  const int matches = RowsWhere([&](const CCCPacket& p) { return FindMatch(p, find, false).has_value(); });
  ASSERT_GT(matches, 0);
  std::vector<int> rows;
  while (view->FindStep(+1)) rows.push_back(view->SelectedRow());
  // Row 0 is where an empty selection starts from, so it is never examined going forward.
  EXPECT_GE(static_cast<int>(rows.size()), matches - 1);
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0], QStringLiteral("Message Not Found."));
  const int last = view->SelectedRow();
  EXPECT_EQ(last, rows.back());
  ASSERT_TRUE(view->FindStep(-1) || rows.size() == 1);
  if (rows.size() > 1) EXPECT_EQ(view->SelectedRow(), rows[rows.size() - 2]);
  // The highlighted cell is the one the match names.
  const int row = view->SelectedRow();
  EXPECT_EQ(Model().data(Model().index(row, 0), CPacketListModel::kFindColumnRole).toInt(),
            Model().ListColumnOfId(*FindMatch(*Model().PacketAt(row), find, false)));
}

TEST_F(LogViewTest, DisplayFilterHidesPacketsAndOffShowsAllAgain) {
  SetAllMessageTypes(filter, true);
  const auto flag = MessageTypeFlagIndex(MessageClass::kControl, 1);  // GoodCRC
  ASSERT_TRUE(flag.has_value());
  filter.messageTypes[static_cast<std::size_t>(*flag)] = false;
  filterOn = true;
  view->RebuildList();
  const int goodCrc = RowsWhere([&](const CCCPacket& p) { return !FilterPasses(p, filter); });
  ASSERT_GT(goodCrc, 0);
  EXPECT_EQ(Model().rowCount(), doc.Store().PacketCount() - goodCrc);
  for (int r = 0; r < Model().rowCount(); ++r) ASSERT_TRUE(FilterPasses(*Model().PacketAt(r), filter));
  filterOn = false;
  view->RebuildList();
  EXPECT_EQ(Model().rowCount(), doc.Store().PacketCount());
}

TEST_F(LogViewTest, MarkerCommandsColourRowsAndFollowTheEnablingRules) {
  using C = CZKLogView::RowCommand;
  EXPECT_FALSE(view->CommandEnabled(C::kSetMarker, -1));
  EXPECT_FALSE(view->CommandEnabled(C::kClearMarkerA, 3));
  EXPECT_FALSE(view->CommandEnabled(C::kClearAllMarkers, 3));
  EXPECT_TRUE(view->CommandEnabled(C::kOriginAbsolute, -1));

  view->RunCommand(C::kSetMarkerA, 2);
  view->RunCommand(C::kSetMarkerA, 4);
  EXPECT_EQ(doc.Store().MarkerA(), Model().PacketAt(4));
  EXPECT_EQ(Model().data(Model().index(4, 0), Qt::BackgroundRole).value<QColor>(), QColor(255, 128, 0));
  EXPECT_NE(Model().data(Model().index(2, 0), Qt::BackgroundRole).value<QColor>(), QColor(255, 128, 0));
  view->RunCommand(C::kSetMarker, 6);
  EXPECT_TRUE(view->CommandEnabled(C::kClearMarker, 6));
  EXPECT_FALSE(view->CommandEnabled(C::kSetMarker, 6));
  EXPECT_TRUE(doc.MarkersChanged());
  view->RunCommand(C::kClearAllMarkers, -1);
  EXPECT_FALSE(Model().PacketAt(6)->m_Marked);
}

TEST_F(LogViewTest, TimeOriginAtARowRebuildsTheRowsOnTheNewScale) {
  const std::int64_t t = Model().PacketAt(10)->m_Time;
  view->RunCommand(CZKLogView::RowCommand::kOriginCurrent, 10);
  EXPECT_EQ(doc.Store().m_TimeOrigin, t);
  EXPECT_EQ(Model().rowCount(), doc.Store().PacketCount());
  const int timestamp = Model().ListColumnOfId(2);
  EXPECT_EQ(Model().data(Model().index(10, timestamp), Qt::DisplayRole).toString().toStdString(),
            CellText(*Model().PacketAt(10), 2, false));
  EXPECT_EQ(Model().PacketAt(0)->m_IdleTime, Model().PacketAt(0)->m_Time - t);
  view->RunCommand(CZKLogView::RowCommand::kOriginAbsolute, -1);
  EXPECT_EQ(doc.Store().m_TimeOrigin, 0);
}

TEST_F(LogViewTest, ColumnRecordsDecideTheHeaderAndUserChangesAreReadBack) {
  // Show "Idle Time" first and the description second.
  auto& columns = settings.m_ColumnInfo;
  for (auto& c : columns) c.m_Order += 2;
  columns[1] = {1, 90, 0};
  columns[kDescriptionColumn].m_Order = 1;
  view->RebuildList(false);
  ASSERT_GE(Model().columnCount(), 2);
  EXPECT_EQ(Model().ColumnIds()[0], 1);
  EXPECT_EQ(Model().ColumnIds()[1], kDescriptionColumn);
  EXPECT_EQ(Model().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Idle Time"));
  EXPECT_EQ(view->horizontalHeader()->sectionSize(0), 90);

  // The user drags the description to the front and widens it; storing keeps both.
  view->horizontalHeader()->moveSection(1, 0);
  view->horizontalHeader()->resizeSection(1, 333);
  view->StoreSettings();
  EXPECT_EQ(columns[kDescriptionColumn].m_Order, 0);
  EXPECT_EQ(columns[kDescriptionColumn].m_Width, 333);
  EXPECT_EQ(columns[1].m_Order, 1);
  EXPECT_EQ(settings.m_AppSettings.m_MessageFontValid, 1);
}

TEST_F(LogViewTest, HeaderClicksSortAndKeepTheSelectedPacket) {
  view->SelectRow(3);
  const int index = view->SelectedPacket()->m_Index;
  SharedSortState() = ListSortState{};
  view->ClickHeader(0);  // descending by packet number
  EXPECT_EQ(Model().PacketAt(0)->m_Index, doc.Store().PacketCount() - 1);
  ASSERT_NE(view->SelectedPacket(), nullptr);
  EXPECT_EQ(view->SelectedPacket()->m_Index, index);
  view->ClickHeader(0);
  EXPECT_EQ(Model().PacketAt(0)->m_Index, 0);
}

}  // namespace
}  // namespace zk

#include <QFontMetrics>

#include "ui/log/packet_row_delegate.h"

namespace zk {
namespace {

TEST(PacketRowDelegate, TextsThatDoNotFitEndInDots) {
  const QFontMetrics metrics(QFont(QStringLiteral("DejaVu Sans"), 10));
  const QString text = QStringLiteral("Source_Capabilities");
  const int width = metrics.horizontalAdvance(text);
  // Column 0 needs 4 spare pixels, the others 12.
  EXPECT_EQ(FitCellText(text, metrics, width + 4, true), text);
  EXPECT_NE(FitCellText(text, metrics, width + 4, false), text);
  const QString cut = FitCellText(text, metrics, width / 2, false);
  EXPECT_TRUE(cut.endsWith(QStringLiteral("...")));
  EXPECT_TRUE(text.startsWith(cut.chopped(3)));
  EXPECT_LE(metrics.horizontalAdvance(cut) + 12, width / 2);
  EXPECT_EQ(FitCellText(text, metrics, 0, false), QStringLiteral("..."));
}

}  // namespace
}  // namespace zk
