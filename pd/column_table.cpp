#include "pd/column_table.h"

#include <iterator>

#include "pd/summary_fields.h"

namespace zk {

namespace {

constexpr ColumnDefinition kColumns[] = {
    {0, "#", "Packet Number", true, 50, 0},
    {1, "Idle Time", "Idle Time", false, 120, 1},
    {2, "Timestamp", "Timestamp", true, 120, 2},
    {3, "Pkt Len[us]", "Packet Length [us]", false, 70, 3},
    {4, "VBUS Vol[V]", "VBUS Voltage [V]", false, 70, 4},
    {5, "VBUS Curr[A]", "VBUS Current [A]", false, 70, 5},
    {6, "CH", "Channel", true, 40, 10},
    {7, "OS", "Ordered Set", true, 80, 11},
    {8, "Power", "Port Power Role", true, 60, 12},
    {9, "Data", "Port Data Role", true, 60, 13},
    {10, "Cable Plug", "Cable Plug", true, 80, 14},
    {11, "Type", "Message Type", true, 150, 15},
    {12, "Mes ID", "MessageID", true, 60, 16},
    {13, "Rev.", "Specification Revision", false, 40, 17},
    {14, "NumDOs", "Number of Data Objects", false, 60, 18},
    {15, "Extended", "Extended", false, 40, 19},
    {16, "Ex Header", "Extended Message Header (Extended=1)", false, 60, 27},
    {17, "Ex Chunked", "Extended Chunked (Extended=1)", false, 40, 20},
    {18, "Ex Chunk Num", "Extended Chunk Number (Extended=1)", false, 40, 21},
    {19, "Ex Request Chunk", "Extended Request Chunk (Extended=1)", false, 40, 22},
    {20, "Ex Data Size", "Extended Data Size (Extended=1)", false, 60, 23},
    {21, "Description", "Description", true, 300, 24},
    {22, "Message Size", "Message Size", false, 60, 25},
    {23, "Header", "Message Header", false, 60, 26},
    {24, "Data Objects or Ex Data", "Data Objects (Extended=0) or Extended Data Bytes (Extended=1)", false, 200, 28},
    {25, "Payload", "Data Payload", false, 200, 34},
    {26, "CRC", "CRC", false, 80, 29},
    {27, "Edges", "Number of CC Edges", false, 60, 30},
    {28, "CC1 Vol[V]", "CC1 Voltage [V]", false, 70, 6},
    {29, "CC1 Curr[A]", "CC1 Current [A]", false, 70, 7},
    {30, "CC2 Vol[V]", "CC2 Voltage [V]", false, 70, 8},
    {31, "CC2 Cur[A]", "CC2 Current [A]", false, 70, 9},
    {32, "BMC", "BMC", false, 200, 33},
    {33, "Preamble Len", "Preamble Length [bits]", false, 80, 32},
    {34, "Ave.UI[us]", "Average Unit Interval [us]", false, 80, 31},
    {35, "Message Bytes (HEX)", "PD Message Bytes (HEX)", false, 190, 35},
    {36, "Message Bytes (ASCII)", "PD Message Bytes (ASCII)", false, 190, 36},
    {37, "VBUS Watt[W]", "VBUS Wattage [W]", false, 70, 37},
};
static_assert(std::size(kColumns) == kSummaryFieldCount);

constexpr bool IdsMatchRows() {
  for (int i = 0; i < kSummaryFieldCount; ++i) {
    if (kColumns[i].id != i) return false;
  }
  return true;
}
static_assert(IdsMatchRows(), "the column table is indexed by column id");

}  // namespace

std::span<const ColumnDefinition> ColumnTable() { return kColumns; }

const ColumnDefinition* FindColumn(int id) {
  if (id < 0 || id >= kSummaryFieldCount) return nullptr;
  return &kColumns[id];
}

ColumnChoices DefaultColumnChoices() {
  ColumnChoices choices{};
  for (const ColumnDefinition& column : kColumns) {
    choices[static_cast<std::size_t>(column.id)] = {column.shown, column.order};
  }
  return choices;
}

}  // namespace zk
