#include "record/record_format.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace zk {

std::int64_t ReadS64(const std::uint8_t* p) {
  const std::uint64_t v = static_cast<std::uint64_t>(ReadU32(p)) | (static_cast<std::uint64_t>(ReadU32(p + 4)) << 32);
  return static_cast<std::int64_t>(v);
}

void WriteU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void WriteU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void WriteS64(std::uint8_t* p, std::int64_t v) {
  const auto u = static_cast<std::uint64_t>(v);
  for (int i = 0; i < 8; ++i) p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

int TickDivFromField(std::uint16_t tickField) {
  if (tickField == 0) return 20;
  return (tickField & 0xFF) + 1;
}

CCRecordHeader ParseCCRecord(const std::uint8_t* rec) {
  const std::uint16_t word = ReadU16(rec);
  CCRecordHeader h;
  h.seqLow = word & 0x0F;
  h.seqHigh = (word >> 4) & 0xFF;
  h.channel = (word >> 14) & 1;
  h.timestamp = ReadU32(rec + 2);
  h.tickDiv = TickDivFromField(ReadU16(rec + 6));
  return h;
}

bool CCSequence::InSequence(int high, int low) const {
  if (!m_Set) return false;
  // The low part is a 4-bit field but the box counts it modulo 8.
  if (high == m_High && low == (m_Low + 1) % 8) return true;
  return high == (m_High + 1) % 256 && low == (m_Low + 1) % 8 && low == 0;
}

void CCSequence::Store(int high, int low) {
  m_Set = true;
  m_High = high;
  m_Low = low;
}

std::uint64_t TimestampExtender::Extend(std::uint32_t v, std::optional<std::uint64_t> reference) {
  constexpr std::uint64_t kPeriod = 0x100000000ULL;
  if (!m_Set && reference) {
    // The candidate in the reference's period or a neighbour, whichever lies nearest.
    const std::uint64_t base = *reference & ~(kPeriod - 1);
    std::uint64_t best = base + v;
    const auto distance = [&](std::uint64_t t) { return t > *reference ? t - *reference : *reference - t; };
    if (base >= kPeriod && distance(base - kPeriod + v) < distance(best)) best = base - kPeriod + v;
    if (distance(base + kPeriod + v) < distance(best)) best = base + kPeriod + v;
    m_High = best - v;
  } else if (m_Set && v < m_Last) {
    m_High += kPeriod;
  }
  m_Set = true;
  m_Last = v;
  return m_High + v;
}

void WriteRawSample(std::uint8_t* rec, int k, const RawSample& s) {
  std::uint8_t* p = rec + 2 + 16 * k;
  WriteU32(p, s.timestamp);
  WriteU16(p + 4, s.vbusVoltage);
  WriteU16(p + 6, static_cast<std::uint16_t>(s.vbusCurrent));
  WriteU16(p + 8, s.cc1Voltage);
  WriteU16(p + 10, static_cast<std::uint16_t>(s.cc1Current));
  WriteU16(p + 12, s.cc2Voltage);
  WriteU16(p + 14, static_cast<std::uint16_t>(s.cc2Current));
}

std::int32_t CalibrateScaled(std::int32_t value, std::int32_t ratio) {
  const float r = static_cast<float>(ratio);
  const float v = static_cast<float>(value);
  const float result = r * v / 1000000.0f;
  // A hostile ratio must not make the float-to-int conversion undefined.
  if (!std::isfinite(result)) return 0;
  if (result >= 2147483520.0f) return std::numeric_limits<std::int32_t>::max();
  if (result <= -2147483648.0f) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(result);
}

std::int64_t MetaItem::Number() const {
  if (length == 8) return ReadS64(value);
  if (length == 4) return static_cast<std::int32_t>(ReadU32(value));
  return 0;
}

void MetaState::ClearMarkers() {
  bookmarks.clear();
  hasMarkerA = hasMarkerB = hasMarkerO = hasMarkerX = false;
}

void ApplyMetaRecord(const std::uint8_t* rec, MetaState& state) {
  ForEachMetaItem(rec, [&state](const MetaItem& item) {
    switch (item.tag) {
      case kTagFormat:
        if (item.length == 2) state.hasFormat = true, state.format = ReadU16(item.value);
        break;
      case kTagFirmware:
        if (item.length == 2) state.hasFirmware = true, state.firmware = ReadU16(item.value);
        break;
      case kTagSerial:
        if (item.length == 12) {
          state.hasSerial = true;
          std::memcpy(state.serial.data(), item.value, 12);
        }
        break;
      case kTagDeviceBytes:
        state.hasDeviceBytes = true;
        state.deviceBytes = item.Number();
        break;
      case kTagTimeOrigin:
        state.hasTimeOrigin = true;
        state.timeOrigin = item.Number();
        break;
      case kTagClearMarkers: state.ClearMarkers(); break;
      case kTagBookmark: state.bookmarks.push_back(item.Number()); break;
      case kTagMarkerA:
        state.hasMarkerA = true;
        state.markerA = item.Number();
        break;
      case kTagMarkerB:
        state.hasMarkerB = true;
        state.markerB = item.Number();
        break;
      case kTagGraphMarkerO:
        state.hasMarkerO = true;
        state.markerO = item.Number();
        break;
      case kTagGraphMarkerX:
        state.hasMarkerX = true;
        state.markerX = item.Number();
        break;
      default:
        if (item.tag >= kTagCalFirst && item.tag <= kTagCalLast) {
          state.ratios[item.tag - kTagCalFirst] = static_cast<std::int32_t>(item.Number());
        }
        break;
    }
  });
}

namespace {

Record BlankMeta() {
  Record r{};
  WriteU16(r.data(), kMetaRecordWord);
  return r;
}

}  // namespace

Record EmptyMetaRecord() { return BlankMeta(); }

Record CalibrationRecord(const CalibrationRatios& ratios) {
  Record r = BlankMeta();
  for (int i = 0; i < kCalCount; ++i) {
    std::uint8_t* p = r.data() + 2 + 6 * i;
    p[0] = static_cast<std::uint8_t>(kTagCalFirst + i);
    p[1] = 4;
    WriteU32(p + 2, static_cast<std::uint32_t>(ratios[i]));
  }
  r[38] = kTagEnd;
  return r;
}

Record HeaderRecord(std::uint16_t firmware, const std::array<std::uint8_t, 12>& serial, std::int64_t deviceBytes) {
  Record r = BlankMeta();
  r[2] = kTagFormat;
  r[3] = 2;
  WriteU16(r.data() + 4, 0x0107);
  r[6] = kTagFirmware;
  r[7] = 2;
  WriteU16(r.data() + 8, firmware);
  r[10] = kTagSerial;
  r[11] = 12;
  std::memcpy(r.data() + 12, serial.data(), 12);
  r[24] = kTagDeviceBytes;
  r[25] = 8;
  WriteS64(r.data() + 26, deviceBytes);
  r[34] = kTagEnd;
  return r;
}

std::vector<Record> MarkerRecords(std::int64_t timeOrigin, const std::vector<MarkerItem>& items) {
  std::vector<Record> out;
  Record r = BlankMeta();
  r[2] = kTagTimeOrigin;
  r[3] = 8;
  WriteS64(r.data() + 4, timeOrigin);
  r[12] = kTagClearMarkers;
  r[13] = 0;
  int pos = 14;
  bool first = true;
  for (const MarkerItem& item : items) {
    r[pos] = item.tag;
    r[pos + 1] = 8;
    WriteS64(r.data() + pos + 2, item.time);
    pos += 10;
    if (pos < 64) r[pos] = kTagEnd;
    if (pos > 54) {
      out.push_back(r);
      first = false;
      r = BlankMeta();
      pos = 2;
    }
  }
  if (first || pos > 2) out.push_back(r);
  return out;
}

Record CCRecord(int seqHigh, int seqLow, int channel, std::uint32_t timestamp, std::uint16_t tickField,
                const std::uint8_t* events56) {
  Record r{};
  const auto word = static_cast<std::uint16_t>((seqLow & 0x0F) | ((seqHigh & 0xFF) << 4) | ((channel & 1) << 14));
  WriteU16(r.data(), word);
  WriteU32(r.data() + 2, timestamp);
  WriteU16(r.data() + 6, tickField);
  std::memcpy(r.data() + 8, events56, kCCEventBytes);
  return r;
}

}  // namespace zk
