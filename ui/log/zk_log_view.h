// The packet list view: a table over CPacketListModel that draws its rows itself, sorts on
// header clicks, sets markers and the time origin from its context menu, walks to the next
// or previous match of the find criteria and tells the detail views what is selected.
#pragma once

#include <QFont>
#include <QTableView>

#include <array>
#include <cstdint>
#include <functional>

#include "app/settings.h"
#include "record/document.h"
#include "ui/list/column_model.h"
#include "ui/log/packet_list_model.h"

class QMenu;

namespace zk {

class CZKLogView : public QTableView, public DocumentObserver {
  Q_OBJECT

 public:
  CZKLogView(CZKDoc& doc, AppSettings& settings, QWidget* parent = nullptr);
  ~CZKLogView() override;

  CPacketListModel* Model() const { return m_Model; }
  // Criteria owned by the main window.
  void SetCriteria(const PacketCriteria* find, const PacketCriteria* filter, const bool* filterOn);
  // Whether a capture runs and PD message auto-scroll is on (the automatic scroll asks it).
  void SetAutoScrollQuery(std::function<bool()> query) { m_AutoScrollQuery = std::move(query); }
  void SetStatusText(std::function<void(const std::string&)> f);
  // How "Message Not Found." is shown; a message box unless replaced.
  void SetMessageFunction(std::function<void(const QString&)> f) { m_Message = std::move(f); }

  // The first call builds the columns and rows; later ones append what is new.
  void InitialUpdate();
  // keepHeader first reads the widths and order the user gave the header back into the settings.
  void RebuildList(bool keepHeader = true);
  void AppendNewPackets();
  CCCPacket* SelectedPacket() const;
  int SelectedRow() const { return m_Model->SelectedRow(); }
  int FindRowOfPacket(int packetIndex) const { return m_Model->FindRowOfPacket(packetIndex); }
  void SelectRow(int row);
  void ShowRow(int row);
  // +1 Find Next, -1 Find Prev.
  bool FindStep(int direction);
  void SetListFont(const QFont& font);
  // Writes the columns and the font into the settings.
  void StoreSettings();
  const ColumnIndexMap& ColumnIndex() const { return m_ColumnIndex; }
  ListColumnHeader& Header();
  // The header click of a list column, as a user makes it.
  void ClickHeader(int listColumn);

  // Context-menu row commands on a row; -1 for no row.
  enum class RowCommand {
    kSetMarker,
    kClearMarker,
    kClearAllMarkers,
    kSetMarkerA,
    kClearMarkerA,
    kSetMarkerB,
    kClearMarkerB,
    kOriginAbsolute,
    kOriginCurrent,
    kColumnSettings,
  };
  bool CommandEnabled(RowCommand command, int row) const;
  void RunCommand(RowCommand command, int row);
  // The menu the right button opens for a row; the caller owns it.
  QMenu* MakeContextMenu(int row, QWidget* parent);

  // DocumentObserver
  void OnContentsDeleted() override;
  void OnUpdateAllViews() override;
  void OnTimeOriginChanged(std::int64_t delta) override;

 signals:
  void packetSelected(const zk::CCCPacket* packet);
  // The graphs centre on this shown time.
  void centreOnTime(std::int64_t shownTime);
  void markersChanged();
  void columnSettingsRequested();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  class HeaderAdapter;

  void OnCurrentChanged(const QModelIndex& current);
  void OnModelReset();
  void AutoScroll();

  CZKDoc& m_Doc;
  AppSettings& m_Settings;
  CPacketListModel* m_Model;
  std::unique_ptr<HeaderAdapter> m_HeaderAdapter;
  ColumnIndexMap m_ColumnIndex{};
  bool m_ColumnsBuilt = false;
  int m_ContextRow = -1;
  bool m_Selecting = false;
  std::function<bool()> m_AutoScrollQuery;
  std::function<void(const QString&)> m_Message;
};

// Program-wide sort state of the packet lists: the list column last clicked and its direction.
struct ListSortState {
  int lastColumn = 0;
  bool lastDescending = false;
  // The direction of a click on listColumn; remembers it.
  bool Click(int listColumn);
};
ListSortState& SharedSortState();

}  // namespace zk
