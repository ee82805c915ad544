#include "ui/list/column_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zk {
namespace {

// A header that behaves like the list's: columns appended at the right, draggable and resizable.
class FakeHeader : public ListColumnHeader {
 public:
  struct Column {
    std::string title;
    int width;
    int id;
  };

  void RemoveAllColumns() override {
    columns.clear();
    order.clear();
  }
  int AppendColumn(const std::string& title, int width, int columnId) override {
    columns.push_back({title, width, columnId});
    order.push_back(static_cast<int>(columns.size()) - 1);
    return static_cast<int>(columns.size()) - 1;
  }
  int ColumnCount() const override { return static_cast<int>(columns.size()); }
  int ColumnWidth(int listColumn) const override { return columns[static_cast<std::size_t>(listColumn)].width; }
  std::vector<int> ColumnOrder() const override { return order; }

  // The user drags the header item at display position from to position to.
  void Drag(int from, int to) {
    const int column = order[static_cast<std::size_t>(from)];
    order.erase(order.begin() + from);
    order.insert(order.begin() + to, column);
  }
  std::vector<std::string> ShownTitles() const {
    std::vector<std::string> titles;
    for (int c : order) titles.push_back(columns[static_cast<std::size_t>(c)].title);
    return titles;
  }
  std::vector<int> ShownWidths() const {
    std::vector<int> widths;
    for (int c : order) widths.push_back(columns[static_cast<std::size_t>(c)].width);
    return widths;
  }
  int ListColumnOf(const std::string& title) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (columns[i].title == title) return static_cast<int>(i);
    }
    return -1;
  }

  std::vector<Column> columns;
  std::vector<int> order;
};

const std::vector<std::string> kDefaultTitles = {"#",    "Timestamp",  "CH",   "OS",     "Power",
                                                 "Data", "Cable Plug", "Type", "Mes ID", "Description"};

class ColumnModelTest : public ::testing::Test {
 protected:
  void Build() { index = BuildListColumns(header, records); }
  void OpenDialog() { dialog.Open(header, index, records); }
  std::vector<std::string> DialogTitles(bool shownOnly = false) const {
    std::vector<std::string> titles;
    for (const ColumnSettingsRow& row : dialog.Rows()) {
      if (!shownOnly || row.showHide == "Show") titles.push_back(row.title);
    }
    return titles;
  }
  int RowOf(const std::string& title) const {
    const auto& rows = dialog.Rows();
    const auto it = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.title == title; });
    return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
  }

  ColumnRecords records = AppSettings::DefaultColumns();
  FakeHeader header;
  ColumnIndexMap index{};
  CColumnSettingsModel dialog;
};

TEST_F(ColumnModelTest, FirstStartShowsTheTenDefaultColumns) {
  Build();
  EXPECT_EQ(header.ShownTitles(), kDefaultTitles);
  EXPECT_EQ(header.ShownWidths(), (std::vector<int>{50, 120, 40, 80, 60, 60, 80, 150, 60, 300}));
  EXPECT_EQ(index[0], 0);
  EXPECT_EQ(index[21], 9);
  EXPECT_EQ(index[1], kColumnNotShown);
  EXPECT_EQ(header.columns[2].id, 6);
}

TEST_F(ColumnModelTest, BuildSkipsDuplicateAndOutOfRangeOrders) {
  records[4] = {1, 70, 0};    // same Order as "#": the lower id wins
  records[5] = {1, 70, 38};   // beyond the last display position
  records[13] = {1, 40, -1};  // before the first
  Build();
  EXPECT_EQ(header.ShownTitles(), kDefaultTitles);
  for (int id : {4, 5, 13}) EXPECT_EQ(index[static_cast<std::size_t>(id)], kColumnNotShown) << id;

  ReadBackColumns(header, index, records);
  EXPECT_EQ(records[4], (ColumnInfo{0, 70, 0}));
  EXPECT_EQ(records[5], (ColumnInfo{0, 70, 38}));
}

TEST_F(ColumnModelTest, ReadBackTakesWidthsAndDraggedPositions) {
  Build();
  header.columns[static_cast<std::size_t>(header.ListColumnOf("Description"))].width = 444;
  header.Drag(7, 0);  // "Type" to the front
  ReadBackColumns(header, index, records);
  EXPECT_EQ(records[11], (ColumnInfo{1, 150, 0}));
  EXPECT_EQ(records[0], (ColumnInfo{1, 50, 1}));
  EXPECT_EQ(records[21], (ColumnInfo{1, 444, 9}));
  EXPECT_EQ(records[1], (ColumnInfo{0, 120, 1}));  // hidden: untouched

  // A header that lost columns behind the list's back reports them hidden.
  header.columns.resize(3);
  header.order = {0, 1, 2};
  ReadBackColumns(header, index, records);
  EXPECT_EQ(records[21].m_Show, 0);
  EXPECT_EQ(records[21].m_Width, 444);
}

TEST_F(ColumnModelTest, DialogOpensInListOrderWithShownRowsFirst) {
  Build();
  header.Drag(7, 0);
  OpenDialog();
  ASSERT_EQ(dialog.Rows().size(), 38u);
  const ColumnSettingsRow& top = dialog.Rows()[0];
  EXPECT_EQ(top, (ColumnSettingsRow{11, "0", "Type", "Message Type", "150", "Show", false}));
  EXPECT_EQ(dialog.Rows()[1].title, "#");
  const ColumnSettingsRow& firstHidden = dialog.Rows()[10];
  EXPECT_EQ(firstHidden, (ColumnSettingsRow{1, "", "Idle Time", "Idle Time", "120", "Hide", false}));
  EXPECT_EQ(dialog.Rows()[11].title, "Pkt Len[us]");
}

TEST_F(ColumnModelTest, UpAndDownMoveTheSelectedBlock) {
  struct Case {
    const char* name;
    bool up;
    std::vector<int> selected;
    std::vector<int> expectedTopIds;  // the first eight rows' column ids afterwards
  };
  // Default shown rows by id: 0 2 6 7 8 9 10 11 12 21.
  const Case cases[] = {
      {"up two rows", true, {3, 7}, {0, 2, 7, 11, 6, 8, 9, 10}},
      {"up top row", true, {0}, {0, 2, 6, 7, 8, 9, 10, 11}},
      {"up nothing", true, {}, {0, 2, 6, 7, 8, 9, 10, 11}},
      {"down last shown", false, {9}, {0, 2, 6, 7, 8, 9, 10, 11}},
      {"down two rows", false, {1, 3}, {0, 6, 8, 2, 7, 9, 10, 11}},
      {"down nothing", false, {}, {0, 2, 6, 7, 8, 9, 10, 11}},
      {"rows out of range ignored", true, {-1, 99}, {0, 2, 6, 7, 8, 9, 10, 11}},
  };
  for (const Case& c : cases) {
    records = AppSettings::DefaultColumns();
    Build();
    OpenDialog();
    c.up ? dialog.Up(c.selected) : dialog.Down(c.selected);
    std::vector<int> top;
    for (int row = 0; row < 8; ++row) top.push_back(dialog.Rows()[static_cast<std::size_t>(row)].columnId);
    EXPECT_EQ(top, c.expectedTopIds) << c.name;
  }
}

TEST_F(ColumnModelTest, DownAtTheLastRowKeepsTheOrder) {
  Build();
  OpenDialog();
  const auto before = dialog.Rows();
  dialog.Down({37});
  EXPECT_EQ(dialog.Rows().size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(dialog.Rows()[i].columnId, before[i].columnId);
  EXPECT_TRUE(dialog.Rows()[37].selected);
}

TEST_F(ColumnModelTest, HiddenRowMovedAboveShownGoesBackBelowThem) {
  Build();
  OpenDialog();
  dialog.Up({10});  // "Idle Time", the first hidden row
  EXPECT_EQ(dialog.Rows()[10].title, "Idle Time");
  EXPECT_EQ(dialog.Rows()[9].title, "Description");
  EXPECT_TRUE(dialog.Rows()[10].selected);
}

TEST_F(ColumnModelTest, ShowHideAndOkRenumberTheRecords) {
  Build();
  OpenDialog();
  dialog.Show({RowOf("Idle Time")});
  EXPECT_EQ(dialog.Rows()[10].title, "Idle Time");
  EXPECT_EQ(dialog.Rows()[10].order, "10");
  dialog.Hide({RowOf("Timestamp"), RowOf("CH")});
  dialog.Ok({}, records);
  EXPECT_EQ(records[1], (ColumnInfo{1, 120, 8}));
  EXPECT_EQ(records[2], (ColumnInfo{0, 120, 9}));  // hidden ones numbered after the shown
  EXPECT_EQ(records[6], (ColumnInfo{0, 40, 10}));
  Build();
  EXPECT_EQ(header.ShownTitles(), (std::vector<std::string>{"#", "OS", "Power", "Data", "Cable Plug", "Type", "Mes ID",
                                                            "Description", "Idle Time"}));
}

TEST_F(ColumnModelTest, HideAllButOne) {
  Build();
  OpenDialog();
  std::vector<int> allButDescription;
  for (int row = 0; row < 38; ++row) {
    if (row != RowOf("Description")) allButDescription.push_back(row);
  }
  dialog.Hide(allButDescription);
  EXPECT_EQ(DialogTitles(true), (std::vector<std::string>{"Description"}));
  dialog.Ok({}, records);
  Build();
  EXPECT_EQ(header.ShownTitles(), (std::vector<std::string>{"Description"}));
  EXPECT_EQ(index[21], 0);
}

TEST_F(ColumnModelTest, HiddenNumberColumnIsOfferedAgain) {
  Build();
  OpenDialog();
  dialog.Hide({0});
  dialog.Ok({}, records);
  Build();
  EXPECT_EQ(header.ListColumnOf("#"), -1);

  // It comes back after the other shown columns, where OK numbered it.
  OpenDialog();
  EXPECT_EQ(dialog.Rows()[9], (ColumnSettingsRow{0, "9", "#", "Packet Number", "50", "Show", false}));
  dialog.Ok({}, records);
  Build();
  std::vector<std::string> numberLast(kDefaultTitles.begin() + 1, kDefaultTitles.end());
  numberLast.push_back("#");
  EXPECT_EQ(header.ShownTitles(), numberLast);
}

TEST_F(ColumnModelTest, LoadDefaultsRestoresOrderButOkKeepsListWidths) {
  Build();
  header.columns[static_cast<std::size_t>(header.ListColumnOf("Type"))].width = 333;
  header.Drag(7, 0);
  OpenDialog();
  dialog.Hide({RowOf("OS")});
  dialog.LoadDefaults({RowOf("Mes ID")});
  EXPECT_EQ(DialogTitles(true), kDefaultTitles);
  EXPECT_EQ(dialog.Rows()[static_cast<std::size_t>(RowOf("Type"))].width, "150");
  EXPECT_TRUE(dialog.Rows()[static_cast<std::size_t>(RowOf("Mes ID"))].selected);
  // The hidden rows follow the default positions too.
  EXPECT_EQ(DialogTitles()[10], "Idle Time");
  EXPECT_EQ(DialogTitles()[13], "VBUS Curr[A]");
  EXPECT_EQ(DialogTitles()[14], "CC1 Vol[V]");

  dialog.Ok({}, records);
  Build();
  EXPECT_EQ(header.ShownTitles(), kDefaultTitles);
  EXPECT_EQ(header.ShownWidths()[7], 333);
}

TEST_F(ColumnModelTest, CancelKeepsWhatReadBackLeft) {
  Build();
  header.Drag(7, 0);
  OpenDialog();
  const ColumnRecords afterOpen = records;
  EXPECT_EQ(records[11].m_Order, 0);
  dialog.Hide({0, 1, 2});
  dialog.Down({0});
  EXPECT_EQ(records, afterOpen);  // the dialog's buttons work on its own copy
}

}  // namespace
}  // namespace zk
