// The one-line description of every packet, and the descriptions of the data messages
// that neither the power objects nor the vendor-defined decoders cover.
#pragma once

#include <string>

#include "record/packet.h"

namespace zk {

// Dispatch by message class and type; empty for resets, control messages and undecoded packets.
std::string MessageDescription(const CCCPacket& packet);

std::string BistDescription(const CCCPacket& packet);
std::string CountryInfoDescription(const CCCPacket& packet);
std::string EnterUsbDescription(const CCCPacket& packet);
std::string EprModeDescription(const CCCPacket& packet);
std::string SourceInfoDescription(const CCCPacket& packet);
std::string RevisionDescription(const CCCPacket& packet);

}  // namespace zk
