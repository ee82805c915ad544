#include "sim/encoder.h"

#include <algorithm>
#include <array>
#include <random>

#include "pd/framing.h"

namespace zk::sim {

namespace {

struct OrderedSetSymbols {
  int kind;
  std::array<std::uint8_t, 4> symbols;
};

constexpr OrderedSetSymbols kOrderedSets[] = {
    {kKindSop, {kSymSync1, kSymSync1, kSymSync1, kSymSync2}},
    {kKindSopP, {kSymSync1, kSymSync1, kSymSync3, kSymSync3}},
    {kKindSopPP, {kSymSync1, kSymSync3, kSymSync1, kSymSync3}},
    {kKindHardReset, {kSymRst1, kSymRst1, kSymRst1, kSymRst2}},
    {kKindCableReset, {kSymRst1, kSymSync1, kSymRst1, kSymSync3}},
    {kKindSopPDebug, {kSymSync1, kSymRst2, kSymRst2, kSymSync3}},
    {kKindSopPPDebug, {kSymSync1, kSymRst2, kSymSync3, kSymSync2}},
};

const OrderedSetSymbols* FindOrderedSet(int kind) {
  for (const OrderedSetSymbols& o : kOrderedSets) {
    if (o.kind == kind) return &o;
  }
  return nullptr;
}

// Any value will do as long as it changes the CRC; one flipped bit is what noise does.
constexpr std::uint32_t kCrcCorruption = 0x00000001;

void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint64_t Draw(std::mt19937_64& rng, std::uint64_t range) { return range == 0 ? 0 : rng() % range; }

// Time is kept in units of 1 / (bitRate * tickDiv) ticks, in which a half-bit is exactly
// 24,000,000 units whatever the rate, so edge positions never accumulate rounding.
constexpr std::int64_t kHalfBitUnits = 24000000;

std::vector<std::int64_t> IdealEdgeUnits(const std::vector<std::uint8_t>& bits) {
  std::vector<std::int64_t> halfBits;
  if (bits.empty()) return halfBits;
  halfBits.reserve(bits.size() * 2 + 1);
  for (std::size_t i = 0; i < bits.size(); ++i) {
    halfBits.push_back(static_cast<std::int64_t>(2 * i));
    if (bits[i]) halfBits.push_back(static_cast<std::int64_t>(2 * i + 1));
  }
  halfBits.push_back(static_cast<std::int64_t>(2 * bits.size()));  // the last bit's trailing edge
  for (std::int64_t& h : halfBits) h *= kHalfBitUnits;
  return halfBits;
}

std::vector<std::uint32_t> RoundToTicks(const std::vector<std::int64_t>& units, std::int64_t unitsPerTick,
                                        std::int64_t jitterUnits, std::mt19937_64& rng) {
  std::vector<std::uint32_t> intervals;
  std::int64_t previous = 0;
  for (std::size_t k = 0; k < units.size(); ++k) {
    std::int64_t u = units[k] + jitterUnits;  // offset keeps jittered times non-negative
    if (jitterUnits > 0)
      u += static_cast<std::int64_t>(Draw(rng, static_cast<std::uint64_t>(2 * jitterUnits + 1))) - jitterUnits;
    std::int64_t tick = (2 * u + unitsPerTick) / (2 * unitsPerTick);
    if (k > 0) {
      tick = std::max(tick, previous + 1);
      intervals.push_back(static_cast<std::uint32_t>(tick - previous));
    }
    previous = tick;
  }
  return intervals;
}

void ApplyLevelBias(std::vector<std::uint32_t>& intervals, int idleLevel, int bias) {
  if (bias == 0) return;
  for (std::size_t k = 0; k < intervals.size(); ++k) {
    const int level = idleLevel ^ 1 ^ static_cast<int>(k & 1);
    const std::int64_t d = static_cast<std::int64_t>(intervals[k]) + (level ? bias : -bias);
    intervals[k] = static_cast<std::uint32_t>(std::clamp<std::int64_t>(d, 1, 0xFFFFFFFF));
  }
}

void InsertGlitches(std::vector<std::uint32_t>& intervals, int count, std::uint32_t width, std::mt19937_64& rng) {
  for (int g = 0; g < count; ++g) {
    std::vector<std::size_t> room;
    for (std::size_t k = 0; k < intervals.size(); ++k) {
      if (intervals[k] >= width + 2) room.push_back(k);
    }
    if (room.empty()) return;
    const std::size_t k = room[Draw(rng, room.size())];
    const std::uint32_t d = intervals[k];
    const auto before = static_cast<std::uint32_t>(1 + Draw(rng, d - width - 1));
    intervals[k] = before;
    intervals.insert(intervals.begin() + static_cast<std::ptrdiff_t>(k) + 1, {width, d - before - width});
  }
}

}  // namespace

std::uint16_t MakeHeader(int type, int revision, PortRoles roles, int id, int objectCount, bool extended) {
  return static_cast<std::uint16_t>((type & 0x1F) | ((roles.data & 1) << 5) | ((revision & 3) << 6) |
                                    ((roles.power & 1) << 8) | ((id & 7) << 9) | ((objectCount & 7) << 12) |
                                    ((extended ? 1 : 0) << 15));
}

std::uint16_t MakeExtendedHeader(int dataSize, bool chunked, int chunkNumber, bool requestChunk) {
  return static_cast<std::uint16_t>((dataSize & 0x1FF) | ((requestChunk ? 1 : 0) << 10) | ((chunkNumber & 0x0F) << 11) |
                                    ((chunked ? 1 : 0) << 15));
}

PdMessageSpec ControlMessage(int kind, int type, int revision, PortRoles roles, int id) {
  PdMessageSpec m;
  m.kind = kind;
  m.header = MakeHeader(type, revision, roles, id, 0, false);
  return m;
}

PdMessageSpec DataMessage(int kind, int type, int revision, PortRoles roles, int id,
                          std::vector<std::uint32_t> objects) {
  PdMessageSpec m;
  m.kind = kind;
  m.header = MakeHeader(type, revision, roles, id, static_cast<int>(objects.size()), false);
  m.objects = std::move(objects);
  return m;
}

PdMessageSpec ExtendedMessage(int kind, int type, int revision, PortRoles roles, int id, std::uint16_t extHeader,
                              std::vector<std::uint8_t> data) {
  PdMessageSpec m;
  m.kind = kind;
  m.extended = true;
  m.extHeader = extHeader;
  while ((2 + data.size()) % 4 != 0) data.push_back(0);
  const int objects = static_cast<int>((2 + data.size()) / 4);
  m.header = MakeHeader(type, revision, roles, id, objects, true);
  m.extData = std::move(data);
  return m;
}

PdMessageSpec BareOrderedSet(int kind) {
  PdMessageSpec m;
  m.kind = kind;
  return m;
}

bool CarriesMessage(const PdMessageSpec& m) {
  return m.kind == kKindSop || m.kind == kKindSopP || m.kind == kKindSopPP || m.kind == kKindSopPDebug ||
         m.kind == kKindSopPPDebug;
}

std::vector<std::uint8_t> MessageBytes(const PdMessageSpec& m) {
  std::vector<std::uint8_t> out;
  if (!CarriesMessage(m)) return out;
  out.reserve(4 + m.extData.size() + 4 * m.objects.size());
  AppendU16(out, m.header);
  if (m.extended) {
    AppendU16(out, m.extHeader);
    for (std::uint8_t b : m.extData) out.push_back(b);
  } else {
    for (std::uint32_t o : m.objects) AppendU32(out, o);
  }
  return out;
}

std::uint32_t MessageCrc(const PdMessageSpec& m) {
  const std::vector<std::uint8_t> bytes = MessageBytes(m);
  return PdCrc32(bytes.data(), static_cast<int>(bytes.size()));
}

std::vector<std::uint8_t> EncodeSymbols(const PdMessageSpec& m, bool corruptCrc) {
  std::vector<std::uint8_t> symbols;
  const OrderedSetSymbols* os = FindOrderedSet(m.kind);
  if (!os) return symbols;
  symbols.assign(os->symbols.begin(), os->symbols.end());
  if (!CarriesMessage(m)) return symbols;
  std::vector<std::uint8_t> bytes = MessageBytes(m);
  AppendU32(bytes, PdCrc32(bytes.data(), static_cast<int>(bytes.size())) ^ (corruptCrc ? kCrcCorruption : 0));
  for (std::uint8_t b : bytes) {
    symbols.push_back(b & 0x0F);
    symbols.push_back(b >> 4);
  }
  symbols.push_back(kSymEop);
  return symbols;
}

std::vector<std::uint8_t> EncodeLineBits(const PdMessageSpec& m, bool corruptCrc) {
  const std::vector<std::uint8_t> symbols = EncodeSymbols(m, corruptCrc);
  std::vector<std::uint8_t> bits;
  if (symbols.empty()) return bits;
  bits.reserve(kPreambleBits + 5 * symbols.size());
  for (int i = 0; i < kPreambleBits; ++i) bits.push_back(static_cast<std::uint8_t>(i & 1));
  for (std::uint8_t s : symbols) {
    const int code = Encode4b5b(s);
    for (int b = 0; b < 5; ++b) bits.push_back(static_cast<std::uint8_t>((code >> b) & 1));
  }
  return bits;
}

std::vector<std::uint32_t> BmcWaveform::Intervals() const {
  std::vector<std::uint32_t> out;
  for (std::size_t k = 1; k < edges.size(); ++k) out.push_back(static_cast<std::uint32_t>(edges[k] - edges[k - 1]));
  return out;
}

BmcWaveform EncodeBmc(const std::vector<std::uint8_t>& bits, const BmcOptions& options) {
  BmcWaveform w;
  w.tickDiv = std::clamp(options.tickDiv, 1, 256);
  const std::int64_t rate = std::max(1, options.bitRate);

  const std::size_t drop = std::min<std::size_t>({static_cast<std::size_t>(std::max(0, options.dropPreambleBits)),
                                                  static_cast<std::size_t>(kPreambleBits), bits.size()});
  std::vector<std::uint8_t> sent(bits.begin() + static_cast<std::ptrdiff_t>(drop), bits.end());
  if (options.truncateAfterBits >= 0 && static_cast<std::size_t>(options.truncateAfterBits) < sent.size()) {
    sent.resize(static_cast<std::size_t>(options.truncateAfterBits));
  }

  std::mt19937_64 rng(options.seed);
  const std::int64_t unitsPerTick = rate * w.tickDiv;
  const std::int64_t jitterUnits = static_cast<std::int64_t>(std::max(0, options.jitterNs)) * 48 * rate / 1000;
  std::vector<std::uint32_t> intervals = RoundToTicks(IdealEdgeUnits(sent), unitsPerTick, jitterUnits, rng);
  ApplyLevelBias(intervals, w.idleLevel, options.levelBias);
  const auto glitchTicks = static_cast<std::uint32_t>(std::max<std::int64_t>(
      1, (static_cast<std::int64_t>(std::max(0, options.glitchNs)) * 48 + 500 * w.tickDiv) / (1000 * w.tickDiv)));
  InsertGlitches(intervals, options.glitches, glitchTicks, rng);

  if (sent.empty()) return w;
  w.edges.reserve(intervals.size() + 1);
  std::uint64_t t = 0;
  w.edges.push_back(t);
  for (std::uint32_t d : intervals) w.edges.push_back(t += d);
  return w;
}

BmcWaveform EncodeMessage(const PdMessageSpec& m, const BmcOptions& options) {
  return EncodeBmc(EncodeLineBits(m, options.corruptCrc), options);
}

void FillPacketEdges(const BmcWaveform& w, CCCPacket& packet) {
  packet.m_TickDiv = w.tickDiv;
  packet.m_pEdges.clear();
  for (std::uint32_t d : w.Intervals()) {
    if (packet.m_pEdges.size() >= static_cast<std::size_t>(kMaxEdgesPerPacket)) break;
    EdgeRecord e;
    e.duration = static_cast<std::uint8_t>(d & 0xFF);
    packet.m_pEdges.push_back(e);
  }
  packet.m_EdgeCount = static_cast<std::int32_t>(packet.m_pEdges.size());
}

}  // namespace zk::sim
