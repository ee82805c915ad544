#include "ui/detail/packet_detail_views.h"

#include <QHeaderView>

#include <iterator>

namespace zk {

CPDPacketTreeView::CPDPacketTreeView(QWidget* parent) : QTreeView(parent), m_Model(new CFieldTreeModel(this)) {
  setModel(m_Model);
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setItemsExpandable(true);
  setDragEnabled(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    if (!current.isValid()) return;
    m_Code = static_cast<std::uint32_t>(current.data(CFieldTreeModel::kCodeRole).toULongLong());
    emit selectionCodeChanged(m_Packet, m_Code);
  });
}

void CPDPacketTreeView::ExpandMarked(const QModelIndex& parent) {
  for (int r = 0; r < m_Model->rowCount(parent); ++r) {
    const QModelIndex child = m_Model->index(r, 0, parent);
    ExpandMarked(child);
  }
  if (!parent.isValid()) return;
  // Walk the same path in the plain tree to read the expanded flag.
  std::vector<int> path;
  for (QModelIndex i = parent; i.isValid(); i = i.parent()) path.insert(path.begin(), i.row());
  const std::vector<FieldTreeItem>* items = &m_Model->Tree().m_Items;
  const FieldTreeItem* item = nullptr;
  for (int row : path) {
    item = &(*items)[static_cast<std::size_t>(row)];
    items = &item->m_Children;
  }
  if (item != nullptr && item->m_Expanded) expand(parent);
}

void CPDPacketTreeView::ShowPacket(const CCCPacket* packet) {
  if (packet == m_Packet && packet != nullptr) return;
  m_Packet = packet;
  m_Code = 0;
  FieldTree tree = BuildFieldTree(packet);
  const std::uint32_t selected = tree.m_SelectedCode;
  {
    const QSignalBlocker block(selectionModel());
    m_Model->SetTree(std::move(tree));
  }
  ExpandMarked({});
  if (m_Model->rowCount() > 0) expand(m_Model->index(0, 0));
  if (selected != 0 && SelectCode(selected)) {
    scrollTo(currentIndex());
    return;
  }
  emit selectionCodeChanged(m_Packet, m_Code);
}

bool CPDPacketTreeView::SelectCode(std::uint32_t code) {
  const QModelIndex index = m_Model->IndexOfCode(code);
  if (!index.isValid()) return false;
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  return true;
}

CPDPacketListView::CPDPacketListView(QWidget* parent) : QTableView(parent), m_Model(new CFieldRowsModel(this)) {
  setModel(m_Model);
  setShowGrid(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setSectionsMovable(true);
  for (int c = 0; c < static_cast<int>(std::size(kFieldColumns)); ++c) {
    horizontalHeader()->resizeSection(c, kFieldColumns[c].m_Width);
  }
}

void CPDPacketListView::ShowFields(const CCCPacket* packet, std::uint32_t code) {
  m_Model->SetRows(BuildFieldRows(packet, code));
}

}  // namespace zk
