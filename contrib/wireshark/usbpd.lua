-- USB Power Delivery packets exported by `zkr export FILE.zkr --pcapng OUT.pcapng`
-- (link type USER0 = 147). Names message types and every header, PDO, RDO, VDM and
-- extended-data field with the texts of PD Zelkor's own field dictionary.
--
--   tshark -X lua_script:contrib/wireshark/usbpd.lua -r OUT.pcapng -Y 'usbpd.type == "Request"'
--
-- The packet format is described in interchange/pcapng_writer.h. Written for the Lua 5.2
-- of Wireshark 3.x and 4.x (bit32, no integer operators).

-- BEGIN GENERATED TABLES (zk_dissector_tables writes this part; do not edit)
-- value_tables[n]: {mask, value, printf text, multiplier} per entry
local value_tables = {
  [1] = {
    {0xFFFFFFFF, 1, "Discover Identity", 1},
    {0xFFFFFFFF, 2, "Discover SVIDs", 1},
    {0xFFFFFFFF, 3, "Discover Modes", 1},
    {0xFFFFFFFF, 4, "Enter Mode", 1},
    {0xFFFFFFFF, 5, "Exit Mode", 1},
    {0xFFFFFFFF, 6, "Attention", 1},
    {0xFFFFFFFF, 16, "DisplayPort Status Update", 1},
    {0xFFFFFFFF, 17, "DisplayPort Configure", 1},
  },
  [2] = {
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
  },
  [3] = {
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
  },
  [4] = {
    {0xFFFFFFFF, 1, "Source_Capabilities", 1},
    {0xFFFFFFFF, 2, "Request", 1},
    {0xFFFFFFFF, 3, "BIST", 1},
    {0xFFFFFFFF, 4, "Sink_Capabilities", 1},
    {0xFFFFFFFF, 15, "Vendor_Defined", 1},
  },
  [5] = {
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
  },
  [6] = {
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
  },
  [7] = {
    {0xFFFFFFFF, 1, "EPR_GetSource_Cap", 1},
    {0xFFFFFFFF, 2, "EPR_Get_Sink_Cap", 1},
    {0xFFFFFFFF, 3, "EPR_KeepAlive", 1},
    {0xFFFFFFFF, 4, "EPR_KeepAlive_Ack", 1},
  },
  [8] = {
    {0xFFFFFFFF, 0, "Non DPS port", 1},
    {0xFFFFFFFF, 1, "DPS Port", 1},
  },
  [9] = {
    {0xFFFFFFFF, 0, "Managed Capability Port", 1},
    {0xFFFFFFFF, 1, "Guaranteed Capability Port", 1},
  },
  [10] = {
    {0xFFFFFFFF, 1, "Enter", 1},
    {0xFFFFFFFF, 2, "Enter Acknowledged", 1},
    {0xFFFFFFFF, 3, "Enter Succeeded", 1},
    {0xFFFFFFFF, 4, "Enter Failed", 1},
    {0xFFFFFFFF, 5, "Exit", 1},
  },
  [11] = {
    {0xFFFFFFFF, 1, "TBT3 is supported by the host's USB4 Connection Manager", 1},
  },
  [12] = {
    {0xFFFFFFFF, 1, "USB4 DP tunneling supported by the host", 1},
  },
  [13] = {
    {0xFFFFFFFF, 1, "USB4 PCIe tunneling supported by the host", 1},
  },
  [14] = {
    {0xFFFFFFFF, 0, "VBUS is not supported", 1},
    {0xFFFFFFFF, 2, "3A", 1},
    {0xFFFFFFFF, 3, "5A", 1},
  },
  [15] = {
    {0xFFFFFFFF, 0, "Passive", 1},
    {0xFFFFFFFF, 1, "Active Re-timer", 1},
    {0xFFFFFFFF, 2, "Active Re-driver", 1},
    {0xFFFFFFFF, 3, "Optically Isolated", 1},
  },
  [16] = {
    {0xFFFFFFFF, 0, "USB 2.0 only, no SuperSpeed support", 1},
    {0xFFFFFFFF, 1, "USB 3.2 Gen1", 1},
    {0xFFFFFFFF, 2, "USB 3.2 Gen2 and USB4 Gen2", 1},
    {0xFFFFFFFF, 3, "USB4 Gen3", 1},
    {0xFFFFFFFF, 4, "USB4 Gen4", 1},
  },
  [17] = {
    {0xFFFFFFFF, 0, "Not capable of operating as a USB 3.2 Device", 1},
    {0xFFFFFFFF, 1, "Capable of operating as a USB 3.2 Device", 1},
  },
  [18] = {
    {0xFFFFFFFF, 0, "Not capable of operating as a USB4 Device", 1},
    {0xFFFFFFFF, 1, "Capable of operating as a USB4 Device", 1},
  },
  [19] = {
    {0xFFFFFFFF, 0, "USB 2.0", 1},
    {0xFFFFFFFF, 1, "USB 3.2", 1},
    {0xFFFFFFFF, 2, "USB4", 1},
  },
  [20] = {
    {0xFFFFFFFF, 255, "The Source does not support this filed.", 1},
    {0x00000000, 0, "Source's output current is %d [mA].", 50},
  },
  [21] = {
    {0xFFFFFFFF, 65535, "The Source does not support this filed.", 1},
    {0x00000000, 0, "Source's output voltage is %d [mV].", 20},
  },
  [22] = {
    {0xFFFFFFFF, 1, "INVALID_REQUEST", 1},
    {0xFFFFFFFF, 2, "UNSUPPORTED_PROTOCOL", 1},
    {0xFFFFFFFF, 3, "BUSY", 1},
    {0xFFFFFFFF, 4, "UNSPECIFIED", 1},
  },
  [23] = {
    {0x00000000, 0, "Slot number of the recipient's Certificate Chain that will be used for Authentication.", 1},
  },
  [24] = {
    {0x00000000, 0, "Slot number of the target Certificate Chain to read from.", 1},
  },
  [25] = {
    {0xFFFFFFFF, 1, "DIGESTS", 1},
    {0xFFFFFFFF, 2, "CERTIFICATE", 1},
    {0xFFFFFFFF, 3, "CHALLENGE_AUTH", 1},
    {0xFFFFFFFF, 127, "ERROR", 1},
  },
  [26] = {
    {0xFFFFFFFF, 129, "GET_DIGESTS", 1},
    {0xFFFFFFFF, 130, "GET_CERTIFICATE", 1},
    {0xFFFFFFFF, 131, "CHALLENGE", 1},
  },
  [27] = {
    {0xFFFFFFFF, 1, "USB Type-C Authentication  Protocol Version 1.0", 1},
  },
  [28] = {
    {0xFFFFFFFF, 1, "GET_FW_ID", 1},
    {0xFFFFFFFF, 2, "PDFU_INITIATE", 1},
    {0xFFFFFFFF, 3, "PDFU_DATA", 1},
    {0xFFFFFFFF, 5, "PDFU_VALIDATE", 1},
    {0xFFFFFFFF, 7, "PDFU_DATA_PAUSE", 1},
    {0xFFFFFFFF, 127, "VENDOR_SPECIFIC", 1},
  },
  [29] = {
    {0xFFFFFFFF, 129, "GET_FW_ID", 1},
    {0xFFFFFFFF, 130, "PDFU_INITIATE", 1},
    {0xFFFFFFFF, 131, "PDFU_DATA", 1},
    {0xFFFFFFFF, 132, "PDFU_DATA_NR", 1},
    {0xFFFFFFFF, 133, "PDFU_VALIDATE", 1},
    {0xFFFFFFFF, 134, "PDFU_ABORT", 1},
    {0xFFFFFFFF, 135, "PDFU_DATA_PAUSE", 1},
    {0xFFFFFFFF, 255, "VENDOR_SPECIFIC", 1},
  },
  [30] = {
    {0xFFFFFFFF, 1, "USB PD Firmware Update Protocol Version 1.0", 1},
  },
  [31] = {
    {0xFFFFFFFF, 0, "Port/Cable Plug", 1},
    {0xFFFFFFFF, 1, "Battery", 1},
  },
  [32] = {
    {0xFFFFFFFF, 0, "Battery not present", 1},
    {0xFFFFFFFF, 65535, "unknown", 1},
    {0x00000000, 0, "%d [mWH]", 100},
  },
  [33] = {
    {0xFFFFFFFF, 0, "Off LED", 1},
    {0xFFFFFFFF, 1, "On LED", 1},
    {0xFFFFFFFF, 2, "Blinking LED", 1},
    {0xFFFFFFFF, 3, "Breathing LED", 1},
  },
  [34] = {
    {0xFFFFFFFF, 0, "Status not supported", 1},
    {0xFFFFFFFF, 1, "S0", 1},
    {0xFFFFFFFF, 2, "Modern Standby", 1},
    {0xFFFFFFFF, 3, "S3", 1},
    {0xFFFFFFFF, 4, "S4", 1},
    {0xFFFFFFFF, 5, "S5 (Off with battery, wake events supported)", 1},
    {0xFFFFFFFF, 6, "S3 (Off with no battery, wake events not supported)", 1},
  },
  [35] = {
    {0xFFFFFFFF, 0, "Not Supported", 1},
    {0xFFFFFFFF, 1, "Normal", 1},
    {0xFFFFFFFF, 2, "Warning", 1},
    {0xFFFFFFFF, 3, "Over temperature", 1},
  },
  [36] = {
    {0xFFFFFFFF, 0, "DC", 1},
    {0xFFFFFFFF, 1, "AC", 1},
  },
  [37] = {
    {0xFFFFFFFF, 0, "feature not supported", 1},
    {0xFFFFFFFF, 1, "temperature is less than 2 degree Celsius", 1},
    {0x00000000, 0, "%d [degree Celsius]", 1},
  },
  [38] = {
    {0xFFFFFFFF, 1, "Version 1.0", 1},
  },
  [39] = {
    {0xFFFFFFFF, 0, "No internal Battery", 1},
    {0xFFFFFFFF, 1, "Internal Battery present", 1},
  },
  [40] = {
    {0xFFFFFFFF, 0, "External supply is constrained", 1},
    {0xFFFFFFFF, 1, "External supply is unconstrained", 1},
  },
  [41] = {
    {0xFFFFFFFF, 0, "No external supply", 1},
    {0xFFFFFFFF, 1, "External supply present", 1},
  },
  [42] = {
    {0xFFFFFFFF, 0, "[IEC 60950-1] (default)", 1},
    {0xFFFFFFFF, 1, "[IEC 62368-1] TS1", 1},
    {0xFFFFFFFF, 2, "[IEC 62368-1] TS2", 1},
  },
  [43] = {
    {0x00000000, 0, "%d [%%]", 10},
  },
  [44] = {
    {0x00000000, 0, "%d [%%]", 5},
  },
  [45] = {
    {0x00000000, 0, "%d [ms]", 20},
  },
  [46] = {
    {0xFFFFFFFF, 0, "150mA/us Load Step (default)", 1},
    {0xFFFFFFFF, 1, "500mA/us Load Step", 1},
  },
  [47] = {
    {0xFFFFFFFF, 0, "25%% IoC (default)", 1},
    {0xFFFFFFFF, 1, "90%% IoC", 1},
  },
  [48] = {
    {0xFFFFFFFF, 0, "feature not supported", 1},
  },
  [49] = {
    {0xFFFFFFFF, 1, "Power state change (DFP only)", 1},
    {0xFFFFFFFF, 2, "Power button press (UFP only)", 1},
    {0xFFFFFFFF, 3, "Power button release (UFP only)", 1},
    {0xFFFFFFFF, 4, "Controller initiated wake (UFP only)", 1},
    {0xFFFFFFFF, 5, "Source is about to reduce Source Capabilities (Source only)", 1},
  },
  [50] = {
    {0xFFFFFFFF, 65535, "Battery's SoC unknown", 1},
    {0x00000000, 0, "Battery's SoC %d [mWH] increments", 100},
  },
  [51] = {
    {0xFFFFFFFF, 0, "Battery is Charging", 1},
    {0xFFFFFFFF, 1, "Battery is Discharging", 1},
    {0xFFFFFFFF, 2, "Battery is Idle", 1},
  },
  [52] = {
    {0xFFFFFFFF, 0, "Set configuration for USB", 1},
    {0xFFFFFFFF, 1, "Set configuration for UFP_U as DFP_D", 1},
    {0xFFFFFFFF, 2, "Set configuration for UFP_U as UFP_D", 1},
  },
  [53] = {
    {0xFFFFFFFF, 0, "Signaling unspecified", 1},
    {0xFFFFFFFF, 1, "Select DP v1.3 signaling rates and electrical settings", 1},
    {0xFFFFFFFF, 2, "Select Gen2 signaling rates and electrical specifications", 1},
  },
  [54] = {
    {0xFFFFFFFF, 0, "No IRQ_HPD since last status message", 1},
    {0xFFFFFFFF, 1, "IRQ_HPD", 1},
  },
  [55] = {
    {0xFFFFFFFF, 0, "HPD_Low", 1},
    {0xFFFFFFFF, 1, "HPD_High", 1},
  },
  [56] = {
    {0xFFFFFFFF, 0, "Maintain current mode.", 1},
    {0xFFFFFFFF, 1, "Request exit from DisplayPort Mode.", 1},
  },
  [57] = {
    {0xFFFFFFFF, 0, "Maintain current configuration.", 1},
    {0xFFFFFFFF, 1, "Request switch to USB Configuration.", 1},
  },
  [58] = {
    {0xFFFFFFFF, 0, "No preference for Multi-function.", 1},
    {0xFFFFFFFF, 1, "Multi-function preferred.", 1},
  },
  [59] = {
    {0xFFFFFFFF, 0, "Adaptor DisplayPort functionality is disabled.", 1},
    {0xFFFFFFFF, 1, "Adaptor DisplayPort functionality is enabled and operational.", 1},
  },
  [60] = {
    {0xFFFFFFFF, 0, "Adaptor is functioning normally or is disabled.", 1},
    {0xFFFFFFFF, 1, "Adaptor has detected low power and disabled.", 1},
  },
  [61] = {
    {0xFFFFFFFF, 0, "Neither DFP_D nor UFP_D is connected, or Adaptor is disabled.", 1},
    {0xFFFFFFFF, 1, "DFP_D is connected.", 1},
    {0xFFFFFFFF, 2, "UFP_D is connected.", 1},
    {0xFFFFFFFF, 3, "Both DFP_D and UFP_D are connected.", 1},
  },
  [62] = {
    {0xFFFFFFFF, 0, "USB r2.0 signaling may be required on A6-A7 or B6-B7 while in DisplayPort Configuration", 1},
    {0xFFFFFFFF, 1, "USB r2.0 signaling is not required on A6-A7 or B6-B7 while in DisplayPort Configuration", 1},
  },
  [63] = {
    {0xFFFFFFFF, 0, "DisplayPort interface is presented on a USB Type-C Plug", 1},
    {0xFFFFFFFF, 1, "DisplayPort interface is presented on a USB Type-C Receptacle", 1},
  },
  [64] = {
    {0x00000001, 1, "Supports DP v1.3 signaling rates and electrical specification", 1},
    {0x00000002, 2, "Supports USB Gen2 signaling rate and electrical specification", 1},
  },
  [65] = {
    {0xFFFFFFFF, 1, "UFP_D-cabable", 1},
    {0xFFFFFFFF, 2, "DFP_D-capable", 1},
    {0xFFFFFFFF, 3, "Both DFP_D and UFP_D-capable", 1},
  },
  [66] = {
    {0xFFFFFFFF, 0, "Pin Assignments are not supported", 1},
    {0x00000001, 1, "Pin Assignment A", 1},
    {0x00000002, 2, "Pin Assignment B", 1},
    {0x00000004, 4, "Pin Assignment C", 1},
    {0x00000008, 8, "Pin Assignment D", 1},
    {0x00000010, 16, "Pin Assignment E", 1},
  },
  [67] = {
    {0xFFFFFFFF, 0, "Pin Assignments are not supported", 1},
    {0x00000001, 1, "Pin Assignment A", 1},
    {0x00000002, 2, "Pin Assignment B", 1},
    {0x00000004, 4, "Pin Assignment C", 1},
    {0x00000008, 8, "Pin Assignment D", 1},
    {0x00000010, 16, "Pin Assignment E", 1},
    {0x00000020, 32, "Pin Assignment F", 1},
  },
  [68] = {
    {0xFFFFFFFF, 1, "USB3.1 Gen1 Cable (10 Gbps TBT support)", 1},
    {0xFFFFFFFF, 2, "10 Gbps (USB 3.2 Gen1 and Gen2 passive cables)", 1},
    {0xFFFFFFFF, 3, "10 Gbps and 20 Gbps (TBT 3rd Gen active cables and 20 Gbps passive cables)", 1},
  },
  [69] = {
    {0xFFFFFFFF, 0, "3rd Gen Non-Rounded TBT", 1},
    {0xFFFFFFFF, 1, "3rd & 4th Gen Rounded and Non-Rounded TBT", 1},
  },
  [70] = {
    {0xFFFFFFFF, 0, "Non-Optical", 1},
    {0xFFFFFFFF, 1, "Optical", 1},
  },
  [71] = {
    {0xFFFFFFFF, 0, "Not re-timer", 1},
    {0xFFFFFFFF, 1, "Re-timer", 1},
  },
  [72] = {
    {0xFFFFFFFF, 0, "Active with bi-directional LSRX communication or when Passive", 1},
    {0xFFFFFFFF, 1, "Active with uni-directional LSRX communication", 1},
  },
  [73] = {
    {0xFFFFFFFF, 0, "Passive cable", 1},
    {0xFFFFFFFF, 1, "Active cable", 1},
  },
  [74] = {
    {0xFFFFFFFF, 0, "TBT3 Adapter", 1},
    {0xFFFFFFFF, 1, "TBT2 Legacy Adapter", 1},
  },
  [75] = {
    {0xFFFFFFFF, 1, "TBT Mode", 1},
  },
  [76] = {
    {0xFFFFFFFF, 0, "Version 1.0", 1},
    {0xFFFFFFFF, 1, "Version 1.1", 1},
    {0xFFFFFFFF, 2, "Version 1.2", 1},
  },
  [77] = {
    {0x00000000, 0, "%d [W]", 1},
  },
  [78] = {
    {0xFFFFFFFF, 0, "Yes", 1},
    {0xFFFFFFFF, 1, "No", 1},
  },
  [79] = {
    {0xFFFFFFFF, 0, "No", 1},
    {0xFFFFFFFF, 1, "Yes", 1},
  },
  [80] = {
    {0xFFFFFFFF, 2, "USB Type-C Receptacle", 1},
    {0xFFFFFFFF, 3, "USB Type-C Captive Plug", 1},
  },
  [81] = {
    {0xFFFFFFFF, 0, "Version 1.0", 1},
    {0xFFFFFFFF, 1, "Version 1.1", 1},
    {0xFFFFFFFF, 2, "Version 1.2", 1},
    {0xFFFFFFFF, 3, "Version 1.3", 1},
  },
  [82] = {
    {0xFFFFFFFF, 0, "3A capable (Charge Through Support bit = 0b: Reserved, Shall be set to zero)", 1},
    {0xFFFFFFFF, 1, "5A capable (Charge Through Support bit = 0b: Reserved, Shall be set to zero)", 1},
  },
  [83] = {
    {0xFFFFFFFF, 0, "the VPD does not support Charge Through", 1},
    {0xFFFFFFFF, 1, "the VPD supports Charge Through", 1},
  },
  [84] = {
    {0xFFFFFFFF, 0, "1W", 1},
    {0xFFFFFFFF, 1, "1.5W", 1},
    {0xFFFFFFFF, 2, "2W", 1},
    {0xFFFFFFFF, 3, "3W", 1},
    {0xFFFFFFFF, 4, "4W", 1},
    {0xFFFFFFFF, 5, "5W", 1},
    {0xFFFFFFFF, 6, "6W", 1},
  },
  [85] = {
    {0xFFFFFFFF, 0, "No", 1},
    {0xFFFFFFFF, 1, "Yes", 1},
  },
  [86] = {
    {0xFFFFFFFF, 0, "Active Redriver", 1},
    {0xFFFFFFFF, 1, "Active Retimer", 1},
  },
  [87] = {
    {0xFFFFFFFF, 0, "Copper", 1},
    {0xFFFFFFFF, 1, "Optical", 1},
  },
  [88] = {
    {0xFFFFFFFF, 0, "Gen 1", 1},
    {0xFFFFFFFF, 1, "Gen 2 or higher", 1},
  },
  [89] = {
    {0xFFFFFFFF, 0, "One lane", 1},
    {0xFFFFFFFF, 1, "Two lanes", 1},
  },
  [90] = {
    {0xFFFFFFFF, 0, "USB4 supported", 1},
    {0xFFFFFFFF, 1, "USB4 not supported", 1},
  },
  [91] = {
    {0xFFFFFFFF, 0, "USB 3.2 SuperSpeed supported", 1},
    {0xFFFFFFFF, 1, "USB 3.2 SuperSpeed not supported", 1},
  },
  [92] = {
    {0xFFFFFFFF, 0, "USB 2.0 supported", 1},
    {0xFFFFFFFF, 1, "USB 2.0 not supported", 1},
  },
  [93] = {
    {0xFFFFFFFF, 0, "U3 to U0 direct", 1},
    {0xFFFFFFFF, 1, "U3 to U0 through U3S", 1},
  },
  [94] = {
    {0xFFFFFFFF, 0, ">10mW", 1},
    {0xFFFFFFFF, 1, "5-10mW", 1},
    {0xFFFFFFFF, 2, "1-5mW", 1},
    {0xFFFFFFFF, 3, "0.5-1mW", 1},
    {0xFFFFFFFF, 4, ">0.2-0.5mW", 1},
    {0xFFFFFFFF, 5, ">50-200uW", 1},
    {0xFFFFFFFF, 6, "<50uW", 1},
  },
  [95] = {
    {0xFFFFFFFF, 0, "USB 2.0 only", 1},
    {0xFFFFFFFF, 1, "USB 3.2 Gen1 and USB 2.0", 1},
    {0xFFFFFFFF, 2, "USB 3.2 Gen1, Gen2 and USB 2.0", 1},
    {0xFFFFFFFF, 3, "USB 2.0 billboard only", 1},
  },
  [96] = {
    {0xFFFFFFFF, 0, "USB 2.0 only, no SuperSpeed support", 1},
    {0xFFFFFFFF, 1, "USB 3.2 Gen1", 1},
    {0xFFFFFFFF, 2, "USB 3.2 / USB4 Gen2", 1},
    {0xFFFFFFFF, 3, "USB4 Gen3", 1},
    {0xFFFFFFFF, 4, "USB4 Gen4", 1},
  },
  [97] = {
    {0xFFFFFFFF, 0, "USB 2.0 only, no SuperSpeed support", 1},
    {0xFFFFFFFF, 1, "USB 3.2 Gen1", 1},
    {0xFFFFFFFF, 2, "USB 3.2 Gen1 and Gen2", 1},
  },
  [98] = {
    {0xFFFFFFFF, 1, "3A", 1},
    {0xFFFFFFFF, 2, "5A", 1},
  },
  [99] = {
    {0xFFFFFFFF, 0, "20V", 1},
    {0xFFFFFFFF, 1, "30V (Deprecated)", 1},
    {0xFFFFFFFF, 2, "40V (Deprecated)", 1},
    {0xFFFFFFFF, 3, "50V", 1},
  },
  [100] = {
    {0xFFFFFFFF, 0, "SBU is passive", 1},
    {0xFFFFFFFF, 1, "SBU is active", 1},
  },
  [101] = {
    {0xFFFFFFFF, 2, "One end Active, one end passive, VCONN required", 1},
    {0xFFFFFFFF, 3, "Both ends Active, VCONN required", 1},
  },
  [102] = {
    {0xFFFFFFFF, 0, "VCONN not required", 1},
    {0xFFFFFFFF, 1, "VCONN required", 1},
  },
  [103] = {
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
  },
  [104] = {
    {0xFFFFFFFF, 1, "<10ns (-1m)", 1},
    {0xFFFFFFFF, 2, "10ns to 20ns (-2m)", 1},
    {0xFFFFFFFF, 3, "20ns to 30ns (-3m)", 1},
    {0xFFFFFFFF, 4, "30ns to 40ns (-4m)", 1},
    {0xFFFFFFFF, 5, "40ns to 50ns (-5m)", 1},
    {0xFFFFFFFF, 6, "50ns to 60ns (-6m)", 1},
    {0xFFFFFFFF, 7, "60ns to 70ns (-7m)", 1},
    {0xFFFFFFFF, 8, "> 70ns (>-7m)", 1},
  },
  [105] = {
    {0xFFFFFFFF, 0, "Fixed", 1},
    {0xFFFFFFFF, 1, "Configurable", 1},
  },
  [106] = {
    {0xFFFFFFFF, 0, "USB Type-A", 1},
    {0xFFFFFFFF, 1, "USB Type-B", 1},
    {0xFFFFFFFF, 2, "USB Type-C", 1},
    {0xFFFFFFFF, 3, "Captive", 1},
  },
  [107] = {
    {0xFFFFFFFF, 0, "Cable is not EPR Mode Capable", 1},
    {0xFFFFFFFF, 1, "Cable is EPR Mode Capable", 1},
  },
  [108] = {
    {0xFFFFFFFF, 2, "USB Type-C", 1},
    {0xFFFFFFFF, 3, "Captive", 1},
  },
  [109] = {
    {0xFFFFFFFF, 0, "Version 1.0", 1},
    {0xFFFFFFFF, 1, "Version 1.1", 1},
    {0xFFFFFFFF, 2, "Version 1.2", 1},
    {0xFFFFFFFF, 3, "Version 1.3", 1},
  },
  [110] = {
    {0xFFFFFFFF, 0, "Reserved, for compatibility with legacy systems", 1},
    {0xFFFFFFFF, 2, "USB Type-C Receptacle", 1},
    {0xFFFFFFFF, 3, "USB Type-C Plug", 1},
  },
  [111] = {
    {0xFFFFFFFF, 0, "Not a DFP", 1},
    {0xFFFFFFFF, 1, "PDUSB Hub", 1},
    {0xFFFFFFFF, 2, "PDUSB Host", 1},
    {0xFFFFFFFF, 3, "Power Brick", 1},
  },
  [112] = {
    {0xFFFFFFFF, 0, "Undefined", 1},
    {0xFFFFFFFF, 3, "Passive Cable", 1},
    {0xFFFFFFFF, 4, "Active Cable", 1},
  },
  [113] = {
    {0xFFFFFFFF, 0, "Undefined", 1},
    {0xFFFFFFFF, 1, "PDUSB Hub", 1},
    {0xFFFFFFFF, 2, "PDUSB Peripheral", 1},
    {0xFFFFFFFF, 5, "Alternate Mode Adapter (AMA)", 1},
  },
  [114] = {
    {0xFFFFFFFF, 0, "Not a Cable Plug/VPD", 1},
    {0xFFFFFFFF, 3, "Passive Cable", 1},
    {0xFFFFFFFF, 4, "Active Cable", 1},
    {0xFFFFFFFF, 6, "VCONN-Powered USSB Device(VPD)", 1},
  },
  [115] = {
    {0xFFFFFFFF, 0, "Not a UFP", 1},
    {0xFFFFFFFF, 1, "PDUSB Hub", 1},
    {0xFFFFFFFF, 2, "PDUSB Peripheral", 1},
    {0xFFFFFFFF, 3, "PSD", 1},
  },
  [116] = {
    {0xFFFFFFFF, 0, "Version 2.0", 1},
    {0xFFFFFFFF, 1, "Version 2.1", 1},
  },
  [117] = {
    {0xFFFFFFFF, 0, "Version 1.0", 1},
    {0xFFFFFFFF, 1, "Version 2.x", 1},
  },
  [118] = {
    {0xFFFFFFFF, 0, "Version 1.0", 1},
    {0xFFFFFFFF, 1, "Version 2.0", 1},
  },
  [119] = {
    {0xFFFFFFFF, 1, "Discover Identity", 1},
    {0xFFFFFFFF, 2, "Discover SVIDs", 1},
    {0xFFFFFFFF, 3, "Discover Modes", 1},
    {0xFFFFFFFF, 4, "Enter Mode", 1},
    {0xFFFFFFFF, 5, "Exit Mode", 1},
    {0xFFFFFFFF, 6, "Attention", 1},
  },
  [120] = {
    {0xFFFFFFFF, 0, "REQ (Request from Initiator Port)", 1},
    {0xFFFFFFFF, 1, "ACK (Acknowledge Response from Responder Port)", 1},
    {0xFFFFFFFF, 2, "NAK (Negative Acknowledge Response from Responder Port)", 1},
    {0xFFFFFFFF, 3, "BUSY (Busy Response from Responder Port)", 1},
  },
  [121] = {
    {0xFFFFFFFF, 7, "Exit all Active Modes", 1},
  },
  [122] = {
    {0xFFFFFFFF, 65280, "Standard ID", 1},
    {0xFFFFFFFF, 65281, "VESA/DisplayPort", 1},
    {0xFFFFFFFF, 32903, "Intel/TBT3", 1},
  },
  [123] = {
    {0xFFFFFFFF, 0, "Unstructured VDM", 1},
    {0xFFFFFFFF, 1, "Structured VDM", 1},
  },
  [124] = {
    {0xFFFFFFFF, 5, "BIST Carrier Mode", 1},
    {0xFFFFFFFF, 8, "BIST Test Data", 1},
    {0xFFFFFFFF, 9, "BIST Shared Test Mode Entry", 1},
    {0xFFFFFFFF, 10, "BIST Shared Test Mode Exit", 1},
  },
  [125] = {
    {0xFFFFFFFF, 0, "Fast Swap not supported", 1},
    {0xFFFFFFFF, 1, "Default USB Power", 1},
    {0xFFFFFFFF, 2, "1.5A @ 5V", 1},
    {0xFFFFFFFF, 3, "3.0A @ 5V", 1},
  },
  [126] = {
    {0x00000000, 0, "%d [mW]", 500},
  },
  [127] = {
    {0x00000000, 0, "%d [W]", 1},
  },
  [128] = {
    {0x00000000, 0, "%d [mW]", 250},
  },
  [129] = {
    {0x00000000, 0, "%d [mA]", 50},
  },
  [130] = {
    {0x00000000, 0, "%d [mA]", 10},
  },
  [131] = {
    {0x00000000, 0, "%d [mV]", 100},
  },
  [132] = {
    {0x00000000, 0, "%d [mV]", 50},
  },
  [133] = {
    {0x00000000, 0, "%d [mV]", 25},
  },
  [134] = {
    {0x00000000, 0, "%d [mV]", 20},
  },
  [135] = {
    {0xFFFFFFFF, 0, "SPR Programmable Power Supply", 1},
    {0xFFFFFFFF, 1, "EPR Adjustable Voltage Supply", 1},
    {0xFFFFFFFF, 2, "SPR Adjustable Voltage Supply", 1},
  },
  [136] = {
    {0xFFFFFFFF, 0, "SPR Programmable Power Supply", 1},
    {0xFFFFFFFF, 1, "EPR Adjustable Voltage Supply", 1},
    {0xFFFFFFFF, 2, "SPR Adjustable Voltage Supply", 1},
  },
  [137] = {
    {0xFFFFFFFF, 0, "Fixed supply (Vmin=Vmax)", 1},
    {0xFFFFFFFF, 1, "Battery", 1},
    {0xFFFFFFFF, 2, "Variable Supply (non-Battery)", 1},
  },
  [138] = {
    {0xFFFFFFFF, 0, "Fixed supply (Vmin=Vmax)", 1},
    {0xFFFFFFFF, 1, "Battery", 1},
    {0xFFFFFFFF, 2, "Variable Supply (non-Battery)", 1},
    {0xFFFFFFFF, 3, "Augmented Power Data Object (APDO)", 1},
  },
  [139] = {
    {0xFFFFFFFF, 0, "Message originated from a DFP or UFP", 1},
    {0xFFFFFFFF, 1, "Message originated from a Cable Plug", 1},
  },
  [140] = {
    {0xFFFFFFFF, 0, "UFP", 1},
    {0xFFFFFFFF, 1, "DFP", 1},
  },
  [141] = {
    {0xFFFFFFFF, 0, "Revision 1.0", 1},
    {0xFFFFFFFF, 1, "Revision 2.0", 1},
    {0xFFFFFFFF, 2, "Revision 3.0", 1},
    {0xFFFFFFFF, 3, "Reserved", 1},
  },
  [142] = {
    {0xFFFFFFFF, 0, "Sink", 1},
    {0xFFFFFFFF, 1, "Source", 1},
  },
  [143] = {
    {0xFFFFFFFF, 0, "Control or Data Message", 1},
    {0xFFFFFFFF, 1, "Extended Message", 1},
  },
}

-- field_lists[i]: title and {offset, length, value table or 0, name or false} per field
local field_lists = {
  [0] = {"SOP header, revision 2", {
    {0, 4, 2, "Message Type"},
    {4, 1, 0, "Reserved"},
    {5, 1, 140, "Port Data Role"},
    {6, 2, 141, "Specification Revision"},
    {8, 1, 142, "Port Power Role"},
    {9, 3, 0, "MessageID"},
    {12, 3, 0, "Number of Data Objects"},
    {15, 1, 0, "Reserved"},
    {16, 32, 0, "Data Object #1"},
    {48, 32, 0, "Data Object #2"},
    {80, 32, 0, "Data Object #3"},
    {112, 32, 0, "Data Object #4"},
    {144, 32, 0, "Data Object #5"},
    {176, 32, 0, "Data Object #6"},
    {208, 32, 0, "Data Object #7"},
  }},
  [1] = {"SOP header, revision 3", {
    {0, 5, 3, "Message Type"},
    {5, 1, 140, "Port Data Role"},
    {6, 2, 141, "Specification Revision"},
    {8, 1, 142, "Port Power Role"},
    {9, 3, 0, "MessageID"},
    {12, 3, 0, "Number of Data Objects"},
    {15, 1, 143, "Extended"},
    {16, 32, 0, "Data Object #1"},
    {48, 32, 0, "Data Object #2"},
    {80, 32, 0, "Data Object #3"},
    {112, 32, 0, "Data Object #4"},
    {144, 32, 0, "Data Object #5"},
    {176, 32, 0, "Data Object #6"},
    {208, 32, 0, "Data Object #7"},
  }},
  [2] = {"SOP extended message, revision 3", {
    {0, 5, 3, "Message Type"},
    {5, 1, 140, "Port Data Role"},
    {6, 2, 141, "Specification Revision"},
    {8, 1, 142, "Port Power Role"},
    {9, 3, 0, "MessageID"},
    {12, 3, 0, "Number of Data Objects"},
    {15, 1, 143, "Extended"},
    {16, 9, 0, "Data Size"},
    {25, 1, 0, "Reserved"},
    {26, 1, 0, "Request Chunk"},
    {27, 4, 0, "Chunk Number"},
    {31, 1, 0, "Chunked"},
    {32, 2080, 0, "Extended Data"},
  }},
  [3] = {"Cable header, revision 2", {
    {0, 4, 2, "Message Type"},
    {4, 1, 0, "Reserved"},
    {5, 1, 0, "Reserved"},
    {6, 2, 141, "Specification Revision"},
    {8, 1, 139, "Cable Plug"},
    {9, 3, 0, "MessageID"},
    {12, 3, 0, "Number of Data Objects"},
    {15, 1, 0, "Reserved"},
    {16, 32, 0, "Data Object #1"},
    {48, 32, 0, "Data Object #2"},
    {80, 32, 0, "Data Object #3"},
    {112, 32, 0, "Data Object #4"},
    {144, 32, 0, "Data Object #5"},
    {176, 32, 0, "Data Object #6"},
    {208, 32, 0, "Data Object #7"},
  }},
  [4] = {"Cable header, revision 3", {
    {0, 5, 3, "Message Type"},
    {5, 1, 0, "Reserved"},
    {6, 2, 141, "Specification Revision"},
    {8, 1, 139, "Cable Plug"},
    {9, 3, 0, "MessageID"},
    {12, 3, 0, "Number of Data Objects"},
    {15, 1, 143, "Extended"},
    {16, 32, 0, "Data Object #1"},
    {48, 32, 0, "Data Object #2"},
    {80, 32, 0, "Data Object #3"},
    {112, 32, 0, "Data Object #4"},
    {144, 32, 0, "Data Object #5"},
    {176, 32, 0, "Data Object #6"},
    {208, 32, 0, "Data Object #7"},
  }},
  [5] = {"Cable extended message, revision 3", {
    {0, 5, 3, "Message Type"},
    {5, 1, 0, "Reserved"},
    {6, 2, 141, "Specification Revision"},
    {8, 1, 139, "Cable Plug"},
    {9, 3, 0, "MessageID"},
    {12, 3, 0, "Number of Data Objects"},
    {15, 1, 143, "Extended"},
    {16, 9, 0, "Data Size"},
    {25, 1, 0, "Reserved"},
    {26, 1, 0, "Request Chunk"},
    {27, 4, 0, "Chunk Number"},
    {31, 1, 0, "Chunked"},
    {32, 2080, 0, "Extended Data"},
  }},
  [6] = {"Extended message header", {
    {15, 1, 0, "Chunked"},
    {11, 4, 0, "Chunk Number"},
    {10, 1, 0, "Request Chunk"},
    {0, 9, 0, "Data Size"},
  }},
  [7] = {"Source fixed supply PDO, revision 2", {
    {30, 2, 137, "Fixed supply"},
    {29, 1, 0, "Dual-Role Power"},
    {28, 1, 0, "USB Suspend Supported"},
    {27, 1, 0, "Unconstrained Powered"},
    {26, 1, 0, "USB Communications Capable"},
    {25, 1, 0, "Dual-Role Data"},
    {22, 3, 0, "Reserved"},
    {20, 2, 0, "Peak Current"},
    {10, 10, 132, "Voltage in 50mV units"},
    {0, 10, 130, "Maximum Current in 10mA units"},
  }},
  [8] = {"Source fixed supply PDO, revision 3", {
    {30, 2, 138, "Fixed supply"},
    {29, 1, 0, "Dual-Role Power"},
    {28, 1, 0, "USB Suspend Supported"},
    {27, 1, 0, "Unconstrained Powered"},
    {26, 1, 0, "USB Communications Capable"},
    {25, 1, 0, "Dual-Role Data"},
    {24, 1, 0, "Unchunked Extended Messages Supported"},
    {23, 1, 0, "EPR Mode Capable"},
    {22, 1, 0, "Reserved"},
    {20, 2, 0, "Peak Current"},
    {10, 10, 132, "Voltage in 50mV units"},
    {0, 10, 130, "Maximum Current in 10mA units"},
  }},
  [9] = {"Source battery PDO", {
    {30, 2, 138, "Battery"},
    {20, 10, 132, "Maximum Voltage in 50mV units"},
    {10, 10, 132, "Minimum Voltage in 50mV units"},
    {0, 10, 128, "Maximum Allowable Power in 250mW units"},
  }},
  [10] = {"Source variable supply PDO", {
    {30, 2, 138, "Variable Supply (non-Battery)"},
    {20, 10, 132, "Maximum Voltage in 50mV units"},
    {10, 10, 132, "Minimum Voltage in 50mV units"},
    {0, 10, 130, "Maximum Current in 10mA units"},
  }},
  [11] = {"Source SPR PPS APDO", {
    {30, 2, 138, "Augmented Power Data Object (APDO)"},
    {28, 2, 136, "SPR Programmable Power Supply"},
    {27, 1, 0, "PPS Power Limited"},
    {25, 2, 0, "Reserved"},
    {17, 8, 131, "Maximum Voltage in 100mV increments"},
    {16, 1, 0, "Reserved"},
    {8, 8, 131, "Minimum Voltage in 100mV increments"},
    {7, 1, 0, "Reserved"},
    {0, 7, 129, "Maximum Current in 50mA increments"},
  }},
  [12] = {"Source EPR AVS APDO", {
    {30, 2, 138, "Augmented Power Data Object (APDO)"},
    {28, 2, 136, "EPR Adjustable Voltage Supply"},
    {26, 2, 0, "Peak Current"},
    {17, 9, 131, "Maximum Voltage in 100mV increments"},
    {16, 1, 0, "Reserved"},
    {8, 8, 131, "Minimum Voltage in 100mV increments"},
    {0, 8, 127, "PDP in 1W increments"},
  }},
  [13] = {"Source SPR AVS APDO", {
    {30, 2, 138, "Augmented Power Data Object (APDO)"},
    {28, 2, 136, "SPR Adjustable Voltage Supply"},
    {26, 2, 0, "Peak Current"},
    {20, 6, 0, "Reserved"},
    {10, 10, 130, "For 9V - 15V range: Maximum Current in 10mA units equal to the Maximum Current field of the 15V Fixed Source PDO"},
    {0, 10, 130, "For 15V - 20V range: Maximum Current in 10mA units equal to the Maximum Current field of the 20V Fixed Source PDO, set to 0 if the Maximum voltage in the SPR AVS range is 15V"},
  }},
  [14] = {"Source APDO of unknown sub-type", {
    {30, 2, 138, "Augmented Power Data Object (APDO)"},
    {28, 2, 136, "Unknown APDO"},
    {0, 28, 0, "Reserved"},
  }},
  [15] = {"Sink fixed supply PDO, revision 2", {
    {30, 2, 137, "Fixed supply"},
    {29, 1, 0, "Dual-Role Power"},
    {28, 1, 0, "Higher Capability"},
    {27, 1, 0, "Unconstrained Powered"},
    {26, 1, 0, "USB Communications Capable"},
    {25, 1, 0, "Dual-Role Data"},
    {20, 5, 0, "Reserved"},
    {10, 10, 132, "Voltage in 50mV units"},
    {0, 10, 130, "Operational Current in 10mA units"},
  }},
  [16] = {"Sink fixed supply PDO, revision 3", {
    {30, 2, 138, "Fixed supply"},
    {29, 1, 0, "Dual-Role Power"},
    {28, 1, 0, "Higher Capability"},
    {27, 1, 0, "Unconstrained Powered"},
    {26, 1, 0, "USB Communications Capable"},
    {25, 1, 0, "Dual-Role Data"},
    {23, 2, 125, "Fast Role Swap required USB Type-C Current"},
    {20, 3, 0, "Reserved"},
    {10, 10, 132, "Voltage in 50mV units"},
    {0, 10, 130, "Operational Current in 10mA units"},
  }},
  [17] = {"Sink battery PDO", {
    {30, 2, 138, "Battery"},
    {20, 10, 132, "Maximum Voltage in 50mV units"},
    {10, 10, 132, "Minimum Voltage in 50mV units"},
    {0, 10, 128, "Operational Power in 250mW units"},
  }},
  [18] = {"Sink variable supply PDO", {
    {30, 2, 138, "Variable Supply (non-Battery)"},
    {20, 10, 132, "Maximum Voltage in 50mV units"},
    {10, 10, 132, "Minimum Voltage in 50mV units"},
    {0, 10, 130, "Operational Current in 10mA units"},
  }},
  [19] = {"Sink SPR PPS APDO", {
    {30, 2, 138, "Augmented Power Data Object (APDO)"},
    {28, 2, 135, "SPR Programmable Power Supply"},
    {25, 3, 0, "Reserved"},
    {17, 8, 131, "Maximum Voltage in 100mV increments"},
    {16, 1, 0, "Reserved"},
    {8, 8, 131, "Minimum Voltage in 100mV increments"},
    {7, 1, 0, "Reserved"},
    {0, 7, 129, "Maximum Current in 50mA increments"},
  }},
  [20] = {"Sink EPR AVS APDO", {
    {30, 2, 138, "Augmented Power Data Object (APDO)"},
    {28, 2, 135, "EPR Adjustable Voltage Supply"},
    {26, 2, 0, "Reserved"},
    {17, 9, 131, "Maximum Voltage in 100mV increments"},
    {16, 1, 0, "Reserved"},
    {8, 8, 131, "Minimum Voltage in 100mV increments"},
    {0, 8, 127, "PDP in 1W increments"},
  }},
  [21] = {"Sink SPR AVS APDO", {
    {30, 2, 138, "Augmented Power Data Object (APDO)"},
    {28, 2, 135, "SPR Adjustable Voltage Supply"},
    {20, 8, 0, "Reserved"},
    {10, 10, 130, "For 9V-15V range: Maximum Current in 10mA units equal to the Maximum Current field of the 15V Fixed Supply PDO"},
    {0, 10, 130, "For 15V-20V range: Maximum Current in 10mA units equal to the Maximum Current field of the 20V Fixed Supply PDO, set to 0 if the Maximum voltage in the SPR AVS range is 15V"},
  }},
  [22] = {"Sink APDO of unknown sub-type", {
    {30, 2, 138, "Augmented Power Data Object (APDO)"},
    {28, 2, 135, "Unknown APDO"},
    {0, 28, 0, "Reserved"},
  }},
  [23] = {"Fixed or variable request, revision 2", {
    {31, 1, 0, "Reserved"},
    {28, 3, 0, "Object position"},
    {27, 1, 0, "GiveBack flag=0"},
    {26, 1, 0, "Capability Mismatch"},
    {25, 1, 0, "USB Communications Capable"},
    {24, 1, 0, "No USB Suspend"},
    {20, 4, 0, "Reserved"},
    {10, 10, 130, "Operating current in 10mA units"},
    {0, 10, 130, "Maximum Operating Current 10mA units"},
  }},
  [24] = {"Fixed or variable request, revision 3", {
    {28, 4, 0, "Object position"},
    {27, 1, 0, "GiveBack flag (Deprecated)"},
    {26, 1, 0, "Capability Mismatch"},
    {25, 1, 0, "USB Communications Capable"},
    {24, 1, 0, "No USB Suspend"},
    {23, 1, 0, "Unchunked Extended Messages Supported"},
    {22, 1, 0, "EPR Mode Capable"},
    {20, 2, 0, "Reserved"},
    {10, 10, 130, "Operating current in 10mA units"},
    {0, 10, 130, "Maximum Operating Current 10mA units"},
  }},
  [25] = {"Fixed or variable request with give back, revision 2", {
    {31, 1, 0, "Reserved"},
    {28, 3, 0, "Object position"},
    {27, 1, 0, "GiveBack flag=1"},
    {26, 1, 0, "Capability Mismatch"},
    {25, 1, 0, "USB Communications Capable"},
    {24, 1, 0, "No USB Suspend"},
    {20, 4, 0, "Reserved"},
    {10, 10, 130, "Operating current in 10mA units"},
    {0, 10, 130, "Minimum Operating Current 10mA units"},
  }},
  [26] = {"Fixed or variable request with give back, revision 3", {
    {28, 4, 0, "Object position"},
    {27, 1, 0, "GiveBack flag (Deprecated)"},
    {26, 1, 0, "Capability Mismatch"},
    {25, 1, 0, "USB Communications Capable"},
    {24, 1, 0, "No USB Suspend"},
    {23, 1, 0, "Unchunked Extended Messages Supported"},
    {22, 1, 0, "EPR Mode Capable"},
    {20, 2, 0, "Reserved"},
    {10, 10, 130, "Operating current in 10mA units"},
    {0, 10, 130, "Minimum Operating Current 10mA units"},
  }},
  [27] = {"Battery request, revision 2", {
    {31, 1, 0, "Reserved"},
    {28, 3, 0, "Object position"},
    {27, 1, 0, "GiveBack flag=0"},
    {26, 1, 0, "Capability Mismatch"},
    {25, 1, 0, "USB Communications Capable"},
    {24, 1, 0, "No USB Suspend"},
    {20, 4, 0, "Reserved"},
    {10, 10, 128, "Operating Power in 250mW units"},
    {0, 10, 128, "Maximum Operating Power in 250mW units"},
  }},
  [28] = {"Battery request, revision 3", {
    {28, 4, 0, "Object position"},
    {27, 1, 0, "GiveBack flag (Deprecated)"},
    {26, 1, 0, "Capability Mismatch"},
    {25, 1, 0, "USB Communications Capable"},
    {24, 1, 0, "No USB Suspend"},
    {23, 1, 0, "Unchunked Extended Messages Supported"},
    {22, 1, 0, "EPR Mode Capable"},
    {20, 2, 0, "Reserved"},
    {10, 10, 128, "Operating Power in 250mW units"},
    {0, 10, 128, "Maximum Operating Power in 250mW units"},
  }},
  [29] = {"Battery request with give back, revision 2", {
    {31, 1, 0, "Reserved"},
    {28, 3, 0, "Object position"},
    {27, 1, 0, "GiveBack flag=1"},
    {26, 1, 0, "Capability Mismatch"},
    {25, 1, 0, "USB Communications Capable"},
    {24, 1, 0, "No USB Suspend"},
    {20, 4, 0, "Reserved"},
    {10, 10, 128, "Operating Power in 250mW units"},
    {0, 10, 128, "Minimum Operating Power in 250mW units"},
  }},
  [30] = {"Battery request with give back, revision 3", {
    {28, 4, 0, "Object position"},
    {27, 1, 0, "GiveBack flag (Deprecated)"},
    {26, 1, 0, "Capability Mismatch"},
    {25, 1, 0, "USB Communications Capable"},
    {24, 1, 0, "No USB Suspend"},
    {23, 1, 0, "Unchunked Extended Messages Supported"},
    {22, 1, 0, "EPR Mode Capable"},
    {20, 2, 0, "Reserved"},
    {10, 10, 128, "Operating Power in 250mW units"},
    {0, 10, 128, "Minimum Operating Power in 250mW units"},
  }},
  [31] = {"PPS request", {
    {28, 4, 0, "Object position"},
    {27, 1, 0, "Reserved"},
    {26, 1, 0, "Capability Mismatch"},
    {25, 1, 0, "USB Communications Capable"},
    {24, 1, 0, "No USB Suspend"},
    {23, 1, 0, "Unchunked Extended Messages Supported"},
    {22, 1, 0, "EPR Mode Capable"},
    {20, 2, 0, "Reserved"},
    {9, 11, 134, "Output Voltage in 20mV units"},
    {7, 2, 0, "Reserved"},
    {0, 7, 129, "Operating Current 50mA units"},
  }},
  [32] = {"AVS request", {
    {28, 4, 0, "Object position"},
    {27, 1, 0, "Reserved"},
    {26, 1, 0, "Capability Mismatch"},
    {25, 1, 0, "USB Communications Capable"},
    {24, 1, 0, "No USB Suspend"},
    {23, 1, 0, "Unchunked Extended Messages Supported"},
    {22, 1, 0, "EPR Mode Capable"},
    {21, 1, 0, "Reserved"},
    {9, 12, 133, "Output Voltage in 25mV units"},
    {7, 2, 0, "Reserved"},
    {0, 7, 129, "Operating Current 50mA units"},
  }},
  [33] = {"Request for an APDO of unknown sub-type", {
    {31, 1, 0, "Reserved"},
    {28, 3, 0, "Object position"},
    {0, 28, 0, "Reserved"},
  }},
  [34] = {"EPR request without PDO copy", {
    {32, 32, 0, "Copy of PDO"},
    {0, 32, 0, "RDO"},
  }},
  [35] = {"BIST data object", {
    {28, 4, 124, "Mode"},
    {0, 28, 0, "Reserved"},
  }},
  [36] = {"Battery status data object", {
    {16, 16, 50, "Battery Present Capacity"},
    {12, 4, 0, "Battert Info (Reserved)"},
    {10, 2, 51, "Battert Info (Battery charging status)"},
    {9, 1, 0, "Battert Info (Battery is present)"},
    {8, 1, 0, "Battert Info (Invalid Battery reference)"},
    {0, 8, 0, "Reserved"},
  }},
  [37] = {"Alert data object", {
    {31, 1, 0, "Type of Alert (Extended Alert Event)"},
    {30, 1, 0, "Type of Alert (OVP event)"},
    {29, 1, 0, "Type of Alert (Source Input Change Event)"},
    {28, 1, 0, "Type of Alert (Operating Condition Change)"},
    {27, 1, 0, "Type of Alert (OTP event)"},
    {26, 1, 0, "Type of Alert (OCP event)"},
    {25, 1, 0, "Type of Alert (Battery Status Change Event)"},
    {24, 1, 0, "Type of Alert (Reserved)"},
    {20, 4, 0, "Fixed Batteries"},
    {16, 4, 0, "Hot Swappable Batteries"},
    {4, 12, 0, "Reserved"},
    {0, 4, 49, "Extended Alert Event Type"},
  }},
  [38] = {"Get_Country_Info data object", {
    {24, 8, 0, "First Caracter of the Alpha-2 Country Code defined by [ISO 3166]"},
    {16, 8, 0, "Second Caracter of the Alpha-2 Country Code defined by [ISO 3166]"},
    {0, 16, 0, "Reserved"},
  }},
  [39] = {"Enter_USB data object", {
    {31, 1, 0, "Reserved"},
    {28, 3, 19, "USB Mode"},
    {27, 1, 0, "Reserved"},
    {26, 1, 18, "USB4 DRD"},
    {25, 1, 17, "USB3 DRD"},
    {24, 1, 0, "Reserved"},
    {21, 3, 16, "Cable Speed"},
    {19, 2, 15, "Cable Type"},
    {17, 2, 14, "Cable Current"},
    {16, 1, 13, "PCIe Support"},
    {15, 1, 12, "DP Support"},
    {14, 1, 11, "TBT Support"},
    {13, 1, 0, "Host Present"},
    {0, 13, 0, "Reserved"},
  }},
  [40] = {"EPR mode data object", {
    {24, 8, 10, "Action"},
    {16, 8, 0, "Data"},
    {0, 16, 0, "Reserved"},
  }},
  [41] = {"Source information data objects", {
    {63, 1, 9, "[SIDO2] Port Type"},
    {62, 1, 8, "[SIDO2] DPS Port"},
    {50, 12, 0, "[SIDO2] Reserved"},
    {41, 9, 126, "[SIDO2] Port Maximum PDP"},
    {32, 9, 126, "[SIDO2] Port Guaranteed PDP"},
    {31, 1, 9, "Port Type"},
    {24, 7, 0, "Reserved"},
    {16, 8, 127, "Port Maximum PDP"},
    {8, 8, 127, "Port Present PDP"},
    {0, 8, 127, "Port Reported PDP"},
  }},
  [42] = {"Revision data object", {
    {28, 4, 0, "Revision.major"},
    {24, 4, 0, "Revision.minor"},
    {20, 4, 0, "Version.major"},
    {16, 4, 0, "Version.minor"},
    {0, 16, 0, "Reserved"},
  }},
  [43] = {"Unstructured VDM header", {
    {16, 16, 0, "Vendor ID (VID)"},
    {15, 1, 123, "VDM Type"},
    {0, 15, 0, "Available for Vendor Use"},
  }},
  [44] = {"Structured VDM header, version 1.0", {
    {16, 16, 122, "Standard or Vendor ID (SVID)"},
    {15, 1, 123, "VDM Type"},
    {13, 2, 118, "Structured VDM Version"},
    {11, 2, 0, "Reserved"},
    {8, 3, 0, "Object Position"},
    {6, 2, 120, "Command Type"},
    {5, 1, 0, "Reserved"},
    {0, 5, 119, "Command"},
  }},
  [45] = {"Structured VDM header, version 2, mode commands", {
    {16, 16, 122, "Standard or Vendor ID (SVID)"},
    {15, 1, 123, "VDM Type"},
    {13, 2, 117, "Structured VDM Version (Major)"},
    {11, 2, 116, "Structured VDM Version (Minor)"},
    {8, 3, 121, "Object Position"},
    {6, 2, 120, "Command Type"},
    {5, 1, 0, "Reserved"},
    {0, 5, 119, "Command"},
  }},
  [46] = {"Structured VDM header, version 2", {
    {16, 16, 122, "Standard or Vendor ID (SVID)"},
    {15, 1, 123, "VDM Type"},
    {13, 2, 117, "Structured VDM Version (Major)"},
    {11, 2, 116, "Structured VDM Version (Minor)"},
    {8, 3, 0, "Object Position"},
    {6, 2, 120, "Command Type"},
    {5, 1, 0, "Reserved"},
    {0, 5, 119, "Command"},
  }},
  [47] = {"ID header (SOP), version 1.0", {
    {31, 1, 0, "USB Communications Capable as USB Host"},
    {30, 1, 0, "USB Communications Capable as a USB Device"},
    {27, 3, 113, "Product Type (UFP)"},
    {26, 1, 0, "Modal Operation Supported"},
    {16, 10, 0, "Reserved"},
    {0, 16, 0, "USB Vendor ID"},
  }},
  [48] = {"ID header (SOP), version 2", {
    {31, 1, 0, "USB Communications Capable as USB Host"},
    {30, 1, 0, "USB Communications Capable as a USB Device"},
    {27, 3, 115, "Product Type (UFP)"},
    {26, 1, 0, "Modal Operation Supported"},
    {23, 3, 111, "Product Type (DFP)"},
    {21, 2, 110, "Connector Type"},
    {16, 5, 0, "Reserved"},
    {0, 16, 0, "USB Vendor ID"},
  }},
  [49] = {"ID header (cable), version 1.0", {
    {31, 1, 0, "USB Communications Capable as USB Host"},
    {30, 1, 0, "USB Communications Capable as a USB Device"},
    {27, 3, 112, "Product Type (Cable Plug)"},
    {26, 1, 0, "Modal Operation Supported"},
    {16, 10, 0, "Reserved"},
    {0, 16, 0, "USB Vendor ID"},
  }},
  [50] = {"ID header (cable), version 2", {
    {31, 1, 0, "USB Communications Capable as USB Host"},
    {30, 1, 0, "USB Communications Capable as a USB Device"},
    {27, 3, 114, "Product Type (Cable Plug)"},
    {26, 1, 0, "Modal Operation Supported"},
    {23, 3, 111, "Product Type (DFP)"},
    {21, 2, 110, "Connector Type"},
    {16, 5, 0, "Reserved"},
    {0, 16, 0, "USB Vendor ID"},
  }},
  [51] = {"Cert stat VDO", {
    {0, 32, 0, "XID"},
  }},
  [52] = {"Product VDO", {
    {16, 16, 0, "USB Product ID"},
    {0, 16, 0, "bcdDevice"},
  }},
  [53] = {"UFP VDO, form A", {
    {29, 3, 81, "UFP VDO Version"},
    {28, 1, 0, "Reserved"},
    {27, 1, 0, "Device Capability (USB4 Device Capable)"},
    {26, 1, 0, "Device Capability (USB 3.2 Device Capable)"},
    {25, 1, 0, "Device Capability (USB 2.0 Device Capable (Billboard only))"},
    {24, 1, 0, "Device Capability (USB 2.0 Device Capable)"},
    {6, 18, 0, "Reserved"},
    {5, 1, 0, "Alternate Modes (Supports Alternate Modes that do not reconfigure the signals on the USB Type-C connector)"},
    {4, 1, 0, "Alternate Modes (Supports Alternate Modes that reconfigure the signals on the USB Type-C connector except for TBT3)"},
    {3, 1, 0, "Alternate Modes (Supports TBT3 Alternate Mode)"},
    {0, 3, 96, "USB Highest Speed"},
  }},
  [54] = {"UFP VDO, form B", {
    {29, 3, 81, "UFP VDO Version"},
    {28, 1, 0, "Reserved"},
    {27, 1, 0, "Device Capability (USB4 Device Capable)"},
    {26, 1, 0, "Device Capability (USB 3.2 Device Capable)"},
    {25, 1, 0, "Device Capability (USB 2.0 Device Capable (Billboard only))"},
    {24, 1, 0, "Device Capability (USB 2.0 Device Capable)"},
    {22, 2, 80, "Connector Type"},
    {6, 16, 0, "Reserved"},
    {5, 1, 0, "Alternate Modes (Supports Alternate Modes that do not reconfigure the signals on the USB Type-C connector)"},
    {4, 1, 0, "Alternate Modes (Supports Alternate Modes that reconfigure the signals on the USB Type-C connector except for TBT3)"},
    {3, 1, 0, "Alternate Modes (Supports TBT3 Alternate Mode)"},
    {0, 3, 96, "USB Highest Speed"},
  }},
  [55] = {"UFP VDO, form C", {
    {29, 3, 81, "UFP VDO Version"},
    {28, 1, 0, "Reserved"},
    {27, 1, 0, "Device Capability (USB4 Device Capable)"},
    {26, 1, 0, "Device Capability (USB 3.2 Device Capable)"},
    {25, 1, 0, "Device Capability (USB 2.0 Device Capable (Billboard only))"},
    {24, 1, 0, "Device Capability (USB 2.0 Device Capable)"},
    {22, 2, 0, "Connector Type (Legacy)"},
    {11, 11, 0, "Reserved"},
    {8, 3, 84, "VCONN Power"},
    {7, 1, 79, "VCONN Required"},
    {6, 1, 78, "VBUS Required"},
    {5, 1, 0, "Alternate Modes (Supports Alternate Modes that do not reconfigure the signals on the USB Type-C connector)"},
    {4, 1, 0, "Alternate Modes (Supports Alternate Modes that reconfigure the signals on the USB Type-C connector except for TBT3)"},
    {3, 1, 0, "Alternate Modes (Supports TBT3 Alternate Mode)"},
    {0, 3, 96, "USB Highest Speed"},
  }},
  [56] = {"UFP power VDO", {
    {30, 2, 0, "Reserved"},
    {23, 7, 77, "USB4 Min Power"},
    {16, 7, 77, "USB4 Max Power"},
    {14, 2, 0, "Reserved"},
    {7, 7, 77, "USB3 Min Power"},
    {0, 7, 77, "USB3 Max Power"},
  }},
  [57] = {"DFP VDO, form A", {
    {29, 3, 76, "DFP VDO Version"},
    {27, 2, 0, "Reserved"},
    {26, 1, 0, "Host Capability (USB4 Host Capable)"},
    {25, 1, 0, "Host Capability (USB3.2 Host Capable)"},
    {24, 1, 0, "Host Capability (USB2.0 Host Capable)"},
    {5, 19, 0, "Reserved"},
    {0, 5, 0, "Port Number"},
  }},
  [58] = {"DFP VDO, form B", {
    {29, 3, 76, "DFP VDO Version"},
    {27, 2, 0, "Reserved"},
    {26, 1, 0, "Host Capability (USB4 Host Capable)"},
    {25, 1, 0, "Host Capability (USB3.2 Host Capable)"},
    {24, 1, 0, "Host Capability (USB2.0 Host Capable)"},
    {22, 2, 80, "Connector Type"},
    {5, 17, 0, "Reserved"},
    {0, 5, 0, "Port Number"},
  }},
  [59] = {"DFP VDO, form C", {
    {29, 3, 76, "DFP VDO Version"},
    {27, 2, 0, "Reserved"},
    {26, 1, 0, "Host Capability (USB4 Host Capable)"},
    {25, 1, 0, "Host Capability (USB3.2 Host Capable)"},
    {24, 1, 0, "Host Capability (USB2.0 Host Capable)"},
    {22, 2, 0, "Connector Type (Legacy)"},
    {5, 17, 0, "Reserved"},
    {0, 5, 0, "Port Number"},
  }},
  [60] = {"Alternate mode adapter VDO, version 1.0", {
    {28, 4, 0, "HW Version"},
    {24, 4, 0, "Firmware Version"},
    {12, 12, 0, "Reserved"},
    {11, 1, 105, "SSTX1 Directionality Support"},
    {10, 1, 105, "SSTX2 Directionality Support"},
    {9, 1, 105, "SSRX1 Directionality Support"},
    {8, 1, 105, "SSRX2 Directionality Support"},
    {5, 3, 84, "VCONN power"},
    {4, 1, 0, "VCONN required"},
    {3, 1, 0, "VBUS required"},
    {0, 3, 95, "USB SuperSpeed Signaling Support"},
  }},
  [61] = {"Alternate mode adapter VDO, version 2", {
    {28, 4, 0, "HW Version"},
    {24, 4, 0, "Firmware Version"},
    {21, 3, 109, "VDO Version"},
    {8, 13, 0, "Reserved"},
    {5, 3, 84, "VCONN power"},
    {4, 1, 0, "VCONN required"},
    {3, 1, 0, "VBUS required"},
    {0, 3, 95, "USB Highest Speed"},
  }},
  [62] = {"VCONN-powered device VDO", {
    {28, 4, 0, "HW Version"},
    {24, 4, 0, "Firmware Version"},
    {21, 3, 109, "VDO Version"},
    {17, 4, 0, "Reserved"},
    {15, 2, 99, "Maximum VBUS Voltage"},
    {14, 1, 82, "Charge Through Current Support"},
    {13, 1, 0, "Reserved"},
    {7, 6, 0, "VBUS Impedance"},
    {1, 6, 0, "Ground Impedance"},
    {0, 1, 83, "Charge Through Support"},
  }},
  [63] = {"Passive cable VDO, version 1.0", {
    {28, 4, 0, "HW Version"},
    {24, 4, 0, "Firmware Version"},
    {20, 4, 0, "Reserved"},
    {18, 2, 106, "USB Type-C plug to USB Type-A/B/C/Captive"},
    {17, 1, 0, "Reserved"},
    {13, 4, 104, "Cable Latency"},
    {11, 2, 102, "Cable Termination Type"},
    {10, 1, 105, "SSTX1 Directionality Support"},
    {9, 1, 105, "SSTX2 Directionality Support"},
    {8, 1, 105, "SSRX1 Directionality Support"},
    {7, 1, 105, "SSRX2 Directionality Support"},
    {5, 2, 98, "VBUS Current Handling Capability"},
    {4, 1, 0, "VBUS through cable"},
    {3, 1, 0, "Reserved"},
    {0, 3, 97, "USB SuperSpeed Signaling Support"},
  }},
  [64] = {"Passive cable VDO, version 2", {
    {28, 4, 0, "HW Version"},
    {24, 4, 0, "Firmware Version"},
    {21, 3, 109, "VDO Version"},
    {20, 1, 0, "Reserved"},
    {18, 2, 108, "USB Type-C plug to USB Type-C/Captive"},
    {17, 1, 107, "EPR Mode Capable"},
    {13, 4, 104, "Cable Latency"},
    {11, 2, 102, "Cable Termination Type"},
    {9, 2, 99, "Maximum VBUS Voltage"},
    {7, 2, 0, "Reserved"},
    {5, 2, 98, "VBUS Current Handling Capability"},
    {3, 2, 0, "Reserved"},
    {0, 3, 96, "USB Highest Speed"},
  }},
  [65] = {"Active cable VDO, version 1.0", {
    {28, 4, 0, "HW Version"},
    {24, 4, 0, "Firmware Version"},
    {20, 4, 0, "Reserved"},
    {18, 2, 106, "USB Type-C plug to USB Type-A/B/C/Captive"},
    {17, 1, 0, "Reserved"},
    {13, 4, 103, "Cable Latency"},
    {11, 2, 101, "Cable Termination Type"},
    {10, 1, 105, "SSTX1 Directionality Support"},
    {9, 1, 105, "SSTX2 Directionality Support"},
    {8, 1, 105, "SSRX1 Directionality Support"},
    {7, 1, 105, "SSRX2 Directionality Support"},
    {5, 2, 98, "VBUS Current Handling Capability"},
    {4, 1, 0, "VBUS Through Cable"},
    {3, 1, 0, "SOP\226\128\157 Controller Present"},
    {0, 3, 97, "USB SuperSpeed Signaling Support"},
  }},
  [66] = {"Active cable VDO 1, version 2", {
    {28, 4, 0, "HW Version"},
    {24, 4, 0, "Firmware Version"},
    {21, 3, 109, "VDO Version"},
    {20, 1, 0, "Reserved"},
    {18, 2, 108, "Connector Type"},
    {17, 1, 107, "EPR Mode Capable"},
    {13, 4, 103, "Cable Latency"},
    {11, 2, 101, "Cable Termination Type"},
    {9, 2, 99, "Maximum VBUS Voltage"},
    {8, 1, 0, "SBU Supported"},
    {7, 1, 100, "SBU Type"},
    {5, 2, 98, "VBUS Current Handling Capability"},
    {4, 1, 0, "VBUS Through Cable"},
    {3, 1, 0, "SOP\" Controller Present"},
    {0, 3, 96, "USB Highest Speed (or Reserved)"},
  }},
  [67] = {"Active cable VDO 2, version 2", {
    {24, 8, 0, "Maximum Operating Temperature"},
    {16, 8, 0, "Shutdown Temperature"},
    {15, 1, 0, "Reserved"},
    {12, 3, 94, "U3/CLd Power"},
    {11, 1, 93, "U3 to U0 transition mode"},
    {10, 1, 87, "Physical connection (or Reserved)"},
    {9, 1, 86, "Active element (or Reserved)"},
    {8, 1, 90, "USB4 Supported (or Reserved)"},
    {6, 2, 0, "USB 2.0 Hub Hops Consumed"},
    {5, 1, 92, "USB 2.0 Supported"},
    {4, 1, 91, "USB 3.2 Supported"},
    {3, 1, 89, "USB Lanes Supported"},
    {2, 1, 85, "Optically Isolated Active Cable (or Reserved)"},
    {1, 1, 0, "USB4 Asymmetric Mode Supported"},
    {0, 1, 88, "USB Gen"},
  }},
  [68] = {"Discover SVIDs objects", {
    {176, 16, 122, "SVID10"},
    {160, 16, 122, "SVID11"},
    {144, 16, 122, "SVID8"},
    {128, 16, 122, "SVID9"},
    {112, 16, 122, "SVID6"},
    {96, 16, 122, "SVID7"},
    {80, 16, 122, "SVID4"},
    {64, 16, 122, "SVID5"},
    {48, 16, 122, "SVID2"},
    {32, 16, 122, "SVID3"},
    {16, 16, 122, "SVID0"},
    {0, 16, 122, "SVID1"},
  }},
  [69] = {"DisplayPort capabilities VDO", {
    {24, 16, 0, "Reserved"},
    {16, 8, 66, "UFP_D Pin Assignments Supported"},
    {8, 8, 67, "DFP_D Pin Assignments Supported"},
    {7, 1, 62, "USB r2.0 Signaling Not Used"},
    {6, 1, 63, "Receptacle Indication"},
    {2, 4, 64, "Signaling for Transport of DisplayPort Protocol"},
    {0, 2, 65, "Port Capability"},
  }},
  [70] = {"TBT3 mode VDO (SOP)", {
    {30, 2, 0, "Reserved for legacy use"},
    {27, 3, 0, "Reserved"},
    {26, 1, 0, "Intel defined"},
    {17, 9, 0, "Reserved"},
    {16, 1, 74, "TBT Adapter"},
    {0, 16, 75, "TBT Alternate Mode"},
  }},
  [71] = {"TBT3 mode VDO (cable)", {
    {26, 6, 0, "Reserved"},
    {25, 1, 73, "Active_Passive"},
    {24, 1, 0, "Reserved"},
    {23, 1, 72, "Active Cable Plug Link Training"},
    {22, 1, 71, "Re-timer"},
    {21, 1, 70, "Cable Type"},
    {19, 2, 69, "TBT_Rounded_Support"},
    {16, 3, 68, "Cable Speed"},
    {0, 16, 75, "TBT Alternate Mode"},
  }},
  [72] = {"Discover Modes objects", {
    {160, 32, 0, "Mode6"},
    {128, 32, 0, "Mode5"},
    {96, 32, 0, "Mode4"},
    {64, 32, 0, "Mode3"},
    {32, 32, 0, "Mode2"},
    {0, 32, 0, "Mode1"},
  }},
  [73] = {"TBT3 Enter Mode object", {
    {30, 2, 0, "Reserved for legacy use"},
    {27, 3, 0, "Reserved"},
    {26, 1, 0, "Intel Defined"},
    {25, 1, 73, "Active_Passive"},
    {24, 1, 74, "TBT Adapter"},
    {23, 1, 72, "Active Cable Plug Link Training"},
    {22, 1, 71, "Re-timer"},
    {21, 1, 70, "Cable Type"},
    {19, 2, 69, "TBT_Rounded_Support"},
    {16, 3, 68, "Cable Speed"},
    {0, 16, 75, "TBT Alternate Mode"},
  }},
  [74] = {"Enter Mode objects", {
    {160, 32, 0, "Mode Specific"},
    {128, 32, 0, "Mode Specific"},
    {96, 32, 0, "Mode Specific"},
    {64, 32, 0, "Mode Specific"},
    {32, 32, 0, "Mode Specific"},
    {0, 32, 0, "Mode Specific"},
  }},
  [75] = {"DisplayPort status VDO", {
    {9, 16, 0, "Reserved"},
    {8, 1, 54, "IRQ_HPD"},
    {7, 1, 55, "HPD State"},
    {6, 1, 56, "Exit DisplayPort Mode Request"},
    {5, 1, 57, "USB Configuration Request"},
    {4, 1, 58, "Multi-function Preferred"},
    {3, 1, 59, "Enabled"},
    {2, 1, 60, "Power Low"},
    {0, 2, 61, "DFP_D/UFP_D Connected"},
  }},
  [76] = {"Attention objects", {
    {160, 32, 0, "Mode Specific"},
    {128, 32, 0, "Mode Specific"},
    {96, 32, 0, "Mode Specific"},
    {64, 32, 0, "Mode Specific"},
    {32, 32, 0, "Mode Specific"},
    {0, 32, 0, "Mode Specific"},
  }},
  [77] = {"DisplayPort configuration VDO", {
    {16, 16, 0, "Reserved"},
    {8, 8, 67, "Configure UFP_U Pin Assignment"},
    {6, 2, 0, "Reserved"},
    {2, 4, 53, "Signaling for Transport of DisplayPort Protocol"},
    {0, 2, 52, "Select Configuration"},
  }},
  [78] = {"Source capabilities extended data block", {
    {192, 8, 127, "EPR Source PDP Rating"},
    {191, 1, 0, "Source PDP (Reserved)"},
    {184, 7, 127, "SPR Source PDP Rating"},
    {180, 4, 0, "Number of Batteries/Battery Slots (Number of Hot Swappable Battery Slots)"},
    {176, 4, 0, "Number of Batteries/Battery Slots (Number of Fixed Batteries))"},
    {171, 5, 0, "Source Inputs (Reserved)"},
    {170, 1, 39, "Source Inputs (Internal Battery)"},
    {169, 1, 40, "Source Inputs (External supply is unconstrained)"},
    {168, 1, 41, "Source Inputs (External supply)"},
    {160, 8, 42, "Touch Temp"},
    {159, 1, 0, "Peak Current3 (VBUS Voltage droop)"},
    {155, 4, 44, "Peak Current3 (Duty cycle in 5% increments)"},
    {149, 6, 45, "Peak Current3 (Overload period in 20ms)"},
    {144, 5, 43, "Peak Current3 (Percent overload in 10% increments Values higher than 25 (11001b) )are clipped to 250%)"},
    {143, 1, 0, "Peak Current2 (VBUS Voltage droop)"},
    {139, 4, 44, "Peak Current2 (Duty cycle in 5% increments)"},
    {133, 6, 45, "Peak Current2 (Overload period in 20ms)"},
    {128, 5, 43, "Peak Current2 (Percent overload in 10% increments Values higher than 25 (11001b) )are clipped to 250%)"},
    {127, 1, 0, "Peak Current1 (VBUS Voltage droop)"},
    {123, 4, 44, "Peak Current1 (Duty cycle in 5% increments)"},
    {117, 6, 45, "Peak Current1 (Overload period in 20ms)"},
    {112, 5, 43, "Peak Current1 (Percent overload in 10% increments Values higher than 25 (11001b) )are clipped to 250%)"},
    {107, 5, 0, "Touch Current (Reserved)"},
    {106, 1, 0, "Touch Current (Ground pin intended for protective earth when set)"},
    {105, 1, 0, "Touch Current (Ground pin supported when set)"},
    {104, 1, 0, "Touch Current (Low touch Current EPS when set)"},
    {99, 5, 0, "Compliance (Reserved)"},
    {98, 1, 0, "Compliance (PS2 compliant when set)"},
    {97, 1, 0, "Compliance (PS1 compliant when set)"},
    {96, 1, 0, "Compliance (LPS compliant when set)"},
    {88, 8, 48, "Holdup Time"},
    {83, 5, 0, "Voltage Regulation (Reserved)"},
    {82, 1, 47, "Voltage Regulation (IoC)"},
    {80, 2, 46, "Voltage Regulation (Load Step)"},
    {72, 8, 0, "HW Version"},
    {64, 8, 0, "FW Version"},
    {32, 32, 0, "XID"},
    {16, 16, 0, "PID"},
    {0, 16, 0, "VID"},
  }},
  [79] = {"Status data block (SOP)", {
    {54, 2, 0, "Power Status Change (Reserved)"},
    {51, 3, 33, "Power Status Change (New power state indicator)"},
    {48, 3, 34, "Power Status Change (New Power State)"},
    {46, 2, 0, "Power Status (Reserved)"},
    {45, 1, 0, "Power Status (Source power limited due to temperature)"},
    {44, 1, 0, "Power Status (Source power limited due to Event Flags in place (Event Flags must also be set))"},
    {43, 1, 0, "Power Status (Source power limited due to insufficient external power)"},
    {42, 1, 0, "Power Status (Source power limited due to insufficient power available while sourcing other ports)"},
    {41, 1, 0, "Power Status (Source power limited due to cable supported current)"},
    {40, 1, 0, "Power Status (Reserved)"},
    {35, 5, 0, "Temperature Status (Reserved)"},
    {33, 2, 35, "Temperature Status (Temp Status)"},
    {32, 1, 0, "Temperature Status (Reserved)"},
    {29, 3, 0, "Event Flags (Reserved)"},
    {28, 1, 0, "Event Flags (CF mode when set, CV mode when cleared)"},
    {27, 1, 0, "Event Flags (OVP event when set)"},
    {26, 1, 0, "Event Flags (OTP event when set)"},
    {25, 1, 0, "Event Flags (OCP event when set)"},
    {24, 1, 0, "Event Flags (Reserved)"},
    {20, 4, 0, "Present Battery Input (Hot Swappable Battery)"},
    {16, 4, 0, "Present Battery Input (Fixed Battery)"},
    {13, 3, 0, "Present Input (Reserved)"},
    {12, 1, 0, "Present Input (Internal Power from non-Battery power source when set)"},
    {11, 1, 0, "Present Input (Internal Power from Battery when set)"},
    {10, 1, 36, "Present Input (External Power AC/DC (Valid when Bit1 set))"},
    {9, 1, 0, "Present Input (External Power when set)"},
    {8, 1, 0, "Present Input (Reserved)"},
    {0, 8, 37, "Internal Temp"},
  }},
  [80] = {"Status data block (cable)", {
    {9, 7, 0, "Flags (Reserved)"},
    {8, 1, 0, "Flags (Thermal Shutdown"},
    {0, 8, 37, "Internal Temp"},
  }},
  [81] = {"Get_Battery_Cap data block", {
    {0, 8, 0, "Battery Cap Ref"},
  }},
  [82] = {"Get_Battery_Status data block", {
    {0, 8, 0, "Battery Status Ref"},
  }},
  [83] = {"Battery capabilities data block", {
    {65, 7, 0, "Battery Type (Reserved)"},
    {64, 1, 0, "Battery Type (Invalid Battery reference)"},
    {48, 16, 32, "Battery Last Full Charge Capacity"},
    {32, 16, 32, "Battery Design Capacity"},
    {16, 16, 0, "PID"},
    {0, 16, 0, "VID"},
  }},
  [84] = {"Get_Manufacturer_Info data block", {
    {8, 8, 0, "Manufacturer Info Ref"},
    {0, 8, 31, "Manufacturer Info Target"},
  }},
  [85] = {"Manufacturer_Info data block", {
    {32, 184, 0, "Manufacturer String"},
    {16, 16, 0, "PID"},
    {0, 16, 0, "VID"},
  }},
  [86] = {"Security request header", {
    {8, 8, 26, "MessageType"},
    {0, 8, 27, "ProtocolVersion"},
  }},
  [87] = {"Security request payload 0x81", {
    {8, 8, 0, "Param2"},
    {0, 8, 0, "Param1"},
  }},
  [88] = {"Security request payload 0x82", {
    {32, 16, 0, "Length"},
    {16, 16, 0, "Offset"},
    {8, 8, 0, "Param2"},
    {0, 8, 24, "Param1"},
  }},
  [89] = {"Security request payload 0x83", {
    {16, 256, 0, "Nonce"},
    {8, 8, 0, "Param2"},
    {0, 8, 23, "Param1"},
  }},
  [90] = {"Security response header", {
    {8, 8, 25, "MessageType"},
    {0, 8, 27, "ProtocolVersion"},
  }},
  [91] = {"Security response payload 0x01", {
    {1808, 256, 0, "Digest[7]"},
    {1552, 256, 0, "Digest[6]"},
    {1296, 256, 0, "Digest[5]"},
    {1040, 256, 0, "Digest[4]"},
    {784, 256, 0, "Digest[3]"},
    {528, 256, 0, "Digest[2]"},
    {272, 256, 0, "Digest[1]"},
    {16, 256, 0, "Digest[0]"},
    {8, 8, 0, "Param2"},
    {0, 8, 0, "Param1"},
  }},
  [92] = {"Security response payload 0x02", {
    {16, 2048, 0, "CertChain"},
    {8, 8, 0, "Param2"},
    {0, 8, 0, "Param1"},
  }},
  [93] = {"Security response payload 0x03", {
    {816, 512, 0, "Signature"},
    {560, 256, 0, "Context Hash"},
    {304, 256, 0, "Salt"},
    {48, 256, 0, "CertChainHash"},
    {40, 8, 0, "Reserved"},
    {32, 8, 0, "Capabilities"},
    {24, 8, 0, "MaxProtocolVersion"},
    {16, 8, 0, "MinProtocolVersion"},
    {8, 8, 0, "Param2"},
    {0, 8, 0, "Param1"},
  }},
  [94] = {"Security response payload 0x7F", {
    {8, 8, 0, "Param2"},
    {0, 8, 22, "Param1"},
  }},
  [95] = {"Firmware update request header", {
    {8, 8, 29, "MessageType"},
    {0, 8, 30, "ProtocolVersion"},
  }},
  [96] = {"Firmware update request payload 0x82", {
    {48, 16, 0, "FWVersion4"},
    {32, 16, 0, "FWVersion3"},
    {16, 16, 0, "FWVersion2"},
    {0, 16, 0, "FWVersion1"},
  }},
  [97] = {"Firmware update request payload 0x83", {
    {16, 2048, 0, "DataBlock"},
    {0, 16, 0, "DataBlockIndex"},
  }},
  [98] = {"Firmware update request payload 0x84", {
    {16, 2048, 0, "DataBlock"},
    {0, 16, 0, "DataBlockIndex"},
  }},
  [99] = {"Firmware update request payload 0xFF", {
    {16, 2048, 0, "Vendor Defined"},
    {0, 16, 0, "VID"},
  }},
  [100] = {"Firmware update response header", {
    {8, 8, 28, "MessageType"},
    {0, 8, 30, "ProtocolVersion"},
  }},
  [101] = {"Firmware update response payload 0x01", {
    {152, 8, 0, "Flags4"},
    {144, 8, 0, "Flags3"},
    {136, 8, 0, "Flags2"},
    {128, 8, 0, "Flags1"},
    {120, 8, 0, "ImageBank"},
    {104, 16, 0, "FWVersion4"},
    {88, 16, 0, "FWVersion3"},
    {72, 16, 0, "FWVersion2"},
    {56, 16, 0, "FWVersion1"},
    {48, 8, 0, "SiVersion"},
    {40, 8, 0, "HWVersion"},
    {24, 16, 0, "PID"},
    {8, 16, 0, "VID"},
    {0, 8, 0, "Status"},
  }},
  [102] = {"Firmware update response payload 0x02", {
    {16, 24, 0, "MaxImageSize"},
    {8, 8, 0, "WaitTime"},
    {0, 8, 0, "Status"},
  }},
  [103] = {"Firmware update response payload 0x03", {
    {24, 16, 0, "DataBlockNum"},
    {16, 8, 0, "NumDataNR"},
    {8, 8, 0, "WaitTime"},
    {0, 8, 0, "Status"},
  }},
  [104] = {"Firmware update response payload 0x05", {
    {16, 8, 0, "Flags"},
    {8, 8, 0, "WaitTime"},
    {0, 8, 0, "Status"},
  }},
  [105] = {"Firmware update response payload 0x07", {
    {0, 8, 0, "Status"},
  }},
  [106] = {"Firmware update response payload 0x7F", {
    {24, 2040, 0, "Vendor defined"},
    {8, 16, 0, "VID"},
    {0, 8, 0, "Status"},
  }},
  [107] = {"PPS status data block", {
    {24, 8, 0, "Real Time Flags"},
    {16, 8, 20, "Output Current"},
    {0, 16, 21, "Output Voltage"},
  }},
  [108] = {"Country_Info data block", {
    {32, 2048, 0, "Country Specific Data"},
    {16, 16, 0, "Reserved"},
    {8, 8, 0, "Country Code (Second character of the Alpha-2 Country code received in the corresponding Get_Country_Info Message.)"},
    {0, 8, 0, "Country Code (First character of the Alpha-2 Country code received in the corresponding Get_Country_Info Message.)"},
  }},
  [109] = {"Country_Codes data block", {
    {184, 8, 0, "11th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {176, 8, 0, "11th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {168, 8, 0, "10th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {160, 8, 0, "10th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {152, 8, 0, "9th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {144, 8, 0, "9th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {136, 8, 0, "8th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {128, 8, 0, "8th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {120, 8, 0, "7th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {112, 8, 0, "7th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {104, 8, 0, "6th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {96, 8, 0, "6th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {88, 8, 0, "5th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {80, 8, 0, "5th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {72, 8, 0, "4th Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {64, 8, 0, "4th Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {56, 8, 0, "3rd Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {48, 8, 0, "3rd Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {40, 8, 0, "2nd Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {32, 8, 0, "2nd Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {24, 8, 0, "1st Contry Code (Second character of the Alpha-2 Country code defined by [ISO 3166])"},
    {16, 8, 0, "1st Contry Code (First character of the Alpha-2 Country code defined by [ISO 3166])"},
    {8, 8, 0, "Reserved"},
    {0, 8, 0, "Length"},
  }},
  [110] = {"Sink capabilities extended data block", {
    {184, 8, 127, "EPR Sink Maximum PDP (The maximum PDP that the EPR Sink will ever request.)"},
    {176, 8, 127, "EPR Sink Operational PDP (The PDP of the Source that the EPR Sink requires to operate at its normal functionality.)"},
    {168, 8, 127, "EPR Sink Minimum PDP (The PDP of the Source that the EPR Sink requires to operate at its lowest functionality without consuming power from its Battery if it has one.)"},
    {167, 1, 0, "Sink Maximum PDP (Reserved)"},
    {160, 7, 127, "Sink Maximum PDP (The maximum PDP the Sink will ever request.)"},
    {159, 1, 0, "Sink Operational PDP (Reserved)"},
    {152, 7, 127, "Sink Operational PDP (The PDP of the Source that the Sink requires to operate at its normal functionality.)"},
    {151, 1, 0, "Sink Minimum PDP (Reserved)"},
    {144, 7, 127, "Sink Minimum PDP (The PDP of the Source that the Sink requires to operate at its lowest functionality without consuming power from its Battery if it has one.)"},
    {142, 2, 0, "Sink Modes (Reserved)"},
    {141, 1, 0, "Sink Modes (AVS Supported)"},
    {140, 1, 0, "Sink Modes (Battery essentially unlimited)"},
    {139, 1, 0, "Sink Modes (Battery powered)"},
    {138, 1, 0, "Sink Modes (Mains powered)"},
    {137, 1, 0, "Sink Modes (VBUS powered)"},
    {136, 1, 0, "Sink Modes (PPS charging supported)"},
    {132, 4, 0, "Battery Info (Number of Hot Swappable Battery Slots)"},
    {128, 4, 0, "Battery Info (Number of Fixed Batteries)"},
    {120, 8, 42, "Touch Temp"},
    {115, 5, 0, "Compliance (Reserved)"},
    {114, 1, 0, "Compliance (PS2 Source when set)"},
    {113, 1, 0, "Compliance (PS1 Source when set)"},
    {112, 1, 0, "Compliance (LPS Source when set)"},
    {111, 1, 0, "Sink Load Characteristics (Can tolerate VBUS Voltage droop)"},
    {107, 4, 44, "Sink Load Characteristics (Duty cycle in 5% increments when bits 0-4 are non-zero)"},
    {101, 6, 45, "Sink Load Characteristics (Overload period in 20ms when bits 0-4 non-zero)"},
    {96, 5, 43, "Sink Load Characteristics (Percent overload in 10% increments Values higher than 25 (11001b) are clipped to 250%. 00000b is the default)"},
    {90, 6, 0, "Load Step (Reserved)"},
    {88, 2, 46, "Load Step (Load Step)"},
    {80, 8, 38, "SKEDB Version"},
    {72, 8, 0, "HW Version"},
    {64, 8, 0, "FW Version"},
    {32, 32, 0, "XID"},
    {16, 16, 0, "PID"},
    {0, 16, 0, "VID"},
  }},
  [111] = {"Extended control data block", {
    {8, 8, 0, "Data"},
    {0, 8, 7, "Type"},
  }},
}

-- message_names.<class>[1 for revision 1.0 and 2.0, 2 from 3.0][type]
local message_names = {
  control = {
    {[1] = "GoodCRC", [2] = "GotoMin", [3] = "Accept", [4] = "Reject", [5] = "Ping", [6] = "PS_RDY", [7] = "Get_Source_Cap", [8] = "Get_Sink_Cap", [9] = "DR_Swap", [10] = "PR_Swap", [11] = "VCONN_Swap", [12] = "Wait", [13] = "Soft_Reset", [14] = "Data_Reset", [15] = "Data_Reset_Complete", [16] = "Not_Supported", [17] = "Get_Source_Cap_Extended", [18] = "Get_Status", [19] = "FR_Swap", [20] = "Get_PPS_Status", [21] = "Get_Country_Codes", [22] = "Get_Sink_Cap_Extended", [23] = "Get_Source_Info", [24] = "Get_Revision", },
    {[1] = "GoodCRC", [2] = "GotoMin (Deprecated)", [3] = "Accept", [4] = "Reject", [5] = "Ping (Deprecated)", [6] = "PS_RDY", [7] = "Get_Source_Cap", [8] = "Get_Sink_Cap", [9] = "DR_Swap", [10] = "PR_Swap", [11] = "VCONN_Swap", [12] = "Wait", [13] = "Soft_Reset", [14] = "Data_Reset", [15] = "Data_Reset_Complete", [16] = "Not_Supported", [17] = "Get_Source_Cap_Extended", [18] = "Get_Status", [19] = "FR_Swap", [20] = "Get_PPS_Status", [21] = "Get_Country_Codes", [22] = "Get_Sink_Cap_Extended", [23] = "Get_Source_Info", [24] = "Get_Revision", },
  },
  data = {
    {[1] = "Source_Capabilities", [2] = "Request", [3] = "BIST", [4] = "Sink_Capabilities", [5] = "Battery_Status", [6] = "Alert", [7] = "Get_Country_Info", [8] = "Enter_USB", [9] = "EPR_Request", [10] = "EPR_Mode", [11] = "Source_Info", [12] = "Revision", [15] = "Vendor_Defined", },
    {[1] = "Source_Capabilities", [2] = "Request", [3] = "BIST", [4] = "Sink_Capabilities", [5] = "Battery_Status", [6] = "Alert", [7] = "Get_Country_Info", [8] = "Enter_USB", [9] = "EPR_Request", [10] = "EPR_Mode", [11] = "Source_Info", [12] = "Revision", [15] = "Vendor_Defined", },
  },
  extended = {
    {[1] = "Source_Capabilities_Extended", [2] = "Status", [3] = "Get_Battery_Cap", [4] = "Get_Battery_Status", [5] = "Battery_Capabilities", [6] = "Get_Manufacturer_Info", [7] = "Manufacturer_Info", [8] = "Security_Request", [9] = "Security_Response", [10] = "Firmware_Update_Request", [11] = "Firmware_Update_Response", [12] = "PPS_Status", [13] = "Country_Info", [14] = "Country_Codes", [15] = "Sink_Capabilities_Extended", [16] = "Extended_Control", [17] = "EPR_Source_Capabilities", [18] = "EPR_Sink_Capabilities", [30] = "Vendor_Defined_Extended", },
    {[1] = "Source_Capabilities_Extended", [2] = "Status", [3] = "Get_Battery_Cap", [4] = "Get_Battery_Status", [5] = "Battery_Capabilities", [6] = "Get_Manufacturer_Info", [7] = "Manufacturer_Info", [8] = "Security_Request", [9] = "Security_Response", [10] = "Firmware_Update_Request", [11] = "Firmware_Update_Response", [12] = "PPS_Status", [13] = "Country_Info", [14] = "Country_Codes", [15] = "Sink_Capabilities_Extended", [16] = "Extended_Control", [17] = "EPR_Source_Capabilities", [18] = "EPR_Sink_Capabilities", [30] = "Vendor_Defined_Extended", },
  },
}

-- Names of packets that carry no message, by ordered-set kind
local other_kind_names = {[4] = "Hard Reset", [5] = "Cable Reset", }
local unknown_os_name = "(Unknown OS)"
-- END GENERATED TABLES

local usbpd = Proto("usbpd", "USB Power Delivery")

local kind_texts = {
  [1] = "SOP", [2] = "SOP'", [3] = "SOP''", [4] = "Hard Reset", [5] = "Cable Reset",
  [6] = "SOP'_Debug", [7] = "SOP''_Debug", [254] = "Too short", [255] = "Unknown",
}
local message_kinds = { [1] = true, [2] = true, [3] = true, [6] = true, [7] = true }

local pf = {
  version = ProtoField.uint8("usbpd.version", "Format version"),
  channel = ProtoField.uint8("usbpd.channel", "Channel", base.DEC, { [0] = "CC1", [1] = "CC2" }),
  kind = ProtoField.uint8("usbpd.kind", "Ordered set", base.DEC, kind_texts),
  flags = ProtoField.uint8("usbpd.flags", "Flags", base.HEX),
  crc_ok = ProtoField.bool("usbpd.crc_ok", "CRC good", 8, nil, 0x01),
  preamble = ProtoField.bool("usbpd.preamble", "Preamble found", 8, nil, 0x02),
  eop = ProtoField.bool("usbpd.eop", "EOP found", 8, nil, 0x04),
  time = ProtoField.int64("usbpd.time", "Shown time [us]"),
  crc = ProtoField.uint32("usbpd.crc", "CRC", base.HEX),
  length = ProtoField.uint16("usbpd.length", "Message size [bytes]"),
  type = ProtoField.string("usbpd.type", "Message type"),
  header = ProtoField.uint16("usbpd.header", "Message header", base.HEX),
  ext_header = ProtoField.uint16("usbpd.ext_header", "Extended message header", base.HEX),
  message = ProtoField.bytes("usbpd.message", "Message bytes"),
  block = ProtoField.string("usbpd.block", "Block"),
  field = ProtoField.uint32("usbpd.field", "Field", base.HEX),
  field_name = ProtoField.string("usbpd.field.name", "Field name"),
  field_text = ProtoField.string("usbpd.field.text", "Field description"),
}
usbpd.fields = { pf.version, pf.channel, pf.kind, pf.flags, pf.crc_ok, pf.preamble, pf.eop, pf.time, pf.crc,
  pf.length, pf.type, pf.header, pf.ext_header, pf.message, pf.block, pf.field, pf.field_name, pf.field_text }

local ef_bad_crc = ProtoExpert.new("usbpd.bad_crc", "CRC does not match the message", expert.group.CHECKSUM,
  expert.severity.WARN)
local ef_short = ProtoExpert.new("usbpd.short", "Packet shorter than its format", expert.group.MALFORMED,
  expert.severity.ERROR)
usbpd.experts = { ef_bad_crc, ef_short }

-- width (1 to 32) bits from bit on, least significant first; bits past the message read 0.
local function read_bits(bytes, bit, width)
  local value, weight = 0, 1
  for i = 0, width - 1 do
    local b = bit + i
    local byte = bytes[math.floor(b / 8) + 1] or 0
    if math.floor(byte / 2 ^ (b % 8)) % 2 == 1 then value = value + weight end
    weight = weight * 2
  end
  return value
end

local function signed32(v)
  v = v % 4294967296
  if v >= 2147483648 then return v - 4294967296 end
  return v
end

-- Every entry of the table whose masked value matches contributes its text, joined by ", ".
local function value_text(number, value)
  local entries = value_tables[number]
  if not entries then return "" end
  local parts = {}
  for _, e in ipairs(entries) do
    if bit32.band(value, e[1]) == e[2] then
      local ok, text = pcall(string.format, e[3], signed32(value * e[4]))
      parts[#parts + 1] = ok and text or e[3]
    end
  end
  return table.concat(parts, ", ")
end

local piece_formats = { { 4, "%Xh (%d)" }, { 8, "%02Xh (%d)" }, { 12, "%03Xh (%d)" }, { 16, "%04Xh (%d)" },
  { 20, "%05Xh (%d)" }, { 24, "%06Xh (%d)" }, { 28, "%07Xh (%d)" } }
local function piece_text(value, width)
  for _, f in ipairs(piece_formats) do
    if width <= f[1] then return string.format(f[2], value, signed32(value)) end
  end
  return string.format("%08Xh (%d)", value, signed32(value))
end

local function message_name(kind, header, size)
  if not message_kinds[kind] then return other_kind_names[kind] or unknown_os_name end
  if size < 2 then header = 0 end
  local revision = bit32.band(bit32.rshift(header, 6), 3)
  local type = revision >= 2 and bit32.band(header, 0x1F) or bit32.band(header, 0x0F)
  local class = "control"
  if bit32.band(header, 0x80) ~= 0 and bit32.band(header, 0x8000) ~= 0 then
    class = "extended"
  elseif bit32.band(bit32.rshift(header, 12), 7) ~= 0 then
    class = "data"
  end
  return message_names[class][revision >= 2 and 2 or 1][type] or string.format("Unknown(%d)", type)
end

-- One block of the layout: the fields of its list, each over the bytes that hold it.
local function add_block(tree, message, bytes, size, start, list_number, override_table, override_offset)
  local list = field_lists[list_number]
  -- Layouts name every place a block may sit; blocks past the message are not there.
  if not list or start >= size * 8 then return end
  local subtree = tree:add(pf.block, message(math.min(math.floor(start / 8), size - 1), 1), list[1])
  subtree:set_text(string.format("%s (bit %d)", list[1], start))
  for _, f in ipairs(list[2]) do
    local offset, length, table_number, name = f[1], f[2], f[3], f[4]
    local bit = start + offset
    if bit < size * 8 then
      if override_table ~= 0 and offset == override_offset then table_number = override_table end
      local first = math.floor(bit / 8)
      local last = math.min(math.floor((bit + length - 1) / 8), size - 1)
      local range = message(first, last - first + 1)
      local label = name or string.format("Bits %d..%d", offset, offset + length - 1)
      local value = read_bits(bytes, bit, math.min(length, 32))
      local shown
      if length <= 32 then
        shown = piece_text(value, length)
      else
        local hex = {}
        for k = first, last do hex[#hex + 1] = string.format("%02X", bytes[k + 1]) end
        shown = table.concat(hex, " ")
      end
      local description = table_number ~= 0 and value_text(table_number, value) or ""
      local item = subtree:add(pf.field, range, value)
      item:set_text(label .. ": " .. shown .. (description ~= "" and (" " .. description) or ""))
      -- For filters such as usbpd.field.name == "Object Position"; the label already shows them.
      if name then item:add(pf.field_name, range, name):set_hidden() end
      if description ~= "" then item:add(pf.field_text, range, description):set_hidden() end
    end
  end
end

function usbpd.dissector(tvb, pinfo, tree)
  local total = tvb:len()
  if total < 20 then
    local item = tree:add(usbpd, tvb(), "USB Power Delivery")
    item:add_proto_expert_info(ef_short)
    return
  end
  pinfo.cols.protocol = "USBPD"
  local channel = tvb(1, 1):uint()
  local kind = tvb(2, 1):uint()
  local flags = tvb(3, 1):uint()
  local size = tvb(16, 2):le_uint()
  local entries = tvb(18, 1):uint()
  local root = tree:add(usbpd, tvb(), "USB Power Delivery")
  root:add(pf.version, tvb(0, 1))
  root:add(pf.channel, tvb(1, 1))
  root:add(pf.kind, tvb(2, 1))
  local flag_tree = root:add(pf.flags, tvb(3, 1))
  flag_tree:add(pf.crc_ok, tvb(3, 1))
  flag_tree:add(pf.preamble, tvb(3, 1))
  flag_tree:add(pf.eop, tvb(3, 1))
  root:add_le(pf.time, tvb(4, 8))
  root:add_le(pf.length, tvb(16, 2))
  if 20 + size + 6 * entries > total then
    root:add_proto_expert_info(ef_short)
    size = math.max(0, math.min(size, total - 20))
    entries = math.floor((total - 20 - size) / 6)
  end

  local bytes = {}
  for i = 0, size - 1 do bytes[i + 1] = tvb(20 + i, 1):uint() end
  local header = size >= 2 and tvb(20, 2):le_uint() or 0
  local name = message_name(kind, header, size)
  root:add(pf.type, tvb(2, 1), name)
  root:append_text(", " .. (kind_texts[kind] or tostring(kind)) .. ", " .. name)
  local info = string.format("CC%d %s %s", channel + 1, kind_texts[kind] or tostring(kind), name)

  if message_kinds[kind] then
    local crc_item = root:add_le(pf.crc, tvb(12, 4))
    if bit32.band(flags, 1) == 0 then
      crc_item:add_proto_expert_info(ef_bad_crc)
      info = info .. " [bad CRC]"
    end
  end
  if size > 0 then
    local message = tvb(20, size)
    local message_tree = root:add(pf.message, message)
    if size >= 2 then message_tree:add_le(pf.header, tvb(20, 2)) end
    if size >= 4 and message_kinds[kind] and bit32.band(header, 0x8080) == 0x8080 then
      message_tree:add_le(pf.ext_header, tvb(22, 2))
    end
    for e = 0, entries - 1 do
      local at = 20 + size + 6 * e
      local start = tvb(at, 2):le_uint()
      local list_number = tvb(at + 2, 1):uint()
      local override_table = tvb(at + 3, 1):uint()
      local override_offset = tvb(at + 4, 2):le_uint()
      add_block(message_tree, message, bytes, size, start, list_number, override_table, override_offset)
    end
  end
  pinfo.cols.info = info
end

DissectorTable.get("wtap_encap"):add(wtap.USER0, usbpd)
