#include "pd/descriptions.h"

#include <gtest/gtest.h>

#include "desc_test_packets.h"
#include "pd/power_objects.h"
#include "pd/vdm_descriptions.h"

namespace zk {
namespace {

using test::MakeDataMessage;
using test::MakeExtendedMessage;
using test::MakeHeader;
using test::MakeMessage;

struct DataCase {
  const char* label;
  int type;
  std::vector<std::uint32_t> objects;
  const char* text;
};

class DataDescriptionTest : public ::testing::TestWithParam<DataCase> {};

TEST_P(DataDescriptionTest, DescribesTheDataObjects) {
  const DataCase& c = GetParam();
  EXPECT_EQ(MessageDescription(*MakeDataMessage(c.type, c.objects)), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, DataDescriptionTest,
    ::testing::Values(
        DataCase{"BistCarrier2", 3, {0x5000ABCDu}, "BIST Carrier Mode 2 (16-bit unsigned integer = ABCDh)"},
        DataCase{"BistReturned", 3, {0x20000001u}, "Returend BIST Counters (16-bit unsigned integer = 0001h)"},
        DataCase{"BistSharedExit", 3, {0xA0000000u}, "BIST Shared Test Mode Exit (16-bit unsigned integer = 0000h)"},
        DataCase{"BistUnknown", 3, {0xC0120034u}, "(Unknown BIST code 12) (16-bit unsigned integer = 0034h)"},
        DataCase{"CountryInfo", 7, {0x55530000u}, "CCDO=55530000h)"},
        DataCase{"EnterUsb4Everything",
                 8,
                 {0x267FE000u},
                 "USB Mode=USB4 (USB4 DRD)(USB3 DRD)(CableSpeed=USB4 Gen3)(CableType=Optically isolated)"
                 "(CableCurrent=5A)(PCIe Support)(DP Support)(TBT Support)(Host Present)"},
        DataCase{"EnterUsb2Plain", 8, {0x00000000u}, "USB Mode=USB2.0 (CableSpeed=USB2.0 only)(CableType=Passive)"},
        DataCase{"EnterUsbOddValues",
                 8,
                 {0x70A00000u | (1u << 19) | (1u << 17)},
                 "USB Mode=Unknown (CableType=Active Re-timer)"},
        DataCase{"EnterUsbTwoObjects", 8, {0u, 0u}, "Invalid Data Objects Count."},
        DataCase{"EprModeEnter", 10, {0x018C0000u}, "Enter (EPR Sink Operational PDP=140[W])"},
        DataCase{"EprModeAck", 10, {0x02000000u}, "Enter Acknowledged"},
        DataCase{"EprModeSucceeded", 10, {0x03000000u}, "Enter Succeeded"},
        DataCase{"EprModeFailedCable", 10, {0x04010000u}, "Enter Failed (Cable not EPR capable)"},
        DataCase{"EprModeFailedPdo", 10, {0x04050000u}, "Enter Failed (EPR Mode Capable bit not set in PDO)"},
        DataCase{"EprModeFailedOther", 10, {0x04070000u}, "Enter Failed "},
        DataCase{"EprModeExit", 10, {0x05000000u}, "Exit"},
        DataCase{"EprModeUnknown", 10, {0x00000000u}, "(Unknown Action)"},
        DataCase{"SourceInfoOne",
                 11,
                 {0x801E1B1Au},
                 "Port Type=Guaranteed(Max PDP=30[W])(Present PDP=27[W])(Reported PDP=26[W])"},
        DataCase{"SourceInfoTwo",
                 11,
                 {0x00646464u, 0x40000000u | (281u << 9) | 201u},
                 "Port Type=Managed(Max PDP=100[W])(Present PDP=100[W])(Reported PDP=100[W]) [SIDO2] "
                 "(PortType=Managed)(DPS Port)(Max PDP=140.5[W])(Guaranteed PDP=100.5[W])"},
        DataCase{"SourceInfoTwoGuaranteed",
                 11,
                 {0u, 0x80000000u},
                 "Port Type=Managed(Max PDP=0[W])(Present PDP=0[W])(Reported PDP=0[W]) [SIDO2] "
                 "(PortType=Guaranteed)(Non DPS port)(Max PDP=0.0[W])(Guaranteed PDP=0.0[W])"},
        DataCase{"Revision", 12, {0x31120000u}, "Revision 3.1, Version 1.2"},
        DataCase{"BatteryStatus", 5, {0x12345678u}, ""}, DataCase{"Alert", 6, {0x12345678u}, ""},
        DataCase{"Data13", 13, {0x12345678u}, ""}),
    [](const auto& info) { return std::string(info.param.label); });

// A data message whose header announces an object its bytes do not hold.
std::unique_ptr<CCCPacket> WithoutObjectBytes(int type) {
  auto p = MakeDataMessage(type, {0xFFFFFFFFu});
  p->m_ByteCount = 2;
  return p;
}

TEST(DataDescriptionTest, MissingObjectsGiveTheFixedTexts) {
  EXPECT_EQ(MessageDescription(*WithoutObjectBytes(3)), "No BIST DO");
  EXPECT_EQ(MessageDescription(*WithoutObjectBytes(7)), "No Country Code DO");
  EXPECT_EQ(MessageDescription(*WithoutObjectBytes(8)), "Invalid Data Objects Count.");
  EXPECT_EQ(MessageDescription(*WithoutObjectBytes(10)), "(No EPR Mode Data Object)");
  EXPECT_EQ(MessageDescription(*WithoutObjectBytes(11)), "(No Source Info Data Object)");
  EXPECT_EQ(MessageDescription(*WithoutObjectBytes(12)), "(No Revision Data Object)");
}

TEST(DescriptionDispatchTest, RoutesByClassAndType) {
  auto caps = MakeDataMessage(1, {0x0001912Cu});
  EXPECT_EQ(MessageDescription(*caps), SourceCapabilitiesDescription(*caps));
  auto vdm = MakeDataMessage(15, {0xFF008041u});
  EXPECT_EQ(MessageDescription(*vdm), VendorDefinedDescription(*vdm));
  auto extControl = MakeExtendedMessage(16, {3, 0});
  EXPECT_EQ(MessageDescription(*extControl), "EPR_KeepAlive");
  auto sinkExt = MakeExtendedMessage(15, std::vector<std::uint8_t>(21, 7));
  EXPECT_EQ(MessageDescription(*sinkExt), "(Sink Min/Ope/Max PDP=7/7/7[W])");
  // SOP'' debug messages are described like any other message kind.
  auto debugRevision = MakeMessage(MakeHeader({.type = 12, .objects = 1}), {0x30000000u}, kKindSopPPDebug);
  EXPECT_EQ(MessageDescription(*debugRevision), "Revision 3.0, Version 0.0");
}

TEST(DescriptionDispatchTest, UndescribedPacketsAreEmpty) {
  EXPECT_EQ(MessageDescription(*MakeMessage(MakeHeader({.type = 3}))), "");                      // Accept
  EXPECT_EQ(MessageDescription(*MakeExtendedMessage(2, std::vector<std::uint8_t>(7, 1))), "");   // Status
  EXPECT_EQ(MessageDescription(*MakeExtendedMessage(12, std::vector<std::uint8_t>(4, 1))), "");  // PPS_Status
  EXPECT_EQ(MessageDescription(*MakeExtendedMessage(30, std::vector<std::uint8_t>(8, 1))), "");
  auto hardReset = MakeDataMessage(12, {0x30000000u});
  hardReset->m_Kind = kKindHardReset;
  EXPECT_EQ(MessageDescription(*hardReset), "");
  hardReset->m_Kind = kKindUnknown;
  EXPECT_EQ(MessageDescription(*hardReset), "");
}

TEST(DescriptionDispatchTest, ExtendedPacketsNeverReachTheDataDecoders) {
  auto p = MakeExtendedMessage(3, test::WordBytes({0x50000000u}));
  EXPECT_EQ(BistDescription(*p), "");
  EXPECT_EQ(EnterUsbDescription(*p), "");
  EXPECT_EQ(RevisionDescription(*p), "");
}

}  // namespace
}  // namespace zk
