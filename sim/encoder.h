// The inverse of the framing decoder: a PD message or bare ordered set becomes 4b5b
// symbols, line bits with preamble, and a BMC edge list in box ticks, so that tests and
// the record synthesizer can produce any packet the box could deliver.
#pragma once

#include <cstdint>
#include <vector>

#include "record/packet.h"

namespace zk::sim {

// Values of the message header's revision field (1.0, 2.0, 3.0).
enum HeaderRevisionField : int { kRev10 = 0, kRev20 = 1, kRev30 = 2 };

// Header bit 8 and bit 5. For SOP' and SOP'' `power` is the cable plug bit and `data` must be 0.
struct PortRoles {
  int power = 0;  // 1 = Source (or Cable Plug)
  int data = 0;   // 1 = DFP
};
constexpr PortRoles kSourceDfp{1, 1};
constexpr PortRoles kSinkUfp{0, 0};
constexpr PortRoles kSourceUfp{1, 0};
constexpr PortRoles kSinkDfp{0, 1};
constexpr PortRoles kCablePlug{1, 0};
constexpr PortRoles kToCable{0, 0};

std::uint16_t MakeHeader(int type, int revision, PortRoles roles, int id, int objectCount, bool extended);
std::uint16_t MakeExtendedHeader(int dataSize, bool chunked, int chunkNumber, bool requestChunk);

// One transmission: the ordered set and, for the message kinds, the header and payload.
struct PdMessageSpec {
  int kind = kKindSop;
  std::uint16_t header = 0;
  std::vector<std::uint32_t> objects;  // data objects of a data message
  bool extended = false;
  std::uint16_t extHeader = 0;
  std::vector<std::uint8_t> extData;  // chunk bytes as sent, padding included
};

PdMessageSpec ControlMessage(int kind, int type, int revision, PortRoles roles, int id);
PdMessageSpec DataMessage(int kind, int type, int revision, PortRoles roles, int id,
                          std::vector<std::uint32_t> objects);
// Pads the bytes with zeros so that extended header and data fill whole data objects,
// as a transmitter must; the object count of the header follows from that.
PdMessageSpec ExtendedMessage(int kind, int type, int revision, PortRoles roles, int id, std::uint16_t extHeader,
                              std::vector<std::uint8_t> data);
PdMessageSpec BareOrderedSet(int kind);  // Hard Reset or Cable Reset

bool CarriesMessage(const PdMessageSpec& m);
// Header and payload bytes as transmitted, without the CRC.
std::vector<std::uint8_t> MessageBytes(const PdMessageSpec& m);
std::uint32_t MessageCrc(const PdMessageSpec& m);

// Symbol codes of the decoder: ordered set, data nibbles (low nibble first), the CRC's
// four bytes little-endian, EOP. Bare ordered sets end after their four symbols.
// Empty for a kind that has no ordered set.
std::vector<std::uint8_t> EncodeSymbols(const PdMessageSpec& m, bool corruptCrc = false);

constexpr int kPreambleBits = 64;
// One byte per bit in transmission order: the preamble, then five bits per symbol,
// bit 0 of each 5-bit code first.
std::vector<std::uint8_t> EncodeLineBits(const PdMessageSpec& m, bool corruptCrc = false);

struct BmcOptions {
  int tickDiv = 20;            // 48 MHz periods per tick, 1 to 256
  int bitRate = 300000;        // bits per second
  std::uint64_t seed = 1;      // for jitter and glitch placement
  int jitterNs = 0;            // each edge moves by up to this much either way
  int glitches = 0;            // short pulses inserted into random intervals
  int glitchNs = 100;          // width of each pulse (at least one tick)
  int dropPreambleBits = 0;    // the receiver missed the first bits (at most the preamble)
  int truncateAfterBits = -1;  // keep only this many bits (after the drop); -1 keeps all
  int levelBias = 0;           // ticks added to every high interval and taken from every low one
  bool corruptCrc = false;
};

// Edges of one packet in ticks from its first edge. Two edges never share a tick: the
// box's counter could not tell them apart.
struct BmcWaveform {
  int tickDiv = 20;
  int idleLevel = 0;  // line level before the first edge
  std::vector<std::uint64_t> edges;

  std::vector<std::uint32_t> Intervals() const;
  // Level during the interval that begins at edge k.
  int LevelAfterEdge(std::size_t k) const { return idleLevel ^ 1 ^ static_cast<int>(k & 1); }
  std::uint64_t Length() const { return edges.empty() ? 0 : edges.back(); }
};

BmcWaveform EncodeBmc(const std::vector<std::uint8_t>& bits, const BmcOptions& options);
BmcWaveform EncodeMessage(const PdMessageSpec& m, const BmcOptions& options);

// The packet's edge list as record loading builds it: intervals between successive
// edges, longer ones stored modulo 256 as the box's 8-bit counter leaves them.
void FillPacketEdges(const BmcWaveform& w, CCCPacket& packet);

}  // namespace zk::sim
