// Synthetic record streams: encoded packets become CC records exactly as the box sends
// them (event bytes of a free-running tick counter, wrap markers, sequence numbers,
// per-record timestamps), interleaved with sample records behind the two meta records
// that start every record file.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "record/record_format.h"
#include "sim/encoder.h"

namespace zk::sim {

// What the box measures at one moment, in mV and mA.
struct PowerReading {
  std::int32_t vbusMv = 5000;
  std::int32_t vbusMa = 0;
  std::int32_t cc1Mv = 0;
  std::int32_t cc1Ma = 0;
  std::int32_t cc2Mv = 0;
  std::int32_t cc2Ma = 0;
};

// One packet put on the line, as the loader should find it.
struct SynthPacket {
  std::int64_t timeUs = 0;  // first edge, from the first sample
  int channel = 0;
  int kind = kKindTooShort;  // what the framing decoder should report: 254 for noise
  std::uint16_t header = 0;
  std::uint32_t crc = 0;  // as transmitted
  bool crcOk = false;
  bool complete = true;  // every bit of the message was sent
};

struct SynthOptions {
  int tickDiv = 20;                // the box's default (tick field 0)
  int sampleIntervalUs = 1000;     // one sample per interval, three to a record
  std::uint32_t clockStartUs = 0;  // box clock at the first sample; rounded down to a whole tick
  CalibrationRatios ratios = kUnitRatios;
  // Channels counted from the first sample on (bit 0 CC1, bit 1 CC2). Another channel
  // starts at its first packet; its timestamps must then not have wrapped since the first
  // sample, or the loader's separate timestamp extensions disagree.
  int channelsAtStart = 1;
};

// What loading should find for a message sent with these options.
SynthPacket ExpectedPacket(const PdMessageSpec& m, const BmcOptions& o);

using RecordSink = std::function<void(const Record&)>;
using PowerFunction = std::function<PowerReading(std::int64_t timeUs)>;
using PacketSink = std::function<void(const SynthPacket&)>;

// Raw current field for a current in mA: the inverse of the box's conversion.
std::int16_t RawCurrent(std::int32_t ma);

// Time only moves forward: every call happens at or after the previous one. The box's
// clocks come from one 48 MHz oscillator: the tick counter runs at 48 MHz / divider and
// the record timestamps at 1 MHz.
class RecordSynthesizer {
 public:
  RecordSynthesizer(const SynthOptions& options, RecordSink records, PowerFunction power, PacketSink packets = nullptr);

  int TickDiv() const { return m_TickDiv; }
  std::int64_t NowUs() const;  // from the first sample
  std::uint64_t TicksOfUs(std::int64_t us) const;

  // Puts one waveform (encoded at TickDiv()) on a channel, its first edge no earlier than `atUs` and after the
  // channel's previous packet; returns what was recorded (the start may move by a tick,
  // see the .cpp). Bursts of fewer than four intervals are not reported: loading drops them.
  SynthPacket Transmit(int channel, std::int64_t atUs, const BmcWaveform& w, SynthPacket expected);

  // Lets time pass: samples are taken and idle channels keep counting wraps.
  void AdvanceTo(std::int64_t us);
  // Runs on until every channel's last record is written and the last packet is closed.
  void Finish();

 private:
  struct Channel {
    bool active = false;
    bool announced = false;           // a record of this channel has been written at sequence low 0
    std::uint64_t lastEventTick = 0;  // the last edge, or the reference byte
    std::uint8_t lastByte = 0;
    std::uint64_t nextWrap = 0;  // the next counter wrap still to be marked
    std::array<std::uint8_t, kCCEventBytes> bytes{};
    int fill = 0;
    std::uint32_t recordStamp = 0;                                 // box microseconds at the record's first byte
    std::deque<std::array<std::uint8_t, kCCEventBytes + 4>> held;  // waiting for sequence low 0
  };

  std::uint64_t AbsoluteTick(std::uint64_t relativeTick) const { return m_StartTick + relativeTick; }
  std::uint32_t StampOfTick(std::uint64_t absTick) const;
  void StartChannel(int c, std::uint64_t absTick);
  void RunUntil(std::uint64_t absTick);
  void TakeSample();
  void PutByte(int c, std::uint8_t byte, std::uint64_t absTick);
  void PutEdge(int c, std::uint64_t absTick);
  void WriteCC(int c, std::uint32_t stamp, const std::array<std::uint8_t, kCCEventBytes>& bytes);
  void ReleaseHeld();
  void Emit(int c, std::uint32_t stamp, const std::uint8_t* bytes);

  int m_TickDiv;
  std::uint16_t m_TickField;
  std::int64_t m_SampleInterval;
  std::uint64_t m_StartTick;  // absolute tick of the first sample
  std::uint64_t m_NowTick;    // absolute; everything before it has been written
  std::int64_t m_NextSampleUs = 0;
  std::array<RawSample, kMaxSamplesPerRecord> m_Samples{};
  int m_SampleFill = 0;
  int m_SeqHigh = 0, m_SeqLow = 0;
  std::array<Channel, 2> m_Channels{};
  RecordSink m_Records;
  PowerFunction m_Power;
  PacketSink m_Packets;
  std::uint64_t m_LastPacketEnd[2] = {0, 0};
};

}  // namespace zk::sim
