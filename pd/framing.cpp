#include "pd/framing.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <new>
#include <vector>

#include "pd/message_header.h"

namespace zk {
namespace {

// ---------------------------------------------------------------------------------------------
// Tables

struct LineCode {
  std::uint8_t symbol;
  std::uint8_t code;  // written as in the USB PD tables: the leftmost digit is bit 4, bit 0 goes first
};
constexpr LineCode kLineCodes[] = {
    {0x00, 0b11110},    {0x01, 0b01001},      {0x02, 0b10100},      {0x03, 0b10101},     {0x04, 0b01010},
    {0x05, 0b01011},    {0x06, 0b01110},      {0x07, 0b01111},      {0x08, 0b10010},     {0x09, 0b10011},
    {0x0A, 0b10110},    {0x0B, 0b10111},      {0x0C, 0b11010},      {0x0D, 0b11011},     {0x0E, 0b11100},
    {0x0F, 0b11101},    {kSymSync1, 0b11000}, {kSymSync2, 0b10001}, {kSymRst1, 0b00111}, {kSymRst2, 0b11001},
    {kSymEop, 0b01101}, {kSymSync3, 0b00110},
};

constexpr std::array<std::uint8_t, 32> MakeSymbolTable() {
  std::array<std::uint8_t, 32> table{};
  for (std::uint8_t& s : table) s = kSymInvalid;
  for (const LineCode& c : kLineCodes) table[c.code] = c.symbol;
  return table;
}
constexpr std::array<std::uint8_t, 32> kSymbolOfCode = MakeSymbolTable();

// In the order they are tested.
struct OrderedSetRow {
  int kind;
  std::uint8_t symbols[4];
};
constexpr OrderedSetRow kOrderedSets[] = {
    {kKindSop, {kSymSync1, kSymSync1, kSymSync1, kSymSync2}},
    {kKindSopP, {kSymSync1, kSymSync1, kSymSync3, kSymSync3}},
    {kKindSopPP, {kSymSync1, kSymSync3, kSymSync1, kSymSync3}},
    {kKindSopPDebug, {kSymSync1, kSymRst2, kSymRst2, kSymSync3}},
    {kKindSopPPDebug, {kSymSync1, kSymRst2, kSymSync3, kSymSync2}},
    {kKindHardReset, {kSymRst1, kSymRst1, kSymRst1, kSymRst2}},
    {kKindCableReset, {kSymRst1, kSymSync1, kSymRst1, kSymSync3}},
};

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    table[i] = c;
  }
  return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

constexpr int kUiEstimateIntervals = 150;
constexpr float kDefaultUnitInterval = 3.3f;
constexpr int kGateLimit = 10;
constexpr int kPreambleAlternations = 60;
constexpr int kMinMessageSymbols = 11;
constexpr std::uint16_t kNoBit = 0xFFFF;

// ---------------------------------------------------------------------------------------------
// Intervals: estimate, classification, gate

int EdgesToDecode(const CCCPacket& p) {
  const std::size_t held = std::min(p.m_pEdges.size(), static_cast<std::size_t>(kMaxEdgesPerPacket));
  return std::clamp(p.m_EdgeCount, 0, static_cast<int>(held));
}

float EstimateUnitInterval(const CCCPacket& p, int n) {
  if (n <= kUiEstimateIntervals) return kDefaultUnitInterval;
  std::uint32_t sum = 0;
  for (int i = 1; i <= kUiEstimateIntervals; ++i) sum += p.m_pEdges[i].duration;
  return static_cast<float>(p.m_TickDiv) * static_cast<float>(sum) / 48.0f / 50.0f * 0.5f;
}

// Half the difference between the mean duration of the even- and the odd-numbered intervals of
// the preamble: how much longer one line level lasts than the other.
float EstimateLevelBias(const CCCPacket& p, int n) {
  const int last = std::min(n - 1, kUiEstimateIntervals);
  if (last < 1) return 0.0f;
  long diff = 0;
  for (int i = 1; i <= last; ++i) diff += (i % 2 == 0) ? p.m_pEdges[i].duration : -p.m_pEdges[i].duration;
  return static_cast<float>(diff) / static_cast<float>(last);
}

// Class and initial role byte of each band between the thresholds 6, 13, 16 and 26 tenths of a
// half-bit; a whole zero knows its role at once.
constexpr std::uint8_t ClassRole(int cls) {
  return static_cast<std::uint8_t>(cls | ((cls == kClass2Bits ? kRoleZero : kRoleNone) << 3));
}
constexpr std::uint8_t kClassRoleOfBand[5] = {ClassRole(kClassShort), ClassRole(kClass1Bit), ClassRole(kClass1or2Bits),
                                              ClassRole(kClass2Bits), ClassRole(kClassLong)};
constexpr std::uint8_t kFirstClassRoleOfBand[5] = {ClassRole(kClassShort), ClassRole(kClass1Bit),
                                                   ClassRole(kClass2Bits), ClassRole(kClass2Bits),
                                                   ClassRole(kClass2Bits)};

constexpr float kBandStarts[4] = {6.0f, 13.0f, 16.0f, 26.0f};

// What one interval adds to the packed class counts, by its class and role byte: one in the
// class's 16-bit field, nothing for "long" (counted as the rest).
constexpr int kCountBits = 16;
constexpr std::array<std::uint64_t, 64> MakeCountSteps() {
  std::array<std::uint64_t, 64> steps{};
  for (int classRole = 0; classRole < 64; ++classRole) {
    const int cls = classRole & 0x07;
    if (cls < kClassLong) steps[static_cast<std::size_t>(classRole)] = std::uint64_t{1} << (kCountBits * cls);
  }
  return steps;
}
constexpr std::array<std::uint64_t, 64> kCountStep = MakeCountSteps();
static_assert(kMaxEdgesPerPacket < (1 << kCountBits), "a class count must fit its field");

// An interval's length in tenths of a half-bit, before truncation. Comparing it with the whole
// thresholds gives the same answer as truncating first, and keeps NaN or infinity out of an int.
float Tenths(int duration, float shift, float halfBit) {
  return (static_cast<float>(duration) + shift) * 10.0f / halfBit;
}

int BandOf(float tenths) {
  int band = 0;
  for (float start : kBandStarts) band += tenths >= start;
  return band;
}

// The shortest duration whose tenths reach `start` (256 when none does). Tenths only grow with
// the duration, so a binary search with the exact formula finds it.
int FirstDurationReaching(float start, float shift, float halfBit) {
  int lo = 0, hi = 256;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (Tenths(mid, shift, halfBit) >= start)
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

// Class and role byte of every possible duration: one look-up per interval instead of a division.
using DurationTable = std::array<std::uint8_t, 256>;
void FillDurationTable(DurationTable& table, float shift, float halfBit) {
  int from = 0;
  for (int band = 0; band < 5; ++band) {
    const int to = band < 4 ? std::max(from, FirstDurationReaching(kBandStarts[band], shift, halfBit)) : 256;
    std::fill(table.begin() + from, table.begin() + to, kClassRoleOfBand[band]);
    from = to;
  }
}

void ClassifyIntervals(CCCPacket& p, int n, float levelBias) {
  const float ui = EstimateUnitInterval(p, n);
  const float halfBit = ui * 48.0f / static_cast<float>(p.m_TickDiv) * 0.5f;
  // Even-numbered intervals are shifted by -levelBias, odd-numbered ones by +levelBias.
  DurationTable even, odd;
  FillDurationTable(even, -levelBias, halfBit);
  if (levelBias != 0.0f) FillDurationTable(odd, levelBias, halfBit);
  const DurationTable* tables[2] = {&even, levelBias != 0.0f ? &odd : &even};

  EdgeRecord* edges = p.m_pEdges.data();
  edges[0].classRole = kFirstClassRoleOfBand[BandOf(Tenths(edges[0].duration, -levelBias, halfBit))];
  edges[0].bitIndex = kNoBit;
  // Counts of the classes below "long" are 16-bit fields of one register, each interval adding
  // its class's step from a table; "long" is what is left. A count in memory would make
  // neighbours of one class wait for each other.
  std::uint64_t counts = kCountStep[edges[0].classRole];
  std::uint32_t ticks = edges[0].duration;
  const auto classify = [edges, &counts, &ticks](int i, const DurationTable& table) {
    const std::uint8_t duration = edges[i].duration;
    const std::uint8_t classRole = table[duration];
    ticks += duration;
    counts += kCountStep[classRole];
    edges[i] = EdgeRecord{duration, classRole, kNoBit};
  };
  int i = 1;
  for (; i + 1 < n; i += 2) {
    classify(i, *tables[1]);
    classify(i + 1, *tables[0]);
  }
  if (i < n) classify(i, *tables[1]);
  const auto count = [counts](int cls) { return static_cast<int>((counts >> (kCountBits * cls)) & 0xFFFF); };
  const int belowLong = count(kClassShort) + count(kClass1Bit) + count(kClass2Bits) + count(kClass1or2Bits);
  p.m_TotalTicks = static_cast<std::int32_t>(ticks);
  p.m_Class0Count = static_cast<std::int16_t>(count(kClassShort));
  p.m_Class1Count = static_cast<std::int16_t>(count(kClass1Bit));
  p.m_Class2Count = static_cast<std::int16_t>(count(kClass2Bits));
  p.m_Class3Count = static_cast<std::int16_t>(count(kClass1or2Bits));
  p.m_Class4Count = static_cast<std::int16_t>(n - belowLong);
}

bool PassesGate(const CCCPacket& p) { return p.m_Class0Count <= kGateLimit && p.m_Class4Count <= kGateLimit; }

// ---------------------------------------------------------------------------------------------
// Resolve pass

// Record writes of the trial search, so that a failed trial can be undone without copying every
// edge record at every level.
struct EdgeUndo {
  int index;
  std::uint8_t classRole;
};

// The plain pass keeps no journal: it is instantiated without one rather than asking at
// every write.
template <bool kJournaled>
class EdgeWriter {
 public:
  EdgeWriter(EdgeRecord* edges, std::vector<EdgeUndo>* journal) : m_Edges(edges), m_Journal(journal) {}

  void Set(int i, int cls, int role) {
    if constexpr (kJournaled) m_Journal->push_back({i, m_Edges[i].classRole});
    m_Edges[i].SetClass(cls);
    m_Edges[i].SetRole(role);
  }
  void Pair(int first) {
    Set(first, m_Edges[first].Class(), kRoleOneFirst);
    Set(first + 1, m_Edges[first + 1].Class(), kRoleOneSecond);
  }

 private:
  EdgeRecord* m_Edges;
  std::vector<EdgeUndo>* m_Journal;
};

// Puts bits into a packet's bit array a byte at a time (storing each one would reload the
// array's size) and numbers the edges that start them; goes on from the bits already there.
class BitCollector {
 public:
  explicit BitCollector(CCCPacket& p)
      : m_Edges(p.m_pEdges.data()), m_Bits(p.m_pBits), m_FirstBitEdge(p.m_FirstBitEdge), m_Count(p.m_pBits.Size()) {}

  void Take(int edge, unsigned bit) {
    if (m_Count == 0) m_FirstBitEdge = static_cast<std::int16_t>(edge);
    m_Edges[edge].bitIndex = static_cast<std::uint16_t>(m_Count++);
    m_Pending |= bit << m_PendingBits;
    if (++m_PendingBits == 8) Flush();
  }
  void Flush() {
    if (m_PendingBits == 0) return;
    m_Bits.Append(m_Pending, m_PendingBits);
    m_Pending = 0;
    m_PendingBits = 0;
  }
  int Count() const { return m_Count; }

 private:
  EdgeRecord* m_Edges;
  BitArray& m_Bits;
  std::int16_t& m_FirstBitEdge;
  int m_Count;
  unsigned m_Pending = 0;
  int m_PendingBits = 0;
};

// Collects the bits of the intervals the resolve walk settles in order, as DecodeBits would,
// so that a clean packet is gone through once. It stops at the first interval the walk cannot
// settle at once; DecodeBits goes on from there.
class BitGatherer {
 public:
  BitGatherer(CCCPacket& p, int n) : m_P(p), m_Bits(p) { p.m_pBits.Reserve(n); }

  void Zero(int i) {
    if (m_Active) m_Bits.Take(i, 0);
  }
  void One(int i) {  // the one's second half stays without a bit
    if (m_Active) m_Bits.Take(i, 1);
  }
  void Stop(int i) {
    if (!m_Active) return;
    m_Active = false;
    m_NextEdge = i;
    m_Bits.Flush();
  }
  // The first edge DecodeBits has to look at; once stopped.
  int NextEdge() const { return m_NextEdge; }
  // For a packet the walk left unsettled: the trial search starts from edges without bits.
  void Discard() {
    for (int i = 0; i < m_NextEdge; ++i) m_P.m_pEdges[static_cast<std::size_t>(i)].bitIndex = kNoBit;
    m_P.m_pBits.Clear();
    m_P.m_FirstBitEdge = 0;
  }

 private:
  CCCPacket& m_P;
  BitCollector m_Bits;
  bool m_Active = true;
  int m_NextEdge = 0;
};

bool IsHalfBit(int c) { return c == kClass1Bit || c == kClass1BitResolved; }
bool IsWholeBit(int c) { return c == kClass2Bits || c == kClass2BitsResolved; }

// Pairs `first` and `first + 1` into a one when they can be its two halves.
template <class Writer>
bool TryPairOne(const EdgeRecord* edges, Writer& w, int first) {
  const int a = edges[first].Class();
  const int b = edges[first + 1].Class();
  if (IsHalfBit(a) && IsHalfBit(b)) {
    w.Pair(first);
    return true;
  }
  if (IsHalfBit(a) && b == kClass1or2Bits) {
    w.Set(first + 1, kClass1BitResolved, kRoleNone);
    w.Pair(first);
    return true;
  }
  return false;
}

// The mirror image for the tail of a run: its last interval is a half-bit.
template <class Writer>
bool TryPairOneAtTail(const EdgeRecord* edges, Writer& w, int end) {
  const int last = edges[end - 1].Class();
  const int before = edges[end - 2].Class();
  if (!IsHalfBit(last)) return false;
  if (before == kClass1or2Bits) {
    w.Set(end - 2, kClass1BitResolved, kRoleNone);
  } else if (!IsHalfBit(before)) {
    return false;
  }
  w.Pair(end - 2);
  return true;
}

// Gives a role to every interval that can get one; returns how many intervals stay without.
// Without a journal (the plain pass) it also gathers the bits as it goes.
template <bool kJournaled>
int Resolve(EdgeRecord* edges, int n, std::vector<EdgeUndo>* journal, BitGatherer* bits) {
  constexpr std::uint8_t kUnsettledHalf = ClassRole(kClass1Bit);
  EdgeWriter<kJournaled> w(edges, journal);
  if constexpr (!kJournaled) {
    if (edges[0].Role() == kRoleZero)
      bits->Zero(0);
    else if (edges[0].Role() != kRoleNone)
      bits->Stop(0);
  }
  int unresolved = 0;
  int i = 1;
  while (i < n) {
    if (edges[i].Role() != kRoleNone) {
      if constexpr (!kJournaled) {
        if (edges[i].Role() == kRoleZero)
          bits->Zero(i);
        else
          bits->Stop(i);
      }
      ++i;
      continue;
    }
    // Nearly every other interval is a half of a one followed by its other half.
    if (edges[i].classRole == kUnsettledHalf && i + 1 < n && edges[i + 1].classRole == kUnsettledHalf) {
      w.Set(i, kClass1Bit, kRoleOneFirst);
      w.Set(i + 1, kClass1Bit, kRoleOneSecond);
      if constexpr (!kJournaled) bits->One(i);
      i += 2;
      continue;
    }
    if constexpr (!kJournaled) bits->Stop(i);
    const int c = edges[i].Class();
    if (IsWholeBit(c)) {
      w.Set(i, c, kRoleZero);
      ++i;
      continue;
    }
    // The common case, a one between zeros, pairs from the head without measuring the run.
    if (i + 1 < n && edges[i + 1].Role() == kRoleNone && TryPairOne(edges, w, i)) {
      i += 2;
      continue;
    }
    int end = i;
    while (end < n && edges[end].Role() == kRoleNone) ++end;
    // The run [i, end) shrinks from both ends until it is settled or stuck.
    while (end - i >= 2) {
      if (TryPairOne(edges, w, i)) {
        i += 2;
      } else if (!TryPairOneAtTail(edges, w, end)) {
        break;
      } else {
        end -= 2;
      }
      // The walk gives a zero its role before it looks at a run, so one at the new head ends it.
      if (i < end && IsWholeBit(edges[i].Class())) break;
    }
    if (i >= end || IsWholeBit(edges[i].Class())) continue;
    if (end - i == 1) {
      if (edges[i].Class() == kClass1or2Bits)
        w.Set(i, kClass2BitsResolved, kRoleZero);
      else
        w.Set(i, edges[i].Class(), kRoleInvalid);
      ++i;
      continue;
    }
    unresolved += end - i;
    i = end;
  }
  return unresolved;
}

int ResolvePass(EdgeRecord* edges, int n, std::vector<EdgeUndo>& journal) {
  return Resolve<true>(edges, n, &journal, nullptr);
}

int ResolveAndGather(EdgeRecord* edges, int n, BitGatherer& bits) {
  const int unresolved = Resolve<false>(edges, n, nullptr, &bits);
  bits.Stop(n);
  return unresolved;
}

// ---------------------------------------------------------------------------------------------
// Bits, preamble, unit interval

void ResetFrameResults(CCCPacket& p) {
  p.m_pBits.Clear();
  p.m_BitCount = 0;
  p.m_FirstBitEdge = 0;
  p.m_PreambleFound = 0;
  p.m_PreambleStart = -1;
  p.m_PreambleLen = 0;
  p.m_SopStart = -1;
  p.m_UnitInterval = 0.0f;
  p.m_SymbolCount = 0;
  p.m_EopFound = 0;
  p.m_EopPos = -1;
  std::fill(std::begin(p.m_OrderedSet), std::end(p.m_OrderedSet), 0xFE);
  p.m_Kind = kKindTooShort;
  p.m_ByteCount = 0;
  p.m_HasPayload = 0;
  p.m_Crc = 0xFFFFFFFF;
  p.m_CrcOk = 0;
}

// Goes on from edge `from`, with the bits of the edges before it already in the packet.
bool DecodeBits(CCCPacket& p, int n, int from) {
  p.m_pBits.Reserve(n);
  BitCollector bits(p);
  EdgeRecord* edges = p.m_pEdges.data();
  bool ok = true;
  for (int i = from; i < n; ++i) {
    EdgeRecord& e = edges[i];
    e.bitIndex = kNoBit;
    const int role = e.Role();
    if (role == kRoleZero || role == kRoleOneFirst) {
      bits.Take(i, role == kRoleOneFirst);
    } else if (role != kRoleOneSecond && i != 0 && i != n - 1 && bits.Count() != 0) {
      ok = false;
      break;
    }
  }
  bits.Flush();
  p.m_BitCount = p.m_pBits.Size();
  return ok;
}

bool FindPreamble(CCCPacket& p) {
  const BitArray& bits = p.m_pBits;
  int start = -1, alternations = 0, lastOne = -1;
  bool found = false;
  int previous = bits.Size() > 0 ? bits[0] : 0;
  for (int i = 1; i < bits.Size(); ++i) {
    const int bit = bits[i];
    if (bit != previous) {
      if (start < 0) start = i - 1;
      ++alternations;
      if (bit) lastOne = i;
      if (alternations >= kPreambleAlternations) found = true;
    } else if (found) {
      break;
    } else {
      start = -1;
      alternations = 0;
      lastOne = -1;
    }
    previous = bit;
  }
  if (!found) return false;
  p.m_PreambleFound = 1;
  p.m_PreambleStart = start;
  p.m_SopStart = lastOne + 1;
  p.m_PreambleLen = p.m_SopStart - start;
  return true;
}

void MeasureUnitInterval(CCCPacket& p, int n) {
  const int fromBit = p.m_PreambleStart + 1;
  const int toBit = p.m_SopStart;
  const EdgeRecord* edges = p.m_pEdges.data();
  int i = 0;
  while (i < n && edges[i].bitIndex != fromBit) ++i;
  std::uint32_t sum = 0;
  for (; i < n; ++i) {
    if (edges[i].bitIndex == toBit) {
      p.m_UnitInterval =
          static_cast<float>(p.m_TickDiv) * static_cast<float>(sum) / static_cast<float>(p.m_PreambleLen - 1) / 48.0f;
      return;
    }
    sum += edges[i].duration;
  }
}

// ---------------------------------------------------------------------------------------------
// Symbols, ordered set, message bytes

std::uint8_t SymbolAt(const BitArray& bits, int pos) { return kSymbolOfCode[bits.Field(pos, 5)]; }

int KindOfOrderedSet(const std::uint8_t* s) {
  for (const OrderedSetRow& row : kOrderedSets)
    if (std::equal(s, s + 4, row.symbols)) return row.kind;
  return kKindUnknown;
}

// Stand-in for a preamble that was cut short: the first bit at which four symbols spell an
// ordered set exactly.
bool FindSyncByOrderedSet(CCCPacket& p) {
  const BitArray& bits = p.m_pBits;
  std::uint8_t s[4];
  for (int pos = 0; pos + 20 <= bits.Size(); ++pos) {
    for (int k = 0; k < 4; ++k) s[k] = SymbolAt(bits, pos + 5 * k);
    if (KindOfOrderedSet(s) != kKindUnknown) {
      p.m_SopStart = pos;
      return true;
    }
  }
  return false;
}

void DecodeSymbols(CCCPacket& p) {
  const BitArray& bits = p.m_pBits;
  int count = 0;
  for (int pos = p.m_SopStart; pos + 4 < p.m_BitCount; pos += 5, ++count) {
    if (SymbolAt(bits, pos) == kSymEop) {
      p.m_EopFound = 1;
      p.m_EopPos = static_cast<std::int16_t>(pos);
    }
  }
  p.m_SymbolCount = static_cast<std::int16_t>(count);
}

void DecodeOrderedSet(CCCPacket& p) {
  if (p.m_SymbolCount < 4) return;
  for (int k = 0; k < 4; ++k) p.m_OrderedSet[k] = SymbolAt(p.m_pBits, p.m_SopStart + 5 * k);
  p.m_Kind = static_cast<std::uint8_t>(KindOfOrderedSet(p.m_OrderedSet));
}

bool IsData(std::uint8_t s) { return s <= 0x0F; }

void DecodeMessageBytes(CCCPacket& p) {
  if (!p.m_EopFound || p.m_SymbolCount < kMinMessageSymbols) return;
  const auto sym = [&p](int k) { return SymbolAt(p.m_pBits, p.m_SopStart + 5 * k); };
  for (int k = 4; k < p.m_SymbolCount; k += 2) {
    const std::uint8_t low = sym(k);
    if (low == kSymEop) break;
    if (!IsData(low) || k + 1 >= p.m_SymbolCount) return;
    const std::uint8_t high = sym(k + 1);
    if (!IsData(high)) return;
    if (p.m_ByteCount == kMaxMessageBytes) {  // longer than any message: not one
      p.m_ByteCount = 0;
      return;
    }
    p.m_Bytes[p.m_ByteCount++] = static_cast<std::uint8_t>(low | (high << 4));
  }
  if (p.m_ByteCount < 4) return;
  p.m_HasPayload = 1;
  p.m_ByteCount -= 4;
  const std::uint8_t* c = p.m_Bytes + p.m_ByteCount;
  p.m_Crc = static_cast<std::uint32_t>(c[0]) | (static_cast<std::uint32_t>(c[1]) << 8) |
            (static_cast<std::uint32_t>(c[2]) << 16) | (static_cast<std::uint32_t>(c[3]) << 24);
  p.m_CrcOk = PdCrc32(p.m_Bytes, p.m_ByteCount) == p.m_Crc;
}

bool Succeeded(const CCCPacket& p) {
  return p.m_Kind == kKindHardReset || p.m_Kind == kKindCableReset || (IsMessageKind(p.m_Kind) && p.m_CrcOk);
}

// Everything after the intervals have their roles, from frame results that are reset but for
// the bits of the edges before `from`; true when it ends in a reset or a good message.
bool DecodeFrameFrom(CCCPacket& p, int n, bool syncSearch, int from) {
  if (!DecodeBits(p, n, from) || p.m_BitCount == 0) return false;
  if (FindPreamble(p))
    MeasureUnitInterval(p, n);
  else if (!syncSearch || !FindSyncByOrderedSet(p))
    return false;
  DecodeSymbols(p);
  DecodeOrderedSet(p);
  if (IsMessageKind(p.m_Kind)) DecodeMessageBytes(p);
  // A reset found without its preamble has no CRC to vouch for it.
  if (!p.m_PreambleFound) return IsMessageKind(p.m_Kind) && p.m_CrcOk && p.m_EopFound;
  return Succeeded(p);
}

bool DecodeFrame(CCCPacket& p, int n, bool syncSearch) {
  ResetFrameResults(p);
  return DecodeFrameFrom(p, n, syncSearch, 0);
}

// ---------------------------------------------------------------------------------------------
// Trial search over ambiguous intervals

int FirstAmbiguous(const EdgeRecord* edges, int from, int n) {
  for (int i = from; i < n; ++i)
    if (edges[i].Class() == kClass1or2Bits) return i;
  return -1;
}

class TrialSearch {
 public:
  TrialSearch(CCCPacket& p, int n, bool syncSearch, int& passesLeft)
      : m_P(p), m_N(n), m_SyncSearch(syncSearch), m_PassesLeft(passesLeft) {}

  // Depth-first over the ambiguous intervals in time order, "1bit*" before "2bits*" at each;
  // on failure every edge record is back as it was.
  bool Run() {
    EdgeRecord* edges = m_P.m_pEdges.data();
    m_Journal.reserve(static_cast<std::size_t>(m_N));
    if (!Descend(0)) return false;
    while (!m_Levels.empty()) {
      Level& level = m_Levels.back();
      UndoTo(level.mark);
      if (level.nextClass == 0 || m_PassesLeft <= 0) {
        m_Levels.pop_back();
        continue;
      }
      const int chosen = level.nextClass;
      const int interval = level.interval;
      level.nextClass = chosen == kClass1BitResolved ? kClass2BitsResolved : 0;
      EdgeWriter<true>(edges, &m_Journal).Set(interval, chosen, kRoleNone);
      --m_PassesLeft;
      if (ResolvePass(edges, m_N, m_Journal) == 0) {
        if (DecodeFrame(m_P, m_N, m_SyncSearch)) return true;
        ClearBitIndices();
      } else {
        Descend(interval + 1);
      }
    }
    return false;
  }

 private:
  struct Level {
    int interval;
    int nextClass;  // 0 once both settlements were tried
    std::size_t mark;
  };

  bool Descend(int from) {
    const int k = FirstAmbiguous(m_P.m_pEdges.data(), from, m_N);
    if (k < 0) return false;
    m_Levels.push_back({k, kClass1BitResolved, m_Journal.size()});
    return true;
  }
  void UndoTo(std::size_t mark) {
    while (m_Journal.size() > mark) {
      m_P.m_pEdges[m_Journal.back().index].classRole = m_Journal.back().classRole;
      m_Journal.pop_back();
    }
  }
  // Before the search no interval begins a bit yet.
  void ClearBitIndices() {
    for (int i = 0; i < m_N; ++i) m_P.m_pEdges[i].bitIndex = kNoBit;
  }

  CCCPacket& m_P;
  int m_N;
  bool m_SyncSearch;
  int& m_PassesLeft;
  std::vector<EdgeUndo> m_Journal;
  std::vector<Level> m_Levels;
};

// ---------------------------------------------------------------------------------------------
// One decoding attempt and the recoveries

void ResetResults(CCCPacket& p) {
  p.m_TotalTicks = 0;
  p.m_Class0Count = p.m_Class1Count = p.m_Class2Count = p.m_Class3Count = p.m_Class4Count = 0;
  p.m_ResolvedCount = 0;
  ResetFrameResults(p);
}

struct Attempt {
  FramingRecovery recovery;
  bool levelBias;
  bool syncSearch;
};
constexpr Attempt kPlain{kRecoveryNone, false, false};
constexpr Attempt kRecoveries[] = {
    {kRecoveryLevelBias, true, false},
    {kRecoverySync, false, true},
    {kRecoverySyncLevelBias, true, true},
};

// Only an ambiguous interval is ever settled.
int CountResolved(const CCCPacket& p, int n) {
  if (p.m_Class3Count == 0) return 0;
  return static_cast<int>(std::count_if(p.m_pEdges.begin(), p.m_pEdges.begin() + n, [](const EdgeRecord& e) {
    return e.Class() == kClass1BitResolved || e.Class() == kClass2BitsResolved;
  }));
}

bool RunAttempt(CCCPacket& p, int n, const Attempt& a, int& passesLeft) {
  ResetResults(p);
  ClassifyIntervals(p, n, a.levelBias ? EstimateLevelBias(p, n) : 0.0f);
  if (!PassesGate(p)) return false;
  bool ok;
  BitGatherer bits(p, n);
  if (ResolveAndGather(p.m_pEdges.data(), n, bits) == 0) {
    ok = DecodeFrameFrom(p, n, a.syncSearch, bits.NextEdge());
  } else {
    bits.Discard();
    ok = TrialSearch(p, n, a.syncSearch, passesLeft).Run();
  }
  p.m_ResolvedCount = CountResolved(p, n);
  return ok;
}

// After a failed plain decode: the first recovery that succeeds is kept, else the plain results.
void RunRecoveries(CCCPacket& p, int n, int& passesLeft) {
  CCCPacket plain = p;
  for (const Attempt& a : kRecoveries) {
    if (RunAttempt(p, n, a, passesLeft)) {
      p.m_Recovery = a.recovery;
      return;
    }
  }
  p = std::move(plain);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

std::uint32_t PdCrc32(const std::uint8_t* data, int length) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (int i = 0; i < length; ++i) crc = (crc >> 8) ^ kCrcTable[(crc ^ data[i]) & 0xFF];
  return ~crc;
}

std::uint8_t SymbolOf(const CCCPacket& packet, int i) {
  const int pos = packet.m_SopStart + 5 * i;
  if (i < 0 || i >= packet.m_SymbolCount || pos < 0 || pos + 5 > packet.m_pBits.Size()) return kSymInvalid;
  return SymbolAt(packet.m_pBits, pos);
}

std::uint8_t Decode4b5b(int fiveBits) {
  if (fiveBits < 0 || fiveBits >= 32) return kSymInvalid;
  return kSymbolOfCode[static_cast<std::size_t>(fiveBits)];
}

int Encode4b5b(std::uint8_t symbol) {
  for (const LineCode& c : kLineCodes)
    if (c.symbol == symbol) return c.code;
  return -1;
}

void DecodePacketFraming(CCCPacket& packet, FramingStats* stats) {
  const int n = EdgesToDecode(packet);
  int passesLeft = kMaxTrialResolvePasses;
  packet.m_Recovery = kRecoveryNone;
  ResetResults(packet);
  if (stats) *stats = {};
  // A tick divider below one is no timing at all.
  if (n == 0 || packet.m_TickDiv < 1) return;
  try {
    if (!RunAttempt(packet, n, kPlain, passesLeft)) RunRecoveries(packet, n, passesLeft);
  } catch (const std::bad_alloc&) {
    // Out of memory: the packet stays undecoded and loading goes on.
    ResetResults(packet);
    packet.m_Recovery = kRecoveryNone;
  }
  if (stats) stats->trialResolvePasses = kMaxTrialResolvePasses - passesLeft;
}

}  // namespace zk
