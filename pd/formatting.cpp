#include "pd/formatting.h"

#include <algorithm>

#include "pd/framing.h"
#include "pd/message_bytes.h"
#include "pd/message_header.h"
#include "pd/text_format.h"
#include "pd/value_text.h"
#include "record/capture_store.h"

namespace zk {

namespace {

constexpr ValueText kSymbolTexts[] = {
    {kSymSync1, "[SYNC-1]"}, {kSymSync2, "[SYNC-2]"}, {kSymSync3, "[SYNC-3]"},
    {kSymRst1, "[RST-1]"},   {kSymRst2, "[RST-2]"},   {kSymEop, "[EOP]"},
};

std::string AmpereText(int milliamps, bool invertCurrent) {
  const float amps = static_cast<float>(invertCurrent ? -milliamps : milliamps) / 1000;
  return Format("%1.3f", static_cast<double>(amps));
}

PacketMeasurement MeasurementFields(const CCCPacket& packet) {
  PacketMeasurement m;
  m.present = true;
  m.vbusVoltage = packet.m_VbusVoltage;
  m.vbusCurrent = packet.m_VbusCurrent;
  m.ccVoltage[0] = packet.m_CC1Voltage;
  m.ccVoltage[1] = packet.m_CC2Voltage;
  m.ccCurrent[0] = packet.m_CC1Current;
  m.ccCurrent[1] = packet.m_CC2Current;
  return m;
}

int Line(int ccLine) { return ccLine == 1 ? 1 : 0; }

}  // namespace

std::string TimeText(std::int64_t us) {
  // Work on the magnitude in unsigned arithmetic: the most negative time has no signed one.
  const char sign = us < 0 ? '-' : ' ';
  const std::uint64_t t = us < 0 ? 0 - static_cast<std::uint64_t>(us) : static_cast<std::uint64_t>(us);
  const std::uint64_t seconds = t / 1000000;
  const auto hours = static_cast<unsigned long long>(seconds / 3600);
  const int minutes = static_cast<int>((seconds / 60) % 60);
  const int wholeSeconds = static_cast<int>(seconds % 60);
  const int millis = static_cast<int>((t % 1000000) / 1000);
  const int micros = static_cast<int>(t % 1000);
  if (hours != 0) {
    return Format("%c%lluh %2dmin %2ds %03dms %03dus", sign, hours, minutes, wholeSeconds, millis, micros);
  }
  if (minutes != 0) return Format("%c%2dmin %2ds %03dms %03dus", sign, minutes, wholeSeconds, millis, micros);
  return Format("%c%2ds %3dms %3dus", sign, wholeSeconds, millis, micros);
}

PacketMeasurement MeasurementOf(const CCCPacket& packet) {
  if (packet.m_HasMeasure) return MeasurementFields(packet);
  if (packet.m_pStore == nullptr) return {};
  // The store fills a scratch packet: showing a packet does not change it.
  CCCPacket lookup;
  lookup.m_Time = packet.m_Time;
  if (!packet.m_pStore->FillMeasurement(lookup)) return {};
  return MeasurementFields(lookup);
}

PacketMeasurement MeasurementOf(const CVbusInfo& sample) {
  PacketMeasurement m;
  m.present = true;
  m.vbusVoltage = sample.m_VbusVoltage;
  m.vbusCurrent = sample.m_VbusCurrent;
  m.ccVoltage[0] = sample.m_CC1Voltage;
  m.ccVoltage[1] = sample.m_CC2Voltage;
  m.ccCurrent[0] = sample.m_CC1Current;
  m.ccCurrent[1] = sample.m_CC2Current;
  return m;
}

std::string VbusVoltageText(const PacketMeasurement& m) {
  if (!m.present) return {};
  return Format("%2.2f", static_cast<double>(static_cast<float>(m.vbusVoltage) / 1000));
}

std::string VbusCurrentText(const PacketMeasurement& m, bool invertCurrent) {
  if (!m.present) return {};
  return AmpereText(m.vbusCurrent, invertCurrent);
}

std::string VbusPowerText(const PacketMeasurement& m, bool invertCurrent) {
  if (!m.present) return {};
  const int milliamps = invertCurrent ? -m.vbusCurrent : m.vbusCurrent;
  const float watts = static_cast<float>(milliamps) * static_cast<float>(m.vbusVoltage) / 1000 / 1000;
  return Format("%1.3f", static_cast<double>(watts));
}

std::string CcVoltageText(const PacketMeasurement& m, int ccLine) {
  if (!m.present) return {};
  return Format("%1.2f", static_cast<double>(static_cast<float>(m.ccVoltage[Line(ccLine)]) / 1000));
}

std::string CcCurrentText(const PacketMeasurement& m, int ccLine, bool invertCurrent) {
  if (!m.present) return {};
  return AmpereText(m.ccCurrent[Line(ccLine)], invertCurrent);
}

std::string VbusVoltageText(const CCCPacket& packet) { return VbusVoltageText(MeasurementOf(packet)); }

std::string VbusCurrentText(const CCCPacket& packet, bool invertCurrent) {
  return VbusCurrentText(MeasurementOf(packet), invertCurrent);
}

std::string VbusPowerText(const CCCPacket& packet, bool invertCurrent) {
  return VbusPowerText(MeasurementOf(packet), invertCurrent);
}

std::string CcVoltageText(const CCCPacket& packet, int ccLine) { return CcVoltageText(MeasurementOf(packet), ccLine); }

std::string CcCurrentText(const CCCPacket& packet, int ccLine, bool invertCurrent) {
  return CcCurrentText(MeasurementOf(packet), ccLine, invertCurrent);
}

std::string SymbolText(const CCCPacket& packet) {
  std::string out;
  for (int i = 0; i < packet.m_SymbolCount; ++i) {
    const std::uint8_t symbol = SymbolOf(packet, i);
    if (symbol <= 0x0F) {
      AppendFormat(out, "%X", static_cast<unsigned>(symbol));
    } else if (const char* text = LookupText(kSymbolTexts, symbol)) {
      out += text;
    }
  }
  return out;
}

std::string ExtendedDataText(const CCCPacket& packet) {
  if (!IsExtended(packet)) return {};
  const std::uint16_t extHeader = packet.ExtendedHeader();
  const int dataSize = ExtDataSize(extHeader);
  if (dataSize == 0) return {};
  int limit = std::max(0, MessageSize(packet) - 4);
  if (ExtChunked(extHeader)) limit = std::min(limit, std::max(0, HeaderObjectCount(packet.Header()) * 4 - 2));
  const int shown = std::min(dataSize, limit);
  std::string out;
  for (int i = 0; i < shown; ++i) {
    if (i) out += '-';
    AppendFormat(out, "%02X", static_cast<unsigned>(packet.m_Bytes[4 + i]));
  }
  out += 'h';
  return out;
}

std::string HexByteText(const CCCPacket& packet) {
  if (!IsMessageKind(packet.m_Kind)) return {};
  std::string out;
  const int size = MessageSize(packet);
  for (int i = 0; i < size; ++i) {
    if (i) out += ' ';
    AppendFormat(out, "%02X", static_cast<unsigned>(packet.m_Bytes[i]));
  }
  return out;
}

std::string CharByteText(const CCCPacket& packet) {
  if (!IsMessageKind(packet.m_Kind)) return {};
  std::string out;
  const int size = MessageSize(packet);
  for (int i = 0; i < size; ++i) {
    // Printable in the C locale whatever locale the program runs in.
    const std::uint8_t byte = packet.m_Bytes[i];
    out += (byte >= 0x20 && byte <= 0x7E) ? static_cast<char>(byte) : '.';
  }
  return out;
}

}  // namespace zk
