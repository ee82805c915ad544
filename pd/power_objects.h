// Descriptions of power data objects (capabilities), request data objects and the
// power ratings of the capabilities-extended messages.
#pragma once

#include <cstdint>
#include <string>

#include "record/packet.h"

namespace zk {

enum class PowerRole { kSource, kSink };

// Text of one PDO: the long form of Source_/Sink_Capabilities, the short form of the EPR ones.
std::string PdoLongText(std::uint32_t pdo, PowerRole role);
std::string PdoShortText(std::uint32_t pdo, PowerRole role);

// Long form over the message's data objects (Source_Capabilities, Sink_Capabilities).
std::string SourceCapabilitiesDescription(const CCCPacket& packet);
std::string SinkCapabilitiesDescription(const CCCPacket& packet);

// Short form over the reassembled extended data (EPR_Source_Capabilities, EPR_Sink_Capabilities).
std::string EprSourceCapabilitiesDescription(const CCCPacket& packet);
std::string EprSinkCapabilitiesDescription(const CCCPacket& packet);

// The RDO read against the PDO it selects: the linked Source_Capabilities' object for a
// Request, the request's own copy for an EPR_Request.
std::string RequestDescription(const CCCPacket& packet);
std::string EprRequestDescription(const CCCPacket& packet);

// Ratings of Source_Capabilities_Extended and Sink_Capabilities_Extended.
std::string SourceCapabilitiesExtendedDescription(const CCCPacket& packet);
std::string SinkCapabilitiesExtendedDescription(const CCCPacket& packet);

}  // namespace zk
