#include "interchange/logic_import.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <numeric>

#include "interchange/sigrok_session.h"
#include "record/document.h"
#include "record/file_path.h"

namespace zk::interchange {

namespace {

constexpr std::uint64_t kBoxClockHz = 48000000;
constexpr std::uint64_t kWrapTicks = 256;
constexpr std::uint64_t kSampleIntervalUs = 1000;
// The loader closes a packet after 10 us of quiet line; a little more is certain to.
constexpr std::uint64_t kIdleUs = 12;

// Field 0 stands for divider 20, so divider 1 (low byte 0) needs a high byte to be told apart.
std::uint16_t TickFieldOf(int tickDiv) {
  if (tickDiv == 20) return 0;
  return static_cast<std::uint16_t>(tickDiv == 1 ? 0x0100 : tickDiv - 1);
}

}  // namespace

TickMapping MapSampleRate(std::uint64_t sampleRate) {
  TickMapping m;
  m.sampleRate = std::max<std::uint64_t>(1, sampleRate);
  const std::uint64_t nearest = (kBoxClockHz + m.sampleRate / 2) / m.sampleRate;
  m.tickDiv = static_cast<int>(std::clamp<std::uint64_t>(nearest, 1, 256));
  m.exact = kBoxClockHz % (m.sampleRate * static_cast<std::uint64_t>(m.tickDiv)) == 0;
  return m;
}

std::uint64_t TickMapping::TickOfSample(std::uint64_t sample) const {
  const unsigned __int128 den = static_cast<unsigned __int128>(sampleRate) * static_cast<unsigned>(tickDiv);
  const unsigned __int128 num = static_cast<unsigned __int128>(sample) * kBoxClockHz;
  return static_cast<std::uint64_t>((num + den / 2) / den);
}

LogicRecordWriter::LogicRecordWriter(int tickDiv, unsigned channelMask, RecordSink sink)
    : m_TickDiv(std::clamp(tickDiv, 1, 256)), m_TickField(TickFieldOf(m_TickDiv)), m_Sink(std::move(sink)) {
  // The header record is filled in by whoever knows the final byte count.
  m_Sink(EmptyMetaRecord());
  m_Sink(CalibrationRecord(kUnitRatios));
  // Packets before the first sample are never shown, so the first sample goes out at once.
  TakeSample();
  WriteSamples();
  for (int c = 0; c < 2; ++c) {
    if (!(channelMask & (1u << c))) continue;
    Channel& ch = m_Channels[static_cast<std::size_t>(c)];
    ch.active = true;
    // The line's first byte only sets the reader's base; tick 0 is also microsecond 0, so
    // the reader's clock (record timestamp x 48 / divider) starts exactly on the counter.
    PutEdge(c, 0);
  }
}

std::uint32_t LogicRecordWriter::StampOfTick(std::uint64_t tick) const {
  return static_cast<std::uint32_t>(tick * static_cast<std::uint64_t>(m_TickDiv) / 48);
}

std::uint64_t LogicRecordWriter::TickOfUs(std::uint64_t us) const {
  return us * 48 / static_cast<std::uint64_t>(m_TickDiv);
}

void LogicRecordWriter::RunUntil(std::uint64_t tick) {
  for (;;) {
    std::uint64_t best = std::numeric_limits<std::uint64_t>::max();
    int which = -1;
    if (TickOfUs(m_NextSampleUs) <= tick) {
      best = TickOfUs(m_NextSampleUs);
      which = 2;
    }
    for (int c = 0; c < 2; ++c) {
      const Channel& ch = m_Channels[static_cast<std::size_t>(c)];
      if (ch.active && ch.nextWrap <= tick && ch.nextWrap < best) {
        best = ch.nextWrap;
        which = c;
      }
    }
    if (which < 0) break;
    if (which == 2) {
      TakeSample();
      if (m_SampleFill == kMaxSamplesPerRecord) WriteSamples();
    } else {
      Channel& ch = m_Channels[static_cast<std::size_t>(which)];
      // A counter wrap without an edge repeats the line's last byte.
      const std::uint64_t at = ch.nextWrap;
      ch.nextWrap += kWrapTicks;
      PutByte(which, ch.lastByte, at);
    }
  }
  m_NowTick = std::max(m_NowTick, tick);
}

void LogicRecordWriter::TakeSample() {
  // No measured values: the sample only carries the time base the loader needs.
  RawSample& s = m_Samples[static_cast<std::size_t>(m_SampleFill++)];
  s = RawSample{};
  s.timestamp = static_cast<std::uint32_t>(m_NextSampleUs);
  m_NextSampleUs += kSampleIntervalUs;
  ++m_Stats.samples;
}

void LogicRecordWriter::WriteSamples() {
  if (m_SampleFill == 0) return;
  Record rec{};
  WriteU16(rec.data(), static_cast<std::uint16_t>(0x2000 | m_SampleFill));
  for (int k = 0; k < m_SampleFill; ++k) WriteRawSample(rec.data(), k, m_Samples[static_cast<std::size_t>(k)]);
  m_SampleFill = 0;
  ++m_Stats.sampleRecords;
  m_Sink(rec);
}

void LogicRecordWriter::PutByte(int c, std::uint8_t byte, std::uint64_t tick) {
  Channel& ch = m_Channels[static_cast<std::size_t>(c)];
  // The reader resynchronises its clock to a record's timestamp before adding that record's
  // first byte, so the timestamp is the time of the line's previous byte (every line starts
  // with its first byte at tick 0, where the two agree).
  if (ch.fill == 0) ch.stamp = StampOfTick(ch.lastByteTick);
  ch.lastByteTick = tick;
  ch.bytes[static_cast<std::size_t>(ch.fill++)] = byte;
  if (ch.fill == kCCEventBytes) WriteCC(c);
}

void LogicRecordWriter::PutEdge(int c, std::uint64_t tick) {
  Channel& ch = m_Channels[static_cast<std::size_t>(c)];
  const auto byte = static_cast<std::uint8_t>(tick & 0xFF);
  PutByte(c, byte, tick);
  ch.lastByte = byte;
  ch.lastEdgeTick = tick;
  ch.nextWrap = (tick / kWrapTicks + 1) * kWrapTicks;
  // The reader counts the first repeat after an edge on counter value 0 as no time, so such
  // an edge gets one at once; the next wrap then counts its full 256 ticks.
  if (byte == 0) PutByte(c, byte, tick);
}

void LogicRecordWriter::Edges(unsigned channelMask, std::uint64_t tick) {
  struct Due {
    int channel;
    std::uint64_t tick;
  };
  Due due[2];
  int n = 0;
  for (int c = 0; c < 2; ++c) {
    Channel& ch = m_Channels[static_cast<std::size_t>(c)];
    if (!(channelMask & (1u << c)) || !ch.active) continue;
    // Two edges never share a tick, nothing is written behind what is out already, and an
    // edge on the counter value of the line's last byte would read as a wrap marker.
    std::uint64_t t = std::max({tick, ch.lastEdgeTick + 1, m_NowTick});
    while ((t & 0xFF) == ch.lastByte) ++t;
    if (t != tick) ++m_Stats.movedEdges;
    ++m_Stats.edges[static_cast<std::size_t>(c)];
    due[n++] = Due{c, t};
  }
  if (n == 2 && due[1].tick < due[0].tick) std::swap(due[0], due[1]);
  for (int i = 0; i < n; ++i) {
    RunUntil(due[i].tick);
    PutEdge(due[i].channel, due[i].tick);
  }
}

void LogicRecordWriter::WriteCC(int c) {
  Channel& ch = m_Channels[static_cast<std::size_t>(c)];
  ch.fill = 0;
  // A reader picks up a line only from a record with sequence low part 0, so a line's
  // records wait until the shared sequence comes round to 0.
  if (!ch.announced && (m_SeqLow != 0 || !ch.held.empty())) {
    ch.held.emplace_back(ch.stamp, ch.bytes);
    return;
  }
  Emit(c, ch.stamp, ch.bytes.data());
  ReleaseHeld();
}

void LogicRecordWriter::ReleaseHeld() {
  for (int c = 0; c < 2; ++c) {
    Channel& ch = m_Channels[static_cast<std::size_t>(c)];
    if (ch.held.empty() || m_SeqLow != 0) continue;
    while (!ch.held.empty()) {
      const auto h = ch.held.front();
      ch.held.pop_front();
      Emit(c, h.first, h.second.data());
    }
  }
}

void LogicRecordWriter::Emit(int c, std::uint32_t stamp, const std::uint8_t* bytes) {
  if (m_SeqLow == 0) m_Channels[static_cast<std::size_t>(c)].announced = true;
  m_Sink(CCRecord(m_SeqHigh, m_SeqLow, c, stamp, m_TickField, bytes));
  ++m_Stats.ccRecords;
  m_SeqLow = (m_SeqLow + 1) % 8;
  if (m_SeqLow == 0) m_SeqHigh = (m_SeqHigh + 1) % 256;
}

bool LogicRecordWriter::Pending() const {
  for (const Channel& ch : m_Channels) {
    if (ch.active && (ch.fill != 0 || !ch.held.empty())) return true;
  }
  return false;
}

void LogicRecordWriter::Finish(std::uint64_t endTick) {
  std::uint64_t lastEdge = 0;
  for (const Channel& ch : m_Channels) {
    if (ch.active) lastEdge = std::max(lastEdge, ch.lastEdgeTick);
  }
  // Wrap markers keep coming after the last edge; the first one 10 us after it closes the packet.
  RunUntil(std::max({m_NowTick, endTick, lastEdge + TickOfUs(kIdleUs) + 2 * kWrapTicks}));
  // Each line completes its last record with wrap markers of its own: the lines' records
  // fill at different rates, so waiting for both to end together could take for ever.
  for (int c = 0; c < 2; ++c) {
    Channel& ch = m_Channels[static_cast<std::size_t>(c)];
    while (ch.active && ch.fill != 0) {
      const std::uint64_t at = ch.nextWrap;
      ch.nextWrap += kWrapTicks;
      PutByte(c, ch.lastByte, at);
    }
  }
  // Records still held for sequence low part 0 go out once another line's records bring
  // the sequence round (at most seven records).
  for (int c = 0; c < 2; ++c) {
    Channel& ch = m_Channels[static_cast<std::size_t>(c)];
    if (!ch.active || !ch.announced) continue;
    for (int i = 0; i < 8 * kCCEventBytes && Pending(); ++i) {
      const std::uint64_t at = ch.nextWrap;
      ch.nextWrap += kWrapTicks;
      PutByte(c, ch.lastByte, at);
    }
  }
  WriteSamples();
}

namespace {

struct OutputFile {
  std::FILE* f = nullptr;
  std::uint64_t records = 0;
  bool failed = false;
  ~OutputFile() {
    if (f) std::fclose(f);
  }
  void Write(const Record& r) {
    if (!failed && std::fwrite(r.data(), 1, r.size(), f) != r.size()) failed = true;
    ++records;
  }
};

}  // namespace

bool ImportLogicSession(const std::string& input, const std::string& output, const ImportOptions& options,
                        ImportSummary& summary, std::string& error, const ImportProgress& progress) {
  summary = ImportSummary{};
  // Creating the output first would empty the very archive about to be read.
  if (SameFile(input, output)) {
    error = "the record file '" + output + "' would replace the capture it is made from";
    return false;
  }
  LogicSessionReader reader;
  if (!reader.Open(input, error)) return false;
  const LogicSession& session = reader.Session();

  const LogicChannel* lines[2] = {session.FindChannel(options.cc1Name), session.FindChannel(options.cc2Name)};
  const bool given[2] = {options.cc1Given, options.cc2Given};
  const std::string* names[2] = {&options.cc1Name, &options.cc2Name};
  std::string available;
  for (const LogicChannel& c : session.channels) available += (available.empty() ? "" : ", ") + c.name;
  for (int c = 0; c < 2; ++c) {
    if (!lines[c] && given[c]) {
      error = "the capture has no channel '" + *names[c] + "' (it has " + available + ")";
      return false;
    }
  }
  if (!lines[0] && !lines[1]) {
    error = "the capture has neither '" + options.cc1Name + "' nor '" + options.cc2Name + "' (it has " + available +
            "); name its CC lines with --cc1 and --cc2";
    return false;
  }
  if (lines[0] && lines[1] && lines[0]->bit == lines[1]->bit) {
    error = "CC1 and CC2 name the same channel '" + lines[0]->name + "'";
    return false;
  }
  summary.mapping = MapSampleRate(session.sampleRate);
  for (int c = 0; c < 2; ++c) (c ? summary.cc2Channel : summary.cc1Channel) = lines[c] ? lines[c]->name : "";

  OutputFile out;
  out.f = OpenFile(output, "wb");
  if (!out.f) {
    error = "cannot create '" + output + "'";
    return false;
  }
  const unsigned mask = (lines[0] ? 1u : 0u) | (lines[1] ? 2u : 0u);
  LogicRecordWriter writer(summary.mapping.tickDiv, mask, [&out](const Record& r) { out.Write(r); });

  const auto unit = static_cast<std::size_t>(session.unitSize);
  std::size_t byteOf[2] = {0, 0};
  std::uint8_t bitOf[2] = {0, 0};
  for (int c = 0; c < 2; ++c) {
    if (!lines[c]) continue;
    byteOf[c] = static_cast<std::size_t>(lines[c]->bit / 8);
    bitOf[c] = static_cast<std::uint8_t>(1u << (lines[c]->bit % 8));
  }
  std::uint64_t sample = 0;
  unsigned level = 0;
  bool stopped = false;
  const TickMapping mapping = summary.mapping;
  bool ok = reader.ReadSamples(
      [&](const std::uint8_t* data, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i, ++sample) {
          const std::uint8_t* s = data + i * unit;
          unsigned now = 0;
          if (mask & 1u) now |= (s[byteOf[0]] & bitOf[0]) ? 1u : 0u;
          if (mask & 2u) now |= (s[byteOf[1]] & bitOf[1]) ? 2u : 0u;
          // The first sample gives the idle levels; edges are changes from one sample to the next.
          if (sample != 0 && now != level) writer.Edges(now ^ level, mapping.TickOfSample(sample));
          level = now;
        }
        stopped = progress && !progress(sample * unit, reader.SampleBytes());
        return !stopped;
      },
      error);
  if (stopped) {
    ok = false;
    error = "the import was stopped";
  }
  if (ok) {
    writer.Finish(mapping.TickOfSample(sample));
    summary.captureSamples = sample;
    summary.stats = writer.Stats();
    summary.fileBytes = out.records * kRecordSize;
    // Close the file as the box's capture does: the header record with the device byte count.
    const Record header = HeaderRecord(0, {}, static_cast<std::int64_t>(summary.fileBytes - 2 * kRecordSize));
    if (std::fseek(out.f, 0, SEEK_SET) != 0 || std::fwrite(header.data(), 1, header.size(), out.f) != header.size())
      out.failed = true;
  }
  const bool closed = std::fclose(out.f) == 0;
  out.f = nullptr;
  if (ok && (out.failed || !closed)) error = "cannot write '" + output + "'";
  if (!ok || out.failed || !closed) {
    std::error_code ec;
    std::filesystem::remove(PathFromUtf8(output), ec);
    return false;
  }
  return true;
}

std::string ImportSummaryText(const ImportSummary& s) {
  const TickMapping& m = s.mapping;
  char buf[512];
  std::string text;
  std::snprintf(buf, sizeof buf, "capture: %" PRIu64 " samples at %s\n", s.captureSamples,
                SampleRateText(m.sampleRate).c_str());
  text += buf;
  for (int c = 0; c < 2; ++c) {
    const std::string& name = c ? s.cc2Channel : s.cc1Channel;
    if (name.empty()) {
      std::snprintf(buf, sizeof buf, "CC%d: not in the capture\n", c + 1);
    } else {
      std::snprintf(buf, sizeof buf, "CC%d: channel '%s', %" PRIu64 " edges\n", c + 1, name.c_str(),
                    s.stats.edges[static_cast<std::size_t>(c)]);
    }
    text += buf;
  }
  const double tickNs = m.tickDiv * 1000.0 / 48.0;
  if (m.exact) {
    std::snprintf(buf, sizeof buf, "tick divider %d (%.3f ns ticks): every sample falls on a tick\n", m.tickDiv,
                  tickNs);
  } else {
    std::snprintf(buf, sizeof buf,
                  "tick divider %d (%.3f ns ticks): %s is not 48 MHz divided by a whole number, edge times are "
                  "rounded to the nearest tick (up to %.1f ns)\n",
                  m.tickDiv, tickNs, SampleRateText(m.sampleRate).c_str(), m.MaxRoundingNs());
  }
  text += buf;
  if (s.stats.movedEdges != 0) {
    std::snprintf(buf, sizeof buf,
                  "%" PRIu64 " edges written a tick or more late (same tick as the line's previous byte)\n",
                  s.stats.movedEdges);
    text += buf;
  }
  std::snprintf(buf, sizeof buf,
                "records: %" PRIu64 " CC, %" PRIu64 " sample records (%" PRIu64
                " samples with no measured values: VBUS, CC voltages and currents read 0)\n",
                s.stats.ccRecords, s.stats.sampleRecords, s.stats.samples);
  text += buf;
  return text;
}

std::string ImportReportText(const ImportSummary& summary, const std::string& output) {
  return ImportSummaryText(summary) + "wrote " + output + " (" + std::to_string(summary.fileBytes) + " bytes)\n";
}

}  // namespace zk::interchange
