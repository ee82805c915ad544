#include "ui/log/zk_log_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>

#include "ui/log/log_font.h"
#include "ui/log/packet_row_delegate.h"

namespace zk {

bool ListSortState::Click(int listColumn) {
  const bool descending = listColumn == lastColumn && !lastDescending;
  lastColumn = listColumn;
  lastDescending = descending;
  return descending;
}

ListSortState& SharedSortState() {
  static ListSortState state;
  return state;
}

namespace {
// Row count seen by the last automatic scroll, shared by every list.
int g_AutoScrollCount = 0;
}  // namespace

// Column building on the model and the view's header: ids collect while the columns are
// built, then become the model's columns with their widths in one go.
class CZKLogView::HeaderAdapter : public ListColumnHeader {
 public:
  HeaderAdapter(CPacketListModel& model, QHeaderView& header) : m_Model(model), m_Header(header) {}

  void RemoveAllColumns() override {
    m_Ids.clear();
    m_Widths.clear();
  }
  int AppendColumn(const std::string& /*title*/, int width, int columnId) override {
    m_Ids.push_back(columnId);
    m_Widths.push_back(width);
    return static_cast<int>(m_Ids.size()) - 1;
  }
  int ColumnCount() const override { return static_cast<int>(m_Ids.size()); }
  int ColumnWidth(int listColumn) const override {
    if (listColumn < 0 || listColumn >= m_Header.count()) return 0;
    return m_Header.sectionSize(listColumn);
  }
  std::vector<int> ColumnOrder() const override {
    std::vector<int> order;
    for (int v = 0; v < m_Header.count(); ++v) order.push_back(m_Header.logicalIndex(v));
    return order;
  }
  void Commit() {
    m_Model.SetColumns(m_Ids);
    for (int i = 0; i < m_Header.count(); ++i) {
      const int visual = m_Header.visualIndex(i);
      if (visual != i) m_Header.moveSection(visual, i);
      m_Header.resizeSection(i, std::max(m_Widths[static_cast<std::size_t>(i)], 0));
    }
  }

 private:
  CPacketListModel& m_Model;
  QHeaderView& m_Header;
  std::vector<int> m_Ids;
  std::vector<int> m_Widths;
};

CZKLogView::CZKLogView(CZKDoc& doc, AppSettings& settings, QWidget* parent)
    : QTableView(parent), m_Doc(doc), m_Settings(settings), m_Model(new CPacketListModel(doc, this)) {
  m_ColumnIndex.fill(kColumnNotShown);
  setModel(m_Model);
  setItemDelegate(new CPacketRowDelegate(this));
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setShowGrid(true);
  setWordWrap(false);
  setSortingEnabled(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setSectionsMovable(true);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setHighlightSections(false);
  m_HeaderAdapter = std::make_unique<HeaderAdapter>(*m_Model, *horizontalHeader());
  m_Message = [this](const QString& text) { QMessageBox::information(this, QStringLiteral("PD Zelkor"), text); };

  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { OnCurrentChanged(current); });
  connect(m_Model, &QAbstractItemModel::modelReset, this, [this] { OnModelReset(); });
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int logical) { ClickHeader(logical); });
  connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    const CCCPacket* p = m_Model->PacketAt(index.row());
    if (p != nullptr) emit centreOnTime(p->m_Time - m_Doc.Store().m_TimeOrigin);
  });
  m_Doc.AddObserver(this);
}

CZKLogView::~CZKLogView() { m_Doc.RemoveObserver(this); }

void CZKLogView::SetCriteria(const PacketCriteria* find, const PacketCriteria* filter, const bool* filterOn) {
  m_Model->SetFindCriteria(find);
  m_Model->SetDisplayFilter(filter, filterOn);
}

void CZKLogView::SetStatusText(std::function<void(const std::string&)> f) { m_Model->SetStatusText(std::move(f)); }

void CZKLogView::InitialUpdate() {
  if (m_ColumnsBuilt) {
    AppendNewPackets();
    return;
  }
  const WindowLayout& layout = m_Settings.m_AppSettings;
  if (layout.m_MessageFontValid) SetListFont(QFontOfLogFont(layout.m_MessageFont, font()));
  RebuildList(false);
}

void CZKLogView::RebuildList(bool keepHeader) {
  m_Model->SetInvertCurrent(m_Settings.m_VbusCurrDirReverse);
  const CCCPacket* selected = SelectedPacket();
  const int selectedIndex = selected != nullptr ? selected->m_Index : -1;
  if (keepHeader && m_ColumnsBuilt) ReadBackColumns(*m_HeaderAdapter, m_ColumnIndex, m_Settings.m_ColumnInfo);
  m_ColumnIndex = BuildListColumns(*m_HeaderAdapter, m_Settings.m_ColumnInfo);
  m_HeaderAdapter->Commit();
  m_ColumnsBuilt = true;
  m_Model->ResetRows();
  m_Model->AppendNewPackets();
  if (selectedIndex >= 0) {
    const int row = m_Model->FindRowOfPacket(selectedIndex);
    if (row >= 0) {
      SelectRow(row);
      ShowRow(row);
    }
  }
}

void CZKLogView::AppendNewPackets() {
  if (!m_ColumnsBuilt) return;
  m_Model->AppendNewPackets();
}

CCCPacket* CZKLogView::SelectedPacket() const { return m_Model->PacketAt(m_Model->SelectedRow()); }

void CZKLogView::SelectRow(int row) {
  if (row < 0 || row >= m_Model->rowCount() || m_Model->columnCount() == 0) return;
  selectionModel()->setCurrentIndex(m_Model->index(row, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CZKLogView::ShowRow(int row) {
  const int count = m_Model->rowCount();
  if (row < 0 || row >= count || m_Model->columnCount() == 0) return;
  const int column = std::max(columnAt(0), 0);
  scrollTo(m_Model->index(row, column));
  if (row + 1 < count) scrollTo(m_Model->index(row + 1, column));
  if (row > 0) scrollTo(m_Model->index(row - 1, column));
}

bool CZKLogView::FindStep(int direction) {
  const std::optional<int> row = FindStepRow(m_Model->rowCount(), m_Model->SelectedRow(), direction,
                                             [this](int r) { return m_Model->Matches(r); });
  if (!row) {
    if (m_Message) m_Message(QStringLiteral("Message Not Found."));
    return false;
  }
  SelectRow(*row);
  setFocus();
  ShowRow(*row);
  return true;
}

void CZKLogView::SetListFont(const QFont& f) {
  setFont(f);
  verticalHeader()->setDefaultSectionSize(QFontMetrics(f).height() + 4);
  m_Model->RowChanged(-1);
  viewport()->update();
}

void CZKLogView::StoreSettings() {
  if (m_ColumnsBuilt) ReadBackColumns(*m_HeaderAdapter, m_ColumnIndex, m_Settings.m_ColumnInfo);
  m_Settings.m_AppSettings.m_MessageFont = LogFontOfQFont(font());
  m_Settings.m_AppSettings.m_MessageFontValid = 1;
}

void CZKLogView::ClickHeader(int listColumn) {
  if (listColumn < 0 || listColumn >= m_Model->columnCount()) return;
  const bool descending = SharedSortState().Click(listColumn);
  m_Model->SortByListColumn(listColumn, descending);
  const int row = m_Model->SelectedRow();
  if (row >= 0) {
    SelectRow(row);
    ShowRow(row);
  }
}

void CZKLogView::OnCurrentChanged(const QModelIndex& current) {
  if (!current.isValid()) return;
  const int row = current.row();
  m_Model->SetSelectedRow(row);
  emit packetSelected(m_Model->PacketAt(row));
}

void CZKLogView::OnModelReset() { emit packetSelected(nullptr); }

void CZKLogView::AutoScroll() {
  if (!m_AutoScrollQuery || !m_AutoScrollQuery()) return;
  const int count = m_Model->rowCount();
  if (count > 0 && count != g_AutoScrollCount) ShowRow(count - 1);
  g_AutoScrollCount = count;
}

void CZKLogView::OnContentsDeleted() { m_Model->ResetRows(); }

void CZKLogView::OnUpdateAllViews() {
  AppendNewPackets();
  AutoScroll();
}

void CZKLogView::OnTimeOriginChanged(std::int64_t /*delta*/) { m_Model->ResetRows(); }

bool CZKLogView::CommandEnabled(RowCommand command, int row) const {
  const CCCPacket* p = m_Model->PacketAt(row);
  switch (command) {
    case RowCommand::kSetMarker: return p != nullptr && !p->m_Marked;
    case RowCommand::kClearMarker: return p != nullptr && p->m_Marked;
    case RowCommand::kClearAllMarkers:
      for (int r = 0; r < m_Model->rowCount(); ++r) {
        if (m_Model->PacketAt(r)->m_Marked) return true;
      }
      return false;
    case RowCommand::kSetMarkerA:
    case RowCommand::kSetMarkerB:
    case RowCommand::kOriginCurrent: return p != nullptr;
    case RowCommand::kClearMarkerA: return m_Model->MarkerARow() != -1;
    case RowCommand::kClearMarkerB: return m_Model->MarkerBRow() != -1;
    case RowCommand::kOriginAbsolute:
    case RowCommand::kColumnSettings: return true;
  }
  return false;
}

void CZKLogView::RunCommand(RowCommand command, int row) {
  if (!CommandEnabled(command, row)) return;
  CCCPacket* p = m_Model->PacketAt(row);
  CaptureStore& store = m_Doc.Store();
  bool marker = true;
  switch (command) {
    case RowCommand::kSetMarker:
      p->m_Marked = 1;
      m_Model->RowChanged(row);
      break;
    case RowCommand::kClearMarker:
      p->m_Marked = 0;
      m_Model->RowChanged(row);
      break;
    case RowCommand::kClearAllMarkers:
      for (int r = 0; r < m_Model->rowCount(); ++r) m_Model->PacketAt(r)->m_Marked = 0;
      m_Model->RowChanged(-1);
      viewport()->update();
      break;
    case RowCommand::kSetMarkerA:
      store.SetMarkerA(p);
      m_Model->SetMarkerARow(row);
      break;
    case RowCommand::kClearMarkerA:
      store.SetMarkerA(nullptr);
      m_Model->SetMarkerARow(-1);
      break;
    case RowCommand::kSetMarkerB:
      store.SetMarkerB(p);
      m_Model->SetMarkerBRow(row);
      break;
    case RowCommand::kClearMarkerB:
      store.SetMarkerB(nullptr);
      m_Model->SetMarkerBRow(-1);
      break;
    case RowCommand::kOriginCurrent:
    case RowCommand::kOriginAbsolute:
      marker = false;
      m_Doc.SetMarkersChanged();
      m_Doc.SetTimeOrigin(command == RowCommand::kOriginCurrent ? p->m_Time : 0, false);
      if (row != -1) ShowRow(row);
      return;
    case RowCommand::kColumnSettings: emit columnSettingsRequested(); return;
  }
  if (marker) {
    m_Doc.SetMarkersChanged();
    emit markersChanged();
  }
}

QMenu* CZKLogView::MakeContextMenu(int row, QWidget* parent) {
  auto* menu = new QMenu(parent);
  auto add = [this, menu, row](QMenu* into, const char* text, RowCommand command) {
    QAction* action = into->addAction(QString::fromUtf8(text));
    action->setEnabled(CommandEnabled(command, row));
    connect(action, &QAction::triggered, this, [this, command, row] { RunCommand(command, row); });
  };
  add(menu, "Set Marker", RowCommand::kSetMarker);
  add(menu, "Clear Marker", RowCommand::kClearMarker);
  add(menu, "Clear All Markers", RowCommand::kClearAllMarkers);
  menu->addSeparator();
  add(menu, "Set Marker A", RowCommand::kSetMarkerA);
  add(menu, "Clear Marker A", RowCommand::kClearMarkerA);
  menu->addSeparator();
  add(menu, "Set Marker B", RowCommand::kSetMarkerB);
  add(menu, "Clear Marker B", RowCommand::kClearMarkerB);
  menu->addSeparator();
  QMenu* origin = menu->addMenu(QStringLiteral("Set Time Stamp Origin"));
  add(origin, "Absolute", RowCommand::kOriginAbsolute);
  add(origin, "Current Position", RowCommand::kOriginCurrent);
  menu->addSeparator();
  add(menu, "Column Settings", RowCommand::kColumnSettings);
  return menu;
}

void CZKLogView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) m_ContextRow = rowAt(event->position().toPoint().y());
  QTableView::mousePressEvent(event);
}

void CZKLogView::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() != QContextMenuEvent::Mouse) m_ContextRow = m_Model->SelectedRow();
  QMenu* menu = MakeContextMenu(m_ContextRow, this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

}  // namespace zk

namespace zk {
ListColumnHeader& CZKLogView::Header() { return *m_HeaderAdapter; }
}  // namespace zk
