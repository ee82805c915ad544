#include "pd/power_objects.h"

#include <iterator>
#include <span>

#include "pd/message_bytes.h"
#include "pd/message_header.h"
#include "pd/text_format.h"
#include "pd/value_text.h"

namespace zk {

namespace {

// PDO kinds: the supply type of bits 31-30, with the APDO sub-type of bits 29-28.
enum PdoKind : int { kFixed, kBattery, kVariable, kSprPps, kEprAvs, kSprAvs, kApdoUnknown };

PdoKind KindOf(std::uint32_t pdo) {
  const std::uint32_t type = Bits(pdo, 31, 30);
  if (type < 3) return static_cast<PdoKind>(type);
  return static_cast<PdoKind>(kSprPps + Bits(pdo, 29, 28));
}

constexpr FlagText kSourceFixedLongFlags[] = {
    {29, "(Dual-Role Power)"}, {28, "(USB Suspend)"}, {27, "(Unconstrained)"}, {26, "(USB Communications)"},
    {25, "(Data-Role Data)"},  {24, "(Unchunked)"},   {23, "(EPR)"},
};
constexpr FlagText kSinkFixedLongFlags[] = {
    {29, "(Dual-Role Power)"},    {27, "(Unconstrained)"},  {28, "(Higher Capability)"},
    {26, "(USB Communications)"}, {25, "(Data-Role Data)"},
};
constexpr FlagText kSourceFixedShortFlags[] = {
    {29, "(DRP)"}, {28, "(USB Suspend)"}, {27, "(Unconstrained)"}, {26, "(USB Comm)"},
    {25, "(DRD)"}, {24, "(Unchunked)"},   {23, "(EPR)"},
};
constexpr FlagText kSinkFixedShortFlags[] = {
    {29, "(DRP)"}, {27, "(Unconstrained)"}, {28, "(HiCap)"}, {26, "(USB Comm)"}, {25, "(DRD)"},
};
constexpr ValueText kFastRoleSwapTexts[] = {
    {1, "(FRSwap Default USB)"},
    {2, "(FRSwap 1.5A@5V)"},
    {3, "(FRSwap 3.0A@5V)"},
};
constexpr FlagText kRequestFlags[] = {
    {26, "(Capability Mismatch)"},
    {25, "(USB Commincations Capable)"},
    {24, "(No USB Suspend)"},
    {23, "(Unchunked)"},
    {22, "(EPR)"},
};
constexpr ValueText kRequestedKindTexts[] = {
    {kFixed, "Fixed"},         {kBattery, "Battery"},     {kVariable, "Variable"},        {kSprPps, "APDO:SPR PPS"},
    {kEprAvs, "APDO:EPR AVS"}, {kSprAvs, "APDO:SPR AVS"}, {kApdoUnknown, "APDO:Unknown"},
};

int FixedMillivolts(std::uint32_t pdo) { return static_cast<int>(Bits(pdo, 19, 10) * 50); }
int FixedMilliamps(std::uint32_t pdo) { return static_cast<int>(Bits(pdo, 9, 0) * 10); }
int MinMillivolts(std::uint32_t pdo) { return static_cast<int>(Bits(pdo, 19, 10) * 50); }
int MaxMillivolts(std::uint32_t pdo) { return static_cast<int>(Bits(pdo, 29, 20) * 50); }
int BatteryMilliwatts(std::uint32_t pdo) { return static_cast<int>(Bits(pdo, 9, 0) * 250); }

void AppendSprPps(std::string& out, std::uint32_t pdo, PowerRole role) {
  out += "<APDO:SPR PPS>";
  AppendFormat(out, "%d-%d[mV]/%d[mA]", static_cast<int>(Bits(pdo, 15, 8) * 100),
               static_cast<int>(Bits(pdo, 24, 17) * 100), static_cast<int>(Bits(pdo, 6, 0) * 50));
  if (role == PowerRole::kSource && Bits(pdo, 27, 27)) out += "(PPSPowerLimited)";
}

void AppendEprAvs(std::string& out, std::uint32_t pdo, PowerRole role) {
  out += "<APDO:EPR AVS>";
  AppendFormat(out, "%d-%d[mV]", static_cast<int>(Bits(pdo, 15, 8) * 100), static_cast<int>(Bits(pdo, 25, 17) * 100));
  AppendFormat(out, "(PDP=%d[W])", static_cast<int>(Bits(pdo, 7, 0)));
  if (role == PowerRole::kSource) AppendFormat(out, "(Peak Current=%d)", static_cast<int>(Bits(pdo, 27, 26)));
}

void AppendSprAvs(std::string& out, std::uint32_t pdo, PowerRole role) {
  out += "<APDO:SPR AVS>";
  AppendFormat(out, "(9-15[V]:%d[mA])", static_cast<int>(Bits(pdo, 19, 10) * 10));
  AppendFormat(out, "(15-20[V]:%d[mA])", static_cast<int>(Bits(pdo, 9, 0) * 10));
  if (role == PowerRole::kSource) AppendFormat(out, "(Peak Current=%d)", static_cast<int>(Bits(pdo, 27, 26)));
}

void AppendUnknownApdo(std::string& out, std::uint32_t, PowerRole) { out += "<APDO:Unknown>"; }

void AppendLongFixed(std::string& out, std::uint32_t pdo, PowerRole role) {
  out += "<Fixed>";
  AppendFormat(out, " %d[mV]/%d[mA] ", FixedMillivolts(pdo), FixedMilliamps(pdo));
  if (role == PowerRole::kSource) {
    AppendFlags(out, pdo, kSourceFixedLongFlags);
    AppendFormat(out, "(Peak Current=%d)", static_cast<int>(Bits(pdo, 21, 20)));
  } else {
    AppendFlags(out, pdo, kSinkFixedLongFlags);
    out += LookupText(kFastRoleSwapTexts, static_cast<int>(Bits(pdo, 24, 23)), "");
  }
}

void AppendShortFixed(std::string& out, std::uint32_t pdo, PowerRole role) {
  const float volts = static_cast<float>(Bits(pdo, 19, 10)) * 50 / 1000;
  const float amps = static_cast<float>(Bits(pdo, 9, 0)) * 10 / 1000;
  out += "<Fix>";
  AppendFormat(out, "%.2fV/%.2fA", static_cast<double>(volts), static_cast<double>(amps));
  if (role == PowerRole::kSource) {
    AppendFlags(out, pdo, kSourceFixedShortFlags);
  } else {
    AppendFlags(out, pdo, kSinkFixedShortFlags);
    out += LookupText(kFastRoleSwapTexts, static_cast<int>(Bits(pdo, 24, 23)), "");
  }
}

// A sink's battery object holds its operational power where a source's holds the maximum.
void AppendLongBattery(std::string& out, std::uint32_t pdo, PowerRole) {
  out += "<Battery>";
  AppendFormat(out, " %d-%d[mV] ", MinMillivolts(pdo), MaxMillivolts(pdo));
  AppendFormat(out, "(MaxPower=%d[mW])", BatteryMilliwatts(pdo));
}

void AppendShortBattery(std::string& out, std::uint32_t pdo, PowerRole) {
  out += "<Battery>";
  AppendFormat(out, "%d-%d[mV]", MinMillivolts(pdo), MaxMillivolts(pdo));
  AppendFormat(out, "(MaxPower=%d[mW])", BatteryMilliwatts(pdo));
}

void AppendLongVariable(std::string& out, std::uint32_t pdo, PowerRole) {
  out += "<None-Battery>";
  AppendFormat(out, " %d-%d[mV]/%d[mA] ", MinMillivolts(pdo), MaxMillivolts(pdo), FixedMilliamps(pdo));
}

void AppendShortVariable(std::string& out, std::uint32_t pdo, PowerRole) {
  out += "<None-Battery>";
  AppendFormat(out, "%d-%d[mV]/%d[mA]", MinMillivolts(pdo), MaxMillivolts(pdo), FixedMilliamps(pdo));
}

// One text function per PDO kind, indexed by PdoKind; the APDOs read the same in both forms.
using PdoTextFn = void (*)(std::string&, std::uint32_t, PowerRole);
constexpr PdoTextFn kLongForms[] = {AppendLongFixed, AppendLongBattery, AppendLongVariable, AppendSprPps,
                                    AppendEprAvs,    AppendSprAvs,      AppendUnknownApdo};
constexpr PdoTextFn kShortForms[] = {AppendShortFixed, AppendShortBattery, AppendShortVariable, AppendSprPps,
                                     AppendEprAvs,     AppendSprAvs,       AppendUnknownApdo};
static_assert(std::size(kLongForms) == kApdoUnknown + 1 && std::size(kShortForms) == kApdoUnknown + 1);

std::string CapabilitiesLongForm(const CCCPacket& packet, PowerRole role) {
  if (IsExtended(packet)) return {};
  std::string out;
  const int count = DataObjectsPresent(packet);
  for (int i = 0; i < count; ++i) {
    AppendFormat(out, "[%d]", i + 1);
    out += PdoLongText(packet.DataObject(i), role);
    out += ' ';
  }
  return out;
}

std::uint32_t LittleEndianWord(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::string CapabilitiesShortForm(const CCCPacket& packet, PowerRole role) {
  if (!IsExtended(packet)) return {};
  const ExtendedData data = DescribedExtendedData(packet);
  std::string out;
  const int count = data.size / 4;
  for (int i = 0; i < count; ++i) {
    // Zero padding separates the SPR objects from the EPR ones, which keep positions 8 and up.
    const std::uint32_t pdo = LittleEndianWord(data.bytes + 4 * i);
    if (pdo == 0) continue;
    AppendFormat(out, "[%d]", i + 1);
    out += PdoShortText(pdo, role);
    out += ' ';
  }
  return out;
}

void AppendCurrentRequest(std::string& out, std::uint32_t rdo) {
  AppendFormat(out, "(Operating Current=%d[mA])", static_cast<int>(Bits(rdo, 19, 10) * 10));
  const int limit = static_cast<int>(Bits(rdo, 9, 0) * 10);
  if (!Bits(rdo, 27, 27)) {
    AppendFormat(out, "(Max Operating Current=%d[mA])", limit);
  } else {
    AppendFormat(out, "(Min Operating Current=%d[mA])", limit);
    out += "(GiveBack)";
  }
}

void AppendPowerRequest(std::string& out, std::uint32_t rdo) {
  AppendFormat(out, "(Operating Power=%d[mW])", static_cast<int>(Bits(rdo, 19, 10) * 250));
  const int limit = static_cast<int>(Bits(rdo, 9, 0) * 250);
  if (!Bits(rdo, 27, 27)) {
    AppendFormat(out, "(Max Operating Power=%d[mW])", limit);
  } else {
    AppendFormat(out, "(Min Operating Power=%d[mW])", limit);
    out += "(GiveBack)";
  }
}

void AppendPpsRequest(std::string& out, std::uint32_t rdo) {
  AppendFormat(out, "(Operating Current=%d[mA])", static_cast<int>(Bits(rdo, 6, 0) * 50));
  AppendFormat(out, "(Output Voltage=%d[mV])", static_cast<int>(Bits(rdo, 19, 9) * 20));
}

void AppendAvsRequest(std::string& out, std::uint32_t rdo) {
  AppendFormat(out, "(Operating Current=%d[mA])", static_cast<int>(Bits(rdo, 6, 0) * 50));
  AppendFormat(out, "(Output Voltage=%d[mV])", static_cast<int>(Bits(rdo, 20, 9) * 25));
}

void AppendNothing(std::string&, std::uint32_t) {}

// How an RDO is read depends on the kind of the PDO it selects.
using RequestFieldsFn = void (*)(std::string&, std::uint32_t);
constexpr RequestFieldsFn kRequestFields[] = {
    /* kFixed */ AppendCurrentRequest,    /* kBattery */ AppendPowerRequest,
    /* kVariable */ AppendCurrentRequest,
    /* kSprPps */ AppendPpsRequest,       /* kEprAvs */ AppendAvsRequest,
    /* kSprAvs */ AppendAvsRequest,
    /* kApdoUnknown */ AppendNothing,
};
static_assert(std::size(kRequestFields) == kApdoUnknown + 1);

int ObjectPosition(std::uint32_t rdo) { return static_cast<int>(Bits(rdo, 31, 28)); }

void AppendRequestedPdo(std::string& out, std::uint32_t rdo, std::uint32_t pdo) {
  const PdoKind kind = KindOf(pdo);
  out += '<';
  out += LookupText(kRequestedKindTexts, kind, "");
  out += "> ";
  kRequestFields[kind](out, rdo);
  AppendFlags(out, rdo, kRequestFlags);
}

}  // namespace

std::string PdoLongText(std::uint32_t pdo, PowerRole role) {
  std::string out;
  kLongForms[KindOf(pdo)](out, pdo, role);
  return out;
}

std::string PdoShortText(std::uint32_t pdo, PowerRole role) {
  std::string out;
  kShortForms[KindOf(pdo)](out, pdo, role);
  return out;
}

std::string SourceCapabilitiesDescription(const CCCPacket& packet) {
  return CapabilitiesLongForm(packet, PowerRole::kSource);
}

std::string SinkCapabilitiesDescription(const CCCPacket& packet) {
  return CapabilitiesLongForm(packet, PowerRole::kSink);
}

std::string EprSourceCapabilitiesDescription(const CCCPacket& packet) {
  return CapabilitiesShortForm(packet, PowerRole::kSource);
}

std::string EprSinkCapabilitiesDescription(const CCCPacket& packet) {
  return CapabilitiesShortForm(packet, PowerRole::kSink);
}

std::string RequestDescription(const CCCPacket& packet) {
  if (IsExtended(packet)) return {};
  if (!HasExactObjectCount(packet, 1)) return "Invalid Data Objects Count.";
  const std::uint32_t rdo = packet.DataObject(0);
  const int position = ObjectPosition(rdo);
  std::string out = Format("Position=%d", position);
  const CCCPacket* caps = packet.m_pSourceCaps;
  if (caps == nullptr || position < 1 || position > DataObjectsPresent(*caps)) return out;
  AppendRequestedPdo(out, rdo, caps->DataObject(position - 1));
  return out;
}

std::string EprRequestDescription(const CCCPacket& packet) {
  if (IsExtended(packet)) return {};
  if (!HasExactObjectCount(packet, 2)) return "Invalid Data Objects Count.";
  const std::uint32_t rdo = packet.DataObject(0);
  std::string out = Format("Position=%d", ObjectPosition(rdo));
  AppendRequestedPdo(out, rdo, packet.DataObject(1));
  return out;
}

std::string SourceCapabilitiesExtendedDescription(const CCCPacket& packet) {
  if (!IsExtended(packet)) return {};
  const ExtendedData data = DescribedExtendedData(packet);
  std::string out;
  if (data.size >= 24) AppendFormat(out, "(SPR Source Rating=%d[W])", data.bytes[23] & 0x7F);
  if (data.size >= 25) AppendFormat(out, "(EPR Source Rating=%d[W])", data.bytes[24]);
  return out;
}

std::string SinkCapabilitiesExtendedDescription(const CCCPacket& packet) {
  if (!IsExtended(packet)) return {};
  const ExtendedData data = DescribedExtendedData(packet);
  const std::uint8_t* b = data.bytes;
  std::string out;
  if (data.size >= 21) {
    AppendFormat(out, "(Sink Min/Ope/Max PDP=%d/%d/%d[W])", b[18] & 0x7F, b[19] & 0x7F, b[20] & 0x7F);
  }
  if (data.size >= 24) AppendFormat(out, "(EPR Sink Min/Ope/Max PDP=%d/%d/%d[W])", b[21], b[22], b[23]);
  return out;
}

}  // namespace zk
