#include "ui/detail/field_models.h"

#include <functional>
#include <iterator>

namespace zk {

void CFieldTreeModel::SetTree(FieldTree tree) {
  beginResetModel();
  m_Tree = std::move(tree);
  m_Nodes.clear();
  m_ChildNodes.assign(1, {});
  // Flatten once so that parent() and index() are lookups.
  std::function<void(const std::vector<FieldTreeItem>&, int)> walk = [&](const std::vector<FieldTreeItem>& items,
                                                                         int parentNode) {
    for (std::size_t r = 0; r < items.size(); ++r) {
      const int node = static_cast<int>(m_Nodes.size());
      m_Nodes.push_back({&items[r], parentNode, static_cast<int>(r)});
      m_ChildNodes.emplace_back();
      m_ChildNodes[static_cast<std::size_t>(parentNode + 1)].push_back(node);
      walk(items[r].m_Children, node);
    }
  };
  walk(m_Tree.m_Items, -1);
  endResetModel();
}

QModelIndex CFieldTreeModel::IndexOfCode(std::uint32_t code) const {
  for (std::size_t n = 0; n < m_Nodes.size(); ++n) {
    if (m_Nodes[n].item->m_Code == code) return createIndex(m_Nodes[n].row, 0, static_cast<quintptr>(n));
  }
  return {};
}

QModelIndex CFieldTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  const int parentNode = parent.isValid() ? static_cast<int>(parent.internalId()) : -1;
  if (parent.isValid() && parent.column() != 0) return {};
  const auto& children = m_ChildNodes[static_cast<std::size_t>(parentNode + 1)];
  if (row >= static_cast<int>(children.size())) return {};
  return createIndex(row, 0, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex CFieldTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  const int parentNode = m_Nodes[child.internalId()].parentNode;
  if (parentNode < 0) return {};
  return createIndex(m_Nodes[static_cast<std::size_t>(parentNode)].row, 0, static_cast<quintptr>(parentNode));
}

int CFieldTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() && parent.column() != 0) return 0;
  const int parentNode = parent.isValid() ? static_cast<int>(parent.internalId()) : -1;
  return static_cast<int>(m_ChildNodes[static_cast<std::size_t>(parentNode + 1)].size());
}

int CFieldTreeModel::columnCount(const QModelIndex& /*parent*/) const { return 1; }

QVariant CFieldTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const FieldTreeItem& item = *m_Nodes[index.internalId()].item;
  if (role == Qt::DisplayRole) return QString::fromStdString(item.m_Text);
  if (role == kCodeRole) return static_cast<qulonglong>(item.m_Code);
  return {};
}

void CFieldRowsModel::SetRows(std::vector<FieldRow> rows) {
  beginResetModel();
  m_Rows = std::move(rows);
  endResetModel();
}

int CFieldRowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_Rows.size());
}

int CFieldRowsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(std::size(kFieldColumns));
}

QVariant CFieldRowsModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const FieldRow& row = m_Rows[static_cast<std::size_t>(index.row())];
  const std::string* cells[] = {&row.m_Offset,      &row.m_Length, &row.m_Name, &row.m_Value,
                                &row.m_Description, &row.m_Hex,    &row.m_Ascii};
  return QString::fromStdString(*cells[index.column()]);
}

QVariant CFieldRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) return {};
  return QString::fromUtf8(kFieldColumns[section].m_Title);
}

}  // namespace zk
