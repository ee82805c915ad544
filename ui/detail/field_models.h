// Models of the packet detail pane: the outline of one message as a tree whose items carry
// their selection codes, and the rows of named bit fields for one selection.
#pragma once

#include <QAbstractItemModel>
#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

#include "pd/field_breakdown.h"

namespace zk {

class CFieldTreeModel : public QAbstractItemModel {
 public:
  static constexpr int kCodeRole = Qt::UserRole + 1;
  using QAbstractItemModel::QAbstractItemModel;

  void SetTree(FieldTree tree);
  const FieldTree& Tree() const { return m_Tree; }
  // The index of the first item carrying code; invalid when none does.
  QModelIndex IndexOfCode(std::uint32_t code) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  // Items are addressed by their path of rows; the internal id numbers a node of m_Nodes.
  struct Node {
    const FieldTreeItem* item;
    int parentNode;  // -1 for top-level items
    int row;
  };
  const std::vector<FieldTreeItem>& ChildrenOf(int node) const;
  int NodeOf(int parentNode, int row) const;
  FieldTree m_Tree;
  std::vector<Node> m_Nodes;
  std::vector<std::vector<int>> m_ChildNodes = std::vector<std::vector<int>>(1);  // [0]: top level, node n at n + 1
};

class CFieldRowsModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;
  void SetRows(std::vector<FieldRow> rows);
  const std::vector<FieldRow>& Rows() const { return m_Rows; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<FieldRow> m_Rows;
};

}  // namespace zk
