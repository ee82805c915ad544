#include "ui/dialogs/column_settings_dlg.h"

#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableWidget>

namespace zk {
namespace {

// A list header as the packet list has it: columns appended at the right, draggable.
class FakeHeader : public ListColumnHeader {
 public:
  void RemoveAllColumns() override {
    widths.clear();
    order.clear();
  }
  int AppendColumn(const std::string&, int width, int) override {
    widths.push_back(width);
    order.push_back(static_cast<int>(widths.size()) - 1);
    return static_cast<int>(widths.size()) - 1;
  }
  int ColumnCount() const override { return static_cast<int>(widths.size()); }
  int ColumnWidth(int c) const override { return widths[static_cast<std::size_t>(c)]; }
  std::vector<int> ColumnOrder() const override { return order; }

  std::vector<int> widths;
  std::vector<int> order;
};

class ColumnSettingsDlgTest : public ::testing::Test {
 protected:
  ColumnSettingsDlgTest() : m_Records(AppSettings::DefaultColumns()) {
    m_Index = BuildListColumns(m_Header, m_Records);
  }

  static QString Cell(const CColumnSettingsDlg& dlg, int row, int column) {
    return dlg.list()->item(row, column)->text();
  }
  static void SelectRows(CColumnSettingsDlg& dlg, std::initializer_list<int> rows) {
    dlg.list()->clearSelection();
    for (int r : rows) {
      dlg.list()->selectionModel()->select(dlg.list()->model()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }
  static QPushButton* Button(CColumnSettingsDlg& dlg, const QString& text) {
    for (QPushButton* b : dlg.findChildren<QPushButton*>()) {
      if (b->text() == text) return b;
    }
    return nullptr;
  }

  FakeHeader m_Header;
  ColumnRecords m_Records;
  ColumnIndexMap m_Index{};
};

TEST_F(ColumnSettingsDlgTest, ShowsTheListsColumnsWithTheirWidthsAndOrder) {
  m_Header.widths[7] = 222;  // "Type" widened in the list, then dragged to the front
  m_Header.order = {7, 0, 1, 2, 3, 4, 5, 6, 8, 9};
  CColumnSettingsDlg dlg(m_Header, m_Index, m_Records);

  EXPECT_EQ(dlg.windowTitle(), "PD Messages Column Settings");
  ASSERT_EQ(dlg.list()->rowCount(), kColumnCount);
  ASSERT_EQ(dlg.list()->columnCount(), 5);
  EXPECT_EQ(dlg.list()->horizontalHeaderItem(2)->text(), "Desctiption");
  EXPECT_EQ(dlg.list()->columnWidth(4), 300);
  const QStringList row0 = {Cell(dlg, 0, 0), Cell(dlg, 0, 1), Cell(dlg, 0, 2), Cell(dlg, 0, 3), Cell(dlg, 0, 4)};
  EXPECT_EQ(row0, QStringList({"0", "Type", "Message Type", "222", "Show"}));
  EXPECT_EQ(Cell(dlg, 1, 1), "#");
  EXPECT_EQ(Cell(dlg, 10, 0), "");  // first hidden column
  EXPECT_EQ(Cell(dlg, 10, 4), "Hide");

  // Cancel: the records are the list's state as read back.
  dlg.reject();
  EXPECT_EQ(dlg.records()[11].m_Order, 0);
  EXPECT_EQ(dlg.records()[11].m_Width, 222);
}

TEST_F(ColumnSettingsDlgTest, UpMovesTheSelectionAndOkWritesTheOrder) {
  CColumnSettingsDlg dlg(m_Header, m_Index, m_Records);
  SelectRows(dlg, {3, 7});  // "OS" and "Type"
  Button(dlg, "Up")->click();
  EXPECT_EQ(Cell(dlg, 2, 1), "OS");
  EXPECT_EQ(Cell(dlg, 3, 1), "Type");
  EXPECT_EQ(Cell(dlg, 4, 1), "CH");
  // The moved rows stay selected for the next press.
  EXPECT_EQ(dlg.list()->selectionModel()->selectedRows().size(), 2);

  dlg.accept();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.records()[7].m_Order, 2);   // OS
  EXPECT_EQ(dlg.records()[11].m_Order, 3);  // Type
  EXPECT_EQ(dlg.records()[6].m_Order, 4);   // CH
  EXPECT_EQ(dlg.records()[11].m_Width, 150);
}

TEST_F(ColumnSettingsDlgTest, HideAndShowMoveRowsBetweenTheGroups) {
  CColumnSettingsDlg dlg(m_Header, m_Index, m_Records);
  SelectRows(dlg, {1});  // "Timestamp"
  Button(dlg, "Hide")->click();
  EXPECT_EQ(Cell(dlg, 1, 1), "CH");
  EXPECT_EQ(Cell(dlg, 9, 1), "Timestamp");
  EXPECT_EQ(Cell(dlg, 9, 4), "Hide");
  SelectRows(dlg, {12});
  const QString shown = Cell(dlg, 12, 1);
  Button(dlg, "Show")->click();
  EXPECT_EQ(Cell(dlg, 9, 1), shown);
  EXPECT_EQ(Cell(dlg, 9, 0), "9");

  dlg.accept();
  EXPECT_EQ(dlg.records()[2].m_Show, 0);
}

TEST_F(ColumnSettingsDlgTest, LoadDefaultsRestoresTheDefaultOrder) {
  m_Header.order = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
  CColumnSettingsDlg dlg(m_Header, m_Index, m_Records);
  EXPECT_EQ(Cell(dlg, 0, 1), "Description");
  Button(dlg, "Load Defaults")->click();
  EXPECT_EQ(Cell(dlg, 0, 1), "#");
  EXPECT_EQ(Cell(dlg, 9, 1), "Description");
}

}  // namespace
}  // namespace zk
