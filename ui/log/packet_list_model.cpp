#include "ui/log/packet_list_model.h"

#include <algorithm>
#include <mutex>
#include <numeric>
#include <string_view>

#include "pd/column_table.h"
#include "pd/message_header.h"
#include "pd/summary_fields.h"

namespace zk {

namespace {

// Column ids whose order is their numeric key; every other id sorts by its text.
constexpr bool kNumericSort[kSummaryFieldCount] = {
    true,  true,  true,  true,  true,  true,  true,  true,  false, false,  // 0-9
    false, false, true,  false, true,  true,  false, false, false, false,  // 10-19
    false, false, true,  true,  false, false, true,  true,  true,  true,   // 20-29
    true,  true,  false, false, false, false, false, true,                 // 30-37
};

std::u16string_view Utf16(const QString& s) {
  return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

}  // namespace

QString CutCellText(const QString& text) {
  if (text.size() <= static_cast<qsizetype>(kMaxCellText)) return text;
  const qsizetype keep = static_cast<qsizetype>(kCellTextKeep);
  return text.left(keep) + QStringLiteral("...") + text.right(keep);
}

bool SortsNumerically(int columnId) { return columnId >= 0 && columnId < kSummaryFieldCount && kNumericSort[columnId]; }

QColor RowBackground(const CCCPacket& packet, int row, RowState state) {
  if (state.selected) return QColor(100, 100, 255);
  if (state.markerA) return QColor(255, 128, 0);
  if (state.markerB) return QColor(255, 0, 128);
  if (IsInvalidPacket(packet)) return QColor(255, 0, 0);
  if (IsReset(packet)) return QColor(255, 255, 0);
  if (packet.m_Marked) return QColor(200, 200, 0);
  return row % 2 == 0 ? QColor(240, 240, 240) : QColor(255, 255, 255);
}

std::optional<QColor> RowTextColour(const CCCPacket& packet) {
  std::optional<QColor> colour;
  if (packet.m_EdgeCount == 0) colour = QColor(0, 0, 100);
  switch (packet.m_Side) {
    case 1: colour = QColor(0, 0, 255); break;
    case 2: colour = QColor(0, 100, 100); break;
    case 3: colour = QColor(100, 100, 0); break;
    case -1: colour = QColor(255, 0, 0); break;
    default: break;
  }
  return colour;
}

CPacketListModel::CPacketListModel(CZKDoc& doc, QObject* parent) : QAbstractTableModel(parent), m_Doc(doc) {}

void CPacketListModel::SetColumns(std::vector<int> columnIds) {
  beginResetModel();
  m_ColumnIds = std::move(columnIds);
  m_Rows.clear();
  m_NextPacket = 0;
  m_PrevEnd = 0;
  m_SelectedRow = m_MarkerARow = m_MarkerBRow = -1;
  ++m_Generation;
  endResetModel();
}

int CPacketListModel::ListColumnOfId(int columnId) const {
  const auto it = std::find(m_ColumnIds.begin(), m_ColumnIds.end(), columnId);
  return it == m_ColumnIds.end() ? -1 : static_cast<int>(it - m_ColumnIds.begin());
}

void CPacketListModel::SetDisplayFilter(const PacketCriteria* criteria, const bool* filterOn) {
  m_Filter = criteria;
  m_FilterOn = filterOn;
}

void CPacketListModel::ResetRows() {
  beginResetModel();
  m_Rows.clear();
  m_NextPacket = 0;
  m_PrevEnd = 0;
  m_SelectedRow = m_MarkerARow = m_MarkerBRow = -1;
  endResetModel();
}

int CPacketListModel::AppendNewPackets() {
  CaptureStore& store = m_Doc.Store();
  std::lock_guard<std::mutex> lock(store.Lock());
  if (store.m_PacketsRemoved) {
    store.m_PacketsRemoved = false;
    ResetRows();
  }
  const int count = store.PacketCount();
  const bool filterOn = m_Filter != nullptr && m_FilterOn != nullptr && *m_FilterOn;
  std::vector<Row> fresh;
  int lastPercent = -1;
  for (int i = m_NextPacket; i < count; ++i) {
    m_NextPacket = i + 1;
    CCCPacket* p = store.PacketAt(i);
    if (p == nullptr) break;
    if (!store.m_Recording && m_StatusText) {
      const int percent = static_cast<int>((static_cast<std::int64_t>(i) + 1) * 100 / count);
      if (percent != lastPercent) {
        lastPercent = percent;
        m_StatusText("Building PD Messages... " + std::to_string(percent) + "%");
      }
    }
    // Every packet advances the idle clock, listed or not. The product is taken in 64 bits:
    // a long packet at a large divider would overflow 32.
    const std::int64_t shown = p->m_Time - store.m_TimeOrigin;
    const std::int64_t duration = static_cast<std::int64_t>(p->m_TotalTicks) * p->m_TickDiv / 48;
    p->m_IdleTime = shown - m_PrevEnd;
    m_PrevEnd = shown + duration;
    if (filterOn && DisplayFilterHides(*p, *m_Filter, true, m_InvertCurrent)) continue;
    if (m_ColumnIds.empty()) continue;
    const int row = static_cast<int>(m_Rows.size() + fresh.size());
    if (p == store.MarkerA()) m_MarkerARow = row;
    if (p == store.MarkerB()) m_MarkerBRow = row;
    fresh.push_back(Row{p, 0, {}});
  }
  if (fresh.empty()) return 0;
  const int first = static_cast<int>(m_Rows.size());
  beginInsertRows({}, first, first + static_cast<int>(fresh.size()) - 1);
  m_Rows.insert(m_Rows.end(), std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
  endInsertRows();
  return static_cast<int>(fresh.size());
}

void CPacketListModel::InvalidateCells() {
  ++m_Generation;
  if (!m_Rows.empty() && !m_ColumnIds.empty()) {
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
  }
}

CCCPacket* CPacketListModel::PacketAt(int row) const {
  if (row < 0 || row >= static_cast<int>(m_Rows.size())) return nullptr;
  return m_Rows[static_cast<std::size_t>(row)].packet;
}

int CPacketListModel::FindRowOfPacket(int packetIndex) const {
  for (std::size_t r = 0; r < m_Rows.size(); ++r) {
    if (m_Rows[r].packet->m_Index == packetIndex) return static_cast<int>(r);
  }
  return -1;
}

bool CPacketListModel::Matches(int row) const {
  const CCCPacket* p = PacketAt(row);
  return p != nullptr && m_Find != nullptr && FindMatch(*p, *m_Find, m_InvertCurrent).has_value();
}

void CPacketListModel::RowChanged(int row) {
  if (row < 0 || row >= rowCount() || m_ColumnIds.empty()) return;
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void CPacketListModel::SetSelectedRow(int row) {
  const int old = m_SelectedRow;
  m_SelectedRow = row;
  RowChanged(old);
  RowChanged(row);
}

void CPacketListModel::SetMarkerARow(int row) {
  const int old = m_MarkerARow;
  m_MarkerARow = row;
  RowChanged(old);
  RowChanged(row);
}

void CPacketListModel::SetMarkerBRow(int row) {
  const int old = m_MarkerBRow;
  m_MarkerBRow = row;
  RowChanged(old);
  RowChanged(row);
}

void CPacketListModel::FindMarkerRows() {
  const CaptureStore& store = m_Doc.Store();
  m_MarkerARow = m_MarkerBRow = -1;
  for (std::size_t r = 0; r < m_Rows.size(); ++r) {
    if (m_Rows[r].packet == store.MarkerA()) m_MarkerARow = static_cast<int>(r);
    if (m_Rows[r].packet == store.MarkerB()) m_MarkerBRow = static_cast<int>(r);
  }
}

void CPacketListModel::SortByListColumn(int listColumn, bool descending) {
  if (listColumn < 0 || listColumn >= columnCount() || m_Rows.size() < 2) return;
  const int id = m_ColumnIds[static_cast<std::size_t>(listColumn)];
  const CCCPacket* selected = PacketAt(m_SelectedRow);
  std::vector<std::size_t> order(m_Rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (SortsNumerically(id)) {
    std::vector<std::int64_t> keys(m_Rows.size());
    for (std::size_t r = 0; r < m_Rows.size(); ++r) keys[r] = NumericKey(*m_Rows[r].packet, id);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return descending ? keys[b] < keys[a] : keys[a] < keys[b]; });
  } else {
    // Texts compare by UTF-16 code unit, case kept, and without the current inversion.
    std::vector<QString> keys(m_Rows.size());
    for (std::size_t r = 0; r < m_Rows.size(); ++r) {
      keys[r] = CutCellText(QString::fromStdString(CellText(*m_Rows[r].packet, id, false)));
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return descending ? Utf16(keys[b]) < Utf16(keys[a]) : Utf16(keys[a]) < Utf16(keys[b]);
    });
  }
  beginResetModel();
  std::vector<Row> sorted;
  sorted.reserve(m_Rows.size());
  for (std::size_t r : order) sorted.push_back(std::move(m_Rows[r]));
  m_Rows = std::move(sorted);
  FindMarkerRows();
  m_SelectedRow = -1;
  if (selected != nullptr) m_SelectedRow = FindRowOfPacket(selected->m_Index);
  endResetModel();
}

int CPacketListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_Rows.size());
}

int CPacketListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_ColumnIds.size());
}

const QString& CPacketListModel::Cell(const Row& row, int listColumn) const {
  if (row.generation != m_Generation) {
    row.cells.resize(m_ColumnIds.size());
    for (std::size_t c = 0; c < m_ColumnIds.size(); ++c) {
      row.cells[c] = CutCellText(QString::fromStdString(CellText(*row.packet, m_ColumnIds[c], m_InvertCurrent)));
    }
    row.generation = m_Generation;
  }
  return row.cells[static_cast<std::size_t>(listColumn)];
}

QVariant CPacketListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  const Row& row = m_Rows[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return Cell(row, index.column());
    case Qt::BackgroundRole: {
      const CaptureStore& store = m_Doc.Store();
      RowState state{index.row() == m_SelectedRow, row.packet == store.MarkerA(), row.packet == store.MarkerB()};
      return RowBackground(*row.packet, index.row(), state);
    }
    case Qt::ForegroundRole: {
      const std::optional<QColor> colour = RowTextColour(*row.packet);
      return colour ? QVariant(*colour) : QVariant();
    }
    case kPacketRole: return QVariant::fromValue(reinterpret_cast<quintptr>(row.packet));
    case kFindColumnRole: {
      if (m_Find == nullptr) return -1;
      const std::optional<int> id = FindMatch(*row.packet, *m_Find, m_InvertCurrent);
      return id ? ListColumnOfId(*id) : -1;
    }
    default: return {};
  }
}

QVariant CPacketListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) return {};
  const ColumnDefinition* column = FindColumn(m_ColumnIds[static_cast<std::size_t>(section)]);
  return column != nullptr ? QString::fromUtf8(column->title) : QString();
}

}  // namespace zk
