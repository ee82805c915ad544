// The packet list's 38 columns: titles, descriptions and default visibility, width and
// display position, indexed by column id (the summary field ids).
#pragma once

#include <array>
#include <span>

#include "pd/summary_fields.h"

namespace zk {

struct ColumnDefinition {
  int id;
  const char* title;
  const char* description;
  bool shown;
  int width;
  int order;
};

// One row per column id, in id order.
std::span<const ColumnDefinition> ColumnTable();

// The row of a column id; null outside 0 to 37.
const ColumnDefinition* FindColumn(int id);

// What the list and the export read of a column's stored record.
struct ColumnChoice {
  bool show = false;
  int order = 0;
};
using ColumnChoices = std::array<ColumnChoice, kSummaryFieldCount>;

ColumnChoices DefaultColumnChoices();

}  // namespace zk
