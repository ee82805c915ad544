#include "pd/column_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zk {
namespace {

TEST(ColumnTableTest, DefaultOrdersArePermutationOfThePositions) {
  std::vector<int> orders;
  for (const ColumnDefinition& c : ColumnTable()) orders.push_back(c.order);
  std::sort(orders.begin(), orders.end());
  for (int i = 0; i < kSummaryFieldCount; ++i) EXPECT_EQ(orders[static_cast<std::size_t>(i)], i);
}

TEST(ColumnTableTest, FirstStartShowsTenColumnsLeftToRight) {
  std::vector<const ColumnDefinition*> shown;
  for (const ColumnDefinition& c : ColumnTable()) {
    if (c.shown) shown.push_back(&c);
  }
  std::sort(shown.begin(), shown.end(), [](auto* a, auto* b) { return a->order < b->order; });
  std::vector<std::string> titles;
  std::vector<int> widths;
  for (const ColumnDefinition* c : shown) {
    titles.emplace_back(c->title);
    widths.push_back(c->width);
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"#", "Timestamp", "CH", "OS", "Power", "Data", "Cable Plug", "Type",
                                              "Mes ID", "Description"}));
  EXPECT_EQ(widths, (std::vector<int>{50, 120, 40, 80, 60, 60, 80, 150, 60, 300}));
}

TEST(ColumnTableTest, LookupByIdAndDefaults) {
  ASSERT_NE(FindColumn(24), nullptr);
  EXPECT_STREQ(FindColumn(24)->description, "Data Objects (Extended=0) or Extended Data Bytes (Extended=1)");
  EXPECT_STREQ(FindColumn(31)->title, "CC2 Cur[A]");
  EXPECT_EQ(FindColumn(-1), nullptr);
  EXPECT_EQ(FindColumn(38), nullptr);
  const ColumnChoices defaults = DefaultColumnChoices();
  EXPECT_TRUE(defaults[21].show);
  EXPECT_EQ(defaults[21].order, 24);
  EXPECT_FALSE(defaults[16].show);
  EXPECT_EQ(defaults[16].order, 27);
}

}  // namespace
}  // namespace zk
