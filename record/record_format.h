// The 64-byte record stream shared by the box's bulk pipe and ".zkr" record files:
// record kinds, CC records and their event bytes, sample records, meta records,
// timestamp extension and the writers for every record this program emits.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zk {

constexpr std::size_t kRecordSize = 64;
using Record = std::array<std::uint8_t, kRecordSize>;

constexpr std::uint16_t kMetaRecordWord = 0xFFF0;
constexpr int kCCEventBytes = 56;
constexpr int kMaxSamplesPerRecord = 3;
constexpr std::int32_t kUnitRatio = 1000000;  // calibration ratio 1.0 in millionths

enum class RecordKind { Meta, Sample, CC };

// Inline, with the other readers below: they run for every record of a file.
inline std::uint16_t ReadU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t ReadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int64_t ReadS64(const std::uint8_t* p);
void WriteU16(std::uint8_t* p, std::uint16_t v);
void WriteU32(std::uint8_t* p, std::uint32_t v);
void WriteS64(std::uint8_t* p, std::int64_t v);

inline RecordKind KindOfRecord(const std::uint8_t* rec) {
  const std::uint16_t word = ReadU16(rec);
  if (word == kMetaRecordWord) return RecordKind::Meta;
  if (word & 0x2000) return RecordKind::Sample;
  return RecordKind::CC;
}

// ---- CC records ------------------------------------------------------------

struct CCRecordHeader {
  int seqHigh = 0;  // bits 4-11 of the record word
  int seqLow = 0;   // bits 0-3
  int channel = 0;  // 0 = CC1, 1 = CC2
  std::uint32_t timestamp = 0;
  int tickDiv = 20;  // 48 MHz clock periods per tick, 1 to 256
};

CCRecordHeader ParseCCRecord(const std::uint8_t* rec);
inline const std::uint8_t* CCEventBytes(const std::uint8_t* rec) { return rec + 8; }
int TickDivFromField(std::uint16_t tickField);

// Turns one channel's event bytes (low 8 bits of the box's tick counter) into elapsed ticks.
class EventByteDecoder {
 public:
  struct Step {
    bool first = false;  // the channel's very first byte: sets the base, no time passes
    bool edge = false;
    std::uint32_t elapsed = 0;  // ticks since the previous byte
  };
  Step Feed(std::uint8_t x);  // inline below: called for every event byte
  void Reset() { *this = EventByteDecoder(); }
  bool HasLast() const { return m_HasLast; }
  // After an edge (or the first byte) the next edge is simply the byte's distance from the
  // last: the reader's fast path steps through such runs itself.
  bool AfterEdge() const { return m_HasLast && m_Repeats == 0 && m_Base == m_Last; }
  std::uint8_t Last() const { return m_Last; }
  void SetAfterEdge(std::uint8_t last) {
    m_Last = m_Base = last;
    m_Repeats = 0;
  }
  // On a quiet line each further wrap marker is one more lap of 256 ticks: the reader counts
  // such runs itself and then says so here.
  bool InRepeats() const { return m_HasLast && m_Base == 0 && m_Repeats >= 1; }
  void SkippedRepeats() { m_Repeats = 2; }

 private:
  bool m_HasLast = false;
  std::uint8_t m_Last = 0;
  std::uint8_t m_Base = 0;
  int m_Repeats = 0;
};

inline EventByteDecoder::Step EventByteDecoder::Feed(std::uint8_t x) {
  Step step;
  if (!m_HasLast) {
    m_HasLast = true;
    m_Last = m_Base = x;
    step.first = true;
    return step;
  }
  std::uint8_t d = 0;
  if (x != m_Last) {
    step.edge = true;
    m_Repeats = 0;
    d = x;
  } else if (m_Repeats < 2) {
    ++m_Repeats;  // only "fewer than two" matters: an idle line of hours must not overflow it
  }
  if (d > m_Base) {
    step.elapsed = static_cast<std::uint32_t>(d - m_Base);
  } else if (d == m_Base) {
    step.elapsed = m_Repeats < 2 ? 0 : 256;
  } else {
    step.elapsed = static_cast<std::uint32_t>(d - m_Base + 256);
  }
  m_Last = x;
  m_Base = d;
  return step;
}

// The CC record sequence check across both channels.
class CCSequence {
 public:
  bool InSequence(int high, int low) const;
  void Store(int high, int low);
  void Reset() { m_Set = false; }

 private:
  bool m_Set = false;
  int m_High = 0;
  int m_Low = 0;
};

// Extends a wrapping 32-bit microsecond stream to 64 bits. A stream that starts late, such
// as a channel whose first record comes an hour into the capture, is placed in the 2^32
// period nearest to a reference time of the streams that ran before it.
class TimestampExtender {
 public:
  std::uint64_t Extend(std::uint32_t v, std::optional<std::uint64_t> reference = std::nullopt);
  void Reset() { *this = TimestampExtender(); }
  // The last extended value; nothing before the first.
  std::optional<std::uint64_t> Latest() const {
    return m_Set ? std::optional<std::uint64_t>(m_High + m_Last) : std::nullopt;
  }

 private:
  bool m_Set = false;
  std::uint32_t m_Last = 0;
  std::uint64_t m_High = 0;
};

// ---- Sample records --------------------------------------------------------

struct RawSample {
  std::uint32_t timestamp = 0;
  std::uint16_t vbusVoltage = 0;
  std::int16_t vbusCurrent = 0;
  std::uint16_t cc1Voltage = 0;
  std::int16_t cc1Current = 0;
  std::uint16_t cc2Voltage = 0;
  std::int16_t cc2Current = 0;
};

// The declared count, clamped to what fits in a record (never reads past byte 63).
inline int SampleCountOfRecord(const std::uint8_t* rec) {
  const int n = ReadU16(rec) & 0x0F;
  return n > kMaxSamplesPerRecord ? kMaxSamplesPerRecord : n;
}
inline RawSample ReadRawSample(const std::uint8_t* rec, int k) {
  const std::uint8_t* p = rec + 2 + 16 * k;
  RawSample s;
  s.timestamp = ReadU32(p);
  s.vbusVoltage = ReadU16(p + 4);
  s.vbusCurrent = static_cast<std::int16_t>(ReadU16(p + 6));
  s.cc1Voltage = ReadU16(p + 8);
  s.cc1Current = static_cast<std::int16_t>(ReadU16(p + 10));
  s.cc2Voltage = ReadU16(p + 12);
  s.cc2Current = static_cast<std::int16_t>(ReadU16(p + 14));
  return s;
}
void WriteRawSample(std::uint8_t* rec, int k, const RawSample& s);

// Raw current to mA: dead band of +-2, then v * 1500 / 1598 truncated toward zero.
inline std::int32_t ConvertCurrent(std::int16_t raw) {
  if (raw >= -2 && raw <= 2) return 0;
  return static_cast<std::int32_t>(raw) * 1500 / 1598;
}
// Applies a calibration ratio in millionths with single-precision arithmetic; a ratio of
// one, the usual case, leaves the value as it is.
std::int32_t CalibrateScaled(std::int32_t value, std::int32_t ratio);
inline std::int32_t Calibrate(std::int32_t value, std::int32_t ratio) {
  return ratio == kUnitRatio ? value : CalibrateScaled(value, ratio);
}

// The six channels of calibration ratios, in record order (tags 32 to 37).
enum CalChannel { kCalVbusVol = 0, kCalCC1Vol, kCalCC2Vol, kCalVbusCurr, kCalCC1Curr, kCalCC2Curr, kCalCount };
using CalibrationRatios = std::array<std::int32_t, kCalCount>;
constexpr CalibrationRatios kUnitRatios = {kUnitRatio, kUnitRatio, kUnitRatio, kUnitRatio, kUnitRatio, kUnitRatio};

// ---- Meta records ----------------------------------------------------------

enum MetaTag : std::uint8_t {
  kTagFormat = 1,
  kTagFirmware = 2,
  kTagSerial = 3,
  kTagDeviceBytes = 4,
  kTagTimeOrigin = 5,
  kTagClearMarkers = 16,
  kTagBookmark = 17,
  kTagMarkerA = 18,
  kTagMarkerB = 19,
  kTagGraphMarkerO = 24,
  kTagGraphMarkerX = 25,
  kTagCalFirst = 32,  // 32..37 in CalChannel order
  kTagCalLast = 37,
  kTagEnd = 255,
};

struct MetaItem {
  std::uint8_t tag = 0;
  std::uint8_t length = 0;
  const std::uint8_t* value = nullptr;  // points into the record
  // Length 8 reads as a signed 64-bit value, length 4 as signed 32-bit, else 0.
  std::int64_t Number() const;
};

// Calls visit(item) for every item the reading rule reaches, the end item included.
template <typename Visit>
void ForEachMetaItem(const std::uint8_t* rec, Visit&& visit) {
  int p = 2;
  for (;;) {
    const int next = p + 2 + rec[p + 1];
    if (next > static_cast<int>(kRecordSize)) return;
    MetaItem item{rec[p], rec[p + 1], rec + p + 2};
    visit(item);
    if (item.tag == kTagEnd) return;
    p = next;
    if (p > 62) return;
  }
}

// What a meta record says, as the loader applies it.
struct MetaState {
  bool hasTimeOrigin = false;
  std::int64_t timeOrigin = 0;
  std::vector<std::int64_t> bookmarks;
  bool hasMarkerA = false, hasMarkerB = false, hasMarkerO = false, hasMarkerX = false;
  std::int64_t markerA = 0, markerB = 0, markerO = 0, markerX = 0;
  CalibrationRatios ratios = kUnitRatios;
  // Header items (informational only; not acted on by the loader).
  bool hasFormat = false, hasFirmware = false, hasSerial = false, hasDeviceBytes = false;
  std::uint16_t format = 0;
  std::uint16_t firmware = 0;
  std::array<std::uint8_t, 12> serial{};
  std::int64_t deviceBytes = 0;

  void ClearMarkers();
};

void ApplyMetaRecord(const std::uint8_t* rec, MetaState& state);

// ---- Writers ---------------------------------------------------------------

Record EmptyMetaRecord();
Record CalibrationRecord(const CalibrationRatios& ratios);
Record HeaderRecord(std::uint16_t firmware, const std::array<std::uint8_t, 12>& serial, std::int64_t deviceBytes);

struct MarkerItem {
  std::uint8_t tag;  // kTagBookmark, kTagMarkerA, kTagMarkerB, kTagGraphMarkerO or kTagGraphMarkerX
  std::int64_t time;
};
// Packs the time origin, the clear item and the given items into as many records as needed.
std::vector<Record> MarkerRecords(std::int64_t timeOrigin, const std::vector<MarkerItem>& items);

// A CC record as the box sends it (used by the synthesizer and tests).
Record CCRecord(int seqHigh, int seqLow, int channel, std::uint32_t timestamp, std::uint16_t tickField,
                const std::uint8_t* events56);

}  // namespace zk
