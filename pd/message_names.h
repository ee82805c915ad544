// Names of PD messages and reset ordered sets, message revision texts and the
// sub-types of Extended_Control.
#pragma once

#include <string>

#include "record/packet.h"

namespace zk {

enum class MessageClass { kControl, kData, kExtended };

// Name of a message type in the table of its class; "Unknown(%d)" when the table has none.
std::string MessageTypeName(MessageClass messageClass, int type, int revision);

// The name shown for a packet: its message name, "Hard Reset", "Cable Reset" or "(Unknown OS)".
std::string MessageName(const CCCPacket& packet);

// "1.0", "2.0", "3.0" or "Rsv(3)" for the header's revision field.
std::string RevisionText(int revision);
// The revision text of a message; empty for resets and undecoded packets.
std::string RevisionText(const CCCPacket& packet);

// The sub-type of an Extended_Control message; empty when it carries fewer than two data bytes.
std::string ExtendedControlDescription(const CCCPacket& packet);

}  // namespace zk
