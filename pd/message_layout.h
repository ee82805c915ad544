// Which field list describes which block of bits of one packet: the header form, the
// data objects, VDOs and extended data blocks, chosen afresh for every request.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "pd/field_dictionary.h"
#include "record/packet.h"

namespace zk {

// The bits a breakdown reads: the message bytes, or the reassembled extended data.
enum class FieldView { kMessage, kReassembled };

// Bounded bytes of one view. Bits past m_Size read as 0; with m_Missing (the reassembled
// view of a packet without a buffer) every read gives 0xFFFFFFFF.
struct FieldSource {
  const std::uint8_t* m_pData = nullptr;
  int m_Size = 0;
  bool m_Missing = false;
};

FieldSource MessageSource(const CCCPacket& packet);
FieldSource ReassembledSource(const CCCPacket& packet);
FieldSource SourceOf(const CCCPacket& packet, FieldView view);

// width (1 to 32) bits from bit on, least significant first.
std::uint32_t ReadBits(const FieldSource& source, std::int64_t bit, int width);

// One block: the list that names the bits from m_Start on.
struct LayoutEntry {
  std::int32_t m_Start = -1;
  std::uint32_t m_Total = 0;  // the list's field lengths summed; 0 without a list
  const FieldDescriptor* m_pList = nullptr;
  // The list is shared by every packet, so the words that fit this packet for one of its
  // fields (the message type, the VDM command) travel with the entry instead.
  std::uint32_t m_OverrideOffset = 0;
  const ValueEntry* m_pOverrideTable = nullptr;
};

constexpr int kMaxLayoutEntries = 18;

struct MessageLayout {
  std::array<LayoutEntry, kMaxLayoutEntries + 1> m_Entries{};  // the entry after the last has start -1
  int m_Count = 0;

  std::span<const LayoutEntry> Entries() const { return {m_Entries.data(), static_cast<std::size_t>(m_Count)}; }
  // Appends the entry (start, list); ignored when the layout is full.
  LayoutEntry* Add(std::int32_t start, const FieldDescriptor* list);
};

MessageLayout BuildMessageLayout(const CCCPacket& packet, FieldView view);

// The value table of a field as this entry names it.
const ValueEntry* TableOf(const LayoutEntry& entry, const FieldDescriptor& field);

}  // namespace zk
