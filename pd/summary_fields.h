// The 38 summary fields of a packet: the cell text and sort key of every packet-list
// column, and the text search over all of them.
#pragma once

#include <cstdint>
#include <string>

#include "record/packet.h"

namespace zk {

constexpr int kSummaryFieldCount = 38;
constexpr int kDescriptionColumn = 21;
constexpr std::int64_t kNoNumericKey = -1;

// Cell text of column id; empty for an id outside 0 to 37. invertCurrent negates the currents shown.
std::string CellText(const CCCPacket& packet, int columnId, bool invertCurrent);

// Sort key of column id; kNoNumericKey when the column has none for this packet.
std::int64_t NumericKey(const CCCPacket& packet, int columnId);

// First column id whose cell text contains needle, ignoring case; -1 when none does.
int FindText(const CCCPacket& packet, const std::string& needle, bool invertCurrent);

// The message description, decoded once and kept on the packet while its inputs stay the same.
std::string CachedDescription(const CCCPacket& packet);

}  // namespace zk
