#include "pd/field_dictionary.h"

#include <iterator>

#include "pd/text_format.h"

namespace zk {

namespace {

constexpr ValueEntry kTableEnd = {0, -1, nullptr, 1};
constexpr FieldDescriptor kListEnd = {0, 0, nullptr, nullptr};

// clang-format off
// Value tables, referred to by number (T1 to T143) from the field lists below.
constexpr ValueEntry kT1[] = {  // DisplayPort command names
    {0xFFFFFFFF, 1, "Discover Identity", 1},
    {0xFFFFFFFF, 2, "Discover SVIDs", 1},
    {0xFFFFFFFF, 3, "Discover Modes", 1},
    {0xFFFFFFFF, 4, "Enter Mode", 1},
    {0xFFFFFFFF, 5, "Exit Mode", 1},
    {0xFFFFFFFF, 6, "Attention", 1},
    {0xFFFFFFFF, 16, "DisplayPort Status Update", 1},
    {0xFFFFFFFF, 17, "DisplayPort Configure", 1},
    kTableEnd,
};
constexpr ValueEntry kT2[] = {  // Control message names, revision 2
    {0xFFFFFFFF, 1, "GoodCRC", 1},
    {0xFFFFFFFF, 2, "GotoMin", 1},
    {0xFFFFFFFF, 3, "Accept", 1},
    {0xFFFFFFFF, 4, "Reject", 1},
    {0xFFFFFFFF, 5, "Ping", 1},
    {0xFFFFFFFF, 6, "PS_RDY", 1},
    {0xFFFFFFFF, 7, "Get_Source_Cap", 1},
    {0xFFFFFFFF, 8, "Get_Sink_Cap", 1},
    {0xFFFFFFFF, 9, "DR_Swap", 1},
    {0xFFFFFFFF, 10, "PR_Swap", 1},
    {0xFFFFFFFF, 11, "VCONN_Swap", 1},
    {0xFFFFFFFF, 12, "Wait", 1},
    {0xFFFFFFFF, 13, "Soft_Reset", 1},
    kTableEnd,
};
constexpr ValueEntry kT3[] = {  // Control message names, revision 3
    {0xFFFFFFFF, 1, "GoodCRC", 1},
    {0xFFFFFFFF, 2, "GotoMin (Deprecated)", 1},
    {0xFFFFFFFF, 3, "Accept", 1},
    {0xFFFFFFFF, 4, "Reject", 1},
    {0xFFFFFFFF, 5, "Ping (Depricated)", 1},
    {0xFFFFFFFF, 6, "PS_RDY", 1},
    {0xFFFFFFFF, 7, "Get_Source_Cap", 1},
    {0xFFFFFFFF, 8, "Get_Sink_Cap", 1},
    {0xFFFFFFFF, 9, "DR_Swap", 1},
    {0xFFFFFFFF, 10, "PR_Swap", 1},
    {0xFFFFFFFF, 11, "VCONN_Swap", 1},
    {0xFFFFFFFF, 12, "Wait", 1},
    {0xFFFFFFFF, 13, "Soft_Reset", 1},
    {0xFFFFFFFF, 14, "Data_Reset", 1},
    {0xFFFFFFFF, 15, "Data_Reset_Complete", 1},
    {0xFFFFFFFF, 16, "Not_Supported", 1},
    {0xFFFFFFFF, 17, "Get_Source_Cap_Extended", 1},
    {0xFFFFFFFF, 18, "Get_Status", 1},
    {0xFFFFFFFF, 19, "FR_Swap", 1},
    {0xFFFFFFFF, 20, "Get_PPS_Status", 1},
    {0xFFFFFFFF, 21, "Get_Country_Codes", 1},
    {0xFFFFFFFF, 22, "Get_Sink_Cap_Extended", 1},
    {0xFFFFFFFF, 23, "Get_Source_Info", 1},
    {0xFFFFFFFF, 24, "Get_Revision", 1},
    kTableEnd,
};
constexpr ValueEntry kT4[] = {  // Data message names, revision 2
    {0xFFFFFFFF, 1, "Source_Capabilities", 1},
    {0xFFFFFFFF, 2, "Request", 1},
    {0xFFFFFFFF, 3, "BIST", 1},
    {0xFFFFFFFF, 4, "Sink_Capabilities", 1},
    {0xFFFFFFFF, 15, "Vendor_Defined", 1},
    kTableEnd,
};
constexpr ValueEntry kT5[] = {  // Data message names, revision 3
    {0xFFFFFFFF, 1, "Source_Capabilities", 1},
    {0xFFFFFFFF, 2, "Request", 1},
    {0xFFFFFFFF, 3, "BIST", 1},
    {0xFFFFFFFF, 4, "Sink_Capabilities", 1},
    {0xFFFFFFFF, 5, "Battery_Status", 1},
    {0xFFFFFFFF, 6, "Alert", 1},
    {0xFFFFFFFF, 7, "Get_Country_Info", 1},
    {0xFFFFFFFF, 8, "Enter_USB", 1},
    {0xFFFFFFFF, 9, "EPR_Request", 1},
    {0xFFFFFFFF, 10, "EPR_Mode", 1},
    {0xFFFFFFFF, 11, "Source_Info", 1},
    {0xFFFFFFFF, 12, "Revision", 1},
    {0xFFFFFFFF, 15, "Vendor_Defined", 1},
    kTableEnd,
};
constexpr ValueEntry kT6[] = {  // Extended message names
    {0xFFFFFFFF, 1, "Source_Capabilities_Extended", 1},
    {0xFFFFFFFF, 2, "Status", 1},
    {0xFFFFFFFF, 3, "Get_Battery_Cap", 1},
    {0xFFFFFFFF, 4, "Get_Battery_Status", 1},
    {0xFFFFFFFF, 5, "Battery_Capabilities", 1},
    {0xFFFFFFFF, 6, "Get_Manufacturer_Info", 1},
    {0xFFFFFFFF, 7, "Manufacturer_Info", 1},
    {0xFFFFFFFF, 8, "Security_Request", 1},
    {0xFFFFFFFF, 9, "Security_Response", 1},
    {0xFFFFFFFF, 10, "Firmware_Update_Request", 1},
    {0xFFFFFFFF, 11, "Firmware_Update_Response", 1},
    {0xFFFFFFFF, 12, "PPS_Status", 1},
    {0xFFFFFFFF, 14, "Country_Codes", 1},
    {0xFFFFFFFF, 13, "Country_Info", 1},
    {0xFFFFFFFF, 15, "Sink_Capabilities_Extended", 1},
    {0xFFFFFFFF, 16, "Extended_Control", 1},
    {0xFFFFFFFF, 17, "EPR_Source_Capabilities", 1},
    {0xFFFFFFFF, 18, "EPR_Sink_Capabilities", 1},
    {0xFFFFFFFF, 30, "Vendor_Defined_Extended", 1},
    kTableEnd,
};
constexpr ValueEntry kT7[] = {
    {0xFFFFFFFF, 1, "EPR_GetSource_Cap", 1},
    {0xFFFFFFFF, 2, "EPR_Get_Sink_Cap", 1},
    {0xFFFFFFFF, 3, "EPR_KeepAlive", 1},
    {0xFFFFFFFF, 4, "EPR_KeepAlive_Ack", 1},
    kTableEnd,
};
constexpr ValueEntry kT8[] = {
    {0xFFFFFFFF, 0, "Non DPS port", 1},
    {0xFFFFFFFF, 1, "DPS Port", 1},
    kTableEnd,
};
constexpr ValueEntry kT9[] = {
    {0xFFFFFFFF, 0, "Managed Capability Port", 1},
    {0xFFFFFFFF, 1, "Guaranteed Capability Port", 1},
    kTableEnd,
};
constexpr ValueEntry kT10[] = {
    {0xFFFFFFFF, 1, "Enter", 1},
    {0xFFFFFFFF, 2, "Enter Acknowledged", 1},
    {0xFFFFFFFF, 3, "Enter Succeeded", 1},
    {0xFFFFFFFF, 4, "Enter Failed", 1},
    {0xFFFFFFFF, 5, "Exit", 1},
    kTableEnd,
};
constexpr ValueEntry kT11[] = {
    {0xFFFFFFFF, 1, "TBT3 is supported by the host's USB4 Connection Manager", 1},
    kTableEnd,
};
constexpr ValueEntry kT12[] = {
    {0xFFFFFFFF, 1, "USB4 DP tunneling supported by the host", 1},
    kTableEnd,
};
constexpr ValueEntry kT13[] = {
    {0xFFFFFFFF, 1, "USB4 PCIe tunneling supported by the host", 1},
    kTableEnd,
};
constexpr ValueEntry kT14[] = {
    {0xFFFFFFFF, 0, "VBUS is not supported", 1},
    {0xFFFFFFFF, 2, "3A", 1},
    {0xFFFFFFFF, 3, "5A", 1},
    kTableEnd,
};
constexpr ValueEntry kT15[] = {
    {0xFFFFFFFF, 0, "Passive", 1},
    {0xFFFFFFFF, 1, "Active Re-timer", 1},
    {0xFFFFFFFF, 2, "Active Re-driver", 1},
    {0xFFFFFFFF, 3, "Optically Isolated", 1},
    kTableEnd,
};
constexpr ValueEntry kT16[] = {
    {0xFFFFFFFF, 0, "USB 2.0 only, no SuperSpeed support", 1},
    {0xFFFFFFFF, 1, "USB 3.2 Gen1", 1},
    {0xFFFFFFFF, 2, "USB 3.2 Gen2 and USB4 Gen2", 1},
    {0xFFFFFFFF, 3, "USB4 Gen3", 1},
    {0xFFFFFFFF, 4, "USB4 Gen4", 1},
    kTableEnd,
};
constexpr ValueEntry kT17[] = {
    {0xFFFFFFFF, 0, "Not capable of operating as a USB 3.2 Device", 1},
    {0xFFFFFFFF, 1, "Capable of operating as a USB 3.2 Device", 1},
    kTableEnd,
};
constexpr ValueEntry kT18[] = {
    {0xFFFFFFFF, 0, "Not capable of operating as a USB4 Device", 1},
    {0xFFFFFFFF, 1, "Capable of operating as a USB4 Device", 1},
    kTableEnd,
};
constexpr ValueEntry kT19[] = {
    {0xFFFFFFFF, 0, "USB 2.0", 1},
    {0xFFFFFFFF, 1, "USB 3.2", 1},
    {0xFFFFFFFF, 2, "USB4", 1},
    kTableEnd,
};
constexpr ValueEntry kT20[] = {
    {0xFFFFFFFF, 255, "The Source does not support this filed.", 1},
    {0x0, 0, "Source's output current is %d [mA].", 50},
    kTableEnd,
};
constexpr ValueEntry kT21[] = {
    {0xFFFFFFFF, 65535, "The Source does not support this filed.", 1},
    {0x0, 0, "Source's output voltage is %d [mV].", 20},
    kTableEnd,
};
constexpr ValueEntry kT22[] = {
    {0xFFFFFFFF, 1, "INVALID_REQUEST", 1},
    {0xFFFFFFFF, 2, "UNSUPPORTED_PROTOCOL", 1},
    {0xFFFFFFFF, 3, "BUSY", 1},
    {0xFFFFFFFF, 4, "UNSPECIFIED", 1},
    kTableEnd,
};
constexpr ValueEntry kT23[] = {
    {0x0, 0, "Slot number of the recipient's Certificate Chain that will be used for Authentication.", 1},
    kTableEnd,
};
constexpr ValueEntry kT24[] = {
    {0x0, 0, "Slot number of the target Certificate Chain to read from.", 1},
    kTableEnd,
};
constexpr ValueEntry kT25[] = {
    {0xFFFFFFFF, 1, "DIGESTS", 1},
    {0xFFFFFFFF, 2, "CERTIFICATE", 1},
    {0xFFFFFFFF, 3, "CHALLENGE_AUTH", 1},
    {0xFFFFFFFF, 127, "ERROR", 1},
    kTableEnd,
};
constexpr ValueEntry kT26[] = {
    {0xFFFFFFFF, 129, "GET_DIGESTS", 1},
    {0xFFFFFFFF, 130, "GET_CERTIFICATE", 1},
    {0xFFFFFFFF, 131, "CHALLENGE", 1},
    kTableEnd,
};
constexpr ValueEntry kT27[] = {
    {0xFFFFFFFF, 1, "USB Type-C Authentication  Protocol Version 1.0", 1},
    kTableEnd,
};
constexpr ValueEntry kT28[] = {
    {0xFFFFFFFF, 1, "GET_FW_ID", 1},
    {0xFFFFFFFF, 2, "PDFU_INITIATE", 1},
    {0xFFFFFFFF, 3, "PDFU_DATA", 1},
    {0xFFFFFFFF, 5, "PDFU_VALIDATE", 1},
    {0xFFFFFFFF, 7, "PDFU_DATA_PAUSE", 1},
    {0xFFFFFFFF, 127, "VENDOR_SPECIFIC", 1},
    kTableEnd,
};
constexpr ValueEntry kT29[] = {
    {0xFFFFFFFF, 129, "GET_FW_ID", 1},
    {0xFFFFFFFF, 130, "PDFU_INITIATE", 1},
    {0xFFFFFFFF, 131, "PDFU_DATA", 1},
    {0xFFFFFFFF, 132, "PDFU_DATA_NR", 1},
    {0xFFFFFFFF, 133, "PDFU_VALIDATE", 1},
    {0xFFFFFFFF, 134, "PDFU_ABORT", 1},
    {0xFFFFFFFF, 135, "PDFU_DATA_PAUSE", 1},
    {0xFFFFFFFF, 255, "VENDOR_SPECIFIC", 1},
    kTableEnd,
};
constexpr ValueEntry kT30[] = {
    {0xFFFFFFFF, 1, "USB PD Firmware Update Protocol Version 1.0", 1},
    kTableEnd,
};
constexpr ValueEntry kT31[] = {
    {0xFFFFFFFF, 0, "Port/Cable Plug", 1},
    {0xFFFFFFFF, 1, "Battery", 1},
    kTableEnd,
};
constexpr ValueEntry kT32[] = {
    {0xFFFFFFFF, 0, "Battery not present", 1},
    {0xFFFFFFFF, 65535, "unknown", 1},
    {0x0, 0, "%d [mWH]", 100},
    kTableEnd,
};
constexpr ValueEntry kT33[] = {
    {0xFFFFFFFF, 0, "Off LED", 1},
    {0xFFFFFFFF, 1, "On LED", 1},
    {0xFFFFFFFF, 2, "Blinking LED", 1},
    {0xFFFFFFFF, 3, "Breathing LED", 1},
    kTableEnd,
};
constexpr ValueEntry kT34[] = {
    {0xFFFFFFFF, 0, "Status not supported", 1},
    {0xFFFFFFFF, 1, "S0", 1},
    {0xFFFFFFFF, 2, "Modern Standby", 1},
    {0xFFFFFFFF, 3, "S3", 1},
    {0xFFFFFFFF, 4, "S4", 1},
    {0xFFFFFFFF, 5, "S5 (Off with battery, wake events supported)", 1},
    {0xFFFFFFFF, 6, "S3 (Off with no battery, wake events not supported)", 1},
    kTableEnd,
};
constexpr ValueEntry kT35[] = {
    {0xFFFFFFFF, 0, "Not Supported", 1},
    {0xFFFFFFFF, 1, "Normal", 1},
    {0xFFFFFFFF, 2, "Warning", 1},
    {0xFFFFFFFF, 3, "Over temperature", 1},
    kTableEnd,
};
constexpr ValueEntry kT36[] = {
    {0xFFFFFFFF, 0, "DC", 1},
    {0xFFFFFFFF, 1, "AC", 1},
    kTableEnd,
};
constexpr ValueEntry kT37[] = {
    {0xFFFFFFFF, 0, "feature not supported", 1},
    {0xFFFFFFFF, 1, "temperature is less than 2 degree Celsius", 1},
    {0x0, 0, "%d [degree Celsius]", 1},
    kTableEnd,
};
constexpr ValueEntry kT38[] = {
    {0xFFFFFFFF, 1, "Version 1.0", 1},
    kTableEnd,
};
constexpr ValueEntry kT39[] = {
    {0xFFFFFFFF, 0, "No internal Battery", 1},
    {0xFFFFFFFF, 1, "Internal Battery present", 1},
    kTableEnd,
};
constexpr ValueEntry kT40[] = {
    {0xFFFFFFFF, 0, "External supply is constrained", 1},
    {0xFFFFFFFF, 1, "External supply is unconstrained", 1},
    kTableEnd,
};
constexpr ValueEntry kT41[] = {
    {0xFFFFFFFF, 0, "No external supply", 1},
    {0xFFFFFFFF, 1, "External supply present", 1},
    kTableEnd,
};
constexpr ValueEntry kT42[] = {
    {0xFFFFFFFF, 0, "[IEC 60950-1] (default)", 1},
    {0xFFFFFFFF, 1, "[IEC 62368-1] TS1", 1},
    {0xFFFFFFFF, 2, "[IEC 62368-1] TS2", 1},
    kTableEnd,
};
constexpr ValueEntry kT43[] = {
    {0x0, 0, "%d [%%]", 10},
    kTableEnd,
};
constexpr ValueEntry kT44[] = {
    {0x0, 0, "%d [%%]", 5},
    kTableEnd,
};
constexpr ValueEntry kT45[] = {
    {0x0, 0, "%d [ms]", 20},
    kTableEnd,
};
constexpr ValueEntry kT46[] = {
    {0xFFFFFFFF, 0, "150mA/us Load Step (default)", 1},
    {0xFFFFFFFF, 1, "500mA/us Load Step", 1},
    kTableEnd,
};
constexpr ValueEntry kT47[] = {
    {0xFFFFFFFF, 0, "25%% IoC (default)", 1},
    {0xFFFFFFFF, 1, "90%% IoC", 1},
    kTableEnd,
};
constexpr ValueEntry kT48[] = {
    {0xFFFFFFFF, 0, "feature not supported", 1},
    kTableEnd,
};
constexpr ValueEntry kT49[] = {
    {0xFFFFFFFF, 1, "Power state change (DFP only)", 1},
    {0xFFFFFFFF, 2, "Power button press (UFP only)", 1},
    {0xFFFFFFFF, 3, "Power button release (UFP only)", 1},
    {0xFFFFFFFF, 4, "Controller initiated wake (UFP only)", 1},
    {0xFFFFFFFF, 5, "Source is about to reduce Source Capabilities (Source only)", 1},
    kTableEnd,
};
constexpr ValueEntry kT50[] = {
    {0xFFFFFFFF, 65535, "Battery's SoC unknown", 1},
    {0x0, 0, "Battery's SoC %d [mWH] increments", 100},
    kTableEnd,
};
constexpr ValueEntry kT51[] = {
    {0xFFFFFFFF, 0, "Battery is Charging", 1},
    {0xFFFFFFFF, 1, "Battery is Discharging", 1},
    {0xFFFFFFFF, 2, "Battery is Idle", 1},
    kTableEnd,
};
constexpr ValueEntry kT52[] = {
    {0xFFFFFFFF, 0, "Set configuration for USB", 1},
    {0xFFFFFFFF, 1, "Set configuration for UFP_U as DFP_D", 1},
    {0xFFFFFFFF, 2, "Set configuration for UFP_U as UFP_D", 1},
    kTableEnd,
};
constexpr ValueEntry kT53[] = {
    {0xFFFFFFFF, 0, "Signaling unspecified", 1},
    {0xFFFFFFFF, 1, "Select DP v1.3 signaling rates and electrical settings", 1},
    {0xFFFFFFFF, 2, "Select Gen2 signaling rates and electrical specifications", 1},
    kTableEnd,
};
constexpr ValueEntry kT54[] = {
    {0xFFFFFFFF, 0, "No IRQ_HPD since last status message", 1},
    {0xFFFFFFFF, 1, "IRQ_HPD", 1},
    kTableEnd,
};
constexpr ValueEntry kT55[] = {
    {0xFFFFFFFF, 0, "HPD_Low", 1},
    {0xFFFFFFFF, 1, "HPD_High", 1},
    kTableEnd,
};
constexpr ValueEntry kT56[] = {
    {0xFFFFFFFF, 0, "Maintain current mode.", 1},
    {0xFFFFFFFF, 1, "Request exit from DisplayPort Mode.", 1},
    kTableEnd,
};
constexpr ValueEntry kT57[] = {
    {0xFFFFFFFF, 0, "Maintain current configuration.", 1},
    {0xFFFFFFFF, 1, "Request switch to USB Configuration.", 1},
    kTableEnd,
};
constexpr ValueEntry kT58[] = {
    {0xFFFFFFFF, 0, "No preference for Multi-function.", 1},
    {0xFFFFFFFF, 1, "Multi-function preferred.", 1},
    kTableEnd,
};
constexpr ValueEntry kT59[] = {
    {0xFFFFFFFF, 0, "Adaptor DisplayPort functionality is disabled.", 1},
    {0xFFFFFFFF, 1, "Adaptor DisplayPort functionality is enabled and operational.", 1},
    kTableEnd,
};
constexpr ValueEntry kT60[] = {
    {0xFFFFFFFF, 0, "Adaptor is functioning normally or is disabled.", 1},
    {0xFFFFFFFF, 1, "Adaptor has detected low power and disabled.", 1},
    kTableEnd,
};
constexpr ValueEntry kT61[] = {
    {0xFFFFFFFF, 0, "Neither DFP_D nor UFP_D is connected, or Adaptor is disabled.", 1},
    {0xFFFFFFFF, 1, "DFP_D is connected.", 1},
    {0xFFFFFFFF, 2, "UFP_D is connected.", 1},
    {0xFFFFFFFF, 3, "Both DFP_D and UFP_D are connected.", 1},
    kTableEnd,
};
constexpr ValueEntry kT62[] = {
    {0xFFFFFFFF, 0, "USB r2.0 signaling may be required on A6-A7 or B6-B7 while in DisplayPort Configuration", 1},
    {0xFFFFFFFF, 1, "USB r2.0 signaling is not required on A6-A7 or B6-B7 while in DisplayPort Configuration", 1},
    kTableEnd,
};
constexpr ValueEntry kT63[] = {
    {0xFFFFFFFF, 0, "DisplayPort interface is presented on a USB Type-C Plug", 1},
    {0xFFFFFFFF, 1, "DisplayPort interface is presented on a USB Type-C Receptacle", 1},
    kTableEnd,
};
constexpr ValueEntry kT64[] = {
    {0x1, 1, "Supports DP v1.3 signaling rates and electrical specification", 1},
    {0x2, 2, "Supports USB Gen2 signaling rate and electrical specification", 1},
    kTableEnd,
};
constexpr ValueEntry kT65[] = {
    {0xFFFFFFFF, 1, "UFP_D-cabable", 1},
    {0xFFFFFFFF, 2, "DFP_D-capable", 1},
    {0xFFFFFFFF, 3, "Both DFP_D and UFP_D-capable", 1},
    kTableEnd,
};
constexpr ValueEntry kT66[] = {
    {0xFFFFFFFF, 0, "Pin Assignments are not supported", 1},
    {0x1, 1, "Pin Assignment A", 1},
    {0x2, 2, "Pin Assignment B", 1},
    {0x4, 4, "Pin Assignment C", 1},
    {0x8, 8, "Pin Assignment D", 1},
    {0x10, 16, "Pin Assignment E", 1},
    kTableEnd,
};
constexpr ValueEntry kT67[] = {
    {0xFFFFFFFF, 0, "Pin Assignments are not supported", 1},
    {0x1, 1, "Pin Assignment A", 1},
    {0x2, 2, "Pin Assignment B", 1},
    {0x4, 4, "Pin Assignment C", 1},
    {0x8, 8, "Pin Assignment D", 1},
    {0x10, 16, "Pin Assignment E", 1},
    {0x20, 32, "Pin Assignment F", 1},
    kTableEnd,
};
constexpr ValueEntry kT68[] = {
    {0xFFFFFFFF, 1, "USB3.1 Gen1 Cable (10 Gbps TBT support)", 1},
    {0xFFFFFFFF, 2, "10 Gbps (USB 3.2 Gen1 and Gen2 passive cables)", 1},
    {0xFFFFFFFF, 3, "10 Gbps and 20 Gbps (TBT 3rd Gen active cables and 20 Gbps passive cables)", 1},
    kTableEnd,
};
constexpr ValueEntry kT69[] = {
    {0xFFFFFFFF, 0, "3rd Gen Non-Rounded TBT", 1},
    {0xFFFFFFFF, 1, "3rd & 4th Gen Rounded and Non-Rounded TBT", 1},
    kTableEnd,
};
constexpr ValueEntry kT70[] = {
    {0xFFFFFFFF, 0, "Non-Optical", 1},
    {0xFFFFFFFF, 1, "Optical", 1},
    kTableEnd,
};
constexpr ValueEntry kT71[] = {
    {0xFFFFFFFF, 0, "Not re-timer", 1},
    {0xFFFFFFFF, 1, "Re-timer", 1},
    kTableEnd,
};
constexpr ValueEntry kT72[] = {
    {0xFFFFFFFF, 0, "Active with bi-directional LSRX communication or when Passive", 1},
    {0xFFFFFFFF, 1, "Active with uni-directional LSRX communication", 1},
    kTableEnd,
};
constexpr ValueEntry kT73[] = {
    {0xFFFFFFFF, 0, "Passive cable", 1},
    {0xFFFFFFFF, 1, "Active cable", 1},
    kTableEnd,
};
constexpr ValueEntry kT74[] = {
    {0xFFFFFFFF, 0, "TBT3 Adapter", 1},
    {0xFFFFFFFF, 1, "TBT2 Legacy Adapter", 1},
    kTableEnd,
};
constexpr ValueEntry kT75[] = {
    {0xFFFFFFFF, 1, "TBT Mode", 1},
    kTableEnd,
};
constexpr ValueEntry kT76[] = {
    {0xFFFFFFFF, 0, "Version 1.0", 1},
    {0xFFFFFFFF, 1, "Version 1.1", 1},
    {0xFFFFFFFF, 2, "Version 1.2", 1},
    kTableEnd,
};
constexpr ValueEntry kT77[] = {
    {0x0, 0, "%d [W]", 1},
    kTableEnd,
};
constexpr ValueEntry kT78[] = {
    {0xFFFFFFFF, 0, "Yes", 1},
    {0xFFFFFFFF, 1, "No", 1},
    kTableEnd,
};
constexpr ValueEntry kT79[] = {
    {0xFFFFFFFF, 0, "No", 1},
    {0xFFFFFFFF, 1, "Yes", 1},
    kTableEnd,
};
constexpr ValueEntry kT80[] = {
    {0xFFFFFFFF, 2, "USB Type-C Receptacle", 1},
    {0xFFFFFFFF, 3, "USB Type-C Captive Plug", 1},
    kTableEnd,
};
constexpr ValueEntry kT81[] = {
    {0xFFFFFFFF, 0, "Version 1.0", 1},
    {0xFFFFFFFF, 1, "Version 1.1", 1},
    {0xFFFFFFFF, 2, "Version 1.2", 1},
    {0xFFFFFFFF, 3, "Version 1.3", 1},
    kTableEnd,
};
constexpr ValueEntry kT82[] = {
    {0xFFFFFFFF, 0, "3A capable (Charge Through Support bit = 0b: Reserved, Shall be set to zero)", 1},
    {0xFFFFFFFF, 1, "5A capable (Charge Through Support bit = 0b: Reserved, Shall be set to zero)", 1},
    kTableEnd,
};
constexpr ValueEntry kT83[] = {
    {0xFFFFFFFF, 0, "the VPD does not support Charge Through", 1},
    {0xFFFFFFFF, 1, "the VPD supports Charge Through", 1},
    kTableEnd,
};
constexpr ValueEntry kT84[] = {
    {0xFFFFFFFF, 0, "1W", 1},
    {0xFFFFFFFF, 1, "1.5W", 1},
    {0xFFFFFFFF, 2, "2W", 1},
    {0xFFFFFFFF, 3, "3W", 1},
    {0xFFFFFFFF, 4, "4W", 1},
    {0xFFFFFFFF, 5, "5W", 1},
    {0xFFFFFFFF, 6, "6W", 1},
    kTableEnd,
};
constexpr ValueEntry kT85[] = {
    {0xFFFFFFFF, 0, "No", 1},
    {0xFFFFFFFF, 1, "Yes", 1},
    kTableEnd,
};
constexpr ValueEntry kT86[] = {
    {0xFFFFFFFF, 0, "Active Redriver", 1},
    {0xFFFFFFFF, 1, "Active Retimer", 1},
    kTableEnd,
};
constexpr ValueEntry kT87[] = {
    {0xFFFFFFFF, 0, "Copper", 1},
    {0xFFFFFFFF, 1, "Optical", 1},
    kTableEnd,
};
constexpr ValueEntry kT88[] = {
    {0xFFFFFFFF, 0, "Gen 1", 1},
    {0xFFFFFFFF, 1, "Gen 2 or higher", 1},
    kTableEnd,
};
constexpr ValueEntry kT89[] = {
    {0xFFFFFFFF, 0, "One lane", 1},
    {0xFFFFFFFF, 1, "Two lanes", 1},
    kTableEnd,
};
constexpr ValueEntry kT90[] = {
    {0xFFFFFFFF, 0, "USB4 supported", 1},
    {0xFFFFFFFF, 1, "USB4 not supported", 1},
    kTableEnd,
};
constexpr ValueEntry kT91[] = {
    {0xFFFFFFFF, 0, "USB 3.2 SuperSpeed supported", 1},
    {0xFFFFFFFF, 1, "USB 3.2 SuperSpeed not supported", 1},
    kTableEnd,
};
constexpr ValueEntry kT92[] = {
    {0xFFFFFFFF, 0, "USB 2.0 supported", 1},
    {0xFFFFFFFF, 1, "USB 2.0 not supported", 1},
    kTableEnd,
};
constexpr ValueEntry kT93[] = {
    {0xFFFFFFFF, 0, "U3 to U0 direct", 1},
    {0xFFFFFFFF, 1, "U3 to U0 through U3S", 1},
    kTableEnd,
};
constexpr ValueEntry kT94[] = {
    {0xFFFFFFFF, 0, ">10mW", 1},
    {0xFFFFFFFF, 1, "5-10mW", 1},
    {0xFFFFFFFF, 2, "1-5mW", 1},
    {0xFFFFFFFF, 3, "0.5-1mW", 1},
    {0xFFFFFFFF, 4, ">0.2-0.5mW", 1},
    {0xFFFFFFFF, 5, ">50-200uW", 1},
    {0xFFFFFFFF, 6, "<50uW", 1},
    kTableEnd,
};
constexpr ValueEntry kT95[] = {
    {0xFFFFFFFF, 0, "USB 2.0 only", 1},
    {0xFFFFFFFF, 1, "USB 3.2 Gen1 and USB 2.0", 1},
    {0xFFFFFFFF, 2, "USB 3.2 Gen1, Gen2 and USB 2.0", 1},
    {0xFFFFFFFF, 3, "USB 2.0 billboard only", 1},
    kTableEnd,
};
constexpr ValueEntry kT96[] = {
    {0xFFFFFFFF, 0, "USB 2.0 only, no SuperSpeed support", 1},
    {0xFFFFFFFF, 1, "USB 3.2 Gen1", 1},
    {0xFFFFFFFF, 2, "USB 3.2 / USB4 Gen2", 1},
    {0xFFFFFFFF, 3, "USB4 Gen3", 1},
    {0xFFFFFFFF, 4, "USB4 Gen4", 1},
    kTableEnd,
};
constexpr ValueEntry kT97[] = {
    {0xFFFFFFFF, 0, "USB 2.0 only, no SuperSpeed support", 1},
    {0xFFFFFFFF, 1, "USB 3.2 Gen1", 1},
    {0xFFFFFFFF, 2, "USB 3.2 Gen1 and Gen2", 1},
    kTableEnd,
};
constexpr ValueEntry kT98[] = {
    {0xFFFFFFFF, 1, "3A", 1},
    {0xFFFFFFFF, 2, "5A", 1},
    kTableEnd,
};
constexpr ValueEntry kT99[] = {
    {0xFFFFFFFF, 0, "20V", 1},
    {0xFFFFFFFF, 1, "30V (Deprecated)", 1},
    {0xFFFFFFFF, 2, "40V (Deprecated)", 1},
    {0xFFFFFFFF, 3, "50V", 1},
    kTableEnd,
};
constexpr ValueEntry kT100[] = {
    {0xFFFFFFFF, 0, "SBU is passive", 1},
    {0xFFFFFFFF, 1, "SBU is active", 1},
    kTableEnd,
};
constexpr ValueEntry kT101[] = {
    {0xFFFFFFFF, 2, "One end Active, one end passive, VCONN required", 1},
    {0xFFFFFFFF, 3, "Both ends Active, VCONN required", 1},
    kTableEnd,
};
constexpr ValueEntry kT102[] = {
    {0xFFFFFFFF, 0, "VCONN not required", 1},
    {0xFFFFFFFF, 1, "VCONN required", 1},
    kTableEnd,
};
constexpr ValueEntry kT103[] = {
    {0xFFFFFFFF, 1, "<10ns (-1m)", 1},
    {0xFFFFFFFF, 2, "10ns to 20ns (-2m)", 1},
    {0xFFFFFFFF, 3, "20ns to 30ns (-3m)", 1},
    {0xFFFFFFFF, 4, "30ns to 40ns (-4m)", 1},
    {0xFFFFFFFF, 5, "40ns to 50ns (-5m)", 1},
    {0xFFFFFFFF, 6, "50ns to 60ns (-6m)", 1},
    {0xFFFFFFFF, 7, "60ns to 70ns (-7m)", 1},
    {0xFFFFFFFF, 8, "1000ns (-100m)", 1},
    {0xFFFFFFFF, 9, "2000ns (-200m)", 1},
    {0xFFFFFFFF, 10, "3000ns (-300m)", 1},
    kTableEnd,
};
constexpr ValueEntry kT104[] = {
    {0xFFFFFFFF, 1, "<10ns (-1m)", 1},
    {0xFFFFFFFF, 2, "10ns to 20ns (-2m)", 1},
    {0xFFFFFFFF, 3, "20ns to 30ns (-3m)", 1},
    {0xFFFFFFFF, 4, "30ns to 40ns (-4m)", 1},
    {0xFFFFFFFF, 5, "40ns to 50ns (-5m)", 1},
    {0xFFFFFFFF, 6, "50ns to 60ns (-6m)", 1},
    {0xFFFFFFFF, 7, "60ns to 70ns (-7m)", 1},
    {0xFFFFFFFF, 8, "> 70ns (>-7m)", 1},
    kTableEnd,
};
constexpr ValueEntry kT105[] = {
    {0xFFFFFFFF, 0, "Fixed", 1},
    {0xFFFFFFFF, 1, "Configurable", 1},
    kTableEnd,
};
constexpr ValueEntry kT106[] = {
    {0xFFFFFFFF, 0, "USB Type-A", 1},
    {0xFFFFFFFF, 1, "USB Type-B", 1},
    {0xFFFFFFFF, 2, "USB Type-C", 1},
    {0xFFFFFFFF, 3, "Captive", 1},
    kTableEnd,
};
constexpr ValueEntry kT107[] = {
    {0xFFFFFFFF, 0, "Cable is not EPR Mode Capable", 1},
    {0xFFFFFFFF, 1, "Cable is EPR Mode Capable", 1},
    kTableEnd,
};
constexpr ValueEntry kT108[] = {
    {0xFFFFFFFF, 2, "USB Type-C", 1},
    {0xFFFFFFFF, 3, "Captive", 1},
    kTableEnd,
};
constexpr ValueEntry kT109[] = {
    {0xFFFFFFFF, 0, "Version 1.0", 1},
    {0xFFFFFFFF, 1, "Version 1.1", 1},
    {0xFFFFFFFF, 2, "Version 1.2", 1},
    {0xFFFFFFFF, 3, "Version 1.3", 1},
    kTableEnd,
};
constexpr ValueEntry kT110[] = {
    {0xFFFFFFFF, 0, "Reserved, for compatibility with legacy systems", 1},
    {0xFFFFFFFF, 2, "USB Type-C Receptacle", 1},
    {0xFFFFFFFF, 3, "USB Type-C Plug", 1},
    kTableEnd,
};
constexpr ValueEntry kT111[] = {
    {0xFFFFFFFF, 0, "Not a DFP", 1},
    {0xFFFFFFFF, 1, "PDUSB Hub", 1},
    {0xFFFFFFFF, 2, "PDUSB Host", 1},
    {0xFFFFFFFF, 3, "Power Brick", 1},
    kTableEnd,
};
constexpr ValueEntry kT112[] = {
    {0xFFFFFFFF, 0, "Undefined", 1},
    {0xFFFFFFFF, 3, "Passive Cable", 1},
    {0xFFFFFFFF, 4, "Active Cable", 1},
    kTableEnd,
};
constexpr ValueEntry kT113[] = {
    {0xFFFFFFFF, 0, "Undefined", 1},
    {0xFFFFFFFF, 1, "PDUSB Hub", 1},
    {0xFFFFFFFF, 2, "PDUSB Peripheral", 1},
    {0xFFFFFFFF, 5, "Alternate Mode Adapter (AMA)", 1},
    kTableEnd,
};
constexpr ValueEntry kT114[] = {
    {0xFFFFFFFF, 0, "Not a Cable Plug/VPD", 1},
    {0xFFFFFFFF, 3, "Passive Cable", 1},
    {0xFFFFFFFF, 4, "Active Cable", 1},
    {0xFFFFFFFF, 6, "VCONN-Powered USSB Device(VPD)", 1},
    kTableEnd,
};
constexpr ValueEntry kT115[] = {
    {0xFFFFFFFF, 0, "Not a UFP", 1},
    {0xFFFFFFFF, 1, "PDUSB Hub", 1},
    {0xFFFFFFFF, 2, "PDUSB Peripheral", 1},
    {0xFFFFFFFF, 3, "PSD", 1},
    kTableEnd,
};
constexpr ValueEntry kT116[] = {
    {0xFFFFFFFF, 0, "Version 2.0", 1},
    {0xFFFFFFFF, 1, "Version 2.1", 1},
    kTableEnd,
};
constexpr ValueEntry kT117[] = {
    {0xFFFFFFFF, 0, "Version 1.0", 1},
    {0xFFFFFFFF, 1, "Version 2.x", 1},
    kTableEnd,
};
constexpr ValueEntry kT118[] = {
    {0xFFFFFFFF, 0, "Version 1.0", 1},
    {0xFFFFFFFF, 1, "Version 2.0", 1},
    kTableEnd,
};
constexpr ValueEntry kT119[] = {
    {0xFFFFFFFF, 1, "Discover Identity", 1},
    {0xFFFFFFFF, 2, "Discover SVIDs", 1},
    {0xFFFFFFFF, 3, "Discover Modes", 1},
    {0xFFFFFFFF, 4, "Enter Mode", 1},
    {0xFFFFFFFF, 5, "Exit Mode", 1},
    {0xFFFFFFFF, 6, "Attention", 1},
    kTableEnd,
};
constexpr ValueEntry kT120[] = {
    {0xFFFFFFFF, 0, "REQ (Request from Initiator Port)", 1},
    {0xFFFFFFFF, 1, "ACK (Acknowledge Response from Responder Port)", 1},
    {0xFFFFFFFF, 2, "NAK (Negative Acknowledge Response from Responder Port)", 1},
    {0xFFFFFFFF, 3, "BUSY (Busy Response from Responder Port)", 1},
    kTableEnd,
};
constexpr ValueEntry kT121[] = {
    {0xFFFFFFFF, 7, "Exit all Active Modes", 1},
    kTableEnd,
};
constexpr ValueEntry kT122[] = {
    {0xFFFFFFFF, 65280, "Standard ID", 1},
    {0xFFFFFFFF, 65281, "VESA/DisplayPort", 1},
    {0xFFFFFFFF, 32903, "Intel/TBT3", 1},
    kTableEnd,
};
constexpr ValueEntry kT123[] = {
    {0xFFFFFFFF, 0, "Unstructured VDM", 1},
    {0xFFFFFFFF, 1, "Structured VDM", 1},
    kTableEnd,
};
constexpr ValueEntry kT124[] = {
    {0xFFFFFFFF, 5, "BIST Carrier Mode", 1},
    {0xFFFFFFFF, 8, "BIST Test Data", 1},
    {0xFFFFFFFF, 9, "BIST Shared Test Mode Entry", 1},
    {0xFFFFFFFF, 10, "BIST Shared Test Mode Exit", 1},
    kTableEnd,
};
constexpr ValueEntry kT125[] = {
    {0xFFFFFFFF, 0, "Fast Swap not supported", 1},
    {0xFFFFFFFF, 1, "Default USB Power", 1},
    {0xFFFFFFFF, 2, "1.5A @ 5V", 1},
    {0xFFFFFFFF, 3, "3.0A @ 5V", 1},
    kTableEnd,
};
constexpr ValueEntry kT126[] = {
    {0x0, 0, "%d [mW]", 500},
    kTableEnd,
};
constexpr ValueEntry kT127[] = {
    {0x0, 0, "%d [W]", 1},
    kTableEnd,
};
constexpr ValueEntry kT128[] = {
    {0x0, 0, "%d [mW]", 250},
    kTableEnd,
};
constexpr ValueEntry kT129[] = {
    {0x0, 0, "%d [mA]", 50},
    kTableEnd,
};
constexpr ValueEntry kT130[] = {
    {0x0, 0, "%d [mA]", 10},
    kTableEnd,
};
constexpr ValueEntry kT131[] = {
    {0x0, 0, "%d [mV]", 100},
    kTableEnd,
};
constexpr ValueEntry kT132[] = {
    {0x0, 0, "%d [mV]", 50},
    kTableEnd,
};
constexpr ValueEntry kT133[] = {
    {0x0, 0, "%d [mV]", 25},
    kTableEnd,
};
constexpr ValueEntry kT134[] = {
    {0x0, 0, "%d [mV]", 20},
    kTableEnd,
};
constexpr ValueEntry kT135[] = {
    {0xFFFFFFFF, 0, "SPR Programmable Power Supply", 1},
    {0xFFFFFFFF, 1, "EPR Adjustable Voltage Supply", 1},
    {0xFFFFFFFF, 2, "SPR Adjustable Voltage Supply", 1},
    kTableEnd,
};
constexpr ValueEntry kT136[] = {
    {0xFFFFFFFF, 0, "SPR Programmable Power Supply", 1},
    {0xFFFFFFFF, 1, "EPR Adjustable Voltage Supply", 1},
    {0xFFFFFFFF, 2, "SPR Adjustable Voltage Supply", 1},
    kTableEnd,
};
constexpr ValueEntry kT137[] = {
    {0xFFFFFFFF, 0, "Fixed supply (Vmin=Vmax)", 1},
    {0xFFFFFFFF, 1, "Battery", 1},
    {0xFFFFFFFF, 2, "Variable Supply (non-Battery)", 1},
    kTableEnd,
};
constexpr ValueEntry kT138[] = {
    {0xFFFFFFFF, 0, "Fixed supply (Vmin=Vmax)", 1},
    {0xFFFFFFFF, 1, "Battery", 1},
    {0xFFFFFFFF, 2, "Variable Supply (non-Battery)", 1},
    {0xFFFFFFFF, 3, "Augmented Power Data Object (APDO)", 1},
    kTableEnd,
};
constexpr ValueEntry kT139[] = {
    {0xFFFFFFFF, 0, "Message originated from a DFP or UFP", 1},
    {0xFFFFFFFF, 1, "Message originated from a Cable Plug", 1},
    kTableEnd,
};
constexpr ValueEntry kT140[] = {
    {0xFFFFFFFF, 0, "UFP", 1},
    {0xFFFFFFFF, 1, "DFP", 1},
    kTableEnd,
};
constexpr ValueEntry kT141[] = {
    {0xFFFFFFFF, 0, "Revision 1.0", 1},
    {0xFFFFFFFF, 1, "Revision 2.0", 1},
    {0xFFFFFFFF, 2, "Revision 3.0", 1},
    {0xFFFFFFFF, 3, "Reserved", 1},
    kTableEnd,
};
constexpr ValueEntry kT142[] = {
    {0xFFFFFFFF, 0, "Sink", 1},
    {0xFFFFFFFF, 1, "Source", 1},
    kTableEnd,
};
constexpr ValueEntry kT143[] = {
    {0xFFFFFFFF, 0, "Control or Data Message", 1},
    {0xFFFFFFFF, 1, "Extended Message", 1},
    kTableEnd,
};

constexpr std::span<const ValueEntry> kValueTables[] = {
    kT1, kT2, kT3, kT4, kT5, kT6, kT7, kT8, kT9, kT10, kT11, kT12,
    kT13, kT14, kT15, kT16, kT17, kT18, kT19, kT20, kT21, kT22, kT23, kT24,
    kT25, kT26, kT27, kT28, kT29, kT30, kT31, kT32, kT33, kT34, kT35, kT36,
    kT37, kT38, kT39, kT40, kT41, kT42, kT43, kT44, kT45, kT46, kT47, kT48,
    kT49, kT50, kT51, kT52, kT53, kT54, kT55, kT56, kT57, kT58, kT59, kT60,
    kT61, kT62, kT63, kT64, kT65, kT66, kT67, kT68, kT69, kT70, kT71, kT72,
    kT73, kT74, kT75, kT76, kT77, kT78, kT79, kT80, kT81, kT82, kT83, kT84,
    kT85, kT86, kT87, kT88, kT89, kT90, kT91, kT92, kT93, kT94, kT95, kT96,
    kT97, kT98, kT99, kT100, kT101, kT102, kT103, kT104, kT105, kT106, kT107, kT108,
    kT109, kT110, kT111, kT112, kT113, kT114, kT115, kT116, kT117, kT118, kT119, kT120,
    kT121, kT122, kT123, kT124, kT125, kT126, kT127, kT128, kT129, kT130, kT131, kT132,
    kT133, kT134, kT135, kT136, kT137, kT138, kT139, kT140, kT141, kT142, kT143,
};

constexpr FieldDescriptor kSOPHeaderRev2List[] = {  // SOP header, revision 2
    {0, 4, kT2, "Message Type"},
    {4, 1, nullptr, "Reserved"},
    {5, 1, kT140, "Port Data Role"},
    {6, 2, kT141, "Specification Revision"},
    {8, 1, kT142, "Port Power Role"},
    {9, 3, nullptr, "MessageID"},
    {12, 3, nullptr, "Number of Data Objects"},
    {15, 1, nullptr, "Reserved"},
    {16, 32, nullptr, "Data Object #1"},
    {48, 32, nullptr, "Data Object #2"},
    {80, 32, nullptr, "Data Object #3"},
    {112, 32, nullptr, "Data Object #4"},
    {144, 32, nullptr, "Data Object #5"},
    {176, 32, nullptr, "Data Object #6"},
    {208, 32, nullptr, "Data Object #7"},
    kListEnd,
};
constexpr FieldDescriptor kSOPHeaderRev3List[] = {  // SOP header, revision 3
    {0, 5, kT3, "Message Type"},
    {5, 1, kT140, "Port Data Role"},
    {6, 2, kT141, "Specification Revision"},
    {8, 1, kT142, "Port Power Role"},
    {9, 3, nullptr, "MessageID"},
    {12, 3, nullptr, "Number of Data Objects"},
    {15, 1, kT143, "Extended"},
    {16, 32, nullptr, "Data Object #1"},
    {48, 32, nullptr, "Data Object #2"},
    {80, 32, nullptr, "Data Object #3"},
    {112, 32, nullptr, "Data Object #4"},
    {144, 32, nullptr, "Data Object #5"},
    {176, 32, nullptr, "Data Object #6"},
    {208, 32, nullptr, "Data Object #7"},
    kListEnd,
};
constexpr FieldDescriptor kSOPExtendedMessageRev3List[] = {  // SOP extended message, revision 3
    {0, 5, kT3, "Message Type"},
    {5, 1, kT140, "Port Data Role"},
    {6, 2, kT141, "Specification Revision"},
    {8, 1, kT142, "Port Power Role"},
    {9, 3, nullptr, "MessageID"},
    {12, 3, nullptr, "Number of Data Objects"},
    {15, 1, kT143, "Extended"},
    {16, 9, nullptr, "Data Size"},
    {25, 1, nullptr, "Reserved"},
    {26, 1, nullptr, "Request Chunk"},
    {27, 4, nullptr, "Chunk Number"},
    {31, 1, nullptr, "Chunked"},
    {32, 2080, nullptr, "Extended Data"},
    kListEnd,
};
constexpr FieldDescriptor kCableHeaderRev2List[] = {  // Cable header, revision 2
    {0, 4, kT2, "Message Type"},
    {4, 1, nullptr, "Reserved"},
    {5, 1, nullptr, "Reserved"},
    {6, 2, kT141, "Specification Revision"},
    {8, 1, kT139, "Cable Plug"},
    {9, 3, nullptr, "MessageID"},
    {12, 3, nullptr, "Number of Data Objects"},
    {15, 1, nullptr, "Reserved"},
    {16, 32, nullptr, "Data Object #1"},
    {48, 32, nullptr, "Data Object #2"},
    {80, 32, nullptr, "Data Object #3"},
    {112, 32, nullptr, "Data Object #4"},
    {144, 32, nullptr, "Data Object #5"},
    {176, 32, nullptr, "Data Object #6"},
    {208, 32, nullptr, "Data Object #7"},
    kListEnd,
};
constexpr FieldDescriptor kCableHeaderRev3List[] = {  // Cable header, revision 3
    {0, 5, kT3, "Message Type"},
    {5, 1, nullptr, "Reserved"},
    {6, 2, kT141, "Specification Revision"},
    {8, 1, kT139, "Cable Plug"},
    {9, 3, nullptr, "MessageID"},
    {12, 3, nullptr, "Number of Data Objects"},
    {15, 1, kT143, "Extended"},
    {16, 32, nullptr, "Data Object #1"},
    {48, 32, nullptr, "Data Object #2"},
    {80, 32, nullptr, "Data Object #3"},
    {112, 32, nullptr, "Data Object #4"},
    {144, 32, nullptr, "Data Object #5"},
    {176, 32, nullptr, "Data Object #6"},
    {208, 32, nullptr, "Data Object #7"},
    kListEnd,
};
constexpr FieldDescriptor kCableExtendedMessageRev3List[] = {  // Cable extended message, revision 3
    {0, 5, kT3, "Message Type"},
    {5, 1, nullptr, "Reserved"},
    {6, 2, kT141, "Specification Revision"},
    {8, 1, kT139, "Cable Plug"},
    {9, 3, nullptr, "MessageID"},
    {12, 3, nullptr, "Number of Data Objects"},
    {15, 1, kT143, "Extended"},
    {16, 9, nullptr, "Data Size"},
    {25, 1, nullptr, "Reserved"},
    {26, 1, nullptr, "Request Chunk"},
    {27, 4, nullptr, "Chunk Number"},
    {31, 1, nullptr, "Chunked"},
    {32, 2080, nullptr, "Extended Data"},
    kListEnd,
};
constexpr FieldDescriptor kExtendedMessageHeaderList[] = {  // Extended message header
    {15, 1, nullptr, "Chunked"},
    {11, 4, nullptr, "Chunk Number"},
    {10, 1, nullptr, "Request Chunk"},
    {0, 9, nullptr, "Data Size"},
    kListEnd,
};
constexpr FieldDescriptor kSourceFixedSupplyPDORev2List[] = {  // Source fixed supply PDO, revision 2
    {30, 2, kT137, "Fixed supply"},
    {29, 1, nullptr, "Dual-Role Power"},
    {28, 1, nullptr, "USB Suspend Supported"},
    {27, 1, nullptr, "Unconstrained Powered"},
    {26, 1, nullptr, "USB Communications Capable"},
    {25, 1, nullptr, "Dual-Role Data"},
    {22, 3, nullptr, "Reserved"},
    {20, 2, nullptr, "Peak Current"},
    {10, 10, kT132, "Voltage in 50mV units"},
    {0, 10, kT130, "Maximum Current in 10mA units"},
    kListEnd,
};
constexpr FieldDescriptor kSourceFixedSupplyPDORev3List[] = {  // Source fixed supply PDO, revision 3
    {30, 2, kT138, "Fixed supply"},
    {29, 1, nullptr, "Dual-Role Power"},
    {28, 1, nullptr, "USB Suspend Supported"},
    {27, 1, nullptr, "Unconstrained Powered"},
    {26, 1, nullptr, "USB Communications Capable"},
    {25, 1, nullptr, "Dual-Role Data"},
    {24, 1, nullptr, "Unchunked Extended Messages Supported"},
    {23, 1, nullptr, "EPR Mode Capable"},
    {22, 1, nullptr, "Reserved"},
    {20, 2, nullptr, "Peak Current"},
    {10, 10, kT132, "Voltage in 50mV units"},
    {0, 10, kT130, "Maximum Current in 10mA units"},
    kListEnd,
};
constexpr FieldDescriptor kSourceBatteryPDOList[] = {  // Source battery PDO
    {30, 2, kT138, "Battery"},
    {20, 10, kT132, "Maximum Voltage in 50mV units"},
    {10, 10, kT132, "Minimum Voltage in 50mV units"},
    {0, 10, kT128, "Maximum Allowable Power in 250mW units"},
    kListEnd,
};
constexpr FieldDescriptor kSourceVariableSupplyPDOList[] = {  // Source variable supply PDO
    {30, 2, kT138, "Variable Supply (non-Battery)"},
    {20, 10, kT132, "Maximum Voltage in 50mV units"},
    {10, 10, kT132, "Minimum Voltage in 50mV units"},
    {0, 10, kT130, "Maximum Current in 10mA units"},
    kListEnd,
};
constexpr FieldDescriptor kSourceSPRPPSAPDOList[] = {  // Source SPR PPS APDO
    {30, 2, kT138, "Augmented Power Data Object (APDO)"},
    {28, 2, kT136, "SPR Programmable Power Supply"},
    {27, 1, nullptr, "PPS Power Limited"},
    {25, 2, nullptr, "Reserved"},
    {17, 8, kT131, "Maximum Voltage in 100mV increments"},
    {16, 1, nullptr, "Reserved"},
    {8, 8, kT131, "Minimum Voltage in 100mV increments"},
    {7, 1, nullptr, "Reserved"},
    {0, 7, kT129, "Maximum Current in 50mA increments"},
    kListEnd,
};
constexpr FieldDescriptor kSourceEPRAVSAPDOList[] = {  // Source EPR AVS APDO
    {30, 2, kT138, "Augmented Power Data Object (APDO)"},
    {28, 2, kT136, "EPR Adjustable Voltage Supply"},
    {26, 2, nullptr, "Peak Current"},
    {17, 9, kT131, "Maximum Voltage in 100mV increments"},
    {16, 1, nullptr, "Reserved"},
    {8, 8, kT131, "Minimum Voltage in 100mV increments"},
    {0, 8, kT127, "PDP in 1W increments"},
    kListEnd,
};
constexpr FieldDescriptor kSourceSPRAVSAPDOList[] = {  // Source SPR AVS APDO
    {30, 2, kT138, "Augmented Power Data Object (APDO)"},
    {28, 2, kT136, "SPR Adjustable Voltage Supply"},
    {26, 2, nullptr, "Peak Current"},
    {20, 6, nullptr, "Reserved"},
    {10, 10, kT130, "For 9V - 15V range: Maximum Current in 10mA units equal to the Maximum Current field of the 15V Fixed Source PDO"},
    {0, 10, kT130, "For 15V - 20V range: Maximum Current in 10mA units equal to the Maximum Current field of the 20V Fixed Source PDO, set to 0 if the Maximum voltage in the SPR AVS range is 15V"},
    kListEnd,
};
constexpr FieldDescriptor kSourceAPDOOfUnknownSubTypeList[] = {  // Source APDO of unknown sub-type
    {30, 2, kT138, "Augmented Power Data Object (APDO)"},
    {28, 2, kT136, "Unknown APDO"},
    {0, 28, nullptr, "Reserved"},
    kListEnd,
};
constexpr FieldDescriptor kSinkFixedSupplyPDORev2List[] = {  // Sink fixed supply PDO, revision 2
    {30, 2, kT137, "Fixed supply"},
    {29, 1, nullptr, "Dual-Role Power"},
    {28, 1, nullptr, "Higher Capability"},
    {27, 1, nullptr, "Unconstrained Powered"},
    {26, 1, nullptr, "USB Communications Capable"},
    {25, 1, nullptr, "Dual-Role Data"},
    {20, 5, nullptr, "Reserved"},
    {10, 10, kT132, "Voltage in 50mV units"},
    {0, 10, kT130, "Operational Current in 10mA units"},
    kListEnd,
};
constexpr FieldDescriptor kSinkFixedSupplyPDORev3List[] = {  // Sink fixed supply PDO, revision 3
    {30, 2, kT138, "Fixed supply"},
    {29, 1, nullptr, "Dual-Role Power"},
    {28, 1, nullptr, "Higher Capability"},
    {27, 1, nullptr, "Unconstrained Powered"},
    {26, 1, nullptr, "USB Communications Capable"},
    {25, 1, nullptr, "Dual-Role Data"},
    {23, 2, kT125, "Fast Role Swap required USB Type-C Current"},
    {20, 3, nullptr, "Reserved"},
    {10, 10, kT132, "Voltage in 50mV units"},
    {0, 10, kT130, "Operational Current in 10mA units"},
    kListEnd,
};
constexpr FieldDescriptor kSinkBatteryPDOList[] = {  // Sink battery PDO
    {30, 2, kT138, "Battery"},
    {20, 10, kT132, "Maximum Voltage in 50mV units"},
    {10, 10, kT132, "Minimum Voltage in 50mV units"},
    {0, 10, kT128, "Operational Power in 250mW units"},
    kListEnd,
};
constexpr FieldDescriptor kSinkVariableSupplyPDOList[] = {  // Sink variable supply PDO
    {30, 2, kT138, "Variable Supply (non-Battery)"},
    {20, 10, kT132, "Maximum Voltage in 50mV units"},
    {10, 10, kT132, "Minimum Voltage in 50mV units"},
    {0, 10, kT130, "Operational Current in 10mA units"},
    kListEnd,
};
constexpr FieldDescriptor kSinkSPRPPSAPDOList[] = {  // Sink SPR PPS APDO
    {30, 2, kT138, "Augmented Power Data Object (APDO)"},
    {28, 2, kT135, "SPR Programmable Power Supply"},
    {25, 3, nullptr, "Reserved"},
    {17, 8, kT131, "Maximum Voltage in 100mV increments"},
    {16, 1, nullptr, "Reserved"},
    {8, 8, kT131, "Minimum Voltage in 100mV increments"},
    {7, 1, nullptr, "Reserved"},
    {0, 7, kT129, "Maximum Current in 50mA increments"},
    kListEnd,
};
constexpr FieldDescriptor kSinkEPRAVSAPDOList[] = {  // Sink EPR AVS APDO
    {30, 2, kT138, "Augmented Power Data Object (APDO)"},
    {28, 2, kT135, "EPR Adjustable Voltage Supply"},
    {26, 2, nullptr, "Reserved"},
    {17, 9, kT131, "Maximum Voltage in 100mV increments"},
    {16, 1, nullptr, "Reserved"},
    {8, 8, kT131, "Minimum Voltage in 100mV increments"},
    {0, 8, kT127, "PDP in 1W increments"},
    kListEnd,
};
constexpr FieldDescriptor kSinkSPRAVSAPDOList[] = {  // Sink SPR AVS APDO
    {30, 2, kT138, "Augmented Power Data Object (APDO)"},
    {28, 2, kT135, "SPR Adjustable Voltage Supply"},
    {20, 8, nullptr, "Reserved"},
    {10, 10, kT130, "For 9V-15V range: Maximum Current in 10mA units equal to the Maximum Current field of the 15V Fixed Supply PDO"},
    {0, 10, kT130, "For 15V-20V range: Maximum Current in 10mA units equal to the Maximum Current field of the 20V Fixed Supply PDO, set to 0 if the Maximum voltage in the SPR AVS range is 15V"},
    kListEnd,
};
constexpr FieldDescriptor kSinkAPDOOfUnknownSubTypeList[] = {  // Sink APDO of unknown sub-type
    {30, 2, kT138, "Augmented Power Data Object (APDO)"},
    {28, 2, kT135, "Unknown APDO"},
    {0, 28, nullptr, "Reserved"},
    kListEnd,
};
constexpr FieldDescriptor kFixedOrVariableRequestRev2List[] = {  // Fixed or variable request, revision 2
    {31, 1, nullptr, "Reserved"},
    {28, 3, nullptr, "Object position"},
    {27, 1, nullptr, "GiveBack flag=0"},
    {26, 1, nullptr, "Capability Mismatch"},
    {25, 1, nullptr, "USB Communications Capable"},
    {24, 1, nullptr, "No USB Suspend"},
    {20, 4, nullptr, "Reserved"},
    {10, 10, kT130, "Operating current in 10mA units"},
    {0, 10, kT130, "Maximum Operating Current 10mA units"},
    kListEnd,
};
constexpr FieldDescriptor kFixedOrVariableRequestRev3List[] = {  // Fixed or variable request, revision 3
    {28, 4, nullptr, "Object position"},
    {27, 1, nullptr, "GiveBack flag (Deprecated)"},
    {26, 1, nullptr, "Capability Mismatch"},
    {25, 1, nullptr, "USB Communications Capable"},
    {24, 1, nullptr, "No USB Suspend"},
    {23, 1, nullptr, "Unchunked Extended Messages Supported"},
    {22, 1, nullptr, "EPR Mode Capable"},
    {20, 2, nullptr, "Reserved"},
    {10, 10, kT130, "Operating current in 10mA units"},
    {0, 10, kT130, "Maximum Operating Current 10mA units"},
    kListEnd,
};
constexpr FieldDescriptor kFixedOrVariableRequestWithGiveBackRev2List[] = {  // Fixed or variable request with give back, revision 2
    {31, 1, nullptr, "Reserved"},
    {28, 3, nullptr, "Object position"},
    {27, 1, nullptr, "GiveBack flag=1"},
    {26, 1, nullptr, "Capability Mismatch"},
    {25, 1, nullptr, "USB Communications Capable"},
    {24, 1, nullptr, "No USB Suspend"},
    {20, 4, nullptr, "Reserved"},
    {10, 10, kT130, "Operating current in 10mA units"},
    {0, 10, kT130, "Minimum Operating Current 10mA units"},
    kListEnd,
};
constexpr FieldDescriptor kFixedOrVariableRequestWithGiveBackRev3List[] = {  // Fixed or variable request with give back, revision 3
    {28, 4, nullptr, "Object position"},
    {27, 1, nullptr, "GiveBack flag (Deprecated)"},
    {26, 1, nullptr, "Capability Mismatch"},
    {25, 1, nullptr, "USB Communications Capable"},
    {24, 1, nullptr, "No USB Suspend"},
    {23, 1, nullptr, "Unchunked Extended Messages Supported"},
    {22, 1, nullptr, "EPR Mode Capable"},
    {20, 2, nullptr, "Reserved"},
    {10, 10, kT130, "Operating current in 10mA units"},
    {0, 10, kT130, "Minimum Operating Current 10mA units"},
    kListEnd,
};
constexpr FieldDescriptor kBatteryRequestRev2List[] = {  // Battery request, revision 2
    {31, 1, nullptr, "Reserved"},
    {28, 3, nullptr, "Object position"},
    {27, 1, nullptr, "GiveBack flag=0"},
    {26, 1, nullptr, "Capability Mismatch"},
    {25, 1, nullptr, "USB Communications Capable"},
    {24, 1, nullptr, "No USB Suspend"},
    {20, 4, nullptr, "Reserved"},
    {10, 10, kT128, "Operating Power in 250mW units"},
    {0, 10, kT128, "Maximum Operating Power in 250mW units"},
    kListEnd,
};
constexpr FieldDescriptor kBatteryRequestRev3List[] = {  // Battery request, revision 3
    {28, 4, nullptr, "Object position"},
    {27, 1, nullptr, "GiveBack flag (Deprecated)"},
    {26, 1, nullptr, "Capability Mismatch"},
    {25, 1, nullptr, "USB Communications Capable"},
    {24, 1, nullptr, "No USB Suspend"},
    {23, 1, nullptr, "Unchunked Extended Messages Supported"},
    {22, 1, nullptr, "EPR Mode Capable"},
    {20, 2, nullptr, "Reserved"},
    {10, 10, kT128, "Operating Power in 250mW units"},
    {0, 10, kT128, "Maximum Operating Power in 250mW units"},
    kListEnd,
};
constexpr FieldDescriptor kBatteryRequestWithGiveBackRev2List[] = {  // Battery request with give back, revision 2
    {31, 1, nullptr, "Reserved"},
    {28, 3, nullptr, "Object position"},
    {27, 1, nullptr, "GiveBack flag=1"},
    {26, 1, nullptr, "Capability Mismatch"},
    {25, 1, nullptr, "USB Communications Capable"},
    {24, 1, nullptr, "No USB Suspend"},
    {20, 4, nullptr, "Reserved"},
    {10, 10, kT128, "Operating Power in 250mW units"},
    {0, 10, kT128, "Minimum Operating Power in 250mW units"},
    kListEnd,
};
constexpr FieldDescriptor kBatteryRequestWithGiveBackRev3List[] = {  // Battery request with give back, revision 3
    {28, 4, nullptr, "Object position"},
    {27, 1, nullptr, "GiveBack flag (Deprecated)"},
    {26, 1, nullptr, "Capability Mismatch"},
    {25, 1, nullptr, "USB Communications Capable"},
    {24, 1, nullptr, "No USB Suspend"},
    {23, 1, nullptr, "Unchunked Extended Messages Supported"},
    {22, 1, nullptr, "EPR Mode Capable"},
    {20, 2, nullptr, "Reserved"},
    {10, 10, kT128, "Operating Power in 250mW units"},
    {0, 10, kT128, "Minimum Operating Power in 250mW units"},
    kListEnd,
};
constexpr FieldDescriptor kPPSRequestList[] = {  // PPS request
    {28, 4, nullptr, "Object position"},
    {27, 1, nullptr, "Reserved"},
    {26, 1, nullptr, "Capability Mismatch"},
    {25, 1, nullptr, "USB Communications Capable"},
    {24, 1, nullptr, "No USB Suspend"},
    {23, 1, nullptr, "Unchunked Extended Messages Supported"},
    {22, 1, nullptr, "EPR Mode Capable"},
    {20, 2, nullptr, "Reserved"},
    {9, 11, kT134, "Output Voltage in 20mV units"},
    {7, 2, nullptr, "Reserved"},
    {0, 7, kT129, "Operating Current 50mA units"},
    kListEnd,
};
constexpr FieldDescriptor kAVSRequestList[] = {  // AVS request
    {28, 4, nullptr, "Object position"},
    {27, 1, nullptr, "Reserved"},
    {26, 1, nullptr, "Capability Mismatch"},
    {25, 1, nullptr, "USB Communications Capable"},
    {24, 1, nullptr, "No USB Suspend"},
    {23, 1, nullptr, "Unchunked Extended Messages Supported"},
    {22, 1, nullptr, "EPR Mode Capable"},
    {21, 1, nullptr, "Reserved"},
    {9, 12, kT133, "Output Voltage in 25mV units"},
    {7, 2, nullptr, "Reserved"},
    {0, 7, kT129, "Operating Current 50mA units"},
    kListEnd,
};
constexpr FieldDescriptor kRequestForAnAPDOOfUnknownSubTypeList[] = {  // Request for an APDO of unknown sub-type
    {31, 1, nullptr, "Reserved"},
    {28, 3, nullptr, "Object position"},
    {0, 28, nullptr, "Reserved"},
    kListEnd,
};
constexpr FieldDescriptor kEPRRequestWithoutPDOCopyList[] = {  // EPR request without PDO copy
    {32, 32, nullptr, "Copy of PDO"},
    {0, 32, nullptr, "RDO"},
    kListEnd,
};
constexpr FieldDescriptor kBISTDataObjectList[] = {  // BIST data object
    {28, 4, kT124, "Mode"},
    {0, 28, nullptr, "Reserved"},
    kListEnd,
};
constexpr FieldDescriptor kBatteryStatusDataObjectList[] = {  // Battery status data object
    {16, 16, kT50, "Battery Present Capacity"},
    {12, 4, nullptr, "Battert Info (Reserved)"},
    {10, 2, kT51, "Battert Info (Battery charging status)"},
    {9, 1, nullptr, "Battert Info (Battery is present)"},
    {8, 1, nullptr, "Battert Info (Invalid Battery reference)"},
    {0, 8, nullptr, "Reserved"},
    kListEnd,
};
constexpr FieldDescriptor kAlertDataObjectList[] = {  // Alert data object
    {31, 1, nullptr, "Type of Alert (Extended Alert Event)"},
    {30, 1, nullptr, "Type of Alert (OVP event)"},
    {29, 1, nullptr, "Type of Alert (Source Input Change Event)"},
    {28, 1, nullptr, "Type of Alert (Operating Condition Change)"},
    {27, 1, nullptr, "Type of Alert (OTP event)"},
    {26, 1, nullptr, "Type of Alert (OCP event)"},
    {25, 1, nullptr, "Type of Alert (Battery Status Change Event)"},
    {24, 1, nullptr, "Type of Alert (Reserved)"},
    {20, 4, nullptr, "Fixed Batteries"},
    {16, 4, nullptr, "Hot Swappable Batteries"},
    {4, 12, nullptr, "Reserved"},
    {0, 4, kT49, "Extended Alert Event Type"},
    kListEnd,
};
constexpr FieldDescriptor kGetCountryInfoDataObjectList[] = {  // Get_Country_Info data object
    {24, 8, nullptr, "First Caracter of the Alpha-2 Country Code defined by [ISO 3166]"},
    {16, 8, nullptr, "Second Caracter of the Alpha-2 Country Code defined by [ISO 3166]"},
    {0, 16, nullptr, "Reserved"},
    kListEnd,
};
constexpr FieldDescriptor kEnterUSBDataObjectList[] = {  // Enter_USB data object
    {31, 1, nullptr, "Reserved"},
    {28, 3, kT19, "USB Mode"},
    {27, 1, nullptr, "Reserved"},
    {26, 1, kT18, "USB4 DRD"},
    {25, 1, kT17, "USB3 DRD"},
    {24, 1, nullptr, "Reserved"},
    {21, 3, kT16, "Cable Speed"},
    {19, 2, kT15, "Cable Type"},
    {17, 2, kT14, "Cable Current"},
    {16, 1, kT13, "PCIe Support"},
    {15, 1, kT12, "DP Support"},
    {14, 1, kT11, "TBT Support"},
    {13, 1, nullptr, "Host Present"},
    {0, 13, nullptr, "Reserved"},
    kListEnd,
};
constexpr FieldDescriptor kEPRModeDataObjectList[] = {  // EPR mode data object
    {24, 8, kT10, "Action"},
    {16, 8, nullptr, "Data"},
    {0, 16, nullptr, "Reserved"},
    kListEnd,
};
constexpr FieldDescriptor kSourceInformationDataObjectsList[] = {  // Source information data objects
    {63, 1, kT9, "[SIDO2] Port Type"},
    {62, 1, kT8, "[SIDO2] DPS Port"},
    {50, 12, nullptr, "[SIDO2] Reserved"},
    {41, 9, kT126, "[SIDO2] Port Maximum PDP"},
    {32, 9, kT126, "[SIDO2] Port Guaranteed PDP"},
    {31, 1, kT9, "Port Type"},
    {24, 7, nullptr, "Reserved"},
    {16, 8, kT127, "Port Maximum PDP"},
    {8, 8, kT127, "Port Present PDP"},
    {0, 8, kT127, "Port Reported PDP"},
    kListEnd,
};
constexpr FieldDescriptor kRevisionDataObjectList[] = {  // Revision data object
    {28, 4, nullptr, "Revision.major"},
    {24, 4, nullptr, "Revision.minor"},
    {20, 4, nullptr, "Version.major"},
    {16, 4, nullptr, "Version.minor"},
    {0, 16, nullptr, "Reserved"},
    kListEnd,
};
constexpr FieldDescriptor kUnstructuredVDMHeaderList[] = {  // Unstructured VDM header
    {16, 16, nullptr, "Vendor ID (VID)"},
    {15, 1, kT123, "VDM Type"},
    {0, 15, nullptr, "Available for Vendor Use"},
    kListEnd,
};
constexpr FieldDescriptor kStructuredVDMHeaderV10List[] = {  // Structured VDM header, version 1.0
    {16, 16, kT122, "Standard or Vendor ID (SVID)"},
    {15, 1, kT123, "VDM Type"},
    {13, 2, kT118, "Structured VDM Version"},
    {11, 2, nullptr, "Reserved"},
    {8, 3, nullptr, "Object Position"},
    {6, 2, kT120, "Command Type"},
    {5, 1, nullptr, "Reserved"},
    {0, 5, kT119, "Command"},
    kListEnd,
};
constexpr FieldDescriptor kStructuredVDMHeaderV2ModeCommandsList[] = {  // Structured VDM header, version 2, mode commands
    {16, 16, kT122, "Standard or Vendor ID (SVID)"},
    {15, 1, kT123, "VDM Type"},
    {13, 2, kT117, "Structured VDM Version (Major)"},
    {11, 2, kT116, "Structured VDM Version (Minor)"},
    {8, 3, kT121, "Object Position"},
    {6, 2, kT120, "Command Type"},
    {5, 1, nullptr, "Reserved"},
    {0, 5, kT119, "Command"},
    kListEnd,
};
constexpr FieldDescriptor kStructuredVDMHeaderV2List[] = {  // Structured VDM header, version 2
    {16, 16, kT122, "Standard or Vendor ID (SVID)"},
    {15, 1, kT123, "VDM Type"},
    {13, 2, kT117, "Structured VDM Version (Major)"},
    {11, 2, kT116, "Structured VDM Version (Minor)"},
    {8, 3, nullptr, "Object Position"},
    {6, 2, kT120, "Command Type"},
    {5, 1, nullptr, "Reserved"},
    {0, 5, kT119, "Command"},
    kListEnd,
};
constexpr FieldDescriptor kIDHeaderSOPV10List[] = {  // ID header (SOP), version 1.0
    {31, 1, nullptr, "USB Communications Capable as USB Host"},
    {30, 1, nullptr, "USB Communications Capable as a USB Device"},
    {27, 3, kT113, "Product Type (UFP)"},
    {26, 1, nullptr, "Modal Operation Supported"},
    {16, 10, nullptr, "Reserved"},
    {0, 16, nullptr, "USB Vendor ID"},
    kListEnd,
};
constexpr FieldDescriptor kIDHeaderSOPV2List[] = {  // ID header (SOP), version 2
    {31, 1, nullptr, "USB Communications Capable as USB Host"},
    {30, 1, nullptr, "USB Communications Capable as a USB Device"},
    {27, 3, kT115, "Product Type (UFP)"},
    {26, 1, nullptr, "Modal Operation Supported"},
    {23, 3, kT111, "Product Type (DFP)"},
    {21, 2, kT110, "Connector Type"},
    {16, 5, nullptr, "Reserved"},
    {0, 16, nullptr, "USB Vendor ID"},
    kListEnd,
};
constexpr FieldDescriptor kIDHeaderCableV10List[] = {  // ID header (cable), version 1.0
    {31, 1, nullptr, "USB Communications Capable as USB Host"},
    {30, 1, nullptr, "USB Communications Capable as a USB Device"},
    {27, 3, kT112, "Product Type (Cable Plug)"},
    {26, 1, nullptr, "Modal Operation Supported"},
    {16, 10, nullptr, "Reserved"},
    {0, 16, nullptr, "USB Vendor ID"},
    kListEnd,
};
constexpr FieldDescriptor kIDHeaderCableV2List[] = {  // ID header (cable), version 2
    {31, 1, nullptr, "USB Communications Capable as USB Host"},
    {30, 1, nullptr, "USB Communications Capable as a USB Device"},
    {27, 3, kT114, "Product Type (Cable Plug)"},
    {26, 1, nullptr, "Modal Operation Supported"},
    {23, 3, kT111, "Product Type (DFP)"},
    {21, 2, kT110, "Connector Type"},
    {16, 5, nullptr, "Reserved"},
    {0, 16, nullptr, "USB Vendor ID"},
    kListEnd,
};
constexpr FieldDescriptor kCertStatVDOList[] = {  // Cert stat VDO
    {0, 32, nullptr, "XID"},
    kListEnd,
};
constexpr FieldDescriptor kProductVDOList[] = {  // Product VDO
    {16, 16, nullptr, "USB Product ID"},
    {0, 16, nullptr, "bcdDevice"},
    kListEnd,
};
constexpr FieldDescriptor kUFPVDOFormAList[] = {  // UFP VDO, form A
    {29, 3, kT81, "UFP VDO Version"},
    {28, 1, nullptr, "Reserved"},
    {27, 1, nullptr, "Device Capability (USB4 Device Capable)"},
    {26, 1, nullptr, "Device Capability (USB 3.2 Device Capable)"},
    {25, 1, nullptr, "Device Capability (USB 2.0 Device Capable (Billboard only))"},
    {24, 1, nullptr, "Device Capability (USB 2.0 Device Capable)"},
    {6, 18, nullptr, "Reserved"},
    {5, 1, nullptr, "Alternate Modes (Supports Alternate Modes that do not reconfigure the signals on the USB Type-C connector)"},
    {4, 1, nullptr, "Alternate Modes (Supports Alternate Modes that reconfigure the signals on the USB Type-C connector except for TBT3)"},
    {3, 1, nullptr, "Alternate Modes (Supports TBT3 Alternate Mode)"},
    {0, 3, kT96, "USB Highest Speed"},
    kListEnd,
};
constexpr FieldDescriptor kUFPVDOFormBList[] = {  // UFP VDO, form B
    {29, 3, kT81, "UFP VDO Version"},
    {28, 1, nullptr, "Reserved"},
    {27, 1, nullptr, "Device Capability (USB4 Device Capable)"},
    {26, 1, nullptr, "Device Capability (USB 3.2 Device Capable)"},
    {25, 1, nullptr, "Device Capability (USB 2.0 Device Capable (Billboard only))"},
    {24, 1, nullptr, "Device Capability (USB 2.0 Device Capable)"},
    {22, 2, kT80, "Connector Type"},
    {6, 16, nullptr, "Reserved"},
    {5, 1, nullptr, "Alternate Modes (Supports Alternate Modes that do not reconfigure the signals on the USB Type-C connector)"},
    {4, 1, nullptr, "Alternate Modes (Supports Alternate Modes that reconfigure the signals on the USB Type-C connector except for TBT3)"},
    {3, 1, nullptr, "Alternate Modes (Supports TBT3 Alternate Mode)"},
    {0, 3, kT96, "USB Highest Speed"},
    kListEnd,
};
constexpr FieldDescriptor kUFPVDOFormCList[] = {  // UFP VDO, form C
    {29, 3, kT81, "UFP VDO Version"},
    {28, 1, nullptr, "Reserved"},
    {27, 1, nullptr, "Device Capability (USB4 Device Capable)"},
    {26, 1, nullptr, "Device Capability (USB 3.2 Device Capable)"},
    {25, 1, nullptr, "Device Capability (USB 2.0 Device Capable (Billboard only))"},
    {24, 1, nullptr, "Device Capability (USB 2.0 Device Capable)"},
    {22, 2, nullptr, "Connector Type (Legacy)"},
    {11, 11, nullptr, "Reserved"},
    {8, 3, kT84, "VCONN Power"},
    {7, 1, kT79, "VCONN Required"},
    {6, 1, kT78, "VBUS Required"},
    {5, 1, nullptr, "Alternate Modes (Supports Alternate Modes that do not reconfigure the signals on the USB Type-C connector)"},
    {4, 1, nullptr, "Alternate Modes (Supports Alternate Modes that reconfigure the signals on the USB Type-C connector except for TBT3)"},
    {3, 1, nullptr, "Alternate Modes (Supports TBT3 Alternate Mode)"},
    {0, 3, kT96, "USB Highest Speed"},
    kListEnd,
};
constexpr FieldDescriptor kUFPPowerVDOList[] = {  // UFP power VDO
    {30, 2, nullptr, "Reserved"},
    {23, 7, kT77, "USB4 Min Power"},
    {16, 7, kT77, "USB4 Max Power"},
    {14, 2, nullptr, "Reserved"},
    {7, 7, kT77, "USB3 Min Power"},
    {0, 7, kT77, "USB3 Max Power"},
    kListEnd,
};
constexpr FieldDescriptor kDFPVDOFormAList[] = {  // DFP VDO, form A
    {29, 3, kT76, "DFP VDO Version"},
    {27, 2, nullptr, "Reserved"},
    {26, 1, nullptr, "Host Capability (USB4 Host Capable)"},
    {25, 1, nullptr, "Host Capability (USB3.2 Host Capable)"},
    {24, 1, nullptr, "Host Capability (USB2.0 Host Capable)"},
    {5, 19, nullptr, "Reserved"},
    {0, 5, nullptr, "Port Number"},
    kListEnd,
};
constexpr FieldDescriptor kDFPVDOFormBList[] = {  // DFP VDO, form B
    {29, 3, kT76, "DFP VDO Version"},
    {27, 2, nullptr, "Reserved"},
    {26, 1, nullptr, "Host Capability (USB4 Host Capable)"},
    {25, 1, nullptr, "Host Capability (USB3.2 Host Capable)"},
    {24, 1, nullptr, "Host Capability (USB2.0 Host Capable)"},
    {22, 2, kT80, "Connector Type"},
    {5, 17, nullptr, "Reserved"},
    {0, 5, nullptr, "Port Number"},
    kListEnd,
};
constexpr FieldDescriptor kDFPVDOFormCList[] = {  // DFP VDO, form C
    {29, 3, kT76, "DFP VDO Version"},
    {27, 2, nullptr, "Reserved"},
    {26, 1, nullptr, "Host Capability (USB4 Host Capable)"},
    {25, 1, nullptr, "Host Capability (USB3.2 Host Capable)"},
    {24, 1, nullptr, "Host Capability (USB2.0 Host Capable)"},
    {22, 2, nullptr, "Connector Type (Legacy)"},
    {5, 17, nullptr, "Reserved"},
    {0, 5, nullptr, "Port Number"},
    kListEnd,
};
constexpr FieldDescriptor kAlternateModeAdapterVDOV10List[] = {  // Alternate mode adapter VDO, version 1.0
    {28, 4, nullptr, "HW Version"},
    {24, 4, nullptr, "Firmware Version"},
    {12, 12, nullptr, "Reserved"},
    {11, 1, kT105, "SSTX1 Directionality Support"},
    {10, 1, kT105, "SSTX2 Directionality Support"},
    {9, 1, kT105, "SSRX1 Directionality Support"},
    {8, 1, kT105, "SSRX2 Directionality Support"},
    {5, 3, kT84, "VCONN power"},
    {4, 1, nullptr, "VCONN required"},
    {3, 1, nullptr, "VBUS required"},
    {0, 3, kT95, "USB SuperSpeed Signaling Support"},
    kListEnd,
};
constexpr FieldDescriptor kAlternateModeAdapterVDOV2List[] = {  // Alternate mode adapter VDO, version 2
    {28, 4, nullptr, "HW Version"},
    {24, 4, nullptr, "Firmware Version"},
    {21, 3, kT109, "VDO Version"},
    {8, 13, nullptr, "Reserved"},
    {5, 3, kT84, "VCONN power"},
    {4, 1, nullptr, "VCONN required"},
    {3, 1, nullptr, "VBUS required"},
    {0, 3, kT95, "USB Highest Speed"},
    kListEnd,
};
constexpr FieldDescriptor kVCONNPoweredDeviceVDOList[] = {  // VCONN-powered device VDO
    {28, 4, nullptr, "HW Version"},
    {24, 4, nullptr, "Firmware Version"},
    {21, 3, kT109, "VDO Version"},
    {17, 4, nullptr, "Reserved"},
    {15, 2, kT99, "Maximum VBUS Voltage"},
    {14, 1, kT82, "Charge Through Current Support"},
    {13, 1, nullptr, "Reserved"},
    {7, 6, nullptr, "VBUS Impedance"},
    {1, 6, nullptr, "Ground Impedance"},
    {0, 1, kT83, "Charge Through Support"},
    kListEnd,
};
constexpr FieldDescriptor kPassiveCableVDOV10List[] = {  // Passive cable VDO, version 1.0
    {28, 4, nullptr, "HW Version"},
    {24, 4, nullptr, "Firmware Version"},
    {20, 4, nullptr, "Reserved"},
    {18, 2, kT106, "USB Type-C plug to USB Type-A/B/C/Captive"},
    {17, 1, nullptr, "Reserved"},
    {13, 4, kT104, "Cable Latency"},
    {11, 2, kT102, "Cable Termination Type"},
    {10, 1, kT105, "SSTX1 Directionality Support"},
    {9, 1, kT105, "SSTX2 Directionality Support"},
    {8, 1, kT105, "SSRX1 Directionality Support"},
    {7, 1, kT105, "SSRX2 Directionality Support"},
    {5, 2, kT98, "VBUS Current Handling Capability"},
    {4, 1, nullptr, "VBUS through cable"},
    {3, 1, nullptr, "Reserved"},
    {0, 3, kT97, "USB SuperSpeed Signaling Support"},
    kListEnd,
};
constexpr FieldDescriptor kPassiveCableVDOV2List[] = {  // Passive cable VDO, version 2
    {28, 4, nullptr, "HW Version"},
    {24, 4, nullptr, "Firmware Version"},
    {21, 3, kT109, "VDO Version"},
    {20, 1, nullptr, "Reserved"},
    {18, 2, kT108, "USB Type-C plug to USB Type-C/Captive"},
    {17, 1, kT107, "EPR Mode Capable"},
    {13, 4, kT104, "Cable Latency"},
    {11, 2, kT102, "Cable Termination Type"},
    {9, 2, kT99, "Maximum VBUS Voltage"},
    {7, 2, nullptr, "Reserved"},
    {5, 2, kT98, "VBUS Current Handling Capability"},
    {3, 2, nullptr, "Reserved"},
    {0, 3, kT96, "USB Highest Speed"},
    kListEnd,
};
constexpr FieldDescriptor kActiveCableVDOV10List[] = {  // Active cable VDO, version 1.0
    {28, 4, nullptr, "HW Version"},
    {24, 4, nullptr, "Firmware Version"},
    {20, 4, nullptr, "Reserved"},
    {18, 2, kT106, "USB Type-C plug to USB Type-A/B/C/Captive"},
    {17, 1, nullptr, "Reserved"},
    {13, 4, kT103, "Cable Latency"},
    {11, 2, kT101, "Cable Termination Type"},
    {10, 1, kT105, "SSTX1 Directionality Support"},
    {9, 1, kT105, "SSTX2 Directionality Support"},
    {8, 1, kT105, "SSRX1 Directionality Support"},
    {7, 1, kT105, "SSRX2 Directionality Support"},
    {5, 2, kT98, "VBUS Current Handling Capability"},
    {4, 1, nullptr, "VBUS Through Cable"},
    {3, 1, nullptr, "SOP\xE2\x80\x9D Controller Present"},
    {0, 3, kT97, "USB SuperSpeed Signaling Support"},
    kListEnd,
};
constexpr FieldDescriptor kActiveCableVDO1V2List[] = {  // Active cable VDO 1, version 2
    {28, 4, nullptr, "HW Version"},
    {24, 4, nullptr, "Firmware Version"},
    {21, 3, kT109, "VDO Version"},
    {20, 1, nullptr, "Reserved"},
    {18, 2, kT108, "Connector Type"},
    {17, 1, kT107, "EPR Mode Capable"},
    {13, 4, kT103, "Cable Latency"},
    {11, 2, kT101, "Cable Termination Type"},
    {9, 2, kT99, "Maximum VBUS Voltage"},
    {8, 1, nullptr, "SBU Supported"},
    {7, 1, kT100, "SBU Type"},
    {5, 2, kT98, "VBUS Current Handling Capability"},
    {4, 1, nullptr, "VBUS Through Cable"},
    {3, 1, nullptr, "SOP\" Controller Present"},
    {0, 3, kT96, "USB Highest Speed (or Reserved)"},
    kListEnd,
};
constexpr FieldDescriptor kActiveCableVDO2V2List[] = {  // Active cable VDO 2, version 2
    {24, 8, nullptr, "Maximum Operating Temperature"},
    {16, 8, nullptr, "Shutdown Temperature"},
    {15, 1, nullptr, "Reserved"},
    {12, 3, kT94, "U3/CLd Power"},
    {11, 1, kT93, "U3 to U0 transition mode"},
    {10, 1, kT87, "Physical connection (or Reserved)"},
    {9, 1, kT86, "Active element (or Reserved)"},
    {8, 1, kT90, "USB4 Supported (or Reserved)"},
    {6, 2, nullptr, "USB 2.0 Hub Hops Consumed"},
    {5, 1, kT92, "USB 2.0 Supported"},
    {4, 1, kT91, "USB 3.2 Supported"},
    {3, 1, kT89, "USB Lanes Supported"},
    {2, 1, kT85, "Optically Isolated Active Cable (or Reserved)"},
    {1, 1, nullptr, "USB4 Asymmetric Mode Supported"},
    {0, 1, kT88, "USB Gen"},
    kListEnd,
};
constexpr FieldDescriptor kDiscoverSVIDsObjectsList[] = {  // Discover SVIDs objects
    {176, 16, kT122, "SVID10"},
    {160, 16, kT122, "SVID11"},
    {144, 16, kT122, "SVID8"},
    {128, 16, kT122, "SVID9"},
    {112, 16, kT122, "SVID6"},
    {96, 16, kT122, "SVID7"},
    {80, 16, kT122, "SVID4"},
    {64, 16, kT122, "SVID5"},
    {48, 16, kT122, "SVID2"},
    {32, 16, kT122, "SVID3"},
    {16, 16, kT122, "SVID0"},
    {0, 16, kT122, "SVID1"},
    kListEnd,
};
constexpr FieldDescriptor kDisplayPortCapabilitiesVDOList[] = {  // DisplayPort capabilities VDO
    {24, 16, nullptr, "Reserved"},
    {16, 8, kT66, "UFP_D Pin Assignments Supported"},
    {8, 8, kT67, "DFP_D Pin Assignments Supported"},
    {7, 1, kT62, "USB r2.0 Signaling Not Used"},
    {6, 1, kT63, "Receptacle Indication"},
    {2, 4, kT64, "Signaling for Transport of DisplayPort Protocol"},
    {0, 2, kT65, "Port Capability"},
    kListEnd,
};
constexpr FieldDescriptor kTBT3ModeVDOSOPList[] = {  // TBT3 mode VDO (SOP)
    {30, 2, nullptr, "Reserved for legacy use"},
    {27, 3, nullptr, "Reserved"},
    {26, 1, nullptr, "Intel defined"},
    {17, 9, nullptr, "Reserved"},
    {16, 1, kT74, "TBT Adapter"},
    {0, 16, kT75, "TBT Alternate Mode"},
    kListEnd,
};
constexpr FieldDescriptor kTBT3ModeVDOCableList[] = {  // TBT3 mode VDO (cable)
    {26, 6, nullptr, "Reserved"},
    {25, 1, kT73, "Active_Passive"},
    {24, 1, nullptr, "Reserved"},
    {23, 1, kT72, "Active Cable Plug Link Training"},
    {22, 1, kT71, "Re-timer"},
    {21, 1, kT70, "Cable Type"},
    {19, 2, kT69, "TBT_Rounded_Support"},
    {16, 3, kT68, "Cable Speed"},
    {0, 16, kT75, "TBT Alternate Mode"},
    kListEnd,
};
constexpr FieldDescriptor kDiscoverModesObjectsList[] = {  // Discover Modes objects
    {160, 32, nullptr, "Mode6"},
    {128, 32, nullptr, "Mode5"},
    {96, 32, nullptr, "Mode4"},
    {64, 32, nullptr, "Mode3"},
    {32, 32, nullptr, "Mode2"},
    {0, 32, nullptr, "Mode1"},
    kListEnd,
};
constexpr FieldDescriptor kTBT3EnterModeObjectList[] = {  // TBT3 Enter Mode object
    {30, 2, nullptr, "Reserved for legacy use"},
    {27, 3, nullptr, "Reserved"},
    {26, 1, nullptr, "Intel Defined"},
    {25, 1, kT73, "Active_Passive"},
    {24, 1, kT74, "TBT Adapter"},
    {23, 1, kT72, "Active Cable Plug Link Training"},
    {22, 1, kT71, "Re-timer"},
    {21, 1, kT70, "Cable Type"},
    {19, 2, kT69, "TBT_Rounded_Support"},
    {16, 3, kT68, "Cable Speed"},
    {0, 16, kT75, "TBT Alternate Mode"},
    kListEnd,
};
constexpr FieldDescriptor kEnterModeObjectsList[] = {  // Enter Mode objects
    {160, 32, nullptr, "Mode Specific"},
    {128, 32, nullptr, "Mode Specific"},
    {96, 32, nullptr, "Mode Specific"},
    {64, 32, nullptr, "Mode Specific"},
    {32, 32, nullptr, "Mode Specific"},
    {0, 32, nullptr, "Mode Specific"},
    kListEnd,
};
constexpr FieldDescriptor kDisplayPortStatusVDOList[] = {  // DisplayPort status VDO
    {9, 16, nullptr, "Reserved"},
    {8, 1, kT54, "IRQ_HPD"},
    {7, 1, kT55, "HPD State"},
    {6, 1, kT56, "Exit DisplayPort Mode Request"},
    {5, 1, kT57, "USB Configuration Request"},
    {4, 1, kT58, "Multi-function Preferred"},
    {3, 1, kT59, "Enabled"},
    {2, 1, kT60, "Power Low"},
    {0, 2, kT61, "DFP_D/UFP_D Connected"},
    kListEnd,
};
constexpr FieldDescriptor kAttentionObjectsList[] = {  // Attention objects
    {160, 32, nullptr, "Mode Specific"},
    {128, 32, nullptr, "Mode Specific"},
    {96, 32, nullptr, "Mode Specific"},
    {64, 32, nullptr, "Mode Specific"},
    {32, 32, nullptr, "Mode Specific"},
    {0, 32, nullptr, "Mode Specific"},
    kListEnd,
};
constexpr FieldDescriptor kDisplayPortConfigurationVDOList[] = {  // DisplayPort configuration VDO
    {16, 16, nullptr, "Reserved"},
    {8, 8, kT67, "Configure UFP_U Pin Assignment"},
    {6, 2, nullptr, "Reserved"},
    {2, 4, kT53, "Signaling for Transport of DisplayPort Protocol"},
    {0, 2, kT52, "Select Configuration"},
    kListEnd,
};
constexpr FieldDescriptor kSourceCapabilitiesExtendedDataBlockList[] = {  // Source capabilities extended data block
    {192, 8, kT127, "EPR Source PDP Rating"},
    {191, 1, nullptr, "Source PDP (Reserved)"},
    {184, 7, kT127, "SPR Source PDP Rating"},
    {180, 4, nullptr, "Number of Batteries/Battery Slots (Number of Hot Swappable Battery Slots)"},
    {176, 4, nullptr, "Number of Batteries/Battery Slots (Number of Fixed Batteries))"},
    {171, 5, nullptr, "Source Inputs (Reserved)"},
    {170, 1, kT39, "Source Inputs (Internal Battery)"},
    {169, 1, kT40, "Source Inputs (External supply is unconstrained)"},
    {168, 1, kT41, "Source Inputs (External supply)"},
    {160, 8, kT42, "Touch Temp"},
    {159, 1, nullptr, "Peak Current3 (VBUS Voltage droop)"},
    {155, 4, kT44, "Peak Current3 (Duty cycle in 5% increments)"},
    {149, 6, kT45, "Peak Current3 (Overload period in 20ms)"},
    {144, 5, kT43, "Peak Current3 (Percent overload in 10% increments Values higher than 25 (11001b) )are clipped to 250%)"},
    {143, 1, nullptr, "Peak Current2 (VBUS Voltage droop)"},
    {139, 4, kT44, "Peak Current2 (Duty cycle in 5% increments)"},
    {133, 6, kT45, "Peak Current2 (Overload period in 20ms)"},
    {128, 5, kT43, "Peak Current2 (Percent overload in 10% increments Values higher than 25 (11001b) )are clipped to 250%)"},
    {127, 1, nullptr, "Peak Current1 (VBUS Voltage droop)"},
    {123, 4, kT44, "Peak Current1 (Duty cycle in 5% increments)"},
    {117, 6, kT45, "Peak Current1 (Overload period in 20ms)"},
    {112, 5, kT43, "Peak Current1 (Percent overload in 10% increments Values higher than 25 (11001b) )are clipped to 250%)"},
    {107, 5, nullptr, "Touch Current (Reserved)"},
    {106, 1, nullptr, "Touch Current (Ground pin intended for protective earth when set)"},
    {105, 1, nullptr, "Touch Current (Ground pin supported when set)"},
    {104, 1, nullptr, "Touch Current (Low touch Current EPS when set)"},
    {99, 5, nullptr, "Compliance (Reserved)"},
    {98, 1, nullptr, "Compliance (PS2 compliant when set)"},
    {97, 1, nullptr, "Compliance (PS1 compliant when set)"},
    {96, 1, nullptr, "Compliance (LPS compliant when set)"},
    {88, 8, kT48, "Holdup Time"},
    {83, 5, nullptr, "Voltage Regulation (Reserved)"},
    {82, 1, kT47, "Voltage Regulation (IoC)"},
    {80, 2, kT46, "Voltage Regulation (Load Step)"},
    {72, 8, nullptr, "HW Version"},
    {64, 8, nullptr, "FW Version"},
    {32, 32, nullptr, "XID"},
    {16, 16, nullptr, "PID"},
    {0, 16, nullptr, "VID"},
    kListEnd,
};
constexpr FieldDescriptor kStatusDataBlockSOPList[] = {  // Status data block (SOP)
    {54, 2, nullptr, "Power Status Change (Reserved)"},
    {51, 3, kT33, "Power Status Change (New power state indicator)"},
    {48, 3, kT34, "Power Status Change (New Power State)"},
    {46, 2, nullptr, "Power Status (Reserved)"},
    {45, 1, nullptr, "Power Status (Source power limited due to temperature)"},
    {44, 1, nullptr, "Power Status (Source power limited due to Event Flags in place (Event Flags must also be set))"},
    {43, 1, nullptr, "Power Status (Source power limited due to insufficient external power)"},
    {42, 1, nullptr, "Power Status (Source power limited due to insufficient power available while sourcing other ports)"},
    {41, 1, nullptr, "Power Status (Source power limited due to cable supported current)"},
    {40, 1, nullptr, "Power Status (Reserved)"},
    {35, 5, nullptr, "Temperature Status (Reserved)"},
    {33, 2, kT35, "Temperature Status (Temp Status)"},
    {32, 1, nullptr, "Temperature Status (Reserved)"},
    {29, 3, nullptr, "Event Flags (Reserved)"},
    {28, 1, nullptr, "Event Flags (CF mode when set, CV mode when cleared)"},
    {27, 1, nullptr, "Event Flags (OVP event when set)"},
    {26, 1, nullptr, "Event Flags (OTP event when set)"},
    {25, 1, nullptr, "Event Flags (OCP event when set)"},
    {24, 1, nullptr, "Event Flags (Reserved)"},
    {20, 4, nullptr, "Present Battery Input (Hot Swappable Battery)"},
    {16, 4, nullptr, "Present Battery Input (Fixed Battery)"},
    {13, 3, nullptr, "Present Input (Reserved)"},
    {12, 1, nullptr, "Present Input (Internal Power from non-Battery power source when set)"},
    {11, 1, nullptr, "Present Input (Internal Power from Battery when set)"},
    {10, 1, kT36, "Present Input (External Power AC/DC (Valid when Bit1 set))"},
    {9, 1, nullptr, "Present Input (External Power when set)"},
    {8, 1, nullptr, "Present Input (Reserved)"},
    {0, 8, kT37, "Internal Temp"},
    kListEnd,
};
constexpr FieldDescriptor kStatusDataBlockCableList[] = {  // Status data block (cable)
    {9, 7, nullptr, "Flags (Reserved)"},
    {8, 1, nullptr, "Flags (Thermal Shutdown"},
    {0, 8, kT37, "Internal Temp"},
    kListEnd,
};
constexpr FieldDescriptor kGetBatteryCapDataBlockList[] = {  // Get_Battery_Cap data block
    {0, 8, nullptr, "Battery Cap Ref"},
    kListEnd,
};
constexpr FieldDescriptor kGetBatteryStatusDataBlockList[] = {  // Get_Battery_Status data block
    {0, 8, nullptr, "Battery Status Ref"},
    kListEnd,
};
constexpr FieldDescriptor kBatteryCapabilitiesDataBlockList[] = {  // Battery capabilities data block
    {65, 7, nullptr, "Battery Type (Reserved)"},
    {64, 1, nullptr, "Battery Type (Invalid Battery reference)"},
    {48, 16, kT32, "Battery Last Full Charge Capacity"},
    {32, 16, kT32, "Battery Design Capacity"},
    {16, 16, nullptr, "PID"},
    {0, 16, nullptr, "VID"},
    kListEnd,
};
constexpr FieldDescriptor kGetManufacturerInfoDataBlockList[] = {  // Get_Manufacturer_Info data block
    {8, 8, nullptr, "Manufacturer Info Ref"},
    {0, 8, kT31, "Manufacturer Info Target"},
    kListEnd,
};
constexpr FieldDescriptor kManufacturerInfoDataBlockList[] = {  // Manufacturer_Info data block
    {32, 184, nullptr, "Manufacturer String"},
    {16, 16, nullptr, "PID"},
    {0, 16, nullptr, "VID"},
    kListEnd,
};
constexpr FieldDescriptor kSecurityRequestHeaderList[] = {  // Security request header
    {8, 8, kT26, "MessageType"},
    {0, 8, kT27, "ProtocolVersion"},
    kListEnd,
};
constexpr FieldDescriptor kSecurityRequestPayload0x81List[] = {  // Security request payload 0x81
    {8, 8, nullptr, "Param2"},
    {0, 8, nullptr, "Param1"},
    kListEnd,
};
constexpr FieldDescriptor kSecurityRequestPayload0x82List[] = {  // Security request payload 0x82
    {32, 16, nullptr, "Length"},
    {16, 16, nullptr, "Offset"},
    {8, 8, nullptr, "Param2"},
    {0, 8, kT24, "Param1"},
    kListEnd,
};
constexpr FieldDescriptor kSecurityRequestPayload0x83List[] = {  // Security request payload 0x83
    {16, 256, nullptr, "Nonce"},
    {8, 8, nullptr, "Param2"},
    {0, 8, kT23, "Param1"},
    kListEnd,
};
constexpr FieldDescriptor kSecurityResponseHeaderList[] = {  // Security response header
    {8, 8, kT25, "MessageType"},
    {0, 8, kT27, "ProtocolVersion"},
    kListEnd,
};
constexpr FieldDescriptor kSecurityResponsePayload0x01List[] = {  // Security response payload 0x01
    {1808, 256, nullptr, "Digest[7]"},
    {1552, 256, nullptr, "Digest[6]"},
    {1296, 256, nullptr, "Digest[5]"},
    {1040, 256, nullptr, "Digest[4]"},
    {784, 256, nullptr, "Digest[3]"},
    {528, 256, nullptr, "Digest[2]"},
    {272, 256, nullptr, "Digest[1]"},
    {16, 256, nullptr, "Digest[0]"},
    {8, 8, nullptr, "Param2"},
    {0, 8, nullptr, "Param1"},
    kListEnd,
};
constexpr FieldDescriptor kSecurityResponsePayload0x02List[] = {  // Security response payload 0x02
    {16, 2048, nullptr, "CertChain"},
    {8, 8, nullptr, "Param2"},
    {0, 8, nullptr, "Param1"},
    kListEnd,
};
constexpr FieldDescriptor kSecurityResponsePayload0x03List[] = {  // Security response payload 0x03
    {816, 512, nullptr, "Signature"},
    {560, 256, nullptr, "Context Hash"},
    {304, 256, nullptr, "Salt"},
    {48, 256, nullptr, "CertChainHash"},
    {40, 8, nullptr, "Reserved"},
    {32, 8, nullptr, "Capabilities"},
    {24, 8, nullptr, "MaxProtocolVersion"},
    {16, 8, nullptr, "MinProtocolVersion"},
    {8, 8, nullptr, "Param2"},
    {0, 8, nullptr, "Param1"},
    kListEnd,
};
constexpr FieldDescriptor kSecurityResponsePayload0x7FList[] = {  // Security response payload 0x7F
    {8, 8, nullptr, "Param2"},
    {0, 8, kT22, "Param1"},
    kListEnd,
};
constexpr FieldDescriptor kFirmwareUpdateRequestHeaderList[] = {  // Firmware update request header
    {8, 8, kT29, "MessageType"},
    {0, 8, kT30, "ProtocolVersion"},
    kListEnd,
};
constexpr FieldDescriptor kFirmwareUpdateRequestPayload0x82List[] = {  // Firmware update request payload 0x82
    {48, 16, nullptr, "FWVersion4"},
    {32, 16, nullptr, "FWVersion3"},
    {16, 16, nullptr, "FWVersion2"},
    {0, 16, nullptr, "FWVersion1"},
    kListEnd,
};
constexpr FieldDescriptor kFirmwareUpdateRequestPayload0x83List[] = {  // Firmware update request payload 0x83
    {16, 2048, nullptr, "DataBlock"},
    {0, 16, nullptr, "DataBlockIndex"},
    kListEnd,
};
constexpr FieldDescriptor kFirmwareUpdateRequestPayload0x84List[] = {  // Firmware update request payload 0x84
    {16, 2048, nullptr, "DataBlock"},
    {0, 16, nullptr, "DataBlockIndex"},
    kListEnd,
};
constexpr FieldDescriptor kFirmwareUpdateRequestPayload0xFFList[] = {  // Firmware update request payload 0xFF
    {16, 2048, nullptr, "Vendor Defined"},
    {0, 16, nullptr, "VID"},
    kListEnd,
};
constexpr FieldDescriptor kFirmwareUpdateResponseHeaderList[] = {  // Firmware update response header
    {8, 8, kT28, "MessageType"},
    {0, 8, kT30, "ProtocolVersion"},
    kListEnd,
};
constexpr FieldDescriptor kFirmwareUpdateResponsePayload0x01List[] = {  // Firmware update response payload 0x01
    {152, 8, nullptr, "Flags4"},
    {144, 8, nullptr, "Flags3"},
    {136, 8, nullptr, "Flags2"},
    {128, 8, nullptr, "Flags1"},
    {120, 8, nullptr, "ImageBank"},
    {104, 16, nullptr, "FWVersion4"},
    {88, 16, nullptr, "FWVersion3"},
    {72, 16, nullptr, "FWVersion2"},
    {56, 16, nullptr, "FWVersion1"},
    {48, 8, nullptr, "SiVersion"},
    {40, 8, nullptr, "HWVersion"},
    {24, 16, nullptr, "PID"},
    {8, 16, nullptr, "VID"},
    {0, 8, nullptr, "Status"},
    kListEnd,
};
constexpr FieldDescriptor kFirmwareUpdateResponsePayload0x02List[] = {  // Firmware update response payload 0x02
    {16, 24, nullptr, "MaxImageSize"},
    {8, 8, nullptr, "WaitTime"},
    {0, 8, nullptr, "Status"},
    kListEnd,
};
constexpr FieldDescriptor kFirmwareUpdateResponsePayload0x03List[] = {  // Firmware update response payload 0x03
    {24, 16, nullptr, "DataBlockNum"},
    {16, 8, nullptr, "NumDataNR"},
    {8, 8, nullptr, "WaitTime"},
    {0, 8, nullptr, "Status"},
    kListEnd,
};
constexpr FieldDescriptor kFirmwareUpdateResponsePayload0x05List[] = {  // Firmware update response payload 0x05
    {16, 8, nullptr, "Flags"},
    {8, 8, nullptr, "WaitTime"},
    {0, 8, nullptr, "Status"},
    kListEnd,
};
constexpr FieldDescriptor kFirmwareUpdateResponsePayload0x07List[] = {  // Firmware update response payload 0x07
    {0, 8, nullptr, "Status"},
    kListEnd,
};
constexpr FieldDescriptor kFirmwareUpdateResponsePayload0x7FList[] = {  // Firmware update response payload 0x7F
    {24, 2040, nullptr, "Vendor defined"},
    {8, 16, nullptr, "VID"},
    {0, 8, nullptr, "Status"},
    kListEnd,
};
constexpr FieldDescriptor kPPSStatusDataBlockList[] = {  // PPS status data block
    {24, 8, nullptr, "Real Time Flags"},
    {16, 8, kT20, "Output Current"},
    {0, 16, kT21, "Output Voltage"},
    kListEnd,
};
constexpr FieldDescriptor kCountryInfoDataBlockList[] = {  // Country_Info data block
    {32, 2048, nullptr, "Country Specific Data"},
    {16, 16, nullptr, "Reserved"},
    {8, 8, nullptr, "Country Code (Second character of the Alpha-2 Country code received in the corresponding Get_Country_Info Message.)"},
    {0, 8, nullptr, "Country Code (First character of the Alpha-2 Country code received in the corresponding Get_Country_Info Message.)"},
    kListEnd,
};
constexpr FieldDescriptor kCountryCodesDataBlockList[] = {  // Country_Codes data block
    {184, 8, nullptr, "11th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {176, 8, nullptr, "11th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {168, 8, nullptr, "10th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {160, 8, nullptr, "10th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {152, 8, nullptr, "9th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {144, 8, nullptr, "9th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {136, 8, nullptr, "8th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {128, 8, nullptr, "8th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {120, 8, nullptr, "7th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {112, 8, nullptr, "7th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {104, 8, nullptr, "6th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {96, 8, nullptr, "6th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {88, 8, nullptr, "5th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {80, 8, nullptr, "5th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {72, 8, nullptr, "4th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {64, 8, nullptr, "4th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {56, 8, nullptr, "3rd Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {48, 8, nullptr, "3rd Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {40, 8, nullptr, "2nd Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {32, 8, nullptr, "2nd Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {24, 8, nullptr, "1st Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {16, 8, nullptr, "1st Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {8, 8, nullptr, "Reserved"},
    {0, 8, nullptr, "Length"},
    kListEnd,
};
constexpr FieldDescriptor kSinkCapabilitiesExtendedDataBlockList[] = {  // Sink capabilities extended data block
    {184, 8, kT127, "EPR Sink Maximum PDP (The maximum PDP that the EPR Sink will ever request.)"},
    {176, 8, kT127, "EPR Sink Operational PDP (The PDP of the Source that the EPR Sink requires to operate at its normal functionality.)"},
    {168, 8, kT127, "EPR Sink Minimum PDP (The PDP of the Source that the EPR Sink requires to operate at its lowest functionality without consuming power from its Battery if it has one.)"},
    {167, 1, nullptr, "Sink Maximum PDP (Reserved)"},
    {160, 7, kT127, "Sink Maximum PDP (The maximum PDP the Sink will ever request.)"},
    // Bit 159 is the reserved top bit of the Sink Operational PDP byte.
    {159, 1, nullptr, "Sink Operational PDP (Reserved)"},
    {152, 7, kT127, "Sink Operational PDP (The PDP of the Source that the Sink requires to operate at its normal functionality.)"},
    {151, 1, nullptr, "Sink Minimum PDP (Reserved)"},
    {144, 7, kT127, "Sink Minimum PDP (The PDP of the Source that the Sink requires to operate at its lowest functionality without consuming power from its Battery if it has one.)"},
    {142, 2, nullptr, "Sink Modes (Reserved)"},
    {141, 1, nullptr, "Sink Modes (AVS Supported)"},
    {140, 1, nullptr, "Sink Modes (Battery essentially unlimited)"},
    {139, 1, nullptr, "Sink Modes (Battery powered)"},
    {138, 1, nullptr, "Sink Modes (Mains powered)"},
    {137, 1, nullptr, "Sink Modes (VBUS powered)"},
    {136, 1, nullptr, "Sink Modes (PPS charging supported)"},
    {132, 4, nullptr, "Battery Info (Number of Hot Swappable Battery Slots)"},
    {128, 4, nullptr, "Battery Info (Number of Fixed Batteries)"},
    {120, 8, kT42, "Touch Temp"},
    {115, 5, nullptr, "Compliance (Reserved)"},
    {114, 1, nullptr, "Compliance (PS2 Source when set)"},
    {113, 1, nullptr, "Compliance (PS1 Source when set)"},
    {112, 1, nullptr, "Compliance (LPS Source when set)"},
    {111, 1, nullptr, "Sink Load Characteristics (Can tolerate VBUS Voltage droop)"},
    {107, 4, kT44, "Sink Load Characteristics (Duty cycle in 5% increments when bits 0-4 are non-zero)"},
    {101, 6, kT45, "Sink Load Characteristics (Overload period in 20ms when bits 0-4 non-zero)"},
    {96, 5, kT43, "Sink Load Characteristics (Percent overload in 10% increments Values higher than 25 (11001b) are clipped to 250%. 00000b is the default)"},
    {90, 6, nullptr, "Load Step (Reserved)"},
    {88, 2, kT46, "Load Step (Load Step)"},
    {80, 8, kT38, "SKEDB Version"},
    {72, 8, nullptr, "HW Version"},
    {64, 8, nullptr, "FW Version"},
    {32, 32, nullptr, "XID"},
    {16, 16, nullptr, "PID"},
    {0, 16, nullptr, "VID"},
    kListEnd,
};
constexpr FieldDescriptor kExtendedControlDataBlockList[] = {  // Extended control data block
    {8, 8, nullptr, "Data"},
    {0, 8, kT7, "Type"},
    kListEnd,
};

constexpr NamedFieldList kFieldLists[] = {
    {"SOP header, revision 2", kSOPHeaderRev2List},
    {"SOP header, revision 3", kSOPHeaderRev3List},
    {"SOP extended message, revision 3", kSOPExtendedMessageRev3List},
    {"Cable header, revision 2", kCableHeaderRev2List},
    {"Cable header, revision 3", kCableHeaderRev3List},
    {"Cable extended message, revision 3", kCableExtendedMessageRev3List},
    {"Extended message header", kExtendedMessageHeaderList},
    {"Source fixed supply PDO, revision 2", kSourceFixedSupplyPDORev2List},
    {"Source fixed supply PDO, revision 3", kSourceFixedSupplyPDORev3List},
    {"Source battery PDO", kSourceBatteryPDOList},
    {"Source variable supply PDO", kSourceVariableSupplyPDOList},
    {"Source SPR PPS APDO", kSourceSPRPPSAPDOList},
    {"Source EPR AVS APDO", kSourceEPRAVSAPDOList},
    {"Source SPR AVS APDO", kSourceSPRAVSAPDOList},
    {"Source APDO of unknown sub-type", kSourceAPDOOfUnknownSubTypeList},
    {"Sink fixed supply PDO, revision 2", kSinkFixedSupplyPDORev2List},
    {"Sink fixed supply PDO, revision 3", kSinkFixedSupplyPDORev3List},
    {"Sink battery PDO", kSinkBatteryPDOList},
    {"Sink variable supply PDO", kSinkVariableSupplyPDOList},
    {"Sink SPR PPS APDO", kSinkSPRPPSAPDOList},
    {"Sink EPR AVS APDO", kSinkEPRAVSAPDOList},
    {"Sink SPR AVS APDO", kSinkSPRAVSAPDOList},
    {"Sink APDO of unknown sub-type", kSinkAPDOOfUnknownSubTypeList},
    {"Fixed or variable request, revision 2", kFixedOrVariableRequestRev2List},
    {"Fixed or variable request, revision 3", kFixedOrVariableRequestRev3List},
    {"Fixed or variable request with give back, revision 2", kFixedOrVariableRequestWithGiveBackRev2List},
    {"Fixed or variable request with give back, revision 3", kFixedOrVariableRequestWithGiveBackRev3List},
    {"Battery request, revision 2", kBatteryRequestRev2List},
    {"Battery request, revision 3", kBatteryRequestRev3List},
    {"Battery request with give back, revision 2", kBatteryRequestWithGiveBackRev2List},
    {"Battery request with give back, revision 3", kBatteryRequestWithGiveBackRev3List},
    {"PPS request", kPPSRequestList},
    {"AVS request", kAVSRequestList},
    {"Request for an APDO of unknown sub-type", kRequestForAnAPDOOfUnknownSubTypeList},
    {"EPR request without PDO copy", kEPRRequestWithoutPDOCopyList},
    {"BIST data object", kBISTDataObjectList},
    {"Battery status data object", kBatteryStatusDataObjectList},
    {"Alert data object", kAlertDataObjectList},
    {"Get_Country_Info data object", kGetCountryInfoDataObjectList},
    {"Enter_USB data object", kEnterUSBDataObjectList},
    {"EPR mode data object", kEPRModeDataObjectList},
    {"Source information data objects", kSourceInformationDataObjectsList},
    {"Revision data object", kRevisionDataObjectList},
    {"Unstructured VDM header", kUnstructuredVDMHeaderList},
    {"Structured VDM header, version 1.0", kStructuredVDMHeaderV10List},
    {"Structured VDM header, version 2, mode commands", kStructuredVDMHeaderV2ModeCommandsList},
    {"Structured VDM header, version 2", kStructuredVDMHeaderV2List},
    {"ID header (SOP), version 1.0", kIDHeaderSOPV10List},
    {"ID header (SOP), version 2", kIDHeaderSOPV2List},
    {"ID header (cable), version 1.0", kIDHeaderCableV10List},
    {"ID header (cable), version 2", kIDHeaderCableV2List},
    {"Cert stat VDO", kCertStatVDOList},
    {"Product VDO", kProductVDOList},
    {"UFP VDO, form A", kUFPVDOFormAList},
    {"UFP VDO, form B", kUFPVDOFormBList},
    {"UFP VDO, form C", kUFPVDOFormCList},
    {"UFP power VDO", kUFPPowerVDOList},
    {"DFP VDO, form A", kDFPVDOFormAList},
    {"DFP VDO, form B", kDFPVDOFormBList},
    {"DFP VDO, form C", kDFPVDOFormCList},
    {"Alternate mode adapter VDO, version 1.0", kAlternateModeAdapterVDOV10List},
    {"Alternate mode adapter VDO, version 2", kAlternateModeAdapterVDOV2List},
    {"VCONN-powered device VDO", kVCONNPoweredDeviceVDOList},
    {"Passive cable VDO, version 1.0", kPassiveCableVDOV10List},
    {"Passive cable VDO, version 2", kPassiveCableVDOV2List},
    {"Active cable VDO, version 1.0", kActiveCableVDOV10List},
    {"Active cable VDO 1, version 2", kActiveCableVDO1V2List},
    {"Active cable VDO 2, version 2", kActiveCableVDO2V2List},
    {"Discover SVIDs objects", kDiscoverSVIDsObjectsList},
    {"DisplayPort capabilities VDO", kDisplayPortCapabilitiesVDOList},
    {"TBT3 mode VDO (SOP)", kTBT3ModeVDOSOPList},
    {"TBT3 mode VDO (cable)", kTBT3ModeVDOCableList},
    {"Discover Modes objects", kDiscoverModesObjectsList},
    {"TBT3 Enter Mode object", kTBT3EnterModeObjectList},
    {"Enter Mode objects", kEnterModeObjectsList},
    {"DisplayPort status VDO", kDisplayPortStatusVDOList},
    {"Attention objects", kAttentionObjectsList},
    {"DisplayPort configuration VDO", kDisplayPortConfigurationVDOList},
    {"Source capabilities extended data block", kSourceCapabilitiesExtendedDataBlockList},
    {"Status data block (SOP)", kStatusDataBlockSOPList},
    {"Status data block (cable)", kStatusDataBlockCableList},
    {"Get_Battery_Cap data block", kGetBatteryCapDataBlockList},
    {"Get_Battery_Status data block", kGetBatteryStatusDataBlockList},
    {"Battery capabilities data block", kBatteryCapabilitiesDataBlockList},
    {"Get_Manufacturer_Info data block", kGetManufacturerInfoDataBlockList},
    {"Manufacturer_Info data block", kManufacturerInfoDataBlockList},
    {"Security request header", kSecurityRequestHeaderList},
    {"Security request payload 0x81", kSecurityRequestPayload0x81List},
    {"Security request payload 0x82", kSecurityRequestPayload0x82List},
    {"Security request payload 0x83", kSecurityRequestPayload0x83List},
    {"Security response header", kSecurityResponseHeaderList},
    {"Security response payload 0x01", kSecurityResponsePayload0x01List},
    {"Security response payload 0x02", kSecurityResponsePayload0x02List},
    {"Security response payload 0x03", kSecurityResponsePayload0x03List},
    {"Security response payload 0x7F", kSecurityResponsePayload0x7FList},
    {"Firmware update request header", kFirmwareUpdateRequestHeaderList},
    {"Firmware update request payload 0x82", kFirmwareUpdateRequestPayload0x82List},
    {"Firmware update request payload 0x83", kFirmwareUpdateRequestPayload0x83List},
    {"Firmware update request payload 0x84", kFirmwareUpdateRequestPayload0x84List},
    {"Firmware update request payload 0xFF", kFirmwareUpdateRequestPayload0xFFList},
    {"Firmware update response header", kFirmwareUpdateResponseHeaderList},
    {"Firmware update response payload 0x01", kFirmwareUpdateResponsePayload0x01List},
    {"Firmware update response payload 0x02", kFirmwareUpdateResponsePayload0x02List},
    {"Firmware update response payload 0x03", kFirmwareUpdateResponsePayload0x03List},
    {"Firmware update response payload 0x05", kFirmwareUpdateResponsePayload0x05List},
    {"Firmware update response payload 0x07", kFirmwareUpdateResponsePayload0x07List},
    {"Firmware update response payload 0x7F", kFirmwareUpdateResponsePayload0x7FList},
    {"PPS status data block", kPPSStatusDataBlockList},
    {"Country_Info data block", kCountryInfoDataBlockList},
    {"Country_Codes data block", kCountryCodesDataBlockList},
    {"Sink capabilities extended data block", kSinkCapabilitiesExtendedDataBlockList},
    {"Extended control data block", kExtendedControlDataBlockList},
};
// clang-format on

static_assert(std::size(kValueTables) == kValueTableCount);
static_assert(std::size(kFieldLists) == static_cast<std::size_t>(FieldListId::kCount));

bool IsTableEnd(const ValueEntry& e) { return e.m_Mask == 0 && e.m_Value == -1; }

}  // namespace

const FieldDescriptor* FieldList(FieldListId id) {
  const auto i = static_cast<std::size_t>(id);
  return i < std::size(kFieldLists) ? kFieldLists[i].m_Entries.data() : nullptr;
}

const ValueEntry* ValueTable(int number) { return ValueTableEntries(number).data(); }

std::span<const ValueEntry> ValueTableEntries(int number) {
  if (number < 1 || number > kValueTableCount) return {};
  return kValueTables[number - 1];
}

std::span<const NamedFieldList> FieldLists() { return kFieldLists; }

std::uint32_t FieldListBits(const FieldDescriptor* list) {
  std::uint32_t bits = 0;
  for (const FieldDescriptor* d = list; d != nullptr && d->m_Length != 0; ++d) bits += d->m_Length;
  return bits;
}

const FieldDescriptor* FindField(const FieldDescriptor* list, std::uint32_t offset) {
  for (const FieldDescriptor* d = list; d != nullptr && d->m_Length != 0; ++d) {
    if (d->m_Offset == offset) return d;
  }
  return nullptr;
}

std::string ValueText(const ValueEntry* table, std::uint32_t value) {
  std::string text;
  for (const ValueEntry* e = table; e != nullptr && !IsTableEnd(*e); ++e) {
    if ((value & e->m_Mask) != static_cast<std::uint32_t>(e->m_Value)) continue;
    if (!text.empty()) text += ", ";
    // Unsigned product: a hostile 32-bit value times a multiplier must wrap, not overflow.
    AppendFormat(text, e->m_Text, static_cast<int>(value * static_cast<std::uint32_t>(e->m_Multiplier)));
  }
  return text;
}

}  // namespace zk
