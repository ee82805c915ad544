// Captures as pcapng files for packet analyzers: one packet per CC-line packet (PD message,
// ordered set or reset) under the user link type 147, dissected by
// contrib/wireshark/usbpd.lua. The packet bytes, all little-endian:
//
//   0  u8   format version (1)
//   1  u8   channel: 0 CC1, 1 CC2
//   2  u8   ordered-set kind (1 SOP, 2 SOP', 3 SOP'', 4 Hard Reset, 5 Cable Reset,
//           6 SOP'_Debug, 7 SOP''_Debug, 254 too short, 255 unknown)
//   3  u8   flags: bit 0 CRC good, bit 1 preamble found, bit 2 EOP found
//   4  s64  shown time, microseconds (packet time minus the time origin)
//  12  u32  CRC as received
//  16  u16  N, message bytes (header, extended header, data; no CRC)
//  18  u8   M, layout entries
//  19  u8   0
//  20  N bytes of the message, then M layout entries of 6 bytes: u16 start bit, u8 field
//      list (dictionary order, 255 for none), u8 value table that names the field at the
//      next u16 offset for this packet (0 for none)
//
// The layout is the one the detail pane shows, so a Request is broken down by the PDO it
// selects and a VDM by its command, without the analyzer knowing the message context.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "record/capture_store.h"

namespace zk::interchange {

constexpr std::uint16_t kLinkTypeUser0 = 147;
constexpr std::uint8_t kPacketFormatVersion = 1;
constexpr std::size_t kPacketFixedBytes = 20;
constexpr std::size_t kLayoutEntryBytes = 6;

enum PacketFlags : std::uint8_t { kFlagCrcOk = 1, kFlagPreamble = 2, kFlagEop = 4 };

std::vector<std::uint8_t> PacketBytes(const CCCPacket& packet, std::int64_t timeOrigin);

struct PcapngOptions {
  struct Span {
    std::int64_t start = 0;  // shown scale, microseconds, both ends included
    std::int64_t end = 0;
  };
  // Only the packets whose shown time lies in the span, as the CSV export takes them; every
  // packet when there is none.
  std::optional<Span> span;
  // Told the packets walked and the store's total after each; returning false stops the export.
  std::function<bool(std::uint64_t done, std::uint64_t total)> progress;
};

// Writes the packets of the store (their number to packetsWritten when given); false with a
// message when the file cannot be written or progress stopped it (the file is then removed).
bool WritePcapng(const CaptureStore& store, const std::string& path, std::string& error,
                 const PcapngOptions& options = {}, int* packetsWritten = nullptr);

}  // namespace zk::interchange
