// The breakdown of one message for the detail pane: a tree that outlines it and, for the
// part selected in the tree, rows of named bit fields. Plain data, ready to be shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pd/message_layout.h"
#include "record/packet.h"

namespace zk {

// Selection codes carried by the tree items.
constexpr std::uint32_t kSelectPacket = 0x01000000;
constexpr std::uint32_t kSelectHeader = 0x02000000;
constexpr std::uint32_t kSelectDataObject = 0x04000000;  // + (object index << 16)
constexpr std::uint32_t kSelectExtendedHeader = 0x08000000;
constexpr std::uint32_t kSelectExtendedData = 0x10000000;  // + line offset
constexpr std::uint32_t kSelectReassembled = 0x20000000;   // + line offset, or + kSelectDataObject + index

struct FieldTreeItem {
  std::string m_Text;
  std::uint32_t m_Code = 0;
  bool m_Expanded = false;
  std::vector<FieldTreeItem> m_Children;

  bool operator==(const FieldTreeItem&) const = default;
};

struct FieldTree {
  std::vector<FieldTreeItem> m_Items;  // top level
  std::uint32_t m_SelectedCode = 0;    // what the tree selects when it opens on the packet
};

// Empty without a packet.
FieldTree BuildFieldTree(const CCCPacket* packet);

// The bits a selection code shows.
struct FieldRange {
  FieldView m_View = FieldView::kMessage;
  std::int64_t m_Start = 0;
  std::int64_t m_Length = 0;

  bool operator==(const FieldRange&) const = default;
};
FieldRange SelectionRange(const CCCPacket& packet, std::uint32_t code);

struct FieldRow {
  std::string m_Offset;
  std::string m_Length;
  std::string m_Name;
  std::string m_Value;
  std::string m_Description;
  std::string m_Hex;
  std::string m_Ascii;

  bool operator==(const FieldRow&) const = default;
};

// The rows for the selection code; empty without a packet.
std::vector<FieldRow> BuildFieldRows(const CCCPacket* packet, std::uint32_t code);

// The field list's columns, in row order.
struct FieldColumn {
  const char* m_Title;
  int m_Width;  // pixels
};
inline constexpr FieldColumn kFieldColumns[] = {
    {"Offset [bits]", 50}, {"Length [bits]", 50}, {"Field name", 200}, {"Value", 200},
    {"Description", 300},  {"HEX", 100},          {"ASCII", 100},
};

}  // namespace zk
