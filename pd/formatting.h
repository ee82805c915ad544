// Texts of times, a packet's measurements, its symbols and its message bytes.
#pragma once

#include <cstdint>
#include <string>

#include "record/packet.h"

namespace zk {

// " 1s 500ms   0us", " 1min  0s 000ms 000us", " 1h  0min  0s 000ms 000us"; "-" leads a negative time.
std::string TimeText(std::int64_t us);

// The six measurements shown with a packet or a sample; present is false when neither the
// packet nor its store has a sample.
struct PacketMeasurement {
  bool present = false;
  std::uint16_t vbusVoltage = 0;
  std::int16_t vbusCurrent = 0;
  std::int16_t ccVoltage[2] = {};
  std::int16_t ccCurrent[2] = {};
};
// The packet's own values, or else those of the store's latest sample at or before it.
PacketMeasurement MeasurementOf(const CCCPacket& packet);
PacketMeasurement MeasurementOf(const CVbusInfo& sample);

// Value texts in V, A and W of measurements; empty when none is present. ccLine is 0 for
// CC1, 1 for CC2; invertCurrent negates the current (the VBUS current direction setting).
std::string VbusVoltageText(const PacketMeasurement& m);
std::string VbusCurrentText(const PacketMeasurement& m, bool invertCurrent);
std::string VbusPowerText(const PacketMeasurement& m, bool invertCurrent);
std::string CcVoltageText(const PacketMeasurement& m, int ccLine);
std::string CcCurrentText(const PacketMeasurement& m, int ccLine, bool invertCurrent);

// The same texts of a packet's measurements.
std::string VbusVoltageText(const CCCPacket& packet);
std::string VbusCurrentText(const CCCPacket& packet, bool invertCurrent);
std::string VbusPowerText(const CCCPacket& packet, bool invertCurrent);
std::string CcVoltageText(const CCCPacket& packet, int ccLine);
std::string CcCurrentText(const CCCPacket& packet, int ccLine, bool invertCurrent);

// "[SYNC-1][SYNC-1][SYNC-1][SYNC-2]1A2B...[EOP]".
std::string SymbolText(const CCCPacket& packet);
// The extended data bytes this packet carries, "%02X" joined with "-" and closed by "h".
std::string ExtendedDataText(const CCCPacket& packet);
// Message bytes without the CRC: "%02X" joined by blanks, or as printable characters and ".".
std::string HexByteText(const CCCPacket& packet);
std::string CharByteText(const CCCPacket& packet);

}  // namespace zk
