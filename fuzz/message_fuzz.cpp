// Message bytes of every kind through the message context (sender side, Source_Capabilities
// link, chunk reassembly), the descriptions, the 38 list cells and the field breakdown.
// Input: messages of [kind][flags][length][length bytes], one after the other.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "fuzz/fuzz_util.h"
#include "pd/column_table.h"
#include "pd/descriptions.h"
#include "pd/field_breakdown.h"
#include "pd/summary_fields.h"
#include "record/capture_store.h"
#include "record/message_context.h"

namespace {

void Walk(const zk::CCCPacket& packet, const std::vector<zk::FieldTreeItem>& items) {
  for (const zk::FieldTreeItem& item : items) {
    zk::BuildFieldRows(&packet, item.m_Code);
    zk::SelectionRange(packet, item.m_Code);
    Walk(packet, item.m_Children);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zk;
  fuzz::Reader in(data, size);
  CaptureStore store;
  std::vector<std::unique_ptr<CCCPacket>> packets;
  while (in.Left() >= 3 && packets.size() < 64) {
    auto p = std::make_unique<CCCPacket>();
    const std::uint8_t kind = in.Byte();
    const std::uint8_t flags = in.Byte();
    // Kinds 0 to 7 and the two framing failures.
    p->m_Kind = kind % 10 < 8 ? kind % 10 : (kind % 10 == 8 ? kKindTooShort : kKindUnknown);
    p->m_pStore = &store;
    p->m_Channel = flags & 1;
    p->m_CrcOk = (flags >> 1) & 1;
    p->m_PreambleFound = 1;
    p->m_EopFound = (flags >> 2) & 1;
    p->m_HasPayload = p->m_Kind != kKindTooShort;
    p->m_Recovery = static_cast<std::uint8_t>((flags >> 3) & 3);
    p->m_Time = static_cast<std::int64_t>(packets.size()) * 1000;
    const std::size_t length = in.Byte() % (kMaxMessageBytes + 1);
    const std::size_t n = length < in.Left() ? length : in.Left();
    for (std::size_t i = 0; i < n; ++i) p->m_Bytes[i] = in.Here()[i];
    in.Skip(n);
    p->m_ByteCount = static_cast<std::int32_t>(n);
    TrackMessage(store.m_Context, *p);
    packets.push_back(std::move(p));
  }
  for (const auto& p : packets) {
    MessageDescription(*p);
    for (const ColumnDefinition& c : ColumnTable()) {
      CellText(*p, c.id, false);
      CellText(*p, c.id, true);
    }
    const FieldTree tree = BuildFieldTree(p.get());
    Walk(*p, tree.m_Items);
  }
  return 0;
}
