// The packet detail pane: CPDPacketTreeView outlines the selected message, and
// CPDPacketListView breaks the part chosen in the tree into named bit fields.
#pragma once

#include <QTableView>
#include <QTreeView>

#include <cstdint>

#include "ui/detail/field_models.h"

namespace zk {

class CPDPacketTreeView : public QTreeView {
  Q_OBJECT

 public:
  explicit CPDPacketTreeView(QWidget* parent = nullptr);
  // Rebuilds the tree when the packet differs from the one shown.
  void ShowPacket(const CCCPacket* packet);
  const CCCPacket* Packet() const { return m_Packet; }
  std::uint32_t SelectionCode() const { return m_Code; }
  CFieldTreeModel* Model() const { return m_Model; }
  // Selects the item carrying code, as a click on it does.
  bool SelectCode(std::uint32_t code);

 signals:
  void selectionCodeChanged(const zk::CCCPacket* packet, std::uint32_t code);

 private:
  void ExpandMarked(const QModelIndex& parent);
  CFieldTreeModel* m_Model;
  const CCCPacket* m_Packet = nullptr;
  std::uint32_t m_Code = 0;
};

class CPDPacketListView : public QTableView {
 public:
  explicit CPDPacketListView(QWidget* parent = nullptr);
  void ShowFields(const CCCPacket* packet, std::uint32_t code);
  CFieldRowsModel* Model() const { return m_Model; }

 private:
  CFieldRowsModel* m_Model;
};

}  // namespace zk
