#include "pd/summary_fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <random>

#include "desc_test_packets.h"
#include "pd/descriptions.h"
#include "pd/framing.h"
#include "record/capture_store.h"
#include "record/loader.h"

namespace zk {
namespace {

using test::MakeDataMessage;
using test::MakeHeader;
using test::MakeMessage;

constexpr std::uint32_t kFixed5V3A = 0x0001912Cu;

void SetBits(CCCPacket& p, const char* bits) {
  p.m_pBits.Clear();
  for (const char* c = bits; *c; ++c) p.m_pBits.PushBack(*c == '1');
  p.m_BitCount = p.m_pBits.Size();
}

void SetMeasures(CCCPacket& p) {
  p.m_HasMeasure = 1;
  p.m_VbusVoltage = 5000;
  p.m_VbusCurrent = -1500;
  p.m_CC1Voltage = 1681;
  p.m_CC2Voltage = 0;
  p.m_CC1Current = 12;
  p.m_CC2Current = -3;
}

class SummaryFieldsTest : public ::testing::Test {
 protected:
  SummaryFieldsTest() { m_Store.m_TimeOrigin = 500000; }

  // A Source_Capabilities from a DFP source on CC2 with every framing result set.
  std::unique_ptr<CCCPacket> GoodPacket() {
    auto p =
        MakeMessage(MakeHeader({.type = 1, .objects = 1, .revision = 2, .messageId = 3, .powerRole = 1, .dataRole = 1}),
                    {kFixed5V3A});
    p->m_pStore = &m_Store;
    p->m_Index = 7;
    p->m_IdleTime = 1234;
    p->m_Time = 2000000;
    p->m_TotalTicks = 1000;
    p->m_TickDiv = 20;
    p->m_Channel = 1;
    p->m_EdgeCount = 321;
    p->m_Crc = 0xDEADBEEF;
    p->m_PreambleLen = 64;
    p->m_UnitInterval = 3.333f;
    test::SetSymbols(*p, {kSymSync1, kSymSync1, kSymSync1, kSymSync2, 0x1, 0xA, kSymEop});
    SetMeasures(*p);
    return p;
  }

  CaptureStore m_Store;
};

using Row = std::array<const char*, kSummaryFieldCount>;

void ExpectRow(const CCCPacket& p, bool invert, const Row& expected) {
  for (int id = 0; id < kSummaryFieldCount; ++id) {
    EXPECT_EQ(CellText(p, id, invert), expected[static_cast<std::size_t>(id)]) << "column " << id;
  }
}

TEST_F(SummaryFieldsTest, GoodMessageFillsEveryColumn) {
  auto p = GoodPacket();
  ExpectRow(*p, false,
            {"7",
             "  0s   1ms 234us",
             "  1s 500ms   0us",
             "416",
             "5.00",
             "-1.500",
             "CC2",
             "SOP",
             "Source",
             "DFP",
             "",
             "Source_Capabilities",
             "3",
             "3.0",
             "1",
             "0",
             "",
             "",
             "",
             "",
             "",
             "[1]<Fixed> 5000[mV]/3000[mA] (Peak Current=0) ",
             "6",
             "17A1h",
             "[1]:0001912Ch ",
             "[SYNC-1][SYNC-1][SYNC-1][SYNC-2]1A[EOP]",
             "DEADBEEFh",
             "321",
             "1.68",
             "0.012",
             "0.00",
             "-0.003",
             "00011000110001110001100100110110110 (35bits)",
             "64",
             "3.333",
             "A1 17 2C 91 01 00",
             "..,...",
             "-7.500"});
}

TEST_F(SummaryFieldsTest, InvertCurrentNegatesOnlyTheCurrentCells) {
  auto p = GoodPacket();
  for (int id = 0; id < kSummaryFieldCount; ++id) {
    const bool currentCell = id == 5 || id == 29 || id == 31 || id == 37;
    if (!currentCell) {
      EXPECT_EQ(CellText(*p, id, true), CellText(*p, id, false)) << "column " << id;
    }
  }
  EXPECT_EQ(CellText(*p, 5, true), "1.500");
  EXPECT_EQ(CellText(*p, 29, true), "-0.012");
  EXPECT_EQ(CellText(*p, 31, true), "0.003");
  EXPECT_EQ(CellText(*p, 37, true), "7.500");
  EXPECT_EQ(NumericKey(*p, 5), -1500);
}

TEST_F(SummaryFieldsTest, GoodMessageKeys) {
  auto p = GoodPacket();
  const std::array<std::int64_t, kSummaryFieldCount> expected = {
      7,  1234, 2000000, 416, 5000,   -1500, 1,  1,          1,   1,    -1, 1, 3,  2,  1,  0,    -1, -1, -1,
      -1, -1,   -1,      6,   0x17A1, -1,    -1, 0xDEADBEEF, 321, 1681, 12, 0, -3, -1, 64, 3333, -1, -1, -7500000};
  for (int id = 0; id < kSummaryFieldCount; ++id) {
    EXPECT_EQ(NumericKey(*p, id), expected[static_cast<std::size_t>(id)]) << "column " << id;
  }
}

TEST_F(SummaryFieldsTest, PacketWithoutPreambleFillsOnlyTheRawColumns) {
  CCCPacket p;
  p.m_pStore = &m_Store;
  p.m_Time = 500000;
  p.m_EdgeCount = 12;
  SetMeasures(p);
  ExpectRow(p, false,
            {"-1",
             "  0s   0ms   0us",
             "  0s   0ms   0us",
             "0",
             "5.00",
             "-1.500",
             "CC1",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "12",
             "1.68",
             "0.012",
             "0.00",
             "-0.003",
             " (0bits)",
             "0",
             "0.000(Bad)",
             "",
             "",
             "-7.500"});
  EXPECT_EQ(NumericKey(p, 7), kKindTooShort);
  EXPECT_EQ(NumericKey(p, 26), 0xFFFFFFFFLL);
  EXPECT_EQ(NumericKey(p, 33), -1);
  EXPECT_EQ(NumericKey(p, 34), -1);
}

TEST_F(SummaryFieldsTest, HardResetHasNoHeaderCells) {
  CCCPacket p;
  p.m_Kind = kKindHardReset;
  p.m_PreambleFound = 1;
  p.m_UnitInterval = 3.3f;
  EXPECT_EQ(CellText(p, 7, false), "Hard Reset");
  EXPECT_EQ(CellText(p, 22, false), "0");
  EXPECT_EQ(CellText(p, 26, false), "-");
  EXPECT_EQ(CellText(p, 11, false), "");
  EXPECT_EQ(CellText(p, 21, false), "");
  EXPECT_EQ(CellText(p, 35, false), "");
  EXPECT_EQ(CellText(p, 34, false), "3.300");
  EXPECT_EQ(NumericKey(p, 22), -1);
}

TEST_F(SummaryFieldsTest, BadCrcKeepsFramingCellsAndDropsHeaderCells) {
  auto p = GoodPacket();
  p->m_CrcOk = 0;
  EXPECT_EQ(CellText(*p, 7, false), "SOP");
  EXPECT_EQ(CellText(*p, 22, false), "6");
  EXPECT_EQ(CellText(*p, 25, false), "[SYNC-1][SYNC-1][SYNC-1][SYNC-2]1A[EOP]");
  EXPECT_EQ(CellText(*p, 26, false), "DEADBEEFh(Bad)");
  EXPECT_EQ(CellText(*p, 35, false), "A1 17 2C 91 01 00");
  for (int id : {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 23, 24}) {
    EXPECT_EQ(CellText(*p, id, false), "") << "column " << id;
    EXPECT_EQ(NumericKey(*p, id), -1) << "column " << id;
  }
  EXPECT_EQ(NumericKey(*p, 22), -1);
}

struct KindCase {
  int kind;
  int powerRole;
  const char* os;
  const char* power;
  const char* data;
  const char* cablePlug;
};

class OrderedSetColumnsTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(OrderedSetColumnsTest, RoleColumnsFollowTheOrderedSet) {
  const KindCase& c = GetParam();
  auto p = MakeMessage(MakeHeader({.type = 3, .powerRole = c.powerRole, .dataRole = 0}), {}, c.kind);
  EXPECT_EQ(CellText(*p, 7, false), c.os);
  EXPECT_EQ(CellText(*p, 8, false), c.power);
  EXPECT_EQ(CellText(*p, 9, false), c.data);
  EXPECT_EQ(CellText(*p, 10, false), c.cablePlug);
  EXPECT_EQ(CellText(*p, 11, false), "Accept");
}

INSTANTIATE_TEST_SUITE_P(Kinds, OrderedSetColumnsTest,
                         ::testing::Values(KindCase{kKindSop, 0, "SOP", "Sink", "UFP", ""},
                                           KindCase{kKindSopP, 1, "SOP'", "", "", "Cable Plug"},
                                           KindCase{kKindSopPP, 0, "SOP''", "", "", "UFP or DFP"},
                                           KindCase{kKindSopPDebug, 1, "Invalid", "", "", ""},
                                           KindCase{kKindSopPPDebug, 0, "Invalid", "", "", ""}));

TEST_F(SummaryFieldsTest, ExtendedHeaderColumns) {
  auto p = MakeMessage(MakeHeader({.type = 17, .objects = 7, .extended = true}));
  const std::uint16_t x = test::MakeExtendedHeader(60, true, 2, true);
  p->m_Bytes[2] = static_cast<std::uint8_t>(x);
  p->m_Bytes[3] = static_cast<std::uint8_t>(x >> 8);
  p->m_ByteCount = 30;
  EXPECT_EQ(CellText(*p, 15, false), "1");
  EXPECT_EQ(CellText(*p, 16, false), "943Ch");
  EXPECT_EQ(CellText(*p, 17, false), "1");
  EXPECT_EQ(CellText(*p, 18, false), "2");
  EXPECT_EQ(CellText(*p, 19, false), "1");
  EXPECT_EQ(CellText(*p, 20, false), "60");
  EXPECT_EQ(NumericKey(*p, 16), 0x943C);
  EXPECT_EQ(CellText(*p, 24, false).substr(0, 6), "00-00-");
  // The Extended column needs revision 3.0; under 2.0 the bit is not an extended flag.
  auto rev2 = MakeMessage(MakeHeader({.type = 3, .revision = 1, .extended = true}));
  EXPECT_EQ(CellText(*rev2, 15, false), "");
  EXPECT_EQ(CellText(*rev2, 16, false), "");
  EXPECT_EQ(NumericKey(*rev2, 15), -1);
}

TEST_F(SummaryFieldsTest, LengthAndUnitIntervalArithmetic) {
  auto p = GoodPacket();
  p->m_TotalTicks = 2000000000;  // a product past 32 bits stays exact
  p->m_TickDiv = 48;
  EXPECT_EQ(CellText(*p, 3, false), "2000000000");
  p->m_UnitInterval = 3.7f;
  EXPECT_EQ(CellText(*p, 34, false), "3.700");
  p->m_UnitInterval = 3.71f;
  EXPECT_EQ(CellText(*p, 34, false), "3.710(Bad)");
  p->m_UnitInterval = 3.0f;
  EXPECT_EQ(CellText(*p, 34, false), "3.000(Bad)");
  EXPECT_EQ(NumericKey(*p, 34), 3000);
  p->m_UnitInterval = std::numeric_limits<float>::infinity();
  EXPECT_EQ(NumericKey(*p, 34), -1);
}

TEST_F(SummaryFieldsTest, ColumnIdsOutsideTheTable) {
  auto p = GoodPacket();
  EXPECT_EQ(CellText(*p, -1, false), "");
  EXPECT_EQ(CellText(*p, kSummaryFieldCount, false), "");
  EXPECT_EQ(NumericKey(*p, 38), -1);
}

TEST_F(SummaryFieldsTest, FindTextIgnoresCaseAndReturnsTheFirstColumn) {
  auto good = GoodPacket();
  EXPECT_EQ(FindText(*good, "sop", false), 7);
  EXPECT_EQ(FindText(*good, "source_cap", false), 11);
  EXPECT_EQ(FindText(*good, "peak current", false), 21);
  EXPECT_EQ(FindText(*good, "1.500", true), 5);
  EXPECT_EQ(FindText(*good, "(bad)", false), -1);
  EXPECT_EQ(FindText(*good, "no such text", false), -1);
  good->m_CrcOk = 0;
  EXPECT_EQ(FindText(*good, "(bad)", false), 26);
  CCCPacket undecoded;
  EXPECT_EQ(FindText(undecoded, "(Bad)", false), 34);
}

TEST_F(SummaryFieldsTest, DescriptionIsDecodedOnceAndKeptWhileValid) {
  auto p = GoodPacket();
  const std::string first = CellText(*p, kDescriptionColumn, false);
  const auto cache = p->m_DescriptionCache;
  ASSERT_NE(cache, nullptr);
  EXPECT_EQ(CellText(*p, kDescriptionColumn, false), first);
  EXPECT_EQ(p->m_DescriptionCache, cache);
}

TEST_F(SummaryFieldsTest, RequestDescriptionFollowsItsLinkedCapabilities) {
  auto caps = GoodPacket();
  auto request = MakeDataMessage(2, {(1u << 28) | (150u << 10) | 300u});
  EXPECT_EQ(CellText(*request, kDescriptionColumn, false), "Position=1");
  request->m_pSourceCaps = caps.get();
  EXPECT_EQ(CellText(*request, kDescriptionColumn, false),
            "Position=1<Fixed> (Operating Current=1500[mA])(Max Operating Current=3000[mA])");
  // The store forgets the link when it trims the capabilities away.
  request->m_pSourceCaps = nullptr;
  EXPECT_EQ(CellText(*request, kDescriptionColumn, false), "Position=1");
}

TEST_F(SummaryFieldsTest, FirstChunkDescriptionGrowsWithTheReassembly) {
  auto buffer = std::make_shared<std::vector<std::uint8_t>>(32, 0);
  auto first = MakeMessage(MakeHeader({.type = 17, .objects = 7, .extended = true}));
  first->m_ByteCount = 30;
  first->m_pExtBuf = buffer;
  first->m_OwnsExtBuf = 1;
  first->m_ExtSize = 32;
  first->m_ExtChunkLen = 26;
  const auto pdo = test::WordBytes({kFixed5V3A});
  std::copy(pdo.begin(), pdo.end(), buffer->begin());
  EXPECT_EQ(CellText(*first, kDescriptionColumn, false), "[1]<Fix>5.00V/3.00A ");
  // The last chunk lands in the shared buffer after the first chunk was shown.
  std::copy(pdo.begin(), pdo.end(), buffer->begin() + 28);
  EXPECT_EQ(CellText(*first, kDescriptionColumn, false), "[1]<Fix>5.00V/3.00A [8]<Fix>5.00V/3.00A ");
  EXPECT_EQ(CellText(*first, kDescriptionColumn, false), MessageDescription(*first));
}

// A real negotiation through loading, the message context and the decoders: the Request is
// described against the Source_Capabilities the context linked it to.
TEST(SummaryFieldsFixtureTest, RealNegotiationReadsAsExpected) {
  CaptureStore store;
  LoadRecordFile(store, std::string(ZK_FIXTURE_DIR) + "/thinkpad_yoga_370-aukey_45w.zkr");
  const std::vector<std::array<std::string, 5>> expected = {
      {"SOP", "Source", "DFP", "Source_Capabilities",
       "[1]<Fixed> 5000[mV]/3000[mA] (Unconstrained)(Data-Role Data)(Peak Current=0) [2]<Fixed> 9000[mV]/3000[mA] "
       "(Peak Current=0) [3]<Fixed> 12000[mV]/3000[mA] (Peak Current=0) [4]<Fixed> 15000[mV]/3000[mA] (Peak "
       "Current=0) [5]<Fixed> 20000[mV]/2250[mA] (Peak Current=0) [6]<APDO:SPR PPS>3000-16000[mV]/3000[mA] "},
      {"SOP", "Sink", "UFP", "GoodCRC", ""},
      {"SOP", "Sink", "UFP", "Request",
       "Position=5<Fixed> (Operating Current=2250[mA])(Max Operating Current=2250[mA])(USB Commincations "
       "Capable)(No USB Suspend)"},
      {"SOP", "Source", "DFP", "GoodCRC", ""},
      {"SOP", "Source", "DFP", "Accept", ""},
      {"SOP", "Sink", "UFP", "GoodCRC", ""},
      {"SOP", "Source", "DFP", "PS_RDY", ""},
      {"SOP", "Sink", "UFP", "GoodCRC", ""},
  };
  std::vector<std::array<std::string, 5>> rows;
  for (int i = 0; i < store.PacketCount(); ++i) {
    const CCCPacket& p = *store.PacketAt(i);
    if (!p.m_CrcOk) continue;  // noise bursts
    rows.push_back({CellText(p, 7, false), CellText(p, 8, false), CellText(p, 9, false), CellText(p, 11, false),
                    CellText(p, kDescriptionColumn, false)});
  }
  EXPECT_EQ(rows, expected);
}

// Random bytes and inconsistent counts, as a corrupt record file could leave them; the
// sanitizer build turns any read past the data into a failure.
TEST_F(SummaryFieldsTest, HostilePacketsNeverReadOutsideTheirData) {
  std::mt19937 rng(20261210);
  auto any = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto caps = GoodPacket();
  for (int round = 0; round < 3000; ++round) {
    CCCPacket p;
    p.m_pStore = any(0, 1) ? &m_Store : nullptr;
    p.m_Kind = any(0, 8) == 0 ? any(-5, 300) : any(1, 7);
    p.m_PreambleFound = 1;
    p.m_CrcOk = static_cast<std::uint8_t>(any(0, 3) != 0);
    for (auto& b : p.m_Bytes) b = static_cast<std::uint8_t>(any(0, 255));
    p.m_ByteCount = any(0, 10) == 0 ? any(-100, 100000) : any(0, 40);
    p.m_Channel = any(0, 10) == 0 ? std::numeric_limits<int>::max() : any(0, 1);
    p.m_SymbolCount = any(-3, 50);
    p.m_SopStart = static_cast<std::int16_t>(any(-3, 10));
    p.m_BitCount = any(-3, 50);
    SetBits(p, "0101");
    p.m_BitCount = any(-3, 50);
    p.m_pSourceCaps = any(0, 1) ? caps.get() : nullptr;
    switch (any(0, 2)) {
      case 0: p.m_ExtSelf = true; break;
      case 1:
        p.m_pExtBuf = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(any(0, 40)), 0x5A);
        break;
      default: break;
    }
    p.m_ExtSize = any(-10, 600);
    p.m_ExtOffset = any(0, 3) ? 0 : any(-5, 300);
    for (int id = 0; id < kSummaryFieldCount; ++id) {
      (void)CellText(p, id, any(0, 1) != 0);
      (void)NumericKey(p, id);
    }
    EXPECT_LE(FindText(p, "\x01impossible\x02", false), -1);
  }
}

}  // namespace
}  // namespace zk
