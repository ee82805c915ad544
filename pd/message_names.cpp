#include "pd/message_names.h"

#include <span>

#include "pd/message_bytes.h"
#include "pd/message_header.h"
#include "pd/text_format.h"
#include "pd/value_text.h"

namespace zk {

namespace {

// A message type's name; a few were renamed as deprecated from revision 3.0 on.
struct MessageTypeRow {
  int type;
  const char* name;
  const char* nameFromRev3;
};

constexpr MessageTypeRow kControlNames[] = {
    {1, "GoodCRC", nullptr},
    {2, "GotoMin", "GotoMin (Deprecated)"},
    {3, "Accept", nullptr},
    {4, "Reject", nullptr},
    {5, "Ping", "Ping (Deprecated)"},
    {6, "PS_RDY", nullptr},
    {7, "Get_Source_Cap", nullptr},
    {8, "Get_Sink_Cap", nullptr},
    {9, "DR_Swap", nullptr},
    {10, "PR_Swap", nullptr},
    {11, "VCONN_Swap", nullptr},
    {12, "Wait", nullptr},
    {13, "Soft_Reset", nullptr},
    {14, "Data_Reset", nullptr},
    {15, "Data_Reset_Complete", nullptr},
    {16, "Not_Supported", nullptr},
    {17, "Get_Source_Cap_Extended", nullptr},
    {18, "Get_Status", nullptr},
    {19, "FR_Swap", nullptr},
    {20, "Get_PPS_Status", nullptr},
    {21, "Get_Country_Codes", nullptr},
    {22, "Get_Sink_Cap_Extended", nullptr},
    {23, "Get_Source_Info", nullptr},
    {24, "Get_Revision", nullptr},
};

constexpr MessageTypeRow kDataNames[] = {
    {1, "Source_Capabilities", nullptr}, {2, "Request", nullptr},        {3, "BIST", nullptr},
    {4, "Sink_Capabilities", nullptr},   {5, "Battery_Status", nullptr}, {6, "Alert", nullptr},
    {7, "Get_Country_Info", nullptr},    {8, "Enter_USB", nullptr},      {9, "EPR_Request", nullptr},
    {10, "EPR_Mode", nullptr},           {11, "Source_Info", nullptr},   {12, "Revision", nullptr},
    {15, "Vendor_Defined", nullptr},
};

constexpr MessageTypeRow kExtendedNames[] = {
    {1, "Source_Capabilities_Extended", nullptr},
    {2, "Status", nullptr},
    {3, "Get_Battery_Cap", nullptr},
    {4, "Get_Battery_Status", nullptr},
    {5, "Battery_Capabilities", nullptr},
    {6, "Get_Manufacturer_Info", nullptr},
    {7, "Manufacturer_Info", nullptr},
    {8, "Security_Request", nullptr},
    {9, "Security_Response", nullptr},
    {10, "Firmware_Update_Request", nullptr},
    {11, "Firmware_Update_Response", nullptr},
    {12, "PPS_Status", nullptr},
    {13, "Country_Info", nullptr},
    {14, "Country_Codes", nullptr},
    {15, "Sink_Capabilities_Extended", nullptr},
    {16, "Extended_Control", nullptr},
    {17, "EPR_Source_Capabilities", nullptr},
    {18, "EPR_Sink_Capabilities", nullptr},
    {30, "Vendor_Defined_Extended", nullptr},
};

constexpr ValueText kOrderedSetNames[] = {
    {kKindHardReset, "Hard Reset"},
    {kKindCableReset, "Cable Reset"},
};

constexpr ValueText kRevisionTexts[] = {{0, "1.0"}, {1, "2.0"}, {2, "3.0"}};

constexpr ValueText kExtendedControlTypes[] = {
    {1, "EPR_Get_Source_Cap"},
    {2, "EPR_Get_Sink_Cap"},
    {3, "EPR_KeepAlive"},
    {4, "EPR_KeepAlive_Ack"},
};

std::span<const MessageTypeRow> NameTable(MessageClass messageClass) {
  switch (messageClass) {
    case MessageClass::kControl: return kControlNames;
    case MessageClass::kData: return kDataNames;
    case MessageClass::kExtended: return kExtendedNames;
  }
  return {};
}

MessageClass ClassOf(const CCCPacket& packet) {
  if (IsExtended(packet)) return MessageClass::kExtended;
  if (IsDataMessage(packet)) return MessageClass::kData;
  return MessageClass::kControl;
}

}  // namespace

std::string MessageTypeName(MessageClass messageClass, int type, int revision) {
  for (const MessageTypeRow& row : NameTable(messageClass)) {
    if (row.type != type) continue;
    return (revision >= 2 && row.nameFromRev3) ? row.nameFromRev3 : row.name;
  }
  return Format("Unknown(%d)", type);
}

std::string MessageName(const CCCPacket& packet) {
  if (!IsMessageKind(packet.m_Kind)) return LookupText(kOrderedSetNames, packet.m_Kind, "(Unknown OS)");
  const std::uint16_t header = packet.Header();
  return MessageTypeName(ClassOf(packet), HeaderMessageType(header), HeaderRevision(header));
}

std::string RevisionText(int revision) {
  if (const char* text = LookupText(kRevisionTexts, revision)) return text;
  return Format("Rsv(%d)", revision);
}

std::string RevisionText(const CCCPacket& packet) {
  if (!IsMessageKind(packet.m_Kind)) return {};
  return RevisionText(HeaderRevision(packet.Header()));
}

std::string ExtendedControlDescription(const CCCPacket& packet) {
  if (ExtDataSize(packet.ExtendedHeader()) < 2 || MessageSize(packet) < 5) return {};
  return LookupText(kExtendedControlTypes, packet.m_Bytes[4], "(Invalid Type)");
}

}  // namespace zk
