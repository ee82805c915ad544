// Turns a packet's edge intervals into BMC bits, the preamble, 4b5b symbols,
// the ordered set, the message bytes and the CRC-32 verdict.
#pragma once

#include <cstdint>

#include "record/packet.h"

namespace zk {

// Interval classes and bit roles written into EdgeRecord::classRole.
enum IntervalClass : int {
  kClassShort = 0,
  kClass1Bit = 1,
  kClass2Bits = 2,
  kClass1or2Bits = 3,
  kClassLong = 4,
  kClass1BitResolved = 5,
  kClass2BitsResolved = 6,
};
enum BitRole : int {
  kRoleNone = 0,
  kRoleZero = 1,
  kRoleOneFirst = 2,
  kRoleOneSecond = 3,
  kRoleInvalid = 7,
};

// 4b5b symbol codes in the symbol list.
enum SymbolCode : std::uint8_t {
  kSymSync1 = 0x11,
  kSymSync2 = 0x12,
  kSymSync3 = 0x13,
  kSymRst1 = 0x21,
  kSymRst2 = 0x22,
  kSymEop = 0x30,
  kSymInvalid = 0xFF,
};

// Resolve passes the depth-first search over ambiguous intervals may run for one packet.
constexpr int kMaxTrialResolvePasses = 4096;

// What decoding one packet cost, for diagnostics and tests.
struct FramingStats {
  int trialResolvePasses = 0;  // resolve passes of the search, over all attempts
};

// Runs the whole chain on one packet and fills its results.
void DecodePacketFraming(CCCPacket& packet, FramingStats* stats = nullptr);

// CRC-32 of USB PD (reflected 0xEDB88320, initial 0xFFFFFFFF, inverted result).
std::uint32_t PdCrc32(const std::uint8_t* data, int length);

// 5-bit line code to symbol code (kSymInvalid when not in the table), and back.
std::uint8_t Decode4b5b(int fiveBits);

// The packet's i-th 4b5b symbol from its start of packet, read off its bits (kSymInvalid
// outside the m_SymbolCount symbols it holds).
std::uint8_t SymbolOf(const CCCPacket& packet, int i);
int Encode4b5b(std::uint8_t symbol);  // -1 for a code with no line pattern

}  // namespace zk
