#include "ui/list/column_model.h"

#include <algorithm>
#include <cstddef>

#include "pd/column_table.h"

namespace zk {

static_assert(kColumnCount == kSummaryFieldCount, "one column record per summary field");

namespace {

std::size_t At(int id) { return static_cast<std::size_t>(id); }

// Display position p shows the lowest shown id whose Order is p; none when no shown id has it.
int ShownIdAt(const ColumnRecords& records, int position) {
  for (int id = 0; id < kColumnCount; ++id) {
    const ColumnInfo& record = records[At(id)];
    if (record.m_Show != 0 && record.m_Order == position) return id;
  }
  return kColumnNotShown;
}

int DisplayPosition(const std::vector<int>& order, int listColumn) {
  const auto it = std::find(order.begin(), order.end(), listColumn);
  return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}

// All ids by a per-id position, equal positions by ascending id.
template <typename PositionOf>
std::vector<int> IdsByPosition(PositionOf positionOf) {
  std::vector<int> ids(kColumnCount);
  for (int id = 0; id < kColumnCount; ++id) ids[At(id)] = id;
  std::stable_sort(ids.begin(), ids.end(), [&](int a, int b) { return positionOf(a) < positionOf(b); });
  return ids;
}

}  // namespace

ColumnIndexMap BuildListColumns(ListColumnHeader& header, const ColumnRecords& records) {
  ColumnIndexMap columnIndex;
  columnIndex.fill(kColumnNotShown);
  header.RemoveAllColumns();
  for (int position = 0; position < kColumnCount; ++position) {
    const int id = ShownIdAt(records, position);
    if (id == kColumnNotShown) continue;
    columnIndex[At(id)] = header.AppendColumn(FindColumn(id)->title, records[At(id)].m_Width, id);
  }
  return columnIndex;
}

void ReadBackColumns(const ListColumnHeader& header, const ColumnIndexMap& columnIndex, ColumnRecords& records) {
  const int count = header.ColumnCount();
  const std::vector<int> order = header.ColumnOrder();
  for (int id = 0; id < kColumnCount; ++id) {
    ColumnInfo& record = records[At(id)];
    const int listColumn = columnIndex[At(id)];
    const int position = (listColumn >= 0 && listColumn < count) ? DisplayPosition(order, listColumn) : -1;
    if (position < 0) {
      record.m_Show = 0;
      continue;
    }
    record.m_Show = 1;
    record.m_Width = header.ColumnWidth(listColumn);
    record.m_Order = position;
  }
}

void CColumnSettingsModel::Open(const ListColumnHeader& header, const ColumnIndexMap& columnIndex,
                                ColumnRecords& records) {
  ReadBackColumns(header, columnIndex, records);
  m_Order = IdsByPosition([&](int id) { return records[At(id)].m_Order; });
  for (int id = 0; id < kColumnCount; ++id) {
    m_Show[At(id)] = records[At(id)].m_Show != 0;
    m_Width[At(id)] = records[At(id)].m_Width;
  }
  // The packet number is offered again every time, so a hidden "#" is easy to bring back.
  m_Show[0] = true;
  m_Selected.fill(false);
  Refresh();
}

void CColumnSettingsModel::TakeSelection(const std::vector<int>& selectedRows) {
  m_Selected.fill(false);
  for (int row : selectedRows) {
    if (row >= 0 && row < static_cast<int>(m_Order.size())) m_Selected[At(m_Order[At(row)])] = true;
  }
}

void CColumnSettingsModel::Up(const std::vector<int>& selectedRows) {
  TakeSelection(selectedRows);
  const auto first = std::find_if(m_Order.begin(), m_Order.end(), [&](int id) { return m_Selected[At(id)]; });
  if (first == m_Order.end()) return;
  // The block of selected rows lands one row above the first of them.
  const auto from = first == m_Order.begin() ? first : first - 1;
  std::stable_partition(from, m_Order.end(), [&](int id) { return m_Selected[At(id)]; });
  Refresh();
}

void CColumnSettingsModel::Down(const std::vector<int>& selectedRows) {
  TakeSelection(selectedRows);
  const auto last = std::find_if(m_Order.rbegin(), m_Order.rend(), [&](int id) { return m_Selected[At(id)]; });
  if (last == m_Order.rend()) return;
  // Rows up to the one below the last selected: unselected first, then the selected block.
  auto end = last.base();
  if (end != m_Order.end()) ++end;
  std::stable_partition(m_Order.begin(), end, [&](int id) { return !m_Selected[At(id)]; });
  Refresh();
}

void CColumnSettingsModel::SetSelectedShown(const std::vector<int>& selectedRows, bool shown) {
  TakeSelection(selectedRows);
  for (int id = 0; id < kColumnCount; ++id) {
    if (m_Selected[At(id)]) m_Show[At(id)] = shown;
  }
  Refresh();
}

void CColumnSettingsModel::Show(const std::vector<int>& selectedRows) { SetSelectedShown(selectedRows, true); }

void CColumnSettingsModel::Hide(const std::vector<int>& selectedRows) { SetSelectedShown(selectedRows, false); }

void CColumnSettingsModel::LoadDefaults(const std::vector<int>& selectedRows) {
  TakeSelection(selectedRows);
  for (int id = 0; id < kColumnCount; ++id) {
    const ColumnInfo record = *DefaultColumnInfo(id);
    m_Show[At(id)] = record.m_Show != 0;
    m_Width[At(id)] = record.m_Width;
  }
  m_Order = IdsByPosition([](int id) { return DefaultColumnInfo(id)->m_Order; });
  Refresh();
}

void CColumnSettingsModel::Ok(const std::vector<int>& selectedRows, ColumnRecords& records) {
  TakeSelection(selectedRows);
  int next = 0;
  for (bool shownPass : {true, false}) {
    for (int id : m_Order) {
      if (m_Show[At(id)] != shownPass) continue;
      records[At(id)].m_Show = shownPass ? 1 : 0;
      records[At(id)].m_Order = next++;
    }
  }
}

void CColumnSettingsModel::Refresh() {
  std::stable_partition(m_Order.begin(), m_Order.end(), [&](int id) { return m_Show[At(id)]; });
  m_Rows.clear();
  m_Rows.reserve(m_Order.size());
  for (std::size_t row = 0; row < m_Order.size(); ++row) {
    const int id = m_Order[row];
    const ColumnDefinition& column = *FindColumn(id);
    const bool shown = m_Show[At(id)];
    m_Rows.push_back({.columnId = id,
                      .order = shown ? std::to_string(row) : std::string(),
                      .title = column.title,
                      .description = column.description,
                      .width = std::to_string(m_Width[At(id)]),
                      .showHide = shown ? "Show" : "Hide",
                      .selected = m_Selected[At(id)]});
  }
}

}  // namespace zk
