// The field dictionary of the detail pane: one field list per header form, data object,
// VDO and extended data block, and the value tables that turn field values into words.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zk {

// One entry of a value table: contributes Text (a printf format) formatted with
// value x Multiplier whenever (value & Mask) == Value. A table ends with {0, -1}.
struct ValueEntry {
  std::uint32_t m_Mask;
  std::int32_t m_Value;
  const char* m_Text;
  std::int32_t m_Multiplier;
};

// One named bit field, its offset relative to the start of its list's block.
// A list ends with a descriptor of length 0.
struct FieldDescriptor {
  std::uint32_t m_Offset;
  std::uint32_t m_Length;
  const ValueEntry* m_pTable;  // null when the value has no words
  const char* m_Name;          // null when the field has no name
};

constexpr std::uint32_t kMaxFieldBits = 2080;

// The lists of the dictionary, in dictionary order.
enum class FieldListId : int {
  kSOPHeaderRev2,                           // SOP header, revision 2
  kSOPHeaderRev3,                           // SOP header, revision 3
  kSOPExtendedMessageRev3,                  // SOP extended message, revision 3
  kCableHeaderRev2,                         // Cable header, revision 2
  kCableHeaderRev3,                         // Cable header, revision 3
  kCableExtendedMessageRev3,                // Cable extended message, revision 3
  kExtendedMessageHeader,                   // Extended message header
  kSourceFixedSupplyPDORev2,                // Source fixed supply PDO, revision 2
  kSourceFixedSupplyPDORev3,                // Source fixed supply PDO, revision 3
  kSourceBatteryPDO,                        // Source battery PDO
  kSourceVariableSupplyPDO,                 // Source variable supply PDO
  kSourceSPRPPSAPDO,                        // Source SPR PPS APDO
  kSourceEPRAVSAPDO,                        // Source EPR AVS APDO
  kSourceSPRAVSAPDO,                        // Source SPR AVS APDO
  kSourceAPDOOfUnknownSubType,              // Source APDO of unknown sub-type
  kSinkFixedSupplyPDORev2,                  // Sink fixed supply PDO, revision 2
  kSinkFixedSupplyPDORev3,                  // Sink fixed supply PDO, revision 3
  kSinkBatteryPDO,                          // Sink battery PDO
  kSinkVariableSupplyPDO,                   // Sink variable supply PDO
  kSinkSPRPPSAPDO,                          // Sink SPR PPS APDO
  kSinkEPRAVSAPDO,                          // Sink EPR AVS APDO
  kSinkSPRAVSAPDO,                          // Sink SPR AVS APDO
  kSinkAPDOOfUnknownSubType,                // Sink APDO of unknown sub-type
  kFixedOrVariableRequestRev2,              // Fixed or variable request, revision 2
  kFixedOrVariableRequestRev3,              // Fixed or variable request, revision 3
  kFixedOrVariableRequestWithGiveBackRev2,  // Fixed or variable request with give back, revision 2
  kFixedOrVariableRequestWithGiveBackRev3,  // Fixed or variable request with give back, revision 3
  kBatteryRequestRev2,                      // Battery request, revision 2
  kBatteryRequestRev3,                      // Battery request, revision 3
  kBatteryRequestWithGiveBackRev2,          // Battery request with give back, revision 2
  kBatteryRequestWithGiveBackRev3,          // Battery request with give back, revision 3
  kPPSRequest,                              // PPS request
  kAVSRequest,                              // AVS request
  kRequestForAnAPDOOfUnknownSubType,        // Request for an APDO of unknown sub-type
  kEPRRequestWithoutPDOCopy,                // EPR request without PDO copy
  kBISTDataObject,                          // BIST data object
  kBatteryStatusDataObject,                 // Battery status data object
  kAlertDataObject,                         // Alert data object
  kGetCountryInfoDataObject,                // Get_Country_Info data object
  kEnterUSBDataObject,                      // Enter_USB data object
  kEPRModeDataObject,                       // EPR mode data object
  kSourceInformationDataObjects,            // Source information data objects
  kRevisionDataObject,                      // Revision data object
  kUnstructuredVDMHeader,                   // Unstructured VDM header
  kStructuredVDMHeaderV10,                  // Structured VDM header, version 1.0
  kStructuredVDMHeaderV2ModeCommands,       // Structured VDM header, version 2, mode commands
  kStructuredVDMHeaderV2,                   // Structured VDM header, version 2
  kIDHeaderSOPV10,                          // ID header (SOP), version 1.0
  kIDHeaderSOPV2,                           // ID header (SOP), version 2
  kIDHeaderCableV10,                        // ID header (cable), version 1.0
  kIDHeaderCableV2,                         // ID header (cable), version 2
  kCertStatVDO,                             // Cert stat VDO
  kProductVDO,                              // Product VDO
  kUFPVDOFormA,                             // UFP VDO, form A
  kUFPVDOFormB,                             // UFP VDO, form B
  kUFPVDOFormC,                             // UFP VDO, form C
  kUFPPowerVDO,                             // UFP power VDO
  kDFPVDOFormA,                             // DFP VDO, form A
  kDFPVDOFormB,                             // DFP VDO, form B
  kDFPVDOFormC,                             // DFP VDO, form C
  kAlternateModeAdapterVDOV10,              // Alternate mode adapter VDO, version 1.0
  kAlternateModeAdapterVDOV2,               // Alternate mode adapter VDO, version 2
  kVCONNPoweredDeviceVDO,                   // VCONN-powered device VDO
  kPassiveCableVDOV10,                      // Passive cable VDO, version 1.0
  kPassiveCableVDOV2,                       // Passive cable VDO, version 2
  kActiveCableVDOV10,                       // Active cable VDO, version 1.0
  kActiveCableVDO1V2,                       // Active cable VDO 1, version 2
  kActiveCableVDO2V2,                       // Active cable VDO 2, version 2
  kDiscoverSVIDsObjects,                    // Discover SVIDs objects
  kDisplayPortCapabilitiesVDO,              // DisplayPort capabilities VDO
  kTBT3ModeVDOSOP,                          // TBT3 mode VDO (SOP)
  kTBT3ModeVDOCable,                        // TBT3 mode VDO (cable)
  kDiscoverModesObjects,                    // Discover Modes objects
  kTBT3EnterModeObject,                     // TBT3 Enter Mode object
  kEnterModeObjects,                        // Enter Mode objects
  kDisplayPortStatusVDO,                    // DisplayPort status VDO
  kAttentionObjects,                        // Attention objects
  kDisplayPortConfigurationVDO,             // DisplayPort configuration VDO
  kSourceCapabilitiesExtendedDataBlock,     // Source capabilities extended data block
  kStatusDataBlockSOP,                      // Status data block (SOP)
  kStatusDataBlockCable,                    // Status data block (cable)
  kGetBatteryCapDataBlock,                  // Get_Battery_Cap data block
  kGetBatteryStatusDataBlock,               // Get_Battery_Status data block
  kBatteryCapabilitiesDataBlock,            // Battery capabilities data block
  kGetManufacturerInfoDataBlock,            // Get_Manufacturer_Info data block
  kManufacturerInfoDataBlock,               // Manufacturer_Info data block
  kSecurityRequestHeader,                   // Security request header
  kSecurityRequestPayload0x81,              // Security request payload 0x81
  kSecurityRequestPayload0x82,              // Security request payload 0x82
  kSecurityRequestPayload0x83,              // Security request payload 0x83
  kSecurityResponseHeader,                  // Security response header
  kSecurityResponsePayload0x01,             // Security response payload 0x01
  kSecurityResponsePayload0x02,             // Security response payload 0x02
  kSecurityResponsePayload0x03,             // Security response payload 0x03
  kSecurityResponsePayload0x7F,             // Security response payload 0x7F
  kFirmwareUpdateRequestHeader,             // Firmware update request header
  kFirmwareUpdateRequestPayload0x82,        // Firmware update request payload 0x82
  kFirmwareUpdateRequestPayload0x83,        // Firmware update request payload 0x83
  kFirmwareUpdateRequestPayload0x84,        // Firmware update request payload 0x84
  kFirmwareUpdateRequestPayload0xFF,        // Firmware update request payload 0xFF
  kFirmwareUpdateResponseHeader,            // Firmware update response header
  kFirmwareUpdateResponsePayload0x01,       // Firmware update response payload 0x01
  kFirmwareUpdateResponsePayload0x02,       // Firmware update response payload 0x02
  kFirmwareUpdateResponsePayload0x03,       // Firmware update response payload 0x03
  kFirmwareUpdateResponsePayload0x05,       // Firmware update response payload 0x05
  kFirmwareUpdateResponsePayload0x07,       // Firmware update response payload 0x07
  kFirmwareUpdateResponsePayload0x7F,       // Firmware update response payload 0x7F
  kPPSStatusDataBlock,                      // PPS status data block
  kCountryInfoDataBlock,                    // Country_Info data block
  kCountryCodesDataBlock,                   // Country_Codes data block
  kSinkCapabilitiesExtendedDataBlock,       // Sink capabilities extended data block
  kExtendedControlDataBlock,                // Extended control data block
  kCount,
};

const FieldDescriptor* FieldList(FieldListId id);

// Value table T1 to T143 by its number; null for any other number.
const ValueEntry* ValueTable(int number);
constexpr int kValueTableCount = 143;

// The entries of value table T<number>, its end entry included; empty for any other number.
std::span<const ValueEntry> ValueTableEntries(int number);

// Every list with the title it is known by, in dictionary order (index = FieldListId).
struct NamedFieldList {
  const char* m_Title;
  std::span<const FieldDescriptor> m_Entries;  // the end descriptor included
};
std::span<const NamedFieldList> FieldLists();

// Sum of the field lengths of a list; 0 for none.
std::uint32_t FieldListBits(const FieldDescriptor* list);

// The descriptor at exactly this offset (the first one listed), or null.
const FieldDescriptor* FindField(const FieldDescriptor* list, std::uint32_t offset);

// Every entry matching value contributes its text, joined by ", "; empty without a table.
std::string ValueText(const ValueEntry* table, std::uint32_t value);

}  // namespace zk
