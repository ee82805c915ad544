// The packet list as a Qt table model over the document's store: a row per listed packet,
// the shown column ids as columns, cell texts made once per row and kept until the
// generation moves on, and the row colours that flag errors, resets, markers and the selection.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "record/document.h"
#include "ui/list/find_filter.h"

namespace zk {

// Texts longer than this are kept as their head, "..." and their tail.
constexpr std::size_t kMaxCellText = 260;
constexpr std::size_t kCellTextKeep = 120;
QString CutCellText(const QString& text);

// Whether column id k sorts by its numeric key (otherwise by its text).
bool SortsNumerically(int columnId);

// Row colours; the selection and the markers come first, then the packet's own state.
struct RowState {
  bool selected = false;
  bool markerA = false;
  bool markerB = false;
};
QColor RowBackground(const CCCPacket& packet, int row, RowState state);
// Nothing for the platform's normal text colour.
std::optional<QColor> RowTextColour(const CCCPacket& packet);

class CPacketListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Role {
    kPacketRole = Qt::UserRole + 1,  // CCCPacket* as quintptr
    kFindColumnRole,                 // list column whose cell the find criteria name, or -1
  };

  explicit CPacketListModel(CZKDoc& doc, QObject* parent = nullptr);

  // The shown column ids in list column order, with their titles; empties the rows.
  void SetColumns(std::vector<int> columnIds);
  const std::vector<int>& ColumnIds() const { return m_ColumnIds; }
  int ListColumnOfId(int columnId) const;

  void SetInvertCurrent(bool invert) { m_InvertCurrent = invert; }
  bool InvertCurrent() const { return m_InvertCurrent; }
  // Criteria are owned by the main window and outlive the model.
  void SetDisplayFilter(const PacketCriteria* criteria, const bool* filterOn);
  void SetFindCriteria(const PacketCriteria* criteria) { m_Find = criteria; }
  void SetStatusText(std::function<void(const std::string&)> f) { m_StatusText = std::move(f); }

  // Forgets every row; the next append starts again at the first packet.
  void ResetRows();
  // Rows for the packets that entered the store since the last call, in one insert.
  int AppendNewPackets();
  // Every cached cell text is made again when next asked for.
  void InvalidateCells();

  CCCPacket* PacketAt(int row) const;
  int FindRowOfPacket(int packetIndex) const;
  bool Matches(int row) const;

  int SelectedRow() const { return m_SelectedRow; }
  void SetSelectedRow(int row);
  int MarkerARow() const { return m_MarkerARow; }
  int MarkerBRow() const { return m_MarkerBRow; }
  void SetMarkerARow(int row);
  void SetMarkerBRow(int row);
  void RowChanged(int row);

  // Stable sort of every row by the column id shown in a list column.
  void SortByListColumn(int listColumn, bool descending);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  struct Row {
    CCCPacket* packet = nullptr;
    mutable std::uint32_t generation = 0;  // 0: never made
    mutable std::vector<QString> cells;
  };

  const QString& Cell(const Row& row, int listColumn) const;
  void FindMarkerRows();

  CZKDoc& m_Doc;
  std::vector<int> m_ColumnIds;
  std::vector<Row> m_Rows;
  std::uint32_t m_Generation = 1;
  int m_NextPacket = 0;
  std::int64_t m_PrevEnd = 0;
  bool m_InvertCurrent = false;
  const PacketCriteria* m_Filter = nullptr;
  const bool* m_FilterOn = nullptr;
  const PacketCriteria* m_Find = nullptr;
  std::function<void(const std::string&)> m_StatusText;
  int m_SelectedRow = -1;
  int m_MarkerARow = -1;
  int m_MarkerBRow = -1;
};

}  // namespace zk
