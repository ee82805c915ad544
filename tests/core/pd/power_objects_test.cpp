#include "pd/power_objects.h"

#include <gtest/gtest.h>

#include "desc_test_packets.h"

namespace zk {
namespace {

using test::MakeDataMessage;
using test::MakeExtendedMessage;

constexpr std::uint32_t Fixed(int mv, int ma) {
  return (static_cast<std::uint32_t>(mv / 50) << 10) | static_cast<std::uint32_t>(ma / 10);
}
constexpr std::uint32_t Bit(int n) { return 1u << n; }

constexpr std::uint32_t kFixed5V3A = Fixed(5000, 3000) | Bit(29) | Bit(26);
constexpr std::uint32_t kBattery = (1u << 30) | (420u << 20) | (100u << 10) | 100u;  // 5-21 V, 25 W
constexpr std::uint32_t kVariable = (2u << 30) | (420u << 20) | (66u << 10) | 200u;  // 3.3-21 V, 2 A
constexpr std::uint32_t kSprPps = (3u << 30) | (210u << 17) | (33u << 8) | 60u;      // 3.3-21 V, 3 A
constexpr std::uint32_t kEprAvs = (3u << 30) | (1u << 28) | (2u << 26) | (480u << 17) | (150u << 8) | 140u;
constexpr std::uint32_t kSprAvs = (3u << 30) | (2u << 28) | (1u << 26) | (300u << 10) | 225u;
constexpr std::uint32_t kUnknownApdo = (3u << 30) | (3u << 28);

struct PdoCase {
  const char* label;
  std::uint32_t pdo;
  PowerRole role;
  const char* longText;
  const char* shortText;
};

class PdoTextTest : public ::testing::TestWithParam<PdoCase> {};

TEST_P(PdoTextTest, LongAndShortForms) {
  const PdoCase& c = GetParam();
  EXPECT_EQ(PdoLongText(c.pdo, c.role), c.longText);
  EXPECT_EQ(PdoShortText(c.pdo, c.role), c.shortText);
}

INSTANTIATE_TEST_SUITE_P(
    Objects, PdoTextTest,
    ::testing::Values(
        PdoCase{"SourceFixed", kFixed5V3A, PowerRole::kSource,
                "<Fixed> 5000[mV]/3000[mA] (Dual-Role Power)(USB Communications)(Peak Current=0)",
                "<Fix>5.00V/3.00A(DRP)(USB Comm)"},
        PdoCase{"SourceFixedAllFlags", Fixed(20000, 5000) | 0x3F800000u | (3u << 20), PowerRole::kSource,
                "<Fixed> 20000[mV]/5000[mA] (Dual-Role Power)(USB Suspend)(Unconstrained)(USB Communications)"
                "(Data-Role Data)(Unchunked)(EPR)(Peak Current=3)",
                "<Fix>20.00V/5.00A(DRP)(USB Suspend)(Unconstrained)(USB Comm)(DRD)(Unchunked)(EPR)"},
        PdoCase{"SourceFixedOddValues", 0x000FFFFFu & ~(3u << 20), PowerRole::kSource,
                "<Fixed> 51150[mV]/10230[mA] (Peak Current=0)", "<Fix>51.15V/10.23A"},
        // Bits 24-23 are the fast role swap current of a sink, not Unchunked and EPR.
        PdoCase{"SinkFixedAllFlags", Fixed(5000, 1500) | 0x3E000000u | (2u << 23), PowerRole::kSink,
                "<Fixed> 5000[mV]/1500[mA] (Dual-Role Power)(Unconstrained)(Higher Capability)(USB Communications)"
                "(Data-Role Data)(FRSwap 1.5A@5V)",
                "<Fix>5.00V/1.50A(DRP)(Unconstrained)(HiCap)(USB Comm)(DRD)(FRSwap 1.5A@5V)"},
        PdoCase{"SinkFixedFrsDefault", Fixed(5000, 900) | (1u << 23), PowerRole::kSink,
                "<Fixed> 5000[mV]/900[mA] (FRSwap Default USB)", "<Fix>5.00V/0.90A(FRSwap Default USB)"},
        PdoCase{"SinkFixedFrs3A", Fixed(5000, 900) | (3u << 23), PowerRole::kSink,
                "<Fixed> 5000[mV]/900[mA] (FRSwap 3.0A@5V)", "<Fix>5.00V/0.90A(FRSwap 3.0A@5V)"},
        PdoCase{"Battery", kBattery, PowerRole::kSource, "<Battery> 5000-21000[mV] (MaxPower=25000[mW])",
                "<Battery>5000-21000[mV](MaxPower=25000[mW])"},
        PdoCase{"SinkBattery", kBattery, PowerRole::kSink, "<Battery> 5000-21000[mV] (MaxPower=25000[mW])",
                "<Battery>5000-21000[mV](MaxPower=25000[mW])"},
        PdoCase{"Variable", kVariable, PowerRole::kSource, "<None-Battery> 3300-21000[mV]/2000[mA] ",
                "<None-Battery>3300-21000[mV]/2000[mA]"},
        PdoCase{"SourcePpsLimited", kSprPps | Bit(27), PowerRole::kSource,
                "<APDO:SPR PPS>3300-21000[mV]/3000[mA](PPSPowerLimited)",
                "<APDO:SPR PPS>3300-21000[mV]/3000[mA](PPSPowerLimited)"},
        PdoCase{"SinkPps", kSprPps | Bit(27), PowerRole::kSink, "<APDO:SPR PPS>3300-21000[mV]/3000[mA]",
                "<APDO:SPR PPS>3300-21000[mV]/3000[mA]"},
        PdoCase{"SourceEprAvs", kEprAvs, PowerRole::kSource,
                "<APDO:EPR AVS>15000-48000[mV](PDP=140[W])(Peak Current=2)",
                "<APDO:EPR AVS>15000-48000[mV](PDP=140[W])(Peak Current=2)"},
        PdoCase{"SinkEprAvs", kEprAvs, PowerRole::kSink, "<APDO:EPR AVS>15000-48000[mV](PDP=140[W])",
                "<APDO:EPR AVS>15000-48000[mV](PDP=140[W])"},
        PdoCase{"SourceSprAvs", kSprAvs, PowerRole::kSource,
                "<APDO:SPR AVS>(9-15[V]:3000[mA])(15-20[V]:2250[mA])(Peak Current=1)",
                "<APDO:SPR AVS>(9-15[V]:3000[mA])(15-20[V]:2250[mA])(Peak Current=1)"},
        PdoCase{"SinkSprAvs", kSprAvs, PowerRole::kSink, "<APDO:SPR AVS>(9-15[V]:3000[mA])(15-20[V]:2250[mA])",
                "<APDO:SPR AVS>(9-15[V]:3000[mA])(15-20[V]:2250[mA])"},
        PdoCase{"UnknownApdo", kUnknownApdo | 0x0FFFFFFFu, PowerRole::kSource, "<APDO:Unknown>", "<APDO:Unknown>"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CapabilitiesTest, LongFormNumbersEveryObjectAndEndsEachWithABlank) {
  auto p = MakeDataMessage(1, {kFixed5V3A, kSprPps});
  EXPECT_EQ(SourceCapabilitiesDescription(*p),
            "[1]<Fixed> 5000[mV]/3000[mA] (Dual-Role Power)(USB Communications)(Peak Current=0) "
            "[2]<APDO:SPR PPS>3300-21000[mV]/3000[mA] ");
  auto sink = MakeDataMessage(4, {Fixed(5000, 900)});
  EXPECT_EQ(SinkCapabilitiesDescription(*sink), "[1]<Fixed> 5000[mV]/900[mA]  ");
}

TEST(CapabilitiesTest, LongFormReadsOnlyTheObjectsTheMessageCarries) {
  auto p = MakeDataMessage(1, {kFixed5V3A, kBattery});
  p->m_Bytes[1] = static_cast<std::uint8_t>((p->m_Bytes[1] & 0x8F) | (7 << 4));  // header claims 7 objects
  EXPECT_EQ(SourceCapabilitiesDescription(*p).find("[3]"), std::string::npos);
  EXPECT_NE(SourceCapabilitiesDescription(*p).find("[2]<Battery>"), std::string::npos);
}

TEST(CapabilitiesTest, LongFormOfAnExtendedPacketIsEmpty) {
  auto p = MakeExtendedMessage(1, test::WordBytes({kFixed5V3A}));
  EXPECT_EQ(SourceCapabilitiesDescription(*p), "");
}

// A chunked EPR_Source_Capabilities as the message context leaves it on its packets.
std::unique_ptr<CCCPacket> EprCapsChunk(std::shared_ptr<std::vector<std::uint8_t>> buffer, int offset, int extSize) {
  auto p = MakeExtendedMessage(17, std::vector<std::uint8_t>(26, 0));
  p->m_ExtSelf = false;
  p->m_pExtBuf = std::move(buffer);
  p->m_ExtSize = extSize;
  p->m_ExtOffset = offset;
  return p;
}

TEST(CapabilitiesTest, ShortFormSkipsZeroPaddingButKeepsPositions) {
  const std::uint32_t spr = Fixed(5000, 3000);
  auto buffer =
      std::make_shared<std::vector<std::uint8_t>>(test::WordBytes({kFixed5V3A, spr, spr, spr, kSprPps, 0, 0, kEprAvs}));
  auto first = EprCapsChunk(buffer, 0, 32);
  EXPECT_EQ(EprSourceCapabilitiesDescription(*first),
            "[1]<Fix>5.00V/3.00A(DRP)(USB Comm) [2]<Fix>5.00V/3.00A [3]<Fix>5.00V/3.00A [4]<Fix>5.00V/3.00A "
            "[5]<APDO:SPR PPS>3300-21000[mV]/3000[mA] [8]<APDO:EPR AVS>15000-48000[mV](PDP=140[W])(Peak Current=2) ");
  EXPECT_EQ(EprSinkCapabilitiesDescription(*first).substr(0, 18), "[1]<Fix>5.00V/3.00");
  EXPECT_EQ(EprSourceCapabilitiesDescription(*EprCapsChunk(buffer, 26, 32)), "");
}

TEST(CapabilitiesTest, ShortFormNeverReadsBeyondTheData) {
  // Data sizes larger than the buffer, or than the bytes of a self-described message.
  auto buffer = std::make_shared<std::vector<std::uint8_t>>(test::WordBytes({kFixed5V3A, kBattery}));
  EXPECT_EQ(EprSourceCapabilitiesDescription(*EprCapsChunk(buffer, 0, 260)),
            "[1]<Fix>5.00V/3.00A(DRP)(USB Comm) [2]<Battery>5000-21000[mV](MaxPower=25000[mW]) ");
  auto self = MakeExtendedMessage(17, test::WordBytes({kFixed5V3A}));
  self->m_ExtSize = 511;
  EXPECT_EQ(EprSourceCapabilitiesDescription(*self), "[1]<Fix>5.00V/3.00A(DRP)(USB Comm) ");
  auto none = MakeExtendedMessage(17, {});
  EXPECT_EQ(EprSourceCapabilitiesDescription(*none), "");
  EXPECT_EQ(EprSourceCapabilitiesDescription(*MakeDataMessage(17, {kFixed5V3A})), "");
}

constexpr std::uint32_t Rdo(int position, int field19to10, int field9to0) {
  return (static_cast<std::uint32_t>(position) << 28) | (static_cast<std::uint32_t>(field19to10) << 10) |
         static_cast<std::uint32_t>(field9to0);
}

struct RequestCase {
  const char* label;
  std::uint32_t rdo;
  const char* text;
};

class RequestTest : public ::testing::TestWithParam<RequestCase> {
 protected:
  std::unique_ptr<CCCPacket> m_Caps =
      MakeDataMessage(1, {kFixed5V3A, kBattery, kVariable, kSprPps, kEprAvs, kSprAvs, kUnknownApdo});
};

TEST_P(RequestTest, ReadsTheRdoAgainstTheSelectedPdo) {
  auto request = MakeDataMessage(2, {GetParam().rdo});
  request->m_pSourceCaps = m_Caps.get();
  EXPECT_EQ(RequestDescription(*request), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RequestTest,
    ::testing::Values(
        RequestCase{"Fixed", Rdo(1, 150, 300),
                    "Position=1<Fixed> (Operating Current=1500[mA])(Max Operating Current=3000[mA])"},
        RequestCase{"FixedGiveBackAndFlags", Rdo(1, 150, 100) | 0x0FC00000u,
                    "Position=1<Fixed> (Operating Current=1500[mA])(Min Operating Current=1000[mA])(GiveBack)"
                    "(Capability Mismatch)(USB Commincations Capable)(No USB Suspend)(Unchunked)(EPR)"},
        RequestCase{"Battery", Rdo(2, 40, 60),
                    "Position=2<Battery> (Operating Power=10000[mW])(Max Operating Power=15000[mW])"},
        RequestCase{"BatteryGiveBack", Rdo(2, 40, 20) | Bit(27),
                    "Position=2<Battery> (Operating Power=10000[mW])(Min Operating Power=5000[mW])(GiveBack)"},
        RequestCase{"Variable", Rdo(3, 100, 200),
                    "Position=3<Variable> (Operating Current=1000[mA])(Max Operating Current=2000[mA])"},
        RequestCase{"SprPps", (4u << 28) | (450u << 9) | 60u,
                    "Position=4<APDO:SPR PPS> (Operating Current=3000[mA])(Output Voltage=9000[mV])"},
        // The AVS output voltage reaches bit 20, which the PPS field does not include.
        RequestCase{"EprAvs", (5u << 28) | (1120u << 9) | 100u,
                    "Position=5<APDO:EPR AVS> (Operating Current=5000[mA])(Output Voltage=28000[mV])"},
        RequestCase{"SprAvs", (6u << 28) | (600u << 9) | 40u,
                    "Position=6<APDO:SPR AVS> (Operating Current=2000[mA])(Output Voltage=15000[mV])"},
        RequestCase{"UnknownApdo", (7u << 28) | Bit(26) | 0x3FFu, "Position=7<APDO:Unknown> (Capability Mismatch)"},
        RequestCase{"PositionZero", Rdo(0, 150, 300) | Bit(26), "Position=0"},
        RequestCase{"PositionBeyondCaps", Rdo(8, 150, 300) | Bit(26), "Position=8"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(RequestDescriptionTest, WithoutLinkedCapabilitiesOnlyThePosition) {
  EXPECT_EQ(RequestDescription(*MakeDataMessage(2, {Rdo(3, 150, 300) | Bit(26)})), "Position=3");
}

TEST(RequestDescriptionTest, CountsAndClassesOutsideTheRequestShape) {
  EXPECT_EQ(RequestDescription(*MakeDataMessage(2, {Rdo(1, 1, 1), Rdo(1, 1, 1)})), "Invalid Data Objects Count.");
  auto truncated = MakeDataMessage(2, {Rdo(1, 1, 1)});
  truncated->m_ByteCount = 4;  // header announces one object, the bytes hold half of it
  EXPECT_EQ(RequestDescription(*truncated), "Invalid Data Objects Count.");
  EXPECT_EQ(RequestDescription(*MakeExtendedMessage(2, test::WordBytes({Rdo(1, 1, 1)}))), "");
}

TEST(RequestDescriptionTest, EprRequestReadsItsOwnPdoCopy) {
  auto request = MakeDataMessage(9, {(8u << 28) | (1120u << 9) | 100u | Bit(22), kEprAvs});
  EXPECT_EQ(EprRequestDescription(*request),
            "Position=8<APDO:EPR AVS> (Operating Current=5000[mA])(Output Voltage=28000[mV])(EPR)");
  EXPECT_EQ(EprRequestDescription(*MakeDataMessage(9, {Rdo(1, 1, 1)})), "Invalid Data Objects Count.");
}

struct RatingCase {
  int type;
  std::vector<std::uint8_t> data;
  const char* text;
};

std::vector<std::uint8_t> RatingData(int size, std::initializer_list<std::pair<int, std::uint8_t>> bytes) {
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size), 0);
  for (auto [at, value] : bytes) data[static_cast<std::size_t>(at)] = value;
  return data;
}

class CapabilitiesExtendedTest : public ::testing::TestWithParam<RatingCase> {};

TEST_P(CapabilitiesExtendedTest, ShowsTheRatingsTheDataSizeHolds) {
  auto p = MakeExtendedMessage(GetParam().type, GetParam().data);
  const std::string text =
      GetParam().type == 1 ? SourceCapabilitiesExtendedDescription(*p) : SinkCapabilitiesExtendedDescription(*p);
  EXPECT_EQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Ratings, CapabilitiesExtendedTest,
    ::testing::Values(RatingCase{1, RatingData(25, {{23, 0x80 | 60}, {24, 140}}),
                                 "(SPR Source Rating=60[W])(EPR Source Rating=140[W])"},
                      RatingCase{1, RatingData(24, {{23, 100}}), "(SPR Source Rating=100[W])"},
                      RatingCase{1, RatingData(23, {{22, 100}}), ""},
                      RatingCase{15, RatingData(21, {{18, 0x85}, {19, 10}, {20, 60}}),
                                 "(Sink Min/Ope/Max PDP=5/10/60[W])"},
                      RatingCase{15, RatingData(24, {{18, 5}, {19, 10}, {20, 60}, {21, 100}, {22, 140}, {23, 240}}),
                                 "(Sink Min/Ope/Max PDP=5/10/60[W])(EPR Sink Min/Ope/Max PDP=100/140/240[W])"},
                      RatingCase{15, RatingData(20, {}), ""}));

TEST(CapabilitiesExtendedTest, LaterChunksAndMissingDataAreEmpty) {
  auto p = MakeExtendedMessage(1, RatingData(25, {{23, 60}}));
  p->m_ExtOffset = 26;
  EXPECT_EQ(SourceCapabilitiesExtendedDescription(*p), "");
  auto claimed = MakeExtendedMessage(15, RatingData(8, {}));
  claimed->m_ExtSize = 24;  // more than the message carries
  EXPECT_EQ(SinkCapabilitiesExtendedDescription(*claimed), "");
}

}  // namespace
}  // namespace zk
