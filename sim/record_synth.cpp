#include "sim/record_synth.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>

namespace zk::sim {

namespace {

constexpr std::uint64_t kWrapTicks = 256;
// Loading closes a packet after 10 us of quiet line; a little more keeps packets apart.
constexpr std::int64_t kMinPacketGapUs = 12;

// Field 0 stands for divider 20, so divider 1 (low byte 0) needs a high byte to be told apart.
std::uint16_t TickFieldOf(int tickDiv) {
  if (tickDiv == 20) return 0;
  return static_cast<std::uint16_t>(tickDiv == 1 ? 0x0100 : tickDiv - 1);
}

}  // namespace

std::int16_t RawCurrent(std::int32_t ma) {
  // Rounded away from zero: the box's conversion truncates toward zero.
  const std::int64_t scaled = static_cast<std::int64_t>(ma) * 1598;
  const std::int64_t raw = (scaled + (ma >= 0 ? 1499 : -1499)) / 1500;
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(raw, std::numeric_limits<std::int16_t>::min(),
                                                            std::numeric_limits<std::int16_t>::max()));
}

SynthPacket ExpectedPacket(const PdMessageSpec& m, const BmcOptions& o) {
  SynthPacket p;
  p.kind = m.kind;
  p.complete = o.truncateAfterBits < 0 && o.dropPreambleBits <= 0;
  if (!CarriesMessage(m)) return p;
  p.header = m.header;
  p.crc = MessageCrc(m) ^ (o.corruptCrc ? 1u : 0u);
  p.crcOk = !o.corruptCrc && o.truncateAfterBits < 0;
  return p;
}

RecordSynthesizer::RecordSynthesizer(const SynthOptions& options, RecordSink records, PowerFunction power,
                                     PacketSink packets)
    : m_TickDiv(std::clamp(options.tickDiv, 1, 256)),
      m_TickField(TickFieldOf(m_TickDiv)),
      m_SampleInterval(std::max(1, options.sampleIntervalUs)),
      m_Records(std::move(records)),
      m_Power(std::move(power)),
      m_Packets(std::move(packets)) {
  // The first sample sits on a microsecond that is also a whole tick, so that the loader's
  // channel clock (record timestamp x 48 / divider) starts exactly on the counter.
  const std::uint64_t step = static_cast<std::uint64_t>(m_TickDiv / std::gcd(m_TickDiv, 48));
  const std::uint64_t startUs = options.clockStartUs / step * step;
  m_StartTick = startUs * 48 / static_cast<std::uint64_t>(m_TickDiv);
  m_NowTick = m_StartTick;
  m_Records(EmptyMetaRecord());
  m_Records(CalibrationRecord(options.ratios));
  for (int c = 0; c < 2; ++c) {
    if (options.channelsAtStart & (1 << c)) StartChannel(c, m_StartTick);
  }
}

std::int64_t RecordSynthesizer::NowUs() const {
  return static_cast<std::int64_t>((m_NowTick - m_StartTick) * static_cast<std::uint64_t>(m_TickDiv) / 48);
}

std::uint64_t RecordSynthesizer::TicksOfUs(std::int64_t us) const {
  return static_cast<std::uint64_t>(std::max<std::int64_t>(0, us)) * 48 / static_cast<std::uint64_t>(m_TickDiv);
}

std::uint32_t RecordSynthesizer::StampOfTick(std::uint64_t absTick) const {
  return static_cast<std::uint32_t>(absTick * static_cast<std::uint64_t>(m_TickDiv) / 48);
}

void RecordSynthesizer::StartChannel(int c, std::uint64_t absTick) {
  const std::uint64_t align = static_cast<std::uint64_t>(48 / std::gcd(m_TickDiv, 48));
  m_Channels[static_cast<std::size_t>(c)].active = true;
  // The channel's first byte only sets the reader's base; it is not an edge, but it
  // starts the count to the next wrap just like one.
  PutEdge(c, (absTick + align - 1) / align * align);
}

void RecordSynthesizer::RunUntil(std::uint64_t absTick) {
  for (;;) {
    std::uint64_t best = std::numeric_limits<std::uint64_t>::max();
    int which = -1;
    const std::uint64_t sampleTick = m_StartTick + TicksOfUs(m_NextSampleUs);
    if (sampleTick <= absTick) {
      best = sampleTick;
      which = 2;
    }
    for (int c = 0; c < 2; ++c) {
      const Channel& ch = m_Channels[static_cast<std::size_t>(c)];
      if (ch.active && ch.nextWrap <= absTick && ch.nextWrap < best) {
        best = ch.nextWrap;
        which = c;
      }
    }
    if (which < 0) break;
    if (which == 2) {
      TakeSample();
    } else {
      Channel& ch = m_Channels[static_cast<std::size_t>(which)];
      // A wrap without an edge repeats the last byte.
      PutByte(which, ch.lastByte, ch.nextWrap);
      ch.nextWrap += kWrapTicks;
    }
  }
  m_NowTick = std::max(m_NowTick, absTick);
}

void RecordSynthesizer::TakeSample() {
  const PowerReading r = m_Power ? m_Power(m_NextSampleUs) : PowerReading{};
  RawSample& s = m_Samples[static_cast<std::size_t>(m_SampleFill++)];
  s.timestamp = StampOfTick(m_StartTick) + static_cast<std::uint32_t>(m_NextSampleUs);
  s.vbusVoltage = static_cast<std::uint16_t>(std::clamp(r.vbusMv, 0, 65535));
  s.vbusCurrent = RawCurrent(r.vbusMa);
  s.cc1Voltage = static_cast<std::uint16_t>(std::clamp(r.cc1Mv, 0, 65535));
  s.cc1Current = RawCurrent(r.cc1Ma);
  s.cc2Voltage = static_cast<std::uint16_t>(std::clamp(r.cc2Mv, 0, 65535));
  s.cc2Current = RawCurrent(r.cc2Ma);
  m_NextSampleUs += m_SampleInterval;
  if (m_SampleFill < kMaxSamplesPerRecord) return;
  Record rec{};
  WriteU16(rec.data(), static_cast<std::uint16_t>(0x2000 | kMaxSamplesPerRecord));
  for (int k = 0; k < kMaxSamplesPerRecord; ++k) WriteRawSample(rec.data(), k, m_Samples[static_cast<std::size_t>(k)]);
  m_SampleFill = 0;
  m_Records(rec);
}

void RecordSynthesizer::PutByte(int c, std::uint8_t byte, std::uint64_t absTick) {
  Channel& ch = m_Channels[static_cast<std::size_t>(c)];
  if (ch.fill == 0) ch.recordStamp = StampOfTick(absTick);
  ch.bytes[static_cast<std::size_t>(ch.fill++)] = byte;
  if (ch.fill < kCCEventBytes) return;
  ch.fill = 0;
  WriteCC(c, ch.recordStamp, ch.bytes);
}

void RecordSynthesizer::PutEdge(int c, std::uint64_t absTick) {
  Channel& ch = m_Channels[static_cast<std::size_t>(c)];
  const auto byte = static_cast<std::uint8_t>(absTick & 0xFF);
  PutByte(c, byte, absTick);
  ch.lastEventTick = absTick;
  ch.lastByte = byte;
  ch.nextWrap = (absTick / kWrapTicks + 1) * kWrapTicks;
  // The reader counts the first repeat after an edge on counter value 0 as no time, so
  // such an edge gets one at once; the next wrap then counts its full 256 ticks.
  if (byte == 0) PutByte(c, byte, absTick);
}

void RecordSynthesizer::WriteCC(int c, std::uint32_t stamp, const std::array<std::uint8_t, kCCEventBytes>& bytes) {
  Channel& ch = m_Channels[static_cast<std::size_t>(c)];
  // A reader picks up a channel only from a record with sequence low part 0, so the box
  // keeps a new channel's records back until the shared sequence comes round to 0.
  if (!ch.announced && (m_SeqLow != 0 || !ch.held.empty())) {
    std::array<std::uint8_t, kCCEventBytes + 4> h{};
    WriteU32(h.data(), stamp);
    std::memcpy(h.data() + 4, bytes.data(), kCCEventBytes);
    ch.held.push_back(h);
    return;
  }
  Emit(c, stamp, bytes.data());
  ReleaseHeld();
}

void RecordSynthesizer::ReleaseHeld() {
  for (int c = 0; c < 2; ++c) {
    Channel& ch = m_Channels[static_cast<std::size_t>(c)];
    if (ch.held.empty() || m_SeqLow != 0) continue;
    while (!ch.held.empty()) {
      const auto h = ch.held.front();
      ch.held.pop_front();
      Emit(c, ReadU32(h.data()), h.data() + 4);
    }
  }
}

void RecordSynthesizer::Emit(int c, std::uint32_t stamp, const std::uint8_t* bytes) {
  if (m_SeqLow == 0) m_Channels[static_cast<std::size_t>(c)].announced = true;
  m_Records(CCRecord(m_SeqHigh, m_SeqLow, c, stamp, m_TickField, bytes));
  m_SeqLow = (m_SeqLow + 1) % 8;
  if (m_SeqLow == 0) m_SeqHigh = (m_SeqHigh + 1) % 256;
}

SynthPacket RecordSynthesizer::Transmit(int channel, std::int64_t atUs, const BmcWaveform& w, SynthPacket expected) {
  const int c = channel & 1;
  Channel& ch = m_Channels[static_cast<std::size_t>(c)];
  expected.channel = c;
  if (w.edges.empty()) {
    expected.timeUs = NowUs();
    return expected;
  }
  if (!ch.active) StartChannel(c, m_NowTick);
  std::uint64_t start = std::max(m_StartTick + TicksOfUs(atUs), m_NowTick);
  start = std::max(start, std::max(ch.lastEventTick, m_LastPacketEnd[c]) + TicksOfUs(kMinPacketGapUs) + 1);
  // An edge on the same counter value as the channel's last byte would read as a wrap
  // marker; the box could not have seen that either, so the packet starts a tick later.
  while ((start & 0xFF) == ch.lastByte) ++start;

  std::uint64_t shift = 0;
  std::uint64_t tick = start;
  for (std::uint64_t e : w.edges) {
    tick = start + e + shift;
    while ((tick & 0xFF) == ch.lastByte) ++tick, ++shift;
    RunUntil(tick);
    PutEdge(c, tick);
  }
  m_LastPacketEnd[c] = tick;
  expected.timeUs = static_cast<std::int64_t>((start - m_StartTick) * static_cast<std::uint64_t>(m_TickDiv) / 48);
  // Loading drops bursts of fewer than four intervals at their idle end.
  if (w.edges.size() >= 5 && m_Packets) m_Packets(expected);
  return expected;
}

void RecordSynthesizer::AdvanceTo(std::int64_t us) { RunUntil(std::max(m_NowTick, m_StartTick + TicksOfUs(us))); }

void RecordSynthesizer::Finish() {
  // Wrap markers keep coming after the last edge; one that comes 10 us after it closes the packet.
  const std::uint64_t lastEdge = std::max(m_LastPacketEnd[0], m_LastPacketEnd[1]);
  RunUntil(std::max(m_NowTick, lastEdge + TicksOfUs(kMinPacketGapUs) + 2 * kWrapTicks));
  auto pending = [this] {
    if (m_SampleFill != 0) return true;
    for (const Channel& ch : m_Channels) {
      if (ch.active && (ch.fill != 0 || !ch.held.empty())) return true;
    }
    return false;
  };
  // Bounded: every wrap adds a byte to each active channel, so records fill within 56 wraps.
  for (int i = 0; i < 100000 && pending(); ++i) RunUntil(m_NowTick + kWrapTicks);
}

}  // namespace zk::sim
