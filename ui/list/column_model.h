// The packet list's columns as the settings keep them: building the list's header from the
// column records, reading the user's widths and order back, and the column settings dialog.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/settings.h"

namespace zk {

using ColumnRecords = std::array<ColumnInfo, kColumnCount>;

// List column index of each column id, kColumnNotShown for an id without one.
constexpr int kColumnNotShown = -1;
using ColumnIndexMap = std::array<int, kColumnCount>;

// What column building needs of a list header; the Qt header view and the tests' fake both fit.
class ListColumnHeader {
 public:
  virtual ~ListColumnHeader() = default;

  virtual void RemoveAllColumns() = 0;
  // Adds a list column at the right end; returns its list column index.
  virtual int AppendColumn(const std::string& title, int width, int columnId) = 0;
  virtual int ColumnCount() const = 0;
  virtual int ColumnWidth(int listColumn) const = 0;
  // The list column index at each display position, left to right.
  virtual std::vector<int> ColumnOrder() const = 0;
};

// Replaces the header's columns by the shown columns of the records, in display order.
ColumnIndexMap BuildListColumns(ListColumnHeader& header, const ColumnRecords& records);

// Copies the header's current widths and display positions into the records of the listed ids;
// every other id becomes hidden and keeps its width and position.
void ReadBackColumns(const ListColumnHeader& header, const ColumnIndexMap& columnIndex, ColumnRecords& records);

// One row of the column settings dialog's list, as shown.
struct ColumnSettingsRow {
  int columnId = 0;
  std::string order;  // the row number for a shown column, empty for a hidden one
  std::string title;
  std::string description;
  std::string width;
  std::string showHide;  // "Show" or "Hide"
  bool selected = false;

  bool operator==(const ColumnSettingsRow&) const = default;
};

// The "PD Messages Column Settings" dialog without its window. Every button takes the rows the
// user has selected (row numbers, top row 0) and leaves the rows to show in Rows().
class CColumnSettingsModel {
 public:
  static constexpr const char* kTitle = "PD Messages Column Settings";

  // Reads the list's columns back into the records first, as the dialog shows the list's state.
  void Open(const ListColumnHeader& header, const ColumnIndexMap& columnIndex, ColumnRecords& records);

  void Up(const std::vector<int>& selectedRows);
  void Down(const std::vector<int>& selectedRows);
  void Show(const std::vector<int>& selectedRows);
  void Hide(const std::vector<int>& selectedRows);
  void LoadDefaults(const std::vector<int>& selectedRows);
  // Writes visibility and order; widths stay as the list left them. The list is then rebuilt.
  void Ok(const std::vector<int>& selectedRows, ColumnRecords& records);

  const std::vector<ColumnSettingsRow>& Rows() const { return m_Rows; }

 private:
  void TakeSelection(const std::vector<int>& selectedRows);
  void SetSelectedShown(const std::vector<int>& selectedRows, bool shown);
  void Refresh();

  std::vector<int> m_Order;  // column id of each row, top to bottom
  std::array<bool, kColumnCount> m_Show{};
  std::array<int, kColumnCount> m_Width{};
  std::array<bool, kColumnCount> m_Selected{};
  std::vector<ColumnSettingsRow> m_Rows;
};

}  // namespace zk
