// Logic-analyzer captures of the two CC lines become record files that the loader reads
// as if the box had recorded them: event bytes of a tick counter at the divider that fits
// the capture's sample rate, wrap markers, one CC record sequence for both lines, and
// sample records that carry no measured values (a logic capture has none).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "record/record_format.h"

namespace zk::interchange {

// How capture samples map onto box ticks (48 MHz / tickDiv).
struct TickMapping {
  std::uint64_t sampleRate = 0;
  int tickDiv = 20;
  // Every sample instant is a whole tick: 48 MHz / sampleRate is a multiple of tickDiv.
  bool exact = true;
  std::uint64_t TickOfSample(std::uint64_t sample) const;
  // Largest distance between a sample instant and its tick, in nanoseconds (0 when exact).
  double MaxRoundingNs() const { return exact ? 0.0 : tickDiv * 1000.0 / 48.0 / 2.0; }
};

// The divider nearest to 48 MHz / sampleRate (1 to 256); sampleRate must not be 0.
TickMapping MapSampleRate(std::uint64_t sampleRate);

struct LogicWriteStats {
  std::array<std::uint64_t, 2> edges{};
  // Edges written later than sampled: two edges in one tick, or an edge exactly a multiple
  // of 256 ticks after the line's previous one (its counter byte would read as a wrap marker).
  std::uint64_t movedEdges = 0;
  std::uint64_t ccRecords = 0;
  std::uint64_t sampleRecords = 0;
  std::uint64_t samples = 0;
};

using RecordSink = std::function<void(const Record&)>;

// Writes the record stream for edges given in time order. Tick 0 is the first sample of the
// record file, box time 0.
class LogicRecordWriter {
 public:
  // channelMask: bit 0 CC1, bit 1 CC2; only those lines get CC records.
  LogicRecordWriter(int tickDiv, unsigned channelMask, RecordSink sink);

  int TickDiv() const { return m_TickDiv; }
  // Edges on the lines in channelMask at this tick; ticks never go back between calls.
  void Edges(unsigned channelMask, std::uint64_t tick);
  // Runs the line on past endTick until the last packet has been closed by idle time and
  // every record is complete.
  void Finish(std::uint64_t endTick);
  const LogicWriteStats& Stats() const { return m_Stats; }

 private:
  struct Channel {
    bool active = false;
    bool announced = false;  // has had a record at sequence low part 0
    std::uint8_t lastByte = 0;
    std::uint64_t lastByteTick = 0;
    std::uint64_t lastEdgeTick = 0;
    std::uint64_t nextWrap = 0;
    std::array<std::uint8_t, kCCEventBytes> bytes{};
    int fill = 0;
    std::uint32_t stamp = 0;
    std::deque<std::pair<std::uint32_t, std::array<std::uint8_t, kCCEventBytes>>> held;
  };

  std::uint32_t StampOfTick(std::uint64_t tick) const;
  std::uint64_t TickOfUs(std::uint64_t us) const;
  void RunUntil(std::uint64_t tick);
  void TakeSample();
  void WriteSamples();
  void PutByte(int c, std::uint8_t byte, std::uint64_t tick);
  void PutEdge(int c, std::uint64_t tick);
  void WriteCC(int c);
  void Emit(int c, std::uint32_t stamp, const std::uint8_t* bytes);
  void ReleaseHeld();
  bool Pending() const;

  int m_TickDiv;
  std::uint16_t m_TickField;
  RecordSink m_Sink;
  std::uint64_t m_NowTick = 0;
  std::uint64_t m_NextSampleUs = 0;
  std::array<RawSample, kMaxSamplesPerRecord> m_Samples{};
  int m_SampleFill = 0;
  int m_SeqHigh = 0, m_SeqLow = 0;
  std::array<Channel, 2> m_Channels{};
  LogicWriteStats m_Stats;
};

struct ImportOptions {
  std::string cc1Name = "CC1";
  std::string cc2Name = "CC2";
  // A name the user gave must be found; a default one may be missing if the other is there.
  bool cc1Given = false;
  bool cc2Given = false;
};

struct ImportSummary {
  TickMapping mapping;
  std::string cc1Channel, cc2Channel;  // capture channel names used; empty when not found
  std::uint64_t captureSamples = 0;
  std::uint64_t fileBytes = 0;
  LogicWriteStats stats;
};

// Told the bytes of logic data read so far and the archive's total (0 when unknown) after
// each block; returning false stops the import.
using ImportProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Reads a session file and writes the record file; false with a message on failure or when
// progress stopped it (the output is then removed).
bool ImportLogicSession(const std::string& input, const std::string& output, const ImportOptions& options,
                        ImportSummary& summary, std::string& error, const ImportProgress& progress = {});

// What the import did, a few lines for the user.
std::string ImportSummaryText(const ImportSummary& summary);
// The summary and the line naming the record file written, as zkr import prints them.
std::string ImportReportText(const ImportSummary& summary, const std::string& output);

}  // namespace zk::interchange
