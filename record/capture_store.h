// The document's data: time-ordered packets and samples, statistics, markers,
// limits and the decoding state the loader keeps between calls.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "record/chunked_array.h"
#include "record/packet.h"
#include "record/record_format.h"

namespace zk {

constexpr int kMaxPacketCount = 99999;
constexpr int kMaxSampleCount = 9999999;

// Counters over every packet that entered the array.
struct PacketStatistics {
  std::uint32_t total = 0;
  std::uint32_t cc1 = 0, cc2 = 0;
  std::uint32_t noPreamble = 0;
  std::uint32_t crcError = 0;
  std::uint32_t noEop = 0;
  std::uint32_t badUnitInterval = 0;
  std::uint32_t sop = 0, sopP = 0, sopPP = 0, hardReset = 0, cableReset = 0, sopPDebug = 0, sopPPDebug = 0,
                otherKind = 0;
  std::uint32_t powerRoleSet = 0, powerRoleClear = 0;  // SOP header bit 8
  std::uint32_t dataRoleSet = 0, dataRoleClear = 0;    // SOP header bit 5
  std::array<std::uint32_t, 32> control{};
  std::array<std::uint32_t, 32> data{};
  std::array<std::uint32_t, 32> extended{};
};

// Highest and lowest values over all samples; every value starts at 0.
struct SampleStatistics {
  std::int32_t maxVoltage = 0;
  std::int32_t minCurrent = 0, maxCurrent = 0;
  std::int32_t minPower = 0, maxPower = 0;
  std::int32_t maxVbusPower = 0, maxVbusPowerVoltage = 0, maxVbusPowerCurrent = 0;
  std::int32_t minVbusPower = 0, minVbusPowerVoltage = 0, minVbusPowerCurrent = 0;
};

// State of sender sides, power-role swaps and extended-message reassembly across packets.
struct MessageContextState {
  int sourceSide = 1;
  int sinkSide = 2;
  int ufpSide = 0;
  int dfpSide = 0;
  bool swapActive = false;
  bool swapAccepted = false;
  int swapInitiator = 0;
  bool initiatorPsRdySeen = false;
  bool otherPsRdySeen = false;
  CCCPacket* latestSourceCaps = nullptr;  // not owned
  std::shared_ptr<std::vector<std::uint8_t>> reassembly;
  int reassemblySize = 0;
  int reassemblyFilled = 0;
  int expectedChunk = -1;
  int chunksSeen = 0;
};

// What the reader knows of a packet before it is framed.
struct PacketStart {
  CaptureStore* store = nullptr;
  std::uint64_t rawTime = 0;
  std::int64_t time = 0;  // from the first sample; set once the packet is accepted
  std::uint64_t startOffset = 0;
  std::uint64_t endOffset = 0;
  std::int32_t tickDiv = 20;
  std::uint8_t channel = 0;
};

// The packet a channel is collecting edges for: reused from packet to packet, so that
// reading the event bytes allocates nothing.
struct PendingPacket {
  bool active = false;
  PacketStart start;
  std::vector<EdgeRecord> edges;  // room for a packet's most, from its first packet on
  std::size_t count = 0;          // edges held
};

// Per-channel CC decoding state of the loader.
struct ChannelDecodeState {
  TimestampExtender timestamps;
  bool clockSet = false;
  std::uint64_t timeUs = 0;
  std::uint64_t timeTicks = 0;
  EventByteDecoder events;
  std::uint64_t ticksSinceEdge = 0;
  PendingPacket pending;
};

class CaptureStore {
 public:
  CaptureStore() = default;
  CaptureStore(const CaptureStore&) = delete;
  CaptureStore& operator=(const CaptureStore&) = delete;

  // ---- arrays --------------------------------------------------------------
  int PacketCount() const { return static_cast<int>(m_Packets.size()); }
  int SampleCount() const { return static_cast<int>(m_Samples.size()); }
  CCCPacket* PacketAt(int i) const;
  const CVbusInfo* SampleAt(int i) const;
  // Last element whose shown time is at or before t, or -1.
  int FindPacketByTime(std::int64_t shownTime) const;
  int FindSampleByTime(std::int64_t shownTime) const;

  // Inserts in time order (ties keep arrival order) and renumbers m_Index.
  void InsertPacket(std::unique_ptr<CCCPacket> packet);
  void AppendSample(const CVbusInfo& sample);
  // Removes the oldest n packets, clearing every reference into them.
  void RemoveOldestPackets(int n);
  void RemoveOldestSamples(int n);
  // Destroys every packet and sample (decode state is the loader's business).
  void ClearArrays();

  // Copies the measurements of the last sample at or before the packet's time; false when none.
  bool FillMeasurement(CCCPacket& packet) const;
  // The same, searching on from the sample the last call found (the loader's, in time order).
  bool FillMeasurement(CCCPacket& packet, int& hint) const;

  // ---- statistics ----------------------------------------------------------
  void CountPacket(const CCCPacket& packet);
  void CountSample(const CVbusInfo& sample);
  const PacketStatistics& PacketStats() const { return m_PacketStats; }
  const SampleStatistics& SampleStats() const { return m_SampleStats; }

  // ---- markers -------------------------------------------------------------
  CCCPacket* MarkerA() const { return m_MarkerA; }
  CCCPacket* MarkerB() const { return m_MarkerB; }
  void SetMarkerA(CCCPacket* p) { m_MarkerA = p; }
  void SetMarkerB(CCCPacket* p) { m_MarkerB = p; }

  std::mutex& Lock() const { return m_Lock; }

  // Resets statistics, context, markers, flags, ratios and meta values (not limits).
  void ResetState();

  // ---- public state (plain data, guarded by Lock()) --------------------------
  std::string m_RecordPath;
  std::int64_t m_TimeOrigin = 0;
  MetaState m_Meta;  // what meta records said so far (time origin, marker times, ratios)

  std::uint64_t m_DecodePosition = 0;
  bool m_FirstSampleSet = false;
  std::uint64_t m_FirstSampleTime = 0;
  // The sample clock and the CC state are written record by record, by two threads during a
  // load: on cache lines of their own, or each thread would wait for the other's line.
  alignas(64) std::uint64_t m_LatestSampleTime = 0;
  TimestampExtender m_SampleTimestamps;
  alignas(64) CCSequence m_Sequence;
  int m_TickDiv = 20;
  std::array<ChannelDecodeState, 2> m_Channels;
  MessageContextState m_Context;

  int m_MaxPacketCount = kMaxPacketCount;
  int m_MaxSampleCount = kMaxSampleCount;
  bool m_PacketAutoRemove = false;
  bool m_SampleAutoRemove = false;
  bool m_PacketCountFull = false;
  bool m_SampleCountFull = false;
  bool m_PacketsRemoved = false;
  bool m_Recording = false;     // a capture is writing the file: the loader shows no progress
  bool m_KeepEdges = false;     // keep edge intervals after framing (for the waveform view)
  int m_MeasureHint = 0;        // the sample the last loaded packet was measured with
  bool m_FramingThread = true;  // large blocks are framed on a second thread while they are read

  // Status-line texts of long operations ("Decoding... 40%"); may be empty.
  std::function<void(const std::string&)> m_StatusText;
  std::vector<std::uint8_t> m_BlockBuffer;  // reused by every loader call
  // The loader's framing thread and its buffers, kept from block to block (its own type).
  std::shared_ptr<void> m_FramingPipeline;

  std::int64_t m_GraphMarkerO = 0, m_GraphMarkerX = 0;
  bool m_HasGraphMarkerO = false, m_HasGraphMarkerX = false;

 private:
  // No reallocation spikes on captures of hours, stable sample addresses, and cheap
  // removal from the front when the oldest entries are dropped.
  std::deque<std::unique_ptr<CCCPacket>> m_Packets;
  ChunkedArray<CVbusInfo, kHugeBlockBytes / sizeof(CVbusInfo)> m_Samples;
  PacketStatistics m_PacketStats;
  SampleStatistics m_SampleStats;
  CCCPacket* m_MarkerA = nullptr;
  CCCPacket* m_MarkerB = nullptr;
  mutable std::mutex m_Lock;

  void ForgetReferencesTo(const CCCPacket* first, const CCCPacket* last);
  void CopyMeasurement(CCCPacket& packet, int sample) const;
};

// Inline: they run for every sample of a file.
inline void CaptureStore::AppendSample(const CVbusInfo& sample) { m_Samples.push_back(sample); }

inline void CaptureStore::CountSample(const CVbusInfo& v) {
  SampleStatistics& s = m_SampleStats;
  const std::int32_t voltages[3] = {v.m_VbusVoltage, v.m_CC1Voltage, v.m_CC2Voltage};
  const std::int32_t currents[3] = {v.m_VbusCurrent, v.m_CC1Current, v.m_CC2Current};
  for (int i = 0; i < 3; ++i) {
    s.maxVoltage = std::max(s.maxVoltage, voltages[i]);
    s.minCurrent = std::min(s.minCurrent, currents[i]);
    s.maxCurrent = std::max(s.maxCurrent, currents[i]);
    const std::int32_t power = voltages[i] * currents[i] / 1000;
    s.minPower = std::min(s.minPower, power);
    s.maxPower = std::max(s.maxPower, power);
  }
  const std::int32_t vbusPower = voltages[0] * currents[0] / 1000;
  if (vbusPower > s.maxVbusPower) {
    s.maxVbusPower = vbusPower;
    s.maxVbusPowerVoltage = voltages[0];
    s.maxVbusPowerCurrent = currents[0];
  }
  if (vbusPower < s.minVbusPower) {
    s.minVbusPower = vbusPower;
    s.minVbusPowerVoltage = voltages[0];
    s.minVbusPowerCurrent = currents[0];
  }
}

}  // namespace zk
