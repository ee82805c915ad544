#include "sim/encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pd/framing.h"
#include "pd/message_header.h"

namespace zk::sim {
namespace {

// Bit by bit, so that it shares nothing with the table-driven CRC of the library.
std::uint32_t ReferenceCrc(const std::vector<std::uint8_t>& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::uint8_t b : bytes) {
    for (int i = 0; i < 8; ++i) {
      const bool feedback = ((crc ^ (b >> i)) & 1) != 0;
      crc >>= 1;
      if (feedback) crc ^= 0xEDB88320u;
    }
  }
  return ~crc;
}

// Line patterns as the USB PD tables print them: leftmost digit is bit 4, bit 0 is sent first.
std::vector<std::uint8_t> SentBits(const char* pattern) {
  std::vector<std::uint8_t> bits;
  for (int i = 4; i >= 0; --i) bits.push_back(static_cast<std::uint8_t>(pattern[i] - '0'));
  return bits;
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& v, std::size_t from, std::size_t n) {
  return std::vector<std::uint8_t>(v.begin() + static_cast<std::ptrdiff_t>(from),
                                   v.begin() + static_cast<std::ptrdiff_t>(from + n));
}

PdMessageSpec SourceCaps(int count) {
  const std::uint32_t pdos[7] = {0x0A01912C, 0x0002D12C, 0x0004B12C, 0x0006412C, 0xC8DC213C, 0xC9402128, 0xCB2C3C3C};
  return DataMessage(kKindSop, kDataSourceCapabilities, kRev30, kSourceDfp, 1,
                     std::vector<std::uint32_t>(pdos, pdos + count));
}

TEST(EncoderMessage, HeaderAndExtendedHeaderFields) {
  const std::uint16_t h = MakeHeader(kDataRequest, kRev30, kSinkUfp, 6, 1, false);
  EXPECT_EQ(HeaderMessageType(h), kDataRequest);
  EXPECT_EQ(HeaderRevision(h), kRev30);
  EXPECT_EQ(HeaderPowerRole(h), 0);
  EXPECT_EQ(HeaderDataRole(h), 0);
  EXPECT_EQ(HeaderMessageId(h), 6);
  EXPECT_EQ(HeaderObjectCount(h), 1);
  EXPECT_EQ(HeaderExtendedBit(h), 0);
  EXPECT_EQ(MakeHeader(kCtrlGoodCrc, kRev20, kSourceDfp, 7, 0, false), 0x0F61);

  const std::uint16_t x = MakeExtendedHeader(53, true, 2, false);
  EXPECT_EQ(ExtDataSize(x), 53);
  EXPECT_EQ(ExtChunked(x), 1);
  EXPECT_EQ(ExtChunkNumber(x), 2);
  EXPECT_EQ(ExtRequestChunk(x), 0);

  // Seven bytes after the 2-byte extended header fill three objects once padded to twelve.
  const PdMessageSpec m =
      ExtendedMessage(kKindSop, 5, kRev30, kSinkUfp, 0, MakeExtendedHeader(7, true, 0, false), {1, 2, 3, 4, 5, 6, 7});
  EXPECT_EQ(HeaderObjectCount(m.header), 3);
  EXPECT_EQ(HeaderExtendedBit(m.header), 1);
  EXPECT_EQ(MessageBytes(m).size(), 14u);
}

TEST(EncoderMessage, SymbolsFollowTheMessageLayout) {
  const PdMessageSpec m = SourceCaps(2);
  const std::vector<std::uint8_t> bytes = MessageBytes(m);
  ASSERT_EQ(bytes.size(), 10u);
  EXPECT_EQ(bytes[0], m.header & 0xFF);
  EXPECT_EQ(bytes[2], 0x2C);  // first data object, little-endian
  EXPECT_EQ(MessageCrc(m), ReferenceCrc(bytes));

  const std::vector<std::uint8_t> s = EncodeSymbols(m);
  ASSERT_EQ(s.size(), 4u + 2 * (10 + 4) + 1);
  EXPECT_EQ(Slice(s, 0, 4), (std::vector<std::uint8_t>{kSymSync1, kSymSync1, kSymSync1, kSymSync2}));
  EXPECT_EQ(s[4], bytes[0] & 0x0F);  // low nibble first
  EXPECT_EQ(s[5], bytes[0] >> 4);
  const std::uint32_t crc = ReferenceCrc(bytes);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(s[24 + i], (crc >> (4 * i)) & 0x0F) << i;
  EXPECT_EQ(s.back(), kSymEop);

  const std::vector<std::uint8_t> bad = EncodeSymbols(m, true);
  EXPECT_NE(bad, s);
  EXPECT_EQ(Slice(bad, 0, 24), Slice(s, 0, 24));  // only the CRC differs
}

TEST(EncoderMessage, BareOrderedSetsAndUnencodableKinds) {
  struct Case {
    int kind;
    std::vector<std::uint8_t> symbols;
  } cases[] = {
      {kKindHardReset, {kSymRst1, kSymRst1, kSymRst1, kSymRst2}},
      {kKindCableReset, {kSymRst1, kSymSync1, kSymRst1, kSymSync3}},
      {kKindTooShort, {}},
      {kKindUnknown, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeSymbols(BareOrderedSet(c.kind)), c.symbols) << c.kind;
    EXPECT_TRUE(MessageBytes(BareOrderedSet(c.kind)).empty());
  }
  EXPECT_TRUE(EncodeLineBits(BareOrderedSet(kKindUnknown)).empty());
}

TEST(EncoderLineBits, PreambleThenFiveBitCodesBitZeroFirst) {
  const PdMessageSpec m = ControlMessage(kKindSopP, kCtrlGoodCrc, kRev30, kCablePlug, 0);
  const std::vector<std::uint8_t> bits = EncodeLineBits(m);
  ASSERT_EQ(bits.size(), static_cast<std::size_t>(kPreambleBits + 5 * (4 + 4 + 8 + 1)));
  for (int i = 0; i < kPreambleBits; ++i) ASSERT_EQ(bits[i], i & 1) << i;
  EXPECT_EQ(Slice(bits, 64, 5), SentBits("11000"));               // Sync-1
  EXPECT_EQ(Slice(bits, 74, 5), SentBits("00110"));               // Sync-3
  EXPECT_EQ(Slice(bits, 84, 5), SentBits("01001"));               // data 1: GoodCRC's low nibble
  EXPECT_EQ(Slice(bits, bits.size() - 5, 5), SentBits("01101"));  // EOP

  const std::vector<std::uint8_t> hr = EncodeLineBits(BareOrderedSet(kKindHardReset));
  ASSERT_EQ(hr.size(), static_cast<std::size_t>(kPreambleBits + 20));
  EXPECT_EQ(Slice(hr, 64, 5), SentBits("00111"));  // RST-1
  EXPECT_EQ(Slice(hr, 79, 5), SentBits("11001"));  // RST-2
}

std::vector<std::uint8_t> Bits(const char* s) {
  std::vector<std::uint8_t> bits;
  for (; *s; ++s) bits.push_back(static_cast<std::uint8_t>(*s - '0'));
  return bits;
}

TEST(EncoderBmc, ZerosAreOneIntervalOnesAreTwo) {
  BmcOptions o;
  o.tickDiv = 1;  // 300 kbps: a half-bit is exactly 80 ticks
  const BmcWaveform w = EncodeBmc(Bits("01101"), o);
  EXPECT_EQ(w.Intervals(), (std::vector<std::uint32_t>{160, 80, 80, 80, 80, 160, 80, 80}));
  EXPECT_EQ(w.LevelAfterEdge(0), 1);
  EXPECT_EQ(w.LevelAfterEdge(1), 0);
  EXPECT_TRUE(EncodeBmc({}, o).edges.empty());
}

TEST(EncoderBmc, EdgesLandOnRoundedExactTimesWithoutDrift) {
  const std::vector<std::uint8_t> bits = EncodeLineBits(SourceCaps(7));
  struct Case {
    int rate, div;
  } cases[] = {{270000, 8}, {330000, 12}, {299000, 20}, {300000, 7}};
  for (const Case& c : cases) {
    BmcOptions o;
    o.bitRate = c.rate;
    o.tickDiv = c.div;
    const BmcWaveform w = EncodeBmc(bits, o);
    // Edge k sits at round(halfBits_k * 24e6 / (rate * div)) ticks.
    std::size_t k = 0;
    std::int64_t half = 0;
    const std::int64_t den = static_cast<std::int64_t>(c.rate) * c.div;
    auto expect = [&](std::int64_t h) { return static_cast<std::uint64_t>((2 * h * 24000000 + den) / (2 * den)); };
    for (std::uint8_t b : bits) {
      ASSERT_EQ(w.edges[k++], expect(half)) << c.rate << "/" << c.div << " edge " << k;
      if (b) {
        ASSERT_EQ(w.edges[k++], expect(half + 1));
      }
      half += 2;
    }
    ASSERT_EQ(k + 1, w.edges.size());
    EXPECT_EQ(w.edges.back(), expect(half));
  }
}

TEST(EncoderBmc, ImpairmentOptions) {
  const std::vector<std::uint8_t> bits = EncodeLineBits(SourceCaps(1));
  BmcOptions base;
  base.tickDiv = 1;
  const BmcWaveform clean = EncodeBmc(bits, base);

  BmcOptions o = base;
  o.levelBias = 10;
  const std::vector<std::uint32_t> biased = EncodeBmc(bits, o).Intervals();
  ASSERT_EQ(biased.size(), clean.Intervals().size());
  for (std::size_t k = 0; k < biased.size(); ++k) {
    const int expected = static_cast<int>(clean.Intervals()[k]) + (clean.LevelAfterEdge(k) ? 10 : -10);
    ASSERT_EQ(static_cast<int>(biased[k]), expected) << k;
  }

  o = base;
  o.truncateAfterBits = 100;
  EXPECT_EQ(EncodeBmc(bits, o).edges, EncodeBmc(Slice(bits, 0, 100), base).edges);
  o.truncateAfterBits = 0;
  EXPECT_TRUE(EncodeBmc(bits, o).edges.empty());

  o = base;
  o.dropPreambleBits = 9;
  EXPECT_EQ(EncodeBmc(bits, o).edges, EncodeBmc(Slice(bits, 9, bits.size() - 9), base).edges);
  o.dropPreambleBits = 1000;  // never beyond the preamble
  EXPECT_EQ(EncodeBmc(bits, o).edges, EncodeBmc(Slice(bits, 64, bits.size() - 64), base).edges);

  o = base;
  o.glitches = 3;
  o.glitchNs = 60;  // three ticks at divider 1
  const BmcWaveform glitched = EncodeBmc(bits, o);
  EXPECT_EQ(glitched.edges.size(), clean.edges.size() + 6);
  EXPECT_EQ(glitched.Length(), clean.Length());
  EXPECT_TRUE(std::includes(glitched.edges.begin(), glitched.edges.end(), clean.edges.begin(), clean.edges.end()));
  const std::vector<std::uint32_t> gi = glitched.Intervals();
  EXPECT_GE(std::count(gi.begin(), gi.end(), 3u), 3);

  o = base;
  o.jitterNs = 150;
  o.seed = 7;
  const BmcWaveform j1 = EncodeBmc(bits, o), j2 = EncodeBmc(bits, o);
  EXPECT_EQ(j1.edges, j2.edges);  // deterministic for a seed
  EXPECT_NE(j1.edges, clean.edges);
  for (std::size_t k = 1; k < j1.edges.size(); ++k) ASSERT_GT(j1.edges[k], j1.edges[k - 1]);
  o.seed = 8;
  EXPECT_NE(EncodeBmc(bits, o).edges, j1.edges);
}

TEST(EncoderBmc, EdgesNeverShareATick) {
  BmcOptions o;
  o.tickDiv = 256;  // a tick is longer than a half-bit
  const BmcWaveform w = EncodeBmc(Bits("1111"), o);
  ASSERT_EQ(w.edges.size(), 9u);
  for (std::uint32_t d : w.Intervals()) EXPECT_GE(d, 1u);
}

TEST(EncoderPacket, IntervalsAsTheLoaderStoresThem) {
  BmcOptions o;
  o.tickDiv = 1;
  o.bitRate = 150000;  // a zero lasts 320 ticks
  const BmcWaveform w = EncodeBmc(Bits("0110"), o);
  CCCPacket p;
  FillPacketEdges(w, p);
  EXPECT_EQ(p.m_TickDiv, 1);
  ASSERT_EQ(p.m_EdgeCount, 6);
  const int expected[] = {320 - 256, 160, 160, 160, 160, 320 - 256};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(p.m_pEdges[i].duration, expected[i]) << i;
    EXPECT_EQ(p.m_pEdges[i].classRole, 0);
  }
}

struct RoundTripCase {
  std::string name;
  PdMessageSpec message;
};

std::vector<RoundTripCase> RoundTripMessages() {
  return {
      {"control GoodCRC", ControlMessage(kKindSop, kCtrlGoodCrc, kRev30, kSinkUfp, 3)},
      {"Accept rev 2.0", ControlMessage(kKindSop, kCtrlAccept, kRev20, kSourceDfp, 7)},
      {"data 1 object", SourceCaps(1)},
      {"data 7 objects", SourceCaps(7)},
      {"extended chunk", ExtendedMessage(kKindSop, 17, kRev30, kSourceDfp, 2, MakeExtendedHeader(40, true, 0, false),
                                         std::vector<std::uint8_t>(26, 0x5A))},
      {"SOP' Discover Identity", DataMessage(kKindSopP, kDataVendorDefined, kRev30, kToCable, 0, {0xFF00A001})},
      {"SOP'' GoodCRC", ControlMessage(kKindSopPP, kCtrlGoodCrc, kRev30, kCablePlug, 4)},
      {"Hard Reset", BareOrderedSet(kKindHardReset)},
      {"Cable Reset", BareOrderedSet(kKindCableReset)},
  };
}

void ExpectDecodesTo(const CCCPacket& p, const PdMessageSpec& m, bool crcGood, const std::string& where) {
  EXPECT_EQ(p.m_Kind, m.kind) << where;
  if (!CarriesMessage(m)) {
    EXPECT_EQ(p.m_ByteCount, 0) << where;
    return;
  }
  const std::vector<std::uint8_t> bytes = MessageBytes(m);
  ASSERT_EQ(p.m_ByteCount, static_cast<int>(bytes.size())) << where;
  EXPECT_EQ(std::vector<std::uint8_t>(p.m_Bytes, p.m_Bytes + p.m_ByteCount), bytes) << where;
  EXPECT_EQ(p.Header(), m.header) << where;
  EXPECT_EQ(p.m_CrcOk, crcGood ? 1 : 0) << where;
  EXPECT_EQ(p.m_Crc, MessageCrc(m) ^ (crcGood ? 0u : 1u)) << where;
}

TEST(EncoderRoundTrip, DecoderReadsBackEveryMessageAtEveryRateAndDivider) {
  for (const RoundTripCase& c : RoundTripMessages()) {
    for (int rate : {270000, 300000, 330000}) {
      for (int div : {1, 8, 12, 20}) {
        BmcOptions o;
        o.bitRate = rate;
        o.tickDiv = div;
        CCCPacket p;
        FillPacketEdges(EncodeMessage(c.message, o), p);
        DecodePacketFraming(p);
        const std::string where = c.name + " @" + std::to_string(rate) + "/" + std::to_string(div);
        ExpectDecodesTo(p, c.message, true, where);
        EXPECT_EQ(p.m_Recovery, kRecoveryNone) << where;
        EXPECT_TRUE(p.m_PreambleFound) << where;
      }
    }
  }
}

TEST(EncoderRoundTrip, ImpairedMessagesDecodeAsTheyShould) {
  const PdMessageSpec m = SourceCaps(2);
  BmcOptions o;
  o.tickDiv = 12;
  o.corruptCrc = true;
  CCCPacket bad;
  FillPacketEdges(EncodeMessage(m, o), bad);
  DecodePacketFraming(bad);
  ExpectDecodesTo(bad, m, false, "corrupted CRC");

  o = BmcOptions{};
  o.tickDiv = 1;
  o.jitterNs = 60;
  o.dropPreambleBits = 2;
  CCCPacket jittered;
  FillPacketEdges(EncodeMessage(m, o), jittered);
  DecodePacketFraming(jittered);
  ExpectDecodesTo(jittered, m, true, "jitter and a short preamble");

  o = BmcOptions{};
  o.truncateAfterBits = kPreambleBits + 5 * 12;  // the ordered set and eight data symbols, no EOP
  CCCPacket cut;
  FillPacketEdges(EncodeMessage(m, o), cut);
  DecodePacketFraming(cut);
  EXPECT_EQ(cut.m_Kind, kKindSop);
  EXPECT_FALSE(cut.m_CrcOk);
}

}  // namespace
}  // namespace zk::sim
