#include "pd/framing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "pd/message_header.h"

namespace zk {
namespace {

using Bits = std::vector<int>;
using Durations = std::vector<int>;

// Line bits of one symbol, bit 0 of its 5-bit code first.
void AppendSymbol(Bits& bits, std::uint8_t symbol) {
  const int code = Encode4b5b(symbol);
  for (int k = 0; k < 5; ++k) bits.push_back((code >> k) & 1);
}

Bits Preamble(int length = 64) {
  Bits bits;
  for (int i = 0; i < length; ++i) bits.push_back(i & 1);
  return bits;
}

constexpr std::uint8_t kSop[4] = {kSymSync1, kSymSync1, kSymSync1, kSymSync2};
constexpr std::uint8_t kHardReset[4] = {kSymRst1, kSymRst1, kSymRst1, kSymRst2};

// Data symbols of the bytes, low nibble first.
std::vector<std::uint8_t> Nibbles(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint8_t> out;
  for (std::uint8_t b : bytes) {
    out.push_back(b & 0x0F);
    out.push_back(b >> 4);
  }
  return out;
}

std::vector<std::uint8_t> WithCrc(std::vector<std::uint8_t> bytes) {
  const std::uint32_t crc = PdCrc32(bytes.data(), static_cast<int>(bytes.size()));
  for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<std::uint8_t>(crc >> (8 * k)));
  return bytes;
}

// Preamble, ordered set, the given symbols, then EOP when asked.
Bits FrameBits(const std::uint8_t (&orderedSet)[4], const std::vector<std::uint8_t>& symbols, bool eop = true) {
  Bits bits = Preamble();
  for (std::uint8_t s : orderedSet) AppendSymbol(bits, s);
  for (std::uint8_t s : symbols) AppendSymbol(bits, s);
  if (eop) AppendSymbol(bits, kSymEop);
  return bits;
}

Bits MessageBits(const std::vector<std::uint8_t>& bytesWithCrc, const std::uint8_t (&orderedSet)[4] = kSop) {
  return FrameBits(orderedSet, Nibbles(bytesWithCrc));
}

std::vector<std::uint8_t> HeaderAndObjects(std::uint16_t header, const std::vector<std::uint32_t>& objects) {
  std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(header), static_cast<std::uint8_t>(header >> 8)};
  for (std::uint32_t o : objects)
    for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<std::uint8_t>(o >> (8 * k)));
  return bytes;
}

constexpr std::uint16_t kGoodCrcHeader = 0x0041;     // GoodCRC, revision 2.0, id 0
constexpr std::uint16_t kSourceCapsHeader = 0x71A1;  // Source_Capabilities, 7 objects, revision 3.0
const std::vector<std::uint32_t> kSevenPdos = {0x0A01912C, 0x0002D12C, 0x0003C12C, 0x0004B12C,
                                               0x0006412C, 0xC8DC213C, 0xC9402128};

std::vector<std::uint8_t> SourceCapsBytes() { return WithCrc(HeaderAndObjects(kSourceCapsHeader, kSevenPdos)); }

// BMC: every bit begins with an edge and a one has another in its middle, so a zero is one
// interval of two half-bits and a one two intervals of one. Edges fall on whole ticks.
Durations BmcDurations(const Bits& bits, int tickDiv, double unitIntervalUs = 3.3) {
  const double ticksPerHalfBit = unitIntervalUs * 48.0 / tickDiv / 2.0;
  Durations out;
  long halfBits = 0, lastTick = 0;
  auto edgeAfter = [&](int half) {
    halfBits += half;
    const long tick = std::lround(static_cast<double>(halfBits) * ticksPerHalfBit);
    out.push_back(static_cast<int>(tick - lastTick));
    lastTick = tick;
  };
  for (int b : bits) {
    if (b) {
      edgeAfter(1);
      edgeAfter(1);
    } else {
      edgeAfter(2);
    }
  }
  return out;
}

// Every interval at one line level `shift` ticks longer, at the other as much shorter.
void AddLevelBias(Durations& d, int shift) {
  for (std::size_t i = 0; i < d.size(); ++i) d[i] += (i % 2 == 0) ? shift : -shift;
}

CCCPacket PacketOf(const Durations& durations, int tickDiv) {
  CCCPacket p;
  p.m_TickDiv = tickDiv;
  for (int d : durations) {
    EdgeRecord e;
    e.duration = static_cast<std::uint8_t>(d);
    p.m_pEdges.push_back(e);
  }
  p.m_EdgeCount = static_cast<std::int32_t>(p.m_pEdges.size());
  return p;
}

CCCPacket Decoded(const Durations& durations, int tickDiv, FramingStats* stats = nullptr) {
  CCCPacket p = PacketOf(durations, tickDiv);
  DecodePacketFraming(p, stats);
  return p;
}

std::vector<std::uint8_t> MessageOf(const CCCPacket& p) { return {p.m_Bytes, p.m_Bytes + p.m_ByteCount}; }

int CountRole(const CCCPacket& p, int role) {
  return static_cast<int>(
      std::count_if(p.m_pEdges.begin(), p.m_pEdges.end(), [&](const EdgeRecord& e) { return e.Role() == role; }));
}

// Indices of intervals that carry a zero after the ordered set, in pairs of neighbours:
// the places where a receiver can mistake two zeros for a one.
std::vector<int> ZeroPairsInMessage(const Durations& d, int tickDiv, int maxPairs) {
  const double zero = 3.3 * 48.0 / tickDiv;
  std::vector<int> firsts;
  for (std::size_t i = 150; i + 1 < d.size() && static_cast<int>(firsts.size()) < maxPairs; ++i) {
    if (std::abs(d[i] - zero) < 2 && std::abs(d[i + 1] - zero) < 2) {
      firsts.push_back(static_cast<int>(i));
      i += 3;
    }
  }
  return firsts;
}

// ---------------------------------------------------------------------------------------------

TEST(FramingLineCode, TableOfTheStandard) {
  struct Case {
    std::uint8_t symbol;
    const char* written;  // as the USB PD tables write it: bit 4 first
  } cases[] = {
      {0x0, "11110"},     {0x1, "01001"},       {0x2, "10100"},       {0x3, "10101"},      {0x4, "01010"},
      {0x5, "01011"},     {0x6, "01110"},       {0x7, "01111"},       {0x8, "10010"},      {0x9, "10011"},
      {0xA, "10110"},     {0xB, "10111"},       {0xC, "11010"},       {0xD, "11011"},      {0xE, "11100"},
      {0xF, "11101"},     {kSymSync1, "11000"}, {kSymSync2, "10001"}, {kSymRst1, "00111"}, {kSymRst2, "11001"},
      {kSymEop, "01101"}, {kSymSync3, "00110"},
  };
  int valid = 0;
  for (const Case& c : cases) {
    const int code = std::stoi(c.written, nullptr, 2);
    EXPECT_EQ(Encode4b5b(c.symbol), code) << c.written;
    EXPECT_EQ(Decode4b5b(code), c.symbol) << c.written;
  }
  for (int v = 0; v < 32; ++v) valid += Decode4b5b(v) != kSymInvalid;
  EXPECT_EQ(valid, 22);
  EXPECT_EQ(Decode4b5b(-1), kSymInvalid);
  EXPECT_EQ(Decode4b5b(32), kSymInvalid);
  EXPECT_EQ(Encode4b5b(0x10), -1);
  EXPECT_EQ(Encode4b5b(kSymInvalid), -1);

  // Sync-1 goes out as 0,0,0,1,1: the first zero still alternates with the preamble's last one.
  Bits sync1;
  AppendSymbol(sync1, kSymSync1);
  EXPECT_EQ(sync1, (Bits{0, 0, 0, 1, 1}));
}

TEST(FramingCrc, CheckValueAndEmpty) {
  const std::uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(PdCrc32(digits, 9), 0xCBF43926u);
  EXPECT_EQ(PdCrc32(digits, 0), 0u);
}

class FramingTickDiv : public ::testing::TestWithParam<int> {};

TEST_P(FramingTickDiv, DecodesGoodCrcAndSourceCapabilities) {
  const int tickDiv = GetParam();
  struct Case {
    std::vector<std::uint8_t> bytes;
    int size;
  } cases[] = {{WithCrc(HeaderAndObjects(kGoodCrcHeader, {})), 2}, {SourceCapsBytes(), 30}};
  for (const Case& c : cases) {
    const Bits bits = MessageBits(c.bytes);
    const Durations d = BmcDurations(bits, tickDiv);
    FramingStats stats;
    const CCCPacket p = Decoded(d, tickDiv, &stats);
    SCOPED_TRACE(c.size);
    EXPECT_EQ(p.m_Kind, kKindSop);
    EXPECT_TRUE(p.m_CrcOk);
    EXPECT_TRUE(p.m_HasPayload);
    EXPECT_EQ(p.m_ByteCount, c.size);
    EXPECT_EQ(MessageOf(p), std::vector<std::uint8_t>(c.bytes.begin(), c.bytes.end() - 4));
    EXPECT_EQ(p.m_Crc, PdCrc32(c.bytes.data(), c.size));
    EXPECT_EQ(p.m_Recovery, kRecoveryNone);
    EXPECT_EQ(stats.trialResolvePasses, 0);

    EXPECT_TRUE(p.m_PreambleFound);
    EXPECT_EQ(p.m_PreambleStart, 0);
    EXPECT_EQ(p.m_PreambleLen, 64);
    EXPECT_EQ(p.m_SopStart, 64);
    EXPECT_NEAR(p.m_UnitInterval, 3.3, 0.05);
    EXPECT_EQ(p.m_BitCount, static_cast<int>(bits.size()));
    for (int i = 0; i < p.m_BitCount; ++i) ASSERT_EQ(p.m_pBits[i], bits[i]) << i;
    const int symbols = 4 + 2 * static_cast<int>(c.bytes.size()) + 1;
    EXPECT_EQ(p.m_SymbolCount, symbols);
    EXPECT_TRUE(p.m_EopFound);
    EXPECT_EQ(p.m_EopPos, 64 + 5 * (symbols - 1));
    EXPECT_EQ(std::vector<std::uint8_t>(p.m_OrderedSet, p.m_OrderedSet + 4), std::vector<std::uint8_t>(kSop, kSop + 4));

    int ticks = 0;
    for (int x : d) ticks += x;
    EXPECT_EQ(p.m_TotalTicks, ticks);
    EXPECT_EQ(p.m_Class0Count + p.m_Class1Count + p.m_Class2Count + p.m_Class3Count + p.m_Class4Count, p.m_EdgeCount);
    EXPECT_EQ(p.m_Class0Count + p.m_Class3Count + p.m_Class4Count, 0);
    EXPECT_EQ(p.m_ResolvedCount, 0);
    // Each bit is begun by exactly one interval, and it says which.
    for (std::size_t i = 0; i < p.m_pEdges.size(); ++i) {
      const int b = p.m_pEdges[i].bitIndex;
      if (b != 0xFFFF) {
        ASSERT_EQ(p.m_pBits[b], p.m_pEdges[i].Role() == kRoleOneFirst ? 1 : 0) << i;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Dividers, FramingTickDiv, ::testing::Values(1, 8, 12, 20));

TEST(FramingDecode, DecodesAgainAfterARun) {
  CCCPacket p = PacketOf(BmcDurations(MessageBits(SourceCapsBytes()), 12), 12);
  DecodePacketFraming(p);
  const std::vector<std::uint8_t> first = MessageOf(p);
  DecodePacketFraming(p);
  EXPECT_TRUE(p.m_CrcOk);
  EXPECT_EQ(MessageOf(p), first);
}

TEST(FramingDecode, EdgeCountAndListDisagree) {
  const Durations d = BmcDurations(MessageBits(SourceCapsBytes()), 20);
  CCCPacket p = PacketOf(d, 20);
  p.m_EdgeCount = static_cast<int>(d.size()) + 1000;  // more than the list holds
  DecodePacketFraming(p);
  EXPECT_TRUE(p.m_CrcOk);

  p.m_EdgeCount = 0;
  DecodePacketFraming(p);
  EXPECT_EQ(p.m_Kind, kKindTooShort);
  EXPECT_EQ(p.m_TotalTicks, 0);

  p.m_EdgeCount = static_cast<int>(d.size());
  p.m_TickDiv = 0;
  DecodePacketFraming(p);
  EXPECT_EQ(p.m_Kind, kKindTooShort);

  CCCPacket released = PacketOf(d, 20);
  released.ReleaseEdges();
  DecodePacketFraming(released);
  EXPECT_EQ(released.m_Kind, kKindTooShort);
  EXPECT_EQ(released.m_BitCount, 0);
}

// ---------------------------------------------------------------------------------------------
// Classification

// Interval 0, then 150 intervals that measure a half-bit of exactly 10 ticks at divider 48
// (100 of one half-bit and 50 of two), then the given ones.
Durations TenTickHalfBits(int first, const Durations& tail) {
  Durations d = {first};
  for (int k = 0; k < 50; ++k) d.insert(d.end(), {20, 10, 10});
  d.insert(d.end(), tail.begin(), tail.end());
  return d;
}

std::vector<int> ClassCounts(const CCCPacket& p) {
  return {p.m_Class0Count, p.m_Class1Count, p.m_Class2Count, p.m_Class3Count, p.m_Class4Count};
}

TEST(FramingClassify, BoundariesInTenthsOfAHalfBit) {
  const CCCPacket base = Decoded(TenTickHalfBits(20, {}), 48);
  struct Case {
    int duration;
    int cls;
  } cases[] = {{5, kClassShort},     {6, kClass1Bit},   {12, kClass1Bit},  {13, kClass1or2Bits},
               {15, kClass1or2Bits}, {16, kClass2Bits}, {25, kClass2Bits}, {26, kClassLong}};
  for (const Case& c : cases) {
    std::vector<int> want = ClassCounts(base);
    ++want[c.cls];
    EXPECT_EQ(ClassCounts(Decoded(TenTickHalfBits(20, {c.duration}), 48)), want) << c.duration;
  }
  // The first interval is never ambiguous or long: these read as the "2bits" they replace.
  for (int first : {13, 15, 26, 200})
    EXPECT_EQ(ClassCounts(Decoded(TenTickHalfBits(first, {}), 48)), ClassCounts(base)) << first;
  std::vector<int> want = ClassCounts(base);
  --want[kClass2Bits];
  ++want[kClassShort];
  EXPECT_EQ(ClassCounts(Decoded(TenTickHalfBits(5, {}), 48)), want);
}

TEST(FramingClassify, MeasuresTheUnitIntervalOnlyFrom151Edges) {
  // A preamble at twice the nominal rate: against 3.3 us both its intervals read as one half-bit.
  const Durations fast = BmcDurations(Preamble(120), 1, 50.0 / 24);
  ASSERT_GE(fast.size(), 151u);
  const Durations at150(fast.begin(), fast.begin() + 150), at151(fast.begin(), fast.begin() + 151);
  const CCCPacket guessed = Decoded(at150, 1);
  EXPECT_EQ(guessed.m_Class1Count, 150);
  const CCCPacket measured = Decoded(at151, 1);
  EXPECT_EQ(measured.m_Class2Count, 51);
  EXPECT_EQ(measured.m_Class1Count, 100);
}

TEST(FramingClassify, GateStopsAtElevenShortOrLong) {
  const Durations clean = BmcDurations(MessageBits(SourceCapsBytes()), 1);
  struct Case {
    int duration;  // ticks at divider 1: a half-bit is 79
    int count;
    bool decoded;
  } cases[] = {{5, 10, true}, {5, 11, false}, {250, 10, true}, {250, 11, false}};
  for (const Case& c : cases) {
    Durations d = clean;
    // Spread over the message so that each one stands alone.
    for (int k = 0; k < c.count; ++k) d.insert(d.begin() + 300 + 25 * k, c.duration);
    const CCCPacket p = Decoded(d, 1);
    SCOPED_TRACE(testing::Message() << c.duration << " x" << c.count);
    EXPECT_EQ(CountRole(p, kRoleOneFirst) > 0, c.decoded);
    if (!c.decoded) {
      EXPECT_EQ(p.m_Kind, kKindTooShort);
      EXPECT_EQ(p.m_BitCount, 0);
      EXPECT_FALSE(p.m_PreambleFound);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Resolve pass and trial search

TEST(FramingResolve, LoneAmbiguousIntervalIsAZeroWithoutSearch) {
  Durations d = BmcDurations(MessageBits(SourceCapsBytes()), 1);
  const std::vector<int> zeros = ZeroPairsInMessage(d, 1, 1);
  ASSERT_EQ(zeros.size(), 1u);
  d[zeros[0]] = 115;  // 1.45 half-bits
  FramingStats stats;
  const CCCPacket p = Decoded(d, 1, &stats);
  EXPECT_TRUE(p.m_CrcOk);
  EXPECT_EQ(p.m_Class3Count, 1);
  EXPECT_EQ(p.m_pEdges[zeros[0]].Class(), kClass2BitsResolved);
  EXPECT_EQ(p.m_ResolvedCount, 1);
  EXPECT_EQ(stats.trialResolvePasses, 0);
}

TEST(FramingResolve, TrialSearchSettlesNeighbouringAmbiguousIntervals) {
  const Durations clean = BmcDurations(MessageBits(SourceCapsBytes()), 1);
  const std::vector<int> zeros = ZeroPairsInMessage(clean, 1, 3);
  ASSERT_EQ(zeros.size(), 3u);

  // Two zeros that could be a one: "1bit*" is tried first and fails the CRC.
  Durations d = clean;
  for (int z : zeros) d[z] = d[z + 1] = 115;
  FramingStats stats;
  CCCPacket p = Decoded(d, 1, &stats);
  EXPECT_TRUE(p.m_CrcOk);
  EXPECT_GT(stats.trialResolvePasses, 3);
  for (int z : zeros) {
    EXPECT_EQ(p.m_pEdges[z].Class(), kClass2BitsResolved);
    EXPECT_EQ(p.m_pEdges[z + 1].Class(), kClass2BitsResolved);
  }
  EXPECT_EQ(p.m_ResolvedCount, 6);

  // A one whose halves are both drawn out is found by the first trial.
  Durations one = clean;
  int first = -1;
  for (std::size_t i = 300; i + 3 < one.size() && first < 0; ++i)
    if (one[i] > 120 && one[i + 1] < 90 && one[i + 2] < 90 && one[i + 3] > 120) first = static_cast<int>(i) + 1;
  ASSERT_GT(first, 0);
  one[first] = one[first + 1] = 107;  // 1.35 half-bits each
  p = Decoded(one, 1, &stats);
  EXPECT_TRUE(p.m_CrcOk);
  EXPECT_EQ(stats.trialResolvePasses, 1);
  EXPECT_EQ(p.m_pEdges[first].Class(), kClass1BitResolved);
  EXPECT_EQ(p.m_pEdges[first + 1].Class(), kClass1BitResolved);
  EXPECT_EQ(p.m_pEdges[first].Role(), kRoleOneFirst);
  EXPECT_EQ(p.m_pEdges[first + 1].Role(), kRoleOneSecond);
}

TEST(FramingResolve, SearchStopsAtItsBudgetAndRestoresTheEdges) {
  // Twelve ambiguous pairs under a bad CRC: 2^13 passes to try them all.
  std::vector<std::uint8_t> bytes = SourceCapsBytes();
  bytes.back() ^= 0x5A;
  Durations d = BmcDurations(MessageBits(bytes), 1);
  const std::vector<int> zeros = ZeroPairsInMessage(d, 1, 12);
  ASSERT_EQ(zeros.size(), 12u);
  for (int z : zeros) d[z] = d[z + 1] = 115;
  FramingStats stats;
  const CCCPacket p = Decoded(d, 1, &stats);
  EXPECT_EQ(stats.trialResolvePasses, kMaxTrialResolvePasses);
  EXPECT_FALSE(p.m_CrcOk);
  EXPECT_EQ(p.m_Recovery, kRecoveryNone);
  for (int z : zeros) {
    EXPECT_EQ(p.m_pEdges[z].Class(), kClass1or2Bits);
    EXPECT_EQ(p.m_pEdges[z].Role(), kRoleNone);
    EXPECT_EQ(p.m_pEdges[z].bitIndex, 0xFFFF);
  }
  // The last decoding tried stands; the ordered set lies before every ambiguous interval.
  EXPECT_EQ(p.m_Kind, kKindSop);
  EXPECT_GT(p.m_SymbolCount, 50);
}

// ---------------------------------------------------------------------------------------------
// Preamble, ordered sets, message bytes

TEST(FramingPreamble, NeedsSixtyOneAlternatingBits) {
  struct Case {
    int alternating;
    bool found;
  } cases[] = {{60, false}, {61, true}, {80, true}};
  for (const Case& c : cases) {
    Bits bits = Preamble(c.alternating);
    bits.insert(bits.end(), {bits.back(), 0, 0, 1, 1, 0});  // a repeat ends the run
    const CCCPacket p = Decoded(BmcDurations(bits, 20), 20);
    SCOPED_TRACE(c.alternating);
    EXPECT_GT(p.m_BitCount, 0);
    EXPECT_EQ(p.m_PreambleFound, c.found);
    if (c.found) {
      // The run ends with a one; a zero that alternates after it belongs to the first symbol.
      const int lastOne = (c.alternating - 1) | 1;
      const int len = lastOne < c.alternating ? lastOne + 1 : lastOne - 1;
      EXPECT_EQ(p.m_PreambleStart, 0);
      EXPECT_EQ(p.m_SopStart, len);
      EXPECT_EQ(p.m_PreambleLen, len);
      EXPECT_NEAR(p.m_UnitInterval, 3.3, 0.1);
    } else {
      EXPECT_EQ(p.m_PreambleStart, -1);
      EXPECT_EQ(p.m_SopStart, -1);
      EXPECT_EQ(p.m_UnitInterval, 0.0f);
      EXPECT_EQ(p.m_Kind, kKindTooShort);
    }
  }
}

TEST(FramingOrderedSet, KindsNeedAllFourSymbols) {
  struct Case {
    std::uint8_t symbols[4];
    int kind;
  } cases[] = {
      {{kSymSync1, kSymSync1, kSymSync1, kSymSync2}, kKindSop},
      {{kSymSync1, kSymSync1, kSymSync3, kSymSync3}, kKindSopP},
      {{kSymSync1, kSymSync3, kSymSync1, kSymSync3}, kKindSopPP},
      {{kSymRst1, kSymRst1, kSymRst1, kSymRst2}, kKindHardReset},
      {{kSymRst1, kSymSync1, kSymRst1, kSymSync3}, kKindCableReset},
      {{kSymSync1, kSymRst2, kSymRst2, kSymSync3}, kKindSopPDebug},
      {{kSymSync1, kSymRst2, kSymSync3, kSymSync2}, kKindSopPPDebug},
      {{kSymSync1, kSymSync1, kSymSync1, kSymSync1}, kKindUnknown},
      {{kSymRst2, kSymSync1, kSymSync1, kSymSync2}, kKindUnknown},
      {{kSymSync1, kSymSync2, kSymSync1, kSymSync2}, kKindUnknown},
      {{kSymRst1, kSymRst1, kSymRst1, kSymRst1}, kKindUnknown},
      {{kSymRst1, kSymSync1, kSymRst1, 0x03}, kKindUnknown},
  };
  for (const Case& c : cases) {
    const CCCPacket p = Decoded(BmcDurations(FrameBits(c.symbols, {}, false), 20), 20);
    SCOPED_TRACE(testing::Message() << "kind " << c.kind);
    EXPECT_EQ(p.m_Kind, c.kind);
    EXPECT_EQ(std::vector<std::uint8_t>(p.m_OrderedSet, p.m_OrderedSet + 4),
              std::vector<std::uint8_t>(c.symbols, c.symbols + 4));
    EXPECT_FALSE(p.m_CrcOk);
    EXPECT_EQ(p.m_ByteCount, 0);
    EXPECT_EQ(p.m_Recovery, kRecoveryNone);
  }
}

TEST(FramingOrderedSet, FewerThanFourSymbols) {
  const std::uint8_t sop[4] = {kSymSync1, kSymSync1, kSymSync1, kSymSync2};
  Bits bits = FrameBits(sop, {}, false);
  bits.resize(bits.size() - 2);
  const CCCPacket p = Decoded(BmcDurations(bits, 20), 20);
  EXPECT_TRUE(p.m_PreambleFound);
  EXPECT_EQ(p.m_SymbolCount, 3);
  EXPECT_EQ(p.m_Kind, kKindTooShort);
  EXPECT_EQ(p.m_OrderedSet[0], 0xFE);
}

TEST(FramingMessage, HardResetCarriesNoBytes) {
  const CCCPacket p = Decoded(BmcDurations(FrameBits(kHardReset, {}, false), 20), 20);
  EXPECT_EQ(p.m_Kind, kKindHardReset);
  EXPECT_FALSE(p.m_CrcOk);
  EXPECT_FALSE(p.m_HasPayload);
  EXPECT_EQ(p.m_ByteCount, 0);
}

TEST(FramingMessage, BrokenSymbolRunsGiveNoMessageBytes) {
  std::vector<std::uint8_t> good = Nibbles(SourceCapsBytes());
  const std::vector<std::uint8_t> unpaired(good.begin(), good.end() - 1);
  std::vector<std::uint8_t> sync = good;
  sync[10] = kSymSync1;
  std::vector<std::uint8_t> reset = good;
  reset[11] = kSymRst2;
  struct Case {
    const char* what;
    std::vector<std::uint8_t> symbols;
  } cases[] = {{"unpaired", unpaired}, {"sync", sync}, {"reset", reset}};
  for (const Case& c : cases) {
    const CCCPacket p = Decoded(BmcDurations(FrameBits(kSop, c.symbols), 12), 12);
    SCOPED_TRACE(c.what);
    EXPECT_EQ(p.m_Kind, kKindSop);
    EXPECT_TRUE(p.m_EopFound);
    EXPECT_FALSE(p.m_HasPayload);
    EXPECT_FALSE(p.m_CrcOk);
    EXPECT_EQ(p.m_Crc, 0xFFFFFFFFu);
  }
  // Without EOP, or with fewer than eleven symbols, no bytes are read at all.
  EXPECT_EQ(Decoded(BmcDurations(FrameBits(kSop, good, false), 12), 12).m_ByteCount, 0);
  const CCCPacket shortOne = Decoded(BmcDurations(FrameBits(kSop, {1, 2, 3, 4, 5}), 12), 12);
  EXPECT_EQ(shortOne.m_SymbolCount, 10);
  EXPECT_EQ(shortOne.m_ByteCount, 0);
  EXPECT_FALSE(shortOne.m_HasPayload);
}

TEST(FramingMessage, FourBytesAreAnEmptyMessageAndItsCrc) {
  // The CRC of no bytes is 0, so four zero bytes check out.
  const CCCPacket zeros = Decoded(BmcDurations(MessageBits({0, 0, 0, 0}), 20), 20);
  EXPECT_TRUE(zeros.m_HasPayload);
  EXPECT_EQ(zeros.m_ByteCount, 0);
  EXPECT_EQ(zeros.m_Crc, 0u);
  EXPECT_TRUE(zeros.m_CrcOk);
  const CCCPacket other = Decoded(BmcDurations(MessageBits({1, 0, 0, 0}), 20), 20);
  EXPECT_TRUE(other.m_HasPayload);
  EXPECT_EQ(other.m_ByteCount, 0);
  EXPECT_EQ(other.m_Crc, 1u);
  EXPECT_FALSE(other.m_CrcOk);
}

TEST(FramingMessage, NeverMoreThanTheBufferHolds) {
  for (int total : {268, 269, 300}) {
    std::vector<std::uint8_t> body(static_cast<std::size_t>(total - 4));
    for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<std::uint8_t>(i * 7 + 1);
    const Durations d = BmcDurations(MessageBits(WithCrc(body)), 20);
    ASSERT_LE(d.size(), static_cast<std::size_t>(kMaxEdgesPerPacket));
    const CCCPacket p = Decoded(d, 20);
    SCOPED_TRACE(total);
    EXPECT_EQ(p.m_Kind, kKindSop);
    EXPECT_EQ(p.m_CrcOk, total == 268);
    EXPECT_EQ(p.m_HasPayload, total == 268);
    EXPECT_EQ(p.m_ByteCount, total == 268 ? 264 : 0);
  }
}

// ---------------------------------------------------------------------------------------------
// Recovery of packets the plain decoder loses

TEST(FramingRecovery, LevelBias) {
  // A half-bit is 6.6 ticks at divider 12 and 4 at divider 20.
  struct Case {
    int tickDiv, shift;
  } cases[] = {{12, 3}, {12, 4}, {20, 1}};
  for (const auto [tickDiv, shift] : cases) {
    Durations d = BmcDurations(MessageBits(SourceCapsBytes()), tickDiv);
    AddLevelBias(d, shift);
    const CCCPacket p = Decoded(d, tickDiv);
    SCOPED_TRACE(testing::Message() << "div " << tickDiv << " shift " << shift);
    EXPECT_TRUE(p.m_CrcOk);
    EXPECT_EQ(p.m_Recovery, kRecoveryLevelBias);  // so the plain decode had failed
    EXPECT_EQ(p.Header(), kSourceCapsHeader);
    EXPECT_TRUE(p.m_PreambleFound);
    EXPECT_NEAR(p.m_UnitInterval, 3.3, 0.1);
  }
}

TEST(FramingRecovery, CutPreamble) {
  for (int dropped : {5, 20, 45, 64}) {
    Bits bits = MessageBits(SourceCapsBytes());
    bits.erase(bits.begin(), bits.begin() + dropped);
    const CCCPacket p = Decoded(BmcDurations(bits, 20), 20);
    SCOPED_TRACE(dropped);
    EXPECT_TRUE(p.m_CrcOk);
    EXPECT_EQ(p.m_Recovery, kRecoverySync);
    EXPECT_EQ(p.m_Kind, kKindSop);
    EXPECT_EQ(p.Header(), kSourceCapsHeader);
    EXPECT_FALSE(p.m_PreambleFound);
    EXPECT_EQ(p.m_PreambleStart, -1);
    EXPECT_EQ(p.m_UnitInterval, 0.0f);
    EXPECT_EQ(p.m_SopStart + dropped + (dropped % 2), 64);  // an odd cut also loses the one it splits
  }
}

TEST(FramingRecovery, CutPreambleAndLevelBias) {
  Bits bits = MessageBits(SourceCapsBytes());
  bits.erase(bits.begin(), bits.begin() + 30);
  Durations d = BmcDurations(bits, 12);
  AddLevelBias(d, 3);
  const CCCPacket p = Decoded(d, 12);
  EXPECT_TRUE(p.m_CrcOk);
  EXPECT_EQ(p.m_Recovery, kRecoverySyncLevelBias);
  EXPECT_EQ(p.Header(), kSourceCapsHeader);
}

TEST(FramingRecovery, AResetWithoutPreambleIsNotTrusted) {
  Bits bits = FrameBits(kHardReset, {}, false);
  bits.erase(bits.begin(), bits.begin() + 20);
  const CCCPacket p = Decoded(BmcDurations(bits, 20), 20);
  EXPECT_EQ(p.m_Recovery, kRecoveryNone);
  EXPECT_EQ(p.m_Kind, kKindTooShort);
  EXPECT_FALSE(p.m_PreambleFound);
}

TEST(FramingRecovery, FailedRecoveryKeepsThePlainResults) {
  std::vector<std::uint8_t> bytes = SourceCapsBytes();
  bytes[5] ^= 0x10;
  const CCCPacket p = Decoded(BmcDurations(MessageBits(bytes), 20), 20);
  EXPECT_EQ(p.m_Recovery, kRecoveryNone);
  EXPECT_EQ(p.m_Kind, kKindSop);
  EXPECT_TRUE(p.m_PreambleFound);
  EXPECT_TRUE(p.m_HasPayload);
  EXPECT_FALSE(p.m_CrcOk);
  EXPECT_EQ(MessageOf(p), std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 4));
}

// ---------------------------------------------------------------------------------------------
// Hostile input

void ExpectSane(const CCCPacket& p) {
  ASSERT_GE(p.m_ByteCount, 0);
  ASSERT_LE(p.m_ByteCount, kMaxMessageBytes);
  ASSERT_LE(p.m_BitCount, static_cast<int>(p.m_pEdges.size()));
  ASSERT_EQ(p.m_BitCount, p.m_pBits.Size());
  ASSERT_GE(p.m_SymbolCount, 0);
  if (p.m_SymbolCount > 0) {
    ASSERT_GE(p.m_SopStart, 0);
    ASSERT_LE(p.m_SopStart + 5 * p.m_SymbolCount, p.m_BitCount);
  }
  if (p.m_CrcOk) {
    ASSERT_TRUE(IsMessageKind(p.m_Kind));
  }
}

TEST(FramingFuzz, RandomEdgeListsNeverCrash) {
  std::mt19937 rng(20261210);
  for (int round = 0; round < 3000; ++round) {
    CCCPacket p;
    const int n = std::uniform_int_distribution<int>(0, round % 10 == 0 ? 5200 : 700)(rng);
    const int tickDiv = std::uniform_int_distribution<int>(0, 30)(rng);
    const int mode = round % 3;
    p.m_TickDiv = tickDiv;
    for (int i = 0; i < n; ++i) {
      EdgeRecord e;
      // Plain noise, or durations near one and two half-bits with the odd outlier.
      const int half = std::max(1, static_cast<int>(std::lround(79.2 / std::max(tickDiv, 1))));
      const int pick = std::uniform_int_distribution<int>(0, 9)(rng);
      e.duration = static_cast<std::uint8_t>(mode == 0 ? rng() : pick < 6 ? half : pick < 9 ? 2 * half : rng());
      e.classRole = static_cast<std::uint8_t>(rng());
      e.bitIndex = static_cast<std::uint16_t>(rng());
      p.m_pEdges.push_back(e);
    }
    p.m_EdgeCount = mode == 2 ? static_cast<int>(rng() % 6000) - 100 : n;
    DecodePacketFraming(p);
    ExpectSane(p);
  }
}

TEST(FramingFuzz, NoiseNeverBecomesAGoodMessage) {
  std::mt19937 rng(7);
  int syncFound = 0;
  for (int round = 0; round < 2000; ++round) {
    // A well-formed BMC burst of random bits, half of them behind a real preamble and SOP.
    Bits bits = round % 2 ? Bits{} : FrameBits(kSop, {}, false);
    const int extra = std::uniform_int_distribution<int>(20, 600)(rng);
    for (int i = 0; i < extra; ++i) bits.push_back(static_cast<int>(rng() & 1));
    const int tickDiv = round % 3 == 0 ? 12 : 20;
    Durations d = BmcDurations(bits, tickDiv);
    if (round % 5 == 0) AddLevelBias(d, 1);
    const CCCPacket p = Decoded(d, tickDiv);
    ExpectSane(p);
    ASSERT_FALSE(p.m_CrcOk) << round;
    syncFound += p.m_Kind == kKindSop;
  }
  EXPECT_GT(syncFound, 500);  // the bursts did reach the byte decoder
}

}  // namespace
}  // namespace zk
