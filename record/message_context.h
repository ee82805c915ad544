// Which port sent a message, which Source_Capabilities a Request answers, and the
// reassembly of chunked extended messages, tracked across packets in finishing order.
#pragma once

#include "record/capture_store.h"

namespace zk {

// Fills m_Side and m_pSourceCaps, then the extended-message fields of the packet.
void TrackMessage(MessageContextState& context, CCCPacket& packet);

void TrackSenderSide(MessageContextState& context, CCCPacket& packet);
void TrackReassembly(MessageContextState& context, CCCPacket& packet);

}  // namespace zk
