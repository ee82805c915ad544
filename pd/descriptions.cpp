#include "pd/descriptions.h"

#include <span>

#include "pd/message_bytes.h"
#include "pd/message_header.h"
#include "pd/message_names.h"
#include "pd/power_objects.h"
#include "pd/text_format.h"
#include "pd/value_text.h"
#include "pd/vdm_descriptions.h"

namespace zk {

namespace {

using DescriptionFn = std::string (*)(const CCCPacket&);

struct DescriptionRow {
  int type;
  DescriptionFn describe;
};

constexpr DescriptionRow kExtendedDescriptions[] = {
    {1, SourceCapabilitiesExtendedDescription}, {15, SinkCapabilitiesExtendedDescription},
    {16, ExtendedControlDescription},           {17, EprSourceCapabilitiesDescription},
    {18, EprSinkCapabilitiesDescription},
};

constexpr DescriptionRow kDataDescriptions[] = {
    {1, SourceCapabilitiesDescription}, {2, RequestDescription},        {3, BistDescription},
    {4, SinkCapabilitiesDescription},   {7, CountryInfoDescription},    {8, EnterUsbDescription},
    {9, EprRequestDescription},         {10, EprModeDescription},       {11, SourceInfoDescription},
    {12, RevisionDescription},          {15, VendorDefinedDescription},
};

constexpr ValueText kBistModes[] = {
    {0, "BIST Receiver Mode"},
    {1, "BIST Transmit Mode"},
    {2, "Returend BIST Counters"},
    {3, "BIST Carrier Mode 0"},
    {4, "BIST Carrier Mode 1"},
    {5, "BIST Carrier Mode 2"},
    {6, "BIST Carrier Mode 3"},
    {7, "BIST Eye Pattern"},
    {8, "BIST Test Data"},
    {9, "BIST Shared Test Mode Entry"},
    {10, "BIST Shared Test Mode Exit"},
};

constexpr ValueText kUsbModes[] = {
    {0, "USB Mode=USB2.0 "},
    {1, "USB Mode=USB3.2 "},
    {2, "USB Mode=USB4 "},
};
constexpr FlagText kUsbDrdFlags[] = {{26, "(USB4 DRD)"}, {25, "(USB3 DRD)"}};
constexpr ValueText kCableSpeeds[] = {
    {0, "(CableSpeed=USB2.0 only)"}, {1, "(CableSpeed=USB3.2 Gen1)"}, {2, "(CableSpeed=USB3.2/USB4 Gen2)"},
    {3, "(CableSpeed=USB4 Gen3)"},   {4, "(CableSpeed=USB4 Gen4)"},
};
constexpr ValueText kCableTypes[] = {
    {0, "(CableType=Passive)"},
    {1, "(CableType=Active Re-timer)"},
    {2, "(CableType=Active Re-driver)"},
    {3, "(CableType=Optically isolated)"},
};
constexpr ValueText kCableCurrents[] = {{2, "(CableCurrent=3A)"}, {3, "(CableCurrent=5A)"}};
constexpr FlagText kUsbSupportFlags[] = {
    {16, "(PCIe Support)"},
    {15, "(DP Support)"},
    {14, "(TBT Support)"},
    {13, "(Host Present)"},
};

constexpr ValueText kEprModeActions[] = {
    {1, "Enter"}, {2, "Enter Acknowledged"}, {3, "Enter Succeeded"}, {4, "Enter Failed "}, {5, "Exit"},
};
constexpr int kEprActionEnter = 1;
constexpr int kEprActionEnterFailed = 4;
constexpr ValueText kEprEnterFailedCauses[] = {
    {0, "(Unknown cause)"},
    {1, "(Cable not EPR capable)"},
    {2, "(Source failed to become VCONN source)"},
    {3, "(EPR Mode Capable bit not set in RDO)"},
    {4, "(Source unable to enter EPR Mode)"},
    {5, "(EPR Mode Capable bit not set in PDO)"},
};

std::string Describe(std::span<const DescriptionRow> table, const CCCPacket& packet) {
  const int type = MessageType(packet);
  for (const DescriptionRow& row : table) {
    if (row.type == type) return row.describe(packet);
  }
  return {};
}

void AppendText(std::string& out, const char* text) {
  if (text) out += text;
}

// The first data object of a data message, when the message really carries one.
bool FirstObject(const CCCPacket& packet, std::uint32_t& object) {
  if (IsExtended(packet) || DataObjectsPresent(packet) < 1) return false;
  object = packet.DataObject(0);
  return true;
}

}  // namespace

std::string MessageDescription(const CCCPacket& packet) {
  if (!IsMessageKind(packet.m_Kind)) return {};
  if (IsExtended(packet)) return Describe(kExtendedDescriptions, packet);
  if (IsDataMessage(packet)) return Describe(kDataDescriptions, packet);
  return {};
}

std::string BistDescription(const CCCPacket& packet) {
  if (IsExtended(packet)) return {};
  std::uint32_t bdo = 0;
  if (!FirstObject(packet, bdo)) return "No BIST DO";
  const int mode = static_cast<int>(Bits(bdo, 31, 28));
  std::string out;
  if (const char* name = LookupText(kBistModes, mode)) {
    out = name;
  } else {
    out = Format("(Unknown BIST code %d)", mode);
  }
  AppendFormat(out, " (16-bit unsigned integer = %04Xh)", static_cast<unsigned>(Bits(bdo, 15, 0)));
  return out;
}

std::string CountryInfoDescription(const CCCPacket& packet) {
  if (IsExtended(packet)) return {};
  std::uint32_t ccdo = 0;
  if (!FirstObject(packet, ccdo)) return "No Country Code DO";
  return Format("CCDO=%08Xh)", static_cast<unsigned>(ccdo));
}

std::string EnterUsbDescription(const CCCPacket& packet) {
  if (IsExtended(packet)) return {};
  if (!HasExactObjectCount(packet, 1)) return "Invalid Data Objects Count.";
  const std::uint32_t eudo = packet.DataObject(0);
  std::string out = LookupText(kUsbModes, static_cast<int>(Bits(eudo, 30, 28)), "USB Mode=Unknown ");
  AppendFlags(out, eudo, kUsbDrdFlags);
  AppendText(out, LookupText(kCableSpeeds, static_cast<int>(Bits(eudo, 23, 21))));
  AppendText(out, LookupText(kCableTypes, static_cast<int>(Bits(eudo, 20, 19))));
  AppendText(out, LookupText(kCableCurrents, static_cast<int>(Bits(eudo, 18, 17))));
  AppendFlags(out, eudo, kUsbSupportFlags);
  return out;
}

std::string EprModeDescription(const CCCPacket& packet) {
  if (IsExtended(packet)) return {};
  std::uint32_t mdo = 0;
  if (!FirstObject(packet, mdo)) return "(No EPR Mode Data Object)";
  const int action = static_cast<int>(Bits(mdo, 31, 24));
  const int data = static_cast<int>(Bits(mdo, 23, 16));
  std::string out = LookupText(kEprModeActions, action, "(Unknown Action)");
  if (action == kEprActionEnter) AppendFormat(out, " (EPR Sink Operational PDP=%d[W])", data);
  if (action == kEprActionEnterFailed) AppendText(out, LookupText(kEprEnterFailedCauses, data));
  return out;
}

std::string SourceInfoDescription(const CCCPacket& packet) {
  if (IsExtended(packet)) return {};
  std::uint32_t sido = 0;
  if (!FirstObject(packet, sido)) return "(No Source Info Data Object)";
  std::string out = Bits(sido, 31, 31) ? "Port Type=Guaranteed" : "Port Type=Managed";
  AppendFormat(out, "(Max PDP=%d[W])", static_cast<int>(Bits(sido, 23, 16)));
  AppendFormat(out, "(Present PDP=%d[W])", static_cast<int>(Bits(sido, 15, 8)));
  AppendFormat(out, "(Reported PDP=%d[W])", static_cast<int>(Bits(sido, 7, 0)));
  if (DataObjectsPresent(packet) < 2) return out;
  const std::uint32_t second = packet.DataObject(1);
  out += " [SIDO2] ";
  out += Bits(second, 31, 31) ? "(PortType=Guaranteed)" : "(PortType=Managed)";
  out += Bits(second, 30, 30) ? "(DPS Port)" : "(Non DPS port)";
  const float maxPdp = static_cast<float>(Bits(second, 17, 9)) * 0.5f;
  const float guaranteedPdp = static_cast<float>(Bits(second, 8, 0)) * 0.5f;
  AppendFormat(out, "(Max PDP=%.1f[W])", static_cast<double>(maxPdp));
  AppendFormat(out, "(Guaranteed PDP=%.1f[W])", static_cast<double>(guaranteedPdp));
  return out;
}

std::string RevisionDescription(const CCCPacket& packet) {
  if (IsExtended(packet)) return {};
  std::uint32_t rmdo = 0;
  if (!FirstObject(packet, rmdo)) return "(No Revision Data Object)";
  return Format("Revision %d.%d, Version %d.%d", static_cast<int>(Bits(rmdo, 31, 28)),
                static_cast<int>(Bits(rmdo, 27, 24)), static_cast<int>(Bits(rmdo, 23, 20)),
                static_cast<int>(Bits(rmdo, 19, 16)));
}

}  // namespace zk
