#include "ui/list/find_filter.h"

#include <iterator>

#include "pd/message_header.h"
#include "pd/summary_fields.h"

namespace zk {

namespace {

using enum MessageClass;

constexpr MessageTypeFlag kMessageTypeFlags[] = {
    {kControl, 1, "GoodCRC"},
    {kControl, 2, "GotoMin"},
    {kControl, 3, "Accept"},
    {kControl, 4, "Reject"},
    {kControl, 5, "Ping"},
    {kControl, 6, "PS_RDY"},
    {kControl, 7, "Get_Source_Cap"},
    {kControl, 8, "Get_Sink_Cap"},
    {kControl, 9, "DR_Swap"},
    {kControl, 10, "PR_Swap"},
    {kControl, 11, "VCONN_Swap"},
    {kControl, 12, "Wait"},
    {kControl, 13, "Soft_Reset"},
    {kControl, 14, "Data_Reset"},
    {kControl, 15, "Data_Reset_Complete"},
    {kControl, 16, "Not_Supported"},
    {kControl, 17, "Get_Source_Cap_Extended"},
    {kControl, 18, "Get_Status"},
    {kControl, 19, "FR_Swap"},
    {kControl, 20, "Get_PPS_Status"},
    {kControl, 21, "Get_Country_Codes"},
    {kControl, 22, "Get_Sink_Cap_Extended"},
    {kControl, 23, "Get_Source_Info"},
    {kControl, 24, "Get_Revision"},
    {kData, 1, "Source_Capabilities"},
    {kData, 2, "Request"},
    {kData, 3, "BIST"},
    {kData, 4, "Sink_Capabilities"},
    {kData, 5, "Battery_Status"},
    {kData, 6, "Alert"},
    {kData, 7, "Get_Country_Info"},
    {kData, 8, "Enter_USB"},
    {kData, 9, "EPR_Request"},
    {kData, 10, "EPR_Mode"},
    {kData, 11, "Source_Info"},
    {kData, 12, "Revision"},
    {kData, 15, "Vendor_Defined"},
    {kExtended, 1, "Source_Capabilities_Extended"},
    {kExtended, 2, "Status"},
    {kExtended, 3, "Get_Battery_Cap"},
    {kExtended, 4, "Get_Battery_Status"},
    {kExtended, 5, "Battery_Capabilities"},
    {kExtended, 6, "Get_Manufacturer_Info"},
    {kExtended, 7, "Manufacturer_Info"},
    {kExtended, 8, "Security_Request"},
    {kExtended, 9, "Security_Response"},
    {kExtended, 10, "Firmware_Update_Request"},
    {kExtended, 11, "Firmware_Update_Response"},
    {kExtended, 12, "PPS_Status"},
    {kExtended, 13, "Country_Info"},
    {kExtended, 14, "Country_Codes"},
    {kExtended, 15, "Sink_Capabilities_Extended"},
    {kExtended, 16, "Extended_Control"},
    {kExtended, 17, "EPR_Source_Capabilities"},
    {kExtended, 18, "EPR_Sink_Capabilities"},
    {kExtended, 30, "Vendor_Defined_Extended"},
};
static_assert(std::size(kMessageTypeFlags) == kMessageTypeFlagCount);

// Column ids of the cells a find match highlights.
constexpr int kColumnOrderedSet = 7;
constexpr int kColumnType = 11;
constexpr int kColumnPayload = 25;
constexpr int kColumnCrc = 26;
constexpr int kColumnPreambleLen = 33;
constexpr int kColumnUnitInterval = 34;

bool UnitIntervalBad(float ui) { return ui < 3.03f || ui > 3.7f; }

bool IsResetKind(int kind) { return kind == kKindHardReset || kind == kKindCableReset; }

// Packets without a message header (resets, undecoded packets) carry no roles and no type,
// so the role and type boxes say nothing about them.
bool HasHeader(const CCCPacket& packet) { return IsMessageKind(packet.m_Kind) && packet.m_ByteCount >= 2; }

MessageClass ClassOf(std::uint16_t header) {
  if (HeaderRevision(header) >= 2 && HeaderExtendedBit(header)) return kExtended;
  return HeaderObjectCount(header) != 0 ? kData : kControl;
}

// The box of the packet's message type; nothing when it has no header or its type no box.
std::optional<int> TypeFlagOf(const CCCPacket& packet) {
  if (!HasHeader(packet)) return std::nullopt;
  const std::uint16_t header = packet.Header();
  return MessageTypeFlagIndex(ClassOf(header), HeaderMessageType(header));
}

bool ChannelPasses(const CCCPacket& packet, const PacketCriteria& c) {
  if (packet.m_Channel == 0) return c.cc1;
  if (packet.m_Channel == 1) return c.cc2;
  return false;
}

bool RolesPass(const CCCPacket& packet, const PacketCriteria& c) {
  const std::uint16_t header = packet.Header();
  const bool powerOk = HeaderPowerRole(header) ? c.source : c.sink;
  const bool dataOk = HeaderDataRole(header) ? c.dfp : c.ufp;
  return powerOk && dataOk;
}

// One ordered-set box: its kind, its count in the statistics, and whether find goes on to the
// role and type tests after it (messages) or stops at the "OS" cell (resets, debug packets).
struct OrderedSetBox {
  int kind;
  bool PacketCriteria::*flag;
  bool CriteriaEnabling::*enabled;
  std::uint32_t PacketStatistics::*count;
  bool goesOn;
};

constexpr OrderedSetBox kOrderedSetBoxes[] = {
    {kKindSop, &PacketCriteria::sop, &CriteriaEnabling::sop, &PacketStatistics::sop, true},
    {kKindSopP, &PacketCriteria::sopP, &CriteriaEnabling::sopP, &PacketStatistics::sopP, true},
    {kKindSopPP, &PacketCriteria::sopPP, &CriteriaEnabling::sopPP, &PacketStatistics::sopPP, true},
    {kKindHardReset, &PacketCriteria::hardReset, &CriteriaEnabling::hardReset, &PacketStatistics::hardReset, false},
    {kKindCableReset, &PacketCriteria::cableReset, &CriteriaEnabling::cableReset, &PacketStatistics::cableReset, false},
    {kKindSopPDebug, &PacketCriteria::sopPDebug, &CriteriaEnabling::sopPDebug, &PacketStatistics::sopPDebug, false},
    {kKindSopPPDebug, &PacketCriteria::sopPPDebug, &CriteriaEnabling::sopPPDebug, &PacketStatistics::sopPPDebug, false},
};

// The box of a kind; null for kinds that have none.
const OrderedSetBox* OrderedSetBoxOf(int kind) {
  for (const OrderedSetBox& box : kOrderedSetBoxes) {
    if (box.kind == kind) return &box;
  }
  return nullptr;
}

// The cell that shows why a packet is invalid; nothing when it is not.
std::optional<int> InvalidColumn(const CCCPacket& packet) {
  if (packet.m_EdgeCount <= 0) return std::nullopt;
  if (!packet.m_PreambleFound) return kColumnPreambleLen;
  if (!IsResetKind(packet.m_Kind)) {
    if (!packet.m_CrcOk) return kColumnCrc;
    if (!packet.m_EopFound) return kColumnPayload;
  }
  if (UnitIntervalBad(packet.m_UnitInterval)) return kColumnUnitInterval;
  return std::nullopt;
}

}  // namespace

std::span<const MessageTypeFlag> MessageTypeFlags() { return kMessageTypeFlags; }

std::optional<int> MessageTypeFlagIndex(MessageClass messageClass, int type) {
  for (int i = 0; i < kMessageTypeFlagCount; ++i) {
    if (kMessageTypeFlags[i].messageClass == messageClass && kMessageTypeFlags[i].type == type) return i;
  }
  return std::nullopt;
}

PacketCriteria DefaultFindCriteria() { return PacketCriteria{}; }

PacketCriteria DefaultFilterCriteria() {
  PacketCriteria criteria;
  SetAllFlags(criteria, true);
  return criteria;
}

void SetAllMessageTypes(PacketCriteria& criteria, bool value) { criteria.messageTypes.fill(value); }

void SetAllFlags(PacketCriteria& c, bool value) {
  for (bool* flag : {&c.cc1, &c.cc2, &c.sop, &c.sopP, &c.sopPP, &c.hardReset, &c.cableReset, &c.sopPDebug,
                     &c.sopPPDebug, &c.source, &c.sink, &c.dfp, &c.ufp, &c.noErrors, &c.invalidPacket, &c.crcError}) {
    *flag = value;
  }
  SetAllMessageTypes(c, value);
}

bool IsInvalidPacket(const CCCPacket& packet) { return InvalidColumn(packet).has_value(); }

bool IsCrcErrorPacket(const CCCPacket& packet) { return packet.m_HasPayload && !packet.m_CrcOk; }

std::optional<int> FindMatch(const CCCPacket& packet, const PacketCriteria& find, bool invertCurrent) {
  if (find.enableText) {
    const int column = FindText(packet, find.text, invertCurrent);
    if (column >= 0) return column;
  }
  if (!ChannelPasses(packet, find)) return std::nullopt;

  std::optional<int> found;
  if (const OrderedSetBox* box = OrderedSetBoxOf(packet.m_Kind)) {
    if (!(find.*box->flag)) return std::nullopt;
    if (!box->goesOn) found = kColumnOrderedSet;
  }
  if (find.invalidPacket) {
    if (const std::optional<int> column = InvalidColumn(packet)) found = column;
  }
  if (find.crcError && IsCrcErrorPacket(packet)) return kColumnCrc;
  if (found) return found;

  if (!HasHeader(packet) || !RolesPass(packet, find)) return std::nullopt;
  const std::optional<int> typeFlag = TypeFlagOf(packet);
  if (typeFlag && find.messageTypes[static_cast<std::size_t>(*typeFlag)]) return kColumnType;
  return std::nullopt;
}

bool FilterPasses(const CCCPacket& packet, const PacketCriteria& filter) {
  if (!ChannelPasses(packet, filter)) return false;
  if (const OrderedSetBox* box = OrderedSetBoxOf(packet.m_Kind); box && !(filter.*box->flag)) return false;

  const bool invalid = IsInvalidPacket(packet);
  const bool crcError = IsCrcErrorPacket(packet);
  if (!filter.invalidPacket && invalid) return false;
  if (!filter.crcError && crcError) return false;
  if (!filter.noErrors && !invalid && !crcError) return false;

  if (!HasHeader(packet)) return true;
  if (!RolesPass(packet, filter)) return false;
  const std::optional<int> typeFlag = TypeFlagOf(packet);
  return !typeFlag || filter.messageTypes[static_cast<std::size_t>(*typeFlag)];
}

bool DisplayFilterHides(const CCCPacket& packet, const PacketCriteria& filter, bool filterOn, bool invertCurrent) {
  if (!filterOn) return false;
  if (filter.enableText && !filter.text.empty() && FindText(packet, filter.text, invertCurrent) < 0) return true;
  return !FilterPasses(packet, filter);
}

std::optional<int> FindStepRow(int rowCount, int selectedRow, int direction, const std::function<bool(int)>& matches) {
  if (direction == 0) return std::nullopt;
  const int step = direction > 0 ? 1 : -1;
  for (int row = (selectedRow != -1 ? selectedRow : 0) + step; row >= 0 && row < rowCount; row += step) {
    if (matches(row)) return row;
  }
  return std::nullopt;
}

CriteriaEnabling ComputeEnabling(const PacketCriteria& shown, const PacketStatistics& stats) {
  const bool all = shown.allowChangeAll;
  const auto seen = [all](std::uint32_t count) { return all || count > 0; };
  CriteriaEnabling e;
  e.text = shown.enableText;
  e.cc1 = seen(stats.cc1);
  e.cc2 = seen(stats.cc2);
  for (const OrderedSetBox& box : kOrderedSetBoxes) e.*box.enabled = seen(stats.*box.count);
  e.source = seen(stats.powerRoleSet);
  e.sink = seen(stats.powerRoleClear);
  e.dfp = seen(stats.dataRoleSet);
  e.ufp = seen(stats.dataRoleClear);
  for (int i = 0; i < kMessageTypeFlagCount; ++i) {
    const MessageTypeFlag& flag = kMessageTypeFlags[i];
    const std::array<std::uint32_t, 32>& table = flag.messageClass == kControl ? stats.control
                                                 : flag.messageClass == kData  ? stats.data
                                                                               : stats.extended;
    e.messageTypes[static_cast<std::size_t>(i)] = seen(table[static_cast<std::size_t>(flag.type)]);
  }
  e.noErrors = true;
  e.invalidPacket = seen(stats.noPreamble) || seen(stats.noEop) || seen(stats.badUnitInterval);
  e.crcError = seen(stats.crcError);
  return e;
}

CPacketFindDlgModel::CPacketFindDlgModel(Role role)
    : m_Role(role),
      m_Criteria(role == Role::kFind ? DefaultFindCriteria() : DefaultFilterCriteria()),
      m_Controls(m_Criteria) {}

const char* CPacketFindDlgModel::Title() const {
  return m_Role == Role::kFind ? "Find PD Messages" : "Display Filter Settings";
}

void CPacketFindDlgModel::Open(const PacketStatistics& stats) {
  m_Stats = stats;
  m_Controls = m_Criteria;
  m_Enabling = ComputeEnabling(m_Controls, m_Stats);
}

void CPacketFindDlgModel::ToggleClicked() {
  m_Criteria = m_Controls;
  m_Enabling = ComputeEnabling(m_Controls, m_Stats);
}

void CPacketFindDlgModel::ApplyToBoth(const std::function<void(PacketCriteria&)>& change) {
  change(m_Criteria);
  change(m_Controls);
}

FindDialogOutcome CPacketFindDlgModel::Ok() {
  m_Criteria = m_Controls;
  if (m_Role == Role::kFilter) return {.enableDisplayFilter = true, .rebuildList = true};
  return {.redrawVisibleRows = true, .findStep = m_Criteria.direction == FindDirection::kBackward ? -1 : 1};
}

}  // namespace zk
