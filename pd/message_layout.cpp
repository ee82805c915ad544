#include "pd/message_layout.h"

#include <algorithm>

#include "pd/message_bytes.h"
#include "pd/message_header.h"

namespace zk {

namespace {

using L = FieldListId;

// Value tables that name message types and VDM commands, by their dictionary number.
constexpr int kDisplayPortCommandNames = 1;
constexpr int kControlNamesRev2 = 2;
constexpr int kControlNamesRev3 = 3;
constexpr int kDataNamesRev2 = 4;
constexpr int kDataNamesRev3 = 5;
constexpr int kExtendedNames = 6;
constexpr int kVdmCommandNames = 119;

constexpr std::uint16_t kSvidDisplayPort = 0xFF01;
constexpr std::uint16_t kSvidTbt3 = 0x8087;

// The six header forms by kind family, revision form and extended bit.
struct HeaderForms {
  FieldListId rev2;
  FieldListId rev3;
  FieldListId rev3Extended;
};
constexpr HeaderForms kSopHeaders = {L::kSOPHeaderRev2, L::kSOPHeaderRev3, L::kSOPExtendedMessageRev3};
constexpr HeaderForms kCableHeaders = {L::kCableHeaderRev2, L::kCableHeaderRev3, L::kCableExtendedMessageRev3};

// PDO lists by the supply type (bits 31-30) and, for an APDO, its sub-type (bits 29-28).
struct PdoForms {
  FieldListId fixedRev2;
  FieldListId fixedRev3;
  FieldListId battery;
  FieldListId variable;
  FieldListId apdo[4];
};
constexpr PdoForms kSourcePdos = {
    L::kSourceFixedSupplyPDORev2,
    L::kSourceFixedSupplyPDORev3,
    L::kSourceBatteryPDO,
    L::kSourceVariableSupplyPDO,
    {L::kSourceSPRPPSAPDO, L::kSourceEPRAVSAPDO, L::kSourceSPRAVSAPDO, L::kSourceAPDOOfUnknownSubType}};
constexpr PdoForms kSinkPdos = {
    L::kSinkFixedSupplyPDORev2,
    L::kSinkFixedSupplyPDORev3,
    L::kSinkBatteryPDO,
    L::kSinkVariableSupplyPDO,
    {L::kSinkSPRPPSAPDO, L::kSinkEPRAVSAPDO, L::kSinkSPRAVSAPDO, L::kSinkAPDOOfUnknownSubType}};

// Request lists: [give back][revision 3] for fixed/variable and battery PDOs, and by APDO sub-type.
struct RequestForms {
  FieldListId fixedOrVariable[2][2];
  FieldListId battery[2][2];
  FieldListId apdo[4];
};
constexpr RequestForms kRequests = {
    {{L::kFixedOrVariableRequestRev2, L::kFixedOrVariableRequestRev3},
     {L::kFixedOrVariableRequestWithGiveBackRev2, L::kFixedOrVariableRequestWithGiveBackRev3}},
    {{L::kBatteryRequestRev2, L::kBatteryRequestRev3},
     {L::kBatteryRequestWithGiveBackRev2, L::kBatteryRequestWithGiveBackRev3}},
    {L::kPPSRequest, L::kAVSRequest, L::kAVSRequest, L::kRequestForAnAPDOOfUnknownSubType}};

// Message types whose block is one list at a fixed start.
struct TypeList {
  int type;
  FieldListId list;
};
constexpr TypeList kExtendedBlocks[] = {
    {1, L::kSourceCapabilitiesExtendedDataBlock},
    {3, L::kGetBatteryCapDataBlock},
    {4, L::kGetBatteryStatusDataBlock},
    {5, L::kBatteryCapabilitiesDataBlock},
    {6, L::kGetManufacturerInfoDataBlock},
    {7, L::kManufacturerInfoDataBlock},
    {12, L::kPPSStatusDataBlock},
    {13, L::kCountryInfoDataBlock},
    {14, L::kCountryCodesDataBlock},
    {15, L::kSinkCapabilitiesExtendedDataBlock},
    {16, L::kExtendedControlDataBlock},
    {30, L::kUnstructuredVDMHeader},
};
constexpr TypeList kDataObjectBlocks[] = {
    {3, L::kBISTDataObject},
    {5, L::kBatteryStatusDataObject},
    {6, L::kAlertDataObject},
    {7, L::kGetCountryInfoDataObject},
    {8, L::kEnterUSBDataObject},
    {10, L::kEPRModeDataObject},
    {11, L::kSourceInformationDataObjects},
    {12, L::kRevisionDataObject},
};

// Security and firmware update messages: a header, then a payload chosen by its type byte.
struct PayloadChoice {
  std::uint8_t typeByte;
  FieldListId list;
};
constexpr PayloadChoice kSecurityRequestPayloads[] = {
    {0x81, L::kSecurityRequestPayload0x81},
    {0x82, L::kSecurityRequestPayload0x82},
    {0x83, L::kSecurityRequestPayload0x83},
};
constexpr PayloadChoice kSecurityResponsePayloads[] = {
    {0x01, L::kSecurityResponsePayload0x01},
    {0x02, L::kSecurityResponsePayload0x02},
    {0x03, L::kSecurityResponsePayload0x03},
    {0x7F, L::kSecurityResponsePayload0x7F},
};
constexpr PayloadChoice kFirmwareRequestPayloads[] = {
    {0x82, L::kFirmwareUpdateRequestPayload0x82},
    {0x83, L::kFirmwareUpdateRequestPayload0x83},
    {0x84, L::kFirmwareUpdateRequestPayload0x84},
    {0xFF, L::kFirmwareUpdateRequestPayload0xFF},
};
constexpr PayloadChoice kFirmwareResponsePayloads[] = {
    {0x01, L::kFirmwareUpdateResponsePayload0x01}, {0x02, L::kFirmwareUpdateResponsePayload0x02},
    {0x03, L::kFirmwareUpdateResponsePayload0x03}, {0x05, L::kFirmwareUpdateResponsePayload0x05},
    {0x07, L::kFirmwareUpdateResponsePayload0x07}, {0x7F, L::kFirmwareUpdateResponsePayload0x7F},
};
struct HeaderWithPayload {
  int type;
  FieldListId header;
  std::span<const PayloadChoice> payloads;
};
constexpr HeaderWithPayload kHeaderWithPayloadBlocks[] = {
    {8, L::kSecurityRequestHeader, kSecurityRequestPayloads},
    {9, L::kSecurityResponseHeader, kSecurityResponsePayloads},
    {10, L::kFirmwareUpdateRequestHeader, kFirmwareRequestPayloads},
    {11, L::kFirmwareUpdateResponseHeader, kFirmwareResponsePayloads},
};

// Extended message types carrying one PDO per 32-bit word.
constexpr int kEprSourceCapabilities = 17;
constexpr int kEprSinkCapabilities = 18;
constexpr int kEprCapabilityWords = 13;
constexpr int kExtendedStatus = 2;

constexpr int kDataSinkCapabilities = 4;
constexpr int kDataEprRequest = 9;
constexpr int kCapabilityObjects = 7;

enum VdmCommand : int {
  kVdmDiscoverIdentity = 1,
  kVdmDiscoverSvids = 2,
  kVdmDiscoverModes = 3,
  kVdmEnterMode = 4,
  kVdmExitMode = 5,
  kVdmAttention = 6,
  kDpStatusUpdate = 16,
  kDpConfigure = 17,
};

std::uint32_t Field(std::uint32_t word, int lo, int width) { return (word >> lo) & ((1u << width) - 1u); }

template <typename Row>
const Row* FindType(std::span<const Row> rows, int type) {
  for (const Row& r : rows) {
    if (r.type == type) return &r;
  }
  return nullptr;
}

FieldListId PdoList(const PdoForms& forms, std::uint32_t pdo, bool rev3) {
  switch (pdo >> 30) {
    case 1: return forms.battery;
    case 2: return forms.variable;
    case 3: return forms.apdo[Field(pdo, 28, 2)];
    default: return rev3 ? forms.fixedRev3 : forms.fixedRev2;
  }
}

FieldListId RequestList(std::uint32_t pdo, std::uint32_t request, bool rev3) {
  const int giveBack = static_cast<int>(Field(request, 27, 1));
  switch (pdo >> 30) {
    case 1: return kRequests.battery[giveBack][rev3];
    case 3: return kRequests.apdo[Field(pdo, 28, 2)];
    default: return kRequests.fixedOrVariable[giveBack][rev3];
  }
}

bool IsRev3(std::uint16_t header) { return HeaderRevision(header) >= 2; }

const ValueEntry* MessageTypeTable(const CCCPacket& packet) {
  const bool rev3 = IsRev3(packet.Header());
  if (IsExtended(packet)) return ValueTable(kExtendedNames);
  if (IsControlMessage(packet)) return ValueTable(rev3 ? kControlNamesRev3 : kControlNamesRev2);
  return ValueTable(rev3 ? kDataNamesRev3 : kDataNamesRev2);
}

void AddHeader(const CCCPacket& packet, MessageLayout& layout) {
  const HeaderForms* forms = nullptr;
  if (packet.m_Kind == kKindSop) forms = &kSopHeaders;
  if (packet.m_Kind == kKindSopP || packet.m_Kind == kKindSopPP) forms = &kCableHeaders;
  if (forms == nullptr) {
    layout.Add(0, nullptr);
  } else {
    const std::uint16_t h = packet.Header();
    const FieldListId id = !IsRev3(h) ? forms->rev2 : HeaderExtendedBit(h) ? forms->rev3Extended : forms->rev3;
    if (LayoutEntry* e = layout.Add(0, FieldList(id))) e->m_pOverrideTable = MessageTypeTable(packet);
  }
  if (IsExtended(packet)) layout.Add(16, FieldList(L::kExtendedMessageHeader));
}

void AddExtendedBlocks(const CCCPacket& packet, FieldView view, MessageLayout& layout) {
  // The message view of a message whose data was reassembled leaves its data to that view.
  if (view == FieldView::kMessage && packet.ExtData() != nullptr && packet.m_ExtChunkLen != 0) return;
  const FieldSource source = SourceOf(packet, view);
  const std::int32_t base = view == FieldView::kMessage ? 32 : 0;
  const int type = MessageType(packet);

  if (const TypeList* block = FindType<TypeList>(kExtendedBlocks, type)) {
    layout.Add(base, FieldList(block->list));
  } else if (type == kExtendedStatus) {
    if (packet.m_Kind == kKindSop) layout.Add(base, FieldList(L::kStatusDataBlockSOP));
    if (packet.m_Kind == kKindSopP || packet.m_Kind == kKindSopPP)
      layout.Add(base, FieldList(L::kStatusDataBlockCable));
  } else if (const HeaderWithPayload* block = FindType<HeaderWithPayload>(kHeaderWithPayloadBlocks, type)) {
    layout.Add(base, FieldList(block->header));
    const std::uint32_t typeByte = ReadBits(source, base + 8, 8);
    for (const PayloadChoice& choice : block->payloads) {
      if (choice.typeByte == typeByte) layout.Add(base + 16, FieldList(choice.list));
    }
  } else if (type == kEprSourceCapabilities || type == kEprSinkCapabilities) {
    const PdoForms& forms = type == kEprSourceCapabilities ? kSourcePdos : kSinkPdos;
    for (int i = 0; i < kEprCapabilityWords; ++i) {
      const std::int32_t start = base + 32 * i;
      layout.Add(start, FieldList(PdoList(forms, ReadBits(source, start, 32), true)));
    }
  }
}

void AddCapabilities(const CCCPacket& packet, const FieldSource& source, const PdoForms& forms, MessageLayout& layout) {
  const bool rev3 = IsRev3(packet.Header());
  for (int i = 0; i < kCapabilityObjects; ++i) {
    const std::int32_t start = 16 + 32 * i;
    layout.Add(start, FieldList(PdoList(forms, ReadBits(source, start, 32), rev3)));
  }
}

void AddRequest(const CCCPacket& packet, const FieldSource& source, MessageLayout& layout) {
  const CCCPacket* caps = packet.m_pSourceCaps;
  if (caps == nullptr) return;
  const std::uint32_t request = ReadBits(source, 16, 32);
  const int position = static_cast<int>(request >> 28);
  if (position < 1 || position > HeaderObjectCount(caps->Header())) return;
  const std::uint32_t pdo = ReadBits(MessageSource(*caps), 16 + 32 * (position - 1), 32);
  layout.Add(16, FieldList(RequestList(pdo, request, IsRev3(packet.Header()))));
}

void AddEprRequest(const CCCPacket& packet, const FieldSource& source, MessageLayout& layout) {
  if (HeaderObjectCount(packet.Header()) < 2) {
    layout.Add(16, FieldList(L::kEPRRequestWithoutPDOCopy));
    return;
  }
  const std::uint32_t request = ReadBits(source, 16, 32);
  const std::uint32_t pdoCopy = ReadBits(source, 48, 32);
  layout.Add(16, FieldList(RequestList(pdoCopy, request, true)));
  layout.Add(48, FieldList(PdoList(kSourcePdos, pdoCopy, true)));
}

FieldListId UfpVdoForm(std::uint32_t vdo) {
  const std::uint32_t v = vdo >> 28;
  return v == 0 ? L::kUFPVDOFormA : v <= 2 ? L::kUFPVDOFormB : L::kUFPVDOFormC;
}
FieldListId DfpVdoForm(std::uint32_t vdo) {
  const std::uint32_t v = vdo >> 28;
  return v == 0 ? L::kDFPVDOFormA : v == 1 ? L::kDFPVDOFormB : L::kDFPVDOFormC;
}

void AddUfpVdos(std::uint32_t d5, MessageLayout& layout) {
  layout.Add(144, FieldList(UfpVdoForm(d5)));
  if ((d5 >> 28) < 3) layout.Add(176, FieldList(L::kUFPPowerVDO));
}

// The product-type VDOs after the ID header, cert stat and product VDO of a Discover Identity.
void AddProductTypeVdos(const CCCPacket& packet, const FieldSource& source, bool version2, MessageLayout& layout) {
  const std::uint32_t d2 = ReadBits(source, 48, 32);
  const std::uint32_t d5 = ReadBits(source, 144, 32);
  const std::uint32_t d7 = ReadBits(source, 208, 32);
  const std::uint32_t upperType = Field(d2, 27, 3);  // UFP or cable plug product type
  const std::uint32_t dfpType = Field(d2, 23, 3);
  const bool ufpHubOrPeripheral = upperType == 1 || upperType == 2;
  const bool dfpProduct = dfpType >= 1 && dfpType <= 3;

  if (packet.m_Kind != kKindSop) {
    if (upperType == 3) layout.Add(144, FieldList(version2 ? L::kPassiveCableVDOV2 : L::kPassiveCableVDOV10));
    if (upperType == 4 && version2) {
      layout.Add(144, FieldList(L::kActiveCableVDO1V2));
      layout.Add(176, FieldList(L::kActiveCableVDO2V2));
    } else if (upperType == 4) {
      layout.Add(144, FieldList(L::kActiveCableVDOV10));
    }
    return;
  }
  if (HeaderObjectCount(packet.Header()) == 7 && version2 && ufpHubOrPeripheral && dfpProduct) {
    AddUfpVdos(d5, layout);
    layout.Add(208, FieldList(DfpVdoForm(d7)));
  } else if (HeaderDataRole(packet.Header())) {
    if (dfpProduct && version2) layout.Add(144, FieldList(DfpVdoForm(d5)));
  } else if (ufpHubOrPeripheral) {
    if (version2) AddUfpVdos(d5, layout);
  } else if (upperType == 5) {
    layout.Add(144, FieldList(version2 ? L::kAlternateModeAdapterVDOV2 : L::kAlternateModeAdapterVDOV10));
  } else if (upperType == 6 && version2) {
    layout.Add(144, FieldList(L::kVCONNPoweredDeviceVDO));
  }
}

void AddDiscoverIdentity(const CCCPacket& packet, const FieldSource& source, bool version2, MessageLayout& layout) {
  if (packet.m_Kind == kKindSop) {
    layout.Add(48, FieldList(version2 ? L::kIDHeaderSOPV2 : L::kIDHeaderSOPV10));
  } else {
    layout.Add(48, FieldList(version2 ? L::kIDHeaderCableV2 : L::kIDHeaderCableV10));
  }
  layout.Add(80, FieldList(L::kCertStatVDO));
  layout.Add(112, FieldList(L::kProductVDO));
  AddProductTypeVdos(packet, source, version2, layout);
}

void AddDiscoverModes(const CCCPacket& packet, std::uint32_t svid, MessageLayout& layout) {
  if (svid == kSvidDisplayPort) {
    for (std::int32_t start = 48; start <= 208; start += 32)
      layout.Add(start, FieldList(L::kDisplayPortCapabilitiesVDO));
  } else if (svid == kSvidTbt3) {
    layout.Add(48, FieldList(packet.m_Kind == kKindSop ? L::kTBT3ModeVDOSOP : L::kTBT3ModeVDOCable));
  } else {
    layout.Add(48, FieldList(L::kDiscoverModesObjects));
  }
}

void AddVendorDefined(const CCCPacket& packet, const FieldSource& source, MessageLayout& layout) {
  const std::uint32_t h = ReadBits(source, 16, 32);
  if (!Field(h, 15, 1)) {
    layout.Add(16, FieldList(L::kUnstructuredVDMHeader));
    return;
  }
  const std::uint32_t svid = h >> 16;
  const bool version2 = Field(h, 13, 2) != 0;
  const int command = static_cast<int>(Field(h, 0, 5));
  const bool modeCommand = command == kVdmEnterMode || command == kVdmExitMode || command == kVdmAttention;
  const FieldListId header = !version2     ? L::kStructuredVDMHeaderV10
                             : modeCommand ? L::kStructuredVDMHeaderV2ModeCommands
                                           : L::kStructuredVDMHeaderV2;
  if (LayoutEntry* e = layout.Add(16, FieldList(header))) {
    e->m_pOverrideTable = ValueTable(svid == kSvidDisplayPort ? kDisplayPortCommandNames : kVdmCommandNames);
  }

  const bool twoObjects = HeaderObjectCount(packet.Header()) >= 2;
  switch (command) {
    case kVdmDiscoverIdentity: AddDiscoverIdentity(packet, source, version2, layout); break;
    case kVdmDiscoverSvids: layout.Add(48, FieldList(L::kDiscoverSVIDsObjects)); break;
    case kVdmDiscoverModes: AddDiscoverModes(packet, svid, layout); break;
    case kVdmEnterMode:
      if (twoObjects) layout.Add(48, FieldList(svid == kSvidTbt3 ? L::kTBT3EnterModeObject : L::kEnterModeObjects));
      break;
    case kVdmAttention:
      if (twoObjects) {
        layout.Add(48, FieldList(svid == kSvidDisplayPort ? L::kDisplayPortStatusVDO : L::kAttentionObjects));
      }
      break;
    case kDpStatusUpdate:
      if (twoObjects && svid == kSvidDisplayPort) layout.Add(48, FieldList(L::kDisplayPortStatusVDO));
      break;
    case kDpConfigure:
      if (twoObjects && svid == kSvidDisplayPort) layout.Add(48, FieldList(L::kDisplayPortConfigurationVDO));
      break;
    default: break;
  }
}

void AddDataObjects(const CCCPacket& packet, MessageLayout& layout) {
  const FieldSource source = MessageSource(packet);
  const int type = MessageType(packet);
  if (const TypeList* block = FindType<TypeList>(kDataObjectBlocks, type)) {
    layout.Add(16, FieldList(block->list));
    return;
  }
  switch (type) {
    case kDataSourceCapabilities: AddCapabilities(packet, source, kSourcePdos, layout); break;
    case kDataSinkCapabilities: AddCapabilities(packet, source, kSinkPdos, layout); break;
    case kDataRequest: AddRequest(packet, source, layout); break;
    case kDataEprRequest: AddEprRequest(packet, source, layout); break;
    case kDataVendorDefined: AddVendorDefined(packet, source, layout); break;
    default: break;
  }
}

}  // namespace

FieldSource MessageSource(const CCCPacket& packet) { return {packet.m_Bytes, MessageSize(packet), false}; }

FieldSource ReassembledSource(const CCCPacket& packet) {
  const ExtendedData data = ExtendedDataOf(packet);
  if (data.bytes == nullptr) return {nullptr, 0, true};
  return {data.bytes, data.size, false};
}

FieldSource SourceOf(const CCCPacket& packet, FieldView view) {
  return view == FieldView::kMessage ? MessageSource(packet) : ReassembledSource(packet);
}

std::uint32_t ReadBits(const FieldSource& source, std::int64_t bit, int width) {
  if (source.m_Missing) return 0xFFFFFFFF;
  std::uint32_t value = 0;
  for (int i = 0; i < width && i < 32; ++i) {
    const std::int64_t at = bit + i;
    if (at < 0 || at / 8 >= source.m_Size) continue;
    value |= static_cast<std::uint32_t>((source.m_pData[at / 8] >> (at % 8)) & 1) << i;
  }
  return value;
}

LayoutEntry* MessageLayout::Add(std::int32_t start, const FieldDescriptor* list) {
  if (m_Count >= kMaxLayoutEntries) return nullptr;
  LayoutEntry& e = m_Entries[static_cast<std::size_t>(m_Count++)];
  e.m_Start = start;
  e.m_pList = list;
  e.m_Total = FieldListBits(list);
  return &e;
}

MessageLayout BuildMessageLayout(const CCCPacket& packet, FieldView view) {
  MessageLayout layout;
  if (view == FieldView::kMessage) AddHeader(packet, layout);
  if (IsExtended(packet)) AddExtendedBlocks(packet, view, layout);
  if (view == FieldView::kMessage && IsDataMessage(packet)) AddDataObjects(packet, layout);
  return layout;
}

const ValueEntry* TableOf(const LayoutEntry& entry, const FieldDescriptor& field) {
  if (entry.m_pOverrideTable != nullptr && field.m_Offset == entry.m_OverrideOffset) return entry.m_pOverrideTable;
  return field.m_pTable;
}

}  // namespace zk
