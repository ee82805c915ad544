#include "pd/message_names.h"

#include <gtest/gtest.h>

#include "desc_test_packets.h"

namespace zk {
namespace {

using test::HeaderFields;
using test::MakeHeader;
using test::MakeMessage;

struct NameCase {
  const char* label;
  HeaderFields header;
  int kind;
  const char* name;
};

class MessageNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(MessageNameTest, NamesThePacket) {
  const NameCase& c = GetParam();
  auto p = MakeMessage(MakeHeader(c.header), {}, c.kind);
  EXPECT_EQ(MessageName(*p), c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, MessageNameTest,
    ::testing::Values(
        NameCase{"GoodCrc", {.type = 1}, kKindSop, "GoodCRC"},
        NameCase{"GotoMinRev3", {.type = 2, .revision = 2}, kKindSop, "GotoMin (Deprecated)"},
        NameCase{"GotoMinRev2", {.type = 2, .revision = 1}, kKindSop, "GotoMin"},
        NameCase{"PingRev3", {.type = 5, .revision = 3}, kKindSop, "Ping (Deprecated)"},
        NameCase{"PingRev1", {.type = 5, .revision = 0}, kKindSop, "Ping"},
        NameCase{"LastControl", {.type = 24}, kKindSop, "Get_Revision"},
        NameCase{"ControlZero", {.type = 0}, kKindSop, "Unknown(0)"},
        NameCase{"ControlPastTable", {.type = 25}, kKindSop, "Unknown(25)"},
        // Revision 2.0 drops bit 4: type 16 reads as type 0.
        NameCase{"Rev2DropsBit4", {.type = 16, .revision = 1}, kKindSop, "Unknown(0)"},
        NameCase{"Rev2Bit4Data", {.type = 17, .objects = 1, .revision = 1}, kKindSop, "Source_Capabilities"},
        NameCase{"Request", {.type = 2, .objects = 1}, kKindSop, "Request"},
        NameCase{"Revision", {.type = 12, .objects = 1}, kKindSop, "Revision"},
        NameCase{"Data13", {.type = 13, .objects = 1}, kKindSop, "Unknown(13)"},
        NameCase{"Data14", {.type = 14, .objects = 1}, kKindSop, "Unknown(14)"},
        NameCase{"Vdm", {.type = 15, .objects = 1}, kKindSop, "Vendor_Defined"},
        NameCase{"ExtFirst", {.type = 1, .objects = 1, .extended = true}, kKindSop, "Source_Capabilities_Extended"},
        NameCase{"ExtControl", {.type = 16, .objects = 1, .extended = true}, kKindSop, "Extended_Control"},
        NameCase{"EprSinkCaps", {.type = 18, .objects = 1, .extended = true}, kKindSop, "EPR_Sink_Capabilities"},
        NameCase{"ExtVdm", {.type = 30, .objects = 1, .extended = true}, kKindSop, "Vendor_Defined_Extended"},
        NameCase{"Ext19", {.type = 19, .objects = 1, .extended = true}, kKindSop, "Unknown(19)"},
        NameCase{"Ext31", {.type = 31, .objects = 1, .extended = true}, kKindSop, "Unknown(31)"},
        // The extended bit counts only from revision 3.0 on.
        NameCase{"Rev2ExtBitData",
                 {.type = 1, .objects = 2, .revision = 1, .extended = true},
                 kKindSop,
                 "Source_Capabilities"},
        NameCase{"Rev2ExtBitControl", {.type = 3, .revision = 1, .extended = true}, kKindSop, "Accept"},
        NameCase{"SopPrimeSameTables", {.type = 15, .objects = 1}, kKindSopP, "Vendor_Defined"},
        NameCase{"SopDebugSameTables", {.type = 3}, kKindSopPPDebug, "Accept"},
        NameCase{"HardReset", {}, kKindHardReset, "Hard Reset"},
        NameCase{"CableReset", {}, kKindCableReset, "Cable Reset"},
        NameCase{"TooShort", {.type = 3}, kKindTooShort, "(Unknown OS)"},
        NameCase{"Unrecognised", {.type = 3}, kKindUnknown, "(Unknown OS)"},
        NameCase{"KindZero", {.type = 3}, 0, "(Unknown OS)"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(MessageNameTest, EveryTableNameIsSpelledAsShown) {
  // A few names that are easy to mistype.
  EXPECT_EQ(MessageTypeName(MessageClass::kControl, 15, 2), "Data_Reset_Complete");
  EXPECT_EQ(MessageTypeName(MessageClass::kControl, 17, 2), "Get_Source_Cap_Extended");
  EXPECT_EQ(MessageTypeName(MessageClass::kData, 11, 2), "Source_Info");
  EXPECT_EQ(MessageTypeName(MessageClass::kExtended, 11, 2), "Firmware_Update_Response");
  EXPECT_EQ(MessageTypeName(MessageClass::kExtended, 15, 2), "Sink_Capabilities_Extended");
}

TEST(RevisionTextTest, ReadsTheRevisionFieldOfMessagesOnly) {
  EXPECT_EQ(RevisionText(0), "1.0");
  EXPECT_EQ(RevisionText(1), "2.0");
  EXPECT_EQ(RevisionText(2), "3.0");
  EXPECT_EQ(RevisionText(3), "Rsv(3)");
  EXPECT_EQ(RevisionText(*MakeMessage(MakeHeader({.type = 1, .revision = 3}))), "Rsv(3)");
  EXPECT_EQ(RevisionText(*MakeMessage(MakeHeader({.type = 1, .revision = 1}), {}, kKindSopPDebug)), "2.0");
  EXPECT_EQ(RevisionText(*MakeMessage(MakeHeader({.type = 1, .revision = 2}), {}, kKindHardReset)), "");
}

struct ExtControlCase {
  int dataSize;
  std::vector<std::uint8_t> data;
  const char* text;
};

class ExtendedControlTest : public ::testing::TestWithParam<ExtControlCase> {};

TEST_P(ExtendedControlTest, ReadsTheSubType) {
  const ExtControlCase& c = GetParam();
  auto p = test::MakeExtendedMessage(16, c.data);
  const std::uint16_t x = test::MakeExtendedHeader(c.dataSize);
  p->m_Bytes[2] = static_cast<std::uint8_t>(x);
  p->m_Bytes[3] = static_cast<std::uint8_t>(x >> 8);
  EXPECT_EQ(ExtendedControlDescription(*p), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    SubTypes, ExtendedControlTest,
    ::testing::Values(ExtControlCase{2, {1, 0}, "EPR_Get_Source_Cap"}, ExtControlCase{2, {2, 0}, "EPR_Get_Sink_Cap"},
                      ExtControlCase{2, {3, 0}, "EPR_KeepAlive"}, ExtControlCase{2, {4, 0}, "EPR_KeepAlive_Ack"},
                      ExtControlCase{2, {0, 0}, "(Invalid Type)"}, ExtControlCase{2, {5, 0}, "(Invalid Type)"},
                      ExtControlCase{1, {3}, ""}, ExtControlCase{0, {}, ""},
                      // The header claims data the message does not carry.
                      ExtControlCase{2, {}, ""}));

}  // namespace
}  // namespace zk
