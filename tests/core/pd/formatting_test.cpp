#include "pd/formatting.h"

#include <gtest/gtest.h>

#include <limits>

#include "desc_test_packets.h"
#include "pd/framing.h"
#include "record/capture_store.h"

namespace zk {
namespace {

using test::MakeDataMessage;
using test::MakeExtendedHeader;
using test::MakeHeader;
using test::MakeMessage;

struct TimeCase {
  std::int64_t us;
  const char* text;
};

class TimeTextTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimeTextTest, ChoosesTheLayoutByTheLargestUnit) { EXPECT_EQ(TimeText(GetParam().us), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Boundaries, TimeTextTest,
    ::testing::Values(TimeCase{0, "  0s   0ms   0us"}, TimeCase{1, "  0s   0ms   1us"},
                      TimeCase{-1500000, "- 1s 500ms   0us"}, TimeCase{12345678, " 12s 345ms 678us"},
                      TimeCase{59999999, " 59s 999ms 999us"}, TimeCase{60000000, "  1min  0s 000ms 000us"},
                      TimeCase{-61001001, "- 1min  1s 001ms 001us"}, TimeCase{3599999999, " 59min 59s 999ms 999us"},
                      TimeCase{3600000000, " 1h  0min  0s 000ms 000us"},
                      TimeCase{-(36000000000 + 754321), "-10h  0min  0s 754ms 321us"},
                      // Beyond 65535 hours the count widens instead of wrapping.
                      TimeCase{65536LL * 3600000000LL, " 65536h  0min  0s 000ms 000us"},
                      TimeCase{std::numeric_limits<std::int64_t>::min(), "-2562047788h  0min 54s 775ms 808us"},
                      TimeCase{std::numeric_limits<std::int64_t>::max(), " 2562047788h  0min 54s 775ms 807us"}));

std::unique_ptr<CCCPacket> MeasuredPacket(std::uint16_t vbusMv, std::int16_t vbusMa, std::int16_t cc1Mv,
                                          std::int16_t cc2Mv, std::int16_t cc1Ma, std::int16_t cc2Ma) {
  auto p = MakeDataMessage(1, {0});
  p->m_HasMeasure = 1;
  p->m_VbusVoltage = vbusMv;
  p->m_VbusCurrent = vbusMa;
  p->m_CC1Voltage = cc1Mv;
  p->m_CC2Voltage = cc2Mv;
  p->m_CC1Current = cc1Ma;
  p->m_CC2Current = cc2Ma;
  return p;
}

TEST(MeasurementTextTest, FormatsVoltsAmperesAndWatts) {
  auto p = MeasuredPacket(20123, -1234, 1681, -123, 330, -32768);
  EXPECT_EQ(VbusVoltageText(*p), "20.12");
  EXPECT_EQ(VbusCurrentText(*p, false), "-1.234");
  EXPECT_EQ(VbusCurrentText(*p, true), "1.234");
  EXPECT_EQ(VbusPowerText(*p, false), "-24.832");
  EXPECT_EQ(VbusPowerText(*p, true), "24.832");
  EXPECT_EQ(CcVoltageText(*p, 0), "1.68");
  EXPECT_EQ(CcVoltageText(*p, 1), "-0.12");
  EXPECT_EQ(CcCurrentText(*p, 0, false), "0.330");
  EXPECT_EQ(CcCurrentText(*p, 1, false), "-32.768");
  EXPECT_EQ(CcCurrentText(*p, 1, true), "32.768");
  auto small = MeasuredPacket(16, 0, 0, 0, 0, 0);
  EXPECT_EQ(VbusVoltageText(*small), "0.02");
  EXPECT_EQ(VbusPowerText(*small, true), "0.000");
}

TEST(MeasurementTextTest, FallsBackToTheStoresLatestSampleWithoutChangingThePacket) {
  auto p = MakeDataMessage(1, {0});
  p->m_Time = 500;
  EXPECT_EQ(VbusVoltageText(*p), "");  // no store
  CaptureStore store;
  p->m_pStore = &store;
  EXPECT_EQ(VbusCurrentText(*p, false), "");  // no sample
  CVbusInfo early{};
  early.m_Time = 100;
  early.m_VbusVoltage = 5000;
  early.m_VbusCurrent = 1500;
  early.m_CC2Voltage = 1200;
  CVbusInfo late = early;
  late.m_Time = 900;
  late.m_VbusVoltage = 9000;
  store.AppendSample(early);
  store.AppendSample(late);
  EXPECT_EQ(VbusVoltageText(*p), "5.00");
  EXPECT_EQ(VbusPowerText(*p, false), "7.500");
  EXPECT_EQ(CcVoltageText(*p, 1), "1.20");
  EXPECT_EQ(p->m_HasMeasure, 0);
}

TEST(SymbolTextTest, JoinsSymbolNamesAndNibbles) {
  CCCPacket p;
  test::SetSymbols(p, {kSymSync1, kSymSync2, kSymSync3, kSymRst1, kSymRst2, 0x0, 0x9, 0xA, 0xF, kSymInvalid, kSymEop});
  EXPECT_EQ(SymbolText(p), "[SYNC-1][SYNC-2][SYNC-3][RST-1][RST-2]09AF[EOP]");
  p.m_SymbolCount = 100;  // a count beyond the bits reads only the bits
  EXPECT_EQ(SymbolText(p), "[SYNC-1][SYNC-2][SYNC-3][RST-1][RST-2]09AF[EOP]");
  p.m_SymbolCount = 2;
  EXPECT_EQ(SymbolText(p), "[SYNC-1][SYNC-2]");
}

// An extended message with data bytes 0, 1, 2, ... after its extended header.
std::unique_ptr<CCCPacket> ExtendedWithBytes(int objects, std::uint16_t extHeader, int bytesAfterHeader) {
  auto p = MakeMessage(MakeHeader({.type = 2, .objects = objects, .extended = true}));
  p->m_Bytes[2] = static_cast<std::uint8_t>(extHeader);
  p->m_Bytes[3] = static_cast<std::uint8_t>(extHeader >> 8);
  for (int i = 0; i < bytesAfterHeader; ++i) p->m_Bytes[4 + i] = static_cast<std::uint8_t>(i);
  p->m_ByteCount = 4 + bytesAfterHeader;
  return p;
}

TEST(ExtendedDataTextTest, ShowsTheBytesThisChunkCarries) {
  const std::string first26 = "00-01-02-03-04-05-06-07-08-09-0A-0B-0C-0D-0E-0F-10-11-12-13-14-15-16-17-18-19h";
  EXPECT_EQ(ExtendedDataText(*ExtendedWithBytes(7, MakeExtendedHeader(26, true), 26)), first26);
  // Three data objects hold 10 data bytes after the extended header.
  EXPECT_EQ(ExtendedDataText(*ExtendedWithBytes(3, MakeExtendedHeader(26, true), 10)),
            "00-01-02-03-04-05-06-07-08-09h");
  EXPECT_EQ(ExtendedDataText(*ExtendedWithBytes(3, MakeExtendedHeader(26, true), 26)),
            "00-01-02-03-04-05-06-07-08-09h");
  // Unchunked: limited by the data size and by the bytes received.
  EXPECT_EQ(ExtendedDataText(*ExtendedWithBytes(2, MakeExtendedHeader(3), 6)), "00-01-02h");
  EXPECT_EQ(ExtendedDataText(*ExtendedWithBytes(2, MakeExtendedHeader(200), 2)), "00-01h");
  EXPECT_EQ(ExtendedDataText(*ExtendedWithBytes(0, MakeExtendedHeader(4, true), 4)), "h");
  EXPECT_EQ(ExtendedDataText(*ExtendedWithBytes(2, MakeExtendedHeader(0), 6)), "");
  auto shortMessage = ExtendedWithBytes(1, MakeExtendedHeader(4), 0);
  shortMessage->m_ByteCount = 3;
  EXPECT_EQ(ExtendedDataText(*shortMessage), "h");
  EXPECT_EQ(ExtendedDataText(*MakeDataMessage(2, {0x11223344u})), "");
}

TEST(ByteTextTest, RendersTheMessageBytesWithoutCrc) {
  auto p = MakeDataMessage(1, {0x7F41200Au});
  p->m_Bytes[6] = 0x55;  // a CRC byte is never shown
  EXPECT_EQ(HexByteText(*p), "81 10 0A 20 41 7F");
  EXPECT_EQ(CharByteText(*p), "... A.");
  p->m_ByteCount = 2;
  EXPECT_EQ(HexByteText(*p), "81 10");
  EXPECT_EQ(CharByteText(*p), "..");
  p->m_ByteCount = 100000;  // never past the message buffer
  EXPECT_EQ(HexByteText(*p).size(), static_cast<std::size_t>(kMaxMessageBytes * 3 - 1));
  p->m_Kind = kKindHardReset;
  EXPECT_EQ(HexByteText(*p), "");
  EXPECT_EQ(CharByteText(*p), "");
}

}  // namespace
}  // namespace zk
