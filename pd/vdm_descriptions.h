// One-line descriptions of Vendor_Defined messages: structured VDM commands, identity,
// cable and adapter VDOs, SVID and mode lists, and DisplayPort status.
#pragma once

#include <cstdint>
#include <string>

#include "record/packet.h"

namespace zk {

std::string VendorDefinedDescription(const CCCPacket& packet);

// "StdID", "DisplayPort", "TBT3", or the SVID in four hex digits.
std::string SvidName(std::uint16_t svid);

}  // namespace zk
