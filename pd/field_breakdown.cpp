#include "pd/field_breakdown.h"

#include <algorithm>

#include "pd/message_bytes.h"
#include "pd/message_header.h"
#include "pd/text_format.h"

namespace zk {

namespace {

constexpr int kBytesPerLine = 16;
constexpr std::int64_t kRowChunkBits = 128;
constexpr int kExtendedTypeEprSourceCaps = 17;
constexpr int kExtendedTypeEprSinkCaps = 18;
constexpr int kMaxDataSize = 511;  // the Data Size field is 9 bits wide

// Value piece formats by the piece's width: the digits grow with the bits shown.
struct PieceFormat {
  int maxWidth;
  const char* format;
};
constexpr PieceFormat kPieceFormats[] = {
    {4, "%Xh (%d)"},    {8, "%02Xh (%d)"},  {12, "%03Xh (%d)"}, {16, "%04Xh (%d)"},
    {20, "%05Xh (%d)"}, {24, "%06Xh (%d)"}, {28, "%07Xh (%d)"},
};

std::string HexLine(int offset, const std::uint8_t* bytes, int count) {
  std::string line = Format("+%03Xh : ", offset);
  for (int i = 0; i < count; ++i) AppendFormat(line, "%02X", bytes[i]);
  line += "h";
  return line;
}

// One line item per 16 bytes, coded base + line offset.
void AddHexLines(FieldTreeItem& parent, std::uint32_t base, const std::uint8_t* bytes, int size) {
  for (int m = 0; m < size; m += kBytesPerLine) {
    parent.m_Children.push_back(
        {HexLine(m, bytes + m, std::min(kBytesPerLine, size - m)), base + static_cast<std::uint32_t>(m), false, {}});
  }
}

std::uint32_t ObjectCode(std::uint32_t base, int index) {
  return base + kSelectDataObject + (static_cast<std::uint32_t>(index) << 16);
}

void AddExtendedItems(const CCCPacket& packet, FieldTreeItem& root) {
  const std::uint16_t x = packet.ExtendedHeader();
  root.m_Children.push_back({Format("Extended Message Header=%04Xh", x), kSelectExtendedHeader, false, {}});
  const int dataSize = ExtDataSize(x);
  if (dataSize == 0) return;
  const int n = std::max(0, std::min(dataSize, MessageSize(packet) - 4));
  FieldTreeItem data{Format("Extended Data (%dbytes)", n), kSelectExtendedData, true, {}};
  AddHexLines(data, kSelectExtendedData, packet.m_Bytes + 4, n);
  root.m_Children.push_back(std::move(data));
}

void AddDataObjectItems(const CCCPacket& packet, FieldTreeItem& root) {
  const FieldSource source = MessageSource(packet);
  const int count = HeaderObjectCount(packet.Header());
  for (int i = 0; i < count; ++i) {
    const std::uint32_t object = ReadBits(source, 16 + 32 * i, 32);
    root.m_Children.push_back({Format("Data Object [%d] = %08Xh", i + 1, object), ObjectCode(0, i), false, {}});
  }
}

void AddReassembledItem(const CCCPacket& packet, FieldTree& tree) {
  const ExtendedData data = ExtendedDataOf(packet);
  if (data.bytes == nullptr) return;
  FieldTreeItem block{Format("Total Extended Data Block (%dbytes)", packet.m_ExtSize), kSelectReassembled, true, {}};
  const int type = MessageType(packet);
  if (type == kExtendedTypeEprSourceCaps || type == kExtendedTypeEprSinkCaps) {
    const FieldSource source = ReassembledSource(packet);
    for (int i = 0; i < data.size / 4; ++i) {
      block.m_Children.push_back({Format("Data Object [%d] = %08Xh", i + 1, ReadBits(source, 32 * i, 32)),
                                  ObjectCode(kSelectReassembled, i),
                                  false,
                                  {}});
    }
  } else {
    AddHexLines(block, kSelectReassembled, data.bytes, data.size);
  }
  tree.m_Items.push_back(std::move(block));
}

int ObjectIndex(std::uint32_t code) { return static_cast<int>((code >> 16) & 0x3FF); }

std::string PieceText(std::uint32_t value, int width, std::int64_t fieldBits) {
  for (const PieceFormat& f : kPieceFormats) {
    if (width <= f.maxWidth) return Format(f.format, value, static_cast<int>(value));
  }
  return fieldBits <= 32 ? Format("%08Xh (%d)", value, static_cast<int>(value)) : Format("%08Xh", value);
}

// One row per chunk of at most 128 bits of a field that starts at bit first of the source.
void AddFieldRows(const FieldDescriptor& field, const ValueEntry* table, const FieldSource& source, std::int64_t first,
                  std::int64_t bits, std::int64_t shown, std::vector<FieldRow>& rows) {
  for (std::int64_t k = 0; k < bits; k += kRowChunkBits) {
    const std::int64_t n = std::min(kRowChunkBits, bits - k);
    const std::int64_t at = first + k;
    FieldRow row;
    row.m_Offset = bits == 1 ? Format("%d", static_cast<int>(shown))
                             : Format("%d..%d", static_cast<int>(shown + k), static_cast<int>(shown + k + n - 1));
    row.m_Length = Format("%d", static_cast<int>(n));
    for (std::int64_t j = 0; j < n; j += 32) {
      const int w = static_cast<int>(std::min<std::int64_t>(32, n - j));
      if (j != 0) row.m_Value += " - ";
      row.m_Value += PieceText(ReadBits(source, at + j, w), w, bits);
    }
    if (field.m_Name != nullptr) {
      row.m_Name = field.m_Name;
      if (bits > 32) AppendFormat(row.m_Name, "[%d..%d]", static_cast<int>(k / 8), static_cast<int>((k + n) / 8 - 1));
    }
    if (table != nullptr)
      row.m_Description = ValueText(table, ReadBits(source, at, static_cast<int>(std::min<std::int64_t>(n, 32))));
    for (std::int64_t q = 0; q < n; q += 8) {
      const int g = static_cast<int>(std::min<std::int64_t>(8, n - q));
      const unsigned byte = ReadBits(source, at + q, g) & ((1u << g) - 1u);
      AppendFormat(row.m_Hex, "%02X ", byte);
      row.m_Ascii += (byte >= 0x20 && byte < 0x7F) ? static_cast<char>(byte) : '.';
    }
    rows.push_back(std::move(row));
  }
}

// The block that holds bit h: the last entry starting at h or spanning it wins.
struct BlockAt {
  const LayoutEntry* entry = nullptr;
  std::int64_t next = -1;  // smallest entry start beyond h, -1 when none
};
BlockAt FindBlock(const MessageLayout& layout, std::int64_t h) {
  BlockAt found;
  for (const LayoutEntry& e : layout.Entries()) {
    const std::int64_t start = e.m_Start;
    if (start == h || (start <= h && h < start + e.m_Total)) found.entry = &e;
    if (start > h && (found.next < 0 || start < found.next)) found.next = start;
  }
  return found;
}

}  // namespace

FieldTree BuildFieldTree(const CCCPacket* packet) {
  FieldTree tree;
  if (packet == nullptr) return tree;
  FieldTreeItem root{Format("Packet #%d", packet->m_Index), kSelectPacket, false, {}};
  const int kind = packet->m_Kind;
  if (kind == kKindSop || kind == kKindSopP || kind == kKindSopPP) {
    root.m_Children.push_back({Format("Message Header=%04Xh", packet->Header()), kSelectHeader, false, {}});
    root.m_Expanded = true;  // the header item opens selected and in view
    tree.m_SelectedCode = kSelectHeader;
  }
  if (IsExtended(*packet)) {
    AddExtendedItems(*packet, root);
  } else if (IsDataMessage(*packet)) {
    AddDataObjectItems(*packet, root);
  }
  tree.m_Items.push_back(std::move(root));
  AddReassembledItem(*packet, tree);
  return tree;
}

FieldRange SelectionRange(const CCCPacket& packet, std::uint32_t code) {
  const std::int64_t messageBits = 8 * static_cast<std::int64_t>(MessageSize(packet));
  if (code & kSelectPacket) return {FieldView::kMessage, 0, messageBits};
  if (code & kSelectHeader) return {FieldView::kMessage, 0, 16};
  if (code & kSelectExtendedHeader) return {FieldView::kMessage, 16, 16};
  if (code & kSelectExtendedData) {
    const std::int64_t dataBits = 8 * static_cast<std::int64_t>(ExtDataSize(packet.ExtendedHeader()));
    return {FieldView::kMessage, 32, std::max<std::int64_t>(0, std::min(dataBits, messageBits - 32))};
  }
  if (code & kSelectReassembled) {
    if (code & kSelectDataObject)
      return {FieldView::kReassembled, 32 * static_cast<std::int64_t>(ObjectIndex(code)), 32};
    return {FieldView::kReassembled, 0, 8 * static_cast<std::int64_t>(std::clamp(static_cast<int>(packet.m_ExtSize), 0, kMaxDataSize))};
  }
  if (code & kSelectDataObject)
    return {FieldView::kMessage, 16 + 32 * static_cast<std::int64_t>(ObjectIndex(code)), 32};
  return {FieldView::kMessage, 0, messageBits};
}

std::vector<FieldRow> BuildFieldRows(const CCCPacket* packet, std::uint32_t code) {
  std::vector<FieldRow> rows;
  if (packet == nullptr) return rows;
  const FieldRange range = SelectionRange(*packet, code);
  const MessageLayout layout = BuildMessageLayout(*packet, range.m_View);
  const FieldSource source = SourceOf(*packet, range.m_View);
  const std::int64_t s = range.m_Start;
  const std::int64_t length = range.m_Length;

  // Every field is looked up from the start of the range again, so the first list that
  // covers the start and names a field at the position wins over the blocks inside it.
  std::int64_t c = 0;
  while (c < length) {
    std::int64_t h = s;
    std::int64_t extra = c;
    std::int64_t shift = 0;
    bool emitted = false;
    for (;;) {
      const BlockAt block = FindBlock(layout, h);
      if (block.entry == nullptr || block.entry->m_pList == nullptr) break;
      const std::int64_t rel = h - block.entry->m_Start;
      const FieldDescriptor* field = FindField(block.entry->m_pList, static_cast<std::uint32_t>(rel + extra));
      if (field != nullptr) {
        const std::int64_t bits = std::min<std::int64_t>(field->m_Length, length - c);
        const std::int64_t shown = field->m_Offset + shift - rel;
        AddFieldRows(*field, TableOf(*block.entry, *field), source, s + c, bits, shown, rows);
        c += bits;
        emitted = true;
        break;
      }
      if (block.next < 0 || h + extra < block.next) break;
      extra -= block.next - h;
      shift += block.next - h;
      h = block.next;
    }
    if (!emitted) c += 1;
  }
  return rows;
}

}  // namespace zk
